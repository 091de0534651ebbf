#include "board/frmPromote.h"

#include <QHBoxLayout>
#include <QPushButton>

frmPromote::frmPromote(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Select promotion piece");
    setModal(true);
    auto* layout = new QHBoxLayout(this);
    auto make = [this, layout](const QString& caption, const QString& letter) {
        auto* button = new QPushButton(caption, this);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, letter] { Choose(letter); });
        layout->addWidget(button);
        return button;
    };
    cmdQueen = make("Queen", "Q");
    cmdKnight = make("Knight", "N");
    cmdBishop = make("Bishop", "B");
    cmdRook = make("Rook", "R");
    cmdQueen->setDefault(true);
}

void frmPromote::Choose(const QString& letter) {
    chosen = letter;
    accept();
}

QString frmPromote::strAsk(QWidget* parent) {
    frmPromote dialog(parent);
    dialog.exec();
    return dialog.strChosen();
}
