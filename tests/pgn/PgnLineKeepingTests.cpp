// Games go into a workbook file and come out line for line: transpositions, boards that share a
// key, deep nesting, and the games that import refuses with the reason.
#include "game/Perft.h"
#include "game/PositionConstructors.h"
#include "tests/game/KeyCollisionFinder.h"
#include "tests/model/Checks.h"
#include "tests/pgn/PgnTestSupport.h"

#include <gtest/gtest.h>
#include <regex>
#include <tuple>

namespace {

// The movetext as tokens, so that line breaks and the spacing of parentheses do not matter;
// check marks are not stored and are left out.
std::vector<std::string> Tokens(const std::string& movetext) {
    static const std::regex token("[()]|[^\\s()+]+");
    std::vector<std::string> tokens;
    for (auto it = std::sregex_iterator(movetext.begin(), movetext.end(), token);
         it != std::sregex_iterator(); ++it)
        tokens.push_back(it->str());
    return tokens;
}

// The movetext of every game of a PGN text written by the export: each game is its tags, a blank
// line, its movetext and a blank line.
std::vector<std::string> Movetexts(const std::string& pgn) {
    std::vector<std::string> texts;
    for (size_t at = pgn.find("\n\n"), end; at != std::string::npos;
         at = pgn.find("\n\n", end + 2)) {
        end = pgn.find("\n\n", at + 2);
        texts.push_back(pgn.substr(at + 2, end - at - 2));
        if (end == std::string::npos) break;
    }
    return texts;
}

// Moves as numbered movetext from a position where the side given is to move at the number.
std::string Numbered(const std::vector<std::string>& moves, int number, bool white) {
    std::string text;
    for (size_t i = 0; i < moves.size(); ++i) {
        if (white) text += std::to_string(number) + ". ";
        if (!white && i == 0) text += std::to_string(number) + "... ";
        text += moves[i] + " ";
        if (!white) ++number;
        white = !white;
    }
    return text;
}

struct Source {
    std::string name;
    std::string fen; // "" for the standard start
    std::string movetext;
};

// A game with two lines from the start that reach the same key, each with a continuation: the
// first as the main line, the second as a variation of the first move.
Source CollisionGame(const KeyCollision& found) {
    std::vector<std::string> lines[2] = {found.first, found.second};
    for (auto& line : lines) {
        auto position = objNewStartPosition();
        for (const std::string& move : line)
            position = position->objProcessMove(position, move);
        line.push_back(arrGetLegalMoves(position).front().position->strMoveText());
    }
    const std::vector<std::string> rest(lines[0].begin() + 1, lines[0].end());
    return {"collision at " + found.key, "",
            Numbered({lines[0][0]}, 1, true) + "(" + Numbered(lines[1], 1, true) + ") " +
                Numbered(rest, 1, false) + "*"};
}

// A game nested as deep as asked: every variation holds the next one. Two knights go out and
// back, and at every move the main line tries another square.
Source NestedGame(int depth) {
    const char* const deeper[] = {"Nh3", "Nh6", "Ng1", "Ng8"};
    const char* const main[] = {"Nf3", "Nf6", "Ng5", "Ng4"};
    std::string text;
    for (int ply = 0; ply < depth; ++ply) {
        const int number = ply / 2 + 1;
        const bool white = ply % 2 == 0;
        const std::string prefix = std::to_string(number) + (white ? ". " : "... ");
        if (ply == 0) text += prefix + main[0] + " ";
        text += "(" + prefix + deeper[ply % 4] + " ";
        if (ply + 1 < depth) {
            const int next = ply + 1;
            text += (next % 2 == 0 ? std::to_string(next / 2 + 1) + ". " : "") +
                    std::string(main[next % 4]) + " ";
        }
    }
    text += std::string(static_cast<size_t>(depth), ')') + " *";
    return {"nested " + std::to_string(depth) + " deep", "", text};
}

TEST_F(PgnBook, EveryLineOfEveryGameComesBackInItsOrder) {
    std::vector<Source> sources = {
        {"boards with one key", "", "1. d4 (1. a4 Nf6 2. Nf3 d5 3. e3) 1... f5 2. Nf3 e6 3. g3 *"},
        // The variation reaches the main line's position after 2...Bg5 by another order; the
        // main line goes on to mate.
        {"study: the mate stays", "8/p3b3/6pp/7k/R7/5N1P/6P1/K7 w - - 0 1",
         "1. Kb1 (1. Rg4 a6 2. Kb1 Bg5 3. Rh4+ Bxh4 4. Nxh4) 1... a6 2. Rg4 Bg5 3. Rh4+ Bxh4 "
         "4. g4# *"},
        // The main line transposes into the variation at 3...Bc5 and goes on its own way.
        {"study: the main line stays main", "",
         "1. e4 e5 2. Nf3 (2. Bc4 Nc6 3. Nf3 Bc5 4. O-O) 2... Nc6 3. Bc4 Bc5 4. c3 Nf6 5. d4 *"},
        {"variations that repeat the move beside them", "",
         "1. e4 (1. e4 c5) (1. d4) (1. d4 d5) 1... e5 2. Nf3 (2. Nf3 Nc6) *"},
        {"transpositions in both orders", "",
         "1. Nf3 (1. Nc3 Nc6 2. Nf3 Nf6 3. e4) 1... Nc6 2. Nc3 Nf6 3. d4 (3. e4 d6) 3... e6 *"},
    };
    for (const KeyCollision& found : FindKeyCollisions(objNewStartPosition(), 3, 8))
        sources.push_back(CollisionGame(found));
    ASSERT_GT(sources.size(), 5u) << "the search finds no key shared by two boards";
    sources.push_back(NestedGame(60000));

    std::string pgn;
    for (const Source& source : sources) {
        pgn += "[Event \"" + source.name + "\"]\n";
        if (!source.fen.empty()) pgn += "[SetUp \"1\"]\n[FEN \"" + source.fen + "\"]\n";
        pgn += "\n" + source.movetext + "\n\n";
    }
    PgnImportResult result = Import(pgn);
    ASSERT_EQ(result.intImported, static_cast<int>(sources.size())) << FirstSkipped();
    const std::vector<std::string> back = Movetexts(Export());
    ASSERT_EQ(back.size(), sources.size());
    for (size_t i = 0; i < sources.size(); ++i)
        EXPECT_EQ(Tokens(back[i]), Tokens(sources[i].movetext)) << sources[i].name;
}

TEST_F(PgnBook, GamesThatCannotBeKeptAreSkippedWithTheReason) {
    const std::string limit(1000000, 'z'); // the longest row a workbook keeps
    const std::string huge(1100000, 'x');
    std::string longest; // to move 32767, the last a workbook numbers
    const char* const shuffle[] = {"Nf3", "Nf6", "Ng1", "Ng8"};
    for (int ply = 0; ply < 2 * 32767; ++ply)
        longest += std::string(ply % 2 == 0 ? std::to_string(ply / 2 + 1) + ". " : "") +
                   shuffle[ply % 4] + " ";
    EXPECT_EQ(ReadGames(longest + "*").at(0).strError, "");
    const std::string tooLong = longest + "32768. Ng1 ";
    const std::tuple<std::string, std::string> cases[] = {
        {"[Event \"Club\"]\n[White \"Smith\"]\n[Black \"O'Hara\"]\n\n1. e4 e5 2. Nf3 Nc6 3. Nxe5 "
         "Nxe5 4. Qxe5 *",
         "game 1 [Event \"Club\"] [White \"Smith\"] [Black \"O'Hara\"]: illegal move 4. Qxe5"},
        {"[SetUp \"1\"]\n[FEN \"8/8/8/8 w - -\"]\n\n1. e4 *", "game 1: bad FEN \"8/8/8/8 w - -\""},
        {"1. e4 (1. d4 *", "game 1: unterminated variation"},
        {"1. e4 e5 2. Sf3 Sc6 3. Lb5 a6 *", "unknown piece letter S in 2. Sf3"},
        {"1. e4 Xe5 *", "unknown piece letter X in 1... Xe5"},
        {"1. e4 e5 2. Nxf3 *", "capture mark on a move that takes nothing in 2. Nxf3"},
        {"[Variant \"Chess960\"]\n\n1. e4 *", "Chess960 games are not supported"},
        {"[Variant \"fischerandom\"]\n\n1. e4 *", "Chess960 games are not supported"},
        {"[SetUp \"1\"]\n[FEN \"bqnbrkrn/pppppppp/8/8/8/8/PPPPPPPP/BQNBRKRN w GEge - 0 1\"]\n\n"
         "1. g3 *",
         "Chess960 games are not supported"},
        {tooLong + "*", "the game goes beyond move 32767"},
        {"[SetUp \"1\"]\n[FEN \"k7/8/8/8/8/8/8/K6\x1B w - - 0 1\"]\n\n1. Kb1 *", "K6\""},
        {"[Event \"a\x1B[2Jb\"]\n\n1. e4 Sf3 *",
         "[Event \"a[2Jb\"]: unknown piece letter S in 1... Sf3"},
        {"1. e4 {" + limit + "} *",
         "annotation of a move (its comments, glyphs and node key) is too long to store"},
        {"1. e4 {" + huge + "} *", "too long"},
        {"[Annotator \"" + limit + "\"]\n\n1. e4 *", "tag section is too long"},
        {"[Description \"" + limit + "\"]\n\n1. e4 *", "tag section is too long"},
        {"1. e4 } e5 *", "unexpected character '}'"},
        {"1. e4 {a {b} c} e5 *", "move in 1... c"},
        {"1. e4 $1000 *", "bad annotation glyph"},
        {"1. e4 (1. d4 d5 (1... -- 2. c4)) e5 *", "unreadable move in 1... --"},
    };
    for (const auto& [pgn, line] : cases) {
        skipped.clear();
        PgnImportResult result = Import(pgn + "\n\n[Event \"good\"]\n\n1. e4 *\n");
        EXPECT_EQ(result.intRead, 2) << line;
        EXPECT_EQ(result.intImported, 1) << line;
        EXPECT_EQ(result.intSkipped, 1) << line;
        ASSERT_EQ(skipped.size(), 1u) << line;
        EXPECT_TRUE(Contains(skipped[0].substr(0, 300), line));
    }
    EXPECT_EQ(workbook.arrlngGetGameIDs().size(), std::size(cases));
}

} // namespace
