#include "masterdata/gui/artikelform.h"

#include "core/data/articleprices.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/lookups.h"
#include "core/data/recordrules.h"
#include "core/data/supplierarticles.h"
#include "core/datagui/rtfclipboardfiles.h"
#include "core/files/programdirs.h"
#include "core/messages/messagecatalog.h"
#include "core/rights/rights.h"
#include "core/settings/formplacement.h"
#include "core/settings/programsettings.h"
#include "masterdata/articlestock.h"
#include "masterdata/dialogs/duallistdialog.h"
#include "masterdata/dialogs/pickers.h"
#include "masterdata/dialogs/rtfeditor.h"
#include "masterdata/dialogs/tf_dbrtf.h"
#include "masterdata/gui/fieldbeside.h"
#include "masterdata/gui/fielddecls.h"
#include "masterdata/gui/listformdecl.h"
#include "masterdata/gui/listforms.h"
#include "masterdata/gui/tableformactions.h"
#include "masterdata/gui/tf_listform.h"
#include "masterdata/gui/tf_tableform.h"
#include "masterdata/gui/turnoverpage.h"
#include "masterdata/pickedvalue.h"
#include "platform/errors.h"
#include "platform/richtext/richtextclipboard.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/dbcombobox.h"
#include "platform/widgets/dbrichedit.h"
#include "platform/widgets/fieldlink.h"
#include "platform/widgets/userprompts.h"
#include "printing/listbutton.h"

#include <QApplication>
#include <QDate>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using widgets::FieldDecl;
using widgets::FieldKind;

namespace {

const QString kGrund = u"&Grunddaten"_s;
const QString kBestand = u"&Bestandsdaten"_s;
const QString kLieferanten = u"&Lieferanten"_s;
const QString kImport = u"Importieren"_s;
const QString kDelObjArt = u"del ObjArt"_s;
const QString kReservationsOk = u"BtnVormerkOk"_s;

int shownObjId = 0;
int shownObjNr = 0;

TF_TableForm* formOf(QWidget& editor) {
    return qobject_cast<TF_TableForm*>(editor.window());
}

std::pair<QStringList, QVariantList> vatChoices() {
    std::pair<QStringList, QVariantList> choices;
    for (const auto& [nr, text] : VatRatesValidOn(QDate::currentDate())) {
        choices.first.append(text);
        choices.second.append(nr);
    }
    return choices;
}

const QString kBookedStock = u"Wird durch Wareneingänge, Lieferscheine und Rechnungen gebucht"_s;

FieldDecl readOnlyField(const QString& caption, const QString& field, int width,
                        const QString& howSet = {}) {
    FieldDecl d = EditField(caption, field, kBestand, width);
    d.readOnly = true;
    d.hint = howSet;
    return d;
}

void chooseKostart(TF_TableForm& form) {
    table::Table& t = form.table();
    const int chosen =
        SelectKostart(FieldInt(t, u"A_Kostart"_s), 280, form.x(), form.y() + 20, QString());
    if (StorePickedValue(t, u"A_Kostart"_s, chosen, false))
        form.source().notifyRecordChanged();
}

// The reservation memo, shown and hidden by a double-click on the
// reservations; its button "&OK" hides it.
void showReservations(TF_TableForm& form, bool show) {
    form.fields()->editor(u"A_VormerkMemo"_s)->setVisible(show);
    if (QLabel* label = form.fields()->label(u"A_VormerkMemo"_s))
        label->setVisible(show);
    if (auto* ok = form.findChild<QPushButton*>(kReservationsOk))
        ok->setVisible(show);
}

void toggleReservations(TF_TableForm& form) {
    showReservations(form, form.fields()->editor(u"A_VormerkMemo"_s)->isHidden());
}

void takeMainSupplier(TF_TableForm& form) {
    if (TakeHauptLieferant(form.table(), DataModule1().TabLiefArt()))
        form.source().notifyRecordChanged();
}

void openDescription(TF_TableForm& form) {
    if (auto* description = form.fields()->editorAs<widgets::DbRichEdit>(u"A_Beschreibung"_s))
        ShowRtfEditor(&form, *description, u"A_EkPreis"_s);
}

QList<FieldDecl> artikelFields() {
    const auto vat = vatChoices();
    return {
        EditField(u"Artikel-&Nr"_s, u"A_ArtNo"_s, kGrund, 8),
        EditField(u"Gru&ppe"_s, u"A_Gruppe"_s, kGrund, 10),
        EditField(u"Suchbegr&iff"_s, u"A_Bezeich1"_s, kGrund, 30),
        EditField(u"Hers&teller"_s, u"A_Bezeich2"_s, kGrund, 30),
        EditField(u"&Kurzbeschreibung"_s, u"A_Bezeich3"_s, kGrund, 30),
        EditField(u"&Einkaufspreis"_s, u"A_EkPreis"_s, kGrund, 12),
        EditField(u"Aufschlag &%"_s, u"A_Aufschlag1"_s, kGrund, 8),
        EditField(u"&Verkaufspreis"_s, u"A_Preis1"_s, kGrund, 12),
        {.caption = u"Besch&reibung"_s,
         .field = u"A_Beschreibung"_s,
         .kind = FieldKind::RichText,
         .page = kGrund},

        EditField(u"Ge&wicht"_s, u"A_Gewicht"_s, kBestand, 10),
        EditField(u"Umverpacku&ng"_s, u"A_VerpackMenge"_s, kBestand, 10),
        ListField(u"Verpackungs&einheit"_s, u"A_VerpackEinheit"_s, kBestand, 20, u"VE_ID"_s,
                  u"VE_Lang"_s),
        EditField(u"Lager&ort"_s, u"A_Lagerort"_s, kBestand, 15),
        EditField(u"&Regal"_s, u"A_Regal"_s, kBestand, 15),
        EditField(u"Lager&platz"_s, u"A_Lagerplatz"_s, kBestand, 15),
        readOnlyField(u"Istbestand"_s, u"A_Lagermenge"_s, 10, kBookedStock),
        EditField(u"Sollbestan&d"_s, u"A_SollBestand"_s, kBestand, 10),
        EditField(u"M&indestbestand"_s, u"A_BestellBestand"_s, kBestand, 10),
        readOnlyField(u"Lagerwert"_s, u"A_Lagerwert"_s, 12, kBookedStock),
        {.caption = u"MWSt-Sat&z"_s,
         .field = u"A_Mwst"_s,
         .kind = FieldKind::Combo,
         .page = kBestand,
         .width = 20,
         .items = vat.first,
         .values = vat.second},
        {.caption = u"&Kostenart"_s,
         .field = u"A_Kostart"_s,
         .page = kBestand,
         .width = 6,
         .pick =
             [](QWidget& editor) {
                 if (TF_TableForm* form = formOf(editor))
                     chooseKostart(*form);
             }},
        {.caption = u"&Vormerkungen"_s,
         .field = u"A_Vormerkung"_s,
         .page = kBestand,
         .width = 10,
         .pick =
             [](QWidget& editor) {
                 if (TF_TableForm* form = formOf(editor))
                     toggleReservations(*form);
             }},
        {.caption = u"Vormerkungen"_s,
         .field = u"A_VormerkMemo"_s,
         .kind = FieldKind::Memo,
         .page = kBestand},
        readOnlyField(u"Gesamtumsatz"_s, u"A_EinWertTotal"_s, 12,
                      u"Die Summe der gebuchten Wareneingänge"_s),
        readOnlyField(u"Bestellt"_s, u"A_Bestellt"_s, 10, u"Wird durch Bestellungen gebucht"_s),
        ListField(u"Bes&tell-Modus"_s, u"A_BestellModus"_s, kBestand, 20, u"BM_ID"_s, u"BM_Text"_s),
        {.caption = u"Bestandsf&ührung"_s,
         .field = u"A_Bestandsfuehrung"_s,
         .kind = FieldKind::CheckBox,
         .page = kBestand},

        {.caption = u"Hauptlieferant"_s,
         .field = u"A_HauptLiefID"_s,
         .page = kLieferanten,
         .width = 8,
         .readOnly = true,
         .pick =
             [](QWidget& editor) {
                 if (TF_TableForm* form = formOf(editor))
                     takeMainSupplier(*form);
             }},
    };
}

// Leaving a price recalculates the other one; leaving the sales price then
// opens the description. Only a record being edited is touched.
void watchPrices(TF_TableForm& form) {
    const auto onLeave = [&form](const QString& field, std::function<void()> work) {
        auto* edit = form.fields()->editorAs<QLineEdit>(field);
        QObject::connect(edit, &QLineEdit::editingFinished, &form, [&form, work] {
            if (form.table().isOpen() && form.table().isEditing())
                widgets::guarded(&form, work);
        });
    };
    for (const QString& field : {u"A_EkPreis"_s, u"A_Aufschlag1"_s})
        onLeave(field, [&form] {
            CalcArtikelPreis1();
            form.source().notifyRecordChanged();
        });
    onLeave(u"A_Preis1"_s, [&form] {
        CalcArtikelAufschlag1();
        form.source().notifyRecordChanged();
        openDescription(form);
    });
}

// The stock field takes no typing, but a click and leaving it again sets the
// stock value; a failure there leaves the form as it was.
class StockValueOnLeave : public QObject {
public:
    StockValueOnLeave(TF_TableForm& form, QWidget& stock) : QObject(&form), m_form(form) {
        stock.setFocusPolicy(Qt::ClickFocus);
        stock.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::FocusOut) {
            try {
                SetArtikelLagerwert(m_form.table());
                m_form.source().notifyRecordChanged();
            } catch (const std::exception&) {
                // The stock value is refreshed by the next booking anyway.
            }
        }
        return false;
    }

private:
    TF_TableForm& m_form;
};

void setupArtikelForm(TF_TableForm& form) {
    if (auto* description = form.fields()->editorAs<widgets::DbRichEdit>(u"A_Beschreibung"_s))
        description->setCalcField(u"A_EkPreis"_s);
    watchPrices(form);
    new StockValueOnLeave(form, *form.fields()->editor(u"A_Lagermenge"_s));
    AddTextBesideField(form, u"A_Kostart"_s, 30, [](const QString& nr) {
        return nr.isEmpty() ? QString() : GetKostartText(nr.toInt(), QString());
    });
    // The main supplier by its number and name; a double-click takes the
    // selected supplier row.
    if (table::Field* f = form.table().findField(u"A_HauptLiefID"_s))
        f->onGetText = [](const table::Field& id) {
            const int nr = GetLieferantNrById(id.asIntegerOr(0));
            return nr == 0 ? QString() : QString::number(nr);
        };
    QWidget* supplier = form.fields()->editor(u"A_HauptLiefID"_s);
    supplier->setToolTip(u"Standardmäßiger Lieferant. \r\nDoppelclick übernimmt aktuell \r\n"
                         u"gewählte Lieferantenzeile."_s);
    AddTextBesideField(form, u"A_HauptLiefID"_s, 40, [&form](const QString&) {
        return GetLieferantMatchById(FieldInt(form.table(), u"A_HauptLiefID"_s));
    });
    supplier->setFocusPolicy(Qt::ClickFocus);
    auto* reservationsOk = new QPushButton(u"&OK"_s, &form);
    reservationsOk->setObjectName(kReservationsOk);
    QObject::connect(reservationsOk, &QPushButton::clicked, &form,
                     [&form] { showReservations(form, false); });
    PlaceBesideField(form, u"A_VormerkMemo"_s, *reservationsOk);
    showReservations(form, false); // until asked for
    if (QPushButton* del = form.button(kDelObjArt))
        del->setVisible(ServiceMode);
    ShowArtikelStock(form);
}

} // namespace

void SetArtikelFormStock(int objId, int objNr) {
    shownObjId = objId;
    shownObjNr = objNr;
}

int ArtikelFormObjId() {
    return shownObjId;
}

void ShowArtikelStock(TF_TableForm& form) {
    DataModule1().FilterArtikelByObjId(shownObjId);
    form.setWindowTitle(ArtikelStockCaption(shownObjNr));
    if (QPushButton* import = form.button(kImport))
        import->setEnabled(shownObjId != 0);
    if (auto* vat = form.fields()->editorAs<widgets::DbComboBox>(u"A_Mwst"_s)) {
        const auto choices = vatChoices();
        vat->setItems(choices.first, choices.second);
    }
    form.source().notifyViewChanged();
}

void ImportArtikelIntoObject(TF_TableForm& form) {
    if (shownObjId == 0)
        return;
    QList<DualListDialog::Entry> offered;
    for (const CentralArticleChoice& choice : CentralArticlesMissingIn(shownObjId))
        offered.append({choice.artNo, choice.text});
    const QStringList chosen = ChooseFromDualList(LoadMessage(65155), offered, &form);
    if (chosen.isEmpty())
        return;
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
        widgets::ControlsDisabled quiet(form.source());
        ImportCentralArticles(shownObjId, chosen);
    }
    form.source().notifyViewChanged();
}

void LoadArtikelTextModule(TF_TableForm& form) {
    auto* description = form.fields()->editorAs<widgets::DbRichEdit>(u"A_Beschreibung"_s);
    if (!description || !form.table().isOpen() || form.table().isEmpty())
        return;
    const QString name = ChooseRtfFile(&form, false, TextbstDir);
    if (name.isEmpty())
        return;
    CopyRtfFileToClipboard(name);
    const std::unique_ptr<QTextDocument> text = richtext::documentOnClipboard();
    if (!text)
        return;
    // Into edit first: the record rules may fill the description on edit.
    form.source().startEdit();
    QTextCursor caret = description->textCursor();
    caret.insertFragment(QTextDocumentFragment(text.get()));
    description->link().write(widgets::DbRichEdit::valueOf(*description->document()));
}

TableFormDecl ArtikelPagesDecl() {
    TableFormDecl d;
    d.formClass = u"TF_Artikel"_s;
    d.caption = u"Material"_s;
    d.source = TableSource::Shared;
    d.table = u"TabArtikel"_s;
    d.gridName = u"GridArtik"_s;
    d.columns = {
        {u"A_ArtNo"_s, u"Artikel-Nr"_s, 8},     {u"A_Bezeich1"_s, u"Suchbegriff"_s, 20},
        {u"A_Bezeich2"_s, u"Hersteller"_s, 16}, {u"A_Bezeich3"_s, u"Kurzbeschreibung"_s, 20},
        {u"A_Gruppe"_s, u"Gruppe"_s, 8},        {u"A_EkPreis"_s, u"Einkaufspreis"_s, 10},
        {u"A_Preis1"_s, u"Verkaufspreis"_s, 10}};
    d.titleSort = TitleSort::ByColumn;
    d.initialSortField = u"A_ArtNo"_s;
    d.navigatorButtons = BrowseNavigator();
    d.postCancelButtons = true;
    d.fields = artikelFields();
    d.lookups = {{u"A_VerpackEinheit"_s, u"TabVE"_s}, {u"A_BestellModus"_s, u"TabBestMode"_s}};
    d.openTables = {u"TabKostart"_s, u"TabLieferant"_s};
    d.buttons = {{kImport, &ImportArtikelIntoObject}, {kDelObjArt, [](TF_TableForm& form) {
                                                           if (DeleteObjectStocks(form.table()))
                                                               form.source().notifyViewChanged();
                                                       }}};
    d.contextMenu = {
        {u"Textbaustein laden"_s, &LoadArtikelTextModule},
        QuietTableAction(u"Artikelsatz kopieren"_s, [](table::Table& t) { CopyArtikelRecord(t); }),
        {u"Abbruch"_s, {}}};
    // The list of the stock shown.
    const auto stock = [](TF_TableForm&, ListPrintButton& list) { list.args.lagerNr = shownObjNr; };
    d.prints = {{u"Vorsc&hau"_s, 19000, u"PrintArtList"_s, 1, stock},
                {u"Druck"_s, 19000, u"PrintArtList"_s, 0, stock}};
    d.helpPage = u"artikel.html"_s;
    d.minimumSize = {800, 700};
    d.placement = {kPlacementFile03, u"Artikel"_s, {u"GridArtik.Columns"_s}};
    d.setup = &setupArtikelForm;
    return d;
}

namespace {

// The tables the article form reads besides the articles, open while it is
// the active window.
QList<table::Table*> sideTables() {
    TDataModule1& dm = DataModule1();
    return {&dm.TabLiefArt(), &dm.TabAUmsatz(), &dm.TabBestMode()};
}

// The article's supplier rows below its main supplier: the shared supplier
// articles, which the data module filters to the article after each move.
void addSupplierRows(TF_ListForm& form) {
    QWidget* page = form.fields()->page(kLieferanten);
    auto* layout = page ? qobject_cast<QVBoxLayout*>(page->layout()) : nullptr;
    if (!layout)
        return;
    table::Table& liefArt = DataModule1().TabLiefArt();
    if (table::Field* f = liefArt.findField(u"A_LieferantID"_s))
        f->onGetText = [](const table::Field& id) {
            return GetLieferantMatchById(id.asIntegerOr(0));
        };
    auto* source = new widgets::DataSource(liefArt, &form);
    auto* grid = new widgets::DataGrid(*source, page);
    grid->setObjectName(u"GridLiefArt"_s);
    grid->setColumns({{u"A_LieferantID"_s, u"Lieferant"_s, 20, true},
                      {u"A_LiefArtNo"_s, u"Lieferanten-Artikel-Nr."_s, 22, true},
                      {u"A_EkPreis"_s, u"Einkaufspreis"_s, 12, true},
                      {u"A_BestellmengeMin"_s, u"Mindestmenge"_s, 12, true},
                      {u"A_Liefertage"_s, u"Liefertage"_s, 10, true}});
    layout->insertWidget(layout->count() - 1, grid, 1);
}

} // namespace

ListFormDecl ArtikelFormDecl() {
    ListFormDecl d;
    d.form = ArtikelPagesDecl();
    d.right = 1;
    d.recordPosition = true;
    d.remember = &RememberArtikelArtNo;
    d.build = &addSupplierRows;
    d.activated = [](TF_ListForm& form) {
        for (table::Table* t : sideTables())
            if (!t->isOpen())
                DataModule1().OpenDataTable(*t);
        ShowArtikelStock(form);
        // Until the next move the supplier rows are those of the article shown.
        FilterLiefArtByArtNo(FieldText(form.table(), u"A_ArtNo"_s));
    };
    d.deactivated = [](TF_ListForm&) {
        for (table::Table* t : sideTables())
            if (t->isOpen())
                t->close();
    };
    d.applyRights = [](TF_ListForm& form) {
        if (QPushButton* import = form.button(kImport))
            import->setVisible(HasExportRight(1));
    };
    // After the activation above: the page's rows open with the side tables.
    AddTurnoverPage(d, {u"&Umsatz"_s, {}, u"TabAUmsatz"_s, u"A_AktJahr"_s, u"GridUmsatzA"_s, true});
    d.masterHooks = &MasterFormHookSet::articleForm;
    return d;
}

void ShowArtikelForm(int objId, int objNr) {
    SetArtikelFormStock(objId, objNr);
    TF_ListForm& form = ShowTurnoverForm(u"TF_Artikel"_s);
    if (QPushButton* del = form.button(kDelObjArt))
        del->setVisible(ServiceMode);
    // An active form shows the new stock at once, another one on activation.
    if (form.isActivated())
        ShowArtikelStock(form);
}
