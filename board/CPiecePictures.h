#pragma once

#include <QHash>
#include <QPixmap>
#include <QString>
#include <QSvgRenderer>
#include <array>
#include <bitset>
#include <memory>

class QPainter;
class QRectF;

// The twelve piece pictures in rack order (slots 0-5 white K Q B N R P, 6-11 black k q b n r p),
// drawn from SVG files and cached as pixmaps per size so that repainting a square is a blit.
// Each file is read the first time its slot is asked for: a position rarely shows all twelve.
class CPiecePictures {
public:
    static constexpr int SLOTS = 12;

    // The pictures come from "pieces/<Name>.svg" found through the resource locator, or from
    // the given folder when it is not empty. A missing or broken file leaves its slot blank.
    explicit CPiecePictures(const QString& folder = QString());

    // Rack letter of a slot ("K" ... "p"); empty outside 0..11.
    static QString strSlotLetter(int slot);
    // Slot of a rack letter; -1 for any other character.
    static int intSlotOfLetter(QChar letter);
    // File name of a slot ("WhiteKing.svg").
    static QString strFileName(int slot);

    // True when the slot's picture was loaded.
    bool isLoaded(int slot) const;
    // Draws a slot's picture into the rectangle (device-independent pixels); blank slots draw
    // nothing.
    void Draw(QPainter& painter, int slot, const QRectF& target) const;
    // The slot's picture at an edge size in device pixels (cached).
    QPixmap pixPicture(int slot, int devicePixels) const;

private:
    // The slot's renderer, read from its file on the first call; nullptr for a blank slot.
    QSvgRenderer* renderer(int slot) const;

    QString folder;
    mutable std::array<std::unique_ptr<QSvgRenderer>, SLOTS> renderers;
    mutable std::bitset<SLOTS> fileRead;
    mutable QHash<qint64, QPixmap> cache;
};
