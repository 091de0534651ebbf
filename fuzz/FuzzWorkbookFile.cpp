#include "fuzz/FuzzWorkbookFile.h"

#include <filesystem>
#include <unistd.h>

FuzzWorkbookFile::FuzzWorkbookFile(const std::string& name) {
    std::error_code error;
    // A folder in memory keeps SQLite's syncs from dominating every run.
    std::filesystem::path folder = std::filesystem::is_directory("/dev/shm", error)
                                       ? std::filesystem::path("/dev/shm")
                                       : std::filesystem::temp_directory_path();
    m_path = (folder / ("brisolt-fuzz-" + std::to_string(getpid()) + "-" + name + ".wbk")).string();
}

FuzzWorkbookFile::~FuzzWorkbookFile() {
    Remove();
}

const std::string& FuzzWorkbookFile::strFreshPath() {
    Remove();
    return m_path;
}

void FuzzWorkbookFile::Remove() {
    std::error_code ignored;
    std::filesystem::remove(m_path, ignored);
    std::filesystem::remove(m_path + "-journal", ignored);
}
