#pragma once

#include <QObject>
#include <functional>

class QLineEdit;

namespace widgets {
class DataGrid;
}

// The search field above a list: every change moves the list to the nearest
// key of its current index for the text upper-cased; a key that the field of
// the sort column cannot be searched by is refused (dates none, Booleans only
// J and N, numbers only digits). Lives as long as the grid.
class GridSearch : public QObject {
    Q_OBJECT
public:
    // sortColumn: the grid column the list is sorted by now, negative for none.
    GridSearch(QLineEdit& edit, widgets::DataGrid& grid, std::function<int()> sortColumn);
    ~GridSearch() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void search(const QString& text);

    QLineEdit& m_edit;
    widgets::DataGrid& m_grid;
    std::function<int()> m_sortColumn;
};

// The search line's key filter over what is typed into the grid itself (the
// key that opens a cell editor and every key typed into the editor): keys
// the sort column cannot be searched by are refused there too, and the
// search line is cleared where the search line's own filter would clear it.
// Lives as long as the grid.
class GridTypingFilter : public QObject {
    Q_OBJECT
public:
    GridTypingFilter(widgets::DataGrid& grid, QLineEdit& searchEdit,
                     std::function<int()> sortColumn);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void watchEditor(QObject* editor);

    widgets::DataGrid& m_grid;
    QLineEdit& m_edit;
    std::function<int()> m_sortColumn;
};
