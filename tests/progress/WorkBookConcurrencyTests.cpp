// Two processes recording results on one workbook at the same moment: every result is kept with
// its history row, none is refused, and the file stays whole.
#include "ProgressWorkbook.h"
#include "workbook/CWorkBook.h"

#include <ctime>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Records results on games 1 to 10 in turn; returns how many were refused.
int RecordMany(const std::string& file, int count) {
    CWorkBook book;
    book.strOpenWorkBook(file);
    int refused = 0;
    for (int i = 0; i < count; ++i) {
        try {
            book.RecordAttempt({0, (i % 10) + 1, std::time(nullptr), i % 3 != 0, i % 3, false, 4});
        } catch (const std::exception&) {
            ++refused;
        }
    }
    return refused;
}

TEST(WorkBookConcurrencyTest, TwoProcessesRecordingAtOnceKeepEveryResultWithItsRow) {
    constexpr int kEach = 150;
    ProgressWorkbook file(10);
    // In memory when the system has a shared-memory folder: quick commits give the two
    // processes many more chances to meet inside each other's transactions.
    std::string path = file.file();
    char folder[] = "/dev/shm/brisolt-concurrency-XXXXXX";
    const bool shared = std::filesystem::is_directory("/dev/shm") && mkdtemp(folder) != nullptr;
    if (shared) {
        path = std::string(folder) + "/book.brl";
        std::filesystem::copy_file(file.file(), path);
    }
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) _exit(std::min(RecordMany(path, kEach), 255));
    const int refusedHere = RecordMany(path, kEach);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(refusedHere, 0);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    if (shared) {
        file.exec("attach '" + path + "' as shared");
        EXPECT_EQ(file.number("select count(*) from shared.TrainingHistory"), 2 * kEach);
        EXPECT_EQ(file.number("select sum(Hits) from shared.GameTree"), 2 * kEach);
        EXPECT_EQ(file.number("select count(*) from shared.pragma_integrity_check where "
                              "integrity_check = 'ok'"),
                  1);
        file.exec("detach shared");
        std::filesystem::remove_all(folder);
        return;
    }
    EXPECT_EQ(file.number("select count(*) from TrainingHistory"), 2 * kEach);
    EXPECT_EQ(file.number("select sum(Hits) from GameTree"), 2 * kEach);
    EXPECT_EQ(file.number("select count(*) from pragma_integrity_check where integrity_check = "
                          "'ok'"),
              1);
}

} // namespace
