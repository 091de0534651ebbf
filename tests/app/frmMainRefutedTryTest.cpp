// Refuted tries and comments in training, through the real window offscreen: a stored move
// marked "?" is refused with its explanation and counts as a wrong move, the solution is still
// taken, comments follow the stored moves; a workbook without annotation tables trains as before.
#include "app/CTrainingSession.h"
#include "app/frmMain.h"
#include "board/cntrlChessGui.h"
#include "pgn/PgnImport.h"
#include "tests/app/AppTestSupport.h"
#include "tests/app/TestWorkbook.h"
#include "workbook/CWorkBook.h"

#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <sstream>

using namespace apptest;

namespace {

// White to play: 2.Nf3 is the solution, 2.Qh5 a refuted try with its refutation.
const char* const kMarkedGame = R"([Event "Refuted try"]
[Result "*"]

1. e4 e5 2. Nf3 {develops with tempo} (2. Qh5? {is premature} 2... Nc6 3. Bc4 g6
{and the queen must move again}) 2... Nc6 {defends} 3. Bb5 $1 {the Spanish} *
)";

const char* const kExplanation =
    "2.Qh5 is premature: after 2...Nc6 3.Bc4 g6 and the queen must move again";

int32_t Import(const QString& file) {
    CWorkBook workbook;
    workbook.CreateEmptyWorkbook(file.toStdString());
    workbook.strOpenWorkBook(file.toStdString());
    std::istringstream input(kMarkedGame);
    const PgnImportResult result = ImportPgn(workbook, input);
    workbook.CloseWorkBook();
    if (result.arrlngGameIDs.size() != 1) throw std::runtime_error("test PGN not imported");
    return result.arrlngGameIDs.front();
}

bool hasAnnotationTables(const QString& file) {
    CWorkBook workbook;
    workbook.strOpenWorkBook(file.toStdString());
    return workbook.hasAnnotationTables();
}

} // namespace

class frmMainRefutedTryTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir;
    QString file;
    int32_t id = 0;

    std::unique_ptr<frmMain> Open() {
        SetSetting("General/LastOpened", file);
        auto window = std::make_unique<frmMain>();
        window->show();
        [&] { QTRY_VERIFY(window->objWorkBook() != nullptr); }();
        return window;
    }

    static QString Message(frmMain* window) {
        return window->findChild<QPlainTextEdit*>("txtMsg")->toPlainText();
    }

    // Plays the try 2.Qh5 after 1.e4 e5.
    static void DragTry(cntrlChessGui* board) { Drag(board, 3, 0, 7, 4); }

private slots:
    void initTestCase() {
        QVERIFY(dir.isValid());
        IsolateSettings(dir.filePath("settings"));
    }

    void init() {
        ClearSettings();
        file = dir.filePath(QString("%1.brl").arg(QTest::currentTestFunction()));
        QFile::remove(file);
        id = Import(file);
    }

    void aRefutedTryIsExplainedAndTheSolutionStillSolves() {
        auto window = Open();
        cntrlChessGui* board = window->objBoard();
        QVERIFY(DragStoredMove(board)); // 1.e4, answered by 1...e5
        const QString beforeTry = board->GetFen();

        DragTry(board);
        QCOMPARE(board->Mode(), 3);
        QCOMPARE(board->GetFen(), beforeTry);
        QVERIFY(isShown(window.get(), "lblError0"));
        QVERIFY(!isShown(window.get(), "lblError1"));
        QVERIFY2(Message(window.get()).startsWith(kExplanation), qPrintable(Message(window.get())));
        QCOMPARE(board->strLastSound(), QString("failure"));
        // The try in red from d1 to h5, the refutation's first move in blue from b8 to c6.
        const auto& arrows = board->objMarks().arrArrows();
        QCOMPARE(int(arrows.size()), 2);
        QCOMPARE(arrows[0].from, 3);
        QCOMPARE(arrows[0].to, 39);
        QCOMPARE(arrows[0].color, int(CBoardMarks::Red));
        QCOMPARE(arrows[1].from, 57);
        QCOMPARE(arrows[1].to, 42);
        QCOMPARE(arrows[1].color, int(CBoardMarks::Blue));

        // The solution is taken; the comments of both stored moves come with the reply.
        QVERIFY(DragStoredMove(board)); // 2.Nf3, answered by 2...Nc6
        QVERIFY(board->objMarks().arrArrows().empty());
        QVERIFY2(Message(window.get())
                     .startsWith("2.Nf3 develops with tempo\n2...Nc6 defends\n\n"
                                 "Computer played \nNc6"),
                 qPrintable(Message(window.get())));
        QVERIFY(DragStoredMove(board)); // 3.Bb5 ends the line
        QCOMPARE(board->Mode(), 2);
        QVERIFY(isShown(window.get(), "imgSuccess"));
        QVERIFY(isShown(window.get(), "txtMsg"));
        QVERIFY2(Message(window.get()).startsWith("Solved: ") &&
                     Message(window.get()).endsWith("\n\n3.Bb5 the Spanish"),
                 qPrintable(Message(window.get())));
        const testwb::Stats stats = testwb::Read(file.toStdString(), id);
        QCOMPARE(stats.hits, 1);
        QCOMPARE(stats.solve, 1);
    }

    void threeRefutedTriesFailTheGame() {
        auto window = Open();
        cntrlChessGui* board = window->objBoard();
        QVERIFY(DragStoredMove(board));
        for (int k = 0; k < 3; ++k)
            DragTry(board);
        QCOMPARE(board->Mode(), 2);
        QVERIFY(isShown(window.get(), "imgFail"));
        const testwb::Stats stats = testwb::Read(file.toStdString(), id);
        QCOMPARE(stats.hits, 1);
        QCOMPARE(stats.solve, 0);
        QCOMPARE(stats.errorStreak, 1);
    }

    void withoutAnnotationTablesTheMarkedMoveIsASolutionAsBefore() {
        testwb::Execute(file.toStdString(), "drop table GameAnnotation; drop table GameTag");
        auto window = Open();
        cntrlChessGui* board = window->objBoard();
        QVERIFY(DragStoredMove(board));
        DragTry(board); // a stored move like any other: answered by 2...Nc6
        QVERIFY(!isShown(window.get(), "lblError0"));
        QCOMPARE(Message(window.get()),
                 QString("Computer played \nNc6\n\nIt's now your turn.\nPlease make your move."));
        QVERIFY(DragStoredMove(board)); // 3.Bc4, answered by 3...g6, the end of the line
        QCOMPARE(board->Mode(), 2);
        QVERIFY(isShown(window.get(), "imgSuccess"));
        QVERIFY(Message(window.get()).startsWith("Solved: "));
        window.reset();
        const testwb::Stats stats = testwb::Read(file.toStdString(), id);
        QCOMPARE(stats.hits, 1);
        QCOMPARE(stats.solve, 1);
        QVERIFY(!hasAnnotationTables(file));
    }
};

QTEST_MAIN(frmMainRefutedTryTest)
#include "frmMainRefutedTryTest.moc"
