#pragma once

#include "printing/gui/designerdialog.h"

class QLineEdit;

// "Beschriftung": one line of text, a label's caption or, titled
// "Formatierung", a data field's display mask.
class TCaptionDialog : public DesignerDialog {
    Q_OBJECT
public:
    explicit TCaptionDialog(QWidget* parent = nullptr);

    void setText(const QString& text);
    QString text() const;
    QLineEdit* EditCaption() const { return m_edit; }

private:
    QLineEdit* m_edit;
};

// A general one-line input: a dialog of the given width and title at
// (left, top) with `text` in its line. On OK the edited line goes back into
// `text` and the result is true; otherwise `text` stays.
bool InputText(QString& text, const QString& title, int left, int top, int width,
               QWidget* parent = nullptr);
