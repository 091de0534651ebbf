#include "engine/frmCrafty.h"

#include "EngineTestSupport.h"
#include "board/cntrlChessGui.h"
#include "game/CGameNode.h"
#include "game/CGameTree.h"
#include "game/CPosition.h"
#include "game/Fen.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

const char* const startFen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -";

// Runs the event loop until the condition holds or the time is up.
bool waitUntil(const std::function<bool()>& condition, int timeoutMs = 20000) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeoutMs) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

// A main window's board holding a game from the FEN.
std::unique_ptr<cntrlChessGui> mainBoardAt(const std::string& fen, bool whiteOnTop = false) {
    auto board = std::make_unique<cntrlChessGui>();
    board->Mode(0);
    board->ApplyPosition(objReadFen(fen));
    board->isWhiteOnTop(whiteOnTop);
    return board;
}

// A practice window against the engine, recording the errors its handlers report.
struct Practice {
    std::unique_ptr<cntrlChessGui> mainBoard;
    std::vector<QString> errors;
    std::unique_ptr<frmCrafty> window;

    Practice(const std::string& fen, const QString& enginePath,
             const QString& name = "Stockfish 15.1", bool whiteOnTop = false)
        : mainBoard(mainBoardAt(fen, whiteOnTop)) {
        window = std::make_unique<frmCrafty>(
            mainBoard.get(), PracticeEngine{enginePath, EngineProtocol::Uci, name}, nullptr,
            [this](QWidget*, const QString& message) { errors.push_back(message); });
        window->show();
    }

    cntrlChessGui& board() const { return *window->cntrlChess; }
    QString result() const { return window->lblResult->text(); }
    std::string fen() const { return board().objPosition()->strGetFEN(); }

    // The trainee drags a move on the practice board.
    void traineeMoves(const QString& move) const { board().MovePgn(move, true, true); }

    // Waits until the hourglass goes: the engine has answered, the game ended or it failed.
    bool awaitAnswer() const {
        return waitUntil([&] { return window->cursor().shape() != Qt::WaitCursor; });
    }
};

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
    EXPECT_EQ(window.cntrlChess->Mode(), 0);
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
}

TEST(frmCraftyTest, TheEngineAnswersOnThePracticeBoard) {
    Practice practice(startFen, BRISOLT_STOCKFISH);
    practice.traineeMoves("e4");
    EXPECT_EQ(practice.result(), "Wait for Stockfish 15.1 to move");
    EXPECT_EQ(practice.window->cursor().shape(), Qt::WaitCursor);
    const std::string afterTrainee = practice.fen();
    ASSERT_TRUE(practice.awaitAnswer());
    EXPECT_NE(practice.fen(), afterTrainee);
    EXPECT_EQ(practice.result(), "White to move");
    EXPECT_EQ(practice.board().GameStatus(), "White to move");
    EXPECT_TRUE(practice.board().isMoveLineVisible());
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

struct EndCase {
    const char* name;
    std::string fen;
    QString trainee;
    QString result; // "" means: the board's own status text after the engine's mating move
};

TEST(frmCraftyTest, TheEndOfTheGamePutsTheBoardIntoViewMode) {
    const std::vector<EndCase> cases = {
        {"engine mates in one", "4r1k1/5ppp/8/8/8/8/6PP/1N5K w - -", "Na3", ""},
        {"trainee mates", "6k1/5ppp/8/8/8/8/5PPP/R5K1 w - -", "Ra8", "1-0 {White mates}"},
        {"trainee stalemates", "k7/8/1K6/8/8/8/7Q/8 w - -", "Qc7", "1/2-1/2 {stalemate}"},
    };
    for (const EndCase& c : cases) {
        Practice practice(c.fen, BRISOLT_STOCKFISH);
        practice.traineeMoves(c.trainee);
        ASSERT_TRUE(practice.awaitAnswer()) << c.name;
        EXPECT_EQ(practice.board().Mode(), 2) << c.name;
        if (c.result.isEmpty()) {
            ASSERT_TRUE(waitUntil([&] { return practice.board().isMoveLineVisible(); })) << c.name;
            EXPECT_EQ(practice.result(), practice.board().GameStatus()) << c.name;
            EXPECT_NE(practice.board().GameStatus(), "White to move") << c.name;
        } else {
            EXPECT_EQ(practice.result(), c.result) << c.name;
        }
        EXPECT_NE(practice.window->cursor().shape(), Qt::WaitCursor) << c.name;
        // In view mode the trainee's drags no longer reach the engine.
        practice.window->cntrlChess_Moved("Kh2");
        EXPECT_FALSE(practice.window->timerPoll->isActive()) << c.name;
    }
}

TEST(frmCraftyTest, RefusedMovesSendNothing) {
    Practice practice(startFen, BRISOLT_STOCKFISH);
    for (const char* refused : {"", "   ", "..."}) {
        practice.window->cntrlChess_Moved(refused);
        EXPECT_EQ(practice.result(), "White to move") << refused;
        EXPECT_FALSE(practice.window->timerPoll->isActive()) << refused;
    }
}

TEST(frmCraftyTest, TheBoardTakesNoMoveWhileTheEngineThinks) {
    Practice practice(startFen, fakeEngine("hang.sh"), "Fake");
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
    EXPECT_EQ(practice.board().Mode(), 2);
    EXPECT_EQ(practice.result(), "Examine mode");
    EXPECT_FALSE(practice.window->lblExamine->isEnabled());
    // Back two half-moves: the position after the engine's first answer.
    practice.board().cmdNavigation_Click(2);
    practice.board().cmdNavigation_Click(2);
    EXPECT_EQ(practice.fen(), afterFirstAnswer);

    practice.window->lblReplay2->click();
    EXPECT_TRUE(practice.window->lblExamine->isEnabled());
    EXPECT_EQ(practice.board().Mode(), 0);
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
    EXPECT_EQ(practice.board().Mode(), 0);
    EXPECT_TRUE(practice.errors.empty());
}

TEST(frmCraftyTest, ClosingWhileTheEngineThinksEndsItAndRemovesItsFolder) {
    for (const QString& engine : {QString(BRISOLT_STOCKFISH), fakeEngine("hang.sh")}) {
        Practice practice(startFen, engine);
        const QString folder = practice.window->bridge()->strWorkingFolder();
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
};

TEST(frmCraftyTest, EngineFaultsAreShownAndTheWindowStaysUsable) {
    const std::vector<FaultCase> cases = {
        {"missing engine", "/nonexistent/stockfish", false, "The engine could not be started: "},
        {"not an engine", fakeEngine("not-an-engine.sh"), false,
         "The engine could not be started: "},
        {"crash", fakeEngine("crash.sh"), true, "The engine stopped: it crashed"},
        {"hang", fakeEngine("hang.sh"), true, "The engine did not answer within 3 seconds"},
        {"garbage", fakeEngine("garbage.sh"), true, "The engine sent a move that cannot be read"},
        {"illegal move", fakeEngine("illegal.sh"), true, "The engine played an illegal move: a2a5"},
    };
    for (const FaultCase& c : cases) {
        Practice practice(startFen, c.engine, "Fake");
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
        EXPECT_EQ(practice.board().Mode(), 2) << c.name;
        practice.window->lblReplay->click();
        EXPECT_EQ(practice.board().Mode(), 0) << c.name;
        EXPECT_EQ(practice.fen(), startFen) << c.name;
        practice.window->lblClose->click();
        EXPECT_FALSE(practice.window->isVisible()) << c.name;
        EXPECT_TRUE(practice.errors.empty()) << c.name;
    }
}

} // namespace
