#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class SqlConnection;

// Attempts and successes in one period (a day, or the week starting on that day).
struct PeriodFigures {
    int64_t lngFirstDay = 0; // day number (ReviewDay)
    int64_t lngAttempts = 0;
    int64_t lngSolved = 0;
};

// The results of the games sharing a page reference or a chapter.
struct GroupFigures {
    std::string strName; // "" for games without one
    int64_t lngGames = 0;
    int64_t lngAttempts = 0;
    int64_t lngSolved = 0;
};

// One game as the statistics list it.
struct GameFigures {
    int64_t lngGameId = 0;
    std::string strDescription;
    std::string strPage;
    int64_t lngAttempts = 0;
    int64_t lngSolved = 0;
    int64_t lngLastDay = -1; // the day of its last attempt, -1 when unknown
};

// The figures of today and of the recent run.
struct TrainingSummary {
    int64_t lngToday = 0; // the day the figures were read for
    int64_t lngTodayAttempts = 0;
    int64_t lngTodaySolved = 0;
    int64_t lngStreakDays = 0; // days in a row, up to today, with at least one attempt
    int64_t lngSuccessRun = 0; // the latest attempts up to today solved in a row, as recorded
};

// Everything the statistics show.
struct TrainingStatistics {
    TrainingSummary objSummary;
    std::vector<PeriodFigures> arrByDay;  // oldest first, ending today
    std::vector<PeriodFigures> arrByWeek; // oldest first, weeks start on Monday
    std::vector<GroupFigures> arrByPage;  // weakest first
    std::vector<GroupFigures> arrByChapter;
    std::vector<GameFigures> arrMostFailed;
    std::vector<GameFigures> arrLongestUnseen;

    // The figures as lines of text for a terminal.
    std::string strText() const;
    // The figures as CSV: one section per table, a header line each.
    std::string strCsv() const;
};

// The training statistics of a workbook, every figure aggregated by SQLite on the caller's
// connection, through its kept statements. History rows of games that no longer exist, rows dated
// after today and values that are not numbers are left out. Failures raise error 9999 "CWorkBook".
class WorkBookStatistics {
public:
    // Reads through the connection (not owned; it must outlive this object).
    explicit WorkBookStatistics(SqlConnection& connection);

    // Today's count, the day streak and the success run, as of the day.
    TrainingSummary objSummary(int64_t today) const;
    // Attempts per day for the days up to today, oldest first.
    std::vector<PeriodFigures> arrByDay(int64_t today, int32_t days) const;
    // Attempts per week (Monday to Sunday) for the weeks up to today's, oldest first.
    std::vector<PeriodFigures> arrByWeek(int64_t today, int32_t weeks) const;
    // The games' counters by page reference, lowest success rate first, at most limit.
    std::vector<GroupFigures> arrByPage(int32_t limit) const;
    // The games' counters by chapter: the import's chapter tag, else the description's leading
    // word; lowest success rate first, at most limit.
    std::vector<GroupFigures> arrByChapter(int32_t limit) const;
    // The games failed most often (attempts less successes), at most limit.
    std::vector<GameFigures> arrMostFailed(int32_t limit) const;
    // The games trained before whose last attempt is oldest, at most limit.
    std::vector<GameFigures> arrLongestUnseen(int32_t limit) const;
    // The sizes the statistics window and brisolt-cli stats show.
    static constexpr int32_t intDays = 30;
    static constexpr int32_t intWeeks = 26;
    static constexpr int32_t intGroups = 20;
    static constexpr int32_t intGames = 15;

    // All of the above with those sizes.
    TrainingStatistics objRead(int64_t today) const;

    // Inside the transaction that records a result for the game, before its counters change:
    // takes its share out of the kept page and chapter totals when they are kept at the file's
    // change counter (nothing: not known), and forgets them otherwise.
    void TakeOutGame(int64_t id, std::optional<uint32_t> counter) const;
    // After its counters changed: puts the game's share back into the totals still kept and marks
    // them with the counter the commit to come will give the file (nothing: forgets them).
    void PutBackGame(int64_t id, std::optional<uint32_t> counterAfter) const;

private:
    std::vector<GroupFigures> arrGroups(int64_t kind, int32_t limit) const;
    std::optional<int64_t> objTotalsAt(int64_t kind) const;
    void ForgetTotals(int64_t kind) const;
    void MarkTotals(int64_t kind, std::optional<uint32_t> counter) const;
    std::vector<PeriodFigures> arrPeriods(int64_t firstDay, int32_t count, int32_t length) const;

    SqlConnection& m_connection;
};
