#include "masterdata/dialogs/tf_kalender.h"

#include "core/values/calendar.h"
#include "masterdata/dialogs/kalendersteps.h"
#include "masterdata/dialogs/keypreview.h"

#include <QCalendarWidget>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTextCharFormat>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TF_Kalender* F_Kalender = nullptr;

namespace {

// An up-down control: two small arrow buttons on top of each other.
QWidget* upDown(QWidget* parent, const QString& name, QToolButton*& up, QToolButton*& down) {
    auto* box = new QWidget(parent);
    box->setObjectName(name);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (QToolButton** button : {&up, &down}) {
        *button = new QToolButton(box);
        (*button)->setArrowType(button == &up ? Qt::UpArrow : Qt::DownArrow);
        (*button)->setFixedSize(18, 11);
        (*button)->setAutoRepeat(true);
        (*button)->setFocusPolicy(Qt::NoFocus);
        layout->addWidget(*button);
    }
    return box;
}

QLabel* boldLabel(QWidget* parent, const QString& name) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    QFont font = label->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.2);
    label->setFont(font);
    return label;
}

} // namespace

TF_Kalender::TF_Kalender(QWidget* parent) : QDialog(parent) {
    setObjectName(u"TF_Kalender"_s);
    setWindowTitle(u"Kalender"_s);
    auto* layout = new QVBoxLayout(this);

    auto* head = new QHBoxLayout;
    m_lbMonth = boldLabel(this, u"lbMonth"_s);
    m_lbMonth->setMinimumWidth(fontMetrics().horizontalAdvance(u"September"_s) * 6 / 5);
    m_lbYear = boldLabel(this, u"lbYear"_s);
    head->addWidget(m_lbMonth);
    head->addWidget(upDown(this, u"UpDownMonth"_s, m_monthUp, m_monthDown));
    head->addSpacing(16);
    head->addWidget(m_lbYear);
    head->addWidget(upDown(this, u"UpDownYear"_s, m_yearUp, m_yearDown));
    head->addStretch();
    m_btnHeute = new QPushButton(u"&Heute"_s, this);
    m_btnHeute->setObjectName(u"BitBtn3"_s);
    m_btnHeute->setAutoDefault(false);
    head->addWidget(m_btnHeute);
    layout->addLayout(head);

    auto* panel = new QWidget(this);
    panel->setObjectName(u"Panel1"_s);
    auto* panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    m_calendar = new QCalendarWidget(panel);
    m_calendar->setFirstDayOfWeek(Qt::Monday);
    m_calendar->setLocale(QLocale(QLocale::German, QLocale::Germany));
    m_calendar->setNavigationBarVisible(false);
    m_calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    m_calendar->setDateRange(QDate(1, 1, 1), QDate(9999, 12, 31));
    QTextCharFormat weekend = m_calendar->weekdayTextFormat(Qt::Saturday);
    weekend.setForeground(Qt::darkRed);
    m_calendar->setWeekdayTextFormat(Qt::Saturday, weekend);
    panelLayout->addWidget(m_calendar);
    layout->addWidget(panel, 1);

    auto* foot = new QHBoxLayout;
    m_btnOK = new QPushButton(u"&OK"_s, this);
    m_btnOK->setObjectName(u"BitBtn1"_s);
    m_btnOK->setDefault(true);
    m_lbFeiertag = new QLabel(this);
    m_lbFeiertag->setObjectName(u"lbFeiertag"_s);
    m_lbFeiertag->setAlignment(Qt::AlignCenter);
    QPalette red = m_lbFeiertag->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    m_lbFeiertag->setPalette(red);
    m_btnCancel = new QPushButton(u"&Abbrechen"_s, this);
    m_btnCancel->setObjectName(u"BitBtn2"_s);
    m_btnCancel->setAutoDefault(false);
    foot->addWidget(m_btnOK);
    foot->addWidget(m_lbFeiertag, 1);
    foot->addWidget(m_btnCancel);
    layout->addLayout(foot);

    connect(m_btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_btnHeute, &QPushButton::clicked, this, [this] { showDate(QDate::currentDate()); });
    connect(m_calendar, &QCalendarWidget::activated, this, &QDialog::accept);
    connect(m_calendar, &QCalendarWidget::selectionChanged, this, &TF_Kalender::refreshLabels);
    // Paging inside the calendar keeps the day, as the steps do.
    connect(m_calendar, &QCalendarWidget::currentPageChanged, this, [this](int year, int month) {
        const QDate selected = m_calendar->selectedDate();
        if (selected.year() != year || selected.month() != month)
            showDate(QDate(year, month, std::min(selected.day(), DaysOfMonth(year, month))));
    });
    const auto step = [this](KalenderStep s) {
        showDate(StepKalenderDate(m_calendar->selectedDate(), s));
    };
    connect(m_monthUp, &QToolButton::clicked, this, [step] { step(KalenderStep::NextMonth); });
    connect(m_monthDown, &QToolButton::clicked, this,
            [step] { step(KalenderStep::PreviousMonth); });
    connect(m_yearUp, &QToolButton::clicked, this, [step] { step(KalenderStep::NextYear); });
    connect(m_yearDown, &QToolButton::clicked, this, [step] { step(KalenderStep::PreviousYear); });
    InstallKeyPreview(*this, *this);
    showDate(QDate::currentDate());
}

void TF_Kalender::SetPos(int x, int y) {
    move(std::max(x, 0), std::max(y, 0));
}

void TF_Kalender::SetDate(TDateTime date) {
    const QDate day = DateOfDateTime(date);
    showDate(day.isValid() ? day : DateOfDateTime(EmptyDate));
}

TDateTime TF_Kalender::GetDate() const {
    return DateTimeOfDate(m_calendar->selectedDate());
}

void TF_Kalender::showDate(const QDate& date) {
    if (!date.isValid())
        return;
    m_calendar->setSelectedDate(date);
    m_calendar->setCurrentPage(date.year(), date.month());
    refreshLabels();
}

void TF_Kalender::refreshLabels() {
    const QDate date = m_calendar->selectedDate();
    m_lbMonth->setText(GetMonthName(date.month()));
    m_lbYear->setText(QString::number(date.year()));
    m_lbFeiertag->setText(KalenderHolidayText(date));
}

void TF_Kalender::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    refreshLabels();
    m_calendar->setFocus();
}

bool TF_Kalender::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() == Qt::AltModifier) {
            if (const auto step = KalenderAltKeyStep(key->key())) {
                event->accept();
                if (event->type() == QEvent::KeyPress)
                    showDate(StepKalenderDate(m_calendar->selectedDate(), *step));
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

KalenderForm::KalenderForm() {
    F_Kalender = new TF_Kalender;
}

KalenderForm::~KalenderForm() {
    delete F_Kalender;
    F_Kalender = nullptr;
}
