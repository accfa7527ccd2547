#include "masterdata/gui/turnoverchart.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QLocale>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>

using namespace Qt::StringLiterals;

TurnoverChart::TurnoverChart(bool withCosts, QWidget* parent) : QWidget(parent) {
    setObjectName(u"ChartUmsatz"_s);
    m_chart = new QChart;
    m_chart->setTitle(u"Umsätze"_s);
    m_chart->legend()->setAlignment(Qt::AlignBottom);
    m_chart->setMargins(QMargins(2, 2, 2, 2));
    auto* series = new QBarSeries;
    m_revenue = new QBarSet(u"Erlöse"_s);
    m_revenue->setColor(QColor(0x00, 0x00, 0x8B));
    series->append(m_revenue);
    if (withCosts) {
        m_costs = new QBarSet(u"Kosten"_s);
        m_costs->setColor(Qt::red);
        series->append(m_costs);
    }
    m_chart->addSeries(series);
    QStringList names;
    const QLocale german(QLocale::German, QLocale::Germany);
    for (int m = 1; m <= 12; ++m)
        // Three letters fit below a bar even in a narrow window ("Sept." does not).
        names << german.monthName(m).left(3);
    m_months = new QBarCategoryAxis;
    m_months->append(names);
    m_chart->addAxis(m_months, Qt::AlignBottom);
    series->attachAxis(m_months);
    m_amounts = new QValueAxis;
    m_amounts->setLabelFormat(u"%.0f"_s);
    m_chart->addAxis(m_amounts, Qt::AlignLeft);
    series->attachAxis(m_amounts);
    m_view = new QChartView(m_chart, this);
    m_view->setRenderHint(QPainter::Antialiasing);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    setMonths(0, {}, {});
}

TurnoverChart::~TurnoverChart() = default;

void TurnoverChart::setMonths(int year, const Months& revenue, const Months& costs) {
    m_year = year;
    m_months->setTitleText(year > 0 ? QString::number(year) : QString());
    double low = 0;
    double high = 0;
    auto fill = [&](QBarSet* set, const Months& values) {
        if (!set)
            return;
        set->remove(0, set->count());
        for (double v : values) {
            set->append(v);
            low = std::min(low, v);
            high = std::max(high, v);
        }
    };
    fill(m_revenue, revenue);
    fill(m_costs, costs);
    // Credit notes can make a month negative; an empty year still shows a scale.
    m_amounts->setRange(low, high > low ? high : low + 100);
    m_amounts->applyNiceNumbers();
}

double TurnoverChart::revenue(int month) const {
    return month >= 1 && month <= m_revenue->count() ? m_revenue->at(month - 1) : 0;
}

double TurnoverChart::costs(int month) const {
    return m_costs && month >= 1 && month <= m_costs->count() ? m_costs->at(month - 1) : 0;
}
