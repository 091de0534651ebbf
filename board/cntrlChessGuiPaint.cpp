// Layout of the board control from the square size, the pictures shown on the squares and the
// overlay state; the drawing itself is in cntrlChessGuiDraw.cpp.
#include "board/cntrlChessGui.h"
#include "game/CPosition.h"
#include "model/CDiagram.h"
#include "model/CError.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QResizeEvent>
#include <algorithm>
#include <cmath>

namespace {
// The setup panel's bottom lies this far below seven squares (its top is 7 S + 50), spare included.
constexpr double kSetupPanelBottom = 50 + CBoardGeometry::SETUP_PANEL_HEIGHT + 30;

// Rack slot of a diagram piece code (1-6 white P N B R Q K, 7-12 black); -1 for empty.
int slotOfCode(int code) {
    static const int kSlotOfCode[13] = {-1, 5, 3, 2, 4, 1, 0, 11, 9, 8, 10, 7, 6};
    return code >= 0 && code <= 12 ? kSlotOfCode[code] : -1;
}
} // namespace

QRectF cntrlChessGui::rcPixels(const CTwipRect& rc) const {
    const double k = CBoardGeometry::TWIPS_PER_PIXEL;
    return {rc.left / k, rc.top / k, rc.width / k, rc.height / k};
}

QRect cntrlChessGui::rcWidget(const CTwipRect& rc) const {
    return rcPixels(rc).toAlignedRect();
}

QRect cntrlChessGui::rcSquarePixels(int index) const {
    return rcWidget(geometry.rcSquare(index));
}

QRect cntrlChessGui::rcRackPixels(int slot) const {
    return rcWidget(geometry.rcRack(slot));
}

void cntrlChessGui::UpdateTwips(const CTwipRect& rc) {
    update(rcWidget(rc).adjusted(-3, -3, 3, 3));
}

void cntrlChessGui::LayoutBoard() {
    auto place = [this](QWidget* w, const CTwipRect& rc) { w->setGeometry(rcWidget(rc)); };
    for (int k = 0; k < 5; ++k)
        place(cmdNavigation[k], geometry.rcNavigationButton(k));
    place(cmdClear, geometry.rcSetupButton(0));
    place(cmdInitPos, geometry.rcSetupButton(1));
    place(cmdApplySetup, geometry.rcSetupButton(2));
    place(fraSetup, geometry.rcSetupPanel());
    place(lstWhiteMoves, geometry.rcWhiteList());
    place(lstBlackMoves, geometry.rcBlackList());
    lstBlackMoves->raise();
    place(lstVariations, geometry.rcVariationList());
    place(cmdDelete, geometry.rcDeleteButton());
    ShowMoveEntry();
    dragShown = false;
    update();
}

void cntrlChessGui::PaintSquares() {
    update(rcWidget(geometry.rcBoard()));
}

void cntrlChessGui::ShowSetupPanel(bool setup) {
    const bool show = setup && mode != BoardMode::Training;
    if (rackShown != show) {
        rackShown = show;
        for (int slot = 0; slot < CPiecePictures::SLOTS; ++slot)
            UpdateTwips(geometry.rcRack(slot));
    }
    for (QWidget* w : {static_cast<QWidget*>(fraSetup), static_cast<QWidget*>(cmdClear),
                       static_cast<QWidget*>(cmdInitPos), static_cast<QWidget*>(cmdApplySetup)})
        w->setVisible(show);
    ShowNavigation(!show);
}

void cntrlChessGui::ShowNavigation(bool visible) {
    const bool v = mode != BoardMode::Training ? visible : false;
    for (QPushButton* button : cmdNavigation)
        button->setVisible(v);
    lstWhiteMoves->setVisible(v);
    lstBlackMoves->setVisible(v);
    lstVariations->setVisible(v);
    cmdDelete->setVisible(mode == BoardMode::View ? false : v);
    ShowMoveEntry();
}

void cntrlChessGui::ShowMoveEntry() {
    const bool show =
        moveEntryShown && (mode == BoardMode::FreePlay || mode == BoardMode::Training);
    const QRect box = rcWidget(geometry.rcMoveEntry(mode == BoardMode::Training));
    const int boxWidth = std::max(120, box.width() / 2);
    txtMove->setGeometry(box.left(), box.top(), boxWidth, box.height());
    lblMoveResult->setGeometry(box.left() + boxWidth + 8, box.top(), box.width() - boxWidth - 8,
                               box.height());
    // While the other side thinks the box is hidden: the board holds the keyboard meanwhile (not
    // the next button in the window) and hands it back, so the next move can be typed at once.
    if (!show && txtMove->hasFocus()) {
        moveEntryHadFocus = true;
        setFocus();
    }
    txtMove->setVisible(show);
    lblMoveResult->setVisible(show);
    if (show && moveEntryHadFocus) {
        if (hasFocus()) txtMove->setFocus();
        moveEntryHadFocus = false;
    }
}

void cntrlChessGui::SetPicture(int index, int slot) {
    if (pictures[index] == slot) return;
    pictures[index] = slot;
    // A picture lies inside its square: repainting its own rectangle leaves the neighbours alone.
    update(rcWidget(geometry.rcPicture(index)));
}

void cntrlChessGui::SetPictureVisible(int index, bool visible) {
    if (pictureVisible[index] == visible) return;
    pictureVisible[index] = visible;
    update(rcWidget(geometry.rcPicture(index)));
}

void cntrlChessGui::DisplayPosition() {
    // A position that no move of this control led to has no last move, arrows or selection.
    if (position != notedPosition) NoteMove(nullptr, false);
    UpdateCheck();
    const CDiagram& diagram = *position->objDiagram();
    for (int i = 0; i < 64; ++i) {
        const int square = CBoardGeometry::intSquareOfIndex(i, whiteOnTop);
        SetPicture(i, slotOfCode(diagram.intCodeAt(square)));
        SetPictureVisible(i, !phantom[i]);
    }
}

QString cntrlChessGui::strPositionDiagram() const {
    QString text;
    text.reserve(64);
    const CDiagram& diagram = *position->objDiagram();
    for (int i = 0; i < 64; ++i) {
        const int square = CBoardGeometry::intSquareOfIndex(i, whiteOnTop);
        const QString letter = CPiecePictures::strSlotLetter(slotOfCode(diagram.intCodeAt(square)));
        text += letter.isEmpty() ? QString("e") : letter;
    }
    return text;
}

void cntrlChessGui::HideMoveLine() {
    if (!lineVisible) return;
    lineVisible = false;
    update(rcWidget(geometry.rcBoard()));
}

void cntrlChessGui::HideCircle() {
    if (!circleVisible) return;
    circleVisible = false;
    UpdateTwips(geometry.rcSquare(circleIndex));
}

void cntrlChessGui::HighLightSquare(int Index, bool isHiLite) {
    if (Index < 0 || Index > 63) return;
    squareBorder[Index] = isHiLite;
    UpdateTwips(geometry.rcSquare(Index));
    if (frameIndex >= 0) UpdateTwips(geometry.rcSquare(frameIndex));
    frameIndex = isHiLite ? Index : -1;
}

bool cntrlChessGui::isSquareHighlighted(int Index) const {
    return Index >= 0 && Index < 64 && squareBorder[Index];
}

void cntrlChessGui::DrawLine(int iFrom, int iTo, bool withCircle) {
    if (iFrom < 0 || iFrom > 63 || iTo < 0 || iTo > 63) return;
    if (withCircle) {
        HideCircle();
        circleIndex = iFrom;
        circleVisible = true;
        UpdateTwips(geometry.rcSquare(iFrom));
    }
    HideMoveLine();
    lineFrom = iFrom;
    lineTo = iTo;
    lineVisible = true;
    update(rcWidget(geometry.rcBoard()));
}

void cntrlChessGui::Phantom(int iPhantomArea, bool isPhantom) {
    if (iPhantomArea < 0 || iPhantomArea > 3)
        RaiseError("cntrlChessGui", "PhantomArea must be from 0 to 3");
    for (int index : CBoardGeometry::arrPhantomAreas()[iPhantomArea]) {
        phantom[index] = isPhantom;
        SetPictureVisible(index, !isPhantom);
    }
    areaVisible[iPhantomArea] = isPhantom;
    UpdateTwips(geometry.rcPhantomArea(iPhantomArea));
}

void cntrlChessGui::Refresh() {
    repaint();
}

void cntrlChessGui::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (layingOut) return;
    layingOut = true;
    // A host without a layout gets the aspect it asks for; inside a layout heightForWidth does.
    if (!fillingSpace && (parentWidget() == nullptr || parentWidget()->layout() == nullptr)) {
        const int wanted = heightForWidth(width());
        if (height() != wanted && !isWindow()) resize(width(), wanted);
    }
    FitToSize();
    layingOut = false;
}

double cntrlChessGui::dblTwipsBelowBoard() const {
    // The navigation (or setup) row under the board, and the move box under that row in free play.
    const bool boxUnderRow = moveEntryShown && mode == BoardMode::FreePlay;
    if (mode != BoardMode::Training) return 370.0 + (boxUnderRow ? 405.0 : 0.0);
    return moveEntryShown ? 370.0 : 0.0;
}

double cntrlChessGui::dblSquareSizeFillingWidth(double widthTwips) const {
    // Two pixels spare everywhere: the squares' edges are rounded outward to whole pixels.
    const double w = widthTwips - 30;
    const double panel = CBoardGeometry::SETUP_PANEL_WIDTH;
    switch (mode) {
    case BoardMode::Training: // the board alone
        return w / 8.5;
    case BoardMode::Setup: // the two rack columns, and the setup panel under them
        return std::min((w + 50) / 11.5, (w - panel) / 9.5);
    default: // the move lists beside the board
        return (w - panel + 25) / 9.5;
    }
}

void cntrlChessGui::FitToSize() {
    const double widthTwips = width() * CBoardGeometry::TWIPS_PER_PIXEL;
    const double heightTwips = height() * CBoardGeometry::TWIPS_PER_PIXEL;
    const double below = dblTwipsBelowBoard();
    double s = 0;
    if (fillingSpace) {
        // Only what is shown takes room: in training the board has the whole width.
        s = dblSquareSizeFillingWidth(widthTwips);
        s = std::min(s, below > 0 ? (heightTwips - below - 30) / 8.75 : (heightTwips - 30) / 8.5);
        // In setup the panel under the rack reaches lower than the board.
        if (mode == BoardMode::Setup) s = std::min(s, (heightTwips - kSetupPanelBottom) / 7);
    } else {
        s = CBoardGeometry::dblSquareSizeForWidth(widthTwips);
        // Never lay the board out taller than the control: the navigation row must stay visible.
        s = std::min(s, (heightTwips - std::max(370.0, below)) / 9.25);
    }
    s = std::max(s, 150.0);
    if (s != geometry.dblSquareSize()) {
        StopSlide();
        geometry = CBoardGeometry(s);
    }
    LayoutBoard();
}

int cntrlChessGui::heightForWidth(int width) const {
    if (!fillingSpace) return qRound(width * 0.9);
    // The inverse of FitToSize: the height at which the squares that fill the width fit too, in
    // every mode, so that a host can give the board no more width than its squares use.
    const double s =
        std::max(dblSquareSizeFillingWidth(width * CBoardGeometry::TWIPS_PER_PIXEL), 150.0);
    const double below = dblTwipsBelowBoard();
    double twips = below > 0 ? 8.75 * s + below + 30 : 8.5 * s + 30;
    if (mode == BoardMode::Setup) twips = std::max(twips, 7 * s + kSetupPanelBottom);
    return static_cast<int>(std::ceil(twips / CBoardGeometry::TWIPS_PER_PIXEL));
}

void cntrlChessGui::isFillingSpace(bool value) {
    fillingSpace = value;
    updateGeometry();
    FitToSize();
}
