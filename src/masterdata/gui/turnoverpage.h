#pragma once

#include <QString>
#include <QWidget>
#include <memory>

struct ListFormDecl;
class QSpinBox;
class TF_ListForm;
class TurnoverChart;

namespace table {
class Table;
}
namespace widgets {
class DataGrid;
class DataSource;
} // namespace widgets

// The turnover tab of the customer, supplier and article forms: the month
// rows of one year of the current record (a shared detail table linked by
// number and year), their chart, and the year edit that chooses the year
// TodayYear for all three forms.
struct TurnoverPageDecl {
    QString title = QStringLiteral("&Umsatz");
    QString before;    // the tab it stands in front of; empty: at the end
    QString table;     // "TabKUmsatz": linked to the form's table by number and year
    QString yearField; // "K_Aktjahr": the form table's year of the rows shown
    QString gridName;  // "GridUmsatzK"
    bool withCosts = true;
    // Its mnemonic must not repeat a tab's of the same form.
    QString yearLabel = QStringLiteral("Jah&r");
};

// Adds the page, opens its table on every activation and answers the
// record rules' redraw and turnover-tab questions through the declaration.
void AddTurnoverPage(ListFormDecl& decl, const TurnoverPageDecl& page);

// Shows the form as its menu entry does: the turnover year goes back to
// today's, also on a turnover tab still in front of the open form.
TF_ListForm& ShowTurnoverForm(const QString& formClass);

class TurnoverPage : public QWidget {
    Q_OBJECT
public:
    TurnoverPage(const TurnoverPageDecl& decl, TF_ListForm& form);
    ~TurnoverPage() override;

    TurnoverChart& chart() const { return *m_chart; }
    widgets::DataGrid& grid() const { return *m_grid; }
    QSpinBox& yearEdit() const { return *m_year; }

    // Both series again from the month rows now shown.
    void reload();
    // The user's year: TodayYear, then the current record's year field
    // (written and posted; an error there is ignored), then the chart.
    void chooseYear(int year);
    // The tab came to the front: the year edit and the record follow
    // TodayYear, the chart is drawn again.
    void pageShown();

private:
    void writeYear(int year);

    TurnoverPageDecl m_decl;
    TF_ListForm& m_form;
    table::Table& m_table;
    std::unique_ptr<widgets::DataSource> m_source;
    widgets::DataGrid* m_grid = nullptr;
    TurnoverChart* m_chart = nullptr;
    QSpinBox* m_year = nullptr;
    bool m_settingYear = false;
};
