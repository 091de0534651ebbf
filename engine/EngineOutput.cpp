#include "engine/EngineOutput.h"

#include "model/Utilities.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace {

std::vector<std::string> splitLines(const std::string& output) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (true) {
        size_t end = output.find(ENGINE_SEPARATOR, start);
        if (end == std::string::npos) {
            lines.push_back(output.substr(start));
            return lines;
        }
        lines.push_back(output.substr(start, end - start));
        start = end + 1;
    }
}

} // namespace

const std::vector<std::string>& arrstrSetupCommands() {
    static const std::vector<std::string> commands = {"alarm off",
                                                      "ansi off",
                                                      "st 2",
                                                      "sd 6",
                                                      "display nogeneral",
                                                      "display notime",
                                                      "display nostats",
                                                      "display noextstats",
                                                      "display nochanges",
                                                      "display nomoves",
                                                      "display nomovenum",
                                                      "log off"};
    return commands;
}

std::string strReadEngineOutput(const std::function<std::string()>& getMessage) {
    std::string collected;
    while (true) {
        std::string piece = getMessage();
        if (strTrimmed(piece, " \t").empty()) break;
        collected += piece;
    }
    std::string text;
    text.reserve(collected.size());
    for (char c : collected) {
        if (c == '\r' || c == '\n') {
            // Runs of line ends (and blank lines between them) collapse into one separator.
            if (text.empty() || text.back() != ENGINE_SEPARATOR) text += ENGINE_SEPARATOR;
        } else if (c == ENGINE_SEPARATOR) {
            if (text.empty() || text.back() != ENGINE_SEPARATOR) text += c;
        } else if (c != '\0') {
            text += c;
        }
    }
    return text;
}

EngineOutputParse parseEngineOutput(const std::string& output, const std::string& side) {
    EngineOutputParse parse;
    const std::string sideWord = strLowered(side);
    std::vector<std::string> lines = splitLines(output);
    // Backwards, so that the earliest matching line is the one kept.
    for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
        const std::string lower = strLowered(*line);
        size_t colon = line->find(':');
        if (!sideWord.empty() && lower.find(sideWord) != std::string::npos &&
            colon != std::string::npos) {
            parse.strMove = strTrimmed(line->substr(colon + 1), " \t");
        }
        if (parse.strRefusal.empty() && lower.rfind("illegal move", 0) == 0)
            parse.strRefusal = *line;
        if (line->find('{') != std::string::npos || lower.find("stalemate") != std::string::npos) {
            parse.isGameOver = true;
            parse.strResult = *line;
        }
    }
    return parse;
}

std::string strParseEngineOutput(const std::string& output, const std::string& side) {
    return parseEngineOutput(output, side).strMove;
}
