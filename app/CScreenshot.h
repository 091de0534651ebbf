#pragma once

#include <QString>

class QWidget;

// The --screenshot mode: the training window with its first game, rendered to a picture.
class CScreenshot {
public:
    // Opens the workbook ("" for the last one used) in a training window, renders the window to
    // the picture file and returns the exit status (0 written, 1 failed, with a line on stderr).
    static int intRender(const QString& workbook, const QString& pictureFile);
    // Renders a shown widget, with its child windows laid out and painted, to a picture file.
    static bool isSaveWidget(QWidget* widget, const QString& pictureFile);
};
