// The annotations of CWorkBook's games: comments, glyphs and tags in two tables of the program's
// own beside the workbook's three, which stay as they are. Rows are keyed by game identifier and
// node key, so a game saved again from the editor keeps them; rows of keys or games that are no
// longer there are never read.
#include "game/CGameNode.h"
#include "game/CGameTree.h"
#include "model/CError.h"
#include "workbook/CWorkBook.h"
#include "workbook/CWorkBookGameError.h"
#include "workbook/GameAnnotations.h"
#include "workbook/GameRows.h"
#include "workbook/SqlConnection.h"
#include "workbook/SqlStatement.h"

#include <algorithm>
#include <sqlite3.h>
#include <vector>

namespace {

const char* const kSource = "CWorkBook";

const char* const kCreateAnnotation =
    "create table if not exists GameAnnotation (GameTreeID INTEGER NOT NULL, NodeKey TEXT NOT "
    "NULL, CommentBefore TEXT NOT NULL, CommentAfter TEXT NOT NULL, Nags TEXT NOT NULL, primary "
    "key (GameTreeID, NodeKey)) without rowid";
const char* const kCreateTag =
    "create table if not exists GameTag (GameTreeID INTEGER PRIMARY KEY, Tags TEXT NOT NULL)";
// The two tables' names in lower case.
const std::vector<std::string_view> kTableNames = {"gameannotation", "gametag"};

const char* const kInsertAnnotation =
    "insert into GameAnnotation (GameTreeID, NodeKey, CommentBefore, CommentAfter, Nags) values "
    "(?, ?, ?, ?, ?)";
// Rows of annotations one insert statement takes at most.
constexpr size_t kRowsPerInsert = 16;
const char* const kInsertTag = "insert into GameTag (GameTreeID, Tags) values (?, ?)";
const char* const kDeleteAnnotations = "delete from GameAnnotation where GameTreeID = ?";
const char* const kDeleteTags = "delete from GameTag where GameTreeID = ?";
// The node rows a game no longer has lose their annotations.
const char* const kPruneAnnotations =
    "delete from GameAnnotation where GameTreeID = ? and NodeKey not in (select NodeKey from "
    "GameNode where GameTreeID = ?)";
const char* const kLoadAnnotations =
    "select NodeKey, CommentBefore, CommentAfter, Nags from GameAnnotation where GameTreeID = ?";
const char* const kLoadTags = "select Tags from GameTag where GameTreeID = ?";
const char* const kLoadMarks = "select NodeKey, Nags from GameAnnotation where GameTreeID = ?";

// True for a failure that leaves annotations unread instead of failing the load: missing tables,
// tables of another shape (SQLITE_ERROR) or a damaged or oversized row (a content error).
bool isUnreadable(const SqlError& error) {
    return error.isContentError() || (error.intCode & 0xff) == SQLITE_ERROR;
}

// The glyphs alone of a game whose comments or tags cannot be read, so that the moves marked as
// mistakes stay marked; none when the glyphs cannot be read either.
std::unordered_map<std::string, NodeAnnotation> mapMarksOf(SqlConnection& connection, int64_t id) {
    std::unordered_map<std::string, NodeAnnotation> marks;
    try {
        SqlStatementScope rows(connection.prepared(kLoadMarks));
        rows->bind(1, id);
        while (rows->step()) {
            std::vector<int> nags = GameAnnotations::arrNagsOf(rows->text(1));
            if (!nags.empty()) marks[rows->text(0)].arrNags = std::move(nags);
        }
    } catch (const SqlError& error) {
        if (!isUnreadable(error)) throw;
        marks.clear();
    }
    return marks;
}

} // namespace

bool CWorkBook::hasAnnotationTables() {
    return Connection().hasTables(kTableNames);
}

void CWorkBook::EnsureAnnotationTables() {
    SqlConnection& connection = Connection();
    // Another program's index or view of one of the names would take the annotations.
    for (const auto& [name, type] : connection.arrSchemaObjectsNamed(kTableNames))
        if (type != "table")
            RaiseError(kSource, "The workbook holds an " + type + " named " + name +
                                    " where annotations belong; remove it with an SQLite tool "
                                    "to store comments and tags.");
    connection.exec(kCreateAnnotation);
    connection.exec(kCreateTag);
    std::string problem;
    if (!areAnnotationTablesUsable(problem))
        RaiseError(kSource, "The workbook's annotation tables are not the ones Brisolt writes (" +
                                problem + "); comments and tags cannot be stored in it.");
}

bool CWorkBook::areAnnotationTablesUsable(std::string& problem) {
    // Known good until the work that may have made them is rolled back or the file closed.
    if (m_annotationTablesUsable) return true;
    if (!hasAnnotationTables()) return false;
    try {
        for (const char* statement : {kInsertAnnotation, kInsertTag, kLoadAnnotations, kLoadTags,
                                      kDeleteAnnotations, kDeleteTags, kPruneAnnotations})
            Connection().prepared(statement);
    } catch (const SqlError& error) {
        problem = error.what();
        return false;
    }
    m_annotationTablesUsable = true;
    return true;
}

void CWorkBook::KeepAnnotations(int64_t id, EarlierRows earlier, const GameRows& game) {
    SqlConnection& connection = Connection();
    std::string problem;
    const bool tables = areAnnotationTablesUsable(problem);
    const bool isEmpty = game.strTags.empty() && game.arrAnnotations.empty();
    if (!game.hasAnnotations || (isEmpty && !tables)) {
        // Tables of another program's making are left alone by saves without annotations.
        if (!tables) return;
        // A new game may take the identifier of a game another program deleted: its rows are
        // not this game's.
        if (earlier == EarlierRows::OfAnotherGame) {
            DeleteAnnotations(id);
        } else if (earlier == EarlierRows::OfThisGame) {
            SqlStatementScope prune(connection.prepared(kPruneAnnotations));
            prune->bind(1, id).bind(2, id);
            prune->run();
        }
        return;
    }
    if (!tables) EnsureAnnotationTables();
    if (earlier != EarlierRows::None) DeleteAnnotations(id);
    if (!game.strTags.empty()) {
        SqlStatementScope insert(connection.prepared(kInsertTag));
        insert->bind(1, id).bind(2, game.strTags);
        insert->run();
    }
    // The rows go in up to kRowsPerInsert a statement: one statement for each annotated move
    // would cost as much as the rows themselves.
    const std::vector<GameRows::Annotation>& rows = game.arrAnnotations;
    for (size_t first = 0; first < rows.size(); first += kRowsPerInsert) {
        const size_t count = std::min(kRowsPerInsert, rows.size() - first);
        SqlStatementScope insert(
            connection.preparedRows(kInsertAnnotation, static_cast<int>(count)));
        for (size_t r = 0; r < count; ++r) {
            const GameRows::Annotation& row = rows[first + r];
            const int at = static_cast<int>(r * 5);
            insert->bind(at + 1, id).bind(at + 2, row.strKey);
            insert->bind(at + 3, row.strBefore);
            insert->bind(at + 4, row.strAfter).bind(at + 5, row.strNags);
        }
        insert->run();
    }
}

void CWorkBook::DeleteAnnotations(int64_t id) {
    std::string problem;
    if (!areAnnotationTablesUsable(problem)) return;
    for (const char* statement : {kDeleteAnnotations, kDeleteTags}) {
        SqlStatementScope remove(Connection().prepared(statement));
        remove->bind(1, id);
        remove->run();
    }
}

GameAnnotations CWorkBook::objLoadAnnotations(int64_t id) {
    GameAnnotations annotations;
    // Only the two reading statements are prepared: a load needs nothing else of the tables.
    try {
        SqlConnection& connection = Connection();
        {
            SqlStatementScope tags(connection.prepared(kLoadTags));
            tags->bind(1, id);
            if (tags->step()) annotations.arrTags = GameAnnotations::arrTagsOf(tags->text(0));
        }
        SqlStatementScope nodes(connection.prepared(kLoadAnnotations));
        nodes->bind(1, id);
        while (nodes->step()) {
            NodeAnnotation& node = annotations.mapNodes[nodes->text(0)];
            node.strBefore = nodes->text(1);
            node.strAfter = nodes->text(2);
            node.arrNags = GameAnnotations::arrNagsOf(nodes->text(3));
        }
    } catch (const SqlError& error) {
        // Missing tables or tables of another program's shape hold none of the game's
        // annotations. A damaged or oversized row holds some that cannot be read: they are
        // still there, and the game is marked so that nothing takes their place. Either way the
        // game itself still loads and trains.
        if (!isUnreadable(error)) throw;
        GameAnnotations none;
        none.isReadable = !error.isContentError();
        if (!none.isReadable) none.mapNodes = mapMarksOf(Connection(), id);
        return none;
    }
    return annotations;
}
