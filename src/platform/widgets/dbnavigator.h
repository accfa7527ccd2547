#pragma once

#include <QWidget>

class QToolButton;

namespace widgets {

class DataSource;

// The row of buttons that moves through a table and edits it.
class DbNavigator : public QWidget {
    Q_OBJECT
public:
    enum Button {
        First,
        Prior,
        Next,
        Last,
        Insert,
        Delete,
        Edit,
        Post,
        Cancel,
        Refresh,
        ButtonCount
    };

    explicit DbNavigator(DataSource& source, QWidget* parent = nullptr);

    QToolButton* button(Button which) const { return m_buttons[which]; }
    void setButtonVisible(Button which, bool visible);
    void click(Button which);
    // Works on another source from now on (a form whose detail grid has the focus).
    void setDataSource(DataSource& source);
    DataSource& dataSource() const { return *m_source; }

private:
    void updateButtons();

    DataSource* m_source;
    QList<QMetaObject::Connection> m_connections;
    QToolButton* m_buttons[ButtonCount] = {};
};

} // namespace widgets
