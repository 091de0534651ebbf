// How practice games end, and positions that cannot be played: the practice window on real
// widgets offscreen against the real Stockfish and console-protocol fakes.
#include "PracticeTestSupport.h"
#include "engine/CEngineSettings.h"
#include "game/CGameTree.h"
#include "model/CDiagram.h"

#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

struct EndCase {
    const char* name;
    std::string fen;
    QString trainee;
    QString result; // "" means: the board's own status text after the engine's mating move
    QString engine = BRISOLT_STOCKFISH;
    EngineProtocol protocol = EngineProtocol::Uci;
};

TEST(frmCraftyEndTest, TheEndOfTheGamePutsTheBoardIntoViewMode) {
    const std::vector<EndCase> cases = {
        {"engine mates in one", "4r1k1/5ppp/8/8/8/8/6PP/1N5K w - -", "Na3", ""},
        {"trainee mates", "6k1/5ppp/8/8/8/8/5PPP/R5K1 w - -", "Ra8", "1-0 {White mates}"},
        {"trainee stalemates", "k7/8/1K6/8/8/8/7Q/8 w - -", "Qc7", "1/2-1/2 {stalemate}"},
        // The mating move and the result line come in two writes: both are read.
        {"console engine mates, its result apart",
         "rnbqkbnr/pppp1ppp/8/4p3/6P1/8/PPPPPP1P/RNBQKBNR w KQkq -", "f3", "0-1 {Black mates}",
         fake("console-mate.sh"), EngineProtocol::Console},
    };
    for (const EndCase& c : cases) {
        Practice practice(c.fen, c.engine, "Engine", c.protocol);
        practice.traineeMoves(c.trainee);
        ASSERT_TRUE(practice.awaitAnswer()) << c.name;
        if (c.result.isEmpty()) {
            ASSERT_TRUE(waitUntil([&] { return practice.board().boardMode() == BoardMode::View; }))
                << c.name;
            EXPECT_EQ(practice.result(), practice.board().GameStatus()) << c.name;
            EXPECT_NE(practice.board().GameStatus(), "White to move") << c.name;
        } else {
            ASSERT_TRUE(waitUntil([&] { return practice.result() == c.result; }))
                << c.name << ": " << practice.result().toStdString();
        }
        EXPECT_EQ(practice.board().boardMode(), BoardMode::View) << c.name;
        EXPECT_NE(practice.window->cursor().shape(), Qt::WaitCursor) << c.name;
        // Once the result is read nothing more is expected: polling stops.
        EXPECT_TRUE(waitUntil([&] { return !practice.window->timerPoll->isActive(); }, 2000))
            << c.name;
        // In view mode the trainee's drags no longer reach the engine.
        practice.window->cntrlChess_Moved("Kh2");
        EXPECT_FALSE(practice.window->timerPoll->isActive()) << c.name;
        EXPECT_TRUE(practice.errors.empty()) << c.name;
    }
}

struct UnplayableCase {
    const char* name;
    std::string fen;
    QString reason;
};

// A position the board refuses is shown with the reason; no other position is played instead.
TEST(frmCraftyEndTest, APositionTheBoardRefusesIsShownWithTheReasonAndNotPlayed) {
    const std::vector<UnplayableCase> cases = {
        {"side not to move in check", "4k3/8/8/8/8/8/8/4R1K1 w - -",
         "the side not to move is in check"},
        {"pawn on the last rank", "P3k3/8/8/8/8/8/8/4K3 w - -",
         "a pawn stands on the first or last rank"},
        {"two white kings", "4k3/8/8/8/8/8/8/K3K3 w - -", "too many white kings"},
        {"pawn on the first rank", "4k3/8/8/8/8/8/8/p3K3 b - -",
         "a pawn stands on the first or last rank"},
    };
    for (const UnplayableCase& c : cases) {
        // The main board holds the stored game as it is, refused or not.
        cntrlChessGui mainBoard;
        auto tree = std::make_shared<CGameTree>();
        GameNodeList next;
        tree->Add(objReadFen(c.fen), next);
        mainBoard.objGameTree(tree);
        frmCrafty window(&mainBoard, {BRISOLT_STOCKFISH, EngineProtocol::Uci, "Stockfish"},
                         nullptr);
        window.show();
        EXPECT_EQ(window.lblResult->text(), "This position cannot be played: " + c.reason + ".")
            << c.name;
        EXPECT_FALSE(window.bridge()->isRunning()) << c.name;
        EXPECT_EQ(window.cntrlChess->boardMode(), BoardMode::View) << c.name;
        // The board shows the refused position, not the standard opening.
        std::string shown = window.cntrlChess->GetDiagramFromGui().toStdString();
        EXPECT_EQ(shown, objReadFen(c.fen)->objDiagram()->strToString()) << c.name;
        EXPECT_FALSE(window.lblExamine->isEnabled()) << c.name;
        EXPECT_FALSE(window.lblReplay2->isEnabled()) << c.name;
        // Nothing the trainee does starts a game from another position.
        window.cntrlChess_Moved("e4");
        window.lblReplay2->click();
        window.lblReplay->click();
        EXPECT_FALSE(window.bridge()->isRunning()) << c.name;
        EXPECT_FALSE(window.timerPoll->isActive()) << c.name;
        EXPECT_TRUE(window.lblResult->text().startsWith("This position cannot be played"))
            << c.name;
    }
}

// Each game starts the engine once; an engine of unknown protocol is found out by that start and
// remembered, so the next game does not ask again.
TEST(frmCraftyEndTest, OneEngineStartPerGameAndWhatItToldIsKept) {
    QTemporaryDir folder;
    const QString log = folder.filePath("starts");
    qputenv("BRISOLT_START_LOG", log.toLocal8Bit());
    const auto starts = [&] {
        QFile file(log);
        return file.open(QIODevice::ReadOnly) ? file.readAll().count('\n') : 0;
    };
    Practice practice("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq -", fake("counted.sh"),
                      "Counted", EngineProtocol::Unknown);
    EXPECT_EQ(starts(), 1);
    EXPECT_EQ(practice.window->windowTitle(), "Practice with Fake Counted");
    EXPECT_EQ(CEngineSettings::knownProtocol(fake("counted.sh")), EngineProtocol::Uci);
    practice.traineeMoves("e5");
    ASSERT_TRUE(practice.awaitAnswer());
    EXPECT_EQ(practice.result(), "Black to move");
    EXPECT_EQ(starts(), 1);
    practice.window->lblReplay->click();
    EXPECT_EQ(starts(), 2);
    qunsetenv("BRISOLT_START_LOG");
}

} // namespace
