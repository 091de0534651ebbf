#include "progress/StatisticsCharts.h"

#include "board/ModuleLoader.h"
#include "progress/IStatisticsCharts.h"
#include "workbook/ReviewDay.h"

#include <QLabel>

namespace {

double dblRate(int64_t attempts, int64_t solved) {
    return attempts > 0 ? 100.0 * static_cast<double>(solved) / static_cast<double>(attempts) : 0;
}

// The chart module, loaded once; nullptr with the reason in error when it cannot be.
const IStatisticsCharts* objCharts(QString& error) {
    static QString reason;
    static const IStatisticsCharts* const charts =
        objLoadModule<IStatisticsCharts>("brisolt_charts", &reason);
    error = reason;
    return charts;
}

QWidget* objNamed(QWidget* view, const QString& name) {
    view->setObjectName(name);
    return view;
}

QWidget* objNotice(const QString& error, const QString& name, QWidget* parent) {
    auto* notice = new QLabel("The charts cannot be shown: " + error +
                                  ".\nReinstalling Brisolt brings them back; the figures are in "
                                  "the other tabs and in Copy as CSV.",
                              parent);
    notice->setAlignment(Qt::AlignCenter);
    notice->setWordWrap(true);
    return objNamed(notice, name);
}

} // namespace

QWidget* StatisticsCharts::objPeriodChart(const std::vector<PeriodFigures>& periods,
                                          const QString& title, const QString& name,
                                          QWidget* parent) {
    QString error;
    const IStatisticsCharts* charts = objCharts(error);
    if (charts == nullptr) return objNotice(error, name, parent);
    QStringList labels;
    QList<double> attempts;
    QList<QPointF> rates;
    for (size_t k = 0; k < periods.size(); ++k) {
        const PeriodFigures& period = periods[k];
        attempts << static_cast<double>(period.lngAttempts);
        // Periods without attempts have no rate: the line skips them.
        if (period.lngAttempts > 0)
            rates << QPointF(static_cast<double>(k), dblRate(period.lngAttempts, period.lngSolved));
        labels << QString::fromStdString(ReviewDay::strText(period.lngFirstDay)).mid(5);
    }
    return objNamed(charts->objPeriodChart(title, labels, attempts, rates, parent), name);
}

QWidget* StatisticsCharts::objGroupChart(const std::vector<GroupFigures>& groups,
                                         const QString& title, const QString& name,
                                         QWidget* parent) {
    QString error;
    const IStatisticsCharts* charts = objCharts(error);
    if (charts == nullptr) return objNotice(error, name, parent);
    QStringList labels;
    QList<double> rates;
    // The weakest group comes first in the figures and belongs at the top: bars run upwards.
    for (auto group = groups.rbegin(); group != groups.rend(); ++group) {
        rates << dblRate(group->lngAttempts, group->lngSolved);
        const QString label = QString::fromStdString(group->strName);
        labels << (label.isEmpty() ? QStringLiteral("(none)") : label.left(24));
    }
    return objNamed(charts->objGroupChart(title, labels, rates, parent), name);
}
