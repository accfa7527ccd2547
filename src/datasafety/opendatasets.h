#pragma once

#include <QList>
#include <QString>
#include <memory>

namespace table {
class Database;
class Table;
struct Bookmark;
} // namespace table

// Every cursor open on a database (of the data module and of every form),
// closed while the backup dialog works on the database's files and opened
// again afterwards, back on its record.
class TOpenList {
public:
    TOpenList();
    ~TOpenList();
    TOpenList(const TOpenList&) = delete;
    TOpenList& operator=(const TOpenList&) = delete;

    // Posts every record in edit or insert state, then closes every cursor of
    // the alias's database (when it is open) and remembers them. A post that
    // fails raises a DbError naming the table; nothing is closed then.
    void closeAll(const QString& alias);
    // Opens every remembered cursor that still exists; one that cannot be
    // opened (its table was replaced by a failed restore) stays closed. The
    // list is empty afterwards.
    void reopenAll() noexcept;
    int size() const { return int(m_entries.size()); }

private:
    struct Entry;
    std::weak_ptr<table::Database> m_db;
    QList<std::shared_ptr<Entry>> m_entries;
};
