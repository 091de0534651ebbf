#include "cli/Commands.h"

#include <cstdio>

int printUsage(const char* usage) {
    std::fprintf(stderr, "usage: brisolt-cli %s\n", usage);
    return 2;
}

int printFailure(const std::string& message) {
    std::fprintf(stderr, "%s\n", message.c_str());
    return 1;
}
