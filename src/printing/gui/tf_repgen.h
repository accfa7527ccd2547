#pragma once

#include "printing/basereport.h"

#include <QDialog>
#include <QHash>
#include <QPoint>
#include <functional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QSpinBox;
class QTableWidget;
class TAlignDialog;
class TCaptionDialog;
class TFramedialog;
class TOptionsDialog;
class TPictureDialog;
class TPrivateImage;
class TPrivateLabel;
class TPrivatePanel;

namespace report {
struct FontSpec;
struct FrameSpec;
} // namespace report

// "Druckformulare anpassen": the layout of one user print form on its base
// report. Every band and printable control has a proxy on the page area; the
// user moves and sizes them on the raster or by keyboard, switches controls
// on and off, edits fonts, frames, captions, masks, alignment and pictures,
// sets margins, printer and bin, and saves. Each change goes at once into the
// base report, from which "Speichern" writes the whole layout file.
class TF_RepGen : public QDialog {
    Q_OBJECT
    // The page area's vertical scroll position, kept between openings.
    Q_PROPERTY(int ScrollTop READ scrollTop WRITE setScrollTop)
public:
    // The font dialog: false when cancelled. Tests install their own.
    using FontChooser = std::function<bool(QWidget* parent, report::FontSpec& font)>;

    explicit TF_RepGen(QWidget* parent = nullptr);
    ~TF_RepGen() override;

    // Makes the base report of the form and its design surface; false (the
    // registry has said why) when the form type has no report.
    bool OpenForm(int formType, const QString& title, const QString& layoutFile);

    void SaveFormLayout();
    void OptionsClick();
    void MarginsOkClick();
    void MarginsCancelClick();

    // The control list: a row's selection as a click, the on/off switch as a
    // double click.
    void SelectRow(int row);
    void ToggleRow(int row);

    // The menus' entries, acting on the selected proxy.
    void LabelFontClick();
    void LabelFrameClick();
    void LabelCaptionClick();
    void LabelAlignClick();
    void PictureFormatClick();
    void PictureFrameClick();
    void BandFrameClick(TPrivatePanel* band);

    void setFontChooser(FontChooser chooser) { m_fontChooser = std::move(chooser); }

    QTableWidget* controlList() const { return m_list; }
    QLineEdit* positionField(int index) const {
        return m_position[index];
    }                                                                   // top, left, width, height
    QLineEdit* marginField(int index) const { return m_margin[index]; } // top, left, right, bottom
    QGroupBox* marginGroup() const { return m_marginGroup; }
    QPushButton* marginOk() const { return m_marginOk; }
    QPushButton* marginCancel() const { return m_marginCancel; }
    QPushButton* saveButton() const { return m_save; }
    QSpinBox* rasterField() const { return m_raster; }
    QWidget* printArea() const { return m_printArea; }
    QWidget* page() const { return m_page; }
    TPrivateLabel* labelProxy(const QString& name) const;
    TPrivateImage* imageProxy(const QString& name) const;
    TPrivatePanel* bandProxy(const QString& name) const;
    QWidget* selectedProxy() const { return m_selected; }
    const DesignMargins& margins() const { return m_margins; }
    TFramedialog* frameDialog() const { return m_frameDialog; }
    TCaptionDialog* captionDialog() const { return m_captionDialog; }
    TPictureDialog* pictureDialog() const { return m_pictureDialog; }
    TAlignDialog* alignDialog() const { return m_alignDialog; }
    TOptionsDialog* optionsDialog() const { return m_optionsDialog; }

    int scrollTop() const;
    void setScrollTop(int value);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildTopPanel();
    void buildSurface();
    void addControlRow(int row, const ControlEntry& entry);
    void paintRow(int row);
    void createProxy(const ControlEntry& entry);
    void placeBands();
    void placePrintArea();
    void showMargins();

    void selectProxy(QWidget* proxy, Qt::MouseButton button, const QPoint& pos,
                     const QPoint& globalPos);
    void selectBand(TPrivatePanel* band);
    void releaseLabelColor();
    void selectListRow(const QString& name);
    void showPosition(const QWidget* widget);
    void writeGeometry(const QWidget* proxy);
    void dragTo(const QPoint& pos);
    bool handleKey(QKeyEvent* event, bool inList);
    void bandResized(TPrivatePanel* band, int height);
    void popUpMenu(const QPoint& globalPos);
    // The frame dialog over a proxy's frame; on OK into the proxy and its control.
    void editFrame(QWidget* proxy, report::FrameSpec& frame);
    void focusChanged(QWidget* now);
    report::Component* componentOf(const QWidget* proxy) const;
    QWidget* proxyOf(const QString& name) const;

    QTableWidget* m_list = nullptr;
    QLineEdit* m_position[4] = {};
    QGroupBox* m_marginGroup = nullptr;
    QLineEdit* m_margin[4] = {};
    QPushButton* m_marginOk = nullptr;
    QPushButton* m_marginCancel = nullptr;
    QPushButton* m_save = nullptr;
    QPushButton* m_options = nullptr;
    QSpinBox* m_raster = nullptr;
    QScrollArea* m_scroll = nullptr;
    QWidget* m_page = nullptr;
    QWidget* m_printArea = nullptr;
    QLabel* m_status = nullptr;

    TFramedialog* m_frameDialog;
    TCaptionDialog* m_captionDialog;
    TPictureDialog* m_pictureDialog;
    TAlignDialog* m_alignDialog;
    TOptionsDialog* m_optionsDialog;
    FontChooser m_fontChooser;

    QList<ControlEntry> m_controls;
    DesignMargins m_margins;
    QString m_title;
    QString m_layoutPath;
    QHash<QString, QWidget*> m_proxies; // by lower-case name
    QList<TPrivatePanel*> m_bands;      // in component order
    QHash<TPrivatePanel*, QWidget*> m_splitters;
    QWidget* m_selected = nullptr; // a label or picture proxy
    QPoint m_dragOrigin;
    bool m_dragging = false;
    bool m_selectingRow = false;
    int m_pendingScroll = -1;
};

// Opens the designer modally at (left, top) for the print form whose layout
// path is layoutFile; "Ungültige Formular-Identifizierung!" when the form
// type has no report.
void ShowLayoutDesigner(int formType, const QString& title, const QString& layoutFile, int left,
                        int top);
