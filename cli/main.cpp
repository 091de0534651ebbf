// brisolt-cli: the rules, workbook, PGN and engine commands of Brisolt on the command line.
#include "cli/Commands.h"

#include <cstdio>
#include <cstring>
#include <exception>

namespace {

struct Command {
    const char* name;
    const char* usage;
    int (*run)(const CommandArgs&);
};

const Command commands[] = {
    {"perft", "perft FEN DEPTH [--divide]", runPerft},
    {"moves", "moves FEN", runMoves},
    {"play", "play FEN MOVETEXT...", runPlay},
    {"new", "new FILE [--title TEXT]", runNew},
    {"import", "import FILE PGN...", runImport},
    {"export", "export FILE OUT.pgn [ID...]", runExport},
    {"list", "list FILE", runList},
    {"show", "show FILE ID", runShow},
    {"batch", "batch FILE [N]", runBatch},
    {"record", "record FILE ID success|error", runRecord},
    {"score", "score FILE", runScore},
    {"delete", "delete FILE ID", runDelete},
    {"clear-log", "clear-log FILE", runClearLog},
    {"title", "title FILE [TEXT]", runTitle},
    {"history", "history FILE [--since DATE] [--csv]", runHistory},
    {"due", "due FILE [--date DATE]", runDue},
    {"stats", "stats FILE [--date DATE] [--csv]", runStats},
    {"engine-move", "engine-move FEN [--engine PATH] [--time SECONDS] [--depth N]", runEngineMove},
    {"verify", "verify FILE [ID...] [--engine PATH] [--time SECONDS] [--depth N] [--lines N]",
     runVerify},
};

// The usage on the stream, and the exit status that goes with it.
int usage(FILE* stream, int status) {
    std::fprintf(stream, "usage: brisolt-cli COMMAND ARGS...\ncommands:\n");
    for (const Command& command : commands)
        std::fprintf(stream, "  %s\n", command.usage);
    return status;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage(stderr, 2);
    // Asked for, the usage is the output of a command that worked.
    for (const char* ask : {"--help", "-h", "help"})
        if (std::strcmp(argv[1], ask) == 0) return usage(stdout, 0);
    for (const Command& command : commands) {
        if (std::strcmp(argv[1], command.name) != 0) continue;
        try {
            return command.run(CommandArgs(argv + 2, argv + argc));
        } catch (const std::exception& error) {
            std::fprintf(stderr, "%s\n", error.what());
            return 1;
        }
    }
    std::fprintf(stderr, "unknown command: %s\n", argv[1]);
    return usage(stderr, 2);
}
