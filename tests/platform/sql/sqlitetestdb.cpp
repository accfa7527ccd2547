#include "sqlitetestdb.h"

#include <QCollator>
#include <QLocale>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <stdexcept>

namespace {

int compareGerman(void* context, int lengthA, const void* a, int lengthB, const void* b) {
    auto* collator = static_cast<QCollator*>(context);
    const QString sa = QString::fromUtf8(static_cast<const char*>(a), lengthA);
    const QString sb = QString::fromUtf8(static_cast<const char*>(b), lengthB);
    const int r = collator->compare(sa, sb);
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

void destroyCollator(void* context) {
    delete static_cast<QCollator*>(context);
}

} // namespace

SqliteTestDb::SqliteTestDb() {
    if (sqlite3_open(":memory:", &m_db) != SQLITE_OK)
        throw std::runtime_error("cannot open in-memory database");
    auto* collator = new QCollator(QLocale(QLocale::German, QLocale::Germany));
    collator->setCaseSensitivity(Qt::CaseInsensitive);
    sqlite3_create_collation_v2(m_db, "DE", SQLITE_UTF8, collator, compareGerman, destroyCollator);
}

SqliteTestDb::~SqliteTestDb() {
    sqlite3_close(m_db);
}

void SqliteTestDb::exec(const QString& script) {
    char* error = nullptr;
    const int rc = sqlite3_exec(m_db, script.toUtf8().constData(), nullptr, nullptr, &error);
    ASSERT_EQ(rc, SQLITE_OK) << (error ? error : "") << "\n" << script.toStdString();
}

QList<QVariantList> SqliteTestDb::query(const QString& sql, const QVariantList& params) {
    sqlite3_stmt* stmt = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v2(m_db, utf8.constData(), int(utf8.size()), &stmt, nullptr) != SQLITE_OK)
        throw std::runtime_error(std::string(sqlite3_errmsg(m_db)) + " in: " + utf8.toStdString());
    struct Finalize {
        sqlite3_stmt* s;
        ~Finalize() { sqlite3_finalize(s); }
    } finalize{stmt};
    if (sqlite3_bind_parameter_count(stmt) != params.size())
        throw std::runtime_error("parameter count mismatch in: " + utf8.toStdString());
    for (int i = 0; i < params.size(); ++i) {
        const QVariant& p = params[i];
        const int id = p.metaType().id();
        if (!p.isValid() || p.isNull())
            sqlite3_bind_null(stmt, i + 1);
        else if (id == QMetaType::Int || id == QMetaType::LongLong || id == QMetaType::Bool)
            sqlite3_bind_int64(stmt, i + 1, p.toLongLong());
        else if (id == QMetaType::Double)
            sqlite3_bind_double(stmt, i + 1, p.toDouble());
        else if (id == QMetaType::QString) {
            const QByteArray text = p.toString().toUtf8();
            sqlite3_bind_text(stmt, i + 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        } else
            throw std::runtime_error("unexpected parameter type");
    }
    QList<QVariantList> rows;
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        QVariantList row;
        for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
            switch (sqlite3_column_type(stmt, c)) {
            case SQLITE_INTEGER:
                row << QVariant(qlonglong(sqlite3_column_int64(stmt, c)));
                break;
            case SQLITE_FLOAT:
                row << QVariant(sqlite3_column_double(stmt, c));
                break;
            case SQLITE_TEXT:
                row << QVariant(
                    QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, c))));
                break;
            default:
                row << QVariant();
            }
        }
        rows << row;
    }
    if (rc != SQLITE_DONE)
        throw std::runtime_error(std::string(sqlite3_errmsg(m_db)) + " in: " + utf8.toStdString());
    return rows;
}
