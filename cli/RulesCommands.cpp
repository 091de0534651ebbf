// The rules commands of brisolt-cli: perft, moves and play.
#include "cli/Commands.h"
#include "game/CPosition.h"
#include "game/Fen.h"
#include "game/MoveText.h"
#include "game/Perft.h"
#include "game/SideToMove.h"
#include "model/CError.h"
#include "model/CGameStatus.h"

#include <cstdio>
#include <iostream>
#include <string>

namespace {

constexpr int maxDepth = 20;

int usageError(const std::string& message) {
    std::cerr << message << std::endl;
    return 2;
}

// Reads the FEN argument; on failure prints the reason and leaves the result empty.
std::shared_ptr<CPosition> readPosition(const std::string& fen) {
    try {
        return objReadFen(fen);
    } catch (const CError& error) {
        std::cerr << "bad FEN: " << error.what() << std::endl;
        return nullptr;
    }
}

bool readDepth(const std::string& text, int& depth) {
    if (text.empty() || text.size() > 2 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    depth = std::stoi(text);
    return depth <= maxDepth;
}

} // namespace

int runPerft(const CommandArgs& args) {
    const bool divide = args.size() == 3 && args[2] == "--divide";
    if (args.size() != 2 && !divide)
        return usageError("usage: brisolt-cli perft FEN DEPTH [--divide]");
    int depth = 0;
    if (!readDepth(args[1], depth))
        return usageError("bad depth: \"" + args[1] + "\" (expected a whole number from 0 to " +
                          std::to_string(maxDepth) + ")");
    const auto position = readPosition(args[0]);
    if (!position) return 2;
    if (!divide || depth == 0) {
        std::cout << lngPerft(position, depth) << "\n";
        return 0;
    }
    std::uint64_t total = 0;
    for (const LegalMove& legal : arrGetLegalMoves(position)) {
        const std::uint64_t nodes = lngPerft(legal.position, depth - 1);
        total += nodes;
        std::cout << strMoveTextOf(*position, legal.move) << ": " << nodes << "\n";
    }
    std::cout << total << "\n";
    return 0;
}

int runMoves(const CommandArgs& args) {
    if (args.size() != 1) return usageError("usage: brisolt-cli moves FEN");
    const auto position = readPosition(args[0]);
    if (!position) return 2;
    for (const LegalMove& legal : arrGetLegalMoves(position))
        std::cout << strMoveTextOf(*position, legal.move) << "\n";
    return 0;
}

int runPlay(const CommandArgs& args) {
    if (args.empty()) return usageError("usage: brisolt-cli play FEN MOVETEXT...");
    auto position = readPosition(args[0]);
    if (!position) return 2;
    position->objStatus(objShownStatus(*position)); // a FEN that is already mate or stalemate
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& text = args[i];
        if (!position->objStatus()->isInProgress()) {
            std::cerr << "move " << text << " refused: the game is over ("
                      << position->objStatus()->strToString() << ")" << std::endl;
            return 1;
        }
        // Castling typed with zeros is read as the letter O, the text the game keeps.
        std::string read = text;
        if (read.rfind("0-0", 0) == 0)
            for (size_t k = 0; k < read.size() && (read[k] == '0' || read[k] == '-'); ++k)
                if (read[k] == '0') read[k] = 'O';
        std::shared_ptr<CPosition> next;
        try {
            next = position->objProcessMove(position, read);
        } catch (const CError&) {
            next = nullptr;
        }
        if (!next) {
            const MoveTextParts parts = objReadMoveText(read);
            std::cerr << "move " << text << " refused: "
                      << (parts.isReadable() ? "illegal in" : parts.strError + " in") << " "
                      << position->strGetFEN() << std::endl;
            return 1;
        }
        position = next;
    }
    std::cout << position->strGetFEN() << "\n" << position->objStatus()->strToString() << "\n";
    return 0;
}
