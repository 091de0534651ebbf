// Walking a game tree: the navigation buttons, the keys, the move lists and the variation list.
#include "BoardFixture.h"
#include "game/CGameNode.h"
#include "model/CGameStatus.h"

#include <QListWidget>
#include <array>
#include <map>

namespace {

using Navigation = BoardFixture;

// White's moves and Black's stand in paired rows with their check and mate signs; a Black first
// move gets the placeholder, a mate ends the game with a result instead of a side to move, and
// the rows still pair.
TEST_F(Navigation, MoveListsPairWhiteAndBlackRows) {
    // FEN (nullptr: the start position), moves, the white rows, the black rows
    const std::tuple<const char*, QString, QStringList, QStringList> cases[] = {
        {nullptr, "e4 e5 Nf3", {"1.e4", "2.Nf3"}, {"e5", ""}},
        {"rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1",
         "c5 Nf3",
         {"1.  ... ", "2.Nf3"},
         {"c5", ""}},
        {nullptr,
         "e4 e5 Bc4 Nc6 Qh5 Nf6 Qxf7#",
         {"1.e4", "2.Bc4", "3.Qh5", "4.Qxf7#"},
         {"e5", "Nc6", "Nf6", ""}},
        {nullptr, "f3 e5 g4 Qh4#", {"1.f3", "2.g4"}, {"e5", "Qh4#"}},
        {"k7/8/2K5/8/8/8/8/7R w - - 0 1", "Rh8+ Ka7 Rh7+", {"1.Rh8+", "2.Rh7+"}, {"Ka7", ""}},
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
        EXPECT_EQ(board->objPosition()->objStatus()->isInProgress(), !moves.endsWith('#'));
    }
    // the two lists select and scroll together
    board->lstWhiteMoves->setCurrentRow(0);
    EXPECT_EQ(board->lstBlackMoves->currentRow(), 0);
    board->lstBlackMoves->setCurrentRow(1);
    EXPECT_EQ(board->lstWhiteMoves->currentRow(), 1);
}

// One walk through a tree with the real buttons, the keys and a double click on the variation
// list; after each step the move lists, the variations, the events and the last move.
TEST_F(Navigation, ButtonsKeysAndTheVariationListWalkTheTree) {
    const QStringList buttons = {"first", "back branch", "back", "next", "next branch"};
    const std::map<QString, Qt::Key> keys = {{"Right", Qt::Key_Right},
                                             {"Left", Qt::Key_Left},
                                             {"Down", Qt::Key_Down},
                                             {"Home", Qt::Key_Home},
                                             {"End", Qt::Key_End}};
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
        {"next", "1.e4,2.Nf3,3.Bb5", "e5,Nc6,", "", "", "f1b5"}, // the end of the line
        {"back branch", "1.e4,2.Nf3", "e5,", "Nc6,Nf6", "Moved:Nf3,Status:Black to move:2", "g1f3"},
        {"back", "1.e4", "e5", "Nf3", "Moved:e5,Status:White to move:1", "e7e5"},
        {"Left", "1.e4", "", "e5", "Moved:e4,Status:Black to move:1", "e2e4"},
        {"Home", "", "", "e4,d4", "Moved:...,Status:White to move:0", ""},
        {"Left", "", "", "e4,d4", "Moved:...,Status:White to move:0", ""},
    };
    board->objGameTree(makeTree({"e4 e5 Nf3 Nc6 Bb5", "e4 e5 Nf3 Nf6", "d4 d5"}));
    for (const auto& [step, white, black, variations, moved, last] : steps) {
        SCOPED_TRACE(step.toStdString());
        events.clear();
        if (buttons.contains(step)) {
            QTest::mouseClick(board->cmdNavigation[buttons.indexOf(step)], Qt::LeftButton);
        } else if (keys.count(step)) {
            QTest::keyClick(board.get(), keys.at(step));
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
    auto tree = makeTree({"e4 e5", "d4"});
    GameNodeList next;
    tree->objMoveLast(next);
    play("d4");
    events.clear();
    board->objGameTree(tree);
    EXPECT_EQ(board->lstWhiteMoves->count(), 0);
    EXPECT_EQ(tree->objCurrentNode()->strKey(), CGameNode::strINITIAL_KEY());
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
