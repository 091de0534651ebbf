#pragma once

#include <QDialog>

// The About box: the program's title, version and description, and a "System Info" button
// that shows what the program runs on.
class CAboutBox : public QDialog {
    Q_OBJECT

public:
    // A modal About box over the given window.
    explicit CAboutBox(QWidget* parent = nullptr);

    // The program's version, "major.minor.patch".
    static QString strVersion();
    // One line per fact: operating system, Qt, SQLite, the chess engine found.
    static QString strSystemInfo();
    // The chess engine the practice window would start, with its path; "" when none is found.
    static QString strEngineFound();

    // Shows the system information over this box.
    void ShowSystemInfo();
};
