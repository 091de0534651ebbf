#include "editor/CPgnTransfer.h"

#include "editor/CBackgroundTask.h"
#include "model/CError.h"
#include "pgn/PgnExport.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSaveFile>
#include <fstream>
#include <sstream>

QString strImportProgress(int read, int imported, int skipped, double seconds) {
    const int rate = seconds > 0.05 ? static_cast<int>(read / seconds) : 0;
    return QString("%1 games read, %2 imported, %3 skipped\n%4 games per second")
        .arg(read)
        .arg(imported)
        .arg(skipped)
        .arg(rate);
}

PgnImportSummary ImportPgnFile(CWorkBook& workbook, const QString& file, CTaskControl& control) {
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
    summary.objResult = ImportPgn(workbook, input, options);
    summary.dblSeconds = clock.elapsed() / 1000.0;
    return summary;
}

int ExportPgnFile(CWorkBook& workbook, const QString& file, const std::vector<int32_t>& ids) {
    std::ostringstream text;
    const int written = ExportPgn(workbook, text, ids);
    QSaveFile output(file);
    const std::string bytes = text.str();
    if (!output.open(QIODevice::WriteOnly) ||
        output.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
            static_cast<qint64>(bytes.size()) ||
        !output.commit())
        RaiseError("PGN", "Cannot write the file " + file.toStdString() + ": " +
                              output.errorString().toStdString());
    return written;
}
