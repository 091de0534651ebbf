#pragma once

#include "workbook/WorkBookStatistics.h"

#include <QDialog>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class CWorkBook;
class QLabel;
class QPushButton;
class QTabWidget;
class QTableWidget;

// The statistics window: today's count and the streak, attempts and success rate per day and per
// week, success by page and by chapter, and the games failed most or not seen for longest, each
// a double click (or Train) away from the board. Every figure comes aggregated from the workbook.
class frmStatistics : public QDialog {
    Q_OBJECT

public:
    // Reads the workbook's statistics as of the day and shows them: the summary and the charts
    // over time at once, each other tab when it is first shown.
    frmStatistics(std::shared_ptr<CWorkBook> workbook, int64_t today, QWidget* parent = nullptr);

    // The figures read so far.
    const TrainingStatistics& objFigures() const { return figures; }
    // Reads and shows every figure not read yet.
    void LoadAll();
    // The summary line above the charts.
    static QString strSummary(const TrainingSummary& summary);

public slots:
    // Copies every figure as CSV to the clipboard.
    void CopyCsv();
    // Trains the game selected in the games list that has the focus (or was used last).
    void TrainSelected();

signals:
    // The trainee asked to train this game now.
    void TrainRequested(int32_t gameId);

private:
    void BuildCharts();
    void LoadTab(int index);
    QTableWidget* GamesTable(const char* name, const std::vector<GameFigures>& games,
                             bool withLast);
    QTableWidget* GroupsTable(const char* name, const std::vector<GroupFigures>& groups);

    WorkBookStatistics reader;
    std::shared_ptr<CWorkBook> workbook_; // keeps the reader's connection open
    TrainingStatistics figures;
    std::vector<std::function<void()>> loaders; // per tab, emptied once run
    QLabel* lblSummary = nullptr;
    QTabWidget* tabs = nullptr;
    QTableWidget* tblMostFailed = nullptr;
    QTableWidget* tblLongestUnseen = nullptr;
    QTableWidget* lastUsed = nullptr;
    QPushButton* cmdTrain = nullptr;
};
