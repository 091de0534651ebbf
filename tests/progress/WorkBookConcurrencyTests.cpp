// Two processes recording results on one workbook at the same moment: every result is kept with
// its history row, none is refused, and the file stays whole.
#include "ProgressWorkbook.h"
#include "workbook/CWorkBook.h"

#include <ctime>
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
    // Quick commits in memory give the processes more chances to meet inside each other's
    // transactions.
    TempFolder folder(MemoryFolder());
    const std::string path = folder.file("book.brl");
    std::filesystem::copy_file(file.file(), path);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) _exit(std::min(RecordMany(path, kEach), 255));
    EXPECT_EQ(RecordMany(path, kEach), 0);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    RawDatabase shared(path);
    EXPECT_EQ(shared.value("select count(*) from TrainingHistory"), std::to_string(2 * kEach));
    EXPECT_EQ(shared.value("select sum(Hits) from GameTree"), std::to_string(2 * kEach));
    EXPECT_EQ(shared.value("pragma integrity_check"), "ok");
}

} // namespace
