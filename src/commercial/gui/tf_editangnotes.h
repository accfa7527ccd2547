#pragma once

#include <QDialog>
#include <memory>

class QPushButton;

namespace widgets {
class DataSource;
class DbRichEdit;
} // namespace widgets

// "Anschreiben bearbeiten": the cover letter R_Anschreiben of the offer
// current in the data module, shown read-only; a click on it edits it in the
// memo editor with this window out of sight. "&Vorschau" and "&Druck" print it
// through the forms of type 11000, "&Druck" after the printer dialog.
class TF_EditAngNotes : public QDialog {
    Q_OBJECT
public:
    explicit TF_EditAngNotes(QWidget* parent = nullptr);
    ~TF_EditAngNotes() override;

    widgets::DbRichEdit* letter() const { return m_letter; }
    QPushButton* printButton() const { return m_print; }
    QPushButton* previewButton() const { return m_preview; }
    QPushButton* closeButton() const { return m_close; }

    // Opens the memo editor on the letter; the offer head stays in edit
    // state for the offer editor to post.
    void editLetter();
    void printLetter(bool preview);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::unique_ptr<widgets::DataSource> m_source;
    widgets::DbRichEdit* m_letter = nullptr;
    QPushButton* m_preview = nullptr;
    QPushButton* m_print = nullptr;
    QPushButton* m_close = nullptr;
};

// Shows the letter editor modally at the offer editor's place and size.
void ShowAngNotesForm(int left, int top, int width, int height);
