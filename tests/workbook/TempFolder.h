#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <unistd.h>

// The shared-memory folder where there is one, else the system's temporary folder: a killed
// process loses nothing that reached the page cache, so memory-backed files show the same
// outcomes as a disk while letting many more writes race a kill.
inline std::filesystem::path MemoryFolder() {
    std::error_code ignored;
    return std::filesystem::is_directory("/dev/shm", ignored) && access("/dev/shm", W_OK) == 0
               ? std::filesystem::path("/dev/shm")
               : std::filesystem::temp_directory_path();
}

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
public:
    // The folder is made under the base folder, or the system's temporary folder by default.
    explicit TempFolder(std::filesystem::path base = std::filesystem::temp_directory_path()) {
        std::string pattern = (base / "brisolt-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("cannot make a folder under " + base.string());
        m_path = pattern;
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string file(const std::string& name) const { return (m_path / name).string(); }
    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

// The whole content of a file ("" when it cannot be read).
inline std::string FileBytes(const std::string& path) {
    std::ifstream input(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(input), std::istreambuf_iterator<char>());
}

// Writes the bytes as the whole content of a file.
inline void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream output(path, std::ios::binary | std::ios::trunc);
    output << bytes;
}
