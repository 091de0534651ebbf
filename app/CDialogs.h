#pragma once

#include <QColor>
#include <QString>

class QWidget;

// The common dialogs of the main window: choosing a workbook file and choosing a colour.
class CDialogs {
public:
    // The filter of the workbook file dialogs.
    static QString strWorkbookFilter();
    // Asks for a workbook file (a Save dialog when save is true, else an Open dialog) starting in
    // the given folder; "" when cancelled.
    static QString strAskWorkbookFile(QWidget* parent, bool save, const QString& folder);
    // Lets the user choose a colour starting from the given colour number (0x00BBGGRR); the
    // unchanged number when cancelled.
    static long lngChooseColor(QWidget* parent, long color);

    // The colour of a colour number (low byte red, then green, then blue).
    static QColor objColorFromNumber(long color);
    // The colour number of a colour.
    static long lngNumberFromColor(const QColor& color);
};
