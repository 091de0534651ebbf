#include "workbook/WorkBookProgress.h"

#include "model/CError.h"
#include "workbook/ReviewDay.h"
#include "workbook/SqlConnection.h"
#include "workbook/SqlStatement.h"

#include <algorithm>
#include <string>

namespace {

const char* const kSchema[] = {
    "create table if not exists TrainingHistory (ID INTEGER PRIMARY KEY, GameTreeID INTEGER NOT "
    "NULL, AttemptedAt INTEGER NOT NULL, Solved INTEGER NOT NULL, WrongMoves INTEGER NOT NULL, "
    "SolutionShown INTEGER NOT NULL, Seconds INTEGER NOT NULL)",
    "create index if not exists TrainingHistoryByGame on TrainingHistory (GameTreeID)",
    // Covers the statistics' counts per period.
    "create index if not exists TrainingHistoryByTime on TrainingHistory (AttemptedAt, Solved, "
    "GameTreeID)",
    "create table if not exists TrainingSchedule (GameTreeID INTEGER PRIMARY KEY, Stability REAL "
    "NOT NULL, Difficulty REAL NOT NULL, LastReviewDay INTEGER NOT NULL, DueDay INTEGER NOT NULL, "
    "IntervalDays INTEGER NOT NULL, Reviews INTEGER NOT NULL, Lapses INTEGER NOT NULL, "
    "FirstReviewDay INTEGER NOT NULL)",
    "create index if not exists TrainingScheduleByDue on TrainingSchedule (DueDay, GameTreeID, "
    "Reviews, Stability, Difficulty)",
    "create index if not exists TrainingScheduleByFirstDay on TrainingSchedule (FirstReviewDay)",
    "create index if not exists TrainingScheduleByLastDay on TrainingSchedule (LastReviewDay, "
    "GameTreeID)",
};

// Every name the tables use, with the kind of schema object it must be.
const struct {
    std::string_view name;
    std::string_view type;
} kObjects[] = {
    {"traininghistory", "table"},           {"traininghistorybygame", "index"},
    {"traininghistorybytime", "index"},     {"trainingschedule", "table"},
    {"trainingschedulebydue", "index"},     {"trainingschedulebyfirstday", "index"},
    {"trainingschedulebylastday", "index"},
};

const char* const kInsertAttempt =
    "insert into TrainingHistory (GameTreeID, AttemptedAt, Solved, WrongMoves, SolutionShown, "
    "Seconds) values (?, ?, ?, ?, ?, ?)";
const char* const kReadSchedule =
    "select Stability, Difficulty, LastReviewDay, DueDay, IntervalDays, Reviews, Lapses, "
    "FirstReviewDay from TrainingSchedule where GameTreeID = ?";
const char* const kWriteSchedule =
    "replace into TrainingSchedule (GameTreeID, Stability, Difficulty, LastReviewDay, DueDay, "
    "IntervalDays, Reviews, Lapses, FirstReviewDay) values (?, ?, ?, ?, ?, ?, ?, ?, ?)";
const char* const kDeleteHistory = "delete from TrainingHistory where GameTreeID = ?";
const char* const kDeleteSchedule = "delete from TrainingSchedule where GameTreeID = ?";
const char* const kClearHistory = "delete from TrainingHistory";
const char* const kReadHistory =
    "select h.ID, h.GameTreeID, h.AttemptedAt, h.Solved, h.WrongMoves, h.SolutionShown, "
    "h.Seconds from TrainingHistory h where h.AttemptedAt >= ? and exists (select 1 from "
    "GameTree g where g.ID = h.GameTreeID) order by h.AttemptedAt, h.ID";

// A stored schedule row that a review can build on; any other row leaves its game new.
#define USABLE_SCHEDULE(s)                                                                         \
    "typeof(" s ".DueDay) = 'integer' and typeof(" s ".Reviews) = 'integer' and " s                \
    ".Reviews > 0 and typeof(" s ".Stability) in ('real', 'integer') and " s                       \
    ".Stability > 0 and " s ".Stability < 1e300 and typeof(" s                                     \
    ".Difficulty) in ('real', 'integer') and " s ".Difficulty > 0 and " s ".Difficulty < 1e300"

const char* const kDueGames =
    "select s.GameTreeID, s.DueDay from TrainingSchedule s where s.DueDay <= ? "
    "and " USABLE_SCHEDULE(
        "s") " and exists (select 1 from GameTree g where g.ID = s.GameTreeID) order by s.DueDay, "
             "s.GameTreeID limit ?";
const char* const kIntroducedOn =
    "select count(*) from TrainingSchedule s where s.FirstReviewDay = ? and exists (select 1 from "
    "GameTree g where g.ID = s.GameTreeID)";
const char* const kNewGames = "select g.ID from GameTree g where not exists (select 1 from "
                              "TrainingSchedule s where s.GameTreeID = g.ID and " USABLE_SCHEDULE(
                                  "s") ") order by g.ID limit ?";
const char* const kAllGamesByIdentifier = "select g.ID from GameTree g order by g.ID limit ?";

// A column as a whole number, or nothing when it holds anything else.
std::optional<int64_t> integerOf(const SqlStatement& row, int column) {
    if (!row.isInteger(column)) return std::nullopt;
    return row.integer(column);
}

// A column as a real number (whole numbers convert), or nothing when it holds anything else.
std::optional<double> realOf(const SqlStatement& row, int column) {
    if (!row.isNumber(column)) return std::nullopt;
    return row.real(column);
}

} // namespace

WorkBookProgress::WorkBookProgress(SqlConnection& connection) : m_connection(connection) {}

bool WorkBookProgress::hasTables() const {
    const std::pair<int64_t, int64_t> state = m_connection.objSchemaState();
    if (m_tablesSeenAt == state) return true;
    if (!m_connection.hasTables({"traininghistory", "trainingschedule"})) return false;
    m_tablesSeenAt = state;
    return true;
}

void WorkBookProgress::EnsureTables() {
    // A workbook may come from anyone: a view or trigger under one of the names would otherwise
    // take the writes meant for the tables.
    std::vector<std::string_view> names;
    for (const auto& object : kObjects)
        names.push_back(object.name);
    for (const auto& [name, type] : m_connection.arrSchemaObjectsNamed(names)) {
        for (const auto& object : kObjects) {
            if (name == object.name && type != object.type)
                RaiseError("CWorkBook", "The workbook holds a " + type + " named " + name +
                                            " where the training history belongs; remove it "
                                            "with an SQLite tool to record results.");
        }
    }
    for (const char* statement : kSchema)
        m_connection.exec(statement);
}

int64_t WorkBookProgress::lngRecordAttempt(const TrainingAttempt& attempt,
                                           const ReviewSchedule& schedule) {
    if (!hasTables()) EnsureTables();
    {
        SqlStatementScope insert(m_connection.prepared(kInsertAttempt));
        insert->bind(1, attempt.lngGameId)
            .bind(2, attempt.lngAttemptedAt)
            .bind(3, attempt.isSolved ? 1 : 0)
            .bind(4, std::max(attempt.lngWrongMoves, 0))
            .bind(5, attempt.isSolutionShown ? 1 : 0)
            .bind(6, std::max<int64_t>(attempt.lngSeconds, 0));
        insert->run();
    }
    const int64_t historyId = m_connection.lngLastInsertRowid();

    const int64_t day = ReviewDay::lngLocalDayOf(attempt.lngAttemptedAt);
    int64_t firstDay = day;
    const std::optional<ReviewState> before = objReadSchedule(attempt.lngGameId, &firstDay);
    const ReviewRating rating =
        attempt.isSolutionShown
            ? ReviewRating::Again
            : ReviewSchedule::ratingForResult(attempt.isSolved, attempt.lngWrongMoves);
    const ReviewState after = schedule.objReview(before.value_or(ReviewState{}), rating, day);
    SqlStatementScope write(m_connection.prepared(kWriteSchedule));
    write->bind(1, attempt.lngGameId)
        .bindReal(2, after.dblStability)
        .bindReal(3, after.dblDifficulty)
        .bind(4, after.lngLastReviewDay)
        .bind(5, after.lngDueDay)
        .bind(6, after.lngIntervalDays)
        .bind(7, after.lngReviews)
        .bind(8, after.lngLapses)
        .bind(9, firstDay);
    write->run();
    return historyId;
}

void WorkBookProgress::DeleteGameRows(int64_t gameId) {
    if (!hasTables()) return;
    for (const char* statement : {kDeleteHistory, kDeleteSchedule}) {
        SqlStatementScope remove(m_connection.prepared(statement));
        remove->bind(1, gameId);
        remove->run();
    }
}

void WorkBookProgress::ClearHistory() {
    if (hasTables()) SqlStatementScope(m_connection.prepared(kClearHistory))->run();
}

void WorkBookProgress::ForEachAttempt(
    int64_t sinceSeconds, const std::function<void(const TrainingAttempt&)>& visitor) const {
    if (!hasTables()) return;
    SqlStatementScope rows(m_connection.prepared(kReadHistory));
    rows->bind(1, sinceSeconds);
    while (rows->step()) {
        TrainingAttempt attempt;
        attempt.lngId = integerOf(*rows, 0).value_or(0);
        attempt.lngGameId = integerOf(*rows, 1).value_or(0);
        attempt.lngAttemptedAt = integerOf(*rows, 2).value_or(0);
        attempt.isSolved = integerOf(*rows, 3).value_or(0) != 0;
        attempt.lngWrongMoves = static_cast<int32_t>(
            std::clamp<int64_t>(integerOf(*rows, 4).value_or(0), 0, INT32_MAX));
        attempt.isSolutionShown = integerOf(*rows, 5).value_or(0) != 0;
        attempt.lngSeconds = std::max<int64_t>(integerOf(*rows, 6).value_or(0), 0);
        visitor(attempt);
    }
}

std::optional<ReviewState> WorkBookProgress::objScheduleOf(int64_t gameId) const {
    if (!hasTables()) return std::nullopt;
    return objReadSchedule(gameId, nullptr);
}

std::optional<ReviewState> WorkBookProgress::objReadSchedule(int64_t gameId,
                                                             int64_t* firstDay) const {
    SqlStatementScope scope(m_connection.prepared(kReadSchedule));
    SqlStatement& read = *scope;
    read.bind(1, gameId);
    if (!read.step()) return std::nullopt;
    const auto stability = realOf(read, 0);
    const auto difficulty = realOf(read, 1);
    const auto last = integerOf(read, 2);
    const auto due = integerOf(read, 3);
    const auto reviews = integerOf(read, 5);
    if (!stability || !difficulty || !last || !due || !reviews) return std::nullopt;
    ReviewState state;
    state.dblStability = *stability;
    state.dblDifficulty = *difficulty;
    state.lngLastReviewDay = *last;
    state.lngDueDay = *due;
    state.lngIntervalDays =
        static_cast<int32_t>(std::clamp<int64_t>(integerOf(read, 4).value_or(0), 0, INT32_MAX));
    state.lngReviews = static_cast<int32_t>(std::clamp<int64_t>(*reviews, 0, INT32_MAX));
    state.lngLapses =
        static_cast<int32_t>(std::clamp<int64_t>(integerOf(read, 6).value_or(0), 0, INT32_MAX));
    // A game whose state is unusable starts afresh, as a new game of the day it is reviewed.
    if (state.isNew()) return std::nullopt;
    if (firstDay != nullptr) *firstDay = integerOf(read, 7).value_or(*firstDay);
    return state;
}

std::vector<DueGame> WorkBookProgress::arrDueGames(int64_t day, int32_t newLimit,
                                                   int64_t maxGames) const {
    std::vector<DueGame> order;
    if (maxGames <= 0) return order;
    int64_t introduced = 0;
    const bool tables = hasTables();
    if (tables) {
        SqlStatementScope due(m_connection.prepared(kDueGames));
        due->bind(1, day).bind(2, maxGames);
        while (due->step())
            order.push_back(
                {integerOf(*due, 0).value_or(0), false, integerOf(*due, 1).value_or(day)});
        SqlStatementScope count(m_connection.prepared(kIntroducedOn));
        count->bind(1, day);
        if (count->step()) introduced = integerOf(*count, 0).value_or(0);
    }
    const int64_t room = std::min(std::max<int64_t>(int64_t{std::max(newLimit, 0)} - introduced, 0),
                                  maxGames - static_cast<int64_t>(order.size()));
    if (room <= 0) return order;
    SqlStatementScope fresh(m_connection.prepared(tables ? kNewGames : kAllGamesByIdentifier));
    fresh->bind(1, room);
    while (fresh->step())
        order.push_back({integerOf(*fresh, 0).value_or(0), true, day});
    return order;
}
