// The filter parser and the SQL translator under libFuzzer. Built by hand with
// clang, apart from the program and from CI:
//   mkdir -p /tmp/fuzz-sqltext && cd /tmp/fuzz-sqltext
//   clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fPIC -I/work/main/src \
//       /work/main/fuzz/fuzz_sqltext.cpp /work/main/src/platform/sql/*.cpp \
//       $(pkg-config --cflags --libs Qt6Core) -o fuzz_sqltext
//   ./fuzz_sqltext -max_total_time=300 corpus
// The first input byte chooses the parser; the rest is the text (UTF-8).
// Besides crashes it checks that an accepted filter reads back to itself and that
// translated SQL has one parameter per placeholder and no comment marker.
#include "platform/errors.h"
#include "platform/sql/filterexpr.h"
#include "platform/sql/sqltranslator.h"

#include <cstdint>
#include <cstdlib>

namespace {

table::TableDef fuzzTable() {
    using table::FieldType;
    table::TableDef def;
    def.name = QStringLiteral("Kunden.DB");
    def.fields = {{QStringLiteral("K_ID"), FieldType::AutoInc},
                  {QStringLiteral("K_Nr"), FieldType::Integer},
                  {QStringLiteral("K_Match"), FieldType::String},
                  {QStringLiteral("K_Aktiv"), FieldType::Boolean},
                  {QStringLiteral("K_Datum"), FieldType::Date},
                  {QStringLiteral("K_Betrag"), FieldType::Currency},
                  {QStringLiteral("K_Zeit"), FieldType::Time},
                  {QStringLiteral("K_Stamp"), FieldType::DateTime},
                  {QStringLiteral("K_Bild"), FieldType::Graphic}};
    return def;
}

void fuzzFilter(const QString& text) {
    static const table::TableDef def = fuzzTable();
    try {
        const auto filter = sqltext::FilterExpr::parse(text);
        if (sqltext::FilterExpr::parse(filter.text()).text() != filter.text())
            std::abort();
        for (const auto cs : {Qt::CaseSensitive, Qt::CaseInsensitive}) {
            const auto bound = filter.bind(sqltext::fieldsOf(def), cs);
            const auto sql = bound.sql();
            if (sql.sql.count(u'?') != sql.params.size())
                std::abort();
            bound.matches([](const QString& field) {
                return field == u"K_Match" ? QVariant(QStringLiteral("Äb"))
                                           : QVariant(qlonglong(field.size()));
            });
        }
    } catch (const DbError&) {
    }
}

void fuzzSql(const QString& text) {
    static const table::TableDef def = fuzzTable();
    try {
        const auto st =
            sqltext::translateSql(text, [](const QString& name) -> std::optional<table::TableDef> {
                if (name.compare(u"Kunden", Qt::CaseInsensitive) == 0)
                    return def;
                return std::nullopt;
            });
        if (st.sql.count(u'?') != st.params.size() || st.sql.contains(QStringLiteral("--")) ||
            st.sql.contains(QStringLiteral("/*")))
            std::abort();
    } catch (const DbError&) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    if (data[0] & 1)
        fuzzSql(text);
    else
        fuzzFilter(text);
    return 0;
}
