#pragma once

#include <string>

// A workbook path of this fuzzing process in a memory-backed folder when there is one, removed
// (with SQLite's journal) before each use and when the object goes.
class FuzzWorkbookFile {
public:
    explicit FuzzWorkbookFile(const std::string& name);
    ~FuzzWorkbookFile();
    FuzzWorkbookFile(const FuzzWorkbookFile&) = delete;
    FuzzWorkbookFile& operator=(const FuzzWorkbookFile&) = delete;

    // The path, with any earlier file removed.
    const std::string& strFreshPath();
    // The path as it stands.
    const std::string& strPath() const { return m_path; }

private:
    void Remove();
    std::string m_path;
};
