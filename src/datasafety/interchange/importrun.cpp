#include "datasafety/interchange/importrun.h"

#include "core/data/datamodule.h"
#include "core/files/filehelpers.h"
#include "core/importdefinitions.h"
#include "core/messages/messages.h"
#include "core/values/conversions.h"
#include "datasafety/interchange/heldmessages.h"
#include "datasafety/interchange/importformat.h"
#include "platform/table/backend.h"
#include "platform/table/database.h"
#include "platform/table/table.h"
#include "platform/table/tableerror.h"
#include "platform/table/values.h"

#include <vector>

using namespace Qt::StringLiterals;

const QString ImportRun::kFinished = u"ist beendet"_s;
const QString ImportRun::kFailed = u"ist fehlgeschlagen"_s;
const QString ImportRun::kCancelled = u"wurde abgebrochen"_s;
const QString ImportRun::kWorkTable = u"Temp.DB"_s;

namespace {

// The table's write lock for the time of a pass: no other workstation
// writes into the records being merged, and the pass need not ask for each
// record whether one does. When another workstation holds a record or the
// table, the pass goes on without and meets that record's lock instead.
class TableWriteLock {
public:
    explicit TableWriteLock(table::Table& t) : m_table(t) {
        try {
            m_table.lockTable();
            m_locked = true;
        } catch (const table::TableError&) {
        }
    }
    ~TableWriteLock() {
        if (!m_locked)
            return;
        try {
            m_table.unlockTable();
        } catch (const DbError&) {
            // The lock ends with the session at the latest.
        }
    }
    TableWriteLock(const TableWriteLock&) = delete;
    TableWriteLock& operator=(const TableWriteLock&) = delete;

private:
    table::Table& m_table;
    bool m_locked = false;
};

const QString kAborted = u"Der Datenimport wurde abgebrochen!"_s;
// A longer list of failed records would not fit a message box.
constexpr int kListedFailures = 20;

} // namespace

// One entry per field of the work table, in field order.
struct ImportRun::Mapping {
    struct Entry {
        QString name;
        QString source;
        table::FieldType type = table::FieldType::String;
        int column = 0;       // 0 unmapped, -1 a constant, else the data file's column (1-based)
        int targetIndex = -1; // the target's field of the same name during the merge
    };
    std::vector<Entry> entries;
    std::optional<QChar> delimiter = QChar(u'"');
    QChar separator = u';';

    Entry* find(const QString& name) {
        for (Entry& e : entries)
            if (e.name == name)
                return &e;
        return nullptr;
    }
};

ImportRun::ImportRun(table::Table& target, QString definitionPath, QString dataPath,
                     QString keyField, ImportObserver observer)
    : m_target(target), m_definitionPath(std::move(definitionPath)),
      m_dataPath(std::move(dataPath)), m_keyField(std::move(keyField)),
      m_observer(std::move(observer)), m_mapping(std::make_unique<Mapping>()), m_status(kFinished) {
}

ImportRun::~ImportRun() = default;

void ImportRun::setStep(const QString& text) {
    if (m_observer.setStepLabel)
        m_observer.setStepLabel(text);
}

void ImportRun::poll() {
    if (m_observer.poll)
        m_observer.poll();
}

void ImportRun::run() {
    // The master-data rules' import mode, also for a run without the window.
    struct ImportMode {
        ImportMode() : was(HasDataModule1() && DataModule1().IsImportRunning()) {
            if (HasDataModule1())
                DataModule1().SetImportRunning(true);
        }
        ~ImportMode() {
            if (HasDataModule1())
                DataModule1().SetImportRunning(was);
        }
        bool was;
    } importMode;
    const bool wasOpen = m_target.isOpen();
    setStep(u"Erzeuge temporäre Tabelle"_s);
    try {
        if (!wasOpen)
            m_target.open();
        do {
            if (!createWorkTable() || !readDefinition())
                break;
            if (m_observer.setTopLabel)
                m_observer.setTopLabel(u"Import aus Datei %1"_s.arg(m_dataPath));
            QStringList lines;
            if (!ReadTextDataFile(m_dataPath, lines)) {
                ShowError(u"Datei %1\rist nicht vorhanden!\rDer Datenimport kann nicht "
                          u"ausgeführt werden."_s.arg(m_dataPath));
                m_status = kFailed;
                break;
            }
            if (!readHeader(lines)) {
                m_status = kFailed;
                break;
            }
            setStep(u"Importiere Daten"_s);
            if (m_cancelled) {
                ShowError(kAborted);
                m_status = kCancelled;
                break;
            }
            if (!readData(lines))
                break;
            setStep(u"Führe Tabellen zusammen"_s);
            if (m_observer.freezeTarget)
                m_observer.freezeTarget();
            bool merged = false;
            try {
                merged = merge();
            } catch (...) {
                if (m_observer.thawTarget)
                    m_observer.thawTarget();
                throw;
            }
            if (m_observer.thawTarget)
                m_observer.thawTarget();
            if (!merged)
                ShowError(u"Das Zusammenführen der Datenbanken ist fehlgeschlagen!"_s);
        } while (false);
    } catch (const Abort&) {
        m_status = kFailed;
    } catch (const DbError& error) {
        m_status = kFailed;
        ShowError(error.message());
    }
    if (!wasOpen && m_target.isOpen())
        m_target.close();
    setStep(u"Datenimport "_s + m_status);
}

bool ImportRun::createWorkTable() {
    table::Database& db = *m_target.database();
    table::TableDef def = m_target.definition();
    def.name = kWorkTable;
    def.indexes.clear();
    try {
        // Only this connection's own work table is ever replaced.
        if (db.isTemporaryTable(kWorkTable))
            db.dropTable(kWorkTable);
        db.createTemporaryTable(def);
    } catch (const DbError&) {
        ShowError(u"Temporäre Datei kann nicht erzeugt werden"_s);
        return false;
    }
    m_mapping->entries.clear();
    for (const table::FieldDef& field : def.fields)
        m_mapping->entries.push_back({field.name, QString(), field.type, 0, -1});
    return true;
}

bool ImportRun::readDefinition() {
    QStringList lines;
    if (!ReadTextDataFile(m_definitionPath, lines)) {
        ShowError(MissingImportDefinitionMessage(m_definitionPath));
        m_status = kFailed;
        return false;
    }
    const ImportDefinitionText def = ParseImportDefinition(lines);
    m_mapping->delimiter = def.delimiter;
    m_mapping->separator = def.separator;
    if (!def.dataFile.isEmpty())
        m_dataPath = def.dataFile;
    for (const ImportItem& item : def.items) {
        Mapping::Entry* entry = item.target.isEmpty() ? nullptr : m_mapping->find(item.target);
        if (!entry)
            continue;
        if (item.source.startsWith(u'&')) {
            // "&" alone maps nothing; "&&X" keeps one "&" here, dropped when read.
            const QString constant = item.source.mid(1);
            if (constant.isEmpty())
                continue;
            entry->source = constant;
            entry->column = -1;
        } else {
            entry->source = item.source;
            entry->column = 0;
        }
    }
    return true;
}

bool ImportRun::readHeader(const QStringList& lines) {
    const QStringList columns =
        lines.isEmpty()
            ? QStringList()
            : SplitDelimitedLine(lines.first(), m_mapping->separator, m_mapping->delimiter);
    if (columns.isEmpty()) {
        ShowError(u"Die Datei %1\renthält keine Spaltennamen!\rDer Datenimport kann nicht "
                  u"ausgeführt werden."_s.arg(m_dataPath));
        return false;
    }
    for (qsizetype k = 0; k < columns.size(); ++k)
        for (Mapping::Entry& entry : m_mapping->entries)
            // An unmapped field never takes a column, not even one without a name.
            if (entry.column == 0 && !entry.source.isEmpty() && entry.source == columns.at(k))
                entry.column = int(k) + 1;
    return true;
}

namespace {

// Writes the records of the work table: each value checked and stored as a
// cursor would (a value the field cannot take raises), without a cursor's
// events and read-back, which the connection's own work table does not need.
class WorkTableWriter {
public:
    WorkTableWriter(table::Database& db, const table::TableDef& def) : m_db(db), m_def(def) {
        QStringList marks;
        for (qsizetype i = 0; i < def.fields.size(); ++i)
            marks << u"?"_s;
        m_insert = db.connection().prepare(u"INSERT INTO %1 VALUES(%2)"_s.arg(
            table::quoted(table::physicalName(def.name)), marks.join(u',')));
    }
    ~WorkTableWriter() {
        // Cursors opened on the work table later read it anew.
        m_db.noteTableWritten(table::physicalName(m_def.name));
    }
    WorkTableWriter(const WorkTableWriter&) = delete;
    WorkTableWriter& operator=(const WorkTableWriter&) = delete;

    void write(const QVariantList& record) {
        for (qsizetype f = 0; f < m_def.fields.size(); ++f) {
            const table::FieldDef& field = m_def.fields.at(f);
            const QVariant& value = record.at(f);
            table::bindTyped(*m_insert, int(f) + 1, field,
                             value.isValid() ? table::toTyped(field, value) : QVariant());
        }
        m_insert->step();
        m_insert->reset();
    }

private:
    table::Database& m_db;
    const table::TableDef& m_def;
    std::unique_ptr<table::Statement> m_insert;
};

} // namespace

bool ImportRun::readData(const QStringList& lines) {
    table::Database& db = *m_target.database();
    const table::TableDef def = db.tableDef(kWorkTable);
    const int fieldCount = int(m_mapping->entries.size());
    QString failure;
    {
        table::Transaction tx(db);
        WorkTableWriter work(db, def);
        QVariantList record;
        for (qsizetype i = 1; i < lines.size() && failure.isEmpty(); ++i) {
            const QStringList values =
                SplitDelimitedLine(lines.at(i), m_mapping->separator, m_mapping->delimiter);
            record.fill(QVariant(), fieldCount);
            record[0] = int(i);
            for (int f = 1; f < fieldCount; ++f) {
                const Mapping::Entry& entry = m_mapping->entries[f];
                QString text;
                if (entry.column > 0)
                    text = values.value(entry.column - 1);
                else if (entry.column == -1)
                    text = entry.source.startsWith(u'&') ? entry.source.mid(1) : entry.source;
                if (text.isEmpty())
                    continue;
                const ImportValue value = ConvertImportText(entry.type, text);
                if (value.kind == ImportValue::Refused) {
                    failure = u"Zeile %1, Feld %2: Der Wert \"%3\" liegt außerhalb des "
                              u"zulässigen Bereichs."_s.arg(i)
                                  .arg(entry.name, ShownValue(text));
                    break;
                }
                if (value.kind == ImportValue::Set)
                    record[f] = value.value;
            }
            if (failure.isEmpty()) {
                try {
                    work.write(record);
                } catch (const DbError& error) {
                    failure = u"Zeile %1: %2"_s.arg(i).arg(error.message());
                }
            }
            poll();
            if (m_cancelled)
                break;
        }
        if (failure.isEmpty() && !m_cancelled)
            tx.commit();
    }
    if (failure.isEmpty() && !m_cancelled)
        return true;
    m_status = kCancelled;
    ShowError(failure.isEmpty() ? kAborted : kAborted + u'\r' + failure);
    return false;
}

bool ImportRun::merge() {
    table::Field* key = m_target.findField(m_keyField);
    if (!key || !m_mapping->find(key->name())) {
        ShowError(u"Das Indexfeld \"%1\" wurde nicht gefunden!"_s.arg(m_keyField));
        return false;
    }
    for (Mapping::Entry& entry : m_mapping->entries) {
        table::Field* field = m_target.findField(entry.name);
        entry.targetIndex = field ? field->index() : -1;
    }
    int total = 0;
    {
        table::Table work(m_target.sharedDatabase(), kWorkTable);
        work.open();
        total = work.recordCount();
    }
    if (m_observer.setProgressMaximum)
        m_observer.setProgressMaximum(total);
    if (!AskYesNo(u"Es wurden %1 Datensätze gefunden.\rSollen diese Sätze in Ihre Datenbank "
                  u"eingefügt werden?"_s.arg(total)))
        return false;

    QSet<int> skipped;
    for (;;) {
        QList<Failure> failures;
        const PassEnd end = mergePass(skipped, failures, total);
        if (end == PassEnd::Cancelled) {
            m_status = kCancelled;
            return true;
        }
        if (end == PassEnd::Committed)
            break;
        QStringList listed;
        for (const Failure& f : failures) {
            if (listed.size() == kListedFailures) {
                listed.append(u"… und %1 weitere"_s.arg(failures.size() - kListedFailures));
                break;
            }
            listed.append(u"Zeile %1 [%2]: %3"_s.arg(f.line).arg(f.key, f.error));
        }
        if (AskYesNo(u"Beim Import ist ein Fehler aufgetreten:\r"_s + listed.join(u'\r') +
                     u"\rMöchten Sie den Import abbrechen?"_s)) {
            m_status = kCancelled;
            return true;
        }
        for (const Failure& f : failures)
            skipped.insert(f.line);
    }
    if (m_observer.setProgress)
        m_observer.setProgress(m_merged);
    if (m_observer.setRecordLabel)
        m_observer.setRecordLabel(m_merged == 1 ? u"1 Datensatz übernommen"_s
                                                : u"%1 Datensätze übernommen"_s.arg(m_merged));
    return true;
}

ImportRun::PassEnd ImportRun::mergePass(const QSet<int>& skipped, QList<Failure>& failures,
                                        int total) {
    table::Database& db = *m_target.database();
    table::Table work(m_target.sharedDatabase(), kWorkTable);
    work.open();
    const int keyIndex = work.field(m_target.field(m_keyField).name()).index();
    const QString keyName = work.field(keyIndex).name();
    const int fieldCount = int(m_mapping->entries.size());
    int count = 0;
    std::vector<QString> notices;
    {
        // Rules may want to tell or ask something: not while the transaction
        // is open. What they say is kept and shown afterwards.
        HeldMessages held;
        TableWriteLock lock(m_target);
        // The target's detail tables follow it once, after the pass.
        m_target.holdDetails();
        struct Release {
            table::Table& t;
            ~Release() {
                try {
                    t.releaseDetails();
                } catch (const DbError&) {
                    // A detail shows its rows again when it is next moved.
                }
            }
        } release{m_target};
        table::Transaction tx(db);
        for (work.first(); !work.eof(); work.next()) {
            const table::Field& keyValue = work.field(keyIndex);
            if (keyValue.isNull())
                continue;
            const int line = work.field(0).asInteger();
            if (skipped.contains(line))
                continue;
            const QString keyText = keyValue.asString();
            if (m_observer.setRecordLabel)
                m_observer.setRecordLabel(u"Satz"_s + IntToStrWidth(count, 5) + u" von"_s +
                                          IntToStrWidth(total, 5) + u" : ["_s + keyText + u']');
            if (m_observer.setProgress)
                m_observer.setProgress(count);
            poll();
            if (m_cancelled)
                return PassEnd::Cancelled;
            const bool found = m_target.locate({keyName}, {keyValue.value()});
            table::Transaction savepoint(db);
            try {
                if (found)
                    m_target.edit();
                else
                    m_target.append();
                for (int f = 1; f < fieldCount; ++f) {
                    const int targetIndex = m_mapping->entries[f].targetIndex;
                    const table::Field& value = work.field(f);
                    if (targetIndex > 0 && !value.isNull())
                        m_target.field(targetIndex).setValue(value.value());
                }
                m_target.post();
                savepoint.commit();
                ++count;
            } catch (const DbError& error) {
                if (m_target.isEditing())
                    m_target.cancel();
                failures.append({line, keyText, held.take(error.message())});
            } catch (const Abort&) {
                if (m_target.isEditing())
                    m_target.cancel();
                const QString reason = held.take(QString());
                failures.append(
                    {line, keyText, reason.isEmpty() ? u"Der Satz wurde abgelehnt."_s : reason});
            }
        }
        if (!failures.isEmpty())
            return PassEnd::RolledBack;
        tx.commit();
        notices = held.rest();
    }
    m_merged = count;
    for (const QString& notice : notices)
        ShowInfo(notice);
    return PassEnd::Committed;
}
