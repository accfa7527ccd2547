#pragma once

#include "operations/termseries.h"

#include <QDialog>
#include <memory>

class QMenu;
class QPushButton;
class QTableWidget;

namespace widgets {
class DataGrid;
class DataSource;
} // namespace widgets

// "Mehrfachtermine erzeugen" (TF_MultiTerm): the days of the twelve months
// from the appointment's month on (a grid of months by days, "*" for a
// chosen day) and the objects to copy to (their stored mark O_Selected, on a
// cursor of the dialog's own). "&OK" makes the copies, all or none.
class TF_MultiTerm : public QDialog {
    Q_OBJECT
public:
    TF_MultiTerm(const TermSeriesSource& source, QWidget* parent = nullptr);
    ~TF_MultiTerm() override;

    QTableWidget& grid() const { return *m_grid; }
    const TermSeriesGrid& days() const { return m_days; }
    widgets::DataGrid& objects() const { return *m_objects; }
    table::Table& objectTable() const { return *m_objectTable; }
    QMenu& objectMenu() const { return *m_menu; }
    QPushButton& okButton() const { return *m_ok; }
    int created() const { return m_created; }

    // A double-click on a day cell (rows 1 .. 12, columns 1 .. 31).
    void dayDoubleClicked(int row, int column);
    // The current object's mark: toggled, set or cleared.
    void toggleObject();
    void markObject(bool on);
    // "Alle auf Ja" / "Alle auf Nein", back on the row that was current.
    void markAll(bool on);
    // Enter, Space, "J", "N" in the object list: false for any other key.
    bool objectKey(int key, Qt::KeyboardModifiers modifiers);
    // "&OK": the copies; an error keeps the dialog open and nothing made.
    void createSeries();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fillGrid();
    void nextObjectRow();

    TermSeriesSource m_source;
    TermSeriesGrid m_days;
    std::unique_ptr<table::Table> m_objectTable;
    std::unique_ptr<widgets::DataSource> m_objectSource;
    QTableWidget* m_grid = nullptr;
    widgets::DataGrid* m_objects = nullptr;
    QMenu* m_menu = nullptr;
    QPushButton* m_ok = nullptr;
    int m_created = 0;
};

// "Mehrfachtermin" of the appointment window: the dialog for the data
// module's current appointment (its object, 0 when none, and its date, the
// empty date when none), placed at the appointment window's left edge, 170
// pixels from the top. The number of copies made.
int ShowMultiTermForm(int objektNr, const QDate& date);
