#pragma once

#include <QString>
#include <functional>
#include <memory>

namespace table {
class Database;
class Table;
} // namespace table

// The marks of a transfer to bookkeeping in the booking journal (raliste.db):
// R_Selected names the rows the transfer at hand takes, R_Exported those a
// transfer handed over for good. The DATEV export and the KHK and Lexware
// exports share them, so a row is offered by every transfer until one of them
// marks it exported.
class JournalSelection {
public:
    // Opens a cursor of its own on the journal under the run's table lock.
    explicit JournalSelection(const std::shared_ptr<table::Database>& db);
    ~JournalSelection();
    JournalSelection(const JournalSelection&) = delete;
    JournalSelection& operator=(const JournalSelection&) = delete;

    // The journal cursor: callers take their field references before run().
    table::Table& journal() { return *m_journal; }

    // Every row in primary order: R_Selected becomes take()'s answer, written
    // only where it changes, and taken() is called on every row taken. One
    // transaction holds the marks and whatever taken() writes on the same
    // database; on an error none of it stays. The number of rows taken.
    int run(const std::function<bool()>& take, const std::function<void()>& taken);

private:
    std::shared_ptr<table::Database> m_db;
    std::unique_ptr<table::Table> m_journal;
};

// Clears R_Selected of every marked journal row and, when exported, sets its
// R_Exported: one transaction. Ask before calling: no box may show while
// the transaction is open.
void ClearJournalSelection(const std::shared_ptr<table::Database>& db, bool exported);
