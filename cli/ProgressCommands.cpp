// The progress commands of brisolt-cli: history (the attempts, one a line), due (the review
// order of a day) and stats (the statistics window's figures).
#include "cli/Commands.h"
#include "settings/SettingsTable.h"
#include "workbook/CWorkBook.h"
#include "workbook/ReviewDay.h"
#include "workbook/WorkBookProgress.h"
#include "workbook/WorkBookStatistics.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <sqlite3.h>
#include <string>

namespace {

struct CloseConnection {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};
using Connection = std::unique_ptr<sqlite3, CloseConnection>;

// Opens an existing workbook for reading: the workbook's own checks first, then a read-only
// connection that runs none of the file's triggers or views.
Connection openForReading(const std::string& fileName, std::string& message) {
    std::error_code ignored;
    if (!std::filesystem::is_regular_file(fileName, ignored)) {
        message = "No such workbook: " + fileName;
        return nullptr;
    }
    {
        CWorkBook workbook;
        workbook.strOpenWorkBook(fileName);
    }
    sqlite3* db = nullptr;
    const int code = sqlite3_open_v2(fileName.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    Connection connection(db);
    if (code != SQLITE_OK) {
        message = "Cannot open the workbook " + fileName + ": " + sqlite3_errstr(code);
        return nullptr;
    }
    sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_VIEW, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 0, nullptr);
    sqlite3_limit(db, SQLITE_LIMIT_LENGTH, 1000000);
    sqlite3_limit(db, SQLITE_LIMIT_ATTACHED, 0);
    sqlite3_busy_timeout(db, 5000);
    return connection;
}

// Reads "--option VALUE" pairs after the file; false for anything else.
bool readDateOption(const CommandArgs& args, const char* option, std::optional<int64_t>& day,
                    bool& csv, bool allowCsv) {
    for (size_t i = 1; i < args.size(); ++i) {
        if (allowCsv && args[i] == "--csv") {
            csv = true;
        } else if (args[i] == option && i + 1 < args.size() && !day) {
            day = ReviewDay::parse(args[++i]);
            if (!day) {
                std::fprintf(stderr, "Not a date (YYYY-MM-DD): %s\n", args[i].c_str());
                return false;
            }
        } else {
            return false;
        }
    }
    return true;
}

} // namespace

int runHistory(const CommandArgs& args) {
    const char* usage = "history FILE [--since DATE] [--csv]";
    std::optional<int64_t> since;
    bool csv = false;
    if (args.empty() || !readDateOption(args, "--since", since, csv, true))
        return printUsage(usage);
    std::string message;
    Connection db = openForReading(args[0], message);
    if (!db) return printFailure(message);
    const char separator = csv ? ',' : '\t';
    std::string out = csv ? "time,game,result,wrong_moves,solution_shown,seconds\n" : "";
    WorkBookProgress progress(db.get());
    progress.ForEachAttempt(since ? ReviewDay::lngLocalStartOf(*since) : INT64_MIN,
                            [&](const TrainingAttempt& row) {
                                out += ReviewDay::strLocalTimeText(row.lngAttemptedAt) + separator +
                                       std::to_string(row.lngGameId) + separator +
                                       (row.isSolved ? "success" : "failure") + separator +
                                       std::to_string(row.lngWrongMoves) + separator +
                                       (row.isSolutionShown ? "yes" : "no") + separator +
                                       std::to_string(row.lngSeconds) + '\n';
                                if (out.size() > (1 << 16)) {
                                    std::fputs(out.c_str(), stdout);
                                    out.clear();
                                }
                            });
    std::fputs(out.c_str(), stdout);
    return 0;
}

int runDue(const CommandArgs& args) {
    const char* usage = "due FILE [--date DATE]";
    std::optional<int64_t> day;
    bool csv = false;
    if (args.empty() || !readDateOption(args, "--date", day, csv, false)) return printUsage(usage);
    std::string message;
    Connection db = openForReading(args[0], message);
    if (!db) return printFailure(message);
    std::string out;
    WorkBookProgress progress(db.get());
    for (const DueGame& game : progress.arrDueGames(day.value_or(ReviewDay::lngToday()),
                                                    std::stoi(Settings::NewGamesPerDay.fallback))) {
        out += std::to_string(game.lngGameId) + '\t' +
               (game.isNew ? std::string("new") : ReviewDay::strText(game.lngDueDay)) + '\n';
    }
    std::fputs(out.c_str(), stdout);
    return 0;
}

int runStats(const CommandArgs& args) {
    const char* usage = "stats FILE [--date DATE] [--csv]";
    std::optional<int64_t> day;
    bool csv = false;
    if (args.empty() || !readDateOption(args, "--date", day, csv, true)) return printUsage(usage);
    std::string message;
    Connection db = openForReading(args[0], message);
    if (!db) return printFailure(message);
    const TrainingStatistics statistics =
        WorkBookStatistics(db.get()).objRead(day.value_or(ReviewDay::lngToday()));
    const std::string out = csv ? statistics.strCsv() : statistics.strText();
    std::fputs(out.c_str(), stdout);
    return 0;
}
