// Workbook files from anywhere: nothing in a file runs, writes outside it or hangs the program.
#include "HostileWorkbooks.h"
#include "TempFolder.h"
#include "model/CError.h"
#include "tests/model/Checks.h"
#include "workbook/CWorkBook.h"
#include "workbook/SqlConnection.h"
#include "workbook/SqlStatement.h"

#include <gtest/gtest.h>
#include <map>
#include <tuple>

namespace {

// Every file of the folder with its bytes.
std::map<std::string, std::string> FolderContent(const std::filesystem::path& folder) {
    std::map<std::string, std::string> content;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        content[entry.path().filename().string()] = FileBytes(entry.path().string());
    return content;
}

TEST(WorkBookUntrusted, FilesWithTriggersOrViewsAreRefusedNamingThemAndLeftAsTheyAre) {
    for (const HostileWorkbook& hostile : HostileWorkbooks()) {
        SCOPED_TRACE(hostile.name);
        TempFolder folder;
        const std::string path = folder.file("shared.brl");
        WriteWorkbookWithTwoGames(path);
        RawDatabase(path).exec(hostile.sql);
        const auto before = FolderContent(folder.path());
        CWorkBook workbook;
        const std::string error = ErrorOf([&] { workbook.strOpenWorkBook(path); });
        EXPECT_TRUE(Contains(error, "CWorkBook 9999: "));
        EXPECT_TRUE(Contains(error, hostile.naming));
        EXPECT_TRUE(Contains(error, "never runs"));
        EXPECT_EQ(workbook.lngDBHandle(), 0);
        EXPECT_THROW(workbook.UpdateSuccess(1), CError);
        // Nothing was written: not the file, not a journal, nothing beside it.
        EXPECT_EQ(FolderContent(folder.path()), before);
    }
}

// Behind the refusal, the connection itself runs nothing of the file's, even for a file that got
// past the schema check, and no statement grows a value past the limit or runs forever.
TEST(WorkBookUntrusted, TheConnectionRunsNothingOfTheFileAndStopsRunawayStatements) {
    TempFolder folder;
    const std::string path = folder.file("inside.brl");
    WriteWorkbookWithTwoGames(path);
    RawDatabase(path).exec(
        "create trigger Wipe after update on GameTree begin delete from GameNode; end;"
        "create view Everything as select * from GameNode");
    SqlConnection connection(path);
    const auto number = [&](const char* sql) {
        SqlStatementScope query(connection.prepared(sql));
        return query->step() ? query->integer(0) : -1;
    };
    SqlStatementScope(connection.prepared("update GameTree set Hits=Hits+1 where ID=1"))->run();
    EXPECT_EQ(number("select count(*) from GameNode"), 4) << "the trigger ran";
    const std::tuple<const char*, const char*> cases[] = {
        {"select * from Everything", "view"},
        {"select load_extension('/tmp/none.so')", "not authorized"},
        {"attach 'elsewhere.brl' as other", "too many attached"},
        // The same text made inside SQLite is refused too, so no stored value can grow past it.
        {"update GameTree set Description=randomblob(2000000)", "too big"},
    };
    for (const auto& [sql, messagePart] : cases)
        EXPECT_TRUE(Contains(MessageOf([&] { connection.exec(sql); }), messagePart));
    // Defensive mode accepts the pragma but keeps the schema read-only.
    connection.exec("pragma writable_schema=1");
    EXPECT_THROW(connection.exec("update sqlite_master set sql='x' where name='Wipe'"), CError);
    EXPECT_FALSE(std::filesystem::exists(folder.file("elsewhere.brl")));

    const std::string huge(SqlConnection::kMaxLength + 1, 'x');
    SqlStatementScope update(connection.prepared("update GameTree set Description=? where ID=1"));
    EXPECT_THROW(update->bind(1, huge).run(), CError);
    EXPECT_EQ(number("select max(length(Description)) from GameTree"), 3);

    const int before = SqlConnection::SetStatementTimeLimitMs(300);
    EXPECT_TRUE(Contains(MessageOf([&] {
                             number("with recursive n(i) as (select 1 union all select i+1 from n) "
                                    "select count(*) from n");
                         }),
                         "was stopped"));
    SqlConnection::SetStatementTimeLimitMs(before);
    EXPECT_EQ(number("select count(*) from GameTree"), 2) << "the connection stays usable";
}

} // namespace
