#include "engine/CUciTranslator.h"

#include "game/CPosition.h"
#include "game/Fen.h"
#include "game/SideToMove.h"
#include "game/UciMoves.h"
#include "model/CError.h"
#include "model/CGameStatus.h"
#include "model/Utilities.h"

#include <cmath>
#include <sstream>

namespace {

std::vector<std::string> words(const std::string& text) {
    std::istringstream stream(text);
    std::vector<std::string> result;
    for (std::string word; stream >> word;)
        result.push_back(word);
    return result;
}

bool startsWithWord(const std::string& line, const std::string& word) {
    return line == word || line.rfind(word + " ", 0) == 0;
}

} // namespace

CUciTranslator::CUciTranslator() = default;
CUciTranslator::~CUciTranslator() = default;

void CUciTranslator::command(const std::string& rawLine) {
    const std::string line = strTrimmed(rawLine);
    if (line.empty()) return;
    const std::string lower = strLowered(line);
    if (lower == "end" || lower == "quit") {
        quitRequested = true;
        pendingCommands.clear();
        toEngine.push_back({UciRequest::Kind::Quit, {}, {}, {}});
        return;
    }
    if (thinking) {
        // Crafty reads the next command only after its move; so does this translator.
        pendingCommands.push_back(line);
        return;
    }
    for (const char* ignored : {"alarm", "ansi", "display", "log", "bell", "xboard"}) {
        if (startsWithWord(lower, ignored)) return;
    }
    const std::vector<std::string> parts = words(line);
    if (lower.rfind("st ", 0) == 0 && parts.size() == 2) return limit(parts[1], 1000, moveTimeMs);
    if (lower.rfind("sd ", 0) == 0 && parts.size() == 2) return limit(parts[1], 1, depth);
    if (startsWithWord(lower, "setboard")) return setBoard(strTrimmed(line.substr(8)));
    if (lower == "new") return setBoard("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1");
    if (lower == "go" || lower == "move") return startSearch();
    trainerMove(line);
}

void CUciTranslator::limit(const std::string& value, int scale, int& target) {
    try {
        size_t used = 0;
        const double number = std::stod(value, &used);
        if (used == value.size() && number >= 0 && number * scale < 1e9) {
            target = static_cast<int>(std::lround(number * scale));
            return;
        }
    } catch (const std::exception&) {
    }
    toCaller.push_back("Illegal value: " + value);
}

void CUciTranslator::setBoard(const std::string& fen) {
    std::shared_ptr<CPosition> read;
    std::string problem;
    try {
        read = objReadFen(fen);
    } catch (const CError& error) {
        problem = error.strDescription();
    }
    if (!read) {
        toCaller.push_back("Illegal position: " + (problem.empty() ? fen : problem));
        return;
    }
    // A position that is already mate or stalemate is reported as such rather than searched.
    read->objStatus(objShownStatus(*read));
    position = read;
    const std::vector<std::string> fields = words(fen);
    fullMoveNumber = 1;
    if (fields.size() >= 6) {
        try {
            fullMoveNumber = std::max(1, std::stoi(fields[5]));
        } catch (const std::exception&) {
        }
    }
    startFen = strEngineFen(*position, fullMoveNumber);
    uciMoves.clear();
    toEngine.push_back({UciRequest::Kind::NewGame, {}, {}, {}});
    reportGameEnd();
}

void CUciTranslator::trainerMove(const std::string& text) {
    if (!position) {
        toCaller.push_back("Illegal move: " + text + " (no position is set)");
        return;
    }
    const std::string uci = strUciOfMoveText(*position, text);
    const std::shared_ptr<CPosition> next = uci.empty() ? nullptr : objPlayUciMove(*position, uci);
    if (!next) {
        toCaller.push_back("Illegal move: " + text);
        return;
    }
    if (!position->isWhiteToMove()) ++fullMoveNumber;
    position = next;
    uciMoves.push_back(uci);
    if (!reportGameEnd()) startSearch();
}

void CUciTranslator::startSearch() {
    if (!position || thinking) return;
    if (!position->objStatus()->isInProgress()) return;
    toEngine.push_back({UciRequest::Kind::Search, startFen, uciMoves, {moveTimeMs, depth}});
    thinking = true;
}

void CUciTranslator::EngineMoved(const std::string& uci) {
    // After "end" the game is over: a last answer of the engine is dropped.
    if (!thinking || quitRequested) return;
    thinking = false;
    bestMove(uci);
    // Commands that arrived during the search run now, in their order.
    std::vector<std::string> waiting;
    waiting.swap(pendingCommands);
    for (const std::string& waitingCommand : waiting)
        command(waitingCommand);
}

void CUciTranslator::bestMove(const std::string& uci) {
    if (!fault.empty()) return;
    if (uci == "(none)" || uci == "0000") {
        fault = "The engine found no move in this position.";
        return;
    }
    if (!isUciMoveText(uci)) {
        fault = "The engine sent a move that cannot be read: \"" + uci + "\".";
        return;
    }
    const bool white = position->isWhiteToMove();
    const std::shared_ptr<CPosition> next = objPlayUciMove(*position, uci);
    if (!next) {
        fault = "The engine played an illegal move: " + uci + ".";
        return;
    }
    const std::string side = white ? "White" : "Black";
    toCaller.push_back(side + "(" + std::to_string(fullMoveNumber) + "): " + next->strMoveText());
    if (!white) ++fullMoveNumber;
    position = next;
    uciMoves.push_back(uci);
    reportGameEnd();
}

bool CUciTranslator::reportGameEnd() {
    switch (position->objStatus()->intCode()) {
    case CGameStatus::WhiteWins:
        toCaller.push_back("1-0 {White mates}");
        break;
    case CGameStatus::BlackWins:
        toCaller.push_back("0-1 {Black mates}");
        break;
    case CGameStatus::DrawnByStalemate:
        toCaller.push_back("1/2-1/2 {stalemate}");
        break;
    default:
        return false;
    }
    return true;
}

std::vector<UciRequest> CUciTranslator::takeRequests() {
    std::vector<UciRequest> requests;
    requests.swap(toEngine);
    return requests;
}

std::vector<std::string> CUciTranslator::takeLinesForCaller() {
    std::vector<std::string> lines;
    lines.swap(toCaller);
    return lines;
}
