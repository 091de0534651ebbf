#include "progress/frmStatistics.h"

#include "progress/StatisticsCharts.h"
#include "workbook/CWorkBook.h"
#include "workbook/ReviewDay.h"

#include <QApplication>
#include <QChartView>
#include <QClipboard>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <stdexcept>

namespace {

QString strRate(int64_t attempts, int64_t solved) {
    if (attempts <= 0) return "-";
    return QString::number((solved * 100 + attempts / 2) / attempts) + "%";
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

frmStatistics::frmStatistics(std::shared_ptr<CWorkBook> workbook, int64_t today, QWidget* parent)
    : QDialog(parent) {
    setObjectName("frmStatistics");
    setWindowTitle("Statistics");
    if (!workbook) throw std::runtime_error("No workbook is open.");
    figures = workbook->objStatistics(today);

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
    connect(tabs, &QTabWidget::currentChanged, this, [this] {
        cmdTrain->setEnabled(tabs->currentWidget() != nullptr &&
                             tabs->currentWidget()->objectName() == "pageGames");
    });
    cmdTrain->setEnabled(false);
    resize(900, 600);
}

QString frmStatistics::strSummary(const TrainingSummary& summary) {
    QString text = QString("Today: %1 attempts, %2 solved (%3).")
                       .arg(summary.lngTodayAttempts)
                       .arg(summary.lngTodaySolved)
                       .arg(strRate(summary.lngTodayAttempts, summary.lngTodaySolved));
    text += QString("   Streak: %1 %2 in a row.")
                .arg(summary.lngStreakDays)
                .arg(summary.lngStreakDays == 1 ? "day" : "days");
    text += QString("   Last %1 %2 solved in a row.")
                .arg(summary.lngSuccessRun)
                .arg(summary.lngSuccessRun == 1 ? "attempt" : "attempts");
    return text;
}

void frmStatistics::BuildCharts() {
    using namespace StatisticsCharts;
    tabs->addTab(
        objPeriodChart(figures.arrByDay, "Attempts and success rate per day", "chartDays", tabs),
        "Per &day");
    tabs->addTab(
        objPeriodChart(figures.arrByWeek, "Attempts and success rate per week", "chartWeeks", tabs),
        "Per &week");
    for (const auto& [groups, title, chartName, tableName, tab] :
         {std::tuple{&figures.arrByPage, "Success by page (weakest first)", "chartPages",
                     "tblPages", "By &page"},
          std::tuple{&figures.arrByChapter, "Success by chapter (weakest first)", "chartChapters",
                     "tblChapters", "By c&hapter"}}) {
        auto* page = new QWidget(tabs);
        auto* layout = new QHBoxLayout(page);
        layout->addWidget(objGroupChart(*groups, title, chartName, page), 3);
        layout->addWidget(GroupsTable(tableName, *groups), 2);
        tabs->addTab(page, tab);
    }

    auto* games = new QWidget(tabs);
    games->setObjectName("pageGames");
    auto* layout = new QHBoxLayout(games);
    for (const auto& [title, table] :
         {std::pair{"Failed most",
                    tblMostFailed = GamesTable("tblMostFailed", figures.arrMostFailed, false)},
          std::pair{"Not seen for longest",
                    tblLongestUnseen =
                        GamesTable("tblLongestUnseen", figures.arrLongestUnseen, true)}}) {
        auto* column = new QVBoxLayout;
        column->addWidget(new QLabel(title, games));
        column->addWidget(table);
        table->setParent(games);
        layout->addLayout(column);
    }
    tabs->addTab(games, "&Games to train");
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
    QStringList headers{"Game", "Description", "Attempts", "Success"};
    if (withLast) headers << "Last seen";
    QTableWidget* table = objTable(name, headers, this);
    table->setRowCount(static_cast<int>(games.size()));
    for (int row = 0; row < table->rowCount(); ++row) {
        const GameFigures& game = games[static_cast<size_t>(row)];
        QTableWidgetItem* id = objCell(QString::number(game.lngGameId), true);
        id->setData(Qt::UserRole, QVariant::fromValue<qlonglong>(game.lngGameId));
        table->setItem(row, 0, id);
        table->setItem(row, 1, objCell(QString::fromStdString(game.strDescription), false));
        table->setItem(row, 2, objCell(QString::number(game.lngAttempts), true));
        table->setItem(row, 3, objCell(strRate(game.lngAttempts, game.lngSolved), true));
        if (withLast)
            table->setItem(
                row, 4,
                objCell(QString::fromStdString(ReviewDay::strText(game.lngLastDay)), false));
    }
    table->resizeColumnsToContents();
    connect(table, &QTableWidget::itemSelectionChanged, this, [this, table] { lastUsed = table; });
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
    QApplication::clipboard()->setText(QString::fromStdString(figures.strCsv()));
}

void frmStatistics::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() != QEvent::PaletteChange) return;
    for (QChartView* view : findChildren<QChartView*>())
        StatisticsCharts::ApplyPalette(view, palette());
}
