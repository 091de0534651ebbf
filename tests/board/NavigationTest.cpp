#include "BoardFixture.h"
#include "game/CGameNode.h"

#include <QListWidget>

namespace {

using Navigation = BoardFixture;

// White's moves and Black's stand in paired rows with their check and mate signs; a Black first
// move gets the placeholder, a mate ends the game with a result instead of a side to move, and
// the rows still pair.
TEST_F(Navigation, MoveListsPairWhiteAndBlackRows) {
    const struct {
        const char* fen; // nullptr: the start position
        const char* moves;
        QStringList white, black;
    } cases[] = {
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
    for (const auto& c : cases) {
        if (c.fen)
            ASSERT_TRUE(board->ApplyFen(c.fen));
        else
            board->InitialPosition();
        for (const QString& m : QString(c.moves).split(' '))
            board->MovePgn(m, true, false);
        EXPECT_EQ(items(board->lstWhiteMoves), c.white) << c.moves;
        EXPECT_EQ(items(board->lstBlackMoves), c.black) << c.moves;
        EXPECT_EQ(board->lstWhiteMoves->currentRow(), c.white.size() - 1) << c.moves;
        EXPECT_EQ(board->lstBlackMoves->currentRow(), c.white.size() - 1) << c.moves;
        if (QString(c.moves).endsWith('#')) {
            EXPECT_NE(board->GameStatus(), "White to move") << c.moves;
            EXPECT_NE(board->GameStatus(), "Black to move") << c.moves;
        }
    }
}

TEST_F(Navigation, PreviousMoveTakesRowsBack) {
    for (const char* m : {"e4", "e5", "Nf3"})
        board->MovePgn(m, true, false);
    events.clear();
    board->cmdNavigation_Click(2);
    EXPECT_EQ(items(board->lstWhiteMoves), QStringList({"1.e4"}));
    EXPECT_EQ(items(board->lstBlackMoves), QStringList({"e5"}));
    EXPECT_EQ(events, QStringList({"Moved:e5", "Status:White to move:1"}));
    board->cmdNavigation_Click(2);
    EXPECT_EQ(items(board->lstWhiteMoves), QStringList({"1.e4"}));
    EXPECT_EQ(items(board->lstBlackMoves), QStringList({""}));
    EXPECT_EQ(items(board->lstVariations), QStringList({"e5"}));
    board->cmdNavigation_Click(2);
    board->MovePgn("e4", true, false); // back and forward again: no second 1.e4 row
    EXPECT_EQ(items(board->lstWhiteMoves), QStringList({"1.e4"}));
}

TEST_F(Navigation, InitialPositionButtonRaisesTheRootEvents) {
    for (const char* m : {"e4", "e5"})
        board->MovePgn(m, true, false);
    events.clear();
    QTest::mouseClick(board->cmdNavigation[0], Qt::LeftButton); // the real button
    EXPECT_EQ(events, QStringList({"Moved:...", "Status:White to move:0"}));
    EXPECT_EQ(board->lstWhiteMoves->count(), 0);
    EXPECT_EQ(board->intPictureSlot(idx("e2")), 5);
    EXPECT_EQ(items(board->lstVariations), QStringList({"e4"}));
}

TEST_F(Navigation, NextMoveFollowsTheSelectedVariation) {
    board->objGameTree(makeTree({"e4 e5", "d4 d5", "c4"}));
    EXPECT_EQ(items(board->lstVariations), QStringList({"e4", "d4", "c4"}));
    board->lstVariations->setCurrentRow(1);
    events.clear();
    board->cmdNavigation_Click(3);
    EXPECT_EQ(events, QStringList({"Moved:d4", "Status:Black to move:1"}));
    EXPECT_EQ(items(board->lstWhiteMoves), QStringList({"1.d4"}));
    // a double click on the variation list is "Next Move"
    QListWidgetItem* d5 = board->lstVariations->item(0);
    const QPoint at = board->lstVariations->visualItemRect(d5).center();
    ASSERT_TRUE(board->lstVariations->viewport()->rect().contains(at));
    QTest::mousePress(board->lstVariations->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(board->lstVariations->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(board->lstVariations->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(items(board->lstBlackMoves), QStringList({"d5"}));
    events.clear();
    board->cmdNavigation_Click(3); // end of the line
    EXPECT_TRUE(events.isEmpty());
}

TEST_F(Navigation, BranchButtonsJumpAndRebuildTheLists) {
    board->objGameTree(makeTree({"e4 e5 Nf3 Nc6 Bb5", "e4 e5 Nf3 Nf6"}));
    board->cmdNavigation_Click(4); // next branch: along single moves to the branching point
    EXPECT_EQ(items(board->lstWhiteMoves), QStringList({"1.e4", "2.Nf3"}));
    EXPECT_EQ(items(board->lstBlackMoves), QStringList({"e5", ""}));
    EXPECT_EQ(items(board->lstVariations), QStringList({"Nc6", "Nf6"}));
    board->lstVariations->setCurrentRow(0);
    board->cmdNavigation_Click(3);
    board->cmdNavigation_Click(3);
    EXPECT_EQ(board->GameStatus(), "Black to move");
    events.clear();
    board->cmdNavigation_Click(1); // previous branch: back to the node with two children
    EXPECT_EQ(items(board->lstWhiteMoves), QStringList({"1.e4", "2.Nf3"}));
    EXPECT_EQ(items(board->lstVariations), QStringList({"Nc6", "Nf6"}));
    EXPECT_EQ(events, QStringList({"Moved:Nf3", "Status:Black to move:2"}));
}

TEST_F(Navigation, SettingATreeAlwaysLandsOnItsFirstNode) {
    auto tree = makeTree({"e4 e5 Nf3"});
    GameNodeList next;
    tree->objMoveLast(next);
    events.clear();
    board->objGameTree(tree);
    EXPECT_EQ(board->GameStatus(), "White to move");
    EXPECT_EQ(board->lstWhiteMoves->count(), 0);
    EXPECT_EQ(tree->objCurrentNode()->strKey(), CGameNode::strINITIAL_KEY());
    EXPECT_EQ(events, QStringList({"Moved:...", "Status:White to move:0"}));
}

TEST_F(Navigation, DeleteRemovesTheSelectedVariation) {
    board->objGameTree(makeTree({"e4 e5", "d4"}));
    const int before = board->objGameTree()->Count();
    board->lstVariations->setCurrentRow(0);
    events.clear();
    board->cmdDelete_Click();
    EXPECT_EQ(items(board->lstVariations), QStringList({"d4"}));
    EXPECT_LT(board->objGameTree()->Count(), before);
    EXPECT_TRUE(events.isEmpty());
    board->cmdDelete_Click();
    EXPECT_EQ(board->lstVariations->count(), 0);
    board->cmdNavigation_Click(3); // nothing to follow
    EXPECT_TRUE(events.isEmpty());
    board->cmdDelete_Click(); // nothing to delete
    EXPECT_EQ(board->GameStatus(), "White to move");
}

TEST_F(Navigation, MoveListsScrollAndSelectTogether) {
    for (const char* m : {"e4", "e5", "Nf3", "Nc6", "Bb5", "a6"})
        board->MovePgn(m, true, false);
    board->lstWhiteMoves->setCurrentRow(0);
    EXPECT_EQ(board->lstBlackMoves->currentRow(), 0);
    board->lstBlackMoves->setCurrentRow(2);
    EXPECT_EQ(board->lstWhiteMoves->currentRow(), 2);
}

TEST_F(Navigation, ButtonsContinuePastTreeErrors) {
    auto tree = std::make_shared<CGameTree>(); // no root: the tree's navigation raises
    board->objGameTree(tree);
    for (int k = 0; k < 5; ++k)
        board->cmdNavigation_Click(k);
    board->cmdDelete_Click();
    EXPECT_EQ(board->GameStatus(), "White to move");
}

} // namespace
