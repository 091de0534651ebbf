// The engine's texts in plain C++, without a process: UCI info lines and scores, the console
// protocol's output reading, and the translation between the console protocol and UCI.
#include "engine/CUciTranslator.h"
#include "engine/EngineOutput.h"
#include "engine/EngineScore.h"
#include "engine/UciText.h"
#include "game/CPosition.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <tuple>
#include <vector>

namespace {

const std::string start = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -";

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
        // The fields as "multipv depth time score pv...": "-" for no score, "?" after a bound.
        std::string fields = std::to_string(info.intMultiPv) + " " + std::to_string(info.intDepth) +
                             " " + std::to_string(info.intTimeMs) + " " +
                             (info.hasScore ? info.objScore.strText() : "-") +
                             (info.isBound ? "?" : "");
        for (const std::string& move : info.arrstrPv)
            fields += " " + move;
        EXPECT_EQ(fields, expected) << line;
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
        {{false, 125}, "+1.25", false}, {{false, 0}, "+0.00", false}, {{false, 200}, "+2.00", true},
        {{false, -7}, "-0.07", false},  {{true, 3}, "#3", true},      {{true, -2}, "#-2", false}};
    for (const auto& [score, text, clearWin] : cases) {
        EXPECT_EQ(score.strText(), text);
        EXPECT_EQ(score.isClearWin(200), clearWin) << text;
        EXPECT_EQ(score.objNegated().lngRank(), -score.lngRank()) << text;
    }
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
    for (const char* bad : {"e5", "hello", "setboard 8/8/8 w - -", "st fast"})
        game.translator.command(bad);
    EXPECT_EQ(game.caller(), "Illegal move: e5|Illegal move: hello|Illegal position: FEN placement "
                             "must give 8 ranks of 8 squares: \"8/8/8\"|Illegal value: fast");
    EXPECT_EQ(game.engine(), "");
    EXPECT_EQ(game.translator.objPosition()->strGetFEN(), start) << "the earlier game stays";
}

} // namespace
