#pragma once

#include <functional>
#include <string>
#include <vector>

// The console protocol's setup, sent in this order before every practice game (quiet output, 2
// seconds and depth 6 per move, no log files); "setboard " and the FEN follow.
const std::vector<std::string>& arrstrSetupCommands();

// The character that separates lines of collected engine output.
inline constexpr char ENGINE_SEPARATOR = '\x01';

// Collects every pending piece of engine output: pieces are taken from getMessage until one is
// blank; carriage returns and line feeds become single separators and NUL characters go.
// Returns "" when nothing is pending.
std::string strReadEngineOutput(const std::function<std::string()>& getMessage);

// What the engine's output says for the side it plays.
struct EngineOutputParse {
    // The engine's move text, trimmed, from the earliest line naming the side with a colon;
    // "" when there is none.
    std::string strMove;
    // The earliest line that ends the game (it holds "{" or "stalemate"); "" when none does.
    std::string strResult;
    // True when a line ends the game.
    bool isGameOver = false;
    // The latest line refusing a move sent to the engine ("Illegal move: d4"); "" when none.
    std::string strRefusal;

    // True when that line refuses the command sent ("d4", "go").
    bool isRefusalOf(const std::string& sent) const {
        return strRefusal.find(": " + sent) != std::string::npos;
    }
};

// Reads the engine's move and the end of the game from output collected by strReadEngineOutput;
// side is "White" or "Black", the side the engine plays.
EngineOutputParse parseEngineOutput(const std::string& output, const std::string& side);

// The engine's move text in the output for the given side, or "".
std::string strParseEngineOutput(const std::string& output, const std::string& side);
