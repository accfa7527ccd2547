#include "commercial/gui/tf_calc.h"

#include "commercial/documents/documentediting.h"
#include "commercial/documents/linerules.h"
#include "commercial/documents/offercalc.h"
#include "commercial/documents/offerrules.h"
#include "commercial/documents/positionnumbers.h"
#include "commercial/gui/doceditdecl.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/layoutfiles.h"
#include "core/datagui/gridservices.h"
#include "core/datagui/tf_selform.h"
#include "core/gui/formstorage.h"
#include "core/gui/placement.h"
#include "core/messages/messages.h"
#include "core/values/money.h"
#include "masterdata/dialogs/pickers.h"
#include "masterdata/dialogs/selectrecord.h"
#include "masterdata/dialogs/tf_dbrtf.h"
#include "platform/errors.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/dbnavigator.h"
#include "platform/widgets/dbrichedit.h"
#include "platform/widgets/fieldform.h"
#include "platform/widgets/rowreader.h"
#include "printing/kalkprints.h"

#include <QAbstractButton>
#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using widgets::DbNavigator;
using widgets::FieldKind;

namespace {

const QString kLineTable = u"TabAngSatz"_s;
const QString kIntervalField = u"S_Intervall"_s;

QPointer<TF_Calc>& openForm() {
    static QPointer<TF_Calc> form;
    return form;
}

Qt::KeyboardModifiers plainModifiers(const QKeyEvent* key) {
    return key->modifiers() & ~Qt::KeypadModifier;
}

widgets::GridColumn intervalColumn() {
    widgets::GridColumn column{kIntervalField, u"Intervall"_s, 13, true};
    auto intervals = OpenTempTable(u"LumoDB"_s, u"CalcIV.db"_s);
    for (intervals->first(); !intervals->eof() && !intervals->isEmpty(); intervals->next()) {
        column.values.append(FieldInt(*intervals, u"CI_ID"_s));
        column.items.append(FieldText(*intervals, u"CI_Text"_s));
    }
    return column;
}

// As the head's currency fields beside it show their amounts.
QString moneyText(double amount) {
    static const QLocale german(QLocale::German, QLocale::Germany);
    return german.toString(RoundCents(amount), 'f', 2);
}

widgets::FieldDecl field(const QString& group, const QString& caption, const QString& name,
                         int width, bool readOnly) {
    widgets::FieldDecl d;
    d.group = group;
    d.caption = caption;
    d.field = name;
    d.width = width;
    d.readOnly = readOnly;
    return d;
}

widgets::FieldDecl display(const QString& group, const QString& caption, const QString& name,
                           std::function<QString(table::Table&)> text) {
    widgets::FieldDecl d;
    d.field = name;
    d.group = group;
    d.caption = caption;
    d.kind = FieldKind::Display;
    d.width = 12;
    d.display = std::move(text);
    return d;
}

int headId(table::Table& head) {
    return head.isOpen() && !head.isEmpty() ? FieldInt(head, u"R_ID"_s) : 0;
}

} // namespace

TF_Calc::TF_Calc(int angId, const QString& angNr, QWidget* parent)
    : QDialog(parent), m_angId(angId), m_angNr(angNr), m_head(DataModule1().TabAngKopf()),
      m_lines(DataModule1().TabAngSatz()),
      m_headSource(std::make_unique<widgets::DataSource>(m_head)),
      m_lineSource(std::make_unique<widgets::DataSource>(m_lines)) {
    setObjectName(u"TF_Calc"_s);
    setWindowTitle(u"Angebots-Kalkulationsblatt"_s);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(4);
    buildTop(*layout);

    m_grid = new widgets::DataGrid(*m_lineSource, this);
    m_grid->setObjectName(u"GridCalc"_s);
    m_grid->setColumns({
        {u"S_PosNr"_s, u"Pos."_s, 5},
        DocumentKindColumn(u"Art"_s, 9),
        {u"S_Menge"_s, u"Menge"_s, 6},
        {u"S_MengBez"_s, u"Einheit"_s, 6},
        {u"S_BasisVkpreis"_s, u"Vk-Preis"_s, 8},
        {u"S_BasisPreis"_s, u"Grundpreis"_s, 8},
        {u"S_BasisMinuten"_s, u"Minuten"_s, 6},
        {u"S_Kurztext"_s, u"Kurztext"_s, 16},
        intervalColumn(),
        {u"S_Einsaetze"_s, u"Ausf/Jr"_s, 5, true},
        {u"S_GesamtPreis"_s, u"Jahrespreis"_s, 10, true},
        {u"S_IntervallPreis"_s, u"Ratenbetrag"_s, 10, true},
    });
    QHash<int, QColor> colours = DocumentKindColours();
    colours.remove(5);
    m_grid->gridModel().setRowBrush([this, colours](int row) -> QBrush {
        if (m_textEditing)
            return Qt::NoBrush;
        const QVariant kind = m_lineSource->rows().value(row, u"S_PosArt"_s);
        const auto colour = colours.constFind(kind.toInt());
        return colour == colours.cend() ? QBrush(Qt::NoBrush) : QBrush(*colour);
    });
    SetGridColor(*m_grid, palette().color(QPalette::ToolTipBase));
    m_grid->installEventFilter(this);
    m_grid->viewport()->installEventFilter(this);
    layout->addWidget(m_grid, 1);

    buildHead(*layout);
    buildButtons(*layout);

    // A line's write recomputes the head's sums: the values show them afterwards.
    connect(m_lineSource.get(), &widgets::DataSource::viewChanged, m_headSource.get(),
            &widgets::DataSource::notifyRecordChanged, Qt::QueuedConnection);
    resize(1000, 620);
    setMinimumSize(760, 460);
    auto* storage = new FormStorage(this, kPlacementFile04, u"Kalkulation"_s);
    storage->setStoredProperties({u"GridCalc.Columns"_s});
}

TF_Calc::~TF_Calc() {
    // The widgets are bound to the data sources: they go first.
    qDeleteAll(m_headForms);
    delete m_lineText;
    delete m_grid;
    delete m_navigator;
}

void TF_Calc::buildTop(QVBoxLayout& layout) {
    auto* row = new QHBoxLayout;
    auto readOnly = [this, row](const QString& caption, const QString& text, int chars) {
        auto* label = new QLabel(caption, this);
        auto* edit = new QLineEdit(text, this);
        edit->setReadOnly(true);
        edit->setFocusPolicy(Qt::NoFocus);
        edit->setFixedWidth(fontMetrics().horizontalAdvance(QString(chars, u'0')) + 12);
        label->setBuddy(edit);
        row->addWidget(label);
        row->addWidget(edit);
        return edit;
    };
    m_kalkulation = readOnly(u"Kalkulation"_s, CalcNumberText(m_angId), 9);
    m_angebot = readOnly(u"Angebot"_s, m_angNr, 12);
    row->addSpacing(12);
    m_navigator = new DbNavigator(*m_lineSource, this);
    for (int b = 0; b < DbNavigator::ButtonCount; ++b) {
        const auto which = DbNavigator::Button(b);
        m_navigator->setButtonVisible(
            which, which == DbNavigator::First || which == DbNavigator::Last ||
                       which == DbNavigator::Insert || which == DbNavigator::Delete ||
                       which == DbNavigator::Post || which == DbNavigator::Refresh);
    }
    // The navigator's insert puts the new line before the current one.
    connect(m_navigator->button(DbNavigator::Insert), &QToolButton::pressed, this,
            [] { SetLastLineKey(InsertLineKey); });
    // Once the new line shows, typing starts in its quantity.
    connect(m_navigator->button(DbNavigator::Insert), &QToolButton::clicked, this, [this] {
        QTimer::singleShot(0, this, [this] {
            m_grid->setFocus();
            selectColumn(u"S_Menge"_s);
        });
    });
    row->addWidget(m_navigator);
    row->addSpacing(12);
    auto add = [this, row](const QString& caption, auto slot) {
        auto* b = new QPushButton(caption, this);
        b->setAutoDefault(false);
        b->setFocusPolicy(Qt::NoFocus);
        connect(b, &QPushButton::clicked, this, slot);
        m_buttons.append(b);
        row->addWidget(b);
    };
    add(u"Artikel (F3)"_s, [this] { pickArtikel(); });
    add(u"Leistung (F4)"_s, [this] { pickTaetigkeit(); });
    row->addStretch(1);
    layout.addLayout(row);
}

void TF_Calc::buildHead(QVBoxLayout& layout) {
    auto* row = new QHBoxLayout;
    auto* textColumn = new QVBoxLayout;
    auto* caption = new QLabel(u"Angebotstext hier eingeben"_s, this);
    caption->setObjectName(u"LabelText"_s);
    caption->installEventFilter(this);
    textColumn->addWidget(caption);
    m_lineText = new widgets::DbRichEdit(*m_lineSource, u"S_Text"_s, this);
    m_lineText->setObjectName(u"LineText"_s);
    m_lineText->setCalcField(u"S_EPreis"_s);
    m_lineText->setFocusPolicy(Qt::NoFocus);
    m_lineText->setFixedHeight(fontMetrics().height() * 6 + 12);
    m_lineText->viewport()->installEventFilter(this);
    textColumn->addWidget(m_lineText);
    row->addLayout(textColumn, 1);

    const QString settings = u"Einstellungen"_s;
    const QString year = u"Jahreswerte"_s;
    const QString instalment = u"Intervallwerte"_s;
    auto costs = [](table::Table& head) { return OfferCosts(headId(head)); };
    auto revenue = [](table::Table& head, const char* name) {
        return FieldFloat(head, QLatin1String(name));
    };
    QList<widgets::FieldDecl> fields{
        field(settings, u"Aufschlag"_s, u"R_CalcAufschlag"_s, 8, false),
        field(settings, u"Raten"_s, u"R_CalcRaten"_s, 8, false),
        field(year, u"Erlös"_s, u"R_CalcBetragEinsatz"_s, 12, true),
        display(year, u"Kosten"_s, u"KostenEinsatz"_s,
                [costs](table::Table& h) { return moneyText(costs(h).year); }),
        display(year, u"Gewinn"_s, u"GewinnEinsatz"_s,
                [costs, revenue](table::Table& h) {
                    return moneyText(revenue(h, "R_CalcBetragEinsatz") - costs(h).year);
                }),
        field(year, u"Dauer"_s, u"R_CalczeitEinsatz"_s, 12, true),
        field(instalment, u"Erlös"_s, u"R_CalcBetragInt"_s, 12, true),
        display(instalment, u"Kosten"_s, u"KostenIntervall"_s,
                [costs](table::Table& h) { return moneyText(costs(h).instalment); }),
        display(instalment, u"Gewinn"_s, u"GewinnIntervall"_s,
                [costs, revenue](table::Table& h) {
                    return moneyText(revenue(h, "R_CalcBetragInt") - costs(h).instalment);
                }),
        field(instalment, u"Dauer"_s, u"R_CalczeitInt"_s, 12, true),
    };
    // Each group its own column, side by side.
    for (const QString& group : {settings, year, instalment}) {
        QList<widgets::FieldDecl> ofGroup;
        for (const widgets::FieldDecl& d : fields)
            if (d.group == group)
                ofGroup.append(d);
        auto* form = new widgets::FieldForm(*m_headSource, ofGroup, this);
        m_headForms.append(form);
        row->addWidget(form, 0, Qt::AlignTop);
    }
    layout.addLayout(row);
}

void TF_Calc::buildButtons(QVBoxLayout& layout) {
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    auto add = [this, row](const QString& caption, auto slot) {
        auto* b = new QPushButton(caption, this);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, slot);
        m_buttons.append(b);
        row->addWidget(b);
    };
    add(u"Druc&ken"_s, [this] { print(false); });
    add(u"Vorschau"_s, [this] { print(true); });
    add(u"Rechnen"_s, [this] { recalc(); });
    add(u"&Schließen"_s, [this] { accept(); });
    layout.addLayout(row);
}

QPushButton* TF_Calc::button(const QString& caption) const {
    for (QPushButton* b : m_buttons)
        if (b->text() == caption)
            return b;
    return nullptr;
}

bool TF_Calc::run(const std::function<void()>& command) {
    const bool ran = RunShowingErrors(command);
    m_lineSource->notifyRecordChanged();
    m_headSource->notifyRecordChanged();
    m_grid->followCursor();
    return ran;
}

int TF_Calc::lineKind() const {
    if (!hasLines())
        return 0;
    return FieldInt(m_lines, u"S_PosArt"_s);
}

bool TF_Calc::hasLines() const {
    return DocumentHasLines(m_lines);
}

void TF_Calc::selectColumn(const QString& name) {
    QString field = name;
    if (field.startsWith(kLineTable, Qt::CaseInsensitive))
        field = field.mid(kLineTable.size());
    m_grid->selectField(field);
}

void TF_Calc::pickArtikel() {
    run([&] {
        const int start = CalcArtikelStartId(m_lines);
        const int id = SelectArtikel(start, 0, 400, x() + 40, y() + 80, m_sortField);
        if (id == 0 || id == start)
            return;
        if (!FillCalcLineFromArtikel(m_lines, id))
            ShowError(DbEntryNotFoundText);
    });
    m_grid->setFocus();
}

void TF_Calc::pickTaetigkeit() {
    run([&] {
        const int start = CalcTaetigStartId(m_lines);
        const QString search = hasLines() ? FieldText(m_lines, u"S_Kurztext"_s) : QString();
        const int id = SelectTaetigByID(start, 400, x() + 40, y() + 80, search, m_sortField);
        if (id == 0)
            return;
        if (!FillCalcLineFromTaetigkeit(m_lines, id))
            ShowError(DbEntryNotFoundText);
    });
    m_grid->setFocus();
}

void TF_Calc::pickInterval() {
    run([&] {
        const LookupGrid lookup{
            {{u"Cl_Sort"_s, u"Nr."_s, 5}, {u"CI_Text"_s, u"Ausführungsintervall"_s, 30}}, 0, 460};
        QVariant key = hasLines() ? m_lines.value(kIntervalField) : QVariant();
        QString sort = u"Cl_Sort"_s;
        if (!SelectRecordUnfiltered(lookup, u"CI_ID"_s, key, x() + 20, y(),
                                    u"Ausführungsintervall auswählen"_s, u"LumoDB"_s,
                                    u"CalcIV.db"_s, sort))
            return;
        EnsureEditOrInsert(m_lines);
        m_lines.field(kIntervalField).setValue(key.toInt());
    });
}

void TF_Calc::pickUnit() {
    run([&] {
        const QString current = hasLines() ? FieldText(m_lines, u"S_MengBez"_s) : QString();
        const QString chosen = SelectMengBez(current, 240, 200, 300, {});
        if (chosen.isEmpty() || chosen == current)
            return;
        EnsureEditOrInsert(m_lines);
        m_lines.field(u"S_MengBez"_s).setValue(chosen);
        m_lines.post();
    });
}

void TF_Calc::openLineText() {
    if (m_textEditing || !m_lines.isOpen() || !hasLines())
        return;
    const QString before = m_grid->selectedField();
    const auto triggers = m_grid->editTriggers();
    m_textEditing = true;
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_navigator->setEnabled(false);
    SetGridColor(*m_grid, palette().color(QPalette::Base));
    struct Reset {
        TF_Calc* form;
        QAbstractItemView::EditTriggers triggers;
        ~Reset() {
            form->m_textEditing = false;
            form->m_grid->setEditTriggers(triggers);
            form->m_grid->setSelectionBehavior(QAbstractItemView::SelectItems);
            form->m_navigator->setEnabled(true);
            SetGridColor(*form->m_grid, form->palette().color(QPalette::ToolTipBase));
        }
    } reset{this, triggers};
    run([&] { ShowRtfEditor(this, *m_lineText, u"S_EPreis"_s); });
    m_grid->setFocus();
    selectColumn(before);
}

void TF_Calc::recalc() {
    run([&] {
        m_grid->commitEdit();
        RecalcAngebotPreise(DataModule1());
    });
}

void TF_Calc::postPending() {
    m_grid->commitEdit();
    if (m_lines.isOpen() && m_lines.isEditing())
        m_lines.post();
    if (m_head.isOpen() && m_head.isEditing())
        m_head.post();
}

void TF_Calc::print(bool preview) {
    auto* pressed = qobject_cast<QAbstractButton*>(sender());
    struct Release {
        QAbstractButton* button;
        ~Release() {
            if (button)
                button->setDown(false);
        }
    } release{pressed};
    run([&] {
        postPending();
        const QString title = u"Objekt %1, %2"_s.arg(FieldInt(m_head, u"R_ObjektNr"_s))
                                  .arg(FieldText(m_head, u"R_OMatch"_s));
        const int formId = ChoosePrintForm(39000, 0, x() + 100, y() + 140);
        switch (CalcPrintGroup(formId)) {
        case 39000:
            PrintKalkBlatt(m_angId, title, m_angNr, preview, LayoutFilePath(formId), this);
            break;
        case 39500:
            PrintLeistVerz(m_angId, title, m_angNr, preview, LayoutFilePath(formId), this);
            break;
        default:
            break;
        }
    });
}

bool TF_Calc::runColumnAction(const QString& field) {
    if (field.compare(kIntervalField, Qt::CaseInsensitive) == 0) {
        pickInterval();
        return true;
    }
    if (field.compare(u"S_MengBez"_s, Qt::CaseInsensitive) == 0) {
        pickUnit();
        return true;
    }
    if (field.compare(u"S_Menge"_s, Qt::CaseInsensitive) == 0) {
        if (hasLines() && FieldInt(m_lines, u"S_Origin"_s) == 3)
            pickArtikel();
        else
            pickTaetigkeit();
        return true;
    }
    return false;
}

bool TF_Calc::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_grid && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers mods = plainModifiers(key);
        const bool editing = m_grid->indexWidget(m_grid->currentIndex()) != nullptr;
        if (mods == Qt::NoModifier) {
            // Only Insert puts a new line before the current one.
            SetLastLineKey(key->key() == Qt::Key_Insert ? InsertLineKey : 0);
            if (!editing && key->key() == Qt::Key_F3) {
                pickArtikel();
                return true;
            }
            if (!editing && key->key() == Qt::Key_F4) {
                pickTaetigkeit();
                return true;
            }
        }
        if (mods == Qt::AltModifier && key->key() == Qt::Key_W)
            return runColumnAction(m_grid->selectedField());
        if (mods == Qt::ControlModifier && key->key() == Qt::Key_PageDown) {
            openLineText();
            return true;
        }
    } else if (watched == m_grid->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        const QModelIndex at =
            m_grid->indexAt(static_cast<QMouseEvent*>(event)->position().toPoint());
        if (at.isValid()) {
            m_grid->setCurrentIndex(at);
            if (runColumnAction(m_grid->gridModel().fieldAt(at.column())))
                return true;
        }
    } else if (watched == m_lineText->viewport() || (watched->objectName() == u"LabelText"_s)) {
        // The line text is edited in the rich-text editor only.
        if (event->type() == QEvent::MouseButtonRelease &&
            static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            openLineText();
            return true;
        }
        if (event->type() == QEvent::MouseButtonPress ||
            event->type() == QEvent::MouseButtonDblClick)
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

namespace {

// Below the main window, as tall as the screen leaves there, at most the
// design height.
void placeSheet(QWidget& form) {
    const QWidget* main = MainForm();
    if (!main)
        return;
    PlaceBelowMainForm(&form, 0, 0, -32);
    const QScreen* screen = main->screen();
    if (!screen)
        return;
    const int frame = form.frameGeometry().height() - form.height();
    const int room = screen->availableGeometry().bottom() - form.y() - frame;
    form.resize(form.width(), std::clamp(room, form.minimumHeight(), form.height()));
    MoveOnScreen(form, form.x(), form.y());
}

} // namespace

int ShowCalcForm(int angId, const QString& angNr) {
    TF_Calc form(angId, angNr, MainForm());
    openForm() = &form;
    DocumentFormHooks& hooks = DocumentFormHooksRegistry();
    struct Closing {
        TF_Calc& form;
        std::function<void(const QString&)> previousFocus;
        ~Closing() {
            DocumentFormHooksRegistry().FocusCalcColumn = std::move(previousFocus);
            openForm() = nullptr;
        }
    } closing{form, hooks.FocusCalcColumn};
    hooks.FocusCalcColumn = [&form](const QString& name) { form.selectColumn(name); };

    std::exception_ptr error;
    int result = QDialog::Rejected;
    try {
        RecalcAngebotPreise(DataModule1());
        placeSheet(form);
        result = form.exec();
    } catch (...) {
        error = std::current_exception();
    }
    try {
        form.postPending();
    } catch (...) {
        if (!error)
            error = std::current_exception();
    }
    if (error)
        std::rethrow_exception(error);
    return result;
}

void FocusCalcColumn(const QString& fieldComponentName) {
    if (const auto& hook = DocumentFormHooksRegistry().FocusCalcColumn)
        hook(fieldComponentName);
}

bool CalcFormOpen() {
    return !openForm().isNull();
}
