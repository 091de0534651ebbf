// The game operations of CWorkBook: saving, loading and deleting game trees.
#include "game/CGameNode.h"
#include "game/CGameTree.h"
#include "game/CPosition.h"
#include "game/PositionConstructors.h"
#include "game/PositionSoundness.h"
#include "game/SideToMove.h"
#include "model/CDiagram.h"
#include "model/CGameStatus.h"
#include "workbook/CWorkBook.h"
#include "workbook/CWorkBookGameError.h"
#include "workbook/GameAnnotations.h"
#include "workbook/GameRows.h"
#include "workbook/SqlConnection.h"
#include "workbook/SqlStatement.h"
#include "workbook/SqlTransaction.h"
#include "workbook/StoredNumber.h"

#include <algorithm>

namespace {

const char* const kSource = "CWorkBook";

const char* const kUpdateGame =
    "update GameTree set Description=?,XRefPage=?,XRefDiagram=? where ID=?";
const char* const kInsertGame =
    "insert into GameTree (ID,Description,XRefPage,XRefDiagram,Hits,Solve,ErrorStreak,SolveStreak)"
    " values(NULL,?,?,?,0,0,0,0)";
const char* const kInsertNode =
    "insert into GameNode (ID,GameTreeID,NodeKey,NodeParentKey,WhiteToMove,Diagram,MoveText,"
    "MoveNumber,EnPassantFile,WhiteOO,WhiteOOO,BlackOO,BlackOOO) values "
    "(NULL,?,?,?,?,?,?,?,?,?,?,?,?)";
// Node rows go into the table up to this many per statement.
constexpr size_t kNodesPerInsert = 16;
constexpr int kNodeValues = 12; // the bound values of one node row
const char* const kDeleteNodes = "delete from GameNode where GameTreeID=?";
const char* const kDeleteGame = "delete from GameTree where ID=?";
const char* const kOwnedNodes = "select 1 from GameNode where GameTreeID>=? limit 1";
const char* const kOwnedAnnotations = "select 1 from GameAnnotation where GameTreeID>=? limit 1";
const char* const kOwnedTags = "select 1 from GameTag where GameTreeID>=? limit 1";
const char* const kLoadGame = "select Description,XRefPage,XRefDiagram from GameTree where ID=?";
// Node rows in the order they were written: a parent always comes before its children.
const char* const kLoadNodes =
    "select NodeKey,NodeParentKey,WhiteToMove,Diagram,MoveText,MoveNumber,EnPassantFile,WhiteOO,"
    "WhiteOOO,BlackOO,BlackOOO from GameNode where GameTreeID=? order by ID";
enum NodeColumn {
    NodeKey,
    NodeParentKey,
    WhiteToMove,
    Diagram,
    MoveText,
    MoveNumber,
    EnPassantFile,
    WhiteOO,
    WhiteOOO,
    BlackOO,
    BlackOOO
};

std::string gameName(int64_t id) {
    return "Game " + std::to_string(id);
}

} // namespace

int64_t CWorkBook::lngSaveGame(const std::shared_ptr<CGameTree>& tree, int64_t id,
                               const std::string& description, const std::string& page,
                               const std::string& diagram) {
    return lngStoreGame(tree, id, description, page, diagram, nullptr);
}

int64_t CWorkBook::lngSaveGame(const std::shared_ptr<CGameTree>& tree, int64_t id,
                               const std::string& description, const std::string& page,
                               const std::string& diagram, const GameAnnotations& annotations) {
    return lngStoreGame(tree, id, description, page, diagram, &annotations);
}

int64_t CWorkBook::lngStoreGame(const std::shared_ptr<CGameTree>& tree, int64_t id,
                                const std::string& description, const std::string& page,
                                const std::string& diagram, const GameAnnotations* annotations) {
    (void)Connection(); // a closed workbook is refused before the game is looked at
    const int64_t g =
        lngSaveGameRows(GameRows::objOf(tree, id, description, page, diagram, annotations));
    for (const auto& node : *tree) // the root, in memory as it is stored
        if (node->objPosition()->isStartPosition()) node->strParentKey("");
    return g;
}

int64_t CWorkBook::lngSaveGameRows(const GameRows& rows) {
    SqlConnection& connection = Connection();
    const int64_t id = rows.lngID;
    // Inside a batch this is a savepoint, so that a game that fails leaves no rows.
    SqlTransaction work(connection);
    const int64_t g =
        lngSaveGameTree(id, rows.strDescription, rows.strXRefPage, rows.strXRefDiagram);
    const EarlierRows earlier = id > 0 ? EarlierRows::OfThisGame : objEarlierRowsOfNewGame(g);
    if (earlier != EarlierRows::None) DeleteGameNodes(g);
    // A game another program deleted left its results under the identifier a new game takes.
    if (id <= 0) objProgress().DeleteGameRows(g);
    SaveNodes(rows.arrNodes, g);
    try {
        KeepAnnotations(g, earlier, rows);
        work.Commit();
    } catch (...) {
        m_annotationTablesUsable = false; // the tables may go with the rolled-back work
        throw;
    }
    return g;
}

void CWorkBook::SaveNodes(const std::vector<GameRows::Node>& nodes, int64_t g) {
    SqlConnection& connection = Connection();
    for (size_t first = 0; first < nodes.size(); first += kNodesPerInsert) {
        const size_t count = std::min(kNodesPerInsert, nodes.size() - first);
        SqlStatementScope insert(connection.preparedRows(kInsertNode, static_cast<int>(count)));
        for (size_t i = 0; i < count; ++i) {
            const GameRows::Node& node = nodes[first + i];
            const int at = static_cast<int>(i) * kNodeValues;
            insert->bind(at + 1, g).bind(at + 2, node.strKey).bind(at + 3, node.strParentKey);
            insert->bind(at + 4, node.isWhiteToMove ? 1 : 0)
                .bind(at + 5, std::string_view(node.arrDiagram.data(), node.arrDiagram.size()));
            insert->bind(at + 6, node.strMoveText).bind(at + 7, node.intMoveNumber);
            insert->bind(at + 8, node.intEnPassantFile);
            for (int k = 0; k < 4; ++k)
                insert->bind(at + 9 + k, node.arrCastling[static_cast<size_t>(k)] ? 1 : 0);
        }
        insert->run();
    }
}

int64_t CWorkBook::lngSaveGameTree(int64_t id, const std::string& description,
                                   const std::string& page, const std::string& diagram) {
    SqlConnection& connection = Connection();
    SqlStatementScope store(connection.prepared(id > 0 ? kUpdateGame : kInsertGame));
    store->bind(1, description).bind(2, page).bind(3, diagram);
    if (id > 0) store->bind(4, id);
    while (store->step()) {
    }
    // Updating a game that is not there (another program may have deleted it since it was
    // loaded) would store nodes that belong to no game.
    if (id > 0 && connection.lngChanges() == 0)
        RaiseError(kSource, "No game with the identifier " + std::to_string(id));
    if (id > 0) return id;
    const int64_t created = connection.lngLastInsertRowid();
    // Identifiers are 32-bit for the windows that list and train games.
    if (created > INT32_MAX)
        RaiseError(kSource, "The workbook has no free game identifier below 2147483648; new "
                            "games cannot be added to it");
    return created;
}

CWorkBook::EarlierRows CWorkBook::objEarlierRowsOfNewGame(int64_t id) {
    // Outside a batch one save is not worth a look; inside it, the writes are this connection's
    // alone, so the look once a batch holds for every later new game.
    if (!m_batch) return EarlierRows::OfAnotherGame;
    if (!m_firstUnownedID) {
        // The tables to look in: annotation tables of another program's making are not looked
        // into, and count as holding rows.
        std::string problem;
        std::vector<const char*> looks;
        if (areAnnotationTablesUsable(problem))
            looks = {kOwnedNodes, kOwnedAnnotations, kOwnedTags};
        else if (!hasAnnotationTables())
            looks = {kOwnedNodes};
        // A number stored as a real is compared as a number; a text sorts above every number
        // and so counts as an owner too.
        bool owned = looks.empty();
        for (size_t k = 0; k < looks.size() && !owned; ++k) {
            SqlStatementScope look(Connection().prepared(looks[k]));
            look->bind(1, id);
            owned = look->step();
        }
        m_firstUnownedID = owned ? INT64_MAX : id;
    }
    return id >= *m_firstUnownedID ? EarlierRows::None : EarlierRows::OfAnotherGame;
}

void CWorkBook::DeleteGameNodes(int64_t id) {
    SqlStatementScope remove(Connection().prepared(kDeleteNodes));
    remove->bind(1, id);
    remove->run();
}

namespace {

// Builds the position of one stored node; any refusal names the game and the node.
std::shared_ptr<CPosition> PositionOf(const SqlStatement& row, int64_t id) {
    static const char* const files = "abcdefgh";
    auto number = [&](int column, const char* name) {
        return lngStoredNumber(row, column, name, id);
    };
    std::vector<bool> forfeits = {
        number(WhiteOO, "WhiteOO") != 1, number(WhiteOOO, "WhiteOOO") != 1,
        number(BlackOO, "BlackOO") != 1, number(BlackOOO, "BlackOOO") != 1};
    int64_t file = number(EnPassantFile, "EnPassantFile");
    std::string letter = file >= 0 && file <= 7 ? std::string(1, files[file]) : "";
    const auto& status = number(WhiteToMove, "WhiteToMove") == 1 ? CGameStatus::objWHITE_TO_MOVE()
                                                                 : CGameStatus::objBLACK_TO_MOVE();
    int64_t moveNumber = number(MoveNumber, "MoveNumber");
    // The moves played on from the node count on from this number: half the range leaves them
    // room that no game can use up.
    if (moveNumber > INT32_MAX / 2)
        throw CWorkBookGameError(id, kSource,
                                 "Bad value of MoveNumber in game " + std::to_string(id) + ": '" +
                                     row.text(MoveNumber) + "'");
    try {
        auto p = objNewPosition(objNewDiagram(row.text(Diagram)), status,
                                static_cast<int>(moveNumber), forfeits, letter);
        p->strMoveText(row.text(MoveText));
        return p;
    } catch (const CWorkBookGameError&) {
        throw;
    } catch (const CError& error) {
        throw CWorkBookGameError(id, error.strSource,
                                 gameName(id) + " cannot be loaded: " + error.what() + " (node " +
                                     row.text(NodeKey) + ")");
    }
}

// The position the node's stored move gives in its parent's position; nothing when the move
// cannot be played there or gives another diagram.
std::shared_ptr<CPosition> objPlayed(const CPosition& parent, const CPosition& child) {
    try {
        auto played = parent.objProcessMove(child.strMoveText());
        if (played && played->objDiagram()->strToString() == child.objDiagram()->strToString())
            return played;
    } catch (const CError&) {
    }
    return nullptr;
}

// What the node's stored row says otherwise than the move from its parent gives: the side to
// move, a castling right, the en-passant file or the move number; "" when they agree.
std::string strDisagreement(const CPosition& played, const CPosition& child) {
    if (isWhiteSideToMove(played) != isWhiteSideToMove(child)) return "side to move";
    for (int color = 0; color < 2; ++color)
        if (played.isKCastleForfeited(color) != child.isKCastleForfeited(color) ||
            played.isQCastleForfeited(color) != child.isQCastleForfeited(color))
            return "castling rights";
    if (played.intEnPassantFile() != child.intEnPassantFile()) return "en-passant file";
    if (played.intMoveNumber() != child.intMoveNumber()) return "move number";
    return "";
}

// Refuses the game when the node's stored move cannot be played in its parent's position or
// gives another position than the row stores.
void CheckStoredMove(int64_t id, const CPosition& parent, const CPosition& child,
                     const std::string& key) {
    const auto played = objPlayed(parent, child);
    if (!played)
        throw CWorkBookGameError(id, kSource,
                                 gameName(id) + " cannot be loaded: the stored move " +
                                     child.strMoveText() + " (node " + key +
                                     ") cannot be played in the position before it");
    if (const std::string differs = strDisagreement(*played, child); !differs.empty())
        throw CWorkBookGameError(id, kSource,
                                 gameName(id) + " cannot be loaded: the move " +
                                     child.strMoveText() + " (node " + key +
                                     ") does not give the stored " + differs);
}

} // namespace

std::shared_ptr<CGameTree> CWorkBook::objLoadGame(int64_t id, std::string& description,
                                                  std::string& page, std::string& diagram) {
    try {
        return objLoadGameRows(id, description, page, diagram);
    } catch (const SqlError& error) {
        // A value over the length limit or a damaged page spoils this game, not the workbook.
        if (!error.isContentError()) throw;
        throw CWorkBookGameError(id, kSource, gameName(id) + " cannot be loaded: " + error.what());
    }
}

std::shared_ptr<CGameTree> CWorkBook::objLoadGameRows(int64_t id, std::string& description,
                                                      std::string& page, std::string& diagram) {
    SqlConnection& connection = Connection();
    {
        SqlStatementScope game(connection.prepared(kLoadGame));
        game->bind(1, id);
        // Positions left behind by a game another program deleted are no game.
        if (!game->step()) return nullptr;
        description = game->text(0);
        page = game->text(1);
        diagram = game->text(2);
    }
    SqlStatementScope rows(connection.prepared(kLoadNodes));
    rows->bind(1, id);
    auto tree = std::make_shared<CGameTree>();
    std::shared_ptr<CGameNode> spare;
    struct Pending {
        std::shared_ptr<CPosition> position;
        std::string key, parentKey;
    };
    std::vector<Pending> later;
    while (rows->step()) {
        auto p = PositionOf(*rows, id);
        const std::string key = rows->text(NodeKey);
        const std::string parentKey = rows->text(NodeParentKey);
        // A stored move that cannot be played would fail later, in the middle of training; a
        // row that gives its position other rights than the move does would judge the moves
        // after it against a position the game never reached. A row before its parent's is
        // checked once the parent is there.
        if (p->strMoveText() != "...") {
            if (tree->isExists(parentKey))
                CheckStoredMove(id, *tree->Item(parentKey)->objPosition(), *p, key);
            else
                later.push_back({p, key, parentKey});
        }
        tree->Add2(p, key, parentKey);
        if (key == CGameNode::strINITIAL_KEY()) {
            // A test position the rules cannot judge (two kings of a side, a pawn on an end
            // rank, the side not to move in check) would let moves no game has be trained.
            if (const std::string unsound = strUnsoundTestPosition(*tree); !unsound.empty())
                throw CWorkBookGameError(id, kSource,
                                         gameName(id) + " cannot be loaded: " + unsound);
            spare = std::make_shared<CGameNode>();
            spare->InitFromPosition(parentKey, p);
        }
    }
    for (const Pending& each : later)
        if (tree->isExists(each.parentKey))
            CheckStoredMove(id, *tree->Item(each.parentKey)->objPosition(), *each.position,
                            each.key);
    if (tree->Count() == 0) return nullptr;
    // Without a root the tree could not be shown or trained.
    if (!spare) throw CWorkBookGameError(id, kSource, gameName(id) + " has no start position");
    spare->SetChildrenKey(tree->Item(CGameNode::strINITIAL_KEY())->childrenKeys());
    tree->objCurrentNode(spare);
    return tree;
}

void CWorkBook::DeleteGame(int64_t id) {
    SqlConnection& connection = Connection();
    SqlTransaction work(connection);
    DeleteGameNodes(id);
    DeleteAnnotations(id);
    SqlStatementScope remove(connection.prepared(kDeleteGame));
    remove->bind(1, id);
    remove->run();
    // SQLite gives a deleted highest identifier to the next game: no row may outlive its game.
    objProgress().DeleteGameRows(id);
    // The kept score no longer holds once a game's results are gone.
    ForgetScore();
    work.Commit();
}
