#include "progress/frmStatistics.h"

#include "model/Utilities.h"
#include "progress/StatisticsCharts.h"
#include "workbook/CWorkBook.h"
#include "workbook/ReviewDay.h"
#include "workbook/ScoreText.h"

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <stdexcept>

namespace {

QString strRate(int64_t attempts, int64_t solved) {
    return QString::fromStdString(strSuccessRate(attempts, solved));
}

QTableWidgetItem* objCell(const QString& text, bool number) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    if (number) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

QTableWidget* objTable(const char* name, const QStringList& headers, QWidget* parent) {
    auto* table = new QTableWidget(0, static_cast<int>(headers.size()), parent);
    table->setObjectName(name);
    table->setHorizontalHeaderLabels(headers);
    table->verticalHeader()->hide();
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->horizontalHeader()->setStretchLastSection(true);
    return table;
}

} // namespace

namespace {

WorkBookStatistics objReader(const std::shared_ptr<CWorkBook>& workbook) {
    if (!workbook) throw std::runtime_error("No workbook is open.");
    return workbook->objStatistics();
}

} // namespace

frmStatistics::frmStatistics(std::shared_ptr<CWorkBook> workbook, int64_t today, QWidget* parent)
    : QDialog(parent), reader(objReader(workbook)), workbook_(std::move(workbook)) {
    setObjectName("frmStatistics");
    setWindowTitle("Statistics");
    figures.objSummary = reader.objSummary(today);
    figures.arrByDay = reader.arrByDay(today, WorkBookStatistics::intDays);
    figures.arrByWeek = reader.arrByWeek(today, WorkBookStatistics::intWeeks);

    lblSummary = new QLabel(strSummary(figures.objSummary), this);
    lblSummary->setObjectName("lblSummary");
    lblSummary->setWordWrap(true);
    tabs = new QTabWidget(this);
    tabs->setObjectName("tabStatistics");
    BuildCharts();

    cmdTrain = new QPushButton("&Train this game", this);
    cmdTrain->setObjectName("cmdTrain");
    auto* cmdCopy = new QPushButton("Copy as &CSV", this);
    cmdCopy->setObjectName("cmdCopyCsv");
    auto* cmdClose = new QPushButton("Close", this);
    cmdClose->setObjectName("cmdClose");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdTrain);
    buttons->addStretch();
    buttons->addWidget(cmdCopy);
    buttons->addWidget(cmdClose);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblSummary);
    layout->addWidget(tabs, 1);
    layout->addLayout(buttons);
    connect(cmdTrain, &QPushButton::clicked, this, &frmStatistics::TrainSelected);
    connect(cmdCopy, &QPushButton::clicked, this, &frmStatistics::CopyCsv);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);
    connect(tabs, &QTabWidget::currentChanged, this, [this](int index) {
        LoadTab(index);
        cmdTrain->setEnabled(tabs->currentWidget() != nullptr &&
                             tabs->currentWidget()->objectName() == "pageGames");
    });
    cmdTrain->setEnabled(false);
    // Roomy where the screen allows, never beyond it (a laptop's screen, scaled).
    resize(QSize(900, 600).boundedTo(screen()->availableGeometry().size()));
}

QString frmStatistics::strSummary(const TrainingSummary& summary) {
    const auto counted = [](int64_t count, const char* noun) {
        return QString::fromStdString(strCounted(count, noun));
    };
    return QString("Today: %1, %2 solved (%3).   Streak: %4 in a row.   Last %5 solved in a row.")
        .arg(counted(summary.lngTodayAttempts, "attempt"))
        .arg(summary.lngTodaySolved)
        .arg(strRate(summary.lngTodayAttempts, summary.lngTodaySolved))
        .arg(counted(summary.lngStreakDays, "day"))
        .arg(counted(summary.lngSuccessRun, "attempt"));
}

void frmStatistics::BuildCharts() {
    using namespace StatisticsCharts;
    tabs->addTab(
        objPeriodChart(figures.arrByDay, "Attempts and success rate per day", "chartDays", tabs),
        "Per &day");
    tabs->addTab(
        objPeriodChart(figures.arrByWeek, "Attempts and success rate per week", "chartWeeks", tabs),
        "Per &week");
    loaders.resize(2);

    // The figures over all games take a pass over the games table: read when first asked for.
    for (const auto& [groups, title, chartName, tableName, tab] :
         {std::tuple{&figures.arrByPage, "Success by page (weakest first)", "chartPages",
                     "tblPages", "By &page"},
          std::tuple{&figures.arrByChapter, "Success by chapter (weakest first)", "chartChapters",
                     "tblChapters", "By c&hapter"}}) {
        auto* page = new QWidget(tabs);
        auto* layout = new QHBoxLayout(page);
        tabs->addTab(page, tab);
        const bool pages = groups == &figures.arrByPage;
        loaders.push_back([this, groups, title, chartName, tableName, page, layout, pages] {
            *groups = pages ? reader.arrByPage(WorkBookStatistics::intGroups)
                            : reader.arrByChapter(WorkBookStatistics::intGroups);
            layout->addWidget(objGroupChart(*groups, title, chartName, page), 3);
            layout->addWidget(GroupsTable(tableName, *groups), 2);
        });
    }

    auto* games = new QWidget(tabs);
    games->setObjectName("pageGames");
    tabs->addTab(games, "&Games to train");
    loaders.push_back([this, games] {
        figures.arrMostFailed = reader.arrMostFailed(WorkBookStatistics::intGames);
        figures.arrLongestUnseen = reader.arrLongestUnseen(WorkBookStatistics::intGames);
        auto* layout = new QHBoxLayout(games);
        tblMostFailed = GamesTable("tblMostFailed", figures.arrMostFailed, false);
        tblLongestUnseen = GamesTable("tblLongestUnseen", figures.arrLongestUnseen, true);
        for (const auto& [title, table] : {std::pair{"Failed most", tblMostFailed},
                                           std::pair{"Not seen for longest", tblLongestUnseen}}) {
            auto* column = new QVBoxLayout;
            column->addWidget(new QLabel(title, games));
            column->addWidget(table);
            table->setParent(games);
            layout->addLayout(column);
        }
    });
}

void frmStatistics::LoadTab(int index) {
    if (index < 0 || index >= static_cast<int>(loaders.size())) return;
    std::function<void()> load = std::move(loaders[static_cast<size_t>(index)]);
    loaders[static_cast<size_t>(index)] = nullptr;
    if (!load) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        load();
    } catch (...) {
        QApplication::restoreOverrideCursor();
        throw;
    }
    QApplication::restoreOverrideCursor();
}

void frmStatistics::LoadAll() {
    for (int index = 0; index < static_cast<int>(loaders.size()); ++index)
        LoadTab(index);
}

QTableWidget* frmStatistics::GroupsTable(const char* name,
                                         const std::vector<GroupFigures>& groups) {
    QTableWidget* table = objTable(name, {"Name", "Games", "Attempts", "Success"}, this);
    table->setRowCount(static_cast<int>(groups.size()));
    for (int row = 0; row < table->rowCount(); ++row) {
        const GroupFigures& group = groups[static_cast<size_t>(row)];
        table->setItem(
            row, 0,
            objCell(group.strName.empty() ? "(none)" : QString::fromStdString(group.strName),
                    false));
        table->setItem(row, 1, objCell(QString::number(group.lngGames), true));
        table->setItem(row, 2, objCell(QString::number(group.lngAttempts), true));
        table->setItem(row, 3, objCell(strRate(group.lngAttempts, group.lngSolved), true));
    }
    table->resizeColumnsToContents();
    return table;
}

QTableWidget* frmStatistics::GamesTable(const char* name, const std::vector<GameFigures>& games,
                                        bool withLast) {
    // The description comes last: it takes the room that is left.
    QStringList headers{"Game", "Attempts", "Success"};
    if (withLast) headers << "Last seen";
    headers << "Description";
    QTableWidget* table = objTable(name, headers, this);
    table->setRowCount(static_cast<int>(games.size()));
    const int description = static_cast<int>(headers.size()) - 1;
    for (int row = 0; row < table->rowCount(); ++row) {
        const GameFigures& game = games[static_cast<size_t>(row)];
        QTableWidgetItem* id = objCell(QString::number(game.lngGameId), true);
        id->setData(Qt::UserRole, QVariant::fromValue<qlonglong>(game.lngGameId));
        table->setItem(row, 0, id);
        table->setItem(row, 1, objCell(QString::number(game.lngAttempts), true));
        table->setItem(row, 2, objCell(strRate(game.lngAttempts, game.lngSolved), true));
        if (withLast)
            table->setItem(
                row, 3,
                objCell(QString::fromStdString(ReviewDay::strText(game.lngLastDay)), false));
        QTableWidgetItem* text = objCell(QString::fromStdString(game.strDescription), false);
        text->setToolTip(text->text());
        table->setItem(row, description, text);
    }
    for (int column = 0; column < description; ++column)
        table->resizeColumnToContents(column);
    connect(table, &QTableWidget::itemSelectionChanged, this, [this, table] { lastUsed = table; });
    // A click on the row already selected changes no selection, and the other table keeps its
    // own: the table clicked is the one used.
    connect(table, &QTableWidget::cellPressed, this, [this, table] { lastUsed = table; });
    connect(table, &QTableWidget::cellDoubleClicked, this, [this, table] {
        lastUsed = table;
        TrainSelected();
    });
    return table;
}

void frmStatistics::TrainSelected() {
    if (lastUsed == nullptr) return;
    const QList<QTableWidgetItem*> selected = lastUsed->selectedItems();
    if (selected.isEmpty()) return;
    const QTableWidgetItem* id = lastUsed->item(selected.front()->row(), 0);
    const qlonglong gameId = id->data(Qt::UserRole).toLongLong();
    if (gameId > 0 && gameId <= INT32_MAX) emit TrainRequested(static_cast<int32_t>(gameId));
}

void frmStatistics::CopyCsv() {
    LoadAll();
    QApplication::clipboard()->setText(QString::fromStdString(figures.strCsv()));
}
