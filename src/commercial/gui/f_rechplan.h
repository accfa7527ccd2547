#pragma once

#include <QDate>
#include <QDialog>
#include <memory>

class QMenu;
class QPushButton;
namespace table {
class Table;
}
namespace widgets {
class DataGrid;
class DataSource;
class DbNavigator;
} // namespace widgets

// "Rechnungs-Vorschau": the rows of the last plan run of the recurring-invoice
// generator, a new plan run, and the one invoice of a chosen row.
class TF_Rechplan : public QDialog {
    Q_OBJECT
public:
    explicit TF_Rechplan(QWidget* parent = nullptr);
    ~TF_Rechplan() override;

    widgets::DataGrid* DBGrid1;
    widgets::DbNavigator* DBNavigator1;
    QPushButton* btnErzeugen;
    QPushButton* btnVorschau;
    QPushButton* btnDrucken;
    QPushButton* btnClose;
    QMenu* PopupMenu1;

    table::Table& TabRechplan() { return *m_table; }
    // The from and to dates of the last plan run (today for an empty plan).
    QDate planFrom() const { return m_from; }
    QDate planTo() const { return m_to; }
    // "vom dd.mm.yyyy bis dd.mm.yyyy", the title of the plan's print.
    QString titleText() const;

    void btnErzeugenClick();
    void CreateSelectedInvoice();
    // "&Vorschau" and "Dr&ucken": the plan's print with the plan range as title.
    void printClicked();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void readPlanRange();

    std::unique_ptr<table::Table> m_table;
    widgets::DataSource* m_source = nullptr;
    QDate m_from, m_to;
};

// Opens the invoice plan preview.
void ShowRechplanForm();
