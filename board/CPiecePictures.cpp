#include "board/CPiecePictures.h"

#include "board/ResourceLocator.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>

namespace {
const char* const kNames[CPiecePictures::SLOTS] = {
    "WhiteKing", "WhiteQueen", "WhiteBishop", "WhiteKnight", "WhiteRook", "WhitePawn",
    "BlackKing", "BlackQueen", "BlackBishop", "BlackKnight", "BlackRook", "BlackPawn"};
const char kLetters[] = "KQBNRPkqbnrp";
} // namespace

CPiecePictures::CPiecePictures(const QString& folder) : folder(folder) {}

QSvgRenderer* CPiecePictures::renderer(int slot) const {
    if (slot < 0 || slot >= SLOTS) return nullptr;
    if (!fileRead[slot]) {
        fileRead[slot] = true;
        const QString file = strFileName(slot);
        const QString path =
            folder.isEmpty() ? strFindResource("pieces/" + file) : QDir(folder).filePath(file);
        if (path.isEmpty() || !QFileInfo::exists(path)) return nullptr;
        auto loaded = std::make_unique<QSvgRenderer>(path);
        if (loaded->isValid()) renderers[slot] = std::move(loaded);
    }
    return renderers[slot].get();
}

QString CPiecePictures::strSlotLetter(int slot) {
    if (slot < 0 || slot >= SLOTS) return {};
    return QString(QChar::fromLatin1(kLetters[slot]));
}

int CPiecePictures::intSlotOfLetter(QChar letter) {
    for (int slot = 0; slot < SLOTS; ++slot)
        if (letter == QChar::fromLatin1(kLetters[slot])) return slot;
    return -1;
}

QString CPiecePictures::strFileName(int slot) {
    if (slot < 0 || slot >= SLOTS) return {};
    return QString::fromLatin1(kNames[slot]) + ".svg";
}

bool CPiecePictures::isLoaded(int slot) const {
    return renderer(slot) != nullptr;
}

QPixmap CPiecePictures::pixPicture(int slot, int devicePixels) const {
    if (!isLoaded(slot) || devicePixels <= 0) return {};
    const qint64 key = (static_cast<qint64>(devicePixels) << 8) | slot;
    auto found = cache.constFind(key);
    if (found != cache.constEnd()) return *found;
    QPixmap pix(devicePixels, devicePixels);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    renderer(slot)->render(&p, QRectF(0, 0, devicePixels, devicePixels));
    p.end();
    cache.insert(key, pix);
    return pix;
}

void CPiecePictures::Draw(QPainter& painter, int slot, const QRectF& target) const {
    if (!isLoaded(slot)) return;
    const qreal dpr = painter.device() != nullptr ? painter.device()->devicePixelRatioF() : 1.0;
    const int edge = qRound(qMin(target.width(), target.height()) * dpr);
    QPixmap pix = pixPicture(slot, edge);
    if (pix.isNull()) return;
    pix.setDevicePixelRatio(dpr);
    painter.drawPixmap(QPointF(target.left(), target.top()), pix);
}
