#include "datasafety/gui/tf_path.h"

#include "core/files/paths.h"
#include "core/files/programdirs.h"
#include "core/gui/placement.h"
#include "datasafety/backupentries.h"
#include "datasafety/backuppaths.h"

#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStorageInfo>
#include <QTreeView>
#include <QVBoxLayout>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

// The mounted file systems a backup can go to, by their root paths.
QStringList driveRoots() {
    QStringList roots;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady())
            continue;
        const QString type = QString::fromLatin1(volume.fileSystemType());
        // The kernel's own file systems hold no user directories.
        static const QStringList kSystem = {
            u"proc"_s,        u"sysfs"_s,    u"devpts"_s,     u"cgroup"_s,  u"cgroup2"_s,
            u"devtmpfs"_s,    u"mqueue"_s,   u"securityfs"_s, u"pstore"_s,  u"debugfs"_s,
            u"tracefs"_s,     u"configfs"_s, u"bpf"_s,        u"fusectl"_s, u"hugetlbfs"_s,
            u"binfmt_misc"_s, u"autofs"_s,   u"nsfs"_s};
        if (kSystem.contains(type))
            continue;
        roots.append(AddBackslash(volume.rootPath()));
    }
    roots.sort();
    roots.removeDuplicates();
    return roots;
}

} // namespace

TF_Path::TF_Path(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setObjectName(u"F_Path"_s);
    setWindowTitle(u"Datensicherungspfade einstellen"_s);
    setMinimumSize(460, 380);
    resize(520, 440);

    DriveComboBox = new QComboBox(this);
    DriveComboBox->setObjectName(u"DriveComboBox"_s);
    DriveComboBox->addItems(driveRoots());
    m_model = new QFileSystemModel(this);
    m_model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    m_model->setRootPath(QString());
    DirectoryListBox = new QTreeView(this);
    DirectoryListBox->setObjectName(u"DirectoryListBox"_s);
    DirectoryListBox->setModel(m_model);
    for (int column = 1; column < m_model->columnCount(); ++column)
        DirectoryListBox->hideColumn(column);
    DirectoryListBox->header()->hide();

    auto* backupCaption = new QLabel(u"Laufwerk oder Verzeichnis für die Daten&sicherung"_s, this);
    edBackup = new QLineEdit(BackupDir, this);
    edBackup->setObjectName(u"edBackup"_s);
    backupCaption->setBuddy(edBackup);
    auto* transportCaption =
        new QLabel(u"Laufwerk oder Verzeichnis für den Daten&export/-import"_s, this);
    edTransport = new QLineEdit(TransportDir, this);
    edTransport->setObjectName(u"edTransport"_s);
    edTransport->setMaxLength(80);
    transportCaption->setBuddy(edTransport);

    btnOk = new QPushButton(u"&OK"_s, this);
    btnOk->setObjectName(u"btnOk"_s);
    btnCancel = new QPushButton(u"A&bbruch"_s, this);
    btnCancel->setObjectName(u"btnCancel"_s);
    btnOk->setAutoDefault(false);
    btnCancel->setAutoDefault(false);
    connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    // F10 presses "&OK"; Esc is the dialog's own "A&bbruch".
    auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(f10, &QShortcut::activated, btnOk, &QPushButton::click);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(DriveComboBox);
    layout->addWidget(DirectoryListBox, 1);
    layout->addWidget(backupCaption);
    layout->addWidget(edBackup);
    layout->addWidget(transportCaption);
    layout->addWidget(edTransport);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    layout->addLayout(buttons);

    for (QWidget* w : {static_cast<QWidget*>(edBackup), static_cast<QWidget*>(edTransport),
                       static_cast<QWidget*>(DirectoryListBox)})
        w->installEventFilter(this);
    connect(DriveComboBox, &QComboBox::activated, this,
            [this](int index) { setDrive(DriveComboBox->itemText(index)); });
    connect(DirectoryListBox->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { listChosen(); });
    // The model reads directories in the background: the path is shown
    // again once the levels on its way are there.
    connect(m_model, &QFileSystemModel::directoryLoaded, this, [this](const QString& dir) {
        if (!m_pending.isEmpty() && m_pending.startsWith(dir))
            showPending();
    });

    setTarget(edBackup);
    edBackup->setFocus();
    if (const QScreen* s = screen())
        move(s->availableGeometry().center() - rect().center());
}

TF_Path::~TF_Path() = default;

QString TF_Path::listedDirectory() const {
    const QModelIndex current = DirectoryListBox->currentIndex();
    return current.isValid() ? m_model->filePath(current) : QString();
}

void TF_Path::setTarget(QLineEdit* edit) {
    m_target = edit;
    for (QLineEdit* e : {edBackup, edTransport}) {
        e->setAutoFillBackground(true);
        e->setBackgroundRole(e == edit ? QPalette::ToolTipBase : QPalette::Base);
        QPalette palette = e->palette();
        palette.setColor(QPalette::Base, e == edit ? palette.color(QPalette::ToolTipBase)
                                                   : QPalette().color(QPalette::Base));
        e->setPalette(palette);
    }
    moveListTo(edit->text());
}

void TF_Path::setDrive(const QString& root) {
    const QModelIndex index = m_model->index(root);
    DirectoryListBox->setRootIndex(index);
    // Choosing a drive chooses its root directory.
    DirectoryListBox->setCurrentIndex(index);
}

void TF_Path::moveListTo(const QString& path) {
    const QString local = AddBackslash(LocalPath(path.trimmed()));
    // The drive: the mounted file system with the longest root the path starts with.
    QString drive;
    for (int i = 0; i < DriveComboBox->count(); ++i) {
        const QString root = DriveComboBox->itemText(i);
        if (local.startsWith(root) && root.size() > drive.size())
            drive = root;
    }
    m_moving = true;
    if (!drive.isEmpty()) {
        DriveComboBox->setCurrentText(drive);
        DirectoryListBox->setRootIndex(m_model->index(drive));
    }
    // A directory that does not exist (yet) is not shown.
    m_pending.clear();
    if (QDir(local).exists()) {
        m_pending = QDir::cleanPath(local);
        showPending();
    }
    m_moving = false;
}

void TF_Path::showPending() {
    if (m_pending.isEmpty())
        return;
    const bool moving = std::exchange(m_moving, true);
    const QModelIndex index = m_model->index(m_pending);
    DirectoryListBox->setCurrentIndex(index);
    DirectoryListBox->scrollTo(index, QAbstractItemView::PositionAtCenter);
    m_moving = moving;
}

void TF_Path::listChosen() {
    if (m_moving || !m_target)
        return;
    m_pending.clear();
    const QString dir = listedDirectory();
    if (!dir.isEmpty())
        m_target->setText(AddBackslash(dir));
}

bool TF_Path::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        if (watched == edBackup || watched == edTransport)
            setTarget(static_cast<QLineEdit*>(watched));
        else if (watched == DirectoryListBox && m_target)
            moveListTo(m_target->text());
    } else if (event->type() == QEvent::MouseButtonDblClick &&
               (watched == edBackup || watched == edTransport)) {
        DirectoryListBox->setFocus();
        return true;
    } else if (event->type() == QEvent::KeyPress && watched == DirectoryListBox) {
        // Enter in the list takes its directory as a change of the list does.
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            listChosen();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TF_Path::done(int result) {
    CloseBackupPathForm({edBackup->text(), edTransport->text()}, result == QDialog::Accepted);
    QDialog::done(result);
}

void ShowPathFormWindow() {
    TF_Path form(MainForm());
    form.exec();
}
