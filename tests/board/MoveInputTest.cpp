#include "BoardFixture.h"
#include "game/CGameNode.h"

#include <QListWidget>
#include <map>

namespace {

using MoveInput = BoardFixture;

TEST_F(MoveInput, DragInFreePlayMakesTheMoveAndAddsItToTheTree) {
    drag("e2", "e4");
    EXPECT_EQ(events, QStringList({"Moved:e4", "Status:Black to move:1"}));
    EXPECT_EQ(items(board->lstWhiteMoves), QStringList({"1.e4"}));
    EXPECT_EQ(board->objGameTree()->objCurrentNode()->objPosition()->strMoveText(), "e4");
    EXPECT_EQ(board->intPictureSlot(idx("e4")), 5);
    EXPECT_EQ(board->intPictureSlot(idx("e2")), -1);
    EXPECT_TRUE(board->isPictureVisible(idx("e2")));
    EXPECT_FALSE(board->isDragging());
}

TEST_F(MoveInput, RefusedDropsSnapBack) {
    const struct {
        const char* from;
        QPoint to; // empty point: the centre of square "toName"
        const char* toName;
        QStringList expected;
    } cases[] = {
        {"e2", {}, "e5", {"Moved:", "Status:White to move:0"}}, // illegal square
        {"g8", {}, "f6", {"Moved:", "Status:White to move:0"}}, // not the side to move
        {"e2", {2, 2}, nullptr, {}},                            // dropped off the board
        {"e4", {}, "e5", {}},                                   // empty start square: no drag
    };
    const std::string before = diagram();
    for (const auto& c : cases) {
        events.clear();
        const QPoint to = c.toName ? board->rcSquarePixels(idx(c.toName)).center() : c.to;
        drag(idx(c.from), to);
        EXPECT_EQ(events.filter(QRegularExpression("^(Moved|Status)")), c.expected) << c.from;
        EXPECT_EQ(diagram(), before);
        EXPECT_FALSE(board->isDragging());
        for (int i = 0; i < 64; ++i)
            EXPECT_TRUE(board->isPictureVisible(i)) << i;
        EXPECT_EQ(board->intPictureSlot(idx("e2")), 5);
    }
    EXPECT_EQ(board->lstWhiteMoves->count(), 0);
}

TEST_F(MoveInput, HostCallsOnAnEmptySquareRaiseOnlyMovedAndViewModeIgnoresMoves) {
    board->MakeMove(idx("e4"), idx("e5"), 0);
    EXPECT_EQ(events, QStringList({"Moved:"}));
    board->Mode(BoardMode::View);
    drag("e2", "e4");
    board->MakeMove(idx("e2"), idx("e4"), 0);
    EXPECT_EQ(events.filter("Moved").size(), 1);
    EXPECT_EQ(board->GameStatus(), "White to move");
    EXPECT_EQ(board->intPictureSlot(idx("e2")), 5);
}

TEST_F(MoveInput, ClickReportsTheSquareInEveryMode) {
    for (BoardMode mode :
         {BoardMode::FreePlay, BoardMode::Setup, BoardMode::View, BoardMode::Training}) {
        board->Mode(mode);
        events.clear();
        QTest::mouseClick(board.get(), Qt::LeftButton, {},
                          board->rcSquarePixels(idx("c6")).center());
        EXPECT_EQ(events, QStringList({"Clicked:" + QString::number(idx("c6")) + ":c6"}))
            << int(mode);
    }
    board->isWhiteOnTop(true);
    events.clear();
    QTest::mouseClick(board.get(), Qt::LeftButton, {}, board->rcSquarePixels(0).center());
    EXPECT_EQ(events, QStringList({"Clicked:0:h1"}));
}

TEST_F(MoveInput, MovePgnPlaysTextAndReportsRefusals) {
    board->MovePgn("e4", true, true);
    board->MovePgn("e4", true, true); // the black pawn cannot go to e4
    board->MovePgn("e5", true, false);
    EXPECT_EQ(events, QStringList({"Moved:e4", "Status:Black to move:1",
                                   "Moved:", "Status:Black to move:1", "Status:White to move:1"}));
    EXPECT_EQ(board->intPictureSlot(idx("e5")), 11);
    // without display the pictures wait for the next redraw
    board->MovePgn("d4", false, false);
    EXPECT_EQ(board->intPictureSlot(idx("d4")), -1);
    EXPECT_EQ(board->GameStatus(), "Black to move");
    board->MovePgn("d5", true, false);
    EXPECT_EQ(board->intPictureSlot(idx("d4")), 5);
}

TEST_F(MoveInput, MovePgn2GivesTheSquaresOfTheMove) {
    const struct {
        bool flipped;
        const char* moves;
        const char* last;
        int from, to;
    } cases[] = {
        {false, "", "Nf3", 62, 45},
        {true, "", "Nf3", 1, 18},
        {false, "e4 e5 Nf3 Nc6 Bc4 Bc5", "O-O", 60, 62},
        {true, "e4 e5 Nf3 Nc6 Bc4 Bc5", "O-O", 3, 1},
        {false, "e4 e5 Nf3 Nc6 Bc4 Bc5 O-O Nf6 d3", "O-O", 4, 6},
        {true, "e4 e5 Nf3 Nc6 Bc4 Bc5 O-O Nf6 d3", "O-O", 59, 57},
        {false, "d4 d5 Nc3 Nc6 Bf4 Bf5 Qd2 Qd7", "O-O-O", 60, 58},
    };
    for (const auto& c : cases) {
        board->InitialPosition();
        board->isWhiteOnTop(c.flipped);
        for (const QString& m : QString(c.moves).split(' ', Qt::SkipEmptyParts))
            board->MovePgn(m, false, false);
        int from = -7, to = -7;
        board->MovePgn2(c.last, from, to, true, true);
        EXPECT_EQ(from, c.from) << c.moves << " " << c.last;
        EXPECT_EQ(to, c.to) << c.moves << " " << c.last;
    }
    int from = -7, to = -7;
    board->MovePgn2("Ke2", from, to, true, true); // refused: indices untouched
    EXPECT_EQ(from, -7);
    EXPECT_EQ(to, -7);
}

TEST_F(MoveInput, PromotionAsksForThePieceAndRefusesWithoutAChoice) {
    ASSERT_TRUE(board->ApplyFen("7k/4P3/8/8/8/8/8/K7 w - -"));
    int asked = 0;
    QString answer = "N";
    board->SetPromotionChooser([&](QWidget*) {
        ++asked;
        return answer;
    });
    events.clear();
    drag("e7", "e8");
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(events.first(), "Moved:e8=N");
    EXPECT_EQ(board->intPictureSlot(idx("e8")), 3);

    ASSERT_TRUE(board->ApplyFen("7k/4P3/8/8/8/8/8/K7 w - -"));
    answer = "";
    events.clear();
    drag("e7", "e8");
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(events, QStringList({"Moved:", "Status:White to move:0"}));
    EXPECT_EQ(board->intPictureSlot(idx("e7")), 5);
}

TEST_F(MoveInput, NoDialogForAPawnOfTheSideNotToMove) {
    ASSERT_TRUE(board->ApplyFen("7k/8/8/8/8/8/3p4/K7 w - -"));
    int asked = 0;
    board->SetPromotionChooser([&](QWidget*) {
        ++asked;
        return QString("Q");
    });
    drag("d2", "d1");
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(board->intPictureSlot(idx("d2")), 11);
}

// Training: the program answers for Black with the stored reply; a wrong move changes nothing.
TEST_F(MoveInput, TrainingMovesAreAnsweredUntilTheLastStoredMoveOrRefused) {
    const struct {
        const char* line;
        std::vector<std::pair<const char*, const char*>> drags;
        QStringList events; // every event, or only the training events when `all` is false
        bool all;
        QStringList black; // the black move list afterwards
    } cases[] = {
        {"e4 e5",
         {{"e2", "e4"}},
         {"Moved:e4", "Moved:e5", "Status:White to move:1", "Training:e5", "Training:Successful",
          "Status:White to move:1"},
         true,
         {"e5"}},
        {"e4 e5", {{"d2", "d4"}}, {"Training:Wrong move", "Moved:"}, true, {}},
        {"e4 e5 Nf3 Nc6",
         {{"e2", "e4"}, {"g1", "f3"}},
         {"Training:e5", "Training:Nc6", "Training:Successful"},
         false,
         {"e5", "Nc6"}},
    };
    board->ComputerPlays(1);
    for (const auto& c : cases) {
        const auto tree = makeTree({c.line});
        const int nodes = tree->Count();
        board->objGameTree(tree);
        board->Mode(BoardMode::Training);
        events.clear();
        for (const auto& [from, to] : c.drags)
            drag(from, to);
        EXPECT_EQ(c.all ? events : events.filter("Training"), c.events) << c.line;
        EXPECT_EQ(items(board->lstBlackMoves), c.black) << c.line;
        const bool solved = c.events.contains("Training:Successful");
        EXPECT_EQ(board->lstVariations->count(), solved ? 0 : 1) << "the line's end offers none";
        EXPECT_EQ(board->objGameTree()->Count(), nodes) << "training adds no node";
        EXPECT_EQ(board->GameStatus(), "White to move");
    }
    EXPECT_EQ(board->intPictureSlot(idx("d2")), 5) << "the refused pawn went back";
}

TEST_F(MoveInput, HostHandlerMayCallBackDuringTheReply) {
    board->objGameTree(makeTree({"e4 e5"}));
    board->ComputerPlays(1);
    board->Mode(BoardMode::Training);
    QString seen;
    QObject::connect(board.get(), &cntrlChessGui::TrainingStatus, board.get(),
                     [&](const QString& s) {
                         if (s == "Successful") {
                             seen = board->GameStatus();
                             board->Mode(BoardMode::View);
                         }
                     });
    drag("e2", "e4");
    EXPECT_EQ(seen, "White to move");
    EXPECT_EQ(board->boardMode(), BoardMode::View);
}

TEST_F(MoveInput, StoredRepliesAreChosenUniformly) {
    board->SeedRandom(12345);
    std::map<QString, int> counts;
    const auto tree = makeTree({"e4 e5", "e4 c5", "e4 e6"});
    board->ComputerPlays(1);
    for (int run = 0; run < 300; ++run) {
        board->objGameTree(tree);
        board->Mode(BoardMode::Training);
        events.clear();
        board->MakeMove(idx("e2"), idx("e4"), 0);
        const QStringList replies = events.filter("Training:");
        ASSERT_EQ(replies.size(), 2);
        ++counts[replies[0]];
    }
    ASSERT_EQ(counts.size(), 3u);
    for (const auto& [reply, n] : counts) {
        EXPECT_GT(n, 60) << reply.toStdString();
        EXPECT_LT(n, 140) << reply.toStdString();
    }
}

// A transposition keeps a node of its own, so the line that reached it keeps its continuation.
TEST_F(MoveInput, TranspositionMakesANodeOfItsOwn) {
    board->MovePgn("Nf3", false, false);
    board->MovePgn("Nf6", false, false);
    board->MovePgn("Nc3", false, false);
    board->MovePgn("Nc6", false, false);
    const int nodes = board->objGameTree()->Count();
    const std::string firstKey = board->objGameTree()->objCurrentNode()->strKey();
    board->cmdNavigation_Click(0);
    for (const char* m : {"Nc3", "Nf6", "Nf3"})
        board->MovePgn(m, false, false);
    const int afterBranch = board->objGameTree()->Count();
    const std::string parentKey = board->objGameTree()->objCurrentNode()->strKey();
    board->MakeMove(idx("b8"), idx("c6"), 0);
    EXPECT_EQ(afterBranch, nodes + 3);
    EXPECT_EQ(board->objGameTree()->Count(), afterBranch + 1);
    const auto& reached = board->objGameTree()->objCurrentNode();
    EXPECT_EQ(reached->strKey(), firstKey + "~2");
    EXPECT_EQ(reached->strParentKey(), parentKey);
    EXPECT_TRUE(board->arrNextNodes().empty() || board->arrNextNodes()[0] == nullptr);
}

} // namespace
