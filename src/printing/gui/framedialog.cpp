#include "printing/gui/framedialog.h"

#include "platform/report/reportdef.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QColorDialog>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

using namespace Qt::StringLiterals;

TFramedialog::TFramedialog(QWidget* parent) : DesignerDialog(u"Rahmeneinstellungen"_s, parent) {
    auto* grid = new QGridLayout;
    m_left = new QCheckBox(u"Rahmen links"_s, this);
    m_top = new QCheckBox(u"Rahmen oben"_s, this);
    m_bottom = new QCheckBox(u"Rahmen unten"_s, this);
    m_right = new QCheckBox(u"Rahmen rechts"_s, this);
    grid->addWidget(m_left, 0, 0);
    grid->addWidget(m_top, 1, 0);
    grid->addWidget(m_bottom, 2, 0);
    grid->addWidget(m_right, 3, 0);
    auto* widthLabel = new QLabel(u"Strichstärke"_s, this);
    m_width = new QSpinBox(this);
    m_width->setRange(0, 16);
    widthLabel->setBuddy(m_width);
    grid->addWidget(widthLabel, 0, 1);
    grid->addWidget(m_width, 0, 2);
    auto* colorButton = new QPushButton(u"Farbe"_s, this);
    colorButton->setAutoDefault(false);
    m_swatch = new QFrame(this);
    m_swatch->setFrameShape(QFrame::Box);
    m_swatch->setFixedSize(40, 20);
    m_swatch->setAutoFillBackground(true);
    grid->addWidget(colorButton, 1, 1);
    grid->addWidget(m_swatch, 1, 2);
    content()->addLayout(grid);
    connect(colorButton, &QPushButton::clicked, this, [this] { ColorClick(); });
    m_chooser = [](QWidget* parent, QColor& color) {
        const QColor chosen = QColorDialog::getColor(color, parent, u"Farbe"_s);
        if (!chosen.isValid())
            return false;
        color = chosen;
        return true;
    };
    showColor();
}

void TFramedialog::setFrame(const report::FrameSpec& frame) {
    m_left->setChecked(frame.left);
    m_top->setChecked(frame.top);
    m_bottom->setChecked(frame.bottom);
    m_right->setChecked(frame.right);
    m_width->setValue(frame.width);
    m_color = frame.color;
    showColor();
}

void TFramedialog::readFrame(report::FrameSpec& frame) const {
    frame.left = m_left->isChecked();
    frame.top = m_top->isChecked();
    frame.bottom = m_bottom->isChecked();
    frame.right = m_right->isChecked();
    frame.width = m_width->value();
    frame.color = m_color;
}

void TFramedialog::ColorClick() {
    QColor color = m_color;
    if (m_chooser && m_chooser(this, color)) {
        m_color = color;
        showColor();
    }
}

void TFramedialog::showColor() {
    QPalette palette = m_swatch->palette();
    palette.setColor(QPalette::Window, m_color);
    m_swatch->setPalette(palette);
}
