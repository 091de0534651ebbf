#include "engine/CUciTranslator.h"

#include "engine/EngineOutput.h"
#include "game/CPosition.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

const std::string start = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -";
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

TEST(CUciTranslatorTest, TraineeMovesBecomeTheUciMoveList) {
    const struct {
        std::string fen;
        std::string trainee;  // the move line as the board reports it
        std::string position; // what the engine is told
    } cases[] = {
        {start, "e4", "fen " + start + " 0 1 moves e2e4"},
        {start + " 0 1", "Nf3", "fen " + start + " 0 1 moves g1f3"},
        {"r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 7", "O-O-O",
         "fen r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 7 moves e8c8"},
    };
    for (const auto& c : cases) {
        Game game(c.fen);
        game.translator.command(c.trainee);
        EXPECT_EQ(game.engine(), "ucinewgame|position " + c.position + "|" + go) << c.trainee;
        EXPECT_TRUE(game.translator.isThinking()) << c.trainee;
        EXPECT_EQ(game.caller(), "") << c.trainee;
    }
}

// The engine's move comes back as a console line (with the result when it ends the game), a
// trainee's move that ends the game is reported without a search, and a move that makes no sense
// is a fault.
TEST(CUciTranslatorTest, AnswersComeBackAsConsoleLinesOrFaults) {
    const struct {
        std::string fen;
        std::string trainee;
        std::string bestmove; // "": no search is asked for
        std::string caller;   // what the practice window reads, lines joined by "|"
        std::string fault;
    } cases[] = {
        {start, "e4", "bestmove g8f6 ponder e4e5", "Black(1): Nf6", ""},
        {"4k3/8/8/8/8/8/4p3/R3K3 b Q - 0 12", "Kd7", "bestmove e1e2", "White(13): Kxe2", ""},
        {"4r1k1/5ppp/8/8/8/8/6PP/1N5K w - - 0 30", "Na3", "bestmove e8e1",
         "Black(30): Re1#|0-1 {Black mates}", ""},
        {"1k6/7Q/1K6/8/8/8/8/8 b - - 0 60", "Ka8", "bestmove h7c7",
         "White(61): Qc7|1/2-1/2 {stalemate}", ""},
        {"6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - 0 20", "Ra8", "", "1-0 {White mates}", ""},
        {"k7/8/1K6/8/8/8/7Q/8 w - -", "Qc7", "", "1/2-1/2 {stalemate}", ""},
        {start, "e4", "bestmove", "", "The engine sent a move that cannot be read: \"\"."},
        {start, "e4", "bestmove (none)", "", "The engine found no move in this position."},
        {start, "e4", "bestmove 0000", "", "The engine found no move in this position."},
        {start, "e4", "bestmove zz9q", "", "The engine sent a move that cannot be read: \"zz9q\"."},
        {start, "e4", "bestmove a7a4", "", "The engine played an illegal move: a7a4."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fen + " " + c.trainee + " " + c.bestmove);
        Game game(c.fen);
        game.translator.command(c.trainee);
        if (c.bestmove.empty())
            EXPECT_EQ(game.engine(), "ucinewgame");
        else
            game.answer(c.bestmove);
        EXPECT_EQ(game.caller(), c.caller);
        EXPECT_EQ(game.translator.strFault(), c.fault);
        EXPECT_FALSE(game.translator.isThinking());
    }
}

TEST(CUciTranslatorTest, CommandsDuringTheSearchWaitForTheEnginesMove) {
    Game game;
    game.translator.command("e4");
    game.engine();
    game.translator.command("Nf3");
    EXPECT_EQ(game.engine(), "");
    game.answer("bestmove e7e5");
    EXPECT_EQ(game.caller(), "Black(1): e5");
    EXPECT_EQ(game.engine(), "position fen " + start + " 0 1 moves e2e4 e7e5 g1f3|" + go);
    game.answer("bestmove b8c6");
    EXPECT_EQ(game.caller(), "Black(2): Nc6");
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

TEST(CUciTranslatorTest, EndQuitsTheEngineEvenDuringASearch) {
    Game game;
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

} // namespace
