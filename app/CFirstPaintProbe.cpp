#include "app/CFirstPaintProbe.h"

#include <QEvent>
#include <QTimer>

CFirstPaintProbe::CFirstPaintProbe(QElapsedTimer clock, std::function<bool()> ready,
                                   std::function<void(qint64 ms)> painted, QObject* parent)
    : QObject(parent), clock(clock), ready(std::move(ready)), painted(std::move(painted)) {}

void CFirstPaintProbe::Watch(QObject* widget) {
    widget->installEventFilter(this);
}

bool CFirstPaintProbe::eventFilter(QObject* watched, QEvent* event) {
    if (!reported && event->type() == QEvent::Paint && ready()) {
        reported = true;
        const qint64 ms = clock.elapsed();
        // Report once this paint has finished.
        QTimer::singleShot(0, this, [this, ms] { painted(ms); });
    }
    return QObject::eventFilter(watched, event);
}
