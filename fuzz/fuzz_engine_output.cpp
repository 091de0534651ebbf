// Engine output: pieces of text as a process hands them over (split here at 0xFF bytes) are
// collected and read for the move and the end of the game of either side; every line is also
// read as a UCI "info" or "bestmove" line, and a best move is played through the translator,
// which either reports a fault or answers with a move line the console reading gives back.
#include "engine/CUciTranslator.h"
#include "engine/EngineOutput.h"
#include "engine/UciText.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const std::string side = (data[0] & 1) ? "Black" : "White";
    std::vector<std::string> pieces;
    std::string piece;
    for (size_t i = 1; i < size; ++i) {
        if (data[i] == 0xFF) {
            pieces.push_back(piece);
            piece.clear();
        } else {
            piece += static_cast<char>(data[i]);
        }
    }
    pieces.push_back(piece);
    size_t next = 0;
    const std::string output = strReadEngineOutput(
        [&]() -> std::string { return next < pieces.size() ? pieces[next++] : std::string(); });
    if (output.find('\0') != std::string::npos) std::abort();
    if (output.find('\r') != std::string::npos || output.find('\n') != std::string::npos)
        std::abort();
    const EngineOutputParse parse = parseEngineOutput(output, side);
    if (parse.strMove != strParseEngineOutput(output, side)) std::abort();
    if (parse.isGameOver != !parse.strResult.empty()) std::abort();
    if (parse.strMove.find(ENGINE_SEPARATOR) != std::string::npos) std::abort();

    for (const std::string& line : pieces) {
        UciInfo info;
        if (isParseUciInfo(line, info))
            for (const std::string& move : info.arrstrPv)
                if (move.empty() || move.find(' ') != std::string::npos) std::abort();
        std::string best;
        if (!isParseBestMove(line, best)) continue;
        CUciTranslator translator;
        translator.command("setboard rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -");
        translator.command("e4");
        translator.EngineMoved(best);
        const std::vector<std::string> answer = translator.takeLinesForCaller();
        if (translator.strFault().empty() == answer.empty()) std::abort();
        if (!answer.empty() && strParseEngineOutput(answer.front(), "Black").empty()) std::abort();
    }
    return 0;
}
