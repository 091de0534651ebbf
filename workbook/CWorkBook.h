#pragma once

#include "workbook/GameRowQuery.h"
#include "workbook/GameRows.h"
#include "workbook/WorkBookGameRow.h"
#include "workbook/WorkBookProgress.h"
#include "workbook/WorkBookStatistics.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class CGameTree;
struct GameAnnotations;
class SqlConnection;
class SqlTransaction;

// One workbook file: an SQLite database with the tables WorkBook, GameTree and GameNode. Every
// failed statement rolls back the work it belonged to and raises error 9999 with source
// "CWorkBook"; an error of one game's content is a CWorkBookGameError naming the game.
class CWorkBook {
public:
    CWorkBook();
    ~CWorkBook();
    CWorkBook(const CWorkBook&) = delete;
    CWorkBook& operator=(const CWorkBook&) = delete;

    // A title kept in the object only; no operation reads or writes it to the file.
    const std::string& strWBTitle() const { return m_strWBTitle; }
    // Sets the title kept in the object.
    void strWBTitle(const std::string& title) { m_strWBTitle = title; }
    // The path last given to strOpenWorkBook.
    const std::string& strFileName() const { return m_strFileName; }
    // Sets the stored path.
    void strFileName(const std::string& fileName) { m_strFileName = fileName; }
    // The connection handle; 0 when no workbook is open.
    int32_t lngDBHandle() const { return m_lngDBHandle; }

    // Opens the workbook (creating an empty one when the file does not exist) and returns its
    // title. A file holding triggers or views is refused, naming them; nothing in it runs.
    std::string strOpenWorkBook(const std::string& fileName);
    // Removes a workbook file that a failed command made; through a link, the file the link
    // leads to goes and the link, the user's, stays.
    static void RemoveMadeFile(const std::string& fileName);
    // Makes and opens a workbook in a file that does not exist yet, storing the title when one is
    // given. When that fails (a full disk), the file is removed before the failure is raised, so
    // that no half-made workbook keeps the name.
    void CreateNewWorkBook(const std::string& fileName, const std::optional<std::string>& title);
    // Creates the three tables in a new file (or in the database already open).
    void CreateEmptyWorkbook(const std::string& fileName);
    // Closes the connection if one is open.
    void CloseWorkBook();
    // Stores the title in table WorkBook.
    void SaveWorkbookProperties(const std::string& title);

    // Saves the tree as a new game (identifier 0 or less) or over an existing one; returns its id.
    int64_t lngSaveGame(const std::shared_ptr<CGameTree>& tree, int64_t id,
                        const std::string& description, const std::string& page,
                        const std::string& diagram);
    // Saves the tree as lngSaveGame does and replaces the game's comments, glyphs and tags with
    // the given ones, in the same transaction (the annotation tables are made when missing).
    int64_t lngSaveGame(const std::shared_ptr<CGameTree>& tree, int64_t id,
                        const std::string& description, const std::string& page,
                        const std::string& diagram, const GameAnnotations& annotations);
    // Saves rows made by GameRows::objOf as lngSaveGame saves its tree; returns the game's id.
    int64_t lngSaveGameRows(const GameRows& rows);
    // The game's stored comments, glyphs and tags; nothing when the workbook has no annotation
    // tables or tables of another shape, and the glyphs alone marked unreadable when a row of
    // them cannot be read (damaged or oversized). Rows of node keys the game no longer has may be
    // among them.
    GameAnnotations objLoadAnnotations(int64_t id);
    // True when the workbook has the annotation tables.
    bool hasAnnotationTables();
    // Loads a game's tree (at its root) and texts; nullptr when there is no such game or it has no
    // nodes. A damaged game raises a CWorkBookGameError naming it.
    std::shared_ptr<CGameTree> objLoadGame(int64_t id, std::string& description, std::string& page,
                                           std::string& diagram);
    // Deletes a game and its nodes.
    void DeleteGame(int64_t id);
    // The identifiers of all games that fit 32 bits (larger stored ones are left out).
    std::vector<int32_t> arrlngGetGameIDs();
    // The next games to train, at most count, in training priority order.
    std::vector<int32_t> arrlngGetGameIDsForTraining(int16_t count);
    // The next games in the review order of the day: the games due (most overdue first), then
    // games never reviewed up to newPerDay a day, then the training order fills up to count.
    std::vector<int32_t> arrlngGetGameIDsForReview(int16_t count, int32_t newPerDay, int64_t today);
    // The reader of the training statistics on the workbook's connection (valid while it is open).
    WorkBookStatistics objStatistics();
    // The attempt history and review schedule on the workbook's connection (valid while it is
    // open).
    WorkBookProgress& objProgress();
    // Records a solved attempt (a NULL statistic counts as 0).
    void UpdateSuccess(int64_t id);
    // Records a failed attempt (a NULL statistic counts as 0).
    void UpdateError(int64_t id);
    // Records an attempt with its details: the statistics, the history row and the game's review
    // schedule, all in one transaction.
    void RecordAttempt(const TrainingAttempt& attempt);
    // Sets every game's statistics to zero; with clearHistory, empties the attempt history too.
    void ClearLog(bool clearHistory = false);
    // The sums of attempts and successes over all games (0 and 0 without games).
    void GetScore(int32_t& attempts, int32_t& successes);

    // One game's texts and statistics; nothing when there is no such game.
    std::optional<WorkBookGameRow> objGetGameRow(int64_t id);
    // Every game's texts and statistics whose identifier fits 32 bits, by identifier.
    std::vector<WorkBookGameRow> arrGetGameRows();
    // Hands every game's row to the visitor in identifier order, one at a time, without holding
    // the table; identifiers of any size. A row that cannot be read (a value over the length
    // limit, a damaged page) goes to `damaged` with the reason and the rows after it still come;
    // without `damaged` it raises a CWorkBookGameError.
    void
    ForEachGameRow(const std::function<void(const WorkBookGameRow&)>& visit,
                   const std::function<void(int64_t id, const std::string& reason)>& damaged = {});
    // One page of games, sorted and filtered by the database.
    std::vector<WorkBookGameRow> arrGetGameRowsPage(const GameRowQuery& query);
    // Where the game comes in the query's order (0 first), -1 when the filter hides it or it
    // does not exist.
    int64_t lngGameRowPosition(const GameRowQuery& query, int64_t id);
    // The number of games the query's filter matches.
    int64_t lngCountGameRows(const GameRowQuery& query);
    // The number of games.
    int64_t lngCountGames();
    // True when the open workbook cannot be written (for example a write-protected file).
    bool isReadOnly() const;

    // Starts a batch: the saves until CommitBatch share one transaction (for bulk imports), each
    // game in a savepoint of its own.
    void BeginBatch();
    // Commits the batch's saves.
    void CommitBatch();
    // Drops the batch's saves.
    void RollbackBatch();
    // True while a batch is open.
    bool isInBatch() const;

private:
    SqlConnection& Connection() const;
    std::string strReadTitle();
    // Refuses a file that is not a workbook or holds what could run; true when both indexes are
    // there.
    bool CheckWorkbookSchema();
    void EnsureIndexes();
    int64_t lngSaveGameTree(int64_t id, const std::string& description, const std::string& page,
                            const std::string& diagram);
    void DeleteGameNodes(int64_t id);
    int64_t lngStoreGame(const std::shared_ptr<CGameTree>& tree, int64_t id,
                         const std::string& description, const std::string& page,
                         const std::string& diagram, const GameAnnotations* annotations);
    void EnsureAnnotationTables();
    bool areAnnotationTablesUsable(std::string& problem);
    // The rows a saved game's identifier may own before its save.
    enum class EarlierRows {
        None,          // a new game above every identifier that owns rows
        OfAnotherGame, // a new game: rows of a game another program deleted may remain
        OfThisGame     // the game saved again
    };
    EarlierRows objEarlierRowsOfNewGame(int64_t id);
    void KeepAnnotations(int64_t id, EarlierRows earlier, const GameRows& game);
    void DeleteAnnotations(int64_t id);
    void RecordResult(int64_t id, bool success, const TrainingAttempt* attempt = nullptr);
    void ForgetScore();
    bool isReadInOrderTable(const GameRowQuery& query, int64_t rows);
    std::pair<int64_t, int64_t> objWritesSeen();
    std::shared_ptr<CGameTree> objLoadGameRows(int64_t id, std::string& description,
                                               std::string& page, std::string& diagram);
    void SaveNodes(const std::vector<GameRows::Node>& nodes, int64_t id);

    std::string m_strFileName;
    std::string m_strWBTitle;
    int32_t m_lngDBHandle = 0;
    std::unique_ptr<SqlConnection> m_connection;
    std::unique_ptr<WorkBookProgress> m_progress; // made on first use
    std::unique_ptr<SqlTransaction> m_batch;
    bool m_annotationTablesUsable = false;
    // In a batch: the first game identifier from which no node, tag or annotation row exists
    // (none until a new game asks; the largest identifier when rows were found there).
    std::optional<int64_t> m_firstUnownedID;
    // The order table of the games list in the connection's temporary database: the sort and
    // filter it holds, whether it holds every row or only the first rows of the ascending order,
    // and the writes seen when it was made (none: no table); and the rows its making changed
    // since the connection opened.
    struct GameOrderMade {
        size_t sort;
        std::string filter;
        bool isWhole;
        std::pair<int64_t, int64_t> writes;
    };
    std::optional<GameOrderMade> m_gameOrder;
    int64_t m_gameOrderRows = 0;
};
