#include "EngineTestSupport.h"
#include "game/CPosition.h"
#include "game/Fen.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

const std::vector<std::string> setupCommands = {"alarm off",
                                                "ansi off",
                                                "st 2",
                                                "sd 6",
                                                "display nogeneral",
                                                "display notime",
                                                "display nostats",
                                                "display noextstats",
                                                "display nochanges",
                                                "display nomoves",
                                                "display nomovenum",
                                                "log off"};

const std::string startFen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -";

void setUp(CEngineBridge& bridge, const std::string& fen) {
    for (const std::string& command : setupCommands)
        bridge.SendEngineCommand(command);
    bridge.SendEngineCommand("setboard " + fen);
}

struct StartFailure {
    const char* name;
    QString path;
    QString expected; // part of the error after the common prefix
};

TEST(CEngineBridgeTest, AFailedStartSaysWhyAndLeavesNothingRunning) {
    const std::vector<StartFailure> cases = {
        {"no program chosen", "", "no engine program is chosen"},
        {"missing program", "/nonexistent/engine", "/nonexistent/engine"},
        {"program that ends at once", "/bin/true", "ended before answering \"uci\""},
        {"not an engine", fakeEngine("not-an-engine.sh"), "did not answer \"uci\" with \"uciok\""},
        {"a folder", QDir::tempPath(), QDir::tempPath()},
    };
    for (const StartFailure& c : cases) {
        CEngineBridge bridge(c.path, EngineProtocol::Uci);
        bridge.setHandshakeTimeout(700);
        EXPECT_EQ(bridge.initialize_chess_engine(0), 0) << c.name;
        EXPECT_TRUE(bridge.strError().startsWith("The engine could not be started: "))
            << c.name << ": " << bridge.strError().toStdString();
        EXPECT_TRUE(bridge.strError().contains(c.expected))
            << c.name << ": " << bridge.strError().toStdString();
        EXPECT_FALSE(bridge.isRunning()) << c.name;
        EXPECT_EQ(bridge.send_message("e4"), 0) << c.name;
        EXPECT_EQ(bridge.get_message(), "") << c.name;
    }
}

struct FaultCase {
    const char* script;
    QString expected;
};

TEST(CEngineBridgeTest, EngineFaultsDuringAGameAreReported) {
    const std::vector<FaultCase> cases = {
        {"crash.sh", "The engine stopped: it crashed: segmentation fault ahead."},
        {"hang.sh", "The engine did not answer within 2 seconds and was stopped."},
        {"garbage.sh", "The engine sent a move that cannot be read: \"\"."},
        {"illegal.sh", "The engine played an illegal move: a2a5."},
    };
    for (const FaultCase& c : cases) {
        CEngineBridge bridge(fakeEngine(c.script), EngineProtocol::Uci);
        bridge.setAnswerGrace(300);
        ASSERT_EQ(bridge.initialize_chess_engine(0), 1) << c.script;
        EXPECT_TRUE(bridge.strEngineName().startsWith("Fake ")) << c.script;
        setUp(bridge, startFen);
        bridge.SendEngineCommand("st 1");
        bridge.SendEngineCommand("e4");
        const std::string output = collectOutput(bridge, [](const std::string&) { return false; });
        EXPECT_EQ(bridge.strError(), c.expected) << c.script;
        EXPECT_EQ(strParseEngineOutput(output, "Black"), "") << c.script;
        EXPECT_EQ(bridge.get_message(), "") << c.script;
    }
}

TEST(CEngineBridgeTest, ConsoleProtocolPassesLinesThroughWhole) {
    QString folder;
    {
        CEngineBridge bridge(fakeEngine("console-engine.sh"), EngineProtocol::Console);
        ASSERT_EQ(bridge.initialize_chess_engine(0), 1);
        setUp(bridge, startFen);
        bridge.SendEngineCommand("e4");
        // The engine writes "Black(1): " and "e5" apart; no reading may see the half line.
        std::vector<std::string> reads;
        collectOutput(bridge, [&](const std::string& text) {
            if (!text.empty()) reads.push_back(text);
            return text.find("e5") != std::string::npos;
        });
        ASSERT_FALSE(reads.empty());
        for (const std::string& read : reads)
            EXPECT_NE(strParseEngineOutput(read, "Black"), "") << read;
        EXPECT_EQ(strParseEngineOutput(reads.back(), "Black"), "e5");

        bridge.SendEngineCommand("Qh5");
        EXPECT_EQ(awaitMove(bridge, "Black"), "Nc6");

        bridge.SendEngineCommand("pwd");
        const std::string pwd =
            collectOutput(bridge, [](const std::string& text) { return !text.empty(); });
        folder = bridge.strWorkingFolder();
        ASSERT_FALSE(folder.isEmpty());
        EXPECT_EQ(QFileInfo(QString::fromStdString(pwd).remove(QChar(ENGINE_SEPARATOR)))
                      .canonicalFilePath(),
                  QFileInfo(folder).canonicalFilePath());
        EXPECT_TRUE(bridge.strError().isEmpty());
    }
    EXPECT_FALSE(QFileInfo::exists(folder)) << folder.toStdString();
}

// A position reached from the FEN by the trainee's move, then the engine's answer.
std::shared_ptr<CPosition> play(const std::string& fen, const std::string& trainee,
                                const std::string& engine) {
    auto position = objReadFen(fen);
    position = position->objProcessMove(position, trainee);
    if (!position) return nullptr;
    return position->objProcessMove(position, engine);
}

TEST(CEngineBridgeTest, StockfishAnswersWithALegalMoveInConsoleForm) {
    CEngineBridge bridge(BRISOLT_STOCKFISH, EngineProtocol::Uci);
    ASSERT_EQ(bridge.initialize_chess_engine(0), 1) << bridge.strError().toStdString();
    EXPECT_TRUE(bridge.strEngineName().startsWith("Stockfish"));
    struct Case {
        std::string fen, trainee, side;
    };
    const std::vector<Case> cases = {
        {startFen, "e4", "Black"},
        {"r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R b KQkq -", "Nf6", "White"},
        {"8/5k2/8/8/8/8/1P6/4K3 b - -", "Kg6", "White"},
    };
    for (const Case& c : cases) {
        setUp(bridge, c.fen);
        bridge.SendEngineCommand(c.trainee);
        std::string output;
        const std::string move = awaitMove(bridge, c.side, &output);
        ASSERT_NE(move, "") << c.fen << " | " << output << " | " << bridge.strError().toStdString();
        EXPECT_NE(play(c.fen, c.trainee, move), nullptr) << c.fen << ": " << move;
    }
}

TEST(CEngineBridgeTest, StockfishMatesAndTheResultLineFollows) {
    CEngineBridge bridge(BRISOLT_STOCKFISH, EngineProtocol::Uci);
    ASSERT_EQ(bridge.initialize_chess_engine(0), 1);
    setUp(bridge, "4r1k1/5ppp/8/8/8/8/6PP/1N5K w - - 0 30");
    bridge.SendEngineCommand("Na3");
    const std::string output = collectOutput(bridge, [](const std::string& text) {
        return parseEngineOutput(text, "Black").isGameOver;
    });
    const EngineOutputParse parse = parseEngineOutput(output, "Black");
    EXPECT_EQ(parse.strMove, "Re1#");
    EXPECT_EQ(parse.strResult, "0-1 {Black mates}");

    // The trainee's stalemating move ends the game without asking the engine.
    setUp(bridge, "k7/8/1K6/8/8/8/7Q/8 w - -");
    bridge.SendEngineCommand("Qc7");
    const std::string drawn = collectOutput(bridge, [](const std::string& text) {
        return parseEngineOutput(text, "Black").isGameOver;
    });
    EXPECT_EQ(parseEngineOutput(drawn, "Black").strResult, "1/2-1/2 {stalemate}");
    EXPECT_EQ(parseEngineOutput(drawn, "Black").strMove, "");
}

TEST(CEngineBridgeTest, RestartingAndStoppingWhileTheEngineThinks) {
    QString folder;
    {
        CEngineBridge bridge(BRISOLT_STOCKFISH, EngineProtocol::Uci);
        ASSERT_EQ(bridge.initialize_chess_engine(0), 1);
        folder = bridge.strWorkingFolder();
        setUp(bridge, startFen);
        bridge.SendEngineCommand("sd 0");
        bridge.SendEngineCommand("st 30");
        bridge.SendEngineCommand("d4");
        // A new game while the engine is deep in thought: the old answer never shows up.
        ASSERT_EQ(bridge.initialize_chess_engine(0), 1);
        EXPECT_EQ(bridge.strWorkingFolder(), folder);
        setUp(bridge, startFen);
        bridge.SendEngineCommand("e4");
        std::string output;
        EXPECT_NE(awaitMove(bridge, "Black", &output), "");
        EXPECT_EQ(output.find("d4"), std::string::npos) << output;
        bridge.SendEngineCommand("st 30");
        bridge.SendEngineCommand("sd 0");
        bridge.SendEngineCommand("d4");
        bridge.SendEngineCommand("end");
        EXPECT_EQ(collectOutput(
                      bridge, [](const std::string&) { return false; }, 300),
                  "");
        EXPECT_TRUE(bridge.strError().isEmpty()) << bridge.strError().toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(folder));
}

} // namespace
