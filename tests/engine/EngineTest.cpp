// The engine link in plain C++, from the process transport to the console-protocol bridge, against
// the real Stockfish and fake engines; and the engine-move command through the real brisolt-cli.
// The texts these read and write, without a process, are tested in EngineTextTest.cpp.
#include "engine/CEngineBridge.h"
#include "engine/CEngineProcess.h"
#include "engine/CUciSession.h"
#include "engine/EngineOutput.h"
#include "engine/UciText.h"
#include "game/CPosition.h"
#include "game/Fen.h"
#include "tests/cli/WorkbookCli.h"
#include "tests/model/Checks.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

namespace {

const std::string start = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -";

// Where the fake engines of the tests live.
std::string fakeEngine(const std::string& name) {
    return std::string(BRISOLT_FAKE_ENGINES) + "/" + name;
}

// Sends the practice window's setup and the position.
void setUpGame(CEngineBridge& bridge, const std::string& fen) {
    for (const std::string& command : arrstrSetupCommands())
        bridge.SendEngineCommand(command);
    bridge.SendEngineCommand("setboard " + fen);
}

// Reads the bridge as the practice window does until done(collected output) holds, the bridge
// reports an error or the time runs out; returns everything collected.
std::string collectOutput(CEngineBridge& bridge,
                          const std::function<bool(const std::string&)>& done,
                          int timeoutMs = 20000) {
    std::string collected;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        bridge.waitForOutput(20);
        collected += strReadEngineOutput([&] { return bridge.get_message(); });
        if (done(collected) || !bridge.strError().empty()) break;
    }
    return collected;
}

// The engine's move for the side in the collected output, waiting for it.
std::string awaitMove(CEngineBridge& bridge, const std::string& side,
                      std::string* output = nullptr) {
    const std::string collected = collectOutput(
        bridge, [&](const std::string& text) { return !strParseEngineOutput(text, side).empty(); });
    if (output) *output = collected;
    return strParseEngineOutput(collected, side);
}

TEST(CEngineProcessTest, LinesEndsTheReasonOfTheEndAndReadsThatPollOrWait) {
    std::string folder;
    {
        CEngineProcess process;
        ASSERT_TRUE(process.isStart(fakeEngine("exit-midline.sh"))) << process.strError();
        folder = process.strWorkingFolder();
        std::vector<std::string> lines;
        for (std::string line; process.isReadLine(line, 5000);)
            lines.push_back(line);
        // Carriage returns go; the unfinished last line comes out once the program has ended.
        EXPECT_EQ(lines, (std::vector<std::string>{"first", "second", "third without an end"}));
        EXPECT_TRUE(process.isFinished());
        EXPECT_EQ(process.strExitReason(), "it ended with exit code 4: why: the fake ends here");
        EXPECT_FALSE(process.isSend("anything"));
        EXPECT_TRUE(std::filesystem::is_directory(folder));
    }
    // The working folder goes with the transport.
    EXPECT_FALSE(std::filesystem::exists(folder));
    {
        // Of a flood on the error output, the reason keeps only the end.
        CEngineProcess flood;
        ASSERT_TRUE(flood.isStart(fakeEngine("flood.sh"))) << flood.strError();
        for (std::string line; flood.isReadLine(line, 5000);) {
        }
        EXPECT_TRUE(flood.isFinished());
        const std::string reason = flood.strExitReason();
        EXPECT_TRUE(reason.starts_with("it ended with exit code 5: xxx")) << reason.substr(0, 80);
        EXPECT_TRUE(reason.ends_with("xxx and then it gave up")) << reason.size();
        EXPECT_LT(reason.size(), 1000u);
    }

    CEngineProcess process;
    ASSERT_TRUE(process.isStart("/bin/cat"));
    std::string line;
    EXPECT_FALSE(process.isReadLine(line, 0));
    ASSERT_TRUE(process.isSend("echo me"));
    EXPECT_TRUE(process.isReadLine(line, 5000));
    EXPECT_EQ(line, "echo me");
    EXPECT_TRUE(process.isRunning());
    // Its output unread, cat stops reading: a long line cannot hold the writer for ever.
    EXPECT_FALSE(process.isSend(std::string(1 << 20, 'x')));
    EXPECT_EQ(process.strError(), "the engine does not read its commands");
    process.Stop();
    EXPECT_FALSE(process.isRunning());
    EXPECT_FALSE(process.isSend("gone"));
}

TEST(CUciSessionTest, StockfishFindsTheMatesWhetherReadBlockingOrPolling) {
    CEngineProcess process;
    ASSERT_TRUE(process.isStart(BRISOLT_STOCKFISH));
    CUciSession session(process);
    ASSERT_TRUE(session.isHandshake(5000)) << session.strError();
    ASSERT_TRUE(session.isReady(5000));
    ASSERT_TRUE(session.isSetOption("MultiPV", "3"));
    const std::string twoRooks = "6k1/5ppp/8/8/8/8/8/RR4K1 w - - 0 1";
    for (const bool polling : {false, true}) {
        ASSERT_TRUE(session.isGo(twoRooks, {}, {300, 0}));
        EXPECT_TRUE(session.isThinking());
        if (polling) {
            while (!session.isSearchDone(0)) {
            }
        } else {
            ASSERT_TRUE(session.isSearchDone(10000));
        }
        EXPECT_FALSE(session.isThinking());
        ASSERT_GE(session.mapLines().size(), 2u) << polling;
        for (int pv = 1; pv <= 2; ++pv) {
            const UciInfo& line = session.mapLines().at(pv);
            EXPECT_EQ(line.objScore.strText(), "#1") << polling;
            EXPECT_TRUE(line.arrstrPv.front() == "a1a8" || line.arrstrPv.front() == "b1b8");
        }
        EXPECT_TRUE(session.strBestMove() == "a1a8" || session.strBestMove() == "b1b8");
    }
    // The moves since the position and the moves to search are passed on.
    ASSERT_TRUE(session.isGo(twoRooks, {"a1a2", "g8h8"}, {200, 0}, {"b1b8"}));
    ASSERT_TRUE(session.isSearchDone(10000));
    EXPECT_EQ(session.strBestMove(), "b1b8");
    session.Quit();
    EXPECT_FALSE(process.isRunning());
}

TEST(CEngineBridgeTest, AFailedStartSaysWhyAndLeavesNothingRunning) {
    const std::string folder = std::filesystem::temp_directory_path().string();
    // name, path, protocol, part of the error after the common prefix
    const std::tuple<const char*, std::string, EngineProtocol, std::string> cases[] = {
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
    for (const auto& [name, path, protocol, expected] : cases) {
        SCOPED_TRACE(name);
        CEngineBridge bridge(path, protocol);
        // Only the program that keeps running waits the whole handshake.
        const bool keepsRunning = expected.find("within") != std::string::npos;
        bridge.setHandshakeTimeout(keepsRunning ? 700 : 10000);
        EXPECT_EQ(bridge.initialize_chess_engine(0), 0);
        EXPECT_EQ(bridge.strError().rfind("The engine could not be started: ", 0), 0u);
        EXPECT_TRUE(Contains(bridge.strError(), expected));
        EXPECT_FALSE(bridge.isRunning());
        EXPECT_EQ(bridge.send_message("e4"), 0);
        EXPECT_EQ(bridge.get_message(), "");
    }
}

TEST(CEngineBridgeTest, EngineFaultsDuringAGameAreReported) {
    // script, protocol, error
    const std::tuple<const char*, EngineProtocol, std::string> cases[] = {
        {"crash.sh", EngineProtocol::Uci,
         "The engine stopped: it crashed: segmentation fault ahead."},
        {"hang.sh", EngineProtocol::Uci,
         "The engine did not answer within 2 seconds and was stopped."},
        // The first error an engine names on its output is the reason it went.
        {"no-network.sh", EngineProtocol::Uci,
         "The engine stopped: it ended with exit code 1: ERROR: the network file net.nnue was not "
         "found."},
        {"garbage.sh", EngineProtocol::Uci, "The engine sent a move that cannot be read: \"\"."},
        // Endless info lines neither hold the reader nor pass for an answer.
        {"../../soak/fakes/flood.sh", EngineProtocol::Uci,
         "The engine did not answer within 2 seconds and was stopped."},
        // A console engine that never answers the move is given up after the same time.
        {"../../verify/fakes/silent.sh", EngineProtocol::Console,
         "The engine did not answer within 2 seconds and was stopped."},
        {"../../verify/fakes/dies-on-go.sh", EngineProtocol::Console,
         "The engine stopped: it ended with exit code 3."},
    };
    for (const auto& [script, protocol, expected] : cases) {
        SCOPED_TRACE(script);
        CEngineBridge bridge(fakeEngine(script), protocol);
        bridge.setAnswerGrace(300);
        ASSERT_EQ(bridge.initialize_chess_engine(0), 1);
        setUpGame(bridge, start);
        bridge.SendEngineCommand("st 1");
        bridge.SendEngineCommand(protocol == EngineProtocol::Uci ? "e4" : "go");
        const std::string output = collectOutput(bridge, [](const std::string&) { return false; });
        EXPECT_EQ(bridge.strError(), expected);
        EXPECT_EQ(strParseEngineOutput(output, "Black"), "");
        EXPECT_EQ(bridge.get_message(), "");
        EXPECT_FALSE(bridge.isRunning());
        // A search run in a child process of the engine goes with it: within a second it has
        // ended (or only waits to be reaped).
        std::ifstream searcher(bridge.strWorkingFolder() + "/searcher.pid");
        if (int child = 0; searcher >> child) {
            bool alive = true;
            for (int tries = 0; tries < 100 && alive; ++tries) {
                std::ifstream stat("/proc/" + std::to_string(child) + "/stat");
                std::string number, name, state;
                alive = (stat >> number >> name >> state) && state != "Z";
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            EXPECT_FALSE(alive);
        }
    }
}

TEST(CEngineBridgeTest, ConsoleProtocolPassesWholeLinesInBatches) {
    std::string folder;
    {
        CEngineBridge bridge(fakeEngine("console-engine.sh"), EngineProtocol::Console);
        ASSERT_EQ(bridge.initialize_chess_engine(0), 1);
        setUpGame(bridge, start);
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
        EXPECT_EQ(std::filesystem::canonical(pwd), std::filesystem::canonical(folder));
        EXPECT_EQ(bridge.strError(), "");
    }
    EXPECT_FALSE(std::filesystem::exists(folder)) << folder;

    // A program that never stops writing, or one that writes a line without end (it comes in
    // pieces): each reading still ends, with whole lines or pieces.
    CEngineBridge flood("/usr/bin/yes", EngineProtocol::Console);
    CEngineBridge endless(fakeEngine("endless-line.sh"), EngineProtocol::Unknown);
    endless.setHandshakeTimeout(300);
    for (CEngineBridge* bridge : {&flood, &endless}) {
        ASSERT_EQ(bridge->initialize_chess_engine(0), 1) << bridge->strError();
        for (int reading = 0; reading < 3; ++reading) {
            bridge->waitForOutput(20);
            const std::string output = strReadEngineOutput([&] { return bridge->get_message(); });
            ASSERT_FALSE(output.empty());
            EXPECT_EQ(output.find_first_not_of(std::string("y") + ENGINE_SEPARATOR),
                      std::string::npos);
        }
    }
    EXPECT_EQ(endless.protocol(), EngineProtocol::Console);
}

// One start both finds out the protocol and plays: no second process for the detection. The
// engine's move comes back in console form.
TEST(CEngineBridgeTest, AnEngineOfUnknownProtocolIsFoundOutByItsOneStartAndAnswers) {
    // path, the protocol found, name, the engine's answer to 1. e4 ("": any legal move)
    const std::tuple<std::string, EngineProtocol, std::string, std::string> cases[] = {
        {BRISOLT_STOCKFISH, EngineProtocol::Uci, "Stockfish 15.1", ""},
        {fakeEngine("console-engine.sh"), EngineProtocol::Console, "", "e5"},
    };
    for (const auto& [path, found, name, answer] : cases) {
        SCOPED_TRACE(path);
        CEngineBridge bridge(path, EngineProtocol::Unknown);
        // A console engine never sends "uciok": it is waited for as briefly as the test can.
        bridge.setHandshakeTimeout(found == EngineProtocol::Uci ? 10000 : 700);
        ASSERT_EQ(bridge.initialize_chess_engine(0), 1) << bridge.strError();
        EXPECT_EQ(bridge.protocol(), found);
        EXPECT_EQ(bridge.strEngineName(), name);
        setUpGame(bridge, start);
        bridge.SendEngineCommand("e4");
        std::string output;
        const std::string move = awaitMove(bridge, "Black", &output);
        ASSERT_NE(move, "") << output << " | " << bridge.strError();
        if (answer.empty()) {
            const auto after = objReadFen(start)->objProcessMove("e4");
            ASSERT_NE(after, nullptr);
            EXPECT_NE(after->objProcessMove(move), nullptr) << move;
        } else {
            EXPECT_EQ(move, answer);
        }
        // A UCI engine reports its thinking time; a console engine does not.
        EXPECT_EQ(bridge.intEngineReportedMs() >= 0, found == EngineProtocol::Uci);
    }
}

TEST(CEngineBridgeTest, RestartingAndStoppingWhileTheEngineThinks) {
    CEngineBridge bridge(BRISOLT_STOCKFISH, EngineProtocol::Uci);
    ASSERT_EQ(bridge.initialize_chess_engine(0), 1);
    const std::string folder = bridge.strWorkingFolder();
    setUpGame(bridge, start);
    bridge.SendEngineCommand("sd 0");
    bridge.SendEngineCommand("st 30");
    bridge.SendEngineCommand("d4");
    // A new game while the engine is deep in thought: the old answer never shows up.
    ASSERT_EQ(bridge.initialize_chess_engine(0), 1);
    EXPECT_EQ(bridge.strWorkingFolder(), folder);
    setUpGame(bridge, start);
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

// brisolt-cli engine-move run in the folder, which holds the command's settings store and the
// fakes' notes.
CliResult runCli(const TempFolder& folder, std::vector<std::string> args) {
    args.insert(args.begin(), "engine-move");
    return Cli(args, folder.path().string(), 0,
               {"XDG_CONFIG_HOME=" + folder.path().string(),
                "BRISOLT_START_LOG=" + folder.file("starts")});
}

TEST(EngineMoveCommandTest, PrintsTheEnginesMoveOrSaysWhyNot) {
    const std::string anyFen = "8/8/8/8/8/8/k7/K7 w - -";
    // arguments, exit status, the last output line (status 0) or a part of the error line
    const std::tuple<std::vector<std::string>, int, std::string> cases[] = {
        {{"4r1k1/5ppp/8/8/8/8/6PP/N6K", "b", "-", "-", "--depth", "4"}, 0, "Re1#"}, // FEN in fields
        {{"6k1/5ppp/8/8/8/8/6PP/4r2K w - -"}, 1, "no move: the game is over (0-1 {Black mates})"},
        {{start, "--engine", fakeEngine("crash.sh")}, 1, "The engine stopped: it crashed"},
        // A console engine's move is checked like a UCI engine's: e4 is taken already.
        {{"rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR w KQkq -", "--engine",
          fakeEngine("console-engine.sh")},
         1,
         "The engine played an illegal move: e4."},
        // A console engine that refuses to move says so at once, rather than after the time.
        {{start, "--engine", fakeEngine("console-mate.sh"), "--time", "0.1"},
         1,
         "The engine refused the command: Illegal move: go."},
        {{"rnbqkbnr/pppppppp/8 w - -"}, 1, "bad FEN"},
        // The engine is never asked about a position the board refuses.
        {{"4k2R/8/8/8/8/8/8/4K3 w - -"}, 1, "cannot be played: the side not to move is in check"},
        {{"--time", "1"}, 2, "missing FEN"},
        {{anyFen, "--depth", "deep"}, 2, "bad depth"},
        {{anyFen, "--time", "-3"}, 2, "bad time"},
    };
    for (const auto& [args, exitCode, expected] : cases) {
        SCOPED_TRACE(args.back());
        TempFolder scratch;
        const CliResult result = runCli(scratch, args);
        EXPECT_EQ(result.status, exitCode) << result.err;
        if (exitCode == 0)
            EXPECT_TRUE(result.out.ends_with("\n" + expected + "\n")) << result.out;
        else
            EXPECT_TRUE(Contains(result.err, expected));
    }
}

TEST(EngineMoveCommandTest, OneEngineStartPerCommandAndTheProtocolRemembered) {
    TempFolder scratch;
    const std::string engine = fakeEngine("counted.sh");
    for (int run = 1; run <= 2; ++run) {
        const CliResult result = runCli(scratch, {start, "--engine", engine, "--time", "0.1"});
        ASSERT_EQ(result.status, 0) << result.err;
        EXPECT_TRUE(result.out.ends_with("\ne4\n")) << result.out;
        EXPECT_EQ(FileBytes(scratch.file("starts")), run == 1 ? "started\n" : "started\nstarted\n");
        const std::string settings = FileBytes(scratch.file("Brisolt/Brisolt.conf"));
        for (const char* part : {"[EngineCache]", "UCI, ", "Fake Counted"})
            EXPECT_TRUE(Contains(settings, part)) << part;
    }
}

} // namespace
