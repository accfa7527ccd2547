#pragma once

#include "masterdata/dialogs/rtfeditor.h"

// The file editor: edits one rich-text file (a letter, a text of the daily
// lists) with the memo editor's tool bar, its files in the caller's directory.
class TF_Rtfdlg : public TRtfEditorBase {
    Q_OBJECT
public:
    TF_Rtfdlg(const QString& fileName, const QString& caption, const QString& initialDir,
              const QRect& smallBounds, const QRect& largeBounds, QWidget* parent = nullptr);

    // The file last loaded or saved as a whole; the given one until then.
    const QString& fileName() const { return m_fileName; }

    void Textbausteinladen1Click() override;
    void Textbausteinspeichern1Click() override;

protected:
    QRect largeBounds() const override { return m_largeBounds; }
    void beforeClose() override;
    void showEvent(QShowEvent* event) override;

private:
    void FormActivate();
    void updateCaption();

    QString m_fileName;
    QString m_initialDir;
    QString m_captionBase;
    QRect m_largeBounds;
    bool m_activated = false;
};

// Shows the file editor at (left, top, width, height); the size button
// switches to the large bounds. Without a file name the load dialog opens at
// once. Returns the file last loaded or saved (the given name otherwise).
QString EditRtfFile(const QString& fileName, const QString& caption, const QString& initialDir,
                    int left, int top, int width, int height, int largeLeft, int largeTop,
                    int largeWidth, int largeHeight);
