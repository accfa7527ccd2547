#include "core/regionalguard.h"
#include "datasafety/interchange/importformat.h"

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using table::FieldType;

namespace {

TEST(ImportDefinitionReader, ItemLinesTakeTargetAndSourceAsWritten) {
    const struct {
        const char16_t* line;
        const char16_t* target; // nullptr: no item
        const char16_t* source;
    } cases[] = {
        {u"1:K_Nr=Kundennummer>Schlüssel", u"K_Nr", u"Kundennummer"},
        {u"1234:K_Nr=Kundennummer", u"K_Nr", u"Kundennummer"},    // no ">": to the end
        {u"1: K_Nr=Kundennummer >x", u" K_Nr", u"Kundennummer "}, // not trimmed
        {u"7:K_Name1=&&X>", u"K_Name1", u"&&X"},
        {u"12345:K_Nr=Kundennummer>", nullptr, nullptr}, // five characters before ":"
        {u":K_Nr=Kundennummer>", nullptr, nullptr},      // none before ":"
        {u"1:K_Nr>Kundennummer", nullptr, nullptr},      // no "="
        {u"Kommentar ohne Gleichheitszeichen", nullptr, nullptr},
    };
    for (const auto& c : cases) {
        const QString line = QString::fromUtf16(c.line);
        const ImportDefinitionText def = ParseImportDefinition({line});
        if (!c.target) {
            EXPECT_TRUE(def.items.isEmpty()) << line.toStdString();
            continue;
        }
        ASSERT_EQ(def.items.size(), 1) << line.toStdString();
        EXPECT_EQ(def.items.first().target, QString::fromUtf16(c.target)) << line.toStdString();
        EXPECT_EQ(def.items.first().source, QString::fromUtf16(c.source)) << line.toStdString();
    }
}

TEST(ImportDefinitionReader, KeysSetDelimiterSeparatorAndDataFile) {
    const ImportDefinitionText defaults = ParseImportDefinition({});
    EXPECT_EQ(defaults.delimiter, QChar(u'"'));
    EXPECT_EQ(defaults.separator, QChar(u';'));
    EXPECT_TRUE(defaults.dataFile.isEmpty());

    const ImportDefinitionText def = ParseImportDefinition(
        {u"delim='"_s, u"SEPAR=#9"_s, u"SFILE=C:\\Daten\\kunden neu.asc "_s, u"OTHER=1"_s});
    EXPECT_EQ(def.delimiter, QChar(u'\''));
    EXPECT_EQ(def.separator, QChar(u'\t'));
    EXPECT_EQ(def.dataFile, u"C:\\Daten\\kunden neu.asc "_s); // taken as written

    const ImportDefinitionText none =
        ParseImportDefinition({u"DELIM="_s, u"SEPAR=|;"_s, u"SEPAR="_s, u"SFILE="_s});
    EXPECT_FALSE(none.delimiter.has_value());
    EXPECT_EQ(none.separator, QChar(u'|')); // an empty value changes nothing
    EXPECT_TRUE(none.dataFile.isEmpty());
}

TEST(ImportSplitter, SeparatorsInsideDelimitersBelongToTheValue) {
    const std::optional<QChar> quote = QChar(u'"');
    const struct {
        const char16_t* line;
        QChar separator;
        std::optional<QChar> delimiter;
        QStringList values;
    } cases[] = {
        {u"a;b;c", u';', quote, {u"a"_s, u"b"_s, u"c"_s}},
        {u"a;b;", u';', quote, {u"a"_s, u"b"_s}},
        {u"\"Schulz; Hausverwaltung\";2", u';', quote, {u"Schulz; Hausverwaltung"_s, u"2"_s}},
        {u"\"Er sagte \"\"ja\"\"\";x", u';', quote, {u"Er sagte \"\"ja\"\""_s, u"x"_s}},
        {u"a;;c", u';', quote, {u"a"_s, QString(), u"c"_s}},
        {u"", u';', quote, {QString()}},
        {u"a;\"offen;b", u';', quote, {u"a"_s}}, // an open quote drops the rest
        {u"\"a;b\";c", u';', std::nullopt, {u"\"a"_s, u"b\""_s, u"c"_s}},
        {u"1\tMeier GmbH\t10115", u'\t', quote, {u"1"_s, u"Meier GmbH"_s, u"10115"_s}},
    };
    for (const auto& c : cases) {
        const QString line = QString::fromUtf16(c.line);
        EXPECT_EQ(SplitDelimitedLine(line, c.separator, c.delimiter), c.values)
            << line.toStdString();
    }
}

QVariant setValue(FieldType type, const QString& text) {
    const ImportValue value = ConvertImportText(type, text);
    return value.kind == ImportValue::Set ? value.value : QVariant();
}

TEST(ImportConversion, NumbersFollowTheGermanSettings) {
    RegionalGuard german;
    const struct {
        const char16_t* text;
        double value;
    } floats[] = {
        {u"1.234,50", 1234.5}, {u"1234,50", 1234.5}, {u"1234.50", 123450.0},
        {u" 12 ", 12.0},       {u"-0,5", -0.5},      {u"abc", 0.0},
    };
    for (const auto& c : floats) {
        const QString text = QString::fromUtf16(c.text);
        EXPECT_DOUBLE_EQ(setValue(FieldType::Float, text).toDouble(), c.value)
            << text.toStdString();
        EXPECT_DOUBLE_EQ(setValue(FieldType::Currency, text).toDouble(), c.value);
    }
    const struct {
        FieldType type;
        const char16_t* text;
        int value;
    } whole[] = {
        {FieldType::Integer, u"42", 42},
        {FieldType::Integer, u"1.234", 1234},
        {FieldType::Integer, u"2,5", 3},
        {FieldType::Smallint, u"-5", -5},
        {FieldType::Smallint, u"32767", 32767},
        {FieldType::Smallint, u"x", 0},
        {FieldType::Integer, u"-2147483648", std::numeric_limits<qint32>::min()},
    };
    for (const auto& c : whole) {
        const QString text = QString::fromUtf16(c.text);
        EXPECT_EQ(setValue(c.type, text).toInt(), c.value) << text.toStdString();
    }
}

TEST(ImportConversion, OutOfRangeNumbersAreRefusedNotCut) {
    RegionalGuard german;
    const struct {
        FieldType type;
        const char16_t* text;
    } refused[] = {
        {FieldType::Smallint, u"70000"},      {FieldType::Smallint, u"-32769"},
        {FieldType::Smallint, u"32768"},      {FieldType::Integer, u"3000000000"},
        {FieldType::Integer, u"-2147483649"},
    };
    for (const auto& c : refused) {
        const ImportValue value = ConvertImportText(c.type, QString::fromUtf16(c.text));
        EXPECT_EQ(value.kind, ImportValue::Refused) << QString::fromUtf16(c.text).toStdString();
    }
}

TEST(ImportConversion, BooleansAreFalseOnlyForZeroFAndN) {
    for (const QString& text : {u"J"_s, u"Y"_s, u"T"_s, u"1"_s, u"x"_s, u"ja"_s})
        EXPECT_EQ(setValue(FieldType::Boolean, text), QVariant(true)) << text.toStdString();
    for (const QString& text : {u"N"_s, u"n"_s, u"F"_s, u"0"_s, u"falsch"_s})
        EXPECT_EQ(setValue(FieldType::Boolean, text), QVariant(false)) << text.toStdString();
    EXPECT_EQ(ConvertImportText(FieldType::Boolean, QString()).kind, ImportValue::Skip);
}

TEST(ImportConversion, DatesWithAndWithoutSeparators) {
    RegionalGuard german;
    const struct {
        const char16_t* text;
        QDate date; // invalid: the field keeps its value
    } cases[] = {
        {u"311201", QDate(2001, 12, 31)},
        {u"31.12.01", QDate(2001, 12, 31)},
        {u"31.12.2001 10:30", QDate(2001, 12, 31)},
        {u"31.12.1998", QDate(1998, 12, 31)},
        {u"01.03.45", QDate(1945, 3, 1)},
        {u"01.03.29", QDate(2029, 3, 1)},
        {u"01.03.1500", QDate(1899, 3, 1)},
        {u"3112", QDate(2000, 12, 31)}, // no year
        {u"31.02.2001", QDate()},
        {u"310201", QDate()},
        {u"Montag", QDate()},
    };
    for (const auto& c : cases) {
        const QString text = QString::fromUtf16(c.text);
        const ImportValue value = ConvertImportText(FieldType::Date, text);
        if (!c.date.isValid()) {
            EXPECT_EQ(value.kind, ImportValue::Skip) << text.toStdString();
            continue;
        }
        ASSERT_EQ(value.kind, ImportValue::Set) << text.toStdString();
        EXPECT_EQ(value.value.toDate(), c.date) << text.toStdString();
    }
}

TEST(ImportConversion, TimesDateTimesMemosAndOtherTypes) {
    RegionalGuard german;
    EXPECT_EQ(setValue(FieldType::Time, u"10:30"_s).toTime(), QTime(10, 30));
    EXPECT_EQ(setValue(FieldType::Time, u"31.12.2001 10:30:15"_s).toTime(), QTime(10, 30, 15));
    EXPECT_EQ(ConvertImportText(FieldType::Time, u"00:00:00"_s).kind, ImportValue::Skip);
    EXPECT_EQ(ConvertImportText(FieldType::Time, u"halb elf"_s).kind, ImportValue::Skip);
    EXPECT_EQ(setValue(FieldType::DateTime, u"31.12.2001 10:30:15"_s).toDateTime(),
              QDateTime(QDate(2001, 12, 31), QTime(10, 30, 15)));
    EXPECT_EQ(setValue(FieldType::DateTime, u"31.12.2001"_s).toDateTime(),
              QDateTime(QDate(2001, 12, 31), QTime(0, 0)));
    EXPECT_EQ(ConvertImportText(FieldType::DateTime, u"gestern"_s).kind, ImportValue::Skip);
    EXPECT_EQ(setValue(FieldType::FmtMemo, u"Zeile 1***Zeile 2"_s).toString(),
              u"Zeile 1\nZeile 2"_s);
    EXPECT_EQ(setValue(FieldType::Memo, u"a***b"_s).toString(), u"a***b"_s);
    EXPECT_EQ(setValue(FieldType::String, u" Text "_s).toString(), u" Text "_s);
    EXPECT_EQ(ConvertImportText(FieldType::Graphic, u"x"_s).kind, ImportValue::Skip);
    EXPECT_EQ(ConvertImportText(FieldType::AutoInc, u"5"_s).kind, ImportValue::Skip);
}

} // namespace
