// The games window over real workbook files (sorting, filtering, deleting, training requests,
// PGN import and export, verification with the real Stockfish), and its table model over
// thousands of games read through its page cache against the database's own reads.
#include "EditorTestSupport.h"
#include "editor/CAnnotationPanel.h"
#include "editor/CBackgroundTask.h"
#include "editor/CGamesTableModel.h"
#include "editor/frmGames.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <fstream>
#include <functional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <numeric>

namespace {

using testing::AllOf;
using testing::HasSubstr;
using testing::Not;
using testing::StartsWith;

struct GamesWindow : testing::Test, EditorWindows {};

const std::string kBackRank = "6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1";
const std::string kKingAndRook = "7k/8/5K2/8/8/8/8/6R1 w - - 0 1";

// Texts of a column, top to bottom as shown.
QStringList Column(const QAbstractItemModel& model, int column) {
    QStringList texts;
    for (int r = 0; r < model.rowCount(); ++r)
        texts << model.index(r, column).data().toString();
    return texts;
}

TEST_F(GamesWindow, SortsFiltersDeletesAndNamesTheGameToTrain) {
    Import(*book.workbook, PgnGame(kBackRank, "1. Ra8#", "p.142", "#245") +
                               PgnGame(kBackRank, "1. Ra8#", "p.9", "#12") +
                               PgnGame(kBackRank, "1. Ra8#", "p.10", "#3"));
    book.workbook->UpdateSuccess(1);
    book.workbook->UpdateError(1);
    book.workbook->UpdateError(2);
    book.workbook->UpdateSuccess(3);
    frmGames games(book.workbook, nullptr, prompts);

    // The header's order reaches the model (whose tests go through every column).
    games.tblGames->sortByColumn(frmGames::ColScore, Qt::DescendingOrder);
    EXPECT_EQ(games.arrlngShownIDs(), (std::vector<int32_t>{3, 1, 2}));
    // The notes' and the verdict's headings sort nothing, and the indicator stays where the
    // order comes from.
    for (int column : {frmGames::ColNotes, frmGames::ColVerdict}) {
        games.tblGames->sortByColumn(column, Qt::AscendingOrder);
        EXPECT_EQ(games.tblGames->horizontalHeader()->sortIndicatorSection(), frmGames::ColScore);
    }
    // A sort clears the selection, and with it what the buttons offer.
    ASSERT_TRUE(games.isSelectGame(2));
    games.tblGames->sortByColumn(frmGames::ColScore, Qt::AscendingOrder);
    EXPECT_FALSE(games.cmdEdit->isEnabled() || games.cmdDelete->isEnabled());

    // A typed filter waits for the typing to pause and filters once; text the program sets
    // filters at once and ends a typed key's wait.
    games.tblGames->sortByColumn(frmGames::ColID, Qt::AscendingOrder);
    QSignalSpy filtered(games.tblGames->model(), &QAbstractItemModel::modelReset);
    QTest::keyClicks(games.txtFilter, "p.1");
    EXPECT_EQ(games.arrlngShownIDs(), (std::vector<int32_t>{1, 2, 3}));
    ASSERT_TRUE(filtered.wait(10 * frmGames::kFilterPauseMs));
    QTest::qWait(2 * frmGames::kFilterPauseMs);
    EXPECT_EQ(games.arrlngShownIDs(), (std::vector<int32_t>{1, 3}));
    QTest::keyClick(games.txtFilter, Qt::Key_Backspace);
    // Enter filters at once, and opens no editor.
    games.show();
    QTest::keyClick(games.txtFilter, Qt::Key_Return);
    EXPECT_EQ(filtered.count(), 2);
    EXPECT_TRUE(games.findChildren<frmGameEditor*>().isEmpty());
    games.SetFilter("#245");
    EXPECT_EQ(games.arrlngShownIDs(), (std::vector<int32_t>{1}));
    EXPECT_EQ(games.txtFilter->text(), "#245");
    // Text the program sets filters at once, and once.
    games.txtFilter->setText("");
    EXPECT_EQ(filtered.count(), 4);
    EXPECT_EQ(games.arrlngShownIDs(), (std::vector<int32_t>{1, 2, 3}));
    QTest::qWait(2 * frmGames::kFilterPauseMs);
    EXPECT_EQ(filtered.count(), 4);

    QSignalSpy train(&games, &frmGames::TrainRequested);
    ASSERT_TRUE(games.isSelectGame(2));
    games.cmdTrain->click();
    emit games.tblGames->doubleClicked(games.tblGames->currentIndex());
    // A double click names its row's game, whatever else is selected (Ctrl-double-click).
    emit games.tblGames->doubleClicked(games.tblGames->model()->index(0, frmGames::ColScore));
    emit games.tblGames->doubleClicked(QModelIndex());
    EXPECT_EQ(train, (QList<QVariantList>{{2}, {2}, {1}}));

    prompts->answers = {false, true};
    games.cmdDelete->click();
    EXPECT_EQ(prompts->questions.last(), "Delete game 2?");
    EXPECT_EQ(book.workbook->lngCountGames(), 3);
    games.cmdDelete->click();
    EXPECT_EQ(book.workbook->lngCountGames(), 2);
    EXPECT_EQ(games.arrlngShownIDs(), (std::vector<int32_t>{1, 3}));
    // An identifier beyond 32 bits (a file from anyone) is not taken for the one it cuts to.
    book.exec("update GameTree set ID=4294967297 where ID=3");
    games.Reload();
    games.tblGames->selectRow(1);
    games.cmdTrain->click();
    emit games.tblGames->doubleClicked(games.tblGames->model()->index(1, frmGames::ColID));
    prompts->answers = {true};
    games.cmdDelete->click();
    EXPECT_EQ(book.workbook->lngCountGames(), 2);
    EXPECT_EQ(train.count(), 3);
    games.ExportPgnTo(QString::fromStdString(book.folder.file("chosen.pgn"))); // not every game
    EXPECT_FALSE(std::filesystem::exists(book.folder.file("chosen.pgn")));
    EXPECT_THAT(prompts->errors.last().toStdString(), HasSubstr("beyond 32 bits"));
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
        cancel->click();
    });
    games.ImportPgnFrom(QString::fromStdString(file));
    ASSERT_EQ(prompts->notices.size(), 1);
    EXPECT_THAT(prompts->notices[0].toStdString(), StartsWith("Import cancelled."));

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
    EXPECT_THAT(progress.last().toStdString(),
                AllOf(HasSubstr("games read"), HasSubstr("games per second")));
    EXPECT_THAT(prompts->notices.last().toStdString(), HasSubstr("1 game was skipped"));
    ASSERT_EQ(prompts->details.size(), 1);

    // Unsound test positions are skipped with the board's reason; a game kept without a
    // variation says so too.
    const std::string unsound = book.folder.file("unsound.pgn");
    std::ofstream(unsound) << PgnGame("R5k1/5ppp/8/8/8/8/8/6K1 w - - 0 1", "1. Kf1")
                           << PgnGame("6k1/5ppp/8/8/8/8/8/R5Kp b - - 0 1", "1... Kf8")
                           << PgnGame(kKingAndRook, "1. Kf7 (1. Rg2 --) Kh7 2. Rh1#");
    whole.ImportPgnFrom(QString::fromStdString(unsound));
    EXPECT_EQ(other.workbook->lngCountGames(), 4001);
    EXPECT_THAT(prompts->notices.last().toStdString(),
                AllOf(HasSubstr("2 games were skipped"), HasSubstr("1 game was imported without")));
    ASSERT_EQ(prompts->details.size(), 3);
    EXPECT_TRUE(prompts->details[0].endsWith("unsound: the side not to move is in check"));
    EXPECT_TRUE(prompts->details[1].endsWith("unsound: a pawn stands on the first or last rank"));
    EXPECT_TRUE(prompts->details[2].endsWith(": a variation with a null move left out at 1... --"));

    // A file that is missing or not a regular one (a pipe would block the reading for ever, a
    // device may never end) is refused, naming it.
    for (const std::string& refused :
         {book.folder.file("missing.pgn"), book.folder.path().string(), std::string("/dev/zero")}) {
        whole.ImportPgnFrom(QString::fromStdString(refused));
        EXPECT_THAT(prompts->errors.last().toStdString(),
                    HasSubstr("Cannot read the file " + refused));
    }

    // A workbook failure after the first batch: its games stay, and the window says so and
    // tells the training window of them.
    other.exec("insert into GameTree (ID) values (2147481647)");
    QSignalSpy changed(&whole, &frmGames::WorkbookChanged);
    whole.ImportPgnFrom(QString::fromStdString(file));
    EXPECT_EQ(other.workbook->lngCountGames(), 4002 + 2000);
    EXPECT_THAT(prompts->errors.last().toStdString(),
                AllOf(HasSubstr("2000 games imported before are kept"),
                      HasSubstr("\n2000 games were imported before.")));
    EXPECT_EQ(changed.count(), 1);
}

// Export writes the chosen games (all when none is chosen); games that cannot be read are left
// out and named with their reasons.
TEST_F(GamesWindow, ExportWritesTheChosenGamesAndNamesThoseThatCannotBeRead) {
    Import(*book.workbook, PgnGame(kKingAndRook, "1. Kf7 Kh7 2. Rh1#", "p.1") +
                               PgnGame(kBackRank, "1. Ra8#", "p.2"));
    frmGames games(book.workbook, nullptr, prompts);
    const QString all = QString::fromStdString(book.folder.file("all.pgn"));
    const QString one = QString::fromStdString(book.folder.file("one.pgn"));
    games.ExportPgnTo(all); // none chosen: the window opens with no selection
    ASSERT_TRUE(games.isSelectGame(1));
    games.ExportPgnTo(one);
    EXPECT_EQ(prompts->notices,
              (QStringList{"2 games written to " + all + ".", "1 game written to " + one + "."}));

    book.exec("update GameNode set MoveText='Ke3' where GameTreeID=2 and MoveText='Ra8#'; "
              "insert into GameTree values (3,'empty','','',0,0,0,0), (4,'','p.4','',0,0,0,0);"
              "insert into GameNode select NULL,4,NodeKey,NodeParentKey,WhiteToMove,Diagram,"
              "MoveText,MoveNumber,EnPassantFile,WhiteOO,WhiteOOO,BlackOO,BlackOOO from GameNode "
              "where GameTreeID=1; insert into GameTag values (4, hex(randomblob(600000)))");
    games.tblGames->clearSelection();
    games.ExportPgnTo(all);
    EXPECT_EQ(prompts->notices.last(),
              "1 game written to " + all +
                  ".\n3 games could not be read and were left out; the details list them with "
                  "their reasons.");
    ASSERT_EQ(prompts->details.size(), 3);
    EXPECT_EQ(prompts->details[1], "game 3: no positions are stored for it");
    // A game is not written without the comments and tags it has.
    EXPECT_THAT(prompts->details[2].toStdString(),
                HasSubstr("comments and tags could not be read"));
    EXPECT_THAT(FileBytes(all.toStdString()),
                AllOf(HasSubstr("p.1"), Not(HasSubstr("p.2")), Not(HasSubstr("p.4"))));

    games.ExportPgnTo(QString::fromStdString(book.folder.file("no/such/folder/x.pgn")));
    EXPECT_TRUE(prompts->errors.last().startsWith("The export failed"));
    EXPECT_EQ(prompts->errors.size(), 1);
}

// Verdicts from the engine, a second solution added as a variation, and move marks that
// contradict the engine shown with the moves named under the table.
TEST_F(GamesWindow, VerificationShowsVerdictsAndAddsAlternatives) {
    const std::string twoRooks = "6k1/5ppp/8/8/8/8/8/RR4K1 w - - 0 1";
    Import(*book.workbook, PgnGame(twoRooks, "1. Ra8#") + PgnGame(twoRooks, "1. Ra8# (1. Rb8#?)"));
    frmGames games(book.workbook, nullptr, prompts);
    const auto verdicts = [&] { return Column(*games.tblGames->model(), frmGames::ColVerdict); };
    const VerifyOptions options{.limit = {.intMoveTimeMs = 0, .intDepth = 6}};
    games.SetVerification(BRISOLT_STOCKFISH, options);
    games.VerifyGames();
    EXPECT_TRUE(prompts->errors.isEmpty()) << prompts->errors.join("|").toStdString();
    EXPECT_EQ(verdicts(), (QStringList{"second-solution", "marked-wrong-but-good"}));

    ASSERT_TRUE(games.isSelectGame(2));
    EXPECT_THAT(games.lblDetails->text().toStdString(),
                HasSubstr("marked Rb8#? #1 is as good as the solution"));
    // Nothing to add: a mark is mended by hand, not by a variation.
    EXPECT_FALSE(games.cmdAddVariation->isEnabled());

    // Another program gives a game's identifier to other moves (the window is not told).
    const auto replace = [&](int32_t id, const std::string& pgn) {
        const std::string added = std::to_string(Import(*book.workbook, pgn).at(0)),
                          was = std::to_string(id);
        book.exec("delete from GameNode where GameTreeID=" + was +
                  "; update GameNode set GameTreeID=" + was + " where GameTreeID=" + added +
                  "; delete from GameTree where ID=" + added);
    };
    replace(2, PgnGame(twoRooks, "1. Rb8#"));
    games.Reload();
    EXPECT_EQ(verdicts(), (QStringList{"second-solution", ""}));
    ASSERT_TRUE(games.isSelectGame(1));
    // Replaced after its verification, game 1 is not given the old game's alternative.
    replace(1, PgnGame("6k1/5ppp/8/8/8/8/8/1RR3K1 w - - 0 1", "1. Rc8#"));
    games.cmdAddVariation->click();
    EXPECT_EQ(LoadTree(*book.workbook, 1)->Count(), 2);
    games.VerifyGames();

    EXPECT_TRUE(games.lblDetails->text().contains("Rb8#"));
    ASSERT_TRUE(games.cmdAddVariation->isEnabled());
    QSignalSpy changed(&games, &frmGames::WorkbookChanged);
    games.cmdAddVariation->click();
    // The game is named, so that a training board showing it takes its new line.
    EXPECT_EQ(changed.takeFirst().at(0).toInt(), 1);
    EXPECT_EQ(games.objReport(1), nullptr);
    EXPECT_EQ(LoadTree(*book.workbook, 1)->Count(), 3);
    games.VerifyGames(); // the stored game is verified: "ok" below
    // Game 2 deleted by another program: the game imported next takes its identifier, no verdict.
    book.exec("delete from GameTree where ID=2");
    WriteFile(book.folder.file("next.pgn"), PgnGame(twoRooks, "1. Rb8#"));
    games.ImportPgnFrom(QString::fromStdString(book.folder.file("next.pgn")));
    EXPECT_EQ(verdicts(), (QStringList{"ok", ""}));

    games.SetVerification("/nonexistent/engine", options);
    games.VerifyGames();
    EXPECT_TRUE(prompts->errors.last().contains("Cannot start the engine"));
}

TEST_F(GamesWindow, FlagsGamesWithCommentsOrMarksOnTheirOwnNodes) {
    const std::string game = PgnGame(kExercise, "1. Kf7 Kh7 (1... a6 2. Rh1#) 2. Rh1#");
    const std::vector<int32_t> ids = Import(*book.workbook, game + game + game);
    // The workbook as an older program leaves it: the three tables and no annotation tables.
    book.workbook->CloseWorkBook();
    book.exec("drop table if exists GameAnnotation; drop table if exists GameTag");
    book.workbook->strOpenWorkBook(book.folder.file("games.brl"));
    auto flags = [&] {
        CGamesTableModel model(book.workbook, {});
        model.Reload();
        const QStringList shown = Column(model, CGamesTableModel::ColNotes);
        EXPECT_TRUE(model.strLastError().isEmpty()) << model.strLastError().toStdString();
        return shown;
    };
    // An edit without notes saves as an older program does; the first note makes the tables.
    {
        frmGameEditor edited(book.workbook, ids[0], prompts);
        edited.txtPageRef->setText("p.7");
        ASSERT_TRUE(edited.isSave());
    }
    EXPECT_FALSE(book.workbook->hasAnnotationTables());
    {
        frmGameEditor editor(book.workbook, ids[1], prompts);
        QTest::keyClicks(editor.pnlAnnotations->txtGameComment, "a game comment");
        ASSERT_TRUE(editor.isSave());
    }
    // Another program's row for a node the game does not have, and an empty row.
    book.exec("insert into GameAnnotation values (" + std::to_string(ids[2]) +
              ", 'W9gone', 'x', 'y', '2'), (" + std::to_string(ids[0]) +
              ", 'InitialKey', '', '', '')");
    EXPECT_EQ(flags(), (QStringList{"", "Yes", ""}));

    // Tables of another shape flag nothing and break nothing.
    book.exec("drop table GameAnnotation; create table GameAnnotation (Something TEXT)");
    EXPECT_EQ(flags(), (QStringList{"", "", ""}));
}

constexpr int kGames = 3000; // more rows than the cache holds

// Identifiers with gaps and one beyond 32 bits; texts with case, digits, % and _; some empty
// (NULL) texts and statistics; long runs of equal keys.
struct ManyGames : TempWorkbook {
    ManyGames() {
        exec("with recursive n(i) as (select 1 union all select i+1 from n where i<" +
             std::to_string(kGames) +
             ") insert into GameTree select case i when 7 then 5000000000 else i*3 end, "
             "case when i%10=5 then null when i%4=0 then 'Mate in '||(i%12) when i%4=1 "
             "then 'FORK_'||i when i%4=2 then '50% ending '||(i%30) else 'pin '||i end, "
             "case when i%17=16 then null else 'p.'||(i%150) end, '#'||(i*7%97), "
             "case when i%11=10 then null else i%9 end, i%5, "
             "case when i%13=12 then null else i%3 end, i%7 from n");
    }
};

// Every row, fetched as a view scrolling down would; read top down as shown, or upward by
// identifier, deep pages first, so that no page is served by a read made for a nearer one.
std::vector<int64_t> Shown(CGamesTableModel& model, bool upward = false) {
    while (model.canFetchMore({}))
        model.fetchMore({});
    std::vector<int64_t> ids(static_cast<size_t>(model.rowCount()));
    for (int k = 0; k < model.rowCount(); ++k) {
        const int r = upward ? model.rowCount() - 1 - k : k;
        ids[static_cast<size_t>(r)] =
            upward ? model.lngIdAt(r) : model.index(r, CGamesTableModel::ColID).data().toLongLong();
    }
    return ids;
}

TEST(GamesTableModel, ShowsEveryOrderAndFilterAsTheDatabaseReadsIt) {
    ManyGames book;
    CGamesTableModel model(book.workbook, {});
    model.Reload();
    using Sort = GameRowQuery::Sort;
    // the column, the workbook's order that gives its rows, the filter
    const std::tuple<int, Sort, const char*> cases[] = {
        {CGamesTableModel::ColID, Sort::ID, ""},
        {CGamesTableModel::ColDescription, Sort::Description, ""},
        {CGamesTableModel::ColPage, Sort::Page, "p.1"},
        {CGamesTableModel::ColDiagram, Sort::Diagram, ""},
        {CGamesTableModel::ColAttempts, Sort::Hits, "_"},
        {CGamesTableModel::ColSuccesses, Sort::Solve, "50%"},
        {CGamesTableModel::ColErrorStreak, Sort::ErrorStreak, ""},
        {CGamesTableModel::ColSuccessStreak, Sort::SolveStreak, "fork"},
        {CGamesTableModel::ColScore, Sort::Score, ""},
        {CGamesTableModel::ColScore, Sort::Score, "no such game"},
    };
    for (const auto& [column, sort, filter] : cases) {
        for (const bool descending : {false, true}) {
            SCOPED_TRACE(std::to_string(column) + (descending ? " down " : " up ") + filter);
            model.SetFilter(filter);
            model.sort(column, descending ? Qt::DescendingOrder : Qt::AscendingOrder);
            std::vector<int64_t> expected;
            for (const WorkBookGameRow& row :
                 book.workbook->arrGetGameRowsPage({sort, descending, filter, 0, kGames}))
                expected.push_back(row.lngID);
            const int total = static_cast<int>(expected.size());
            // A batch of rows is offered first; finding the last game offers every row down to it.
            EXPECT_EQ(model.intTotalRows(), total);
            EXPECT_EQ(model.rowCount(), std::min(total, CGamesTableModel::kFetchRows));
            if (total > 0) {
                EXPECT_EQ(model.intRowOf(expected.back()), total - 1);
                EXPECT_EQ(model.rowCount(), total);
            }
            EXPECT_EQ(Shown(model, true), expected);
            EXPECT_EQ(Shown(model), expected);
            std::vector<int> rows(expected.size());
            std::iota(rows.begin(), rows.end(), 0);
            EXPECT_EQ(model.arrIdsInRows(rows), expected);
            // A game is found at its row; a missing game is not found.
            for (size_t i = 0; i < expected.size(); i += 97)
                EXPECT_EQ(model.intRowOf(expected[i]), static_cast<int>(i));
            EXPECT_EQ(model.intRowOf(1), -1);
            EXPECT_EQ(model.strLastError(), "");
        }
    }
    // The verdict column has no database order: sorting by it changes nothing.
    const std::vector<int64_t> before = Shown(model);
    model.sort(CGamesTableModel::ColVerdict, Qt::AscendingOrder);
    EXPECT_EQ(Shown(model), before);
}

TEST(GamesTableModel, ReadsOnlyThePagesShownKeepsAFewOfThemAndNamesWhyAFileCannotBeRead) {
    ManyGames book;
    CGamesTableModel model(book.workbook, [](int64_t id) {
        return id == 6 ? std::pair<QString, QString>("ok", "no other solution")
                       : std::pair<QString, QString>();
    });
    model.Reload();
    // Offering rows to the views reads nothing.
    while (model.canFetchMore({}))
        model.fetchMore({});
    EXPECT_EQ(model.lngPagesRead(), 0);
    // the row, the column, the role, the value, the pages read after it
    const std::tuple<int, int, int, QVariant, int64_t> reads[] = {
        {0, CGamesTableModel::ColID, Qt::DisplayRole, "3", 1},
        {1, CGamesTableModel::ColVerdict, Qt::DisplayRole, "ok", 1},
        {1, CGamesTableModel::ColVerdict, Qt::ToolTipRole, "no other solution", 1},
        {5, CGamesTableModel::ColScore, Qt::DisplayRole, "17%", 1}, // 1 of 6, rounded
        {0, CGamesTableModel::ColScore, Qt::DisplayRole, "100%", 1},
        {7, CGamesTableModel::ColScore, Qt::DisplayRole, "", 1}, // never tried
        {kGames - 1, CGamesTableModel::ColID, CGamesTableModel::IdRole, 5000000000LL, 2},
        {CGamesTableModel::kPageRows, CGamesTableModel::ColDescription, Qt::DisplayRole,
         "50% ending 22", 3},
        {kGames, CGamesTableModel::ColID, Qt::DisplayRole, QVariant(), 3}, // past the end
    };
    for (const auto& [row, column, role, value, pagesRead] : reads) {
        SCOPED_TRACE(row);
        EXPECT_EQ(model.index(row, column).data(role), value);
        EXPECT_EQ(model.lngPagesRead(), pagesRead);
    }
    // While an import writes through the workbook, a page not read yet stays unread.
    const QModelIndex unread = model.index(2 * CGamesTableModel::kPageRows, 0);
    model.PauseReading(true);
    EXPECT_EQ(unread.data(), QVariant());
    EXPECT_EQ(model.lngPagesRead(), 3);
    model.PauseReading(false);
    EXPECT_TRUE(unread.data().isValid());
    EXPECT_EQ(model.lngPagesRead(), 4);
    // Read in order, each page is read once; only the last pages stay, so the first is read
    // again and the last is not.
    CGamesTableModel fresh(book.workbook, {});
    fresh.Reload();
    Shown(fresh);
    const int64_t pages = (kGames + CGamesTableModel::kPageRows - 1) / CGamesTableModel::kPageRows;
    EXPECT_EQ(fresh.lngPagesRead(), pages);
    fresh.index(kGames - 1, 0).data();
    EXPECT_EQ(fresh.lngPagesRead(), pages);
    fresh.index(0, 0).data();
    EXPECT_EQ(fresh.lngPagesRead(), pages + 1);

    // A file that cannot be read gives an empty table and the reason.
    book.exec("drop table GameTree");
    QSignalSpy reset(&fresh, &QAbstractItemModel::modelReset);
    fresh.Reload();
    EXPECT_EQ(reset.count(), 1);
    EXPECT_EQ(fresh.rowCount(), 0);
    EXPECT_FALSE(fresh.strLastError().isEmpty());
}

std::vector<int64_t> Ids(RawDatabase& raw, const std::string& sql) {
    std::vector<int64_t> ids;
    for (const auto& row : raw.rows(sql))
        ids.push_back(std::stoll(row[0]));
    return ids;
}

TEST(GamesOrderFollowsWrites, EveryWriteShowsInTheNextRowsRead) {
    TempWorkbook book;
    RawDatabase raw(book.folder.file("games.brl"));
    raw.exec("with recursive n(i) as (select 1 union all select i+1 from n where i<600) insert "
             "into GameTree select i, 'Game '||(i%50), 'p.'||i, '#'||i, i%7, 0, 0, 0 from n");
    CWorkBook& workbook = *book.workbook;
    std::string filter;
    const struct {
        const char* write;
        std::function<void()> run;
    } writes[] = {
        {"results recorded here",
         [&] {
             for (int i = 0; i < 7; ++i) // from the last page to the first
                 workbook.UpdateSuccess(1);
         }},
        {"another program's update", [&] { raw.exec("update GameTree set Hits=99 where ID=3"); }},
        {"game deleted here", [&] { workbook.DeleteGame(4); }},
        {"another program's new game",
         [&] { raw.exec("insert into GameTree values(9999,'Game 1',null,null,50,0,0,0)"); }},
        {"batch rolled back after a read inside it",
         [&] {
             // Pages of another order read before the batch, of the shown one inside it.
             workbook.arrGetGameRowsPage({GameRowQuery::Sort::Solve, false, "", 0, 1});
             workbook.BeginBatch();
             for (int i = 0; i < 200; ++i)
                 workbook.UpdateSuccess(10);
             GameRowQuery shown{GameRowQuery::Sort::Hits, true, filter, 0, 1};
             EXPECT_EQ(workbook.arrGetGameRowsPage(shown).at(0).lngID, 10);
             workbook.RollbackBatch();
         }},
    };
    for (const char* shownFilter : {"", "game 1"}) {
        filter = shownFilter;
        CGamesTableModel model(book.workbook, {});
        model.Reload();
        model.SetFilter(QString::fromStdString(filter));
        model.sort(CGamesTableModel::ColAttempts, Qt::DescendingOrder);
        const std::string expected = "select ID from GameTree where Description like '%" + filter +
                                     "%' order by Hits desc, ID desc";
        for (const auto& write : writes) {
            SCOPED_TRACE(std::string(write.write) + ", filter \"" + filter + "\"");
            const std::vector<int64_t> shown = Shown(model);
            std::vector<int> rows(shown.size());
            std::iota(rows.begin(), rows.end(), 0);
            write.run();
            EXPECT_EQ(model.arrIdsInRows(rows), shown) << "the rows as shown until reloaded";
            model.Reload();
            EXPECT_EQ(Shown(model, true), Ids(raw, expected));
            EXPECT_EQ(model.intRowOf(Ids(raw, expected).back()), model.intTotalRows() - 1);
        }
        raw.exec("update GameTree set Hits=ID%7; delete from GameTree where ID=9999");
    }
}

} // namespace
