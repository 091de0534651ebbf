#include "BoardFixture.h"
#include "board/CBoardOptionsMenu.h"
#include "board/CBoardSounds.h"
#include "board/CBoardTheme.h"
#include "board/CMemoryPropertyStore.h"
#include "board/CPiecePictures.h"
#include "board/ResourceLocator.h"

#include <QAction>
#include <QFile>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>

namespace {

using Highlights = BoardFixture;

QString squareName(int index) {
    return index < 0 ? QString()
                     : QString::fromStdString(CBoardGeometry::strSquareName(index, false));
}

QString lastMove(const cntrlChessGui& board) {
    const auto [from, to] = board.LastMove();
    return squareName(from) + squareName(to);
}

TEST_F(Highlights, LastMoveFollowsEveryKindOfMove) {
    // the trainee's move and the stored reply
    board->ComputerPlays(1);
    board->objGameTree(makeTree({"e4 e5 Nf3 Nc6"}));
    board->Mode(BoardMode::Training);
    EXPECT_EQ(lastMove(*board), "");
    drag("e2", "e4");
    EXPECT_EQ(lastMove(*board), "e7e5") << "the reply is the last move";
    drag("a2", "a3"); // a wrong move changes nothing
    EXPECT_EQ(lastMove(*board), "e7e5");

    // stepping through the line
    board->Mode(BoardMode::View);
    const struct {
        int step;
        const char* last;
    } steps[] = {{0, ""}, {3, "e2e4"}, {3, "e7e5"}, {2, "e2e4"}, {4, "b8c6"}, {2, "g1f3"}};
    for (const auto& s : steps) {
        board->cmdNavigation_Click(s.step);
        EXPECT_EQ(lastMove(*board), s.last) << s.step;
    }

    // an engine's move given as text, castling shown by the king
    ASSERT_TRUE(board->ApplyFen("r3k2r/8/8/8/8/8/8/R3K2R b KQkq -"));
    EXPECT_EQ(lastMove(*board), "") << "a new position has no last move";
    int from = -1;
    int to = -1;
    board->MovePgn2("O-O-O", from, to, true, true);
    EXPECT_EQ(lastMove(*board), "e8c8");
    board->isLastMoveShown(false);
    EXPECT_EQ(lastMove(*board), "e8c8") << "switched off it is kept, only not painted";
}

TEST_F(Highlights, TheLastMoveIsTintedUnlessSwitchedOffOrInSetup) {
    const struct {
        BoardMode mode;
        bool shown;
        bool tinted;
    } cases[] = {{BoardMode::FreePlay, true, true},
                 {BoardMode::View, true, true},
                 {BoardMode::FreePlay, false, false},
                 {BoardMode::Setup, true, false}};
    for (const auto& c : cases) {
        board->Mode(BoardMode::FreePlay);
        board->InitialPosition();
        board->MovePgn("Nf3", true, false);
        board->isLastMoveShown(c.shown);
        board->Mode(c.mode);
        const QImage image = board->grab().toImage();
        const QPoint corner = board->rcSquarePixels(idx("g1")).topLeft() + QPoint(3, 3);
        const QColor plain = CBoardTheme::colorOf(board->SquareColorDark()); // g1 is dark
        EXPECT_EQ(image.pixelColor(corner) != plain, c.tinted) << int(c.mode) << " " << c.shown;
    }
}

TEST_F(Highlights, TheKingInCheckIsMarked) {
    const struct {
        const char* fen;
        const char* moves;
        const char* king;
    } cases[] = {
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -", "f3 e5 g4 Qh4", "e1"},
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -", "e4 e5", ""},
        {"4k3/8/8/8/8/8/8/4K2R w - -", "Rh8", "e8"},
        {"4k3/8/8/8/8/8/8/4K2R w - -", "Rh8 Kd7", ""},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(board->ApplyFen(c.fen));
        for (const QString& m : QString(c.moves).split(' '))
            board->MovePgn(m, true, false);
        EXPECT_EQ(squareName(board->intCheckSquare()), c.king) << c.moves;
    }
    // painted red around the king, beside the same square without a check
    ASSERT_TRUE(board->ApplyFen("4k3/7R/8/8/8/8/8/4K3 b - -"));
    const QImage quiet = board->grab().toImage();
    ASSERT_TRUE(board->ApplyFen("4k3/7R/8/8/8/8/8/4K3 w - -"));
    board->MovePgn("Rh8", true, false);
    const QImage checked = board->grab().toImage();
    const QRect e8 = board->rcSquarePixels(idx("e8"));
    const QPoint near = e8.topLeft() + QPoint(e8.width() / 6, e8.height() / 6);
    auto redness = [near](const QImage& image) {
        return image.pixelColor(near).red() - image.pixelColor(near).green();
    };
    EXPECT_GT(redness(checked), redness(quiet) + 30);
}

TEST_F(Highlights, StoredRepliesSlideUnlessSwitchedOff) {
    board->ComputerPlays(1);
    for (bool animate : {true, false}) {
        board->isAnimateMoves(animate);
        board->objGameTree(makeTree({"e4 e5"}));
        board->Mode(BoardMode::Training);
        drag("e2", "e4");
        EXPECT_EQ(board->isAnimating(), animate);
        EXPECT_EQ(board->intPictureSlot(idx("e5")), 11) << "the position is there at once";
        board->SetAnimationProgress(0.5);
        const QImage half = board->grab().toImage();
        if (animate) {
            // halfway the pawn stands between e7 and e5, on e6, and not yet on e5
            const QRect e6 = board->rcSquarePixels(idx("e6"));
            const QRect e5 = board->rcSquarePixels(idx("e5"));
            EXPECT_LT(half.pixelColor(e6.center()).lightness(), 60);
            EXPECT_GT(half.pixelColor(e5.center()).lightness(), 60);
        }
        QTRY_VERIFY(!board->isAnimating());
    }
    board->intAnimationMs(0);
    board->isAnimateMoves(true);
    board->MovePgn("Nf3", true, true);
    EXPECT_FALSE(board->isAnimating()) << "a length of 0 switches sliding off";
}

TEST_F(Highlights, KeysStepThroughTheLineWhereTheButtonsWould) {
    board->objGameTree(makeTree({"e4 e5 Nf3 Nc6 Bb5", "e4 c5"}));
    board->Mode(BoardMode::View);
    const struct {
        Qt::Key key;
        const char* status; // move text of the position reached
    } keys[] = {
        {Qt::Key_Right, "e4"}, {Qt::Key_Down, "e4"}, {Qt::Key_Right, "c5"}, {Qt::Key_Left, "e4"},
        {Qt::Key_Right, "e5"}, {Qt::Key_End, "Bb5"}, {Qt::Key_Home, "..."}, {Qt::Key_Left, "..."},
    };
    for (const auto& k : keys) {
        QTest::keyClick(board.get(), k.key);
        EXPECT_EQ(board->objPosition()->strMoveText(), k.status) << QTest::toString(k.key);
    }
    board->Mode(BoardMode::Training);
    QTest::keyClick(board.get(), Qt::Key_Right);
    EXPECT_EQ(board->objPosition()->strMoveText(), "...") << "training hides the way forward";
}

TEST_F(Highlights, ThemesAndCoordinates) {
    for (const CBoardTheme& theme : CBoardTheme::arrThemes()) {
        board->strBoardTheme(theme.strName);
        EXPECT_EQ(board->SquareColorLight(), theme.lngLight);
        EXPECT_EQ(board->SquareColorDark(), theme.lngDark);
        EXPECT_EQ(board->strBoardTheme(), theme.strName);
        const QPixmap preview = CBoardTheme::pixPreview(theme, 40);
        EXPECT_EQ(preview.toImage().pixelColor(2, 2), CBoardTheme::colorOf(theme.lngLight));
        EXPECT_EQ(preview.toImage().pixelColor(12, 2), CBoardTheme::colorOf(theme.lngDark));
    }
    board->strBoardTheme("no such theme");
    EXPECT_EQ(board->strBoardTheme(), "Classic");
    EXPECT_EQ(board->SquareColorDark(), cntrlChessGui::DEFAULT_DARK) << "classic is the default";
    board->SquareColorDark(0x123456);
    EXPECT_EQ(board->strBoardTheme(), "") << "colours of one's own have no theme";

    auto labelInk = [this] {
        const QImage image = board->grab().toImage();
        const QRect label =
            board->rcSquarePixels(idx("a1")).translated(-board->rcSquarePixels(0).left(), 0);
        const QColor window = board->palette().window().color();
        int ink = 0;
        for (int y = label.top(); y <= label.bottom(); ++y)
            for (int x = 0; x < board->rcSquarePixels(0).left() - 1; ++x)
                if (image.pixelColor(x, y) != window) ++ink;
        return ink;
    };
    EXPECT_GT(labelInk(), 0) << "the rank figure 1 is drawn";
    board->isCoordinatesShown(false);
    EXPECT_EQ(labelInk(), 0);
}

TEST_F(Highlights, SoundsFollowWhatHappenedAndSwitchedOffMakeNoCall) {
    const struct {
        const char* fen;
        const char* move;
        const char* sound;
    } cases[] = {
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -", "e4", "move"},
        {"rnbqkbnr/ppp1pppp/8/3p4/4P3/8/PPPP1PPP/RNBQKBNR w KQkq -", "exd5", "capture"},
        {"4k3/8/8/8/8/8/8/4K2R w - -", "Rh8", "check"},
    };
    for (bool on : {true, false}) {
        board->isSoundOn(on);
        const int before = board->intSoundsPlayed();
        for (const auto& c : cases) {
            ASSERT_TRUE(board->ApplyFen(c.fen));
            board->MovePgn(c.move, true, true);
            EXPECT_EQ(board->strLastSound(), on ? c.sound : "success") << c.move;
        }
        board->ComputerPlays(1);
        board->objGameTree(makeTree({"e4"}));
        board->Mode(BoardMode::Training);
        drag("d2", "d4");
        EXPECT_EQ(board->strLastSound(), on ? "failure" : "success");
        drag("e2", "e4");
        EXPECT_EQ(board->strLastSound(), "success");
        EXPECT_EQ(board->intSoundsPlayed() - before, on ? 6 : 0);
        board->Mode(BoardMode::FreePlay);
    }
    CBoardSounds sounds;
    EXPECT_FALSE(sounds.isAudible()) << "an offscreen run never opens the audio system";
    sounds.Play("move");
}

TEST(BoardSounds, TheMadeFilesAreShortAudibleWaves) {
    for (const QString& name : CBoardSounds::arrstrNames()) {
        QFile file(strFindResource("sounds/" + name + ".wav"));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        const QByteArray wav = file.readAll();
        ASSERT_GT(wav.size(), 44) << name.toStdString();
        EXPECT_EQ(wav.mid(0, 4), "RIFF");
        EXPECT_EQ(wav.mid(8, 8), "WAVEfmt ");
        EXPECT_EQ(wav.mid(36, 4), "data");
        const auto* samples = reinterpret_cast<const qint16*>(wav.constData() + 44);
        const qsizetype count = (wav.size() - 44) / 2;
        int peak = 0;
        for (qsizetype i = 0; i < count; ++i)
            peak = std::max(peak, std::abs(int(samples[i])));
        EXPECT_GT(peak, 8000) << name.toStdString() << " is heard";
        EXPECT_LT(count, 44100 * 6 / 10) << name.toStdString() << " lasts under 0.6 s";
    }
}

TEST_F(Highlights, FillingTheRoomUsesTheWholeWidthInTraining) {
    const struct {
        BoardMode mode;
        bool moveBox;
        QSize size;
    } cases[] = {
        {BoardMode::Training, false, QSize(600, 900)}, {BoardMode::Training, true, QSize(600, 900)},
        {BoardMode::Training, false, QSize(900, 500)}, {BoardMode::FreePlay, true, QSize(900, 900)},
        {BoardMode::View, false, QSize(400, 300)},     {BoardMode::Setup, false, QSize(700, 700)},
    };
    board->isFillingSpace(true);
    // The extent of what the control shows: the squares and every visible child.
    auto used = [this] {
        QRect r = board->rcSquarePixels(0).united(board->rcSquarePixels(63));
        for (QWidget* child : board->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (child->isVisibleTo(board.get())) r |= child->geometry();
        return r;
    };
    for (const auto& c : cases) {
        board->Mode(c.mode);
        board->isMoveEntryShown(c.moveBox);
        for (const QSize size :
             {c.size, QSize(c.size.width(), board->heightForWidth(c.size.width()))}) {
            board->resize(size);
            const QRect r = used();
            const int right = size.width() - 1 - r.right();
            const int bottom = size.height() - 1 - r.bottom();
            EXPECT_GE(right, 0) << int(c.mode) << " " << size.width() << "x" << size.height();
            EXPECT_GE(bottom, 0) << int(c.mode) << " " << size.width() << "x" << size.height();
            EXPECT_LE(std::min(right, bottom), 4) << "one side is filled " << int(c.mode) << " "
                                                  << size.width() << "x" << size.height();
            if (size.height() == board->heightForWidth(size.width())) {
                EXPECT_LE(std::max(right, bottom), 4) << "both, at the height it asks for";
            }
        }
    }
    board->isFillingSpace(false);
    board->resize(967 / 15 + 12 * 40, 800);
    EXPECT_NEAR(board->SquareSize(), (board->width() * 15.0 - 967.5) / 12, 0.01)
        << "the resize rule holds again";
}

TEST_F(Highlights, OptionsAreStoredRestoredAndOfferedInAMenu) {
    QMenu menu;
    int saved = 0;
    CBoardOptionsMenu options(&menu, board.get(), [&saved] { ++saved; });
    options.mnuTheme->actions().at(1)->trigger(); // Brown
    EXPECT_EQ(board->strBoardTheme(), "Brown");
    options.mnuSounds->toggle();
    options.mnuCoordinates->toggle();
    options.mnuMoveBox->toggle();
    EXPECT_FALSE(board->isSoundOn());
    EXPECT_FALSE(board->isCoordinatesShown());
    EXPECT_EQ(saved, 4);

    CMemoryPropertyStore store;
    CBoardOptionsMenu::WriteOptions(board.get(), store);
    cntrlChessGui other;
    CBoardOptionsMenu::ReadOptions(&other, store);
    const struct {
        bool (cntrlChessGui::*get)() const;
        bool expected;
    } switches[] = {
        {&cntrlChessGui::isSoundOn, false},        {&cntrlChessGui::isCoordinatesShown, false},
        {&cntrlChessGui::isLegalHintsShown, true}, {&cntrlChessGui::isLastMoveShown, true},
        {&cntrlChessGui::isAnimateMoves, true},    {&cntrlChessGui::isMoveEntryShown, false},
    };
    for (const auto& s : switches)
        EXPECT_EQ((other.*s.get)(), s.expected);
    CBoardOptionsMenu::ReadOptions(&other, CMemoryPropertyStore());
    EXPECT_TRUE(other.isSoundOn()) << "a missing key reads as on";

    board->isSoundOn(true);
    options.Synchronise();
    EXPECT_TRUE(options.mnuSounds->isChecked());
    EXPECT_TRUE(options.mnuTheme->actions().at(1)->isChecked());
}

TEST(PiecePictures, PiecesAreDrawnAtTheDevicePixelSize) {
    CPiecePictures pictures;
    for (qreal dpr : {1.0, 1.5, 2.0}) {
        QImage image(qRound(50 * dpr), qRound(50 * dpr), QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(dpr);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        pictures.Draw(painter, 0, QRectF(0, 0, 50, 50));
        painter.end();
        // the picture is rendered at the device size, not scaled up from the logical one
        const QImage direct = pictures.pixPicture(0, qRound(50 * dpr))
                                  .toImage()
                                  .convertToFormat(QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(1.0);
        EXPECT_EQ(image, direct) << dpr;
    }
}

} // namespace
