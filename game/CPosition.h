#pragma once

#include "model/CGameStatus.h"
#include "model/CMove.h"
#include "model/Types.h"

#include <array>
#include <memory>
#include <string>
#include <utility>

struct Castling;

// One chess position: the diagram, the status (side to move or result), the castling forfeits,
// the en-passant file, the move number and the text of the move that led to it. Moves never
// change a position; they produce a new one.
class CPosition : public std::enable_shared_from_this<CPosition> {
public:
    CPosition();

    // The diagram.
    const std::shared_ptr<CDiagram>& objDiagram() const { return m_diagram; }
    // Replaces the diagram.
    void objDiagram(const std::shared_ptr<CDiagram>& diagram) { m_diagram = diagram; }
    // The status.
    const std::shared_ptr<CGameStatus>& objStatus() const { return m_status; }
    // Replaces the status.
    void objStatus(const std::shared_ptr<CGameStatus>& status) { m_status = status; }
    // Number of the full move that produced this position (0 when none).
    int intMoveNumber() const { return m_moveNumber; }
    // Sets the move number (not validated).
    void intMoveNumber(int number) { m_moveNumber = number; }
    // File (0-7) of a pawn that may be taken en passant; -1 for none.
    int intEnPassantFile() const { return m_enPassantFile; }
    // Sets the en-passant file (not validated).
    void intEnPassantFile(int file) { m_enPassantFile = file; }
    // Queen-side forfeit of a colour index (0 White, 1 Black); other indices raise error 9.
    bool isQCastleForfeited(int color) const;
    // Sets the queen-side forfeit of a colour index.
    void isQCastleForfeited(int color, bool forfeited);
    // King-side forfeit of a colour index (0 White, 1 Black); other indices raise error 9.
    bool isKCastleForfeited(int color) const;
    // Sets the king-side forfeit of a colour index.
    void isKCastleForfeited(int color, bool forfeited);
    // The move text without any "P" and "+".
    std::string strMoveText() const;
    // Stores the move text unchanged.
    void strMoveText(std::string text) { m_moveText = std::move(text); }
    // True when the move text marks a start position: "..." once any "P" and "+" are left out.
    bool isStartPosition() const;
    // The move text as stored (pawn moves with their leading "P").
    const std::string& strStoredMoveText() const { return m_moveText; }

    // The standard start position, built once (read-only).
    static const std::shared_ptr<CPosition>& objINITIAL_POSITION();

    // Applies the move (legality tested by the caller with isLegalMove) under the move text; the
    // new position, or nothing when the mover's king would stand in check.
    std::shared_ptr<CPosition> objMove2(const CMove& move, const std::string& moveText) const;
    // True for this position or one with the same status, forfeits, en-passant file and diagram.
    bool isEqual(const std::shared_ptr<CPosition>& other) const;
    // A copy with a cloned diagram.
    std::shared_ptr<CPosition> objClone() const;
    // FEN text with four fields (placement, side, castling, en passant).
    std::string strGetFEN() const;

    // Everything about the move except the safety of the mover's king.
    bool isLegalMove(const CMove& move) const;
    // The forfeit of a castling destination (c1, c8, g1, g8); other squares raise
    // "Invalid Castling destination".
    bool isCastlingForfeited(const std::shared_ptr<CChessSquare>& square) const;
    // Whether castling to the destination is allowed now.
    bool isCastlingOK(const std::shared_ptr<CChessSquare>& square) const;
    // Evaluates mate for the side to move, setting the status when mated; True for a win.
    bool isMated();

    // Move text of the move in this position (stored form: "Pe4", "Nbd2", "O-O"; no "+"/"#").
    std::string strGetMoveNotation(const CMove& move) const;
    // Applies the move under its notation; nothing when it leaves the mover in check.
    std::shared_ptr<CPosition> objMove1(const CMove& move) const;
    // Reads the move text and applies it on the position; nothing for unreadable text or a move
    // that leaves the mover in check; a readable text no piece can play raises "No Move text".
    std::shared_ptr<CPosition> objProcessMove(const std::shared_ptr<CPosition>& position,
                                              const std::string& moveText) const;
    // The same on this position.
    std::shared_ptr<CPosition> objProcessMove(const std::string& moveText) const;
    // The same, handing back the locations of a normal move's start and end.
    std::shared_ptr<CPosition> objProcessMove2(const std::shared_ptr<CPosition>& position,
                                               const std::string& moveText,
                                               std::shared_ptr<CPieceLocation>& starting,
                                               std::shared_ptr<CPieceLocation>& ending) const;
    // As objProcessMove2 on this position, with nothing instead of the error for a readable text
    // that no piece can play: for callers that treat every unplayable text as a refusal.
    std::shared_ptr<CPosition> objPlayMoveText(const std::string& moveText,
                                               std::shared_ptr<CPieceLocation>& starting,
                                               std::shared_ptr<CPieceLocation>& ending) const;

    // True when White is to move ("White to move"; every other status counts as Black).
    bool isWhiteToMove() const {
        return m_status && m_status->intCode() == CGameStatus::WhiteToMove;
    }
    // True when Black is to move ("Black to move"; a finished game is neither side's move).
    bool isBlackToMove() const {
        return m_status && m_status->intCode() == CGameStatus::BlackToMove;
    }
    // True when the move is legal and leaves the mover's king safe.
    bool isFullyLegal(const CMove& move) const;

private:
    friend class CPositionRules;

    // Reads and plays the move text; a readable text no piece can play raises when asked to.
    std::shared_ptr<CPosition> objReadMove(const CPosition& target, const std::string& moveText,
                                           std::shared_ptr<CPieceLocation>& starting,
                                           std::shared_ptr<CPieceLocation>& ending,
                                           bool raiseWithoutPiece) const;

    std::shared_ptr<CPieceLocation>
    objFindStartLocation(const CPosition& position, const std::shared_ptr<CPieceLocation>& ending,
                         const std::shared_ptr<CChessPiece>& piece, char hintRank,
                         char hintFile) const;
    bool isCheckParried(const std::shared_ptr<CPieceLocation>& king,
                        const std::shared_ptr<CPieceLocation>& checker) const;
    void CheckStalemate();
    // The successor's shell: side to move passed on, move number, forfeits and move text.
    std::shared_ptr<CPosition> objSuccessor(const std::string& moveText) const;
    // Forfeits the castlings whose rook corner the move touches, and both of a moving king.
    void ForfeitCastlings(int from, int to, int startCode);
    // Mate or stalemate after the move, and the "#" of a mate on the move text.
    void SettleStatus(bool inCheck);
    // The forfeit flag of a castling.
    bool& forfeit(const Castling& castling);
    bool forfeit(const Castling& castling) const;

    std::shared_ptr<CGameStatus> m_status;
    std::shared_ptr<CDiagram> m_diagram;
    std::string m_moveText = "...";
    int m_moveNumber = 0;
    std::array<bool, 2> m_qForfeit{{false, false}};
    std::array<bool, 2> m_kForfeit{{false, false}};
    int m_enPassantFile = -1;
};
