#include "app/CScreenshot.h"

#include "app/CSettings.h"
#include "app/frmMain.h"

#include <QApplication>
#include <QFileInfo>
#include <QPixmap>
#include <QWidget>
#include <cstdio>

bool CScreenshot::isSaveWidget(QWidget* widget, const QString& pictureFile) {
    QApplication::processEvents();
    const QPixmap pixmap = widget->grab();
    return !pixmap.isNull() && pixmap.save(pictureFile);
}

int CScreenshot::intRender(const QString& workbook, const QString& pictureFile) {
    const QString file = workbook.isEmpty() ? CSettings::strLastOpened() : workbook;
    if (file.isEmpty()) {
        std::fprintf(stderr,
                     "brisolt: name the workbook to show: brisolt --screenshot %s WORKBOOK\n",
                     qPrintable(pictureFile));
        return 1;
    }
    frmMain window;
    window.isUnattended(true);
    window.strStartupWorkbook(file);
    window.resize(QSize(1040, 640));
    window.setAttribute(Qt::WA_DontShowOnScreen, QGuiApplication::platformName() != "offscreen");
    window.show();
    if (!window.Activate()) {
        std::fprintf(stderr, "brisolt: the workbook %s cannot be trained\n", qPrintable(file));
        return 1;
    }
    if (!isSaveWidget(&window, pictureFile)) {
        std::fprintf(stderr, "brisolt: cannot write the picture %s\n", qPrintable(pictureFile));
        return 1;
    }
    std::printf("%s\n", qPrintable(QFileInfo(pictureFile).absoluteFilePath()));
    return 0;
}
