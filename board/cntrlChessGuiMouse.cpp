// Mouse and keyboard of the board control: drag and drop, click on a piece then on its target,
// right-button arrows and square marks, the navigation keys and the move box.
#include "board/cntrlChessGui.h"
#include "game/CPosition.h"
#include "model/CDiagram.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>

namespace {
int shiftBits(Qt::KeyboardModifiers modifiers) {
    int bits = 0;
    if (modifiers & Qt::ShiftModifier) bits |= 1;
    if (modifiers & Qt::ControlModifier) bits |= 2;
    if (modifiers & Qt::AltModifier) bits |= 4;
    return bits;
}
} // namespace

int cntrlChessGui::intFindSquare(const QPoint& pos) const {
    const double k = CBoardGeometry::TWIPS_PER_PIXEL;
    return geometry.intDropSquare((pos.x() + 0.5) * k, (pos.y() + 0.5) * k);
}

int cntrlChessGui::intFindRack(const QPoint& pos) const {
    if (!rackShown) return -1;
    for (int slot = 0; slot < CPiecePictures::SLOTS; ++slot)
        if (rcRackPixels(slot).contains(pos)) return slot;
    return -1;
}

void cntrlChessGui::mousePressEvent(QMouseEvent* event) {
    pressIndex = -1;
    pressRack = -1;
    clickIndex = -1;
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::RightButton) {
        rightPress = intFindSquare(pos);
        rightHover = rightPress;
        ClearSelection();
        return;
    }
    if (event->button() != Qt::LeftButton) return;
    rightPress = -1;
    pressRack = intFindRack(pos);
    if (pressRack >= 0) {
        RackDragStart(pressRack);
        return;
    }
    pressIndex = intFindSquare(pos);
    clickIndex = pressIndex;
    try {
        LeftPress(pressIndex, shiftBits(event->modifiers()));
    } catch (...) {
        // A user's click never ends in an error.
    }
}

void cntrlChessGui::LeftPress(int index, int shift) {
    ClearArrows();
    deselectOnRelease = false;
    if (mode != BoardMode::FreePlay && mode != BoardMode::Training) return;
    const int square = index >= 0 ? CBoardGeometry::intSquareOfIndex(index, whiteOnTop) : -1;
    if (selected >= 0 && square >= 0 && square != selected && targets[square] != 0) {
        // The second click of a click-click move: play it, and start no drag from here.
        const int from = CBoardGeometry::intIndexOfSquare(selected, whiteOnTop);
        ClearSelection();
        pressIndex = -1;
        MakeMove(from, index, shift);
        return;
    }
    if (square >= 0 && square == selected) {
        deselectOnRelease = true;
        return;
    }
    SelectSquare(index);
}

void cntrlChessGui::mouseMoveEvent(QMouseEvent* event) {
    if ((event->buttons() & Qt::RightButton) && rightPress >= 0) {
        const int hover = intFindSquare(event->position().toPoint());
        if (hover != rightHover) {
            const Qt::KeyboardModifiers keys = event->modifiers();
            rightColor = CBoardMarks::intColorOfModifiers(
                keys & Qt::ShiftModifier, keys & Qt::ControlModifier, keys & Qt::AltModifier);
            UpdateArrowPreview();
            rightHover = hover;
            UpdateArrowPreview();
        }
        return;
    }
    if (!(event->buttons() & Qt::LeftButton)) return;
    const QPoint pos = event->position().toPoint();
    try {
        if (pressRack >= 0) {
            if (!rackDragging) setCursor(Qt::ClosedHandCursor);
            rackDragging = true;
            DragFollow(pos);
        } else if (pressIndex >= 0) {
            if (!dragging)
                DragStart(pressIndex, pos, event->modifiers() & Qt::ControlModifier);
            else
                DragFollow(pos);
        }
    } catch (...) {
        // A user's drag never ends in an error.
    }
}

void cntrlChessGui::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::RightButton) {
        RightRelease(pos, event->modifiers());
        return;
    }
    if (event->button() != Qt::LeftButton) return;
    const int start = pressIndex;
    const int rack = pressRack;
    const int click = clickIndex;
    pressIndex = -1;
    pressRack = -1;
    clickIndex = -1;
    const int drop = intFindSquare(pos);
    try {
        if (rack >= 0) {
            RackDrop(pos);
        } else if (start >= 0) {
            if (dragging) {
                DragDrop(start, pos, shiftBits(event->modifiers()));
                // A piece put back where it was stays selected for a click on its target.
                if (drop != start) ClearSelection();
            } else if (deselectOnRelease && drop == start) {
                ClearSelection();
            }
        }
        if (click >= 0 && drop == click)
            emit SquareClicked(
                click, QString::fromStdString(CBoardGeometry::strSquareName(click, whiteOnTop)));
    } catch (...) {
        // Square clicks continue past errors raised by a handler.
    }
}

void cntrlChessGui::UpdateArrowPreview() {
    if (rightPress < 0 || rightHover < 0) return;
    update(rcSquarePixels(rightPress).united(rcSquarePixels(rightHover)).adjusted(-4, -4, 4, 4));
}

void cntrlChessGui::RightRelease(const QPoint& pos, Qt::KeyboardModifiers keys) {
    UpdateArrowPreview();
    const int from = rightPress;
    rightPress = -1;
    rightHover = -1;
    const int to = intFindSquare(pos);
    if (from < 0 || to < 0) return;
    const int color = CBoardMarks::intColorOfModifiers(
        keys & Qt::ShiftModifier, keys & Qt::ControlModifier, keys & Qt::AltModifier);
    if (from == to) {
        MarkSquare(to, color);
        return;
    }
    const int a = CBoardGeometry::intSquareOfIndex(from, whiteOnTop);
    const int b = CBoardGeometry::intSquareOfIndex(to, whiteOnTop);
    // A toggled arrow repaints its old and new extent alike.
    if (marks.ToggleArrow(a, b, color)) UpdateArrow(a, b);
}

void cntrlChessGui::keyPressEvent(QKeyEvent* event) {
    const bool navigable =
        (mode == BoardMode::FreePlay || mode == BoardMode::View) && cmdNavigation[0]->isEnabled();
    int step = -1;
    switch (event->key()) {
    case Qt::Key_Escape:
        if (selected >= 0 || !marks.isEmpty()) {
            ClearSelection();
            ClearArrows();
            return;
        }
        break;
    case Qt::Key_Home:
        step = 0;
        break;
    case Qt::Key_PageUp:
        step = 1;
        break;
    case Qt::Key_Left:
        step = 2;
        break;
    case Qt::Key_Right:
        step = 3;
        break;
    case Qt::Key_End:
        step = 4;
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // The board holds the keyboard for its variation list: Enter follows the variation
        // chosen, as a double click does, and never reaches a dialog's default button (the
        // editor's Save).
        if (navigable) cmdNavigation_Click(3);
        return;
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (navigable && lstVariations->count() > 1) {
            const int delta = event->key() == Qt::Key_Up ? -1 : 1;
            lstVariations->setCurrentRow(
                std::clamp(lstVariations->currentRow() + delta, 0, lstVariations->count() - 1));
            return;
        }
        break;
    default:
        break;
    }
    if (step >= 0 && navigable) {
        cmdNavigation_Click(step);
        return;
    }
    QWidget::keyPressEvent(event);
}

void cntrlChessGui::OnMoveEntered() {
    const QString reason = strPlayMoveText(txtMove->text());
    lblMoveResult->setText(reason);
    if (reason.isEmpty())
        txtMove->clear();
    else
        txtMove->selectAll();
}

void cntrlChessGui::UpdateDrag() {
    const double pic = geometry.dblPictureSize() / CBoardGeometry::TWIPS_PER_PIXEL;
    update(QRectF(dragPos.x() - pic / 2, dragPos.y() - pic / 2, pic, pic)
               .toAlignedRect()
               .adjusted(-2, -2, 2, 2));
}

void cntrlChessGui::DragFollow(const QPoint& pos) {
    UpdateDrag();
    dragPos = pos;
    dragShown = true;
    UpdateDrag();
}

void cntrlChessGui::DragStart(int index, const QPoint& pos, bool ctrl) {
    if (mode == BoardMode::View) return;
    const int file = CBoardGeometry::intGetFile(index, whiteOnTop);
    const int rank = CBoardGeometry::intGetRank(index, whiteOnTop);
    const bool empty = position->objDiagram()->intCodeAt(file + 8 * rank) == 0;
    if (empty && (mode == BoardMode::FreePlay || mode == BoardMode::Training)) return;
    dragging = true;
    setCursor(Qt::ClosedHandCursor);
    dragSlot = pictures[index];
    if (!(mode == BoardMode::Setup && !ctrl)) SetPictureVisible(index, false);
    DragFollow(pos);
}

void cntrlChessGui::DragDrop(int index, const QPoint& pos, int shift) {
    unsetCursor();
    const int drop = intFindSquare(pos);
    try {
        if (drop < 0) {
            if (mode == BoardMode::Setup) SetPicture(index, -1);
        } else {
            MakeMove(index, drop, shift);
        }
    } catch (...) {
        SetPictureVisible(index, !phantom[index]);
        EndDrag();
        throw;
    }
    SetPictureVisible(index, !phantom[index]);
    EndDrag();
}

void cntrlChessGui::EndDrag() {
    dragging = false;
    UpdateDrag();
    dragShown = false;
}

void cntrlChessGui::CancelDrag() {
    // The piece picked up shows on its square again; one taken from the rack goes nowhere.
    if (dragging && pressIndex >= 0) SetPictureVisible(pressIndex, !phantom[pressIndex]);
    pressIndex = -1;
    clickIndex = -1;
    pressRack = -1;
    if (!dragging && !rackDragging) return;
    rackDragging = false;
    unsetCursor();
    EndDrag();
}

void cntrlChessGui::RackDragStart(int slot) {
    dragSlot = slot;
}

void cntrlChessGui::RackDrop(const QPoint& pos) {
    unsetCursor();
    if (rackDragging) {
        const int drop = intFindSquare(pos);
        if (drop >= 0) SetPicture(drop, dragSlot);
        rackDragging = false;
    }
    UpdateDrag();
    dragShown = false;
}
