#include "cli/Commands.h"

#include "workbook/CWorkBook.h"

#include <cstdio>
#include <filesystem>

int printUsage(const char* usage) {
    std::fprintf(stderr, "usage: brisolt-cli %s\n", usage);
    return 2;
}

int printFailure(const std::string& message) {
    std::fprintf(stderr, "%s\n", message.c_str());
    return 1;
}

bool openExisting(CWorkBook& workbook, const std::string& fileName, std::string& message) {
    std::error_code ignored;
    if (!std::filesystem::is_regular_file(fileName, ignored)) {
        message = "No such workbook: " + fileName;
        return false;
    }
    message = workbook.strOpenWorkBook(fileName);
    return true;
}
