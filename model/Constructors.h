#pragma once

#include "model/Types.h"

#include <memory>
#include <string>

// Factories of the board model; each creates the object and runs its initialiser.

// A colour from text ("White" or "Black"; anything else becomes "White").
std::shared_ptr<CPieceColor> objNewPieceColor(const std::string& text);
// A piece kind with the letter.
std::shared_ptr<CPiece> objNewPiece(const std::string& letter);
// A coloured piece; an empty symbol is worked out from kind and colour.
std::shared_ptr<CChessPiece> objNewChessPiece(const std::shared_ptr<CPiece>& piece,
                                              const std::shared_ptr<CPieceColor>& color,
                                              const std::string& symbol);
// A square with its empty location (a fresh object, equal to the shared one).
std::shared_ptr<CChessSquare> objNewChessSquare(int file, int rank);
// A piece on a square.
std::shared_ptr<CPieceLocation> objNewPieceLocation(const std::shared_ptr<CChessSquare>& square,
                                                    const std::shared_ptr<CChessPiece>& piece);
// The piece of a kind and colour on a square.
std::shared_ptr<CPieceLocation>
objNewPieceLocationOfKind(const std::shared_ptr<CChessSquare>& square,
                          const std::shared_ptr<CPiece>& piece,
                          const std::shared_ptr<CPieceColor>& color);
// A move between two locations.
std::shared_ptr<CMove> objNewMove(const std::shared_ptr<CPieceLocation>& starting,
                                  const std::shared_ptr<CPieceLocation>& ending);
// A diagram read from its 64-character text or tag form; bad text raises a CDiagram error.
std::shared_ptr<CDiagram> objNewDiagram(const std::string& text);
// A new diagram with the standard initial placement.
std::shared_ptr<CDiagram> objNewInitialDiagram();
// The program-wide initial diagram, made once (read-only).
const std::shared_ptr<CDiagram>& objSharedInitialDiagram();
// A status with the text.
std::shared_ptr<CGameStatus> objNewGameStatus(const std::string& text);
