#include "platform/errors.h"
#include "platform/report/displaymask.h"
#include "platform/report/expression.h"

#include <QDateTime>
#include <gtest/gtest.h>

using report::displayText;
using report::formatDateTime;
using report::formatFloat;
using table::FieldType;

TEST(DisplayMask, NumberMasksAsUsersTypeThem) {
    struct Case {
        double value;
        const char* mask;
        const char* expected;
    };
    const Case cases[] = {
        {1234.5, "####0.00", "1234,50"},
        {1234.5, "#,##0.00", "1.234,50"},
        {1234567.891, "#,##0.00", "1.234.567,89"},
        {-1234567.891, "#,##0.00", "-1.234.567,89"},
        {19, "##0.00 %", "19,00 %"},
        {-5, "##0.00 %", "-5,00 %"},
        {7.5, "###0.00 Std", "7,50 Std"},
        {1234.5, "#,##0.00 €", "1.234,50 €"},
        {0.5, "#.##", ",5"},
        {0, "#.##", ""},
        {0, "0.00", "0,00"},
        {1.005, "0.00", "1,01"},
        {2.675, "0.00", "2,68"},
        {-0.001, "0.00", "0,00"},
        {0.125, "0.0#", "0,13"},
        {1.1, "0.0#", "1,1"},
        {12, "0000", "0012"},
        {1234, "00", "1234"},
        {9.999, "0.00", "10,00"},
        {-3, "0.00;(0.00)", "(3,00)"},
        {0, "0.00;-0.00;'null'", "null"},
        {5, "0.00;-0.00;'null'", "5,00"},
        {5, "'Nr. '0", "Nr. 5"},
        {1e15, "#,##0", "1.000.000.000.000.000"},
        {1234.5, "", "1234,5"},
        {0.1 + 0.2, "", "0,3"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(formatFloat(c.value, QString::fromUtf8(c.mask)), QString::fromUtf8(c.expected))
            << c.value << " " << c.mask;
}

TEST(DisplayMask, DateMasks) {
    const QDateTime t(QDate(2024, 3, 5), QTime(19, 4, 9));
    struct Case {
        const char* mask;
        const char* expected;
    };
    const Case cases[] = {
        {"dd.mm.yyyy", "05.03.2024"},
        {"d.m.yy", "5.3.24"},
        {"dd.mmmm.yyyy", "05.März.2024"},
        {"dd. mmm yyyy", "05. Mrz 2024"},
        {"hh:nn", "19:04"},
        {"hh:mm", "19:04"},
        {"dd.mm.yyyy hh:nn", "05.03.2024 19:04"},
        {"dddd, d. mmmm yyyy", "Dienstag, 5. März 2024"},
        {"h:nn am/pm", "7:04 pm"},
        {"dd/mm/yyyy", "05.03.2024"},
        {"'Stand' dd.mm.", "Stand 05.03."},
        {"hh:nn:ss", "19:04:09"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(formatDateTime(t, QString::fromUtf8(c.mask)), QString::fromUtf8(c.expected))
            << c.mask;
}

TEST(DisplayMask, FieldValuesByType) {
    struct Case {
        QVariant value;
        FieldType type;
        const char* mask;
        const char* expected;
    };
    const Case cases[] = {
        {QVariant(), FieldType::String, "", ""},
        {QVariant(), FieldType::Currency, "", ""},
        {QVariant(), FieldType::Date, "dd.mm.yyyy", ""},
        {QVariant(), FieldType::Boolean, "Ja;Nein", ""},
        {true, FieldType::Boolean, "Ja;Nein", "Ja"},
        {false, FieldType::Boolean, "Ja;Nein", "Nein"},
        {false, FieldType::Boolean, "", "Nein"},
        {true, FieldType::Boolean, "X;", "X"},
        {1234.5, FieldType::Currency, "", "1.234,50"},
        {1234.5, FieldType::Currency, "0.0", "1234,5"},
        {42, FieldType::Integer, "", "42"},
        {42, FieldType::Integer, "0000", "0042"},
        {2.5, FieldType::Float, "", "2,5"},
        {QDate(2024, 12, 24), FieldType::Date, "", "24.12.2024"},
        {QTime(8, 5), FieldType::Time, "", "08:05"},
        {QDateTime(QDate(2024, 1, 2), QTime(3, 4)), FieldType::DateTime, "", "02.01.2024 03:04"},
        {QStringLiteral("Müller"), FieldType::String, "", "Müller"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(displayText(c.value, c.type, QString::fromUtf8(c.mask)),
                  QString::fromUtf8(c.expected))
            << c.value.toString().toStdString() << " " << c.mask;
}

// The printing layer installs the regional money text; printed amounts then read back with it.
TEST(DisplayMask, InstalledMoneyFormatter) {
    report::ValueFormatter f = report::ValueFormatter::plain();
    f.money = [](double v) -> QString {
        return QString::number(v, 'f', 2).replace(u'.', u',') + QStringLiteral(" €");
    };
    report::setValueFormatter(f);
    EXPECT_EQ(displayText(12.5, FieldType::Currency, QString()), QStringLiteral("12,50 €"));
    EXPECT_EQ(displayText(12.5, FieldType::Float, QString()), QStringLiteral("12,5"));
    report::resetValueFormatter();
    EXPECT_EQ(displayText(12.5, FieldType::Currency, QString()), QStringLiteral("12,50"));
}

namespace {

struct Env : report::ExprEnvironment {
    QVariantList fields;
    QVariant fieldValue(int id) const override { return fields.value(id); }
    int pageNumber() const override { return 3; }
    int pageCount() const override { return 7; }
};

report::Expression compile(const QString& text, QStringList* seen = nullptr) {
    report::Expression e = report::Expression::parse(text);
    e.bind([seen](const QString& dataset, const QString& field) {
        if (seen)
            seen->append(dataset + u'.' + field);
        if (field.compare(u"Betrag", Qt::CaseInsensitive) == 0)
            return 0;
        if (field == u"Name")
            return 1;
        throw DbError(QStringLiteral("Das Feld \"%1\" gibt es im Bericht nicht.").arg(field));
    });
    return e;
}

} // namespace

TEST(Expressions, Evaluate) {
    Env env;
    env.fields = {2.5, QStringLiteral("Meier")};
    struct Case {
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {"1 + 2 * 3", "7"},
        {"(1 + 2) * 3", "9"},
        {"'a' + 'b'", "ab"},
        {"'Nr ' + 5", "Nr 5"},
        {"10 / 4", "2,5"},
        {"10 / 0", "0"},
        {"DIV(10, 3)", "3"},
        {"INT(-2.5)", "-2"},
        {"FRAC(2.25)", "0,25"},
        {"IF(2 > 1, 'ja', 'nein')", "ja"},
        {"NOT (1 = 1) OR 2 <> 3", "Ja"},
        {"1 >= 2 AND TRUE", "Nein"},
        {"UPPER('abc') + lower('DEF')", "ABCdef"},
        {"COPY('Domvera', 2, 3)", "omv"},
        {"COPY('Domvera', 20, 3)", ""},
        {"'It''s'", "It's"},
        {"FORMATNUMERIC('#,##0.00', 1234.5)", "1.234,50"},
        {"STR(1.5)", "1,5"},
        {"SQRT(16)", "4"},
        {"-(3) + +1", "-2"},
        {"'b' > 'a'", "Ja"},
        {"PAGENUMBER + 1", "4"},
        {"'Seite ' + STR(PAGENUMBER) + ' von ' + STR(PAGECOUNT)", "Seite 3 von 7"},
        {"Betrag * 2", "5"},
        {"T.Name + '!'", "Meier!"},
        {"IF(Betrag > 2, Name, '')", "Meier"},
        {"", ""},
    };
    for (const Case& c : cases) {
        const report::Expression e = compile(QString::fromUtf8(c.text));
        EXPECT_EQ(report::valueText(e.evaluate(env)), QString::fromUtf8(c.expected)) << c.text;
    }
    QStringList seen;
    EXPECT_TRUE(compile(QStringLiteral("STR(PAGECOUNT)"), &seen).usesPageCount());
    EXPECT_FALSE(compile(QStringLiteral("PAGENUMBER"), &seen).usesPageCount());
    compile(QStringLiteral("T.Name + Betrag"), &seen);
    EXPECT_EQ(seen, (QStringList{"T.Name", ".Betrag"}));
}

TEST(Expressions, AggregatesAccumulateAndReset) {
    Env env;
    report::Expression sum = compile(QStringLiteral("SUM(Betrag)"));
    report::Expression stats = compile(
        QStringLiteral("STR(COUNT) + '/' + STR(MIN(Betrag)) + '/' + STR(MAX(Betrag)) + '/' + "
                       "STR(AVERAGE(Betrag))"));
    EXPECT_TRUE(sum.hasAggregates());
    for (const double v : {2.0, 7.0, 3.0}) {
        env.fields = {v};
        sum.updateAggregates(env);
        stats.updateAggregates(env);
    }
    EXPECT_EQ(report::valueText(sum.evaluate(env)), QStringLiteral("12"));
    EXPECT_EQ(report::valueText(stats.evaluate(env)), QStringLiteral("3/2/7/4"));
    sum.resetAggregates();
    EXPECT_EQ(report::valueText(sum.evaluate(env)), QStringLiteral("0"));
}

TEST(Expressions, SyntaxErrorsNameThePosition) {
    struct Case {
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {"1 +", "Fehler im Ausdruck \"1 +\" bei Position 4: unerwartetes Ende"},
        {"FOO(1)", "bei Position 1: unbekannte Funktion \"FOO\""},
        {"'abc", "Text ohne schließendes Anführungszeichen"},
        {"IF(1, 2)", "falsche Anzahl von Argumenten für IF"},
        {"1 2", "bei Position 3: unerwartetes \"2\""},
        {"(1 + 2", "\")\" erwartet"},
        {"1 # 2", "unerwartetes Zeichen \"#\""},
        {"T.", "Feldname erwartet"},
    };
    for (const Case& c : cases) {
        try {
            report::Expression::parse(QString::fromUtf8(c.text));
            ADD_FAILURE() << c.text;
        } catch (const DbError& e) {
            EXPECT_TRUE(e.message().contains(QString::fromUtf8(c.message)))
                << e.message().toStdString();
        }
    }
    EXPECT_THROW(compile(QStringLiteral("Fehlt + 1")), DbError);
}
