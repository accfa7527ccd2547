#pragma once

#include <QStringList>
#include <QWidget>
#include <memory>

struct GridPageDecl;

namespace table {
class Table;
}
namespace widgets {
class DataGrid;
class DataSource;
} // namespace widgets

// Makes the rows a data source's grid reads follow the same master record
// as its table, whose master-detail link the row reader cannot copy.
void FollowMasterRows(widgets::DataSource& source, table::Table& master,
                      const QStringList& masterFields, const QStringList& detailFields);
// The same for a linked detail of the data module ("TabKUmsatz").
void FollowSharedMasterRows(widgets::DataSource& source, const QString& detailObject);

// A read-only grid page of a list form over the rows that belong to the
// current record of the form's master table: a shared detail of the data
// module or a cursor of the page's own, open while the page is in front.
class DetailGridPage : public QWidget {
    Q_OBJECT
public:
    DetailGridPage(const GridPageDecl& decl, table::Table& master, QWidget* parent = nullptr);
    ~DetailGridPage() override;

    QString title() const { return m_title; }
    table::Table& table() const { return *m_table; }
    widgets::DataGrid& grid() const { return *m_grid; }

    // The page came to the front of a visible form, or left it.
    void pageShown();
    void pageHidden();

private:
    QString m_title;
    bool m_openWhileShown = false;
    std::unique_ptr<table::Table> m_own;
    table::Table* m_table = nullptr;
    std::unique_ptr<widgets::DataSource> m_source;
    widgets::DataGrid* m_grid = nullptr;
};
