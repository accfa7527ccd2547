#include "masterdata/gui/tf_mailing.h"

#include "core/files/filedialogfilter.h"
#include "core/files/programdirs.h"
#include "core/gui/placement.h"
#include "core/messages/messages.h"
#include "core/messages/syslog.h"
#include "masterdata/gui/tf_defmail.h"
#include "masterdata/mailing.h"
#include "masterdata/mailsettings.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>
#include <QStringDecoder>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

const QString kAttachmentFilter =
    u"Textdateien (*.txt)|*.txt|Programme (*.exe)|*.exe|Word-Dokumente (*.doc|*.doc|"
    u"Excel-Dokumente (*.xls|*.xls|Bitmaps (*.bmp|*.bmp|Bilder (*.jpg|*.jpg|"
    u"Datensicherungen (*.CC3|*.CC3|Alle Dateien (*.*)|*.*"_s;

QLineEdit* displayField(QWidget* owner, const QString& name) {
    auto* edit = new QLineEdit(owner);
    edit->setObjectName(name);
    edit->setReadOnly(true);
    edit->setFocusPolicy(Qt::NoFocus);
    return edit;
}

QPushButton* button(QWidget* owner, const QString& name, const QString& caption) {
    auto* b = new QPushButton(caption, owner);
    b->setObjectName(name);
    return b;
}

// Text files of this program are Windows-1252 unless they say they are UTF-8.
QString readTextFile(const QString& path, bool& ok) {
    QFile file(path);
    ok = file.open(QIODevice::ReadOnly);
    if (!ok)
        return {};
    const QByteArray bytes = file.readAll();
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) {
        QStringDecoder ansi("windows-1252");
        text = ansi.decode(bytes);
    }
    return text;
}

} // namespace

TF_Mailing::TF_Mailing(QWidget* parent) : QDialog(parent) {
    setObjectName(u"F_Mailing"_s);
    setWindowTitle(u"Mailing versenden"_s);

    Edit3 = new QLineEdit(this);
    Edit3->setObjectName(u"Edit3"_s);
    EditAnrede = new QLineEdit(this);
    EditAnrede->setObjectName(u"EditAnrede"_s);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(u"Edit1"_s);
    Edit2 = displayField(this, u"Edit2"_s);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(u"Memo1"_s);
    Memo2 = new QPlainTextEdit(this);
    Memo2->setObjectName(u"Memo2"_s);
    Memo2->setReadOnly(true);
    btnAnhaenge = button(this, u"btnAnhaenge"_s, u"A&nhänge"_s);
    btnMailtext = button(this, u"btnMailtext"_s, u"&Mailtext"_s);
    btnEinrichten = button(this, u"btnEinrichten"_s, u"Mailversand &einrichten"_s);
    btnSenden = button(this, u"btnSenden"_s, u"&Senden"_s);
    btnClose = button(this, u"btnClose"_s, u"S&chließen"_s);

    auto* message = new QGridLayout;
    message->addWidget(new QLabel(u"&Betreff:"_s, this), 0, 0);
    message->addWidget(Edit3, 0, 1, 1, 2);
    message->addWidget(new QLabel(u"Anrede (&An: ):"_s, this), 1, 0);
    message->addWidget(EditAnrede, 1, 1, 1, 2);
    message->addWidget(new QLabel(u"Anhänge:"_s, this), 2, 0);
    message->addWidget(Edit1, 2, 1);
    message->addWidget(btnAnhaenge, 2, 2);
    message->addWidget(new QLabel(u"Textdatei:"_s, this), 3, 0);
    message->addWidget(Edit2, 3, 1);
    message->addWidget(btnMailtext, 3, 2);
    message->addWidget(Memo1, 4, 0, 1, 3);
    static_cast<QLabel*>(message->itemAtPosition(0, 0)->widget())->setBuddy(Edit3);
    static_cast<QLabel*>(message->itemAtPosition(1, 0)->widget())->setBuddy(EditAnrede);

    auto* access = new QGroupBox(u"Mail-Zugang"_s, this);
    edHost = displayField(access, u"edHost"_s);
    edSender = displayField(access, u"edSender"_s);
    edSenderName = displayField(access, u"edSenderName"_s);
    edUser = displayField(access, u"edUser"_s);
    edPassword = displayField(access, u"edPassword"_s);
    lbAuth = new QLabel(u"Authentifizierung erforderlich"_s, access);
    lbAuth->setObjectName(u"lbAuth"_s);
    auto* accessFields = new QFormLayout(access);
    accessFields->addRow(u"Mail-Hostname:"_s, edHost);
    accessFields->addRow(u"Absender-Mail:"_s, edSender);
    accessFields->addRow(u"Absender-Name:"_s, edSenderName);
    accessFields->addRow(u"Benutzername:"_s, edUser);
    accessFields->addRow(u"Passwort:"_s, edPassword);
    accessFields->addRow(QString(), lbAuth);
    accessFields->addRow(QString(), btnEinrichten);

    auto* sendList = new QGroupBox(u"Sendeliste"_s, this);
    auto* sendLayout = new QVBoxLayout(sendList);
    sendLayout->addWidget(Memo2);

    auto* right = new QVBoxLayout;
    right->addWidget(access);
    right->addWidget(sendList, 1);
    auto* top = new QHBoxLayout;
    top->addLayout(message, 3);
    top->addLayout(right, 2);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnSenden);
    buttons->addWidget(btnClose);
    statusBar = new QStatusBar(this);
    statusBar->setObjectName(u"StatusBar1"_s);
    statusBar->setSizeGripEnabled(false);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(buttons);
    layout->addWidget(statusBar);

    connect(btnAnhaenge, &QPushButton::clicked, this, [this] { btnAnhaengeClick(); });
    connect(btnMailtext, &QPushButton::clicked, this, [this] { btnMailtextClick(); });
    connect(btnEinrichten, &QPushButton::clicked, this, [this] {
        ShowMailSettings(this);
        ShowSettings();
    });
    connect(btnSenden, &QPushButton::clicked, this, [this] { btnSendenClick(); });
    connect(btnClose, &QPushButton::clicked, this, &QDialog::reject);
    resize(900, 560);
}

void TF_Mailing::ShowSettings() {
    LoadMailSettings();
    edHost->setText(MailSettings.host);
    edSender->setText(MailSettings.senderAddress);
    edSenderName->setText(MailSettings.senderName);
    edUser->setText(MailSettings.user);
    edPassword->setText(QString(MailSettings.password.size(), u'*'));
    lbAuth->setVisible(MailSettings.authenticate);
    if (!MailConfigured) {
        ShowError(MailingRefusalText(MailingRefusal::NotConfigured));
        btnEinrichten->setFocus();
    }
}

void TF_Mailing::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The settings are shown once the form is on screen, so that the box
    // about missing settings appears over it.
    if (!m_settingsShownOnce) {
        m_settingsShownOnce = true;
        QMetaObject::invokeMethod(
            this, [this] { ShowSettings(); }, Qt::QueuedConnection);
    }
}

MailingRequest TF_Mailing::request() const {
    MailingRequest r;
    r.subject = Edit3->text();
    r.salutation = EditAnrede->text();
    r.attachmentList = Edit1->text();
    r.body = Memo1->toPlainText();
    return r;
}

void TF_Mailing::ShowMailProgress(qint64 total, qint64 done, const QString& name) {
    statusBar->showMessage(MailProgressText(total, done, name));
}

void TF_Mailing::btnAnhaengeClick() {
    const QStringList filters = QtNameFilters(kAttachmentFilter);
    QFileDialog dialog(this, u"Anhänge auswählen"_s, ProgramDir);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setNameFilters(filters);
    if (filters.size() >= 8)
        dialog.selectNameFilter(filters.at(7));
    if (dialog.exec() != QDialog::Accepted)
        return;
    QString list;
    for (const QString& file : dialog.selectedFiles())
        list += QDir::toNativeSeparators(file) + u',';
    Edit1->setText(list);
}

void TF_Mailing::btnMailtextClick() {
    const QString file = QFileDialog::getOpenFileName(
        this, u"Mailtext laden"_s, ProgramDir, QtFilterString(u"Textdateien (*.txt)|*.txt"_s));
    if (file.isEmpty())
        return;
    bool ok = false;
    const QString text = readTextFile(file, ok);
    if (!ok) {
        ShowError(u"Datei "_s + file + u"\rkann nicht gelesen werden!"_s);
        return;
    }
    Edit2->setText(QDir::toNativeSeparators(file));
    Memo1->setPlainText(text);
}

void TF_Mailing::btnSendenClick() {
    const MailingRequest base = request();
    const MailingRefusal refusal = CheckMailingRequest(base, MailSettings, MailConfigured);
    if (refusal == MailingRefusal::NotConfigured) {
        ShowSettings();
        return;
    }
    if (refusal != MailingRefusal::Ok) {
        ShowError(MailingRefusalText(refusal));
        return;
    }
    MailingRequest r = base;
    r.noteSending = AskYesNo(u"Versand notieren?"_s);
    ShowInfo(u"Wenn Ihre Internet-Verbindung nicht automatisch gestartet\rwird, müssen Sie sie "
             u"jetzt manuell aktivieren!"_s);
    btnSenden->setEnabled(false);

    // The callbacks reach this form only while it exists.
    QPointer<TF_Mailing> self(this);
    MailingObserver observer;
    observer.sendListLine = [self](const QString& line) {
        if (self)
            self->Memo2->appendPlainText(line);
    };
    observer.status = [self](const QString& text) {
        if (self)
            self->statusBar->showMessage(text);
    };
    observer.progress = [self](qint64 total, qint64 done, const QString& name) {
        if (self)
            self->ShowMailProgress(total, done, name);
    };
    observer.processEvents = [] {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };

    const MailingOutcome outcome = RunMailing(MailSettings, r, observer);
    if (!outcome.detail.isEmpty())
        WriteLog(u"Mailing: "_s + outcome.detail);
    switch (outcome.outcome) {
    case SmtpOutcome::ConnectFailed:
        ShowError(u"Verbindungsversuch ist fehlgeschlagen"_s);
        return;
    case SmtpOutcome::SendFailed:
        ShowError(u"Versand konnte nicht durchgeführt werden"_s);
        return;
    case SmtpOutcome::Sent:
        break;
    }
    ShowInfo(u"Nachricht wurde versendet"_s);
    if (!outcome.unnotedAddresses.isEmpty())
        ShowError(
            u"Der Versand konnte für folgende Adressen nicht im Protokoll notiert werden: "_s +
            outcome.unnotedAddresses.join(u", "_s) +
            (outcome.noteError.isEmpty() ? QString() : u"\r"_s + outcome.noteError));
}

void ShowMailing(QWidget* parent) {
    TF_Mailing form(parent ? parent : MainForm());
    form.Edit1->clear();
    form.Edit2->clear();
    form.Memo1->clear();
    form.Memo2->clear();
    if (QWidget* main = MainForm()) {
        // Centred horizontally over the main window, directly below it.
        const QRect frame = main->frameGeometry();
        form.move(frame.left() + (frame.width() - form.width()) / 2, frame.bottom() + 1);
    }
    form.exec();
}
