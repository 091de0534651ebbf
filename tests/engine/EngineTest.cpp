// The engine link in plain C++, from the process transport to the console-protocol bridge, against
// the real Stockfish and fake engines; and the engine-move command through the real brisolt-cli.
#include "engine/CEngineBridge.h"
#include "engine/CEngineProcess.h"
#include "engine/CUciSession.h"
#include "engine/CUciTranslator.h"
#include "engine/EngineOutput.h"
#include "engine/EngineScore.h"
#include "engine/UciText.h"
#include "game/CPosition.h"
#include "game/Fen.h"
#include "tests/cli/WorkbookCli.h"
#include "tests/model/Checks.h"

#include <algorithm>
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

// True while the process runs; one that has ended (or is only waiting to be reaped) is not.
bool isProcessAlive(int pid) {
    for (int tries = 0; tries < 100; ++tries) {
        std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
        std::string number, name, state;
        if (!(stat >> number >> name >> state) || state == "Z") return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
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

// An info line's fields as "multipv depth time score pv...": "-" for no score, "?" after a bound.
std::string fields(const UciInfo& info) {
    std::string text = std::to_string(info.intMultiPv) + " " + std::to_string(info.intDepth) + " " +
                       std::to_string(info.intTimeMs) + " " +
                       (info.hasScore ? info.objScore.strText() : "-") + (info.isBound ? "?" : "");
    for (const std::string& move : info.arrstrPv)
        text += " " + move;
    return text;
}

TEST(UciTextTest, InfoLinesAreReadIntoTheirFields) {
    // line, whether it is an info line, its fields
    const std::tuple<const char*, bool, const char*> cases[] = {
        {"info depth 12 seldepth 14 multipv 2 score cp -35 nodes 9 time 41 pv e7e5 g1f3", true,
         "2 12 41 -0.35 e7e5 g1f3"},
        {"info depth 3 score mate -2 upperbound pv h7h6", true, "1 3 -1 #-2? h7h6"},
        {"info depth 1 currmove e2e4 currmovenumber 1", true, "1 1 -1 -"},
        {"info string NNUE evaluation using nn.nnue enabled", false, "1 0 -1 -"},
        {"info depth x score cp 10", true, "1 0 -1 -"},
        {"bestmove e2e4", false, "1 0 -1 -"},
    };
    for (const auto& [line, isInfo, expected] : cases) {
        UciInfo info;
        EXPECT_EQ(isParseUciInfo(line, info), isInfo) << line;
        EXPECT_EQ(fields(info), expected) << line;
    }
    std::string move = "unchanged";
    EXPECT_FALSE(isParseBestMove("info depth 1", move));
    EXPECT_EQ(move, "unchanged");
    EXPECT_TRUE(isParseBestMove("bestmove e7e8q ponder a1a2", move));
    EXPECT_EQ(move, "e7e8q");
    EXPECT_EQ(strUciGoCommand({0, 0}, {"a1a8", "b1b8"}, 300),
              "go movetime 300 searchmoves a1a8 b1b8");
    EXPECT_EQ(strUciGoCommand({0, 5}, {}, 300), "go depth 5");
}

TEST(EngineScore, OrderTextsAndClearWins) {
    // Worst first: mated at once, mated later, losing, equal, winning, mating later, mating now.
    const EngineScore ordered[] = {{true, -1},   {true, -5}, {false, -300}, {false, 0},
                                   {false, 900}, {true, 4},  {true, 1}};
    for (size_t i = 0; i + 1 < std::size(ordered); ++i)
        EXPECT_LT(ordered[i].lngRank(), ordered[i + 1].lngRank())
            << ordered[i].strText() << " vs " << ordered[i + 1].strText();
    const std::tuple<EngineScore, const char*, bool> cases[] = {
        {{false, 125}, "+1.25", false}, {{false, -40}, "-0.40", false},
        {{false, 0}, "+0.00", false},   {{false, 200}, "+2.00", true},
        {{false, -7}, "-0.07", false},  {{true, 3}, "#3", true},
        {{true, -2}, "#-2", false}};
    for (const auto& [score, text, clearWin] : cases) {
        EXPECT_EQ(score.strText(), text);
        EXPECT_EQ(score.isClearWin(200), clearWin) << text;
        EXPECT_EQ(score.objNegated().lngRank(), -score.lngRank()) << text;
    }
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

// A getter that hands out the pieces one by one and then blanks, as the bridge does.
struct Pieces {
    std::vector<std::string> pieces;
    size_t next = 0;
    std::string operator()() { return next < pieces.size() ? pieces[next++] : std::string(); }
};

TEST(EngineOutputTest, ReadingJoinsPiecesAndNormalisesLineEnds) {
    // name, pieces, the text read ('|' stands for the separator), the pieces asked for (the blank
    // one that ends the reading included)
    const std::tuple<const char*, std::vector<std::string>, std::string, size_t> cases[] = {
        {"nothing pending", {}, "", 0},
        {"split over pieces", {"Bla", "ck(1): N", "f6\n"}, "Black(1): Nf6|", 3},
        {"blank piece ends the reading",
         {"White(2): e4\n", "  ", "Black(2): e5\n"},
         "White(2): e4|",
         2},
        {"CR LF", {"one\r\ntwo\r\n"}, "one|two|", 1},
        {"bare line feeds and blank lines", {"\n\none\n\n\n\ntwo"}, "|one|two", 1},
        {"NUL characters go", {std::string("Nf", 2) + std::string(1, '\0') + "6\r\0\n"}, "Nf6|", 1},
        {"pieces are kept untrimmed", {"  Black(1): Nf6 \n"}, "  Black(1): Nf6 |", 1},
    };
    for (const auto& [name, pieces, expected, piecesTaken] : cases) {
        Pieces source{pieces};
        std::string read = strReadEngineOutput(std::ref(source));
        std::ranges::replace(read, ENGINE_SEPARATOR, '|');
        EXPECT_EQ(read, expected) << name;
        // What follows a blank piece stays pending for the next reading.
        EXPECT_EQ(source.next, piecesTaken) << name;
    }
}

TEST(EngineOutputTest, ParsingFindsTheEnginesMoveAndTheEndOfTheGame) {
    // name, output ('|' stands for the separator), side, move, result
    const std::tuple<const char*, std::string, std::string, std::string, std::string> cases[] = {
        {"not for White", "Black(1): Nf6", "White", "", ""},
        {"side word in any case", "black(1):  Nf6  ", "BLACK", "Nf6", ""},
        {"line without a colon", "Black to move", "Black", "", ""},
        {"rest after the first colon", "White(12): Qa1:b2", "White", "Qa1:b2", ""},
        {"earliest matching line wins", "|Black(1): Nf6|Black(1): e5|", "Black", "Nf6", ""},
        {"brace ends the game and the move stays", "Black(1): Qh4#|0-1 {Black mates}", "Black",
         "Qh4#", "0-1 {Black mates}"},
        {"brace on the move line itself", "Black(1): Qh4# {Black mates}", "Black",
         "Qh4# {Black mates}", "Black(1): Qh4# {Black mates}"},
        {"stalemate in any case", "White(40): Kb6|Game drawn: STALEMATE", "White", "Kb6",
         "Game drawn: STALEMATE"},
        {"earliest result line wins", "1/2-1/2 {stalemate}|0-1 {Black mates}", "White", "",
         "1/2-1/2 {stalemate}"},
    };
    for (const auto& [name, text, side, move, result] : cases) {
        std::string output = text;
        std::ranges::replace(output, '|', ENGINE_SEPARATOR);
        const EngineOutputParse parse = parseEngineOutput(output, side);
        EXPECT_EQ(parse.strMove, move) << name;
        EXPECT_EQ(parse.strResult, result) << name;
        EXPECT_EQ(parse.isGameOver, !result.empty()) << name;
        EXPECT_EQ(strParseEngineOutput(output, side), move) << name;
    }
}

const std::string go = "go movetime 2000 depth 6";

std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += (text.empty() ? "" : "|") + line;
    return text;
}

// A translator after the practice window's setup commands and "setboard FEN".
struct Game {
    explicit Game(const std::string& fen = start) {
        for (const std::string& command : arrstrSetupCommands())
            translator.command(command);
        translator.command("setboard " + fen);
    }
    // The requests since the last call as the lines the UCI session writes, joined by "|".
    std::string engine() {
        std::vector<std::string> lines;
        for (const UciRequest& request : translator.takeRequests()) {
            if (request.kind == UciRequest::Kind::NewGame) lines.push_back("ucinewgame");
            if (request.kind == UciRequest::Kind::Quit) lines.push_back("quit");
            if (request.kind != UciRequest::Kind::Search) continue;
            lines.push_back(strUciPositionCommand(request.strFen, request.arrstrMoves));
            lines.push_back(strUciGoCommand(request.limit));
        }
        return joined(lines);
    }
    std::string caller() { return joined(translator.takeLinesForCaller()); }
    // Hands over the engine's "bestmove" line.
    void answer(const std::string& bestmove) {
        std::string uci;
        ASSERT_TRUE(isParseBestMove(bestmove, uci)) << bestmove;
        translator.EngineMoved(uci);
    }
    CUciTranslator translator;
};

// The engine's move comes back as a console line (with the result when it ends the game), a
// trainee's move that ends the game is reported without a search, and a move that makes no sense
// is a fault.
TEST(CUciTranslatorTest, AnswersComeBackAsConsoleLinesOrFaults) {
    // FEN, trainee, bestmove ("": no search is asked for), what the practice window reads (lines
    // joined by "|"), fault
    const std::tuple<std::string, std::string, std::string, std::string, std::string> cases[] = {
        {start + " 0 1", "e4", "bestmove g8f6 ponder e4e5", "Black(1): Nf6", ""},
        {"4k3/8/8/8/8/8/4p3/R3K3 b Q - 0 12", "Kd7", "bestmove e1e2", "White(13): Kxe2", ""},
        {"4r1k1/5ppp/8/8/8/8/6PP/1N5K w - - 0 30", "Na3", "bestmove e8e1",
         "Black(30): Re1#|0-1 {Black mates}", ""},
        {"1k6/7Q/1K6/8/8/8/8/8 b - - 0 60", "Ka8", "bestmove h7c7",
         "White(61): Qc7|1/2-1/2 {stalemate}", ""},
        {"6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - 0 20", "Ra8", "", "1-0 {White mates}", ""},
        {"k7/8/1K6/8/8/8/7Q/8 w - -", "Qc7", "", "1/2-1/2 {stalemate}", ""},
        {start, "e4", "bestmove (none)", "", "The engine found no move in this position."},
        {start, "e4", "bestmove 0000", "", "The engine found no move in this position."},
        {start, "e4", "bestmove zz9q", "", "The engine sent a move that cannot be read: \"zz9q\"."},
        {start, "e4", "bestmove a7a4", "", "The engine played an illegal move: a7a4."},
    };
    for (const auto& [fen, trainee, bestmove, caller, fault] : cases) {
        SCOPED_TRACE(fen + " " + trainee + " " + bestmove);
        Game game(fen);
        game.translator.command(trainee);
        if (bestmove.empty())
            EXPECT_EQ(game.engine(), "ucinewgame");
        else
            game.answer(bestmove);
        EXPECT_EQ(game.caller(), caller);
        EXPECT_EQ(game.translator.strFault(), fault);
        EXPECT_FALSE(game.translator.isThinking());
    }
}

// The trainee's moves and the engine's follow the position's own move number in the UCI move
// list; commands during the search wait for the engine's move; "end" quits at once.
TEST(CUciTranslatorTest, MovesBecomeTheUciMoveListAndCommandsDuringTheSearchWaitButEndQuits) {
    const std::string numbered = start + " 0 7";
    Game game(numbered);
    game.translator.command("e4");
    EXPECT_EQ(game.engine(), "ucinewgame|position fen " + numbered + " moves e2e4|" + go);
    EXPECT_TRUE(game.translator.isThinking());
    game.translator.command("Nf3");
    EXPECT_EQ(game.engine(), "");
    EXPECT_EQ(game.caller(), "");
    game.answer("bestmove e7e5");
    EXPECT_EQ(game.caller(), "Black(7): e5");
    EXPECT_EQ(game.engine(), "position fen " + numbered + " moves e2e4 e7e5 g1f3|" + go);
    game.answer("bestmove b8c6");
    EXPECT_EQ(game.caller(), "Black(8): Nc6");
    game.translator.command("d4");
    game.engine();
    game.translator.command("e5");
    game.translator.command("end");
    EXPECT_EQ(game.engine(), "quit");
    EXPECT_TRUE(game.translator.isQuitRequested());
    game.answer("bestmove d7d5");
    // the queued move and the engine's last answer were dropped with the quit
    EXPECT_EQ(game.engine(), "");
    EXPECT_EQ(game.caller(), "");
}

TEST(CUciTranslatorTest, RefusedInputIsAnsweredAndChangesNothing) {
    CUciTranslator translator;
    translator.command("e4");
    EXPECT_EQ(joined(translator.takeLinesForCaller()), "Illegal move: e4 (no position is set)");
    Game game;
    game.engine();
    for (const char* bad : {"e5", "Ke2", "0-0", "hello", "setboard 8/8/8 w - -", "st fast"})
        game.translator.command(bad);
    EXPECT_EQ(game.caller(),
              "Illegal move: e5|Illegal move: Ke2|Illegal move: 0-0|Illegal move: hello|Illegal "
              "position: FEN placement must give 8 ranks of 8 squares: \"8/8/8\"|Illegal value: "
              "fast");
    EXPECT_EQ(game.engine(), "");
    EXPECT_EQ(game.translator.objPosition()->strGetFEN(), start) << "the earlier game stays";
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
        // A search run in a child process of the engine goes with it.
        std::ifstream searcher(bridge.strWorkingFolder() + "/searcher.pid");
        if (int child = 0; searcher >> child) {
            EXPECT_FALSE(isProcessAlive(child));
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
