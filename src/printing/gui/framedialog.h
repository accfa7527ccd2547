#pragma once

#include "printing/gui/designerdialog.h"

#include <QColor>
#include <functional>

class QCheckBox;
class QFrame;
class QSpinBox;

namespace report {
struct FrameSpec;
}

// "Rahmeneinstellungen": the four sides, the line width 0 to 16 and the
// colour of a frame. The pen style is not the dialog's: a control keeps the
// style its report gives it.
class TFramedialog : public DesignerDialog {
    Q_OBJECT
public:
    // The system colour dialog; false when cancelled. Tests install their own.
    using ColorChooser = std::function<bool(QWidget* parent, QColor& color)>;

    explicit TFramedialog(QWidget* parent = nullptr);

    void setFrame(const report::FrameSpec& frame);
    // Sides, width and colour into `frame`; its style stays.
    void readFrame(report::FrameSpec& frame) const;

    void setColorChooser(ColorChooser chooser) { m_chooser = std::move(chooser); }
    void ColorClick();

    QCheckBox* leftBox() const { return m_left; }
    QCheckBox* topBox() const { return m_top; }
    QCheckBox* bottomBox() const { return m_bottom; }
    QCheckBox* rightBox() const { return m_right; }
    QSpinBox* lineWidth() const { return m_width; }
    QColor color() const { return m_color; }

private:
    void showColor();

    QCheckBox* m_left;
    QCheckBox* m_top;
    QCheckBox* m_bottom;
    QCheckBox* m_right;
    QSpinBox* m_width;
    QFrame* m_swatch;
    QColor m_color = Qt::black;
    ColorChooser m_chooser;
};
