// Comments, move marks and line operations in the game editor, stored in a real workbook file,
// loaded again and exported; the Games window's notes column over the same files.
#include "EditorTestSupport.h"
#include "board/cntrlChessGui.h"
#include "editor/CAnnotationPanel.h"
#include "editor/CGamesTableModel.h"
#include "editor/CMoveTreeView.h"
#include "editor/MoveMarks.h"
#include "editor/frmGameEditor.h"
#include "game/CGameTree.h"
#include "game/CPosition.h"
#include "pgn/PgnExport.h"
#include "tests/workbook/RawDatabase.h"
#include "workbook/GameAnnotations.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QToolButton>
#include <algorithm>
#include <gtest/gtest.h>
#include <sstream>

namespace {

const char* kExercise = "7k/p7/5K2/8/8/8/8/6R1 w - - 0 1";

// A new game in the editor: 1.Kf7 Kh7 (1...a6 2.Rh1#) 2.Rh1#, set up and played as a user does.
void EnterGame(frmGameEditor& editor) {
    cntrlChessGui* board = editor.objBoard();
    ASSERT_TRUE(board->SetFen(kExercise));
    board->cmdApplySetup_Click();
    for (const char* move : {"Kf7", "Kh7", "Rh1#"})
        board->MovePgn(move, true, true);
    board->cmdNavigation_Click(2);
    board->cmdNavigation_Click(2);
    for (const char* move : {"a6", "Rh1#"})
        board->MovePgn(move, true, true);
}

// The key of the node reached by the moves from the root.
std::string KeyOf(const CGameTree& tree, const std::vector<std::string>& path) {
    std::string key = CGameNode::strINITIAL_KEY();
    for (const std::string& move : path) {
        std::string found;
        for (const std::string& child : tree.Item(key)->childrenKeys())
            if (tree.Item(child)->objPosition()->strMoveText() == move) found = child;
        if (found.empty()) return "<no " + move + ">";
        key = found;
    }
    return key;
}

// Chooses the move's item in the tree view, as a click does.
void Choose(frmGameEditor& editor, const std::vector<std::string>& path) {
    const std::string key = KeyOf(*editor.objBoard()->objGameTree(), path);
    QTreeWidgetItem* item = editor.pnlAnnotations->tvwMoves->objItem(key);
    ASSERT_NE(item, nullptr) << key;
    editor.pnlAnnotations->tvwMoves->setCurrentItem(item);
}

// The items of the tree view, depth first, each indented by its level.
QStringList Outline(const CMoveTreeView& view) {
    QStringList lines;
    std::function<void(QTreeWidgetItem*, int)> walk = [&](QTreeWidgetItem* item, int depth) {
        lines << QString(depth * 2, ' ') + item->text(0) +
                     (item->text(1).isEmpty() ? "" : " | " + item->text(1));
        for (int i = 0; i < item->childCount(); ++i)
            walk(item->child(i), depth + 1);
    };
    for (int i = 0; i < view.topLevelItemCount(); ++i)
        walk(view.topLevelItem(i), 0);
    return lines;
}

// The game as exported PGN, its lines joined.
std::string Exported(CWorkBook& workbook, int32_t id) {
    std::ostringstream text;
    ExportPgn(workbook, text, {id});
    std::string joined = text.str();
    std::replace(joined.begin(), joined.end(), '\n', ' ');
    return joined;
}

// A workbook as an older program leaves it: the three tables and no annotation tables.
void DropAnnotationTables(TempWorkbook& book) {
    const std::string file = book.folder.file("games.brl");
    book.workbook->CloseWorkBook();
    RawDatabase(file).exec("drop table if exists GameAnnotation; drop table if exists GameTag");
    book.workbook->strOpenWorkBook(file);
    ASSERT_FALSE(book.workbook->hasAnnotationTables());
}

TEST(EditorAnnotations, MarksReplaceEachOtherAndKeepOtherGlyphs) {
    struct Case {
        std::vector<int> nags;
        int mark;
        std::vector<int> expected;
    };
    const Case cases[] = {
        {{}, 2, {2}},
        {{1}, 4, {4}},
        {{14, 1}, 2, {2, 14}},
        {{2, 14}, 0, {14}},
        {{18, 6, 3}, 5, {5, 18}},
        {{7}, 9, {7}},
    };
    for (const Case& c : cases) {
        std::vector<int> nags = c.nags;
        SetMoveMark(nags, c.mark);
        EXPECT_EQ(nags, c.expected) << "mark " << c.mark;
        EXPECT_EQ(intMoveMark(nags), c.mark >= 1 && c.mark <= 6 ? c.mark : 0);
    }
    EXPECT_EQ(strMarkGlyph(5), "!?");
    EXPECT_EQ(strMarkGlyph(7), "");
}

TEST(EditorAnnotations, CommentsAndMarksAreSavedShownAgainAndExported) {
    TempWorkbook book;
    auto prompts = std::make_shared<ScriptedPrompts>();
    int32_t id = 0;
    {
        frmGameEditor editor(book.workbook, 0, prompts);
        editor.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&editor));
        EnterGame(editor);
        CAnnotationPanel& panel = *editor.pnlAnnotations;
        // Choosing a move in the tree shows its position on the board.
        Choose(editor, {"Kf7", "a6"});
        EXPECT_EQ(editor.objBoard()->objPosition()->strMoveText(), "a6");
        QTest::keyClicks(panel.txtCommentAfter, "loses at once");
        editor.objBoard()->setFocus(); // the shortcuts work from the board too
        QTest::keyClick(editor.objBoard(), Qt::Key_2, Qt::ControlModifier); // "?"
        EXPECT_TRUE(panel.cmdMarks[1]->isChecked());
        QTest::keyClick(&editor, Qt::Key_6, Qt::ControlModifier); // "?!" replaces it
        EXPECT_FALSE(panel.cmdMarks[1]->isChecked());
        QTest::keyClick(&editor, Qt::Key_4, Qt::ControlModifier); // "??"
        Choose(editor, {"Kf7"});
        EXPECT_TRUE(panel.txtCommentAfter->toPlainText().isEmpty());
        QTest::mouseClick(panel.cmdMarks[0], Qt::LeftButton); // "!"
        QTest::keyClicks(panel.txtCommentBefore, "The king first");
        QTest::keyClicks(panel.txtGameComment, "White mates in two");
        EXPECT_TRUE(editor.isModified());
        EXPECT_EQ(Outline(*panel.tvwMoves),
                  (QStringList{"Start position | White mates in two",
                               "  1. Kf7! | (The king first)", "  1... Kh7",
                               "    1... a6?? | loses at once", "      2. Rh1#", "  2. Rh1#"}));
        ASSERT_TRUE(editor.isSave()) << prompts->errors.join("|").toStdString();
        id = editor.lngGameID();
    }
    frmGameEditor again(book.workbook, id, prompts);
    CAnnotationPanel& panel = *again.pnlAnnotations;
    EXPECT_FALSE(again.isModified());
    EXPECT_EQ(panel.txtGameComment->toPlainText(), "White mates in two");
    Choose(again, {"Kf7", "a6"});
    EXPECT_EQ(panel.txtCommentAfter->toPlainText(), "loses at once");
    EXPECT_TRUE(panel.cmdMarks[3]->isChecked());
    Choose(again, {"Kf7"});
    EXPECT_EQ(panel.txtCommentBefore->text(), "The king first");
    EXPECT_TRUE(panel.cmdMarks[0]->isChecked());
    // The same mark again takes it away.
    panel.ToggleMark(1);
    EXPECT_FALSE(panel.cmdMarks[0]->isChecked());
    EXPECT_TRUE(again.isModified());

    const std::string pgn = Exported(*book.workbook, id);
    EXPECT_NE(pgn.find("{White mates in two} {The king first} 1. Kf7 $1 Kh7 (1... a6 $4 "
                       "{loses at once} 2. Rh1#) 2. Rh1#"),
              std::string::npos)
        << pgn;
}

TEST(EditorAnnotations, LinesArePromotedAndDeletedAndStaySo) {
    TempWorkbook book;
    auto prompts = std::make_shared<ScriptedPrompts>();
    frmGameEditor editor(book.workbook, 0, prompts);
    EnterGame(editor);
    CAnnotationPanel& panel = *editor.pnlAnnotations;
    Choose(editor, {"Kf7", "a6", "Rh1#"});
    QTest::keyClicks(panel.txtCommentAfter, "mate");
    ASSERT_TRUE(editor.isSave());
    const int32_t id = editor.lngGameID();

    struct Step {
        const char* name;
        std::vector<std::string> select;
        std::function<bool(CAnnotationPanel&)> act;
        bool changed;
        std::vector<std::string> replies; // after 1.Kf7, once saved and loaded again
        int nodes;
    };
    const Step steps[] = {
        {"promote from inside the line",
         {"Kf7", "a6", "Rh1#"},
         [](CAnnotationPanel& p) { return p.PromoteLine(); },
         true,
         {"a6", "Kh7"},
         6},
        {"delete the promoted line",
         {"Kf7", "a6"},
         [](CAnnotationPanel& p) { return p.DeleteMoves(); },
         true,
         {"Kh7"},
         4},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        frmGameEditor open(book.workbook, id, prompts);
        Choose(open, step.select);
        EXPECT_EQ(step.act(*open.pnlAnnotations), step.changed);
        ASSERT_TRUE(open.isSave());
        std::string description, page, diagram;
        const auto tree = book.workbook->objLoadGame(id, description, page, diagram);
        std::vector<std::string> replies;
        for (const std::string& key : tree->Item(KeyOf(*tree, {"Kf7"}))->childrenKeys())
            replies.push_back(tree->Item(key)->objPosition()->strMoveText());
        EXPECT_EQ(replies, step.replies);
        EXPECT_EQ(tree->Count(), step.nodes);
    }
    // The deleted move's comment went with it.
    EXPECT_TRUE(book.workbook->objLoadAnnotations(id).mapNodes.empty());
}

TEST(EditorAnnotations, AWorkbookWithoutAnnotationTablesSavesAsBeforeUntilAMoveIsMarked) {
    TempWorkbook book;
    DropAnnotationTables(book);
    auto prompts = std::make_shared<ScriptedPrompts>();
    frmGameEditor editor(book.workbook, 0, prompts);
    EnterGame(editor);
    editor.txtDescription->setText("no notes");
    ASSERT_TRUE(editor.isSave());
    const int32_t id = editor.lngGameID();
    EXPECT_FALSE(book.workbook->hasAnnotationTables());

    frmGameEditor edited(book.workbook, id, prompts);
    edited.txtPageRef->setText("p.7");
    ASSERT_TRUE(edited.isSave());
    EXPECT_FALSE(book.workbook->hasAnnotationTables());

    frmGameEditor marked(book.workbook, id, prompts);
    Choose(marked, {"Kf7"});
    marked.pnlAnnotations->ToggleMark(3);
    ASSERT_TRUE(marked.isSave());
    EXPECT_TRUE(book.workbook->hasAnnotationTables());
    EXPECT_EQ(book.workbook->objLoadAnnotations(id).mapNodes.size(), 1u);
}

TEST(EditorAnnotations, GamesWindowFlagsGamesWithCommentsOrMarksOnTheirOwnNodes) {
    TempWorkbook book;
    auto prompts = std::make_shared<ScriptedPrompts>();
    std::vector<int32_t> ids;
    for (int i = 0; i < 3; ++i) {
        frmGameEditor editor(book.workbook, 0, prompts);
        EnterGame(editor);
        ASSERT_TRUE(editor.isSave());
        ids.push_back(editor.lngGameID());
    }
    DropAnnotationTables(book);
    auto flags = [&] {
        CGamesTableModel model(book.workbook, {});
        model.Reload();
        QStringList shown;
        for (int row = 0; row < model.rowCount(); ++row)
            shown << model.index(row, CGamesTableModel::ColNotes).data().toString();
        EXPECT_TRUE(model.strLastError().isEmpty()) << model.strLastError().toStdString();
        return shown;
    };
    EXPECT_EQ(flags(), (QStringList{"", "", ""})); // no annotation tables at all

    {
        frmGameEditor editor(book.workbook, ids[1], prompts);
        QTest::keyClicks(editor.pnlAnnotations->txtGameComment, "a game comment");
        ASSERT_TRUE(editor.isSave());
    }
    // Another program's row for a node the game does not have, and an empty row.
    RawDatabase raw(book.folder.file("games.brl"));
    raw.exec("insert into GameAnnotation values (" + std::to_string(ids[2]) +
             ", 'W9gone', 'x', 'y', '2')");
    raw.exec("insert into GameAnnotation values (" + std::to_string(ids[0]) +
             ", 'InitialKey', '', '', '')");
    EXPECT_EQ(flags(), (QStringList{"", "Yes", ""}));

    // Tables of another shape flag nothing and break nothing.
    raw.exec("drop table GameAnnotation");
    raw.exec("create table GameAnnotation (Something TEXT)");
    EXPECT_EQ(flags(), (QStringList{"", "", ""}));
}

} // namespace
