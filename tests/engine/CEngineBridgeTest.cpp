// The console-protocol bridge over a UCI engine (the real Stockfish, fake engines that fail) and
// over a console engine.
#include "EngineTestSupport.h"
#include "game/CPosition.h"
#include "game/Fen.h"
#include "tests/model/Checks.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

const std::string startFen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -";

TEST(CEngineBridgeTest, AFailedStartSaysWhyAndLeavesNothingRunning) {
    const std::string folder = std::filesystem::temp_directory_path().string();
    const struct {
        const char* name;
        std::string path;
        EngineProtocol protocol;
        std::string expected; // part of the error after the common prefix
    } cases[] = {
        {"no program chosen", "", EngineProtocol::Uci, "no engine program is chosen"},
        {"a blank program path", " \t", EngineProtocol::Uci, "no engine program is chosen"},
        {"missing program", "/nonexistent/engine", EngineProtocol::Uci,
         "/nonexistent/engine: No such file"},
        {"a folder", folder, EngineProtocol::Console, folder + ": Permission denied"},
        {"program that ends at once", "/bin/true", EngineProtocol::Uci,
         "ended before answering \"uci\" (it ended with exit code 0)"},
        {"ends at once, protocol unknown", "/bin/false", EngineProtocol::Unknown,
         "ended before answering \"uci\" (it ended with exit code 1)"},
        {"not a UCI engine", fakeEngine("not-an-engine.sh"), EngineProtocol::Uci,
         "did not answer \"uci\" with \"uciok\" within 1 seconds; it is not a UCI engine."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CEngineBridge bridge(c.path, c.protocol);
        // Only the program that keeps running waits the whole handshake.
        const bool keepsRunning = c.expected.find("within") != std::string::npos;
        bridge.setHandshakeTimeout(keepsRunning ? 700 : 10000);
        EXPECT_EQ(bridge.initialize_chess_engine(0), 0);
        EXPECT_EQ(bridge.strError().rfind("The engine could not be started: ", 0), 0u);
        EXPECT_TRUE(Contains(bridge.strError(), c.expected));
        EXPECT_FALSE(bridge.isRunning());
        EXPECT_EQ(bridge.send_message("e4"), 0);
        EXPECT_EQ(bridge.get_message(), "");
    }
}

TEST(CEngineBridgeTest, EngineFaultsDuringAGameAreReported) {
    const struct {
        const char* script;
        EngineProtocol protocol;
        std::string expected;
    } cases[] = {
        {"crash.sh", EngineProtocol::Uci,
         "The engine stopped: it crashed: segmentation fault ahead."},
        {"hang.sh", EngineProtocol::Uci,
         "The engine did not answer within 2 seconds and was stopped."},
        {"garbage.sh", EngineProtocol::Uci, "The engine sent a move that cannot be read: \"\"."},
        {"illegal.sh", EngineProtocol::Uci, "The engine played an illegal move: a2a5."},
        // Endless info lines neither hold the reader nor pass for an answer.
        {"../../soak/fakes/flood.sh", EngineProtocol::Uci,
         "The engine did not answer within 2 seconds and was stopped."},
        // A console engine that never answers the move is given up after the same time.
        {"../../verify/fakes/silent.sh", EngineProtocol::Console,
         "The engine did not answer within 2 seconds and was stopped."},
        {"../../verify/fakes/dies-on-go.sh", EngineProtocol::Console,
         "The engine stopped: it ended with exit code 3."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script);
        CEngineBridge bridge(fakeEngine(c.script), c.protocol);
        bridge.setAnswerGrace(300);
        ASSERT_EQ(bridge.initialize_chess_engine(0), 1);
        setUpGame(bridge, startFen);
        bridge.SendEngineCommand("st 1");
        bridge.SendEngineCommand(c.protocol == EngineProtocol::Uci ? "e4" : "go");
        const std::string output = collectOutput(bridge, [](const std::string&) { return false; });
        EXPECT_EQ(bridge.strError(), c.expected);
        EXPECT_EQ(strParseEngineOutput(output, "Black"), "");
        EXPECT_EQ(bridge.get_message(), "");
        EXPECT_FALSE(bridge.isRunning());
    }
}

TEST(CEngineBridgeTest, ConsoleProtocolPassesWholeLinesInBatches) {
    std::string folder;
    {
        CEngineBridge bridge(fakeEngine("console-engine.sh"), EngineProtocol::Console);
        ASSERT_EQ(bridge.initialize_chess_engine(0), 1);
        setUpGame(bridge, startFen);
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

        // The engine works in a private folder of its own.
        bridge.SendEngineCommand("pwd");
        std::string pwd =
            collectOutput(bridge, [](const std::string& text) { return !text.empty(); });
        std::erase(pwd, ENGINE_SEPARATOR);
        folder = bridge.strWorkingFolder();
        ASSERT_FALSE(folder.empty());
        EXPECT_EQ(std::filesystem::canonical(pwd), std::filesystem::canonical(folder));
        EXPECT_EQ(bridge.strError(), "");
    }
    EXPECT_FALSE(std::filesystem::exists(folder)) << folder;

    // a program that never stops writing: each reading still ends, with whole lines
    CEngineBridge flood("/usr/bin/yes", EngineProtocol::Console);
    ASSERT_EQ(flood.initialize_chess_engine(0), 1);
    for (int reading = 0; reading < 3; ++reading) {
        flood.waitForOutput(20);
        const std::string output = strReadEngineOutput([&] { return flood.get_message(); });
        ASSERT_FALSE(output.empty());
        EXPECT_EQ(output.find_first_not_of(std::string("y") + ENGINE_SEPARATOR), std::string::npos);
    }
}

// One start both finds out the protocol and plays: no second process for the detection. The
// engine's moves come back in console form for either side.
TEST(CEngineBridgeTest, AnEngineOfUnknownProtocolIsFoundOutByItsOneStartAndAnswers) {
    const struct {
        std::string path;
        EngineProtocol found;
        std::string name;
        std::string fen, trainee, side;
        std::string move; // the engine's answer ("": any legal move)
    } cases[] = {
        {BRISOLT_STOCKFISH, EngineProtocol::Uci, "Stockfish 15.1", startFen, "e4", "Black", ""},
        {BRISOLT_STOCKFISH, EngineProtocol::Uci, "Stockfish 15.1", "8/5k2/8/8/8/8/1P6/4K3 b - -",
         "Kg6", "White", ""},
        {fakeEngine("console-engine.sh"), EngineProtocol::Console, "", startFen, "e4", "Black",
         "e5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path + " " + c.fen);
        CEngineBridge bridge(c.path, EngineProtocol::Unknown);
        // A console engine never sends "uciok": it is waited for as briefly as the test can.
        bridge.setHandshakeTimeout(c.found == EngineProtocol::Uci ? 10000 : 700);
        ASSERT_EQ(bridge.initialize_chess_engine(0), 1) << bridge.strError();
        EXPECT_EQ(bridge.protocol(), c.found);
        EXPECT_EQ(bridge.strEngineName(), c.name);
        setUpGame(bridge, c.fen);
        bridge.SendEngineCommand(c.trainee);
        std::string output;
        const std::string move = awaitMove(bridge, c.side, &output);
        ASSERT_NE(move, "") << output << " | " << bridge.strError();
        if (c.move.empty()) {
            const auto after = objReadFen(c.fen)->objProcessMove(c.trainee);
            ASSERT_NE(after, nullptr);
            EXPECT_NE(after->objProcessMove(move), nullptr) << move;
        } else {
            EXPECT_EQ(move, c.move);
        }
        // A UCI engine reports its thinking time; a console engine does not.
        EXPECT_EQ(bridge.intEngineReportedMs() >= 0, c.found == EngineProtocol::Uci);
    }
}

TEST(CEngineBridgeTest, RestartingAndStoppingWhileTheEngineThinks) {
    std::string folder;
    {
        CEngineBridge bridge(BRISOLT_STOCKFISH, EngineProtocol::Uci);
        ASSERT_EQ(bridge.initialize_chess_engine(0), 1);
        folder = bridge.strWorkingFolder();
        setUpGame(bridge, startFen);
        bridge.SendEngineCommand("sd 0");
        bridge.SendEngineCommand("st 30");
        bridge.SendEngineCommand("d4");
        // A new game while the engine is deep in thought: the old answer never shows up.
        ASSERT_EQ(bridge.initialize_chess_engine(0), 1);
        EXPECT_EQ(bridge.strWorkingFolder(), folder);
        setUpGame(bridge, startFen);
        bridge.SendEngineCommand("e4");
        std::string output;
        EXPECT_NE(awaitMove(bridge, "Black", &output), "");
        EXPECT_FALSE(Contains(output, "d4")) << output;
        bridge.SendEngineCommand("st 30");
        bridge.SendEngineCommand("sd 0");
        bridge.SendEngineCommand("d4");
        bridge.SendEngineCommand("end");
        EXPECT_EQ(collectOutput(
                      bridge, [](const std::string&) { return false; }, 300),
                  "");
        EXPECT_EQ(bridge.strError(), "");
        EXPECT_FALSE(bridge.isRunning());
    }
    EXPECT_FALSE(std::filesystem::exists(folder));
}

} // namespace
