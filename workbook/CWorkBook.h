#pragma once

#include "workbook/SqliteLayer.h"
#include "workbook/WorkBookGameRow.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CGameTree;

// One workbook file: an SQLite database with the tables WorkBook, GameTree and GameNode. Every
// failed statement rolls back any open transaction and raises error 9999 with source "CWorkBook".
class CWorkBook {
public:
    CWorkBook() = default;
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
    // title.
    std::string strOpenWorkBook(const std::string& fileName);
    // Creates the three tables in a new file (or in the database already open).
    void CreateEmptyWorkbook(const std::string& fileName);
    // Closes the connection if one is open.
    void CloseWorkBook();
    // Stores the title in table WorkBook.
    void SaveWorkbookProperties(const std::string& title);

    // Saves the tree as a new game (identifier 0 or less) or over an existing one; returns its id.
    int32_t lngSaveGame(const std::shared_ptr<CGameTree>& tree, int32_t id,
                        const std::string& description, const std::string& page,
                        const std::string& diagram);
    // Loads a game's tree (at its root) and texts; nullptr when the game has no nodes.
    std::shared_ptr<CGameTree> objLoadGame(int32_t id, std::string& description, std::string& page,
                                           std::string& diagram);
    // Deletes a game and its nodes.
    void DeleteGame(int32_t id);
    // The identifiers of all games.
    std::vector<int32_t> arrlngGetGameIDs();
    // The next games to train, at most count, in training priority order.
    std::vector<int32_t> arrlngGetGameIDsForTraining(int16_t count);
    // Records a solved attempt.
    void UpdateSuccess(int32_t id);
    // Records a failed attempt.
    void UpdateError(int32_t id);
    // Sets every game's statistics to zero.
    void ClearLog();
    // The sums of attempts and successes over all games (0 and 0 without games).
    void GetScore(int32_t& attempts, int32_t& successes);

    // One game's texts and statistics; nothing when there is no such game.
    std::optional<WorkBookGameRow> objGetGameRow(int32_t id);
    // Every game's texts and statistics, by identifier.
    std::vector<WorkBookGameRow> arrGetGameRows();
    // The number of games.
    int64_t lngCountGames();
    // True when the open workbook cannot be written (for example a write-protected file).
    bool isReadOnly() const;

    // Starts a batch: the saves until CommitBatch share one transaction (for bulk imports).
    void BeginBatch();
    // Commits the batch's saves.
    void CommitBatch();
    // Drops the batch's saves.
    void RollbackBatch();
    // True while a batch is open.
    bool isInBatch() const { return m_inBatch; }

    // Returns the SQL literal of a text: in single quotes with every ' doubled and NULs dropped.
    static std::string strQuote(const std::string& text);

private:
    SqlTable arrvarExecuteSQL(const std::string& sql);
    void CreateTable(int32_t handle, const std::string& name, const std::string& columns);
    std::string strReadTitle();
    void RequireOpen() const;
    void CheckWorkbookTables();
    void EnsureIndexes();
    int32_t lngSaveGameTree(int32_t id, const std::string& description, const std::string& page,
                            const std::string& diagram);
    int64_t lngInsertGameNode(int32_t gameId, const std::string& key, const std::string& parentKey,
                              int whiteToMove, const std::string& diagram,
                              const std::string& moveText, const std::string& moveNumber,
                              int enPassantFile, int whiteOO, int whiteOOO, int blackOO,
                              int blackOOO);
    void DeleteGameNodes(int32_t id);
    void SaveNodes(const std::shared_ptr<CGameTree>& tree, int32_t id);

    std::string m_strFileName;
    std::string m_strWBTitle;
    std::string m_strLastError;
    int32_t m_lngDBHandle = 0;
    bool m_inBatch = false;
};
