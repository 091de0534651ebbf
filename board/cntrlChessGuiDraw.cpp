// Drawing of the board control, layer by layer: labels, squares with their tints and pieces, the
// rack, the host's overlays, arrows, and the pieces in motion. Only what lies in the dirty region
// is drawn.
#include "board/CBoardTheme.h"
#include "board/cntrlChessGui.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <array>
#include <cmath>

namespace {
const QColor kFrameColor(232, 160, 32);
const QColor kCircleColor(30, 140, 80, 210);
const QColor kLineColor(25, 110, 215, 205);
const QColor kAreaColor(0, 0, 255); // 0xFF0000 in 0x00BBGGRR
const QColor kLastMoveTint(235, 215, 40, 120);
const QColor kSelectedTint(20, 120, 40, 110);
const QColor kTargetColor(20, 85, 30, 135);
const QColor kMarkColors[CBoardMarks::COLORS] = {QColor(21, 120, 27, 180), QColor(200, 40, 30, 180),
                                                 QColor(0, 80, 200, 180), QColor(225, 160, 0, 190)};
} // namespace

void cntrlChessGui::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    const QRegion& dirty = event->region();
    for (const QRect& r : dirty)
        p.fillRect(r, palette().window());
    DrawLabels(p, event->rect());
    lastPaintedSquares = DrawSquares(p, dirty);
    DrawRack(p, event->rect());
    DrawAreasAndLine(p);
    DrawArrows(p);
    DrawSlidingPieces(p);
}

void cntrlChessGui::DrawLabels(QPainter& p, const QRect& dirty) const {
    if (!coordinatesShown) return;
    p.setRenderHint(QPainter::Antialiasing);
    QFont font = p.font();
    font.setPixelSize(std::max(8, qRound(geometry.dblLabelSize() / 15 * 0.62)));
    font.setBold(true);
    p.setFont(font);
    p.setPen(palette().windowText().color());
    for (int k = 0; k < 8; ++k) {
        const QRectF file = rcPixels(geometry.rcFileLabel(k));
        if (file.intersects(dirty)) p.drawText(file, Qt::AlignCenter, strFileLabel(k));
        const QRectF rank = rcPixels(geometry.rcRankLabel(k));
        if (rank.intersects(dirty)) p.drawText(rank, Qt::AlignCenter, strRankLabel(k));
    }
}

QRect cntrlChessGui::rcSquareSnapped(int index) const {
    // Squares meet edge to edge: snap both edges to whole pixels so no seam shows.
    const double k = CBoardGeometry::TWIPS_PER_PIXEL;
    const CTwipRect tw = geometry.rcSquare(index);
    return {QPoint(qRound(tw.left / k), qRound(tw.top / k)),
            QPoint(qRound((tw.left + tw.width) / k) - 1, qRound((tw.top + tw.height) / k) - 1)};
}

int cntrlChessGui::DrawSquares(QPainter& p, const QRegion& dirty) const {
    const double k = CBoardGeometry::TWIPS_PER_PIXEL;
    const double pic = geometry.dblPictureSize() / k;
    const double edge = geometry.dblSquareSize() / k;
    const int slideTo = animPiece >= 0 ? CBoardGeometry::intIndexOfSquare(animTo, whiteOnTop) : -1;
    // In setup the pictures are being edited: the tints of the position would mislead.
    const bool tints = mode != BoardMode::Setup;
    std::array<QRect, 64> squares;
    std::array<bool, 64> drawn{};
    int painted = 0;
    // First the flat layer, without antialiasing: colours, tints and frames.
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 64; ++i) {
        squares[i] = rcSquareSnapped(i);
        const QRect& sq = squares[i];
        if (!dirty.intersects(sq)) continue;
        drawn[i] = true;
        ++painted;
        const int square = CBoardGeometry::intSquareOfIndex(i, whiteOnTop);
        p.fillRect(sq,
                   CBoardTheme::colorOf(CBoardGeometry::isLightSquare(i) ? colorLight : colorDark));
        if (tints && lastMoveShown && (square == lastFrom || square == lastTo))
            p.fillRect(sq, kLastMoveTint);
        if (square == selected) p.fillRect(sq, kSelectedTint);
        if (squareBorder[i]) {
            p.setPen(QPen(QColor(40, 40, 40), 1));
            p.drawRect(sq.adjusted(0, 0, -1, -1));
        }
    }
    // Then the round shapes and the pieces, antialiased.
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < 64; ++i) {
        if (!drawn[i]) continue;
        const QRect& sq = squares[i];
        const int square = CBoardGeometry::intSquareOfIndex(i, whiteOnTop);
        if (tints && square == checkSquare) {
            QRadialGradient glow(QRectF(sq).center(), edge * 0.62);
            glow.setColorAt(0, QColor(255, 0, 0, 230));
            glow.setColorAt(0.45, QColor(231, 0, 0, 160));
            glow.setColorAt(1, QColor(169, 0, 0, 0));
            p.fillRect(sq, glow);
        }
        const int mark = marks.intMark(square);
        if (mark >= 0) {
            const double w = std::max(2.0, edge * 0.08);
            p.setPen(QPen(kMarkColors[mark], w));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(QRectF(sq).adjusted(w / 2 + 1, w / 2 + 1, -w / 2 - 1, -w / 2 - 1));
        }
        if (pictures[i] >= 0 && pictureVisible[i] && i != slideTo) {
            const CTwipRect pr = geometry.rcPicture(i);
            pieces->Draw(p, pictures[i], QRectF(pr.left / k, pr.top / k, pic, pic));
        }
        const int target = legalHints ? targets[square] : 0;
        if (target == 1) {
            p.setPen(Qt::NoPen);
            p.setBrush(kTargetColor);
            p.drawEllipse(QRectF(sq).center(), edge * 0.16, edge * 0.16);
        } else if (target == 2) {
            const double w = std::max(2.0, edge * 0.09);
            p.setPen(QPen(kTargetColor, w));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(QRectF(sq).adjusted(w / 2, w / 2, -w / 2, -w / 2));
        }
    }
    const QRectF board = rcPixels(geometry.rcSquare(0)).united(rcPixels(geometry.rcSquare(63)));
    if (dirty.boundingRect().intersects(board.toAlignedRect().adjusted(-1, -1, 1, 1))) {
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(QPen(QColor(60, 60, 60), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(board.adjusted(-0.5, -0.5, 0.5, 0.5));
    }
    return painted;
}

void cntrlChessGui::DrawRack(QPainter& p, const QRect& dirty) const {
    if (!rackShown) return;
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

void cntrlChessGui::DrawAreasAndLine(QPainter& p) const {
    const double k = CBoardGeometry::TWIPS_PER_PIXEL;
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
}

void cntrlChessGui::DrawArrow(QPainter& p, int fromIndex, int toIndex, const QColor& color) const {
    const double edge = geometry.dblSquareSize() / CBoardGeometry::TWIPS_PER_PIXEL;
    const QPointF a = QRectF(rcSquareSnapped(fromIndex)).center();
    const QPointF b = QRectF(rcSquareSnapped(toIndex)).center();
    const double length = std::hypot(b.x() - a.x(), b.y() - a.y());
    if (length < 1) return;
    const double shaft = edge * 0.09;
    const double head = std::min(edge * 0.42, length * 0.6);
    const double wing = edge * 0.24;
    // The arrow is built along the x axis and turned onto its squares.
    QPainterPath path;
    path.moveTo(edge * 0.18, -shaft);
    path.lineTo(length - head, -shaft);
    path.lineTo(length - head, -wing);
    path.lineTo(length, 0);
    path.lineTo(length - head, wing);
    path.lineTo(length - head, shaft);
    path.lineTo(edge * 0.18, shaft);
    path.closeSubpath();
    p.save();
    p.translate(a);
    p.rotate(std::atan2(b.y() - a.y(), b.x() - a.x()) * 180.0 / M_PI);
    p.setBrush(color);
    p.drawPath(path);
    p.restore();
}

void cntrlChessGui::DrawArrows(QPainter& p) const {
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    for (const CBoardMarks::Arrow& arrow : marks.arrArrows())
        DrawArrow(p, CBoardGeometry::intIndexOfSquare(arrow.from, whiteOnTop),
                  CBoardGeometry::intIndexOfSquare(arrow.to, whiteOnTop), kMarkColors[arrow.color]);
    // The arrow being drawn with the right button, paler until it is let go.
    if (rightPress >= 0 && rightHover >= 0 && rightHover != rightPress) {
        QColor pale = kMarkColors[rightColor];
        pale.setAlpha(110);
        DrawArrow(p, rightPress, rightHover, pale);
    }
}

void cntrlChessGui::DrawSlidingPieces(QPainter& p) const {
    if (animPiece >= 0) pieces->Draw(p, animPiece, rcSlidePiece());
    if (dragShown && dragSlot >= 0) {
        const double pic = geometry.dblPictureSize() / CBoardGeometry::TWIPS_PER_PIXEL;
        pieces->Draw(p, dragSlot, QRectF(dragPos.x() - pic / 2, dragPos.y() - pic / 2, pic, pic));
    }
}
