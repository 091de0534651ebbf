#include "workbook/WorkBookStatistics.h"

#include "model/CError.h"
#include "workbook/ReviewDay.h"
#include "workbook/SqlConnection.h"
#include "workbook/SqlStatement.h"

#include <algorithm>
#include <initializer_list>
#include <optional>
#include <string_view>

namespace {

// A stored counter as a number: anything but a whole number counts as 0.
#define COUNTER(c) "(case when typeof(" c ") = 'integer' and " c " > 0 then " c " else 0 end)"
#define HITS COUNTER("g.Hits")
#define SOLVES COUNTER("g.Solve")

// Attempts in a time range, counted from the covering time index alone. Every recorded attempt
// counts, also one of a game deleted since by another program (Brisolt removes a game's rows
// with the game): looking each row's game up would cost a read per attempt.
const char* const kPeriod =
    "select count(*), coalesce(sum(h.Solved = 1), 0) from TrainingHistory h where h.AttemptedAt "
    ">= ? and h.AttemptedAt < ?";
const char* const kAnyAttempt =
    "select 1 from TrainingHistory h where h.AttemptedAt >= ? and h.AttemptedAt < ? and exists "
    "(select 1 from GameTree g where g.ID = h.GameTreeID) limit 1";
// The latest results up to a moment, in the order they were recorded (a clock set back does not
// reorder them).
const char* const kLatestResults =
    "select h.Solved = 1 from TrainingHistory h where h.AttemptedAt < ? and exists (select 1 from "
    "GameTree g where g.ID = h.GameTreeID) order by h.ID desc";

// The page and chapter figures come from group totals kept in the connection's temporary
// database, one row per group: made by one aggregate pass over the games when first asked for,
// then kept up to date by the results this program records (the game's share taken out of its
// groups before the update and put back after it), and made again after any other change to the
// file. Like the kept score they are trusted only while the file's change counter is the one they
// were made or last updated at.
#define SOLVED "min(" SOLVES ", " HITS ")"
#define GROUP_TOTALS(key, from)                                                                    \
    "insert into temp.GroupTotals select ?1, " key ", count(*), sum(" HITS "), sum(" SOLVED        \
    ") from " from " where " HITS " > 0 group by 2"
// ?3 is -1 to take game ?2's share out of its group, 1 to put it back.
#define GAME_TOTALS(key, from)                                                                     \
    "insert into temp.GroupTotals select ?1, " key ", ?3, ?3 * " HITS ", ?3 * " SOLVED             \
    " from " from " where g.ID = ?2 and " HITS                                                     \
    " > 0 on conflict (Kind, Name) do update set Games = "                                         \
    "Games + excluded.Games, Attempts = Attempts + excluded.Attempts, Solved = Solved + "          \
    "excluded.Solved"

const char* const kCreateTotals =
    "create temp table if not exists GroupTotals (Kind integer, Name text, Games integer, "
    "Attempts integer, Solved integer, primary key (Kind, Name))";
const char* const kCreateTotalsAt =
    "create temp table if not exists GroupTotalsAt (Kind integer primary key, Counter integer)";
const char* const kHasTotals =
    "select count(*) from sqlite_temp_master where name = 'GroupTotalsAt'";
const char* const kTotalsAt = "select Counter from temp.GroupTotalsAt where Kind = ?";
const char* const kForgetTotals = "delete from temp.GroupTotals where Kind = ?";
const char* const kForgetTotalsAt = "delete from temp.GroupTotalsAt where Kind = ?";
const char* const kMarkTotals = "insert or replace into temp.GroupTotalsAt values (?, ?)";
// The weakest groups first; groups whose games all went untried are left out.
const char* const kReadTotals =
    "select Name, Games, Attempts, Solved from temp.GroupTotals where Kind = ? and Games > 0 "
    "order by 1.0 * Solved / Attempts, Attempts desc, Name limit ?";

#define PAGE_KEY "trim(coalesce(g.XRefPage, ''))"

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

#define TAGGED_CHAPTER "coalesce(nullif(trim(" CHAPTER_TAG "), ''), " LEADING_WORD ")"
#define TAGGED_GAMES "GameTree g left join GameTag t on t.GameTreeID = g.ID"

// The statements of each kind of group: pages, chapters, chapters with the tags table.
struct GroupStatements {
    const char* fill;
    const char* game;
};
const GroupStatements kGroups[] = {
    {GROUP_TOTALS(PAGE_KEY, "GameTree g"), GAME_TOTALS(PAGE_KEY, "GameTree g")},
    {GROUP_TOTALS(LEADING_WORD, "GameTree g"), GAME_TOTALS(LEADING_WORD, "GameTree g")},
    {GROUP_TOTALS(TAGGED_CHAPTER, TAGGED_GAMES), GAME_TOTALS(TAGGED_CHAPTER, TAGGED_GAMES)}};
constexpr int64_t kPages = 0;
constexpr int64_t kChapters = 1;
constexpr int64_t kKinds = 2;

const char* const kMostFailed =
    "select g.ID, g.Description, g.XRefPage, " HITS ", " SOLVED " from GameTree g where " HITS
    " > " SOLVES " order by " HITS " - " SOLVES " desc, g.ID limit ?";
// The schedule keeps each game's last day, indexed; games trained but since deleted are skipped.
const char* const kLongestUnseen =
    "select g.ID, g.Description, g.XRefPage, " HITS ", " SOLVED ", s.LastReviewDay from "
    "TrainingSchedule s join GameTree g on g.ID = s.GameTreeID where typeof(s.LastReviewDay) = "
    "'integer' order by s.LastReviewDay, s.GameTreeID limit ?";

// A streak longer than this many days is shown as this many.
constexpr int64_t kLongestStreak = 3660;

// The statements of the kind's groups as the workbook's tables are now.
const GroupStatements& GroupsOf(SqlConnection& connection, int64_t kind) {
    return kGroups[kind == kPages ? 0 : connection.hasTables({"gametag"}) ? 2 : 1];
}

// Runs a kept statement that returns no rows with the values bound.
void Run(SqlConnection& connection, const char* sql, std::initializer_list<int64_t> values) {
    SqlStatementScope statement(connection.prepared(sql));
    int parameter = 0;
    for (int64_t value : values)
        statement->bind(++parameter, value);
    statement->run();
}

int64_t numberOr0(const SqlStatement& row, int column) {
    return row.isInteger(column) ? row.integer(column) : 0;
}

} // namespace

WorkBookStatistics::WorkBookStatistics(SqlConnection& connection) : m_connection(connection) {}

std::vector<PeriodFigures> WorkBookStatistics::arrPeriods(int64_t firstDay, int32_t count,
                                                          int32_t length) const {
    std::vector<PeriodFigures> periods;
    if (count <= 0) return periods;
    const bool history = m_connection.hasTables({"traininghistory"});
    for (int32_t k = 0; k < count; ++k) {
        PeriodFigures figures;
        figures.lngFirstDay = firstDay + int64_t{k} * length;
        if (history) {
            SqlStatementScope period(m_connection.prepared(kPeriod));
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
    if (!m_connection.hasTables({"traininghistory"})) return summary;
    const std::vector<PeriodFigures> day = arrPeriods(today, 1, 1);
    summary.lngTodayAttempts = day.front().lngAttempts;
    summary.lngTodaySolved = day.front().lngSolved;

    const auto trainedOn = [&](int64_t day) {
        SqlStatementScope any(m_connection.prepared(kAnyAttempt));
        any->bind(1, ReviewDay::lngLocalStartOf(day));
        any->bind(2, ReviewDay::lngLocalStartOf(day + 1));
        return any->step();
    };
    // A day without training yet does not break the streak until it is over.
    int64_t day0 = trainedOn(today) ? today : today - 1;
    while (summary.lngStreakDays < kLongestStreak && trainedOn(day0)) {
        ++summary.lngStreakDays;
        --day0;
    }

    SqlStatementScope latest(m_connection.prepared(kLatestResults));
    latest->bind(1, ReviewDay::lngLocalStartOf(today + 1));
    while (latest->step() && numberOr0(*latest, 0) == 1)
        ++summary.lngSuccessRun;
    return summary;
}

// The file's change counter at which the kind's totals are kept; nothing when they are not.
std::optional<int64_t> WorkBookStatistics::objTotalsAt(int64_t kind) const {
    {
        SqlStatementScope has(m_connection.prepared(kHasTotals));
        if (!has->step() || has->integer(0) == 0) return std::nullopt;
    }
    SqlStatementScope at(m_connection.prepared(kTotalsAt));
    at->bind(1, kind);
    if (!at->step()) return std::nullopt;
    return at->integer(0);
}

void WorkBookStatistics::ForgetTotals(int64_t kind) const {
    for (const char* sql : {kForgetTotalsAt, kForgetTotals})
        Run(m_connection, sql, {kind});
}

void WorkBookStatistics::MarkTotals(int64_t kind, std::optional<uint32_t> counter) const {
    if (!counter) return ForgetTotals(kind);
    Run(m_connection, kMarkTotals, {kind, int64_t{*counter}});
}

std::vector<GroupFigures> WorkBookStatistics::arrGroups(int64_t kind, int32_t limit) const {
    // The counter is read before the totals are made: a commit in between leaves them untrusted.
    const std::optional<uint32_t> counter = m_connection.objChangeCounter();
    const std::optional<int64_t> at = objTotalsAt(kind);
    if (!counter || !at || *at != int64_t{*counter}) {
        for (const char* sql : {kCreateTotals, kCreateTotalsAt})
            m_connection.exec(sql);
        ForgetTotals(kind);
        Run(m_connection, GroupsOf(m_connection, kind).fill, {kind});
        MarkTotals(kind, counter);
    }
    std::vector<GroupFigures> groups;
    SqlStatementScope rows(m_connection.prepared(kReadTotals));
    rows->bind(1, kind).bind(2, int64_t{std::max(limit, 0)});
    while (rows->step()) {
        groups.push_back(
            {rows->text(0), numberOr0(*rows, 1), numberOr0(*rows, 2), numberOr0(*rows, 3)});
    }
    return groups;
}

std::vector<GroupFigures> WorkBookStatistics::arrByPage(int32_t limit) const {
    return arrGroups(kPages, limit);
}

std::vector<GroupFigures> WorkBookStatistics::arrByChapter(int32_t limit) const {
    return arrGroups(kChapters, limit);
}

void WorkBookStatistics::TakeOutGame(int64_t id, std::optional<uint32_t> counter) const {
    for (int64_t kind = 0; kind < kKinds; ++kind) {
        const std::optional<int64_t> at = objTotalsAt(kind);
        if (!at) continue;
        if (counter && *at == int64_t{*counter})
            Run(m_connection, GroupsOf(m_connection, kind).game, {kind, id, -1});
        else
            ForgetTotals(kind);
    }
}

void WorkBookStatistics::PutBackGame(int64_t id, std::optional<uint32_t> counterAfter) const {
    for (int64_t kind = 0; kind < kKinds; ++kind) {
        if (!objTotalsAt(kind)) continue;
        Run(m_connection, GroupsOf(m_connection, kind).game, {kind, id, 1});
        MarkTotals(kind, counterAfter);
    }
}

std::vector<GameFigures> WorkBookStatistics::arrMostFailed(int32_t limit) const {
    std::vector<GameFigures> games;
    SqlStatementScope rows(m_connection.prepared(kMostFailed));
    rows->bind(1, int64_t{std::max(limit, 0)});
    while (rows->step())
        games.push_back({numberOr0(*rows, 0), rows->text(1), rows->text(2), numberOr0(*rows, 3),
                         numberOr0(*rows, 4), -1});
    return games;
}

std::vector<GameFigures> WorkBookStatistics::arrLongestUnseen(int32_t limit) const {
    std::vector<GameFigures> games;
    if (!m_connection.hasTables({"trainingschedule"})) return games;
    SqlStatementScope rows(m_connection.prepared(kLongestUnseen));
    rows->bind(1, int64_t{std::max(limit, 0)});
    while (rows->step())
        games.push_back({numberOr0(*rows, 0), rows->text(1), rows->text(2), numberOr0(*rows, 3),
                         numberOr0(*rows, 4), numberOr0(*rows, 5)});
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
