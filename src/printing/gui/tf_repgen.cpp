#include "printing/gui/tf_repgen.h"

#include "core/gui/formstorage.h"
#include "core/gui/mainform.h"
#include "core/messages/messages.h"
#include "core/settings/formplacement.h"
#include "platform/report/report.h"
#include "printing/companylogo.h"
#include "printing/designrules.h"
#include "printing/gui/aligndialog.h"
#include "printing/gui/captiondialog.h"
#include "printing/gui/designproxies.h"
#include "printing/gui/framedialog.h"
#include "printing/gui/optionsdialog.h"
#include "printing/gui/picturedialog.h"
#include "printing/layoutsave.h"
#include "printing/layoutvalues.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>
#include <optional>

using namespace Qt::StringLiterals;
using report::Component;
using report::ComponentClass;

namespace {

constexpr int kPageSize = 1260;
constexpr int kSplitterHeight = 3;
const QColor kSelectedText(255, 0, 0);

// The 3-pixel bar below a band proxy; dragging it sets the band's height.
class BandSplitter : public QWidget {
public:
    BandSplitter(TPrivatePanel* band, std::function<void(TPrivatePanel*, int)> resized,
                 QWidget* parent)
        : QWidget(parent), m_band(band), m_resized(std::move(resized)) {
        setCursor(Qt::SplitVCursor);
        setFixedHeight(kSplitterHeight);
        setAutoFillBackground(true);
    }

protected:
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() != Qt::LeftButton)
            return;
        m_startY = event->globalPosition().toPoint().y();
        m_startHeight = m_band->height();
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        if (!(event->buttons() & Qt::LeftButton) || m_startY < 0)
            return;
        const int dy = event->globalPosition().toPoint().y() - m_startY;
        m_resized(m_band, std::clamp(m_startHeight + dy, 1, kPageSize));
    }
    void mouseReleaseEvent(QMouseEvent*) override { m_startY = -1; }

private:
    TPrivatePanel* m_band;
    std::function<void(TPrivatePanel*, int)> m_resized;
    int m_startY = -1;
    int m_startHeight = 0;
};

QFont dialogFont(const report::FontSpec& spec) {
    QFont font(spec.name);
    font.setPointSizeF(spec.size > 0 ? spec.size : 10);
    font.setBold(spec.bold);
    font.setItalic(spec.italic);
    font.setUnderline(spec.underline);
    font.setStrikeOut(spec.strikeOut);
    return font;
}

// Qt's font dialog with a colour button, since a control's font has a colour.
bool chooseFont(QWidget* parent, report::FontSpec& spec) {
    QFontDialog dialog(parent);
    dialog.setOption(QFontDialog::DontUseNativeDialog);
    dialog.setWindowTitle(u"Schriftart"_s);
    dialog.setCurrentFont(dialogFont(spec));
    QColor color = spec.color;
    if (auto* buttons = dialog.findChild<QDialogButtonBox*>()) {
        QPushButton* colorButton = buttons->addButton(u"Farbe …"_s, QDialogButtonBox::ActionRole);
        QObject::connect(colorButton, &QPushButton::clicked, &dialog, [&dialog, &color] {
            const QColor chosen = QColorDialog::getColor(color, &dialog, u"Farbe"_s);
            if (chosen.isValid())
                color = chosen;
        });
    }
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const QFont chosen = dialog.selectedFont();
    spec.name = chosen.family();
    spec.size = chosen.pointSizeF() > 0 ? chosen.pointSizeF() : spec.size;
    spec.bold = chosen.bold();
    spec.italic = chosen.italic();
    spec.underline = chosen.underline();
    spec.strikeOut = chosen.strikeOut();
    spec.color = color;
    return true;
}

std::optional<DesignArrow> arrowOf(int key) {
    switch (key) {
    case Qt::Key_Left:
        return DesignArrow::Left;
    case Qt::Key_Up:
        return DesignArrow::Up;
    case Qt::Key_Right:
        return DesignArrow::Right;
    case Qt::Key_Down:
        return DesignArrow::Down;
    default:
        return std::nullopt;
    }
}

QLineEdit* readOnlyField(QWidget* parent) {
    auto* field = new QLineEdit(parent);
    field->setReadOnly(true);
    field->setFocusPolicy(Qt::NoFocus);
    field->setFixedWidth(56);
    field->setAlignment(Qt::AlignRight);
    return field;
}

} // namespace

TF_RepGen::TF_RepGen(QWidget* parent)
    : QDialog(parent), m_frameDialog(new TFramedialog(this)),
      m_captionDialog(new TCaptionDialog(this)), m_pictureDialog(new TPictureDialog(this)),
      m_alignDialog(new TAlignDialog(this)), m_optionsDialog(new TOptionsDialog(this)),
      m_fontChooser(&chooseFont) {
    setWindowTitle(u"Druckformulare anpassen"_s);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    buildTopPanel();
    m_scroll = new QScrollArea(this);
    m_page = new QWidget;
    m_page->setFixedSize(kPageSize, kPageSize);
    m_page->setAutoFillBackground(true);
    QPalette pagePalette = m_page->palette();
    pagePalette.setColor(QPalette::Window, Qt::white);
    m_page->setPalette(pagePalette);
    m_printArea = new QWidget(m_page);
    m_printArea->setObjectName(u"PrintArea"_s);
    m_printArea->setAutoFillBackground(true);
    QPalette areaPalette = m_printArea->palette();
    areaPalette.setColor(QPalette::Window, QColor(250, 250, 250));
    m_printArea->setPalette(areaPalette);
    m_scroll->setWidget(m_page);
    layout->addWidget(m_scroll, 1);
    m_status = new QLabel(this);
    layout->addWidget(m_status);

    // Placed below the main window, as high as the screen leaves below it.
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    int top = screen.top();
    if (F_LumoMain)
        top = F_LumoMain->frameGeometry().bottom() + 1;
    resize(900, std::max(screen.bottom() - top - 64, 480));
    move(screen.left(), top);

    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget*, QWidget* now) { focusChanged(now); });
    auto* storage = new FormStorage(this, kPlacementFile01, u"Repgen"_s, 0);
    storage->setStoredProperties({u"ScrollTop"_s});
    for (QWidget* child : findChildren<QWidget*>())
        if (child->focusPolicy() != Qt::NoFocus)
            child->installEventFilter(this);
}

TF_RepGen::~TF_RepGen() {
    // The proxies refer to the base report's controls by name only; the
    // report goes with the window.
    FreeBaseReport();
}

void TF_RepGen::buildTopPanel() {
    auto* top = new QHBoxLayout;
    m_list = new QTableWidget(0, 2, this);
    m_list->setHorizontalHeaderLabels({u"Feldbezeichnung"_s, u"Aktiv"_s});
    QFont headerFont = m_list->horizontalHeader()->font();
    headerFont.setBold(true);
    m_list->horizontalHeader()->setFont(headerFont);
    m_list->setColumnWidth(0, 180);
    m_list->setColumnWidth(1, 40);
    m_list->horizontalHeader()->setStretchLastSection(true);
    m_list->verticalHeader()->hide();
    m_list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_list->verticalHeader()->setDefaultSectionSize(
        std::max(15, m_list->fontMetrics().height() + 2));
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setFixedSize(244, 150);
    connect(m_list, &QTableWidget::currentCellChanged, this, [this](int row) {
        if (!m_selectingRow)
            SelectRow(row);
    });
    connect(m_list, &QTableWidget::cellDoubleClicked, this, [this](int row) { ToggleRow(row); });
    top->addWidget(m_list);

    auto* position = new QGridLayout;
    const QString captions[4] = {u"Oben"_s, u"Links"_s, u"Breite"_s, u"Höhe"_s};
    for (int i = 0; i < 4; ++i) {
        m_position[i] = readOnlyField(this);
        position->addWidget(new QLabel(captions[i], this), i, 0);
        position->addWidget(m_position[i], i, 1);
    }
    position->setRowStretch(4, 1);
    top->addLayout(position);

    m_marginGroup = new QGroupBox(u"Formularränder"_s, this);
    auto* margins = new QGridLayout(m_marginGroup);
    const QString sides[4] = {u"Oben"_s, u"Links"_s, u"Rechts"_s, u"Unten"_s};
    for (int i = 0; i < 4; ++i) {
        m_margin[i] = new QLineEdit(m_marginGroup);
        m_margin[i]->setFixedWidth(84);
        m_margin[i]->setAlignment(Qt::AlignRight);
        margins->addWidget(new QLabel(sides[i], m_marginGroup), i, 0);
        margins->addWidget(m_margin[i], i, 1);
    }
    m_marginOk = new QPushButton(u"OK"_s, m_marginGroup);
    m_marginCancel = new QPushButton(u"Abbrechen"_s, m_marginGroup);
    m_marginOk->setEnabled(false);
    m_marginCancel->setEnabled(false);
    margins->addWidget(m_marginOk, 0, 2);
    margins->addWidget(m_marginCancel, 1, 2);
    connect(m_marginOk, &QPushButton::clicked, this, [this] { MarginsOkClick(); });
    connect(m_marginCancel, &QPushButton::clicked, this, [this] { MarginsCancelClick(); });
    top->addWidget(m_marginGroup);
    top->addStretch();

    auto* right = new QVBoxLayout;
    m_save = new QPushButton(u"Speichern"_s, this);
    m_save->setEnabled(false);
    m_options = new QPushButton(u"Optionen"_s, this);
    for (QPushButton* b : {m_save, m_options})
        b->setAutoDefault(false);
    connect(m_save, &QPushButton::clicked, this, [this] { SaveFormLayout(); });
    connect(m_options, &QPushButton::clicked, this, [this] { OptionsClick(); });
    auto* rasterLine = new QHBoxLayout;
    m_raster = new QSpinBox(this);
    m_raster->setRange(kMinRaster, kMaxRaster);
    m_raster->setValue(DesignRaster());
    connect(m_raster, &QSpinBox::valueChanged, this, [](int value) { SetDesignRaster(value); });
    rasterLine->addWidget(new QLabel(u"Raster"_s, this));
    rasterLine->addWidget(m_raster);
    right->addWidget(m_save);
    right->addWidget(m_options);
    right->addLayout(rasterLine);
    right->addStretch();
    top->addLayout(right);
    static_cast<QVBoxLayout*>(layout())->addLayout(top);
}

bool TF_RepGen::OpenForm(int formType, const QString& title, const QString& layoutFile) {
    m_selected = nullptr;
    m_dragOrigin = {};
    m_dragging = false;
    m_raster->setValue(DesignRaster());
    m_title = title;
    m_layoutPath = layoutFile;
    if (!GetControlList(formType, layoutFile, m_controls, m_margins))
        return false;
    m_save->setEnabled(true);
    buildSurface();
    m_status->setText(title + u"   (" + layoutFile + u')');
    return true;
}

void TF_RepGen::buildSurface() {
    // The page's width plus the window's frame and scroll bar.
    const int pageWidth = m_margins.left + m_margins.printWidth + m_margins.right + 100;
    const int screenWidth = QGuiApplication::primaryScreen()->availableGeometry().width();
    resize(std::min(std::max(pageWidth + 30, width()), screenWidth), height());
    placePrintArea();
    showMargins();
    m_list->setRowCount(int(m_controls.size()));
    for (int row = 0; row < m_controls.size(); ++row)
        addControlRow(row, m_controls.at(row));
    // Bands first: a layout may have moved a control to a band further down.
    for (const ControlEntry& entry : std::as_const(m_controls))
        if (report::isBand(entry.component->cls))
            createProxy(entry);
    placeBands();
    for (const ControlEntry& entry : std::as_const(m_controls))
        if (!report::isBand(entry.component->cls)) {
            createProxy(entry);
            QCoreApplication::processEvents();
        }
}

void TF_RepGen::addControlRow(int row, const ControlEntry& entry) {
    m_list->setItem(row, 0, new QTableWidgetItem(entry.name));
    m_list->setItem(row, 1, new QTableWidgetItem());
    paintRow(row);
}

void TF_RepGen::paintRow(int row) {
    const Component& c = *m_controls.at(row).component;
    m_list->item(row, 1)->setText(c.enabled ? u"Ja"_s : u"Nein"_s);
    QColor color = m_list->palette().color(QPalette::Text);
    if (IsStructureRow(c.cls))
        color = Qt::red;
    else if (!c.enabled)
        color = Qt::gray;
    for (int column = 0; column < 2; ++column)
        m_list->item(row, column)->setForeground(color);
}

void TF_RepGen::createProxy(const ControlEntry& entry) {
    Component& c = *entry.component;
    if (report::isBand(c.cls)) {
        auto* band = new TPrivatePanel(c.name, m_printArea);
        band->frame = c.frame;
        band->setFixedHeight(std::max(c.height, 0));
        band->switchedOn = c.enabled;
        band->installEventFilter(this);
        auto* splitter = new BandSplitter(
            band, [this](TPrivatePanel* b, int height) { bandResized(b, height); }, m_printArea);
        m_bands.append(band);
        m_splitters.insert(band, splitter);
        m_proxies.insert(c.name.toLower(), band);
        band->show();
        splitter->show();
        band->update();
        return;
    }
    // A control sits on its band's proxy; one without a band gets none.
    auto* band = qobject_cast<TPrivatePanel*>(proxyOf(c.parent));
    if (!band)
        return;
    QWidget* proxy = nullptr;
    const int kind = LabelKindOf(c.cls);
    if (kind >= 0) {
        auto* label = new TPrivateLabel(kind, band);
        label->setText(LabelProxyText(c));
        if (kind != kLabelRich)
            label->setDesignAlignment(c.alignment);
        label->setBackground(c.color);
        label->setDesignFont(c.font);
        label->setTextColor(c.font.color);
        label->setNormalColor(c.font.color);
        label->frame = c.frame;
        label->mask = c.mask;
        proxy = label;
    } else if (c.cls == ComponentClass::Image) {
        auto* image = new TPrivateImage(band);
        QImage logo;
        if (LoadInstalledFirmenLogo(logo))
            image->setPicture(logo);
        image->center = c.center;
        image->stretch = c.stretch;
        image->frame = c.frame;
        proxy = image;
    } else {
        return;
    }
    proxy->setObjectName(c.name);
    proxy->setGeometry(c.left, c.top, c.width, c.height);
    proxy->setVisible(c.enabled);
    proxy->installEventFilter(this);
    m_proxies.insert(c.name.toLower(), proxy);
}

void TF_RepGen::placeBands() {
    int y = 0;
    for (TPrivatePanel* band : std::as_const(m_bands)) {
        band->setGeometry(0, y, m_printArea->width(), band->height());
        y += band->height();
        m_splitters.value(band)->setGeometry(0, y, m_printArea->width(), kSplitterHeight);
        y += kSplitterHeight;
    }
}

void TF_RepGen::placePrintArea() {
    m_printArea->setGeometry(m_margins.left, m_margins.top, std::max(m_margins.printWidth, 1),
                             std::max(kPageSize - m_margins.top - 100, 1));
    placeBands();
}

void TF_RepGen::showMargins() {
    m_margin[0]->setText(MarginFieldText(m_margins.top));
    m_margin[1]->setText(MarginFieldText(m_margins.left));
    m_margin[2]->setText(MarginFieldText(m_margins.right));
    m_margin[3]->setText(MarginFieldText(m_margins.bottom));
}

TPrivateLabel* TF_RepGen::labelProxy(const QString& name) const {
    return qobject_cast<TPrivateLabel*>(proxyOf(name));
}

TPrivateImage* TF_RepGen::imageProxy(const QString& name) const {
    return qobject_cast<TPrivateImage*>(proxyOf(name));
}

TPrivatePanel* TF_RepGen::bandProxy(const QString& name) const {
    return qobject_cast<TPrivatePanel*>(proxyOf(name));
}

QWidget* TF_RepGen::proxyOf(const QString& name) const {
    return m_proxies.value(name.toLower());
}

Component* TF_RepGen::componentOf(const QWidget* proxy) const {
    report::Report* base = BaseReport();
    return proxy && base ? base->find(proxy->objectName()) : nullptr;
}

// ---- selection

void TF_RepGen::releaseLabelColor() {
    if (auto* label = qobject_cast<TPrivateLabel*>(m_selected))
        label->setTextColor(label->normalColor());
}

void TF_RepGen::selectListRow(const QString& name) {
    m_selectingRow = true;
    for (int row = 0; row < m_list->rowCount(); ++row) {
        if (m_list->item(row, 0)->text().compare(name, Qt::CaseInsensitive) == 0) {
            m_list->setCurrentCell(row, 0);
            m_list->scrollToItem(m_list->item(row, 0));
            break;
        }
    }
    m_selectingRow = false;
}

void TF_RepGen::selectProxy(QWidget* proxy, Qt::MouseButton button, const QPoint& pos,
                            const QPoint& globalPos) {
    m_list->setFocus();
    releaseLabelColor();
    m_selected = proxy;
    selectListRow(proxy->objectName());
    if (auto* label = qobject_cast<TPrivateLabel*>(proxy))
        label->setTextColor(kSelectedText);
    showPosition(proxy);
    if (button == Qt::RightButton) {
        popUpMenu(globalPos + QPoint(32, -32));
    } else if (button == Qt::LeftButton) {
        m_dragOrigin = pos;
        m_dragging = true;
    }
}

void TF_RepGen::selectBand(TPrivatePanel* band) {
    releaseLabelColor();
    selectListRow(band->objectName());
    m_selected = nullptr;
    showPosition(band);
}

void TF_RepGen::SelectRow(int row) {
    if (row < 0 || row >= m_controls.size())
        return;
    QWidget* proxy = proxyOf(m_controls.at(row).name);
    if (auto* band = qobject_cast<TPrivatePanel*>(proxy)) {
        selectBand(band);
    } else if (proxy) {
        selectProxy(proxy, Qt::MiddleButton, {}, {});
    } else {
        releaseLabelColor();
        m_selected = nullptr;
        for (QLineEdit* field : m_position)
            field->clear();
    }
}

void TF_RepGen::ToggleRow(int row) {
    if (row < 0 || row >= m_controls.size())
        return;
    Component& c = *m_controls.at(row).component;
    if (!IsSwitchable(c.cls))
        return;
    c.enabled = !c.enabled;
    paintRow(row);
    QWidget* proxy = proxyOf(c.name);
    if (auto* band = qobject_cast<TPrivatePanel*>(proxy)) {
        band->switchedOn = c.enabled;
        band->update();
    } else if (proxy) {
        proxy->setVisible(c.enabled);
    }
}

void TF_RepGen::showPosition(const QWidget* widget) {
    m_position[0]->setText(QString::number(widget->y()));
    m_position[1]->setText(QString::number(widget->x()));
    m_position[2]->setText(QString::number(widget->width()));
    m_position[3]->setText(QString::number(widget->height()));
}

void TF_RepGen::writeGeometry(const QWidget* proxy) {
    if (Component* c = componentOf(proxy)) {
        c->left = proxy->x();
        c->top = proxy->y();
        c->width = proxy->width();
        c->height = proxy->height();
    }
}

// ---- mouse, keyboard, band heights

void TF_RepGen::dragTo(const QPoint& pos) {
    QWidget* proxy = m_selected;
    const QWidget* band = proxy->parentWidget();
    const int raster = DesignRaster();
    const int left = DraggedPosition(proxy->x(), pos.x() - m_dragOrigin.x(), raster,
                                     band->width() - proxy->width());
    const int top = DraggedPosition(proxy->y(), pos.y() - m_dragOrigin.y(), raster,
                                    band->height() - proxy->height());
    proxy->move(left, top);
    showPosition(proxy);
    writeGeometry(proxy);
}

bool TF_RepGen::handleKey(QKeyEvent* event, bool inList) {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (!m_selected) {
        // Space in the list stands for a double click.
        if (event->key() == Qt::Key_Space && modifiers == Qt::NoModifier && inList) {
            ToggleRow(m_list->currentRow());
            return true;
        }
        return false;
    }
    bool consumed = false;
    if (event->key() == Qt::Key_Space && modifiers == Qt::NoModifier && inList) {
        ToggleRow(m_list->currentRow());
        consumed = true;
    } else if (const std::optional<DesignArrow> arrow = arrowOf(event->key())) {
        const DesignKeyModifier modifier = modifiers & Qt::ControlModifier ? DesignKeyModifier::Ctrl
                                           : modifiers & Qt::ShiftModifier
                                               ? DesignKeyModifier::Shift
                                               : DesignKeyModifier::None;
        DesignGeometry g{m_selected->x(), m_selected->y(), m_selected->width(),
                         m_selected->height()};
        const QWidget* band = m_selected->parentWidget();
        if (ApplyDesignKey(modifier, *arrow, band->width(), band->height(), g)) {
            m_selected->setGeometry(g.left, g.top, g.width, g.height);
            consumed = true;
        }
    }
    showPosition(m_selected);
    writeGeometry(m_selected);
    return consumed;
}

void TF_RepGen::bandResized(TPrivatePanel* band, int height) {
    band->setFixedHeight(height);
    placeBands();
    showPosition(band);
    if (Component* c = componentOf(band))
        c->height = height;
}

bool TF_RepGen::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
        return handleKey(static_cast<QKeyEvent*>(event), watched == m_list);
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        auto* widget = qobject_cast<QWidget*>(watched);
        if (auto* band = qobject_cast<TPrivatePanel*>(widget)) {
            if (mouse->button() == Qt::LeftButton) {
                selectBand(band);
            } else if (mouse->button() == Qt::RightButton) {
                selectListRow(band->objectName());
                BandFrameClick(band);
            }
            return true;
        }
        if (qobject_cast<TPrivateLabel*>(widget) || qobject_cast<TPrivateImage*>(widget)) {
            selectProxy(widget, mouse->button(), mouse->position().toPoint(),
                        mouse->globalPosition().toPoint());
            return true;
        }
        break;
    }
    case QEvent::MouseMove:
        if (m_dragging && watched == m_selected) {
            dragTo(static_cast<QMouseEvent*>(event)->position().toPoint());
            return true;
        }
        break;
    case QEvent::MouseButtonRelease:
        if (watched == m_selected)
            m_dragging = false;
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

// ---- menus

void TF_RepGen::popUpMenu(const QPoint& globalPos) {
    QMenu menu(this);
    if (auto* label = qobject_cast<TPrivateLabel*>(m_selected)) {
        menu.addAction(u"Font"_s, this, [this] { LabelFontClick(); });
        menu.addAction(u"Rahmen"_s, this, [this] { LabelFrameClick(); });
        QAction* caption =
            menu.addAction(label->kind() == kLabelData ? u"Formatierung"_s : u"Beschriftung"_s,
                           this, [this] { LabelCaptionClick(); });
        caption->setEnabled(HasCaptionEntry(label->kind()));
        QAction* align = menu.addAction(u"Ausrichtung"_s, this, [this] { LabelAlignClick(); });
        align->setEnabled(HasAlignEntry(label->kind()));
    } else if (qobject_cast<TPrivateImage*>(m_selected)) {
        menu.addAction(u"Formatieren"_s, this, [this] { PictureFormatClick(); });
        menu.addAction(u"Rahmen"_s, this, [this] { PictureFrameClick(); });
    } else {
        return;
    }
    menu.addSeparator();
    menu.addAction(u"Abbrechen"_s);
    m_dragging = false;
    menu.exec(globalPos);
}

void TF_RepGen::LabelFontClick() {
    auto* label = qobject_cast<TPrivateLabel*>(m_selected);
    Component* c = componentOf(label);
    if (!label || !c)
        return;
    report::FontSpec font = c->font;
    if (!m_fontChooser || !m_fontChooser(this, font))
        return;
    label->setDesignFont(font);
    label->setNormalColor(font.color);
    label->setTextColor(kSelectedText);
    c->font = font;
}

void TF_RepGen::LabelFrameClick() {
    auto* label = qobject_cast<TPrivateLabel*>(m_selected);
    if (label)
        editFrame(label, label->frame);
}

void TF_RepGen::LabelCaptionClick() {
    auto* label = qobject_cast<TPrivateLabel*>(m_selected);
    Component* c = componentOf(label);
    if (!label || !c || !HasCaptionEntry(label->kind()))
        return;
    const bool mask = label->kind() == kLabelData;
    m_captionDialog->setWindowTitle(mask ? u"Formatierung"_s : u"Beschriftung"_s);
    m_captionDialog->setText(mask ? label->mask : label->text());
    if (!m_captionDialog->ExecuteAt(x() + 450, y() + 200))
        return;
    if (mask) {
        label->mask = m_captionDialog->text();
        c->mask = label->mask;
    } else {
        label->setText(m_captionDialog->text());
        c->caption = label->text();
    }
}

void TF_RepGen::LabelAlignClick() {
    auto* label = qobject_cast<TPrivateLabel*>(m_selected);
    Component* c = componentOf(label);
    if (!label || !c || !HasAlignEntry(label->kind()))
        return;
    m_alignDialog->setItemIndex(int(c->alignment));
    if (!m_alignDialog->ExecuteAt(x() + 500, y() + 200))
        return;
    const int index = m_alignDialog->itemIndex();
    if (index < 0)
        return;
    c->alignment = report::Alignment(index);
    label->setDesignAlignment(c->alignment);
}

void TF_RepGen::PictureFormatClick() {
    auto* image = qobject_cast<TPrivateImage*>(m_selected);
    Component* c = componentOf(image);
    if (!image || !c)
        return;
    m_pictureDialog->setFlags(image->center, image->stretch);
    if (!m_pictureDialog->ExecuteAt(x() + 500, y() + 200))
        return;
    image->center = c->center = m_pictureDialog->center();
    image->stretch = c->stretch = m_pictureDialog->stretch();
    image->update();
}

void TF_RepGen::PictureFrameClick() {
    auto* image = qobject_cast<TPrivateImage*>(m_selected);
    if (image)
        editFrame(image, image->frame);
}

void TF_RepGen::BandFrameClick(TPrivatePanel* band) {
    editFrame(band, band->frame);
}

void TF_RepGen::editFrame(QWidget* proxy, report::FrameSpec& frame) {
    Component* c = componentOf(proxy);
    if (!c)
        return;
    m_frameDialog->setFrame(frame);
    if (!m_frameDialog->ExecuteAt(x() + 500, y() + 200))
        return;
    m_frameDialog->readFrame(frame);
    // The control keeps the pen style its report gives it.
    const int style = c->frame.style;
    c->frame = frame;
    c->frame.style = style;
    proxy->update();
}

// ---- margins, options, saving

void TF_RepGen::focusChanged(QWidget* now) {
    const bool inGroup = now && m_marginGroup->isAncestorOf(now);
    m_marginOk->setEnabled(inGroup);
    m_marginCancel->setEnabled(inGroup);
}

void TF_RepGen::MarginsOkClick() {
    report::Report* base = BaseReport();
    if (!base)
        return;
    report::ReportDefinition& def = base->def();
    const QSizeF paper = PaperMm(def);
    ApplyMarginFields(
        {m_margin[1]->text(), m_margin[0]->text(), m_margin[2]->text(), m_margin[3]->text()},
        paper.width(), paper.height(), m_margins);
    def.marginLeft = m_margins.left / report::kDesignPixelsPerMm;
    def.marginTop = m_margins.top / report::kDesignPixelsPerMm;
    def.marginRight = m_margins.right / report::kDesignPixelsPerMm;
    def.marginBottom = m_margins.bottom / report::kDesignPixelsPerMm;
    placePrintArea();
    showMargins();
    m_list->setFocus();
}

void TF_RepGen::MarginsCancelClick() {
    showMargins();
    m_list->setFocus();
}

void TF_RepGen::OptionsClick() {
    m_optionsDialog->ExecuteAt(x() + 400, y() + 100);
    m_list->setFocus();
}

void TF_RepGen::SaveFormLayout() {
    if (report::Report* base = BaseReport())
        if (SaveFormLayoutFile(m_layoutPath, *base, m_title))
            ShowInfo(u"Layout gespeichert."_s);
    m_list->setFocus();
}

// ---- scroll position

int TF_RepGen::scrollTop() const {
    return m_scroll->verticalScrollBar()->value();
}

void TF_RepGen::setScrollTop(int value) {
    m_pendingScroll = value;
    m_scroll->verticalScrollBar()->setValue(value);
}

void TF_RepGen::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The scroll range exists only once the window is laid out.
    QTimer::singleShot(0, this, [this] {
        if (m_pendingScroll >= 0)
            m_scroll->verticalScrollBar()->setValue(m_pendingScroll);
        m_pendingScroll = -1;
    });
    m_list->setFocus();
}

void ShowLayoutDesigner(int formType, const QString& title, const QString& layoutFile, int left,
                        int top) {
    TF_RepGen form(QApplication::activeWindow());
    form.move(left, top);
    if (!form.OpenForm(formType, title, layoutFile)) {
        ShowError(u"Ungültige Formular-Identifizierung!"_s);
        return;
    }
    form.exec();
}
