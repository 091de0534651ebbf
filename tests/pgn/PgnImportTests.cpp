// PGN games into workbook trees and back: stored move texts, the writer, the round trip line for
// line (transpositions, boards sharing a key, deep nesting), the games refused with the reason,
// and where comments, glyphs and tags land, in real collections and hostile annotation text. An
// import stopped part way, by the user, by the workbook, by the stream or by a kill: whole games
// stay, in file order, and the reading stops with the import.
#include "game/Perft.h"
#include "game/PositionConstructors.h"
#include "model/CDiagram.h"
#include "pgn/PgnWriter.h"
#include "tests/game/GameTreeTestSupport.h"
#include "tests/model/Checks.h"
#include "tests/pgn/PgnTestSupport.h"
#include "tests/workbook/KilledChild.h"
#include "workbook/GameAnnotations.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <random>
#include <regex>
#include <tuple>

namespace {

using namespace std::string_literals;

TEST(PgnTreeBuilder, StoresMovesUnderTheProgramsOwnTexts) {
    // the tags, the move as written, the move as stored
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"", "Ngf3", "Nf3"},
        {"", "e2e4", "e4"},
        {"[FEN \"r3k3/8/8/8/8/8/8/4K2R w K - 0 1\"]", "0-0", "O-O"},
        {"[FEN \"r3k3/8/8/8/8/8/8/4K2R b q - 0 1\"]", "O-O-O+", "O-O-O"},
        {"[FEN \"6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1\"]", "Ra8+", "Ra8#"},
        {"[FEN \"4k3/8/8/8/8/8/8/R4RK1 w - - 0 1\"]", "R1d1", "Rad1"},
    };
    for (const auto& [tags, written, stored] : cases) {
        const PgnGame game = OneGame(tags + "\n\n"s + written + " *\n");
        ASSERT_EQ(game.objTree->Count(), 2) << written;
        EXPECT_EQ(game.objTree->Item(2)->objPosition()->strMoveText(), stored) << written;
    }
}

TEST(PgnTreeBuilder, DescriptionComesFromTheTagTheFirstCommentOrThePlayers) {
    const std::pair<std::string, std::string> cases[] = {
        {"[Event \"E\"]\n[White \"W\"]\n\n1. e4 {first} e5 {second} *", "first"},
        {"[Event \"E\"]\n[White \"W\"]\n[Black \"B\"]\n\n1. e4 *", "E"},
        {"[Event \"?\"]\n[White \"Anderssen\"]\n[Black \"Kieseritzky\"]\n\n1. e4 *",
         "Anderssen - Kieseritzky"},
        {"1. e4 *", "? - ?"},
        {"{" + std::string(1000, 'c') + "} 1. e4 *", std::string(1000, 'c')},
        {"[Description \"\"]\n\n{ignored} 1. e4 *", ""},
        // clock and evaluation commands of online games are no words
        {"[Event \"E\"]\n\n1. e4 { [%eval 0.2] [%clk 0:03:00] } e5 {[%clk 0:02:59]} *", "E"},
        {"[Event \"E\"]\n\n1. e4 {[%clk 0:03:00]} e5 {[%csl Gd4][%cal Ge2e4] Opens it} *",
         "Opens it"},
    };
    for (const auto& [pgn, description] : cases)
        EXPECT_EQ(OneGame(pgn).strDescription, description) << pgn;
}

TEST(PgnWriter, WritesNumbersVariationsAndSetUpAsPgnRequires) {
    const PgnGame game = OneGame("[SetUp \"1\"]\n[FEN \"4k3/1P6/8/8/8/8/8/4K3 b - - 0 7\"]\n\n"
                                 "7... Kd7 (7... Kf7 8. b8=Q) 8. b8=N+ Kc7 *");
    // A comment holding a closing brace goes after ";", its line breaks made blanks.
    GameAnnotations annotations;
    annotations.mapNodes[game.objTree->Item(2)->strKey()].strAfter = "a }\nb";
    EXPECT_EQ(
        PgnWriter::strWriteGame(*game.objTree, "Knight\t\"promotion\"", "p. 1", "", annotations),
        "[Event \"Knight \\\"promotion\\\"\"]\n[Site \"?\"]\n[Date \"????.??.??\"]\n"
        "[Round \"?\"]\n[White \"?\"]\n[Black \"?\"]\n[Result \"*\"]\n"
        "[Description \"Knight \\\"promotion\\\"\"]\n[PageRef \"p. 1\"]\n"
        "[DiagramRef \"\"]\n[SetUp \"1\"]\n[FEN \"4k3/1P6/8/8/8/8/8/4K3 b - - 0 7\"]\n\n"
        "7... Kd7 ;a } b\n(7... Kf7 8. b8=Q) 8. b8=N+ Kc7 *\n\n");
}

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

// Moves as numbered movetext from a position where the side given is to move at the number.
std::string Numbered(const std::vector<std::string>& moves, int number, bool white) {
    std::string text;
    for (size_t i = 0; i < moves.size(); ++i) {
        if (white || i == 0) text += std::to_string(number) + (white ? ". " : "... ");
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
    std::string text = "1. Nf3 ";
    for (int ply = 0; ply < depth; ++ply) {
        const std::string number = std::to_string(ply / 2 + 1);
        text += "(" + number + (ply % 2 ? "... " : ". ") + deeper[ply % 4] + " ";
        if (ply + 1 < depth)
            text += (ply % 2 ? std::to_string(ply / 2 + 2) + ". " : "") + main[(ply + 1) % 4] + " ";
    }
    text += std::string(static_cast<size_t>(depth), ')') + " *";
    return {"nested " + std::to_string(depth) + " deep", "", text};
}

TEST(PgnRoundTrip, EveryLineOfEveryGameComesBackInItsOrder) {
    std::vector<Source> sources = {
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
    ASSERT_GT(sources.size(), 4u) << "the search finds no key shared by two boards";
    sources.push_back(NestedGame(60000));

    std::string pgn;
    for (const Source& source : sources) {
        pgn += "[Event \"" + source.name + "\"]\n";
        if (!source.fen.empty()) pgn += "[SetUp \"1\"]\n[FEN \"" + source.fen + "\"]\n";
        pgn += "\n" + source.movetext + "\n\n";
    }
    TempFolder folder;
    const std::string exported = ImportAndExport(pgn, folder.file("a.brl"));
    // The movetext of every game: the export writes each game as its tags, a blank line, its
    // movetext and a blank line.
    std::vector<std::string> back;
    for (size_t at = exported.find("\n\n"), end; at != std::string::npos;
         at = exported.find("\n\n", end + 2)) {
        end = exported.find("\n\n", at + 2);
        back.push_back(exported.substr(at + 2, end - at - 2));
        if (end == std::string::npos) break;
    }
    ASSERT_EQ(back.size(), sources.size()) << "a game was skipped";
    for (size_t i = 0; i < sources.size(); ++i)
        EXPECT_EQ(Tokens(back[i]), Tokens(sources[i].movetext)) << sources[i].name;
}

TEST_F(PgnBook, GamesThatCannotBeKeptAreSkippedWithTheReason) {
    const std::string limit(1000000, 'z'); // the longest row a workbook keeps
    const std::string half(499900, 'h');   // two fit the tag section, not the game's row
    std::string longest;                   // to move 32767, the last a workbook numbers
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
        // the next game's tags end a variation left open
        {"1. e4 (1. d4 *", "game 1: unterminated variation"},
        {"1. e4 1-0 {never closed", "game 2: unterminated comment from line 1"},
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
        {"[Annotator \"" + limit + "\"]\n\n1. e4 *", "tag section is too long"},
        {"[Description \"" + limit + "\"]\n\n1. e4 *",
         "game row (its description, page and diagram)"},
        {"[PageRef \"" + half + "\"]\n[DiagramRef \"" + half + "\"]\n\n{" + std::string(1000, 'c') +
             "} 1. e4 *",
         "game row (its description, page and diagram) is too long to store"},
        {"1. e4 {a {b} c} e5 *", "move in 1... c"},
        {"1. e4 $1000 *", "bad annotation glyph"},
        // the trainee cannot play a pass (the ways to write one are read in variations)
        {"1. e4 e5 2. -- Nf6 *", "null move in the main line at 2. --"},
        // after a variation left out, the main line is read as before
        {"1. e4 (1. d4 -- 2. c4 (2. Nf3)) e5 2. Ke3 *", "illegal move 2. Ke3"},
    };
    for (const auto& [pgn, line] : cases) {
        skipped.clear();
        // The read and imported counts are checked where an import is cancelled.
        EXPECT_EQ(Import(pgn + "\n\n[Event \"good\"]\n\n1. e4 *\n").intSkipped, 1) << line;
        ASSERT_EQ(skipped.size(), 1u) << line;
        EXPECT_TRUE(Contains(skipped[0].substr(0, 300), line));
    }
    EXPECT_EQ(workbook.arrlngGetGameIDs().size(), std::size(cases));
}

// Every annotated node as "path|before|after|nags", sorted, the path being the move texts from the
// root to the node ("" for the root): comparable between two reads of the same game even though
// node keys are positions.
std::vector<std::string> Marks(const PgnGame& game) {
    std::vector<std::string> marks;
    for (const auto& [key, node] : game.objAnnotations.mapNodes) {
        if (node.isEmpty()) continue;
        std::string path;
        for (auto at = game.objTree->Item(key); at->strKey() != CGameNode::strINITIAL_KEY();
             at = game.objTree->Item(at->strParentKey()))
            path = at->objPosition()->strMoveText() + (path.empty() ? "" : " " + path);
        marks.push_back(path + "|" + node.strBefore + "|" + node.strAfter + "|" +
                        GameAnnotations::strNagsText(node.arrNags));
    }
    std::sort(marks.begin(), marks.end());
    return marks;
}

TEST(PgnAnnotations, CommentsAndGlyphsLandOnTheirMoves) {
    const std::tuple<const char*, std::string, std::vector<std::string>> cases[] = {
        {"after moves, suffixes as glyphs 1 to 6",
         "1. e4! {good} e5? 2. Nf3!! Nc6?? 3. Bb5!? a6?! *",
         {"e4 e5 Nf3 Nc6 Bb5 a6|||6", "e4 e5 Nf3 Nc6 Bb5|||5", "e4 e5 Nf3 Nc6|||4", "e4 e5 Nf3|||3",
          "e4 e5|||2", "e4||good|1"}},
        {"game comment and marks on the start position",
         "$10 {Opening words} {more} 1. d4 $146 *",
         {"d4|||146", "|Opening words more||10"}},
        {"variation start comment and glyph go to its first move",
         "1. e4 e5 ({Or} $5 1... c5 {Sicilian}) 2. Nf3 *",
         {"e4 c5|Or|Sicilian|5"}},
        {"an empty variation's words stay beside its move",
         "1. e4 ({Nothing here} $2) e5 *",
         {"e4||Nothing here|2"}},
        {"blanks and line breaks squeezed, words kept",
         "1. e4 {  two\n   lines  } ; to the end } of the line\n e5 *",
         {"e4||two lines to the end } of the line|"}},
        {"control characters in a comment are dropped",
         std::string("1. e4 e5 2. Nf3 {one \0\ntwo th\0r\x14"
                     "ee} *",
                     37),
         {"e4 e5 Nf3||one two three|"}},
        {"glyphs above 255 and $0 kept as read", "1. e4 $0 $300 *", {"e4|||0 300"}},
        {"positional glyphs written as signs",
         "1. e4 += e5 =+ 2. Nf3 +/- Nc6 -/+ 3. Bb5 +- a6 -+ 4. Ba4 = \xE2\x88\x9E Nf6 \xC2\xB1 *",
         {"e4 e5 Nf3 Nc6 Bb5 a6 Ba4 Nf6|||16", "e4 e5 Nf3 Nc6 Bb5 a6 Ba4|||10 13",
          "e4 e5 Nf3 Nc6 Bb5 a6|||19", "e4 e5 Nf3 Nc6 Bb5|||18", "e4 e5 Nf3 Nc6|||17",
          "e4 e5 Nf3|||16", "e4 e5|||15", "e4|||14"}},
        {"escape lines are not comments", "1. e4\n% not a comment\ne5 *", {}},
    };
    for (const auto& [name, pgn, marks] : cases)
        EXPECT_EQ(Marks(OneGame(pgn)), marks) << name;
}

// Import, export, import the export and export again: the same text, with every tag, comment
// and glyph of the source, and the results kept: real collections, quoted tags, set-ups, and
// text at the edges of what a file may hold. (The texts a game cannot be kept with
// are in GamesThatCannotBeKeptAreSkippedWithTheReason.)
TEST(PgnAnnotations, CollectionsAndTextsAtTheEdgesSurviveTheRoundTrip) {
    const std::string longest(1000000 - 64 - 20, 'y'); // fits a row with its node key
    const std::string e = "[Event \"e\"]\n\n";
    std::string braces; // wider than a line
    for (int i = 0; i < 40; ++i)
        braces += "} brace ";
    // texts: of the first export
    const std::tuple<const char*, std::string, std::vector<std::string>> sources[] = {
        {"sample collection", FileBytes(BRISOLT_SAMPLE_PGN), {}},
        {"annotated collection",
         FileBytes(BRISOLT_ANNOTATED_PGN),
         {"[Result \"1-0\"]", "café-style chess, ¡olé!} 1-0\n", "[White \"Ana Núñez\"]",
          "[Annotator \"Brisolt tests\"]", "[My-Source:Page \"12\"]", "[Result \"0-1\"]",
          ";a comment to the end of the line, with a } brace\n", "$10 {White to move",
          "[Result \"1/2-1/2\"]", "1/2-1/2\n", "({Better is} 3... g6 $1", "2. h4 $4 $6 Rc1+ 0-1\n",
          "{A game without moves: only this comment.} *"}},
        {"quoted texts, set-ups, en passant and an underpromotion",
         "[Event \"x\"]\n[Description \"He said \\\"O'Brien\\\" \\\\ twice\"]\n"
         "[PageRef \"p.'9'\\\\\"]\n[DiagramRef \"#3\"]\n\n1. e4 e5 (1... c5 2. Nf3 (2. c3) d6) "
         "(1... e6) 2. Nf3 Nc6 3. Bb5 a6 4. Ba4 Nf6 5. O-O Be7 6. Re1 b5 7. Bb3 d6 8. c3 O-O "
         "9. h3 Nb8 10. d4 Nbd7 *\n\n"
         "[SetUp \"1\"]\n[FEN \"4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 41\"]\n\n41. exd6 Kd7 "
         "42. Kd2 Kxd6 *\n\n"
         "[SetUp \"1\"]\n[FEN \"4k3/1P6/8/8/8/8/8/4K3 b - - 0 7\"]\n\n7... Kd7 8. b8=N+ Kc7 *\n",
         {"[Description \"He said \\\"O'Brien\\\" \\\\ twice\"]\n[PageRef \"p.'9'\\\\\"]\n"
          "[DiagramRef \"#3\"]",
          "41. exd6 Kd7 42. Kd2 Kxd6 *", "7... Kd7 8. b8=N+ Kc7 *"}},
        // Found by fuzzing: a NUL inside a tag once ended the SQL text early and failed the whole
        // import.
        {"control characters and NULs in tags and comments are dropped",
         "[Event \"E\"]\n[Description \"D\"]\n[PageRef \"p.\x01\0\0\0\0\0\0\x0f 4\"]\n"
         "[DiagramRef \"12\"]\n\n{comment} 1. e4 *\n\n[Event \"E\"]\n[Description \"a\0b\"]\n\n"
         "1. d4 d5 *\n\n[Event \"F\"]\n[White \"W\"]\n\n1. e4 {fir\0st} e5 *\n"s,
         {"[Description \"D\"]\n[PageRef \"p. 4\"]\n[DiagramRef \"12\"]", "[Description \"ab\"]",
          "[Description \"first\"]"}},
        {"a comment that fits with its node key",
         e + "1. e4 {" + longest + "} *",
         {"{" + longest + "}"}},
        {"the largest glyph kept", e + "1. e4 $999 *", {"1. e4 $999 *"}},
        {"lone brackets in a comment are words",
         e + "{x ( a ) y} 1. e4 {( b )} (1. d4) *",
         {"{x ( a ) y} 1. e4 {( b )} (1. d4) *"}},
        {"a percent line inside a comment is words", e + "1. e4 {a\n%b} e5 *", {"{a %b}"}},
        {"a long comment holding a closing brace", e + "1. e4 ;" + braces + "\ne5 *", {}},
        {"an opening brace inside a rest-of-line comment",
         e + "1. e4 ; a { brace\ne5 *",
         {"{a { brace}"}},
        {"a rest-of-line comment at the end of the file", e + "1. e4 e5 ; last", {"{last}"}},
        {"a rest-of-line comment closing a variation",
         e + "1. e4 (1. d4 ; inside\n) e5 *",
         {"(1. d4 {inside})"}},
        {"glyph and comment on the root of a game without moves",
         e + "$2 {words} *",
         {"$2 {words} *"}},
        {"a result without its tag", e + "1. e4 0-1", {"[Result \"0-1\"]"}},
        {"comments after a result stay with their game, not describing it",
         "[Event \"A\"]\n\n1. e4 1-0 {on time}\n\n[Event \"B\"]\n\n1. d4 0-1 ; resigned",
         {"[Description \"A\"]", "1. e4 {on time} 1-0\n", "1. d4 {resigned} 0-1\n"}},
        {"or open the next game when it has no tags",
         "1. e4 1-0 {opens B} 1. d4 *",
         {"{opens B} 1. d4 *"}},
        {"variations with null moves are left out from there, with their words and glyphs",
         e + "1. e4 e5 2. Nf3 (2. Bc4 Nf6 3. -- {threat} $1 Nxe4 (3... d6 {x})) (2. d4 Z0) "
             "(2. c3 0000 3. d4) (2. Nc3 @@@@) (2. a3 null 3. b4) 2... Nc6 {kept} *",
         {"2. Nf3 (2. Bc4 Nf6) (2. d4) (2. c3) (2. Nc3) (2. a3) 2... Nc6 {kept} *"}},
    };
    for (const auto& [name, original, texts] : sources) {
        SCOPED_TRACE(name);
        TempFolder folder;
        ASSERT_FALSE(original.empty());
        const std::string exported = ImportAndExport(original, folder.file("a.brl"));
        EXPECT_EQ(ImportAndExport(exported, folder.file("b.brl")), exported);
        for (const std::string& text : texts)
            EXPECT_TRUE(Contains(exported, text));
        // Movetext lines are filled up to their width, a move number staying with its move: the
        // next line's first move would not have fitted. Tag lines, comments to the end of a line
        // and a word longer than the width are as long as their texts.
        std::istringstream lines(exported);
        std::string line, next;
        for (std::getline(lines, line); std::getline(lines, next); line = next) {
            if (line.empty() || line[0] == '[') continue;
            EXPECT_TRUE(line.size() <= 80 || line.find(' ') == std::string::npos) << line;
            if (next.empty() || line.find(';') != std::string::npos) continue;
            // The next line's first word: a move with its number, or a whole comment.
            const size_t start = next.find_first_not_of('(');
            size_t unit = next[start] == '{' ? next.find('}') + 1 : next.find(' ');
            if (next[start] == ';')
                unit = next.size();
            else if (unit != std::string::npos && next[unit - 1] == '.')
                unit = next.find(' ', unit + 1);
            EXPECT_GT(line.size() + 1 + std::min(unit, next.size()), 80u) << line << '\n' << next;
        }

        auto before = ReadGames(original);
        auto after = ReadGames(exported);
        ASSERT_EQ(before.size(), after.size());
        for (size_t i = 0; i < before.size(); ++i) {
            SCOPED_TRACE("game " + std::to_string(i + 1));
            ASSERT_TRUE(after[i].objTree) << after[i].strError;
            EXPECT_EQ(Marks(after[i]), Marks(before[i]));
            for (const auto& [tag, value] : before[i].arrTags) {
                if (tag == "FEN") continue;
                EXPECT_EQ(after[i].strTag(tag), value) << tag;
            }
        }
    }
}

TEST_F(PgnBook, Latin1IsToldNullMoveVariationsNotedAndAFailedExportSaysSo) {
    EXPECT_TRUE(Import("[White \"N\372\361ez\"]\n\n1. e4 *\n").isLatin1);
    // A game kept without its variations with null moves says so, once.
    std::vector<std::string> noted;
    PgnImportOptions options;
    options.noted = [&](const std::string& line) { noted.push_back(line); };
    Import("[Event \"S\"]\n\n1. e4 (1. d4 -- 2. c4) (1. c4 Z0) e5 *", options);
    EXPECT_EQ(noted, std::vector<std::string>{"game 1 [Event \"S\"]: 2 variations with null moves "
                                              "left out, the first at 1... --"});
    std::ostream unwritable(nullptr); // as a full disk leaves it
    EXPECT_THROW(ExportPgn(workbook, unwritable), CError);
    std::ostringstream none; // a missing game is named before anything is written
    EXPECT_THROW(ExportPgn(workbook, none, {workbook.arrlngGetGameIDs().at(0), 999}), CError);
    EXPECT_EQ(none.str(), "");
}

// The games "G1" to "G<count>", each of seven nodes.
std::string GamesPgn(int count) {
    std::string pgn;
    for (int i = 1; i <= count; ++i)
        pgn += "[Event \"G" + std::to_string(i) + "\"]\n\n1. e4 e5 2. Nf3 (2. Bc4 Nf6) Nc6 *\n\n";
    return pgn;
}

size_t ThreadCount() {
    const std::filesystem::directory_iterator tasks("/proc/self/task");
    return static_cast<size_t>(std::distance(begin(tasks), end(tasks)));
}

// How many games the workbook holds, checked to be the games G1 to G<count> of GamesPgn, whole.
int FirstGamesStored(const std::string& path) {
    CWorkBook workbook;
    workbook.strOpenWorkBook(path);
    const std::vector<int32_t> ids = workbook.arrlngGetGameIDs();
    for (size_t i = 0; i < ids.size(); ++i) {
        std::string description, page, diagram;
        const auto tree = workbook.objLoadGame(ids[i], description, page, diagram);
        EXPECT_EQ(description + "|" + page + "|" + diagram, "G" + std::to_string(i + 1) + "||");
        EXPECT_EQ(tree ? tree->Count() : 0, 7) << description;
    }
    return static_cast<int>(ids.size());
}

// The result describes the text up to the game cancelled at, not the games read ahead of it.
TEST_F(PgnBook, CancellingKeepsOnlyWholeGamesAndStopsTheReading) {
    std::string pgn = GamesPgn(10000);
    // Latin-1 text just after the first block the reader takes, a few games after the cancel.
    const size_t latin1 = pgn.find("[Event", 1 << 16);
    pgn.insert(latin1, "[Annotator \"Jos\xE9\"]\n");
    int cancelAt = -10;
    for (size_t at = 0; at < latin1; at = pgn.find("[Event", at) + 1)
        ++cancelAt;
    const size_t threads = ThreadCount();
    std::atomic<bool> cancel{false};
    PgnImportOptions options;
    options.intBatchSize = 3;
    options.cancel = &cancel;
    options.progress = [&](int read, int, int) {
        if (read == cancelAt) cancel = true;
    };
    std::istringstream input(pgn);
    PgnImportResult result = ImportPgn(workbook, input, options);
    EXPECT_TRUE(result.isCancelled);
    EXPECT_EQ(result.intRead, cancelAt);
    EXPECT_EQ(result.intImported, cancelAt);
    EXPECT_FALSE(result.isLatin1);
    EXPECT_EQ(ThreadCount(), threads);
    EXPECT_LT(input.rdbuf()->pubseekoff(0, std::ios::cur, std::ios::in),
              static_cast<std::streamoff>(pgn.size() / 2))
        << "the reading went on after the cancel";
    workbook.CloseWorkBook();
    EXPECT_EQ(FirstGamesStored(path), cancelAt);
}

// The text, up to a number of bytes; reading beyond them throws the failure, which reaches the
// reader or, as a file's read error does, only sets the stream's bad bit.
class FailingStream : private std::streambuf, public std::istream {
public:
    FailingStream(const std::string& text, size_t bytes, std::exception_ptr failure,
                  bool isThrowing = true)
        : std::istream(this), m_text(text, 0, bytes), m_failure(std::move(failure)) {
        setg(m_text.data(), m_text.data(), m_text.data() + m_text.size());
        if (isThrowing) exceptions(std::ios::badbit);
    }

private:
    std::streambuf::int_type underflow() override { std::rethrow_exception(m_failure); }

    std::string m_text;
    std::exception_ptr m_failure;
};

// What reading throws reaches the caller once the games read before it are written; the games of
// the committed batches stay.
TEST(PgnImportStop, AStreamThatThrowsStopsTheImportAfterTheGamesReadBefore) {
    const std::string pgn = GamesPgn(4000);
    const auto streamError = std::make_exception_ptr(std::runtime_error("the device went away"));
    const auto modelError = std::make_exception_ptr(CError(9999, "PGN", "the device went away"));
    const std::string gone = "the device went away";
    const std::string unread = "The PGN text could not be read to its end";
    // bytes: handed out before the stream throws; isThrowing: the stream throws, or sets its bad
    // bit only
    const std::tuple<const char*, size_t, std::exception_ptr, bool, std::string> cases[] = {
        {"in the first block", 1000, streamError, true, gone},
        {"in the second block", 70000, streamError, true, gone},
        {"a model error, reported as a workbook failure", 70000, modelError, true, gone},
        {"a read error of a file, never taken for the end", 70000, streamError, false, unread},
    };
    constexpr int kBatch = 7;
    for (const auto& [name, bytes, failure, isThrowing, message] : cases) {
        SCOPED_TRACE(name);
        // The games a plain reading of the stream gives before it throws.
        int readBefore = 0;
        try {
            FailingStream plain(pgn, bytes, failure, isThrowing);
            PgnReader reader(plain);
            PgnTreeBuilder builder;
            while (reader.readGame(builder))
                ++readBefore;
            ADD_FAILURE() << "the stream did not throw";
        } catch (const std::exception&) {
        }
        const int kept = readBefore / kBatch * kBatch;
        TempFolder folder;
        const size_t threads = ThreadCount();
        int lastRead = 0;
        PgnImportOptions options;
        options.intBatchSize = kBatch;
        options.progress = [&](int read, int, int) { lastRead = read; };
        {
            CWorkBook workbook;
            workbook.strOpenWorkBook(folder.file("book.brl"));
            FailingStream input(pgn, bytes, failure, isThrowing);
            try {
                ImportPgn(workbook, input, options);
                ADD_FAILURE() << "the import ended without the failure";
            } catch (const PgnImportError& error) {
                EXPECT_EQ(error.objKept.intRead, readBefore);
                EXPECT_EQ(error.objKept.intImported, kept);
                EXPECT_TRUE(Contains(error.what(), message + " (the import stopped at game " +
                                                       std::to_string(readBefore) + "; " +
                                                       std::to_string(kept) +
                                                       " games imported before are kept)"));
            }
            // The workbook goes on working: the next game, imported alone, is kept after them.
            std::istringstream next(GamesPgn(kept + 1).substr(GamesPgn(kept).size()));
            EXPECT_EQ(ImportPgn(workbook, next).intImported, 1);
        }
        EXPECT_EQ(lastRead, readBefore);
        EXPECT_EQ(ThreadCount(), threads);
        EXPECT_EQ(FirstGamesStored(folder.file("book.brl")), kept + 1);
    }
}

// A kill at any moment keeps whole batches: each is committed or not at all.
TEST(PgnImportStop, AKilledImportKeepsWholeBatchesOfWholeGames) {
    TempFolder folder(MemoryFolder());
    const std::string pgn = GamesPgn(5000);
    constexpr int kBatch = 7;
    std::mt19937 random(4);
    int sawGames = 0;
    for (int round = 0; round < 8; ++round) {
        const std::string path = folder.file("import-" + std::to_string(round) + ".brl");
        CWorkBook().strOpenWorkBook(path);
        const KilledChild import = RunAndKill(
            [&](int pipe) {
                CWorkBook workbook;
                workbook.strOpenWorkBook(path);
                std::istringstream input(pgn);
                PgnImportOptions options;
                options.intBatchSize = kBatch;
                options.progress = [&](int, int imported, int) {
                    if (imported == kBatch) Tell(pipe, 0);
                };
                ImportPgn(workbook, input, options);
            },
            static_cast<useconds_t>(std::uniform_int_distribution<int>(0, 30000)(random)));
        ASSERT_TRUE(import.killed) << "the import ended by itself";
        const int stored = FirstGamesStored(path);
        EXPECT_EQ(stored % kBatch, 0) << "a batch was cut";
        sawGames += stored;
    }
    EXPECT_GT(sawGames, 0);
}

} // namespace
