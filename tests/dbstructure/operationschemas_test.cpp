// Checks of the built-in definitions of the money, planning, time, cost,
// purchasing, settings and lookup tables: the shape of every table, sampled
// fields and indexes, and the default rows with the rules their data obey.
#include "dbstructure/tableschemas.h"

#include <QDate>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <map>

using dbstructure::TableSchema;
using dbstructure::TableSchemas;
using table::FieldType;

namespace {

const QStringList kFamilyFiles = {
    ":/schema/openitems.json",  ":/schema/tours.json",   ":/schema/timecosts.json",
    ":/schema/purchasing.json", ":/schema/company.json", ":/schema/lookups.json",
};

const TableSchemas& families() {
    static const TableSchemas schemas = TableSchemas::fromFiles(kFamilyFiles);
    return schemas;
}

const TableSchema& schema(const char* table) {
    return families().get(QString::fromUtf8(table));
}

qsizetype fieldIndex(const TableSchema& s, const QString& name) {
    for (qsizetype i = 0; i < s.def.fields.size(); ++i)
        if (s.def.fields[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

// The value of a field in a default row; an invalid QVariant when the row
// gives no value for it (it stays null).
QVariant defaultValue(const TableSchema& s, qsizetype row, const QString& field) {
    const qsizetype column = fieldIndex(s, field);
    if (column < 0 || row >= s.defaultRows.size())
        return QVariant::fromValue(QStringLiteral("<no such field or row>"));
    const QVariantList& values = s.defaultRows[row];
    return column < values.size() ? values[column] : QVariant();
}

QDate dateValue(const TableSchema& s, qsizetype row, const char* field) {
    return QDate::fromString(defaultValue(s, row, QString::fromUtf8(field)).toString(),
                             QStringLiteral("dd.MM.yyyy"));
}

const table::IndexDef* findIndex(const TableSchema& s, const QString& name) {
    for (const table::IndexDef& index : s.def.indexes)
        if (index.name == name)
            return &index;
    return nullptr;
}

// ---------------------------------------------------------------------------
// Shapes: every table of these families with its number of fields, secondary
// indexes and default rows. A lost or doubled line of a field list shows here.

struct Shape {
    const char* table;
    int fields;
    int indexes;
    int defaultRows;
};

const Shape kShapes[] = {
    {"OpKopf.DB", 74, 9, 0},   {"OpSatz.DB", 21, 1, 0},   {"OPZahl.db", 7, 1, 0},
    {"ERKopf.DB", 33, 6, 0},   {"ERSatz.DB", 32, 1, 0},   {"OERkopf.DB", 36, 7, 0},
    {"OERsatz.DB", 20, 1, 0},  {"ERZahl.db", 7, 1, 0},    {"RAListe.db", 35, 6, 0},
    {"Touren.DB", 8, 5, 0},    {"TourObj.db", 5, 2, 0},   {"TourPers.DB", 3, 1, 0},
    {"TglTour.DB", 7, 2, 0},   {"TglObj.DB", 8, 1, 0},    {"TglTaet.DB", 14, 1, 0},
    {"TglFunc.DB", 8, 1, 0},   {"TglFterm.DB", 16, 1, 0}, {"TermObj.DB", 25, 3, 0},
    {"BerKopf.db", 8, 2, 0},   {"BerSatz.db", 15, 1, 0},  {"BerText.db", 3, 0, 0},
    {"Zeiterf.DB", 15, 4, 0},  {"Zeitsum.DB", 22, 0, 0},  {"ZeitsumO.DB", 22, 1, 0},
    {"Zeitart.DB", 6, 1, 8},   {"Kosten.DB", 10, 0, 0},   {"KostSumH.db", 10, 3, 0},
    {"KostSumD.db", 10, 3, 0}, {"Kostart.DB", 8, 4, 0},   {"Rubrik.db", 4, 1, 4},
    {"Bestkopf.DB", 45, 5, 0}, {"BestSatz.DB", 21, 1, 0}, {"BestObj.DB", 15, 1, 0},
    {"BVListe.DB", 19, 2, 0},  {"BVObjekt.DB", 12, 1, 0}, {"Bestmode.db", 2, 0, 2},
    {"Firmen.DB", 99, 0, 1},   {"QrFrmDef.DB", 6, 2, 73}, {"ExpStamm.DB", 32, 0, 0},
    {"ExpKopf.DB", 9, 1, 0},   {"ExpSatz.DB", 7, 1, 0},   {"Banken.DB", 2, 0, 7},
    {"Zahlbed.DB", 8, 1, 7},   {"Zahlart.DB", 2, 1, 7},   {"MgEinh.db", 3, 0, 4},
    {"MwstSatz.DB", 7, 1, 4},  {"Wochtag.db", 3, 0, 8},   {"BerUnerl.db", 3, 0, 2},
    {"Bermodus.DB", 3, 0, 3},  {"ZahlIV.DB", 3, 1, 7},    {"TgLStat.DB", 3, 1, 7},
    {"TgLSrc.DB", 3, 1, 4},    {"Posart.db", 3, 1, 6},    {"RechMode.DB", 4, 0, 3},
    {"Functype.db", 2, 0, 3},  {"AusfIV.DB", 4, 1, 19},   {"CalcIV.DB", 5, 1, 24},
    {"IvDefH.DB", 3, 1, 5},    {"IvDef.DB", 7, 1, 47},
};

TEST(OperationSchemas, EveryTableHasItsShape) {
    EXPECT_EQ(families().tables().size(), qsizetype(std::size(kShapes)));
    for (const Shape& shape : kShapes) {
        SCOPED_TRACE(shape.table);
        const TableSchema* s = families().find(QString::fromUtf8(shape.table));
        ASSERT_NE(s, nullptr);
        // The creator writes the name in exactly this spelling.
        EXPECT_EQ(s->def.name, QString::fromUtf8(shape.table));
        EXPECT_EQ(s->def.fields.size(), shape.fields);
        EXPECT_EQ(s->def.indexes.size(), shape.indexes);
        EXPECT_EQ(s->defaultRows.size(), shape.defaultRows);
        // Every row ends within the field list, and every key is given.
        for (const QVariantList& row : s->defaultRows) {
            EXPECT_LE(row.size(), s->def.fields.size());
            ASSERT_FALSE(row.isEmpty());
            EXPECT_TRUE(row.first().isValid());
        }
        // Field names are unique within a table, regardless of case.
        QSet<QString> names;
        for (const table::FieldDef& field : s->def.fields) {
            EXPECT_FALSE(names.contains(field.name.toLower()))
                << "field twice: " << field.name.toStdString();
            names.insert(field.name.toLower());
        }
    }
}

struct SampledField {
    const char* table;
    int position; // 1-based
    const char* name;
    FieldType type;
    int size;
};

const SampledField kFields[] = {
    {"OpKopf.DB", 1, "R_ID", FieldType::Integer, 0},
    {"OpKopf.DB", 40, "R_ZahlBed", FieldType::String, 160},
    {"OpKopf.DB", 63, "R_SammelRgText", FieldType::FmtMemo, 240},
    {"OpKopf.DB", 64, "O_ZahlSumme", FieldType::Currency, 0},
    {"OpKopf.DB", 67, "O_Mahnungen", FieldType::Smallint, 0},
    {"OpKopf.DB", 68, "R_Memo", FieldType::Memo, 240},
    {"OpKopf.DB", 74, "R_AdrZweck2", FieldType::String, 80},
    {"ERKopf.DB", 3, "E_LiefRgNr", FieldType::String, 20},
    {"OERkopf.DB", 12, "R_DatumDruck", FieldType::Date, 0},
    {"OERkopf.DB", 36, "O_Erledigt", FieldType::Boolean, 0},
    {"RAListe.db", 25, "R_ZahlbedSkonto", FieldType::Float, 0},
    {"TourObj.db", 1, "T_TourID", FieldType::Integer, 0},
    {"TourObj.db", 5, "TO_BisUhr", FieldType::Time, 0},
    {"TglFterm.DB", 16, "TF_Termine12", FieldType::String, 31},
    {"TermObj.DB", 19, "T_Text", FieldType::FmtMemo, 1},
    {"TermObj.DB", 23, "T_AlarmTime", FieldType::Time, 0},
    {"BerText.db", 1, "ID", FieldType::Integer, 0},
    {"Zeitsum.DB", 22, "ZS_EkGesamt", FieldType::Currency, 0},
    {"Kostart.DB", 6, "A_Personal", FieldType::Boolean, 0},
    {"Bestkopf.DB", 45, "R_Memo", FieldType::Memo, 240},
    {"BestObj.DB", 14, "BO_BestModus", FieldType::String, 1},
    {"Firmen.DB", 22, "F_Logo", FieldType::Graphic, 1},
    {"Firmen.DB", 45, "F_KontoNr", FieldType::String, 11},
    {"Firmen.DB", 99, "F_KostenausZeiterfass", FieldType::Boolean, 0},
    {"ExpStamm.DB", 2, "E_DatevNamensKuerzel", FieldType::String, 2},
    {"ExpKopf.DB", 5, "EK_ExpName", FieldType::String, 128},
    {"Banken.DB", 1, "BankName", FieldType::String, 40},
    {"CalcIV.DB", 5, "Cl_Sort", FieldType::Integer, 0},
    {"IvDef.DB", 7, "RangeEnd", FieldType::Date, 0},
};

TEST(OperationSchemas, SampledFieldsHaveTheirPositionTypeAndSize) {
    for (const SampledField& c : kFields) {
        SCOPED_TRACE(std::string(c.table) + " " + c.name);
        const TableSchema& s = schema(c.table);
        ASSERT_LE(c.position, s.def.fields.size());
        const table::FieldDef& field = s.def.fields[c.position - 1];
        EXPECT_EQ(field.name, QString::fromUtf8(c.name)); // exact letter case
        EXPECT_EQ(field.type, c.type);
        EXPECT_EQ(field.size, c.size);
    }
}

struct SampledIndex {
    const char* table;
    const char* index;
    QStringList fields;
};

TEST(OperationSchemas, SampledIndexesHaveTheirFieldsInOrder) {
    const SampledIndex cases[] = {
        {"OpKopf.DB", "R_IObjektNr", {"R_ObjektNr", "R_DatumDruck", "R_Nr"}},
        {"OERkopf.DB", "R_IKMatch", {"R_KMatch", "R_DatumErstell", "R_Nr"}},
        {"RAListe.db", "R_INr", {"R_Nr", "R_Satzart"}},
        {"TglFunc.DB", "I_DTOT", {"FL_Date", "FL_TourNr", "FL_ObjNr", "FL_TaetigNr"}},
        {"TermObj.DB", "M_IDateObj", {"T_Date", "T_Objekt", "T_ID"}},
        // Written in another letter case than the field; still resolves.
        {"BerKopf.db", "B_IObjekt", {"B_ObjektNr", "B_Druckdatum"}},
        {"BerSatz.db", "B_IObjekt", {"B_ObjektNr", "B_DruckTermin", "B_TaetigNr"}},
        {"KostSumD.db", "I_JMOK", {"K_Jahr", "K_Monat", "K_ObjektNr", "K_Kostart"}},
        // The lookup of the cost bookings by object id.
        {"KostSumH.db", "I_JMKID", {"K_Jahr", "K_Monat", "K_Kostart", "K_ObjektID"}},
        {"BestObj.DB", "BO_IRef", {"BO_Ref", "BO_ObjID"}},
        {"ExpSatz.DB", "I_Ref", {"ES_Ref", "ES_Sort"}},
        {"CalcIV.DB", "I_Sort", {"Cl_Sort"}},
        {"IvDef.DB", "I_DefCr", {"Def", "CreateDate"}},
    };
    for (const SampledIndex& c : cases) {
        SCOPED_TRACE(std::string(c.table) + " " + c.index);
        const TableSchema& s = schema(c.table);
        const table::IndexDef* index = findIndex(s, QString::fromUtf8(c.index));
        ASSERT_NE(index, nullptr);
        EXPECT_EQ(index->fields, c.fields);
        EXPECT_TRUE(index->caseInsensitive);
        for (const QString& field : index->fields)
            EXPECT_GE(fieldIndex(s, field), 0) << field.toStdString();
    }
}

// The exact set of unique and of descending indexes of these families: an
// option lost or added anywhere changes the set.
TEST(OperationSchemas, UniqueAndDescendingIndexesAreExactlyThese) {
    QStringList unique;
    QStringList descending;
    for (const TableSchema& s : families().tables())
        for (const table::IndexDef& index : s.def.indexes) {
            if (index.unique)
                unique.append(s.def.name + "." + index.name);
            if (index.descending)
                descending.append(s.def.name + "." + index.name);
        }
    unique.sort();
    descending.sort();
    EXPECT_EQ(unique, QStringList({"Bestkopf.DB.R_INr", "Kostart.DB.ANr", "OpKopf.DB.R_INr",
                                   "RAListe.db.R_INr", "Rubrik.db.RNr", "Touren.DB.T_I_Nr"}));
    EXPECT_EQ(descending, QStringList({"TermObj.DB.M_IDateObj"}));
}

// ---------------------------------------------------------------------------
// Default rows.

struct SampledValue {
    const char* table;
    int row; // 0-based, in the order the rows are appended
    const char* field;
    QVariant expected;
};

TEST(OperationDefaultRows, SampledValuesAreExact) {
    const SampledValue cases[] = {
        // Texts byte for byte: blanks, the letter O among the zeros, umlauts.
        {"Zahlbed.DB", 5, "Z_Kurz", QStringLiteral(" 8 Tg nett")},
        {"Zahlbed.DB", 6, "Z_Text", QStringLiteral("Zahlbar innerhalb von  8 Tagen, 2% Abzug")},
        {"Zahlbed.DB", 2, "Z_Skonto", 2.0},
        {"Zahlbed.DB", 0, "Z_Text", QStringLiteral("")},
        {"ZahlIV.DB", 1, "ZI_Pattern", QStringLiteral("*0000000000000*O000000000000000")},
        {"ZahlIV.DB", 2, "ZI_Text",
         QString::fromUtf8("wöchentlich  zum 1., 8., 16. und 24. d. Monats")},
        {"ZahlIV.DB", 6, "ZI_Pattern", QStringLiteral("000000000000000*000000000000000")},
        {"Zahlart.DB", 3, "ZA_Text", QString::fromUtf8("Überweisung")},
        {"MgEinh.db", 1, "VE_Kurz", QStringLiteral("Stck")},
        {"MgEinh.db", 0, "VE_Lang", QStringLiteral("")},
        {"Zahlart.DB", 0, "ZA_Text", QStringLiteral("")},
        {"Zeitart.DB", 1, "ZA_Kurztext", QString::fromUtf8("Ü 25")},
        {"Zeitart.DB", 3, "ZA_Aufschlag", 2.0},
        {"Zeitart.DB", 1, "ZA_Aufschlag", 1.25},
        {"Rubrik.db", 0, "R_TextLabel", QString::fromUtf8("Löhne")},
        {"Bestmode.db", 0, "BM_ID", 0},
        {"Bestmode.db", 1, "BM_Text", QStringLiteral("Bedarfsrechnung")},
        {"Wochtag.db", 7, "WT_ID", 8},
        {"Wochtag.db", 7, "WT_NR", 0},
        {"Wochtag.db", 7, "WT_Name", QStringLiteral("Manuell")},
        {"Bermodus.DB", 1, "BM_Text", QString::fromUtf8("gezählt")},
        {"TgLStat.DB", 3, "St_Text", QString::fromUtf8("Übertragen")},
        {"TgLSrc.DB", 3, "So_Text", QStringLiteral("Vormerkung")},
        {"Posart.db", 3, "A_Nr", 3},
        {"Posart.db", 3, "A_Text", QStringLiteral("")},
        {"Posart.db", 4, "A_Text", QStringLiteral("Zwisumme")},
        {"RechMode.DB", 0, "B_ID", 0},
        {"RechMode.DB", 2, "B_Lang", QString::fromUtf8("Tätigk.-Häufigkeit * Einzelpreis * Menge")},
        {"Functype.db", 0, "FT_Text", QString::fromUtf8("Tätigkeit")},
        {"AusfIV.DB", 12, "AI_ID", 8},
        {"AusfIV.DB", 12, "AI_Text", QStringLiteral("einmal monatlich")},
        {"AusfIV.DB", 12, "AI_Wochen", -1},
        {"AusfIV.DB", 18, "AI_ID", 17},
        {"AusfIV.DB", 18, "AI_Wochen", 0},
        {"CalcIV.DB", 0, "CI_Text", QString::fromUtf8("täglich")},
        {"CalcIV.DB", 0, "CI_ApJ", 365.0},
        {"MwstSatz.DB", 1, "Mwst_Satz", 16.0},
        {"MwstSatz.DB", 1, "Mwst_GueltigBis", QStringLiteral("31.12.2006")},
        {"MwstSatz.DB", 3, "Mwst_Nr", 1},
        {"MwstSatz.DB", 3, "Mwst_GueltigVon", QStringLiteral("01.01.2007")},
        {"IvDefH.DB", 1, "I_Comment", QString::fromUtf8("rückwirkend vierzehntätig")},
        // The name is one character longer than its field; the engine cut it
        // to the field's 40 characters when posting, and so does the table.
        {"IvDefH.DB", 4, "I_Comment",
         QString::fromUtf8("zweimonatlich rückwirkend ungerade Monat")},
        {"IvDef.DB", 36, "BillDate", QStringLiteral("01.01.2003")},
        {"Firmen.DB", 0, "F_NameIntern", QStringLiteral("")},
        {"Firmen.DB", 0, "F_RG2OPBis", QStringLiteral("01.06.2002")},
        {"Firmen.DB", 0, "F_Logo", QVariant()},
        {"Firmen.DB", 0, "F_REBriefkopf", QVariant()},
        {"Firmen.DB", 0, "F_AutosichernTglErstell", true},
        {"Firmen.DB", 0, "F_Zahlart", 4},
        {"Firmen.DB", 0, "F_FormatNrRg", QStringLiteral("AR0000")},
        {"Firmen.DB", 0, "F_FormatNr07", QStringLiteral("BS0000")},
        {"Firmen.DB", 0, "F_FormatNr08", QStringLiteral("00000")},
        {"Firmen.DB", 0, "F_Aufschlag1", 15.0},
        {"Firmen.DB", 0, "F_PrintFormNo", 10001},
        {"Firmen.DB", 0, "F_Printwait", 2},
        {"Firmen.DB", 0, "F_BitMapTransparent", false},
        {"Firmen.DB", 0, "F_KostenausZeiterfass", true},
        {"QrFrmDef.DB", 32, "Q_Comment", QStringLiteral("Kalkulation: Leistungsverzeichnis")},
        {"QrFrmDef.DB", 42, "Q_Comment", QString::fromUtf8("Mehrwertsteuer-Sätze")},
    };
    for (const SampledValue& c : cases) {
        SCOPED_TRACE(std::string(c.table) + " row " + std::to_string(c.row) + " " + c.field);
        const QVariant actual = defaultValue(schema(c.table), c.row, QString::fromUtf8(c.field));
        if (!c.expected.isValid()) {
            EXPECT_FALSE(actual.isValid()) << actual.toString().toStdString();
            continue;
        }
        // An empty text must stay a text, not become null, and a number must
        // not arrive as a text.
        ASSERT_TRUE(actual.isValid());
        if (c.expected.typeId() == QMetaType::QString) {
            EXPECT_EQ(actual.typeId(), QMetaType::QString);
            EXPECT_EQ(actual.toString().toStdString(), c.expected.toString().toStdString());
        } else if (c.expected.typeId() == QMetaType::Bool) {
            EXPECT_EQ(actual.typeId(), QMetaType::Bool);
            EXPECT_EQ(actual.toBool(), c.expected.toBool());
        } else if (c.expected.typeId() == QMetaType::Double) {
            EXPECT_EQ(actual.typeId(), QMetaType::Double);
            EXPECT_DOUBLE_EQ(actual.toDouble(), c.expected.toDouble());
        } else {
            EXPECT_EQ(actual.typeId(), QMetaType::Int);
            EXPECT_EQ(actual.toInt(), c.expected.toInt());
        }
    }
}

TEST(OperationDefaultRows, CompanyRowStartsEveryCounterAndMinimumAtOne) {
    const TableSchema& s = schema("Firmen.DB");
    ASSERT_EQ(s.defaultRows.size(), 1);
    // Every field is given: nothing of the company row is left to chance.
    EXPECT_EQ(s.defaultRows[0].size(), s.def.fields.size());
    const QRegularExpression counter(QStringLiteral("^F_(NextNr|MinNr)"));
    const QRegularExpression backup(QStringLiteral("^F_Autosichern"),
                                    QRegularExpression::CaseInsensitiveOption);
    int counters = 0;
    int backups = 0;
    for (qsizetype i = 0; i < s.def.fields.size(); ++i) {
        const QString& name = s.def.fields[i].name;
        const QVariant& v = s.defaultRows[0][i];
        if (counter.match(name).hasMatch()) {
            ++counters;
            EXPECT_EQ(v.toInt(), 1) << name.toStdString();
        }
        if (backup.match(name).hasMatch()) {
            ++backups;
            EXPECT_EQ(v, QVariant(true)) << name.toStdString();
        }
        // Money fields start at 0, not null, so sums over them add up.
        if (s.def.fields[i].type == FieldType::Currency) {
            EXPECT_EQ(v, QVariant(0.0)) << name.toStdString();
        }
    }
    EXPECT_EQ(counters, 18);
    EXPECT_EQ(backups, 6);
}

TEST(OperationDefaultRows, PrintFormsAreProtectedSystemRowsOfTheirOwnType) {
    const TableSchema& s = schema("QrFrmDef.DB");
    ASSERT_EQ(s.defaultRows.size(), 73);
    int previous = 0;
    QSet<QString> comments;
    for (const QVariantList& row : s.defaultRows) {
        ASSERT_EQ(row.size(), 6);
        const int id = row[0].toInt();
        SCOPED_TRACE(id);
        EXPECT_GT(id, previous); // ascending, no id twice
        EXPECT_EQ(row[1].toInt(), id);
        EXPECT_EQ(row[2], QVariant(0));
        EXPECT_EQ(row[3], QVariant(true));
        EXPECT_EQ(row[4], QVariant(QStringLiteral("")));
        EXPECT_FALSE(row[5].toString().isEmpty());
        EXPECT_FALSE(comments.contains(row[5].toString()));
        comments.insert(row[5].toString());
        // User forms take the ids from the type + 1 to the type + 99.
        if (previous) {
            EXPECT_GE(id - previous, 100);
        }
        previous = id;
    }
    EXPECT_EQ(s.defaultRows.first()[0].toInt(), 10000);
    EXPECT_EQ(s.defaultRows.last()[0].toInt(), 81000);
    // The types jump from 76000 to 79000.
    EXPECT_EQ(defaultValue(s, 69, "QF_ID").toInt(), 76000);
    EXPECT_EQ(defaultValue(s, 70, "QF_ID").toInt(), 79000);
}

// The banks are ours to choose: real German banks with their bank codes, after
// one row with an empty name and code.
TEST(OperationDefaultRows, BanksFollowOneEmptyRow) {
    const TableSchema& s = schema("Banken.DB");
    ASSERT_EQ(s.defaultRows.size(), 7);
    EXPECT_EQ(s.defaultRows[0], QVariantList({QStringLiteral(""), QStringLiteral("")}));
    EXPECT_EQ(s.defaultRows[0][0].typeId(), QMetaType::QString); // empty, not null
    QSet<QString> names;
    QSet<QString> codes;
    // A bank code has eight digits, the first of them the clearing area 1 to 8.
    const QRegularExpression blz(QStringLiteral("^[1-8][0-9]{7}$"));
    for (qsizetype i = 1; i < s.defaultRows.size(); ++i) {
        const QString name = s.defaultRows[i][0].toString();
        const QString code = s.defaultRows[i][1].toString();
        SCOPED_TRACE(name.toStdString());
        EXPECT_FALSE(name.trimmed().isEmpty());
        EXPECT_TRUE(blz.match(code).hasMatch()) << code.toStdString();
        // The name is the primary key.
        EXPECT_FALSE(names.contains(name.toLower()));
        names.insert(name.toLower());
        codes.insert(code);
    }
    EXPECT_EQ(codes.size(), 6);
}

// The interval definitions are periods of billing: each definition numbers its
// periods from 1, the periods follow each other without gap or overlap, and an
// invoice is made on or before its date.
TEST(OperationDefaultRows, BillingPeriodsFollowEachOtherWithoutGaps) {
    const TableSchema& heads = schema("IvDefH.DB");
    const TableSchema& periods = schema("IvDef.DB");
    std::map<int, QList<qsizetype>> rowsOfDefinition;
    for (qsizetype r = 0; r < periods.defaultRows.size(); ++r) {
        EXPECT_EQ(defaultValue(periods, r, "ID").toInt(), r + 1);
        rowsOfDefinition[defaultValue(periods, r, "Def").toInt()].append(r);
    }
    std::map<int, int> expectedPeriods = {{1, 12}, {2, 24}, {3, 1}, {4, 4}, {5, 6}};
    ASSERT_EQ(rowsOfDefinition.size(), expectedPeriods.size());
    for (qsizetype h = 0; h < heads.defaultRows.size(); ++h)
        EXPECT_TRUE(rowsOfDefinition.count(defaultValue(heads, h, "I_DefNo").toInt()));

    for (const auto& [definition, rows] : rowsOfDefinition) {
        SCOPED_TRACE(definition);
        EXPECT_EQ(rows.size(), expectedPeriods[definition]);
        QDate previousEnd;
        for (qsizetype n = 0; n < rows.size(); ++n) {
            const qsizetype r = rows[n];
            SCOPED_TRACE(r + 1);
            EXPECT_EQ(defaultValue(periods, r, "Nr").toInt(), n + 1);
            const QDate create = dateValue(periods, r, "CreateDate");
            const QDate bill = dateValue(periods, r, "BillDate");
            const QDate start = dateValue(periods, r, "RangeStart");
            const QDate end = dateValue(periods, r, "RangeEnd");
            ASSERT_TRUE(create.isValid() && bill.isValid() && start.isValid() && end.isValid());
            EXPECT_LT(start, end);
            EXPECT_LE(create, bill);
            if (previousEnd.isValid()) {
                EXPECT_EQ(start, previousEnd.addDays(1));
            }
            previousEnd = end;
        }
        // Every definition covers one whole calendar year.
        const QDate first = dateValue(periods, rows.first(), "RangeStart");
        EXPECT_EQ(first.day(), 1);
        EXPECT_EQ(first.month(), 1);
        EXPECT_EQ(previousEnd, first.addYears(1).addDays(-1));
    }
}

// The calculation intervals reuse the ids of the execution intervals, and the
// executions per year follow from the interval (52 weeks, 12 months a year),
// rounded to two decimals.
TEST(OperationDefaultRows, CalculationIntervalsMatchTheExecutionIntervals) {
    const TableSchema& ausf = schema("AusfIV.DB");
    const TableSchema& calc = schema("CalcIV.DB");
    std::map<int, std::pair<QString, int>> execution; // id -> text, interval
    QSet<int> sortPositions;
    for (qsizetype r = 0; r < ausf.defaultRows.size(); ++r) {
        execution[defaultValue(ausf, r, "AI_ID").toInt()] = {
            defaultValue(ausf, r, "AI_Text").toString(),
            defaultValue(ausf, r, "AI_Wochen").toInt()};
        sortPositions.insert(defaultValue(ausf, r, "A_Sort").toInt());
    }
    EXPECT_EQ(execution.size(), size_t(19));
    EXPECT_EQ(sortPositions.size(), 19);

    int previousSort = 0;
    for (qsizetype r = 0; r < calc.defaultRows.size(); ++r) {
        const int id = defaultValue(calc, r, "CI_ID").toInt();
        const QString text = defaultValue(calc, r, "CI_Text").toString();
        const int interval = defaultValue(calc, r, "CI_Wochen").toInt();
        const double perYear = defaultValue(calc, r, "CI_ApJ").toDouble();
        SCOPED_TRACE(text.toStdString());
        EXPECT_EQ(defaultValue(calc, r, "Cl_Sort").toInt(), previousSort + 1);
        previousSort = defaultValue(calc, r, "Cl_Sort").toInt();
        double expected = 0;
        if (interval > 0)
            expected = std::round(5200.0 / interval) / 100;
        else if (interval < 0)
            expected = 12.0 / -interval;
        else if (id == 21)
            expected = 365;
        else
            expected = 52.0 * (id - 20); // "n mal pro Woche"
        EXPECT_DOUBLE_EQ(perYear, expected);
        if (interval != 0) {
            ASSERT_TRUE(execution.count(id));
            EXPECT_EQ(execution[id].first, text);
            EXPECT_EQ(execution[id].second, interval);
        } else {
            EXPECT_GE(id, 21);
            EXPECT_LE(id, 26);
        }
    }
}

// VAT code 1 changed its rate at the turn of 2007: the two periods must meet
// without a gap, and every code is covered up to the far end.
TEST(OperationDefaultRows, VatPeriodsOfEachCodeJoin) {
    const TableSchema& s = schema("MwstSatz.DB");
    std::map<int, QList<std::pair<QDate, QDate>>> periods;
    for (qsizetype r = 0; r < s.defaultRows.size(); ++r)
        periods[defaultValue(s, r, "Mwst_Nr").toInt()].append(
            {dateValue(s, r, "Mwst_GueltigVon"), dateValue(s, r, "Mwst_GueltigBis")});
    ASSERT_EQ(periods.size(), size_t(3));
    for (auto& [code, list] : periods) {
        SCOPED_TRACE(code);
        std::sort(list.begin(), list.end());
        EXPECT_EQ(list.first().first, QDate(2000, 1, 1));
        EXPECT_EQ(list.last().second, QDate(2100, 12, 31));
        for (qsizetype i = 1; i < list.size(); ++i)
            EXPECT_EQ(list[i].first, list[i - 1].second.addDays(1));
    }
    EXPECT_EQ(periods[1].size(), 2);
}

TEST(OperationDefaultRows, ToursFillInOnlyTheKind) {
    const TableSchema& tours = schema("Touren.DB");
    ASSERT_EQ(tours.fillIns.size(), 1);
    EXPECT_EQ(tours.fillIns[0].first, 8);
    EXPECT_EQ(tours.def.fields[7].name, QStringLiteral("TO_Kind"));
    EXPECT_EQ(tours.fillIns[0].second, QVariant(0));
    for (const TableSchema& s : families().tables()) {
        if (s.def.name != tours.def.name) {
            EXPECT_TRUE(s.fillIns.isEmpty()) << s.def.name.toStdString();
        }
    }
}

// ---------------------------------------------------------------------------
// The postcode table is made only in the template data directory; the program
// reads its id, postcode and town, the picker shows the dialling code, and the
// data module opens it on I_VwlPlz.
TEST(PostcodeTable, HasTheFieldsAndIndexTheProgramUses) {
    const TableSchemas schemas = TableSchemas::fromFiles({QStringLiteral(":/schema/plz.json")});
    const TableSchema& s = schemas.get(QStringLiteral("PLZ.DB"));
    EXPECT_EQ(s.def.name, QStringLiteral("PLZ.DB"));
    ASSERT_GE(s.def.fields.size(), 4);
    EXPECT_EQ(s.def.fields[0].name, QStringLiteral("P_ID"));
    EXPECT_EQ(s.def.fields[0].type, FieldType::Integer);
    for (const char* name : {"PLZ", "ORT", "VORWAHL"}) {
        const qsizetype i = fieldIndex(s, QString::fromUtf8(name));
        ASSERT_GE(i, 0) << name;
        EXPECT_EQ(s.def.fields[i].type, FieldType::String);
        EXPECT_GE(s.def.fields[i].size, 5); // a German postcode has five digits
    }
    const table::IndexDef* index = findIndex(s, QStringLiteral("I_VwlPlz"));
    ASSERT_NE(index, nullptr);
    EXPECT_EQ(index->fields, QStringList({"VORWAHL", "PLZ"}));
    EXPECT_FALSE(index->unique); // many towns share a dialling code and postcode
    // The picker sorts by postcode or town: an index begins with each.
    for (const char* column : {"PLZ", "ORT"}) {
        bool found = false;
        for (const table::IndexDef& i : s.def.indexes)
            found = found || i.fields.first() == QLatin1String(column);
        EXPECT_TRUE(found) << column;
    }
    EXPECT_TRUE(s.defaultRows.isEmpty()); // no postal-code data ships
}

} // namespace
