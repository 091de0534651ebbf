// Comments, glyphs and tags through PGN import and export: where the reader's words land, the
// round trip of real collections, and hostile annotation text.
#include "tests/model/Checks.h"
#include "tests/pgn/PgnTestSupport.h"
#include "workbook/GameAnnotations.h"

#include <algorithm>
#include <tuple>

namespace {

// The move texts from the root to the node, joined by spaces ("" for the root).
std::string PathOf(const CGameTree& tree, std::string key) {
    std::string path;
    while (key != CGameNode::strINITIAL_KEY()) {
        const auto& node = tree.Item(key);
        path = node->objPosition()->strMoveText() + (path.empty() ? "" : " " + path);
        key = node->strParentKey();
    }
    return path;
}

// Every annotated node as "path|before|after|nags", sorted: comparable between two reads of the
// same game even though node keys are positions.
std::vector<std::string> Marks(const PgnGame& game) {
    std::vector<std::string> marks;
    for (const auto& [key, node] : game.objAnnotations.mapNodes) {
        if (node.isEmpty()) continue;
        marks.push_back(PathOf(*game.objTree, key) + "|" + node.strBefore + "|" + node.strAfter +
                        "|" + GameAnnotations::strNagsText(node.arrNags));
    }
    std::sort(marks.begin(), marks.end());
    return marks;
}

std::string ImportAndExport(const std::string& pgn, const std::string& path,
                            PgnImportResult* result = nullptr) {
    CWorkBook workbook;
    workbook.strOpenWorkBook(path);
    std::istringstream input(pgn);
    PgnImportResult imported = ImportPgn(workbook, input);
    if (result) *result = imported;
    std::ostringstream output;
    ExportPgn(workbook, output);
    return output.str();
}

TEST(PgnAnnotations, CommentsAndGlyphsLandOnTheirMoves) {
    const std::tuple<const char*, std::string, std::vector<std::string>> cases[] = {
        {"after moves, suffixes as glyphs 1 to 6",
         "1. e4! {good} e5? 2. Nf3!! Nc6?? 3. Bb5!? a6?! *",
         {"e4 e5 Nf3 Nc6 Bb5 a6|||6", "e4 e5 Nf3 Nc6 Bb5|||5", "e4 e5 Nf3 Nc6|||4", "e4 e5 Nf3|||3",
          "e4 e5|||2", "e4||good|1"}},
        {"game comment and marks on the start position",
         "$10 {Opening words} {more} 1. d4 $146 *",
         {"|Opening words more||10", "d4|||146"}},
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
        {"a game without moves keeps its comment", "{Only words.} *", {"|Only words.||"}},
        {"escape lines are not comments", "1. e4\n% not a comment\ne5 *", {}},
    };
    for (const auto& [name, pgn, marks] : cases) {
        SCOPED_TRACE(name);
        auto games = ReadGames(pgn);
        ASSERT_EQ(games.size(), 1u);
        ASSERT_TRUE(games[0].objTree) << games[0].strError;
        std::vector<std::string> expected = marks;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(Marks(games[0]), expected);
    }
}

// Import, export, import the export and export again: the same text, with every tag, comment
// and glyph of the source.
TEST(PgnAnnotations, CollectionsSurviveTheRoundTrip) {
    const std::vector<std::string> sources = {BRISOLT_SAMPLE_PGN, BRISOLT_ANNOTATED_PGN};
    for (const std::string& source : sources) {
        SCOPED_TRACE(source);
        TempFolder folder;
        const std::string original = FileBytes(source);
        ASSERT_FALSE(original.empty());
        PgnImportResult first;
        const std::string exported = ImportAndExport(original, folder.file("a.brl"), &first);
        EXPECT_EQ(first.intSkipped, 0);
        EXPECT_EQ(ImportAndExport(exported, folder.file("b.brl")), exported);
        // Movetext lines are filled up to their width, a move number staying with its move: the
        // next line's first move would not have fitted. Tag lines and comments to the end of a
        // line are as long as their texts.
        std::istringstream lines(exported);
        std::string line, next;
        for (std::getline(lines, line); std::getline(lines, next); line = next) {
            if (line.empty() || line[0] == '[' || line[0] == ';') continue;
            EXPECT_LE(line.size(), 80u) << line;
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
            for (const auto& [name, value] : before[i].arrTags) {
                if (name != "FEN") {
                    EXPECT_EQ(after[i].strTag(name), value) << name;
                }
            }
        }
    }
}

TEST(PgnAnnotations, ExportKeepsTheResultAndWritesEveryKindOfNote) {
    TempFolder folder;
    const std::string exported =
        ImportAndExport(FileBytes(BRISOLT_ANNOTATED_PGN), folder.file("a.brl"));
    for (const char* expected :
         {"[Result \"1-0\"]", "café-style chess, ¡olé!} 1-0\n", "[White \"Ana Núñez\"]",
          "[Annotator \"Brisolt tests\"]", "[My-Source:Page \"12\"]", "[Result \"0-1\"]",
          ";a comment to the end of the line, with a } brace\n", "$10 {White to move",
          "[Result \"1/2-1/2\"]", "1/2-1/2\n", "({Better is} 3... g6 $1", "2. h4 $4 $6 Rc1+ 0-1\n",
          "{A game without moves: only this comment.} *"})
        EXPECT_TRUE(Contains(exported, expected));
}

// Latin-1 texts are stored and written as UTF-8; a file that is no text gives no games.
TEST(PgnAnnotations, Latin1IsWrittenAsUtf8AndBinaryFilesAreRefused) {
    TempFolder folder;
    PgnImportResult result;
    const std::string exported = ImportAndExport("[White \"N\372\361ez\"]\n\n1. e4 {caf\351} *\n",
                                                 folder.file("a.brl"), &result);
    EXPECT_TRUE(result.isLatin1);
    EXPECT_TRUE(Contains(exported, "[White \"Núñez\"]"));
    EXPECT_TRUE(Contains(exported, "1. e4 {café} *"));
    EXPECT_EQ(ImportAndExport("SQLite format 3" + std::string(2000, '\0') + "1. e4 *",
                              folder.file("b.brl"), &result),
              "");
    EXPECT_TRUE(result.isNotText);
    EXPECT_EQ(result.intImported, 0);
}

// Annotation text at the edges of what a file may hold is imported with all its words and marks,
// exported and imported again to the same text. (The texts a game cannot be kept with are in the
// skip table of the line-keeping tests.)
TEST(PgnAnnotations, TextsAtTheEdgesAreKeptWhole) {
    const std::string longest(1000000 - 64 - 20, 'y'); // fits a row with its node key
    // kept: a text of the export
    const std::tuple<const char*, std::string, std::string> cases[] = {
        {"a comment that fits with its node key", "1. e4 {" + longest + "} *", "{" + longest + "}"},
        {"the largest glyph kept", "1. e4 $999 *", "1. e4 $999 *"},
        {"lone brackets in a comment are words", "{x ( a ) y} 1. e4 {( b )} (1. d4) *",
         "{x ( a ) y} 1. e4 {( b )} (1. d4) *"},
        {"a percent line inside a comment is words", "1. e4 {a\n%b} e5 *", "{a %b}"},
        {"an opening brace inside a rest-of-line comment", "1. e4 ; a { brace\ne5 *",
         "{a { brace}"},
        {"a rest-of-line comment at the end of the file", "1. e4 e5 ; last", "{last}"},
        {"a rest-of-line comment closing a variation", "1. e4 (1. d4 ; inside\n) e5 *",
         "(1. d4 {inside})"},
        {"glyph and comment on the root of a game without moves", "$2 {words} *", "$2 {words} *"},
        {"a result without its tag", "1. e4 0-1", "[Result \"0-1\"]"},
    };
    for (const auto& [name, movetext, kept] : cases) {
        SCOPED_TRACE(name);
        TempFolder folder;
        PgnImportResult first, again;
        const std::string exported =
            ImportAndExport("[Event \"e\"]\n\n" + movetext, folder.file("a.brl"), &first);
        EXPECT_EQ(first.intImported, 1);
        EXPECT_TRUE(Contains(exported, kept));
        EXPECT_EQ(ImportAndExport(exported, folder.file("b.brl"), &again), exported);
        EXPECT_EQ(again.intImported, 1);
    }
}

} // namespace
