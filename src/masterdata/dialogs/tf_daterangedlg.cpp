#include "masterdata/dialogs/tf_daterangedlg.h"

#include "core/gui/okcancelrow.h"
#include "core/messages/messages.h"
#include "core/values/datetext.h"
#include "masterdata/dialogs/datepickers.h"
#include "masterdata/dialogs/daterangecheck.h"

#include <QEvent>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TF_DateRangeDlg::TF_DateRangeDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(u"TF_DateRangeDlg"_s);
    setWindowTitle(u"Datumsbereich eingeben"_s);
    auto* layout = new QVBoxLayout(this);
    m_label2 = new QLabel(this);
    m_label2->setObjectName(u"Label2"_s);
    m_label2->setWordWrap(true);
    layout->addWidget(m_label2);

    auto* fields = new QFormLayout;
    m_editVon = new QLineEdit(this);
    m_editVon->setObjectName(u"EditVonDatum"_s);
    m_editBis = new QLineEdit(this);
    m_editBis->setObjectName(u"EditBisDatum"_s);
    for (QLineEdit* edit : {m_editVon, m_editBis}) {
        edit->setMaxLength(10);
        edit->setPlaceholderText(u"TT.MM.JJJJ"_s);
        edit->setToolTip(u"Doppelklick öffnet den Kalender"_s);
        edit->installEventFilter(this);
    }
    fields->addRow(u"von einschl."_s, m_editVon);
    auto* bisLabel = new QLabel(u"bis einschl."_s, this);
    bisLabel->setObjectName(u"lbRgBisdatum"_s);
    fields->addRow(bisLabel, m_editBis);
    layout->addLayout(fields);
    layout->addLayout(MakeOkCancelRow(this, m_ok, m_cancel));

    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    // A start typed after the held end takes the end along.
    connect(m_editVon, &QLineEdit::textChanged, this, [this](const QString& text) {
        const TDateTime end = EndAfterTypedStart(text, m_to);
        if (end != m_to) {
            m_to = end;
            m_editBis->setText(DateToStrDMY(m_to));
        }
    });
    setMinimumWidth(300);
}

void TF_DateRangeDlg::setDates(TDateTime from, TDateTime to) {
    m_from = from;
    m_to = to;
    const QSignalBlocker quiet(m_editVon);
    m_editVon->setText(DateToStrDMY(from));
    m_editBis->setText(DateToStrDMY(to));
}

void TF_DateRangeDlg::setCaptionLine(const QString& text) {
    m_label2->setText(text);
}

void TF_DateRangeDlg::done(int result) {
    if (result == QDialog::Accepted) {
        const QString refusal = DateRangeRefusal(m_editVon->text(), m_editBis->text());
        if (!refusal.isEmpty()) {
            ShowError(refusal);
            return;
        }
        m_from = TypedDate(m_editVon->text());
        m_to = TypedDate(m_editBis->text());
    }
    QDialog::done(result);
}

bool TF_DateRangeDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick &&
        (watched == m_editVon || watched == m_editBis)) {
        const bool start = watched == m_editVon;
        TDateTime& held = start ? m_from : m_to;
        TDateTime date = held;
        if (PickDateBeside(date, *this, 32, 128)) {
            held = date;
            (start ? m_editVon : m_editBis)->setText(DateToStrDMY(date));
        }
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

bool EnterDateRange(TDateTime& from, TDateTime& to, int left, int top, const QString& captionLine) {
    TF_DateRangeDlg dialog;
    dialog.setDates(from, to);
    dialog.setCaptionLine(captionLine);
    dialog.move(left, top);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    from = dialog.fromDate();
    to = dialog.toDate();
    return true;
}
