#include "core/gui/loginform.h"

#include "core/gui/okcancelrow.h"
#include "core/messages/messagecatalog.h"
#include "core/messages/messages.h"
#include "core/rights/credentials.h"
#include "core/rights/login.h"
#include "core/rights/rights.h"
#include "core/rights/rightsstore.h"
#include "core/rights/rightstexts.h"
#include "core/settings/programsettings.h"
#include "platform/errors.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TLoginForm::TLoginForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    setWindowTitle(u"Domvera v2.40"_s);
    lblHint = new QLabel(LoadMessage(MsgEnterLogin), this);
    lblHint->setObjectName(u"lblHint"_s);
    edUserName = new QLineEdit(this);
    edUserName->setObjectName(u"edUserName"_s);
    edPassword = new QLineEdit(this);
    edPassword->setObjectName(u"edPassword"_s);
    edPassword->setEchoMode(QLineEdit::Password);

    auto* fields = new QFormLayout;
    fields->addRow(u"&Benutzername:"_s, edUserName);
    fields->addRow(u"&Paßwort"_s, edPassword);

    QHBoxLayout* buttons = MakeOkCancelRow(this, btnOK, btnCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblHint);
    layout->addLayout(fields);
    layout->addLayout(buttons);

    connect(btnOK, &QPushButton::clicked, this, [this] {
        if (OkHandler)
            OkHandler();
        else
            accept();
    });
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

bool RunLogin(QWidget* parent) {
    if (!LoginActive)
        return true;
    TLoginForm form(parent);
    form.setObjectName(u"LoginDialog"_s);
    form.edUserName->setText(ReadLastLoggedUser());
    if (!form.edUserName->text().isEmpty())
        form.edPassword->setFocus();
    LoginAttempts attempts;
    form.OkHandler = [&] {
        switch (attempts.attempt(form.edUserName->text(), form.edPassword->text())) {
        case LoginAttempts::Result::Allowed:
            form.accept();
            break;
        case LoginAttempts::Result::Refused:
            form.edPassword->clear();
            form.edPassword->setFocus();
            break;
        case LoginAttempts::Result::Failed:
            form.reject();
            break;
        }
    };
    if (form.exec() != QDialog::Accepted)
        return false;
    try {
        WriteLastLoggedUser(GetCurrentUserName());
    } catch (const DbError& error) {
        // The login stands; only the name offered next time is lost.
        ShowError(error.message());
    }
    return true;
}

void ShowPasswordChangeDialog(QWidget* parent, const QString& userName,
                              const std::function<bool(const QString&)>& store) {
    TLoginForm form(parent);
    form.setObjectName(u"PasswordDialog"_s);
    form.setWindowFlag(Qt::WindowStaysOnTopHint);
    form.setWindowTitle(LoadMessage(MsgPasswordChangeCaption));
    form.lblHint->setText(LoadMessage(MsgEnterNewPassword));
    form.edUserName->setText(userName);
    form.edUserName->setReadOnly(true);
    form.edPassword->setFocus();
    form.OkHandler = [&] {
        const QString password = TrimmedInput(form.edPassword->text());
        const QString problem = PasswordProblem(password);
        if (!problem.isEmpty())
            ShowError(problem);
        else if (store(password))
            ShowInfo(LoadMessage(MsgPasswordSaved));
        form.accept();
    };
    form.exec();
}

void ChangeOwnPasswordClick(QWidget* parent) {
    if (!LockRights())
        return;
    struct Unlock {
        ~Unlock() { UnlockRights(); }
    } unlock;
    ShowPasswordChangeDialog(parent, GetCurrentUserName(), [](const QString& password) {
        return ChangeOwnPassword(GetCurrentUserName(), password);
    });
}
