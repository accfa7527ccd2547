#include "masterdata/gui/cnvadressform.h"

#include "core/data/datamodule.h"
#include "core/data/lookups.h"
#include "core/gui/placement.h"
#include "core/messages/messages.h"
#include "core/settings/programsettings.h"
#include "core/values/numberparsing.h"
#include "masterdata/adressbuild.h"
#include "masterdata/gui/adressform.h"
#include "platform/table/table.h"
#include "platform/widgets/userprompts.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

constexpr int kOffsetColumn = 3;
constexpr int kStatusColumn = 6;

const char16_t* const kExplanation[] = {
    u"Mit diesem Programmteil erzeugen Sie eine neue Adress-Datenbank.",
    u"Anschließend werden in Ihrem System erfasste Adressdaten (Kunden, Objekte,",
    u"Lieferanten, Mitarbeiter, Notdienste) in diese Datenbank übertragen. Sie",
    u"können jedem Datenbereich einen Nummern-Offset zuweisen, der zur vorhandenen",
    u"Nummer addiert oder davon subtrahiert wird, um die neue Nummer in der",
    u"Adressdatenbank zu erzeugen. Dies ist obligatorisch, wenn es bei den",
    u"vorhandenen Nummern Überscheidungen gibt (z. B. Kunden- und Lieferanten-",
    u"Nummer sind identisch). In diesem Falle müssen Sie einer der beiden Daten-",
    u"banken einen Offset zuweisen. Ob sich Überscheidungen ergeben, erkennen",
    u"Sie in der Spalte \"Status\". Die Datenumsetzung kann nur dann erfolgen,",
    u"wenn in allen Statusfeldern der Wert \"OK\" angezeigt wird.",
    u"",
    u"Denken Sie bitte daran, dass Sie alle in Ihrem System installierten Mandanten",
    u"anpassen.",
};

QTableWidgetItem* fixedItem(const QString& text, Qt::Alignment align = Qt::AlignLeft) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled);
    item->setTextAlignment(align | Qt::AlignVCenter);
    return item;
}

// The headings and captions, shaded like the fixed cells of a grid.
QTableWidgetItem* headingItem(const QWidget& grid, const QString& text, Qt::Alignment align) {
    QTableWidgetItem* item = fixedItem(text, align);
    item->setBackground(grid.palette().button());
    QFont bold = grid.font();
    bold.setBold(true);
    item->setFont(bold);
    return item;
}

int cellInt(const QTableWidget& grid, int row, int column) {
    const QTableWidgetItem* item = grid.item(row, column);
    return item ? StrToIntZero(item->text()) : 0;
}

QList<NumberPlanRow> planOf(const QTableWidget& grid) {
    QList<NumberPlanRow> plan;
    for (int r = 1; r < grid.rowCount(); ++r)
        plan << NumberPlanRow{cellInt(grid, r, 1), cellInt(grid, r, 2),
                              cellInt(grid, r, kOffsetColumn)};
    return plan;
}

} // namespace

TF_CnvAdress::TF_CnvAdress(QWidget* parent) : QDialog(parent) {
    setObjectName(u"TF_CnvAdress"_s);
    setWindowTitle(u"Adressendaten erzeugen"_s);
    const QList<AdressSource>& sources = AdressSources();
    m_grid = new QTableWidget(int(sources.size()) + 1, 7, this);
    m_grid->setObjectName(u"TheGrid"_s);
    m_grid->horizontalHeader()->hide();
    m_grid->verticalHeader()->hide();
    m_grid->horizontalHeader()->setDefaultSectionSize(90);
    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_grid->verticalHeader()->setDefaultSectionSize(22);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    const QStringList headings = {u"Kleinste Nr"_s, u"Größte Nr"_s, u"Offset"_s,
                                  u"Kleinste Nr"_s, u"Größte Nr"_s, u"Status"_s};
    m_grid->setItem(0, 0, headingItem(*m_grid, {}, Qt::AlignLeft));
    for (int c = 0; c < headings.size(); ++c)
        m_grid->setItem(0, c + 1,
                        headingItem(*m_grid, headings[c],
                                    c + 1 == kStatusColumn ? Qt::AlignHCenter : Qt::AlignRight));
    const QList<NumberPlanRow> plan = ReadNumberPlan();
    for (int r = 0; r < sources.size(); ++r) {
        m_grid->setItem(r + 1, 0, headingItem(*m_grid, sources[r].caption, Qt::AlignLeft));
        m_grid->setItem(r + 1, 1, fixedItem(QString::number(plan[r].smallest), Qt::AlignRight));
        m_grid->setItem(r + 1, 2, fixedItem(QString::number(plan[r].largest), Qt::AlignRight));
        auto* offset = new QTableWidgetItem(u"0"_s);
        offset->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
        offset->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_grid->setItem(r + 1, kOffsetColumn, offset);
        for (int c = 4; c <= kStatusColumn; ++c)
            m_grid->setItem(r + 1, c,
                            fixedItem({}, c == kStatusColumn ? Qt::AlignHCenter : Qt::AlignRight));
    }
    m_grid->setFixedHeight(m_grid->verticalHeader()->length() + 2 * m_grid->frameWidth());
    m_grid->setMinimumWidth(7 * 90 + 2 * m_grid->frameWidth());
    m_grid->setCurrentCell(1, kOffsetColumn);
    // Only the offsets take the cell cursor; a click or key elsewhere in a row
    // lands on its offset.
    connect(m_grid, &QTableWidget::currentCellChanged, this, [this](int row, int column) {
        if (row >= 1 && column != kOffsetColumn)
            m_grid->setCurrentCell(row, kOffsetColumn);
        else if (row == 0)
            m_grid->setCurrentCell(1, kOffsetColumn);
    });
    connect(m_grid, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (item->column() == kOffsetColumn)
            recomputePlan();
    });

    m_memo = new QPlainTextEdit(this);
    m_memo->setReadOnly(true);
    m_memo->setFont(QFont(u"monospace"_s, font().pointSize()));
    for (const char16_t* line : kExplanation)
        m_memo->appendPlainText(QString::fromUtf16(line));
    m_memo->setMinimumHeight(m_memo->fontMetrics().lineSpacing() * 16);
    m_memo->setMinimumWidth(m_memo->fontMetrics().horizontalAdvance(QString(80, u'0')));

    auto* start = new QPushButton(u"Starten"_s, this);
    m_start = start;
    start->setDefault(true);
    connect(start, &QPushButton::clicked, this,
            [this] { widgets::guarded(this, [this] { btnStartClick(); }); });
    auto* close = new QPushButton(u"S&chließen"_s, this);
    m_close = close;
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(start);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_grid);
    layout->addWidget(m_memo, 1);
    layout->addLayout(buttons);
    recomputePlan();
}

void TF_CnvAdress::recomputePlan() {
    const QList<NumberPlanRow> plan = planOf(*m_grid);
    const QStringList statuses = NumberPlanStatuses(plan);
    const QSignalBlocker quiet(m_grid);
    for (int r = 0; r < plan.size(); ++r) {
        m_grid->item(r + 1, 4)->setText(QString::number(plan[r].shiftedSmallest()));
        m_grid->item(r + 1, 5)->setText(QString::number(plan[r].shiftedLargest()));
        m_grid->item(r + 1, kStatusColumn)->setText(statuses[r]);
        m_grid->item(r + 1, kStatusColumn)
            ->setForeground(statuses[r] == "OK"_L1 ? QColor(Qt::darkGreen) : QColor(Qt::red));
    }
}

void TF_CnvAdress::setBuilding(bool building) {
    m_building = building;
    for (QWidget* w : std::initializer_list<QWidget*>{m_grid, m_start, m_close})
        w->setEnabled(!building);
}

void TF_CnvAdress::reject() {
    if (!m_building)
        QDialog::reject();
}

void TF_CnvAdress::btnStartClick() {
    recomputePlan();
    const QList<NumberPlanRow> plan = planOf(*m_grid);
    if (!NumberPlanIsValid(plan)) {
        ShowError(u"Fehler in der Nummernzuteilung"_s);
        return;
    }
    // The pending events processed during the build must not start a second
    // one or close the form under it.
    struct Busy {
        TF_CnvAdress& form;
        explicit Busy(TF_CnvAdress& f) : form(f) { form.setBuilding(true); }
        ~Busy() { form.setBuilding(false); }
    };
    {
        const Busy busy{*this};
        m_memo->clear();
        QCoreApplication::processEvents();
        m_memo->appendPlainText(u"Konvertiere Mandant "_s + QString::number(MandantNr));
        m_memo->appendPlainText(QString(47, u'='));
        table::Table& adress = DataModule1().TabAdress();
        if (!adress.isOpen())
            adress.open();
        const bool emptyFirst = !adress.isEmpty() && AskYesNo(u"Vorhandene Adressen löschen?"_s);
        AdressBuildObserver observer;
        observer.line = [this](const QString& line) { m_memo->appendPlainText(line); };
        observer.processEvents = [] { QCoreApplication::processEvents(); };
        try {
            BuildAdressBook(plan, emptyFirst, observer);
        } catch (...) {
            // The lines above name addresses that were not kept.
            m_memo->appendPlainText(QString(47, u'='));
            m_memo->appendPlainText(u"Abgebrochen: Das Adressbuch bleibt unverändert."_s);
            OpenAdressTables();
            throw;
        }
        OpenAdressTables();
        m_memo->appendPlainText(QString(47, u'='));
        m_memo->appendPlainText(u"Erstellung der Adressdatenbank beendet"_s);
    }
    ShowInfo(u"Erstellung der Adressdatenbank beendet"_s);
}

void RunCnvAdress() {
    if (CountMasterRecords() == 0)
        return;
    TF_CnvAdress form(MainForm());
    PlaceBelowMainForm(&form, 200, 100, -420);
    form.exec();
}

void RunCnvAdressEntry() {
    OpenAdressTables();
    if (!DataModule1().TabAdress().isEmpty() &&
        !AskYesNo(u"Es existieren bereits Adresseneinträge!\rTrotzdem fortfahren?"_s))
        return;
    RunCnvAdress();
}
