// The games window over a real workbook: sorting, the filter box and its pause, delete and
// training requests, PGN import with progress and cancellation, export (of damaged games too),
// and verification with the real Stockfish.
#include "EditorTestSupport.h"
#include "editor/CBackgroundTask.h"
#include "editor/frmGames.h"
#include "pgn/PgnImport.h"
#include "tests/workbook/RawDatabase.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace {

const std::string kBackRank = "6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1";
const std::string kKingAndRook = "7k/8/5K2/8/8/8/8/6R1 w - - 0 1";

void Import(CWorkBook& workbook, const std::string& pgn) {
    std::istringstream input(pgn);
    ImportPgn(workbook, input);
}

// Texts of a column, top to bottom as shown.
QStringList Column(const frmGames& games, int column) {
    QStringList texts;
    auto* model = games.tblGames->model();
    for (int r = 0; r < model->rowCount(); ++r)
        texts << model->index(r, column).data().toString();
    return texts;
}

// A new workbook and scripted answers to the windows' questions.
struct GamesWindow : testing::Test {
    TempWorkbook book;
    std::shared_ptr<ScriptedPrompts> prompts = std::make_shared<ScriptedPrompts>();
};

TEST_F(GamesWindow, SortsFiltersDeletesAndNamesTheGameToTrain) {
    Import(*book.workbook, PgnGame(kBackRank, "1. Ra8#", "p.142", "#245") +
                               PgnGame(kBackRank, "1. Ra8#", "p.9", "#12") +
                               PgnGame(kBackRank, "1. Ra8#", "p.10", "#3"));
    book.workbook->UpdateSuccess(1);
    book.workbook->UpdateError(1);
    for (int i = 0; i < 4; ++i)
        book.workbook->UpdateError(2);
    for (int i = 0; i < 3; ++i)
        book.workbook->UpdateSuccess(3);
    frmGames games(book.workbook, nullptr, prompts);

    // The header's order reaches the model (whose tests go through every column).
    games.tblGames->sortByColumn(frmGames::ColScore, Qt::DescendingOrder);
    EXPECT_EQ(games.arrlngShownIDs(), (std::vector<int32_t>{3, 1, 2}));
    EXPECT_EQ(Column(games, frmGames::ColScore), (QStringList{"100%", "50%", "0%"}));

    // A typed filter waits for the typing to pause and filters once; text the program sets
    // filters at once and ends a typed key's wait.
    games.tblGames->sortByColumn(frmGames::ColID, Qt::AscendingOrder);
    QSignalSpy filtered(games.tblGames->model(), &QAbstractItemModel::modelReset);
    QTest::keyClicks(games.txtFilter, "p.1");
    EXPECT_EQ(games.arrlngShownIDs(), (std::vector<int32_t>{1, 2, 3}));
    ASSERT_TRUE(filtered.wait(10 * frmGames::kFilterPauseMs));
    QTest::qWait(2 * frmGames::kFilterPauseMs);
    EXPECT_EQ(filtered.count(), 1);
    EXPECT_EQ(games.arrlngShownIDs(), (std::vector<int32_t>{1, 3}));
    QTest::keyClick(games.txtFilter, Qt::Key_Backspace);
    games.SetFilter("#245");
    EXPECT_EQ(games.arrlngShownIDs(), (std::vector<int32_t>{1}));
    QTest::qWait(2 * frmGames::kFilterPauseMs);
    EXPECT_EQ(filtered.count(), 2);
    EXPECT_EQ(games.txtFilter->text(), "#245");
    games.txtFilter->setText("");
    EXPECT_EQ(filtered.count(), 3);
    EXPECT_EQ(games.arrlngShownIDs(), (std::vector<int32_t>{1, 2, 3}));

    QSignalSpy train(&games, &frmGames::TrainRequested);
    ASSERT_TRUE(games.isSelectGame(2));
    games.cmdTrain->click();
    emit games.tblGames->doubleClicked(games.tblGames->currentIndex());
    ASSERT_EQ(train.count(), 2);
    EXPECT_EQ(train.at(0).at(0).toInt(), 2);
    EXPECT_EQ(train.at(1).at(0).toInt(), 2);

    prompts->answers = {false, true};
    games.cmdDelete->click();
    EXPECT_EQ(prompts->questions.last(), "Delete game 2?");
    EXPECT_EQ(book.workbook->lngCountGames(), 3);
    games.cmdDelete->click();
    EXPECT_EQ(book.workbook->lngCountGames(), 2);
    EXPECT_EQ(games.arrlngShownIDs(), (std::vector<int32_t>{1, 3}));
}

TEST_F(GamesWindow, CancelledImportKeepsWholeGamesOnlyAndSkippedGamesAreNamed) {
    const std::string file = book.folder.file("many.pgn");
    {
        std::ofstream out(file);
        for (int i = 0; i < 4000; ++i)
            out << PgnGame(kKingAndRook, "1. Kf7 Kh7 2. Rh1#", "p." + std::to_string(i));
        out << PgnGame(kKingAndRook, "1. Kf7 Kh7 2. Qh1#"); // no queen
    }
    frmGames games(book.workbook, nullptr, prompts);
    // Press Cancel as soon as the progress dialog runs its loop.
    QTimer::singleShot(0, [&] {
        ASSERT_NE(games.objTask()->objDialog(), nullptr);
        auto* cancel = games.objTask()->objDialog()->findChild<QPushButton*>();
        ASSERT_NE(cancel, nullptr);
        EXPECT_EQ(cancel->text(), "Cancel");
        cancel->click();
    });
    games.ImportPgnFrom(QString::fromStdString(file));
    ASSERT_EQ(prompts->notices.size(), 1);
    EXPECT_TRUE(prompts->notices[0].startsWith("Import cancelled."))
        << prompts->notices[0].toStdString();

    const int64_t kept = book.workbook->lngCountGames();
    EXPECT_LT(kept, 4000);
    EXPECT_EQ(static_cast<int64_t>(games.arrlngShownIDs().size()), kept);

    // Run to the end: the broken game is skipped and listed with its reason.
    TempWorkbook other;
    frmGames whole(other.workbook, nullptr, prompts);
    QStringList progress;
    QObject::connect(whole.objTask(), &CBackgroundTask::Progress,
                     [&](int, int, const QString& text) { progress << text; });
    whole.ImportPgnFrom(QString::fromStdString(file));
    EXPECT_EQ(other.workbook->lngCountGames(), 4000);
    ASSERT_FALSE(progress.isEmpty());
    EXPECT_TRUE(progress.last().contains("games read")) << progress.last().toStdString();
    EXPECT_TRUE(progress.last().contains("games per second"));
    EXPECT_TRUE(prompts->notices.last().contains("1 game was skipped"))
        << prompts->notices.last().toStdString();
    ASSERT_EQ(prompts->details.size(), 1);

    // Unsound test positions are skipped with the board's reason.
    const std::string unsound = book.folder.file("unsound.pgn");
    std::ofstream(unsound) << PgnGame("R5k1/5ppp/8/8/8/8/8/6K1 w - - 0 1", "1. Kf1")
                           << PgnGame("6k1/5ppp/8/8/8/8/8/R5Kp b - - 0 1", "1... Kf8");
    whole.ImportPgnFrom(QString::fromStdString(unsound));
    EXPECT_EQ(other.workbook->lngCountGames(), 4000);
    EXPECT_TRUE(prompts->notices.last().contains("2 games were skipped"))
        << prompts->notices.last().toStdString();
    ASSERT_EQ(prompts->details.size(), 2);
    EXPECT_TRUE(prompts->details[0].endsWith("unsound: the side not to move is in check"));
    EXPECT_TRUE(prompts->details[1].endsWith("unsound: a pawn stands on the first or last rank"));

    whole.ImportPgnFrom(QString::fromStdString(book.folder.file("missing.pgn")));
    EXPECT_TRUE(prompts->errors.last().contains("Cannot read the file"));
}

// Export writes the chosen games (all when none is chosen); games that cannot be read are left
// out and named with their reasons.
TEST_F(GamesWindow, ExportWritesTheChosenGamesAndNamesThoseThatCannotBeRead) {
    Import(*book.workbook, PgnGame(kKingAndRook, "1. Kf7 Kh7 2. Rh1#", "p.1") +
                               PgnGame(kBackRank, "1. Ra8#", "p.2"));
    frmGames games(book.workbook, nullptr, prompts);
    const QString all = QString::fromStdString(book.folder.file("all.pgn"));
    const QString one = QString::fromStdString(book.folder.file("one.pgn"));
    games.tblGames->clearSelection();
    games.ExportPgnTo(all);
    ASSERT_TRUE(games.isSelectGame(1));
    games.ExportPgnTo(one);
    EXPECT_EQ(prompts->notices,
              (QStringList{"2 games written to " + all + ".", "1 game written to " + one + "."}));

    RawDatabase(book.folder.file("games.brl"))
        .exec("update GameNode set MoveText='Ke3' where GameTreeID=2 and MoveText='Ra8#'; "
              "insert into GameTree values (3,'empty','','',0,0,0,0)");
    games.tblGames->clearSelection();
    games.ExportPgnTo(all);
    EXPECT_EQ(prompts->notices.last(),
              "1 game written to " + all +
                  ".\n2 games could not be read and were left out; the details list them with "
                  "their reasons.");
    ASSERT_EQ(prompts->details.size(), 2);
    EXPECT_TRUE(
        prompts->details[0].startsWith("game 2: Game 2 cannot be loaded: the stored move Ke3"))
        << prompts->details[0].toStdString();
    EXPECT_EQ(prompts->details[1], "game 3: no positions are stored for it");
    QFile written(all);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QByteArray pgn = written.readAll();
    EXPECT_TRUE(pgn.contains("p.1") && !pgn.contains("p.2")) << pgn.toStdString();

    games.ExportPgnTo(QString::fromStdString(book.folder.file("no/such/folder/x.pgn")));
    EXPECT_TRUE(prompts->errors.last().startsWith("The export failed"));
    EXPECT_EQ(prompts->errors.size(), 1);
}

// Verdicts from the engine, a second solution added as a variation, and move marks that
// contradict the engine shown with the moves named under the table.
TEST_F(GamesWindow, VerificationShowsVerdictsAndAddsAlternatives) {
    const std::string twoRooks = "6k1/5ppp/8/8/8/8/8/RR4K1 w - - 0 1";
    Import(*book.workbook, PgnGame(twoRooks, "1. Ra8#") + PgnGame(kBackRank, "1. Ra8#") +
                               PgnGame(twoRooks, "1. Ra8# (1. Rb8#?)") +
                               PgnGame(kBackRank, "1. Ra8#?"));
    frmGames games(book.workbook, nullptr, prompts);
    VerifyOptions options;
    options.limit.intDepth = 6;
    options.limit.intMoveTimeMs = 0;
    games.SetVerification(BRISOLT_STOCKFISH, options);
    games.tblGames->clearSelection();
    games.VerifyGames();
    EXPECT_TRUE(prompts->errors.isEmpty()) << prompts->errors.join("|").toStdString();
    EXPECT_EQ(Column(games, frmGames::ColVerdict),
              (QStringList{"second-solution", "ok", "marked-wrong-but-good", "contradiction"}));

    ASSERT_TRUE(games.isSelectGame(3));
    EXPECT_TRUE(games.lblDetails->text().contains("marked Rb8#? #1 is as good as the solution"))
        << games.lblDetails->text().toStdString();
    // Nothing to add: a mark is mended by hand, not by a variation.
    EXPECT_FALSE(games.cmdAddVariation->isEnabled());

    ASSERT_TRUE(games.isSelectGame(1));
    EXPECT_TRUE(games.lblDetails->text().contains("Rb8#"));
    ASSERT_TRUE(games.cmdAddVariation->isEnabled());
    games.cmdAddVariation->click();
    EXPECT_EQ(games.objReport(1), nullptr);
    EXPECT_EQ(Stored(*book.workbook, 1)->Count(), 3);
    games.VerifyGames();
    EXPECT_EQ(Column(games, frmGames::ColVerdict).mid(0, 2), (QStringList{"ok", "ok"}));

    games.SetVerification("/nonexistent/engine", options);
    games.VerifyGames();
    EXPECT_TRUE(prompts->errors.last().contains("Cannot start the engine"));
}

} // namespace
