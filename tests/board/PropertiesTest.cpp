#include "BoardFixture.h"
#include "board/CMemoryPropertyStore.h"
#include "board/CSettingsPropertyStore.h"
#include "model/CError.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>

namespace {

using Properties = BoardFixture;

TEST_F(Properties, NewControlHasItsDefaults) {
    cntrlChessGui fresh;
    EXPECT_EQ(fresh.boardMode(), BoardMode::FreePlay);
    EXPECT_EQ(fresh.GameStatus(), "White to move");
    EXPECT_EQ(fresh.GetDiagramFromGui(),
              "rnbqkbnrpppppppp" + QString(32, 'e') + "PPPPPPPPRNBQKBNR");
    EXPECT_FALSE(fresh.isPropertyChanged());
    EXPECT_EQ(fresh.objGameTree()->Count(), 1);
}

// An empty store gives the stored defaults; only values that differ from them are written, and
// they come back through the memory store and through an ini file alike.
TEST_F(Properties, OnlyValuesThatDifferFromTheirDefaultsAreWrittenAndRestored) {
    CMemoryPropertyStore store;
    board->ReadProperties(store);
    EXPECT_DOUBLE_EQ(board->SquareSize(), 500);
    EXPECT_EQ(board->boardMode(), BoardMode::Setup);
    EXPECT_TRUE(board->fraSetup->isVisibleTo(board.get()));
    EXPECT_TRUE(board->isRackVisible());
    EXPECT_FALSE(board->cmdNavigation[0]->isVisibleTo(board.get()));
    board->WriteProperties(store);
    EXPECT_TRUE(store.arrstrKeys().isEmpty()) << store.arrstrKeys().join(",").toStdString();

    board->Mode(BoardMode::View);
    board->SquareColorDark(0x336699);
    board->SquareSize(610);
    EXPECT_TRUE(board->isPropertyChanged());
    board->WriteProperties(store);
    EXPECT_EQ(store.arrstrKeys(), QStringList({"Mode", "SquareColorDark", "SquareSize"}));

    QTemporaryDir dir;
    const QString file = dir.filePath("board.ini");
    {
        QSettings settings(file, QSettings::IniFormat);
        CSettingsPropertyStore ini(settings, "Board");
        board->WriteProperties(ini);
    }
    QSettings settings(file, QSettings::IniFormat);
    CSettingsPropertyStore ini(settings, "Board");
    EXPECT_FALSE(settings.contains("Board/SquareColorLight"));
    for (CPropertyStore* from :
         {static_cast<CPropertyStore*>(&store), static_cast<CPropertyStore*>(&ini)}) {
        cntrlChessGui restored;
        restored.ReadProperties(*from);
        EXPECT_EQ(restored.boardMode(), BoardMode::View);
        EXPECT_EQ(restored.SquareColorDark(), 0x336699u);
        EXPECT_EQ(restored.SquareColorLight(), 0xFFFFFFu);
        EXPECT_DOUBLE_EQ(restored.SquareSize(), 610);
    }
}

// Which elements each mode shows: navigation buttons, move lists, variation list, delete button,
// setup panel with its buttons, the rack.
TEST_F(Properties, EachModeShowsItsElements) {
    const struct {
        BoardMode mode;
        bool navigation, lists, del, setup;
    } cases[] = {
        {BoardMode::FreePlay, true, true, true, false},
        {BoardMode::Setup, false, false, false, true},
        {BoardMode::View, true, true, false, false},
        {BoardMode::Training, false, false, false, false},
        {BoardMode::FreePlay, true, true, true, false},
    };
    for (const auto& c : cases) {
        board->Mode(c.mode);
        QWidget* b = board.get();
        for (QPushButton* nav : board->cmdNavigation)
            EXPECT_EQ(nav->isVisibleTo(b), c.navigation) << int(c.mode);
        EXPECT_EQ(board->lstWhiteMoves->isVisibleTo(b), c.lists) << int(c.mode);
        EXPECT_EQ(board->lstBlackMoves->isVisibleTo(b), c.lists) << int(c.mode);
        EXPECT_EQ(board->lstVariations->isVisibleTo(b), c.lists) << int(c.mode);
        EXPECT_EQ(board->cmdDelete->isVisibleTo(b), c.del) << int(c.mode);
        EXPECT_EQ(board->fraSetup->isVisibleTo(b), c.setup) << int(c.mode);
        EXPECT_EQ(board->cmdApplySetup->isVisibleTo(b), c.setup) << int(c.mode);
        EXPECT_EQ(board->isRackVisible(), c.setup) << int(c.mode);
    }
}

TEST_F(Properties, ViewModeReenablesNavigation) {
    board->EnableNavigation(false);
    for (QPushButton* nav : board->cmdNavigation)
        EXPECT_FALSE(nav->isEnabled());
    board->Mode(BoardMode::FreePlay);
    EXPECT_FALSE(board->cmdNavigation[3]->isEnabled());
    board->Mode(BoardMode::View);
    for (QPushButton* nav : board->cmdNavigation)
        EXPECT_TRUE(nav->isEnabled());
}

TEST_F(Properties, WritingModeHidesTheMoveLineButKeepsTheRest) {
    board->MovePgn("e4", true, false);
    board->DrawLine(52, 36, true);
    board->HighLightSquare(36, true);
    board->Mode(BoardMode::View);
    EXPECT_FALSE(board->isMoveLineVisible());
    EXPECT_TRUE(board->isCircleVisible());
    EXPECT_EQ(board->intHighlightFrame(), 36);
    EXPECT_EQ(board->GameStatus(), "Black to move");
    EXPECT_EQ(board->lstWhiteMoves->count(), 1);
}

TEST_F(Properties, FlippingRecaptionsLabelsAndRedrawsPieces) {
    board->isWhiteOnTop(true);
    EXPECT_EQ(board->strFileLabel(0), "h");
    EXPECT_EQ(board->strRankLabel(0), "1");
    EXPECT_EQ(board->intPictureSlot(0), 4);  // white rook on h1
    EXPECT_EQ(board->intPictureSlot(59), 6); // black king on e8, bottom row, fourth from the left
    board->isWhiteOnTop(false);
    EXPECT_EQ(board->intPictureSlot(0), 10); // black rook on a8
    EXPECT_EQ(board->strFileLabel(0), "a");
}

TEST_F(Properties, ResizeKeepsTheRuleForTheSquareSize) {
    board->resize(967 / 15 + 12 * 40, 800); // wide enough, tall enough
    const double expected = (board->width() * 15.0 - 967.5) / 12;
    EXPECT_NEAR(board->SquareSize(), expected, 0.01);
    EXPECT_FALSE(board->isPropertyChanged());
}

TEST_F(Properties, AShortHostKeepsTheNavigationRowInside) {
    board->resize(1400, 500);
    EXPECT_LT(board->SquareSize(), (1400 * 15.0 - 967.5) / 12);
    EXPECT_LE(board->cmdNavigation[0]->geometry().bottom(), board->height());
    EXPECT_LE(board->rcSquarePixels(63).bottom(), board->height());
}

TEST_F(Properties, ModeChecksRaiseTheModelError) {
    const struct {
        std::function<void()> call;
        const char* message;
    } cases[] = {
        {[this] { board->Phantom(4, true); }, "PhantomArea must be from 0 to 3"},
        {[this] { board->Phantom(-1, true); }, "PhantomArea must be from 0 to 3"},
        {[this] { board->ClearPosition(); }, "Cannot clear if not in SetUp mode"},
    };
    for (const auto& c : cases) {
        try {
            c.call();
            ADD_FAILURE() << "no error for " << c.message;
        } catch (const CError& e) {
            EXPECT_EQ(e.lngNumber, 9999);
            EXPECT_STREQ(e.what(), c.message);
        }
    }
    for (int i = 0; i < 64; ++i)
        EXPECT_FALSE(board->isPhantom(i));
}

} // namespace
