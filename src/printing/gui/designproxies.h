#pragma once

// The design proxies: what the layout designer shows of a band or a control,
// each a standard widget whose painting adds the control's frame. The proxy
// of a control carries the control's name as its object name.

#include "platform/report/reportdef.h"

#include <QImage>
#include <QLabel>
#include <QWidget>

// Draws the frame's sides with a pen three times its line width, clockwise
// from the top-left corner of the widget.
void PaintProxyFrame(QWidget& widget, const report::FrameSpec& frame);

// A text-like control: label (kind 0), data field (1), rich text (2), system
// data (3) or expression (4).
class TPrivateLabel : public QLabel {
    Q_OBJECT
public:
    TPrivateLabel(int kind, QWidget* parent);

    int kind() const { return m_kind; }
    // The font colour when not selected (a selected proxy's text is red).
    QColor normalColor() const { return m_normalColor; }
    void setNormalColor(const QColor& color) { m_normalColor = color; }
    // Text in the given colour; the background stays.
    void setTextColor(const QColor& color);
    // The font in design pixels: a point is 3.8 × 25.4 / 72 of them.
    void setDesignFont(const report::FontSpec& font);
    void setBackground(const QColor& color);
    void setDesignAlignment(report::Alignment alignment);

    report::FrameSpec frame;
    QString mask; // data fields only

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_kind;
    QColor m_normalColor = Qt::black;
};

// A band: its name in small blue letters on light grey.
class TPrivatePanel : public QWidget {
    Q_OBJECT
public:
    TPrivatePanel(const QString& caption, QWidget* parent);
    QString caption() const { return m_caption; }

    report::FrameSpec frame;
    bool switchedOn = true; // a child band may be switched off: its caption greys

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_caption;
};

// An image control: the company logo as the control would print it.
class TPrivateImage : public QWidget {
    Q_OBJECT
public:
    explicit TPrivateImage(QWidget* parent);

    void setPicture(const QImage& picture);
    const QImage& picture() const { return m_picture; }
    bool center = false;
    bool stretch = false;
    report::FrameSpec frame;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_picture;
};

// Design pixels of a font size in points.
int DesignPixelsOfPoints(double points);
