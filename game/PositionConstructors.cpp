#include "game/PositionConstructors.h"

#include "game/CPosition.h"
#include "model/CDiagram.h"
#include "model/CError.h"
#include "model/CGameStatus.h"
#include "model/PieceCodes.h"

#include <array>

std::shared_ptr<CPosition> objNewStartPosition() {
    auto position = std::make_shared<CPosition>();
    position->objDiagram(objNewInitialDiagram());
    position->objStatus(CGameStatus::objWHITE_TO_MOVE());
    return position;
}

namespace {
// True when a pawn of the side not to move can have just stepped two squares on the file: it
// stands in front of the square passed, and that square and the one it came from are empty.
bool isPawnJustPassed(const CDiagram& diagram, int file, bool whiteToMove) {
    const int passed = squareOf(file, whiteToMove ? Rank6 : Rank3);
    const int origin = squareOf(file, pawnRankOf(!whiteToMove));
    return diagram.intCodeAt(squareOf(file, enPassantRankOf(whiteToMove))) ==
               codeOf(Pawn, !whiteToMove) &&
           diagram.intCodeAt(passed) == EmptyCode && diagram.intCodeAt(origin) == EmptyCode;
}
} // namespace

std::shared_ptr<CPosition> objNewPosition(const std::shared_ptr<CDiagram>& diagram,
                                          const std::shared_ptr<CGameStatus>& status,
                                          int moveNumber, const std::vector<bool>& forfeits,
                                          const std::string& enPassantLetter) {
    if (!status || !status->isInProgress()) RaiseError("CPosition", "gameStatus");
    if (!diagram) RaiseError("CPosition", "Diagram is null");
    if (moveNumber < 0) RaiseError("CPosition", "Movenum cannot be negative");
    if (forfeits.size() != 4)
        RaiseError("CPosition", "castlingPrivledges array parameter must have a length of 4");
    auto position = std::make_shared<CPosition>();
    // A castling whose king or rook is off its starting square can never be played: it counts as
    // forfeited, so that no FEN written from the position names it.
    std::array<bool, 4> lost{};
    for (size_t k = 0; k < lost.size(); ++k) {
        const Castling& castling = kCastlings[k];
        const bool white = castling.slot == WhiteSlot;
        lost[k] = forfeits[k] || diagram->intCodeAt(castling.kingFrom) != codeOf(King, white) ||
                  diagram->intCodeAt(castling.rookFrom) != codeOf(Rook, white);
    }
    position->isKCastleForfeited(0, lost[0]);
    position->isQCastleForfeited(0, lost[1]);
    position->isKCastleForfeited(1, lost[2]);
    position->isQCastleForfeited(1, lost[3]);
    position->objDiagram(diagram);
    position->intMoveNumber(moveNumber);
    position->objStatus(status);
    const bool named =
        enPassantLetter.size() == 1 && enPassantLetter[0] >= 'a' && enPassantLetter[0] <= 'h' &&
        isPawnJustPassed(*diagram, enPassantLetter[0] - 'a', position->isWhiteToMove());
    position->intEnPassantFile(named ? enPassantLetter[0] - 'a' : -1);
    if (named) position->strMoveText(enPassantLetter + (position->isWhiteToMove() ? "5" : "4"));
    return position;
}

std::shared_ptr<CPosition> objNewNextPosition(const CPosition& previous) {
    auto position = std::make_shared<CPosition>();
    for (int color = 0; color < 2; ++color) {
        position->isKCastleForfeited(color, previous.isKCastleForfeited(color));
        position->isQCastleForfeited(color, previous.isQCastleForfeited(color));
    }
    position->objDiagram(previous.objDiagram());
    if (previous.isWhiteToMove()) {
        position->objStatus(CGameStatus::objBLACK_TO_MOVE());
        position->intMoveNumber(previous.intMoveNumber() + 1);
    } else {
        position->objStatus(CGameStatus::objWHITE_TO_MOVE());
        position->intMoveNumber(previous.intMoveNumber());
    }
    return position;
}
