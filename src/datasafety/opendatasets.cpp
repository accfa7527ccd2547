#include "datasafety/opendatasets.h"

#include "core/messages/syslog.h"
#include "platform/errors.h"
#include "platform/table/database.h"
#include "platform/table/table.h"

using namespace Qt::StringLiterals;

struct TOpenList::Entry {
    table::Table* table = nullptr;
    table::Bookmark mark;
};

TOpenList::TOpenList() = default;

TOpenList::~TOpenList() {
    reopenAll();
}

void TOpenList::closeAll(const QString& alias) {
    reopenAll();
    const std::shared_ptr<table::Database> db = table::aliases::openedDatabase(alias);
    if (!db)
        return;
    const QList<table::Table*> open = db->openTables();
    // An edited record is saved as leaving it would save it, before the
    // dialog takes the files; a record that cannot be saved stops the dialog.
    for (table::Table* t : open) {
        if (!t->isEditing())
            continue;
        try {
            t->post();
        } catch (const DbError& error) {
            throw DbError(u"Der bearbeitete Datensatz der Tabelle "_s + t->tableName() +
                          u" kann nicht gespeichert werden:\r"_s + error.message());
        }
    }
    m_db = db;
    // Details after their masters were opened: close them first.
    for (qsizetype i = open.size() - 1; i >= 0; --i) {
        table::Table* t = open.at(i);
        if (!t->isOpen())
            continue;
        auto entry = std::make_shared<Entry>();
        entry->table = t;
        entry->mark = t->bookmark();
        m_entries.prepend(entry);
        t->close();
    }
}

void TOpenList::reopenAll() noexcept {
    const QList<std::shared_ptr<Entry>> entries = std::exchange(m_entries, {});
    const std::shared_ptr<table::Database> db = m_db.lock();
    m_db.reset();
    // A restore that released the database freed its cursors with it.
    if (!db)
        return;
    for (const std::shared_ptr<Entry>& entry : entries) {
        table::Table* t = entry->table;
        if (!db->hasCursor(t) || t->isOpen())
            continue;
        try {
            t->open();
            if (entry->mark.valid && t->bookmarkValid(entry->mark))
                t->gotoBookmark(entry->mark);
        } catch (const std::exception& error) {
            WriteLog(u"Tabelle "_s + t->tableName() +
                     u" nach der Datensicherung nicht geöffnet: "_s +
                     QString::fromUtf8(error.what()));
        }
    }
}
