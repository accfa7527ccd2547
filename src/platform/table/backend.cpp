#include "platform/table/backend.h"

#include "platform/table/tableerror.h"

#include <QCollator>
#include <QFile>
#include <QLocale>
#include <QStringEncoder>
#include <cstring>
#include <sqlite3.h>

namespace table {

namespace {

int compareGerman(void* arg, int lenA, const void* a, int lenB, const void* b) {
    auto* collator = static_cast<QCollator*>(arg);
    const QString sa = QString::fromUtf8(static_cast<const char*>(a), lenA);
    const QString sb = QString::fromUtf8(static_cast<const char*>(b), lenB);
    const int r = collator->compare(sa, sb);
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

QString engineMessage(sqlite3* db) {
    return db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString();
}

} // namespace

Statement::Statement(Connection& connection, sqlite3_stmt* stmt)
    : m_connection(connection), m_stmt(stmt) {}

Statement::~Statement() {
    sqlite3_finalize(m_stmt);
}

void Statement::bind(int index, const QVariant& value) {
    int rc = SQLITE_OK;
    if (!value.isValid() || value.isNull()) {
        rc = sqlite3_bind_null(m_stmt, index);
    } else {
        switch (value.typeId()) {
        case QMetaType::Bool:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::LongLong:
        case QMetaType::Long:
            rc = sqlite3_bind_int64(m_stmt, index, value.toLongLong());
            break;
        case QMetaType::ULongLong:
        case QMetaType::ULong:
            if (value.toULongLong() > quint64(std::numeric_limits<qint64>::max()))
                throw TableError(TableError::InvalidValue,
                                 QStringLiteral("Der Zahlenwert ist zu groß."));
            rc = sqlite3_bind_int64(m_stmt, index, value.toLongLong());
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            rc = sqlite3_bind_double(m_stmt, index, value.toDouble());
            break;
        case QMetaType::QByteArray: {
            const QByteArray b = value.toByteArray();
            rc = sqlite3_bind_blob64(m_stmt, index, b.constData(), sqlite3_uint64(b.size()),
                                     SQLITE_TRANSIENT);
            break;
        }
        default:
            bindText(index, value.toString());
            return;
        }
    }
    if (rc != SQLITE_OK)
        m_connection.raise(rc);
}

void Statement::check(int rc) {
    if (rc != SQLITE_OK)
        m_connection.raise(rc);
}

void Statement::bindNull(int index) {
    check(sqlite3_bind_null(m_stmt, index));
}

void Statement::bindInt64(int index, qint64 value) {
    check(sqlite3_bind_int64(m_stmt, index, value));
}

void Statement::bindDouble(int index, double value) {
    check(sqlite3_bind_double(m_stmt, index, value));
}

// Text is copied into a buffer of the parameter's own that lives as long as
// the statement, so the engine need not make a copy of its own.
QByteArray& Statement::textBuffer(int index) {
    if (index < 1)
        m_connection.raise(SQLITE_RANGE);
    if (size_t(index) > m_texts.size())
        m_texts.resize(size_t(index));
    return m_texts[size_t(index) - 1];
}

void Statement::bindText(int index, const char* utf8, qsizetype length) {
    QByteArray& buffer = textBuffer(index);
    buffer.resize(length);
    std::memcpy(buffer.data(), utf8, size_t(length));
    check(sqlite3_bind_text64(m_stmt, index, buffer.constData(), sqlite3_uint64(length),
                              SQLITE_STATIC, SQLITE_UTF8));
}

void Statement::bindText(int index, QStringView text) {
    QByteArray& buffer = textBuffer(index);
    buffer.resize(text.size() * 3);
    QStringEncoder encoder(QStringEncoder::Utf8);
    const char* end = encoder.appendToBuffer(buffer.data(), text);
    buffer.resize(end - buffer.constData());
    check(sqlite3_bind_text64(m_stmt, index, buffer.constData(), sqlite3_uint64(buffer.size()),
                              SQLITE_STATIC, SQLITE_UTF8));
}

void Statement::bindBlob(int index, const QByteArray& bytes) {
    check(sqlite3_bind_blob64(m_stmt, index, bytes.constData(), sqlite3_uint64(bytes.size()),
                              SQLITE_TRANSIENT));
}

void Statement::bindAll(const QVariantList& values) {
    for (int i = 0; i < values.size(); ++i)
        bind(i + 1, values[i]);
}

bool Statement::step() {
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    // The extended code of the failed step, then a reset so the statement can be reused.
    const int code = sqlite3_extended_errcode(m_connection.handle());
    const QString msg = engineMessage(m_connection.handle());
    sqlite3_reset(m_stmt);
    m_connection.raise(code, msg);
}

void Statement::reset() {
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

int Statement::columnCount() const {
    return sqlite3_column_count(m_stmt);
}

QString Statement::columnName(int column) const {
    return QString::fromUtf8(sqlite3_column_name(m_stmt, column));
}

QVariant Statement::value(int column) const {
    switch (sqlite3_column_type(m_stmt, column)) {
    case SQLITE_INTEGER:
        return QVariant(qint64(sqlite3_column_int64(m_stmt, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(m_stmt, column));
    case SQLITE_TEXT: {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
        return QVariant(QString::fromUtf8(p, sqlite3_column_bytes(m_stmt, column)));
    }
    case SQLITE_BLOB: {
        const auto* p = static_cast<const char*>(sqlite3_column_blob(m_stmt, column));
        return QVariant(QByteArray(p, sqlite3_column_bytes(m_stmt, column)));
    }
    default:
        return QVariant();
    }
}

qint64 Statement::int64(int column) const {
    return sqlite3_column_int64(m_stmt, column);
}

double Statement::real(int column) const {
    return sqlite3_column_double(m_stmt, column);
}

QString Statement::text(int column) const {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
    return QString::fromUtf8(p, sqlite3_column_bytes(m_stmt, column));
}

QByteArrayView Statement::utf8(int column) const {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
    return QByteArrayView(p, sqlite3_column_bytes(m_stmt, column));
}

Cell Statement::cell(int column) const {
    return Cell(sqlite3_column_value(m_stmt, column));
}

Statement::RowLock::RowLock(const Statement& statement)
    : m_mutex(sqlite3_db_mutex(sqlite3_db_handle(statement.m_stmt))) {
    sqlite3_mutex_enter(m_mutex);
}

Statement::RowLock::~RowLock() {
    sqlite3_mutex_leave(m_mutex);
}

bool Cell::isNull() const {
    return sqlite3_value_type(m_value) == SQLITE_NULL;
}

qint64 Cell::int64() const {
    return sqlite3_value_int64(m_value);
}

double Cell::real() const {
    return sqlite3_value_double(m_value);
}

QString Cell::text() const {
    const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(m_value));
    return QString::fromUtf8(p, sqlite3_value_bytes(m_value));
}

QByteArrayView Cell::utf8() const {
    const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(m_value));
    return QByteArrayView(p, sqlite3_value_bytes(m_value));
}

QVariant Cell::value() const {
    switch (sqlite3_value_type(m_value)) {
    case SQLITE_INTEGER:
        return QVariant(qint64(sqlite3_value_int64(m_value)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_value_double(m_value));
    case SQLITE_TEXT:
        return QVariant(text());
    case SQLITE_BLOB: {
        const auto* p = static_cast<const char*>(sqlite3_value_blob(m_value));
        return QVariant(QByteArray(p, sqlite3_value_bytes(m_value)));
    }
    default:
        return QVariant();
    }
}

bool Statement::isNull(int column) const {
    return sqlite3_column_type(m_stmt, column) == SQLITE_NULL;
}

Connection::Connection(const QString& file, int busyTimeoutMs, bool create) : m_file(file) {
    if (!create && !QFile::exists(file))
        throw TableError(TableError::NotFound,
                         QStringLiteral("Die Datenbank \"%1\" wurde nicht gefunden.").arg(file));
    const int flags =
        SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0) | SQLITE_OPEN_FULLMUTEX;
    const int rc = sqlite3_open_v2(file.toUtf8().constData(), &m_db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString msg = engineMessage(m_db);
        sqlite3_close_v2(m_db);
        m_db = nullptr;
        throw TableError(
            TableError::NotFound,
            QStringLiteral("Die Datenbank \"%1\" kann nicht geöffnet werden: %2").arg(file, msg));
    }
    sqlite3_extended_result_codes(m_db, 1);
    sqlite3_busy_timeout(m_db, busyTimeoutMs);
    auto* collator = new QCollator(QLocale(QLocale::German, QLocale::Germany));
    collator->setCaseSensitivity(Qt::CaseInsensitive);
    m_collator = collator;
    sqlite3_create_collation_v2(m_db, "DE", SQLITE_UTF8, collator, compareGerman, nullptr);
}

Connection::~Connection() {
    m_cache.clear();
    if (m_db)
        sqlite3_close_v2(m_db);
    delete static_cast<QCollator*>(m_collator);
}

void Connection::exec(const QString& sql) {
    char* err = nullptr;
    const int rc = sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &err);
    if (rc != SQLITE_OK) {
        const QString msg = err ? QString::fromUtf8(err) : QString();
        sqlite3_free(err);
        raise(sqlite3_extended_errcode(m_db), msg);
    }
}

Statement& Connection::cached(const QString& sql) {
    std::string key = sql.toStdString();
    auto it = m_cache.find(key);
    if (it != m_cache.end())
        return *it->second;
    auto stmt = prepare(sql);
    auto& ref = *stmt;
    m_cache.emplace(std::move(key), std::move(stmt));
    return ref;
}

std::unique_ptr<Statement> Connection::prepare(const QString& sql) {
    sqlite3_stmt* stmt = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    const int rc = sqlite3_prepare_v3(m_db, utf8.constData(), int(utf8.size()),
                                      SQLITE_PREPARE_PERSISTENT, &stmt, nullptr);
    if (rc != SQLITE_OK)
        raise(rc, engineMessage(m_db));
    if (!stmt) // empty text
        throw TableError(TableError::Other, QStringLiteral("Leere SQL-Anweisung."));
    return std::make_unique<Statement>(*this, stmt);
}

void Connection::clearCache() {
    m_cache.clear();
    ++m_generation;
}

qint64 Connection::lastInsertRowId() const {
    return sqlite3_last_insert_rowid(m_db);
}

int Connection::changes() const {
    return sqlite3_changes(m_db);
}

bool Connection::inTransaction() const {
    return !sqlite3_get_autocommit(m_db);
}

void Connection::setBusyTimeout(int ms) {
    sqlite3_busy_timeout(m_db, ms);
}

void Connection::backupTo(const QString& target) {
    sqlite3* dest = nullptr;
    int rc = sqlite3_open_v2(target.toUtf8().constData(), &dest,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_close_v2(dest);
        throw TableError(
            TableError::Other,
            QStringLiteral("Die Datei \"%1\" kann nicht angelegt werden.").arg(target));
    }
    sqlite3_backup* backup = sqlite3_backup_init(dest, "main", m_db, "main");
    if (!backup) {
        const QString msg = engineMessage(dest);
        sqlite3_close_v2(dest);
        throw TableError(TableError::Other,
                         QStringLiteral("Datensicherung fehlgeschlagen: %1").arg(msg));
    }
    rc = sqlite3_backup_step(backup, -1);
    sqlite3_backup_finish(backup);
    // A backup copy needs no -wal file beside it: switch it to the rollback journal.
    if (rc == SQLITE_DONE)
        sqlite3_exec(dest, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr);
    sqlite3_close_v2(dest);
    if (rc != SQLITE_DONE)
        raise(rc);
}

void Connection::raise(int code, const QString& context) const {
    const QString detail = context.isEmpty() ? engineMessage(m_db) : context;
    switch (code & 0xff) {
    case SQLITE_CONSTRAINT:
        if (code == SQLITE_CONSTRAINT_UNIQUE || code == SQLITE_CONSTRAINT_PRIMARYKEY)
            throw TableError(TableError::KeyViolation, QStringLiteral("Schlüsselverletzung."));
        throw TableError(TableError::InvalidValue,
                         QStringLiteral("Ungültiger Feldwert: %1").arg(detail));
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        throw TableError(
            TableError::Busy,
            QStringLiteral("Die Datenbank ist durch einen anderen Benutzer gesperrt."));
    case SQLITE_FULL:
        throw TableError(TableError::DiskFull, QStringLiteral("Der Datenträger ist voll."));
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        throw TableError(TableError::Damaged,
                         QStringLiteral("Die Datenbankdatei \"%1\" ist beschädigt.").arg(m_file));
    case SQLITE_IOERR:
        throw TableError(
            TableError::Other,
            QStringLiteral("Lese- oder Schreibfehler in der Datenbank: %1").arg(detail));
    default:
        throw TableError(TableError::Other, QStringLiteral("Datenbankfehler: %1").arg(detail));
    }
}

} // namespace table
