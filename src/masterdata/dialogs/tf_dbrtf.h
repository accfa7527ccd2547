#pragma once

#include "masterdata/dialogs/rtfeditor.h"

#include <QPointer>

namespace widgets {
class DbRichEdit;
class FieldLink;
} // namespace widgets

// The memo editor: edits the rich-text field of a form's record in a window
// laid over the form's field, loads and saves text modules in the text-module
// directory and, for document positions, prices the text's "@" markers into
// a money field ("Berechnen"). There is no cancel: the text is written into
// the record when the editing ends, however it ends.
class TF_DbRtf : public TRtfEditorBase {
    Q_OBJECT
public:
    // currencyField: the money field of the same record that "Berechnen"
    // fills; empty: no calculation is offered. postRecord: a pending edit of
    // the record is posted first (otherwise the text joins it).
    TF_DbRtf(QWidget* hostForm, widgets::DbRichEdit& richEdit, const QString& currencyField,
             bool postRecord = true);

    void Textbausteinladen1Click() override;
    void Textbausteinspeichern1Click() override;
    void Berechnen1Click();
    void PopupCalcPopup();
    // Writes a changed text into the record's field.
    void commitText();

protected:
    QRect largeBounds() const override;
    void touchText() override;
    void beforeClose() override;
    void popupShowing() override { PopupCalcPopup(); }

private:
    QPointer<QWidget> m_host;
    widgets::FieldLink& m_link;
    QString m_currencyField;
    QAction* m_berechnen = nullptr;
};

// Opens the memo editor over the form's rich-text field and, once the editing
// ended, posts the record through a refresh of the form's data source. With
// postRecord false the text only joins the record's pending edit, for forms
// that write nothing before their own "Überneh&men".
void ShowRtfEditor(QWidget* hostForm, widgets::DbRichEdit& richEdit,
                   const QString& currencyField = {}, bool postRecord = true);

// Makes every rich-text field of the forms open the memo editor on a click.
void InstallRtfEditorOpener();
