#pragma once

#include <QString>

class QWidget;
class cntrlChessGui;

// The --screenshot mode: the training window with its first game, rendered to a picture.
class CScreenshot {
public:
    // Opens the workbook ("" for the last one used) in a training window, plays the first moves
    // of the stored solution as the trainee would (0 for none), renders the window to the
    // picture file and returns the exit status (0 written, 1 failed, with a line on stderr).
    static int intRender(const QString& workbook, const QString& pictureFile, int moves = 0);
    // Plays the first stored move at the board's current node as a trainee's drop; false when
    // the board has no stored move to play.
    static bool isPlayStoredMove(cntrlChessGui* board);
    // Renders a shown widget, with its child windows laid out and painted, to a picture file.
    static bool isSaveWidget(QWidget* widget, const QString& pictureFile);
};
