#include "operations/gui/monthyearbox.h"

#include "operations/monthtimesums.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QLocale>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

constexpr int kFirstYear = 2000;
constexpr int kLastYear = 2100;

QToolButton* arrow(QWidget* parent, Qt::ArrowType type, const QString& hint) {
    auto* b = new QToolButton(parent);
    b->setArrowType(type);
    b->setAutoRepeat(true);
    b->setToolTip(hint);
    b->setFixedSize(18, 11);
    return b;
}

} // namespace

MonthYearBox::MonthYearBox(QWidget* parent) : QWidget(parent) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    m_month = new QComboBox(this);
    m_month->setObjectName(u"cbMonat"_s);
    const QLocale german(QLocale::German, QLocale::Germany);
    for (int m = 1; m <= 12; ++m)
        m_month->addItem(german.monthName(m, QLocale::LongFormat));
    auto* upDown = new QWidget(this);
    upDown->setObjectName(u"UpDownMonat"_s);
    auto* arrows = new QVBoxLayout(upDown);
    arrows->setContentsMargins(0, 0, 0, 0);
    arrows->setSpacing(0);
    m_up = arrow(upDown, Qt::UpArrow, u"Nächster Monat"_s);
    m_down = arrow(upDown, Qt::DownArrow, u"Voriger Monat"_s);
    arrows->addWidget(m_up);
    arrows->addWidget(m_down);
    m_year = new QSpinBox(this);
    m_year->setObjectName(u"edJahr"_s);
    m_year->setRange(kFirstYear, kLastYear);
    if (auto* text = m_year->findChild<QLineEdit*>())
        text->setReadOnly(true);
    m_year->setToolTip(u"Jahr"_s);
    row->addWidget(m_month);
    row->addWidget(upDown);
    row->addSpacing(8);
    row->addWidget(m_year);

    connect(m_month, &QComboBox::activated, this, [this] { Q_EMIT changed(); });
    connect(m_up, &QToolButton::clicked, this, [this] { stepMonth(1); });
    connect(m_down, &QToolButton::clicked, this, [this] { stepMonth(-1); });
    connect(m_year, &QSpinBox::valueChanged, this, [this] { Q_EMIT changed(); });
}

int MonthYearBox::year() const {
    return m_year->value();
}

int MonthYearBox::month() const {
    return m_month->currentIndex() + 1;
}

void MonthYearBox::setMonth(int year, int month) {
    const QSignalBlocker quietYear(m_year);
    const QSignalBlocker quietMonth(m_month);
    m_year->setValue(year);
    m_month->setCurrentIndex(month - 1);
}

void MonthYearBox::stepMonth(int delta) {
    const TimeViewMonth next = TimeViewMonthAt({year(), month()}, month() + delta);
    if (next.year < kFirstYear || next.year > kLastYear)
        return;
    setMonth(next.year, next.month);
    Q_EMIT changed();
}

void MonthYearBox::setMonthEnabled(bool enabled) {
    m_month->setEnabled(enabled);
    m_up->setEnabled(enabled);
    m_down->setEnabled(enabled);
}

void MonthYearBox::setYearEnabled(bool enabled) {
    m_year->setEnabled(enabled);
}
