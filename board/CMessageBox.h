#pragma once

#include <QString>

class QWidget;

// Where the board control sends its warnings (the setup checks), so that a host or a test can
// show, log or record them.
class CMessageBox {
public:
    virtual ~CMessageBox() = default;
    // Shows a warning with an OK button and waits until it is closed.
    virtual void ShowWarning(QWidget* parent, const QString& text, const QString& title) = 0;
};

// The default: a modal warning box.
class CModalMessageBox : public CMessageBox {
public:
    // Shows a QMessageBox with the warning icon.
    void ShowWarning(QWidget* parent, const QString& text, const QString& title) override;
};
