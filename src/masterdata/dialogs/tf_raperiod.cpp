#include "masterdata/dialogs/tf_raperiod.h"

#include "core/messages/messages.h"
#include "core/values/datetimevalue.h"
#include "masterdata/dialogs/datepickers.h"
#include "masterdata/dialogs/daterangecheck.h"
#include "platform/table/database.h"
#include "platform/table/table.h"
#include "platform/table/values.h"

#include <QDialogButtonBox>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

QString dateText(const QDate& d) {
    return d.isValid() ? d.toString(u"dd.MM.yyyy"_s) : QString();
}

// The first and last document date of the journal; nullopt for an empty one.
std::optional<std::pair<QDate, QDate>> journalSpan() {
    auto db = table::aliases::database(u"LumoDB"_s);
    const QString name = table::quoted(table::physicalName(u"RAListe.DB"_s));
    if (db->selectValue(u"SELECT COUNT(*) FROM %1"_s.arg(name)).toInt() == 0)
        return std::nullopt;
    auto date = [&](const char* fn) {
        return table::fromStored(table::FieldType::Date,
                                 db->selectValue(u"SELECT %1(R_DatumDruck) FROM %2"_s.arg(
                                     QString::fromLatin1(fn), name)))
            .toDate();
    };
    return std::pair{date("MIN"), date("MAX")};
}

} // namespace

TF_RaPeriod::TF_RaPeriod(QWidget* parent) : QDialog(parent) {
    setObjectName(u"TF_RaPeriod"_s);
    setWindowTitle(u"RA-Liste erstellen für den Zeitraum"_s);
    m_editVon = new QLineEdit(this);
    m_editVon->setObjectName(u"EditVonDatum"_s);
    m_editBis = new QLineEdit(this);
    m_editBis->setObjectName(u"EditBisDatum"_s);
    for (QLineEdit* e : {m_editVon, m_editBis}) {
        e->setFixedWidth(e->fontMetrics().horizontalAdvance(u"00.00.00000"_s) + 12);
        e->setToolTip(u"Doppelklick: Kalender"_s);
        e->installEventFilter(this);
    }
    m_span = new QLabel(this);
    m_span->setObjectName(u"lbSpan"_s);

    auto* dates = new QFormLayout;
    dates->addRow(u"&von einschl."_s, m_editVon);
    dates->addRow(u"&bis einschl."_s, m_editBis);
    dates->addRow(u"Belege im Journal"_s, m_span);

    auto* scope = new QGroupBox(u"Druckumfang wählen"_s, this);
    auto* scopeLayout = new QVBoxLayout(scope);
    const QString captions[] = {u"Ausgangsrechnungen"_s, u"Gutschriften"_s, u"Eingangsrechnungen"_s,
                                u"Alle Satzarten"_s};
    for (size_t i = 0; i < m_kinds.size(); ++i) {
        m_kinds[i] = new QRadioButton(captions[i], scope);
        scopeLayout->addWidget(m_kinds[i]);
    }
    m_kinds[3]->setChecked(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    buttons->button(QDialogButtonBox::Cancel)->setText(u"&Abbrechen"_s);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    // Wide enough for the whole caption.
    setMinimumWidth(fontMetrics().horizontalAdvance(windowTitle()) + 120);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(dates);
    layout->addWidget(scope);
    layout->addWidget(buttons);
}

void TF_RaPeriod::setPeriod(const QDate& from, const QDate& to) {
    m_from = from;
    m_to = to;
    m_editVon->setText(dateText(from));
    m_editBis->setText(dateText(to));
}

void TF_RaPeriod::setJournalSpan(const QDate& first, const QDate& last) {
    m_span->setText(dateText(first) + u" bis "_s + dateText(last));
}

void TF_RaPeriod::setKind(int kind) {
    if (kind >= 0 && kind < int(m_kinds.size()))
        m_kinds[size_t(kind)]->setChecked(true);
}

int TF_RaPeriod::kind() const {
    for (size_t i = 0; i < m_kinds.size(); ++i)
        if (m_kinds[i]->isChecked())
            return int(i);
    return 3;
}

void TF_RaPeriod::done(int result) {
    if (result == QDialog::Accepted) {
        QString refusal = LimitDateRefusal(m_editVon->text());
        if (refusal.isEmpty())
            refusal = LimitDateRefusal(m_editBis->text());
        if (refusal.isEmpty() && TypedDate(m_editBis->text()) < TypedDate(m_editVon->text()))
            refusal = u"Ungültiger Datumsbereich!"_s;
        if (!refusal.isEmpty()) {
            ShowError(refusal);
            return;
        }
        m_from = DateOfDateTime(TypedDate(m_editVon->text()));
        m_to = DateOfDateTime(TypedDate(m_editBis->text()));
    }
    QDialog::done(result);
}

bool TF_RaPeriod::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick &&
        (watched == m_editVon || watched == m_editBis)) {
        auto* edit = static_cast<QLineEdit*>(watched);
        const QString refusal = LimitDateRefusal(edit->text());
        TDateTime date =
            refusal.isEmpty() ? TypedDate(edit->text()) : DateTimeOfDate(QDate::currentDate());
        if (PickDateBeside(date, *this, 32, 96))
            edit->setText(dateText(DateOfDateTime(date)));
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

bool AskRaListePeriod(QDate& from, QDate& to, int& kind) {
    const auto span = journalSpan();
    if (!span) {
        ShowInfo(u"Keine Datensätze vorhanden!"_s);
        return false;
    }
    const QDate today = QDate::currentDate();
    TF_RaPeriod dialog;
    dialog.setPeriod(QDate(today.year(), today.month(), 1),
                     QDate(today.year(), today.month(), today.daysInMonth()));
    dialog.setJournalSpan(span->first, span->second);
    dialog.setKind(kind);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    from = dialog.fromDate();
    to = dialog.toDate();
    kind = dialog.kind();
    return true;
}
