#include "masterdata/gui/tf_defmail.h"

#include "core/gui/okcancelrow.h"
#include "core/messages/messages.h"
#include "masterdata/mailsettings.h"

#include <QCheckBox>
#include <QEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

QLineEdit* makeEdit(QWidget* owner, const QString& name, int maxLength) {
    auto* edit = new QLineEdit(owner);
    edit->setObjectName(name);
    edit->setMaxLength(maxLength);
    return edit;
}

// The help beside the fields, in the order of helpFields().
const QList<QStringList>& helpTexts() {
    static const QList<QStringList> texts{
        {u"Geben Sie hier die Bezeichnung des Mail-Servers ein."_s,
         u"Dieser Name wird Ihnen von Ihrem Provider mitgeteilt"_s},
        {u"Geben Sie hier die Bezeichnung des Email-Kontos ein,"_s,
         u"das als Absender-Konto angegeben werden soll. Mit"_s,
         u"diesem Kontonamen teilen Sie Empfängern mit, woher"_s,
         u"die Mail kommt und an wenn sie eine Antwort senden können."_s},
        {u"Der Benutzername wurde Ihnen von Ihrem Mailserver-Provider"_s,
         u"mitgeteilt. Geben Sie diese Zugangskennung exakt so ein,"_s,
         u"wie sie Ihnen mitgeteilt wurde."_s},
        {u"Geben Sie hier das Passwort ein, das Sie bei der"_s,
         u"Einrichtung Ihres Email-Kontos verwendet haben."_s},
        {u"Geben Sie hier den Namen ein, der in Ihren Mails als"_s,
         u"Absendername erscheinen soll."_s},
        {u"Markieren Sie dieses Feld, wenn Sie zur Anmeldung"_s,
         u"bei Ihrem Mailserver das erweiterte Smtp-Protokoll"_s,
         u"verwenden müssen (ESmtp). Ob Sie dieses erweiterte"_s,
         u"Protokoll verwenden müssen, erfahren Sie bei Ihrem"_s, u"Mailserver-Provider"_s}};
    return texts;
}

} // namespace

TF_DefMail::TF_DefMail(QWidget* parent) : QDialog(parent) {
    setObjectName(u"F_DefMail"_s);
    setWindowTitle(u"Mail-Zugang einrichten"_s);
    edHost = makeEdit(this, u"edHost"_s, 80);
    edSender = makeEdit(this, u"edSender"_s, 80);
    edUser = makeEdit(this, u"edUser"_s, 80);
    edPassword = makeEdit(this, u"edPassword"_s, 20);
    edPassword->setEchoMode(QLineEdit::Password);
    edPassword->setStyleSheet(u"lineedit-password-character: 42;"_s); // "*"
    edSenderName = makeEdit(this, u"edSenderName"_s, 80);
    cbAuth = new QCheckBox(u"Authentifizierung erforderlich"_s, this);
    cbAuth->setObjectName(u"cbAuth"_s);
    memoHelp = new QPlainTextEdit(this);
    memoHelp->setObjectName(u"memoHelp"_s);
    memoHelp->setReadOnly(true);
    memoHelp->setFocusPolicy(Qt::NoFocus);
    // Wide enough that every help line stays one line.
    int widest = 0;
    for (const QStringList& text : helpTexts())
        for (const QString& line : text)
            widest = qMax(widest, memoHelp->fontMetrics().horizontalAdvance(line));
    memoHelp->setMinimumWidth(widest + 2 * memoHelp->frameWidth() +
                              2 * int(memoHelp->document()->documentMargin()) + 8);

    auto* fields = new QFormLayout;
    fields->addRow(u"Mail-&Hostname:"_s, edHost);
    fields->addRow(u"Absender-&Mail:"_s, edSender);
    fields->addRow(u"&Benutzername:"_s, edUser);
    fields->addRow(u"&Passwort:"_s, edPassword);
    fields->addRow(u"Absender-&Name:"_s, edSenderName);
    fields->addRow(QString(), cbAuth);

    auto* top = new QHBoxLayout;
    top->addLayout(fields, 1);
    top->addWidget(memoHelp, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(MakeOkCancelRow(this, btnOK, btnCancel));
    btnCancel->setText(u"Abbruch"_s);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    for (QWidget* w : helpFields())
        w->installEventFilter(this);
    resize(sizeHint().width() + 120, 260);
}

void TF_DefMail::LoadEdits() {
    edHost->setText(MailSettings.host);
    edSender->setText(MailSettings.senderAddress);
    edUser->setText(MailSettings.user);
    edPassword->setText(MailSettings.password);
    edSenderName->setText(MailSettings.senderName);
    cbAuth->setChecked(MailSettings.authenticate);
}

void TF_DefMail::StoreEdits() {
    MailSettings.host = edHost->text().left(80);
    MailSettings.senderAddress = edSender->text().left(80);
    MailSettings.senderName = edSenderName->text().left(80);
    MailSettings.user = edUser->text().left(80);
    MailSettings.password = edPassword->text().left(20);
    MailSettings.authenticate = cbAuth->isChecked();
}

bool TF_DefMail::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn)
        showHelp(qobject_cast<QWidget*>(watched));
    else if (event->type() == QEvent::FocusOut)
        StoreEdits();
    return QDialog::eventFilter(watched, event);
}

void TF_DefMail::done(int result) {
    StoreEdits();
    QDialog::done(result);
}

QList<QWidget*> TF_DefMail::helpFields() const {
    return {edHost, edSender, edUser, edPassword, edSenderName, cbAuth};
}

void TF_DefMail::showHelp(QWidget* field) {
    const QList<QWidget*> fields = helpFields();
    const QList<QStringList>& texts = helpTexts();
    const qsizetype index = fields.indexOf(field);
    memoHelp->setPlainText(index < 0 ? QString() : texts.at(index).join(u'\n'));
}

void ShowMailSettings(QWidget* parent) {
    TF_DefMail dialog(parent);
    LoadMailSettings();
    dialog.LoadEdits();
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (!SaveMailSettings())
        ShowError(u"Die Mail-Einstellungen konnten nicht in\r"_s + MailSettingsFilePath() +
                  u"\rgespeichert werden!"_s);
}
