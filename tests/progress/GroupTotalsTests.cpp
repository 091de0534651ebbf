// The page and chapter figures a workbook keeps up to date as it records results, against the
// same figures summed afresh by a new connection, after every kind of write.
#include "ProgressWorkbook.h"
#include "workbook/CWorkBook.h"
#include "workbook/WorkBookStatistics.h"

#include <functional>
#include <gtest/gtest.h>
#include <tuple>
#include <vector>

namespace {

using Groups = std::vector<std::tuple<std::string, int64_t, int64_t, int64_t>>;

Groups Listed(const std::vector<GroupFigures>& groups) {
    Groups list;
    for (const GroupFigures& group : groups)
        list.emplace_back(group.strName, group.lngGames, group.lngAttempts, group.lngSolved);
    return list;
}

// The figures by page and by chapter.
std::pair<Groups, Groups> Read(const WorkBookStatistics& statistics) {
    return {Listed(statistics.arrByPage(100)), Listed(statistics.arrByChapter(100))};
}

TEST(GroupTotals, KeptFiguresMatchAFreshSumAfterEveryWrite) {
    ProgressWorkbook file(0);
    // Pages with blanks around them or none; chapters from the leading word, one from a tag;
    // counters that are NULL, text, zero, or more successes than attempts.
    file.exec("insert into GameTree (ID, Description, XRefPage, Hits, Solve) values "
              "(1, 'Fork: knight', ' p.1 ', 3, 1), (2, 'Fork queen', 'p.1', 2, 2), "
              "(3, 'Pin', 'p.2', 0, 0), (4, null, null, null, null), (5, 'Pin this', 'p.2', "
              "'x', 'y'), (6, 'Mate', 'p.3', 2, 5), (7, 'Mate in 2', 'p.3', 4, 0)");
    file.exec("insert into GameTag (GameTreeID, Tags) values (7, '[Chapter \"Endings\"]')");
    CWorkBook workbook;
    workbook.strOpenWorkBook(file.file());
    auto fresh = [&] {
        SqlConnection other(file.file());
        return Read(WorkBookStatistics(other));
    };
    ASSERT_EQ(Read(workbook.objStatistics()), fresh());
    ASSERT_FALSE(fresh().second.empty());

    const struct {
        const char* write;
        std::function<void()> run;
    } writes[] = {
        {"a failure", [&] { workbook.UpdateError(1); }},
        {"an untried game's first success", [&] { workbook.UpdateSuccess(3); }},
        {"a game without counters", [&] { workbook.UpdateError(4); }},
        {"text counters", [&] { workbook.UpdateSuccess(5); }},
        {"more successes than attempts", [&] { workbook.UpdateError(6); }},
        {"a game in a tagged chapter", [&] { workbook.UpdateSuccess(7); }},
        {"a game that does not exist", [&] { workbook.UpdateSuccess(99); }},
        {"another program's change",
         [&] { file.exec("update GameTree set XRefPage = 'p.9', Hits = 9 where ID = 2"); }},
        {"a result after it", [&] { workbook.UpdateSuccess(2); }},
        {"a batch rolled back",
         [&] {
             workbook.BeginBatch();
             workbook.UpdateError(1);
             workbook.RollbackBatch();
         }},
        {"a batch committed",
         [&] {
             workbook.BeginBatch();
             workbook.UpdateSuccess(1);
             workbook.UpdateError(6);
             workbook.CommitBatch();
         }},
        {"a batch with a result and a deletion",
         [&] {
             workbook.BeginBatch();
             workbook.UpdateSuccess(2);
             workbook.DeleteGame(5);
             workbook.CommitBatch();
         }},
        {"a deleted game", [&] { workbook.DeleteGame(6); }},
        {"the log cleared", [&] { workbook.ClearLog(); }},
        {"a result after that", [&] { workbook.UpdateError(7); }},
    };
    for (const auto& write : writes) {
        SCOPED_TRACE(write.write);
        write.run();
        EXPECT_EQ(Read(workbook.objStatistics()), fresh());
    }
}

} // namespace
