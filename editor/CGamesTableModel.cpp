#include "editor/CGamesTableModel.h"

#include "workbook/CWorkBook.h"

#include <algorithm>
#include <climits>
#include <exception>

namespace {

// The database order for each sortable column; the verdict lives only in memory.
bool isSortOf(int column, GameRowQuery::Sort& sort) {
    using Sort = GameRowQuery::Sort;
    static const Sort sorts[] = {Sort::ID,          Sort::Description, Sort::Page,
                                 Sort::Diagram,     Sort::Hits,        Sort::Solve,
                                 Sort::ErrorStreak, Sort::SolveStreak, Sort::Score};
    if (column < 0 || column >= static_cast<int>(std::size(sorts))) return false;
    sort = sorts[column];
    return true;
}

int scoreOf(const WorkBookGameRow& row) {
    return row.lngHits > 0 ? (row.lngSolve * 100 + row.lngHits / 2) / row.lngHits : -1;
}

} // namespace

CGamesTableModel::CGamesTableModel(std::shared_ptr<CWorkBook> book, VerdictSource source,
                                   QObject* parent)
    : QAbstractTableModel(parent), workbook(std::move(book)), verdicts(std::move(source)) {
    query.lngLimit = kPageRows;
}

int CGamesTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows;
}

bool CGamesTableModel::canFetchMore(const QModelIndex& parent) const {
    return !parent.isValid() && rows < total;
}

void CGamesTableModel::fetchMore(const QModelIndex& parent) {
    if (!parent.isValid()) Offer(std::min(total, rows + kFetchRows));
}

// Offers the views the rows up to count.
void CGamesTableModel::Offer(int count) {
    if (count <= rows) return;
    beginInsertRows({}, rows, count - 1);
    rows = count;
    endInsertRows();
}

int CGamesTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant CGamesTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    static const char* const titles[ColumnCount] = {
        "ID",           "Description",    "Page",  "Diagram", "Attempts", "Successes",
        "Error streak", "Success streak", "Score", "Notes",   "Verdict"};
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < ColumnCount)
        return QString(titles[section]);
    return QAbstractTableModel::headerData(section, orientation, role);
}

const WorkBookGameRow* CGamesTableModel::objRow(int row) const {
    if (row < 0 || row >= total) return nullptr;
    const int64_t number = row / kPageRows;
    auto found = pages.find(number);
    if (found == pages.end()) {
        if (isReadingPaused) return nullptr;
        GameRowQuery page = query;
        page.lngOffset = number * kPageRows;
        // A page past the middle is read from the other end in the reverse order (ties go by
        // identifier both ways, so it is the exact reverse): the database then sorts only the
        // rows up to the page, not every row before it.
        const bool isFromEnd = page.lngOffset > total / 2;
        if (isFromEnd) {
            page.lngLimit = std::min<int64_t>(kPageRows, total - page.lngOffset);
            page.lngOffset = total - page.lngOffset - page.lngLimit;
            page.isDescending = !page.isDescending;
        }
        std::vector<WorkBookGameRow> read;
        try {
            read = workbook->arrGetGameRowsPage(page);
        } catch (const std::exception& error) {
            lastError = QString::fromUtf8(error.what());
        }
        if (isFromEnd) std::reverse(read.begin(), read.end());
        ++pagesRead;
        found = pages.emplace(number, std::move(read)).first;
        recent.push_front(number);
        if (recent.size() > kCachedPages) {
            pages.erase(recent.back());
            recent.pop_back();
        }
    } else if (recent.front() != number) {
        recent.remove(number);
        recent.push_front(number);
    }
    const size_t at = static_cast<size_t>(row % kPageRows);
    return at < found->second.size() ? &found->second[at] : nullptr;
}

QVariant CGamesTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.column() >= ColumnCount) return {};
    const WorkBookGameRow* row = objRow(index.row());
    if (!row) return {};
    if (role == IdRole) return QVariant::fromValue<qlonglong>(row->lngID);
    if (index.column() == ColNotes) {
        if (!row->isAnnotated) return {};
        if (role == Qt::DisplayRole) return QString("Yes");
        if (role == Qt::ToolTipRole) return QString("Has comments or move marks");
        if (role == Qt::TextAlignmentRole) return QVariant(Qt::AlignCenter);
        return {};
    }
    if (role == Qt::TextAlignmentRole)
        return index.column() == ColDescription || index.column() == ColPage ||
                       index.column() == ColDiagram || index.column() == ColVerdict
                   ? QVariant()
                   : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
    if (index.column() == ColVerdict) {
        const auto verdict = verdicts ? verdicts(row->lngID) : std::pair<QString, QString>();
        return role == Qt::DisplayRole ? verdict.first : verdict.second;
    }
    if (role != Qt::DisplayRole) return {};
    switch (index.column()) {
    case ColID:
        return QString::number(row->lngID);
    case ColDescription:
        return QString::fromStdString(row->strDescription);
    case ColPage:
        return QString::fromStdString(row->strXRefPage);
    case ColDiagram:
        return QString::fromStdString(row->strXRefDiagram);
    case ColAttempts:
        return QString::number(row->lngHits);
    case ColSuccesses:
        return QString::number(row->lngSolve);
    case ColErrorStreak:
        return QString::number(row->lngErrorStreak);
    case ColSuccessStreak:
        return QString::number(row->lngSolveStreak);
    case ColScore:
        return scoreOf(*row) < 0 ? QString() : QString("%1%").arg(scoreOf(*row));
    default:
        return {};
    }
}

void CGamesTableModel::sort(int column, Qt::SortOrder order) {
    GameRowQuery::Sort sort;
    if (!isSortOf(column, sort)) return;
    if (sort == query.sort && query.isDescending == (order == Qt::DescendingOrder)) return;
    // Each row now shows another game: a reset, since no index can follow its game without
    // reading every row. The count stays; the views start again from the first batch.
    beginResetModel();
    query.sort = sort;
    query.isDescending = order == Qt::DescendingOrder;
    pages.clear();
    recent.clear();
    rows = std::min(total, kFetchRows);
    endResetModel();
}

void CGamesTableModel::SetFilter(const QString& text) {
    const std::string needle = text.trimmed().toStdString();
    if (needle == query.strFilter) return;
    query.strFilter = needle;
    Reset();
}

void CGamesTableModel::Reload() {
    Reset();
}

void CGamesTableModel::Reset() {
    beginResetModel();
    pages.clear();
    recent.clear();
    lastError.clear();
    rows = 0;
    total = 0;
    try {
        total = static_cast<int>(std::min<int64_t>(workbook->lngCountGameRows(query), INT_MAX));
    } catch (const std::exception& error) {
        lastError = QString::fromUtf8(error.what());
    }
    rows = std::min(total, kFetchRows);
    endResetModel();
}

int CGamesTableModel::intRowOf(int64_t id) {
    int64_t row = -1;
    try {
        row = workbook->lngGameRowPosition(query, id);
    } catch (const std::exception& error) {
        lastError = QString::fromUtf8(error.what());
    }
    // The position is trusted only when the row read there is that game.
    if (row < 0 || row >= total || lngIdAt(static_cast<int>(row)) != id) return -1;
    const int found = static_cast<int>(row);
    Offer(std::min(total, (found / kFetchRows + 1) * kFetchRows));
    return found;
}

int64_t CGamesTableModel::lngIdAt(int row) const {
    const WorkBookGameRow* found = objRow(row);
    return found ? found->lngID : 0;
}

std::vector<int64_t> CGamesTableModel::arrIdsInRows(const std::vector<int>& rowNumbers) const {
    std::vector<int64_t> ids;
    ids.reserve(rowNumbers.size());
    // A row of a cached page is the game shown there, even when the file changed since; the
    // database is asked only for rows not read yet.
    auto isCached = [this](int row) { return pages.count(row / kPageRows) > 0; };
    for (size_t first = 0; first < rowNumbers.size();) {
        size_t last = first;
        const bool cached = isCached(rowNumbers[first]);
        while (last + 1 < rowNumbers.size() && rowNumbers[last + 1] == rowNumbers[last] + 1 &&
               isCached(rowNumbers[last + 1]) == cached)
            ++last;
        const size_t length = last - first + 1;
        if (cached || length <= static_cast<size_t>(kPageRows)) {
            for (size_t i = first; i <= last; ++i)
                if (const int64_t id = lngIdAt(rowNumbers[i])) ids.push_back(id);
        } else {
            GameRowQuery run = query;
            run.lngOffset = rowNumbers[first];
            run.lngLimit = static_cast<int64_t>(length);
            try {
                for (const WorkBookGameRow& row : workbook->arrGetGameRowsPage(run))
                    ids.push_back(row.lngID);
            } catch (const std::exception& error) {
                lastError = QString::fromUtf8(error.what());
            }
        }
        first = last + 1;
    }
    return ids;
}
