#include "datasafety/accounting/journalselection.h"

#include "platform/table/database.h"
#include "platform/table/table.h"

using namespace Qt::StringLiterals;

namespace {
const QString kJournal = u"raliste.db"_s;
}

JournalSelection::JournalSelection(const std::shared_ptr<table::Database>& db)
    : m_db(db), m_journal(std::make_unique<table::Table>(db, kJournal)) {
    m_journal->open();
    // Under the run's own table lock the record locks of every edit stay in
    // this process instead of going through the shared lock registry.
    m_journal->lockTable();
}

JournalSelection::~JournalSelection() = default;

int JournalSelection::run(const std::function<bool()>& take, const std::function<void()>& taken) {
    table::Table& journal = *m_journal;
    table::Field& selected = journal.field(u"R_Selected"_s);
    int count = 0;
    table::Transaction tx(*m_db);
    for (journal.first(); !journal.eof(); journal.next()) {
        const bool takeRow = take();
        if (selected.isNull() || selected.asBoolean() != takeRow) {
            journal.edit();
            selected.setValue(takeRow);
            journal.post();
        }
        if (!takeRow)
            continue;
        ++count;
        taken();
    }
    tx.commit();
    return count;
}

void ClearJournalSelection(const std::shared_ptr<table::Database>& db, bool exported) {
    table::Table journal(db, kJournal);
    journal.open();
    journal.lockTable();
    table::Field& selected = journal.field(u"R_Selected"_s);
    table::Field& exportedField = journal.field(u"R_Exported"_s);
    table::Transaction tx(*db);
    for (journal.first(); !journal.eof(); journal.next()) {
        if (!selected.asBooleanOr(false))
            continue;
        journal.edit();
        selected.setValue(false);
        if (exported)
            exportedField.setValue(true);
        journal.post();
    }
    tx.commit();
}
