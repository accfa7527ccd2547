#include "core/data/dbhelpers.h"
#include "core/files/filehelpers.h"
#include "datasafety/interchange/exportformat.h"
#include "datasafety/interchange/importformat.h"
#include "datasafety/interchange/tableexport.h"
#include "datasafety/shippeddefinitions.h"
#include "interchangefixture.h"
#include "platform/richtext/rtf.h"

using namespace Qt::StringLiterals;
using Kind = MessagePresenter::Kind;
using table::FieldType;

namespace {

TEST(GeneralExportFormats, TypeNamesOfTheFieldList) {
    const struct {
        FieldType type;
        const char16_t* name;
    } cases[] = {
        {FieldType::String, u"Text"},        {FieldType::Date, u"Datum"},
        {FieldType::DateTime, u"Datum"},     {FieldType::Memo, u"- Memo"},
        {FieldType::FmtMemo, u"- RTF"},      {FieldType::Graphic, u"* Grafik"},
        {FieldType::Boolean, u"Logisch"},    {FieldType::Smallint, u"Ganzzahl"},
        {FieldType::Integer, u"Ganzzahl"},   {FieldType::AutoInc, u"Ganzzahl"},
        {FieldType::Currency, u"Währung"},   {FieldType::Float, u"Kommazahl"},
        {FieldType::Time, u"nicht erlaubt"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ExportTypeName(c.type), QString::fromUtf16(c.name));
    EXPECT_EQ(NewExportDescription(u"LumoDB"_s, u"Kunden.DB"_s), u"Export (Beweg) Kunden.DB"_s);
    EXPECT_EQ(NewExportDescription(u"AblageDB"_s, u"Rechkopf.DB"_s),
              u"Export (Ablag) Rechkopf.DB"_s);
    EXPECT_EQ(NewExportFileName(u"/imex/"_s, u"Kunden.DB"_s), u"/imex/Kunden.TXT"_s);
}

TEST(GeneralExportFormats, FloatPicturesWithGermanSettings) {
    RegionalGuard german;
    const struct {
        const char16_t* picture;
        const char16_t* text;
    } cases[] = {
        {u"#.##0,00", u"1.234,50"}, {u"0,00", u"1234,50"},        {u"0.00", u"1234.50"},
        {u"", u"1234,50"},          {u"000000,00", u"  1234,50"}, {u"000000,00@", u"1234,500"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatTableExportFloat(1234.5, QString::fromUtf16(c.picture)),
                  QString::fromUtf16(c.text))
            << QString::fromUtf16(c.picture).toStdString();
}

class GeneralExportTest : public interchangetest::InterchangeFixture {
protected:
    void SetUp() override {
        InterchangeFixture::SetUp();
        addRow(u"Kunden.DB"_s,
               {{u"K_ID"_s, 1},
                {u"K_Nr"_s, 1001},
                {u"K_Name1"_s, u"Meier"_s},
                {u"K_RechBed"_s, 42},
                {u"K_Kreditmax"_s, 1234.5},
                {u"K_UmsLetztDat"_s, QDate(2001, 12, 31)},
                {u"K_Mahnsperre"_s, true},
                {u"K_Memo"_s,
                 QString::fromLatin1(richtext::rtfFromPlainText(u"Erste Zeile\nZweite Zeile"_s))}});
        addRow(u"Kunden.DB"_s, {{u"K_ID"_s, 2}, {u"K_Nr"_s, 1002}});
    }
    // The formatted values of both customers for one field and picture.
    QStringList values(const QString& field, const QString& picture,
                       const QString& delimiter = u"\""_s) {
        auto t = open(u"Kunden.DB"_s);
        QStringList result;
        for (t->first(); !t->eof(); t->next())
            result << FormatTableExportValue(t->field(field), picture, delimiter);
        return result;
    }
    // A definition on Kunden.DB with the given lines (field, picture).
    int define(const QList<std::pair<QString, QString>>& lines, const QString& filter = {},
               bool headline = false, const QString& output = {}) {
        const int id = ++m_lastId;
        addRow(u"ExpKopf.DB"_s,
               {{u"EK_ID"_s, id},
                {u"EK_Bezeich"_s, u"Kunden"_s},
                {u"EK_Separ"_s, u";"_s},
                {u"EK_Delim"_s, u"\""_s},
                {u"EK_ExpName"_s, output.isEmpty() ? ImExDir + u"Kunden.TXT"_s : output},
                {u"EK_Databasename"_s, u"LumoDB"_s},
                {u"EK_Tablename"_s, u"Kunden.DB"_s},
                {u"EK_SourceFilter"_s, filter},
                {u"EK_Headline"_s, headline}});
        int sort = 0;
        for (const auto& [field, picture] : lines)
            addRow(u"ExpSatz.DB"_s, {{u"ES_ID"_s, id * 100 + sort},
                                     {u"ES_Ref"_s, id},
                                     {u"ES_FieldName"_s, field},
                                     {u"ES_Format"_s, picture},
                                     {u"ES_Sort"_s, 10 - ++sort}}); // stored out of order
        return id;
    }
    bool runDefinition(int id) {
        return RunTableExport(u"LumoDB"_s, u"ExpKopf.db"_s, u"ExpSatz.db"_s, id);
    }
    int m_lastId = 0;
};

TEST_F(GeneralExportTest, FormatsOfTheGeneralExport) {
    const struct {
        const char16_t* field;
        const char16_t* picture;
        QStringList values;
    } cases[] = {
        {u"K_Name1", u"", {u"\"Meier\""_s, u"\"\""_s}},
        {u"K_Name1", u"L......", {u"\"Meier  \""_s, u"\"       \""_s}},
        {u"K_Name1", u"R......", {u"\"  Meier\""_s, u"\"       \""_s}},
        {u"K_Name1", u"xxx", {u"\"Mei\""_s, u"\"\""_s}},
        {u"K_RechBed", u"", {u"42"_s, u"0"_s}},
        {u"K_RechBed", u"00000", {u"00042"_s, u"00000"_s}},
        {u"K_RechBed", u"99999", {u"   42"_s, u"    0"_s}},
        {u"K_RechBed", u"99999@", {u"42"_s, u"0"_s}},
        {u"K_Mahnsperre", u"", {u"J"_s, u"N"_s}},
        {u"K_Mahnsperre", u"ja/nein", {u"ja"_s, u"nein"_s}},
        {u"K_Mahnsperre", u"X", {u"true"_s, u"false"_s}},
        {u"K_Kreditmax", u"#.##0,00", {u"1.234,50"_s, u"    0,00"_s}},
        {u"K_UmsLetztDat", u"", {u"31.12.2001"_s, u"30.12.1899"_s}},
        {u"K_UmsLetztDat", u"dd.mm.yy", {u"311201"_s, u"000000"_s}},
        {u"K_UmsLetztDat", u"dd.mm.yyyy", {u"31122001"_s, u"00000000"_s}},
        {u"K_UmsLetztDat", u"yyyy/mm/dd", {u"2001.12.31"_s, u"1899.12.30"_s}},
        {u"K_Memo", u"", {u"\"Erste Zeile Zweite Zeile\""_s, u"\"\""_s}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(values(QString::fromUtf16(c.field), QString::fromUtf16(c.picture)), c.values)
            << QString::fromUtf16(c.field).toStdString() << " "
            << QString::fromUtf16(c.picture).toStdString();
    // Only texts are enclosed, and only when a delimiter is set.
    EXPECT_EQ(values(u"K_Name1"_s, QString(), QString()), (QStringList{u"Meier"_s, QString()}));
}

TEST_F(GeneralExportTest, RunsADefinitionWithHeaderFilterAndLineOrder) {
    const int id =
        define({{u"K_Nr"_s, u"00000"_s}, {u"K_Name1"_s, QString()}}, u"K_Nr<1002"_s, true);
    EXPECT_TRUE(runDefinition(id));
    // The lines were stored in reverse ES_Sort order: K_Name1 comes first.
    EXPECT_EQ(readFile(u"Kunden.TXT"_s), QByteArray("\"K_Name1\";\"K_Nr\"\r\n\"Meier\";01001\r\n"));
    EXPECT_EQ(
        presenter.texts(Kind::Info),
        QStringList{u"Der Datenexport wurde ausgeführt.\rEs wurden 1 Datensätze exportiert"_s});
}

TEST_F(GeneralExportTest, BadFiltersMissingFieldsAndDefinitionsWriteNothing) {
    writeFile(u"Kunden.TXT"_s, "vorher");
    const int badFilter = define({{u"K_Nr"_s, QString()}}, u"K_Nr >> 5"_s);
    const int unknownField = define({{u"K_Nr"_s, QString()}}, u"K_Fehlt=5"_s);
    const int missingField = define({{u"K_Nr"_s, QString()}, {u"O_Nr"_s, QString()}});
    const int noRecord = define({{u"K_Nr"_s, QString()}}, u"K_Nr>5000"_s);
    EXPECT_FALSE(runDefinition(badFilter));
    EXPECT_FALSE(runDefinition(unknownField));
    EXPECT_FALSE(runDefinition(missingField));
    EXPECT_FALSE(runDefinition(99));
    EXPECT_FALSE(runDefinition(noRecord));
    const QStringList errors = presenter.texts(Kind::Error);
    ASSERT_EQ(errors.size(), 4);
    EXPECT_TRUE(errors.at(0).startsWith(u"Die Filter-Anweisung \"K_Nr >> 5\" ist ungültig:"_s));
    EXPECT_TRUE(errors.at(1).startsWith(u"Die Filter-Anweisung \"K_Fehlt=5\" ist ungültig:"_s));
    EXPECT_EQ(errors.at(2), u"Das Feld \"O_Nr\" ist in der Tabelle Kunden.DB nicht vorhanden!\r\r"
                            u"Es wurde nichts exportiert."_s);
    EXPECT_EQ(errors.at(3), u"Tabelle nicht gefunden!"_s);
    EXPECT_EQ(readFile(u"Kunden.TXT"_s), QByteArray("vorher"));
}

TEST_F(GeneralExportTest, MovingLinesExchangesTheirPlacesAndStopsAtTheEnds) {
    const int id = define({{u"A"_s, QString()}, {u"B"_s, QString()}, {u"C"_s, QString()}});
    table::Table lines(table::aliases::database(u"LumoDB"_s), u"ExpSatz.DB"_s);
    lines.setIndexName(u"I_Ref"_s);
    lines.open();
    lines.setRange({id}, {id});
    const auto order = [&lines] {
        QStringList names;
        const table::Bookmark here = lines.bookmark();
        for (lines.first(); !lines.eof(); lines.next())
            names << lines.field(u"ES_FieldName"_s).asString();
        lines.gotoBookmark(here);
        return names.join(u',');
    };
    ASSERT_EQ(order(), u"C,B,A"_s);
    lines.first();
    EXPECT_FALSE(MoveExportLine(lines, true));
    EXPECT_EQ(order(), u"C,B,A"_s);
    EXPECT_TRUE(MoveExportLine(lines, false));
    EXPECT_EQ(order(), u"B,C,A"_s);
    EXPECT_EQ(lines.field(u"ES_FieldName"_s).asString(), u"C"_s); // the moved line stays current
    EXPECT_TRUE(MoveExportLine(lines, false));
    EXPECT_EQ(order(), u"B,A,C"_s);
    EXPECT_FALSE(MoveExportLine(lines, false));
    EXPECT_TRUE(MoveExportLine(lines, true));
    EXPECT_EQ(order(), u"B,C,A"_s);
}

TEST_F(GeneralExportTest, ShippedDefinitionsFillOnlyWhatTheClientLacks) {
    writeFile(u"kunden.IMP"_s, "eigene Datei");
    const QStringList written = EnsureShippedDefinitions(ImExDir);
    EXPECT_EQ(written.size(), ShippedDefinitionNames().size() - 1);
    EXPECT_FALSE(written.contains(u"Kunden.imp"_s));
    EXPECT_EQ(readFile(u"kunden.IMP"_s), QByteArray("eigene Datei"));
    EXPECT_TRUE(EnsureShippedDefinitions(ImExDir).isEmpty());
}

TEST_F(GeneralExportTest, ShippedDefinitionsNameFieldsOfTheirTables) {
    const QHash<QString, QString> tables{
        {u"Kunden.imp"_s, u"Kunden.DB"_s},    {u"ObjImp.imp"_s, u"Objekte.DB"_s},
        {u"TaetImp.imp"_s, u"Taetig.DB"_s},   {u"Personal.imp"_s, u"Personal.DB"_s},
        {u"Adress.imp"_s, u"Adress.DB"_s},    {u"Artikel.imp"_s, u"Artikel.DB"_s},
        {u"Kunden.exp"_s, u"Kunden.DB"_s},    {u"DebitKHK.exp"_s, u"Kunden.DB"_s},
        {u"DebitLex.exp"_s, u"Kunden.DB"_s},  {u"KreditLex.exp"_s, u"Liefrnt.DB"_s},
        {u"Perslex.exp"_s, u"Personal.DB"_s}, {u"Lohnlex.exp"_s, u"Zeitsum.DB"_s},
    };
    EnsureShippedDefinitions(ImExDir);
    auto db = table::aliases::database(u"LumoDB"_s);
    for (const QString& name : ShippedDefinitionNames()) {
        QStringList lines;
        ASSERT_TRUE(ReadTextDataFile(ImExDir + name, lines)) << name.toStdString();
        QStringList targets;
        bool hasSfile = false;
        for (const QString& line : lines)
            hasSfile = hasSfile || line.startsWith(u"SFILE"_s);
        EXPECT_TRUE(hasSfile) << name.toStdString();
        if (name.endsWith(u".imp"_s))
            for (const ImportItem& item : ParseImportDefinition(lines).items)
                targets << item.target;
        else
            for (const ExportItem& item : ParseExportDefinition(lines).items)
                targets << item.name;
        EXPECT_FALSE(targets.isEmpty()) << name.toStdString();
        if (!tables.contains(name)) {
            // The invoice exports name the fields of their work table.
            for (const QString& target : targets)
                EXPECT_TRUE(target.startsWith(u"X_"_s) || target.startsWith(u"Y_"_s));
            continue;
        }
        table::Table t(db, tables.value(name));
        t.open();
        for (const QString& target : targets) {
            const table::Field* field = t.findField(target);
            ASSERT_NE(field, nullptr) << name.toStdString() << " " << target.toStdString();
            EXPECT_EQ(field->name(), target) << name.toStdString(); // the import compares exactly
        }
    }
}

} // namespace
