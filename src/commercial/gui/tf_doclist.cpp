#include "commercial/gui/tf_doclist.h"

#include "commercial/documents/documentlists.h"
#include "commercial/documents/kopffusstext.h"
#include "commercial/gui/doceditdecl.h"
#include "commercial/gui/doclisthead.h"
#include "commercial/gui/documentpickers.h"
#include "commercial/gui/tf_rechhead.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/timerworkpause.h"
#include "core/gui/formstorage.h"
#include "core/gui/mainform.h"
#include "core/gui/placement.h"
#include "core/messages/manuals.h"
#include "core/messages/messages.h"
#include "core/messages/syslog.h"
#include "core/rights/rights.h"
#include "datasafety/documentarchive/archivewindows.h"
#include "masterdata/gui/detailgridpage.h"
#include "platform/errors.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/dbedit.h"
#include "platform/widgets/dbrichedit.h"
#include "platform/widgets/fieldform.h"
#include "platform/widgets/rowreader.h"
#include "platform/widgets/screenfit.h"
#include "platform/widgets/userprompts.h"
#include "printing/faktlistprint.h"
#include "printing/gui/printbutton.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScopeGuard>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

const QString kWorkingDatabase = u"LumoDB"_s;

// The sort field and the mark mode of each list outlive its window for the
// program run; they are never stored.
QHash<QString, QString>& rememberedSort() {
    static QHash<QString, QString> sort;
    return sort;
}
QHash<QString, bool>& rememberedMarkMode() {
    static QHash<QString, bool> marking;
    return marking;
}

bool run(QWidget* form, const std::function<void()>& command) {
    return widgets::guarded(form, command);
}

QString reasonOf(const std::exception& e) {
    if (const auto* db = dynamic_cast<const DbError*>(&e))
        return db->message();
    return QString::fromLocal8Bit(e.what());
}

// Hourglass while a command works, the normal cursor on every way out.
struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// The tables a list opened, closed again in the opposite order.
class ListTables {
public:
    explicit ListTables(TDataModule1& dm) : m_dm(dm) {}
    ~ListTables() { close(); }
    ListTables(const ListTables&) = delete;
    ListTables& operator=(const ListTables&) = delete;

    // Opens the step's tables; false after the open error was shown and
    // logged under the step's table name.
    bool open(const QStringList& names, const QString& reportedAs) {
        for (const QString& name : names) {
            table::Table& t = m_dm.table(name);
            if (t.isOpen())
                continue;
            try {
                t.open();
                m_opened.push_back(&t);
            } catch (const std::exception& e) {
                const QString tableName = m_dm.table(reportedAs).tableName();
                ShowError(u"Beim Öffnen einer Datei ist ein Fehler aufgetreten!\rMessage: "_s +
                          reasonOf(e) + u'\r' + tableName);
                WriteLog(tableName + u": ERROR OPEN"_s);
                return false;
            }
        }
        return true;
    }
    void close() {
        // Closing reads nothing back: a failure leaves nothing to repair,
        // it is logged and the other tables are closed all the same.
        while (!m_opened.empty()) {
            table::Table* t = m_opened.back();
            m_opened.pop_back();
            try {
                t->close();
            } catch (const std::exception& e) {
                WriteLog(t->tableName() + u": ERROR CLOSE "_s + reasonOf(e));
            }
        }
    }

private:
    TDataModule1& m_dm;
    std::vector<table::Table*> m_opened;
};

bool openListTables(ListTables& tables, const TDocListDecl& decl) {
    if (!tables.open({decl.headTable}, decl.headTable))
        return false;
    return tables.open(decl.lookupTables + QStringList{decl.lineTable}, decl.lineTable);
}

bool mayUse(TDocListRight right, int number) {
    switch (right) {
    case TDocListRight::Always:
        return true;
    case TDocListRight::Print:
        return HasPrintRight(number);
    case TDocListRight::Delete:
        return HasDeleteRight(number);
    case TDocListRight::Export:
        return HasExportRight(number);
    case TDocListRight::Edit:
        return HasEditRight(number);
    case TDocListRight::Create:
        return HasCreateRight(number);
    }
    return false;
}

} // namespace

TF_DocList::TF_DocList(TDocListDecl decl, QWidget* parent)
    : QDialog(parent), m_decl(std::move(decl)) {
    setObjectName(m_decl.formName);
    setWindowTitle(m_decl.caption);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    TDataModule1& dm = DataModule1();
    m_headSource = new widgets::DataSource(dm.table(m_decl.headTable), this);
    m_lineSource = new widgets::DataSource(dm.table(m_decl.lineTable), this);
    FollowSharedMasterRows(*m_lineSource, m_decl.lineTable);
    // The line text may change only with the edit right; nothing else of a
    // line changes here.
    const int right = m_decl.right;
    m_lineSource->setRightsCheck([right](widgets::EditAction a) {
        return a == widgets::EditAction::Edit && HasEditRight(right);
    });

    TDocListHeadDecl headDecl;
    headDecl.gridName = m_decl.headGridName;
    headDecl.columns = m_decl.headColumns;
    headDecl.hiddenWhileMarking = m_decl.hiddenWhileMarking;
    headDecl.widenedWhileMarking = m_decl.widenedWhileMarking;
    headDecl.widenBy = m_decl.widenBy;
    headDecl.setMark = m_decl.setMark ? m_decl.setMark : [](table::Table& head, bool mark) {
        WriteDocumentMark(head, mark);
        return true;
    };
    headDecl.rowBrush = m_decl.headRowBrush;
    m_head = new TDocListHead(std::move(headDecl), *m_headSource, this);
    headGrid().setToolTip(u"Vorschau : Doppelclick"_s);
    connect(m_head, &TDocListHead::headActivated, this, &TF_DocList::Vorschau);
    connect(m_head, &TDocListHead::markModeChanged, this, [this](bool on) {
        rememberedMarkMode().insert(m_decl.formName, on);
        m_actVorschau->setVisible(!on);
        for (QAction* a : std::as_const(m_markActions))
            a->setVisible(on);
    });

    m_headMenu = new QMenu(this);
    m_actVorschau = m_headMenu->addAction(u"Vorschau"_s, this, &TF_DocList::Vorschau);
    for (const TDocListButton& item : m_decl.markMenu) {
        auto runIt = item.run;
        QAction* a = m_headMenu->addAction(item.caption, this, [this, runIt] {
            run(this, [&] { runIt(*this); });
            refreshHeads();
        });
        a->setVisible(false);
        m_markActions.append(a);
    }
    headGrid().setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&headGrid(), &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        if (!m_head->markMode() || !m_markActions.isEmpty())
            m_headMenu->popup(headGrid().viewport()->mapToGlobal(at));
    });
    m_addressMenu = new QMenu(this);
    m_addressMenu->addAction(u"Adresseintrag löschen"_s, this, &TF_DocList::ClearZusatzAdresse);

    buildButtons();

    m_pages = new QTabWidget(this);
    m_pages->setObjectName(u"PageControl1"_s);
    m_pages->addTab(buildLinePage(), u"Positionen"_s);
    if (m_decl.extraPages) {
        m_pages->addTab(buildTextsPage(), u"Zusatztexte"_s);
        for (int i = 0; i < 3; ++i)
            m_pages->addTab(buildAddressPage(i), m_decl.addressTabCaptions.value(i));
    }
    connect(m_pages, &QTabWidget::currentChanged, this, [this](int page) {
        if (page >= 2)
            showAddress(page - 2);
    });
    connect(m_headSource, &widgets::DataSource::recordChanged, this, [this] {
        if (m_pages->currentIndex() >= 2)
            showAddress(m_pages->currentIndex() - 2);
    });

    auto* search = new QHBoxLayout;
    search->addWidget(&m_head->searchLabel());
    search->addWidget(&m_head->searchEdit());
    search->addStretch(1);
    if (m_decl.searchLineWidget)
        search->addWidget(m_decl.searchLineWidget(*this));
    if (!m_decl.headFields.isEmpty()) {
        // Shown, never changed here.
        auto* fields = new widgets::FieldForm(*m_headSource, m_decl.headFields, this);
        fields->setObjectName(u"HeadFields"_s);
        fields->setEnabled(false);
        search->addWidget(fields);
    }

    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->setObjectName(u"Splitter1"_s);
    splitter->addWidget(&headGrid());
    splitter->addWidget(m_pages);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    splitter->setChildrenCollapsible(false);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(4);
    for (QPushButton* b : m_buttons)
        if (b->objectName() != u"btnClose"_s)
            buttons->addWidget(b);
    buttons->addStretch(1);
    buttons->addWidget(button(u"btnClose"_s));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(search);
    layout->addWidget(splitter, 1);
    layout->addLayout(buttons);
    resize(1100, 620);

    auto* storage = new FormStorage(this, m_decl.placementFile, m_decl.placementSection);
    storage->setStoredProperties({u"Splitter1.sizes"_s, u"PageControl1.currentIndex"_s});
    widgets::KeepOnScreen(*this);
    applyRights();
}

TF_DocList::~TF_DocList() {
    TearDownDocumentList(*this, m_head, m_headSource, m_lineSource);
}

widgets::DataGrid& TF_DocList::headGrid() const {
    return m_head->grid();
}

table::Table& TF_DocList::headTable() const {
    return m_headSource->table();
}

table::Table& TF_DocList::lineTable() const {
    return m_lineSource->table();
}

QPushButton* TF_DocList::button(const QString& objectName) const {
    for (QPushButton* b : m_buttons)
        if (b->objectName() == objectName)
            return b;
    return nullptr;
}

QWidget* TF_DocList::buildLinePage() {
    auto* page = new QWidget;
    m_lineGrid = new widgets::DataGrid(*m_lineSource, page);
    m_lineGrid->setObjectName(u"GridSatz"_s);
    m_lineGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_lineGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_lineGrid->setToolTip(u"Keine Änderungen möglich"_s);
    m_lineGrid->setColumns(m_decl.lineColumns);
    const QHash<int, QColor> colours = DocumentKindColours();
    m_lineGrid->gridModel().setRowBrush([this, colours](int row) -> QBrush {
        const auto c = colours.constFind(m_lineSource->rows().value(row, u"S_PosArt"_s).toInt());
        return c == colours.cend() ? QBrush(Qt::NoBrush) : QBrush(*c);
    });
    if (m_decl.lineCellBrush)
        m_lineGrid->gridModel().setCellBrush([this](int row, const QString& field) {
            return m_decl.lineCellBrush(m_lineSource->rows(), row, field);
        });
    auto* text = new widgets::DbRichEdit(*m_lineSource, u"S_Text"_s, page);
    text->setObjectName(u"S_Text"_s);
    auto* layout = new QHBoxLayout(page);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(m_lineGrid, 3);
    layout->addWidget(text, 2);
    return page;
}

QWidget* TF_DocList::buildTextsPage() {
    return BuildDocumentTextsPage(
        *m_headSource,
        {u"R_KopfText"_s, u"R_FussText"_s, u"R_VorspannText"_s, u"R_NachspannText"_s},
        m_decl.kopfFussOnFootText, this, m_kopfFussTargets);
}

QWidget* TF_DocList::buildAddressPage(int index) {
    const TDocAddressPage p =
        BuildDocumentAddressPage(*m_headSource, index, u"AdressNr"_s, this, m_addressMenu);
    m_addressNr[index] = p.number;
    m_addressText[index] = p.text;
    return p.page;
}

void TF_DocList::buildButtons() {
    auto add = [this](const QString& caption, const QString& name, const QString& hint,
                      TDocListRight right, const std::function<void()>& slot) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        b->setToolTip(hint);
        if (const auto own = m_decl.ownCommands.value(name))
            connect(b, &QPushButton::clicked, this, [this, own] {
                run(this, [&] { own(*this); });
                refreshHeads();
            });
        else
            connect(b, &QPushButton::clicked, this, slot);
        m_buttons.append(b);
        m_rightButtons.append(b);
        m_buttonRights.append(right);
        return b;
    };
    const QString noun = m_decl.noun;
    if (m_decl.markedCommands) {
        add(u"W&ählen"_s, u"btnWaehlen"_s, u"Markiermodus ein/aus"_s, TDocListRight::Always,
            [this] { Waehlen(); });
        if (m_decl.print)
            add(u"Druc&ken"_s, u"btnDrucken"_s, u"Markierte %1 drucken"_s.arg(noun),
                TDocListRight::Print, [this] { Drucken(); });
        add(u"&Löschen"_s, u"btnLoeschen"_s, u"Markierte %1 löschen"_s.arg(noun),
            TDocListRight::Delete, [this] { Loeschen(); });
    }
    if (m_decl.archive)
        add(u"Ablage"_s, u"btnAblage"_s, u"Markierte %1 in die Ablage verschieben"_s.arg(noun),
            TDocListRight::Export, [this] { Ablage(); });
    if (m_decl.openEditor) {
        add(u"&Editor"_s, u"btnEditor"_s, m_decl.editHint, TDocListRight::Edit,
            [this] { Editor(); });
        add(u"Neuanla&ge"_s, u"btnNeu"_s, m_decl.newHint, TDocListRight::Create,
            [this] { Neuanlage(); });
    }
    if (!m_decl.listTitle.isEmpty())
        add(u"&Liste"_s, u"btnListe"_s, u"Liste der markierten %1 drucken"_s.arg(noun),
            TDocListRight::Always, [this] { Liste(); });
    for (const TDocListButton& extra : m_decl.extraButtons) {
        auto runIt = extra.run;
        add(extra.caption, extra.objectName, extra.hint, extra.right, [this, runIt] {
            run(this, [&] { runIt(*this); });
            refreshHeads();
        });
    }
    if (!m_decl.helpPage.isEmpty()) {
        const QString page = m_decl.helpPage;
        add(u"&?Info?"_s, u"btnInfo"_s, u"Hilfe zu den %1"_s.arg(noun), TDocListRight::Always,
            [page] { ShowHandbuchPage(page); });
    }
    auto* close = new QPushButton(u"S&chließen"_s, this);
    close->setObjectName(u"btnClose"_s);
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    m_buttons.append(close);
}

void TF_DocList::applyRights() {
    const int n = m_decl.right;
    for (int i = 0; i < m_rightButtons.size(); ++i)
        m_rightButtons[i]->setVisible(mayUse(m_buttonRights[i], n));
    // Marking serves printing, deleting and archiving.
    if (QPushButton* w = button(u"btnWaehlen"_s))
        w->setVisible(HasPrintRight(n) || HasDeleteRight(n) || HasExportRight(n));
}

void TF_DocList::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        m_head->sortBy(rememberedSort().value(m_decl.formName, m_decl.firstSortField));
        m_head->setMarkMode(rememberedMarkMode().value(m_decl.formName, false));
        headGrid().setFocus();
    }
}

void TF_DocList::closeEvent(QCloseEvent* event) {
    m_head->setMarkMode(false);
    if (const QString sorted = m_head->sortField(); !sorted.isEmpty())
        rememberedSort().insert(m_decl.formName, sorted);
    QDialog::closeEvent(event);
}

bool TF_DocList::eventFilter(QObject* watched, QEvent* event) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (m_kopfFussTargets.contains(widget)) {
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
        m_kopfFussTargets.contains(widget)) {
        ChooseKopfFussText();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TF_DocList::refreshHeads() {
    table::Table& h = headTable();
    if (!h.isOpen())
        return;
    const int id = h.isEmpty() ? 0 : FieldInt(h, u"R_ID"_s);
    RefreshUnlessEditing(h);
    if (id != 0)
        h.locate({u"R_ID"_s}, {id});
    m_headSource->notifyViewChanged();
    headGrid().followCursor();
}

bool TF_DocList::beginMarked() {
    int count = 0;
    return beginMarked(count);
}

bool TF_DocList::beginMarked(int& count) {
    const QString table = headTable().tableName();
    const bool any = m_head->beginMarkedCommand([&] {
        count = CountMarkedDocuments(kWorkingDatabase, table);
        if (count == 0)
            ShowInfo(u"Es sind keine Sätze markiert!"_s);
        return count;
    });
    // The mark mode goes off when the command ends, also without marks.
    m_head->setMarkMode(false);
    return any;
}

bool TF_DocList::askMarked(const QString& verb) {
    int count = 0;
    if (!beginMarked(count))
        return false;
    return AskYesNo(
        u"Es sind %1 Einträge markiert.\rMöchten Sie diese %2 wirklich %3?"_s.arg(count).arg(
            m_decl.noun, verb));
}

void TF_DocList::Waehlen() {
    m_head->setMarkMode(!m_head->markMode());
    headGrid().setFocus();
}

void TF_DocList::Drucken() {
    if (!run(this, [&] {
            if (!askMarked(u"drucken"_s))
                return;
            table::Table& h = headTable();
            table::Field& formNo = h.field(u"R_PrintFormNo"_s);
            PrintLayout fallback = ResolvePrintLayout(
                {PrintVariant::D, m_decl.formType, GetFieldIntOrDefault(&formNo, 0)},
                WindowPrintFormChoosers(this, button(u"btnDrucken"_s), &formNo));
            if (!fallback.prints()) {
                if (!m_decl.printWithoutFallback)
                    return;
                fallback = PrintLayout::form(0);
            }
            WaitCursor wait;
            const int type = m_decl.formType;
            const TMarkedRunOutcome outcome = PrintMarkedDocuments(
                h,
                [&](int id, int stored) {
                    if (m_decl.beforePrintOne)
                        m_decl.beforePrintOne(h);
                    m_decl.print(id, false,
                                 DocumentPrintLayout(stored, type, fallback).layoutPath(), this);
                    QCoreApplication::processEvents();
                },
                [] { ShowError(u"Beim Drucken ist ein Fehler aufgetreten!"_s); },
                m_decl.firstPrintDateField, m_decl.afterPrinted);
            refreshHeads();
            ShowInfo(u"Es wurden %1 Datensätze gedruckt."_s.arg(outcome.done));
        }))
        refreshHeads();
}

void TF_DocList::Loeschen() {
    run(this, [&] {
        if (!askMarked(u"löschen"_s))
            return;
        TMarkedRunOutcome outcome;
        if (m_decl.deleteCurrent) {
            table::Table& h = headTable();
            for (const int id : MarkedDocumentIds(h)) {
                if (!h.locate({u"R_ID"_s}, {id}))
                    continue;
                if (m_decl.deleteCurrent(*this))
                    ++outcome.done;
                else if (h.locate({u"R_ID"_s}, {id}))
                    WriteDocumentMark(h, false);
            }
            refreshHeads();
        } else {
            WaitCursor wait;
            outcome = DeleteMarkedDocuments(headTable(), m_decl.beforeDelete);
            refreshHeads();
        }
        if (outcome.failed.isEmpty())
            ShowInfo(DeletedDocumentsText(outcome));
        else
            ShowError(DeletedDocumentsText(outcome));
    });
    refreshHeads();
}

void TF_DocList::Ablage() {
    if (!m_decl.archive)
        return;
    struct Reopen {
        TF_DocList& f;
        ~Reopen() {
            // The archive run may have closed the shared tables; the list
            // needs them open again, also after a failure.
            run(&f, [&] {
                TDataModule1& dm = DataModule1();
                for (const QString& name : QStringList{f.m_decl.headTable} + f.m_decl.lookupTables +
                                               QStringList{f.m_decl.lineTable})
                    if (!dm.table(name).isOpen())
                        dm.table(name).open();
            });
            if (f.m_decl.afterArchive)
                run(&f, [&] { f.m_decl.afterArchive(); });
            f.m_headSource->notifyViewChanged();
            f.refreshHeads();
        }
    };
    if (m_decl.beforeArchive) {
        bool go = false;
        run(this, [&] { go = m_decl.beforeArchive(*this); });
        refreshHeads();
        if (!go)
            return;
    } else if (!beginMarked()) {
        return;
    }
    Reopen reopen{*this};
    if (m_decl.beforeArchiveMove && !run(this, [&] { m_decl.beforeArchiveMove(); }))
        return;
    run(this, [&] { ArchiveDocuments(*m_decl.archive); });
}

void TF_DocList::Liste() {
    run(this, [&] {
        const PrintLayout layout = ResolvePrintLayout(
            {PrintVariant::A2, 81000}, WindowPrintFormChoosers(this, &m_head->searchEdit()));
        if (layout.prints())
            PrintFaktList(true, m_decl.listTitle, layout.layoutPath(), headTable().indexName(),
                          m_decl.listTableName, kWorkingDatabase, this);
    });
}

void TF_DocList::editWith(const QString& nr) {
    m_head->setMarkMode(false);
    run(this, [&] {
        m_lineGrid->commitEdit();
        if (lineTable().isEditing())
            lineTable().post();
        if (headTable().isEditing())
            headTable().post();
        m_decl.openEditor(nr);
    });
    refreshHeads();
}

void TF_DocList::Editor() {
    table::Table& h = headTable();
    if (!h.isOpen() || h.isEmpty()) {
        ShowError(u"Es ist kein Datensatz angewählt! Verwenden Sie bitte\rzur Neuerstellung den "
                  u"Button \"Neuanlage\"."_s);
        return;
    }
    if (m_decl.editRefusal)
        if (const QString refusal = m_decl.editRefusal(h); !refusal.isEmpty()) {
            ShowError(refusal);
            return;
        }
    editWith(FieldText(h, u"R_Nr"_s));
}

void TF_DocList::Neuanlage() {
    editWith(QString());
}

void TF_DocList::Vorschau() {
    printCurrent(true);
}

void TF_DocList::printCurrent(bool preview) {
    table::Table& h = headTable();
    if (m_head->markMode() || !h.isOpen() || h.isEmpty() || !m_decl.print)
        return;
    run(this, [&] {
        m_lineGrid->commitEdit();
        if (lineTable().isEditing())
            lineTable().post();
        table::Field& formNo = h.field(u"R_PrintFormNo"_s);
        if (m_decl.beforePrintOne)
            m_decl.beforePrintOne(h);
        const int id = FieldInt(h, u"R_ID"_s);
        const PrintLayout layout =
            ResolvePrintLayout({PrintVariant::D, m_decl.formType, GetFieldIntOrDefault(&formNo, 0)},
                               WindowPrintFormChoosers(this, nullptr, &formNo));
        if (layout.prints())
            m_decl.print(id, preview, layout.layoutPath(), this);
    });
}

void TF_DocList::ChooseKopfFussText() {
    table::Table& h = headTable();
    if (!h.isOpen() || h.isEmpty() || !HasEditRight(m_decl.right))
        return;
    run(this, [&] {
        if (ChooseHeadKopfFussText(h))
            m_headSource->notifyRecordChanged();
    });
}

void TF_DocList::showAddress(int index) {
    table::Table& h = headTable();
    const int id = h.isOpen() && !h.isEmpty() ? FieldInt(h, DocumentAddressField(index)) : 0;
    m_addressText[index]->setText(DocumentAddressText(id));
}

void TF_DocList::PickZusatzAdresse() {
    const int index = m_pages->currentIndex() - 2;
    table::Table& h = headTable();
    if (index < 0 || !h.isOpen() || h.isEmpty() || !HasEditRight(m_decl.right))
        return;
    run(this, [&] {
        static QString sort;
        PickAdressIntoField(h.field(DocumentAddressField(index)), true, sort);
        m_headSource->notifyRecordChanged();
        showAddress(index);
    });
}

void TF_DocList::ClearZusatzAdresse() {
    const int index = m_pages->currentIndex() - 2;
    table::Table& h = headTable();
    if (index < 0 || !h.isOpen() || h.isEmpty() || !HasEditRight(m_decl.right))
        return;
    run(this, [&] {
        ClearHeadAddress(h, index);
        m_headSource->notifyRecordChanged();
        showAddress(index);
    });
}

void ShowDocumentList(const TDocListDecl& decl) {
    TDataModule1& dm = DataModule1();
    TimerWorkPause pause(dm);
    ListTables tables(dm);
    if (!openListTables(tables, decl))
        return;
    TF_DocList form(decl, MainForm());
    PlaceBelowMainForm(&form, 0, 0, -32);
    form.exec();
}
