#include "platform/errors.h"
#include "platform/sql/filterexpr.h"
#include "qtprinters.h"
#include "sqlitetestdb.h"

#include <QDate>
#include <QRandomGenerator>
#include <QTime>
#include <gtest/gtest.h>

using sqltext::FilterExpr;
using table::FieldType;

namespace {

table::TableDef customerTable() {
    table::TableDef def;
    def.name = QStringLiteral("Kunden.DB");
    def.fields = {{QStringLiteral("K_ID"), FieldType::AutoInc},
                  {QStringLiteral("K_Nr"), FieldType::Integer},
                  {QStringLiteral("K_Match"), FieldType::String, 20},
                  {QStringLiteral("K_Name1"), FieldType::String, 40},
                  {QStringLiteral("K_Aktiv"), FieldType::Boolean},
                  {QStringLiteral("K_Datum"), FieldType::Date},
                  {QStringLiteral("K_Betrag"), FieldType::Currency},
                  {QStringLiteral("K_Zeit"), FieldType::Time},
                  {QStringLiteral("K_Ort"), FieldType::String, 40},
                  {QStringLiteral("K_Notiz"), FieldType::Memo},
                  {QStringLiteral("K_Bild"), FieldType::Graphic},
                  {QStringLiteral("K_Stempel"), FieldType::DateTime}};
    return def;
}

QString messageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const DbError& error) {
        return error.message();
    }
    return QStringLiteral("<kein Fehler>");
}

// ---- translation to SQL and read-back text

struct SqlCase {
    const char* filter;
    Qt::CaseSensitivity cs;
    const char* sql;
    QVariantList params;
    const char* text;
};

class FilterSqlTest : public ::testing::TestWithParam<SqlCase> {};

TEST_P(FilterSqlTest, TranslatesToBoundSqlAndReadsBack) {
    const SqlCase& c = GetParam();
    const FilterExpr filter = FilterExpr::parse(QString::fromUtf8(c.filter));
    const sqltext::SqlText sql = filter.toSql(sqltext::fieldsOf(customerTable()), c.cs);
    EXPECT_EQ(sql.sql, QString::fromUtf8(c.sql));
    EXPECT_EQ(sql.params, c.params);
    EXPECT_EQ(filter.text(), QString::fromUtf8(c.text));
    // The normal form parses to itself.
    EXPECT_EQ(FilterExpr::parse(filter.text()).text(), filter.text());
}

const SqlCase kSqlCases[] = {
    {"K_Nr>=5 and k_match='A''b'",
     Qt::CaseInsensitive,
     R"("K_Nr" >= ? AND "K_Match" = ? COLLATE DE)",
     {5LL, QStringLiteral("A'b")},
     "K_Nr>=5 AND k_match='A''b'"},
    {"K_Match=\"x\"", Qt::CaseSensitive, R"("K_Match" = ?)", {QStringLiteral("x")}, "K_Match='x'"},
    {"K_Datum = 1.3.2024",
     Qt::CaseSensitive,
     R"("K_Datum" = ?)",
     {QStringLiteral("2024-03-01")},
     "K_Datum=1.3.2024"},
    {"K_Datum<='31.12.2024'",
     Qt::CaseSensitive,
     R"("K_Datum" <= ?)",
     {QStringLiteral("2024-12-31")},
     "K_Datum<='31.12.2024'"},
    {"K_Aktiv='True'", Qt::CaseInsensitive, R"("K_Aktiv" = ?)", {1}, "K_Aktiv='True'"},
    {"K_Aktiv=FALSE", Qt::CaseSensitive, R"("K_Aktiv" = ?)", {0}, "K_Aktiv=false"},
    {"10 > K_Nr", Qt::CaseSensitive, R"("K_Nr" < ?)", {10LL}, "10>K_Nr"},
    {"K_Betrag<>-2.5", Qt::CaseSensitive, R"("K_Betrag" <> ?)", {-2.5}, "K_Betrag<>-2.5"},
    {"K_Zeit>='08:30'",
     Qt::CaseSensitive,
     R"("K_Zeit" >= ?)",
     {QStringLiteral("08:30:00.000")},
     "K_Zeit>='08:30'"},
    {"K_Stempel>='1.2.2024 10:15' AND K_Stempel<01.03.2024",
     Qt::CaseSensitive,
     R"("K_Stempel" >= ? AND "K_Stempel" < ?)",
     {QStringLiteral("2024-02-01T10:15:00.000"), QStringLiteral("2024-03-01T00:00:00.000")},
     "K_Stempel>='1.2.2024 10:15' AND K_Stempel<01.03.2024"},
    {"K_Ort='Stu*'",
     Qt::CaseSensitive,
     R"(substr("K_Ort", 1, 3) = ?)",
     {QStringLiteral("Stu")},
     "K_Ort='Stu*'"},
    {"K_Ort<>''",
     Qt::CaseInsensitive,
     R"(("K_Ort" IS NOT NULL AND "K_Ort" <> ''))",
     {},
     "K_Ort<>''"},
    {"K_Datum=''", Qt::CaseSensitive, R"("K_Datum" IS NULL)", {}, "K_Datum=''"},
    {"K_Aktiv<>null", Qt::CaseSensitive, R"("K_Aktiv" IS NOT NULL)", {}, "K_Aktiv<>NULL"},
    {"K_Match=K_Name1",
     Qt::CaseInsensitive,
     R"("K_Match" = "K_Name1" COLLATE DE)",
     {},
     "K_Match=K_Name1"},
};

// Structure: precedence, flattening and parentheses in SQL and text.
const SqlCase kStructureCases[] = {
    {"(K_Nr=1) OR (K_nr=3)",
     Qt::CaseSensitive,
     R"("K_Nr" = ? OR "K_Nr" = ?)",
     {1LL, 3LL},
     "K_Nr=1 OR K_nr=3"},
    {"K_Nr=1 OR K_Nr=2 AND K_Nr=3",
     Qt::CaseSensitive,
     R"("K_Nr" = ? OR ("K_Nr" = ? AND "K_Nr" = ?))",
     {1LL, 2LL, 3LL},
     "K_Nr=1 OR K_Nr=2 AND K_Nr=3"},
    {"(K_Nr=1 OR K_Nr=2) AND K_Nr=3",
     Qt::CaseSensitive,
     R"(("K_Nr" = ? OR "K_Nr" = ?) AND "K_Nr" = ?)",
     {1LL, 2LL, 3LL},
     "(K_Nr=1 OR K_Nr=2) AND K_Nr=3"},
    {"not (K_Nr=1 or K_Nr=2)",
     Qt::CaseSensitive,
     R"(NOT ("K_Nr" = ? OR "K_Nr" = ?))",
     {1LL, 2LL},
     "NOT (K_Nr=1 OR K_Nr=2)"},
    {"NOT NOT K_Nr=1", Qt::CaseSensitive, R"(NOT (NOT ("K_Nr" = ?)))", {1LL}, "NOT NOT K_Nr=1"},
    {"((K_Nr=1 AND K_Nr=2) AND K_Nr=3)",
     Qt::CaseSensitive,
     R"("K_Nr" = ? AND "K_Nr" = ? AND "K_Nr" = ?)",
     {1LL, 2LL, 3LL},
     "K_Nr=1 AND K_Nr=2 AND K_Nr=3"},
};

INSTANTIATE_TEST_SUITE_P(Literals, FilterSqlTest, ::testing::ValuesIn(kSqlCases));
INSTANTIATE_TEST_SUITE_P(Structure, FilterSqlTest, ::testing::ValuesIn(kStructureCases));

TEST(FilterExprTest, EmptyTextIsTheEmptyFilter) {
    for (const QString& text : {QString(), QStringLiteral("   ")}) {
        const FilterExpr filter = FilterExpr::parse(text);
        EXPECT_TRUE(filter.isEmpty());
        const auto bound = filter.bind(sqltext::fieldsOf(customerTable()), Qt::CaseSensitive);
        EXPECT_TRUE(bound.sql().sql.isEmpty());
        EXPECT_TRUE(bound.matches([](const QString&) { return QVariant(); }));
    }
}

// ---- malformed text

struct ErrorCase {
    const char* filter;
    const char* message;
};

const ErrorCase kSyntaxErrors[] = {
    {"K_Nr=", "Fehler im Filterausdruck bei Position 6: Unerwartetes Ende des Ausdrucks."},
    {"(K_Nr=1", "Fehler im Filterausdruck bei Position 8: ')' erwartet."},
    {"K_Nr=1)", "Fehler im Filterausdruck bei Position 7: Überzählige ')'."},
    {"K_Nr 1", "Fehler im Filterausdruck bei Position 6: Vergleichsoperator erwartet."},
    {"K_Match='abc", "Fehler im Filterausdruck bei Position 9: Zeichenkette nicht abgeschlossen."},
    {"K_Nr=1 K_Nr=2", "Fehler im Filterausdruck bei Position 8: AND oder OR erwartet."},
    {"K_Nr=#", "Fehler im Filterausdruck bei Position 6: Unerwartetes Zeichen '#'."},
    {"1=1", "Fehler im Filterausdruck bei Position 1: Ein Vergleich braucht einen Feldnamen."},
    {"AND K_Nr=1", "Fehler im Filterausdruck bei Position 1: Feldname oder Wert erwartet."},
    {"K_Nr=1 AND", "Fehler im Filterausdruck bei Position 11: Unerwartetes Ende des Ausdrucks."},
    {"K_Nr=12ab", "Fehler im Filterausdruck bei Position 6: Ungültige Zahl."},
    {"K_Nr=(1)", "Fehler im Filterausdruck bei Position 6: Feldname oder Wert erwartet."},
    {"K_Nr==1", "Fehler im Filterausdruck bei Position 6: Feldname oder Wert erwartet."},
};

TEST(FilterExprTest, MalformedTextSaysWhatAndWhere) {
    for (const ErrorCase& c : kSyntaxErrors) {
        EXPECT_EQ(messageOf([&] { FilterExpr::parse(QString::fromUtf8(c.filter)); }),
                  QString::fromUtf8(c.message))
            << c.filter;
    }
}

const ErrorCase kBindErrors[] = {
    {"K_Unbekannt=1", "Position 1: Unbekanntes Feld \"K_Unbekannt\"."},
    {"K_Nr=1 AND K_Datum='31.02.2024'",
     "Position 12: '31.02.2024' ist kein gültiges Datum (TT.MM.JJJJ) für das Feld K_Datum."},
    {"K_Datum=2024", "Position 1: Der Wert '2024' passt nicht zum Feld K_Datum."},
    {"(K_Nr='abc')", "Position 2: Der Wert 'abc' passt nicht zum Feld K_Nr."},
    {"K_Aktiv='ja'", "Position 1: Der Wert 'ja' passt nicht zum Feld K_Aktiv."},
    {"K_Aktiv=2", "Position 1: Der Wert '2' passt nicht zum Feld K_Aktiv."},
    {"K_Bild=1", "Position 1: Das Feld K_Bild kann nicht gefiltert werden."},
    {"K_Nr=K_Match", "Position 1: Die Felder K_Nr und K_Match können nicht verglichen werden."},
    {"K_Nr>NULL", "Position 1: NULL kann nur mit = oder <> verglichen werden (Feld K_Nr)."},
    {"K_Nr=99999999999999999999",
     "Position 1: Die Zahl 99999999999999999999 ist zu groß für das Feld K_Nr."},
    {"NOT K_Zeit='25:00'",
     "Position 5: '25:00' ist keine gültige Uhrzeit (HH:MM:SS) für das Feld K_Zeit."},
    {"1 < K_Unbekannt", "Position 1: Unbekanntes Feld \"K_Unbekannt\"."},
};

TEST(FilterExprTest, LiteralsThatDoNotFitTheirFieldAreRefused) {
    for (const ErrorCase& c : kBindErrors) {
        EXPECT_EQ(messageOf([&] {
                      FilterExpr::parse(QString::fromUtf8(c.filter))
                          .bind(sqltext::fieldsOf(customerTable()), Qt::CaseSensitive);
                  }),
                  QStringLiteral("Fehler im Filterausdruck bei ") + QString::fromUtf8(c.message))
            << c.filter;
    }
}

TEST(FilterExprTest, DeepNestingIsRefusedAndLongChainsWork) {
    const QString deep = QString(200, u'(') + QStringLiteral("K_Nr=1") + QString(200, u')');
    EXPECT_TRUE(messageOf([&] {
                    FilterExpr::parse(deep);
                }).endsWith(QStringLiteral("zu tief verschachtelt.")));
    const QString deepNot = QStringLiteral("NOT ").repeated(200) + QStringLiteral("K_Nr=1");
    EXPECT_TRUE(messageOf([&] {
                    FilterExpr::parse(deepNot);
                }).endsWith(QStringLiteral("zu tief verschachtelt.")));

    QStringList parts;
    for (int i = 0; i < 5000; ++i)
        parts << QStringLiteral("K_Nr<>%1").arg(i);
    const auto bound = FilterExpr::parse(parts.join(QStringLiteral(" AND ")))
                           .bind(sqltext::fieldsOf(customerTable()), Qt::CaseSensitive);
    EXPECT_EQ(bound.sql().params.size(), 5000);
    EXPECT_TRUE(bound.matches([](const QString&) { return QVariant(7000); }));
    EXPECT_FALSE(bound.matches([](const QString&) { return QVariant(4999); }));
}

// Random token soup: the parser either accepts the text or raises DbError, and
// whatever it accepts reads back to a text that parses to the same form.
TEST(FilterExprTest, ArbitraryInputNeverCrashes) {
    static const char* const pieces[] = {"K_Nr",  "k_match", "K_Datum", "K_Aktiv", "=",
                                         "<>",    "<",       ">=",      "(",       ")",
                                         "AND",   "OR",      "NOT",     "'a''b'",  "'x*'",
                                         "\"q\"", "12",      "1.5",     "-",       "01.02.2024",
                                         "true",  "NULL",    "''",      "'",       "\"",
                                         "#",     "ä",       " ",       "\t",      "31.02.2024",
                                         "."};
    QRandomGenerator random(20240301);
    const auto lookup = sqltext::fieldsOf(customerTable());
    int accepted = 0;
    for (int round = 0; round < 20000; ++round) {
        QString text;
        const int count = int(random.bounded(1, 12));
        for (int i = 0; i < count; ++i)
            text += QString::fromUtf8(pieces[random.bounded(int(std::size(pieces)))]) +
                    (random.bounded(2) ? u" " : u"");
        try {
            const FilterExpr filter = FilterExpr::parse(text);
            ++accepted;
            ASSERT_EQ(FilterExpr::parse(filter.text()).text(), filter.text()) << text.toStdString();
            const auto bound = filter.bind(lookup, Qt::CaseInsensitive);
            bound.matches([](const QString&) { return QVariant(); });
        } catch (const DbError& error) {
            ASSERT_FALSE(error.message().isEmpty());
        }
    }
    EXPECT_GT(accepted, 100);
}

// ---- semantics: SQLite and the in-memory check agree, and pick the right rows

struct Row {
    int id;
    QVariant nr, match, name1, aktiv, datum, betrag, zeit, ort;
};

const QList<Row>& rows() {
    static const QList<Row> list = {
        {1, 1, QStringLiteral("Müller"), QStringLiteral("Müller"), true, QDate(2024, 3, 1), 10.5,
         QTime(8, 30), QStringLiteral("Stuttgart")},
        {2, 2, QStringLiteral("müller"), QStringLiteral("MÜLLER"), false, QDate(2024, 3, 31), 0.0,
         QTime(12, 0), QStringLiteral("stuttgart-Ost")},
        {3, 3, QStringLiteral("Maier"), QStringLiteral("Meier"), QVariant(), QVariant(), QVariant(),
         QVariant(), QStringLiteral("")},
        {4, 10, QStringLiteral("Zoe's"), QVariant(), true, QDate(1899, 12, 30), -3.0, QVariant(),
         QVariant()},
        {5, 20, QStringLiteral("Ärger"), QStringLiteral("Berger"), false, QDate(2023, 12, 31),
         100.0, QTime(23, 59, 59), QStringLiteral("Ulm")},
    };
    return list;
}

QVariant valueOf(const Row& row, const QString& field) {
    const QMap<QString, QVariant> values = {
        {QStringLiteral("K_ID"), row.id},         {QStringLiteral("K_Nr"), row.nr},
        {QStringLiteral("K_Match"), row.match},   {QStringLiteral("K_Name1"), row.name1},
        {QStringLiteral("K_Aktiv"), row.aktiv},   {QStringLiteral("K_Datum"), row.datum},
        {QStringLiteral("K_Betrag"), row.betrag}, {QStringLiteral("K_Zeit"), row.zeit},
        {QStringLiteral("K_Ort"), row.ort}};
    return values.value(field);
}

QString sqlValue(const QVariant& v) {
    if (!v.isValid())
        return QStringLiteral("NULL");
    switch (v.metaType().id()) {
    case QMetaType::Bool:
        return v.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    case QMetaType::QDate:
        return u'\'' + v.toDate().toString(QStringLiteral("yyyy-MM-dd")) + u'\'';
    case QMetaType::QTime:
        return u'\'' + v.toTime().toString(QStringLiteral("HH:mm:ss.zzz")) + u'\'';
    case QMetaType::QString:
        return u'\'' + v.toString().replace(u'\'', QStringLiteral("''")) + u'\'';
    default:
        return v.toString();
    }
}

class FilterSemanticsTest : public ::testing::Test {
protected:
    void SetUp() override {
        db.exec(QStringLiteral(
            "CREATE TABLE Kunden (K_ID INTEGER PRIMARY KEY, K_Nr INTEGER, K_Match TEXT, K_Name1 "
            "TEXT,"
            " K_Aktiv INTEGER, K_Datum TEXT, K_Betrag REAL, K_Zeit TEXT, K_Ort TEXT, K_Notiz TEXT,"
            " K_Bild BLOB)"));
        for (const Row& r : rows()) {
            db.exec(QStringLiteral("INSERT INTO Kunden (K_ID, K_Nr, K_Match, K_Name1, K_Aktiv, "
                                   "K_Datum, K_Betrag, K_Zeit,"
                                   " K_Ort) VALUES (%1, %2, %3, %4, %5, %6, %7, %8, %9)")
                        .arg(r.id)
                        .arg(sqlValue(r.nr), sqlValue(r.match), sqlValue(r.name1),
                             sqlValue(r.aktiv), sqlValue(r.datum), sqlValue(r.betrag),
                             sqlValue(r.zeit), sqlValue(r.ort)));
        }
    }
    SqliteTestDb db;
};

struct SemanticsCase {
    const char* filter;
    QList<int> caseSensitive;   // ids passing with a case-sensitive filter
    QList<int> caseInsensitive; // ids passing with a case-insensitive filter
};

const SemanticsCase kSemantics[] = {
    {"K_Nr=10", {4}, {4}},
    {"k_nr >= 2 AND K_NR<=10", {2, 3, 4}, {2, 3, 4}},
    {"5<K_Nr", {4, 5}, {4, 5}},
    {"K_Aktiv='true'", {1, 4}, {1, 4}},
    {"K_Aktiv=FALSE", {2, 5}, {2, 5}},
    {"NOT K_Aktiv='True'", {2, 5}, {2, 5}}, // a blank flag passes neither
    {"K_Aktiv=NULL", {3}, {3}},
    {"K_Aktiv<>NULL", {1, 2, 4, 5}, {1, 2, 4, 5}},
    {"K_Datum>=01.03.2024 AND K_Datum<='31.03.2024'", {1, 2}, {1, 2}},
    {"K_Datum=30.12.1899", {4}, {4}},
    {"K_Datum<'1.1.2024'", {4, 5}, {4, 5}},
    {"K_Match='Müller'", {1}, {1, 2}},
    {"K_Match>='M' AND K_Match<'N'", {1, 3}, {1, 2, 3}},
    {"K_Match<'B'", {}, {5}}, // German order: Ä sorts with A
    {"K_Ort='stutt*'", {2}, {1, 2}},
    {"K_Ort<>'Stutt*'", {2, 3, 5}, {3, 5}},
    {"K_Ort=''", {3, 4}, {3, 4}},
    {"K_Ort<>''", {1, 2, 5}, {1, 2, 5}},
    {"K_Match='Zoe''s'", {4}, {4}},
    {"K_Match=\"Zoe's\"", {4}, {4}},
    {"(K_Nr=1) OR (K_Nr=3)", {1, 3}, {1, 3}},
    {"NOT (K_Nr=1 OR K_Nr=2)", {3, 4, 5}, {3, 4, 5}},
    {"K_Betrag>0", {1, 5}, {1, 5}},
    {"K_Betrag<-1", {4}, {4}},
    {"K_Betrag=10.5", {1}, {1}},
    {"K_Betrag=100", {5}, {5}},
    {"K_Zeit='08:30'", {1}, {1}},
    {"K_Zeit>'12:00:00'", {5}, {5}},
    {"K_Match=K_Name1", {1}, {1, 2}},
    {"NOT K_Match=K_Name1", {2, 3, 5}, {3, 5}}, // row 4 has no name: unknown
    {"K_Aktiv=1 OR K_Datum=NULL", {1, 3, 4}, {1, 3, 4}},
    {"NOT (K_Aktiv=1 AND K_Nr>100)",
     {1, 2, 3, 4, 5},
     {1, 2, 3, 4, 5}}, // false AND unknown is false
};

TEST_F(FilterSemanticsTest, SqlAndInMemoryCheckSelectTheSameRows) {
    const auto lookup = sqltext::fieldsOf(customerTable());
    for (const SemanticsCase& c : kSemantics) {
        for (const Qt::CaseSensitivity cs : {Qt::CaseSensitive, Qt::CaseInsensitive}) {
            SCOPED_TRACE(std::string(c.filter) +
                         (cs == Qt::CaseSensitive ? " (case-sensitive)" : " (case-insensitive)"));
            const auto bound = FilterExpr::parse(QString::fromUtf8(c.filter)).bind(lookup, cs);
            const sqltext::SqlText where = bound.sql();
            QList<int> fromSql;
            for (const QVariantList& row :
                 db.query(QStringLiteral("SELECT K_ID FROM Kunden WHERE ") + where.sql +
                              QStringLiteral(" ORDER BY K_ID"),
                          where.params))
                fromSql << row.first().toInt();
            QList<int> inMemory;
            for (const Row& row : rows()) {
                if (bound.matches([&](const QString& field) { return valueOf(row, field); }))
                    inMemory << row.id;
            }
            const QList<int>& expected =
                cs == Qt::CaseSensitive ? c.caseSensitive : c.caseInsensitive;
            EXPECT_EQ(fromSql, expected);
            EXPECT_EQ(inMemory, expected);
        }
    }
}

TEST_F(FilterSemanticsTest, StoredValuesAreAcceptedByTheInMemoryCheck) {
    // The layer may hand over values as read from the database rather than as Qt types.
    const auto bound =
        FilterExpr::parse(QStringLiteral("K_Datum=01.03.2024 AND K_Aktiv='true' AND K_Nr=1"))
            .bind(sqltext::fieldsOf(customerTable()), Qt::CaseSensitive);
    const QVariantMap stored = {{QStringLiteral("K_Datum"), QStringLiteral("2024-03-01")},
                                {QStringLiteral("K_Aktiv"), 1LL},
                                {QStringLiteral("K_Nr"), QStringLiteral("1")}};
    EXPECT_TRUE(bound.matches([&](const QString& field) { return stored.value(field); }));
}

} // namespace
