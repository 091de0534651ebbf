#pragma once

#include "progress/IStatisticsCharts.h"

#include <QObject>

// The statistics window's charts on Qt Charts: the module brisolt_charts.
class CStatisticsChartViews : public QObject, public IStatisticsCharts {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID IStatisticsCharts_iid)
    Q_INTERFACES(IStatisticsCharts)

public:
    QWidget* objPeriodChart(const QString& title, const QStringList& labels,
                            const QList<double>& attempts, const QList<QPointF>& rates,
                            QWidget* parent) const override;
    QWidget* objGroupChart(const QString& title, const QStringList& labels,
                           const QList<double>& rates, QWidget* parent) const override;
};
