// The practice window on real widgets offscreen against the real Stockfish and fake engines, and
// the engine chosen in the settings store.
#include "practice/frmCrafty.h"

#include "board/cntrlChessGui.h"
#include "engine/CEngineBridge.h"
#include "game/CPosition.h"
#include "game/Fen.h"
#include "model/CDiagram.h"
#include "practice/EngineChooser.h"
#include "settings/CEngineSettings.h"
#include "tests/game/GameTreeTestSupport.h"
#include "tests/workbook/TempFolder.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <qtestsupport_core.h>
#include <qtestsupport_widgets.h>
#include <string>
#include <vector>

namespace {

const char* const startFen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -";

// A fake engine of tests/engine/fakes (or a path relative to it).
QString fake(const char* name) {
    return QString(BRISOLT_FAKE_ENGINES) + "/" + name;
}

// A practice window against the engine, recording the errors its handlers report; none may come.
struct Practice {
    std::unique_ptr<cntrlChessGui> mainBoard;
    std::vector<QString> errors;
    std::unique_ptr<frmCrafty> window;

    // prepare: what the main board is given and does before the window opens.
    Practice(const std::string& fen, const QString& enginePath,
             const QString& name = "Stockfish 15.1", EngineProtocol protocol = EngineProtocol::Uci,
             const std::function<void(cntrlChessGui&)>& prepare = {})
        : mainBoard(std::make_unique<cntrlChessGui>()) {
        mainBoard->Mode(BoardMode::FreePlay);
        mainBoard->ApplyPosition(objReadFen(fen));
        if (prepare) prepare(*mainBoard);
        window = std::make_unique<frmCrafty>(
            mainBoard.get(), PracticeEngine{enginePath, protocol, name}, nullptr,
            [this](QWidget*, const QString& message) { errors.push_back(message); });
        window->show();
    }
    ~Practice() { EXPECT_TRUE(errors.empty()); }

    cntrlChessGui& board() const { return *window->cntrlChess; }
    QString result() const { return window->lblResult->text(); }
    std::string fen() const { return board().objPosition()->strGetFEN(); }

    // The trainee drags a move on the practice board.
    void traineeMoves(const QString& move) const { board().MovePgn(move, true, true); }

    // Waits until the hourglass goes: the engine has answered, the game ended or it failed.
    bool awaitAnswer() const {
        return QTest::qWaitFor([&] { return window->cursor().shape() != Qt::WaitCursor; }, 20000);
    }
};

TEST(frmCraftyTest, StartsLikeTheMainBoardAnswersStopsExaminesReplaysAndClosesWhileThinking) {
    // Practice starts from the test position, not where training moved the main board, and wears
    // the main board's look.
    Practice practice(startFen, BRISOLT_STOCKFISH, "Stockfish 15.1", EngineProtocol::Uci,
                      [](cntrlChessGui& main) {
                          main.isWhiteOnTop(true);
                          main.SquareColorDark(0x00336699);
                          main.SquareColorLight(0x00EEEEEE);
                          main.MovePgn("e4", true, false);
                      });
    EXPECT_EQ(practice.window->windowTitle(), "Practice with Stockfish 15.1");
    EXPECT_EQ(practice.fen(), startFen);
    EXPECT_TRUE(practice.board().isWhiteOnTop());
    EXPECT_EQ(practice.board().SquareColorDark(), 0x00336699u);
    EXPECT_EQ(practice.board().SquareColorLight(), 0x00EEEEEEu);
    EXPECT_EQ(practice.board().boardMode(), BoardMode::FreePlay);
    EXPECT_TRUE(std::ranges::none_of(practice.board().cmdNavigation, &QWidget::isEnabled));
    // Opened, the window has the keyboard in its move box: the first move can be typed at once.
    ASSERT_TRUE(QTest::qWaitForWindowActive(practice.window.get()));
    EXPECT_EQ(QApplication::focusWidget(), practice.board().txtMove);
    // Practice games are played at their last move: the board's Delete has nothing to delete.
    EXPECT_FALSE(practice.board().cmdDelete->isVisible());
    for (const char* refused : {"", "   ", "..."}) {
        practice.window->cntrlChess_Moved(refused);
        EXPECT_EQ(practice.result(), "White to move") << refused;
        EXPECT_FALSE(practice.window->timerPoll->isActive()) << refused;
    }
    practice.traineeMoves("d4");
    ASSERT_TRUE(practice.awaitAnswer());
    // The engine's move is shown by the tint of its squares, not by a line through the piece.
    EXPECT_FALSE(practice.board().isMoveLineVisible());
    const auto [from, to] = practice.board().LastMove();
    ASSERT_GE(from, 0);
    EXPECT_EQ(practice.board().intPictureSlot(from), -1);
    EXPECT_GE(practice.board().intPictureSlot(to), 6); // a black piece stands where it went
    EXPECT_GT(practice.window->lngLastAnswerMs(), 0);
    // The engine's move went into the practice game: the tree holds start, d4 and the answer.
    EXPECT_EQ(practice.board().objGameTree()->Count(), 3);
    const std::string afterFirstAnswer = practice.fen();
    // A move typed in the move box: its Enter does not also press Stop Game, and the box has the
    // keyboard again for the next move once the engine has answered.
    QLineEdit* box = practice.board().txtMove;
    box->setFocus();
    box->setText("c4");
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(box, &enter);
    ASSERT_TRUE(practice.awaitAnswer());
    EXPECT_EQ(practice.board().objGameTree()->Count(), 5);
    EXPECT_EQ(QApplication::focusWidget(), box);

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
    EXPECT_EQ(practice.fen(), afterFirstAnswer);
    EXPECT_EQ(practice.board().objGameTree()->Count(), 1);
    // The restarted engine plays on from there.
    practice.traineeMoves("Nf3");
    ASSERT_TRUE(practice.awaitAnswer());
    EXPECT_EQ(practice.result(), "White to move");

    practice.window->lblReplay->click();

    // Closing while the engine thinks ends it (the bridge goes, and its folder with it: see the
    // bridge's tests); its answer never comes.
    practice.traineeMoves("e4");
    const std::string afterE4 = practice.fen();
    practice.window->lblClose->click();
    EXPECT_EQ(practice.window->bridge(), nullptr);
    QTest::qWait(300);
    EXPECT_EQ(practice.fen(), afterE4);
}

// The bridge's own tests go through every fault; here the window shows a fault at the start and
// one after a move. While the engine thinks the board takes no move; afterwards the window stays
// usable.
TEST(frmCraftyTest, EngineFaultsAreShownAndTheWindowStaysUsable) {
    // name, engine, the trainee's move before the fault shows ("" for none), result, test
    // position, protocol
    const std::tuple<const char*, QString, QString, QString, std::string, EngineProtocol> cases[] =
        {
            {"missing engine", "/nonexistent/stockfish", "",
             "The engine could not be started: ", startFen, EngineProtocol::Uci},
            // Black's e-pawn already stands on e5: the console engine's answer e5 is no move.
            {"console engine plays an illegal move", fake("console-engine.sh"), "e4",
             "The engine played an illegal move: e5.",
             "rnbqkbnr/pppp1ppp/8/4p3/8/8/PPPPPPPP/RNBQKBNR w KQkq -", EngineProtocol::Console},
            {"console engine refuses the trainee's move", fake("console-engine.sh"), "d4",
             "The engine refused the move: Illegal move: d4.", startFen, EngineProtocol::Console},
            // Its echo of the trainee's move is no answer: the time limit still runs.
            {"a program that echoes every line", "/bin/cat", "e4",
             "The engine did not answer within 3 seconds", startFen, EngineProtocol::Console},
        };
    for (const auto& [name, engine, trainee, expected, fen, protocol] : cases) {
        SCOPED_TRACE(name);
        Practice practice(fen, engine, "Fake", protocol);
        practice.window->bridge()->setAnswerGrace(300);
        if (!trainee.isEmpty()) {
            practice.traineeMoves(trainee);
            EXPECT_EQ(practice.result(), "Wait for Fake to move");
            // Black's e7-e5 dragged by the trainee (display indices 12 and 28).
            const std::string afterTrainee = practice.fen();
            practice.board().MakeMove(12, 28, 0);
            EXPECT_EQ(practice.fen(), afterTrainee);
            EXPECT_FALSE(std::ranges::all_of(practice.board().cmdNavigation, &QWidget::isEnabled));
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { return practice.result().startsWith(expected); }, 20000))
            << practice.result().toStdString();
        EXPECT_NE(practice.window->cursor().shape(), Qt::WaitCursor);
        EXPECT_FALSE(practice.window->timerPoll->isActive());
        // Stop opens the board for examination; replay and close still work.
        practice.window->lblExamine->click();
        EXPECT_TRUE(std::ranges::all_of(practice.board().cmdNavigation, &QWidget::isEnabled));
        practice.window->lblReplay->click();
        EXPECT_EQ(practice.board().boardMode(), BoardMode::FreePlay);
        EXPECT_EQ(practice.fen(), fen);
        practice.window->lblClose->click();
        EXPECT_FALSE(practice.window->isVisible());
    }
}

TEST(frmCraftyTest, TheEndOfTheGamePutsTheBoardIntoViewMode) {
    const struct {
        const char* name;
        std::string fen;
        QString trainee;
        QString result;
        QString engine = BRISOLT_STOCKFISH;
        EngineProtocol protocol = EngineProtocol::Uci;
    } cases[] = {
        // the board's own status text after the engine's mating move
        {"engine mates in one", "4r1k1/5ppp/8/8/8/8/6PP/1N5K w - -", "Na3", "0-1 (Checkmate)"},
        {"trainee mates", "6k1/5ppp/8/8/8/8/5PPP/R5K1 w - -", "Ra8", "1-0 {White mates}"},
        // The mating move and the result line come in two writes: both are read.
        {"console engine mates, its result apart",
         "rnbqkbnr/pppp1ppp/8/4p3/6P1/8/PPPPPP1P/RNBQKBNR w KQkq -", "f3", "0-1 {Black mates}",
         fake("console-mate.sh"), EngineProtocol::Console},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Practice practice(c.fen, c.engine, "Engine", c.protocol);
        practice.traineeMoves(c.trainee);
        ASSERT_TRUE(practice.awaitAnswer());
        ASSERT_TRUE(QTest::qWaitFor([&] { return practice.result() == c.result; }, 20000))
            << practice.result().toStdString();
        EXPECT_EQ(practice.board().boardMode(), BoardMode::View);
        // Once the result is read nothing more is expected: polling stops.
        EXPECT_TRUE(QTest::qWaitFor([&] { return !practice.window->timerPoll->isActive(); }, 2000));
        // In view mode the trainee's drags no longer reach the engine.
        practice.window->cntrlChess_Moved("Kh2");
        EXPECT_FALSE(practice.window->timerPoll->isActive());
    }
}

TEST(frmCraftyTest, APositionTheBoardRefusesIsShownWithTheReasonAndNotPlayed) {
    const std::string fen = "4k3/8/8/8/8/8/8/4R1K1 w - -";
    // The main board holds the stored game as it is, refused or not.
    cntrlChessGui mainBoard;
    mainBoard.objGameTree(Book({}, fen).tree);
    frmCrafty window(&mainBoard, {BRISOLT_STOCKFISH, EngineProtocol::Uci, "Stockfish"}, nullptr);
    window.show();
    EXPECT_EQ(window.lblResult->text(),
              "This position cannot be played: the side not to move is in check.");
    EXPECT_FALSE(window.bridge()->isRunning());
    EXPECT_EQ(window.cntrlChess->boardMode(), BoardMode::View);
    // The board shows the refused position, not the standard opening.
    EXPECT_EQ(window.cntrlChess->GetDiagramFromGui().toStdString(),
              objReadFen(fen)->objDiagram()->strToString());
    EXPECT_FALSE(window.lblExamine->isEnabled());
    EXPECT_FALSE(window.lblReplay2->isEnabled());
    // Nothing the trainee does starts a game from another position.
    window.cntrlChess_Moved("e4");
    window.lblReplay2->click();
    window.lblReplay->click();
    EXPECT_FALSE(window.bridge()->isRunning());
    EXPECT_FALSE(window.timerPoll->isActive());
    EXPECT_TRUE(window.lblResult->text().startsWith("This position cannot be played"));
}

// Each game starts the engine once; an engine of unknown protocol is found out by that start and
// remembered, so the next game does not ask again.
TEST(frmCraftyTest, OneEngineStartPerGameAndWhatItToldIsKept) {
    TempFolder folder;
    qputenv("BRISOLT_START_LOG", QByteArray::fromStdString(folder.file("starts")));
    const auto starts = [&] { return FileBytes(folder.file("starts")); };
    Practice practice("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq -", fake("counted.sh"),
                      "Counted", EngineProtocol::Unknown);
    EXPECT_EQ(starts(), "started\n");
    EXPECT_EQ(practice.window->windowTitle(), "Practice with Fake Counted");
    EXPECT_EQ(CEngineSettings::knownProtocol(fake("counted.sh")), EngineProtocol::Uci);
    practice.traineeMoves("e5");
    ASSERT_TRUE(practice.awaitAnswer());
    EXPECT_EQ(practice.result(), "Black to move");
    EXPECT_EQ(starts(), "started\n");
    practice.window->lblReplay->click();
    EXPECT_EQ(starts(), "started\nstarted\n");
    qunsetenv("BRISOLT_START_LOG");
}

// Empties the settings store of the test run (a temporary folder).
void clearSettings() {
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, "Brisolt", "Brisolt");
    store.clear();
    store.sync();
}

// Without settings Stockfish is the engine until its start names it; a stored engine names the
// captions (a menu caption doubles the name's ampersands); a refused choice keeps the engine.
TEST(CEngineSettingsTest, CaptionsNameTheStoredEngineWhatAStartFoundIsKeptAndRefusalsKeepIt) {
    clearSettings();
    EXPECT_TRUE(CEngineSettings::strEnginePath().endsWith("/stockfish"));
    EXPECT_EQ(CEngineSettings::protocol(), EngineProtocol::Unknown);
    EXPECT_EQ(CEngineSettings::strEngineName(), "Stockfish");
    // path, protocol, name, menu caption
    const std::tuple<QString, EngineProtocol, QString, QString> cases[] = {
        {CEngineSettings::strEnginePath(), EngineProtocol::Uci, "Stockfish 15.1", "Stockfish 15.1"},
        {"/opt/crafty/crafty", EngineProtocol::Console, "R&D Engine", "R&&D Engine"},
    };
    for (const auto& [path, protocol, name, menu] : cases) {
        if (protocol == EngineProtocol::Uci)
            CEngineSettings::Remember(path, protocol, name); // what a start tells
        else
            CEngineSettings::Save(path, protocol, name);
        EXPECT_EQ(CEngineSettings::strEnginePath(), path);
        EXPECT_EQ(CEngineSettings::protocol(), protocol);
        EXPECT_EQ(CEngineSettings::strPlayCaption(), "Play the game against " + name);
        EXPECT_EQ(CEngineSettings::strPlayMenuCaption(), "Play the game &against " + menu);
    }

    // What a start found is kept while the program stays the same.
    QTemporaryDir folder;
    const QString program = folder.filePath("engine.sh");
    ASSERT_TRUE(QFile::copy(fake("console-engine.sh"), program));
    EXPECT_EQ(CEngineSettings::knownProtocol(program), EngineProtocol::Unknown);
    CEngineSettings::Remember(program, EngineProtocol::Console, "");
    EXPECT_EQ(CEngineSettings::knownProtocol(program), EngineProtocol::Console);
    EXPECT_EQ(CEngineSettings::knownProtocol(fake("console-engine.sh")), EngineProtocol::Unknown);
    // Another program under the same name is looked at afresh.
    QFile file(program);
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write("# changed\n");
    file.close();
    EXPECT_EQ(CEngineSettings::knownProtocol(program), EngineProtocol::Unknown);

    // A program that is no engine is refused with the reason, and the engine chosen before stays.
    ASSERT_EQ(strApplyEngineChoice(fake("console-engine.sh")), "");
    EXPECT_EQ(CEngineSettings::strEngineName(), "Crafty");
    // path, reason
    const std::pair<QString, QString> refused[] = {
        {fake("not-an-engine.sh"), "it is not a chess engine"},
        {"/bin/true", "ended before answering \"uci\""},
        {"/nonexistent/engine", "is not a program that can be run"},
    };
    for (const auto& [path, reason] : refused) {
        EXPECT_TRUE(strApplyEngineChoice(path).contains(reason)) << path.toStdString();
        EXPECT_EQ(CEngineSettings::strEnginePath(), fake("console-engine.sh"));
        EXPECT_EQ(CEngineSettings::protocol(), EngineProtocol::Console);
    }
    // An engine that loads for seconds before its "uciok" is an engine all the same.
    ASSERT_EQ(strApplyEngineChoice(fake("slow-uci.sh")), "");
    EXPECT_EQ(CEngineSettings::protocol(), EngineProtocol::Uci);
    EXPECT_EQ(CEngineSettings::strEngineName(), "Fake Slow Start");
    clearSettings();
}

} // namespace
