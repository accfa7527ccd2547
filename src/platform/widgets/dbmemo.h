#pragma once

#include <QPlainTextEdit>

namespace widgets {

class DataSource;
class FieldLink;

// A plain-text memo field; the text is written when the box loses the focus.
class DbMemo : public QPlainTextEdit {
    Q_OBJECT
public:
    DbMemo(DataSource& source, const QString& field, QWidget* parent = nullptr);
    FieldLink& link() const { return *m_link; }
    void commit();

protected:
    void focusOutEvent(QFocusEvent* event) override;

private:
    FieldLink* m_link;
};

} // namespace widgets
