#pragma once

#include <QTextEdit>
#include <functional>

namespace widgets {

class DataSource;
class FieldLink;
class DbRichEdit;

// Opens the long-text editor over a rich-text field. The program installs
// one; until then (and in tests) the fields are edited in place.
using RichEditOpener = std::function<void(DbRichEdit&)>;
// Returns the previous opener.
RichEditOpener SetRichEditOpener(RichEditOpener opener);

// A rich-text field (RTF), edited in place and written when the box loses the
// focus; while an opener is installed it is shown read-only and a click (or
// Return) opens the editor instead.
class DbRichEdit : public QTextEdit {
    Q_OBJECT
public:
    DbRichEdit(DataSource& source, const QString& field, QWidget* parent = nullptr);
    FieldLink& link() const { return *m_link; }
    void commit();

    // A stored field value (RTF, or plain text from older data) shown in a
    // document, and a document as the field stores it; shared with editors
    // that edit the field in a window of their own.
    static void showValue(const QString& stored, QTextDocument& document);
    static QString valueOf(const QTextDocument& document);

    // Whether a click opens the editor rather than editing in place.
    bool opensEditor() const;
    // Opens the installed editor as a click does; false when none is
    // installed or the field cannot be edited.
    bool openEditor();
    // The money field that a calculation over the text's "@" markers fills
    // (the price of a document position); empty: none.
    void setCalcField(const QString& field) { m_calcField = field; }
    const QString& calcField() const { return m_calcField; }

protected:
    void focusOutEvent(QFocusEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void updateReadOnly();

    FieldLink* m_link;
    QString m_calcField;
};

} // namespace widgets
