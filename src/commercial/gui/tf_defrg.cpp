#include "commercial/gui/tf_defrg.h"

#include "commercial/billing/rgtermine.h"
#include "core/gui/formstorage.h"
#include "core/gui/placement.h"
#include "core/values/calendar.h"
#include "platform/widgets/userprompts.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

QColor colour(const TDefRgModel::Rgb& rgb) {
    return QColor(rgb.r, rgb.g, rgb.b);
}

QFont boldFont(const QFont& base, int points) {
    QFont f = base;
    f.setBold(true);
    f.setPointSize(points);
    return f;
}

const QString kHelp = u"Definition selektieren             :  Linke Maustaste oder Tabellenzeile "
                      u"anclicken\n\n"
                      u"Neue Definition                      : Leeres Feld anclicken\n\n"
                      u"Zeitraum markieren                : Linke Maustaste halten und ziehen\n\n"
                      u"Rechnungsdatum markieren  : Shift+rechte Maustaste\n\n"
                      u"Erstelldatum markieren           : rechte Maustaste"_s;

} // namespace

DefRgCalendar::DefRgCalendar(TDefRgModel& model, QWidget* parent)
    : QWidget(parent), m_model(model) {
    setObjectName(u"GridDefRg"_s);
    const QFontMetrics numbers(boldFont(font(), 10));
    m_dayWidth = numbers.horizontalAdvance(u"00"_s) + 6;
    m_rowHeight = numbers.height() + 3;
    int widest = 0;
    for (int m = 1; m <= 12; ++m)
        widest = std::max(widest, fontMetrics().horizontalAdvance(GetMonthName(m)));
    m_titleWidth = widest + 10;
    setFixedSize(sizeHint());
    setMouseTracking(false);
}

QSize DefRgCalendar::sizeHint() const {
    return {m_titleWidth + TDefRgModel::Days * m_dayWidth + 1,
            (TDefRgModel::Rows + 1) * m_rowHeight + 1};
}

QRect DefRgCalendar::cellRect(int row, int day) const {
    const int x = day == 0 ? 0 : m_titleWidth + (day - 1) * m_dayWidth;
    const int w = day == 0 ? m_titleWidth : m_dayWidth;
    return QRect(x, row * m_rowHeight, w, m_rowHeight);
}

bool DefRgCalendar::cellAt(const QPoint& at, int& row, int& day) const {
    if (at.x() < m_titleWidth || at.y() < m_rowHeight)
        return false;
    row = at.y() / m_rowHeight;
    day = (at.x() - m_titleWidth) / m_dayWidth + 1;
    return row >= 1 && row <= TDefRgModel::Rows && day >= 1 && day <= TDefRgModel::Days;
}

void DefRgCalendar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QColor face = palette().color(QPalette::Button);
    const QColor faceText = palette().color(QPalette::ButtonText);
    const QFont title = font();
    const QFont number = boldFont(font(), 8);
    const QFont mark = boldFont(font(), 10);
    p.setPen(Qt::NoPen);
    for (int row = 0; row <= TDefRgModel::Rows; ++row) {
        for (int day = 0; day <= TDefRgModel::Days; ++day) {
            const QRect r = cellRect(row, day);
            if (row == 0 || day == 0) {
                p.fillRect(r, face);
                p.setPen(faceText);
                p.setFont(title);
                const QString text =
                    row == 0 ? (day == 0 ? QString()
                                         : QString::number(day).rightJustified(2, QLatin1Char('0')))
                             : GetMonthName((row - 1) % 12 + 1);
                p.drawText(r.adjusted(3, 0, -2, 0),
                           (day == 0 ? Qt::AlignLeft : Qt::AlignHCenter) | Qt::AlignVCenter, text);
                continue;
            }
            const TDefRgModel::Cell cell = m_model.CellAt(row, day);
            QColor background = colour(TDefRgModel::FreeColor);
            if (cell.missing)
                background = colour(TDefRgModel::MissingDayColor);
            else if (cell.selected)
                background = colour(TDefRgModel::SelectedColor);
            else if (cell.palette > 0)
                background = colour(TDefRgModel::Palette[std::size_t(cell.palette - 1)]);
            p.fillRect(r, background);
            const QString text = cell.text();
            if (text.isEmpty())
                continue;
            if (cell.createDate || cell.billDate) {
                p.setFont(mark);
                p.setPen(cell.createDate ? QColor(Qt::blue) : QColor(Qt::red));
                p.drawText(r, Qt::AlignCenter, text);
            } else {
                p.setFont(number);
                p.setPen(palette().color(QPalette::Text));
                p.drawText(r.adjusted(0, 0, -3, 0), Qt::AlignRight | Qt::AlignVCenter, text);
            }
        }
    }
    // The grid's lines, the year's end drawn stronger.
    p.setPen(palette().color(QPalette::Mid));
    for (int row = 0; row <= TDefRgModel::Rows + 1; ++row)
        p.drawLine(0, row * m_rowHeight, width(), row * m_rowHeight);
    for (int day = 0; day <= TDefRgModel::Days; ++day) {
        const int x = m_titleWidth + day * m_dayWidth;
        p.drawLine(x, 0, x, height());
    }
    p.setPen(QPen(palette().color(QPalette::Dark), 2));
    p.drawLine(0, 13 * m_rowHeight, width(), 13 * m_rowHeight);
}

void DefRgCalendar::mousePressEvent(QMouseEvent* event) {
    int row = 0, day = 0;
    const QPoint at = event->position().toPoint();
    if (!cellAt(at, row, day))
        return;
    bool changedNow = false;
    if (event->button() == Qt::LeftButton) {
        m_pressedAt = at;
        changedNow = m_model.PressLeft(row, day);
    } else if (event->button() == Qt::RightButton) {
        changedNow = m_model.PressRight(row, day, event->modifiers().testFlag(Qt::ShiftModifier));
    }
    if (changedNow) {
        update();
        Q_EMIT changed();
    }
}

void DefRgCalendar::mouseMoveEvent(QMouseEvent* event) {
    if (!m_model.Dragging() || !(event->buttons() & Qt::LeftButton))
        return;
    const QPoint at = event->position().toPoint();
    const QPoint moved = at - m_pressedAt;
    int row = 0, day = 0;
    if (!TDefRgModel::IsDragMove(moved.x(), moved.y()) || !cellAt(at, row, day))
        return;
    if (m_model.DragTo(row, day)) {
        update();
        Q_EMIT changed();
    }
}

void DefRgCalendar::mouseReleaseEvent(QMouseEvent*) {
    if (!m_model.Dragging())
        return;
    m_model.Release();
    update();
    Q_EMIT changed();
}

TF_DefRg::TF_DefRg(QWidget* parent) : QDialog(parent) {
    setObjectName(u"TF_DefRg"_s);
    setWindowTitle(u"Rechnungstermine festlegen"_s);
    m_calendar = new DefRgCalendar(m_model, this);
    m_list = new QTableWidget(0, 5, this);
    m_list->setObjectName(u"GridList"_s);
    m_list->setHorizontalHeaderLabels(
        {u"Nr"_s, u"Beginn"_s, u"Ende"_s, u"Rechnungsdatum"_s, u"Erstelldatum"_s});
    m_list->verticalHeader()->hide();
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_list->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    m_help = new QLabel(kHelp, this);
    m_help->setObjectName(u"LabelHelp"_s);

    auto* buttons = new QHBoxLayout;
    auto button = [this, buttons](const QString& caption, const QString& name,
                                  std::function<void()> run) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, run] { widgets::guarded(this, run); });
        buttons->addWidget(b);
        return b;
    };
    button(u"Alles löschen"_s, u"btnDeleteAll"_s, [this] { deleteAll(); });
    button(u"Definition löschen"_s, u"btnDelete"_s, [this] { deleteSelected(); });
    button(u"Neuzeichnen"_s, u"btnRedraw"_s, [this] { redraw(); });
    buttons->addStretch(1);
    button(u"OK"_s, u"btnOK"_s, [this] { accept(); })->setDefault(true);
    button(u"Abbruch"_s, u"btnCancel"_s, [this] { reject(); });

    auto* right = new QVBoxLayout;
    right->addWidget(m_list, 1);
    right->addWidget(m_help);
    right->addLayout(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(m_calendar, 0, Qt::AlignTop);
    layout->addLayout(right, 1);

    connect(m_calendar, &DefRgCalendar::changed, this, [this] { showPeriods(); });
    connect(m_list, &QTableWidget::cellClicked, this, [this](int row, int) {
        m_model.Select(row + 1);
        m_calendar->update();
    });

    resize(m_calendar->width() + 470, m_calendar->height() + 12);
    // 67 pixels right of the main window's left edge, directly below it.
    const QSize designed = size();
    PlaceBelowMainForm(this, 67, 0, 0);
    resize(designed);
    auto* storage = new FormStorage(this, kPlacementFile01, u"RgTermin"_s);
    storage->setStoredProperties({});
}

void TF_DefRg::load(const QList<TRgPeriod>& periods) {
    m_model.Load(periods);
    showPeriods();
}

void TF_DefRg::showPeriods() {
    const int count = m_model.Count();
    m_list->setRowCount(count);
    for (int i = 1; i <= count; ++i) {
        const QStringList texts = m_model.ListRow(i);
        for (int c = 0; c < texts.size(); ++c) {
            auto* item = m_list->item(i - 1, c);
            if (!item) {
                item = new QTableWidgetItem;
                m_list->setItem(i - 1, c, item);
            }
            item->setText(texts[c]);
            item->setTextAlignment(c == 0 ? Qt::AlignRight | Qt::AlignVCenter
                                          : Qt::AlignLeft | Qt::AlignVCenter);
        }
    }
    const int selected = m_model.Selected();
    if (selected > 0) {
        m_list->selectRow(selected - 1);
        m_list->scrollToItem(m_list->item(selected - 1, 0));
    } else {
        m_list->clearSelection();
    }
    m_calendar->update();
}

void TF_DefRg::deleteAll() {
    if (m_model.DeleteAllAsked())
        showPeriods();
}

void TF_DefRg::deleteSelected() {
    m_model.DeleteSelected();
    showPeriods();
}

void TF_DefRg::redraw() {
    m_model.SortPeriods();
    showPeriods();
}

void TF_DefRg::accept() {
    if (m_model.CheckOk())
        QDialog::accept();
}

bool EditRgTermine(int defNo, const QString& comment) {
    TF_DefRg form(MainForm());
    form.setWindowTitle(u"Rechnungstermine festlegen  [%1]"_s.arg(comment));
    form.load(LoadRgTermine(defNo));
    if (form.exec() != QDialog::Accepted)
        return false;
    SaveRgTermine(defNo, form.model().Periods());
    return true;
}
