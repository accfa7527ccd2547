#include "core/data/dbhelpers.h"

#include "core/data/runtablelocks.h"
#include "core/messages/messagecatalog.h"
#include "core/messages/messages.h"
#include "core/messages/syslog.h"
#include "core/settings/settingsfiles.h"
#include "core/values/conversions.h"
#include "platform/table/database.h"
#include "platform/table/query.h"
#include "platform/table/session.h"
#include "platform/table/table.h"
#include "platform/table/values.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <limits>
#include <optional>
#include <utility>

using table::Field;
using table::FieldType;
using table::Table;
using table::TableError;

namespace {

std::unique_ptr<Table> openCursor(const QString& databaseName, const QString& tableName,
                                  const QString& filter = {}) {
    auto t = std::make_unique<Table>(table::aliases::database(databaseName), tableName);
    t->open();
    if (!filter.trimmed().isEmpty()) {
        t->setFilter(filter);
        t->setFiltered(true);
    }
    t->first();
    return t;
}

// A cursor for a search alone: locate() finds its record without the rows
// that first() would read ahead, which a record rule asks for on every post.
std::unique_ptr<Table> openSearchCursor(const QString& databaseName, const QString& tableName) {
    auto t = std::make_unique<Table>(table::aliases::database(databaseName), tableName);
    t->openForSearch();
    return t;
}

// A cursor of our own on the database of a caller's table. The caller's table
// keeps the database alive for the whole call, so the pointer need not own it.
std::unique_ptr<Table> openCursorBeside(const Table& other) {
    auto t = std::make_unique<Table>(
        std::shared_ptr<table::Database>(std::shared_ptr<table::Database>(), other.database()),
        other.tableName());
    t->open();
    return t;
}

bool isNumeric(FieldType type) {
    switch (type) {
    case FieldType::Smallint:
    case FieldType::Integer:
    case FieldType::AutoInc:
    case FieldType::Float:
    case FieldType::Currency:
        return true;
    default:
        return false;
    }
}

int plusOne(qint64 value, const QString& what) {
    if (value >= std::numeric_limits<int>::max())
        throw DbError(QStringLiteral("Der Zahlenbereich von %1 ist erschöpft.").arg(what));
    return int(value + 1);
}

// One line per record a bulk delete had to leave, and the box that lists them.
QString failureLine(Table& t, const TableError& e) {
    return t.field(0).asString() + QStringLiteral(": ") + e.message();
}

void reportFailures(const QString& tableName, const QStringList& failures) {
    if (failures.isEmpty())
        return;
    const int shown = 10;
    QStringList lines = failures.mid(0, shown);
    if (failures.size() > shown)
        lines.append(QStringLiteral("… (%1 Datensätze insgesamt)").arg(failures.size()));
    ShowError(tableName + LoadMessage(65223) + u'\r' + LoadMessage(65224) + lines.join(u'\r'));
}

// Deletes the current record; false (the cursor moved past it) when another
// workstation holds it. A record deleted meanwhile counts as gone.
bool tryDelete(Table& t, BulkDeleteResult& result, OnDeleteFailure onFailure) {
    ++result.attempts;
    try {
        t.deleteRecord();
        ++result.deleted;
        return true;
    } catch (const TableError& e) {
        if (e.kind() == TableError::RecordDeleted)
            return true;
        if (onFailure == OnDeleteFailure::Raise)
            throw;
        result.failures.append(failureLine(t, e));
        t.next();
        return false;
    }
}

template <typename Body>
BulkDeleteResult bulkDelete(const QString& databaseName, const QString& tableName,
                            OnDeleteFailure onFailure, Body body) {
    auto db = table::aliases::database(databaseName);
    BulkDeleteResult result;
    {
        // One transaction for speed; the records deleted stay deleted even
        // when some others could not be.
        table::Transaction tx(*db);
        body(result);
        tx.commit();
    }
    if (onFailure == OnDeleteFailure::ReportAndContinue)
        reportFailures(tableName, result.failures);
    return result;
}

} // namespace

int GetFieldIntOrDefault(const Field* field, int defaultValue) {
    return field && !field->isNull() ? field->asInteger() : defaultValue;
}

QString GetFieldStrOrDefault(const Field* field, const QString& defaultValue) {
    return field && !field->isNull() ? field->text() : defaultValue;
}

double GetFieldFloatOrDefault(const Field* field, double defaultValue) {
    return field && !field->isNull() ? field->asFloat() : defaultValue;
}

bool GetFieldBoolOrDefault(const Field* field, bool defaultValue) {
    return field && !field->isNull() ? field->asBoolean() : defaultValue;
}

QDateTime GetFieldDateOrDefault(const Field* field, const QDateTime& defaultValue) {
    if (!field || field->isNull())
        return defaultValue;
    if (field->type() == FieldType::Time)
        return QDateTime(QDate(1899, 12, 30), field->asTime());
    return field->asDateTime();
}

QDateTime GetFieldTimeOrDefault(const Field* field, const QDateTime& defaultValue) {
    return GetFieldDateOrDefault(field, defaultValue);
}

int FieldInt(Table& t, const QString& name, int defaultValue) {
    return GetFieldIntOrDefault(t.findField(name), defaultValue);
}

double FieldFloat(Table& t, const QString& name) {
    return GetFieldFloatOrDefault(t.findField(name), 0.0);
}

QString FieldText(Table& t, const QString& name) {
    return GetFieldStrOrDefault(t.findField(name), QString());
}

void SetFieldIfPresent(Table& t, const QString& name, const QVariant& value) {
    if (table::Field* f = t.findField(name))
        f->setValue(value);
}

bool FieldEquals(const Field& field, const QVariant& value) {
    if (field.isNull() || !value.isValid() || value.isNull())
        return false;
    if (isNumeric(field.type())) {
        bool ok = false;
        const double v = value.toDouble(&ok);
        return ok && value.typeId() != QMetaType::QString && field.asFloat() == v;
    }
    switch (field.type()) {
    case FieldType::String:
    case FieldType::Memo:
        return value.typeId() == QMetaType::QString && field.asString() == value.toString();
    case FieldType::Boolean:
        return value.typeId() == QMetaType::Bool && field.asBoolean() == value.toBool();
    case FieldType::Date:
        return value.canConvert<QDate>() && field.asDate() == value.toDate();
    default:
        return field.value() == value;
    }
}

bool EnsureEditOrInsert(Table& table) {
    if (!table.isEditing())
        table.edit();
    return table.isEditing();
}

RunTableLocks::RunTableLocks(const QString& databaseName, const QStringList& tableNames) {
    for (const QString& name : tableNames) {
        std::unique_ptr<Table> cursor = OpenTempTable(databaseName, name);
        table::Database& db = *cursor->database();
        // A lock the session holds already stays with its holder.
        if (!db.session() || db.session()->holdsTableLock(db.lockKey(), table::physicalName(name)))
            continue;
        try {
            cursor->lockTable();
        } catch (const table::TableError& e) {
            if (e.kind() != table::TableError::RecordLocked)
                throw;
            continue; // another workstation works in it
        }
        m_held.push_back(std::move(cursor));
    }
}

RunTableLocks::~RunTableLocks() = default;

void RefreshIfActive(Table& table) {
    if (table.isOpen())
        table.refresh();
}

void RefreshUnlessEditing(Table& table) {
    if (table.isOpen() && !table.isEditing())
        table.refresh();
}

namespace {

int nextIdOf(Table& cursor, const QString& idFieldName) {
    if (cursor.isEmpty())
        return 1;
    cursor.last();
    return plusOne(cursor.field(idFieldName).asInteger(), idFieldName);
}

} // namespace

namespace {

// An integer primary key orders the table itself: its last value is the
// largest, which the engine finds in the key without reading a row.
std::optional<int> nextIntegerKey(table::Database& db, const table::TableDef& def,
                                  const QString& idFieldName) {
    if (def.fields.isEmpty() || def.fields.first().name.compare(idFieldName, Qt::CaseInsensitive) ||
        (def.fields.first().type != FieldType::Integer &&
         def.fields.first().type != FieldType::AutoInc))
        return std::nullopt;
    const QVariant last =
        db.selectValue(QStringLiteral("SELECT max(\"%1\") FROM \"%2\"")
                           .arg(def.fields.first().name, table::physicalName(def.name)));
    return plusOne(last.isValid() && !last.isNull() ? last.toLongLong() : 0, idFieldName);
}

} // namespace

int GetNextId(Table& table, const QString& idFieldName) {
    if (const auto next = nextIntegerKey(*table.database(), table.definition(), idFieldName))
        return *next;
    auto cursor = openCursorBeside(table);
    return nextIdOf(*cursor, idFieldName);
}

int GetNextId(const QString& databaseName, const QString& tableName, const QString& idFieldName) {
    const auto db = table::aliases::database(databaseName);
    if (const auto next = nextIntegerKey(*db, db->tableDef(tableName), idFieldName))
        return *next;
    auto cursor = openCursor(databaseName, tableName);
    return nextIdOf(*cursor, idFieldName);
}

int GetFirstFreeNr(const QString& databaseName, const QString& tableName, const QString& fieldName,
                   int startNr) {
    auto cursor = openSearchCursor(databaseName, tableName);
    const QStringList fields{fieldName};
    int nr = startNr;
    while (cursor->locate(fields, {nr}))
        nr = plusOne(nr, fieldName);
    return nr;
}

namespace {

// A numeric field as an equality test that the engine answers from the
// field's index: under the index's collation when it leads a
// case-insensitive one (as the cursors write it). Not for texts, whose
// comparison the cursors make.
std::optional<QString> numericSeekExpr(const table::TableDef& def, const QString& fieldName,
                                       QString* found = nullptr) {
    for (qsizetype i = 0; i < def.fields.size(); ++i) {
        const table::FieldDef& f = def.fields.at(i);
        if (f.name.compare(fieldName, Qt::CaseInsensitive) != 0)
            continue;
        if (found)
            *found = f.name;
        const QString type = table::sqlType(f.type);
        if (type != u"INTEGER" && type != u"REAL")
            return std::nullopt;
        QString expr = table::quoted(f.name);
        if (i > 0)
            for (const table::IndexDef& idx : def.indexes)
                if (idx.caseInsensitive && !idx.fields.isEmpty() &&
                    idx.fields.first().compare(f.name, Qt::CaseInsensitive) == 0) {
                    expr += QStringLiteral(" COLLATE DE");
                    break;
                }
        return expr;
    }
    return std::nullopt;
}

// Numbers and integer keys, the case of every record rule: one question to
// the engine instead of a cursor of its own; nullopt for other fields.
std::optional<bool> numberUsedByOther(table::Database& db, const table::TableDef& def,
                                      const QString& nrField, const QString& idField,
                                      const QVariant& nr, int id) {
    QString idName;
    const auto nrExpr = numericSeekExpr(def, nrField);
    const auto idExpr = numericSeekExpr(def, idField, &idName);
    bool isNumber = false;
    nr.toDouble(&isNumber);
    if (!nrExpr || !idExpr || !isNumber)
        return std::nullopt;
    return db
        .selectValue(
            QStringLiteral("SELECT 1 FROM %1 WHERE %2 = ? AND coalesce(%3, 0) <> ? "
                           "LIMIT 1")
                .arg(table::quoted(table::physicalName(def.name)), *nrExpr, table::quoted(idName)),
            {nr, id})
        .isValid();
}

} // namespace

bool NrUsedByOtherRecord(const table::Table& table, const QString& nrField, const QString& idField,
                         const QVariant& nr, int id) {
    if (!nr.isValid() || nr.isNull())
        return false;
    if (const auto used =
            numberUsedByOther(*table.database(), table.definition(), nrField, idField, nr, id))
        return *used;
    auto cursor = openCursorBeside(table);
    if (!cursor->locate({nrField}, {nr}))
        return false;
    Field& nrF = cursor->field(nrField);
    Field& idF = cursor->field(idField);
    for (; !cursor->eof(); cursor->next())
        if (FieldEquals(nrF, nr) && idF.asInteger() != id)
            return true;
    return false;
}

bool NrUsedByOtherRecord(const QString& databaseName, const QString& tableName,
                         const QString& nrField, const QString& idField, const QVariant& nr,
                         int id) {
    if (!nr.isValid() || nr.isNull())
        return false;
    auto db = table::aliases::database(databaseName);
    if (const auto used = numberUsedByOther(*db, db->tableDef(tableName), nrField, idField, nr, id))
        return *used;
    auto cursor = openSearchCursor(databaseName, tableName);
    if (!cursor->locate({nrField}, {nr}))
        return false; // the common case, answered by the engine
    Field& nrF = cursor->field(nrField);
    Field& idF = cursor->field(idField);
    for (; !cursor->eof(); cursor->next())
        if (FieldEquals(nrF, nr) && idF.asInteger() != id)
            return true;
    return false;
}

bool IntValueExists(const QString& databaseName, const QString& tableName, const QString& fieldName,
                    int value) {
    return openSearchCursor(databaseName, tableName)->locate({fieldName}, {value});
}

bool StrValueExists(const QString& databaseName, const QString& tableName, const QString& fieldName,
                    const QString& value) {
    return openSearchCursor(databaseName, tableName)->locate({fieldName}, {value});
}

bool IntPairExists(const QString& databaseName, const QString& tableName, const QString& fieldNames,
                   int value1, int value2) {
    const QStringList fields = fieldNames.split(u';');
    if (fields.size() != 2)
        throw DbError(QStringLiteral("Zwei Feldnamen erwartet: %1").arg(fieldNames));
    return openSearchCursor(databaseName, tableName)->locate(fields, {value1, value2});
}

int CountRecordsWithValue(const QString& databaseName, const QString& tableName,
                          const QString& fieldName, const QVariant& value) {
    auto cursor = openCursor(databaseName, tableName);
    Field& f = cursor->field(fieldName);
    int count = 0;
    for (; !cursor->eof(); cursor->next())
        count += FieldEquals(f, value) ? 1 : 0;
    return count;
}

int CountRecordsFiltered(const QString& databaseName, const QString& tableName,
                         const QString& filter) {
    return openCursor(databaseName, tableName, filter)->recordCount();
}

BulkDeleteResult DeleteRecordsFiltered(const QString& databaseName, const QString& tableName,
                                       const QString& filter, OnDeleteFailure onFailure) {
    return bulkDelete(databaseName, tableName, onFailure, [&](BulkDeleteResult& result) {
        auto cursor = openCursor(databaseName, tableName, filter);
        // Bounded: every pass deletes a record or steps past one.
        const int limit = cursor->recordCount() + 1;
        while (result.attempts < limit && !cursor->eof() && !cursor->isEmpty())
            tryDelete(*cursor, result, onFailure);
    });
}

BulkDeleteResult DeleteTableRecordsFiltered(const Table& table, const QString& filter,
                                            OnDeleteFailure onFailure) {
    // The caller's table may not be reachable through an alias name, so the
    // cursor is opened beside it.
    BulkDeleteResult result;
    {
        table::Transaction tx(*table.database());
        auto cursor = openCursorBeside(table);
        if (!filter.trimmed().isEmpty()) {
            cursor->setFilter(filter);
            cursor->setFiltered(true);
        }
        cursor->first();
        const int limit = cursor->recordCount() + 1;
        while (result.attempts < limit && !cursor->eof() && !cursor->isEmpty())
            tryDelete(*cursor, result, onFailure);
        tx.commit();
    }
    if (onFailure == OnDeleteFailure::ReportAndContinue)
        reportFailures(table.tableName(), result.failures);
    return result;
}

namespace {

void deleteMatching(Table& cursor, const QString& fieldName, const QVariant& value,
                    BulkDeleteResult& result, OnDeleteFailure onFailure) {
    Field& f = cursor.field(fieldName);
    cursor.first();
    while (!cursor.eof() && !cursor.isEmpty()) {
        if (FieldEquals(f, value))
            tryDelete(cursor, result, onFailure); // stands on the next record either way
        else
            cursor.next();
    }
}

} // namespace

BulkDeleteResult DeleteRecordsWithValue(const QString& databaseName, const QString& tableName,
                                        const QString& fieldName, const QVariant& value,
                                        OnDeleteFailure onFailure) {
    return bulkDelete(databaseName, tableName, onFailure, [&](BulkDeleteResult& result) {
        auto cursor = openCursor(databaseName, tableName);
        deleteMatching(*cursor, fieldName, value, result, onFailure);
    });
}

BulkDeleteResult DeleteTableRecordsWithValue(const Table& table, const QString& fieldName,
                                             const QVariant& value, OnDeleteFailure onFailure) {
    BulkDeleteResult result;
    {
        table::Transaction tx(*table.database());
        auto cursor = openCursorBeside(table);
        deleteMatching(*cursor, fieldName, value, result, onFailure);
        tx.commit();
    }
    if (onFailure == OnDeleteFailure::ReportAndContinue)
        reportFailures(table.tableName(), result.failures);
    return result;
}

int ReplaceFieldValue(const QString& databaseName, const QString& tableName,
                      const QString& fieldName, const QVariant& oldValue,
                      const QVariant& newValue) {
    if (oldValue == newValue)
        return 0;
    auto db = table::aliases::database(databaseName);
    table::Transaction tx(*db);
    auto cursor = openCursor(databaseName, tableName);
    Field& f = cursor->field(fieldName);
    QList<table::Bookmark> matches;
    for (; !cursor->eof(); cursor->next())
        if (FieldEquals(f, oldValue))
            matches.append(cursor->bookmark());
    for (const table::Bookmark& mark : matches) {
        cursor->gotoBookmark(mark);
        EnsureEditOrInsert(*cursor);
        f.setValue(newValue);
        cursor->post();
    }
    tx.commit();
    return int(matches.size());
}

int SetFieldInRecords(const QString& databaseName, const QString& tableName,
                      const QString& fieldName, const QString& filter, const QVariant& value) {
    auto db = table::aliases::database(databaseName);
    table::Transaction tx(*db);
    auto cursor = openCursor(databaseName, tableName, filter);
    QList<table::Bookmark> marks;
    for (; !cursor->eof() && !cursor->isEmpty(); cursor->next())
        marks.append(cursor->bookmark());
    // Changing the field may take a record out of the filtered view, so the
    // records are visited by bookmark without the filter.
    cursor->setFiltered(false);
    Field& f = cursor->field(fieldName);
    for (const table::Bookmark& mark : marks) {
        cursor->gotoBookmark(mark);
        EnsureEditOrInsert(*cursor);
        f.setValue(value);
        cursor->post();
    }
    tx.commit();
    return int(marks.size());
}

bool FindKeyUpperCase(Table& table, const QString& text) {
    if (!table.isOpen())
        return false;
    QString key = text;
    for (QChar& c : key)
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - (u'a' - u'A'));
    const table::Bookmark here = table.bookmark();
    if (table.findKey({key}))
        return true;
    if (here.valid && table.bookmarkValid(here))
        table.gotoBookmark(here);
    return false;
}

int GetBdeUserCount(table::Session* session) {
    return session ? session->userCount() : 1;
}

int GetBdeUserCount() {
    return GetBdeUserCount(table::aliases::database(QStringLiteral("LumoDB"))->session());
}

QString GetNetUserText(table::Session* session) {
    if (!session)
        return QStringLiteral("????");
    // The own entry: the first of the list may be another workstation, whose
    // name would then stamp this workstation's records.
    for (const table::SessionInfo& info : session->users())
        if (info.number == session->number())
            return IntToStrWidth(info.number, 3) + QStringLiteral(" : ") + info.userName.left(15);
    return QStringLiteral("????");
}

QString GetNetUserText() {
    return GetNetUserText(table::aliases::database(QStringLiteral("LumoDB"))->session());
}

QString GetRaListeFilter(int kind) {
    switch (kind) {
    case 0:
        return QStringLiteral("R_Satzart=0");
    case 1:
        return QStringLiteral("R_Satzart=2");
    case 2:
        return QStringLiteral("(R_Satzart=1) OR (R_SatzArt=3)");
    default:
        return {};
    }
}

void ApplyTabStops(QTextDocument& document) {
    QList<QTextOption::Tab> tabs;
    for (int position : TabstopList)
        tabs.append(QTextOption::Tab(position, QTextOption::LeftTab));
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QTextBlockFormat format = block.blockFormat();
        // Editors apply the stops after every key: a block that has them
        // already is left alone, so no undo step and no change is recorded.
        if (format.tabPositions() == tabs)
            continue;
        QTextCursor c(block);
        format.setTabPositions(tabs);
        c.setBlockFormat(format);
    }
    cursor.endEditBlock();
}

void CancelEditOnError(Table& table, const std::function<void()>& work) {
    try {
        work();
    } catch (...) {
        if (table.isEditing())
            table.cancel();
        throw;
    }
}

void WithOwnLock(Table& table, const std::function<void()>& work) {
    const bool startedEdit = !table.isEditing();
    if (startedEdit)
        table.edit();
    try {
        work();
    } catch (...) {
        if (startedEdit && table.isEditing())
            table.cancel();
        throw;
    }
}

void DeleteShownRows(Table& table, const QString& refusedText,
                     const std::function<void(Table&)>& checkRow) {
    for (table.first(); !table.isEmpty(); table.first()) {
        if (checkRow)
            checkRow(table);
        const int before = table.recordCount();
        table.deleteRecord();
        if (table.recordCount() >= before)
            throw DbError(refusedText);
    }
}

OpenForCall::OpenForCall(Table& table) : m_table(table), m_opened(!table.isOpen()) {
    if (m_opened)
        table.open();
}

OpenForCall::~OpenForCall() {
    try {
        close();
    } catch (const std::exception& e) {
        // A destructor cannot pass the error on (a caller that needs it calls
        // close()), so it goes to the log instead of being lost.
        try {
            WriteLog(m_table.tableName() + QStringLiteral(": ERROR CLOSE ") +
                     QString::fromUtf8(e.what()));
        } catch (...) {
        }
    }
}

void OpenForCall::close() {
    if (std::exchange(m_opened, false) && m_table.isOpen())
        m_table.close();
}

std::unique_ptr<Table> OpenTempTable(const QString& databaseName, const QString& tableName,
                                     const QString& indexName) {
    auto t = std::make_unique<Table>(table::aliases::database(databaseName), tableName);
    t->setIndexName(indexName);
    t->open();
    return t;
}

std::unique_ptr<Table> OpenTempTableWhere(const QString& databaseName, const QString& tableName,
                                          const QString& filter) {
    auto t = std::make_unique<Table>(table::aliases::database(databaseName), tableName);
    t->setFilter(filter);
    t->setFiltered(true);
    t->open();
    return t;
}

int ExecSql(const QString& sql, const QString& databaseName) {
    try {
        table::Query query(table::aliases::database(databaseName), sql);
        query.execSql();
        return 0;
    } catch (const std::exception& e) {
        const DbError* dbError = dynamic_cast<const DbError*>(&e);
        ShowError(LoadMessage(65231) + u'\r' +
                  (dbError ? dbError->message() : QString::fromUtf8(e.what())));
        return -1;
    }
}
