// Annotation text at the edges of what a PGN file may hold: each game is imported with all its
// words and marks, exported and imported again to the same text, or skipped with its reason.
#include "pgn/PgnExport.h"
#include "pgn/PgnImport.h"
#include "tests/workbook/TempFolder.h"
#include "workbook/CWorkBook.h"

#include <gtest/gtest.h>
#include <sstream>

namespace {

struct Imported {
    PgnImportResult result;
    std::vector<std::string> skipped;
    std::string exported;
};

Imported ImportAndExport(const std::string& pgn, const std::string& path) {
    Imported out;
    CWorkBook workbook;
    workbook.strOpenWorkBook(path);
    std::istringstream input(pgn);
    PgnImportOptions options;
    options.skipped = [&](const std::string& line) { out.skipped.push_back(line); };
    out.result = ImportPgn(workbook, input, options);
    std::ostringstream output;
    ExportPgn(workbook, output);
    out.exported = output.str();
    return out;
}

TEST(PgnAnnotationEdges, EachGameIsKeptWholeOrSkippedWithItsReason) {
    const std::string limit(1000000, 'z'); // the longest row a workbook keeps
    const std::string longest(1000000 - 64 - 20, 'y');
    const auto game = [](const std::string& movetext) {
        return "[Event \"edge\"]\n\n" + movetext + "\n";
    };
    struct Case {
        const char* name;
        std::string pgn;
        bool imported;
        std::string kept; // a text of the export, or a fragment of the skip reason
    };
    const std::vector<Case> cases = {
        {"a comment as long as a row", game("1. e4 {" + limit + "} *"), false,
         "annotation of a move (its comments, glyphs and node key) is too long to store"},
        {"a comment that fits with its node key", game("1. e4 {" + longest + "} *"), true,
         "{" + longest + "}"},
        {"a tag section as long as a row", "[Annotator \"" + limit + "\"]\n\n1. e4 *\n", false,
         "tag section is too long"},
        {"a description as long as a row", "[Description \"" + limit + "\"]\n\n1. e4 *\n", false,
         "tag section is too long"},
        {"a closing brace without its opening", game("1. e4 } e5 *"), false,
         "unexpected character '}'"},
        {"a glyph above 999", game("1. e4 $1000 *"), false, "bad annotation glyph"},
        {"the largest glyph kept", game("1. e4 $999 *"), true, "1. e4 $999 *"},
        {"lone brackets in a comment are words", game("{x ( a ) y} 1. e4 {( b )} (1. d4) *"), true,
         "{x ( a ) y} 1. e4 {( b )} (1. d4) *"},
        {"a percent line inside a comment is words", game("1. e4 {a\n%b} e5 *"), true, "{a %b}"},
        {"an opening brace inside a rest-of-line comment", game("1. e4 ; a { brace\ne5 *"), true,
         "{a { brace}"},
        {"a rest-of-line comment at the end of the file", game("1. e4 e5 ; last"), true, "{last}"},
        {"a rest-of-line comment closing a variation", game("1. e4 (1. d4 ; inside\n) e5 *"), true,
         "(1. d4 {inside})"},
        {"glyph and comment on the root of a game without moves", game("$2 {words} *"), true,
         "$2 {words} *"},
        {"a null move in the main line", game("1. -- e5 *"), false, "unreadable move in 1. --"},
        {"a null move in a nested variation", game("1. e4 (1. d4 d5 (1... -- 2. c4)) e5 *"), false,
         "unreadable move in 1... --"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        const Imported first = ImportAndExport(c.pgn, folder.file("a.brl"));
        if (!c.imported) {
            EXPECT_EQ(first.result.intImported, 0);
            ASSERT_EQ(first.skipped.size(), 1u);
            EXPECT_NE(first.skipped[0].find(c.kept), std::string::npos)
                << first.skipped[0].substr(0, 300);
            continue;
        }
        ASSERT_EQ(first.result.intImported, 1)
            << (first.skipped.empty() ? "" : first.skipped[0].substr(0, 300));
        EXPECT_NE(first.exported.find(c.kept), std::string::npos) << first.exported.substr(0, 300);
        const Imported second = ImportAndExport(first.exported, folder.file("b.brl"));
        EXPECT_EQ(second.result.intImported, 1)
            << (second.skipped.empty() ? "" : second.skipped[0].substr(0, 300));
        EXPECT_TRUE(second.exported == first.exported) << second.exported.substr(0, 300);
    }
}

} // namespace
