#pragma once

#include "workbook/GameRowQuery.h"
#include "workbook/WorkBookGameRow.h"

#include <QAbstractTableModel>
#include <cstdint>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <vector>

class CWorkBook;

// The workbook's games as a table that reads only the pages on screen: the database sorts and
// filters, and a few pages stay cached. Rows are offered to the views a batch at a time as they
// scroll down (each row costs the views memory), so memory does not grow with the workbook.
class CGamesTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // Table columns, left to right.
    enum Column {
        ColID,
        ColDescription,
        ColPage,
        ColDiagram,
        ColAttempts,
        ColSuccesses,
        ColErrorStreak,
        ColSuccessStreak,
        ColScore,
        ColNotes,
        ColVerdict,
        ColumnCount
    };
    // The role that gives a row's game identifier in every column.
    static constexpr int IdRole = Qt::UserRole;
    // Rows read at a time, and how many such pages stay cached.
    static constexpr int kPageRows = 200;
    static constexpr size_t kCachedPages = 12;
    // Rows offered to the views at first and on each fetch.
    static constexpr int kFetchRows = 2000;

    // A verdict and its details for a game, both empty when it has none.
    using VerdictSource = std::function<std::pair<QString, QString>(int64_t id)>;

    // A model over the workbook, sorted by identifier, unfiltered.
    explicit CGamesTableModel(std::shared_ptr<CWorkBook> workbook, VerdictSource verdicts,
                              QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    // Orders the rows by the column (the database sorts); the notes and verdict columns do not.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // Shows only games whose description or references contain the text (any case).
    void SetFilter(const QString& text);
    // Counts and reads the games again; throws when the workbook cannot be read.
    void Reload();
    // The row of the game in the current order and filter, -1 when it is not shown; the rows
    // down to it are offered to the views.
    int intRowOf(int64_t id);
    // The number of games the order and filter give, offered to the views or not yet.
    int intTotalRows() const { return total; }
    // The game identifier of a row, 0 when the row cannot be read.
    int64_t lngIdAt(int row) const;
    // The game identifiers of the rows (ascending row numbers): those of cached pages as shown,
    // long runs of other rows read in one query each instead of page by page.
    std::vector<int64_t> arrIdsInRows(const std::vector<int>& rowNumbers) const;
    // While another thread writes through the workbook (an import), rows of pages not read yet
    // show empty and nothing is read; the reload after the writing shows them.
    void PauseReading(bool paused) { isReadingPaused = paused; }
    // Pages read from the database since the model was made (for tests and measurement).
    int64_t lngPagesRead() const { return pagesRead; }
    // The message of the last page that could not be read, empty when all could.
    QString strLastError() const { return lastError; }

private:
    const WorkBookGameRow* objRow(int row) const;
    void Reset();
    void Offer(int count);

    std::shared_ptr<CWorkBook> workbook;
    VerdictSource verdicts;
    GameRowQuery query;
    int rows = 0;  // offered to the views
    int total = 0; // matching the filter
    // Cached pages by number, and their use order (most recent first).
    mutable std::map<int64_t, std::vector<WorkBookGameRow>> pages;
    mutable std::list<int64_t> recent;
    mutable int64_t pagesRead = 0;
    bool isReadingPaused = false;
    mutable QString lastError;
};
