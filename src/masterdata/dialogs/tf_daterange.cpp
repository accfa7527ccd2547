#include "masterdata/dialogs/tf_daterange.h"

#include "core/gui/okcancelrow.h"
#include "core/messages/messages.h"
#include "core/values/datetext.h"
#include "masterdata/dialogs/datepickers.h"
#include "masterdata/dialogs/daterangecheck.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TF_DateRange::TF_DateRange(QWidget* parent) : QDialog(parent) {
    setObjectName(u"TF_DateRange"_s);
    setWindowTitle(u"Grenzdatum eingeben"_s);
    auto* layout = new QVBoxLayout(this);
    auto* fields = new QGridLayout;
    m_lbBis = new QLabel(this);
    m_lbBis->setObjectName(u"lbRgBisdatum"_s);
    m_editBis = new QLineEdit(this);
    m_editBis->setObjectName(u"EditBisDatum"_s);
    m_editBis->setMaxLength(10);
    m_editBis->setPlaceholderText(u"TT.MM.JJJJ"_s);
    m_lbDone = new QLabel(this);
    m_lbDone->setObjectName(u"lbDoneDatum"_s);
    m_edit1 = new QLineEdit(this);
    m_edit1->setObjectName(u"Edit1"_s);
    m_edit1->setReadOnly(true);
    m_edit1->setFocusPolicy(Qt::NoFocus);
    for (QLineEdit* edit : {m_editBis, m_edit1}) {
        edit->setToolTip(u"Doppelklick öffnet den Kalender"_s);
        edit->installEventFilter(this);
    }
    fields->addWidget(m_lbBis, 0, 0);
    fields->addWidget(m_editBis, 1, 0);
    fields->addWidget(m_lbDone, 0, 1);
    fields->addWidget(m_edit1, 1, 1);
    layout->addLayout(fields);
    layout->addLayout(MakeOkCancelRow(this, m_ok, m_cancel));
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    setMinimumWidth(300);
}

void TF_DateRange::setLimit(TDateTime limit, const QString& caption) {
    m_limit = limit;
    m_lbBis->setText(caption);
    m_editBis->setText(DateToStrDMY(limit));
}

void TF_DateRange::setInfo(TDateTime info, const QString& caption) {
    const bool shown = info != EmptyDate;
    m_lbDone->setText(caption);
    m_edit1->setText(shown ? DateToStrDMY(info) : QString());
    m_lbDone->setVisible(shown);
    m_edit1->setVisible(shown);
}

void TF_DateRange::setPosition(int left, int top) {
    m_position = QPoint(left, top);
}

void TF_DateRange::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    move(m_position);
    m_editBis->setFocus();
}

void TF_DateRange::done(int result) {
    if (result == QDialog::Accepted) {
        const QString refusal = LimitDateRefusal(m_editBis->text());
        if (!refusal.isEmpty()) {
            ShowError(refusal);
            return;
        }
        m_limit = TypedDate(m_editBis->text());
    }
    QDialog::done(result);
}

bool TF_DateRange::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick &&
        (watched == m_editBis || watched == m_edit1)) {
        TDateTime date = m_limit;
        if (PickDateBeside(date, *this, 32, 128)) {
            m_limit = date;
            m_editBis->setText(DateToStrDMY(date));
        }
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

bool EnterLimitDate(TDateTime& limit, int left, int top, TDateTime infoDate,
                    const QString& limitCaption, const QString& infoCaption) {
    TF_DateRange dialog;
    dialog.setLimit(limit, limitCaption);
    dialog.setInfo(infoDate, infoCaption);
    dialog.setPosition(left, top);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    limit = dialog.limitDate();
    return true;
}
