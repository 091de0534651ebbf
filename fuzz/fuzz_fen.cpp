// FEN texts: any bytes give a position, nothing, or the reader's error. A sound position read back
// from its own FEN is the same position (in an unsound one, with the side not to move in check,
// the writer names the side in check), and its legal moves can all be played. In a sound position
// each legal move's text names that move alone: read back, it gives the same position.
#include "game/CPosition.h"
#include "game/Fen.h"
#include "game/Perft.h"
#include "game/PositionSoundness.h"
#include "model/CError.h"

#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 512) return 0;
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::shared_ptr<CPosition> position;
    try {
        position = objTryReadFen(text);
    } catch (const CError&) {
        return 0;
    }
    if (!position) return 0;
    const std::string fen = position->strGetFEN();
    const bool sound = strUnsoundReason(*position).empty();
    if (sound) {
        std::shared_ptr<CPosition> again = objReadFen(fen);
        if (!again || !again->isEqual(position) || again->strGetFEN() != fen) std::abort();
    }
    try {
        std::set<std::string> texts;
        for (const LegalMove& legal : arrGetLegalMoves(position)) {
            if (!legal.position) std::abort();
            legal.position->strGetFEN();
            if (!sound) continue;
            const std::string move = strMoveTextOf(*position, legal.move);
            if (!texts.insert(move).second) std::abort(); // two moves with one text
            std::shared_ptr<CPieceLocation> from, to;
            const auto read = position->objPlayMoveText(move, from, to); // refuses without raising
            if (!read || !read->isEqual(legal.position)) std::abort();
        }
    } catch (const CError&) {
        // A position no game can reach (pawns on the last rank, say) may refuse its moves.
    }
    return 0;
}
