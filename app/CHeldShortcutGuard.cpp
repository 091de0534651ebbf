#include "app/CHeldShortcutGuard.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>

CHeldShortcutGuard::CHeldShortcutGuard(QList<QAction*> actions, QObject* parent)
    : QObject(parent), actions(std::move(actions)) {
    qApp->installEventFilter(this);
}

bool CHeldShortcutGuard::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyRelease) {
        const auto* key = static_cast<QKeyEvent*>(event);
        releasedKey = key->key();
        releasedAt = key->timestamp();
    } else if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        // Events made by programs carry no time; only a press at the very moment of the
        // release is the key's repeat.
        const bool isRepeat =
            key->timestamp() != 0 && key->timestamp() == releasedAt && key->key() == releasedKey;
        const QKeySequence pressed(key->keyCombination());
        for (const QAction* action : actions)
            if (isRepeat && action->shortcut() == pressed) {
                // Taken as the focus widget's own key: no shortcut is triggered by it.
                key->accept();
                return true;
            }
    }
    return QObject::eventFilter(watched, event);
}
