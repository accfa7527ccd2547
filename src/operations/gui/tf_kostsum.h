#pragma once

#include "commercial/bookings/kostsumperiod.h"
#include "platform/widgets/datagridmodel.h"

#include <QDialog>
#include <QSet>
#include <functional>
#include <memory>

class MonthYearBox;
class QAbstractButton;
class QPushButton;
struct PrintFormChoosers;

namespace table {
class Table;
}
namespace widgets {
class DataGrid;
class DataSource;
} // namespace widgets

// What tells the view by objects ("Objektkosten") from the one by cost
// types ("Kostenarten-Übersicht").
struct KostsumViewDecl {
    KostsumSide side = KostsumSide::Objekte;
    QString objectName; // "TF_KostsumO"
    QString caption;
    QString headIndex, detailIndex;
    QStringList link; // the detail rows' link to their head row
    QString keyField; // of the head row, kept across period changes
    QList<widgets::GridColumn> headColumns, detailColumns;
    int formType = 0;
    std::function<void(const QString& filter, const QString& dateText, const QString& periodText,
                       bool preview, const QString& layoutFile, QWidget* parent)>
        print;
    bool distribution = false; // "&GMK verteilen"
};
KostsumViewDecl KostsumODeclaration();
KostsumViewDecl KostsumKDeclaration();

// The cost statistics of a month, a year or all time: the heads of the
// period above (objects or cost types), the details of the selected head
// below. Read-only, except for the distribution of overhead in the cost-type
// view.
class TF_Kostsum : public QDialog {
    Q_OBJECT
public:
    TF_Kostsum(KostsumViewDecl decl, const QDate& today, QWidget* parent = nullptr);
    ~TF_Kostsum() override;

    // "&Monat", "&Jahr", "&Gesamt".
    void setMode(KostsumMode mode);
    const KostsumPeriod& period() const { return m_period; }
    // Filters the heads to the period and finds the head of the same key again.
    void applyPeriod();
    void PrintClick(QAbstractButton* button);
    // "&GMK verteilen": the costs of the selected cost type booked on the
    // main store in the shown month, over all objects.
    void sbtnUmlageClick();

    const KostsumViewDecl& declaration() const { return m_decl; }
    table::Table& heads() const { return *m_heads; }
    table::Table& details() const { return *m_details; }
    widgets::DataGrid& headGrid() const { return *m_headGrid; }
    widgets::DataGrid& detailGrid() const { return *m_detailGrid; }
    MonthYearBox& monthYear() const { return *m_monthYear; }
    QPushButton* button(const QString& name) const;
    // The colour a head row's "Kostenart" cell is painted in; invalid: the grid's.
    QColor kostartColor(int row) const;
    void setPrintFormChoosers(const PrintFormChoosers& choosers);
    // Replaces the key dialog (tests).
    void setKeyChooser(std::function<int()> choose) { m_chooseKey = std::move(choose); }

private:
    QWidget* buildTop();
    QWidget* buildButtons();
    void periodChosen();
    void refreshTables();

    KostsumViewDecl m_decl;
    KostsumPeriod m_period;
    std::unique_ptr<table::Table> m_heads;
    std::unique_ptr<table::Table> m_details;
    std::unique_ptr<widgets::DataSource> m_headSource;
    std::unique_ptr<widgets::DataSource> m_detailSource;
    std::unique_ptr<PrintFormChoosers> m_choosers;
    std::function<int()> m_chooseKey;
    QSet<int> m_overheadTypes;
    widgets::DataGrid* m_headGrid = nullptr;
    widgets::DataGrid* m_detailGrid = nullptr;
    MonthYearBox* m_monthYear = nullptr;
};

void ShowKostsumOForm();
void ShowKostsumKForm();
