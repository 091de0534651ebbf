#pragma once

#include <QByteArray>
#include <QString>

// The program's per-user settings: the application "Brisolt" in the platform's settings store,
// with every key and its default in the table of settings/SettingsTable.h.
class CSettings {
public:
    // The text stored under section/key, or the key's default when nothing is stored.
    static QString strValue(const QString& section, const QString& key);
    // Stores a text under section/key.
    static void SaveValue(const QString& section, const QString& key, const QString& value);
    // The default of section/key from the table, "" for a key the table does not know.
    static QString strDefault(const QString& section, const QString& key);

    // Full path of the last workbook opened, "" when none.
    static QString strLastOpened();
    // Remembers the last workbook opened.
    static void strLastOpened(const QString& file);

    // Light square colour as a colour number (0x00BBGGRR).
    static long lngLightColor();
    // Stores the light square colour as decimal text.
    static void lngLightColor(long color);
    // Dark square colour as a colour number (0x00BBGGRR).
    static long lngDarkColor();
    // Stores the dark square colour as decimal text.
    static void lngDarkColor(long color);

    // True when the board is flipped (White at the top).
    static bool isWhiteOnTop();
    // Stores the board orientation as "1" (flipped) or "0".
    static void isWhiteOnTop(bool whiteOnTop);

    // True when batches follow spaced repetition ("spaced"), false for the classic order.
    static bool isSpacedOrder();
    // Stores the training order as "spaced" or "classic".
    static void isSpacedOrder(bool spaced);
    // New games spaced repetition brings in a day (0 to intMaxNewGamesPerDay; other text reads
    // as the default).
    static int intNewGamesPerDay();
    // Stores the new games a day.
    static void intNewGamesPerDay(int count);
    static constexpr int intMaxNewGamesPerDay = 1000;

    // The window's colours: "System" (the desktop's), "Light" or "Dark".
    static QString strAppearance();
    // Stores the choice of the window's colours.
    static void strAppearance(const QString& choice);

    // Where the training window was and how large when it was last closed (empty: never closed).
    static QByteArray objWindowGeometry();
    // Stores the training window's place and size.
    static void objWindowGeometry(const QByteArray& geometry);
};
