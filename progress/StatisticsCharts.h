#pragma once

#include "workbook/WorkBookStatistics.h"

#include <QString>
#include <vector>

class QChartView;
class QPalette;
class QWidget;

// Chart views of the statistics, coloured for the palette they are shown in.
namespace StatisticsCharts {

// Attempts as bars and the success rate as a line over the periods, labelled by their first day
// ("MM-DD"); the view is named name.
QChartView* objPeriodChart(const std::vector<PeriodFigures>& periods, const QString& title,
                           const QString& name, QWidget* parent);
// The success rate of each group as a horizontal bar, weakest at the top.
QChartView* objGroupChart(const std::vector<GroupFigures>& groups, const QString& title,
                          const QString& name, QWidget* parent);
// Recolours a chart view for the palette (dark theme on a dark window).
void ApplyPalette(QChartView* view, const QPalette& palette);

} // namespace StatisticsCharts
