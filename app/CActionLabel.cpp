#include "app/CActionLabel.h"

#include <QKeyEvent>
#include <QMouseEvent>

CActionLabel::CActionLabel(const QString& caption, QWidget* parent) : QLabel(caption, parent) {
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setAccessibleName(caption);
    UpdateStyle();
}

// A double click runs the command once: its first click did, the second is ignored.
void CActionLabel::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) isDoubleClick = true;
    event->accept();
}

void CActionLabel::mouseReleaseEvent(QMouseEvent* event) {
    const bool second = isDoubleClick && event->button() == Qt::LeftButton;
    if (second) isDoubleClick = false;
    if (event->button() == Qt::LeftButton && isEnabled() && !second &&
        rect().contains(event->position().toPoint())) {
        emit clicked();
        return;
    }
    QLabel::mouseReleaseEvent(event);
}

void CActionLabel::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (isEnabled() && (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter)) {
        // A key held down runs the command once, as a button's does.
        if (!event->isAutoRepeat()) emit clicked();
        return;
    }
    QLabel::keyPressEvent(event);
}

void CActionLabel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange) UpdateStyle();
    QLabel::changeEvent(event);
}

void CActionLabel::UpdateStyle() {
    // The palette's link colour, so that a dark palette gets a light link.
    setStyleSheet(isEnabled() ? "QLabel { color: palette(link); text-decoration: underline; }"
                              : "QLabel { color: #9a9996; text-decoration: none; }");
    setCursor(isEnabled() ? Qt::PointingHandCursor : Qt::ArrowCursor);
}
