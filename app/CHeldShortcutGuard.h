#pragma once

#include <QList>
#include <QObject>

class QAction;

// Keeps a held key from triggering actions that do not repeat. X11 sends a held key as pairs of
// a release and a press with one timestamp; Qt marks most of those presses as repeats, but not
// all, and an unmarked one triggers the action again. The guard refuses the shortcut of such a
// press for the given actions, so a held Ctrl+N shows one game, not one per repeat.
class CHeldShortcutGuard : public QObject {
    Q_OBJECT

public:
    // Watches every key event of the application for the actions' shortcuts.
    CHeldShortcutGuard(QList<QAction*> actions, QObject* parent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QList<QAction*> actions;
    int releasedKey = 0;
    quint64 releasedAt = 0;
};
