#include "masterdata/gui/objektform.h"

#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/lookups.h"
#include "core/data/numberproposals.h"
#include "core/data/printforms.h"
#include "core/data/recordrules.h"
#include "core/datagui/tf_selform.h"
#include "core/messages/messagecatalog.h"
#include "core/messages/syslog.h"
#include "core/rights/rights.h"
#include "core/settings/formplacement.h"
#include "masterdata/dialogs/pickers.h"
#include "masterdata/dialogs/tf_dbrtf.h"
#include "masterdata/gui/detailfocus.h"
#include "masterdata/gui/detailgridpage.h"
#include "masterdata/gui/docforms.h"
#include "masterdata/gui/fielddecls.h"
#include "masterdata/gui/listformdecl.h"
#include "masterdata/gui/listforms.h"
#include "masterdata/gui/objektformhooks.h"
#include "masterdata/gui/objekttaetigpage.h"
#include "masterdata/gui/showntables.h"
#include "masterdata/gui/tableformactions.h"
#include "masterdata/gui/tf_listform.h"
#include "masterdata/lookupfields.h"
#include "masterdata/objektadresse.h"
#include "masterdata/objektchoices.h"
#include "masterdata/objektprinttypes.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/dbrichedit.h"
#include "platform/widgets/fieldform.h"
#include "platform/widgets/readonlylook.h"
#include "platform/widgets/userprompts.h"
#include "printing/listbutton.h"

#include <QApplication>
#include <QCheckBox>
#include <QFocusEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QShortcut>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using widgets::FieldDecl;
using widgets::FieldKind;
using widgets::guarded;

namespace {

constexpr int kRight = 10;
const QString kGrund = u"&Grunddaten"_s;
const QString kAnspr = u"Ans&prechp."_s;
const QString kDaten = u"Ob&jektdaten"_s;
const QString kTaetig = u"T&ätigkeit"_s;
const QString kBerichte = u"Be&richte"_s;
const QString kFaktura = u"Fa&ktura"_s;
const QString kNotdienste = u"Notdi&enste"_s;
const QString kMieter = u"Mieter"_s;
const QString kOffen = u"Offene Posten"_s;
// The address picker's last sort, kept with the placement.
const QString kSortAdr = u"lbSortAdr"_s;
const QString kExtras = u"Extras"_s;
const QString kMieterGroup = u"Mieter"_s;
const QString kKundeHint = u"Doppelclick für Kundenauswahl"_s;

table::Table& objekte() {
    return DataModule1().TabObjekt();
}

TF_ListForm* listFormOf(QWidget& w) {
    return qobject_cast<TF_ListForm*>(w.window());
}

// The address lines of the object offer the customer's address.
FieldDecl addressLine(const QString& caption, const QString& field, int width = 0,
                      bool sameLine = false) {
    FieldDecl d{.caption = caption, .field = field, .page = kGrund, .width = width};
    d.sameLine = sameLine;
    d.menu = {{u"Kundenadresse übernehmen"_s, {}, [](QWidget& editor) {
                   if (TF_ListForm* form = listFormOf(editor))
                       guarded(form, [] {
                           CopyAddressIntoObjekt(objekte(), ObjektAddressSource::Kunde, u"O_"_s);
                       });
               }}};
    return d;
}

void pickKunde(TF_ListForm& form) {
    table::Table& t = objekte();
    const QRect at = form.frameGeometry();
    const int chosen =
        SelectKunde(FieldInt(t, u"O_Kunde"_s), 260, at.left(), at.top() + 80, QString());
    widgets::ControlsDisabled frozen(form.source());
    if (TakeObjektKunde(t, chosen))
        form.source().notifyRecordChanged();
}

FieldDecl lookupList(const QString& caption, const QString& field, const QString& page,
                     const QString& key, const QString& text) {
    return ListField(caption, field, page, 24, key, text);
}

// A line of the billing address box on the invoicing page.
FieldDecl billingAddress(const QString& caption, const QString& field, int width = 0,
                         bool sameLine = false) {
    FieldDecl d = EditField(caption, field, kFaktura, width);
    d.group = u"Korrespondenzadresse"_s;
    d.sameLine = sameLine;
    return d;
}

QList<FieldDecl> objektFields() {
    QList<FieldDecl> f = {
        {.caption = u"Such&begriff"_s, .field = u"O_Match"_s, .page = kGrund, .width = 20},
        {.caption = u"&Objekt-Nr."_s, .field = u"O_Nr"_s, .page = kGrund, .width = 8},
        addressLine(u"Name &1"_s, u"O_Name1"_s),
        addressLine(u"Name &2"_s, u"O_Name2"_s),
        addressLine(u"Name &3"_s, u"O_Name3"_s),
        addressLine(u"S&trasse"_s, u"O_Strasse"_s),
        addressLine(u"P&lz/Ort"_s, u"O_Plz"_s, 7),
        addressLine({}, u"O_Ort"_s, 0, true),
        {.caption = u"Tele&fon"_s, .field = u"O_Telefon"_s, .page = kGrund, .width = 20},
        {.caption = u"Hand&y"_s, .field = u"O_Handy"_s, .page = kGrund, .width = 20},
        {.caption = u"Fa&x"_s, .field = u"O_Fax"_s, .page = kGrund, .width = 20},
        {.caption = u"Sachbearbeiter"_s, .field = u"O_Sachbearbeiter"_s, .page = kGrund},
        {.caption = u"E-Ma&il"_s, .field = u"O_Email"_s, .page = kGrund},
        // No mnemonic: Alt+W in the grid's customer column opens the customer picker.
        {.caption = u"Website"_s, .field = u"O_Website"_s, .page = kGrund},
        {.caption = u"Pla&ninfo"_s, .field = u"O_Planinfo"_s, .page = kGrund},
        {.caption = u"Langbe&zeichnung"_s,
         .field = u"O_Langbezeich"_s,
         .kind = FieldKind::Memo,
         .page = kGrund},
    };
    for (int i = 1; i <= 4; ++i) {
        const QString n = QString::number(i);
        const QString group = u"Ansprechpartner "_s + n;
        // Two lines per person, so that all four fit on the page.
        f += {{.caption = u"Name"_s, .field = u"O_Ansprech"_s + n, .page = kAnspr, .group = group},
              {.caption = u"Telefon"_s,
               .field = u"O_AnsprechTel"_s + n,
               .page = kAnspr,
               .width = 20,
               .group = group,
               .sameLine = true},
              {.caption = u"Bereich"_s,
               .field = u"O_AnsprechAbt"_s + n,
               .page = kAnspr,
               .width = 12,
               .group = group},
              {.caption = u"Bemerkung"_s,
               .field = u"O_AnsprechBem"_s + n,
               .page = kAnspr,
               .group = group,
               .sameLine = true}};
    }
    f += {
        {.caption = u"Grundstück (qm)"_s,
         .field = u"O_GrundstueckQm"_s,
         .page = kDaten,
         .width = 10},
        {.caption = u"Wohneinheiten privat"_s,
         .field = u"O_WohneinheitPrivat"_s,
         .kind = FieldKind::Spin,
         .page = kDaten,
         .width = 6},
        {.caption = u"Wohneinheiten gewerblich"_s,
         .field = u"O_WohneinheitGewerb"_s,
         .kind = FieldKind::Spin,
         .page = kDaten,
         .width = 6},
        {.caption = u"Rabatten"_s,
         .field = u"O_Rabatten"_s,
         .kind = FieldKind::Spin,
         .page = kDaten,
         .width = 6},
        {.caption = u"Büsche"_s,
         .field = u"O_Buesche"_s,
         .kind = FieldKind::Spin,
         .page = kDaten,
         .width = 6},
        {.caption = u"Planquadrat"_s, .field = u"O_PlanQuadrat"_s, .page = kDaten, .width = 10},
        {.caption = u"Heizungsart"_s,
         .field = u"O_Heizungsart"_s,
         .kind = FieldKind::Combo,
         .page = kDaten,
         .width = 20,
         .items = {QString(), u"Ölheizung"_s, u"Zentralheizung"_s, u"Gasheizung"_s,
                   u"Fernheizung"_s, u"Sonstige"_s}},
        {.caption = u"Anzahl Tanks"_s,
         .field = u"O_AnzahlTanks"_s,
         .kind = FieldKind::Spin,
         .page = kDaten,
         .width = 6},
        {.caption = u"Beschreibung"_s,
         .field = u"O_Beschreibung"_s,
         .kind = FieldKind::RichText,
         .page = kDaten},
        lookupList(u"Berichts&intervall"_s, u"O_BerichtIntervall"_s, kBerichte, u"ZI_ID"_s,
                   u"ZI_Text"_s),
        lookupList(u"&Druckumfang"_s, u"O_BerichtModus"_s, kBerichte, u"BM_Nr"_s, u"BM_Text"_s),
        lookupList(u"Uner&ledigte Positionen"_s, u"O_BerichtUnerledigt"_s, kBerichte, u"BU_Nr"_s,
                   u"BU_Text"_s),
        {.caption = u"Anzahl Berichtsk&opien"_s,
         .field = u"O_KopienKB"_s,
         .kind = FieldKind::Spin,
         .page = kBerichte,
         .width = 6},
        {.caption = u"Ku&nde ist Berichtsempfänger"_s,
         .field = u"O_UseKundenAdresseKb"_s,
         .kind = FieldKind::CheckBox,
         .page = kBerichte},
    };
    FieldDecl kunde{.caption = u"Ku&nde"_s, .field = u"O_Kunde"_s, .page = kFaktura, .width = 8};
    kunde.pick = [](QWidget& editor) {
        if (TF_ListForm* form = listFormOf(editor))
            pickKunde(*form);
    };
    kunde.hint = kKundeHint;
    f += {kunde,
          {.caption = u"&Vertragsbeginn"_s,
           .field = u"O_Vertragsbeginn"_s,
           .kind = FieldKind::Date,
           .page = kFaktura,
           .width = 10},
          billingAddress(u"Name &1"_s, u"O_RgName1"_s),
          billingAddress(u"Name &2"_s, u"O_RgName2"_s),
          billingAddress(u"Name &3"_s, u"O_RgName3"_s),
          billingAddress(u"S&trasse"_s, u"O_RgStrasse"_s),
          billingAddress(u"P&lz/Ort"_s, u"O_RgPlz"_s, 7),
          billingAddress({}, u"O_RgOrt"_s, 0, true),
          {.caption = u"Keine Rechnungsstellung"_s,
           .field = u"O_Rechnungsstellung"_s,
           .kind = FieldKind::CheckBox,
           .page = kFaktura},
          lookupList(u"&Zahlungsbedingung"_s, u"O_RgZahlbed1"_s, kFaktura, u"Z_ID"_s, u"Z_Text"_s),
          {.caption = u"Rechnungsdruck-Exemplare"_s,
           .field = u"O_KopienRG"_s,
           .kind = FieldKind::Spin,
           .page = kFaktura,
           .width = 6},
          {.caption = u"Selektion"_s, .field = u"O_Selektion"_s, .page = kExtras},
          {.caption = u"Termin"_s, .field = u"O_Termin"_s, .page = kExtras},
          {.caption = u"Grund"_s, .field = u"O_Grund"_s, .page = kExtras},
          {.caption = u"Notizen"_s,
           .field = u"O_Notizen"_s,
           .kind = FieldKind::RichText,
           .page = kExtras}};
    return f;
}

// What the form builds beside its declaration, found again by its children's names.
class ObjektExtras : public QObject {
public:
    explicit ObjektExtras(TF_ListForm& form) : QObject(&form), m_form(form) {
        setObjectName(u"ObjektExtras"_s);
    }
    TF_ListForm& m_form;
    ObjektTaetigPage* taetig = nullptr;
    QLabel* berichtFormName = nullptr;
    QLineEdit* kundeGrund = nullptr;
    QLineEdit* kundeFaktura = nullptr;
    QList<DetailFocus*> focuses;
    std::vector<std::unique_ptr<widgets::DataSource>> sources;
};

ObjektExtras* extrasOf(TF_ListForm& form) {
    return form.findChild<ObjektExtras*>(u"ObjektExtras"_s, Qt::FindDirectChildrenOnly);
}

void showBerichtFormName(TF_ListForm& form) {
    ObjektExtras* x = extrasOf(form);
    if (!x || !x->berichtFormName || !objekte().isOpen() || !form.pageShown(kBerichte))
        return;
    x->berichtFormName->setText(GetPrintFormComment(FieldInt(objekte(), u"O_PrintFormNoKB"_s)));
}

bool notdiensteShown(TF_TableForm& form) {
    auto* list = qobject_cast<TF_ListForm*>(&form);
    return list && list->pageShown(kNotdienste);
}

// The tenant group prints the emergency services while their page is in front.
void showMieterGroupTitle(TF_ListForm& form) {
    if (QGroupBox* box = form.printGroup(kMieterGroup))
        box->setTitle(notdiensteShown(form) ? u"Notdienste"_s : kMieterGroup);
}

QList<PrintButtonDecl> objektPrintButtons() {
    const auto logged = [](const QString& name) {
        return [name](TF_TableForm&, ListPrintButton& b) { b.logName = name; };
    };
    const auto objektNr = [](TF_TableForm&, ListPrintButton& b) {
        b.args.objektNr = FieldInt(objekte(), u"O_Nr"_s);
    };
    const auto mieterGroup = [](TF_TableForm& form, ListPrintButton& b) {
        b.formType = MieterGroupFormType(notdiensteShown(form));
        if (b.formType == 70000) {
            b.entry = u"PrintObjNotdienst"_s;
            b.args.objektNr = FieldInt(objekte(), u"O_Nr"_s);
        } else {
            b.entry = u"PrintMieterList"_s;
        }
    };
    QList<PrintButtonDecl> prints;
    const auto group = [&prints](const QString& title, int type, const QString& entry,
                                 const std::function<void(TF_TableForm&, ListPrintButton&)>& prep) {
        prints.append({u"Druck"_s, type, entry, 0, prep, title});
        prints.append({u"Vorschau"_s, type, entry, 1, prep, title});
    };
    group(u"Tätigkeit."_s, 16000, u"PrintObjTaetig"_s, objektNr);
    group(u"Objekt-Adr"_s, 17000, u"PrintObjAdressen"_s, logged(u"ObjPrintAdr"_s));
    group(kMieterGroup, 36000, u"PrintMieterList"_s, mieterGroup);
    for (PrintButtonDecl& p : ListPrintButtons(15000, u"PrintObjList"_s)) {
        p.prepare = logged(u"ObjPrint"_s);
        prints.append(p);
    }
    return prints;
}

void showKunde(TF_ListForm& form) {
    ObjektExtras* x = extrasOf(form);
    if (!x || !objekte().isOpen())
        return;
    const QString name = GetKundeMatchByNr(FieldInt(objekte(), u"O_Kunde"_s));
    for (QLineEdit* e : {x->kundeGrund, x->kundeFaktura})
        if (e)
            e->setText(name);
}

void chooseBerichtForm(TF_ListForm& form) {
    table::Table& t = objekte();
    const QRect at = form.frameGeometry();
    const int id = ChoosePrintForm(BerichtFormType(t.field(u"O_BerichtModus"_s).value()), 0,
                                   at.left() + 100, at.top() + 140);
    if (id != 0) {
        EnsureEditOrInsert(t);
        t.field(u"O_PrintFormNoKB"_s).setValue(id);
        form.source().notifyRecordChanged();
        showBerichtFormName(form);
    }
    form.grid().setFocus();
}

// The customer's name opens the customer picker like the number does.
class KundePick : public QObject {
public:
    KundePick(TF_ListForm& form, QWidget& name) : QObject(&name), m_form(form) {
        name.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        bool open = event->type() == QEvent::MouseButtonDblClick;
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            open = key->key() == Qt::Key_W && key->modifiers() == Qt::AltModifier;
        }
        if (!open)
            return QObject::eventFilter(watched, event);
        guarded(&m_form, [this] { pickKunde(m_form); });
        return true;
    }

private:
    TF_ListForm& m_form;
};

// A read-only line with the customer's name: appended to a page's fields,
// or beside the field besideField when given.
QLineEdit* addKundeLine(TF_ListForm& form, const QString& page, const QString& caption,
                        const QString& besideField = {}) {
    QWidget* host = form.fields()->page(page);
    auto* line = new QHBoxLayout;
    auto* e = new QLineEdit(host);
    widgets::ShowAsReadOnly(*e, kKundeHint);
    e->setObjectName(u"K_Match"_s);
    e->setFocusPolicy(Qt::ClickFocus);
    new KundePick(form, *e);
    QWidget* field = besideField.isEmpty() ? nullptr : form.fields()->editor(besideField);
    for (QFormLayout* rows : host->findChildren<QFormLayout*>()) {
        int row = -1;
        QFormLayout::ItemRole role{};
        rows->getWidgetPosition(field, &row, &role);
        if (!field || row < 0 || role != QFormLayout::FieldRole)
            continue;
        rows->removeWidget(field);
        line->addWidget(field);
        line->addWidget(new QLabel(caption, host));
        line->addWidget(e, 1);
        rows->setLayout(row, QFormLayout::FieldRole, line);
        return e;
    }
    line->addWidget(new QLabel(caption, host));
    line->addWidget(e, 1);
    if (auto* layout = qobject_cast<QBoxLayout*>(host->layout()))
        layout->addLayout(line);
    return e;
}

void buildBerichte(TF_ListForm& form, ObjektExtras& x) {
    QWidget* host = form.fields()->page(kBerichte);
    auto* layout = qobject_cast<QBoxLayout*>(host->layout());
    auto* line = new QHBoxLayout;
    auto* choose = new QPushButton(u"Druckf&ormular"_s, host);
    QObject::connect(choose, &QPushButton::clicked, &form,
                     [&form] { guarded(&form, [&form] { chooseBerichtForm(form); }); });
    x.berichtFormName = new QLabel(host);
    x.berichtFormName->setObjectName(u"lbBerichtForm"_s);
    line->addWidget(choose);
    line->addWidget(x.berichtFormName, 1);
    layout->addLayout(line);
    table::Table& tours = DataModule1().TabObjTour();
    AddObjTourLookupFields(tours);
    auto source = std::make_unique<widgets::DataSource>(tours);
    FollowSharedMasterRows(*source, u"TabObjTour"_s);
    auto* grid = new widgets::DataGrid(*source, host);
    grid->setObjectName(u"GridTouren"_s);
    grid->setColumns({{u"TO_TourNr"_s, u"Tour-Nr."_s, 8, true},
                      {u"TO_VonUhr"_s, u"von Uhr"_s, 8, true},
                      {u"TO_BisUhr"_s, u"bis Uhr"_s, 8, true},
                      {u"TourWochentag"_s, u"Wochentag"_s, 12, true},
                      {u"TourDienste"_s, u"Dienste"_s, 12, true}});
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    auto* label = new QLabel(u"&Touren"_s, host);
    label->setBuddy(grid);
    layout->addWidget(label);
    layout->addWidget(grid, 1);
    x.sources.push_back(std::move(source));
}

void buildFaktura(TF_ListForm& form, ObjektExtras& x) {
    x.kundeFaktura = addKundeLine(form, kFaktura, u"Kundenname"_s, u"O_Kunde"_s);
    QWidget* host = form.fields()->page(kFaktura);
    HiddenSortLabel(form, kSortAdr);
    auto* box = new QGroupBox(u"Adress-Übernahme aus"_s, host);
    auto* row = new QHBoxLayout(box);
    const struct {
        QString caption;
        ObjektAddressSource source;
    } buttons[] = {{u"Kunde"_s, ObjektAddressSource::Kunde},
                   {u"Objekt"_s, ObjektAddressSource::Objekt},
                   {u"Adressen"_s, ObjektAddressSource::Adresse}};
    for (const auto& b : buttons) {
        auto* button = new QPushButton(b.caption, box);
        const ObjektAddressSource source = b.source;
        QObject::connect(button, &QPushButton::clicked, &form, [&form, source] {
            guarded(&form, [&form, source] {
                int nr = 0;
                if (source == ObjektAddressSource::Adresse) {
                    const QRect at = form.frameGeometry();
                    QLabel& sortLabel = HiddenSortLabel(form, kSortAdr);
                    QString sort = sortLabel.text();
                    nr = SelectAdress(0, 360, at.left() + 80, at.top(), sort);
                    sortLabel.setText(sort);
                    if (nr == 0)
                        return;
                }
                if (CopyAddressIntoObjekt(objekte(), source, u"O_Rg"_s, nr))
                    form.source().notifyRecordChanged();
            });
        });
        row->addWidget(button);
    }
    row->addStretch();
    qobject_cast<QBoxLayout*>(host->layout())->addWidget(box);
}

// A grid over a shared detail table of the object, bound to the form's
// navigator while it has the focus.
widgets::DataGrid* detailGrid(TF_ListForm& form, ObjektExtras& x, const QString& tableObject,
                              const QString& gridName, const QList<widgets::GridColumn>& columns,
                              QWidget* parent, DetailFocus*& focus) {
    auto source = std::make_unique<widgets::DataSource>(DataModule1().table(tableObject));
    FollowSharedMasterRows(*source, tableObject);
    source->setDeleteGuard([&form] { form.guardDelete(); });
    auto* grid = new widgets::DataGrid(*source, parent);
    grid->setObjectName(gridName);
    grid->setColumns(columns);
    focus = new DetailFocus(form, *source, *grid);
    x.focuses.append(focus);
    x.sources.push_back(std::move(source));
    return grid;
}

QWidget* buildNotdienste(TF_ListForm& form) {
    ObjektExtras& x = *extrasOf(form);
    AddObjNotdienstLookupFields(DataModule1().TabObjND());
    auto* page = new QWidget(&form);
    auto* layout = new QHBoxLayout(page);
    DetailFocus* focus = nullptr;
    widgets::DataGrid* grid = detailGrid(form, x, u"TabObjND"_s, u"GridNotdienst"_s,
                                         {{u"OND_NdNr"_s, u"ND-Nr"_s, 7},
                                          {u"ND_Match"_s, u"Suchbegriff"_s, 18, true},
                                          {u"ND_Branche"_s, u"Branche"_s, 16, true}},
                                         page, focus);
    widgets::DataSource& source = grid->source();
    const auto pick = [&form, &source] {
        guarded(&form, [&form, &source] {
            const auto& select = RecordRuleHooksRegistry().selectNotdienst;
            if (!select)
                return;
            table::Table& t = source.table();
            const int chosen = select(FieldInt(t, u"OND_NdNr"_s));
            if (TakeObjektNotdienst(t, FieldInt(objekte(), u"O_Nr"_s), chosen))
                source.notifyRecordChanged();
        });
    };
    if (!RecordRuleHooksRegistry().selectNotdienst)
        grid->setToolTip(u"Die Notdienst-Auswahl wartet auf die Notdienst-Verwaltung."_s);
    QObject::connect(grid, &QAbstractItemView::doubleClicked, &form, pick);
    auto* altW = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_W), grid, nullptr, nullptr,
                               Qt::WidgetShortcut);
    QObject::connect(altW, &QShortcut::activated, &form, pick);
    layout->addWidget(grid, 1);
    QList<FieldDecl> details;
    for (const auto& [caption, field] :
         QList<std::pair<QString, QString>>{{u"Name"_s, u"ND_Name1"_s},
                                            {u"Strasse"_s, u"ND_Strasse"_s},
                                            {u"Plz"_s, u"ND_Plz"_s},
                                            {u"Ort"_s, u"ND_Ort"_s},
                                            {u"Handy"_s, u"ND_Handy"_s},
                                            {u"Telefon"_s, u"ND_Telefon"_s},
                                            {u"Fax"_s, u"ND_Fax"_s},
                                            {u"E-Mail"_s, u"ND_Email"_s},
                                            {u"Sachbearbeiter"_s, u"ND_Sachbearbeiter"_s}})
        details.append({.caption = caption, .field = field, .readOnly = true});
    details.append({.caption = u"Info"_s, .field = u"OND_Info"_s, .kind = FieldKind::RichText});
    auto* fields = new widgets::FieldForm(source, details, page);
    if (QWidget* info = fields->editor(u"OND_Info"_s))
        focus->watch(*info);
    layout->addWidget(fields, 1);
    return page;
}

// The tenant page's own keyboard path: Tab in the tenant's name goes on to
// the phone field, and leaving the subtenants returns to the tenant grid.
class MieterKeys : public QObject {
public:
    MieterKeys(widgets::DataGrid& grid, QWidget& phone, QWidget& subtenants)
        : QObject(&grid), m_grid(grid), m_phone(phone), m_subtenants(subtenants) {
        grid.installEventFilter(this);
        subtenants.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &m_grid && event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Tab && key->modifiers() == Qt::NoModifier &&
                m_grid.selectedField().compare(u"OM_Name"_s, Qt::CaseInsensitive) == 0) {
                m_grid.commitEdit();
                m_phone.setFocus(Qt::TabFocusReason);
                return true;
            }
        }
        if (watched == &m_subtenants && event->type() == QEvent::FocusOut) {
            // Not when the window or a menu merely takes the focus for a moment.
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
                reason == Qt::MouseFocusReason || reason == Qt::OtherFocusReason)
                QTimer::singleShot(0, &m_grid, [grid = &m_grid] { grid->setFocus(); });
        }
        return false;
    }

private:
    widgets::DataGrid& m_grid;
    QWidget& m_phone;
    QWidget& m_subtenants;
};

QWidget* buildMieter(TF_ListForm& form) {
    ObjektExtras& x = *extrasOf(form);
    auto* page = new QWidget(&form);
    auto* layout = new QHBoxLayout(page);
    DetailFocus* focus = nullptr;
    widgets::DataGrid* grid = detailGrid(form, x, u"TabMieter"_s, u"GridMieter"_s,
                                         {{u"OM_Bereich"_s, u"Unterobjekt/Bereich"_s, 18},
                                          {u"OM_Nr"_s, u"M.-Nr"_s, 6},
                                          {u"OM_Name"_s, u"Mieter-Name"_s, 24}},
                                         page, focus);
    layout->addWidget(grid, 1);
    auto* fields = new widgets::FieldForm(
        grid->source(),
        {{.caption = u"Telefon"_s, .field = u"OM_Telefon"_s},
         {.caption = u"Familienmitglieder"_s, .field = u"OM_Familie"_s},
         {.caption = u"Untermieter"_s, .field = u"OM_Untermieter"_s, .kind = FieldKind::Memo},
         {.caption = u"Bemerkungen"_s, .field = u"OM_Memo"_s, .kind = FieldKind::Memo}},
        page);
    for (const char* f : {"OM_Telefon", "OM_Familie", "OM_Untermieter", "OM_Memo"})
        if (QWidget* editor = fields->editor(QString::fromLatin1(f)))
            focus->watch(*editor);
    QWidget* phone = fields->editor(u"OM_Telefon"_s);
    QWidget* subtenants = fields->editor(u"OM_Untermieter"_s);
    if (phone && subtenants)
        new MieterKeys(*grid, *phone, *subtenants);
    layout->addWidget(fields, 1);
    return page;
}

// The tables the form shows besides the object table: open while the form is shown.
const QStringList kShownTables = {u"TabMieter"_s, u"TabObjND"_s, u"TabObjTour"_s,
                                  u"TabObjTaetig"_s};

void buildForm(TF_ListForm& form) {
    ObjektExtras& x = *extrasOf(form);
    x.kundeGrund = addKundeLine(form, kGrund, u"Kunde"_s);
    buildBerichte(form, x);
    buildFaktura(form, x);
    form.takeAwayPage(kExtras);
    form.grid().setToolTip(u"Doppelklick für Nummern-Vorschlag"_s);

    auto* active = new QCheckBox(u"nur Aktive"_s, &form);
    active->setObjectName(u"cbAktive"_s);
    active->setChecked(true);
    objekte().setFiltered(true);
    QObject::connect(active, &QCheckBox::toggled, &form, [&form](bool on) {
        guarded(&form, [&form, on] {
            objekte().setFiltered(on);
            form.source().notifyViewChanged();
        });
    });
    form.topRow().insertWidget(form.topRow().count() - 1, active);

    if (QTabWidget* tabs = form.fields()->pages())
        QObject::connect(tabs, &QTabWidget::currentChanged, &form, [&form] {
            showBerichtFormName(form);
            showMieterGroupTitle(form);
        });
    showMieterGroupTitle(form);
    QObject::connect(&form.source(), &widgets::DataSource::recordChanged, &form, [&form] {
        showKunde(form);
        showBerichtFormName(form);
    });
    new ShownTables(form, kShownTables, [&form] {
        if (ObjektExtras* x = extrasOf(form))
            for (DetailFocus* f : std::as_const(x->focuses))
                f->leave();
    });
}

void applyRights(TF_ListForm& form) {
    if (QPushButton* b = form.button(u"Dokum."_s))
        b->setVisible(HasViewRight(13));
    if (QPushButton* b = form.button(u"Lager"_s))
        b->setVisible(HasExportRight(kRight));
    if (!HasViewRight(12))
        form.takeAwayPage(kOffen);
    if (!HasViewRight(11))
        form.takeAwayPage(kFaktura);
    if (ObjektExtras* x = extrasOf(form); x && x->taetig)
        x->taetig->grid().setContextMenuPolicy(HasEditRight(kRight) ? Qt::CustomContextMenu
                                                                    : Qt::NoContextMenu);
}

void activated(TF_ListForm& form) {
    RememberObjektNr();
    if (ObjektExtras* x = extrasOf(form); x && x->taetig)
        x->taetig->grid().setGridColor(QApplication::palette().color(QPalette::Base));
    showBerichtFormName(form);
    showKunde(form);
}

void showNotizen(TF_ListForm& form) {
    table::Table& t = objekte();
    const QString caption = form.windowTitle();
    form.setWindowTitle(u"Notizen bearbeiten [Objekt "_s + FieldText(t, u"O_Nr"_s) + u']');
    auto* editor = new widgets::DbRichEdit(form.source(), u"O_Notizen"_s, &form);
    const QRect g = form.grid().geometry();
    editor->setGeometry(g.left(), 34, g.width(), form.height() - 40);
    editor->show();
    const auto restore = qScopeGuard([&] {
        if (t.isEditing())
            t.post();
        delete editor;
        form.setWindowTitle(caption);
        form.source().refresh();
    });
    ShowRtfEditor(&form, *editor);
}

// The rules focus the activity column of a new row.
void installFocusHook() {
    InstallFieldFocus(u"TabObjTaetig"_s, [](const QString& field) {
        TF_ListForm* form = FindListForm(u"TF_Objekt"_s);
        if (ObjektTaetigPage* page = form ? ObjektTaetigPageOf(*form) : nullptr)
            page->FocusTaetigColumn(u"TabObjTaetig"_s + field);
    });
}

} // namespace

ObjektFormHooks& ObjektFormHooksRegistry() {
    static ObjektFormHooks hooks;
    return hooks;
}

ListFormDecl ObjektListFormDecl() {
    ListFormDecl d;
    TableFormDecl& f = d.form;
    f.formClass = u"TF_Objekt"_s;
    f.caption = u"Objekte"_s;
    f.table = u"TabObjekt"_s;
    f.gridName = u"GridObjekt"_s;
    f.columns = {{u"O_Nr"_s, u"Obj.-Nr."_s, 7},      {u"O_Match"_s, u"Suchbegriff"_s, 14},
                 {u"O_Name1"_s, u"Name 1"_s, 20},    {u"O_Name2"_s, u"Name 2"_s, 14},
                 {u"O_Strasse"_s, u"Strasse"_s, 18}, {u"O_Plz"_s, u"Plz"_s, 6},
                 {u"O_Ort"_s, u"Ort"_s, 14},         {u"O_Kunde"_s, u"Kunde"_s, 7, true},
                 {u"O_Aktiv"_s, u"Aktiv"_s, 5}};
    f.columnActions = {{u"O_Kunde"_s, [](TF_TableForm& form) {
                            if (auto* list = qobject_cast<TF_ListForm*>(&form))
                                pickKunde(*list);
                        }}};
    f.titleSort = TitleSort::ByColumn;
    f.initialSortField = u"O_Nr"_s;
    f.navigatorButtons = BrowseNavigator();
    f.postCancelButtons = true;
    f.fields = objektFields();
    f.lookups = {{u"O_BerichtIntervall"_s, u"TabZahlinterv"_s},
                 {u"O_BerichtModus"_s, u"TabBerMod"_s},
                 {u"O_BerichtUnerledigt"_s, u"TabBerUnerl"_s},
                 {u"O_RgZahlbed1"_s, u"TabZahlbed"_s}};
    f.buttons = {
        {u"Notizen"_s,
         [](TF_TableForm& form) {
             if (auto* list = qobject_cast<TF_ListForm*>(&form))
                 showNotizen(*list);
         }},
        {u"Lager"_s,
         [](TF_TableForm&) {
             const auto& show = ObjektFormHooksRegistry().showArtikelForm;
             if (!show)
                 return;
             WriteLog(u"ObjLager IN"_s);
             show(FieldInt(objekte(), u"O_ID"_s), FieldInt(objekte(), u"O_Nr"_s));
             WriteLog(u"ObjLager OUT"_s);
         }},
        {u"Dokum."_s,
         [](TF_TableForm&) {
             WriteLog(u"ObjDoku IN"_s);
             ShowObjDokuForm();
             WriteLog(u"ObjDoku OUT"_s);
         }},
    };
    f.prints = objektPrintButtons();
    f.helpPage = u"objekte.html"_s;
    f.minimumSize = {960, 780};
    f.placement = {kPlacementFile03,
                   u"Objekt"_s,
                   {u"GridObjekt.Columns"_s, u"lbSort.Caption"_s, kSortAdr + u".Caption"_s}};
    d.right = kRight;
    d.remember = [] { RememberObjektNr(); };
    d.numberProposal = {u"O_Nr"_s, LoadMessage(65099), [] { return ProposeObjektNr(); }};
    d.recordPosition = false;
    d.customPages = {
        {.title = kTaetig,
         .before = kBerichte,
         .build = [](TF_ListForm& form) -> QWidget* {
             auto* x = new ObjektExtras(form);
             x->taetig = new ObjektTaetigPage(form);
             installFocusHook();
             return x->taetig;
         }},
        {.title = kNotdienste, .before = kExtras, .build = &buildNotdienste},
        {.title = kMieter, .before = kExtras, .build = &buildMieter},
    };
    d.gridPages = {{.title = kOffen,
                    .gridName = u"GridOP"_s,
                    .source = TableSource::Own,
                    .table = u"OpKopf.DB"_s,
                    .index = u"R_IObjektNr"_s,
                    .masterFields = {u"O_Nr"_s},
                    .detailFields = {u"R_ObjektNr"_s},
                    .openWhileShown = true,
                    .columns = {{u"R_Nr"_s, u"Rechnungs-Nr."_s, 12},
                                {u"R_DatumDruck"_s, u"Datum"_s, 10},
                                {u"R_ANr"_s, u"Vorlage"_s, 10},
                                {u"R_KundenNr"_s, u"Kunde"_s, 7},
                                {u"R_KMatch"_s, u"Suchbegriff"_s, 16},
                                {u"R_Brutto"_s, u"Brutto"_s, 10},
                                {u"O_ZahlSumme"_s, u"Bezahlt"_s, 10},
                                {u"O_OffenSumme"_s, u"Offen"_s, 10},
                                {u"O_Mahnungen"_s, u"Mahn"_s, 5}},
                    .rowBrush = &SettledItemBrush}};
    d.build = &buildForm;
    d.applyRights = &applyRights;
    d.activated = &activated;
    return d;
}

ObjektTaetigPage* ObjektTaetigPageOf(TF_ListForm& form) {
    ObjektExtras* x = extrasOf(form);
    return x ? x->taetig : nullptr;
}

void ShowObjektForm() {
    table::Table& t = objekte();
    const QVariant nr = RememberedNr(u"TabObjekt"_s);
    if (t.isOpen() && nr.isValid())
        t.locate({u"O_Nr"_s}, {nr});
    ShowListForm(u"TF_Objekt"_s);
}
