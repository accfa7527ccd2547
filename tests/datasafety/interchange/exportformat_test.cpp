#include "core/regionalguard.h"
#include "datasafety/interchange/exportformat.h"
#include "platform/table/database.h"
#include "platform/table/table.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using table::FieldType;

namespace {

TEST(ExportDefinitionReader, ItemsNeedAParamAndAreTrimmed) {
    const struct {
        const char16_t* line;
        const char16_t* name; // nullptr: no item
        const char16_t* param;
        const char16_t* format;
    } cases[] = {
        {u"1:K_Nr=Kundennummer>", u"K_Nr", u"Kundennummer", u""},
        {u"12: K_Name1 = Name >  L30 ", u"K_Name1", u"Name", u"L30"},
        {u"9999:CONST=x>;;", u"CONST", u"x", u";;"},
        {u"1:K_Nr=Kundennummer", nullptr, nullptr, nullptr}, // no ">"
        {u"1:K_Nr=>L5", nullptr, nullptr, nullptr},          // no param
        {u"12345:K_Nr=Kundennummer>", nullptr, nullptr, nullptr},
        {u"1:K_Nr", nullptr, nullptr, nullptr},
    };
    for (const auto& c : cases) {
        const QString line = QString::fromUtf16(c.line);
        const ExportDefinitionText def = ParseExportDefinition({line});
        if (!c.name) {
            EXPECT_TRUE(def.items.isEmpty()) << line.toStdString();
            continue;
        }
        ASSERT_EQ(def.items.size(), 1) << line.toStdString();
        EXPECT_EQ(def.items.first().name, QString::fromUtf16(c.name));
        EXPECT_EQ(def.items.first().param, QString::fromUtf16(c.param));
        EXPECT_EQ(def.items.first().format, QString::fromUtf16(c.format));
    }
}

TEST(ExportDefinitionReader, KeysOfTheExport) {
    const struct {
        QStringList lines;
        std::optional<QChar> delimiter;
        QChar separator;
        bool header;
        const char16_t* output;
    } cases[] = {
        {{}, QChar(u'"'), u';', true, u""},
        {{u"SEPAR=#9"_s}, QChar(u'"'), u'#', true, u""}, // the first character only
        {{u"SEPAR=|x"_s, u"DELIM="_s}, std::nullopt, u'|', true, u""},
        {{u"NOHEADER=TRUE"_s}, QChar(u'"'), u';', false, u""},
        {{u"noheader=true"_s}, QChar(u'"'), u';', false, u""},
        {{u"NOHEADER= TRUE"_s}, QChar(u'"'), u';', true, u""},
        {{u"NOHEADER=JA"_s}, QChar(u'"'), u';', true, u""},
        {{u"NOHEADER=TRUE"_s, u"NOHEADER="_s}, QChar(u'"'), u';', false, u""},
        {{u"SFILE=  /tmp/aus.txt  "_s}, QChar(u'"'), u';', true, u"/tmp/aus.txt"},
    };
    for (const auto& c : cases) {
        const ExportDefinitionText def = ParseExportDefinition(c.lines);
        EXPECT_EQ(def.delimiter, c.delimiter) << c.lines.join(u'|').toStdString();
        EXPECT_EQ(def.separator, c.separator) << c.lines.join(u'|').toStdString();
        EXPECT_EQ(def.writeHeader, c.header) << c.lines.join(u'|').toStdString();
        EXPECT_EQ(def.outputFile, QString::fromUtf16(c.output));
    }
}

TEST(ExportFloatRule, PicturesGiveDecimalsAndGrouping) {
    RegionalGuard german;
    const struct {
        double value;
        const char16_t* picture;
        const char16_t* text;
    } cases[] = {
        {1234.5, u"0,00", u"1234.50"},        {1234.5, u"#.##0,00", u"1.234,50"},
        {1234.56, u"0000", u"1235"},          {1234.5, u"0.00", u"1234.50"},
        {-1234.5, u"#.##0,00", u"-1.234,50"}, {0.125, u"0,000", u"0.125"},
        {1234.5, u"#.###", u"1234.500"},      {1234.4, u"0,", u"1234"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatExportFloat(c.value, QString::fromUtf16(c.picture)),
                  QString::fromUtf16(c.text))
            << QString::fromUtf16(c.picture).toStdString();
}

// A scratch table with one field of each kind the export formats.
class ExportLineTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_db = table::Database::open(m_dir.path());
        table::TableDef def;
        def.name = u"Probe.DB"_s;
        def.fields = {{u"ID"_s, FieldType::Integer},    {u"Name"_s, FieldType::String, 20},
                      {u"Nr"_s, FieldType::Integer},    {u"Betrag"_s, FieldType::Currency},
                      {u"Datum"_s, FieldType::Date},    {u"Zeit"_s, FieldType::Time},
                      {u"Aktiv"_s, FieldType::Boolean}, {u"Tage"_s, FieldType::Smallint},
                      {u"Notiz"_s, FieldType::Memo},    {u"Moment"_s, FieldType::DateTime}};
        m_db->createTable(def);
        t = std::make_unique<table::Table>(m_db, u"Probe.DB"_s);
        t->open();
    }
    void add(const QList<std::pair<QString, QVariant>>& values) {
        t->append();
        t->field(u"ID"_s).setValue(++m_id);
        for (const auto& [name, value] : values)
            t->field(name).setValue(value);
        t->post();
    }
    // The lines of every record for the definition's lines.
    QStringList lines(const QStringList& definition) {
        const ExportDefinitionText def = ParseExportDefinition(definition);
        ExportLineBuilder builder(def, *t);
        QStringList result;
        for (t->first(); !t->eof(); t->next())
            result << builder.line();
        return result;
    }
    QString header(const QStringList& definition) {
        const ExportDefinitionText def = ParseExportDefinition(definition);
        return ExportLineBuilder(def, *t).header();
    }

    RegionalGuard german;
    QTemporaryDir m_dir;
    std::shared_ptr<table::Database> m_db;
    std::unique_ptr<table::Table> t;
    int m_id = 0;
};

TEST_F(ExportLineTest, MeierAndFiveWithDefaultsAndWithoutDelimiter) {
    add({{u"Name"_s, u"Meier"_s}, {u"Nr"_s, 5}});
    const QStringList items{u"1:Name=Name>"_s, u"2:Nr=Nummer>"_s};
    EXPECT_EQ(lines(items), QStringList{u"\"Meier\";\"5\""_s});
    EXPECT_EQ(lines(QStringList{u"DELIM="_s, u"SEPAR=|"_s} + items), QStringList{u"Meier|5"_s});
    // The header keeps its trailing separator.
    EXPECT_EQ(header(items), u"\"Name\";\"Nummer\";"_s);
    EXPECT_EQ(header({}), QString());
    EXPECT_EQ(lines({u"DELIM="_s}), QStringList{QString()});
}

TEST_F(ExportLineTest, DelimitersAndSeparatorsInsideValuesStayAsTheyAre) {
    add({{u"Name"_s, u"Er sagte \"ja\"; gut"_s}, {u"Nr"_s, 5}});
    EXPECT_EQ(lines({u"1:Name=Name>"_s, u"2:Nr=Nummer>"_s}),
              QStringList{u"\"Er sagte \"ja\"; gut\";\"5\""_s});
}

TEST_F(ExportLineTest, ControlConstantsAndVariables) {
    add({{u"Name"_s, u"Meier"_s}, {u"Nr"_s, 5}});
    EXPECT_EQ(lines({u"1:Name=Name>"_s, u"2:CTRL=x>&crlf"_s}), QStringList{u"\"Meier\"\r\n"_s});
    EXPECT_EQ(lines({u"1:Name=Name>"_s, u"2:CTRL=x>&CRLF"_s, u"3:Nr=Nr>"_s}),
              QStringList{u"\"Meier\"\r\n\"5\""_s});
    EXPECT_EQ(lines({u"DELIM="_s, u"1:CONST=Satzart>K"_s, u"2:VAR=name|NR|fehlt|Nr>L3|000|x|"_s}),
              QStringList{u"K;Me0055"_s});
    // Headings never contain the line break items.
    EXPECT_EQ(header({u"1:Name=Name>"_s, u"2:CTRL=&crlf>&CRLF"_s}), u"\"Name\";"_s);
}

TEST_F(ExportLineTest, ConditionsOnDatesMissingFieldsAndUnbalancedStacks) {
    add({{u"Name"_s, u"Null"_s}, {u"Nr"_s, 0}, {u"Datum"_s, QDate(2024, 3, 1)}});
    add({{u"Name"_s, u"Fünf"_s}, {u"Nr"_s, 5}});
    const QStringList base{u"DELIM="_s};
    EXPECT_EQ(lines(base + QStringList{u"1:IFVAL=Datum>"_s, u"2:Name=N>"_s, u"3:ENDIF=x>"_s,
                                       u"4:CONST=c>E"_s}),
              (QStringList{u"E"_s, u"E"_s}));
    EXPECT_EQ(lines(base + QStringList{u"1:IFNUL=Datum>"_s, u"2:Name=N>"_s, u"3:ENDIF=x>"_s}),
              (QStringList{u"Null"_s, u"Fünf"_s}));
    EXPECT_EQ(
        lines(base + QStringList{u"1:IFVAL=Fehlt>"_s, u"2:IFNUL=Nr>"_s, u"3:Name=N>"_s,
                                 u"4:ENDIF=x>"_s, u"5:Name=N>"_s, u"6:ENDIF=x>"_s, u"7:Nr=N>"_s}),
        (QStringList{u"0"_s, u"5"_s}));
    EXPECT_EQ(lines(base + QStringList{u"1:IFVAL=Nr>"_s, u"2:Name=N>"_s, u"3:ENDIF=x>"_s}),
              (QStringList{QString(), u"Fünf"_s}));
    // An IFVAL without its ENDIF stays in its own record: the second record,
    // whose number is set, is written in full.
    EXPECT_EQ(lines(base + QStringList{u"1:IFVAL=Nr>"_s, u"2:ENDIF=x>"_s, u"3:CONST=c>A"_s,
                                       u"4:ENDIF=x>"_s, u"5:IFVAL=Nr>"_s}),
              (QStringList{u"A"_s, u"A"_s}));
}

TEST_F(ExportLineTest, ValueFormatsByPicture) {
    add({{u"Name"_s, u"Meier"_s},
         {u"Nr"_s, 42},
         {u"Betrag"_s, 1234.5},
         {u"Datum"_s, QDate(2001, 12, 31)},
         {u"Zeit"_s, QTime(10, 30, 15)},
         {u"Aktiv"_s, true},
         {u"Tage"_s, 3},
         {u"Notiz"_s, u"Memo"_s},
         {u"Moment"_s, QDateTime(QDate(2001, 12, 31), QTime(8, 5))}});
    add({{u"Aktiv"_s, false}});
    const struct {
        const char16_t* item;
        QStringList values; // of both records
    } cases[] = {
        {u"Name=x>L.......", {u"Meier   "_s, QString()}},
        {u"Name=x>R.......", {u"   Meier"_s, QString()}},
        {u"Name=x>xyz", {u"Mei"_s, QString()}},
        {u"Nr=x>00000", {u"00042"_s, QString()}},
        {u"Nr=x>99999", {u"42"_s, QString()}},
        {u"Betrag=x>", {u"1234.50"_s, QString()}},
        {u"Betrag=x>#.##0,00", {u"1.234,50"_s, QString()}},
        {u"Aktiv=x>", {u"true"_s, u"false"_s}},
        {u"Aktiv=x>J/N", {u"J"_s, u"N"_s}},
        {u"Aktiv=x>/N", {QString(), u"N"_s}},
        {u"Aktiv=x>J/", {u"true"_s, u"false"_s}},
        {u"Datum=x>", {u"311201"_s, QString()}},
        {u"Datum=x>dd/mm/yyyy", {u"31.12.2001"_s, QString()}},
        {u"Datum=x>yyyymmdd", {u"20011231"_s, QString()}},
        {u"Zeit=x>", {u"301299"_s, QString()}}, // day zero: a time needs its picture
        {u"Zeit=x>hh:nn", {u"10:30"_s, QString()}},
        {u"Moment=x>dd.mm.yyyy hh:nn", {u"31.12.2001 08:05"_s, QString()}},
        {u"Notiz=x>", {QString(), QString()}},
        {u"EXPR=Datum#Tage>dd.mm.yyyy", {u"03.01.2002"_s, QString()}},
        {u"EXPR=Datum+Tage>dd.mm.yyyy", {QString(), QString()}},
        {u"EXPR=Datum#Name>", {QString(), QString()}},
    };
    for (const auto& c : cases) {
        const QString item = u"DELIM="_s;
        const QStringList result = lines({item, u"1:"_s + QString::fromUtf16(c.item)});
        if (QString::fromUtf16(c.item).startsWith(u"EXPR"_s) && c.values.first().isEmpty()) {
            EXPECT_EQ(result, c.values) << QString::fromUtf16(c.item).toStdString();
            continue;
        }
        EXPECT_EQ(result.value(0), c.values.value(0)) << QString::fromUtf16(c.item).toStdString();
        if (!QString::fromUtf16(c.item).startsWith(u"EXPR"_s)) {
            EXPECT_EQ(result.value(1), c.values.value(1))
                << QString::fromUtf16(c.item).toStdString();
        }
    }
}

} // namespace
