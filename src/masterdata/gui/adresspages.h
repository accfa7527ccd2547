#pragma once

#include <QList>
#include <QString>
#include <QWidget>
#include <memory>

class DetailFocus;
class TF_ListForm;
struct CustomPageDecl;

namespace table {
class Table;
}
namespace widgets {
class DataGrid;
class DataSource;
class DbRichEdit;
struct GridColumn;
} // namespace widgets

// The contacts, journal and protocol pages of the address book: a grid over
// the rows of the current address and, below it, the selected row's rich
// text, edited through the memo editor only. Ctrl+PgDn in the grid opens
// that editor (on a page without text it goes back to the list, as Ctrl+PgUp
// does).
class AdressDetailPage : public QWidget {
    Q_OBJECT
public:
    // Over a shared detail of the address table ("TabAAnsprech"), editable.
    AdressDetailPage(TF_ListForm& form, const QString& sharedObject, const QString& gridName,
                     const QList<widgets::GridColumn>& columns, const QString& textField,
                     const QString& textCaption);
    // Over a read-only cursor of the page's own whose linkField holds A_ID.
    AdressDetailPage(TF_ListForm& form, std::unique_ptr<table::Table> own, const QString& linkField,
                     const QString& gridName, const QList<widgets::GridColumn>& columns);
    ~AdressDetailPage() override;

    table::Table& table() const { return m_rows; }
    widgets::DataSource& source() const { return *m_source; }
    widgets::DataGrid& grid() const { return *m_grid; }
    widgets::DbRichEdit* textEdit() const { return m_text; }
    // Opens the memo editor on the selected row's text, then gives the grid
    // the focus again; nothing without rows.
    void editText();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    AdressDetailPage(TF_ListForm& form, table::Table* shared, std::unique_ptr<table::Table> own);
    void build(const QString& gridName, const QList<widgets::GridColumn>& columns,
               const QString& textField, const QString& textCaption);

    TF_ListForm& m_form;
    table::Table& m_rows;
    std::unique_ptr<table::Table> m_owned;
    std::unique_ptr<widgets::DataSource> m_source;
    widgets::DataGrid* m_grid = nullptr;
    widgets::DbRichEdit* m_text = nullptr;
    DetailFocus* m_focus = nullptr;
};

// The page titles.
extern const QString AdressContactsPage; // "Ansprec&hp."
extern const QString AdressJournalPage;  // "&Journal"
extern const QString AdressProtocolPage; // "&Protokoll"

// The three pages, each placed in front of the named page of the form.
QList<CustomPageDecl> AdressDetailPages(const QString& contactsBefore, const QString& journalBefore,
                                        const QString& protocolBefore);
AdressDetailPage* AdressPageOf(const TF_ListForm& form, const QString& title);

// "Neu" of the journal: a posted entry of now for the current address, the
// journal grid focused. "Löschen": the selected entry after the question.
void NewAdressJournalEntry(TF_ListForm& form);
void DeleteAdressJournalEntry(TF_ListForm& form);

// TF_Adress.OpenTables / CloseTables: the address table, the contacts, the
// journal and the protocol of the form (nullptr: a form being destroyed,
// whose protocol cursor goes with it).
void OpenAdressFormTables(TF_ListForm& form);
void CloseAdressFormTables(TF_ListForm* form);
