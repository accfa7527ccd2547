#pragma once

#include <QDialog>
#include <QPoint>
#include <QStringList>

class QTableWidget;
class GridTitleHeader;

// The popup "Auswahl" that picks one row of a small table the caller built in
// memory: line 0 of the list holds the column titles, every further line a
// row, fields separated by ";". A click on a title sorts by that column; the
// text of the key column of the chosen row is the result.
class TGridselDlg : public QDialog {
    Q_OBJECT
public:
    struct Request {
        QStringList list;
        QString caption;
        int left = -1; // a negative position keeps the designed one
        int top = -1;
        int maxWidth = 640;
        int maxGridHeight = 480;
        int widthColumns = 1; // the leading columns that make up the width
        int keyColumn = 0;
        int startRow = 1;    // from 1; out of range means 1
        bool sorted = false; // rows shown sorted by the first column
        // The width columns are never cut: the popup grows past maxWidth
        // and its usual cap up to the screen's width.
        bool fitWidthColumns = false;
    };

    explicit TGridselDlg(QWidget* parent = nullptr);
    void build(const Request& request);

    QString result() const { return m_result; }
    QTableWidget& grid() const { return *m_grid; }
    // The width of one character of the grid's font plus 1.
    int charUnit() const { return m_charUnit; }
    // Where the popup goes when it is shown.
    QPoint placement() const { return m_placement; }
    int sortColumn() const { return m_sortColumn; }
    bool lastSortDescending() const { return m_descending; }

    void OKBtnClick();
    void GridDblClick();
    // A press on a column title.
    void GridMouseDown(int column);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormActivate();
    QPoint keptOnScreen(QPoint wanted, QSize size) const;

    QTableWidget* m_grid = nullptr;
    GridTitleHeader* m_header = nullptr;
    QString m_result;
    int m_keyColumn = 0;
    int m_sortColumn = 0;
    bool m_descending = false;
    int m_charUnit = 1;
    QPoint m_wanted{-1, -1};
    QPoint m_placement;
};

// Shows the popup modally and returns the key column's text of the chosen row,
// also in result; empty when the user cancels. `reserved` is not used.
QString SelectFromGrid(const QStringList& list, const QString& caption, int left, int top,
                       int maxWidth, int maxGridHeight, int widthColumns, int keyColumn,
                       int startRow, int reserved, QString& result, bool sortedList = false);
QString SelectFromGrid(const TGridselDlg::Request& request, QString& result);
