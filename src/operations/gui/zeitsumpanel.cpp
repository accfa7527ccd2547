#include "operations/gui/zeitsumpanel.h"

#include "core/data/dbhelpers.h"
#include "core/values/money.h"
#include "operations/timerecordservice.h"
#include "platform/table/table.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>

using namespace Qt::StringLiterals;

namespace {

QString hoursOf(double hours) {
    return QLocale(QLocale::German, QLocale::Germany).toString(hours, 'f', 2) + u" Std"_s;
}

} // namespace

QLineEdit* ReadOnlyNumberEdit(QWidget* parent, int chars) {
    auto* e = new QLineEdit(parent);
    e->setReadOnly(true);
    e->setFocusPolicy(Qt::NoFocus);
    e->setAlignment(Qt::AlignRight);
    e->setFixedWidth(e->fontMetrics().horizontalAdvance(QString(chars, u'0')) + 12);
    return e;
}

ZeitsumPanel::ZeitsumPanel(QWidget* parent) : QGroupBox(parent) {
    setObjectName(u"pnlSummen"_s);
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setVerticalSpacing(2);
    grid->addWidget(new QLabel(u"Stundenzahl"_s, this), 1, 0);
    grid->addWidget(new QLabel(u"Lohn-Selbstkosten"_s, this), 2, 0);
    for (size_t c = 0; c < 9; ++c) {
        m_captions[c] = new QLabel(c == 8 ? u"Gesamt"_s : QString(), this);
        m_captions[c]->setObjectName(u"lbZeitart%1"_s.arg(c + 1));
        m_captions[c]->setAlignment(Qt::AlignCenter);
        m_hours[c] = ReadOnlyNumberEdit(this, 9);
        m_costs[c] = ReadOnlyNumberEdit(this, 9);
        grid->addWidget(m_captions[c], 0, int(c) + 1);
        grid->addWidget(m_hours[c], 1, int(c) + 1);
        grid->addWidget(m_costs[c], 2, int(c) + 1);
    }
    grid->setColumnStretch(10, 1);
}

void ZeitsumPanel::setCaptionsFromZeitart() {
    auto types = OpenTempTable(u"LumoDB"_s, u"Zeitart.DB"_s);
    for (int type = 1; type <= 8; ++type)
        m_captions[size_t(type - 1)]->setText(types->locate({u"ZA_Type"_s}, {type})
                                                  ? FieldText(*types, u"ZA_Kurztext"_s)
                                                  : QString());
}

void ZeitsumPanel::showSums(const std::optional<ZeitsumValues>& sums) {
    for (size_t c = 0; c < 9; ++c) {
        double hours = 0, costs = 0;
        if (sums) {
            hours = c < 8 ? sums->hours[c] : sums->totalHours;
            costs = c < 8 ? sums->costs[c] : sums->totalCosts;
        }
        m_hours[c]->setText(sums ? hoursOf(hours) : QString());
        m_costs[c]->setText(sums ? FormatMoney(0, costs) : QString());
    }
}

QString ZeitsumPanel::caption(int column) const {
    return m_captions.at(size_t(column - 1))->text();
}

QString ZeitsumPanel::hoursText(int column) const {
    return m_hours.at(size_t(column - 1))->text();
}

QString ZeitsumPanel::costsText(int column) const {
    return m_costs.at(size_t(column - 1))->text();
}
