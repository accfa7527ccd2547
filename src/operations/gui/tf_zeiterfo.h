#pragma once

#include "operations/monthtimesums.h"

#include <QDialog>
#include <functional>
#include <memory>

class MonthYearBox;
class QAbstractButton;
class QHBoxLayout;
class QPushButton;
class ZeitsumPanel;
struct PrintFormChoosers;

namespace table {
class Table;
}
namespace widgets {
class DataGrid;
class DataSource;
} // namespace widgets

// What tells the monthly view by objects from the one by employees.
struct ZeiterfViewDecl {
    TimeViewMaster master = TimeViewMaster::Objekt;
    QString objectName; // "TF_ZeiterfO"
    QString caption;    // "Arbeitszeit Objekte"
    QString masterTable, masterIndex, numberField, matchField;
    QString numberTitle, matchTitle; // the master grid's column titles
    QString recordIndex;             // of the time records
    QString otherField, otherTitle;  // the time grid's second column
    QString detailGroup;             // "Objekt" or "Person"
    int listFormType = 0, detailFormType = 0;
    std::function<void(const QString& workTable, const QString& periodText, bool preview,
                       const QString& layoutFile, QWidget* parent)>
        printList;
    std::function<void(const QString& workTable, const QString& monthText, const QString& filter,
                       const QString& nrText, const QString& name, bool fromArchive, bool preview,
                       const QString& layoutFile, QWidget* parent)>
        printDetail;
    QString placementSection;
};
ZeiterfViewDecl ZeiterfODeclaration();
ZeiterfViewDecl ZeiterfPDeclaration();

// "Arbeitszeit Objekte" / "Arbeitszeit Mitarbeiter": the objects (employees)
// on the left, the time records of the selected one in the chosen month on
// the right, its hours and costs per time type below; the month list and
// the detail list printed or previewed. Read-only. The time records are
// those of the client or, opened from the archive browser, of the archive
// database; the sums are kept in a work table of this window's own.
class TF_ZeiterfO : public QDialog {
    Q_OBJECT
public:
    TF_ZeiterfO(ZeiterfViewDecl decl, bool fromArchive, const QDate& today,
                QWidget* parent = nullptr);
    ~TF_ZeiterfO() override;

    // The month shown: filters the records and recomputes the sums.
    void setMonth(const TimeViewMonth& month);
    const TimeViewMonth& month() const { return m_month; }
    void SetMonthFilter();
    // The sums of the selected master in the shown month, into the panel
    // and the work table; nothing while the month list is built or without
    // a master.
    void CalcMonthSum();
    // The groups "Liste" and "Objekt"/"Person".
    void printList(QAbstractButton* button);
    void printDetail(QAbstractButton* button);
    // The "Druck" buttons show only with the print right of the overviews.
    void ApplyRights();

    const ZeiterfViewDecl& declaration() const { return m_decl; }
    bool fromArchive() const { return m_fromArchive; }
    table::Table& masters() const { return *m_masters; }
    table::Table& records() const { return *m_records; }
    MonthSumTable& sums() const { return *m_sums; }
    widgets::DataGrid& masterGrid() const { return *m_masterGrid; }
    widgets::DataGrid& timeGrid() const { return *m_timeGrid; }
    MonthYearBox& monthYear() const { return *m_monthYear; }
    ZeitsumPanel& sumPanel() const { return *m_panel; }
    QPushButton* button(const QString& name) const;
    // Replaces the print-form choice (tests).
    void setPrintFormChoosers(const PrintFormChoosers& choosers);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildGrids(QHBoxLayout& row);
    QWidget* buildButtons();
    int currentNr() const;
    void monthChosen();

    ZeiterfViewDecl m_decl;
    bool m_fromArchive = false;
    TimeViewMonth m_month;
    bool m_busy = false;
    std::shared_ptr<table::Database> m_recordsDb;
    std::unique_ptr<MonthSumTable> m_sums;
    std::unique_ptr<table::Table> m_masters;
    std::unique_ptr<table::Table> m_records;
    std::unique_ptr<widgets::DataSource> m_masterSource;
    std::unique_ptr<widgets::DataSource> m_timeSource;
    std::unique_ptr<PrintFormChoosers> m_choosers;
    widgets::DataGrid* m_masterGrid = nullptr;
    widgets::DataGrid* m_timeGrid = nullptr;
    MonthYearBox* m_monthYear = nullptr;
    ZeitsumPanel* m_panel = nullptr;
};

// Open the view modally over the client's time records, or over the
// archived ones with fromArchive.
void ShowZeiterfOForm(bool fromArchive);
void ShowZeiterfPForm(bool fromArchive);
