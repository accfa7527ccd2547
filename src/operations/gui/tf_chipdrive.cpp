#include "operations/gui/tf_chipdrive.h"

#include "core/data/dbhelpers.h"
#include "core/files/paths.h"
#include "core/files/programdirs.h"
#include "core/gui/placement.h"
#include "core/messages/messages.h"
#include "core/rights/rights.h"
#include "core/values/calendar.h"
#include "operations/gui/importprogress.h"
#include "operations/gui/tf_zeiterf.h"
#include "operations/timerecordservice.h"
#include "platform/table/table.h"
#include "platform/widgets/userprompts.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using widgets::guarded;

namespace {

QLineEdit* readOnlyEdit(QWidget* parent, const QString& name) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setReadOnly(true);
    e->setFocusPolicy(Qt::NoFocus);
    return e;
}

} // namespace

TF_ChipDrive::TF_ChipDrive(QWidget* parent) : QDialog(parent) {
    setObjectName(u"TF_ChipDrive"_s);
    setWindowTitle(u"Chipdrive-Anbindung"_s);
    auto* layout = new QVBoxLayout(this);

    auto* pathRow = new QHBoxLayout;
    auto* pathLabel = new QLabel(u"Import-Pfad"_s, this);
    m_path = new QLineEdit(this);
    m_path->setObjectName(u"DirectoryEdit1"_s);
    pathLabel->setBuddy(m_path);
    auto* browse = new QToolButton(this);
    browse->setObjectName(u"DirectoryEdit1Button"_s);
    browse->setText(u"…"_s);
    browse->setToolTip(u"Importverzeichnis festlegen"_s);
    connect(browse, &QToolButton::clicked, this, [this] {
        const QString start =
            DirExists(LocalPath(m_path->text())) ? LocalPath(m_path->text()) : ProgramDir;
        const QString dir =
            QFileDialog::getExistingDirectory(this, u"Importverzeichnis festlegen"_s, start);
        if (!dir.isEmpty())
            guarded(this, [&] { chooseImportPath(dir); });
    });
    connect(m_path, &QLineEdit::editingFinished, this, [this] {
        const QString typed = LocalPath(m_path->text().trimmed());
        if (!typed.isEmpty() && AddBackslash(typed) != AddBackslash(ChipDriveImportPath))
            guarded(this, [&] { chooseImportPath(typed); });
    });
    m_invalid = new QLabel(u"Import-Pfad ist ungültig"_s, this);
    m_invalid->setObjectName(u"Label4"_s);
    m_invalid->setStyleSheet(u"color: red;"_s);
    pathRow->addWidget(pathLabel);
    pathRow->addWidget(m_path, 1);
    pathRow->addWidget(browse);
    pathRow->addWidget(m_invalid);
    layout->addLayout(pathRow);

    auto* tariffs = new QGroupBox(this);
    auto* tariffRow = new QHBoxLayout(tariffs);
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(u"Tarif"_s, tariffs), 0, 0);
    grid->addWidget(new QLabel(u"Zeitart"_s, tariffs), 0, 1);
    // The time types' short texts in the order of their records.
    QStringList shortTexts;
    {
        auto types = OpenTempTable(u"LumoDB"_s, u"Zeitart.DB"_s);
        for (types->first(); !types->eof() && !types->isEmpty(); types->next())
            shortTexts << FieldText(*types, u"ZA_Kurztext"_s);
    }
    for (int row = 0; row < 5; ++row) {
        m_names[size_t(row)] = readOnlyEdit(tariffs, u"Edit%1"_s.arg(row + 1));
        auto* box = new QComboBox(tariffs);
        box->setObjectName(u"ComboBox%1"_s.arg(row + 1));
        box->addItems(shortTexts);
        m_types[size_t(row)] = box;
        connect(box, &QComboBox::currentIndexChanged, this,
                [this, row](int index) { chooseTimeType(row, index); });
        grid->addWidget(m_names[size_t(row)], row + 1, 0);
        grid->addWidget(box, row + 1, 1);
    }
    grid->setColumnMinimumWidth(0, 220);
    grid->setRowStretch(6, 1);
    tariffRow->addLayout(grid);
    auto* memo = new QPlainTextEdit(
        u"Ordnen Sie bitte hier die in Chipdrive definierten Tarife den Domvera-Zeitarten zu"_s,
        tariffs);
    memo->setObjectName(u"Memo1"_s);
    memo->setReadOnly(true);
    memo->setFocusPolicy(Qt::NoFocus);
    memo->setMaximumWidth(220);
    memo->setMaximumHeight(m_names[0]->sizeHint().height() * 6);
    tariffRow->addWidget(memo);
    layout->addWidget(tariffs);

    auto* monthRow = new QHBoxLayout;
    m_back = new QToolButton(this);
    m_back->setObjectName(u"ToolbtnBack"_s);
    m_back->setArrowType(Qt::LeftArrow);
    m_forward = new QToolButton(this);
    m_forward->setObjectName(u"ToolBtnForward"_s);
    m_forward->setArrowType(Qt::RightArrow);
    m_monthName = readOnlyEdit(this, u"edMonat"_s);
    m_monthName->setFixedWidth(110);
    m_year = readOnlyEdit(this, u"edJahr"_s);
    m_year->setFixedWidth(60);
    connect(m_back, &QToolButton::clicked, this, [this] { stepMonth(-1); });
    connect(m_forward, &QToolButton::clicked, this, [this] { stepMonth(1); });
    auto* reload = new QPushButton(u"Ext. Daten einlesen"_s, this);
    reload->setObjectName(u"BitBtn2"_s);
    auto* import = new QPushButton(u"Import"_s, this);
    import->setObjectName(u"BitBtn4"_s);
    connect(reload, &QPushButton::clicked, this,
            [this] { guarded(this, [this] { reloadTariffs(); }); });
    connect(import, &QPushButton::clicked, this,
            [this] { guarded(this, [this] { RunImport(); }); });
    monthRow->addWidget(m_back);
    monthRow->addWidget(m_monthName);
    monthRow->addWidget(m_year);
    monthRow->addWidget(m_forward);
    monthRow->addStretch();
    monthRow->addWidget(reload);
    monthRow->addWidget(import);
    layout->addLayout(monthRow);

    m_protocol = new QPlainTextEdit(this);
    m_protocol->setObjectName(u"MemoProtokoll"_s);
    m_protocol->setReadOnly(true);
    m_protocol->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_protocol->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    layout->addWidget(m_protocol, 1);

    auto* buttons = new QHBoxLayout;
    auto* ok = new QPushButton(u"OK"_s, this);
    ok->setObjectName(u"BitBtn1"_s);
    auto* cancel = new QPushButton(u"Abbrechen"_s, this);
    cancel->setObjectName(u"BitBtn3"_s);
    // No default button: Return in the path field takes the path and does
    // not close the dialog.
    for (QPushButton* b : findChildren<QPushButton*>())
        b->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);

    // Without a map of its own the clock's tariffs are read; that tells
    // when the import path is not set yet.
    LoadTariffMap(false);
    fillRows();
    showPathState();
    const QDate today = QDate::currentDate();
    m_month = {today.year(), today.month()};
    showMonth();
    reload->setVisible(HasEditRight(kChipdriveRight));
    import->setVisible(HasCreateRight(kZeiterfRight));
    resize(720, 560);
}

QPushButton* TF_ChipDrive::button(const QString& name) const {
    return findChild<QPushButton*>(name);
}

void TF_ChipDrive::fillRows() {
    m_filling = true;
    const auto done = qScopeGuard([this] { m_filling = false; });
    const QList<TReflistEntry>& map = TariffMap();
    for (int row = 0; row < 5; ++row) {
        const bool entry = row < map.size();
        m_names[size_t(row)]->setText(entry ? map[row].name : QString());
        QComboBox* box = m_types[size_t(row)];
        box->setCurrentIndex(entry ? std::clamp(map[row].timeType - 1, 0, box->count() - 1) : 0);
        box->setEnabled(entry);
    }
}

void TF_ChipDrive::showPathState() {
    const bool exists = !ChipDriveImportPath.isEmpty() && DirExists(ChipDriveImportPath);
    m_path->setText(exists ? AddBackslash(ChipDriveImportPath) : ChipDriveImportPath);
    m_invalid->setVisible(!exists);
}

void TF_ChipDrive::showMonth() {
    m_monthName->setText(GetMonthName(m_month.month));
    m_year->setText(QString::number(m_month.year));
}

void TF_ChipDrive::chooseImportPath(const QString& dir) {
    const QString chosen = AddBackslash(LocalPath(dir));
    ChipDriveImportPath = chosen;
    LoadTariffMap(false);
    // A map file of its own names the path it was kept with; the choice holds.
    ChipDriveImportPath = chosen;
    fillRows();
    SaveTariffMap();
    showPathState();
}

void TF_ChipDrive::reloadTariffs() {
    if (!AskYesNo(u"Möchten Sie die Voreinstellungen aus Chipdrive übernehmen?\r"
                  u"Aktuelle Zeitart-Zuordnungen werden dadurch ungültig!"_s))
        return;
    LoadTariffMap(true);
    fillRows();
}

void TF_ChipDrive::chooseTimeType(int row, int index) {
    if (m_filling || index < 0 || row >= TariffMap().size())
        return;
    TariffMap()[row].timeType = index + 1;
    m_changed = true;
}

void TF_ChipDrive::stepMonth(int months) {
    m_month.step(months);
    showMonth();
}

void TF_ChipDrive::setRunning(bool running) {
    m_running = running;
    for (QWidget* w : std::initializer_list<QWidget*>{button(u"BitBtn1"_s), button(u"BitBtn3"_s),
                                                      button(u"BitBtn2"_s), button(u"BitBtn4"_s),
                                                      m_back, m_forward})
        w->setEnabled(!running);
}

void TF_ChipDrive::RunImport() {
    m_protocol->clear();
    setRunning(true);
    const auto enableAgain = qScopeGuard([this] { setRunning(false); });
    ImportProgressWindow progress(this, u"Mitarbeiter %1 von %2"_s);
    ClockImport run(
        ChipDriveImportPath, m_month.year, m_month.month,
        {progress.progress(), [this](const QString& line) { m_protocol->appendPlainText(line); }});
    if (run.run() != TimeImportResult::Finished)
        m_protocol->appendPlainText(TimeFileImport::kCancelled);
}

void TF_ChipDrive::accept() {
    if (m_running || (m_changed && !SaveTariffMap()))
        return;
    QDialog::accept();
}

void TF_ChipDrive::reject() {
    if (!m_running)
        QDialog::reject();
}

void ShowChipDriveForm(TF_Zeiterf& window) {
    TF_ChipDrive dialog(&window);
    if (const QWidget* main = MainForm()) {
        const QRect frame = main->frameGeometry();
        MoveOnScreen(dialog, frame.left() + 130, frame.bottom() + 1 + 100);
    } else {
        MoveOnScreen(dialog, window.x() + 130, window.y() + 100);
    }
    dialog.exec();
}
