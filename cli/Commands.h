#pragma once

#include <string>
#include <vector>

class CWorkBook;

// Each command takes its arguments (without the command name) and returns the exit status:
// 0 done, 1 the work failed (one line on stderr says why), 2 a usage error.
using CommandArgs = std::vector<std::string>;

// Prints "usage: brisolt-cli USAGE" on stderr and returns the usage-error status.
int printUsage(const char* usage);
// Prints the reason on stderr and returns the failure status.
int printFailure(const std::string& message);
// Opens a workbook that must already exist (opening would otherwise create an empty one); false
// with "No such workbook: FILE" in message when there is no such file.
bool openExisting(CWorkBook& workbook, const std::string& fileName, std::string& message);

int runPerft(const CommandArgs& args);
int runMoves(const CommandArgs& args);
int runPlay(const CommandArgs& args);

// Engine command.
int runEngineMove(const CommandArgs& args);

// Workbook commands.
int runNew(const CommandArgs& args);
int runImport(const CommandArgs& args);
int runExport(const CommandArgs& args);
int runList(const CommandArgs& args);
int runShow(const CommandArgs& args);
int runBatch(const CommandArgs& args);
int runRecord(const CommandArgs& args);
int runScore(const CommandArgs& args);
int runDelete(const CommandArgs& args);
int runClearLog(const CommandArgs& args);
int runTitle(const CommandArgs& args);

// Progress commands.
int runHistory(const CommandArgs& args);
int runDue(const CommandArgs& args);
int runStats(const CommandArgs& args);

// Verification command.
int runVerify(const CommandArgs& args);
