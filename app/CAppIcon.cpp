#include "app/CAppIcon.h"

#include "board/ResourceLocator.h"

#include <QPainter>
#include <QPixmap>

namespace {

// A knight-less stand-in: a small two-tone chequer, used only when the picture is missing.
QIcon drawnIcon() {
    QPixmap pixmap(64, 64);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    for (int file = 0; file < 2; ++file) {
        for (int rank = 0; rank < 2; ++rank) {
            painter.fillRect(file * 32, rank * 32, 32, 32,
                             (file + rank) % 2 ? QColor(0x3d, 0x7a, 0x7a)
                                               : QColor(0xf0, 0xf0, 0xe6));
        }
    }
    return QIcon(pixmap);
}

} // namespace

const QIcon& CAppIcon::objIcon() {
    static const QIcon icon = [] {
        const QString file = strFindResource("brisolt.svg");
        QIcon loaded = file.isEmpty() ? QIcon() : QIcon(file);
        return loaded.isNull() ? drawnIcon() : loaded;
    }();
    return icon;
}
