// Engine output: pieces of text as a process hands them over (split here at 0xFF bytes) are
// collected and read for the move and the end of the game of either side.
#include "engine/EngineOutput.h"

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
    return 0;
}
