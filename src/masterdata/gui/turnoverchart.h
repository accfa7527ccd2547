#pragma once

#include <QWidget>
#include <array>

class QBarSet;
class QChart;
class QChartView;
class QBarCategoryAxis;
class QValueAxis;

// The bar chart "Umsätze" of the customer, supplier and article forms:
// twelve months of one year, the revenue in dark blue and, where the form
// has them, the costs in red.
class TurnoverChart : public QWidget {
    Q_OBJECT
public:
    using Months = std::array<double, 12>; // January first

    explicit TurnoverChart(bool withCosts, QWidget* parent = nullptr);
    ~TurnoverChart() override;

    void setMonths(int year, const Months& revenue, const Months& costs = {});

    int year() const { return m_year; }
    double revenue(int month) const; // 1..12
    double costs(int month) const;   // 1..12; 0 without costs
    bool hasCosts() const { return m_costs != nullptr; }
    QChart& chart() const { return *m_chart; }

private:
    QChartView* m_view = nullptr;
    QChart* m_chart = nullptr;
    QBarSet* m_revenue = nullptr;
    QBarSet* m_costs = nullptr;
    QBarCategoryAxis* m_months = nullptr;
    QValueAxis* m_amounts = nullptr;
    int m_year = 0;
};
