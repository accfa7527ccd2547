#include "commercial/gui/tf_rgvlist.h"

#include "commercial/billing/rgvediting.h"
#include "commercial/billing/rgvtables.h"
#include "commercial/documents/kopffusstext.h"
#include "commercial/gui/documentpickers.h"
#include "commercial/gui/rgvlistform.h"
#include "commercial/gui/tf_rechhead.h"
#include "commercial/gui/tf_rgvedit.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/reportsource.h"
#include "core/datagui/gridservices.h"
#include "core/datagui/moduleopener.h"
#include "core/datagui/tf_selform.h"
#include "core/gui/placement.h"
#include "core/messages/messages.h"
#include "core/rights/rights.h"
#include "core/settings/formplacement.h"
#include "core/values/datetimevalue.h"
#include "masterdata/adressdocs.h"
#include "masterdata/dialogs/datepickers.h"
#include "masterdata/gui/fielddecls.h"
#include "masterdata/gui/listformdecl.h"
#include "masterdata/gui/tf_listform.h"
#include "platform/errors.h"
#include "platform/table/database.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/dbnavigator.h"
#include "platform/widgets/dbrichedit.h"
#include "platform/widgets/fieldform.h"
#include "platform/widgets/rowreader.h"
#include "platform/widgets/userprompts.h"
#include "printing/documentprints.h"
#include "printing/gui/printbutton.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using table::Table;
using widgets::DbNavigator;
using widgets::FieldDecl;
using widgets::FieldKind;

namespace {

constexpr int kRight = 64;
constexpr int kInvoiceFormType = 10000;
const QString kLumo = u"LumoDB"_s;
const QString kTexts = u"Zusatztexte"_s;
const QString kMore = u"Sonstiges"_s;
const QString kLinesPage = u"Positionen"_s;
const QString kEditor = u"&Editor"_s;
const QString kNew = u"Neuanla&ge"_s;
const QString kPrint = u"&Druck"_s;
const QString kPreview = u"&Vorschau"_s;
const QString kChoose = u"Auswahl: Doppelclick"_s;

Table& templatesOf(TF_TableForm& form) {
    return form.table();
}

// The lines of the current template: the grid of the "Positionen" tab.
widgets::DataGrid* lineGrid(TF_TableForm& form) {
    return form.findChild<widgets::DataGrid*>(u"GridPos"_s);
}

void postPendingLines(TF_TableForm& form) {
    if (widgets::DataGrid* grid = lineGrid(form)) {
        Table& lines = grid->source().table();
        if (lines.isOpen() && lines.isEditing())
            lines.post();
    }
}

// Focus and drawing come back on every way out of a walk.
struct BusyWalk {
    explicit BusyWalk(TF_TableForm& form) : quiet(form.source()) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~BusyWalk() { QApplication::restoreOverrideCursor(); }
    widgets::ControlsDisabled quiet;
};

void processPending() {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

// Head and foot texts: the chooser at R_KFID; a choice brings its texts.
void chooseKopfFuss(Table& templates) {
    const std::optional<int> chosen = SelectKopfFussText(FieldInt(templates, u"R_KFID"_s));
    if (!chosen)
        return;
    QString kopf, fuss;
    LoadKopfFussText(*chosen, kopf, fuss);
    CancelEditOnError(templates, [&] {
        EnsureEditOrInsert(templates);
        templates[u"R_KFID"_s] = *chosen;
        templates[u"R_KopfText"_s] = kopf;
        templates[u"R_FussText"_s] = fuss;
        templates.post();
    });
}

// The general texts open the chooser on a double-click, not the text editor
// on a click.
class GeneralTextPick : public QObject {
public:
    GeneralTextPick(TF_TableForm& form, QWidget& viewport) : QObject(&viewport), m_form(form) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonRelease)
            return true;
        if (event->type() != QEvent::MouseButtonDblClick)
            return false;
        widgets::guarded(&m_form, [this] { chooseKopfFuss(templatesOf(m_form)); });
        m_form.source().notifyRecordChanged();
        return true;
    }

private:
    TF_TableForm& m_form;
};

FieldDecl richText(const QString& caption, const QString& field) {
    FieldDecl f = EditField(caption, field, kTexts);
    f.kind = FieldKind::RichText;
    return f;
}

FieldDecl checkBox(const QString& caption, const QString& field, bool sameLine) {
    FieldDecl f = EditField(caption, field, kMore);
    f.kind = FieldKind::CheckBox;
    f.sameLine = sameLine;
    return f;
}

FieldDecl hinted(FieldDecl f, const QString& hint) {
    f.hint = hint;
    return f;
}

FieldDecl picked(FieldDecl f, std::function<void(QWidget&)> pick) {
    f.pick = std::move(pick);
    return f;
}

FieldDecl readOnly(FieldDecl f) {
    f.readOnly = true;
    return f;
}

TF_ListForm* listOf(QWidget& editor) {
    return qobject_cast<TF_ListForm*>(editor.window());
}

void notBefore(QWidget& editor) {
    TF_ListForm* form = listOf(editor);
    if (!form)
        return;
    Table& templates = form->table();
    const table::Field& field = templates.field(u"R_DatumDruck"_s);
    TDateTime date = field.isNull() ? EmptyDate : DateTimeOfDate(field.asDate());
    if (!PickDateBelow(editor, date))
        return;
    SetRgvNotBefore(templates, DateOfDateTime(date));
    form->source().notifyRecordChanged();
}

void zahlbed(QWidget& editor) {
    if (TF_ListForm* form = listOf(editor)) {
        PickZahlbedIntoHead(form->table(), GetEditScreenX(&editor), GetEditScreenY(&editor));
        form->source().notifyRecordChanged();
    }
}

void printForm(QWidget& editor) {
    if (TF_ListForm* form = listOf(editor)) {
        ChoosePrintFormForField(&editor, &form->table().field(u"R_PrintFormNo"_s), kInvoiceFormType,
                                true);
        form->source().notifyRecordChanged();
    }
}

void betreuer(QWidget& editor) {
    if (TF_ListForm* form = listOf(editor)) {
        PickBetreuerIntoField(&editor, form->table().field(u"R_Betreuer"_s));
        form->source().notifyRecordChanged();
    }
}

QList<FieldDecl> pageFields(TRgvListTables& tables) {
    FieldDecl formName = EditField({}, u"PrintFormName"_s, kMore);
    formName.kind = FieldKind::Display;
    formName.sameLine = true;
    formName.pick = printForm;
    Table* userForms = tables.userForms.get();
    formName.display = [userForms](Table& templates) {
        const int id = FieldInt(templates, u"R_PrintFormNo"_s);
        if (!userForms->isOpen() || !userForms->locate({u"QF_ID"_s}, {id}))
            return QString();
        return FieldText(*userForms, u"Q_Comment"_s);
    };
    return {
        picked(hinted(richText(u"Vorspanntext allgemein (Auswahl: Doppelclick/AltW)"_s,
                               u"R_KopfText"_s),
                      kChoose),
               [](QWidget& editor) {
                   if (TF_ListForm* form = listOf(editor)) {
                       chooseKopfFuss(form->table());
                       form->source().notifyRecordChanged();
                   }
               }),
        picked(richText(u"Nachspanntext allgemein"_s, u"R_FussText"_s),
               [](QWidget& editor) {
                   if (TF_ListForm* form = listOf(editor)) {
                       chooseKopfFuss(form->table());
                       form->source().notifyRecordChanged();
                   }
               }),
        richText(u"Vorspanntext individuell"_s, u"R_VorspannText"_s),
        richText(u"Nachspanntext individuell"_s, u"R_NachspannText"_s),

        hinted(EditField(u"Laufende Nr."_s, u"R_Nr"_s, kMore, 14),
               u"Eindeutige Bezeichnung der Vorlage"_s),
        BesideField(u"Beschreibung"_s, u"R_Beschreibung"_s, kMore),
        picked(hinted(EditField(u"Rechnung nicht vor"_s, u"R_DatumDruck"_s, kMore, 10),
                      u"nächste Rechnung nicht vor dem angegebenen\rDatum stellen.(Doppelclick "
                      u"für Kalender)"_s),
               notBefore),
        ListField(u"Zahlungsintervall"_s, u"R_Intervall"_s, kMore, 0, u"I_DefNo"_s, u"I_Comment"_s),
        readOnly(hinted(EditField(u"Letzte Rg"_s, u"R_DatumErstell"_s, kMore, 10),
                        u"letzte Rechnung wurde gestellt am (Doppelclick für Kalender)"_s)),
        hinted(BesideField(u"Nächste Rg"_s, u"R_PlanDatum"_s, kMore, 10),
               u"nächste Rechnung nicht voraussichtlich fällig zum angegebenen Datum"_s),
        picked(readOnly(EditField(u"Zahlungsbed."_s, u"R_ZahlBed"_s, kMore)), zahlbed),
        hinted(EditField(u"Kop&ien"_s, u"R_Drucke"_s, kMore, 3),
               u"Anzahl der Rechnungsausdrucke\r\n(Original + Kopien)"_s),
        hinted(BesideField(u"Erlöskonto"_s, u"R_FibuKonto2"_s, kMore, 7),
               u"Erlös-(Gegen-)Konto für Fibu-Export"_s),
        hinted(BesideField(u"Buchtext"_s, u"R_Buchtext"_s, kMore),
               u"Buchungstext für Fibu-Export"_s),
        picked(hinted(EditField(u"Sachbearb."_s, u"R_Betreuer"_s, kMore, 16),
                      u"zuständiger Sachbearbeiter"_s),
               betreuer),
        picked(BesideField(u"Formular"_s, u"R_PrintFormNo"_s, kMore, 6), printForm),
        formName,
        checkBox(u"LS einbeziehen"_s, u"R_AutoLS"_s, false),
        hinted(checkBox(u"Ausgesetzt"_s, u"R_Ausgesetzt"_s, true),
               u"Rechnungsstellung zeitweilig aussetzen"_s),
        checkBox(u"Leerrechnung erlaubt"_s, u"R_LeerRechnungErlaubt"_s, true),
        [] {
            FieldDecl memo = EditField(u"Memo"_s, u"R_Memo"_s, kMore);
            memo.kind = FieldKind::RichText;
            return memo;
        }(),
    };
}

// "Positionen": the current template's lines, read-only, with the line text.
QWidget* buildLinesPage(TF_ListForm& form, TRgvListTables& tables) {
    auto* page = new QWidget(&form);
    auto* source = new widgets::DataSource(*tables.lines);
    source->setParent(page);
    auto* grid = new widgets::DataGrid(*source, page);
    grid->setObjectName(u"GridPos"_s);
    QList<widgets::GridColumn> columns = {
        {u"S_PosNr"_s, u"Pos"_s, 6},         {u"S_Rechmode"_s, u"Berechnung"_s, 12},
        {u"S_SrcNr"_s, u"Art./Lst-Nr"_s, 8}, {u"S_Menge"_s, u"Mge"_s, 6},
        {u"S_MengBez"_s, u"Einheit"_s, 6},   {u"S_Kurztext"_s, u"Kurztext"_s, 24},
        {u"S_EPreis"_s, u"E.-Preis"_s, 9},   {u"S_Mwst"_s, u"Mwst %"_s, 5},
        {u"S_Netto"_s, u"Netto"_s, 9},
    };
    auto modes = OpenTempTable(kLumo, u"RechMode.DB"_s);
    for (modes->first(); !modes->eof() && !modes->isEmpty(); modes->next()) {
        columns[1].values.append(FieldInt(*modes, u"B_Nr"_s));
        columns[1].items.append(FieldText(*modes, u"B_Lang"_s));
    }
    for (widgets::GridColumn& c : columns)
        c.readOnly = true;
    grid->setColumns(columns);
    const QHash<int, QColor> colours = DocumentKindColours();
    grid->gridModel().setRowBrush([source, colours](int row) -> QBrush {
        const auto colour = colours.constFind(source->rows().value(row, u"S_Posart"_s).toInt());
        return colour == colours.cend() ? QBrush(Qt::NoBrush) : QBrush(*colour);
    });
    auto* text = new widgets::DbRichEdit(*source, u"S_Text"_s, page);
    text->setObjectName(u"LineText"_s);
    auto* layout = new QHBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(grid, 3);
    layout->addWidget(text, 2);
    // The navigator works on the lines while their grid has the focus.
    struct Focus : QObject {
        Focus(TF_ListForm& f, widgets::DataSource& s, QObject* parent)
            : QObject(parent), form(f), lines(s) {}
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::FocusIn) {
                form.bindActions(&lines);
                form.navigator().setButtonVisible(DbNavigator::Delete, false);
            } else if (event->type() == QEvent::FocusOut) {
                form.bindActions(nullptr);
                form.navigator().setButtonVisible(DbNavigator::Delete, HasDeleteRight(kRight));
            }
            return false;
        }
        TF_ListForm& form;
        widgets::DataSource& lines;
    };
    grid->installEventFilter(new Focus(form, *source, grid));
    return page;
}

// "Zusatzadr. N": the address the template refers to by R_AnrID(N-1).
QWidget* buildAddressPage(TF_ListForm& form, TRgvListTables& tables, int index) {
    auto* page = new QWidget(&form);
    Table& address = *tables.addresses[std::size_t(index)];
    auto* source = new widgets::DataSource(address);
    source->setParent(page);
    const QString link = u"R_AnrID%1"_s.arg(index);
    auto shown = [](const QString& caption, const QString& field, bool beside = false,
                    int width = 0) {
        FieldDecl f =
            beside ? BesideField(caption, field, {}, width) : EditField(caption, field, {}, width);
        f.readOnly = true;
        return f;
    };
    auto* fields = new widgets::FieldForm(
        *source,
        {shown(u"Suchbegriff"_s, u"A_Match"_s, false, 20), shown(u"Name 1"_s, u"A_Name1"_s, true),
         shown(u"Name 2"_s, u"A_Name2"_s), shown(u"Name 3"_s, u"A_Name3"_s, true),
         shown(u"Straße"_s, u"A_Strasse"_s), shown(u"Plz/Ort"_s, u"A_Plz"_s, true, 6),
         shown({}, u"A_Ort"_s, true), shown(u"Ansprechpartner"_s, u"A_Sachbearbeiter"_s),
         shown(u"Telefon"_s, u"A_Telefon"_s, true), shown(u"Handy"_s, u"A_Handy"_s),
         shown(u"Fax"_s, u"A_Fax"_s, true), shown(u"E-Mail"_s, u"A_Email"_s),
         shown(u"Internet"_s, u"A_Website"_s, true)},
        page);
    FieldDecl number = EditField(u"Adress-Nr."_s, link, {}, 8);
    number.kind = FieldKind::Display;
    number.display = [link](Table& templates) {
        QString text;
        GetAdressNrText(templates.findField(link), text);
        return text;
    };
    number.hint = kChoose;
    number.pick = [link](QWidget& editor) {
        TF_ListForm* list = listOf(editor);
        if (!list || !HasEditRight(kRight))
            return;
        static QString sortField;
        PickAdressIntoField(list->table().field(link), true, sortField);
        list->source().notifyRecordChanged();
    };
    number.menu = {{u"Adresseintrag löschen"_s,
                    {},
                    [link](QWidget& editor) {
                        TF_ListForm* list = listOf(editor);
                        if (!list)
                            return;
                        Table& templates = list->table();
                        CancelEditOnError(templates, [&] {
                            EnsureEditOrInsert(templates);
                            templates.field(link).setValue(0);
                            templates.post();
                        });
                        list->source().notifyRecordChanged();
                    }},
                   {u"Abbrechen"_s, {}, {}}};
    FieldDecl purpose = EditField(u"Zweck"_s, u"R_AdrZweck%1"_s.arg(index));
    auto* own = new widgets::FieldForm(form.source(), {number, purpose}, page);
    own->setObjectName(u"AdrRef%1"_s.arg(index));
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(own);
    layout->addWidget(fields);
    layout->addStretch(1);
    return page;
}

void applyListRights(TF_ListForm& form, TRgvListTables& tables) {
    const bool print = HasPrintRight(kRight);
    const bool edit = HasEditRight(kRight);
    for (const QString& caption : {kPrint, kPreview})
        if (QPushButton* b = form.button(caption))
            b->setVisible(print);
    if (QPushButton* b = form.button(kEditor))
        b->setVisible(edit);
    if (QPushButton* b = form.button(kNew))
        b->setVisible(HasCreateRight(kRight));
    if (HasDataModule1())
        DataModule1().SetTableReadOnly(*tables.lines, !edit);
    if (QWidget* interval = form.fields() ? form.fields()->editor(u"R_Intervall"_s) : nullptr)
        interval->setEnabled(edit);
    for (widgets::FieldForm* own : form.findChildren<widgets::FieldForm*>())
        if (own->objectName().startsWith(u"AdrRef"_s))
            own->setMenusEnabled(edit);
}

} // namespace

TRgvListTables::TRgvListTables() {
    auto db = table::aliases::database(kLumo);
    templates = std::make_unique<Table>(db, u"Rgvkopf.db"_s);
    lines = std::make_unique<Table>(db, u"RgvSatz.DB"_s);
    lines->setIndexName(u"S_IRef"_s);
    lines->setMaster(templates.get(), {u"R_ID"_s}, {u"S_Ref"_s});
    BindRgvTableRules(DataModule1(), *templates, *lines,
                      {.headInsert = false, .intervalPlanDate = true});
    for (int i = 0; i < 3; ++i) {
        addresses[std::size_t(i)] = std::make_unique<Table>(db, u"Adress.DB"_s);
        addresses[std::size_t(i)]->setReadOnly(true);
        addresses[std::size_t(i)]->setMaster(templates.get(), {u"R_AnrID%1"_s.arg(i)}, {u"A_ID"_s});
    }
    userForms = std::make_unique<Table>(db, u"QrFrmDef.DB"_s);
    userForms->setIndexName(u"Q_I_Formtype"_s);
    userForms->setFilter(u"Q_Protect='false'"_s);
    userForms->setFiltered(true);
    userForms->setReadOnly(true);
}

TRgvListTables::~TRgvListTables() = default;

void EditRgvTemplate(TF_ListForm& form, TRgvListTables& tables, bool isNew) {
    Table& templates = *tables.templates;
    postPendingLines(form);
    if (templates.isEditing())
        templates.post();
    if (!isNew && (!templates.isOpen() || templates.isEmpty()))
        return;
    const int id = isNew ? 0 : FieldInt(templates, u"R_ID"_s);
    int current = id;
    std::exception_ptr error;
    {
        const QList<Table*> all{tables.templates.get(), tables.lines.get(),
                                tables.addresses[0].get(), tables.addresses[1].get(),
                                tables.addresses[2].get()};
        // The editor works on tables of its own: these show its work afterwards.
        for (auto it = all.crbegin(); it != all.crend(); ++it)
            if ((*it)->isOpen())
                (*it)->close();
        try {
            ShowRgvEditForm(id, &current);
        } catch (...) {
            error = std::current_exception();
        }
        for (Table* t : all)
            if (!t->isOpen())
                t->open();
    }
    if (current != 0)
        templates.locate({u"R_ID"_s}, {current});
    form.source().notifyViewChanged();
    if (error)
        std::rethrow_exception(error);
}

void PrintRgvTemplate(TF_ListForm& form, bool preview) {
    Table& templates = form.table();
    if (!templates.isOpen() || templates.isEmpty())
        return;
    postPendingLines(form);
    const int id = FieldInt(templates, u"R_ID"_s);
    PrintFormChoosers choosers = WindowPrintFormChoosers(&form);
    // A form not of the invoice type is not replaced: the choice is only for this print.
    choosers.chooseForField = choosers.choose;
    RunPrintButton({PrintVariant::D, kInvoiceFormType, FieldInt(templates, u"R_PrintFormNo"_s)},
                   choosers,
                   [&](const QString& layout) { PrintInvoice(id, false, preview, layout, &form); });
}

void UpdateRgvVat(TF_ListForm& form) {
    if (!AskYesNo(u"Mwst-Felder bei allen Rechnungsvorlagen aktualisieren?"_s))
        return;
    {
        BusyWalk busy(form);
        UpdateAllRgvVat(form.table(), QDate::currentDate(), processPending);
    }
    form.source().notifyViewChanged();
    ShowInfo(u"Aktualisierung beendet."_s);
}

void ReloadRgvTexts(TF_ListForm& form) {
    if (!AskYesNo(u"Möchten Sie jetzt die Kopf/Fusstexte aktualisieren?"_s))
        return;
    {
        BusyWalk busy(form);
        ReloadAllRgvKopfFuss(form.table(), processPending);
    }
    form.source().notifyViewChanged();
}

ListFormDecl RgvListDeclaration(TRgvListTables& tables) {
    ListFormDecl l;
    TableFormDecl& d = l.form;
    d.formClass = u"TF_RgvList"_s;
    d.caption = u"Rechnungsvorlagen"_s;
    d.table = u"Rgvkopf.db"_s;
    d.gridName = u"GridRgv"_s;
    d.columns = {
        {u"R_Nr"_s, u"Lfd. Nr."_s, 12, true},
        {u"R_ObjektNr"_s, u"O-Nr."_s, 6, true},
        {u"R_OMatch"_s, u"Objekt-Bezeichnung"_s, 20, true},
        {u"R_Intervall"_s, u"IV"_s, 3, true},
        {u"R_IVname"_s, u"Intervall"_s, 16, true},
        {u"R_DatumErstell"_s, u"Letzte Rg."_s, 10, true},
        {u"R_PlanDatum"_s, u"Nächste Rg."_s, 10, true},
        {u"R_KundenNr"_s, u"Kdnr."_s, 6, true},
        {u"R_KMatch"_s, u"Kundenname"_s, 18, true},
        {u"R_Brutto"_s, u"Brutto"_s, 10, true},
        {u"R_Selected"_s, u"Wahl"_s, 4, true},
    };
    // A double-click anywhere on a template previews it.
    for (const widgets::GridColumn& c : d.columns)
        d.columnActions.append({c.field, [](TF_TableForm& form) {
                                    if (auto* list = qobject_cast<TF_ListForm*>(&form))
                                        PrintRgvTemplate(*list, true);
                                }});
    d.titleSort = TitleSort::ByColumn;
    d.navigatorButtons = {DbNavigator::First,  DbNavigator::Prior,  DbNavigator::Next,
                          DbNavigator::Last,   DbNavigator::Delete, DbNavigator::Post,
                          DbNavigator::Cancel, DbNavigator::Refresh};
    d.fields = pageFields(tables);
    d.lookups = {{u"R_Intervall"_s, u"TabDefYearH"_s}};
    TRgvListTables* t = &tables;
    auto onList = [](void (*run)(TF_ListForm&)) {
        return [run](TF_TableForm& form) {
            if (auto* list = qobject_cast<TF_ListForm*>(&form))
                run(*list);
        };
    };
    d.buttons = {
        {kEditor,
         [t](TF_TableForm& form) {
             if (auto* list = qobject_cast<TF_ListForm*>(&form))
                 EditRgvTemplate(*list, *t, false);
         }},
        {kNew,
         [t](TF_TableForm& form) {
             if (auto* list = qobject_cast<TF_ListForm*>(&form))
                 EditRgvTemplate(*list, *t, true);
         }},
        {kPrint,
         [](TF_TableForm& form) {
             if (auto* list = qobject_cast<TF_ListForm*>(&form))
                 PrintRgvTemplate(*list, false);
         }},
        {kPreview,
         [](TF_TableForm& form) {
             if (auto* list = qobject_cast<TF_ListForm*>(&form))
                 PrintRgvTemplate(*list, true);
         }},
        {u"&Aktual. K/F"_s, onList(ReloadRgvTexts)},
        {u"Aktu. Mwst"_s, onList(UpdateRgvVat)},
    };
    d.helpPage = u"dauerrechnungen.html"_s;
    d.minimumSize = {900, 560};
    d.placement = {
        kPlacementFile01,
        u"Rgv"_s,
        {u"GridRgv.Columns"_s, u"GridPos.Columns"_s, u"lbSort.Caption"_s, u"Pages.currentIndex"_s},
        StorePosition};
    l.right = kRight;
    l.remember = [] {};
    l.customPages = {
        {kLinesPage, kTexts, [t](TF_ListForm& form) { return buildLinesPage(form, *t); }},
    };
    for (int i = 0; i < 3; ++i)
        l.customPages.append({u"Zusatzadr. %1"_s.arg(i + 1), {}, [t, i](TF_ListForm& form) {
                                  return buildAddressPage(form, *t, i);
                              }});
    l.build = [](TF_ListForm& form) {
        if (QTabWidget* pages = form.fields() ? form.fields()->pages() : nullptr) {
            pages->setObjectName(u"Pages"_s);
            pages->setCurrentIndex(0);
        }
        for (const QString& field : {u"R_KopfText"_s, u"R_FussText"_s})
            if (auto* text = form.fields()->editorAs<widgets::DbRichEdit>(field))
                text->viewport()->installEventFilter(new GeneralTextPick(form, *text->viewport()));
        form.grid().setToolTip(u"Vorschau : Doppelclick"_s);
        for (const QString& caption : {kPrint, kPreview})
            if (QPushButton* b = form.button(caption); b && caption == kPreview)
                MarkPreviewButton(b);
    };
    l.applyRights = [t](TF_ListForm& form) { applyListRights(form, *t); };
    return l;
}

void ShowRgvListForm() {
    RgPrintSourceScope source(RgSourceTemplates);
    TDataModule1& dm = DataModule1();
    TRgvListTables tables;
    const ListFormDecl decl = RgvListDeclaration(tables);
    ModuleForm module;
    module.build = [&]() -> std::unique_ptr<QDialog> {
        return std::make_unique<TF_ListForm>(decl, *tables.templates, MainForm());
    };
    OpenModuleOn(dm,
                 {&dm.TabDefYearH(), tables.templates.get(), tables.lines.get(),
                  tables.addresses[0].get(), tables.addresses[1].get(), tables.addresses[2].get(),
                  tables.userForms.get()},
                 module);
}
