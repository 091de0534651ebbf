#include "BoardFixture.h"
#include "game/CGameNode.h"
#include "model/CError.h"

#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>

namespace {

using FenExchange = BoardFixture;

TEST_F(FenExchange, ApplyFenReadsAllFourFieldsAndHidesTheOverlays) {
    board->MovePgn("d4", true, false);
    board->Mode(BoardMode::View);
    board->DrawLine(52, 36, true);
    ASSERT_TRUE(board->ApplyFen("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1"));
    const auto pos = board->objPosition();
    EXPECT_EQ(board->GameStatus(), "Black to move");
    EXPECT_EQ(pos->intMoveNumber(), 1);
    EXPECT_EQ(pos->intEnPassantFile(), 4);
    for (int colour : {0, 1}) {
        EXPECT_FALSE(pos->isKCastleForfeited(colour));
        EXPECT_FALSE(pos->isQCastleForfeited(colour));
    }
    EXPECT_EQ(board->boardMode(), BoardMode::FreePlay);
    EXPECT_EQ(board->lstWhiteMoves->count(), 0);
    EXPECT_EQ(board->objGameTree()->Count(), 1);
    EXPECT_EQ(board->intPictureSlot(idx("e4")), 5);
    EXPECT_EQ(board->intPictureSlot(idx("d4")), -1);
    EXPECT_FALSE(board->isMoveLineVisible());
    EXPECT_FALSE(board->isCircleVisible());
    EXPECT_TRUE(board->ApplyFen("4k3/8/8/8/8/8/8/4K3  b   -  -")) << "double spaces are accepted";
    EXPECT_EQ(board->GameStatus(), "Black to move");
}

TEST_F(FenExchange, CastlingFieldGivesTheForfeits) {
    const struct {
        const char* castling;
        bool wk, wq, bk, bq; // forfeited
    } cases[] = {
        {"-", true, true, true, true},
        {"KQkq", false, false, false, false},
        {"Kq", false, true, true, false},
        {"qk", true, true, false, false},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(board->ApplyFen(QString("r3k2r/8/8/8/8/8/8/R3K2R w %1 -").arg(c.castling)));
        const auto pos = board->objPosition();
        EXPECT_EQ(pos->isKCastleForfeited(0), c.wk) << c.castling;
        EXPECT_EQ(pos->isQCastleForfeited(0), c.wq) << c.castling;
        EXPECT_EQ(pos->isKCastleForfeited(1), c.bk) << c.castling;
        EXPECT_EQ(pos->isQCastleForfeited(1), c.bq) << c.castling;
    }
}

TEST_F(FenExchange, UnusableTextIsRefusedAndChangesNothing) {
    board->MovePgn("e4", true, false);
    const auto tree = board->objGameTree();
    const int nodes = tree->Count();
    const std::string before = diagram();
    const char* refused[] = {
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq",
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBN w KQkq -",
        " rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -",
        "",
        "4k3/8/8/8/8/8/8/4R1K1 w - -", // Black, not to move, is in check
        "4k2P/8/8/8/8/8/8/4K3 w - -",  // a pawn on the last rank
        "4k3/8/8/8/8/8/8/p3K3 b - -",  // a pawn on the first rank
        "4k3/8/8/8/8/8/8/4KK2 w - -",  // two white kings
    };
    for (const char* fen : refused)
        EXPECT_FALSE(board->ApplyFen(fen)) << fen;
    for (int k = 0; k < 4; ++k)
        EXPECT_FALSE(board->SetFen(refused[k])) << refused[k];
    // the diagram itself refuses a board without a black king: the error reaches the caller
    EXPECT_THROW(board->ApplyFen("8/8/8/8/8/8/8/4K3 w - -"), CError);
    EXPECT_EQ(board->objGameTree(), tree);
    EXPECT_EQ(tree->Count(), nodes);
    EXPECT_EQ(diagram(), before);
    EXPECT_EQ(items(board->lstWhiteMoves), QStringList({"1.e4"}));
}

TEST_F(FenExchange, SetFenThenGetFenRoundTripsInBothOrientations) {
    // the start with the panel's defaults
    EXPECT_EQ(board->GetFen(), "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w - -");
    const char* fens[] = {
        "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3",
        "r3k2r/8/8/8/8/8/8/R3K2R w Kq -",
        "8/8/8/3pP3/8/8/k7/7K w - d6",
        "4k3/8/8/8/8/8/8/4K3 b - -",
    };
    for (bool flipped : {false, true}) {
        board->isWhiteOnTop(flipped);
        for (const char* fen : fens) {
            ASSERT_TRUE(board->SetFen(QString(fen) + " 0 17"));
            EXPECT_EQ(board->GetFen(), fen) << flipped;
        }
    }
    board->isWhiteOnTop(true);
    ASSERT_TRUE(board->SetFen("4k3/8/8/8/8/8/8/4K3 w - -"));
    EXPECT_EQ(board->intPictureSlot(idx("e1")), 0)
        << "a flipped board shows the FEN on its squares";
}

TEST_F(FenExchange, SetFenLeavesPositionAndTreeAlone) {
    const auto tree = board->objGameTree();
    ASSERT_TRUE(board->SetFen("4k3/8/8/8/8/8/8/4K3 b Qk -"));
    EXPECT_EQ(board->GameStatus(), "White to move");
    EXPECT_EQ(board->objGameTree(), tree);
    EXPECT_FALSE(board->chkWhiteToMove->isChecked());
    EXPECT_FALSE(board->chkWhiteOO->isChecked());
    EXPECT_TRUE(board->chkWhiteOOO->isChecked());
    EXPECT_TRUE(board->chkBlackOO->isChecked());
    EXPECT_EQ(board->cboEP->currentText(), "");
}

TEST_F(FenExchange, ApplyPositionTakesTheValuesButKeepsTheMode) {
    board->Mode(BoardMode::View);
    auto pos = objNewStartPosition()->objProcessMove("e4");
    ASSERT_NE(pos, nullptr);
    ASSERT_TRUE(board->ApplyPosition(pos));
    EXPECT_EQ(board->boardMode(), BoardMode::View);
    EXPECT_NE(board->objPosition(), pos);
    EXPECT_EQ(board->GameStatus(), "Black to move");
    EXPECT_EQ(board->objPosition()->intMoveNumber(), 1);
    EXPECT_EQ(board->objPosition()->intEnPassantFile(), 4);
    EXPECT_EQ(board->objGameTree()->Count(), 1);
    EXPECT_EQ(board->intPictureSlot(idx("e4")), 5);
    EXPECT_FALSE(board->ApplyPosition(nullptr));
}

} // namespace
