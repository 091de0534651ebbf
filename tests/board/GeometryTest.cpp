#include "board/CBoardGeometry.h"

#include <gtest/gtest.h>

namespace {

struct IndexCase {
    int index;
    bool flipped;
    const char* square;
};

TEST(BoardGeometry, DisplayIndexMapsToSquaresInBothOrientations) {
    const IndexCase cases[] = {
        {0, false, "a8"}, {7, false, "h8"}, {56, false, "a1"}, {63, false, "h1"}, {36, false, "e4"},
        {0, true, "h1"},  {7, true, "a1"},  {56, true, "h8"},  {63, true, "a8"},  {27, true, "e4"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CBoardGeometry::strSquareName(c.index, c.flipped), c.square) << c.index;
        EXPECT_EQ(CBoardGeometry::intGetIndex(c.square, c.flipped), c.index) << c.square;
    }
}

TEST(BoardGeometry, IndexOfSquareIsTheInverseEverywhere) {
    for (bool flipped : {false, true})
        for (int i = 0; i < 64; ++i)
            EXPECT_EQ(
                CBoardGeometry::intGetIndex(CBoardGeometry::strSquareName(i, flipped), flipped), i);
}

TEST(BoardGeometry, NamesThatAreNotSquaresGiveNoIndex) {
    for (const char* name : {"", "e", "e44", "i1", "a9", "a0", "E4", "4e"})
        EXPECT_EQ(CBoardGeometry::intGetIndex(name, false), -1) << name;
}

TEST(BoardGeometry, LabelsFollowTheOrientation) {
    std::string files, ranks, filesFlipped, ranksFlipped;
    for (int k = 0; k < 8; ++k) {
        files += CBoardGeometry::strFileLabel(k, false);
        ranks += CBoardGeometry::strRankLabel(k, false);
        filesFlipped += CBoardGeometry::strFileLabel(k, true);
        ranksFlipped += CBoardGeometry::strRankLabel(k, true);
    }
    EXPECT_EQ(files, "abcdefgh");
    EXPECT_EQ(ranks, "87654321");
    EXPECT_EQ(filesFlipped, "hgfedcba");
    EXPECT_EQ(ranksFlipped, "12345678");
}

// The four quarters, each square in exactly one: a8-d5, e8-h5, a4-d1, e4-h1.
TEST(BoardGeometry, PhantomAreasAreTheFourQuarters) {
    const auto& areas = CBoardGeometry::arrPhantomAreas();
    std::array<int, 64> area{};
    area.fill(-1);
    for (int a = 0; a < 4; ++a)
        for (int i : areas[a]) {
            EXPECT_EQ(area[i], -1) << i;
            area[i] = a;
        }
    for (int i = 0; i < 64; ++i)
        EXPECT_EQ(area[i], (i / 32) * 2 + (i % 8) / 4) << i;
}

// Where the elements stand relative to each other (the control's layout depends on these edges).
TEST(BoardGeometry, ElementsStandWhereTheLayoutRuleSays) {
    const CBoardGeometry g(500);
    // squares: index 0 flush with the label, the others one twip to the right
    EXPECT_DOUBLE_EQ(g.rcSquare(0).left, 250);
    EXPECT_DOUBLE_EQ(g.rcSquare(8).left, 251);
    EXPECT_DOUBLE_EQ(g.rcSquare(9).left, 751);
    EXPECT_DOUBLE_EQ(g.rcPicture(9).top, 250 + 500 + 25);
    // navigation row: from picture 0's left edge, 1.25 squares under picture 63's top
    EXPECT_DOUBLE_EQ(g.rcNavigationButton(0).left, 275);
    EXPECT_DOUBLE_EQ(g.rcNavigationButton(4).left, 275 + 4 * 800);
    EXPECT_DOUBLE_EQ(g.rcNavigationButton(0).top, g.rcPicture(63).top + 625);
    // lists: black overlaps white by 25, variations 25 below and 25 narrower than both
    EXPECT_DOUBLE_EQ(g.rcBlackList().left, g.rcWhiteList().left + 1935.0 / 2 - 25);
    EXPECT_DOUBLE_EQ(g.rcVariationList().top, 250 + 2000 + 25);
    EXPECT_DOUBLE_EQ(g.rcVariationList().width, 1935 - 25);
    EXPECT_DOUBLE_EQ(g.rcSetupPanel().top, 7 * 500 + 50);
}

TEST(BoardGeometry, ResizeRuleLeavesRoomForHalfThePanel) {
    EXPECT_DOUBLE_EQ(CBoardGeometry::dblSquareSizeForWidth(967.5 + 12 * 525), 525);
    EXPECT_DOUBLE_EQ(CBoardGeometry::dblSquareSizeForWidth(967.5 + 12 * 600), 600);
}

TEST(BoardGeometry, DropSquareIsTheFirstSquareContainingThePoint) {
    const CBoardGeometry g(500);
    const struct {
        double x, y;
        int index;
    } cases[] = {
        {260, 260, 0}, {250, 250, 0},    {750, 260, 0}, // shared edge belongs to index 0
        {752, 260, 1}, {4200, 3800, 63}, {100, 100, -1}, {5000, 300, -1}, {300, 4300, -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(g.intDropSquare(c.x, c.y), c.index) << c.x << "," << c.y;
}

} // namespace
