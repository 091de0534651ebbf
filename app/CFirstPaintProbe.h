#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <functional>

// Watches a widget for its first paint once a condition holds (for example "a game is shown"),
// then reports the milliseconds on a clock started by the caller (at program start). Used to
// measure the program's launch to the first position painted.
class CFirstPaintProbe : public QObject {
    Q_OBJECT

public:
    // A probe reading the given clock; ready tells whether the painted content is what is
    // waited for; painted gets the milliseconds once that paint has finished.
    CFirstPaintProbe(QElapsedTimer clock, std::function<bool()> ready,
                     std::function<void(qint64 ms)> painted, QObject* parent = nullptr);
    // Watches the widget's paint events.
    void Watch(QObject* widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QElapsedTimer clock;
    std::function<bool()> ready;
    std::function<void(qint64)> painted;
    bool reported = false;
};
