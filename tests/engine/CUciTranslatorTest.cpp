#include "engine/CUciTranslator.h"

#include "engine/EngineOutput.h"
#include "game/CPosition.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

void setUp(CUciTranslator& translator, const std::string& fen) {
    for (const std::string& command : arrstrSetupCommands())
        translator.command(command);
    translator.command("setboard " + fen);
}

// The translator's requests as the lines the UCI session writes for them.
Lines engineLines(CUciTranslator& translator) {
    Lines lines;
    for (const UciRequest& request : translator.takeRequests()) {
        if (request.kind == UciRequest::Kind::NewGame) lines.push_back("ucinewgame");
        if (request.kind == UciRequest::Kind::Quit) lines.push_back("quit");
        if (request.kind != UciRequest::Kind::Search) continue;
        lines.push_back(strUciPositionCommand(request.strFen, request.arrstrMoves));
        lines.push_back(strUciGoCommand(request.limit));
    }
    return lines;
}

const std::string start = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -";

std::string joined(const Lines& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += (text.empty() ? "" : "|") + line;
    return text;
}

TEST(CUciTranslatorTest, SetupCommandsNeedNoTranslation) {
    CUciTranslator translator;
    EXPECT_EQ(joined(arrstrSetupCommands()),
              "alarm off|ansi off|st 2|sd 6|display nogeneral|display notime|display nostats|"
              "display noextstats|display nochanges|display nomoves|display nomovenum|log off");
    for (const std::string& command : arrstrSetupCommands())
        translator.command(command);
    EXPECT_EQ(engineLines(translator), Lines{});
    EXPECT_EQ(translator.takeLinesForCaller(), Lines{});
    EXPECT_EQ(translator.intMoveTimeMs(), 2000);
    EXPECT_FALSE(translator.isThinking());
}

struct MoveCase {
    const char* name;
    std::string fen;
    std::string trainee;         // the move line as the board reports it
    std::string positionCommand; // what the engine is told
};

TEST(CUciTranslatorTest, TraineeMovesBecomeTheUciMoveList) {
    const std::vector<MoveCase> cases = {
        {"pawn double step", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -", "e4",
         "position fen rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1 moves e2e4"},
        {"knight", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", "Nf3",
         "position fen rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1 moves g1f3"},
        {"king side castling", "r3k2r/8/8/8/8/8/8/R3K2R w KQkq -", "O-O",
         "position fen r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1 moves e1g1"},
        {"queen side castling by Black", "r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 7", "O-O-O",
         "position fen r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 7 moves e8c8"},
        {"promotion to a knight", "8/4P3/8/8/8/k7/8/4K3 w - -", "e8=N",
         "position fen 8/4P3/8/8/8/k7/8/4K3 w - - 0 1 moves e7e8n"},
        {"en passant", "4k3/8/8/3pP3/8/8/8/4K3 w - d6", "exd6",
         "position fen 4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1 moves e5d6"},
        {"rights the pieces contradict are not passed on", "4k3/8/8/8/8/8/8/4K2R w KQkq -", "Kd1",
         "position fen 4k3/8/8/8/8/8/8/4K2R w K - 0 1 moves e1d1"},
    };
    for (const MoveCase& c : cases) {
        CUciTranslator translator;
        setUp(translator, c.fen);
        EXPECT_EQ(engineLines(translator), Lines{"ucinewgame"}) << c.name;
        translator.command(c.trainee);
        EXPECT_EQ(engineLines(translator), (Lines{c.positionCommand, "go movetime 2000 depth 6"}))
            << c.name;
        EXPECT_TRUE(translator.isThinking()) << c.name;
        EXPECT_EQ(translator.takeLinesForCaller(), Lines{}) << c.name;
    }
}

struct AnswerCase {
    const char* name;
    std::string fen;
    std::string trainee;
    std::string bestmove;
    std::string caller; // what the practice window reads, lines joined by "|"
};

TEST(CUciTranslatorTest, EngineMovesComeBackAsConsoleLines) {
    const std::vector<AnswerCase> cases = {
        {"Black answers the first move", start, "e4", "bestmove g8f6 ponder e4e5", "Black(1): Nf6"},
        {"White answers on move 12", "4k3/8/8/8/8/8/4p3/R3K3 b Q - 0 12", "Kd7", "bestmove e1e2",
         "White(13): Kxe2"},
        {"engine castles", "r3k2r/pppppppp/8/8/8/8/PPPPPPPP/R3K2R w KQkq -", "a3", "bestmove e8c8",
         "Black(1): O-O-O"},
        {"engine promotes", "8/8/8/8/8/2K5/4p3/k7 w - -", "Kd3", "bestmove e2e1q",
         "Black(1): e1=Q"},
        {"pawn answer", start, "f3", "bestmove e7e5", "Black(1): e5"},
        {"engine mates in one", "4r1k1/5ppp/8/8/8/8/6PP/1N5K w - - 0 30", "Na3", "bestmove e8e1",
         "Black(30): Re1#|0-1 {Black mates}"},
        {"engine stalemates the trainee", "1k6/7Q/1K6/8/8/8/8/8 b - - 0 60", "Ka8", "bestmove h7c7",
         "White(61): Qc7|1/2-1/2 {stalemate}"},
    };
    for (const AnswerCase& c : cases) {
        CUciTranslator translator;
        setUp(translator, c.fen);
        translator.command(c.trainee);
        engineLines(translator);
        std::string uci;
        ASSERT_TRUE(isParseBestMove(c.bestmove, uci)) << c.name;
        translator.EngineMoved(uci);
        EXPECT_EQ(joined(translator.takeLinesForCaller()), c.caller) << c.name;
        EXPECT_FALSE(translator.isThinking()) << c.name;
        EXPECT_EQ(translator.strFault(), "") << c.name;
    }
}

TEST(CUciTranslatorTest, TraineeMoveThatEndsTheGameIsReportedWithoutASearch) {
    const std::vector<AnswerCase> cases = {
        {"trainee mates", "6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - 0 20", "Ra8", "", "1-0 {White mates}"},
        {"trainee stalemates", "k7/8/1K6/8/8/8/7Q/8 w - -", "Qc7", "", "1/2-1/2 {stalemate}"},
    };
    for (const AnswerCase& c : cases) {
        CUciTranslator translator;
        setUp(translator, c.fen);
        engineLines(translator);
        translator.command(c.trainee);
        EXPECT_EQ(joined(translator.takeLinesForCaller()), c.caller) << c.name;
        EXPECT_EQ(engineLines(translator), Lines{}) << c.name;
        EXPECT_FALSE(translator.isThinking()) << c.name;
    }
}

struct FaultCase {
    const char* name;
    std::string bestmove;
    std::string fault;
};

TEST(CUciTranslatorTest, EngineMovesThatMakeNoSenseAreFaults) {
    const std::vector<FaultCase> cases = {
        {"no move", "bestmove", "The engine sent a move that cannot be read: \"\"."},
        {"no move at all", "bestmove (none)", "The engine found no move in this position."},
        {"off the board", "bestmove zz9q", "The engine sent a move that cannot be read: \"zz9q\"."},
        {"bad promotion letter", "bestmove e7e8k",
         "The engine sent a move that cannot be read: \"e7e8k\"."},
        {"three squares forward", "bestmove a7a4", "The engine played an illegal move: a7a4."},
        {"empty square", "bestmove e4e5", "The engine played an illegal move: e4e5."},
        {"trainee's piece", "bestmove d2d4", "The engine played an illegal move: d2d4."},
        {"promotion of a knight", "bestmove g8h6q", "The engine played an illegal move: g8h6q."},
    };
    for (const FaultCase& c : cases) {
        CUciTranslator translator;
        setUp(translator, start);
        translator.command("e4");
        std::string uci;
        ASSERT_TRUE(isParseBestMove(c.bestmove, uci)) << c.name;
        translator.EngineMoved(uci);
        EXPECT_EQ(translator.strFault(), c.fault) << c.name;
        EXPECT_EQ(translator.takeLinesForCaller(), Lines{}) << c.name;
    }
}

TEST(CUciTranslatorTest, CommandsDuringTheSearchWaitForTheEnginesMove) {
    CUciTranslator translator;
    setUp(translator, start);
    translator.command("e4");
    engineLines(translator);
    translator.command("Nf3");
    EXPECT_EQ(engineLines(translator), Lines{});
    translator.EngineMoved("e7e5");
    EXPECT_EQ(translator.takeLinesForCaller(), Lines{"Black(1): e5"});
    EXPECT_EQ(engineLines(translator),
              (Lines{"position fen rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1 "
                     "moves e2e4 e7e5 g1f3",
                     "go movetime 2000 depth 6"}));
}

TEST(CUciTranslatorTest, RefusedInputIsAnsweredAndChangesNothing) {
    CUciTranslator translator;
    translator.command("e4");
    EXPECT_EQ(translator.takeLinesForCaller(), Lines{"Illegal move: e4 (no position is set)"});
    setUp(translator, start);
    engineLines(translator);
    for (const char* bad : {"e5", "Ke2", "0-0", "hello"})
        translator.command(bad);
    EXPECT_EQ(translator.takeLinesForCaller(), (Lines{"Illegal move: e5", "Illegal move: Ke2",
                                                      "Illegal move: 0-0", "Illegal move: hello"}));
    EXPECT_EQ(engineLines(translator), Lines{});
    translator.command("setboard 8/8/8 w - -");
    translator.command("st fast");
    const Lines answers = translator.takeLinesForCaller();
    ASSERT_EQ(answers.size(), 2u);
    EXPECT_EQ(answers[0].rfind("Illegal position: ", 0), 0u) << answers[0];
    EXPECT_EQ(answers[1], "Illegal value: fast");
    // The earlier position is still the game.
    EXPECT_EQ(translator.objPosition()->strGetFEN(),
              "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -");
}

TEST(CUciTranslatorTest, EndQuitsTheEngineEvenDuringASearch) {
    CUciTranslator translator;
    setUp(translator, start);
    translator.command("d4");
    engineLines(translator);
    translator.command("e5");
    translator.command("end");
    EXPECT_EQ(engineLines(translator), Lines{"quit"});
    EXPECT_TRUE(translator.isQuitRequested());
    translator.EngineMoved("d7d5");
    // The queued move and the engine's last answer were dropped with the quit.
    EXPECT_EQ(engineLines(translator), Lines{});
    EXPECT_EQ(translator.takeLinesForCaller(), Lines{});
}

} // namespace
