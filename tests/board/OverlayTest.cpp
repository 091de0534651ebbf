#include "BoardFixture.h"
#include "board/CPiecePictures.h"
#include "board/ResourceLocator.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>

namespace {

using Overlays = BoardFixture;

TEST_F(Overlays, OneFrameButEveryHighlightedSquareKeepsItsBorder) {
    board->HighLightSquare(10, true);
    board->HighLightSquare(20, true);
    EXPECT_TRUE(board->isSquareHighlighted(10));
    EXPECT_TRUE(board->isSquareHighlighted(20));
    EXPECT_EQ(board->intHighlightFrame(), 20);
    board->HighLightSquare(10, false);
    EXPECT_FALSE(board->isSquareHighlighted(10));
    EXPECT_EQ(board->intHighlightFrame(), -1);
    EXPECT_TRUE(board->isSquareHighlighted(20));
}

TEST_F(Overlays, LineReplacesTheLastOneAndTheCircleStays) {
    board->DrawLine(12, 28, false);
    EXPECT_TRUE(board->isMoveLineVisible());
    EXPECT_FALSE(board->isCircleVisible());
    board->DrawLine(52, 36, true);
    board->DrawLine(6, 21, false);
    EXPECT_EQ(board->MoveLine(), std::make_pair(6, 21));
    EXPECT_TRUE(board->isCircleVisible());
    EXPECT_EQ(board->intCircleIndex(), 52);
}

TEST_F(Overlays, PhantomAreasStayHiddenThroughMoves) {
    board->Phantom(1, true);
    EXPECT_TRUE(board->isAreaVisible(1));
    board->MovePgn("e4", true, true);
    board->MovePgn("e5", true, true);
    for (int i : CBoardGeometry::arrPhantomAreas()[1]) {
        EXPECT_TRUE(board->isPhantom(i));
        EXPECT_FALSE(board->isPictureVisible(i)) << i;
    }
    EXPECT_EQ(board->intPictureSlot(idx("e5")), 11) << "the piece is there, only hidden";
    EXPECT_TRUE(board->isPictureVisible(idx("a8")));
    board->Phantom(1, false);
    EXPECT_FALSE(board->isAreaVisible(1));
    for (int i : CBoardGeometry::arrPhantomAreas()[1])
        EXPECT_TRUE(board->isPictureVisible(i)) << i;
}

TEST_F(Overlays, RedrawAfterAMovePaintsOnlyTheChangedSquares) {
    board->isAnimateMoves(false);
    board->repaint();
    EXPECT_EQ(board->intLastPaintedSquares(), 64);
    board->MovePgn("Nf3", true, false);
    QApplication::processEvents();
    // the two squares of the move (a merged region may touch a neighbour or two)
    EXPECT_LE(board->intLastPaintedSquares(), 4);
    EXPECT_GE(board->intLastPaintedSquares(), 2);
}

TEST_F(Overlays, PaintedBoardShowsColoursAndPieces) {
    board->SquareColorDark(0x0000FF); // pure red in 0x00BBGGRR
    const QImage image = board->grab().toImage();
    const QRect a1 = board->rcSquarePixels(idx("a1"));
    const QRect e4 = board->rcSquarePixels(idx("e4"));
    EXPECT_EQ(image.pixelColor(a1.topLeft() + QPoint(2, 2)), QColor(255, 0, 0));
    EXPECT_EQ(image.pixelColor(e4.center()), QColor(255, 255, 255));
    // the white king's picture covers the centre of e1 with its outline or body
    const QRect e1 = board->rcSquarePixels(idx("e1"));
    EXPECT_NE(image.pixelColor(e1.center()), QColor(255, 0, 0));
}

TEST(PiecePictures, EverySlotLoadsFromTheResourceFolder) {
    CPiecePictures pictures;
    for (int slot = 0; slot < CPiecePictures::SLOTS; ++slot) {
        EXPECT_TRUE(pictures.isLoaded(slot)) << CPiecePictures::strFileName(slot).toStdString();
        EXPECT_EQ(CPiecePictures::intSlotOfLetter(CPiecePictures::strSlotLetter(slot)[0]), slot);
    }
    EXPECT_EQ(CPiecePictures::intSlotOfLetter('e'), -1);
}

TEST(PiecePictures, AMissingOrBrokenFileLeavesOnlyItsSlotBlank) {
    QTemporaryDir dir;
    const QString source = QFileInfo(strFindResource("pieces/WhiteKing.svg")).absolutePath();
    for (int slot = 0; slot < CPiecePictures::SLOTS; ++slot) {
        const QString name = CPiecePictures::strFileName(slot);
        if (slot == 2) continue; // white bishop missing
        if (slot == 7) {         // black queen broken
            QFile broken(dir.filePath(name));
            ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
            broken.write("<svg this is not");
            continue;
        }
        ASSERT_TRUE(QFile::copy(QDir(source).filePath(name), dir.filePath(name)));
    }
    CPiecePictures pictures(dir.path());
    for (int slot = 0; slot < CPiecePictures::SLOTS; ++slot)
        EXPECT_EQ(pictures.isLoaded(slot), slot != 2 && slot != 7) << slot;
    QImage image(40, 40, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    pictures.Draw(painter, 2, QRectF(0, 0, 40, 40));
    painter.end();
    EXPECT_EQ(image.pixelColor(20, 20).alpha(), 0);
    EXPECT_TRUE(pictures.pixPicture(2, 40).isNull());
    EXPECT_FALSE(pictures.pixPicture(0, 40).isNull());
}

TEST(ResourceLocator, EnvironmentFolderComesFirstAndMissingFilesGiveNothing) {
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("pieces");
    QFile own(dir.filePath("pieces/WhiteKing.svg"));
    ASSERT_TRUE(own.open(QIODevice::WriteOnly));
    own.close();
    qputenv("BRISOLT_RESOURCES", dir.path().toLocal8Bit());
    EXPECT_EQ(strFindResource("pieces/WhiteKing.svg"), QFileInfo(own).absoluteFilePath());
    EXPECT_NE(strFindResource("pieces/BlackKing.svg"), QString())
        << "falls through to the next folder";
    EXPECT_EQ(strFindResource("pieces/NoSuchPiece.svg"), QString());
    EXPECT_EQ(strFindResource(""), QString());
    EXPECT_EQ(arrstrResourceFolders().first(), dir.path());
    qunsetenv("BRISOLT_RESOURCES");
    EXPECT_NE(arrstrResourceFolders().first(), dir.path());
}

} // namespace
