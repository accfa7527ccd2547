#include "masterdata/gui/adresspages.h"

#include "core/data/datamodule.h"
#include "core/messages/messages.h"
#include "masterdata/gui/detailfocus.h"
#include "masterdata/gui/detailgridpage.h"
#include "masterdata/gui/listformdecl.h"
#include "masterdata/gui/tf_listform.h"
#include "masterdata/lookupfields.h"
#include "platform/table/database.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/dbrichedit.h"
#include "platform/widgets/userprompts.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

const QString AdressContactsPage = u"Ansprec&hp."_s;
const QString AdressJournalPage = u"&Journal"_s;
const QString AdressProtocolPage = u"&Protokoll"_s;

namespace {

table::Table& adress() {
    return DataModule1().TabAdress();
}

bool isCtrlKey(const QEvent* event, int key) {
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* k = static_cast<const QKeyEvent*>(event);
    return k->key() == key && k->modifiers() == Qt::ControlModifier;
}

void openIfClosed(table::Table& t) {
    if (!t.isOpen())
        t.open();
}

void closeIfOpen(table::Table& t) {
    if (!t.isOpen())
        return;
    if (t.isEditing())
        t.post();
    t.close();
}

// The form's protocol cursor: read-only, the kind's name beside its number.
std::unique_ptr<table::Table> protocolRows() {
    auto rows =
        std::make_unique<table::Table>(table::aliases::database(u"LumoDB"_s), u"AdrProto.DB"_s);
    rows->setReadOnly(true);
    rows->setIndexName(u"I_AdrDateTime"_s);
    rows->setMaster(&adress(), {u"A_ID"_s}, {u"AP_Adr"_s});
    AddLookupFields(*rows, {{u"Artbezeich"_s, table::FieldType::String, 60, u"AP_Art"_s,
                             u"Apnames.DB"_s, u"AP_ID"_s, u"AP_Name"_s}});
    return rows;
}

QWidget* contactsPage(TF_ListForm& form) {
    return new AdressDetailPage(form, u"TabAAnsprech"_s, u"GridAnsprech"_s,
                                {{u"AA_AnsprechName"_s, u"Name"_s, 24},
                                 {u"AA_AnsprechAbt"_s, u"Abteilung"_s, 16},
                                 {u"AA_AnsprechTel"_s, u"Telefon"_s, 18},
                                 {u"AA_AnsprechBemerk"_s, u"Bemerkung"_s, 36}},
                                u"AA_AnsprechMemo"_s, u"Notiz zum Ansprechpartner"_s);
}

QWidget* journalPage(TF_ListForm& form) {
    auto* page =
        new AdressDetailPage(form, u"TabJour"_s, u"GridJournal"_s,
                             {{u"AJ_Date"_s, u"Datum"_s, 10}, {u"AJ_TIme"_s, u"Uhrzeit"_s, 8}},
                             u"AJ_Info"_s, u"Text des Eintrags"_s);
    auto* buttons = new QHBoxLayout;
    auto* neu = new QPushButton(u"Neu"_s, page);
    neu->setObjectName(u"btnJournalNeu"_s);
    auto* weg = new QPushButton(u"Löschen"_s, page);
    weg->setObjectName(u"btnJournalLoeschen"_s);
    QObject::connect(neu, &QPushButton::clicked, &form, [&form] {
        widgets::guarded(&form, [&form] { NewAdressJournalEntry(form); });
    });
    QObject::connect(weg, &QPushButton::clicked, &form, [&form] {
        widgets::guarded(&form, [&form] { DeleteAdressJournalEntry(form); });
    });
    buttons->addWidget(neu);
    buttons->addWidget(weg);
    buttons->addStretch();
    qobject_cast<QBoxLayout*>(page->layout())->insertLayout(0, buttons);
    return page;
}

QWidget* protocolPage(TF_ListForm& form) {
    return new AdressDetailPage(form, protocolRows(), u"AP_Adr"_s, u"GridProto"_s,
                                {{u"AP_Date"_s, u"Datum"_s, 10},
                                 {u"AP_Time"_s, u"Uhrzeit"_s, 8},
                                 {u"Artbezeich"_s, u"Art"_s, 18},
                                 {u"AP_Text"_s, u"Betreff"_s, 50}});
}

} // namespace

AdressDetailPage::AdressDetailPage(TF_ListForm& form, table::Table* shared,
                                   std::unique_ptr<table::Table> own)
    : QWidget(&form), m_form(form), m_rows(shared ? *shared : *own), m_owned(std::move(own)) {
    m_source = std::make_unique<widgets::DataSource>(m_rows);
}

AdressDetailPage::AdressDetailPage(TF_ListForm& form, const QString& sharedObject,
                                   const QString& gridName,
                                   const QList<widgets::GridColumn>& columns,
                                   const QString& textField, const QString& textCaption)
    : AdressDetailPage(form, &DataModule1().table(sharedObject), nullptr) {
    FollowSharedMasterRows(*m_source, sharedObject);
    build(gridName, columns, textField, textCaption);
    m_focus = new DetailFocus(form, *m_source, *m_grid);
    if (m_text)
        m_focus->watch(*m_text);
}

AdressDetailPage::AdressDetailPage(TF_ListForm& form, std::unique_ptr<table::Table> own,
                                   const QString& linkField, const QString& gridName,
                                   const QList<widgets::GridColumn>& columns)
    : AdressDetailPage(form, nullptr, std::move(own)) {
    FollowMasterRows(*m_source, adress(), {u"A_ID"_s}, {linkField});
    QList<widgets::GridColumn> shown = columns;
    for (widgets::GridColumn& c : shown)
        c.readOnly = true;
    build(gridName, shown, {}, {});
}

void AdressDetailPage::build(const QString& gridName, const QList<widgets::GridColumn>& columns,
                             const QString& textField, const QString& textCaption) {
    m_grid = new widgets::DataGrid(*m_source, this);
    m_grid->setObjectName(gridName);
    m_grid->setColumns(columns);
    m_grid->installEventFilter(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_grid, 3);
    if (textField.isEmpty())
        return;
    layout->addWidget(new QLabel(textCaption, this));
    m_text = new widgets::DbRichEdit(*m_source, textField, this);
    m_text->setObjectName(textField);
    m_text->setToolTip(u"Klick oder Strg+Bild ab im Raster: Text bearbeiten"_s);
    m_text->viewport()->installEventFilter(this);
    m_text->installEventFilter(this);
    layout->addWidget(m_text, 2);
}

AdressDetailPage::~AdressDetailPage() {
    // The grid and the text read through the source.
    delete m_text;
    delete m_grid;
    m_source.reset();
}

void AdressDetailPage::editText() {
    if (!m_text || !m_rows.isOpen() || m_rows.isEmpty())
        return;
    m_text->openEditor();
    m_grid->setFocus();
}

bool AdressDetailPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_grid && isCtrlKey(event, Qt::Key_PageDown)) {
        if (m_text)
            widgets::guarded(&m_form, [this] { editText(); });
        else
            m_form.grid().setFocus();
        return true;
    }
    if (!m_text)
        return QWidget::eventFilter(watched, event);
    const bool click = watched == m_text->viewport() &&
                       event->type() == QEvent::MouseButtonRelease &&
                       static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
    const bool enter = watched == m_text && event->type() == QEvent::KeyPress &&
                       (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Return ||
                        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Enter);
    if (click || enter) {
        // Without rows there is no text to edit; the editor never starts a row.
        widgets::guarded(&m_form, [this] { editText(); });
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

QList<CustomPageDecl> AdressDetailPages(const QString& contactsBefore, const QString& journalBefore,
                                        const QString& protocolBefore) {
    return {
        {.title = AdressContactsPage, .before = contactsBefore, .build = &contactsPage},
        {.title = AdressJournalPage, .before = journalBefore, .build = &journalPage},
        {.title = AdressProtocolPage, .before = protocolBefore, .build = &protocolPage},
    };
}

AdressDetailPage* AdressPageOf(const TF_ListForm& form, const QString& title) {
    return qobject_cast<AdressDetailPage*>(form.page(title));
}

void NewAdressJournalEntry(TF_ListForm& form) {
    table::Table& master = adress();
    if (!master.isOpen() || master.isEmpty())
        return;
    if (master.isEditing())
        master.post();
    AdressDetailPage* page = AdressPageOf(form, AdressJournalPage);
    table::Table& jour = DataModule1().TabJour();
    openIfClosed(jour);
    if (jour.isEditing())
        jour.post();
    // Key, address, date and time come from the table's new-row rule.
    jour.append();
    try {
        jour.post();
    } catch (...) {
        if (jour.isEditing())
            jour.cancel();
        throw;
    }
    form.showPage(AdressJournalPage);
    if (page)
        page->grid().setFocus();
}

void DeleteAdressJournalEntry(TF_ListForm& form) {
    table::Table& jour = DataModule1().TabJour();
    if (!jour.isOpen() || jour.isEmpty())
        return;
    if (!AskYesNo(u"Möchten Sie den Datensatz löschen?"_s))
        return;
    jour.deleteRecord();
    if (AdressDetailPage* page = AdressPageOf(form, AdressJournalPage))
        page->grid().setFocus();
}

void OpenAdressFormTables(TF_ListForm& form) {
    TDataModule1& dm = DataModule1();
    openIfClosed(dm.TabAdress());
    openIfClosed(dm.TabAAnsprech());
    openIfClosed(dm.TabJour());
    if (AdressDetailPage* page = AdressPageOf(form, AdressProtocolPage))
        openIfClosed(page->table());
}

void CloseAdressFormTables(TF_ListForm* form) {
    if (!HasDataModule1() || !DataModule1().hasTables())
        return;
    TDataModule1& dm = DataModule1();
    if (AdressDetailPage* page = form ? AdressPageOf(*form, AdressProtocolPage) : nullptr)
        closeIfOpen(page->table());
    closeIfOpen(dm.TabJour());
    closeIfOpen(dm.TabAAnsprech());
    closeIfOpen(dm.TabAdress());
}
