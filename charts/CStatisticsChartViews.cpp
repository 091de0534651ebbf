#include "charts/CStatisticsChartViews.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QEvent>
#include <QHorizontalBarSeries>
#include <QLineSeries>
#include <QValueAxis>
#include <algorithm>

namespace {

// A chart view coloured for the palette it is shown in, again whenever that palette changes.
class CPaletteChartView : public QChartView {
public:
    CPaletteChartView(QChart* chart, QWidget* parent) : QChartView(chart, parent) {
        chart->legend()->setAlignment(Qt::AlignBottom);
        chart->setAnimationOptions(QChart::NoAnimation);
        setRenderHint(QPainter::Antialiasing);
        setMinimumSize(420, 260);
        ApplyPalette();
    }

protected:
    void changeEvent(QEvent* event) override {
        QChartView::changeEvent(event);
        if (event->type() == QEvent::PaletteChange) ApplyPalette();
    }

private:
    void ApplyPalette() {
        const QPalette colours = palette();
        const bool dark = colours.color(QPalette::Window).lightness() < 128;
        // A theme resets the series' colours and the axes' fonts; it is set only when it changes.
        const QChart::ChartTheme theme = dark ? QChart::ChartThemeDark : QChart::ChartThemeLight;
        if (chart()->theme() != theme) chart()->setTheme(theme);
        chart()->setBackgroundBrush(colours.color(QPalette::Base));
        chart()->setTitleBrush(colours.color(QPalette::Text));
        chart()->legend()->setLabelColor(colours.color(QPalette::Text));
        for (QAbstractAxis* axis : chart()->axes()) {
            axis->setLabelsColor(colours.color(QPalette::Text));
            axis->setTitleBrush(colours.color(QPalette::Text));
        }
        setBackgroundBrush(colours.color(QPalette::Window));
    }
};

QValueAxis* objPercentAxis() {
    auto* axis = new QValueAxis;
    axis->setRange(0, 100);
    axis->setLabelFormat("%d%%");
    axis->setTickCount(6);
    return axis;
}

} // namespace

QWidget* CStatisticsChartViews::objPeriodChart(const QString& title, const QStringList& labels,
                                               const QList<double>& attempts,
                                               const QList<QPointF>& rates, QWidget* parent) const {
    auto* chart = new QChart;
    chart->setTitle(title);
    auto* attemptBars = new QBarSet("Attempts");
    attemptBars->append(attempts);
    auto* rate = new QLineSeries;
    rate->setName("Success rate");
    rate->setPointsVisible(true); // a day between two days without attempts is a point alone
    rate->append(rates);
    auto* bars = new QBarSeries;
    bars->append(attemptBars);
    chart->addSeries(bars);
    chart->addSeries(rate);

    auto* days = new QBarCategoryAxis;
    days->append(labels);
    days->setLabelsAngle(-90);
    // Standing on end, a date needs no more than a line's width, but the axis would cut it to
    // dots wherever a day's column is narrower than its margins allow (a laptop's screen, scaled).
    days->setTruncateLabels(false);
    chart->addAxis(days, Qt::AlignBottom);
    auto* count = new QValueAxis;
    const double most =
        attempts.isEmpty() ? 0 : *std::max_element(attempts.begin(), attempts.end());
    count->setRange(0, std::max(most, 4.0));
    count->setLabelFormat("%d");
    count->applyNiceNumbers();
    chart->addAxis(count, Qt::AlignLeft);
    QValueAxis* percent = objPercentAxis();
    chart->addAxis(percent, Qt::AlignRight);
    bars->attachAxis(days);
    bars->attachAxis(count);
    rate->attachAxis(days);
    rate->attachAxis(percent);
    return new CPaletteChartView(chart, parent);
}

QWidget* CStatisticsChartViews::objGroupChart(const QString& title, const QStringList& labels,
                                              const QList<double>& rates, QWidget* parent) const {
    auto* chart = new QChart;
    chart->setTitle(title);
    auto* success = new QBarSet("Success rate");
    success->append(rates);
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
    return new CPaletteChartView(chart, parent);
}
