#include "core/gui/f_ersteinrichtung.h"

#include "core/files/programdirs.h"
#include "core/gui/okcancelrow.h"
#include "core/messages/messagecatalog.h"
#include "core/messages/messages.h"
#include "core/rights/credentials.h"
#include "core/rights/rights.h"
#include "core/rights/rightsstore.h"
#include "core/rights/rightstexts.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

bool createFirstMaster(const QString& name, const QString& password) {
    RightsStore& store = ProgramRights();
    store.setDirectory(ProgramDir);
    return store.createWithFirstMaster(name, password);
}

// Messages of a run without a window go to standard error.
class StderrPresenter : public MessagePresenter {
public:
    bool show(Kind, const QString& text, int, int) override {
        std::fprintf(stderr, "%s\n", QString(text).replace(u'\r', u' ').toLocal8Bit().constData());
        return false;
    }
};

} // namespace

TF_Ersteinrichtung::TF_Ersteinrichtung(QWidget* parent) : QDialog(parent) {
    setWindowTitle(u"Domvera – Ersteinrichtung"_s);
    auto* hint = new QLabel(u"Es gibt noch keine Benutzer. Legen Sie bitte den ersten "
                            u"Master-Benutzer an; er erhält alle Rechte."_s,
                            this);
    hint->setWordWrap(true);
    edUserName = new QLineEdit(this);
    edUserName->setObjectName(u"edUserName"_s);
    edPassword = new QLineEdit(this);
    edPassword->setObjectName(u"edPassword"_s);
    edPassword->setEchoMode(QLineEdit::Password);
    edRepeat = new QLineEdit(this);
    edRepeat->setObjectName(u"edRepeat"_s);
    edRepeat->setEchoMode(QLineEdit::Password);

    auto* fields = new QFormLayout;
    fields->addRow(u"&Benutzername:"_s, edUserName);
    fields->addRow(u"&Paßwort:"_s, edPassword);
    fields->addRow(u"Paßwort &wiederholen:"_s, edRepeat);

    QHBoxLayout* buttons = MakeOkCancelRow(this, btnOK, btnCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(hint);
    layout->addLayout(fields);
    layout->addLayout(buttons);

    connect(btnOK, &QPushButton::clicked, this, &TF_Ersteinrichtung::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TF_Ersteinrichtung::btnOKClick() {
    const QString name = TrimmedInput(edUserName->text());
    const QString password = TrimmedInput(edPassword->text());
    if (password != TrimmedInput(edRepeat->text())) {
        ShowError(LoadMessage(MsgPasswordsDiffer));
        return;
    }
    if (createFirstMaster(name, password))
        accept();
}

int RunFirstStart(const QStringList& parameters) {
    const qsizetype at = parameters.indexOf(QString::fromLatin1(FirstMasterSwitch));
    if (at >= 0) {
        StderrPresenter presenter;
        MessagePresenter* previous = SetMessagePresenter(&presenter);
        const QString name = TrimmedInput(parameters.value(at + 1));
        const QString password = TrimmedInput(qEnvironmentVariable(FirstMasterPasswordVariable));
        const bool created = createFirstMaster(name, password);
        SetMessagePresenter(previous);
        return created ? 0 : 1;
    }
    if (!IsNewInstallation())
        return -1;
    TF_Ersteinrichtung dialog;
    return dialog.exec() == QDialog::Accepted ? -1 : 1;
}
