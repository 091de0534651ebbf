#include "app/CScreenshot.h"

#include "app/CMessages.h"
#include "app/CSettings.h"
#include "app/frmMain.h"
#include "board/cntrlChessGui.h"
#include "game/CGameNode.h"
#include "game/CPosition.h"
#include "model/CChessSquare.h"
#include "model/CPieceLocation.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QPixmap>
#include <QTemporaryDir>
#include <QWidget>
#include <cstdio>

bool CScreenshot::isSaveWidget(QWidget* widget, const QString& pictureFile) {
    QApplication::processEvents();
    const QPixmap pixmap = widget->grab();
    return !pixmap.isNull() && pixmap.save(pictureFile);
}

bool CScreenshot::isPlayStoredMove(cntrlChessGui* board) {
    if (board->boardMode() != BoardMode::Training || board->arrNextNodes().empty()) return false;
    const std::string text = board->arrNextNodes().front()->objPosition()->strMoveText();
    // A promotion takes the stored piece: no dialog waits for a person.
    board->SetPromotionChooser([text](QWidget*) {
        const QString move = QString::fromStdString(text).remove('+').remove('#');
        for (const char* letter : {"Q", "R", "B", "N"})
            if (move.endsWith(letter)) return QString(letter);
        return QString("Q");
    });
    std::shared_ptr<CPieceLocation> from, to;
    const auto position = board->objPosition();
    if (!position->objProcessMove2(position, text, from, to) || !from || !to) return false;
    const auto index = [board](const std::shared_ptr<CPieceLocation>& location) {
        const int file = location->objSquare()->intFile();
        const int rank = location->objSquare()->intRank();
        return board->isWhiteOnTop() ? rank * 8 + (7 - file) : (7 - rank) * 8 + file;
    };
    board->MakeMove(index(from), index(to), 0);
    return true;
}

int CScreenshot::intRender(const QString& workbook, const QString& pictureFile, int moves) {
    const QString file = workbook.isEmpty() ? CSettings::strLastOpened() : workbook;
    if (file.isEmpty()) {
        std::fprintf(stderr,
                     "brisolt: name the workbook to show: brisolt --screenshot %s WORKBOOK\n",
                     qPrintable(pictureFile));
        return 1;
    }
    // Moves played for the picture record results: they go to a copy, never to the user's file.
    QTemporaryDir scratch;
    QString shown = file;
    if (moves > 0) {
        shown = scratch.filePath(QFileInfo(file).fileName());
        if (!scratch.isValid() || !QFile::copy(file, shown)) {
            std::fprintf(stderr, "brisolt: cannot copy the workbook %s\n", qPrintable(file));
            return 1;
        }
        QFile::setPermissions(shown, QFile::ReadOwner | QFile::WriteOwner);
    }
    // Nobody is there to answer a message: each one goes to the error output and fails the run.
    CMessages::isUnattended(true);
    frmMain window;
    window.isUnattended(true);
    window.strStartupWorkbook(shown);
    window.resize(QSize(1040, 640));
    window.setAttribute(Qt::WA_DontShowOnScreen, QGuiApplication::platformName() != "offscreen");
    window.show();
    const bool opened = window.Activate();
    // The copy is not a workbook to come back to, whatever happens next.
    if (moves > 0 && CSettings::strLastOpened() == QFileInfo(shown).absoluteFilePath())
        CSettings::strLastOpened(file);
    if (!opened) {
        std::fprintf(stderr, "brisolt: the workbook %s cannot be trained\n", qPrintable(file));
        return 1;
    }
    for (int k = 0; k < moves && isPlayStoredMove(window.objBoard()); ++k) {
    }
    if (CMessages::intUnattendedMessages() > 0) return 1;
    if (!isSaveWidget(&window, pictureFile)) {
        std::fprintf(stderr, "brisolt: cannot write the picture %s\n", qPrintable(pictureFile));
        return 1;
    }
    std::printf("%s\n", qPrintable(QFileInfo(pictureFile).absoluteFilePath()));
    return 0;
}
