#include "commercial/gui/tf_rechnung.h"

#include "commercial/billing/recurringbilling.h"
#include "commercial/documents/documentrules.h"
#include "commercial/documents/kopffusstext.h"
#include "commercial/gui/doceditdecl.h"
#include "commercial/gui/doclisthead.h"
#include "commercial/gui/documentpickers.h"
#include "commercial/gui/f_createrg.h"
#include "commercial/gui/f_rechplan.h"
#include "commercial/gui/rgvlistform.h"
#include "commercial/gui/tf_rechhead.h"
#include "commercial/gui/tf_rgedit.h"
#include "commercial/invoicing/invoicebulkedit.h"
#include "commercial/invoicing/invoiceeffects.h"
#include "commercial/invoicing/invoicemarks.h"
#include "commercial/invoicing/invoiceprintrun.h"
#include "commercial/invoicing/invoicerunhooks.h"
#include "commercial/invoicing/optransfer.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/reportsource.h"
#include "core/data/timerworkpause.h"
#include "core/gui/formstorage.h"
#include "core/gui/mainform.h"
#include "core/gui/placement.h"
#include "core/messages/manuals.h"
#include "core/messages/messages.h"
#include "core/rights/rights.h"
#include "core/settings/formplacement.h"
#include "core/values/datetimevalue.h"
#include "masterdata/dialogs/datepickers.h"
#include "masterdata/dialogs/tf_daterange.h"
#include "masterdata/gui/detailgridpage.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/dbedit.h"
#include "platform/widgets/dbrichedit.h"
#include "platform/widgets/rowreader.h"
#include "platform/widgets/screenfit.h"
#include "platform/widgets/userprompts.h"
#include "printing/documentprints.h"
#include "printing/faktlistprint.h"
#include "printing/gui/printbutton.h"
#include "printing/gui/ralistebutton.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

constexpr int kRight = 24;
const QColor kBookedColour(124, 118, 252);
const QColor kFibuColour(102, 170, 204);

// The commands that change data must never leave an error unshown.
bool run(QWidget* form, const std::function<void()>& command) {
    return widgets::guarded(form, command);
}

} // namespace

TF_Rechnung::TF_Rechnung(TDataModule1& dm, QWidget* parent) : QDialog(parent), m_dm(dm) {
    setObjectName(u"F_Rechnung"_s);
    setWindowTitle(u"Rechnungen"_s);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);

    m_headSource = new widgets::DataSource(dm.TabRechKopf(), this);
    m_lineSource = new widgets::DataSource(dm.TabRechSatz(), this);
    // The line grid reads the lines of the current head, as the line object does.
    FollowSharedMasterRows(*m_lineSource, u"TabRechSatz"_s);
    // The line text may change only with the edit right; nothing else of a
    // line changes here.
    m_lineSource->setRightsCheck([](widgets::EditAction a) {
        return a == widgets::EditAction::Edit && HasEditRight(kRight);
    });

    TDocListHeadDecl decl;
    decl.columns = {
        {u"R_ObjektNr"_s, u"O-Nr."_s, 6},        {u"R_OMatch"_s, u"Objekt-Bezeichnung"_s, 22},
        {u"R_Nr"_s, u"Rech.-Nr."_s, 10},         {u"R_Intervall"_s, u"IV"_s, 3},
        {u"R_IVname"_s, u"Art/Intervall"_s, 14}, {u"R_PlanDatum"_s, u"Plan-Dat."_s, 10},
        {u"R_DatumDruck"_s, u"Rech.-D."_s, 10},  {u"R_KundenNr"_s, u"Kdnr."_s, 6},
        {u"R_KMatch"_s, u"Kundenname"_s, 20},    {u"R_ANr"_s, u"Vorlage"_s, 8},
        {u"R_Brutto"_s, u"Brutto"_s, 10},        {u"R_Selected"_s, u"Wahl"_s, 4}};
    decl.hiddenWhileMarking = u"R_IVname"_s;
    decl.widenedWhileMarking = u"R_OMatch"_s;
    decl.setMark = [](table::Table& head, bool mark) { return SetInvoiceMark(head, mark); };
    decl.rowBrush = [](widgets::RowReader& rows, int row) -> QBrush {
        const int buchung = rows.value(row, u"R_Buchung"_s).toInt();
        if (buchung & kInvoiceInFibu)
            return kFibuColour;
        if (buchung & kInvoiceBooked)
            return kBookedColour;
        return Qt::NoBrush;
    };
    m_head = new TDocListHead(std::move(decl), *m_headSource, this);
    headGrid().setToolTip(u"Doppelklick: Vorschau der Rechnung"_s);
    connect(m_head, &TDocListHead::headActivated, this, &TF_Rechnung::Vorschau);

    buildButtons();
    buildMenus();

    lbCounter = new QLabel(this);
    lbCounter->setObjectName(u"lbCounter"_s);
    lbCounter->hide();

    // The print panel ("Rechnungsdruck": the copy line and "Druck abbrechen")
    // and the pause panel ("Druckpause": the seconds left), hidden until a run.
    auto panel = [this](const char* name, const QString& caption, QLabel*& line) {
        auto* p = new QWidget(this);
        p->setObjectName(QString::fromLatin1(name));
        auto* l = new QHBoxLayout(p);
        l->setContentsMargins(4, 2, 4, 2);
        l->addWidget(new QLabel(u"<b>"_s + caption + u"</b>"_s, p));
        line = new QLabel(p);
        l->addWidget(line, 1);
        p->hide();
        return p;
    };
    PanelPrint = panel("PanelPrint", u"Rechnungsdruck"_s, lbCopy);
    lbCopy->setObjectName(u"lbCopy"_s);
    btnAbbruch = new QPushButton(u"Druck abbrechen"_s, PanelPrint);
    btnAbbruch->setObjectName(u"btnAbbruch"_s);
    connect(btnAbbruch, &QPushButton::clicked, this, [this] { m_cancel = true; });
    PanelPrint->layout()->addWidget(btnAbbruch);
    PanelPause = panel("PanelPause", u"Druckpause"_s, lbPause);
    lbPause->setObjectName(u"lbPause"_s);

    PageControl = new QTabWidget(this);
    PageControl->setObjectName(u"PageControl1"_s);
    PageControl->addTab(buildHeadPage(), u"Positionen"_s);
    PageControl->addTab(buildTextsPage(), u"Zusatztexte"_s);
    for (int i = 0; i < 3; ++i)
        PageControl->addTab(buildAddressPage(i), u"Zusatzadr. %1"_s.arg(i + 1));
    connect(PageControl, &QTabWidget::currentChanged, this, [this](int page) {
        if (page >= 2)
            showAddress(page - 2);
    });

    auto* search = new QHBoxLayout;
    search->addWidget(&m_head->searchLabel());
    search->addWidget(&m_head->searchEdit());
    search->addSpacing(12);
    search->addWidget(lbCounter);
    search->addStretch(1);
    search->addWidget(cbKopieVermerk);

    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->setObjectName(u"Splitter1"_s);
    splitter->addWidget(&headGrid());
    splitter->addWidget(PageControl);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    splitter->setChildrenCollapsible(false);

    auto* buttons = new QGridLayout;
    buttons->setSpacing(4);
    const QList<QWidget*> row1{btnWaehlen,  btnBuchen,    btnPrint,   btnDeleteRg,
                               sbtnSetDate, sbtnZeitraum, sbtnEditRg, btnNeu};
    QList<QWidget*> row2{btnErzeugen, btnRg2OP, sBtnRAListe, btnListe, btnRgv};
    row2.append(btnInfo);
    for (int i = 0; i < row1.size(); ++i)
        buttons->addWidget(row1[i], 0, i);
    for (int i = 0; i < row2.size(); ++i)
        buttons->addWidget(row2[i], 1, i);
    buttons->setColumnStretch(row1.size(), 1);
    buttons->addWidget(btnClose, 1, row1.size() + 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(search);
    layout->addWidget(splitter, 1);
    layout->addWidget(PanelPrint);
    layout->addWidget(PanelPause);
    layout->addLayout(buttons);
    resize(1100, 620);

    // Placement, grid columns, sort column and the splitter in the placement file.
    auto* storage = new FormStorage(this, kPlacementFile01, u"Rechnung"_s);
    storage->setStoredProperties({u"DBGrid1.Columns"_s, u"lbSort.Caption"_s, u"Splitter1.sizes"_s,
                                  u"PageControl1.currentIndex"_s});
    widgets::KeepOnScreen(*this);

    connect(m_head, &TDocListHead::markModeChanged, this, [this] { updateMenu(); });
    connect(m_headSource, &widgets::DataSource::recordChanged, this, [this] {
        if (PageControl->currentIndex() >= 2)
            showAddress(PageControl->currentIndex() - 2);
    });
    ApplyRights();
    cbKopieVermerk->setChecked(GetKopieVermerk());
}

TF_Rechnung::~TF_Rechnung() {
    TearDownDocumentList(*this, m_head, m_headSource, m_lineSource);
}

widgets::DataGrid& TF_Rechnung::headGrid() const {
    return m_head->grid();
}

QWidget* TF_Rechnung::buildHeadPage() {
    auto* page = new QWidget;
    GridSatz = new widgets::DataGrid(*m_lineSource, page);
    GridSatz->setObjectName(u"GridSatz"_s);
    GridSatz->setEditTriggers(QAbstractItemView::NoEditTriggers);
    GridSatz->setSelectionBehavior(QAbstractItemView::SelectRows);
    GridSatz->setToolTip(u"Keine Änderungen möglich"_s);
    GridSatz->setColumns({{u"S_PosNr"_s, u"Pos"_s, 6},
                          DocumentKindColumn(u"Art"_s, 9),
                          {u"S_SrcNr"_s, u"Art./Lst-Nr"_s, 10},
                          {u"S_Menge"_s, u"Mge"_s, 7},
                          {u"S_MengBez"_s, u"Einheit"_s, 7},
                          {u"S_Kurztext"_s, u"Kurztext"_s, 28},
                          {u"S_EPreis"_s, u"E-Preis"_s, 9},
                          {u"S_Mwst"_s, u"Mwst %"_s, 6},
                          {u"S_Netto"_s, u"Netto"_s, 10}});
    const QHash<int, QColor> colours = DocumentKindColours();
    GridSatz->gridModel().setRowBrush([this, colours](int row) -> QBrush {
        const auto c = colours.constFind(m_lineSource->rows().value(row, u"S_PosArt"_s).toInt());
        return c == colours.cend() ? QBrush(Qt::NoBrush) : QBrush(*c);
    });
    m_lineText = new widgets::DbRichEdit(*m_lineSource, u"S_Text"_s, page);
    m_lineText->setObjectName(u"S_Text"_s);
    auto* layout = new QHBoxLayout(page);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(GridSatz, 3);
    layout->addWidget(m_lineText, 2);
    return page;
}

QWidget* TF_Rechnung::buildTextsPage() {
    return BuildDocumentTextsPage(
        *m_headSource,
        {u"R_VorspannText"_s, u"R_NachspannText"_s, u"R_KopfText"_s, u"R_FussText"_s}, false, this,
        m_kopfFussCaptions);
}

QWidget* TF_Rechnung::buildAddressPage(int index) {
    const TDocAddressPage p =
        BuildDocumentAddressPage(*m_headSource, index, u"Adress-Nr."_s, this, PopupAdresse);
    m_addressNr[index] = p.number;
    m_addressText[index] = p.text;
    return p.page;
}

void TF_Rechnung::buildButtons() {
    auto button = [this](const QString& caption, const char* name, void (TF_Rechnung::*slot)(),
                         const QString& hint = {}) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        if (!hint.isEmpty())
            b->setToolTip(hint);
        connect(b, &QPushButton::clicked, this, slot);
        return b;
    };
    btnWaehlen = button(u"W&ählen"_s, "btnWaehlen", &TF_Rechnung::btnWaehlenClick,
                        u"Markiermodus ein/aus"_s);
    btnBuchen = button(u"Druc&ken"_s, "btnBuchen", &TF_Rechnung::btnBuchenClick,
                       u"Markierte Rechnungen verbuchen und drucken"_s);
    btnPrint = button(u"Testdr&uck"_s, "btnPrint", &TF_Rechnung::btnPrintClick,
                      u"Probeausdruck der markierten Rechnungen"_s);
    btnDeleteRg = button(u"&Löschen"_s, "btnDeleteRg", &TF_Rechnung::btnDeleteRgClick,
                         u"Markierte Rechnungen löschen"_s);
    sbtnSetDate = button(u"Rg-&Datum"_s, "sbtnSetDate", &TF_Rechnung::sbtnSetDateClick,
                         u"Rechnungsdatum der markierten Rechnungen setzen"_s);
    sbtnZeitraum = button(u"Zei&traum"_s, "sbtnZeitraum", &TF_Rechnung::sbtnZeitraumClick,
                          u"Zeitraumtext der markierten Rechnungen setzen"_s);
    sbtnEditRg = button(u"&Editor"_s, "sbtnEditRg", &TF_Rechnung::sbtnEditRgClick,
                        u"Gewählte Rechnung bearbeiten"_s);
    btnNeu =
        button(u"Neuanla&ge"_s, "btnNeu", &TF_Rechnung::btnNeuClick, u"Neue Rechnung schreiben"_s);
    btnErzeugen = button(u"Er&zeugen"_s, "btnErzeugen", &TF_Rechnung::btnErzeugenClick,
                         u"Dauerrechnungen erzeugen"_s);
    btnRg2OP = button(u"&OP-Überg."_s, "btnRg2OP", &TF_Rechnung::btnRg2OPClick,
                      u"Gedruckte Rechnungen an die OP-Verwaltung übergeben"_s);
    sBtnRAListe = button(u"&RA-Liste"_s, "sBtnRAListe", &TF_Rechnung::sBtnRAListeClick,
                         u"Rechnungsausgangsliste drucken"_s);
    btnListe = button(u"&Liste"_s, "btnListe", &TF_Rechnung::btnListeClick,
                      u"Liste der markierten Rechnungen drucken"_s);
    btnRgv = button(u"RGV"_s, "btnRgv", &TF_Rechnung::btnRgvClick,
                    u"Click: Rechnungsvorlagen einblenden"_s);
    btnInfo = button(u"&?Info?"_s, "btnInfo", nullptr, u"Hilfe zu den Rechnungen"_s);
    connect(btnInfo, &QPushButton::clicked, this, [] { ShowHandbuchPage(u"Rechnungen.html"_s); });
    btnClose = new QPushButton(u"S&chließen"_s, this);
    btnClose->setObjectName(u"btnClose"_s);
    btnClose->setAutoDefault(false);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::accept);
    cbKopieVermerk = new QCheckBox(u"Zweitdruck mit Kopievermerk"_s, this);
    cbKopieVermerk->setObjectName(u"cbKopieVermerk"_s);
    connect(cbKopieVermerk, &QCheckBox::toggled, this, [](bool on) { SetKopieVermerk(on); });
}

void TF_Rechnung::buildMenus() {
    PopupMenu1 = new QMenu(this);
    actVorschau = PopupMenu1->addAction(u"Vorschau"_s, this, &TF_Rechnung::Vorschau);
    actRechplan =
        PopupMenu1->addAction(u"Rechnungsvorschau"_s, this, &TF_Rechnung::Rechnungsvorschau);
    actOpUebergabe = PopupMenu1->addAction(u"OP-Übergabe"_s, this, &TF_Rechnung::OPUebergabe);
    PopupMenu1->addSeparator();
    const std::pair<QString, TInvoiceMarkCommand> commands[] = {
        {u"Alle aus"_s, TInvoiceMarkCommand::AllOff},
        {u"Alle ein"_s, TInvoiceMarkCommand::AllOn},
        {u"manuelle Rechnungen aus"_s, TInvoiceMarkCommand::ManualOff},
        {u"manuelle Rechnungen ein"_s, TInvoiceMarkCommand::ManualOn},
        {u"Dauerrechnungen aus"_s, TInvoiceMarkCommand::RecurringOff},
        {u"Dauerrechnungen ein"_s, TInvoiceMarkCommand::RecurringOn},
    };
    for (const auto& [caption, command] : commands) {
        QAction* a = PopupMenu1->addAction(caption, this, [this, command] {
            run(this, [&] {
                RunInvoiceMarkCommand(m_dm, command);
                refreshHeads();
            });
        });
        markActions.append(a);
        m_head->addMarkModeAction(a);
    }
    headGrid().setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&headGrid(), &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        updateMenu();
        PopupMenu1->popup(headGrid().viewport()->mapToGlobal(at));
    });

    PopupAdresse = new QMenu(this);
    PopupAdresse->addAction(u"Adresseintrag löschen"_s, this, &TF_Rechnung::ClearZusatzAdresse);
}

void TF_Rechnung::updateMenu() {
    const bool marking = m_head->markMode();
    table::Table& h = m_dm.TabRechKopf();
    const bool any = h.isOpen() && !h.isEmpty();
    actVorschau->setVisible(!marking);
    actRechplan->setVisible(!marking);
    actOpUebergabe->setVisible(!marking);
    actVorschau->setEnabled(any);
    actRechplan->setEnabled(HasCreateRight(kRight));
    actOpUebergabe->setEnabled(HasExportRight(kRight) && any && IsInvoiceBooked(h));
}

void TF_Rechnung::ApplyRights() {
    const bool print = HasPrintRight(kRight), edit = HasEditRight(kRight),
               create = HasCreateRight(kRight), remove = HasDeleteRight(kRight),
               exportRight = HasExportRight(kRight);
    btnWaehlen->setVisible(print || remove || exportRight || edit);
    btnBuchen->setVisible(print);
    btnPrint->setVisible(print);
    btnDeleteRg->setVisible(remove);
    sbtnSetDate->setVisible(edit);
    sbtnZeitraum->setVisible(edit);
    sbtnEditRg->setVisible(edit);
    btnNeu->setVisible(create);
    btnErzeugen->setVisible(create);
    btnRg2OP->setVisible(exportRight);
    sBtnRAListe->setVisible(exportRight);
    updateMenu();
}

void TF_Rechnung::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        m_head->sortBy(m_head->sortField());
        headGrid().setFocus();
    }
}

void TF_Rechnung::closeEvent(QCloseEvent* event) {
    m_head->setMarkMode(false);
    QDialog::closeEvent(event);
}

bool TF_Rechnung::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (m_kopfFussCaptions.contains(static_cast<QWidget*>(watched))) {
            ChooseKopfFussText();
            return true;
        }
        for (widgets::DbEdit* nr : m_addressNr)
            if (watched == nr) {
                PickZusatzAdresse();
                return true;
            }
    }
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_W &&
        static_cast<QKeyEvent*>(event)->modifiers() == Qt::AltModifier &&
        m_kopfFussCaptions.contains(static_cast<QWidget*>(watched))) {
        ChooseKopfFussText();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TF_Rechnung::refreshHeads() {
    table::Table& h = m_dm.TabRechKopf();
    const int id = h.isOpen() && !h.isEmpty() ? FieldInt(h, u"R_ID"_s) : 0;
    RefreshUnlessEditing(h);
    if (id != 0)
        LocateInvoice(h, id);
    m_headSource->notifyViewChanged();
    headGrid().followCursor();
    updateMenu();
}

bool TF_Rechnung::beginMarked() {
    return m_head->beginMarkedCommand([] { return CountMarkedInvoicesOrTell(); });
}

void TF_Rechnung::btnWaehlenClick() {
    m_head->setMarkMode(!m_head->markMode());
    headGrid().setFocus();
}

TInvoiceRunHooks TF_Rechnung::runHooks() {
    TInvoiceRunHooks hooks;
    hooks.printInvoice = [this](int id, bool mask, const QString& layout) {
        PrintInvoice(id, mask, false, layout, this);
    };
    hooks.pause = [this](int seconds, bool cancellable) { printPause(seconds, cancellable); };
    hooks.cancelled = [this] { return m_cancel; };
    hooks.showCounter = [this](const QString& text) {
        lbCounter->setText(text);
        lbCounter->show();
        if (text.contains(u"gedruckt"_s))
            PanelPrint->show();
        QCoreApplication::processEvents();
    };
    hooks.showCopy = [this](const QString& text) {
        lbCopy->setText(text);
        QCoreApplication::processEvents();
    };
    return hooks;
}

void TF_Rechnung::printPause(int seconds, bool cancellable) {
    if (seconds <= 0 || m_cancel)
        return;
    btnAbbruch->setEnabled(cancellable);
    m_pauseLeft = seconds;
    lbPause->setText(QString::number(m_pauseLeft));
    PanelPause->show();
    QEventLoop loop;
    QTimer tick;
    tick.setInterval(1000);
    connect(&tick, &QTimer::timeout, &loop, [&] {
        lbPause->setText(QString::number(--m_pauseLeft));
        if (m_pauseLeft <= 0)
            loop.quit();
    });
    QMetaObject::Connection cancel = connect(btnAbbruch, &QPushButton::clicked, &loop, [&] {
        if (cancellable)
            loop.quit();
    });
    tick.start();
    m_pausing = true;
    loop.exec();
    m_pausing = false;
    tick.stop();
    disconnect(cancel);
    PanelPause->hide();
    btnAbbruch->setEnabled(true);
}

void TF_Rechnung::btnBuchenClick() {
    if (!beginMarked())
        return;
    m_cancel = false;
    struct Hide {
        TF_Rechnung& f;
        ~Hide() {
            f.lbCounter->hide();
            f.PanelPrint->hide();
        }
    } hide{*this};
    run(this, [&] { BookAndPrintMarkedInvoices(m_dm, runHooks()); });
    refreshHeads();
}

void TF_Rechnung::btnPrintClick() {
    if (!beginMarked())
        return;
    m_cancel = false;
    GridSatz->commitEdit();
    run(this, [&] { TestPrintMarkedInvoices(m_dm, runHooks()); });
    refreshHeads();
}

void TF_Rechnung::btnDeleteRgClick() {
    if (!beginMarked())
        return;
    run(this, [&] { DeleteMarkedInvoices(m_dm); });
    refreshHeads();
}

void TF_Rechnung::sbtnSetDateClick() {
    if (!beginMarked())
        return;
    TDateTime date = DateTimeOfDate(QDate::currentDate());
    if (!PickDateAt(date, 0, 0))
        return;
    run(this, [&] { SetMarkedInvoicesDate(m_dm, DateOfDateTime(date)); });
    refreshHeads();
}

void TF_Rechnung::sbtnZeitraumClick() {
    if (!beginMarked())
        return;
    QString text;
    if (!run(this, [&] { text = ProposedPeriodText(m_dm.TabRechKopf()); }))
        return;
    QInputDialog box(this);
    box.setWindowTitle(u"Zeitraumtext eingeben"_s);
    box.setLabelText(u"Zeitraumtext"_s);
    box.setTextValue(text);
    box.setObjectName(u"ZeitraumBox"_s);
    if (box.exec() != QDialog::Accepted)
        return;
    run(this, [&] { SetMarkedInvoicesPeriodText(m_dm, box.textValue()); });
    refreshHeads();
}

void TF_Rechnung::sbtnEditRgClick() {
    table::Table& h = m_dm.TabRechKopf();
    if (!h.isOpen() || h.isEmpty()) {
        ShowError(u"Es ist kein Datensatz angewählt! Verwenden Sie bitte\rzur Neuerstellung den "
                  u"Button \"Neuanlage\"."_s);
        return;
    }
    if (!MayMarkInvoice(h))
        return;
    m_head->setMarkMode(false);
    run(this, [&] {
        GridSatz->commitEdit();
        if (m_dm.TabRechSatz().isEditing())
            m_dm.TabRechSatz().post();
        if (h.isEditing())
            h.post();
        const QString nr = FieldText(h, u"R_Nr"_s);
        EditWithInvoiceEffects(h, [&] { ShowRgEditForm(nr); });
    });
    refreshHeads();
}

void TF_Rechnung::btnNeuClick() {
    m_head->setMarkMode(false);
    run(this, [] { ShowRgEditForm(QString()); });
    refreshHeads();
}

void TF_Rechnung::btnErzeugenClick() {
    m_head->setMarkMode(false);
    run(this, [] { RunRecurringBilling(RecurringCreateInvoices); });
    refreshHeads();
}

void TF_Rechnung::btnRg2OPClick() {
    m_head->setMarkMode(false);
    TDateTime limit = DateTimeOfDate(QDate::currentDate());
    const QRect frame = frameGeometry();
    if (!EnterLimitDate(limit, frame.left() + 542, frame.top() + 376, EmptyDate,
                        u"An OP-Verwaltung übergeben bis einschl."_s, QString()))
        return;
    // The shared invoice tables are opened afresh afterwards, also after an error.
    struct Reopen {
        TF_Rechnung& f;
        ~Reopen() {
            widgets::guarded(&f, [&] {
                for (table::Table* t : {&f.m_dm.TabRechSatz(), &f.m_dm.TabRechKopf()})
                    t->close();
                for (table::Table* t : {&f.m_dm.TabRechSatz(), &f.m_dm.TabRechKopf()})
                    t->open();
            });
            f.refreshHeads();
        }
    } reopen{*this};
    run(this, [&] { TransferBookedInvoicesUpTo(m_dm, DateOfDateTime(limit)); });
}

void TF_Rechnung::OPUebergabe() {
    if (m_head->markMode())
        return;
    run(this, [&] { TransferCurrentInvoice(m_dm); });
    refreshHeads();
}

void TF_Rechnung::sBtnRAListeClick() {
    run(this, [&] { RunRaListeButton(this, 3, m_dm.TabRechKopf().indexName()); });
}

void TF_Rechnung::btnListeClick() {
    run(this, [&] {
        const PrintLayout layout = ResolvePrintLayout(
            {PrintVariant::A2, 81000}, WindowPrintFormChoosers(this, &m_head->searchEdit()));
        if (layout.prints())
            PrintFaktList(true, u"Rechnungen"_s, layout.layoutPath(),
                          m_dm.TabRechKopf().indexName(), u"Rechkopf.DB"_s, u"LumoDB"_s, this);
    });
}

void TF_Rechnung::btnRgvClick() {
    run(this, [] {
        ShowRgvListForm();
        // The invoice prints of this window read the invoices again.
        RgPrintSource = RgSourceInvoices;
    });
}

void TF_Rechnung::Vorschau() {
    table::Table& h = m_dm.TabRechKopf();
    if (m_head->markMode() || !h.isOpen() || h.isEmpty())
        return;
    run(this, [&] {
        GridSatz->commitEdit();
        if (m_dm.TabRechSatz().isEditing())
            m_dm.TabRechSatz().post();
        table::Field& formNo = h.field(u"R_PrintFormNo"_s);
        const int id = FieldInt(h, u"R_ID"_s);
        const bool mask = !IsInvoiceBooked(h);
        const PrintLayout layout =
            ResolvePrintLayout({PrintVariant::D, 10000, GetFieldIntOrDefault(&formNo, 0)},
                               WindowPrintFormChoosers(this, nullptr, &formNo));
        if (layout.prints())
            PrintInvoice(id, mask, true, layout.layoutPath(), this);
    });
}

void TF_Rechnung::Rechnungsvorschau() {
    if (m_head->markMode())
        return;
    run(this, [] { ShowRechplanForm(); });
    refreshHeads();
}

void TF_Rechnung::ChooseKopfFussText() {
    table::Table& h = m_dm.TabRechKopf();
    if (!h.isOpen() || h.isEmpty() || !HasEditRight(kRight))
        return;
    run(this, [&] {
        if (ChooseHeadKopfFussText(h))
            m_headSource->notifyRecordChanged();
    });
}

void TF_Rechnung::showAddress(int index) {
    table::Table& h = m_dm.TabRechKopf();
    const int id = h.isOpen() && !h.isEmpty() ? FieldInt(h, DocumentAddressField(index)) : 0;
    m_addressText[index]->setText(DocumentAddressText(id));
}

void TF_Rechnung::PickZusatzAdresse() {
    const int index = PageControl->currentIndex() - 2;
    table::Table& h = m_dm.TabRechKopf();
    if (index < 0 || !h.isOpen() || h.isEmpty() || !HasEditRight(kRight))
        return;
    run(this, [&] {
        QString sort;
        PickAdressIntoField(h.field(DocumentAddressField(index)), true, sort);
        showAddress(index);
    });
}

void TF_Rechnung::ClearZusatzAdresse() {
    const int index = PageControl->currentIndex() - 2;
    table::Table& h = m_dm.TabRechKopf();
    if (index < 0 || !h.isOpen() || h.isEmpty() || !HasEditRight(kRight))
        return;
    run(this, [&] {
        ClearHeadAddress(h, index);
        m_headSource->notifyRecordChanged();
        showAddress(index);
    });
}

void ShowRechnungForm() {
    TDataModule1& dm = DataModule1();
    RgPrintSourceScope source(RgSourceInvoices);
    TimerWorkPause pause(dm);
    OpenRechnungTables(dm, false);
    struct Close {
        TDataModule1& dm;
        ~Close() { CloseRechnungTables(dm); }
    } close{dm};
    TF_Rechnung form(dm, MainForm());
    PlaceBelowMainForm(&form, 0, 0, -32);
    form.exec();
}
