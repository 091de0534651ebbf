#include "engine/EngineOutput.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

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
