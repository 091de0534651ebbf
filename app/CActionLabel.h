#pragma once

#include <QLabel>

// A label that acts as a command: underlined like a link, a hand pointer, clicked with the
// mouse or with Space/Enter when it has focus. A disabled label is grey and ignores clicks.
class CActionLabel : public QLabel {
    Q_OBJECT

public:
    // A command label with the given caption.
    explicit CActionLabel(const QString& caption, QWidget* parent = nullptr);

signals:
    // The label was clicked while enabled.
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void UpdateStyle();
    bool isDoubleClick = false; // the button is down for the second click of a double click
};
