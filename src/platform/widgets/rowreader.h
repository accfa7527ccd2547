#pragma once

#include <QCache>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>

namespace table {
class Table;
}

namespace widgets {

// Reads the rows of a table's view by position without moving its cursor, so
// a grid can show any row while the table's own cursor, its events and its
// detail tables stay untouched. A second, event-free cursor over the same
// table follows the source's index, filter and master link; parts of a view
// the table cannot report back (ranges, filter functions) are completed by a
// setup function. Rows are cached in blocks.
class RowReader {
public:
    explicit RowReader(table::Table& source);
    ~RowReader();
    RowReader(const RowReader&) = delete;
    RowReader& operator=(const RowReader&) = delete;

    // Runs on every new reading cursor before it opens, e.g.
    // `r.setRange(...)`, `r.setMaster(&TabKunden, {"K_Nr"}, {"O_KNr"})`.
    void setSetup(std::function<void(table::Table& reader)> setup);

    // The rows may have changed: read them again on the next access.
    void invalidate();
    // Closes the reading cursor (the source closed).
    void release();

    int rowCount();
    // The typed value and the display text of a field at a 0-based row; a row
    // outside the view raises.
    QVariant value(int row, const QString& field);
    QString text(int row, const QString& field);
    // The row's record identity, comparable with the source's bookmark.
    qint64 rowId(int row);

private:
    struct Block {
        QList<QVariantList> values;
        QList<QStringList> texts;
        QList<qint64> rowIds;
    };
    static constexpr int kBlockRows = 64;

    void ensure();
    void rebuild();
    QString signature() const;
    const Block& block(int row);
    int fieldIndex(const QString& field);

    table::Table& m_source;
    std::unique_ptr<table::Table> m_reader;
    std::function<void(table::Table&)> m_setup;
    QString m_signature;
    bool m_valid = false;
    int m_count = 0;
    QCache<int, Block> m_blocks;
};

} // namespace widgets
