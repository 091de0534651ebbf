// The progress commands of brisolt-cli: history (the attempts, one a line), due (the review
// order of a day) and stats (the statistics window's figures).
#include "cli/Commands.h"
#include "settings/SettingsTable.h"
#include "workbook/CWorkBook.h"
#include "workbook/ReviewDay.h"
#include "workbook/WorkBookProgress.h"
#include "workbook/WorkBookStatistics.h"

#include <cstdio>
#include <optional>
#include <string>

namespace {

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
    CWorkBook workbook;
    std::string message;
    if (!openExisting(workbook, args[0], message)) return printFailure(message);
    const char separator = csv ? ',' : '\t';
    std::string out = csv ? "time,game,result,wrong_moves,solution_shown,seconds\n" : "";
    WorkBookProgress progress = workbook.objProgress();
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
    CWorkBook workbook;
    std::string message;
    if (!openExisting(workbook, args[0], message)) return printFailure(message);
    std::string out;
    WorkBookProgress progress = workbook.objProgress();
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
    CWorkBook workbook;
    std::string message;
    if (!openExisting(workbook, args[0], message)) return printFailure(message);
    const TrainingStatistics statistics =
        workbook.objStatistics().objRead(day.value_or(ReviewDay::lngToday()));
    const std::string out = csv ? statistics.strCsv() : statistics.strText();
    std::fputs(out.c_str(), stdout);
    return 0;
}
