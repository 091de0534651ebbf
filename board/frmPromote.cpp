#include "board/frmPromote.h"

#include "board/CPiecePictures.h"

#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

frmPromote::frmPromote(QWidget* parent, bool isWhite, int edge, bool isDownward)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setWindowTitle("Select promotion piece");
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    const CPiecePictures pictures;
    const qreal dpr = parent != nullptr ? parent->devicePixelRatioF() : devicePixelRatioF();
    auto make = [&](const QString& name, const QString& letter) {
        auto* button = new QPushButton(this);
        button->setToolTip(name);
        button->setAccessibleName(name);
        // Enter takes the piece that has the focus (Tab moves it), at first the queen.
        button->setAutoDefault(true);
        button->setFixedSize(edge, edge);
        const int slot = CPiecePictures::intSlotOfLetter(isWhite ? letter[0] : letter[0].toLower());
        QPixmap pix = pictures.pixPicture(slot, qRound(edge * 0.86 * dpr));
        pix.setDevicePixelRatio(dpr);
        button->setIcon(QIcon(pix));
        button->setIconSize(QSize(qRound(edge * 0.86), qRound(edge * 0.86)));
        connect(button, &QPushButton::clicked, this, [this, letter] { Choose(letter); });
        return button;
    };
    cmdQueen = make("Queen", "Q");
    cmdKnight = make("Knight", "N");
    cmdRook = make("Rook", "R");
    cmdBishop = make("Bishop", "B");
    QPushButton* order[] = {cmdQueen, cmdKnight, cmdRook, cmdBishop};
    for (int k = 0; k < 4; ++k)
        layout->addWidget(order[isDownward ? k : 3 - k]);
    cmdQueen->setDefault(true);
    cmdQueen->setFocus();
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

QString frmPromote::strAsk(QWidget* parent, const QRect& square, bool isWhite) {
    const QScreen* screen = parent != nullptr && parent->screen() != nullptr
                                ? parent->screen()
                                : QGuiApplication::primaryScreen();
    const QRect area = screen != nullptr ? screen->availableGeometry() : QRect();
    const bool downward = area.isNull() || square.center().y() < area.center().y();
    const int edge = std::max(32, square.width());
    frmPromote dialog(parent, isWhite, edge, downward);
    dialog.adjustSize();
    const int margin = 2;
    const int top =
        downward ? square.top() - margin : square.bottom() + margin - dialog.height() + 1;
    dialog.move(square.left() - margin, top);
    dialog.exec();
    return dialog.strChosen();
}
