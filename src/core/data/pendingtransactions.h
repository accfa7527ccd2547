#pragma once

#include "platform/table/table.h"

#include <map>
#include <memory>
#include <optional>
#include <utility>

struct NoPendingState {};

// Transactions a rule opens before a record's own write or delete and that
// end with it: committed once the write is done, rolled back when it fails or
// is given up, so that the rule's work and the record land together or not
// at all. Each kind of rule keeps its own set, keyed by table object, with
// what it needs after a rollback (Extra).
template <typename Extra = NoPendingState> class PendingTransactions {
public:
    struct Entry {
        std::unique_ptr<table::Transaction> tx;
        Extra extra{};
    };

    // Starts the record's transaction on its database; one still pending is
    // rolled back first.
    Entry& start(table::Table& t) {
        take(t);
        Entry& entry = m_pending[&t];
        entry.tx = std::make_unique<table::Transaction>(*t.database());
        return entry;
    }

    Entry* find(table::Table& t) {
        auto it = m_pending.find(&t);
        return it == m_pending.end() ? nullptr : &it->second;
    }

    // Removes the record's entry; its transaction rolls back unless the
    // caller commits it.
    std::optional<Entry> take(table::Table& t) {
        auto it = m_pending.find(&t);
        if (it == m_pending.end())
            return std::nullopt;
        std::optional<Entry> entry(std::move(it->second));
        m_pending.erase(it);
        return entry;
    }

    // Commits or rolls back the record's transaction; gives its state for
    // what must be put back after a rollback, nothing when none was pending.
    std::optional<Extra> finish(table::Table& t, bool commit) {
        std::optional<Entry> entry = take(t);
        if (!entry)
            return std::nullopt;
        if (commit)
            entry->tx->commit();
        else
            entry->tx.reset();
        return std::move(entry->extra);
    }

    // A delete whose transaction commits after the record's own delete; any
    // other step the record takes first gives up a delete that failed.
    void bindToDelete(table::Table& t) {
        t.afterDelete += [this](table::Table& self) { finish(self, true); };
        for (auto* event :
             {&t.beforeCancel, &t.beforeEdit, &t.beforeInsert, &t.beforePost, &t.beforeClose})
            *event += [this](table::Table& self) { finish(self, false); };
    }

private:
    std::map<table::Table*, Entry> m_pending;
};
