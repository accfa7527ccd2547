#include "datasafety/gui/tf_ftp.h"

#include "core/gui/placement.h"
#include "core/messages/messages.h"
#include "datasafety/backupentries.h"
#include "platform/errors.h"

#include <QApplication>
#include <QCheckBox>
#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

TF_Ftp::PrinterChooser& printerChooser() {
    static TF_Ftp::PrinterChooser chooser;
    return chooser;
}

std::unique_ptr<QPrinter> choosePrinter(QWidget* parent) {
    auto printer = std::make_unique<QPrinter>();
    printer->setDocName(u"Ftp-Transfer"_s);
    QPrintDialog dialog(printer.get(), parent);
    dialog.setWindowTitle(u"Protokoll drucken"_s);
    if (dialog.exec() != QDialog::Accepted)
        return nullptr;
    return printer;
}

// The window stands 100 pixels right of and below the main window's corner.
QPoint placeOf() {
    if (const QWidget* main = MainForm())
        return main->frameGeometry().topLeft() + QPoint(100, 100);
    return {150, 150};
}

} // namespace

void TF_Ftp::setPrinterChooser(PrinterChooser chooser) {
    printerChooser() = std::move(chooser);
}

TF_Ftp::TF_Ftp(Mode mode, QWidget* parent, const FtpSettingsRecord& settings)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), m_mode(mode),
      m_transfer(std::make_unique<FtpVaultTransfer>(static_cast<FtpObserver&>(*this), settings)) {
    setObjectName(u"F_Ftp"_s);
    setWindowTitle(u"Ftp-Transfer"_s);

    lbState = new QLabel(this);
    lbState->setObjectName(u"lbState"_s);
    QFont bold = lbState->font();
    bold.setBold(true);
    lbState->setFont(bold);
    QPalette red = lbState->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    lbState->setPalette(red);

    StringGrid1 = new QTableWidget(0, 3, this);
    StringGrid1->setObjectName(u"StringGrid1"_s);
    StringGrid1->setHorizontalHeaderLabels({u"Dateiname"_s, u"Kommentar"_s, u"Wahl"_s});
    StringGrid1->verticalHeader()->hide();
    StringGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    StringGrid1->setWordWrap(false);
    StringGrid1->verticalHeader()->setDefaultSectionSize(StringGrid1->fontMetrics().height() + 6);
    // The names are 20 characters: wider than the designed 124 pixels.
    StringGrid1->setColumnWidth(
        0, qMax(124, StringGrid1->fontMetrics().horizontalAdvance(u"FB08.12.2026v000.CCB"_s) + 16));
    StringGrid1->setColumnWidth(1, 313);
    StringGrid1->setColumnWidth(2, 51);
    // The comment takes what the window gives; the grid never scrolls sideways.
    StringGrid1->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    StringGrid1->setMinimumWidth(StringGrid1->columnWidth(0) + 313 + 51 + 24);

    auto* protocolCaption = new QLabel(u"Protokoll"_s, this);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(u"Memo1"_s);
    Memo1->setReadOnly(true);
    cbDelete = new QCheckBox(u"Dateien nach Download vom Server löschen"_s, this);
    cbDelete->setObjectName(u"cbDelete"_s);
    cbDelete->setVisible(mode == Mode::Download);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(u"ProgressBar1"_s);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setRange(0, 1000);
    ProgressBar1->setValue(0);

    btnStart = new QPushButton(u"Start"_s, this);
    btnStart->setObjectName(u"btnStart"_s);
    btnStart->setDefault(true);
    btnAbort = new QPushButton(u"Abbruch"_s, this);
    btnAbort->setObjectName(u"btnAbort"_s);
    btnPrint = new QPushButton(u"Drucken"_s, this);
    btnPrint->setObjectName(u"btnPrint"_s);
    btnStart->setEnabled(false);
    btnAbort->setEnabled(false);
    btnPrint->setEnabled(false);
    lbStatus = new QLabel(this);
    lbStatus->setObjectName(u"lbStatus"_s);
    lbStatus->setFrameShape(QFrame::StyledPanel);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cbDelete);
    buttons->addStretch(1);
    buttons->addWidget(btnPrint);
    buttons->addWidget(btnAbort);
    buttons->addWidget(btnStart);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lbState);
    layout->addWidget(StringGrid1, 3);
    layout->addWidget(protocolCaption);
    layout->addWidget(Memo1, 2);
    layout->addWidget(ProgressBar1);
    layout->addLayout(buttons);
    layout->addWidget(lbStatus);
    resize(qMax(560, StringGrid1->minimumWidth() + 24), 500);
    move(placeOf());

    connect(btnStart, &QPushButton::clicked, this, [this] { guarded([this] { startClicked(); }); });
    connect(btnAbort, &QPushButton::clicked, this, [this] { guarded([this] { abortClicked(); }); });
    connect(btnPrint, &QPushButton::clicked, this, [this] { guarded([this] { printClicked(); }); });
    connect(StringGrid1, &QTableWidget::cellClicked, this, [this](int row) {
        if (m_waiting && !m_running)
            m_transfer->toggleChoice(row);
    });
}

TF_Ftp::~TF_Ftp() = default;

bool TF_Ftp::prepareUpload(const QString& archivePath) {
    return m_transfer->prepareUpload(archivePath);
}

void TF_Ftp::setKinds(const QString& ext, const QString& ext2) {
    m_ext = ext;
    m_ext2 = ext2;
}

QString TF_Ftp::firstFetched() const {
    return m_transfer->firstFetched();
}

void TF_Ftp::guarded(const std::function<void()>& action) {
    try {
        action();
    } catch (const Abort&) {
    } catch (const DbError& error) {
        m_running = false;
        ShowError(error.message());
        finished();
    }
}

void TF_Ftp::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_started)
        return;
    m_started = true;
    // Once the window is on screen, so that the run is seen.
    QTimer::singleShot(0, this, [this] { guarded([this] { firstStep(); }); });
}

void TF_Ftp::firstStep() {
    Memo1->clear();
    btnPrint->setEnabled(false);
    btnStart->setEnabled(false);
    btnAbort->setEnabled(true);
    m_running = true;
    switch (m_mode) {
    case Mode::Upload:
        m_succeeded = m_transfer->runUpload();
        m_running = false;
        finished();
        return;
    case Mode::Download:
    case Mode::CleanUp: {
        const int rows = m_mode == Mode::Download ? m_transfer->listDownloads(m_ext, m_ext2)
                                                  : m_transfer->listVault();
        m_running = false;
        lbStatus->clear(); // the listing closed its connection
        if (rows == 0 || m_transfer->aborted()) {
            finished();
            return;
        }
        m_waiting = true;
        btnStart->setEnabled(true);
        btnAbort->setEnabled(true);
        StringGrid1->setFocus();
        return;
    }
    }
}

void TF_Ftp::startClicked() {
    if (m_done || !m_waiting) {
        if (!m_running)
            accept();
        return;
    }
    const bool anyMarked = std::any_of(m_transfer->rows().begin(), m_transfer->rows().end(),
                                       [](const FtpRow& row) { return row.choice == u"Ja"; });
    if (m_mode == Mode::CleanUp && anyMarked &&
        !AskYesNo(u"Sollen die markierten Sicherungen im Tresor gelöscht werden?"_s))
        return;
    if (!anyMarked) {
        // The engine names what is missing; the list stays for marking.
        if (m_mode == Mode::Download)
            m_transfer->runDownload(cbDelete->isChecked());
        else
            m_transfer->deleteMarked();
        return;
    }
    m_waiting = false;
    m_running = true;
    btnStart->setEnabled(false);
    btnAbort->setEnabled(true);
    cbDelete->setEnabled(false);
    m_succeeded = m_mode == Mode::Download ? m_transfer->runDownload(cbDelete->isChecked())
                                           : m_transfer->deleteMarked();
    m_running = false;
    finished();
}

void TF_Ftp::abortClicked() {
    m_transfer->abort();
    if (!m_running) {
        // Waiting for marks: only closing remains.
        m_waiting = false;
        finished();
    }
}

void TF_Ftp::finished() {
    m_done = true;
    m_waiting = false;
    btnStart->setText(u"Schließen"_s);
    btnStart->setEnabled(true);
    btnStart->setFocus();
    btnAbort->setEnabled(false);
    btnPrint->setEnabled(true);
    cbDelete->setEnabled(false);
    ProgressBar1->setValue(0);
    // Every run ends with the connection closed.
    lbStatus->clear();
}

void TF_Ftp::printClicked() {
    const PrinterChooser& chooser = printerChooser();
    std::unique_ptr<QPrinter> printer = chooser ? chooser(this) : choosePrinter(this);
    if (!printer)
        return;
    Memo1->print(printer.get());
}

void TF_Ftp::reject() {
    // The window closes once its run is over; a running transfer is
    // stopped with "Abbruch" first.
    if (m_running)
        return;
    if (m_waiting)
        m_transfer->abort();
    QDialog::reject();
}

void TF_Ftp::rowsChanged() {
    const QList<FtpRow>& rows = m_transfer->rows();
    StringGrid1->setRowCount(int(rows.size()));
    for (int row = 0; row < rows.size(); ++row)
        rowChanged(row);
}

void TF_Ftp::rowChanged(int row) {
    const QList<FtpRow>& rows = m_transfer->rows();
    if (row < 0 || row >= rows.size())
        return;
    if (row >= StringGrid1->rowCount())
        StringGrid1->setRowCount(row + 1);
    const QStringList cells{rows.at(row).name, rows.at(row).comment, rows.at(row).choice};
    for (int column = 0; column < 3; ++column) {
        QTableWidgetItem* item = StringGrid1->item(row, column);
        if (!item) {
            item = new QTableWidgetItem;
            StringGrid1->setItem(row, column, item);
        }
        item->setText(cells.at(column));
    }
}

void TF_Ftp::selectRow(int row) {
    if (row >= 0 && row < StringGrid1->rowCount())
        StringGrid1->selectRow(row);
}

void TF_Ftp::protocol(const QString& line) {
    Memo1->appendPlainText(line);
}

void TF_Ftp::stateLine(const QString& text) {
    lbState->setText(text);
}

void TF_Ftp::statusText(const QString& text) {
    lbStatus->setText(text);
    // "Abbruch" rests while the connection is being made and while it is
    // open; a failed connection gives it back.
    if (text.startsWith(u"Verbinde"_s) || text == u"Verbunden")
        btnAbort->setEnabled(false);
    else if (text.isEmpty() && m_running)
        btnAbort->setEnabled(true);
}

void TF_Ftp::progressMaximum(qint64 value) {
    m_maximum = value;
    ProgressBar1->setValue(0);
}

void TF_Ftp::progress(qint64 value) {
    ProgressBar1->setValue(m_maximum > 0 ? int(qMin<qint64>(value, m_maximum) * 1000 / m_maximum)
                                         : 0);
}

void InstallVaultWindows() {
    DataSafetyWindows& windows = DataSafetyWindowsRegistry();
    windows.ftpUpload = [](const QString& archivePath) {
        TF_Ftp form(TF_Ftp::Mode::Upload, MainForm());
        if (!form.prepareUpload(archivePath))
            return false;
        form.exec();
        return form.succeeded();
    };
    windows.ftpDownload = [](const QString& ext, const QString& ext2, QString& name) {
        TF_Ftp form(TF_Ftp::Mode::Download, MainForm());
        form.setKinds(ext, ext2);
        form.exec();
        name = form.firstFetched();
        return !name.isEmpty();
    };
    windows.ftpCleanUp = [] {
        TF_Ftp form(TF_Ftp::Mode::CleanUp, MainForm());
        form.exec();
    };
}
