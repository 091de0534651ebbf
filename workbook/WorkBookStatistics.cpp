#include "workbook/WorkBookStatistics.h"

#include "model/CError.h"
#include "workbook/ReviewDay.h"
#include "workbook/SqlStatement.h"

#include <algorithm>
#include <optional>
#include <sqlite3.h>

namespace {

// A stored counter as a number: anything but a whole number counts as 0.
#define COUNTER(c) "(case when typeof(" c ") = 'integer' and " c " > 0 then " c " else 0 end)"

// Attempts in a time range, counted from the covering time index alone. Every recorded attempt
// counts, also one of a game deleted since by another program (Brisolt removes a game's rows
// with the game): looking each row's game up would cost a read per attempt.
const char* const kPeriod =
    "select count(*), coalesce(sum(h.Solved = 1), 0) from TrainingHistory h where h.AttemptedAt "
    ">= ? and h.AttemptedAt < ?";
const char* const kAnyAttempt =
    "select 1 from TrainingHistory h where h.AttemptedAt >= ? and h.AttemptedAt < ? and exists "
    "(select 1 from GameTree g where g.ID = h.GameTreeID) limit 1";
// The latest results in the order they were recorded (a clock set back does not reorder them).
const char* const kLatestResults =
    "select h.Solved = 1 from TrainingHistory h where exists (select 1 from GameTree g where "
    "g.ID = h.GameTreeID) order by h.ID desc";
const char* const kTables = "select count(*) from sqlite_master where type = 'table' and "
                            "lower(name) = lower(?)";

#define GROUP_FIGURES(key, from)                                                                   \
    "select " key                                                                                  \
    " as k, count(*), sum(" COUNTER("g.Hits") "), sum(min(" COUNTER("g.Solve") ", " COUNTER(       \
        "g.Hits") ")) as s from " from                                                             \
                  " where " COUNTER("g.Hits") " > 0 group by k order by 1.0 * sum(min(" COUNTER(   \
                      "g.Solve") ", " COUNTER("g.Hits") ")) / sum(" COUNTER("g.Hits") "), "        \
                                                                                      "sum"        \
                                                                                      "(" COUNTER( \
                                                                                          "g."     \
                                                                                          "Hits") ") desc, k limit ?"

const char* const kByPage = GROUP_FIGURES("trim(coalesce(g.XRefPage, ''))", "GameTree g");

// The description's leading word, without the punctuation that may end it ("Fork: ...").
#define LEADING_WORD                                                                               \
    "rtrim(case when instr(trim(coalesce(g.Description, '')), ' ') > 0 then "                      \
    "substr(trim(g.Description), 1, instr(trim(g.Description), ' ') - 1) else "                    \
    "trim(coalesce(g.Description, '')) end, ':;,.!?-')"
// The value of a [Chapter "..."] line of the game's stored tags (quotes and backslashes stored
// escaped), NULL without one.
#define CHAPTER_TAG                                                                                \
    "(case when instr(t.Tags, '[Chapter \"') > 0 then replace(replace(substr(substr(t.Tags, "      \
    "instr(t.Tags, '[Chapter \"') + 10), 1, instr(substr(t.Tags, instr(t.Tags, '[Chapter \"') + "  \
    "10), '\"]') - 1), '\\\"', '\"'), '\\\\', '\\') end)"

const char* const kByChapter = GROUP_FIGURES(LEADING_WORD, "GameTree g");
const char* const kByChapterTagged =
    GROUP_FIGURES("coalesce(nullif(trim(" CHAPTER_TAG "), ''), " LEADING_WORD ")",
                  "GameTree g left join GameTag t on t.GameTreeID = g.ID");

const char* const kMostFailed =
    "select g.ID, g.Description, g.XRefPage, " COUNTER("g.Hits") ", min(" COUNTER(
        "g."
        "So"
        "lv"
        "e") ", " COUNTER("g.Hits") ") from GameTree g where " COUNTER("g.Hits") " > " COUNTER("g."
                                                                                               "Sol"
                                                                                               "ve") " order by " COUNTER("g.Hits") " - " COUNTER("g.Solve") " desc, g.ID "
                                                                                                                                                             "limit ?";
// The schedule keeps each game's last day, indexed; games trained but since deleted are skipped.
const char* const kLongestUnseen =
    "select g.ID, g.Description, g.XRefPage, " COUNTER("g.Hits") ", min(" COUNTER(
        "g.Solve") ", " COUNTER("g.Hits") "), s.LastReviewDay from TrainingSchedule s join "
                                          "GameTree g on g.ID = s.GameTreeID where "
                                          "typeof(s.LastReviewDay) = 'integer' "
                                          "order by s.LastReviewDay, s.GameTreeID limit ?";

// A streak longer than this many days is shown as this many.
constexpr int64_t kLongestStreak = 3660;

bool hasTable(sqlite3* db, const char* name) {
    const std::string text(name);
    SqlStatement tables(db, kTables);
    tables.bind(1, text);
    return tables.step() && tables.integer(0) > 0;
}

int64_t numberOr0(const SqlStatement& row, int column) {
    return row.isInteger(column) ? row.integer(column) : 0;
}

} // namespace

WorkBookStatistics::WorkBookStatistics(sqlite3* db) : m_db(db) {
    if (db == nullptr) RaiseError("CWorkBook", "No workbook is open.");
}

std::vector<PeriodFigures> WorkBookStatistics::arrPeriods(int64_t firstDay, int32_t count,
                                                          int32_t length) const {
    std::vector<PeriodFigures> periods;
    if (count <= 0) return periods;
    const bool history = hasTable(m_db, "TrainingHistory");
    std::optional<SqlStatement> period;
    if (history) period.emplace(m_db, kPeriod);
    for (int32_t k = 0; k < count; ++k) {
        PeriodFigures figures;
        figures.lngFirstDay = firstDay + int64_t{k} * length;
        if (period) {
            period->reset();
            period->bind(1, ReviewDay::lngLocalStartOf(figures.lngFirstDay));
            period->bind(2, ReviewDay::lngLocalStartOf(figures.lngFirstDay + length));
            if (period->step()) {
                figures.lngAttempts = numberOr0(*period, 0);
                figures.lngSolved = numberOr0(*period, 1);
            }
        }
        periods.push_back(figures);
    }
    return periods;
}

std::vector<PeriodFigures> WorkBookStatistics::arrByDay(int64_t today, int32_t days) const {
    return arrPeriods(today - days + 1, days, 1);
}

std::vector<PeriodFigures> WorkBookStatistics::arrByWeek(int64_t today, int32_t weeks) const {
    // Day 0 (1970-01-01) was a Thursday: Monday is 3 days after it.
    const int64_t monday = today - (((today - 4) % 7) + 7) % 7;
    return arrPeriods(monday - int64_t{7} * (weeks - 1), weeks, 7);
}

TrainingSummary WorkBookStatistics::objSummary(int64_t today) const {
    TrainingSummary summary;
    summary.lngToday = today;
    if (!hasTable(m_db, "TrainingHistory")) return summary;
    const std::vector<PeriodFigures> day = arrPeriods(today, 1, 1);
    summary.lngTodayAttempts = day.front().lngAttempts;
    summary.lngTodaySolved = day.front().lngSolved;

    // A day without training yet does not break the streak until it is over.
    SqlStatement any(m_db, kAnyAttempt);
    int64_t day0 = summary.lngTodayAttempts > 0 ? today : today - 1;
    while (summary.lngStreakDays < kLongestStreak) {
        any.reset();
        any.bind(1, ReviewDay::lngLocalStartOf(day0));
        any.bind(2, ReviewDay::lngLocalStartOf(day0 + 1));
        if (!any.step()) break;
        ++summary.lngStreakDays;
        --day0;
    }

    SqlStatement latest(m_db, kLatestResults);
    while (latest.step() && numberOr0(latest, 0) == 1)
        ++summary.lngSuccessRun;
    return summary;
}

std::vector<GroupFigures> WorkBookStatistics::arrGroups(const char* sql, int32_t limit) const {
    std::vector<GroupFigures> groups;
    SqlStatement rows(m_db, sql);
    rows.bind(1, int64_t{std::max(limit, 0)});
    while (rows.step()) {
        groups.push_back(
            {rows.text(0), numberOr0(rows, 1), numberOr0(rows, 2), numberOr0(rows, 3)});
    }
    return groups;
}

std::vector<GroupFigures> WorkBookStatistics::arrByPage(int32_t limit) const {
    return arrGroups(kByPage, limit);
}

std::vector<GroupFigures> WorkBookStatistics::arrByChapter(int32_t limit) const {
    return arrGroups(hasTable(m_db, "GameTag") ? kByChapterTagged : kByChapter, limit);
}

std::vector<GameFigures> WorkBookStatistics::arrMostFailed(int32_t limit) const {
    std::vector<GameFigures> games;
    SqlStatement rows(m_db, kMostFailed);
    rows.bind(1, int64_t{std::max(limit, 0)});
    while (rows.step())
        games.push_back({numberOr0(rows, 0), rows.text(1), rows.text(2), numberOr0(rows, 3),
                         numberOr0(rows, 4), -1});
    return games;
}

std::vector<GameFigures> WorkBookStatistics::arrLongestUnseen(int32_t limit) const {
    std::vector<GameFigures> games;
    if (!hasTable(m_db, "TrainingSchedule")) return games;
    SqlStatement rows(m_db, kLongestUnseen);
    rows.bind(1, int64_t{std::max(limit, 0)});
    while (rows.step())
        games.push_back({numberOr0(rows, 0), rows.text(1), rows.text(2), numberOr0(rows, 3),
                         numberOr0(rows, 4), numberOr0(rows, 5)});
    return games;
}

TrainingStatistics WorkBookStatistics::objRead(int64_t today) const {
    TrainingStatistics statistics;
    statistics.objSummary = objSummary(today);
    statistics.arrByDay = arrByDay(today, WorkBookStatistics::intDays);
    statistics.arrByWeek = arrByWeek(today, WorkBookStatistics::intWeeks);
    statistics.arrByPage = arrByPage(WorkBookStatistics::intGroups);
    statistics.arrByChapter = arrByChapter(WorkBookStatistics::intGroups);
    statistics.arrMostFailed = arrMostFailed(WorkBookStatistics::intGames);
    statistics.arrLongestUnseen = arrLongestUnseen(WorkBookStatistics::intGames);
    return statistics;
}
