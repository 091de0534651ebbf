#include "PracticeTestSupport.h"
#include "board/cntrlChessGui.h"
#include "game/CGameNode.h"
#include "game/CGameTree.h"
#include "game/CPosition.h"
#include "game/Fen.h"

#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

TEST(frmCraftyTest, LoadStartsFromTheTestPositionWithTheMainBoardsLook) {
    auto mainBoard =
        mainBoardAt("r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq -", true);
    mainBoard->SquareColorDark(0x00336699);
    mainBoard->SquareColorLight(0x00EEEEEE);
    // Training moves on the main board do not change where practice starts.
    mainBoard->MovePgn("Bb5", true, false);
    mainBoard->MovePgn("a6", true, false);
    frmCrafty window(mainBoard.get(), {BRISOLT_STOCKFISH, EngineProtocol::Uci, "Stockfish 15.1"},
                     nullptr);
    EXPECT_EQ(window.windowTitle(), "Practice with Stockfish 15.1");
    EXPECT_EQ(window.cntrlChess->objPosition()->strGetFEN(),
              "r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq -");
    EXPECT_TRUE(window.cntrlChess->isWhiteOnTop());
    EXPECT_EQ(window.cntrlChess->SquareColorDark(), 0x00336699u);
    EXPECT_EQ(window.cntrlChess->SquareColorLight(), 0x00EEEEEEu);
    EXPECT_EQ(window.cntrlChess->boardMode(), BoardMode::FreePlay);
    EXPECT_EQ(window.lblResult->text(), "White to move");
    for (QPushButton* button : window.cntrlChess->cmdNavigation)
        EXPECT_FALSE(button->isEnabled());
    const std::vector<std::pair<QPushButton*, QString>> labels = {
        {window.lblExamine, "Stop Game"},
        {window.lblReplay, "Replay from beginning"},
        {window.lblReplay2, "Replay from this point"},
        {window.lblClose, "Close this window"}};
    for (const auto& [label, caption] : labels)
        EXPECT_EQ(label->text(), caption);
    EXPECT_TRUE(window.bridge()->isRunning());
    // Practice games are played at their last move: the board's Delete has nothing to delete.
    window.show();
    EXPECT_FALSE(window.cntrlChess->cmdDelete->isVisible());
}

TEST(frmCraftyTest, TheEngineAnswersOnThePracticeBoardAndRefusedMovesSendNothing) {
    Practice practice(startFen, BRISOLT_STOCKFISH);
    for (const char* refused : {"", "   ", "..."}) {
        practice.window->cntrlChess_Moved(refused);
        EXPECT_EQ(practice.result(), "White to move") << refused;
        EXPECT_FALSE(practice.window->timerPoll->isActive()) << refused;
    }
    practice.traineeMoves("e4");
    EXPECT_EQ(practice.result(), "Wait for Stockfish 15.1 to move");
    EXPECT_EQ(practice.window->cursor().shape(), Qt::WaitCursor);
    const std::string afterTrainee = practice.fen();
    ASSERT_TRUE(practice.awaitAnswer());
    EXPECT_NE(practice.fen(), afterTrainee);
    EXPECT_EQ(practice.result(), "White to move");
    EXPECT_EQ(practice.board().GameStatus(), "White to move");
    // The engine's move is shown by the tint of its squares, not by a line through the piece.
    EXPECT_FALSE(practice.board().isMoveLineVisible());
    const auto [from, to] = practice.board().LastMove();
    ASSERT_GE(from, 0);
    EXPECT_EQ(practice.board().intPictureSlot(from), -1);
    EXPECT_GE(practice.board().intPictureSlot(to), 6); // a black piece stands where it went
    EXPECT_NE(practice.window->cursor().shape(), Qt::WaitCursor);
    EXPECT_GT(practice.window->lngLastAnswerMs(), 0);
    // The engine's move went into the practice game: the tree holds start, e4 and the answer.
    EXPECT_EQ(practice.board().objGameTree()->Count(), 3);

    // A second move is answered too, from the game so far.
    const std::string before = practice.fen();
    practice.traineeMoves("Nf3");
    ASSERT_TRUE(practice.awaitAnswer());
    EXPECT_EQ(practice.board().objGameTree()->Count(), 5);
    EXPECT_TRUE(practice.errors.empty());
}

TEST(frmCraftyTest, TheBoardTakesNoMoveWhileTheEngineThinks) {
    Practice practice(startFen, fake("hang.sh"), "Fake");
    practice.traineeMoves("e4");
    const std::string afterTrainee = practice.fen();
    // Black's e7-e5 dragged by the trainee (display indices 12 and 28, White at the bottom).
    practice.board().MakeMove(12, 28, 0);
    EXPECT_EQ(practice.fen(), afterTrainee);
    EXPECT_EQ(practice.result(), "Wait for Fake to move");
    for (QPushButton* button : practice.board().cmdNavigation)
        EXPECT_FALSE(button->isEnabled());
    // Stopping the game opens the board for examination.
    practice.window->lblExamine->click();
    for (QPushButton* button : practice.board().cmdNavigation)
        EXPECT_TRUE(button->isEnabled());
    EXPECT_EQ(practice.result(), "Examine mode");
}

TEST(frmCraftyTest, StopExamineAndReplayFromAnEarlierPoint) {
    Practice practice(startFen, BRISOLT_STOCKFISH);
    practice.traineeMoves("d4");
    ASSERT_TRUE(practice.awaitAnswer());
    const std::string afterFirstAnswer = practice.fen();
    practice.traineeMoves("c4");
    ASSERT_TRUE(practice.awaitAnswer());

    practice.window->lblExamine->click();
    EXPECT_EQ(practice.board().boardMode(), BoardMode::View);
    EXPECT_EQ(practice.result(), "Examine mode");
    EXPECT_FALSE(practice.window->lblExamine->isEnabled());
    // Back two half-moves: the position after the engine's first answer.
    practice.board().cmdNavigation_Click(2);
    practice.board().cmdNavigation_Click(2);
    EXPECT_EQ(practice.fen(), afterFirstAnswer);

    practice.window->lblReplay2->click();
    EXPECT_TRUE(practice.window->lblExamine->isEnabled());
    EXPECT_EQ(practice.board().boardMode(), BoardMode::FreePlay);
    EXPECT_EQ(practice.fen(), afterFirstAnswer);
    EXPECT_EQ(practice.board().objGameTree()->Count(), 1);
    EXPECT_EQ(practice.result(), "White to move");
    // The restarted engine plays on from there.
    practice.traineeMoves("Nf3");
    const std::string afterTrainee = practice.fen();
    ASSERT_TRUE(practice.awaitAnswer());
    EXPECT_EQ(practice.result(), "White to move");

    practice.window->lblReplay->click();
    EXPECT_EQ(practice.fen(), startFen);
    EXPECT_EQ(practice.board().boardMode(), BoardMode::FreePlay);
    EXPECT_TRUE(practice.errors.empty());
}

TEST(frmCraftyTest, ClosingWhileTheEngineThinksEndsItAndRemovesItsFolder) {
    for (const QString& engine : {QString(BRISOLT_STOCKFISH), fake("hang.sh")}) {
        Practice practice(startFen, engine);
        const QString folder =
            QString::fromStdString(practice.window->bridge()->strWorkingFolder());
        ASSERT_TRUE(QFileInfo(folder).isDir());
        practice.traineeMoves("e4");
        const std::string afterTrainee = practice.fen();
        practice.window->lblClose->click();
        EXPECT_FALSE(practice.window->isVisible());
        EXPECT_EQ(practice.window->bridge(), nullptr);
        EXPECT_FALSE(QFileInfo::exists(folder)) << folder.toStdString();
        // Whatever the engine would have said is gone: the board stays as it was.
        waitUntil([] { return false; }, 300);
        EXPECT_EQ(practice.fen(), afterTrainee);
        EXPECT_TRUE(practice.errors.empty());
    }
}

struct FaultCase {
    const char* name;
    QString engine;
    bool moveFirst; // the fault shows only after a move
    QString expected;
    EngineProtocol protocol = EngineProtocol::Uci;
};

// The bridge's own tests go through every fault; here the window shows one of each kind.
TEST(frmCraftyTest, EngineFaultsAreShownAndTheWindowStaysUsable) {
    const std::vector<FaultCase> cases = {
        {"missing engine", "/nonexistent/stockfish", false, "The engine could not be started: "},
        {"crash", fake("crash.sh"), true, "The engine stopped: it crashed"},
        {"hang", fake("hang.sh"), true, "The engine did not answer within 3 seconds"},
        // A console engine gets the same time: its search time plus the grace.
        {"silent console engine", fake("../../verify/fakes/silent.sh"), true,
         "The engine did not answer within 3 seconds", EngineProtocol::Console},
    };
    for (const FaultCase& c : cases) {
        Practice practice(startFen, c.engine, "Fake", c.protocol);
        practice.window->bridge()->setAnswerGrace(300);
        if (c.moveFirst) {
            EXPECT_EQ(practice.result(), "White to move") << c.name;
            practice.traineeMoves("e4");
            EXPECT_EQ(practice.result(), "Wait for Fake to move") << c.name;
        }
        ASSERT_TRUE(waitUntil([&] { return practice.result().startsWith(c.expected); }))
            << c.name << ": " << practice.result().toStdString();
        EXPECT_NE(practice.window->cursor().shape(), Qt::WaitCursor) << c.name;
        EXPECT_FALSE(practice.window->timerPoll->isActive()) << c.name;
        // Stop, replay and close still work.
        practice.window->lblExamine->click();
        EXPECT_EQ(practice.board().boardMode(), BoardMode::View) << c.name;
        practice.window->lblReplay->click();
        EXPECT_EQ(practice.board().boardMode(), BoardMode::FreePlay) << c.name;
        EXPECT_EQ(practice.fen(), startFen) << c.name;
        practice.window->lblClose->click();
        EXPECT_FALSE(practice.window->isVisible()) << c.name;
        EXPECT_TRUE(practice.errors.empty()) << c.name;
    }
}

} // namespace
