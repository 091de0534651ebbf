// What the board shows: square geometry, highlights, overlays, pictures, themes, sounds, sliding
// pieces, the options menu and the layout at any size.
#include "BoardFixture.h"
#include "board/CBoardOptionsMenu.h"
#include "board/CBoardSounds.h"
#include "board/CBoardTheme.h"
#include "board/CMemoryPropertyStore.h"
#include "board/CPiecePictures.h"
#include "board/ISoundModule.h"
#include "board/ModuleLoader.h"
#include "board/ResourceLocator.h"
#include "model/CError.h"
#include "progress/IStatisticsCharts.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPainter>
#include <QTemporaryDir>

namespace {

using View = BoardFixture;

// Display index 0 is the top left square: a8, or h1 on a flipped board. A point on an edge
// shared by two squares drops on the first.
TEST(BoardGeometry, NamesLabelsAndDropsFollowTheOrientation) {
    for (bool flipped : {false, true}) {
        std::string names, labels;
        for (int i : {0, 7, 56, 63, 36})
            names += CBoardGeometry::strSquareName(i, flipped);
        for (int k = 0; k < 8; ++k)
            labels +=
                CBoardGeometry::strFileLabel(k, flipped) + CBoardGeometry::strRankLabel(k, flipped);
        EXPECT_EQ(names, flipped ? "h1a1h8a8d5" : "a8h8a1h1e4");
        EXPECT_EQ(labels, flipped ? "h1g2f3e4d5c6b7a8" : "a8b7c6d5e4f3g2h1");
        for (int i = 0; i < 64; ++i)
            EXPECT_EQ(
                CBoardGeometry::intGetIndex(CBoardGeometry::strSquareName(i, flipped), flipped), i);
    }
    for (const char* name : {"", "e", "e44", "i1", "a9", "a0", "E4", "4e"})
        EXPECT_EQ(CBoardGeometry::intGetIndex(name, false), -1) << name;
    const CBoardGeometry g(500);
    const std::tuple<double, double, int> drops[] = {
        {260, 260, 0},    {250, 250, 0},  {750, 260, 0},   {752, 260, 1},
        {4200, 3800, 63}, {100, 100, -1}, {5000, 300, -1}, {300, 4300, -1}};
    for (const auto& [x, y, index] : drops)
        EXPECT_EQ(g.intDropSquare(x, y), index) << x << "," << y;
}

// Each phantom area hides one quarter (a8-d5, e8-h5, a4-d1, e4-h1) through moves, and only that.
TEST_F(View, PhantomAreasHideTheirQuarterThroughMoves) {
    for (int area = 0; area < 4; ++area) {
        board->InitialPosition();
        board->Phantom(area, true);
        play("e4 e5");
        EXPECT_TRUE(board->isAreaVisible(area));
        for (int i = 0; i < 64; ++i) {
            const bool inArea = (i / 32) * 2 + (i % 8) / 4 == area;
            EXPECT_EQ(board->isPhantom(i), inArea) << area << " " << i;
            EXPECT_EQ(board->isPictureVisible(i), !inArea) << area << " " << i;
        }
        EXPECT_EQ(board->intPictureSlot(idx("e5")), 11) << "the piece is there, only hidden";
        board->Phantom(area, false);
        for (int i = 0; i < 64; ++i)
            EXPECT_TRUE(board->isPictureVisible(i)) << i;
    }
    for (int area : {-1, 4})
        EXPECT_THROW(board->Phantom(area, true), CError) << area;
}

TEST_F(View, TheLastMoveIsKeptForEveryKindOfMoveSlidesAndIsTintedWhenShown) {
    auto lastMove = [this] {
        const auto [from, to] = board->LastMove();
        return name(from) + name(to);
    };
    for (bool animate : {false, true}) {
        board->isAnimateMoves(animate);
        train({"e4 e5 Nf3 Nc6"});
        drag("e2", "e4");
        EXPECT_EQ(lastMove(), "e7e5") << "the reply is the last move";
        EXPECT_EQ(board->isAnimating(), animate);
        EXPECT_EQ(board->intPictureSlot(idx("e5")), 11) << "the position is there at once";
        board->SetAnimationProgress(0.5);
        const QImage half = board->grab().toImage();
        // halfway the pawn stands between e7 and e5, on e6, and not yet on e5
        EXPECT_EQ(half.pixelColor(centre("e6")).lightness() < 60, animate);
        EXPECT_EQ(half.pixelColor(centre("e5")).lightness() < 60, !animate);
        QTRY_VERIFY(!board->isAnimating());
    }
    board->intAnimationMs(0);
    ASSERT_TRUE(board->ApplyFen("r3k2r/8/8/8/8/8/8/R3K2R b KQkq -"));
    EXPECT_EQ(lastMove(), "") << "a new position has no last move";
    board->MovePgn("O-O-O", true, true);
    EXPECT_EQ(lastMove(), "e8c8") << "castling is shown by the king";
    EXPECT_FALSE(board->isAnimating()) << "a length of 0 switches sliding off";

    // mode, shown, tinted
    const std::tuple<BoardMode, bool, bool> cases[] = {{BoardMode::FreePlay, true, true},
                                                       {BoardMode::View, true, true},
                                                       {BoardMode::FreePlay, false, false},
                                                       {BoardMode::Setup, true, false}};
    for (const auto& [mode, shown, tinted] : cases) {
        board->Mode(BoardMode::FreePlay);
        board->InitialPosition();
        play("Nf3");
        board->isLastMoveShown(shown);
        board->Mode(mode);
        EXPECT_EQ(lastMove(), "g1f3") << "switched off it is kept, only not painted";
        const QPoint corner = board->rcSquarePixels(idx("g1")).topLeft() + QPoint(3, 3);
        const QColor plain = CBoardTheme::colorOf(board->SquareColorDark()); // g1 is dark
        EXPECT_EQ(board->grab().toImage().pixelColor(corner) != plain, tinted)
            << int(mode) << " " << shown;
    }
}

TEST_F(View, PaintingFollowsTheThemeAndTheOptionsAndRedrawsOnlyWhatChanged) {
    const QPoint a1 = board->rcSquarePixels(idx("a1")).topLeft() + QPoint(2, 2);
    for (const CBoardTheme& theme : CBoardTheme::arrThemes()) {
        board->strBoardTheme(theme.strName);
        const QImage image = board->grab().toImage();
        EXPECT_EQ(image.pixelColor(a1), CBoardTheme::colorOf(theme.lngDark))
            << theme.strName.toStdString();
        EXPECT_EQ(image.pixelColor(centre("e4")), CBoardTheme::colorOf(theme.lngLight));
        const QImage preview = CBoardTheme::pixPreview(theme, 40).toImage();
        EXPECT_EQ(preview.pixelColor(2, 2), CBoardTheme::colorOf(theme.lngLight));
        EXPECT_EQ(preview.pixelColor(12, 2), CBoardTheme::colorOf(theme.lngDark));
    }
    board->strBoardTheme("no such theme");
    EXPECT_EQ(board->strBoardTheme(), "Classic");
    EXPECT_EQ(board->SquareColorDark(), cntrlChessGui::DEFAULT_DARK) << "classic is the default";
    board->SquareColorDark(0x0000FF); // pure red in 0x00BBGGRR
    EXPECT_EQ(board->strBoardTheme(), "") << "colours of one's own have no theme";
    EXPECT_EQ(board->grab().toImage().pixelColor(a1), QColor(255, 0, 0));

    // ink left of the a1 square: the rank figure 1
    auto labelInk = [this] {
        const QImage image = board->grab().toImage();
        const QRect a1 = board->rcSquarePixels(idx("a1"));
        int ink = 0;
        for (int y = a1.top(); y <= a1.bottom(); ++y)
            for (int x = 0; x < a1.left() - 1; ++x)
                ink += image.pixelColor(x, y) != board->palette().window().color();
        return ink;
    };
    EXPECT_GT(labelInk(), 0);
    board->isCoordinatesShown(false);
    EXPECT_EQ(labelInk(), 0);

    board->isAnimateMoves(false);
    board->repaint();
    EXPECT_EQ(board->intLastPaintedSquares(), 64);
    play("Nf3");
    QApplication::processEvents();
    // the two squares of the move (a merged region may touch a neighbour or two)
    EXPECT_LE(board->intLastPaintedSquares(), 4);
    EXPECT_GE(board->intLastPaintedSquares(), 2);
}

TEST_F(View, MovesAreHeardAndAKingInCheckIsMarkedInRed) {
    const char* start = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -";
    // FEN, moves, the sound of the last move, the king in check after it
    const std::tuple<const char*, QString, const char*, const char*> cases[] = {
        {start, "f3 e5 g4 Qh4", "check", "e1"},
        {"rnbqkbnr/ppp1pppp/8/3p4/4P3/8/PPPP1PPP/RNBQKBNR w KQkq -", "exd5", "capture", ""},
        {"4k3/8/8/8/8/8/8/4K2R w - -", "Rh8", "check", "e8"},
        {"4k3/8/8/8/8/8/8/4K2R w - -", "Rh8 Kd7", "move", ""},
    };
    // The king in check glows red: seen in a corner of e8, a light square that is not red
    // without it (the tint of a last move is yellow).
    auto e8Glows = [this] {
        const QRect e8 = board->rcSquarePixels(idx("e8"));
        const QColor colour = board->grab().toImage().pixelColor(
            e8.topLeft() + QPoint(e8.width() / 6, e8.height() / 6));
        return colour.red() - colour.green() > 30;
    };
    for (bool on : {true, false}) {
        board->isSoundOn(on);
        const int before = board->intSoundsPlayed();
        int moves = 0;
        for (const auto& [fen, line, sound, king] : cases) {
            ASSERT_TRUE(board->ApplyFen(fen));
            for (const QString& move : line.split(' ')) {
                board->MovePgn(move, true, true);
                ++moves;
            }
            EXPECT_EQ(board->strLastSound(), on ? sound : "success") << line.toStdString();
            EXPECT_EQ(name(board->intCheckSquare()), king) << line.toStdString();
            EXPECT_EQ(e8Glows(), std::string(king) == "e8") << line.toStdString();
        }
        train({"e4"});
        drag("d2", "d4");
        EXPECT_EQ(board->strLastSound(), on ? "failure" : "success");
        drag("e2", "e4");
        EXPECT_EQ(board->strLastSound(), "success");
        EXPECT_EQ(board->intSoundsPlayed() - before, on ? moves + 3 : 0);
        board->Mode(BoardMode::FreePlay);
    }
    CBoardSounds sounds;
    EXPECT_FALSE(sounds.isAudible()) << "an offscreen run never opens the audio system";
}

TEST(BoardSounds, TheMadeFilesAreShortAudibleWaves) {
    for (const QString& name : CBoardSounds::arrstrNames()) {
        SCOPED_TRACE(name.toStdString());
        QFile file(strFindResource("sounds/" + name + ".wav"));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray wav = file.readAll();
        ASSERT_GT(wav.size(), 44);
        EXPECT_EQ(wav.mid(0, 4) + wav.mid(8, 8) + wav.mid(36, 4), "RIFFWAVEfmt data");
        const auto* samples = reinterpret_cast<const qint16*>(wav.constData() + 44);
        const qsizetype count = (wav.size() - 44) / 2;
        int peak = 0;
        for (qsizetype i = 0; i < count; ++i)
            peak = std::max(peak, std::abs(int(samples[i])));
        EXPECT_GT(peak, 8000) << "heard";
        EXPECT_LT(count, 44100 * 6 / 10) << "lasts under 0.6 s";
    }
}

// A module loads from the build tree as its interface (the chart module: through the statistics
// window's tests); a missing module, or one asked for as an interface it does not offer, is
// refused with the reason.
TEST(Modules, LoadAsTheirInterfaceOrSayWhyNot) {
    QString error;
    EXPECT_NE(objLoadModule<ISoundModule>("brisolt_sound", &error), nullptr) << error.toStdString();
    EXPECT_EQ(error, "");
    EXPECT_EQ(objLoadModule<ISoundModule>("brisolt_missing", &error), nullptr);
    EXPECT_TRUE(error.startsWith("brisolt_missing was not found in")) << error.toStdString();
    EXPECT_EQ(objLoadModule<IStatisticsCharts>("brisolt_sound", &error), nullptr);
    EXPECT_EQ(error, "brisolt_sound does not offer the expected interface");
}

TEST_F(View, TheBoardFillsItsRoomAndKeepsEverythingInside) {
    // mode, move box, size
    const std::tuple<BoardMode, bool, QSize> cases[] = {
        {BoardMode::Training, false, QSize(600, 900)}, {BoardMode::Training, true, QSize(600, 900)},
        {BoardMode::Training, false, QSize(900, 500)}, {BoardMode::FreePlay, true, QSize(900, 900)},
        {BoardMode::View, false, QSize(400, 300)},     {BoardMode::Setup, false, QSize(700, 700)},
    };
    board->resize(967 / 15 + 12 * 40, 800);
    EXPECT_NEAR(board->SquareSize(), (board->width() * 15.0 - 967.5) / 12, 0.01);
    EXPECT_FALSE(board->isPropertyChanged()) << "a resize is no change of the properties";
    board->resize(1400, 500); // a short host keeps the navigation row inside
    EXPECT_LT(board->SquareSize(), (1400 * 15.0 - 967.5) / 12);
    EXPECT_LE(board->cmdNavigation[0]->geometry().bottom(), board->height());

    board->isFillingSpace(true);
    // The extent of what the control shows: the squares and every visible child.
    auto used = [this] {
        QRect r = board->rcSquarePixels(0).united(board->rcSquarePixels(63));
        for (QWidget* child : board->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (child->isVisibleTo(board.get())) r |= child->geometry();
        return r;
    };
    for (const auto& [mode, moveBox, given] : cases) {
        board->Mode(mode);
        board->isMoveEntryShown(moveBox);
        for (const QSize size :
             {given, QSize(given.width(), board->heightForWidth(given.width()))}) {
            SCOPED_TRACE(testing::Message()
                         << int(mode) << " " << size.width() << "x" << size.height());
            board->resize(size);
            const int right = size.width() - 1 - used().right();
            const int bottom = size.height() - 1 - used().bottom();
            EXPECT_GE(std::min(right, bottom), 0);
            EXPECT_LE(std::min(right, bottom), 4) << "one side is filled";
            if (size.height() == board->heightForWidth(size.width())) {
                EXPECT_LE(std::max(right, bottom), 4) << "both, at the height it asks for";
            }
        }
    }
}

TEST_F(View, OptionsAreStoredRestoredAndOfferedInAMenu) {
    QMenu menu;
    int saved = 0;
    CBoardOptionsMenu options(&menu, board.get(), [&saved] { ++saved; });
    options.mnuTheme->actions().at(1)->trigger(); // Brown
    options.mnuSounds->toggle();
    options.mnuCoordinates->toggle();
    options.mnuMoveBox->toggle();
    EXPECT_EQ(saved, 4);

    CMemoryPropertyStore store;
    CBoardOptionsMenu::WriteOptions(board.get(), store);
    cntrlChessGui other;
    CBoardOptionsMenu::ReadOptions(&other, store);
    const std::pair<bool (cntrlChessGui::*)() const, bool> switches[] = {
        {&cntrlChessGui::isSoundOn, false},        {&cntrlChessGui::isCoordinatesShown, false},
        {&cntrlChessGui::isLegalHintsShown, true}, {&cntrlChessGui::isLastMoveShown, true},
        {&cntrlChessGui::isAnimateMoves, true},    {&cntrlChessGui::isMoveEntryShown, false},
    };
    for (const auto& [get, expected] : switches)
        EXPECT_EQ((other.*get)(), expected);
    CBoardOptionsMenu::ReadOptions(&other, CMemoryPropertyStore());
    EXPECT_TRUE(other.isSoundOn()) << "a missing key reads as on";

    board->isSoundOn(true); // as the stored options are read after the menu is built
    emit menu.aboutToShow();
    EXPECT_TRUE(options.mnuSounds->isChecked());
    EXPECT_TRUE(options.mnuTheme->actions().at(1)->isChecked()) << "the board took Brown";
}

// Every installed picture loads and is drawn at the device pixel size. A folder named by
// BRISOLT_RESOURCES comes first and the installed files stand behind it; a missing or broken
// piece picture leaves only its own slot blank.
TEST(PiecePictures, EverySlotLoadsAndAMissingOrBrokenFileLeavesOnlyItsSlotBlank) {
    CPiecePictures installed;
    for (int slot = 0; slot < CPiecePictures::SLOTS; ++slot) {
        EXPECT_TRUE(installed.isLoaded(slot)) << CPiecePictures::strFileName(slot).toStdString();
        EXPECT_EQ(CPiecePictures::intSlotOfLetter(CPiecePictures::strSlotLetter(slot)[0]), slot);
    }
    EXPECT_EQ(CPiecePictures::intSlotOfLetter('e'), -1);
    for (qreal dpr : {1.0, 1.5, 2.0}) {
        QImage image(qRound(50 * dpr), qRound(50 * dpr), QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(dpr);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        installed.Draw(painter, 0, QRectF(0, 0, 50, 50));
        painter.end();
        // rendered at the device size, not scaled up from the logical one
        image.setDevicePixelRatio(1.0);
        EXPECT_EQ(image, installed.pixPicture(0, qRound(50 * dpr))
                             .toImage()
                             .convertToFormat(QImage::Format_ARGB32_Premultiplied))
            << dpr;
    }

    QTemporaryDir dir;
    const QDir source = QFileInfo(strFindResource("pieces/WhiteKing.svg")).absoluteDir();
    QDir(dir.path()).mkpath("pieces");
    const QDir own(dir.filePath("pieces"));
    const int missing = 2, broken = 7; // the white bishop and the black queen
    for (int slot = 0; slot < CPiecePictures::SLOTS; ++slot) {
        const QString name = CPiecePictures::strFileName(slot);
        if (slot == broken) {
            QFile file(own.filePath(name));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write("<svg this is not");
        } else if (slot != missing) {
            ASSERT_TRUE(QFile::copy(source.filePath(name), own.filePath(name)));
        }
    }
    qputenv("BRISOLT_RESOURCES", dir.path().toLocal8Bit());
    EXPECT_EQ(strFindResource("pieces/WhiteKing.svg"), own.filePath("WhiteKing.svg"));
    const QString bishop = strFindResource("pieces/" + CPiecePictures::strFileName(missing));
    EXPECT_EQ(bishop, source.filePath(CPiecePictures::strFileName(missing)));
    EXPECT_EQ(strFindResource("pieces/NoSuchPiece.svg"), "");
    EXPECT_EQ(strFindResource(""), "");
    qunsetenv("BRISOLT_RESOURCES");
    EXPECT_NE(arrstrResourceFolders().first(), dir.path());

    CPiecePictures pictures(own.path());
    for (int slot = 0; slot < CPiecePictures::SLOTS; ++slot)
        EXPECT_EQ(pictures.isLoaded(slot), slot != missing && slot != broken) << slot;
    EXPECT_TRUE(pictures.pixPicture(missing, 40).isNull());
}

} // namespace
