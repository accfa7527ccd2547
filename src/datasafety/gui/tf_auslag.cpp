#include "datasafety/gui/tf_auslag.h"

#include "commercial/companysettings.h"
#include "core/data/datamodule.h"
#include "core/data/timerworkpause.h"
#include "core/gui/placement.h"
#include "core/messages/messages.h"
#include "datasafety/autobackup.h"
#include "datasafety/documentarchive/archiveconnection.h"
#include "platform/errors.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

// The backup before or after the move: unasked when the company says so.
void offerBackup(const QString& when) {
    const bool unasked = HasDataModule1() && CompanyFlag(DataModule1(), u"F_AutoSichernAblage"_s);
    OfferAutomaticBackupAsking(
        unasked ? AutoBackupSwitch::Unasked : AutoBackupSwitch::Ask,
        u"Sie sollten %1 der Datenübertragung eine Datensicherung vornehmen!\r"
        "Möchten Sie jetzt die Daten sichern?"_s.arg(when),
        AutoBackupComment(u"Autosicherung %1 Datenauslagerung am "_s.arg(when)));
}

// The hourglass for the time of the move.
struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace

QString AuslagWarningText() {
    return QStringList{u"ACHTUNG!"_s,
                       u"Bevor Sie Daten in die Ablage überstellen, müssen Sie sicherstellen, "
                       "dass keine anderen"_s,
                       u"Arbeitsstationen Ihre Datenbanken  benutzen!"_s,
                       u"Denken Sie bitte daran, VOR UND NACH der Datenübertragung eine "
                       "Datensicherung durchzuführen!"_s}
        .join(u"\n\n"_s);
}

TF_Auslag::TF_Auslag(const ArchiveTables& tables, QWidget* parent)
    : QDialog(parent), m_tables(tables) {
    setObjectName(u"TF_Auslag"_s);
    // A single border and only the system menu.
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setWindowTitle(u"Daten auslagern"_s);

    auto* panel = new QFrame(this);
    panel->setObjectName(u"Panel4"_s);
    panel->setAutoFillBackground(true);
    QPalette red = panel->palette();
    red.setColor(QPalette::Window, Qt::red);
    panel->setPalette(red);
    Label2 = new QLabel(AuslagWarningText(), panel);
    Label2->setObjectName(u"Label2"_s);
    Label2->setAlignment(Qt::AlignCenter);
    Label2->setAutoFillBackground(true);
    QPalette yellow = Label2->palette();
    yellow.setColor(QPalette::Window, Qt::yellow);
    yellow.setColor(QPalette::WindowText, Qt::black);
    Label2->setPalette(yellow);
    QFont font(u"Arial"_s, 10);
    font.setBold(true);
    Label2->setFont(font);
    Label2->setContentsMargins(12, 10, 12, 10);
    auto* panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(6, 6, 6, 6);
    panelLayout->addWidget(Label2);

    btnStart = new QPushButton(u"&Starten"_s, this);
    btnStart->setObjectName(u"btnStart"_s);
    btnCancel = new QPushButton(u"&Abbrechen"_s, this);
    btnCancel->setObjectName(u"btnCancel"_s);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(u"ProgressBar1"_s);
    ProgressBar1->setVisible(false);
    // Keeps its room while hidden, so the form does not change its size.
    QSizePolicy keep = ProgressBar1->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    ProgressBar1->setSizePolicy(keep);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnStart);
    buttons->addWidget(btnCancel);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(panel);
    layout->addLayout(buttons);
    layout->addWidget(ProgressBar1);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(btnStart, &QPushButton::clicked, this, [this] {
        if (m_done)
            accept();
        else
            btnStartClick();
    });
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TF_Auslag::btnStartClick() {
    if (m_running || m_done)
        return;
    m_running = true;
    // Neither a second start nor a cancel while the move runs.
    btnStart->setEnabled(false);
    btnCancel->setEnabled(false);
    try {
        offerBackup(u"vor"_s);
        QApplication::processEvents();
        DocumentMoveResult result;
        moveSelectedDocuments(result);
        btnCancel->setVisible(false);
        ShowInfo(u"Datenauslagerung beendet."_s);
        if (!result.notMoved.isEmpty())
            ShowError(DocumentsNotMovedText(result.notMoved));
        offerBackup(u"nach"_s);
    } catch (const Abort&) {
    } catch (const DbError& e) {
        ShowError(e.message());
    }
    m_running = false;
    becomeClosable();
}

void TF_Auslag::moveSelectedDocuments(DocumentMoveResult& result) {
    // The start button becomes "&Schließen" once the whole run is over,
    // after the second backup offer (btnStartClick).
    struct Repaint {
        ~Repaint() { QApplication::processEvents(); }
    } repaint;
    WaitCursor wait;
    ArchiveConnection connection;
    result = MoveSelectedDocuments(connection, m_tables, [this](int done, int total) {
        if (done == 0) {
            ProgressBar1->setRange(0, total);
            ProgressBar1->setVisible(true);
        }
        ProgressBar1->setValue(done);
        QApplication::processEvents();
    });
}

void TF_Auslag::becomeClosable() {
    m_done = true;
    btnStart->setText(u"&Schließen"_s);
    btnStart->setEnabled(true);
}

void TF_Auslag::reject() {
    if (!m_running)
        QDialog::reject();
}

void TF_Auslag::closeEvent(QCloseEvent* event) {
    // The system menu must not end the form in the middle of the move.
    if (m_running) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void ArchiveDocumentsWindow(const ArchiveTables& tables) {
    TimerWorkPause pause;
    TF_Auslag form(tables, MainForm());
    if (QWidget* main = MainForm())
        form.move(main->x() + 300, main->y() + 200);
    form.exec();
}
