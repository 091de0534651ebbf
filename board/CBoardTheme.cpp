#include "board/CBoardTheme.h"

#include <QPainter>

namespace {
constexpr quint32 bgr(int red, int green, int blue) {
    return static_cast<quint32>(red) | (static_cast<quint32>(green) << 8) |
           (static_cast<quint32>(blue) << 16);
}
} // namespace

const std::vector<CBoardTheme>& CBoardTheme::arrThemes() {
    static const std::vector<CBoardTheme> themes = {
        {"Classic", 0xFFFFFF, 8026685},
        {"Brown", bgr(240, 217, 181), bgr(181, 136, 99)},
        {"Blue", bgr(222, 227, 230), bgr(140, 162, 173)},
        {"Green", bgr(238, 238, 210), bgr(118, 150, 86)},
        {"Grey", bgr(224, 224, 224), bgr(150, 150, 150)},
        {"Lime", 0xFFFFFF, bgr(0, 255, 0)}, // the training window's colours until others are chosen
    };
    return themes;
}

const CBoardTheme& CBoardTheme::objFind(const QString& name) {
    for (const CBoardTheme& theme : arrThemes())
        if (theme.strName.compare(name, Qt::CaseInsensitive) == 0) return theme;
    return arrThemes().front();
}

QString CBoardTheme::strNameOf(quint32 light, quint32 dark) {
    for (const CBoardTheme& theme : arrThemes())
        if (theme.lngLight == light && theme.lngDark == dark) return theme.strName;
    return {};
}

QColor CBoardTheme::colorOf(quint32 value) {
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

void CBoardTheme::PaintPreview(QPainter& painter, const QRectF& target, quint32 light,
                               quint32 dark) {
    const double edge = std::min(target.width(), target.height()) / 4;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            painter.fillRect(QRectF(target.left() + c * edge, target.top() + r * edge, edge, edge),
                             colorOf((r + c) % 2 == 0 ? light : dark));
}

QPixmap CBoardTheme::pixPreview(const CBoardTheme& theme, int edge) {
    QPixmap pix(std::max(4, edge), std::max(4, edge));
    pix.fill(Qt::transparent);
    QPainter painter(&pix);
    PaintPreview(painter, QRectF(0, 0, pix.width(), pix.height()), theme.lngLight, theme.lngDark);
    return pix;
}
