// Positions in and out of the board: FEN, positions from a host, setup mode, the stored properties
// and what each mode shows; and walking a game tree: the navigation buttons, the keys, the move
// lists and the variation list.
#include "BoardFixture.h"
#include "board/CMemoryPropertyStore.h"
#include "board/CSettingsPropertyStore.h"
#include "game/CGameNode.h"
#include "game/Fen.h"
#include "model/CError.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QSettings>
#include <QTemporaryDir>
#include <array>
#include <functional>
#include <map>

namespace {

using Positions = BoardFixture;

const QString kStart = "rnbqkbnrpppppppp" + QString(32, 'e') + "PPPPPPPPRNBQKBNR";

// A FEN applied as text starts a free game; the same position from a host keeps the mode.
TEST_F(Positions, ApplyFenAndApplyPositionReadEveryFieldAndStartAFreshGameOrChangeNothing) {
    // FEN, the position's FEN and move number afterwards
    const std::tuple<const char*, const char*, int> cases[] = {
        {"rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1",
         "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3", 1},
        {"r3k2r/8/8/8/8/8/8/R3K2R w Kq - 3 25", "r3k2r/8/8/8/8/8/8/R3K2R w Kq -", 24},
    };
    for (const auto& [fen, read, moveNumber] : cases) {
        SCOPED_TRACE(fen);
        for (bool text : {true, false}) {
            board->InitialPosition();
            play("d4");
            board->Mode(BoardMode::View);
            board->DrawLine(52, 36, true);
            const auto given = objTryReadFen(fen);
            ASSERT_TRUE(text ? board->ApplyFen(fen) : board->ApplyPosition(given));
            const auto pos = board->objPosition();
            EXPECT_NE(pos, given);
            EXPECT_EQ(pos->strGetFEN(), read);
            EXPECT_EQ(pos->intMoveNumber(), moveNumber);
            EXPECT_EQ(board->boardMode(), text ? BoardMode::FreePlay : BoardMode::View);
            EXPECT_EQ(board->lstWhiteMoves->count(), 0);
            EXPECT_EQ(board->objGameTree()->Count(), 1);
            EXPECT_EQ(board->GetDiagramFromGui().toStdString(), diagram());
            EXPECT_FALSE(board->isMoveLineVisible());
            EXPECT_FALSE(board->isCircleVisible());
        }
    }
    EXPECT_FALSE(board->ApplyPosition(nullptr));

    // An unusable FEN is refused and changes nothing.
    board->Mode(BoardMode::FreePlay);
    board->InitialPosition();
    play("e4");
    const auto tree = board->objGameTree();
    const std::string before = diagram();
    const char* refused[] = {
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq",
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBN w KQkq -",
        "4k3/8/8/8/8/8/8/4KK2 w - -", // two white kings (the setup's table has the other faults)
    };
    for (const char* fen : refused)
        EXPECT_FALSE(board->ApplyFen(fen)) << fen;
    for (int k = 0; k < 2; ++k)
        EXPECT_FALSE(board->SetFen(refused[k])) << refused[k];
    // the diagram itself refuses a board without a black king: the error reaches the caller
    EXPECT_THROW(board->ApplyFen("8/8/8/8/8/8/8/4K3 w - -"), CError);
    EXPECT_EQ(board->objGameTree(), tree);
    EXPECT_EQ(tree->Count(), 2);
    EXPECT_EQ(diagram(), before);
    EXPECT_EQ(items(board->lstWhiteMoves), QStringList({"1.e4"}));
}

TEST_F(Positions, SetupEditsThePicturesInDisplayOrderUntilApplied) {
    board->Mode(BoardMode::Setup);
    drag("e2", "e4"); // a plain drag copies
    drag("d2", "d4", Qt::ControlModifier);
    drag(idx("c2"), offBoard());
    drag("e5", "a8"); // an empty square copies emptiness
    drag("h1", "h1", Qt::ControlModifier);
    auto fromRack = [&](int slot, QPoint to) {
        QTest::mousePress(board.get(), Qt::LeftButton, {}, board->rcRackPixels(slot).center());
        moveMouse(to, Qt::LeftButton);
        EXPECT_TRUE(board->isRackDragging());
        QTest::mouseRelease(board.get(), Qt::LeftButton, {}, to);
        EXPECT_FALSE(board->isRackDragging());
    };
    fromRack(7, centre("e3"));
    fromRack(1, offBoard());
    EXPECT_EQ(board->GetFen(), "1nbqkbnr/pppppppp/8/8/3PP3/4q3/PP2PPPP/RNBQKBNR w - -");
    EXPECT_TRUE(events.filter(QRegularExpression("^(Moved|Status|Setup)")).isEmpty());

    board->Mode(BoardMode::FreePlay);
    board->cmdClear_Click(); // outside setup the error is swallowed
    EXPECT_EQ(diagram(), kStart.toStdString())
        << "the position waits until the setup is applied, and is not cleared outside it";
    board->isWhiteOnTop(true);
    board->Mode(BoardMode::Setup);
    board->chkWhiteOO->setChecked(true);
    const auto tree = board->objGameTree();
    board->cmdClear_Click();
    EXPECT_EQ(board->GetDiagramFromGui(), QString(64, 'e'));
    EXPECT_EQ(tree->Item(CGameNode::strINITIAL_KEY())->objPosition()->objDiagram()->strToString(),
              kStart.toStdString())
        << "the tree keeps its root";
    events.clear();
    board->cmdInitPos_Click();
    EXPECT_EQ(events, QStringList({"Status:White to move:0"}));
    EXPECT_NE(board->objGameTree(), tree);
    board->chkWhiteToMove->setChecked(false);
    board->cmdInitPos_Click();
    board->cmdApplySetup_Click();
    EXPECT_EQ(board->objPosition()->strGetFEN(),
              "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -")
        << "all may castle";
}

// The setup panel shows a FEN and gives it back in either orientation (move counters aside);
// applying it reports the first fault or starts a fresh game.
TEST_F(Positions, ApplyingASetupReportsTheFirstFaultOrStartsAFreshGame) {
    EXPECT_EQ(board->GetFen(), "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w - -");
    // FEN, the warning (nullptr: applied)
    const std::pair<const char*, const char*> cases[] = {
        {"8/8/8/8/8/8/8/7k w - -", "The white king is missing"},
        {"8/8/8/8/8/8/8/K6K w - -", "Too many white kings"},
        {"8/8/8/8/8/8/8/K7 w - -", "The black king is missing"},
        {"kk6/8/8/8/8/8/8/K7 w - -", "Too many black kings"},
        {"k7/8/8/8/8/8/8/R6K w - -", "The side not to move is in check"},
        {"k2p4/8/8/8/8/8/8/K7 w - -", "A pawn stands on the first or last rank"},
        {"k7/8/8/8/8/8/8/R6K b - -", nullptr}, // Black to move and in check: a sound position
        {"r3k3/8/8/3pP3/8/8/8/4K2R w Kq d6", nullptr},
        {"rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3", nullptr},
    };
    play("e4");
    bool flipped = false;
    for (const auto& [fen, message] : cases) {
        SCOPED_TRACE(fen);
        board->isWhiteOnTop(flipped = !flipped); // every other row on a flipped board
        board->Mode(BoardMode::Setup);
        ASSERT_TRUE(board->SetFen(QString(fen) + " 0 17"));
        EXPECT_EQ(board->GetFen(), fen);
        messages->shown.clear();
        events.clear();
        board->cmdApplySetup_Click();
        EXPECT_EQ(events, QStringList({"Setup"}));
        if (message != nullptr) {
            EXPECT_EQ(messages->shown, QStringList({QString("Chess: ") + message}));
            EXPECT_EQ(board->boardMode(), BoardMode::Setup);
            EXPECT_EQ(board->objGameTree()->Count(), 2);
            continue;
        }
        EXPECT_TRUE(messages->shown.isEmpty());
        EXPECT_EQ(board->boardMode(), BoardMode::FreePlay);
        EXPECT_EQ(board->objGameTree()->Count(), 1);
        EXPECT_EQ(board->lstWhiteMoves->count(), 0);
        EXPECT_EQ(board->objPosition()->strGetFEN(), fen);
        EXPECT_EQ(board->objPosition()->intMoveNumber(), QString(fen).contains(" b ") ? 1 : 0);
    }
    // The en-passant box takes its file as typed, a square too ("D6" names the d-file).
    board->Mode(BoardMode::Setup);
    ASSERT_TRUE(board->SetFen("4k3/8/8/3pP3/8/8/8/4K3 w - -"));
    board->cboEP->setEditText("D6");
    EXPECT_EQ(board->GetFen(), "4k3/8/8/3pP3/8/8/8/4K3 w - d6");
    board->cmdApplySetup_Click();
    EXPECT_EQ(board->objPosition()->strGetFEN(), "4k3/8/8/3pP3/8/8/8/4K3 w - d6");
    // A position that ends the game says so before any move.
    const std::pair<const char*, const char*> ended[] = {
        {"k7/1Q6/1K6/8/8/8/8/8 b - -", "1-0 (Checkmate)"},
        {"k7/8/1Q6/8/8/8/8/7K b - -", "1/2-1/2 (Stalemate)"},
    };
    for (const auto& [fen, status] : ended) {
        board->Mode(BoardMode::Setup);
        ASSERT_TRUE(board->SetFen(fen));
        board->cmdApplySetup_Click();
        EXPECT_EQ(board->GameStatus().toStdString(), status) << fen;
        EXPECT_EQ(name(board->intCheckSquare()), QString(status).contains("Checkmate") ? "a8" : "");
    }
}

// An empty store gives the stored defaults; only values that differ from them are written, and
// they come back through the memory store and through an ini file alike.
TEST_F(Positions, OnlyPropertiesThatDifferFromTheirDefaultsAreWrittenAndRestored) {
    CMemoryPropertyStore store;
    board->ReadProperties(store);
    EXPECT_DOUBLE_EQ(board->SquareSize(), 500);
    EXPECT_EQ(board->boardMode(), BoardMode::Setup);
    board->WriteProperties(store);
    EXPECT_TRUE(store.arrstrKeys().isEmpty()) << store.arrstrKeys().join(",").toStdString();

    board->Mode(BoardMode::View);
    board->SquareColorDark(0x336699);
    board->SquareSize(610);
    EXPECT_TRUE(board->isPropertyChanged());
    board->WriteProperties(store);
    EXPECT_EQ(store.arrstrKeys(), QStringList({"Mode", "SquareColorDark", "SquareSize"}));

    QTemporaryDir dir;
    QSettings settings(dir.filePath("board.ini"), QSettings::IniFormat);
    CSettingsPropertyStore ini(settings, "Board");
    board->WriteProperties(ini);
    settings.sync();
    EXPECT_FALSE(settings.contains("Board/SquareColorLight"));
    for (CPropertyStore* from : std::initializer_list<CPropertyStore*>{&store, &ini}) {
        cntrlChessGui restored;
        restored.ReadProperties(*from);
        EXPECT_EQ(restored.boardMode(), BoardMode::View);
        EXPECT_EQ(restored.SquareColorDark(), 0x336699u);
        EXPECT_EQ(restored.SquareColorLight(), 0xFFFFFFu);
        EXPECT_DOUBLE_EQ(restored.SquareSize(), 610);
    }
}

// Which elements each mode shows: navigation buttons, move lists, variation list, delete button,
// setup panel with its buttons, the rack; in every mode a click names its square (on a flipped
// board in view mode) and takes the focus; the overlays a mode change keeps or hides.
TEST_F(Positions, EachModeShowsItsElementsAndReportsClicks) {
    // mode, navigation, lists, delete button, setup panel
    const std::tuple<BoardMode, bool, bool, bool, bool> cases[] = {
        {BoardMode::FreePlay, true, true, true, false},
        {BoardMode::Setup, false, false, false, true},
        {BoardMode::View, true, true, false, false},
        {BoardMode::Training, false, false, false, false},
    };
    QWidget* b = board.get();
    for (const auto& [mode, navigation, lists, del, setup] : cases) {
        SCOPED_TRACE(int(mode));
        board->Mode(mode);
        board->isWhiteOnTop(mode == BoardMode::View);
        for (QPushButton* nav : board->cmdNavigation)
            EXPECT_EQ(nav->isVisibleTo(b), navigation);
        for (QWidget* list : {board->lstWhiteMoves, board->lstBlackMoves, board->lstVariations})
            EXPECT_EQ(list->isVisibleTo(b), lists);
        EXPECT_EQ(board->cmdDelete->isVisibleTo(b), del);
        EXPECT_EQ(board->fraSetup->isVisibleTo(b), setup);
        EXPECT_EQ(board->cmdApplySetup->isVisibleTo(b), setup);
        EXPECT_EQ(board->isRackVisible(), setup);
        board->clearFocus();
        events.clear();
        click("c6");
        EXPECT_EQ(events, QStringList({"Clicked:" + QString::number(idx("c6")) + ":c6"}));
        EXPECT_TRUE(board->hasFocus()) << "the arrow keys reach the board after a click";
    }
    // a piece picked up (from g1, or from the rack) is not put down in another mode or game
    const std::tuple<BoardMode, std::function<void()>, bool> changes[] = {
        {BoardMode::FreePlay, [&] { board->Mode(BoardMode::Setup); }, false},
        {BoardMode::Setup, [&] { board->Mode(BoardMode::FreePlay); }, false},
        {BoardMode::Setup, [&] { board->Mode(BoardMode::FreePlay); }, true},
        {BoardMode::FreePlay, [&] { board->InitialPosition(); }, false},
        {BoardMode::FreePlay,
         [&] { board->ApplyFen("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -"); }, false}};
    int row = 0;
    for (const auto& [from, change, rack] : changes) {
        SCOPED_TRACE(row++);
        board->InitialPosition();
        board->Mode(from);
        const QPoint start = rack ? board->rcRackPixels(0).center() : centre("g1");
        QTest::mousePress(board.get(), Qt::LeftButton, {}, start);
        moveMouse(centre("f3"), Qt::LeftButton);
        change();
        QTest::mouseRelease(board.get(), Qt::LeftButton, {}, centre("f3"));
        EXPECT_EQ(board->objGameTree()->Count(), 1);
        EXPECT_EQ(board->GetDiagramFromGui().toStdString(), diagram());
        EXPECT_TRUE(board->isPictureVisible(idx("g1")));
    }
    board->EnableNavigation(false);
    board->Mode(BoardMode::FreePlay);
    EXPECT_FALSE(board->cmdNavigation[3]->isEnabled());
    play("e4");
    board->DrawLine(52, 36, true);
    board->HighLightSquare(36, true);
    board->Mode(BoardMode::View);
    for (QPushButton* nav : board->cmdNavigation)
        EXPECT_TRUE(nav->isEnabled()) << "view mode enables the navigation again";
    EXPECT_FALSE(board->isMoveLineVisible());
    EXPECT_TRUE(board->isCircleVisible());
    EXPECT_EQ(board->intHighlightFrame(), 36);
    EXPECT_EQ(board->lstWhiteMoves->count(), 1);
}

using Navigation = BoardFixture;

// White's moves and Black's stand in paired rows with their check and mate signs; a Black first
// move gets the placeholder, a mate ends the game with a result instead of a side to move, and
// the rows still pair.
TEST_F(Navigation, MoveListsPairWhiteAndBlackRows) {
    // FEN (nullptr: the start position), moves, the white rows, the black rows
    const std::tuple<const char*, QString, QStringList, QStringList> cases[] = {
        {"rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1",
         "c5 Nf3",
         {"1.  ... ", "2.Nf3"},
         {"c5", ""}},
        {nullptr,
         "e4 e5 Bc4 Nc6 Qh5 Nf6 Qxf7#",
         {"1.e4", "2.Bc4", "3.Qh5", "4.Qxf7#"},
         {"e5", "Nc6", "Nf6", ""}},
        {nullptr, "f3 e5 g4 Qh4#", {"1.f3", "2.g4"}, {"e5", "Qh4#"}},
    };
    for (const auto& [fen, moves, white, black] : cases) {
        SCOPED_TRACE(moves.toStdString());
        if (fen)
            ASSERT_TRUE(board->ApplyFen(fen));
        else
            board->InitialPosition();
        play(moves);
        EXPECT_EQ(items(board->lstWhiteMoves), white);
        EXPECT_EQ(items(board->lstBlackMoves), black);
        EXPECT_EQ(board->lstWhiteMoves->currentRow(), white.size() - 1);
        EXPECT_EQ(board->lstBlackMoves->currentRow(), white.size() - 1);
        for (int back = 0; back <= moves.count(' '); ++back) // back to the start: no rows left
            board->cmdNavigation_Click(2);
        EXPECT_EQ(items(board->lstWhiteMoves) + items(board->lstBlackMoves), QStringList());
        board->cmdNavigation_Click(4);
        EXPECT_EQ(items(board->lstBlackMoves), black) << "and to the end again";
    }
}

// One walk through a tree with the real buttons, the keys, a drop and a double click on the
// variation list; after each step the move lists, the variations, the events and the last move.
TEST_F(Navigation, ButtonsKeysAndTheVariationListWalkTheTree) {
    const QStringList buttons = {"first", "back branch", "back", "next", "next branch"};
    const std::map<QString, Qt::Key> keys = {{"Right", Qt::Key_Right}, {"Left", Qt::Key_Left},
                                             {"Down", Qt::Key_Down},   {"Home", Qt::Key_Home},
                                             {"End", Qt::Key_End},     {"Enter", Qt::Key_Return}};
    // the step; then the white rows, the black rows, the variations, the events (each joined by
    // ",") and the last move's squares
    const std::array<QString, 6> steps[] = {
        {"Down", "", "", "e4,d4", "", ""}, // selects the second variation
        {"double click", "1.d4", "", "d5", "Moved:d4,Status:Black to move:1", "d2d4"},
        {"first", "", "", "e4,d4", "Moved:...,Status:White to move:0", ""},
        // along single moves to the branching point
        {"next branch", "1.e4,2.Nf3", "e5,", "Nc6,Nf6",
         "Moved:e4,Status:Black to move:1,Moved:Nf3,Status:Black to move:2", "g1f3"},
        {"Right", "1.e4,2.Nf3", "e5,Nc6", "Bb5", "Moved:Nc6,Status:White to move:2", "b8c6"},
        {"End", "1.e4,2.Nf3,3.Bb5", "e5,Nc6,", "",
         "Moved:Bb5,Status:Black to move:3,Moved:Bb5,Status:Black to move:3", "f1b5"},
        {"back branch", "1.e4,2.Nf3", "e5,", "Nc6,Nf6", "Moved:Nf3,Status:Black to move:2", "g1f3"},
        {"back", "1.e4", "e5", "Nf3", "Moved:e5,Status:White to move:1", "e7e5"},
        {"Left", "1.e4", "", "e5", "Moved:e4,Status:Black to move:1", "e2e4"},
        // a drop of a stored move lists what follows it
        {"e7-e5", "1.e4", "e5", "Nf3", "Moved:e5,Status:White to move:1", "e7e5"},
        // Enter follows the variation chosen, as a double click does
        {"Enter", "1.e4,2.Nf3", "e5,", "Nc6,Nf6", "Moved:Nf3,Status:Black to move:2", "g1f3"},
        {"Home", "", "", "e4,d4", "Moved:...,Status:White to move:0", ""},
        {"Left", "", "", "e4,d4", "Moved:...,Status:White to move:0", ""},
    };
    board->objGameTree(Book({"e4 e5 Nf3 Nc6 Bb5", "e4 e5 Nf3 Nf6", "d4 d5"}).tree);
    for (const auto& [step, white, black, variations, moved, last] : steps) {
        SCOPED_TRACE(step.toStdString());
        events.clear();
        if (buttons.contains(step)) {
            QTest::mouseClick(board->cmdNavigation[buttons.indexOf(step)], Qt::LeftButton);
        } else if (keys.count(step)) {
            QTest::keyClick(board.get(), keys.at(step));
        } else if (step.contains('-')) {
            drag(step.left(2).toLatin1(), step.right(2).toLatin1());
        } else {
            QListWidget* list = board->lstVariations;
            const QPoint at = list->visualItemRect(list->currentItem()).center();
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        }
        EXPECT_EQ(items(board->lstWhiteMoves).join(","), white);
        EXPECT_EQ(items(board->lstBlackMoves).join(","), black);
        EXPECT_EQ(items(board->lstVariations).join(","), variations);
        EXPECT_EQ(events.join(","), moved);
        const auto [from, to] = board->LastMove();
        EXPECT_EQ(name(from) + name(to), last);
    }
    board->Mode(BoardMode::Training);
    QTest::keyClick(board.get(), Qt::Key_Right);
    EXPECT_EQ(board->objPosition()->strMoveText(), "...") << "training hides the way forward";
}

// A tree set from anywhere lands on its first node; delete takes the selected variation away; a
// tree without a root leaves the buttons and delete harmless.
TEST_F(Navigation, SettingATreeLandsOnItsFirstNodeAndDeleteRemovesTheSelectedVariation) {
    auto tree = Book({"e4 e5", "d4"}).tree;
    GameNodeList next;
    tree->objMoveLast(next);
    play("d4");
    events.clear();
    board->objGameTree(tree);
    EXPECT_EQ(events, QStringList({"Moved:...", "Status:White to move:0"}));

    board->lstVariations->setCurrentRow(0);
    events.clear();
    board->cmdDelete_Click();
    EXPECT_EQ(items(board->lstVariations), QStringList({"d4"}));
    EXPECT_EQ(tree->Count(), 2);
    board->cmdDelete_Click();
    EXPECT_EQ(board->lstVariations->count(), 0);
    board->cmdNavigation_Click(3); // nothing to follow
    board->cmdDelete_Click();      // nothing to delete
    EXPECT_TRUE(events.isEmpty());
    EXPECT_EQ(tree->Count(), 1);

    board->objGameTree(std::make_shared<CGameTree>()); // no root: the tree's navigation raises
    for (int k = 0; k < 5; ++k)
        board->cmdNavigation_Click(k);
    board->cmdDelete_Click();
    EXPECT_TRUE(board->objPosition()->isWhiteToMove());
}

} // namespace
