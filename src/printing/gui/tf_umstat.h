#pragma once

#include "commercial/bookings/umsatzstatistik.h"
#include "printing/printprotocol.h"

#include <QDialog>
#include <functional>
#include <memory>
#include <optional>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace table {
class Table;
}
namespace widgets {
class DataGrid;
class DataSource;
} // namespace widgets

// A turnover statistics window: the master list (objects, customers or
// suppliers; none for the whole firm) beside the rows of the selected one in
// the window's own work table, the date range "Von" / "Bis" (a double click
// opens the calendar), the record kinds to include, the sum, and the print of
// form type 47000. The work table lives exactly as long as the window.
class TF_UmStat : public QDialog {
    Q_OBJECT
public:
    // The calendar for one bound: true and the new date on OK.
    using DatePicker = std::function<bool(TDateTime& date)>;

    // The range is today's month; the window collects at once except the
    // supplier window, which collects whenever it is activated.
    TF_UmStat(UmStatKind kind, const QDate& today, QWidget* parent = nullptr);
    ~TF_UmStat() override;

    UmStatKind kind() const { return m_kind; }
    const UmsatzWorkTable& workTable() const { return *m_work; }
    UmStatRange range() const { return m_range; }
    std::optional<int> key() const { return m_key; }

    // Tests replace the calendar and the print-form choice.
    void setDatePicker(DatePicker picker) { m_pickDate = std::move(picker); }
    void setPrintFormChoosers(PrintFormChoosers choosers) { m_choosers = std::move(choosers); }

    table::Table* masterTable() const { return m_master.get(); }
    table::Table& listTable() const { return *m_list; }
    widgets::DataGrid* masterGrid() const { return m_masterGrid; }
    widgets::DataGrid* listGrid() const { return m_listGrid; }
    QLineEdit* editVon() const { return m_von; }
    QLineEdit* editBis() const { return m_bis; }
    QLineEdit* editSumme() const { return m_summe; }
    // nullptr where the window has no such box.
    QCheckBox* boxAR() const { return m_boxAR; }
    QCheckBox* boxGS() const { return m_boxGS; }
    QCheckBox* boxER() const { return m_boxER; }
    QPushButton* btnPrint() const { return m_btnPrint; }
    QPushButton* btnPreview() const { return m_btnPreview; }
    QPushButton* btnClose() const { return m_btnClose; }
    QPushButton* btnInfo() const { return m_btnInfo; }

    // The handlers of the window's events.
    void FormActivate();
    void VonDblClick();
    void BisDblClick();
    void BoxClick();
    void PrintClick(QPushButton* button);
    void InfoClick();
    void MasterMoved();

    // The list's text colour of a record kind; invalid for the default.
    QColor kindColor(int satzart) const;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildGrids();
    QWidget* buildBottom();
    void openMaster();
    void openList();
    void pickBound(bool from);
    void collect();
    void showRange();
    std::optional<int> currentKey() const;
    void showKey();
    QString nameText() const;

    UmStatKind m_kind;
    UmStatRange m_range;
    QSet<int> m_kinds;
    std::optional<int> m_key;
    bool m_ready = false;
    bool m_collectOnActivate = true;
    DatePicker m_pickDate;
    PrintFormChoosers m_choosers;

    // Declared before the cursors on it, so that it goes after them.
    std::unique_ptr<UmsatzWorkTable> m_work;
    std::unique_ptr<table::Table> m_master;
    std::unique_ptr<table::Table> m_list;
    widgets::DataSource* m_masterSource = nullptr;
    widgets::DataSource* m_listSource = nullptr;
    widgets::DataGrid* m_masterGrid = nullptr;
    widgets::DataGrid* m_listGrid = nullptr;
    QLineEdit* m_von = nullptr;
    QLineEdit* m_bis = nullptr;
    QLineEdit* m_summe = nullptr;
    QCheckBox* m_boxAR = nullptr;
    QCheckBox* m_boxGS = nullptr;
    QCheckBox* m_boxER = nullptr;
    QPushButton* m_btnPrint = nullptr;
    QPushButton* m_btnPreview = nullptr;
    QPushButton* m_btnClose = nullptr;
    QPushButton* m_btnInfo = nullptr;
};

// The four windows by their names.
template <UmStatKind K> class TF_UmStatOf : public TF_UmStat {
public:
    explicit TF_UmStatOf(const QDate& today, QWidget* parent = nullptr)
        : TF_UmStat(K, today, parent) {}
};
using TF_UmStatObj = TF_UmStatOf<UmStatKind::Objekte>;
using TF_UmStatKund = TF_UmStatOf<UmStatKind::Kunden>;
using TF_UmStatLief = TF_UmStatOf<UmStatKind::Lieferanten>;
using TF_UmStatGesamt = TF_UmStatOf<UmStatKind::Gesamt>;

// The openers of the main window's "Statistiken" entries: the window below
// the main window, modal; its work table is gone when it closes.
void ShowUmStatObjForm();
void ShowUmStatKundForm();
void ShowUmStatLiefForm();
void ShowUmStatGesamtForm();
