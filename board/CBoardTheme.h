#pragma once

#include <QColor>
#include <QPixmap>
#include <QString>
#include <vector>

class QPainter;
class QRectF;

// A named pair of square colours (0x00BBGGRR, as the board's colour properties take them).
struct CBoardTheme {
    QString strName;
    quint32 lngLight = 0;
    quint32 lngDark = 0;

    // The themes offered, the classic pair first (the board's default colours).
    static const std::vector<CBoardTheme>& arrThemes();
    // The theme of that name; nothing found gives the classic one.
    static const CBoardTheme& objFind(const QString& name);
    // Name of the theme with exactly these colours, empty for a pair of one's own.
    static QString strNameOf(quint32 light, quint32 dark);
    // A colour of the 0x00BBGGRR form.
    static QColor colorOf(quint32 bgr);
    // Paints a small chequered sample (four by four squares) of the colours into the rectangle.
    static void PaintPreview(QPainter& painter, const QRectF& target, quint32 light, quint32 dark);
    // The sample as a picture of the given edge in pixels, for menus and option lists.
    static QPixmap pixPreview(const CBoardTheme& theme, int edge);
};
