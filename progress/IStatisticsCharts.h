#pragma once

#include <QList>
#include <QPointF>
#include <QStringList>
#include <QtPlugin>

class QWidget;

// The chart views of the statistics window, in the module brisolt_charts (Qt Charts), loaded when
// the first chart is shown. A view follows the palette it is shown in (dark theme on a dark
// window).
class IStatisticsCharts {
public:
    virtual ~IStatisticsCharts() = default;
    // Attempts as bars, one per label, and the success rate in percent as a line through the
    // points (bar index, rate).
    virtual QWidget* objPeriodChart(const QString& title, const QStringList& labels,
                                    const QList<double>& attempts, const QList<QPointF>& rates,
                                    QWidget* parent) const = 0;
    // The success rate in percent for each label as a horizontal bar, the first at the bottom.
    virtual QWidget* objGroupChart(const QString& title, const QStringList& labels,
                                   const QList<double>& rates, QWidget* parent) const = 0;
};

#define IStatisticsCharts_iid "org.brisolt.StatisticsCharts/1"
Q_DECLARE_INTERFACE(IStatisticsCharts, IStatisticsCharts_iid)
