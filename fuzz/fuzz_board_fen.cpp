// FEN text given to the board control (offscreen): ApplyFen either refuses it (false, or the
// diagram's error for a placement without both kings) or shows the position, and then the FEN
// the control gives back from the same text is taken again; SetFen fills the setup panel from
// any text without breaking the control.
#include "board/CMessageBox.h"
#include "board/cntrlChessGui.h"
#include "model/CError.h"

#include <QApplication>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

// The control's warnings go nowhere: a modal box would stop the run.
class SilentMessageBox : public CMessageBox {
public:
    void ShowWarning(QWidget*, const QString&, const QString&) override {}
};

cntrlChessGui* board = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Kept to the end of the process: its teardown in the exit handlers crashes inside Qt.
    new QApplication(*argc, *argv);
    board = new cntrlChessGui();
    board->resize(480, 430);
    board->SetMessageBox(std::make_shared<SilentMessageBox>());
    board->show();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 300) return 0;
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    // A placement without both kings is refused with the diagram's error, as the FEN reader does.
    bool applied = false;
    try {
        applied = board->ApplyFen(text);
    } catch (const CError&) {
    }
    if (applied) {
        // GetFen reads the setup panel, which SetFen fills: together they give back a FEN that
        // ApplyFen takes again.
        board->SetFen(text);
        const QString shown = board->GetFen();
        if (!board->ApplyFen(shown)) {
            std::fprintf(stderr, "FEN not taken back: %s\n", qPrintable(shown));
            std::abort();
        }
    }
    try {
        board->SetFen(text);
    } catch (const CError&) {
    }
    board->GetFen();
    board->InitialPosition();
    return 0;
}
