#include "progress/StatisticsCharts.h"

#include "workbook/ReviewDay.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QHorizontalBarSeries>
#include <QLineSeries>
#include <QPalette>
#include <QValueAxis>
#include <algorithm>

namespace {

double dblRate(int64_t attempts, int64_t solved) {
    return attempts > 0 ? 100.0 * static_cast<double>(solved) / static_cast<double>(attempts) : 0;
}

QChartView* objView(QChart* chart, const QString& name, QWidget* parent) {
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setAnimationOptions(QChart::NoAnimation);
    auto* view = new QChartView(chart, parent);
    view->setObjectName(name);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumSize(420, 260);
    StatisticsCharts::ApplyPalette(view, parent != nullptr ? parent->palette() : QPalette());
    return view;
}

QValueAxis* objPercentAxis() {
    auto* axis = new QValueAxis;
    axis->setRange(0, 100);
    axis->setLabelFormat("%d%%");
    axis->setTickCount(6);
    return axis;
}

} // namespace

QChartView* StatisticsCharts::objPeriodChart(const std::vector<PeriodFigures>& periods,
                                             const QString& title, const QString& name,
                                             QWidget* parent) {
    auto* chart = new QChart;
    chart->setTitle(title);
    auto* attempts = new QBarSet("Attempts");
    auto* rate = new QLineSeries;
    rate->setName("Success rate");
    rate->setPointsVisible(true); // a day between two days without attempts is a point alone
    QStringList labels;
    int64_t most = 0;
    for (size_t k = 0; k < periods.size(); ++k) {
        const PeriodFigures& period = periods[k];
        *attempts << static_cast<double>(period.lngAttempts);
        most = std::max(most, period.lngAttempts);
        // Periods without attempts have no rate: the line skips them.
        if (period.lngAttempts > 0)
            rate->append(static_cast<double>(k), dblRate(period.lngAttempts, period.lngSolved));
        labels << QString::fromStdString(ReviewDay::strText(period.lngFirstDay)).mid(5);
    }
    auto* bars = new QBarSeries;
    bars->append(attempts);
    chart->addSeries(bars);
    chart->addSeries(rate);

    auto* days = new QBarCategoryAxis;
    days->append(labels);
    days->setLabelsAngle(-90);
    chart->addAxis(days, Qt::AlignBottom);
    auto* count = new QValueAxis;
    count->setRange(0, static_cast<double>(std::max<int64_t>(most, 4)));
    count->setLabelFormat("%d");
    count->applyNiceNumbers();
    chart->addAxis(count, Qt::AlignLeft);
    QValueAxis* percent = objPercentAxis();
    chart->addAxis(percent, Qt::AlignRight);
    bars->attachAxis(days);
    bars->attachAxis(count);
    rate->attachAxis(days);
    rate->attachAxis(percent);
    return objView(chart, name, parent);
}

QChartView* StatisticsCharts::objGroupChart(const std::vector<GroupFigures>& groups,
                                            const QString& title, const QString& name,
                                            QWidget* parent) {
    auto* chart = new QChart;
    chart->setTitle(title);
    auto* success = new QBarSet("Success rate");
    QStringList labels;
    // The weakest group comes first in the figures and belongs at the top: bars run upwards.
    for (auto group = groups.rbegin(); group != groups.rend(); ++group) {
        *success << dblRate(group->lngAttempts, group->lngSolved);
        const QString label = QString::fromStdString(group->strName);
        labels << (label.isEmpty() ? QStringLiteral("(none)") : label.left(24));
    }
    auto* bars = new QHorizontalBarSeries;
    bars->append(success);
    chart->addSeries(bars);
    auto* names = new QBarCategoryAxis;
    names->append(labels);
    chart->addAxis(names, Qt::AlignLeft);
    QValueAxis* percent = objPercentAxis();
    chart->addAxis(percent, Qt::AlignBottom);
    bars->attachAxis(names);
    bars->attachAxis(percent);
    chart->legend()->hide();
    return objView(chart, name, parent);
}

void StatisticsCharts::ApplyPalette(QChartView* view, const QPalette& palette) {
    QChart* chart = view->chart();
    const bool dark = palette.color(QPalette::Window).lightness() < 128;
    // A theme resets the series' colours and the axes' fonts; it is set only when it changes.
    const QChart::ChartTheme theme = dark ? QChart::ChartThemeDark : QChart::ChartThemeLight;
    if (chart->theme() != theme) chart->setTheme(theme);
    chart->setBackgroundBrush(palette.color(QPalette::Base));
    chart->setTitleBrush(palette.color(QPalette::Text));
    chart->legend()->setLabelColor(palette.color(QPalette::Text));
    for (QAbstractAxis* axis : chart->axes()) {
        axis->setLabelsColor(palette.color(QPalette::Text));
        axis->setTitleBrush(palette.color(QPalette::Text));
    }
    view->setBackgroundBrush(palette.color(QPalette::Window));
}
