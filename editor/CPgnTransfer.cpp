#include "editor/CPgnTransfer.h"

#include "editor/CBackgroundTask.h"
#include "model/CError.h"
#include "pgn/PgnExport.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <fstream>
#include <ostream>
#include <streambuf>
#include <vector>

namespace {

// Hands what a stream writes to a Qt device a block at a time.
class DeviceBuffer : public std::streambuf {
public:
    explicit DeviceBuffer(QIODevice& device) : m_device(device), m_block(1 << 16) {
        setp(m_block.data(), m_block.data() + m_block.size());
    }

    bool isWritten() { return flush(); }

protected:
    int overflow(int c) override {
        if (!flush()) return traits_type::eof();
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }
    int sync() override { return flush() ? 0 : -1; }

private:
    bool flush() {
        const qint64 size = pptr() - pbase();
        if (size > 0 && m_device.write(pbase(), size) != size) m_failed = true;
        setp(m_block.data(), m_block.data() + m_block.size());
        return !m_failed;
    }

    QIODevice& m_device;
    std::vector<char> m_block;
    bool m_failed = false;
};

} // namespace

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
    CheckExportTarget(workbook, file.toStdString());
    QSaveFile output(file);
    const auto fail = [&] {
        RaiseError("PGN", "Cannot write the file " + file.toStdString() + ": " +
                              output.errorString().toStdString());
    };
    if (!output.open(QIODevice::WriteOnly)) fail();
    PgnExportSummary summary;
    DeviceBuffer buffer(output);
    std::ostream text(&buffer);
    summary.intWritten =
        ExportPgn(workbook, text, ids, {},
                  [&](int64_t id, const std::string& reason) {
                      summary.arrstrSkipped
                          << QString("game %1: %2").arg(id).arg(QString::fromStdString(reason));
                  });
    if (!buffer.isWritten() || !output.commit()) fail();
    return summary;
}
