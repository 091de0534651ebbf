// The training judgement: stored moves, refuted tries, the program's reply, the end of a line and
// the texts that explain a try, on real game trees.
#include "game/TrainingJudgement.h"
#include "tests/game/GameTreeTestSupport.h"

#include <gtest/gtest.h>
#include <map>
#include <set>
#include <tuple>

namespace {

// The comments of nodes by key, as the training asks for them.
TrainingComments CommentsOf(const std::map<std::string, std::string>& comments) {
    return [comments](const std::string& key) {
        auto found = comments.find(key);
        return found == comments.end() ? std::string() : found->second;
    };
}

// 2.Nf3 and 2.Bc4 are solutions, 2.Qh5 a refuted try; after 1...d5 the only stored move is
// marked, and after 1...c5 both stored moves are.
const std::vector<std::string> kLines = {
    "e4 e5 Nf3 Nc6", "e4 e5 Bc4",   "e4 e5 Qh5 Nc6 Bc4 g6 Qf3 Nf6", "e4 d5 exd5", "e4 c5 Nf3",
    "e4 c5 c3",      "f3 e5 g4 Qh4"};

TEST(TrainingJudgement, TakesEachDroppedMoveByItsStoredMoveAndMarks) {
    const Book book(kLines);
    const TrainingTries tries = {book.key("e4 e5 Qh5"), book.key("e4 d5 exd5"),
                                 book.key("e4 c5 Nf3"), book.key("e4 c5 c3")};
    // node: the line of the node named, "" for none
    const std::tuple<const char*, const char*, bool, TrainingVerdict, const char*> cases[] = {
        {"e4 e5", "Nf3", true, TrainingVerdict::Solution, "e4 e5 Nf3"},
        {"e4 e5", "Bc4", true, TrainingVerdict::Solution, "e4 e5 Bc4"},
        {"e4 e5", "Qh5", true, TrainingVerdict::RefutedTry, "e4 e5 Qh5"},
        {"e4 e5", "Qh5", false, TrainingVerdict::Solution, "e4 e5 Qh5"},
        {"e4 e5", "d4", true, TrainingVerdict::NotStored, ""},
        {"e4 e5", "", true, TrainingVerdict::NotStored, ""},
        // a marked move that is the only way on, or beside marked moves only, stays a solution
        {"e4 d5", "exd5", true, TrainingVerdict::Solution, "e4 d5 exd5"},
        {"e4 c5", "c3", true, TrainingVerdict::Solution, "e4 c5 c3"},
        // check and mate signs and the pawn letter do not part a move from its stored text
        {"f3 e5 g4", "Qh4", true, TrainingVerdict::Solution, "f3 e5 g4 Qh4"},
        {"f3 e5 g4", "Qh4#", true, TrainingVerdict::Solution, "f3 e5 g4 Qh4"},
        {"f3 e5", "Pg4", true, TrainingVerdict::Solution, "f3 e5 g4"},
        {"f3 e5 g4 Qh4", "Kf2", true, TrainingVerdict::NotStored, ""},
    };
    for (const auto& [at_, move, marks, verdict, node] : cases) {
        SCOPED_TRACE(std::string(at_) + " / " + move);
        const TrainingJudgement judged = objJudgeTrainingMove(
            arrStoredMoves(*book.tree, book.at(at_)), move, marks ? tries : TrainingTries{});
        EXPECT_EQ(judged.verdict, verdict);
        if (*node)
            ASSERT_EQ(judged.objNode, book.at(node));
        else
            EXPECT_EQ(judged.objNode, nullptr);
    }
    EXPECT_EQ(objJudgeTrainingMove(arrStoredMoves(*book.tree, nullptr), "e4", tries).verdict,
              TrainingVerdict::NotStored);
    // Only the three mistake glyphs make a try.
    std::vector<int> mistakes;
    for (int nag = -1; nag <= 256; ++nag)
        if (isMistakeGlyph(nag)) mistakes.push_back(nag);
    EXPECT_EQ(mistakes, (std::vector<int>{2, 4, 6}));
}

TEST(TrainingJudgement, RepliesAndRefutationsComeFromTheStoredMovesAndTheLineEndsWithThem) {
    const Book book(kLines);
    // Every stored reply is chosen for some seed, and nothing else is.
    std::set<std::string> chosen;
    for (unsigned seed = 0; seed < 64; ++seed) {
        std::mt19937 random(seed);
        chosen.insert(objChooseReply(arrStoredMoves(*book.tree, book.at("e4")), random)->strKey());
    }
    EXPECT_EQ(chosen,
              (std::set<std::string>{book.key("e4 e5"), book.key("e4 d5"), book.key("e4 c5")}));
    std::mt19937 random(1);
    EXPECT_EQ(objChooseReply(arrStoredMoves(*book.tree, book.at("e4 e5 Nf3")), random),
              book.at("e4 e5 Nf3 Nc6"));
    EXPECT_EQ(objChooseReply(arrStoredMoves(*book.tree, book.at("e4 e5 Nf3 Nc6")), random),
              nullptr);

    for (const char* line : {"e4 e5 Nf3 Nc6", "e4 e5 Bc4", "f3 e5 g4 Qh4"})
        EXPECT_TRUE(arrStoredMoves(*book.tree, book.at(line)).empty()) << line;
    for (const char* line : {"", "e4", "e4 e5 Qh5"})
        EXPECT_FALSE(arrStoredMoves(*book.tree, book.at(line)).empty()) << line;
    // A refutation is the main line below the try, up to its length.
    const GameNodeList line = arrRefutation(*book.tree, book.at("e4 e5 Qh5"), 3);
    EXPECT_EQ(line, (GameNodeList{book.at("e4 e5 Qh5 Nc6"), book.at("e4 e5 Qh5 Nc6 Bc4"),
                                  book.at("e4 e5 Qh5 Nc6 Bc4 g6")}));
    EXPECT_TRUE(arrRefutation(*book.tree, book.at("e4 e5 Bc4"), 8).empty());
    // The main line of a branching node is its first stored move.
    EXPECT_EQ(arrRefutation(*book.tree, book.at("e4"), 1), GameNodeList{book.at("e4 e5")});
}

TEST(TrainingJudgement, ExplanationsGiveTheTryItsCommentAndTheRefutation) {
    // comments: by line
    const std::tuple<const char*, std::map<std::string, std::string>, const char*, const char*>
        cases[] = {
            {"comment and refutation",
             {{"e4 e5 Qh5", "is premature. "}},
             "e4 e5 Qh5",
             "2.Qh5 is premature: after 2...Nc6 3.Bc4 g6 4.Qf3 Nf6"},
            {"no comment", {}, "e4 e5 Qh5", "2.Qh5 is refuted: after 2...Nc6 3.Bc4 g6 4.Qf3 Nf6"},
            {"comment leading to the refutation itself",
             {{"e4 e5 Qh5", "is premature:"}},
             "e4 e5 Qh5",
             "2.Qh5 is premature: after 2...Nc6 3.Bc4 g6 4.Qf3 Nf6"},
            {"comments on the refutation renumber Black's move after them",
             {{"e4 e5 Qh5 Nc6 Bc4", "threatens mate"},
              {"e4 e5 Qh5 Nc6 Bc4 g6 Qf3 Nf6", "and wins"}},
             "e4 e5 Qh5",
             "2.Qh5 is refuted: after 2...Nc6 3.Bc4 threatens mate 3...g6 4.Qf3 Nf6 and wins"},
            {"comment without refutation",
             {{"e4 e5 Bc4", "loses time"}},
             "e4 e5 Bc4",
             "2.Bc4 loses time."},
            {"comment ending its sentence",
             {{"e4 e5 Bc4", "Too slow!"}},
             "e4 e5 Bc4",
             "2.Bc4 Too slow!"},
            {"nothing stored", {}, "e4 e5 Bc4", "2.Bc4 is a mistake."},
            {"a Black try", {{"e4 c5", "is met by"}}, "e4 c5", "1...c5 is met by: after 2.Nf3"},
            {"a mate in the refutation", {}, "f3 e5 g4", "2.g4 is refuted: after 2...Qh4#"},
        };
    for (const auto& [name, comments, tryLine, expected] : cases) {
        SCOPED_TRACE(name);
        const Book book(kLines);
        std::map<std::string, std::string> byKey;
        for (const auto& [line, comment] : comments)
            byKey[book.key(line)] = comment;
        EXPECT_EQ(strTryExplanation(*book.tree, book.at(tryLine), CommentsOf(byKey)), expected);
    }
}

TEST(TrainingJudgement, LongRefutationsEndWithAnEllipsisAndCommentsNameTheirMove) {
    const Book book({"d4 d5 c4 e6 Nc3 Nf6 Bg5 Be7 e3 O-O Nf3 h6"});
    EXPECT_EQ(strTryExplanation(*book.tree, book.at("d4"), CommentsOf({})),
              "1.d4 is refuted: after 1...d5 2.c4 e6 3.Nc3 Nf6 4.Bg5 Be7 5.e3 ...");
    EXPECT_EQ(strTryExplanation(*book.tree, book.at("d4 d5 c4 e6"), CommentsOf({})),
              "2...e6 is refuted: after 3.Nc3 Nf6 4.Bg5 Be7 5.e3 O-O 6.Nf3 h6");
    const auto comments = CommentsOf({{book.key("d4 d5 c4"), "  the Queen's Gambit "}});
    EXPECT_EQ(strMoveComment(*book.at("d4 d5 c4"), comments), "2.c4 the Queen's Gambit");
    EXPECT_EQ(strMoveComment(*book.at("d4 d5"), comments), "");
    EXPECT_EQ(strMoveComment(*book.at("d4 d5"), nullptr), "");
}

} // namespace
