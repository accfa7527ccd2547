#include "core/datagui/f_firmen.h"

#include "core/data/clientswitch.h"
#include "core/data/companycosts.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/printforms.h"
#include "core/datagui/logoimage.h"
#include "core/datagui/moduleopener.h"
#include "core/datagui/tf_selform.h"
#include "core/messages/manuals.h"
#include "core/messages/messages.h"
#include "platform/errors.h"
#include "platform/table/table.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/dblookupcombobox.h"
#include "platform/widgets/dbnavigator.h"
#include "platform/widgets/fieldform.h"

#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

using widgets::FieldDecl;
using widgets::FieldKind;

namespace {

// Runs an action of the form; its error is shown, an abort stays silent.
bool reportingErrors(const std::function<void()>& action) {
    try {
        action();
        return true;
    } catch (const Abort&) {
    } catch (const std::exception& e) {
        ShowError(QString::fromUtf8(e.what()));
    }
    return false;
}

const QString kGrund = QStringLiteral("&Grunddaten");
const QString kDesign = QStringLiteral("&Formular-Design");
const QString kDiverses = QStringLiteral("Di&verses");
const QString kKosten = QStringLiteral("Basiskosten");

constexpr int kInvoiceFormType = 10000;
constexpr int kInvoiceKind = 2;

FieldDecl edit(const QString& caption, const QString& field, const QString& page, int width = 0) {
    return FieldDecl{caption, field, FieldKind::Edit, page, width, {}, {}, nullptr, {}, {}, {}};
}

// On the line of the field before it (the town beside the postcode).
FieldDecl besideLast(FieldDecl d) {
    d.sameLine = true;
    return d;
}

FieldDecl check(const QString& caption, const QString& field, const QString& page) {
    return FieldDecl{caption, field, FieldKind::CheckBox, page, 0, {}, {}, nullptr, {}, {}, {}};
}

FieldDecl rich(const QString& caption, const QString& field) {
    return FieldDecl{caption, field, FieldKind::RichText, kDesign, 0, {}, {}, nullptr, {}, {}, {}};
}

FieldDecl lookup(const QString& caption, const QString& field, widgets::DataSource& list,
                 const QString& key, const QString& text) {
    return FieldDecl{caption, field, FieldKind::LookupCombo, kGrund, 0, {}, {}, &list, key,
                     text,    {}};
}

// The cost fields in the order of the page, with the sum each one feeds.
struct CostField {
    const char* caption;
    const char* field;
    void (*sum)(table::Table&); // nullptr: a read-only sum itself
};

const CostField kCosts[] = {
    {"Lohn/Steuer/SV", "F_JahresLohn", CalkLohnkosten},
    {"VWL", "F_VWL", CalkLohnkosten},
    {"betr. Sozialleistung.", "F_Sozialleistungen", CalkLohnkosten},
    {"Lohnkosten", "F_Lohnkosten", nullptr},
    {"ZVK", "F_ZVK", CalcLohnnebenkosten},
    {"Sozialabgaben", "F_Sozialabgaben", CalcLohnnebenkosten},
    {"freiw. Leistungen", "F_Freileistungen", CalcLohnnebenkosten},
    {"Lohnnebenkosten", "F_LNebenkosten", nullptr},
    {"Mietkosten", "F_Miete", CalcGemeinkosten},
    {"GWG", "F_GWG", CalcGemeinkosten},
    {"Abschreibung", "F_Abschreibung", CalcGemeinkosten},
    {"Versicherungen", "F_Versicherung", CalcGemeinkosten},
    {"Gebühren", "F_Gebuehren", CalcGemeinkosten},
    {"Werbung", "F_Werbung", CalcGemeinkosten},
    {"Kfz-Kosten", "F_KfzKosten", CalcGemeinkosten},
    {"Reisekosten", "F_Reisekosten", CalcGemeinkosten},
    {"Fremdkosten", "F_Fremdkosten", CalcGemeinkosten},
    {"Steuerberatung", "F_Steuerberatung", CalcGemeinkosten},
    {"Bewirtung", "F_Bewirtung", CalcGemeinkosten},
    {"Reparaturen", "F_Reparaturen", CalcGemeinkosten},
    {"Verbrauchsmaterial", "F_Verbrauchsmat", CalcGemeinkosten},
    {"Porto/Telefon", "F_PortoTelefon", CalcGemeinkosten},
    {"Steuern", "F_Steuern", CalcGemeinkosten},
    {"Zinsen", "F_Zinsen", CalcGemeinkosten},
    {"Gehälter", "F_Gehaelter", CalcGemeinkosten},
    {"Sonstige Kosten", "F_SonstigeKosten", CalcGemeinkosten},
    {"Gemeinkosten", "F_Gemeinkosten", nullptr},
    {"Gesamtkosten", "F_GesamtKosten", nullptr},
    {"Jahresstunden", "F_StundenproJahr", CalcAll},
};

QList<FieldDecl> declarations(widgets::DataSource& banken, widgets::DataSource& zahlarten) {
    QList<FieldDecl> d = {
        edit(QStringLiteral("Mandanten-Name"), QStringLiteral("F_NameIntern"), kGrund),
        edit(QStringLiteral("Name &1"), QStringLiteral("F_Name1"), kGrund),
        edit(QStringLiteral("Name &2"), QStringLiteral("F_Name2"), kGrund),
        edit(QStringLiteral("Name &3"), QStringLiteral("F_Name3"), kGrund),
        edit(QStringLiteral("&Telefon"), QStringLiteral("F_Telefon1"), kGrund, 22),
        edit(QStringLiteral("Hand&y"), QStringLiteral("F_Handy"), kGrund, 22),
        edit(QStringLiteral("Fa&x"), QStringLiteral("F_Fax"), kGrund, 22),
        edit(QStringLiteral("&E-Mail"), QStringLiteral("F_Email"), kGrund),
        edit(QStringLiteral("Stra&ße"), QStringLiteral("F_Strasse"), kGrund),
        edit(QStringLiteral("&Plz/Ort"), QStringLiteral("F_Plz"), kGrund, 6),
        besideLast(edit(QString(), QStringLiteral("F_Ort"), kGrund)),
        edit(QStringLiteral("&Internet"), QStringLiteral("F_Internet"), kGrund),
        lookup(QStringLiteral("&Bankname"), QStringLiteral("F_BankName"), banken,
               QStringLiteral("BankName"), QStringLiteral("BankName")),
        lookup(QStringLiteral("BL&Z"), QStringLiteral("F_Blz"), banken, QStringLiteral("BankBLZ"),
               QStringLiteral("BankBLZ")),
        edit(QStringLiteral("&Konto-Nr"), QStringLiteral("F_KontoNr"), kGrund, 12),
        lookup(QStringLiteral("Zahla&rt"), QStringLiteral("F_Zahlart"), zahlarten,
               QStringLiteral("ZA_ID"), QStringLiteral("ZA_Text")),
        check(QStringLiteral("OP-&Übergabe"), QStringLiteral("F_AutoSichernOP"), kGrund),
        check(QStringLiteral("Kontro&llberichtserstellung"),
              QStringLiteral("F_AutoSichernKontroll"), kGrund),
        check(QStringLiteral("Datenablage"), QStringLiteral("F_AutoSichernAblage"), kGrund),
        check(QStringLiteral("Rechnungserstellung"), QStringLiteral("F_AutoSichernRechErst"),
              kGrund),
        check(QStringLiteral("Rechnungsdruck"), QStringLiteral("F_AutoSichernRechDruck"), kGrund),
        check(QStringLiteral("Tageslistenerstellung"), QStringLiteral("F_AutosichernTglErstell"),
              kGrund),
        check(QStringLiteral("Zeiterfassung erzeugt Kosteneinträge"),
              QStringLiteral("F_KostenausZeiterfass"), kGrund),

        edit(QStringLiteral("&Rechnungen"), QStringLiteral("F_AbsenderZeileRg"), kDesign),
        edit(QStringLiteral("&Kontrolldrucke"), QStringLiteral("F_AbsenderZeileKA"), kDesign),
        edit(QStringLiteral("Mahn&ungen"), QStringLiteral("F_AbsenderZeileMahn"), kDesign),
        rich(QStringLiteral("Kopfzeile Listen"), QStringLiteral("F_REListenkopf")),
        rich(QStringLiteral("Kopfzeile Faktura/Berichte"), QStringLiteral("F_REBriefkopf")),
        rich(QStringLiteral("Fußzeile Faktura"), QStringLiteral("F_REBrieffussRg")),
        rich(QStringLiteral("Fußzeile Berichte"), QStringLiteral("F_REBrieffussKA")),

        edit(QStringLiteral("1. Pos-Nr. für autom. Rechnungen"), QStringLiteral("F_ErstePosNo"),
             kDiverses, 8),
        edit(QStringLiteral("Pause beim Rechnungsdruck (Sekunden)"), QStringLiteral("F_Printwait"),
             kDiverses, 5),
        edit(QStringLiteral("Artikel-Preisaufschlag in %"), QStringLiteral("F_Aufschlag1"),
             kDiverses, 8),
    };
    const char* const minimums[][2] = {
        {"&Kunden", "F_MinNrKunden"},        {"Art&ikel", "F_MinNrArtikel"},
        {"T&ätigkeiten", "F_MinNrTaetig"},   {"&Personal", "F_MinNrPersonal"},
        {"&Objekte", "F_MinNrObjekt"},       {"&Touren", "F_MinNrTour"},
        {"Lief&eranten", "F_MinNrProjekt"},  {"&Kostenarten", "F_MinNrKostart"},
        {"Not&dienste", "F_MinNrNotdienst"}, {"Adre&ssen", "F_MinNrAdress"},
    };
    for (const auto& m : minimums)
        d.append(edit(QString::fromUtf8(m[0]), QString::fromLatin1(m[1]), kDiverses, 8));
    const char* const counters[][4] = {
        {"Nächste &Lieferscheinnummer", "F_NextNr04", "F_FormatNr04", "Lieferschein"},
        {"Nächste &Angebotsnummer", "F_NextNr02", "F_FormatNr02", "Angebot"},
        {"Nächste A&uftragsnummer", "F_NextNr03", "F_FormatNr03", "Auftrag"},
        {"Nächste &Rechnungsnummer", "F_NextNrRg", "F_FormatNrRg", "Rechnung"},
        {"Nächste Gut&schriftnummer", "F_NextNr06", "F_FormatNr06", "Gutschrift"},
        {"Nächste Eingangsrechnung", "F_NextNr05", "F_FormatNr05", "Eingangsrechnung"},
        {"Nächste Bestellung", "F_NextNr07", "F_FormatNr07", "Bestellung"},
    };
    for (const auto& c : counters)
        d.append(edit(QString::fromUtf8(c[0]), QString::fromLatin1(c[1]), kDiverses, 10));
    for (const auto& c : counters)
        d.append(edit(QString::fromUtf8(c[3]), QString::fromLatin1(c[2]), kDiverses, 16));
    for (const CostField& c : kCosts) {
        d.append(edit(QString::fromUtf8(c.caption), QString::fromLatin1(c.field), kKosten, 14));
        d.last().readOnly = !c.sum; // the sums are computed, never typed
    }
    // The boxes of the pages: the first field of each box and its title; a
    // box runs up to the next entry.
    const struct {
        const char* firstField;
        const char* title; // empty: the lines that follow stand outside a box
    } boxes[] = {
        {"F_Strasse", "Adressdaten"},
        {"F_BankName", "Bankverbindung"},
        {"F_AutoSichernOP", "Automatische Datensicherung vor :"},
        {"F_KostenausZeiterfass", ""},
        {"F_AbsenderZeileRg", "Absender&zeilen"},
        {"F_REListenkopf", "Kopfzeile Listen"},
        {"F_REBriefkopf", "Kopfzeile Faktura/Berichte"},
        {"F_REBrieffussRg", "Fußzeile Faktura"},
        {"F_REBrieffussKA", "Fußzeile Berichte"},
        {"F_ErstePosNo", ""},
        {"F_MinNrKunden", "Basis-Nummern"},
        {"F_NextNr04", "Nummernkreise"},
        {"F_FormatNr04", "Nummernformatierung"},
        {"F_JahresLohn", "Lohngebundene Kosten"},
        {"F_Miete", "Nicht lohngebundene Kosten"},
        {"F_GesamtKosten", ""},
    };
    QString group;
    for (FieldDecl& decl : d) {
        for (const auto& b : boxes)
            if (decl.field == QLatin1String(b.firstField))
                group = QString::fromUtf8(b.title);
        decl.group = group;
        // A rich text's box carries its caption.
        if (decl.kind == FieldKind::RichText)
            decl.caption.clear();
    }
    return d;
}

} // namespace

TF_Firmen::TF_Firmen(table::Table& firmen, table::Table& banken, table::Table& zahlarten,
                     QWidget* parent)
    : QDialog(parent), m_firmen(firmen), m_banken(banken),
      m_source(std::make_unique<widgets::DataSource>(firmen)),
      m_bankSource(std::make_unique<widgets::DataSource>(banken)),
      m_zahlartSource(std::make_unique<widgets::DataSource>(zahlarten)) {
    setObjectName(QStringLiteral("TF_Firmen"));
    setWindowTitle(QStringLiteral("Firmendaten"));
    resize(960, 640);
    auto* layout = new QVBoxLayout(this);
    m_navigator = new widgets::DbNavigator(*m_source, this);
    for (int b = 0; b < widgets::DbNavigator::ButtonCount; ++b)
        m_navigator->setButtonVisible(widgets::DbNavigator::Button(b),
                                      b == widgets::DbNavigator::Edit ||
                                          b == widgets::DbNavigator::Refresh);
    m_navigator->button(widgets::DbNavigator::Edit)->setToolTip(QStringLiteral("Bearbeiten"));
    m_navigator->button(widgets::DbNavigator::Refresh)
        ->setToolTip(QStringLiteral("Daten aktualisieren"));
    auto* top = new QHBoxLayout;
    top->addWidget(m_navigator);
    layout->addLayout(top);
    m_fields =
        new widgets::FieldForm(*m_source, declarations(*m_bankSource, *m_zahlartSource), this);
    layout->addWidget(m_fields, 1);
    buildButtons();
    top->addStretch();
    for (auto* b : findChildren<QPushButton*>(QStringLiteral("topButton")))
        top->addWidget(b);
    buildLogoBox();
    buildPrintFormLine();
    connectCostFields();
    // The client's name stands in the main window's title line.
    if (auto* nameIntern = m_fields->editorAs<QLineEdit>(QStringLiteral("F_NameIntern")))
        connect(nameIntern, &QLineEdit::editingFinished, this, [this] {
            const QString shown = m_firmen.value(QStringLiteral("F_NameIntern")).toString();
            if (shown != m_titleName) {
                m_titleName = shown;
                RefreshMainTitle();
            }
        });
    if (auto* name = m_fields->editorAs<widgets::DbLookupComboBox>(QStringLiteral("F_BankName")))
        connect(name, &QComboBox::activated, this, [this] { bankNameChosen(); });
    if (auto* blz = m_fields->editorAs<widgets::DbLookupComboBox>(QStringLiteral("F_Blz")))
        connect(blz, &QComboBox::activated, this, [this] { bankBlzChosen(); });
    auto* hoursHint = new QLabel(
        QStringLiteral("Jahresstunden: (Jährliche Arbeitsstunden aller produktiven Mitarbeiter)"),
        m_fields->page(kKosten));
    auto* costs = static_cast<QVBoxLayout*>(m_fields->page(kKosten)->layout());
    costs->insertWidget(costs->count() - 1, hoursHint);
    m_fields->showPage(kGrund);
}

TF_Firmen::~TF_Firmen() {
    // The widgets are bound to the data sources: they go first.
    delete m_fields;
    delete m_navigator;
}

void TF_Firmen::buildButtons() {
    auto* post = new QPushButton(QStringLiteral("Überneh&men"), this);
    post->setObjectName(QStringLiteral("topButton"));
    connect(post, &QPushButton::clicked, this, [this] { this->post(); });
    auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(f10, &QShortcut::activated, this, [this] { this->post(); });
    auto* cancel = new QPushButton(QStringLiteral("&Abbrechen"), this);
    cancel->setObjectName(QStringLiteral("topButton"));
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, [this] { this->cancel(); });
    auto* altBack = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Backspace), this);
    connect(altBack, &QShortcut::activated, this, [this] { this->cancel(); });
    auto* info = new QPushButton(QStringLiteral("&?Info?"), this);
    info->setObjectName(QStringLiteral("topButton"));
    connect(info, &QPushButton::clicked, this,
            [] { ShowHandbuchPage(QStringLiteral("Firmendaten.html")); });

    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    m_print = new QPushButton(QStringLiteral("Dru&cken"), this);
    m_preview = new QPushButton(QStringLiteral("Vorsc&hau"), this);
    m_print->setObjectName(QStringLiteral("btnPrint"));
    m_preview->setObjectName(QStringLiteral("btnPreview"));
    for (QPushButton* b : {m_print, m_preview}) {
        b->setAutoDefault(false);
        b->setEnabled(false);
        b->setToolTip(QStringLiteral("Der Druck der Firmendaten braucht das Druckmodul."));
        connect(b, &QPushButton::clicked, this, [this, b] { btnPrintClick(b == m_preview); });
        bottom->addWidget(b);
    }
    static_cast<QVBoxLayout*>(layout())->addLayout(bottom);
}

void TF_Firmen::buildLogoBox() {
    auto* box = new QGroupBox(QStringLiteral("Firmenlogo"), m_fields->page(kDiverses));
    auto* boxLayout = new QVBoxLayout(box);
    m_logo = new QLabel(box);
    m_logo->setObjectName(QStringLiteral("Logo"));
    m_logo->setMinimumSize(160, 90);
    m_logo->setAlignment(Qt::AlignCenter);
    m_logo->setFrameShape(QFrame::StyledPanel);
    m_logo->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_logo, &QLabel::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu menu(this);
        menu.addAction(QStringLiteral("Bild laden"), this, [this] { Load1Click(); });
        menu.addAction(QStringLiteral("Bild löschen"), this, [this] { Clear1Click(); });
        menu.addAction(QStringLiteral("Info"), this, [this] { Info1Click(); });
        menu.addSeparator();
        menu.addAction(QStringLiteral("Abbruch"));
        menu.exec(m_logo->mapToGlobal(at));
    });
    boxLayout->addWidget(m_logo);
    // After the minimum numbers, before the number ranges.
    auto* page = static_cast<QVBoxLayout*>(m_fields->page(kDiverses)->layout());
    page->insertWidget(page->indexOf(m_fields->group(QStringLiteral("Basis-Nummern"))) + 1, box);
}

void TF_Firmen::buildPrintFormLine() {
    auto* line = new QHBoxLayout;
    m_selectForm = new QPushButton(QStringLiteral("Standard-Rechnungs&druckformular"),
                                   m_fields->page(kDiverses));
    m_selectForm->setEnabled(false);
    connect(m_selectForm, &QPushButton::clicked, this, [this] { btnSelectFormClick(); });
    m_printFormName = new QLineEdit(m_fields->page(kDiverses));
    m_printFormName->setReadOnly(true);
    m_printFormName->setFocusPolicy(Qt::NoFocus);
    line->addWidget(m_selectForm);
    line->addWidget(m_printFormName, 1);
    auto* page = static_cast<QVBoxLayout*>(m_fields->page(kDiverses)->layout());
    page->insertLayout(page->count() - 1, line);
}

void TF_Firmen::connectCostFields() {
    for (const CostField& c : kCosts) {
        auto* editor = m_fields->editorAs<QLineEdit>(QString::fromLatin1(c.field));
        if (!editor)
            continue;
        if (!c.sum)
            continue; // declared read-only
        connect(editor, &QLineEdit::editingFinished, this, [this, sum = c.sum] {
            try {
                sum(m_firmen);
            } catch (const std::exception& e) {
                ShowError(QString::fromUtf8(e.what()));
            }
        });
    }
}

void TF_Firmen::setPrintFormChooser(PrintFormChooser chooser) {
    m_chooser = std::move(chooser);
    m_selectForm->setEnabled(bool(m_chooser));
}

void TF_Firmen::setPrinter(Printer printer) {
    m_printer = std::move(printer);
    for (QPushButton* b : {m_print, m_preview}) {
        b->setEnabled(bool(m_printer));
        b->setToolTip(m_printer
                          ? QString()
                          : QStringLiteral("Der Druck der Firmendaten braucht das Druckmodul."));
    }
}

void TF_Firmen::btnPrintClick(bool preview) {
    if (!m_printer)
        return;
    if (postShowingError())
        reportingErrors([&] { m_printer(this, preview); });
}

void TF_Firmen::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

void TF_Firmen::FormShow() {
    m_titleName = m_firmen.value(QStringLiteral("F_NameIntern")).toString();
    showLogo();
    showPrintFormName();
}

void TF_Firmen::showLogo() {
    const table::Field* field = m_firmen.findField(QStringLiteral("F_Logo"));
    const QImage image = field && !field->isNull() ? DecodeLogo(field->asBytes()) : QImage();
    if (image.isNull()) {
        m_logo->clear();
        return;
    }
    m_logo->setPixmap(QPixmap::fromImage(image).scaled(m_logo->size(), Qt::KeepAspectRatio,
                                                       Qt::SmoothTransformation));
}

void TF_Firmen::showPrintFormName() {
    const int id = GetFieldIntOrDefault(m_firmen.findField(QStringLiteral("F_PrintFormNo")), 0);
    m_printFormName->setText(GetPrintFormComment(id));
}

void TF_Firmen::btnSelectFormClick() {
    if (!m_chooser)
        return;
    const table::Field& stored = m_firmen.field(QStringLiteral("F_PrintFormNo"));
    const int current = stored.isNull() ? DefaultPrintFormOfKind(kInvoiceKind) : stored.asInteger();
    const int chosen = m_chooser(kInvoiceFormType, current);
    if (chosen == 0 || chosen == current)
        return;
    EnsureEditOrInsert(m_firmen);
    m_firmen[QStringLiteral("F_PrintFormNo")] = chosen;
    m_printFormName->setText(GetPrintFormComment(chosen));
}

void TF_Firmen::Load1Click() {
    if (!m_logoChooser)
        return;
    const QString path = m_logoChooser();
    if (path.isEmpty())
        return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ShowError(QStringLiteral("Die Datei %1 kann nicht gelesen werden.").arg(path));
        return;
    }
    const QByteArray content = file.readAll();
    EnsureEditOrInsert(m_firmen);
    m_firmen[QStringLiteral("F_Logo")] = content;
    m_firmen.post();
    showLogo();
}

void TF_Firmen::Clear1Click() {
    // The question appears just below the logo's box.
    const QWidget* box = m_logo->parentWidget();
    const QPoint boxAt = box->mapTo(this, QPoint(0, 0));
    if (!AskYesNoAt(QStringLiteral("Soll die Grafik wirklich gelöscht werden?"),
                    x() + boxAt.x() - 50, y() + boxAt.y() + box->height() + 64))
        return;
    EnsureEditOrInsert(m_firmen);
    m_firmen.field(QStringLiteral("F_Logo")).clear();
    m_firmen.post();
    m_logo->clear();
}

void TF_Firmen::Info1Click() {
    const table::Field* field = m_firmen.findField(QStringLiteral("F_Logo"));
    const QImage image = field && !field->isNull() ? DecodeLogo(field->asBytes()) : QImage();
    if (image.isNull()) {
        ShowInfo(QStringLiteral("Kein Bild geladen!"));
        return;
    }
    ShowInfo(QStringLiteral("Breite : %1\rHöhe  : %2").arg(image.width()).arg(image.height()));
}

void TF_Firmen::post() {
    if (m_firmen.isEditing())
        m_firmen.post();
}

void TF_Firmen::cancel() {
    if (m_firmen.isEditing())
        m_firmen.cancel();
}

void TF_Firmen::bankNameChosen() {
    if (m_banken.locate({QStringLiteral("BankName")},
                        {m_firmen.value(QStringLiteral("F_BankName"))}))
        CopyBankBlzToFirma(m_firmen, m_banken);
}

void TF_Firmen::bankBlzChosen() {
    if (m_banken.locate({QStringLiteral("BankBLZ")}, {m_firmen.value(QStringLiteral("F_Blz"))}))
        CopyBankNameToFirma(m_firmen, m_banken);
}

void TF_Firmen::done(int result) {
    // Closing keeps what was typed: an open edit is posted. A refused post
    // keeps the form open with the change pending.
    if (postShowingError())
        QDialog::done(result);
}

bool TF_Firmen::postShowingError() {
    return reportingErrors([this] { post(); });
}

namespace {

TF_Firmen::Printer& firmenPrinter() {
    static TF_Firmen::Printer printer;
    return printer;
}

} // namespace

TF_Firmen::Printer SetFirmenPrinter(TF_Firmen::Printer printer) {
    TF_Firmen::Printer previous = std::move(firmenPrinter());
    firmenPrinter() = std::move(printer);
    return previous;
}

void ShowFirmenForm(TDataModule1& dm, QWidget* mainWindow) {
    ModuleForm module;
    module.build = [&dm, mainWindow]() -> std::unique_ptr<QDialog> {
        auto form = std::make_unique<TF_Firmen>(dm.TabFirmen(), dm.TabBanken(), dm.TabZahlart(),
                                                mainWindow);
        form->resize(960, 640);
        TF_Firmen* f = form.get();
        form->setLogoFileChooser([f] {
            return QFileDialog::getOpenFileName(
                f, QStringLiteral("Firmenlogo auswählen"), QString(),
                QStringLiteral("Alle Dateien (*.gif *.jpg *.jpeg *.bmp *.ico *.emf *.wmf);;"
                               "CompuServe GIF Bild (*.gif);;JPEG Bilddatei (*.jpg);;"
                               "JPEG Bilddatei (*.jpeg);;Bitmaps (*.bmp);;Symbole (*.ico);;"
                               "Erweiterte Metadateien (*.emf);;Metadateien (*.wmf)"));
        });
        form->setPrintFormChooser([f](int formType, int currentId) {
            return ChoosePrintForm(formType, currentId, f->x() + 100, f->y() + 140);
        });
        form->setPrinter(firmenPrinter());
        if (mainWindow)
            form->move(mainWindow->x(), mainWindow->y() + mainWindow->height());
        return form;
    };
    OpenModuleOn(dm, {&dm.TabFirmen(), &dm.TabBanken(), &dm.TabZahlart()}, module);
}
