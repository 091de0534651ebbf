// Move texts as a user or a file types them, read on positions drawn from a seed list: every
// text gives a new position, nothing, or the position's error, and never breaks the position it
// was read on. A text the strict reading refuses gives nothing; a move read is one the move
// generator lists, and gives the same position when read again under the text the program writes
// for it.
#include "game/CPosition.h"
#include "game/Fen.h"
#include "game/MoveText.h"
#include "game/Perft.h"
#include "model/CDiagram.h"
#include "model/CError.h"
#include "model/CMove.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const std::array<const char*, 10> kSeedFens = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -",
    "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - -",
    "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq -",
    "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ -",
    "rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6",
    "4k3/1P6/8/8/8/8/6p1/4K3 b - -",
    "7k/5Q2/6K1/8/8/8/8/8 b - -",
    "r1bqkbnr/pppp1ppp/2n5/4p3/2B1P3/5Q2/PPPP1PPP/RNB1K1NR w KQkq -",
    "1k6/8/8/8/8/8/8/R3K2R w KQ -",
};

const std::vector<std::shared_ptr<CPosition>>& seeds() {
    static const std::vector<std::shared_ptr<CPosition>> positions = [] {
        std::vector<std::shared_ptr<CPosition>> list;
        for (const char* fen : kSeedFens)
            list.push_back(objReadFen(fen));
        return list;
    }();
    return positions;
}

// True when the position is one the move generator lists after the position moved from.
bool isListed(const std::shared_ptr<CPosition>& position, const std::shared_ptr<CPosition>& next) {
    for (const LegalMove& legal : arrGetLegalMoves(position))
        if (legal.position->isEqual(next)) return true;
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1 || size > 256) return 0;
    std::shared_ptr<CPosition> position = seeds()[data[0] % kSeedFens.size()];
    const std::string before = position->strGetFEN();
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    // Texts separated by newlines are played one after the other while they succeed.
    size_t start = 0;
    std::shared_ptr<CPosition> current = position;
    while (start <= text.size() && current) {
        size_t stop = text.find('\n', start);
        if (stop == std::string::npos) stop = text.size();
        const std::string move = text.substr(start, stop - start);
        const bool readable = objReadMoveText(move).isReadable();
        std::shared_ptr<CPieceLocation> from, to;
        std::shared_ptr<CPosition> next;
        try {
            next = current->objProcessMove2(current, move, from, to);
        } catch (const CError&) {
            if (!readable) std::abort(); // a refused text never reaches the search
            break;
        }
        if (next && !readable) std::abort();
        if (next) {
            if (next->objDiagram() == nullptr || next->objDiagram()->strToString().size() != 64)
                std::abort();
            next->strGetFEN();
            // A game that has ended is no side's move: the generator lists nothing there.
            if ((current->isWhiteToMove() || current->isBlackToMove()) && !isListed(current, next))
                std::abort();
            if (from && to) {
                const std::string written = current->strGetMoveNotation(CMove(from, to));
                const auto again = current->objProcessMove(current, written);
                if (!again || !again->isEqual(next)) std::abort();
            }
        }
        current = next;
        start = stop + 1;
    }
    if (position->strGetFEN() != before) std::abort(); // positions never change
    return 0;
}
