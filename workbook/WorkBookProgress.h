#pragma once

#include "workbook/ReviewSchedule.h"

#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <utility>
#include <vector>

class SqlConnection;

// One training attempt as the history keeps it.
struct TrainingAttempt {
    int64_t lngId = 0;          // the history row; 0 before it is written
    int64_t lngGameId = 0;      // the game (GameTree.ID)
    int64_t lngAttemptedAt = 0; // seconds since 1970-01-01 UTC
    bool isSolved = false;
    int32_t lngWrongMoves = 0;
    bool isSolutionShown = false;
    int64_t lngSeconds = 0; // from the position shown to the result
};

// A game in the review order.
struct DueGame {
    int64_t lngGameId = 0;
    bool isNew = false;    // never reviewed: introduced within the day's limit
    int64_t lngDueDay = 0; // the day it fell due (the asked day for a new game)
};

// The attempt history and the review schedule of a workbook: two tables of the program's own
// beside the workbook's three, on a connection that the caller opened, whose kept statements it
// uses. The writes join the caller's open transaction, so that a result, its history row and its
// schedule are kept together or not at all. Rows of games that no longer exist are ignored when
// read. Every failure raises error 9999 with source "CWorkBook".
class WorkBookProgress {
public:
    // Works on the connection (not owned; it must outlive this object).
    explicit WorkBookProgress(SqlConnection& connection);

    // True when both tables are there (a workbook written before they existed has neither). Once
    // seen, they are taken as there until the schema changes.
    bool hasTables() const;
    // Creates whichever table or index is missing; raises when a name is taken by anything else.
    void EnsureTables();
    // Writes the attempt's history row and moves the game's schedule on (creating the tables
    // first when missing); returns the history row's identifier.
    int64_t lngRecordAttempt(const TrainingAttempt& attempt,
                             const ReviewSchedule& schedule = ReviewSchedule());
    // Removes a deleted game's history and schedule, so that a later game given the same
    // identifier starts clean.
    void DeleteGameRows(int64_t gameId);
    // Empties the history; the schedule stays.
    void ClearHistory();

    // Calls the visitor with each attempt at or after the moment (seconds since 1970-01-01 UTC),
    // oldest first, for games that still exist. Unreadable values read as 0.
    void ForEachAttempt(int64_t sinceSeconds,
                        const std::function<void(const TrainingAttempt&)>& visitor) const;
    // A game's schedule; nothing for a new game (or one whose stored state is unusable).
    std::optional<ReviewState> objScheduleOf(int64_t gameId) const;
    // The review order of a day: the games due on or before it, most overdue first, then up to
    // newLimit new games (less those first reviewed that day), by identifier; at most maxGames
    // in all (a training batch needs only its first few).
    std::vector<DueGame> arrDueGames(int64_t day, int32_t newLimit,
                                     int64_t maxGames = std::numeric_limits<int64_t>::max()) const;

private:
    // The stored state (and through firstDay, when given, the day of the first review) of a game
    // in a workbook that has the tables.
    std::optional<ReviewState> objReadSchedule(int64_t gameId, int64_t* firstDay) const;

    SqlConnection& m_connection;
    // The schema state (SqlConnection::objSchemaState) at which both tables were last seen.
    mutable std::optional<std::pair<int64_t, int64_t>> m_tablesSeenAt;
};
