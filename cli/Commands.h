#pragma once

#include <string>
#include <vector>

// Each command takes its arguments (without the command name) and returns the exit status:
// 0 done, 1 the work failed (one line on stderr says why), 2 a usage error.
using CommandArgs = std::vector<std::string>;

int runPerft(const CommandArgs& args);
int runMoves(const CommandArgs& args);
int runPlay(const CommandArgs& args);

// Engine command.
int runEngineMove(const CommandArgs& args);
