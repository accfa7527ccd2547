#include "datasafety/gui/tf_datsich.h"

#include "core/gui/formstorage.h"
#include "core/gui/placement.h"
#include "core/messages/messages.h"
#include "core/settings/formplacement.h"
#include "datasafety/backupentries.h"
#include "platform/errors.h"

#include <QApplication>
#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {
// The grid repaints at this pace while a run moves the progress bar.
constexpr int kRepaintMs = 40;
} // namespace

TF_Datsich::TF_Datsich(const BackupDialogArgs& args, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_dialog(args, *this) {
    setObjectName(u"F_Datsich"_s);
    setWindowTitle(u"Datensicherung"_s);
    setMinimumSize(700, 450);
    resize(760, 480);

    // The numbers of the grid stand right-aligned in their 12 characters.
    QFont mono(u"Courier New"_s, 9);
    mono.setStyleHint(QFont::TypeWriter);
    mono.setFixedPitch(true);

    auto* fileCaption = new QLabel(u"Sicherungsdatei"_s, this);
    lbFile = new QLabel(this);
    lbFile->setObjectName(u"lbFile"_s);
    lbFile->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* commentCaption = new QLabel(u"Kommentar"_s, this);
    edComment = new QLineEdit(this);
    edComment->setObjectName(u"edComment"_s);
    edComment->setMaxLength(BackupDialog::CommentLength);
    commentCaption->setBuddy(edComment);

    StringGrid1 = new QTableWidget(this);
    StringGrid1->setObjectName(u"StringGrid1"_s);
    StringGrid1->setFont(mono);
    StringGrid1->horizontalHeader()->setFont(mono);
    StringGrid1->verticalHeader()->hide();
    StringGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->setTabKeyNavigation(false);
    StringGrid1->setWordWrap(false);
    StringGrid1->verticalHeader()->setDefaultSectionSize(StringGrid1->fontMetrics().height() + 4);
    StringGrid1->installEventFilter(this);
    edComment->installEventFilter(this);

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(u"ProgressBar1"_s);
    ProgressBar1->setTextVisible(false);
    btnStart = new QPushButton(u"&Starten"_s, this);
    btnStart->setObjectName(u"btnStart"_s);
    btnClose = new QPushButton(u"&Abbrechen"_s, this);
    btnClose->setObjectName(u"btnClose"_s);
    // The progress bar keeps its place while hidden, so the buttons stay put.
    QSizePolicy keep = ProgressBar1->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    ProgressBar1->setSizePolicy(keep);

    auto* top = new QGridLayout;
    top->addWidget(fileCaption, 0, 0);
    top->addWidget(lbFile, 0, 1);
    top->addWidget(commentCaption, 1, 0);
    top->addWidget(edComment, 1, 1);
    top->setColumnStretch(1, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(ProgressBar1, 1);
    bottom->addSpacing(12);
    bottom->addWidget(btnStart);
    bottom->addWidget(btnClose);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(StringGrid1, 1);
    layout->addLayout(bottom);

    connect(btnStart, &QPushButton::clicked, this,
            [this] { guarded([this] { m_dialog.start(); }); });
    connect(btnClose, &QPushButton::clicked, this, &TF_Datsich::closeClicked);
    connect(edComment, &QLineEdit::textEdited, this,
            [this](const QString& text) { m_dialog.setComment(text); });
    connect(StringGrid1, &QTableWidget::cellPressed, this,
            [this](int row, int column) { guarded([&] { m_dialog.pressCell(row, column); }); });
    connect(StringGrid1, &QTableWidget::currentCellChanged, this, [this](int row) {
        if (!m_syncing && row >= 0)
            guarded([&] { m_dialog.selectRow(row); });
    });

    // The size comes from the placement file; the place from the main window.
    auto* storage = new FormStorage(this, kPlacementFile03, u"Datsich"_s);
    storage->restore();
    setColumns();
    stateChanged();
    m_lastRepaint.start();
}

TF_Datsich::~TF_Datsich() = default;

void TF_Datsich::placeBelowMainWindow() {
    QPoint place(x(), y());
    if (const QWidget* main = MainForm())
        place = QPoint(main->frameGeometry().left(), main->frameGeometry().bottom() + 1);
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    if (s) {
        const QRect area = s->availableGeometry();
        const QSize frame = frameGeometry().size() - geometry().size();
        const QSize size(qMin(width(), area.width() - frame.width()),
                         qMin(height(), area.height() - frame.height()));
        resize(size.expandedTo(minimumSize()).boundedTo(area.size() - frame));
        place.setX(qBound(area.left(), place.x(), area.right() - width() - frame.width() + 1));
        place.setY(qBound(area.top(), place.y(), area.bottom() - height() - frame.height() + 1));
    }
    move(place);
}

void TF_Datsich::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_opened)
        return;
    m_opened = true;
    // Once the window is on screen, so that its questions stand over it.
    QTimer::singleShot(0, this, [this] { guarded([this] { m_dialog.open(); }); });
}

void TF_Datsich::guarded(const std::function<void()>& action) {
    try {
        action();
    } catch (const Abort&) {
    } catch (const DbError& error) {
        ShowError(error.message());
    }
    stateChanged();
}

void TF_Datsich::closeClicked() {
    bool closing = false;
    guarded([&] { closing = m_dialog.close(); });
    if (closing)
        QDialog::reject();
}

void TF_Datsich::reject() {
    // Esc and the window's close box act as the close button.
    if (btnClose->isEnabled())
        closeClicked();
}

bool TF_Datsich::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (watched == StringGrid1) {
        // Every key on the grid is the dialog's; Esc still closes.
        if (key->key() == Qt::Key_Escape)
            return false;
        guarded([&] { m_dialog.gridKey(key->key(), key->text()); });
        return true;
    }
    if (watched == edComment) {
        bool taken = false;
        guarded([&] { taken = m_dialog.commentKey(key->key()); });
        return taken;
    }
    return QDialog::eventFilter(watched, event);
}

void TF_Datsich::stateChanged() {
    if (!m_dialog.title().isEmpty())
        setWindowTitle(m_dialog.title());
    lbFile->setText(m_dialog.archiveLabel());
    if (edComment->text() != m_dialog.comment())
        edComment->setText(m_dialog.comment());
    edComment->setEnabled(m_dialog.commentEnabled());
    btnStart->setEnabled(m_dialog.startEnabled());
    btnStart->setText(m_dialog.startCaption());
    btnClose->setText(m_dialog.closeCaption());
    btnClose->setEnabled(m_dialog.closeEnabled());
    StringGrid1->setFocusPolicy(m_dialog.gridTabStop() ? Qt::StrongFocus : Qt::ClickFocus);
    const BackupFocus focus = m_dialog.focus();
    if (focus != m_appliedFocus) {
        m_appliedFocus = focus;
        QWidget* target = focus == BackupFocus::Comment ? static_cast<QWidget*>(edComment)
                          : focus == BackupFocus::Grid  ? static_cast<QWidget*>(StringGrid1)
                          : focus == BackupFocus::Start ? static_cast<QWidget*>(btnStart)
                          : focus == BackupFocus::Close ? static_cast<QWidget*>(btnClose)
                                                        : nullptr;
        if (target && target->isEnabled())
            target->setFocus();
    }
}

void TF_Datsich::setColumns() {
    const QList<BackupColumn> columns = BackupViewColumns(m_dialog.view());
    StringGrid1->setColumnCount(int(columns.size()));
    QStringList headings;
    for (const BackupColumn& column : columns)
        headings.append(column.heading);
    StringGrid1->setHorizontalHeaderLabels(headings);
    QHeaderView* header = StringGrid1->horizontalHeader();
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    for (int i = 0; i < columns.size(); ++i) {
        if (columns.at(i).width == RestWidth) {
            header->setSectionResizeMode(i, QHeaderView::Stretch);
        } else {
            header->setSectionResizeMode(i, QHeaderView::Interactive);
            StringGrid1->setColumnWidth(i, columns.at(i).width);
        }
    }
}

void TF_Datsich::fillRow(int row) {
    const QStringList& cells = m_dialog.rows().at(row);
    for (int column = 0; column < StringGrid1->columnCount(); ++column) {
        QTableWidgetItem* item = StringGrid1->item(row, column);
        if (!item) {
            item = new QTableWidgetItem;
            StringGrid1->setItem(row, column, item);
        }
        item->setText(cells.value(column));
    }
}

void TF_Datsich::rowsReset() {
    m_syncing = true;
    StringGrid1->clearContents();
    setColumns();
    StringGrid1->setRowCount(int(m_dialog.rows().size()));
    for (int row = 0; row < m_dialog.rows().size(); ++row)
        fillRow(row);
    m_syncing = false;
}

void TF_Datsich::rowAdded(int row) {
    m_syncing = true;
    StringGrid1->setRowCount(row + 1);
    fillRow(row);
    // The row being worked on stays in sight.
    StringGrid1->scrollToItem(StringGrid1->item(row, 0));
    m_syncing = false;
    repaintNow(false);
}

void TF_Datsich::cellChanged(int row, int column) {
    if (row >= StringGrid1->rowCount())
        return;
    fillRow(row);
    Q_UNUSED(column);
    repaintNow(false);
}

void TF_Datsich::currentRowChanged(int row) {
    m_syncing = true;
    if (row >= 0 && row < StringGrid1->rowCount()) {
        StringGrid1->setCurrentCell(row, 0);
        StringGrid1->scrollToItem(StringGrid1->item(row, 0));
    }
    m_syncing = false;
}

void TF_Datsich::progressChanged() {
    ProgressBar1->setVisible(m_dialog.progressVisible());
    // The bar counts in permille: byte totals exceed its int range.
    const qint64 span = qMax<qint64>(1, m_dialog.progressMaximum() - m_dialog.progressMinimum());
    ProgressBar1->setRange(0, 1000);
    ProgressBar1->setValue(
        int((m_dialog.progressPosition() - m_dialog.progressMinimum()) * 1000 / span));
    repaintNow(false);
}

void TF_Datsich::repaintNow(bool force) {
    if (!m_dialog.running() && !force)
        return;
    if (!force && m_lastRepaint.elapsed() < kRepaintMs)
        return;
    m_lastRepaint.restart();
    stateChanged();
    QCoreApplication::processEvents();
}

void InstallBackupDialogWindow() {
    DataSafetyWindowsRegistry().backupDialog = [](const BackupDialogArgs& args) {
        TF_Datsich form(args, MainForm());
        form.placeBelowMainWindow();
        form.exec();
    };
}
