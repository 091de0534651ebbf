#pragma once

#include <memory>
#include <vector>

class CPieceColor;
class CPiece;
class CChessPiece;
class CChessSquare;
class CPieceLocation;
class ColPieceLocations;
class CDiagram;
class CMove;
class CGameStatus;

// The lists the model hands out: zero-based arrays, empty when there are no elements.
using SquareArray = std::vector<std::shared_ptr<CChessSquare>>;
using LocationArray = std::vector<std::shared_ptr<CPieceLocation>>;
