#pragma once

// Tables, cursors, indexes, events and record locks over SQLite.
//
// Typical use:
//   table::aliases::define("LumoDB", dataDir);
//   table::Table kunden(table::aliases::database("LumoDB"), "Kunden.DB");
//   kunden.beforePost += [](table::Table& t) { if (t["KU_Name"].isNull()) throw DbError("Name
//   fehlt!"); }; kunden.open(); kunden.setIndexName("KU_IName");            // logical index name
//   if (kunden.findKey({"Müller"})) { kunden.edit(); kunden["KU_Ort"] = "Köln"; kunden.post(); }
//   kunden.append(); kunden["KU_Nr"] = 42; kunden["KU_Seit"] = "01.02.2003"; kunden.post();
//   for (kunden.first(); !kunden.eof(); kunden.next()) qDebug() << kunden["KU_Name"].asString();
//   { table::Transaction tx(*kunden.database()); /* several tables */ tx.commit(); }

#include "platform/table/database.h"
#include "platform/table/event.h"
#include "platform/table/field.h"
#include "platform/table/tableerror.h"

#include <QHash>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

namespace table {

class Statement;

enum class TableState { Inactive, Browse, Edit, Insert };

// What an onPostError handler decides. To fail with its own message it throws.
enum class PostErrorAction {
    Fail,  // the original error goes to the caller, the record stays in edit
    Abort, // silent abort, the record stays in edit
    Retry, // the handler changed the record (e.g. the key): post again
};

struct LocateOptions {
    bool caseInsensitive = false;
    bool partialKey = false; // a text value matches the start of the field
};

// A position that survives moves; invalid when empty.
struct Bookmark {
    qint64 rowId = 0;
    bool valid = false;
};

// A cursor over one table: navigation in the order of the current index,
// fields of the current record, editing with events and record locks,
// ranges, filters and master-detail links. Several cursors may be open on
// one table; each sees others' posted rows after refresh().
class Table {
public:
    explicit Table(std::shared_ptr<Database> db, const QString& tableName = {});
    ~Table();
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    Database* database() const { return m_db.get(); }
    const QString& tableName() const { return m_tableName; }
    void setTableName(const QString& name);
    void setReadOnly(bool readOnly);
    bool isReadOnly() const { return m_readOnly; }
    void setExclusive(bool exclusive); // open() then fails while another session has the table open

    // Calculated fields are declared before open and filled by onCalcFields.
    void addCalculatedField(const QString& name, FieldType type, int size = 0);

    void open();
    void close(); // an unposted change is discarded
    bool isOpen() const { return m_state != TableState::Inactive; }
    TableState state() const { return m_state; }
    bool isEditing() const { return m_state == TableState::Edit || m_state == TableState::Insert; }

    // Navigation in the filtered, ranged view.
    void first();
    void last();
    void next();
    void prior();
    void moveBy(int distance);
    bool eof() const { return m_eof; }
    bool bof() const { return m_bof; }
    bool isEmpty();
    int recNo(); // 1-based; 0 when the view is empty or a new record is edited
    void setRecNo(int recNo);
    int recordCount();
    Bookmark bookmark() const;
    bool bookmarkValid(const Bookmark& mark);
    void gotoBookmark(const Bookmark& mark); // raises when the record left the view
    // Reads the table again (others' posted rows) and stays on the current record when it still
    // exists.
    void refresh();

    // Fields of the current record.
    int fieldCount() const { return int(m_fields.size()); }
    Field& field(int index);
    Field& field(const QString& name); // raises NotFound
    Field* findField(const QString& name);
    Field& operator[](const QString& name) { return field(name); }
    QVariant value(const QString& name) { return field(name).value(); }
    const TableDef& definition() const { return m_def; }

    // Indexes: "" is the primary index.
    void setIndexName(const QString& name);
    const QString& indexName() const { return m_indexName; }
    QList<IndexDef> indexDefs() const;
    QStringList indexFieldNames() const;       // fields of the current index
    bool findKey(const QVariantList& key);     // exact, on the leading fields of the current index
    void findNearest(const QVariantList& key); // first record at or after the key
    void setRange(const QVariantList& start, const QVariantList& end);
    void cancelRange();
    bool locate(const QStringList& fields, const QVariantList& values, LocateOptions options = {});
    // The result fields' values of the first matching record, without moving; invalid when none.
    QVariant lookup(const QStringList& fields, const QVariantList& values,
                    const QString& resultField);

    // Filters: an expression (the filter parser's language) and/or a callback.
    void setFilter(const QString& expression);
    const QString& filter() const { return m_filterText; }
    void setFiltered(bool filtered);
    bool isFiltered() const { return m_filtered; }
    void setFilterFunction(std::function<bool(Table&)> accept);
    void setFilterCaseInsensitive(bool caseInsensitive); // text comparisons of the expression

    // Master-detail: the detail shows the rows whose detailFields equal the
    // master's masterFields; link fields are filled on insert.
    void setMaster(Table* master, const QStringList& masterFields, const QStringList& detailFields);
    Table* master() const { return m_master; }

    // Editing.
    void edit(); // on an empty view starts an insert
    void insert();
    void append();
    // Appends and posts one record, values in field order (invalid ones stay
    // null); on failure nothing is left in insert state.
    void appendRecord(const QVariantList& values);
    void post();
    void cancel();
    void deleteRecord();

    // The table's write lock for this session; others can read but not write.
    void lockTable();
    void unlockTable();

    // Events, in the order they fire per operation (see the tests).
    Event<Table&> beforeOpen, afterOpen, beforeClose, afterClose;
    Event<Table&> beforeInsert, onNewRecord, afterInsert;
    Event<Table&> beforeEdit, afterEdit;
    Event<Table&> beforePost, afterPost;
    Event<Table&> beforeCancel, afterCancel;
    Event<Table&> beforeDelete, afterDelete;
    Event<Table&> beforeScroll, afterScroll;
    Event<Table&> onCalcFields;
    std::function<PostErrorAction(Table&, const TableError&)> onPostError;
    // Fire when post() or deleteRecord() leaves by an exception once its
    // before-handlers have begun (a refusal, a failed write): handlers undo
    // what earlier before-handlers started. They must not throw.
    Event<Table&> postFailed, deleteFailed;

    // For the layer: the database marks cursors stale after a rollback or bulk change.
    void invalidate(bool rowIdsChanged = false);

private:
    friend class Field;
    struct Condition {
        QString sql;
        QVariantList params;
    };

    void checkOpen() const;
    void checkBrowseMode(); // posts a pending change
    void ensureKeys();
    void buildKeys();
    void buildPositions();
    int positionOf(qint64 rowId);
    void loadCurrent();
    void loadRow(qint64 rowId);
    void clearBuffer();
    void moveTo(int position);
    void moveToEnd(bool toLast);
    void readAhead(int position, bool forward);
    void scrolled();
    void calcFields();
    Condition viewCondition() const;
    QString orderBy() const;
    QString columnExpr(int fieldIndex, bool forIndex) const;
    const IndexDef* currentIndex() const;
    QVariant stored(int fieldIndex, const QVariant& value) const;
    QString keyText() const;
    void lockCurrent();
    void unlockCurrent();
    void writeRecord();
    void setBufferValue(int index, const QVariant& value);
    void masterChanged();
    bool acceptsRow();
    std::optional<qint64> findFirst(const Condition& extra); // the row id, none when no match

    // A statement of this table kept at hand; fetched again after the
    // connection dropped its cache.
    struct StatementSlot {
        Statement* statement = nullptr;
        int generation = -1;
    };
    Statement& slotStatement(StatementSlot& slot, const std::function<QString()>& sql);
    void clearSlots();

    std::shared_ptr<Database> m_db;
    StatementSlot m_readSlot, m_insertSlot, m_updateSlot;
    QString m_tableName;
    QString m_physical;
    TableDef m_def;
    std::vector<std::unique_ptr<Field>> m_fields;
    QHash<QString, int> m_fieldIndex; // lower-case name
    QList<FieldDef> m_calcDefs;
    QVariantList m_values; // typed values of the current record, stored fields first
    QVariantList m_oldValues;
    TableState m_state = TableState::Inactive;
    bool m_readOnly = false;
    bool m_exclusive = false;
    bool m_inCalc = false;
    bool m_registered = false;

    std::vector<qint64> m_keys;
    std::unordered_map<qint64, int> m_positions;
    // Records read ahead while moving record by record: one engine call per
    // block instead of one per record. Dropped on every change and refresh.
    std::unordered_map<qint64, QVariantList> m_rowCache;
    bool m_keysValid = false;
    // The database's write counters when the view was last read: a change
    // made through another cursor makes the view stale.
    quint64 m_seenSerial = 0;
    quint64 m_seenTableWrites = 0;
    // The current record was removed through another cursor: the position of
    // the record that followed it, so that moving on continues from there.
    std::optional<int> m_gapNext;
    bool m_positionsValid = false;
    int m_pos = -1; // position in m_keys; -1 when unknown or empty
    // The current record's row id. Any 64-bit value is a valid row id (an
    // integer key is the row id itself, 0 and negatives included), so "no
    // current record" is the empty state, never a reserved number.
    std::optional<qint64> m_rowId;
    bool m_rowMissing = false;
    bool m_eof = true;
    bool m_bof = true;
    QString m_lockedKey;
    bool m_tableLocked = false;

    QString m_indexName;
    bool m_hasRange = false;
    QVariantList m_rangeStart, m_rangeEnd;
    QString m_filterText;
    Condition m_filterCondition;
    bool m_filtered = false;
    Qt::CaseSensitivity m_filterCaseSensitivity = Qt::CaseSensitive;
    std::function<bool(Table&)> m_filterFunction;

    Table* m_master = nullptr;
    QStringList m_masterFields, m_detailFields;
    QList<Table*> m_details;
};

} // namespace table
