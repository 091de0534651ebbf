#include "editor/CPgnTransfer.h"

#include "editor/CBackgroundTask.h"
#include "model/CError.h"
#include "pgn/PgnExport.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <fstream>
#include <vector>

QString strImportProgress(int read, int imported, int skipped, double seconds) {
    const int rate = seconds > 0.05 ? static_cast<int>(read / seconds) : 0;
    return QString("%1 games read, %2 imported, %3 skipped\n%4 games per second")
        .arg(read)
        .arg(imported)
        .arg(skipped)
        .arg(rate);
}

PgnImportSummary ImportPgnFile(CWorkBook& workbook, const QString& file, CTaskControl& control) {
    // A pipe would block the opening for ever and a device may never end: only files are read.
    if (const QFileInfo info(file); info.exists() && !info.isFile())
        RaiseError("PGN",
                   "Cannot read the file " + file.toStdString() + ": it is not a regular file.");
    std::ifstream input(QFile::encodeName(file).toStdString(), std::ios::binary);
    if (!input) RaiseError("PGN", "Cannot read the file " + file.toStdString() + ".");
    PgnImportSummary summary;
    QElapsedTimer clock;
    clock.start();
    PgnImportOptions options;
    options.cancel = control.objCancelFlag();
    options.progress = [&](int read, int imported, int skipped) {
        control.Report(read, 0,
                       strImportProgress(read, imported, skipped, clock.elapsed() / 1000.0));
    };
    options.skipped = [&](const std::string& line) {
        summary.arrstrSkipped << QString::fromStdString(line);
    };
    options.noted = [&](const std::string& line) {
        summary.arrstrNoted << QString::fromStdString(line);
    };
    summary.objResult = ImportPgn(workbook, input, options);
    summary.dblSeconds = clock.elapsed() / 1000.0;
    return summary;
}

PgnExportSummary ExportPgnFile(CWorkBook& workbook, const QString& file,
                               const std::vector<int32_t>& ids) {
    PgnExportSummary summary;
    summary.intWritten =
        ExportPgnToFile(
            workbook, QFile::encodeName(file).toStdString(), ids,
            [&](int64_t id, const std::string& reason) {
                summary.arrstrSkipped
                    << QString("game %1: %2").arg(id).arg(QString::fromStdString(reason));
            });
    return summary;
}
