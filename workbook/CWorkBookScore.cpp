// The results and the score of CWorkBook. The score's sums are kept in table WorkBook beside the
// title, updated in the same transaction as each result, so that opening a large workbook needs
// no pass over its games. They are trusted only while the file's change counter shows that no
// commit of any program came after them; otherwise the score is summed again.
#include "model/CError.h"
#include "workbook/CWorkBook.h"
#include "workbook/SqlConnection.h"
#include "workbook/SqlStatement.h"
#include "workbook/SqlTransaction.h"
#include "workbook/StoredNumber.h"

#include <ctime>

namespace {

// A statistic stored as NULL counts as 0, so that a result is never lost to NULL + 1.
const char* const kUpdateSuccess =
    "update GameTree set hits=coalesce(hits,0)+1, solve=coalesce(solve,0)+1,"
    "SolveStreak=coalesce(SolveStreak,0)+1,ErrorStreak=0 where ID=?";
const char* const kUpdateError = "update GameTree set hits=coalesce(hits,0)+1,SolveStreak=0,"
                                 "ErrorStreak=coalesce(ErrorStreak,0)+1 where ID=?";
// Only the rows not already holding whole zeros: most games of a large workbook were never
// tried, and rewriting their rows would cost a write of the whole table and its index.
const char* const kClearLog =
    "Update GameTree set Hits=0,Solve=0,SolveStreak=0,ErrorStreak=0 where not (Hits is 0 and "
    "typeof(Hits)='integer' and Solve is 0 and typeof(Solve)='integer' and SolveStreak is 0 and "
    "typeof(SolveStreak)='integer' and ErrorStreak is 0 and typeof(ErrorStreak)='integer')";
// One pass, answered from the training index, which holds both columns.
const char* const kScore = "select sum(Hits),sum(Solve) from GameTree";
// The score's rows. Plain comparisons: a list after IN would make SQLite build a temporary b-tree
// at each run, costing more than the scan of the few rows.
#define SCORE_ROWS "FieldName='ScoreHits' or FieldName='ScoreSolve' or FieldName='ScoreAt'"
const char* const kKeptScore = "select FieldName,FieldValue from WorkBook where " SCORE_ROWS;
const char* const kForgetScore = "delete from WorkBook where " SCORE_ROWS;
const char* const kKeepScore = "insert into WorkBook (ID,FieldName,FieldValue) values (NULL,?,?)";
const char* const kUpdateScore = "update WorkBook set FieldValue=case FieldName when 'ScoreHits' "
                                 "then ?1 when 'ScoreSolve' then ?2 else ?3 end where " SCORE_ROWS;

struct Score {
    int64_t hits = 0;
    int64_t solve = 0;
};

Score Summed(SqlConnection& connection) {
    SqlStatementScope score(connection.prepared(kScore));
    Score sums;
    // Sums over no games are NULL.
    if (score->step()) {
        sums.hits = lngStoredCount(*score, 0, "Hits", 0);
        sums.solve = lngStoredCount(*score, 1, "Solve", 0);
    }
    return sums;
}

// The kept sums when they were written by the file's last commit.
std::optional<Score> Kept(SqlConnection& connection, std::optional<uint32_t> counter) {
    if (!counter) return std::nullopt;
    SqlStatementScope rows(connection.prepared(kKeptScore));
    std::optional<int64_t> hits, solve, at;
    while (rows->step()) {
        if (!rows->isInteger(1)) return std::nullopt;
        const std::string name = rows->text(0);
        (name == "ScoreHits" ? hits : name == "ScoreSolve" ? solve : at) = rows->integer(1);
    }
    if (!hits || !solve || !at || *at != static_cast<int64_t>(*counter)) return std::nullopt;
    return Score{*hits, *solve};
}

// Inside a write transaction (the file locked against other writers): stores the sums, valid
// as of the commit to come. Rows that Kept has just read are updated in place.
void Keep(SqlConnection& connection, const std::optional<Score>& sums,
          std::optional<uint32_t> counter, bool wereKept = false) {
    if (sums && counter && wereKept) {
        SqlStatementScope update(connection.prepared(kUpdateScore));
        update->bind(1, sums->hits).bind(2, sums->solve).bind(3, int64_t{*counter} + 1);
        update->run();
        return;
    }
    connection.prepared(kForgetScore).run();
    if (!sums || !counter) return;
    SqlStatement& keep = connection.prepared(kKeepScore);
    const std::pair<const char*, int64_t> rows[] = {
        {"ScoreHits", sums->hits}, {"ScoreSolve", sums->solve}, {"ScoreAt", int64_t{*counter} + 1}};
    for (const auto& [name, value] : rows) {
        SqlStatementScope scope(keep);
        const std::string field = name;
        keep.bind(1, field).bind(2, value);
        keep.run();
    }
}

} // namespace

void CWorkBook::RecordResult(int64_t id, bool success, const TrainingAttempt* attempt) {
    SqlConnection& connection = Connection();
    // The page and chapter totals follow the game's counters through the update: they read its
    // row before the update writes it, so the write lock is taken first.
    SqlTransaction work(connection, true);
    const WorkBookStatistics statistics(connection);
    const std::optional<uint32_t> counterBefore =
        work.isSavepoint() ? std::nullopt : connection.objChangeCounter();
    statistics.TakeOutGame(id, counterBefore);
    {
        SqlStatementScope update(connection.prepared(success ? kUpdateSuccess : kUpdateError));
        update->bind(1, id);
        update->run();
    }
    // Read before the totals' own statements run: a game gone from the file counts nowhere.
    const bool recorded = connection.lngChanges() > 0;
    // Without a changed row the file is not written and its counter stays where it was.
    statistics.PutBackGame(id, counterBefore ? std::optional(*counterBefore + (recorded ? 1 : 0))
                                             : std::nullopt);
    // Inside a larger transaction the counter moves only at its end: the sums are left to be
    // summed again rather than kept.
    if (recorded) {
        const std::optional<uint32_t> counter =
            work.isSavepoint() ? std::nullopt : connection.objChangeCounter();
        std::optional<Score> sums = Kept(connection, counter);
        const bool wereKept = sums.has_value();
        if (sums) {
            sums->hits += 1;
            sums->solve += success ? 1 : 0;
        } else if (counter) {
            sums = Summed(connection); // the first result after a change by anything else
        }
        Keep(connection, sums, counter, wereKept);
        if (attempt != nullptr) objProgress().lngRecordAttempt(*attempt);
    }
    work.Commit();
    // Another program may have deleted the game since the caller looked: nothing was recorded.
    if (!recorded)
        RaiseError("CWorkBook", "game " + std::to_string(id) + " is no longer in the workbook");
}

void CWorkBook::UpdateSuccess(int64_t id) {
    TrainingAttempt attempt;
    attempt.lngGameId = id;
    attempt.lngAttemptedAt = static_cast<int64_t>(std::time(nullptr));
    attempt.isSolved = true;
    RecordResult(id, true, &attempt);
}

void CWorkBook::RecordAttempt(const TrainingAttempt& attempt) {
    RecordResult(attempt.lngGameId, attempt.isSolved && !attempt.isSolutionShown, &attempt);
}

void CWorkBook::UpdateError(int64_t id) {
    TrainingAttempt attempt;
    attempt.lngGameId = id;
    attempt.lngAttemptedAt = static_cast<int64_t>(std::time(nullptr));
    RecordResult(id, false, &attempt);
}

void CWorkBook::ClearLog(bool clearHistory) {
    SqlConnection& connection = Connection();
    SqlTransaction work(connection);
    connection.prepared(kClearLog).run();
    if (clearHistory) objProgress().ClearHistory();
    const std::optional<uint32_t> counter =
        work.isSavepoint() ? std::nullopt : connection.objChangeCounter();
    Keep(connection, Score{}, counter);
    work.Commit();
}

void CWorkBook::ForgetScore() {
    Connection().prepared(kForgetScore).run();
}

void CWorkBook::GetScore(int32_t& attempts, int32_t& successes) {
    SqlConnection& connection = Connection();
    std::optional<Score> sums = Kept(connection, connection.objChangeCounter());
    if (!sums) sums = Summed(connection);
    attempts = lngClamped32(sums->hits);
    successes = lngClamped32(sums->solve);
}
