#include "masterdata/dialogs/tf_checkpw.h"

#include "core/gui/okcancelrow.h"
#include "core/messages/messagecatalog.h"
#include "core/messages/messages.h"
#include "masterdata/dialogs/safetyprompt.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TF_CheckPW::TF_CheckPW(const QString& digits, QWidget* parent) : QDialog(parent) {
    setObjectName(u"TF_CheckPW"_s);
    setWindowTitle(u"Sicherheitsabfrage"_s);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto* layout = new QVBoxLayout(this);
    QFont arial(u"Arial"_s);
    arial.setPointSize(12);
    m_editVorgabe = new QLineEdit(digits, this);
    m_editVorgabe->setObjectName(u"EditVorgabe"_s);
    m_editVorgabe->setReadOnly(true);
    m_editVorgabe->setFocusPolicy(Qt::NoFocus);
    QFont bold = arial;
    bold.setBold(true);
    m_editVorgabe->setFont(bold);
    m_editVorgabe->setAlignment(Qt::AlignCenter);
    auto* prompt = new QLabel(
        u"Geben Sie die vorstehende Ziffernfolge bitte\nrückwärts in das untenstehende Feld ein."_s,
        this);
    prompt->setObjectName(u"lbPrompt"_s);
    m_editAntwort = new QLineEdit(this);
    m_editAntwort->setObjectName(u"EditAntwort"_s);
    m_editAntwort->setFont(arial);
    m_editAntwort->setAlignment(Qt::AlignCenter);
    layout->addWidget(m_editVorgabe);
    layout->addWidget(prompt);
    layout->addWidget(m_editAntwort);
    layout->addLayout(MakeOkCancelRow(this, m_ok, m_cancel));
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    m_editAntwort->setFocus();
}

bool ConfirmSafetyPrompt() {
    const QString shown = NewSafetyDigits();
    TF_CheckPW form(shown);
    if (form.exec() != QDialog::Accepted)
        return false;
    if (SafetyAnswerMatches(shown, form.editAntwort()->text()))
        return true;
    ShowError(LoadMessage(65259));
    return false;
}
