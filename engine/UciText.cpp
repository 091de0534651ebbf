#include "engine/UciText.h"

#include <sstream>

std::string strUciPositionCommand(const std::string& fen, const std::vector<std::string>& moves) {
    std::string text = "position fen " + fen;
    if (!moves.empty()) {
        text += " moves";
        for (const std::string& move : moves)
            text += " " + move;
    }
    return text;
}

std::string strUciGoCommand(const UciLimit& limit, const std::vector<std::string>& searchMoves,
                            int fallbackMs) {
    std::string go = "go";
    if (limit.intMoveTimeMs > 0) go += " movetime " + std::to_string(limit.intMoveTimeMs);
    if (limit.intDepth > 0) go += " depth " + std::to_string(limit.intDepth);
    if (limit.intMoveTimeMs <= 0 && limit.intDepth <= 0)
        go += " movetime " + std::to_string(fallbackMs);
    if (!searchMoves.empty()) {
        go += " searchmoves";
        for (const std::string& move : searchMoves)
            go += " " + move;
    }
    return go;
}

bool isParseUciInfo(const std::string& line, UciInfo& info) {
    std::istringstream words(line);
    std::string word;
    if (!(words >> word) || word != "info") return false;
    while (words >> word) {
        if (word == "string") return false;
        if (word == "multipv") {
            words >> info.intMultiPv;
        } else if (word == "depth") {
            words >> info.intDepth;
        } else if (word == "time") {
            words >> info.intTimeMs;
        } else if (word == "lowerbound" || word == "upperbound") {
            info.isBound = true;
        } else if (word == "score") {
            std::string kind;
            int value = 0;
            words >> kind >> value;
            if (words && (kind == "cp" || kind == "mate")) {
                info.objScore = {kind == "mate", value};
                info.hasScore = true;
            }
        } else if (word == "pv") {
            for (std::string move; words >> move;)
                info.arrstrPv.push_back(move);
        }
        if (words.fail()) break;
    }
    return true;
}

bool isParseBestMove(const std::string& line, std::string& move) {
    std::istringstream words(line);
    std::string word;
    if (!(words >> word) || word != "bestmove") return false;
    move.clear();
    words >> move;
    return true;
}
