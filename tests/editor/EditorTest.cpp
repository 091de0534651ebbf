// The game editor over real workbook files: setting up a position, entering a solution with
// its variations, comments, move marks and line operations, saving new and edited games, and the
// refusals and questions on the way.
#include "EditorTestSupport.h"
#include "editor/CAnnotationPanel.h"
#include "editor/CMoveTreeView.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QToolButton>
#include <functional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using testing::HasSubstr;

using Moves = std::vector<std::string>;

// Chooses the move's item in the tree view, as a click does.
void Choose(frmGameEditor& editor, const Moves& path) {
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

struct GameEditor : testing::Test, EditorWindows {};
using EditorAnnotations = GameEditor;

TEST_F(GameEditor, RefusesWhatCannotBeTrainedAndEditingKeepsTheIdentifierTextsAndStatistics) {
    int32_t id = 0;
    {
        frmGameEditor editor(book.workbook, 0, prompts);
        // Refused still in setup mode, then with a position without a solution.
        EXPECT_FALSE(editor.isSave());
        ASSERT_TRUE(editor.objBoard()->SetFen(kExercise));
        editor.objBoard()->cmdApplySetup_Click();
        EXPECT_FALSE(editor.isSave());
        ASSERT_EQ(prompts->errors.size(), 2);
        EXPECT_TRUE(prompts->errors[0].contains("Apply Setup"));
        EXPECT_TRUE(prompts->errors[1].contains("no solution"));
        EXPECT_EQ(book.workbook->lngCountGames(), 0);
        EnterGame(editor);
        editor.txtDescription->setText("Rook mate, two defences");
        editor.txtPageRef->setText("p.12");
        editor.txtDiagramRef->setText("#3");
        ASSERT_TRUE(editor.isSave());
        EXPECT_FALSE(editor.isModified());
        id = editor.lngGameID();
    }
    book.workbook->UpdateSuccess(id);
    book.workbook->UpdateError(id);
    // Another program's bytes that are no UTF-8 stay as they are unless their box is edited.
    book.exec("update GameTree set XRefDiagram = cast(x'2333e9' as text)");

    frmGameEditor editor(book.workbook, id, prompts);
    EXPECT_EQ(editor.objBoard()->objGameTree()->Count(), 6);
    // It fits a laptop's screen scaled to 150% (1366x768: 910x512 less the window's frame).
    EXPECT_LE(editor.minimumSizeHint().width(), 880);
    EXPECT_LE(editor.minimumSizeHint().height(), 480);
    // A new variation at the first move and a changed reference.
    editor.objBoard()->cmdNavigation_Click(0);
    editor.objBoard()->MovePgn("Rg2", true, true);
    editor.txtPageRef->setText("p.99");
    ASSERT_TRUE(editor.isSave());
    EXPECT_EQ(editor.lngGameID(), id);

    const auto row = book.workbook->objGetGameRow(id);
    ASSERT_TRUE(row.has_value());
    EXPECT_EQ(row->strDescription + " " + row->strXRefPage + " " + row->strXRefDiagram,
              "Rook mate, two defences p.99 #3\xe9");
    EXPECT_EQ(std::make_tuple(row->lngHits, row->lngSolve, row->lngErrorStreak),
              std::make_tuple(2, 1, 1));
    const auto tree = LoadTree(*book.workbook, id);
    EXPECT_EQ(tree->Item(CGameNode::strINITIAL_KEY())->objPosition()->strGetFEN(),
              "7k/p7/5K2/8/8/8/8/6R1 w - -");
    EXPECT_EQ(Replies(*tree, {}), (Moves{"Kf7", "Rg2"}));
    EXPECT_EQ(Replies(*tree, {"Kf7"}), (Moves{"Kh7", "a6"}));
    EXPECT_EQ(Replies(*tree, {"Kf7", "a6"}), Moves{"Rh1#"});

    // Its moves, its comments or its texts changed by another program while open, the game is
    // not saved over that change.
    const std::string root = CGameNode::strINITIAL_KEY();
    for (const std::string& change : {std::string("delete from GameNode where MoveText='Rh1#'"),
                                      "insert into GameAnnotation values (" + std::to_string(id) +
                                          ", '" + root + "', 'theirs', '', '')",
                                      std::string("update GameTree set Description='theirs'")}) {
        frmGameEditor stale(book.workbook, id, prompts);
        book.exec(change);
        stale.txtPageRef->setText("p.100");
        EXPECT_FALSE(stale.isSave()) << change;
        EXPECT_THAT(prompts->errors.back().toStdString(), HasSubstr("nothing was saved"));
    }
    EXPECT_EQ(Replies(*LoadTree(*book.workbook, id), {"Kf7", "a6"}), Moves{});
    EXPECT_EQ(book.workbook->objLoadAnnotations(id).mapNodes.at(root).strBefore, "theirs");
    // Deleted by another program, it cannot be opened, and the reason says so.
    book.exec("delete from GameTree; delete from GameNode");
    EXPECT_THAT([&] { frmGameEditor gone(book.workbook, id, prompts); },
                testing::ThrowsMessage<std::exception>(
                    HasSubstr("no longer in the workbook: another program deleted")));
}

// Setup starts from the position shown (the start position has every castling right) and the
// board wears the square colours chosen for training; Cancel asks before changes are lost.
TEST_F(GameEditor, SetupStartsFromTheShownPositionInTheChosenColoursAndCancelAsksFirst) {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "Brisolt", "Brisolt");
    settings.setValue("Options/LightColor", "13434879");
    settings.setValue("Options/DarkColor", "3381606");
    settings.sync();
    frmGameEditor editor(book.workbook, 0, prompts);
    cntrlChessGui* board = editor.objBoard();
    EXPECT_TRUE(editor.isCancel()) << "nothing changed: no question";
    editor.txtPageRef->setText("p.7"); // a reference typed alone is a change too
    EXPECT_TRUE(editor.isModified());
    editor.txtPageRef->clear();
    EXPECT_EQ(board->SquareColorLight(), 13434879u);
    EXPECT_EQ(board->SquareColorDark(), 3381606u);
    for (QCheckBox* box : {board->chkWhiteOO, board->chkWhiteOOO, board->chkBlackOO,
                           board->chkBlackOOO, board->chkWhiteToMove})
        EXPECT_TRUE(box->isChecked()) << box->text().toStdString();
    ASSERT_TRUE(board->SetFen("r3k3/8/8/8/8/8/8/4K2R b Kq - 0 1"));
    EXPECT_FALSE(editor.isCancel()) << "pieces placed, not yet applied, are changes too";
    EXPECT_EQ(prompts->questions, QStringList{"Discard the changes to this game?"});
    board->cmdApplySetup_Click();
    editor.SetupPosition(); // and applied as it was: the move tree is shown anew
    board->cmdApplySetup_Click();
    EXPECT_EQ(editor.pnlAnnotations->tvwMoves->topLevelItemCount(), 1);
    editor.show(); // a move typed in the box does not also press Save, and joins the tree shown
    board->txtMove->setText("Kd8");
    QTest::keyClick(board->txtMove, Qt::Key_Return);
    QTest::keyClick(board, Qt::Key_Return);                           // nor does Enter on the board
    QTest::keyClick(editor.pnlAnnotations->tvwMoves, Qt::Key_Return); // nor in the move tree
    EXPECT_TRUE(editor.isVisible());
    EXPECT_EQ(editor.pnlAnnotations->tvwMoves->topLevelItem(0)->childCount(), 1);
    // A pasted position asks before dropping the moves too; "No" keeps them.
    QGuiApplication::clipboard()->setText(kExercise);
    editor.PasteFen();
    EXPECT_EQ(board->objGameTree()->Count(), 2);
    prompts->answers = {true};
    editor.SetupPosition(); // from the shown position, after Black's move: White to move
    // The moves setup drops can no longer be chosen or deleted: the pieces placed stay.
    EXPECT_FALSE(editor.pnlAnnotations->tvwMoves->isEnabled());
    EXPECT_FALSE(editor.pnlAnnotations->cmdDeleteMoves->isEnabled());
    EXPECT_FALSE(board->chkBlackOOO->isChecked());
    EXPECT_TRUE(board->chkWhiteToMove->isChecked());
    settings.remove("Options");
    prompts->answers = {false};
    EXPECT_FALSE(editor.isCancel());
    prompts->answers = {true};
    EXPECT_TRUE(editor.isCancel());
    EXPECT_FALSE(editor.isVisible());
    EXPECT_EQ(book.workbook->lngCountGames(), 0);
}

TEST_F(GameEditor, PastedFenStartsTheGame) {
    // the clipboard, the test position afterwards ("" when refused), a part of the refusal
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"  r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1\n", "r3k2r/8/8/8/8/8/8/R3K2R w KQkq -", ""},
        {"not a position", "", "no position in FEN"},
        {"R5k1/5ppp/8/8/8/8/8/6K1 w - - 0 1", "", "The side not to move is in check"},
    };
    for (const auto& [clipboard, fen, why] : cases) {
        SCOPED_TRACE(clipboard);
        frmGameEditor editor(book.workbook, 0, prompts);
        QGuiApplication::clipboard()->setText(clipboard);
        const qsizetype errors = prompts->errors.size();
        editor.PasteFen();
        if (std::string(fen).empty()) {
            EXPECT_EQ(prompts->errors.size(), errors + 1);
            EXPECT_THAT(prompts->errors.last().toStdString(), HasSubstr(why));
            EXPECT_EQ(editor.objBoard()->boardMode(), BoardMode::Setup);
            continue;
        }
        EXPECT_EQ(editor.objBoard()->boardMode(), BoardMode::FreePlay);
        // The panel follows: its tree is the pasted position's, its boxes take notes.
        EXPECT_TRUE(editor.pnlAnnotations->txtGameComment->isEnabled());
        editor.CopyFen(); // the position shown
        EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), fen);
    }
}

TEST_F(EditorAnnotations, MarksReplaceEachOtherAndKeepOtherGlyphs) {
    // the glyphs before, the mark set, the glyphs after
    const std::tuple<std::vector<int>, int, std::vector<int>> cases[] = {
        {{14, 1}, 2, {2, 14}}, {{2, 14}, 0, {14}}, {{18, 6, 3}, 5, {5, 18}}, {{7}, 9, {7}}};
    for (auto [nags, mark, expected] : cases) {
        SetMoveMark(nags, mark);
        EXPECT_EQ(nags, expected) << "mark " << mark;
        EXPECT_EQ(intMoveMark(nags), mark >= 1 && mark <= 6 ? mark : 0);
    }
    EXPECT_EQ(strMarkGlyph(5), "!?");
}

TEST_F(EditorAnnotations, CommentsAndMarksAreSavedAndShownAgain) {
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
        QTest::keyClicks(panel.txtCommentAfter, "loses at once\t"); // Tab leaves the box
        editor.objBoard()->setFocus(); // the shortcuts work from the board too
        QTest::keyClick(editor.objBoard(), Qt::Key_2, Qt::ControlModifier); // "?"
        EXPECT_TRUE(panel.cmdMarks[1]->isChecked());
        QTest::keyClick(&editor, Qt::Key_6, Qt::ControlModifier); // "?!" replaces it
        EXPECT_FALSE(panel.cmdMarks[1]->isChecked());
        QTest::keyClick(&editor, Qt::Key_4, Qt::ControlModifier); // "??"
        Choose(editor, {"Kf7"});
        EXPECT_TRUE(panel.txtCommentAfter->toPlainText().isEmpty());
        QTest::keyClick(panel.cmdMarks[0], Qt::Key_Return); // "!", not Save
        QTest::keyClicks(panel.txtCommentBefore, "The king first");
        QTest::keyClicks(panel.txtGameComment, "White mates in two\t");
        EXPECT_EQ(Outline(*panel.tvwMoves),
                  (QStringList{"Start position | White mates in two",
                               "  1. Kf7! | (The king first)", "  1... Kh7",
                               "    1... a6?? | loses at once", "      2. Rh1#", "  2. Rh1#"}));
        ASSERT_TRUE(editor.isSave()) << prompts->errors.join("|").toStdString();
        id = editor.lngGameID();
    }
    // Texts longer than a line box takes by default are shown (and so written back) whole.
    const std::string first = "The king first" + std::string(40000, '.');
    book.exec("update GameAnnotation set CommentBefore = '" + first +
              "' where CommentBefore = 'The king first'; update GameTree set Description = '" +
              first + "', XRefPage = '" + first + "', XRefDiagram = '" + first +
              "'; update GameAnnotation set CommentAfter = 'loses' || char(160) || 'at once' "
              "where CommentAfter = 'loses at once'");
    frmGameEditor again(book.workbook, id, prompts);
    for (QLineEdit* box : {again.txtDescription, again.txtPageRef, again.txtDiagramRef})
        EXPECT_EQ(box->text().toStdString(), first);
    CAnnotationPanel& panel = *again.pnlAnnotations;
    EXPECT_FALSE(again.isModified());
    EXPECT_TRUE(panel.lblUnreadable->isHidden());
    EXPECT_EQ(panel.txtGameComment->toPlainText(), "White mates in two");
    Choose(again, {"Kf7", "a6"});
    EXPECT_EQ(panel.txtCommentAfter->toPlainText(), "loses at once");
    EXPECT_TRUE(panel.cmdMarks[3]->isChecked());
    QTest::keyClicks(panel.txtCommentBefore, "or"); // the comment after stays as stored
    Choose(again, {"Kf7"});
    EXPECT_EQ(panel.txtCommentBefore->text().toStdString(), first);
    EXPECT_TRUE(panel.cmdMarks[0]->isChecked());
    // The same mark again takes it away.
    panel.ToggleMark(1);
    EXPECT_FALSE(panel.cmdMarks[0]->isChecked());
    EXPECT_TRUE(again.isModified());
    const std::string a6 = KeyOf(*again.objBoard()->objGameTree(), {"Kf7", "a6"});
    ASSERT_TRUE(again.isSave());
    EXPECT_EQ(book.workbook->objLoadAnnotations(id).mapNodes.at(a6).strAfter, "loses\u00a0at once");
}

TEST_F(EditorAnnotations, LinesArePromotedAndDeletedAndStaySo) {
    const int32_t id = Import(*book.workbook,
                              PgnGame(kExercise, "1. Kf7 Kh7 (1... a6 2. Rh1# {mate}) 2. Rh1#"))[0];
    // Promoted from inside the line, then deleted: each change saved and loaded again.
    frmGameEditor promoted(book.workbook, id, prompts);
    Choose(promoted, {"Kf7", "a6", "Rh1#"});
    EXPECT_TRUE(promoted.pnlAnnotations->PromoteLine());
    ASSERT_TRUE(promoted.isSave());
    EXPECT_EQ(Replies(*LoadTree(*book.workbook, id), {"Kf7"}), (Moves{"a6", "Kh7"}));
    frmGameEditor deleted(book.workbook, id, prompts);
    Choose(deleted, {"Kf7", "a6"});
    EXPECT_TRUE(deleted.pnlAnnotations->DeleteMoves());
    for (const char* move : {"a6", "Rh1#"}) // played again, without the comment deleted
        deleted.objBoard()->MovePgn(move, true, true);
    EXPECT_EQ(deleted.pnlAnnotations->txtCommentAfter->toPlainText(), "");
    Choose(deleted, {"Kf7", "a6"});
    EXPECT_TRUE(deleted.pnlAnnotations->DeleteMoves());
    ASSERT_TRUE(deleted.isSave());
    EXPECT_EQ(Replies(*LoadTree(*book.workbook, id), {"Kf7"}), Moves{"Kh7"});
    EXPECT_EQ(LoadTree(*book.workbook, id)->Count(), 4);
    // The deleted move's comment went with it.
    EXPECT_TRUE(book.workbook->objLoadAnnotations(id).mapNodes.empty());
}

// Notes that cannot be read (a row over the length limit) are kept as stored: the editor says
// so, offers no box to overwrite them, and a save of new moves leaves the readable ones alone.
TEST_F(EditorAnnotations, UnreadableNotesAreKeptAsStored) {
    const int32_t id =
        Import(*book.workbook, PgnGame(kExercise, "1. Kf7 {king first} Kh7 "
                                                  "(1... a6 {loses} 2. Rh1#) 2. Rh1#"))[0];
    RawDatabase raw(book.folder.file("games.brl"));
    raw.exec("update GameAnnotation set CommentAfter = hex(randomblob(600000)) where "
             "CommentAfter = 'loses'");
    const std::string notes = "select count(*) from GameAnnotation where CommentAfter = 'king "
                              "first' union all select count(*) from GameTag";
    const auto before = raw.rows(notes);
    frmGameEditor editor(book.workbook, id, prompts);
    CAnnotationPanel& panel = *editor.pnlAnnotations;
    EXPECT_FALSE(panel.lblUnreadable->isHidden());
    Choose(editor, {"Kf7"});
    for (QWidget* box : std::initializer_list<QWidget*>{panel.txtCommentAfter, panel.cmdMarks[0],
                                                        panel.txtGameComment})
        EXPECT_FALSE(box->isEnabled()) << box->objectName().toStdString();
    panel.ToggleMark(1);
    editor.objBoard()->MovePgn("a5", true, true);
    ASSERT_TRUE(editor.isSave()) << prompts->errors.join("|").toStdString();
    EXPECT_EQ(raw.rows(notes), before);
    EXPECT_EQ(raw.value("select count(*) from GameAnnotation where length(CommentAfter) > "
                        "1000000"),
              "1");
}

} // namespace
