// The review order and the statistics of an open workbook, over its own connection.
#include "workbook/CWorkBook.h"
#include "workbook/SqlConnection.h"
#include "workbook/WorkBookProgress.h"
#include "workbook/WorkBookStatistics.h"

#include <algorithm>
#include <limits>

std::vector<int32_t> CWorkBook::arrlngGetGameIDsForReview(int16_t count, int32_t newPerDay,
                                                          int64_t today) {
    std::vector<int32_t> ids;
    if (count <= 0) return ids;
    const auto fits = [](int64_t id) {
        return id > 0 && id <= std::numeric_limits<int32_t>::max();
    };
    for (const DueGame& game : objProgress().arrDueGames(today, newPerDay, count)) {
        if (fits(game.lngGameId)) ids.push_back(static_cast<int32_t>(game.lngGameId));
    }
    // Nothing left to review today: the classic order fills the batch, so that training goes on.
    // Its first `count` games are enough: those it shares with the batch leave as many others.
    if (ids.size() < static_cast<size_t>(count)) {
        for (int32_t id : arrlngGetGameIDsForTraining(count)) {
            if (ids.size() == static_cast<size_t>(count)) break;
            if (std::find(ids.begin(), ids.end(), id) == ids.end()) ids.push_back(id);
        }
    }
    return ids;
}

WorkBookStatistics CWorkBook::objStatistics() {
    return WorkBookStatistics(Connection());
}

WorkBookProgress& CWorkBook::objProgress() {
    if (!m_progress) m_progress = std::make_unique<WorkBookProgress>(Connection());
    return *m_progress;
}
