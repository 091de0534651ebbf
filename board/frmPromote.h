#pragma once

#include <QDialog>
#include <QRect>
#include <QString>

class QPushButton;

// The modal promotion choice: four buttons showing the pieces, each storing its piece letter and
// hiding the dialog. Shown over the promotion square as a column of the four pieces.
class frmPromote : public QDialog {
    Q_OBJECT
public:
    // The pieces of the colour given; edge is the button size in pixels (a square's size).
    explicit frmPromote(QWidget* parent = nullptr, bool isWhite = true, int edge = 56,
                        bool isDownward = true);

    // The chosen letter ("Q", "N", "B", "R"); empty until a button is pressed.
    QString strChosen() const { return chosen; }

    // Shows the dialog modally and returns the chosen letter (empty when closed without a choice).
    static QString strAsk(QWidget* parent);
    // The same, as a column over a square (global pixels), the queen on the square itself and
    // the column running toward the middle of the screen area the square lies in.
    static QString strAsk(QWidget* parent, const QRect& square, bool isWhite);

    QPushButton* cmdQueen;
    QPushButton* cmdKnight;
    QPushButton* cmdBishop;
    QPushButton* cmdRook;

private:
    void Choose(const QString& letter);
    QString chosen;
};
