#pragma once

#include <QString>
#include <QStringList>

class QPalette;

// The window's colours: the desktop's own palette ("System"), or a light or dark one chosen in
// Options, Appearance, whatever the desktop uses.
class CAppearance {
public:
    // The choices, in menu order: "System", "Light", "Dark".
    static QStringList arrChoices();
    // Colours the whole program after a choice; an unknown choice counts as "System".
    static void Apply(const QString& choice);
    // The choice applied last ("System" before the first).
    static QString strApplied();
    // True when the palette has light text on dark windows.
    static bool isDark(const QPalette& palette);
    // The dark palette the "Dark" choice uses.
    static QPalette objDarkPalette();
};
