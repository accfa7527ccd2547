#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <memory>

class QPushButton;

namespace table {
class Table;
}
namespace widgets {
class DataSource;
class FieldForm;
} // namespace widgets

// "Adressdaten ändern" (TF_FakAdr): the address, designations, person in
// charge and the four head texts of one stored document head (an open
// item, an archived document) on a cursor of its own. Numbers, dates and
// amounts are shown but not changed; nothing is written before
// "Überneh&men" (F10), and what is not taken over is dropped on closing.
class TF_FakAdr : public QDialog {
    Q_OBJECT
public:
    // edit: the form's own open cursor on the document's head table;
    // dateField: the field shown as "Datum".
    TF_FakAdr(table::Table& edit, const QString& dateField, QWidget* parent = nullptr);
    ~TF_FakAdr() override;

    table::Table& table() const { return m_edit; }
    widgets::FieldForm& fields() const { return *m_fields; }
    QPushButton* button(const QString& caption) const;

    // "Wählen": the head and foot text pair; a cancel changes nothing.
    void chooseKopfFuss();
    // The rich-text editor on one of the four texts, joining the pending edit.
    void editText(const QString& field);
    void post();
    void cancel();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool run(const std::function<void()>& command);

    table::Table& m_edit;
    std::unique_ptr<widgets::DataSource> m_source;
    widgets::FieldForm* m_fields = nullptr;
    QList<QPushButton*> m_buttons;
    QHash<QObject*, QString> m_textOf;
};

// The field "Datum" shows for the head table: the print date for open
// items, invoices and credit notes, the creation date otherwise.
QString FakAdrDateField(const QString& tableName);

// Edits the document that is the current row of the caller's table, over a
// cursor of the form's own on the same database and table; shows nothing
// when the row's R_ID is no longer in the table. The cursor is closed and
// the form freed on every path.
void EditFakAdr(table::Table& table);
