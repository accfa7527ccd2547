#include "masterdata/gui/adressform.h"

#include "core/data/counters.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/lookups.h"
#include "core/files/programdirs.h"
#include "core/gui/placement.h"
#include "core/messages/messages.h"
#include "core/moduleentries.h"
#include "core/rights/rights.h"
#include "core/settings/formplacement.h"
#include "datasafety/datasafety.h"
#include "masterdata/adresscopy.h"
#include "masterdata/adressdocs.h"
#include "masterdata/adressfilter.h"
#include "masterdata/adressselection.h"
#include "masterdata/dialogs/pickers.h"
#include "masterdata/gui/adresslinkpickers.h"
#include "masterdata/gui/adresspages.h"
#include "masterdata/gui/detailgridpage.h"
#include "masterdata/gui/fielddecls.h"
#include "masterdata/gui/listformdecl.h"
#include "masterdata/gui/listforms.h"
#include "masterdata/gui/serienbriefdialogs.h"
#include "masterdata/gui/tf_listform.h"
#include "masterdata/gui/tf_mailing.h"
#include "masterdata/serienbrief.h"
#include "platform/errors.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/fieldform.h"
#include "platform/widgets/rowreader.h"
#include "platform/widgets/userprompts.h"
#include "printing/listbutton.h"

#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTime>

using namespace Qt::StringLiterals;
using widgets::FieldDecl;
using widgets::FieldKind;

namespace {

const QString kGrund = u"&Grunddaten"_s;
const QString kNotizen = u"Beschr./Notizen"_s;
const QString kZusatz = u"Zusatzdaten"_s;
const QString& kProtokoll = AdressProtocolPage;
const QString kSuch = u"S&uchbegriffe"_s;
const QString kSelFilter = u"Auswahldateien(*.sel)"_s;
const QStringList kLinkFields = {u"A_KundenNr"_s, u"A_ObjektNr"_s, u"A_LieferantNr"_s,
                                 u"A_PersonalNr"_s, u"A_NotdienstNr"_s};

ModuleDispatcher*& dispatcher() {
    static ModuleDispatcher* d = nullptr;
    return d;
}

table::Table& adress() {
    return DataModule1().TabAdress();
}

// The expression combo, for "Feldnamen übernehmen".
QComboBox* expressionCombo(QWidget& editor) {
    QWidget* w = editor.window();
    return w ? w->findChild<QComboBox*>(u"cbAuswahl"_s) : nullptr;
}

void takeFieldName(QWidget& editor, const QString& field) {
    if (QComboBox* combo = expressionCombo(editor))
        combo->setEditText(combo->currentText() + field);
}

FieldDecl edit(const QString& caption, const QString& field, const QString& page, int width = 0) {
    FieldDecl f{.caption = caption, .field = field, .page = page, .width = width};
    f.hint = field;
    f.menu = {{u"Feldnamen übernehmen"_s, {}, [field](QWidget& e) { takeFieldName(e, field); }},
              {u"Abbrechen"_s, {}, nullptr}};
    return f;
}

FieldDecl beside(const QString& caption, const QString& field, const QString& page, int width = 0) {
    FieldDecl f = edit(caption, field, page, width);
    f.sameLine = true;
    return f;
}

FieldDecl link(const QString& caption, const QString& field, bool sameLine = false) {
    FieldDecl f{.caption = caption, .field = field, .page = kGrund, .width = 8};
    f.sameLine = sameLine;
    f.readOnly = true;
    f.pick = [field](QWidget&) { PickAdressLink(adress(), field); };
    f.menu = {
        {u"Verbindung löschen"_s, {}, [field](QWidget&) { ClearAdressLink(adress(), field); }},
        {u"Abbruch"_s, {}, nullptr}};
    return f;
}

// TF_Adress.PickPlzOrt: from the fields and the list's columns, placed by
// the postal-code field.
void pickPlzOrt(const QString& sortColumn, const QWidget* within) {
    table::Table& t = adress();
    const auto* form = within ? qobject_cast<const TF_TableForm*>(within->window()) : nullptr;
    const QWidget* plz = form && form->fields() ? form->fields()->editor(u"A_Plz"_s) : nullptr;
    const QPoint at = (plz ? plz->mapToGlobal(QPoint(0, 0)) : QPoint(280, 550)) - QPoint(280, 550);
    const QString chosen = SelectPlzOrt(t.field(u"A_Plz"_s).asStringOr(QString()) + u'|' +
                                            t.field(u"A_Ort"_s).asStringOr(QString()),
                                        sortColumn, 400, at.x(), at.y());
    if (chosen.isEmpty())
        return;
    EnsureEditOrInsert(t);
    const qsizetype bar = chosen.indexOf(u'|');
    t.field(u"A_Plz"_s) = bar < 0 ? chosen : chosen.left(bar);
    t.field(u"A_Ort"_s) = bar < 0 ? QString() : chosen.mid(bar + 1);
}

QList<FieldDecl> adressFields() {
    FieldDecl plz = edit(u"P&lz/Ort"_s, u"A_Plz"_s, kGrund, 8);
    plz.pick = [](QWidget& e) { pickPlzOrt(u"PLZ"_s, &e); };
    FieldDecl ort = beside({}, u"A_Ort"_s, kGrund);
    ort.pick = [](QWidget& e) { pickPlzOrt(u"ORT"_s, &e); };
    QList<FieldDecl> f = {
        edit(u"Such&begriff"_s, u"A_Match"_s, kGrund, 30),
        edit(u"Name &1"_s, u"A_Name1"_s, kGrund),
        edit(u"Name &2"_s, u"A_Name2"_s, kGrund),
        edit(u"Name &3"_s, u"A_Name3"_s, kGrund),
        edit(u"St&raße"_s, u"A_Strasse"_s, kGrund),
        plz,
        ort,
        edit(u"&Telefon"_s, u"A_Telefon"_s, kGrund, 22),
        beside(u"Hand&y"_s, u"A_Handy"_s, kGrund, 22),
        edit(u"Fa&x"_s, u"A_Fax"_s, kGrund, 22),
        beside(u"Sachbearb&eiter"_s, u"A_Sachbearbeiter"_s, kGrund),
        edit(u"E-Ma&il"_s, u"A_Email"_s, kGrund),
        beside(u"Website"_s, u"A_Website"_s, kGrund),
        link(u"Kunde"_s, u"A_KundenNr"_s),
        link(u"Objekt"_s, u"A_ObjektNr"_s, true),
        link(u"Lieferant"_s, u"A_LieferantNr"_s, true),
        link(u"Mitarbeiter"_s, u"A_PersonalNr"_s, true),
        link(u"Notdienst"_s, u"A_NotdienstNr"_s, true),
        {.caption = u"Notizen"_s,
         .field = u"A_Notizen"_s,
         .kind = FieldKind::RichText,
         .page = kNotizen},
        {.caption = u"Beschreibung"_s,
         .field = u"A_Beschreibung"_s,
         .kind = FieldKind::RichText,
         .page = kNotizen},
        {.caption = u"Briefanrede"_s, .field = u"A_BriefAnrede"_s, .page = kZusatz},
        {.caption = u"Planquadrat"_s, .field = u"A_PlanQuadrat"_s, .page = kZusatz, .width = 10},
        {.caption = u"Langbezeichnung"_s,
         .field = u"A_Langbezeich"_s,
         .kind = FieldKind::Memo,
         .page = kZusatz},
        {.caption = u"Bankname"_s, .field = u"A_Bankname"_s, .page = kZusatz, .width = 40},
        {.caption = u"BLZ"_s, .field = u"A_BankBlz"_s, .page = kZusatz, .width = 10},
        {.caption = u"Konto"_s, .field = u"A_BankKonto"_s, .page = kZusatz, .width = 14},
        ListField(u"Zahlart"_s, u"A_BankZahlart"_s, kZusatz, 30, u"ZA_ID"_s, u"ZA_Text"_s),
        {.caption = u"Ansprechpartner"_s,
         .field = u"A_BankAnprech"_s,
         .page = kZusatz,
         .width = 40},
        {.caption = u"Telefon"_s, .field = u"A_BankTelefon"_s, .page = kZusatz, .width = 22},
    };
    for (int i = 1; i <= 14; ++i) {
        const QString field = u"A_Sb%1"_s.arg(i, 2, 10, QLatin1Char('0'));
        f << (i % 2 == 1 ? edit(u"Suchbegriff %1"_s.arg(i), field, kSuch, 30)
                         : beside(u"Suchbegriff %1"_s.arg(i), field, kSuch, 30));
    }
    return f;
}

void refreshForm(TF_TableForm& form) {
    form.table().refresh();
    form.source().notifyViewChanged();
}

// A page's cursor reads rows another cursor wrote.
void refreshPage(TF_ListForm& form, const QString& title) {
    AdressDetailPage* page = AdressPageOf(form, title);
    if (!page || !page->table().isOpen())
        return;
    page->table().refresh();
    page->source().notifyViewChanged();
}

void markAll(TF_TableForm& form, bool mark) {
    MarkAllAdressen(form.table(), mark);
    refreshForm(form);
}

void saveSelection(TF_TableForm& form) {
    if (CountMarkedAdressen() == 0)
        throw DbError(u"Es sind keine Sätze markiert!"_s);
    // The dialog adds the ending itself, so overwriting "name.sel" is confirmed
    // also when only "name" was typed.
    QFileDialog dialog(&form, u"Auswahl speichern"_s, SelectDir, kSelFilter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(u"sel"_s);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    SaveAdressSelection(dialog.selectedFiles().constFirst());
}

void loadSelection(TF_TableForm& form) {
    const QString file =
        QFileDialog::getOpenFileName(&form, u"Auswahl laden"_s, SelectDir, kSelFilter);
    if (file.isEmpty())
        return;
    LoadAdressSelection(file);
    refreshForm(form);
}

struct NewRecordEntry {
    QString caption;
    int right;
    QString moduleId;
    QString tableObject;
    QString prefix;
};

// Opens the master form first, so that its address-book locate cannot move
// away from the new record, then appends the record filled from the address.
void newRecordFromAdress(TF_TableForm& form, const NewRecordEntry& e) {
    if (!CheckCreateRight(e.right))
        return;
    table::Table& source = form.table();
    if (source.isEditing())
        source.post();
    if (!dispatcher() || !dispatcher()->isAvailable(e.moduleId))
        throw DbError(
            u"Der Programmteil für \"%1\" ist in dieser Version nicht enthalten."_s.arg(e.caption));
    dispatcher()->run(e.moduleId);
    AppendFromAdress(source, DataModule1().table(e.tableObject), e.prefix);
}

QList<FormActionDecl> contextMenu() {
    const NewRecordEntry entries[] = {
        {u"Neues Objekt anlegen"_s, 10, u"TF_Objekt"_s, u"TabObjekt"_s, u"O"_s},
        {u"Neuen Kunden anlegen"_s, 2, u"ShowKundenForm"_s, u"TabKunden"_s, u"K"_s},
        {u"Neuen Mitarbeiter anlegen"_s, 6, u"ShowPersonalForm"_s, u"TabPersonal"_s, u"P"_s},
        {u"Neuen Lieferanten anlegen"_s, 9, u"ShowLieferantForm"_s, u"TabLieferant"_s, u"K"_s},
        {u"Neuen Notdienst anlegen"_s, 33, u"ShowNotdienstForm"_s, u"TabNotdienst"_s, u"ND"_s},
    };
    QList<FormActionDecl> menu;
    for (const NewRecordEntry& e : entries)
        menu << FormActionDecl{e.caption, [e](TF_TableForm& f) { newRecordFromAdress(f, e); }};
    menu << FormActionDecl{u"Änderungen mitteilen"_s,
                           [](TF_TableForm& f) {
                               if (f.table().isEditing())
                                   f.table().post();
                               PushAdressChanges(f.table());
                           }}
         << FormActionDecl{u"Alle anwählen"_s, [](TF_TableForm& f) { markAll(f, true); }}
         << FormActionDecl{u"Alle abwählen"_s, [](TF_TableForm& f) { markAll(f, false); }}
         << FormActionDecl{u"Gewählte speichern"_s, &saveSelection}
         << FormActionDecl{u"Auswahl laden"_s, &loadSelection}
         << FormActionDecl{u"Abbrechen"_s, nullptr};
    return menu;
}

void showMailing(TF_TableForm& form) {
    if (form.table().isEditing())
        form.table().post();
    if (CountMarkedAdressen() == 0)
        throw DbError(u"Es sind keine Sätze markiert!"_s);
    ShowMailing(&form);
}

// "Dokumente": the documents of the customer, object or supplier that the
// focused link field or, elsewhere, the address's links choose.
void showDocuments(TF_TableForm& base) {
    auto& form = static_cast<TF_ListForm&>(base);
    table::Table& t = form.table();
    if (!t.isOpen() || t.isEmpty())
        return;
    if (t.isEditing())
        t.post();
    int kind = AdressDocKindOfFocus(form, QApplication::focusWidget());
    QStringList lines;
    const int found =
        CollectAdressDocuments(FieldInt(t, u"A_Nr"_s), AllAdressDocCodes, kind, lines);
    if (found == 0) {
        ShowInfo(u"Es wurden keine passenden Datensätze gefunden!"_s);
        return;
    }
    ShowInfo(u"Es wurden %1 Datensätze gefunden."_s.arg(found));
    int nr = 0;
    QString name;
    if (kind == DocsOfKunde) {
        nr = FieldInt(t, u"A_KundenNr"_s);
        name = GetKundeMatchByNr(nr);
    } else if (kind == DocsOfObjekt) {
        nr = FieldInt(t, u"A_ObjektNr"_s);
        name = GetObjektMatchByNr(nr);
    } else {
        nr = FieldInt(t, u"A_LieferantNr"_s);
        name = GetLieferantMatchByNr(nr);
    }
    ShowDocViewForm(nr, name, kind, lines);
}

// The view came back after the letters; the protocol may have new rows.
void serienbrief(TF_TableForm& form) {
    const auto refresh = [&form] {
        form.source().notifyViewChanged();
        if (auto* list = qobject_cast<TF_ListForm*>(&form))
            refreshPage(*list, kProtokoll);
    };
    try {
        RunSerienbriefOver(form);
    } catch (...) {
        refresh();
        throw;
    }
    refresh();
}

// The phone filter and the expression filter beside the search line.
void buildFilters(TF_ListForm& form) {
    // The grid's reading cursor applies the phone filter too.
    form.source().rows().setSetup(
        [](table::Table& reader) { reader.setFilterFunction(AdressMatchesPhoneFilter); });
    auto* phoneLabel = new QLabel(u"Telefon-&Filter"_s, &form);
    auto* phone = new QLineEdit(&form);
    phone->setObjectName(u"EditFilter"_s);
    phone->setFixedWidth(phone->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 14);
    phoneLabel->setBuddy(phone);
    form.watchLikeSearch(*phone);
    QObject::connect(phone, &QLineEdit::textEdited, &form, [&form](const QString& text) {
        widgets::guarded(&form, [&] {
            SetAdressPhoneFilter(form.table(), text.trimmed());
            form.source().notifyViewChanged();
        });
    });
    auto* exprLabel = new QLabel(u"&Ausdrucksfilter"_s, &form);
    auto* expr = new QComboBox(&form);
    expr->setObjectName(u"cbAuswahl"_s);
    expr->setEditable(true);
    expr->setInsertPolicy(QComboBox::NoInsert);
    expr->setMinimumWidth(expr->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 30);
    expr->setToolTip(u"Filterausdruck, z. B. A_Ort='Bonn'; mit Enter anwenden"_s);
    exprLabel->setBuddy(expr);
    expr->addItems(LoadAdrSucheHistory());
    expr->setEditText(QString());
    const auto apply = [&form, expr] {
        const QString text = expr->currentText().trimmed();
        if (text == form.table().filter() && form.table().isFiltered() == !text.isEmpty())
            return;
        try {
            SetAdressFilterExpression(form.table(), text);
        } catch (const DbError& e) {
            ShowError(u"Der Filterausdruck ist ungültig:\r"_s + e.message());
            return;
        }
        form.source().notifyViewChanged();
        QStringList history;
        for (int i = 0; i < expr->count(); ++i)
            history << expr->itemText(i);
        const QStringList updated = AddAdrSucheHistory(history, text);
        if (updated == history)
            return;
        expr->clear();
        expr->addItems(updated);
        expr->setEditText(text);
        SaveAdrSucheHistory(updated);
    };
    const auto applyGuarded = [&form, apply] { widgets::guarded(&form, apply); };
    QObject::connect(expr->lineEdit(), &QLineEdit::editingFinished, &form, applyGuarded);
    QObject::connect(expr, &QComboBox::activated, &form, applyGuarded);
    // A line of their own below the search line, which has no room left.
    auto* row = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{phoneLabel, phone, exprLabel, expr})
        row->addWidget(w);
    row->addStretch();
    auto* column = qobject_cast<QBoxLayout*>(form.layout());
    const int at = column ? column->indexOf(&form.topRow()) : -1;
    if (column && at >= 0)
        column->insertLayout(at + 1, row);
    else
        form.topRow().addLayout(row);
}

// The link fields take the tooltip colour while they have the focus.
class LinkFocusTint : public QObject {
public:
    explicit LinkFocusTint(QObject* parent) : QObject(parent) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const bool in = event->type() == QEvent::FocusIn;
        if (auto* w = qobject_cast<QWidget*>(watched);
            w && (in || event->type() == QEvent::FocusOut)) {
            QPalette p = w->palette();
            p.setColor(QPalette::Base,
                       QApplication::palette().color(in ? QPalette::ToolTipBase : QPalette::Base));
            w->setPalette(p);
        }
        return QObject::eventFilter(watched, event);
    }
};

void tintLinkFields(TF_ListForm& form) {
    if (!form.fields())
        return;
    auto* tint = new LinkFocusTint(&form);
    for (const QString& field : kLinkFields)
        if (QWidget* editor = form.fields()->editor(field))
            editor->installEventFilter(tint);
}

void disableWaiting(TF_ListForm& form, const QString& caption, const QString& waitsFor) {
    if (QPushButton* b = form.button(caption)) {
        b->setEnabled(false);
        b->setToolTip(u"Noch nicht verfügbar: wartet auf "_s + waitsFor + u'.');
    }
}

void showPosition(TF_ListForm& form) {
    table::Table& t = form.table();
    ShowAdressRecordPosition(t.isOpen() ? t.recNo() : 0, t.isOpen() ? t.recordCount() : 0);
}

// "n/count" beside the search line, kept by the record rules' hook.
void buildRecordCount(TF_ListForm& form) {
    auto* label = new QLabel(&form);
    label->setObjectName(u"lbReccount"_s);
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(u"000000/000000"_s));
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form.topRow().insertWidget(form.topRow().count() - 1, label);
    // A filter changes the count without a move.
    QObject::connect(&form.source(), &widgets::DataSource::viewChanged, &form,
                     [&form] { showPosition(form); });
}

void prepareAdressPrint(TF_TableForm&, ListPrintButton& b) {
    b.dispatchTypes = {22000, 22100, 22200};
}

} // namespace

ListFormDecl AdressFormDecl() {
    ListFormDecl d;
    TableFormDecl& f = d.form;
    f.formClass = u"TF_Adress"_s;
    f.caption = u"Adressen"_s;
    f.table = u"TabAdress"_s;
    f.gridName = u"GridAdresse"_s;
    f.columns = {{u"A_Nr"_s, u"Nummer"_s, 7},        {u"A_Match"_s, u"Suchbegriff"_s, 16},
                 {u"A_Name1"_s, u"Name1"_s, 22},     {u"A_Name2"_s, u"Name2"_s, 14},
                 {u"A_Strasse"_s, u"Strasse"_s, 20}, {u"A_Plz"_s, u"Plz"_s, 6},
                 {u"A_Ort"_s, u"Ort"_s, 14},         {u"A_Selected"_s, u"Wahl"_s, 5}};
    f.titleSort = TitleSort::ByColumn;
    f.initialSortField = u"A_Nr"_s;
    f.fields = adressFields();
    f.columnActions = {{u"A_Plz"_s, [](TF_TableForm& form) { pickPlzOrt(u"PLZ"_s, &form); }},
                       {u"A_Ort"_s, [](TF_TableForm& form) { pickPlzOrt(u"ORT"_s, &form); }}};
    f.lookups = {{u"A_BankZahlart"_s, u"TabZahlart"_s}};
    f.buttons = {{u"Mailing"_s, &showMailing},
                 {u"Serienbrief"_s, &serienbrief},
                 {u"Dokumente"_s, &showDocuments}};
    f.contextMenu = contextMenu();
    f.prints = {{u"&Vorschau"_s, 22000, u"PrintAdressList"_s, 1, &prepareAdressPrint},
                {u"&Drucken"_s, 22000, u"PrintAdressList"_s, 0, &prepareAdressPrint}};
    f.helpPage = u"adressen.html"_s;
    f.minimumSize = {940, 700};
    f.placement = {kPlacementFile01,
                   u"Adress"_s,
                   {u"GridAdresse.Columns"_s, u"lbSort.Caption"_s},
                   StorePositionAndState};

    d.numberProposal = {u"A_Nr"_s, {}, &ProposeAdressNr};
    d.bankPair = {u"A_Bankname"_s, u"A_BankBlz"_s};
    d.customPages = AdressDetailPages(kNotizen, kSuch, kSuch);
    // The table may have been closed by a client switch or a build.
    d.activated = [](TF_ListForm& form) {
        if (!form.table().isOpen()) {
            OpenAdressFormTables(form);
            form.source().notifyViewChanged();
        }
    };
    d.recordShown = [](TF_ListForm& form) { showPosition(form); };
    d.build = [](TF_ListForm& form) {
        OpenAdressFormTables(form);
        // The form's tables live as long as it does.
        QObject::connect(&form, &QObject::destroyed, [] { CloseAdressFormTables(nullptr); });
        buildFilters(form);
        buildRecordCount(form);
        tintLinkFields(form);
        if (!IsSerienbriefPrintAvailable())
            disableWaiting(form, u"Serienbrief"_s, u"den Serienbriefdruck"_s);
        if (!IsDataSafetyServiceAvailable(DataSafetyService::DocumentViewer))
            disableWaiting(form, u"Dokumente"_s, u"die Dokumentenanzeige"_s);
        // Like a speed button: the link field keeps the focus that chooses the kind.
        if (QPushButton* b = form.button(u"Dokumente"_s))
            b->setFocusPolicy(Qt::NoFocus);
    };
    return d;
}

void ShowAdressForm() {
    ShowListForm(u"TF_Adress"_s);
}

int AdressDocKindOfFocus(const TF_ListForm& form, const QWidget* focus) {
    const widgets::FieldForm* fields = form.fields();
    if (!fields || !focus)
        return 0;
    const std::pair<const char*, int> kinds[] = {{"A_KundenNr", DocsOfKunde},
                                                 {"A_ObjektNr", DocsOfObjekt},
                                                 {"A_LieferantNr", DocsOfLieferant}};
    for (const auto& [field, kind] : kinds)
        if (const QWidget* editor = fields->editor(QString::fromLatin1(field));
            editor && (editor == focus || editor->isAncestorOf(focus)))
            return kind;
    return 0;
}

void SetAdressFormDispatcher(ModuleDispatcher* d) {
    dispatcher() = d;
}

void OpenAdressTables() {
    if (!HasDataModule1() || !DataModule1().hasTables())
        return;
    TF_ListForm* form = FindListForm(u"TF_Adress"_s);
    if (!form) {
        // The build's entry reads the table without the form.
        table::Table& t = adress();
        if (!t.isOpen())
            t.open();
        t.refresh();
        return;
    }
    OpenAdressFormTables(*form);
    form->table().refresh();
    form->source().notifyViewChanged();
    for (const QString& title : {AdressContactsPage, AdressJournalPage, AdressProtocolPage})
        refreshPage(*form, title);
}

void ShowAdressRecordPosition(int recNo, int count) {
    TF_ListForm* form = FindListForm(u"TF_Adress"_s);
    if (QLabel* label = form ? form->findChild<QLabel*>(u"lbReccount"_s) : nullptr)
        label->setText(QString::number(recNo) + u'/' + QString::number(count));
}
