// The game operations of CWorkBook: saving and loading game trees, the training selection and
// the statistics.
#include "game/CGameNode.h"
#include "game/CGameTree.h"
#include "game/CPosition.h"
#include "game/PositionConstructors.h"
#include "model/CDiagram.h"
#include "model/CError.h"
#include "model/CGameStatus.h"
#include "workbook/CWorkBook.h"

#include <charconv>

namespace {

const char* const kSource = "CWorkBook";

// A stored number; anything that is not a whole number is a damaged row.
int64_t numberOf(const std::string& text, const char* column, int32_t gameId) {
    int64_t value = 0;
    const char* first = text.data();
    const char* last = first + text.size();
    if (first != last && *first == '+') ++first;
    auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last || first == last)
        RaiseError(kSource, std::string("Bad value of ") + column + " in game " +
                                std::to_string(gameId) + ": '" + text + "'");
    return value;
}

int32_t clamped(int64_t value) {
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(value);
}

WorkBookGameRow rowOf(const std::vector<std::string>& row) {
    WorkBookGameRow game;
    game.lngID = clamped(numberOf(row[0], "ID", 0));
    game.strDescription = row[1];
    game.strXRefPage = row[2];
    game.strXRefDiagram = row[3];
    // Statistics are NULL in rows that other programs add; they count as 0.
    auto statistic = [&](size_t column, const char* name) {
        return row[column].empty() ? 0 : clamped(numberOf(row[column], name, game.lngID));
    };
    game.lngHits = statistic(4, "Hits");
    game.lngSolve = statistic(5, "Solve");
    game.lngErrorStreak = statistic(6, "ErrorStreak");
    game.lngSolveStreak = statistic(7, "SolveStreak");
    return game;
}

const char* const kGameRowColumns =
    "select ID,Description,XRefPage,XRefDiagram,Hits,Solve,ErrorStreak,SolveStreak from GameTree";

} // namespace

int32_t CWorkBook::lngSaveGame(const std::shared_ptr<CGameTree>& tree, int32_t id,
                               const std::string& description, const std::string& page,
                               const std::string& diagram) {
    RequireOpen();
    if (!tree) RaiseError(kSource, "No game to save");
    for (const auto& node : *tree)
        if (!node->objPosition() || !node->objPosition()->objDiagram() ||
            !node->objPosition()->objStatus())
            RaiseError(kSource, "The game has a node without a position: " + node->strKey());
    // Updating a game that is not there would store nodes that belong to no game.
    if (id > 0 &&
        arrvarExecuteSQL("select ID from GameTree where ID=" + std::to_string(id)).empty())
        RaiseError(kSource, "No game with the identifier " + std::to_string(id));
    m_strLastError.clear();
    // Inside a batch each game is a savepoint, so that a game that fails leaves no rows.
    const bool batch = m_inBatch;
    arrvarExecuteSQL(batch ? "SAVEPOINT SaveGame" : "BEGIN TRANSACTION");
    int32_t g = 0;
    try {
        g = lngSaveGameTree(id, description, page, diagram);
        DeleteGameNodes(g);
        SaveNodes(tree, g);
    } catch (...) {
        if (m_lngDBHandle != 0 && (!batch || m_inBatch)) {
            std::string ignored;
            ags_sqlite_get_table(
                m_lngDBHandle,
                batch ? "ROLLBACK TO SaveGame; RELEASE SaveGame" : "ROLLBACK TRANSACTION", ignored);
        }
        throw;
    }
    arrvarExecuteSQL(batch ? "RELEASE SaveGame" : "COMMIT TRANSACTION");
    return g;
}

void CWorkBook::SaveNodes(const std::shared_ptr<CGameTree>& tree, int32_t g) {
    const std::string whiteToMove = CGameStatus::objWHITE_TO_MOVE()->strToString();
    for (const auto& node : *tree) {
        const std::shared_ptr<CPosition>& p = node->objPosition();
        int flag = p->objStatus()->strToString() == whiteToMove ? 1 : 0;
        std::string moveText = p->strMoveText();
        if (moveText == "...") node->strParentKey(""); // the root, also in memory
        lngInsertGameNode(g, node->strKey(), node->strParentKey(), flag,
                          p->objDiagram()->strToString(), moveText,
                          std::to_string(p->intMoveNumber()), p->intEnPassantFile(),
                          p->isKCastleForfeited(0) ? 0 : 1, p->isQCastleForfeited(0) ? 0 : 1,
                          p->isKCastleForfeited(1) ? 0 : 1, p->isQCastleForfeited(1) ? 0 : 1);
    }
}

int32_t CWorkBook::lngSaveGameTree(int32_t id, const std::string& description,
                                   const std::string& page, const std::string& diagram) {
    if (id > 0) {
        arrvarExecuteSQL("update GameTree set Description=" + strQuote(description) + "," +
                         "XRefPage=" + strQuote(page) + "," + "XRefDiagram=" + strQuote(diagram) +
                         " where ID=" + std::to_string(id));
        return id;
    }
    arrvarExecuteSQL(std::string("insert into GameTree ") +
                     "(ID,Description,XRefPage,XRefDiagram,Hits,Solve,ErrorStreak,SolveStreak)" +
                     " values(NULL," + strQuote(description) + "," + strQuote(page) + "," +
                     strQuote(diagram) + ",0,0,0,0)");
    return clamped(sqlite_last_insert_rowid(m_lngDBHandle));
}

int64_t CWorkBook::lngInsertGameNode(int32_t gameId, const std::string& key,
                                     const std::string& parentKey, int whiteToMove,
                                     const std::string& diagram, const std::string& moveText,
                                     const std::string& moveNumber, int enPassantFile, int whiteOO,
                                     int whiteOOO, int blackOO, int blackOOO) {
    std::string sql;
    sql.reserve(300);
    sql += "insert into GameNode ";
    sql += "(ID,GameTreeID,NodeKey,NodeParentKey,WhiteToMove,Diagram,MoveText,MoveNumber,"
           "EnPassantFile,WhiteOO,WhiteOOO,BlackOO,BlackOOO)";
    sql += " values ";
    sql += "(NULL,";
    sql += std::to_string(gameId) + "," + strQuote(key) + "," + strQuote(parentKey) + "," +
           std::to_string(whiteToMove) + "," + strQuote(diagram) + "," + strQuote(moveText) + "," +
           moveNumber + "," + std::to_string(enPassantFile) + "," + std::to_string(whiteOO) + "," +
           std::to_string(whiteOOO) + "," + std::to_string(blackOO) + "," +
           std::to_string(blackOOO) + ")";
    arrvarExecuteSQL(sql);
    return sqlite_last_insert_rowid(m_lngDBHandle);
}

void CWorkBook::DeleteGameNodes(int32_t id) {
    arrvarExecuteSQL("delete from GameNode where GameTreeID=" + std::to_string(id));
}

std::shared_ptr<CGameTree> CWorkBook::objLoadGame(int32_t id, std::string& description,
                                                  std::string& page, std::string& diagram) {
    const std::string gameId = std::to_string(id);
    SqlTable game = arrvarExecuteSQL("select * from GameTree where ID=" + gameId);
    if (game.size() > 1 && game[1].size() > 3) {
        description = game[1][1];
        page = game[1][2];
        diagram = game[1][3];
    }
    // Node rows in the order they were written: a parent always comes before its children.
    SqlTable rows =
        arrvarExecuteSQL("select * from GameNode where GameTreeID=" + gameId + " order by ID");
    if (rows.size() < 2) return nullptr;
    if (rows[0].size() < 13) RaiseError(kSource, "The table GameNode lacks columns");
    auto tree = std::make_shared<CGameTree>();
    std::shared_ptr<CGameNode> spare;
    static const char* const files = "abcdefgh";
    for (size_t r = 1; r < rows.size(); ++r) {
        const std::vector<std::string>& row = rows[r];
        std::vector<bool> forfeits = {
            numberOf(row[9], "WhiteOO", id) != 1, numberOf(row[10], "WhiteOOO", id) != 1,
            numberOf(row[11], "BlackOO", id) != 1, numberOf(row[12], "BlackOOO", id) != 1};
        int64_t file = numberOf(row[8], "EnPassantFile", id);
        std::string letter = file >= 0 && file <= 7 ? std::string(1, files[file]) : "";
        const auto& status = numberOf(row[4], "WhiteToMove", id) == 1
                                 ? CGameStatus::objWHITE_TO_MOVE()
                                 : CGameStatus::objBLACK_TO_MOVE();
        int64_t moveNumber = numberOf(row[7], "MoveNumber", id);
        if (moveNumber > INT16_MAX)
            RaiseError(kSource, "Bad value of MoveNumber in game " + gameId + ": '" + row[7] + "'");
        auto p = objNewPosition(objNewDiagram(row[5]), status, static_cast<int>(moveNumber),
                                forfeits, letter);
        p->strMoveText(row[6]);
        tree->Add2(p, row[2], row[3]);
        if (row[2] == CGameNode::strINITIAL_KEY()) {
            spare = std::make_shared<CGameNode>();
            spare->InitFromPosition(row[3], p);
        }
    }
    // Without a root the tree could not be shown or trained.
    if (!spare) RaiseError(kSource, "Game " + gameId + " has no start position");
    spare->SetChildrenKey(tree->Item(CGameNode::strINITIAL_KEY())->childrenKeys());
    tree->objCurrentNode(spare);
    return tree;
}

void CWorkBook::DeleteGame(int32_t id) {
    const bool batch = m_inBatch;
    arrvarExecuteSQL(batch ? "SAVEPOINT DeleteGame" : "BEGIN TRANSACTION");
    arrvarExecuteSQL("delete from GameNode where GameTreeID=" + std::to_string(id));
    arrvarExecuteSQL("delete from GameTree where ID=" + std::to_string(id));
    arrvarExecuteSQL(batch ? "RELEASE DeleteGame" : "COMMIT TRANSACTION");
}

std::vector<int32_t> CWorkBook::arrlngGetGameIDs() {
    RequireOpen();
    // Without an order SQLite may answer from an index in another order.
    SqlTable table = arrvarExecuteSQL("select id from GameTree order by ID");
    std::vector<int32_t> ids;
    ids.reserve(table.empty() ? 0 : table.size() - 1);
    for (size_t r = 1; r < table.size(); ++r)
        ids.push_back(clamped(numberOf(table[r][0], "ID", 0)));
    return ids;
}

std::vector<int32_t> CWorkBook::arrlngGetGameIDsForTraining(int16_t count) {
    RequireOpen();
    // SQLite reads a negative limit as no limit at all.
    if (count <= 0) return {};
    SqlTable table = arrvarExecuteSQL(
        "select id from GameTree order by ErrorStreak desc, Solve ,hits, SolveStreak,ID limit " +
        std::to_string(count));
    std::vector<int32_t> ids;
    for (size_t r = 1; r < table.size() && ids.size() < static_cast<size_t>(count); ++r)
        ids.push_back(clamped(numberOf(table[r][0], "ID", 0)));
    return ids;
}

void CWorkBook::UpdateSuccess(int32_t id) {
    arrvarExecuteSQL("update GameTree set hits=hits+1, solve=solve+1,SolveStreak=SolveStreak+1,"
                     "ErrorStreak=0 where ID=" +
                     std::to_string(id));
}

void CWorkBook::UpdateError(int32_t id) {
    arrvarExecuteSQL(
        "update GameTree set hits=hits+1,SolveStreak=0,ErrorStreak=ErrorStreak+1 where ID=" +
        std::to_string(id));
}

void CWorkBook::ClearLog() {
    arrvarExecuteSQL("Update GameTree set Hits=0,Solve=0,SolveStreak=0,ErrorStreak=0 ");
}

void CWorkBook::GetScore(int32_t& attempts, int32_t& successes) {
    SqlTable hits = arrvarExecuteSQL("select sum(Hits) from GameTree");
    attempts =
        hits.size() > 1 && !hits[1][0].empty() ? clamped(numberOf(hits[1][0], "Hits", 0)) : 0;
    SqlTable solve = arrvarExecuteSQL("select sum(Solve) from GameTree");
    successes =
        solve.size() > 1 && !solve[1][0].empty() ? clamped(numberOf(solve[1][0], "Solve", 0)) : 0;
}

std::optional<WorkBookGameRow> CWorkBook::objGetGameRow(int32_t id) {
    SqlTable table =
        arrvarExecuteSQL(std::string(kGameRowColumns) + " where ID=" + std::to_string(id));
    if (table.size() < 2) return std::nullopt;
    return rowOf(table[1]);
}

std::vector<WorkBookGameRow> CWorkBook::arrGetGameRows() {
    SqlTable table = arrvarExecuteSQL(std::string(kGameRowColumns) + " order by ID");
    std::vector<WorkBookGameRow> rows;
    rows.reserve(table.empty() ? 0 : table.size() - 1);
    for (size_t r = 1; r < table.size(); ++r)
        rows.push_back(rowOf(table[r]));
    return rows;
}

int64_t CWorkBook::lngCountGames() {
    SqlTable table = arrvarExecuteSQL("select count(*) from GameTree");
    return table.size() > 1 ? numberOf(table[1][0], "count", 0) : 0;
}
