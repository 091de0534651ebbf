// The process transport, the UCI session over it, UCI texts and scores, and the reading of a
// console engine's output: the real Stockfish, fake engines and programs that are no engines.
#include "EngineTestSupport.h"
#include "engine/CEngineProcess.h"
#include "engine/CUciSession.h"
#include "engine/EngineScore.h"
#include "engine/UciText.h"
#include "tests/model/Checks.h"

#include <algorithm>
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

// A getter that hands out the pieces one by one and then blanks, as the bridge does.
struct Pieces {
    std::vector<std::string> pieces;
    size_t next = 0;
    std::string operator()() { return next < pieces.size() ? pieces[next++] : std::string(); }
};

// The text with each character "from" replaced by "to".
std::string replaced(std::string text, char from, char to) {
    std::replace(text.begin(), text.end(), from, to);
    return text;
}

TEST(EngineOutputTest, ReadingJoinsPiecesAndNormalisesLineEnds) {
    const struct {
        const char* name;
        std::vector<std::string> pieces;
        std::string expected; // '|' stands for the separator
        size_t piecesTaken;   // pieces asked for, the blank one that ends the reading included
    } cases[] = {
        {"nothing pending", {}, "", 0},
        {"one line", {"Black(1): Nf6\n"}, "Black(1): Nf6|", 1},
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
    for (const auto& c : cases) {
        Pieces source{c.pieces};
        const std::string read = strReadEngineOutput(std::ref(source));
        EXPECT_EQ(replaced(read, ENGINE_SEPARATOR, '|'), c.expected) << c.name;
        // What follows a blank piece stays pending for the next reading.
        EXPECT_EQ(source.next, c.piecesTaken) << c.name;
    }
}

TEST(EngineOutputTest, ParsingFindsTheEnginesMoveAndTheEndOfTheGame) {
    const struct {
        const char* name;
        std::string output; // '|' stands for the separator
        std::string side;
        std::string move;
        std::string result;
    } cases[] = {
        {"move for Black", "Black(1): Nf6", "Black", "Nf6", ""},
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
        {"result without a move", "1-0 {White mates}", "Black", "", "1-0 {White mates}"},
        {"earliest result line wins", "1/2-1/2 {stalemate}|0-1 {Black mates}", "White", "",
         "1/2-1/2 {stalemate}"},
        {"empty output", "", "White", "", ""},
    };
    for (const auto& c : cases) {
        const std::string output = replaced(c.output, '|', ENGINE_SEPARATOR);
        const EngineOutputParse parse = parseEngineOutput(output, c.side);
        EXPECT_EQ(parse.strMove, c.move) << c.name;
        EXPECT_EQ(parse.strResult, c.result) << c.name;
        EXPECT_EQ(parse.isGameOver, !c.result.empty()) << c.name;
        EXPECT_EQ(strParseEngineOutput(output, c.side), c.move) << c.name;
    }
}

} // namespace
