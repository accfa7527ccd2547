#include "printing/gui/tf_qformedit.h"

#include "core/data/timerworkpause.h"
#include "core/files/programdirs.h"
#include "core/gui/formstorage.h"
#include "core/gui/mainform.h"
#include "core/messages/manuals.h"
#include "core/messages/messages.h"
#include "core/rights/rights.h"
#include "core/settings/formplacement.h"
#include "datasafety/datasafety.h"
#include "platform/errors.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/dbedit.h"
#include "platform/widgets/rowreader.h"
#include "printing/gui/tf_repgen.h"
#include "printing/printformmanager.h"

#include <QApplication>
#include <QFileDialog>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

// The print forms' right.
constexpr int kRight = 61;

bool allowed(widgets::EditAction action) {
    switch (action) {
    case widgets::EditAction::Edit:
        return HasEditRight(kRight);
    case widgets::EditAction::Insert:
        return HasCreateRight(kRight);
    case widgets::EditAction::Delete:
        return HasDeleteRight(kRight);
    }
    return false;
}

} // namespace

TF_QformEdit::TF_QformEdit(table::Table& system, table::Table& user, QWidget* parent)
    : QDialog(parent), m_system(system), m_user(user),
      m_systemSource(std::make_unique<widgets::DataSource>(system)),
      m_userSource(std::make_unique<widgets::DataSource>(user)) {
    setWindowTitle(u"Druckformulare verwalten"_s);
    m_userSource->setRightsCheck(&allowed);
    // The grid reads its rows apart from the cursor: it follows the form type too.
    m_userSource->rows().setSetup([&system](table::Table& reader) {
        reader.setMaster(&system, {u"Q_FormType"_s}, {u"Q_FormType"_s});
    });
    auto* layout = new QGridLayout(this);

    m_systemGrid = new widgets::DataGrid(*m_systemSource, this);
    m_systemGrid->setColumns({{u"Q_Comment"_s, u"Grundformular"_s, 34}});
    QFont bold = m_systemGrid->font();
    bold.setBold(true);
    m_systemGrid->setFont(bold);
    m_systemGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_systemGrid->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(m_systemGrid, 0, 0, 2, 1);

    m_userGrid = new widgets::DataGrid(*m_userSource, this);
    m_userGrid->setColumns({{u"Q_Comment"_s, u"Benutzerdefinierte Formulare"_s, 40}});
    m_userGrid->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(m_userGrid, 0, 1);

    auto* fileLine = new QHBoxLayout;
    auto* fileLabel = new QLabel(u"Dateiname"_s, this);
    m_fileName = new widgets::DbEdit(*m_userSource, u"Q_Filename"_s, this);
    m_fileName->setAlwaysReadOnly(true);
    m_fileName->setFocusPolicy(Qt::ClickFocus);
    fileLabel->setBuddy(m_fileName);
    fileLine->addWidget(fileLabel);
    fileLine->addWidget(m_fileName, 1);
    layout->addLayout(fileLine, 1, 1);
    layout->setColumnStretch(0, 1);
    layout->setColumnStretch(1, 1);

    buildButtons();
    for (widgets::DataSource* source : {m_systemSource.get(), m_userSource.get()}) {
        connect(source, &widgets::DataSource::recordChanged, this, [this] { updateButtons(); });
        connect(source, &widgets::DataSource::stateChanged, this, [this] { updateButtons(); });
        connect(source, &widgets::DataSource::viewChanged, this, [this] { updateButtons(); });
    }
    m_chooser = [this] {
        return QFileDialog::getExistingDirectory(this, u"Verzeichnis mit Formular-Layouts wählen"_s,
                                                 ProgramDir);
    };
    m_designer = &ShowLayoutDesigner;
    resize(820, 480);
    new FormStorage(this, kPlacementFile01, u"Formedit"_s);
    updateButtons();
}

TF_QformEdit::~TF_QformEdit() {
    // The widgets are bound to the data sources: they go first.
    delete m_systemGrid;
    delete m_userGrid;
    delete m_fileName;
}

void TF_QformEdit::buildButtons() {
    auto* column = new QVBoxLayout;
    const auto add = [this, column](const QString& caption, void (TF_QformEdit::*slot)()) {
        auto* b = new QPushButton(caption, this);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this,
                [this, slot] { run([this, slot] { (this->*slot)(); }); });
        column->addWidget(b);
        m_buttons.append(b);
        return b;
    };
    add(u"&Neu"_s, &TF_QformEdit::NeuClick);
    add(u"&Kopieren"_s, &TF_QformEdit::KopierenClick);
    add(u"&Importieren"_s, &TF_QformEdit::ImportierenClick);
    add(u"&Bearbeiten"_s, &TF_QformEdit::BearbeitenClick);
    add(u"Kopf-Kopie"_s, &TF_QformEdit::KopfKopieClick);
    add(u"&Löschen"_s, &TF_QformEdit::LoeschenClick);
    column->addSpacing(12);
    add(u"Überneh&men"_s, &TF_QformEdit::UebernehmenClick);
    add(u"&Abbrechen"_s, &TF_QformEdit::AbbrechenClick);
    column->addStretch();
    QPushButton* backup = add(u"Formular-Layouts sichern"_s, &TF_QformEdit::SichernClick);
    if (!IsDataSafetyServiceAvailable(DataSafetyService::FileGroupBackup))
        backup->setToolTip(PendingEntryToolTip(u"die Sicherung der Formular-Layouts"_s));
    add(u"&?Info?"_s, &TF_QformEdit::InfoClick);
    auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(f10, &QShortcut::activated, this, [this] { run([this] { UebernehmenClick(); }); });
    auto* altBack = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Backspace), this);
    connect(altBack, &QShortcut::activated, this, [this] { run([this] { AbbrechenClick(); }); });
    static_cast<QGridLayout*>(layout())->addLayout(column, 0, 2, 2, 1);
}

QPushButton* TF_QformEdit::button(const QString& caption) const {
    for (QPushButton* b : m_buttons)
        if (b->text() == caption)
            return b;
    return nullptr;
}

void TF_QformEdit::updateButtons() {
    const bool open = m_user.isOpen() && m_system.isOpen();
    const bool hasType = open && !m_system.isEmpty();
    const bool hasRow = open && (!m_user.isEmpty() || m_user.isEditing());
    const bool hasForm = hasRow && !m_user.isEditing();
    const bool editing = open && m_user.isEditing();
    const auto set = [this](const QString& caption, bool on) {
        if (QPushButton* b = button(caption))
            b->setEnabled(on);
    };
    set(u"&Neu"_s, hasType && HasCreateRight(kRight));
    set(u"&Kopieren"_s, hasForm && HasCreateRight(kRight));
    set(u"&Importieren"_s, open && HasCreateRight(kRight));
    // A new row is posted first and then designed.
    set(u"&Bearbeiten"_s, hasRow && HasEditRight(kRight));
    set(u"Kopf-Kopie"_s, hasForm && HasEditRight(kRight));
    set(u"&Löschen"_s, hasForm && HasDeleteRight(kRight));
    set(u"Überneh&men"_s, editing);
    set(u"&Abbrechen"_s, editing);
    set(u"Formular-Layouts sichern"_s,
        IsDataSafetyServiceAvailable(DataSafetyService::FileGroupBackup));
}

void TF_QformEdit::run(const std::function<void()>& action) {
    try {
        // A description still in the grid's editor belongs to the row.
        m_userGrid->commitEdit();
        action();
    } catch (const Abort&) {
    } catch (const DbError& e) {
        ShowError(e.message());
    } catch (const std::exception& e) {
        ShowError(QString::fromUtf8(e.what()));
    }
    updateButtons();
}

void TF_QformEdit::NeuClick() {
    m_user.append();
    m_userGrid->setFocus();
}

void TF_QformEdit::KopierenClick() {
    CopyUserForm(m_user);
    m_userGrid->setFocus();
}

void TF_QformEdit::ImportierenClick() {
    ImportLayouts(m_chooser);
    m_user.refresh();
    m_userSource->refresh();
}

void TF_QformEdit::BearbeitenClick() {
    if (m_user.isEditing())
        m_user.post();
    if (m_user.isEmpty())
        return;
    const int type = m_user.value(u"Q_FormType"_s).toInt();
    const QString title = m_user.value(u"Q_Comment"_s).toString();
    const QString path = UserFormLayoutPath(m_user);
    {
        TimerWorkPause paused;
        m_designer(type, title, path, x() + 42, y());
    }
    // The keys come back to the manager, also where no window manager
    // hands the activation back.
    activateWindow();
    m_userGrid->setFocus();
}

void TF_QformEdit::KopfKopieClick() {
    HeadCopyUserForm(m_user);
}

void TF_QformEdit::LoeschenClick() {
    DeleteUserForm(m_user);
}

void TF_QformEdit::UebernehmenClick() {
    if (m_user.isEditing())
        m_user.post();
}

void TF_QformEdit::AbbrechenClick() {
    if (m_user.isEditing())
        m_user.cancel();
}

void TF_QformEdit::SichernClick() {
    BackupFormularLayouts();
}

void TF_QformEdit::InfoClick() {
    ShowHandbuchPage(u"druckformulare.html"_s);
}

void TF_QformEdit::done(int result) {
    // An edit left open is saved as leaving the row would save it.
    try {
        m_userGrid->commitEdit();
        if (m_user.isOpen() && m_user.isEditing())
            m_user.post();
    } catch (const Abort&) {
        return;
    } catch (const DbError& e) {
        ShowError(e.message());
        return;
    }
    QDialog::done(result);
}

void ShowQformEditForm(int left, int top) {
    PrintFormCursors cursors = MakePrintFormCursors();
    cursors.system->open();
    cursors.user->open();
    TF_QformEdit form(*cursors.system, *cursors.user, QApplication::activeWindow());
    form.move(left, top);
    form.exec();
}
