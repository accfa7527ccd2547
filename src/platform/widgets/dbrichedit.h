#pragma once

#include <QTextEdit>

namespace widgets {

class DataSource;
class FieldLink;

// A rich-text field (RTF), edited in place; written when the box loses the focus.
class DbRichEdit : public QTextEdit {
    Q_OBJECT
public:
    DbRichEdit(DataSource& source, const QString& field, QWidget* parent = nullptr);
    FieldLink& link() const { return *m_link; }
    void commit();

protected:
    void focusOutEvent(QFocusEvent* event) override;

private:
    FieldLink* m_link;
};

} // namespace widgets
