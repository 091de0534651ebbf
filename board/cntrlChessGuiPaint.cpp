// Display of the board control: layout from the square size, squares, labels, pictures and the
// overlays. Only the squares inside the dirty region are repainted.
#include "board/cntrlChessGui.h"
#include "game/CPosition.h"
#include "model/CDiagram.h"
#include "model/CError.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QListWidget>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QResizeEvent>

namespace {
QColor colorOf(quint32 bgr) {
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

// Rack slot of a diagram piece code (1-6 white P N B R Q K, 7-12 black); -1 for empty.
int slotOfCode(int code) {
    static const int kSlotOfCode[13] = {-1, 5, 3, 2, 4, 1, 0, 11, 9, 8, 10, 7, 6};
    return code >= 0 && code <= 12 ? kSlotOfCode[code] : -1;
}

const QColor kFrameColor(232, 160, 32);
const QColor kCircleColor(30, 140, 80, 210);
const QColor kLineColor(25, 110, 215, 205);
const QColor kAreaColor(0, 0, 255); // 0xFF0000 in 0x00BBGGRR
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
    dragShown = false;
    update();
}

void cntrlChessGui::PaintSquares() {
    update(rcWidget(geometry.rcBoard()));
}

void cntrlChessGui::ShowSetupPanel(bool setup) {
    const bool show = setup && mode != 3;
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
    const bool v = mode != 3 ? visible : false;
    for (QPushButton* button : cmdNavigation)
        button->setVisible(v);
    lstWhiteMoves->setVisible(v);
    lstBlackMoves->setVisible(v);
    lstVariations->setVisible(v);
    cmdDelete->setVisible(mode == 2 ? false : v);
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
    const CDiagram& diagram = *position->objDiagram();
    for (int i = 0; i < 64; ++i) {
        const int file = CBoardGeometry::intGetFile(i, whiteOnTop);
        const int rank = CBoardGeometry::intGetRank(i, whiteOnTop);
        SetPicture(i, slotOfCode(diagram.intCodeAt(file + 8 * rank)));
        SetPictureVisible(i, !phantom[i]);
    }
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
    const double widthTwips = width() * CBoardGeometry::TWIPS_PER_PIXEL;
    const double heightTwips = height() * CBoardGeometry::TWIPS_PER_PIXEL;
    // A host without a layout gets the 0.9 aspect; inside a layout heightForWidth asks for it.
    if (parentWidget() == nullptr || parentWidget()->layout() == nullptr) {
        const int wanted = heightForWidth(width());
        if (height() != wanted && !isWindow()) resize(width(), wanted);
    }
    double s = CBoardGeometry::dblSquareSizeForWidth(widthTwips);
    // Never lay the board out taller than the control: the navigation row must stay visible.
    s = std::min(s, (heightTwips - 370.0) / 9.25);
    s = std::max(s, 150.0);
    geometry = CBoardGeometry(s);
    LayoutBoard();
    layingOut = false;
}

void cntrlChessGui::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    const QRect dirty = event->rect();
    const QRegion& dirtyRegion = event->region();
    for (const QRect& r : dirtyRegion)
        p.fillRect(r, palette().window());
    p.setRenderHint(QPainter::Antialiasing);

    // labels
    QFont font = p.font();
    font.setPixelSize(std::max(8, qRound(geometry.dblLabelSize() / 15 * 0.62)));
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(70, 70, 70));
    for (int k = 0; k < 8; ++k) {
        const QRectF file = rcPixels(geometry.rcFileLabel(k));
        if (file.intersects(dirty)) p.drawText(file, Qt::AlignCenter, strFileLabel(k));
        const QRectF rank = rcPixels(geometry.rcRankLabel(k));
        if (rank.intersects(dirty)) p.drawText(rank, Qt::AlignCenter, strRankLabel(k));
    }

    // squares and pictures
    const double k = CBoardGeometry::TWIPS_PER_PIXEL;
    const double pic = geometry.dblPictureSize() / k;
    int painted = 0;
    p.setRenderHint(QPainter::Antialiasing, false);
    for (int i = 0; i < 64; ++i) {
        const CTwipRect tw = geometry.rcSquare(i);
        // Squares meet edge to edge: snap both edges to whole pixels so no seam shows.
        const QRect sq(
            QPoint(qRound(tw.left / k), qRound(tw.top / k)),
            QPoint(qRound((tw.left + tw.width) / k) - 1, qRound((tw.top + tw.height) / k) - 1));
        if (!dirtyRegion.intersects(sq)) continue;
        ++painted;
        p.fillRect(sq, colorOf(CBoardGeometry::isLightSquare(i) ? colorLight : colorDark));
        if (squareBorder[i]) {
            p.setPen(QPen(QColor(40, 40, 40), 1));
            p.setBrush(Qt::NoBrush);
            p.drawRect(sq.adjusted(0, 0, -1, -1));
        }
        if (pictures[i] >= 0 && pictureVisible[i]) {
            const CTwipRect pr = geometry.rcPicture(i);
            pieces->Draw(p, pictures[i], QRectF(pr.left / k, pr.top / k, pic, pic));
        }
    }
    lastPaintedSquares = painted;
    const QRectF board = rcPixels(geometry.rcSquare(0)).united(rcPixels(geometry.rcSquare(63)));
    if (dirty.intersects(board.toAlignedRect().adjusted(-1, -1, 1, 1))) {
        p.setPen(QPen(QColor(60, 60, 60), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(board.adjusted(-0.5, -0.5, 0.5, 0.5));
    }

    // the rack
    if (rackShown) {
        p.setRenderHint(QPainter::Antialiasing);
        for (int slot = 0; slot < CPiecePictures::SLOTS; ++slot) {
            const QRectF r = rcPixels(geometry.rcRack(slot));
            if (!r.intersects(dirty)) continue;
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0, 0, 0, 18));
            p.drawRoundedRect(r.adjusted(-1, -1, 1, 1), 3, 3);
            pieces->Draw(p, slot, r);
        }
    }

    // overlays
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(Qt::NoBrush);
    for (int area = 0; area < 4; ++area) {
        if (!areaVisible[area]) continue;
        p.setPen(QPen(kAreaColor, 3));
        p.drawRect(rcPixels(geometry.rcPhantomArea(area)).adjusted(1.5, 1.5, -1.5, -1.5));
    }
    const double penWidth = std::max(2.0, geometry.dblSquareSize() / k * 0.09);
    if (circleVisible) {
        p.setPen(QPen(kCircleColor, penWidth));
        const double inset = penWidth / 2 + 1;
        p.drawEllipse(
            rcPixels(geometry.rcSquare(circleIndex)).adjusted(inset, inset, -inset, -inset));
    }
    if (lineVisible) {
        p.setPen(QPen(kLineColor, penWidth * 1.2, Qt::SolidLine, Qt::RoundCap));
        const QRectF a = rcPixels(geometry.rcSquare(lineFrom));
        const QRectF b = rcPixels(geometry.rcSquare(lineTo));
        p.drawLine(a.center(), b.center());
        p.setBrush(kLineColor);
        p.setPen(Qt::NoPen);
        p.drawEllipse(b.center(), penWidth * 1.3, penWidth * 1.3);
        p.setBrush(Qt::NoBrush);
    }
    if (frameIndex >= 0) {
        p.setPen(QPen(kFrameColor, 3));
        p.drawRect(rcPixels(geometry.rcSquare(frameIndex)).adjusted(1.5, 1.5, -1.5, -1.5));
    }

    // the drag picture follows the pointer above everything
    if (dragShown && dragSlot >= 0) {
        const QRectF r(dragPos.x() - pic / 2, dragPos.y() - pic / 2, pic, pic);
        pieces->Draw(p, dragSlot, r);
    }
}
