#pragma once

#include <QDialog>
#include <QString>

class QPushButton;

// The modal promotion choice: four buttons, each storing its piece letter and hiding the dialog.
class frmPromote : public QDialog {
    Q_OBJECT
public:
    explicit frmPromote(QWidget* parent = nullptr);

    // The chosen letter ("Q", "N", "B", "R"); empty until a button is pressed.
    QString strChosen() const { return chosen; }

    // Shows the dialog modally and returns the chosen letter (empty when closed without a choice).
    static QString strAsk(QWidget* parent);

    QPushButton* cmdQueen;
    QPushButton* cmdKnight;
    QPushButton* cmdBishop;
    QPushButton* cmdRook;

private:
    void Choose(const QString& letter);
    QString chosen;
};
