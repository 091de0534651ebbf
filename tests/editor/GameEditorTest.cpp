// The game editor: setting up a position, entering a solution with a variation, saving new and
// edited games, and the refusals and questions on the way.
#include "EditorTestSupport.h"
#include "board/cntrlChessGui.h"
#include "editor/frmGameEditor.h"
#include "game/CGameNode.h"
#include "game/CGameTree.h"
#include "game/CPosition.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QSettings>
#include <gtest/gtest.h>

namespace {

// Keeps the board's setup warnings instead of showing them.
struct RecordedWarnings : CMessageBox {
    void ShowWarning(QWidget*, const QString& text, const QString&) override { texts << text; }
    QStringList texts;
};

const char* kExercise = "7k/p7/5K2/8/8/8/8/6R1 w - - 0 1";

// Sets the position up in setup mode and applies it, as a user does with the setup panel.
void SetUpPosition(frmGameEditor& editor, const QString& fen) {
    cntrlChessGui* board = editor.objBoard();
    ASSERT_EQ(board->boardMode(), BoardMode::Setup);
    ASSERT_TRUE(board->SetFen(fen));
    board->cmdApplySetup_Click();
    ASSERT_EQ(board->boardMode(), BoardMode::FreePlay);
}

// Plays the moves from the position shown.
void Play(frmGameEditor& editor, const QStringList& moves) {
    for (const QString& move : moves)
        editor.objBoard()->MovePgn(move, true, true);
}

// The move texts of the children of the node reached by the moves from the root.
std::vector<std::string> ChildrenAfter(const CGameTree& tree,
                                       const std::vector<std::string>& path) {
    auto node = tree.Item(CGameNode::strINITIAL_KEY());
    for (const std::string& move : path) {
        bool found = false;
        for (const std::string& key : node->childrenKeys())
            if (tree.Item(key)->objPosition()->strMoveText() == move) {
                node = tree.Item(key);
                found = true;
                break;
            }
        if (!found) return {"<no " + move + ">"};
    }
    std::vector<std::string> texts;
    for (const std::string& key : node->childrenKeys())
        texts.push_back(tree.Item(key)->objPosition()->strMoveText());
    return texts;
}

TEST(GameEditor, NewGameBySetupAndMovesWithAVariation) {
    TempWorkbook book;
    auto prompts = std::make_shared<ScriptedPrompts>();
    frmGameEditor editor(book.workbook, 0, prompts);
    EXPECT_FALSE(editor.isModified());
    SetUpPosition(editor, kExercise);
    Play(editor, {"Kf7", "Kh7", "Rh1#"});
    // Back to the position after 1.Kf7 and a second defence.
    editor.objBoard()->cmdNavigation_Click(2);
    editor.objBoard()->cmdNavigation_Click(2);
    Play(editor, {"a6", "Rh1#"});
    editor.txtDescription->setText("Rook mate, two defences");
    editor.txtPageRef->setText("p.12");
    editor.txtDiagramRef->setText("#3");
    EXPECT_TRUE(editor.isModified());

    ASSERT_TRUE(editor.isSave()) << prompts->errors.join("|").toStdString();
    EXPECT_GT(editor.lngGameID(), 0);
    EXPECT_FALSE(editor.isModified());

    std::string description, page, diagram;
    auto tree = book.workbook->objLoadGame(editor.lngGameID(), description, page, diagram);
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(description, "Rook mate, two defences");
    EXPECT_EQ(page, "p.12");
    EXPECT_EQ(diagram, "#3");
    EXPECT_EQ(tree->Count(), 6);
    EXPECT_EQ(tree->Item(CGameNode::strINITIAL_KEY())->objPosition()->strGetFEN(),
              "7k/p7/5K2/8/8/8/8/6R1 w - -");
    EXPECT_EQ(ChildrenAfter(*tree, {}), std::vector<std::string>{"Kf7"});
    EXPECT_EQ(ChildrenAfter(*tree, {"Kf7"}), (std::vector<std::string>{"Kh7", "a6"}));
    EXPECT_EQ(ChildrenAfter(*tree, {"Kf7", "a6"}), std::vector<std::string>{"Rh1#"});
}

TEST(GameEditor, EditingKeepsTheIdentifierAndTheStatistics) {
    TempWorkbook book;
    auto prompts = std::make_shared<ScriptedPrompts>();
    int32_t id = 0;
    {
        frmGameEditor editor(book.workbook, 0, prompts);
        SetUpPosition(editor, kExercise);
        Play(editor, {"Kf7", "Kh7", "Rh1#"});
        ASSERT_TRUE(editor.isSave());
        id = editor.lngGameID();
    }
    book.workbook->UpdateSuccess(id);
    book.workbook->UpdateError(id);

    frmGameEditor editor(book.workbook, id, prompts);
    EXPECT_EQ(editor.objBoard()->objGameTree()->Count(), 4);
    EXPECT_FALSE(editor.isModified());
    // A new variation at the first move and a changed reference.
    editor.objBoard()->cmdNavigation_Click(0);
    Play(editor, {"Rg2"});
    editor.txtPageRef->setText("p.99");
    ASSERT_TRUE(editor.isSave());
    EXPECT_EQ(editor.lngGameID(), id);

    const auto row = book.workbook->objGetGameRow(id);
    ASSERT_TRUE(row.has_value());
    EXPECT_EQ(row->strXRefPage, "p.99");
    EXPECT_EQ(row->lngHits, 2);
    EXPECT_EQ(row->lngSolve, 1);
    EXPECT_EQ(row->lngErrorStreak, 1);
    EXPECT_EQ(book.workbook->lngCountGames(), 1);
    std::string d, p, g;
    auto tree = book.workbook->objLoadGame(id, d, p, g);
    EXPECT_EQ(ChildrenAfter(*tree, {}), (std::vector<std::string>{"Kf7", "Rg2"}));
}

TEST(GameEditor, RefusesToSaveWhatCannotBeTrained) {
    TempWorkbook book;
    auto prompts = std::make_shared<ScriptedPrompts>();
    frmGameEditor editor(book.workbook, 0, prompts);
    // Still in setup mode.
    EXPECT_FALSE(editor.isSave());
    ASSERT_EQ(prompts->errors.size(), 1);
    EXPECT_TRUE(prompts->errors[0].contains("Apply Setup"));
    // A position without a solution.
    SetUpPosition(editor, kExercise);
    EXPECT_FALSE(editor.isSave());
    ASSERT_EQ(prompts->errors.size(), 2);
    EXPECT_TRUE(prompts->errors[1].contains("no solution"));
    EXPECT_EQ(book.workbook->lngCountGames(), 0);
    // A position the setup refuses stays in setup mode (two white kings).
    frmGameEditor other(book.workbook, 0, prompts);
    auto warnings = std::make_shared<RecordedWarnings>();
    other.objBoard()->SetMessageBox(warnings);
    ASSERT_TRUE(other.objBoard()->SetFen("7k/8/5K2/8/8/8/8/5K2 w - - 0 1"));
    other.objBoard()->cmdApplySetup_Click();
    EXPECT_EQ(other.objBoard()->boardMode(), BoardMode::Setup);
    EXPECT_EQ(warnings->texts, QStringList{"Too many white kings"});
}

// Setup starts from the position shown (the start position has every castling right) and the
// board wears the square colours chosen for training.
TEST(GameEditor, SetupStartsFromTheShownPositionInTheChosenColours) {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "Brisolt", "Brisolt");
    settings.setValue("Options/LightColor", "13434879");
    settings.setValue("Options/DarkColor", "3381606");
    settings.sync();
    TempWorkbook book;
    auto prompts = std::make_shared<ScriptedPrompts>();
    frmGameEditor editor(book.workbook, 0, prompts);
    cntrlChessGui* board = editor.objBoard();
    EXPECT_EQ(board->SquareColorLight(), 13434879u);
    EXPECT_EQ(board->SquareColorDark(), 3381606u);
    for (QCheckBox* box : {board->chkWhiteOO, board->chkWhiteOOO, board->chkBlackOO,
                           board->chkBlackOOO, board->chkWhiteToMove})
        EXPECT_TRUE(box->isChecked()) << box->text().toStdString();
    SetUpPosition(editor, "r3k3/8/8/8/8/8/8/4K2R b Kq - 0 1");
    Play(editor, {"Kd8"});
    prompts->answers = {true};
    editor.SetupPosition(); // from the shown position, after Black's move: White to move
    EXPECT_TRUE(board->chkWhiteOO->isChecked());
    EXPECT_FALSE(board->chkWhiteOOO->isChecked());
    EXPECT_FALSE(board->chkBlackOOO->isChecked());
    EXPECT_TRUE(board->chkWhiteToMove->isChecked());
    settings.remove("Options");
}

TEST(GameEditor, CancelAsksBeforeLosingChanges) {
    TempWorkbook book;
    auto prompts = std::make_shared<ScriptedPrompts>();
    {
        frmGameEditor editor(book.workbook, 0, prompts);
        EXPECT_TRUE(editor.isCancel()); // nothing changed: no question
        EXPECT_TRUE(prompts->questions.isEmpty());
    }
    frmGameEditor editor(book.workbook, 0, prompts);
    editor.show();
    SetUpPosition(editor, kExercise);
    Play(editor, {"Kf7"});
    prompts->answers = {false};
    EXPECT_FALSE(editor.isCancel());
    EXPECT_TRUE(editor.isVisible());
    EXPECT_EQ(prompts->questions.last(), "Discard the changes to this game?");
    prompts->answers = {true};
    EXPECT_TRUE(editor.isCancel());
    EXPECT_FALSE(editor.isVisible());
    EXPECT_EQ(book.workbook->lngCountGames(), 0);
}

TEST(GameEditor, PastedFenStartsTheGame) {
    TempWorkbook book;
    auto prompts = std::make_shared<ScriptedPrompts>();
    const struct {
        const char* clipboard;
        const char* fen; // the test position afterwards; "" when refused
        const char* why; // a part of the refusal
    } cases[] = {
        {"7k/p7/5K2/8/8/8/8/6R1 b - - 0 1", "7k/p7/5K2/8/8/8/8/6R1 b - -", ""},
        {"  r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1\n", "r3k2r/8/8/8/8/8/8/R3K2R w KQkq -", ""},
        {"not a position", "", "no position in FEN"},
        {"", "", "no position in FEN"},
        {"R5k1/5ppp/8/8/8/8/8/6K1 w - - 0 1", "", "The side not to move is in check"},
        {"6k1/5ppp/8/8/8/8/8/R5Kp b - - 0 1", "", "A pawn stands on the first or last rank"},
    };
    for (const auto& c : cases) {
        frmGameEditor editor(book.workbook, 0, prompts);
        QGuiApplication::clipboard()->setText(c.clipboard);
        const qsizetype errors = prompts->errors.size();
        editor.PasteFen();
        if (std::string(c.fen).empty()) {
            EXPECT_EQ(prompts->errors.size(), errors + 1) << c.clipboard;
            EXPECT_TRUE(prompts->errors.last().contains(c.why))
                << prompts->errors.last().toStdString();
            EXPECT_EQ(editor.objBoard()->boardMode(), BoardMode::Setup) << c.clipboard;
            continue;
        }
        EXPECT_EQ(editor.objBoard()->boardMode(), BoardMode::FreePlay) << c.clipboard;
        EXPECT_EQ(editor.objBoard()->objPosition()->strGetFEN(), c.fen);
        editor.CopyFen();
        EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), c.fen);
    }
}

} // namespace
