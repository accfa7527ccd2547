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
//
// The cursor holds no list of the view's rows: it seeks from the current
// record's key in the index's order, reads a few rows ahead in one go, and
// counts (recordCount, recNo) only when asked. A write costs the same however
// large the table is.
class Table {
public:
    explicit Table(std::shared_ptr<Database> db, const QString& tableName = {});
    ~Table();
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    Database* database() const { return m_db.get(); }
    // For a second cursor on the same connection (its temporary tables included).
    const std::shared_ptr<Database>& sharedDatabase() const { return m_db; }
    const QString& tableName() const { return m_tableName; }
    void setTableName(const QString& name);
    void setReadOnly(bool readOnly);
    bool isReadOnly() const { return m_readOnly; }
    void setExclusive(bool exclusive); // open() then fails while another session has the table open

    // Calculated fields are declared before open and filled by onCalcFields.
    void addCalculatedField(const QString& name, FieldType type, int size = 0);

    void open();
    // Opens without counting the view or reading ahead: no record is current
    // until a search or a move. For one-off lookups (a rule's uniqueness
    // check), which would otherwise read rows they never use.
    void openForSearch();
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
    const QStringList& masterFields() const { return m_masterFields; }
    const QStringList& detailFields() const { return m_detailFields; }
    // While held (the holds count), the detail tables do not follow this
    // table's moves and posts record by record; the last release brings
    // them to the current record once. For data runs through a master.
    void holdDetails() { ++m_detailsHeld; }
    void releaseDetails();

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
    // A row of the view as read: its row id, its typed values and the stored
    // values of the current index's fields (the key the cursor seeks from).
    struct Row {
        qint64 rowId = 0;
        QVariantList values;
        QVariantList key;
    };
    // One column of the view's order: an index field or, last, the row id.
    struct KeyPart {
        QString expr; // with the index's collation
        bool descending = false;
        int field = -1; // -1: the row id
    };
    // Where the current record stands in the view.
    enum class Place {
        InView,
        Unknown, // to be checked against the view; m_fallback when it is no longer there
        Gap,     // removed or changed elsewhere: moving goes on from its key
        Outside, // posted outside the view, or none: moving starts at the first record
    };
    // A statement of this table kept at hand; fetched again after the
    // connection dropped its cache.
    struct StatementSlot {
        Statement* statement = nullptr;
        int generation = -1;
    };
    struct Band;

    void openView(bool readAhead);
    void checkOpen() const;
    void checkBrowseMode(); // posts a pending change

    // The view: its order, its condition, and what is known of it.
    void buildKeyParts();
    const Condition& condition();
    const Condition& conditionOf(quint32 signature);
    const Condition& conditionFor(quint32 signature) const; // the condition brought up to date
    // The condition with the range's bounds named in `bounds` (1 start, 2 end).
    Condition viewCondition(int bounds, int* rangeFields, int* present) const;
    bool narrowed() const; // a range, master, filter or callback may leave rows out
    bool callbackFilter() const { return m_filtered && bool(m_filterFunction); }
    void viewChanged();
    void forgetView();
    void syncWrites();
    void resolvePlace();
    quint64 transactionNow() const;
    bool rowIsFresh() const;

    // Statements and reading.
    Statement& slotStatement(StatementSlot& slot, const std::function<QString()>& sql);
    Statement& viewStatement(quint32 signature);
    QString viewSql(quint32 signature) const;
    QString orderBy(bool backward = false) const;
    std::vector<Band> bandsFrom(bool backward, const Row& from) const;
    void clearSlots();
    void readRow(const Statement& s, Row& row) const;
    bool accepts(const Row& row);
    bool readCandidates(bool backward, const Row* from, int want, std::vector<Row>& out);
    void fetch(bool backward, const Row* from, int limit, std::vector<Row>& out);
    std::optional<Row> rowInView(qint64 rowId);
    std::vector<Row> rowsAt(int recNo, int count);
    int countAll();
    int countBefore();
    bool viewIsEmpty();
    bool findFirst(const Condition& extra, Row& row, quint32 signature = 0);

    // The current record.
    Row currentKey() const;
    void takeRow(const Row& row, quint64 readInTransaction);
    void showWindow(std::vector<Row>& rows, bool backward, int index);
    void jumpToSpare();
    void dropWindow();
    void loadCurrent(); // reads the current record again
    void clearBuffer();
    void moveToEnd(bool toLast);
    void rereadIfWritten(qint64 rowId);
    void scrolled();
    void calcFields();
    QString columnExpr(int fieldIndex, bool forIndex) const;
    // The field as a test for equality with a value of its own type compares
    // it: collated as its index is when the field is a number that leads a
    // case-insensitive index, so the engine seeks there instead of scanning.
    QString seekExpr(int fieldIndex) const;
    bool seeksCollated(int fieldIndex) const;
    const IndexDef* currentIndex() const;
    QVariant stored(int fieldIndex, const QVariant& value) const;
    QString keyText() const;
    void lockCurrent();
    void unlockCurrent();
    void writeRecord();
    void afterOwnPost(bool wasInsert, bool viewWasCurrent);
    void setBufferValue(int index, const QVariant& value);
    void masterChanged();
    void notifyDetails();
    void stepAfterDelete(bool silent);

    std::shared_ptr<Database> m_db;
    std::unordered_map<quint32, StatementSlot> m_viewSlots;       // by signature
    std::unordered_map<std::string, StatementSlot> m_updateSlots; // by the changed columns
    StatementSlot m_insertSlot;
    QString m_slotCondition; // the view condition the view statements were built for
    QString m_tableName;
    QString m_physical;
    TableDef m_def;
    std::vector<std::unique_ptr<Field>> m_fields;
    QHash<QString, int> m_fieldIndex;      // lower-case name
    QHash<QString, int> m_fieldIndexExact; // as defined: most lookups need no lower-casing
    QList<FieldDef> m_calcDefs;
    QVariantList m_values; // typed values of the current record, stored fields first
    QVariantList m_oldValues;
    std::vector<char> m_dirty; // stored fields set since edit or insert began
    TableState m_state = TableState::Inactive;
    bool m_readOnly = false;
    bool m_exclusive = false;
    bool m_inCalc = false;
    bool m_registered = false;
    bool m_registeredExclusive = false; // as registered, should it change while open

    // The view's order and the fields of the current index.
    std::vector<KeyPart> m_keyParts;
    std::vector<int> m_indexFields;
    bool m_keyIsRowId = false; // the primary key is the engine's row id
    bool m_keyUnique = true;   // the current index holds each key once
    Condition m_condition;
    Condition m_bandConditions[3]; // with no bound of the range, the start's, the end's
    int m_rangeFields = 0;         // the index fields the range's bounds compare
    bool m_conditionValid = false;
    // This database's writes to the table: a change made through another
    // cursor makes what was read of the view stale.
    quint64* m_writes = nullptr;
    quint64 m_seenWrites = 0;
    // Rows of the view around the current one, read in one go while moving
    // record by record; dropped on every change of the table or the view.
    std::vector<Row> m_window;
    std::vector<Row> m_spare; // the window before, its storage reused for the next one
    int m_windowPos = -1;     // the current record's place in m_window
    quint64 m_windowTransaction = 0;
    int m_fetchSize = 16;
    std::optional<int> m_count; // of the view; taken when it is opened or refreshed
    std::optional<int> m_recNo;

    // The current record's row id. Any 64-bit value is a valid row id (an
    // integer key is the row id itself, 0 and negatives included), so "no
    // current record" is the empty state, never a reserved number.
    std::optional<qint64> m_rowId;
    QVariantList m_key; // the current record's stored index values, as last read
    Place m_place = Place::Outside;
    Place m_fallback = Place::Gap;
    // When the current record was read: its values are still those in the
    // file while no one else could write (one transaction, no other cursor).
    quint64 m_rowTransaction = 0;
    quint64 m_rowWrites = 0;
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
    int m_detailsHeld = 0;
};

} // namespace table
