// Engine scores: their order and texts.
#include "engine/EngineScore.h"

#include <gtest/gtest.h>
#include <tuple>

namespace {

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

} // namespace
