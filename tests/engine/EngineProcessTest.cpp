// The process transport, the UCI session over it, UCI texts and scores, and the engine detection:
// the real Stockfish, fake engines and programs that are no engines.
#include "EngineTestSupport.h"
#include "engine/CEngineProcess.h"
#include "engine/CUciSession.h"
#include "engine/EngineDetect.h"
#include "engine/EngineScore.h"
#include "engine/UciText.h"
#include "tests/model/Checks.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <tuple>
#include <vector>

namespace {

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
        EXPECT_FALSE(process.isRunning());
        EXPECT_EQ(process.strExitReason(), "it ended with exit code 4: why: the fake ends here");
        EXPECT_FALSE(process.isSend("anything"));
        EXPECT_TRUE(std::filesystem::is_directory(folder));
    }
    // The working folder goes with the transport.
    EXPECT_FALSE(std::filesystem::exists(folder));

    CEngineProcess process;
    ASSERT_TRUE(process.isStart("/bin/cat"));
    std::string line;
    EXPECT_FALSE(process.isReadLine(line, 0));
    ASSERT_TRUE(process.isSend("echo me"));
    EXPECT_TRUE(process.isReadLine(line, 5000));
    EXPECT_EQ(line, "echo me");
    EXPECT_TRUE(process.isRunning());
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
    const struct {
        const char* line;
        bool isInfo;
        const char* fields;
    } cases[] = {
        {"info depth 12 seldepth 14 multipv 2 score cp -35 nodes 9 time 41 pv e7e5 g1f3", true,
         "2 12 41 -0.35 e7e5 g1f3"},
        {"info depth 3 score mate -2 upperbound pv h7h6", true, "1 3 -1 #-2? h7h6"},
        {"info depth 1 currmove e2e4 currmovenumber 1", true, "1 1 -1 -"},
        {"info string NNUE evaluation using nn.nnue enabled", false, "1 0 -1 -"},
        {"info depth x score cp 10", true, "1 0 -1 -"},
        {"bestmove e2e4", false, "1 0 -1 -"},
        {"", false, "1 0 -1 -"},
    };
    for (const auto& c : cases) {
        UciInfo info;
        EXPECT_EQ(isParseUciInfo(c.line, info), c.isInfo) << c.line;
        EXPECT_EQ(fields(info), c.fields) << c.line;
    }
    std::string move = "unchanged";
    EXPECT_FALSE(isParseBestMove("info depth 1", move));
    EXPECT_EQ(move, "unchanged");
    EXPECT_TRUE(isParseBestMove("bestmove e7e8q ponder a1a2", move));
    EXPECT_EQ(move, "e7e8q");
    EXPECT_EQ(strUciGoCommand({0, 0}, {"a1a8", "b1b8"}, 300),
              "go movetime 300 searchmoves a1a8 b1b8");
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
    EXPECT_EQ(session.strName(), "Stockfish 15.1");
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

TEST(EngineDetectTest, TellsTheProtocolOrRefusesWhatIsNoEngine) {
    const struct DetectCase {
        const char* name;
        std::string path;
        bool usable;
        EngineProtocol protocol;
        std::string text; // the name, or a part of the error
    } cases[] = {
        {"Stockfish speaks UCI", BRISOLT_STOCKFISH, true, EngineProtocol::Uci, "Stockfish 15.1"},
        {"a fake UCI engine", fakeEngine("illegal.sh"), true, EngineProtocol::Uci, "Fake Illegal"},
        {"a console engine", fakeEngine("console-engine.sh"), true, EngineProtocol::Console,
         "Crafty"},
        {"a program that ends at once", "/bin/true", false, EngineProtocol::Unknown,
         "/bin/true ended before answering \"uci\""},
        {"a missing program", "/nonexistent/crafty", false, EngineProtocol::Unknown,
         "/nonexistent/crafty: No such file or directory"},
        {"a program that talks but plays no chess", fakeEngine("not-an-engine.sh"), false,
         EngineProtocol::Unknown, "it is not a chess engine"},
        {"a program that echoes every line", "/bin/cat", false, EngineProtocol::Unknown,
         "answered neither \"uci\" with \"uciok\" nor the console setup"},
    };
    for (const DetectCase& c : cases) {
        SCOPED_TRACE(c.name);
        // Engines answer at once; the others are given up after the short waits of the test.
        const EngineDetection found =
            c.usable ? objDetectEngine(c.path, 10000, 10000) : objDetectEngine(c.path, 700, 1500);
        EXPECT_EQ(found.isUsable, c.usable) << found.strError;
        EXPECT_EQ(found.protocol, c.protocol);
        EXPECT_TRUE(Contains(c.usable ? found.strName : found.strError, c.text));
        EXPECT_EQ(found.strError.empty(), c.usable);
    }
}

} // namespace
