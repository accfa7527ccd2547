#include "datasafety/gui/tf_defftp.h"

#include "core/gui/okcancelrow.h"
#include "core/gui/placement.h"
#include "core/messages/messages.h"
#include "datasafety/datasafety.h"

#include <QEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

const char* const kHelpProperty = "helpText";

QString helpOf(const QStringList& lines) {
    return lines.join(u'\n');
}

} // namespace

TF_DefFtp::TF_DefFtp(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setObjectName(u"F_DefFtp"_s);
    setWindowTitle(u"FTP-Zugang einrichten"_s);
    LoadFtpSettings();
    m_loaded = FtpSettings;

    auto makeEdit = [this](const QString& name, const QString& text, int length,
                           const QStringList& help) {
        auto* edit = new QLineEdit(text, this);
        edit->setObjectName(name);
        edit->setMaxLength(length);
        edit->setProperty(kHelpProperty, helpOf(help));
        edit->installEventFilter(this);
        // Host and user names of some length stay readable.
        edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QString(32, u'x')));
        return edit;
    };
    edHost = makeEdit(u"edHost"_s, FtpSettings.ftpHost, 80,
                      {u"Geben Sie hier die Bezeichnung des FTP-Servers ein."_s,
                       u"Diese Bezeichnung entspricht normalerweise dem Namen"_s,
                       u"Ihrer Internet-Präsenz."_s});
    edDirectory = makeEdit(u"edDirectory"_s, FtpSettings.ftpDirectory, 20,
                           {u"Geben Sie hier ein Unterverzeichnis ein, das für den"_s,
                            u"Datenaustausch verwendet werden soll. Domvera-FTP"_s,
                            u"erzeugt dieses Verzeichnis beim ersten Zugriff, wenn"_s,
                            u"es noch nicht existiert."_s});
    edUser = makeEdit(u"edUser"_s, FtpSettings.ftpUser, 80,
                      {u"Der Benutzername wird Ihnen von Ihrem Internet-Provider"_s,
                       u"mitgeteilt. Geben Sie diese Zugangskennung exakt so ein,"_s,
                       u"wie Sie Ihnen mitgeteilt wurde."_s});
    edPassword = makeEdit(u"edPassword"_s, FtpSettings.ftpPassword, 20,
                          {u"Geben Sie hier das Passwort ein, das Sie bei der"_s,
                           u"Einrichtung Ihres FTP-Servers angegeben haben."_s});
    edPassword->setEchoMode(QLineEdit::Password);
    edKey = makeEdit(u"edKey"_s, FtpSettings.cipherKey, 40,
                     {u"Geben Sie hier ein Schlüsselwort ein, mit dem Ihre"_s,
                      u"Daten vor dem Transfer verschlüsselt werden sollen."_s});
    edKey->setEchoMode(QLineEdit::Password);
    edSpace =
        makeEdit(u"edSpace"_s, QString::number(FtpSettings.maxMB), 3,
                 {u"Geben Sie hier an, wieviel Speicherplatz auf Ihrem"_s,
                  u"Webserver für den Datentresor verwendet werden darf."_s,
                  u"Der eingegebene Wert (in MB) darf den gemieteten"_s,
                  u"Speicherplatz abzüglich des für Ihre Website benötigten"_s,
                  u"Speicherbedarfs nicht überschreiten!"_s, QString(),
                  u"Wenn Sie mehrere Tresore verwalten, müssen Sie den"_s,
                  u"verfügbaren Speicherplatz durch die Anzahl der Tresore"_s, u"dividieren!"_s});
    // Three digits: 0 to 999 megabytes.
    edSpace->setValidator(
        new QRegularExpressionValidator(QRegularExpression(u"[0-9]{0,3}"_s), edSpace));
    edSpace->setMinimumWidth(0);
    edSpace->setFixedWidth(edSpace->fontMetrics().horizontalAdvance(u"0000"_s) + 16);

    auto* space = new QHBoxLayout;
    space->addWidget(edSpace);
    space->addWidget(new QLabel(u"MB"_s, this));
    space->addStretch(1);
    auto* form = new QFormLayout;
    form->addRow(u"FTP-Hostname"_s, edHost);
    form->addRow(u"FTP-Verzeichnis"_s, edDirectory);
    form->addRow(u"Benutzername"_s, edUser);
    form->addRow(u"Passwort"_s, edPassword);
    form->addRow(u"Chiffrierschlüssel"_s, edKey);
    form->addRow(u"Maximal verwendbarer Speicherplatz"_s, space);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(u"Memo1"_s);
    Memo1->setReadOnly(true);
    Memo1->setFocusPolicy(Qt::NoFocus);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setFixedHeight(Memo1->fontMetrics().lineSpacing() * 9 + 12);
    Memo1->setMinimumWidth(Memo1->fontMetrics().horizontalAdvance(
                               u"Speicherplatz abzüglich des für Ihre Website benötigten"_s) +
                           30);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(Memo1);
    layout->addLayout(MakeOkCancelRow(this, btnOk, btnCancel));
    btnOk->setText(u"OK"_s);
    btnCancel->setText(u"Abbruch"_s);
    connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    btnOk->setDefault(true);
    btnOk->setFocus();
    adjustSize();
    if (const QScreen* s = screen())
        move(s->availableGeometry().center() - rect().center());
}

TF_DefFtp::~TF_DefFtp() = default;

QLineEdit* TF_DefFtp::field(const QString& objectName) const {
    return findChild<QLineEdit*>(objectName);
}

void TF_DefFtp::takeFields() {
    FtpSettings = FtpSettingsFromFields(edHost->text(), edDirectory->text(), edUser->text(),
                                        edPassword->text(), edKey->text(), edSpace->text());
}

bool TF_DefFtp::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn)
        Memo1->setPlainText(watched->property(kHelpProperty).toString());
    else if (event->type() == QEvent::FocusOut && !m_closed)
        takeFields();
    return QDialog::eventFilter(watched, event);
}

void TF_DefFtp::done(int result) {
    // The fields lose their focus as the form goes: that changes nothing.
    m_closed = true;
    if (result == QDialog::Accepted) {
        takeFields();
        if (!SaveFtpSettings())
            ShowError(u"Die FTP-Einstellungen konnten nicht gespeichert werden."_s);
    } else {
        // Nothing of a cancelled form stays in force for later transfers.
        FtpSettings = m_loaded;
    }
    QDialog::done(result);
}

void ShowFtpSettingsWindow() {
    TF_DefFtp form(MainForm());
    form.exec();
}
