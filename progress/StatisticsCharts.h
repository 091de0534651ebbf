#pragma once

#include "workbook/WorkBookStatistics.h"

#include <QString>
#include <vector>

class QWidget;

// The charts of the statistics, drawn by the chart module; where it cannot be loaded, a notice
// that says why takes the chart's place.
namespace StatisticsCharts {

// Attempts as bars and the success rate as a line over the periods, labelled by their first day
// ("MM-DD"); the view is named name.
QWidget* objPeriodChart(const std::vector<PeriodFigures>& periods, const QString& title,
                        const QString& name, QWidget* parent);
// The success rate of each group as a horizontal bar, weakest at the top.
QWidget* objGroupChart(const std::vector<GroupFigures>& groups, const QString& title,
                       const QString& name, QWidget* parent);

} // namespace StatisticsCharts
