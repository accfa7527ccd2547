// Checks the definition files of the customer, object, staff, offer and
// invoice families on their own, against counts and samples taken from the
// table descriptions.
#include "dbstructure/tableschemas.h"

#include <QMap>
#include <QSet>
#include <gtest/gtest.h>

using dbstructure::TableSchema;
using dbstructure::TableSchemas;
using table::FieldType;

namespace {

const QStringList kFamilyFiles = {"customers.json", "objects.json", "staff.json", "offers.json",
                                  "invoices.json"};

const TableSchemas& families() {
    static const TableSchemas schemas = [] {
        QStringList paths;
        for (const QString& file : kFamilyFiles)
            paths.append(QStringLiteral(":/schema/") + file);
        return TableSchemas::fromFiles(paths);
    }();
    return schemas;
}

const TableSchema& schema(const char* name) {
    return families().get(QString::fromUtf8(name));
}

struct FileTotals {
    const char* file;
    QStringList tables; // in file order
    int fields;
    int plainIndexes;
    int uniqueIndexes;
    int descendingIndexes;
    int defaultRows;
    int fillIns;
};

const FileTotals kFileTotals[] = {
    {"customers.json",
     {"Kunden.DB", "KUmsatz.DB", "KundDV.DB", "Liefrnt.DB", "LUmsatz.DB", "Liefart.DB", "Adress.DB",
      "AdrJour.DB", "AdrProto.DB", "Apnames.DB", "AAnsp.DB"},
     248,
     33,
     4,
     1,
     3,
     0},
    {"objects.json",
     {"Objekte.DB", "ObjTaet.db", "ObjektND.db", "OMieter.DB", "Schluess.DB", "Notdnst.DB",
      "ObjDV.DB", "DVgroups.DB", "ORgDef.db", "ORgHDef.DB"},
     198,
     24,
     2,
     1,
     11,
     48},
    {"staff.json",
     {"Personal.DB", "PersDV.DB", "Krkassen.db", "Taetig.DB", "Artikel.DB", "AUmsatz.DB",
      "Fremdlst.DB"},
     183,
     22,
     3,
     1,
     1,
     2},
    {"offers.json",
     {"Angkopf.DB", "AngSatz.DB", "Auftkopf.DB", "AuftSatz.DB", "LSkopf.DB", "LSsatz.DB"},
     270,
     29,
     3,
     0,
     0,
     0},
    {"invoices.json",
     {"Rechkopf.DB", "RechSatz.DB", "Gskopf.DB", "GsSatz.DB", "Rgvkopf.DB", "RgvSatz.DB",
      "Rechplan.DB"},
     314,
     35,
     2,
     0,
     0,
     0},
};

TEST(FamilySchemas, EachFileHoldsItsTablesWithTheirCounts) {
    for (const FileTotals& expected : kFileTotals) {
        SCOPED_TRACE(expected.file);
        const TableSchemas file =
            TableSchemas::fromFiles({QStringLiteral(":/schema/") + expected.file});
        QStringList names;
        int fields = 0, plain = 0, unique = 0, descending = 0, rows = 0, fillIns = 0;
        for (const TableSchema& s : file.tables()) {
            names.append(s.def.name);
            fields += s.def.fields.size();
            for (const table::IndexDef& index : s.def.indexes) {
                EXPECT_TRUE(index.caseInsensitive);
                EXPECT_FALSE(index.unique && index.descending) << index.name.toStdString();
                plain += !index.unique && !index.descending;
                unique += index.unique;
                descending += index.descending;
            }
            rows += s.defaultRows.size();
            fillIns += s.fillIns.size();
        }
        EXPECT_EQ(names, expected.tables);
        EXPECT_EQ(fields, expected.fields);
        EXPECT_EQ(plain, expected.plainIndexes);
        EXPECT_EQ(unique, expected.uniqueIndexes);
        EXPECT_EQ(descending, expected.descendingIndexes);
        EXPECT_EQ(rows, expected.defaultRows);
        EXPECT_EQ(fillIns, expected.fillIns);
    }
}

TEST(FamilySchemas, FieldTypesOverTheFamilies) {
    QMap<FieldType, int> counts;
    for (const TableSchema& s : families().tables()) {
        for (const table::FieldDef& field : s.def.fields)
            ++counts[field.type];
    }
    const QMap<FieldType, int> expected = {
        {FieldType::String, 484}, {FieldType::Smallint, 170}, {FieldType::Integer, 196},
        {FieldType::Float, 69},   {FieldType::Currency, 134}, {FieldType::Boolean, 30},
        {FieldType::Date, 53},    {FieldType::Time, 2},       {FieldType::DateTime, 5},
        {FieldType::Memo, 19},    {FieldType::FmtMemo, 50},   {FieldType::Graphic, 1},
    };
    EXPECT_EQ(counts, expected);
}

struct FieldSample {
    const char* table;
    int number; // 1-based
    const char* name;
    FieldType type;
    int size;
};

// First and last fields, odd sizes and spellings, and the types that differ
// between look-alike tables.
const FieldSample kFieldSamples[] = {
    {"Kunden.DB", 1, "K_ID", FieldType::Integer, 0},
    {"Kunden.DB", 27, "K_AnsprechAbt3", FieldType::String, 12},
    {"Kunden.DB", 32, "K_AnsprechAbt4", FieldType::String, 10},
    {"Kunden.DB", 77, "K_LastUser", FieldType::String, 30},
    {"Liefrnt.DB", 56, "K_EigeneKdNr", FieldType::String, 20},
    {"Adress.DB", 22, "A_Langbezeich", FieldType::Memo, 40},
    {"Adress.DB", 28, "A_BankAnprech", FieldType::String, 40},
    {"AdrJour.DB", 4, "AJ_TIme", FieldType::Time, 0},
    {"AAnsp.DB", 7, "AA_AnsprechMemo", FieldType::FmtMemo, 80},
    {"Objekte.DB", 67, "O_Aktiv", FieldType::Boolean, 0},
    {"Objekte.DB", 102, "O_Langbezeich", FieldType::Memo, 80},
    {"Objekte.DB", 105, nullptr, FieldType::String, -1},
    {"Schluess.DB", 8, "S_Bemerkung", FieldType::Memo, 240},
    {"Personal.DB", 29, "P_LohnZuwendung", FieldType::Memo, 160},
    {"Personal.DB", 34, "P_Passfoto", FieldType::Graphic, 1},
    {"Krkassen.db", 20, nullptr, FieldType::String, -1},
    {"Fremdlst.DB", 1, "S_ID", FieldType::Integer, 0},
    {"Fremdlst.DB", 3, "R_Nr", FieldType::String, 20},
    {"Angkopf.DB", 2, "R_Nr", FieldType::String, 20},
    {"Angkopf.DB", 60, "R_Memo", FieldType::Memo, 240},
    {"Auftkopf.DB", 47, "R_Memo", FieldType::Memo, 240},
    {"LSkopf.DB", 39, "R_Memo", FieldType::Memo, 240},
    {"Rechkopf.DB", 64, "R_Memo", FieldType::Memo, 240},
    {"Rgvkopf.DB", 66, "R_Memo", FieldType::FmtMemo, 240},
    {"RgvSatz.DB", 18, "S_Posart", FieldType::Smallint, 0},
};

TEST(FamilySchemas, SampledFields) {
    for (const FieldSample& sample : kFieldSamples) {
        SCOPED_TRACE(std::string(sample.table) + " field " + std::to_string(sample.number));
        const auto& fields = schema(sample.table).def.fields;
        ASSERT_GE(fields.size(), sample.number);
        if (!sample.name) { // the sample names the last field
            EXPECT_EQ(fields.size(), sample.number);
            continue;
        }
        const table::FieldDef& field = fields[sample.number - 1];
        EXPECT_EQ(field.name, QString::fromUtf8(sample.name));
        EXPECT_EQ(field.type, sample.type);
        EXPECT_EQ(field.size, sample.size);
    }
}

struct IndexSample {
    const char* table;
    const char* name;
    QStringList fields;
    bool unique;
    bool descending;
};

const IndexSample kIndexSamples[] = {
    {"Kunden.DB", "K_INr", {"K_Nr"}, true, false},
    {"Kunden.DB", "K_IAjahr", {"K_ID", "K_Aktjahr"}, false, false},
    {"Liefrnt.DB", "K_IAJahr", {"K_ID", "K_AktJahr"}, false, false},
    {"KundDV.DB", "I_ODate", {"OD_KundID", "OD_Date"}, false, true},
    {"ObjDV.DB", "I_ODate", {"OD_ObjID", "OD_Date"}, false, true},
    {"PersDV.DB", "I_ODate", {"OD_PersID", "OD_Date"}, false, true},
    {"AdrJour.DB", "I_AdrDT", {"AJ_Adr", "AJ_Date", "AJ_TIme"}, false, false},
    {"Apnames.DB", "I_ApSort", {"AP_Sort"}, true, false},
    {"Objekte.DB", "O_IKunde", {"O_Kunde", "O_Nr"}, false, false},
    {"OMieter.DB", "OM_I_OBN", {"OM_Onr", "OM_Bereich", "OM_Nr"}, false, false},
    {"Notdnst.DB", "ND_I_Nr", {"ND_Nr"}, true, false},
    {"Krkassen.db", "I_KKMatch", {"KK_Match"}, true, false},
    {"Taetig.DB", "I_TNr", {"T_Nr"}, true, false},
    {"Artikel.DB", "A_IArtNo", {"A_ArtNo"}, false, false},
    {"Angkopf.DB", "I_Beschr", {"R_Beschreibung"}, false, false},
    {"LSkopf.DB", "R_ILiefTermObj", {"R_Lieftermin", "R_ObjektNr"}, false, false},
    {"Rechkopf.DB", "I_Vorlage", {"R_ANr"}, false, false},
    {"Gskopf.DB", "R_IFormNr", {"R_FormNr"}, false, false},
    {"Rgvkopf.DB", "R_INr", {"R_Nr"}, false, false},
    {"Rgvkopf.DB", "R_IKundeObj", {"R_KundenNr", "R_ObjektNr", "R_Nr"}, false, false},
    {"RgvSatz.DB", "S_IRef", {"S_Ref", "S_PosNr"}, false, false},
};

TEST(FamilySchemas, SampledIndexes) {
    for (const IndexSample& sample : kIndexSamples) {
        SCOPED_TRACE(std::string(sample.table) + " " + sample.name);
        const auto& indexes = schema(sample.table).def.indexes;
        const auto it = std::find_if(indexes.begin(), indexes.end(), [&](const auto& index) {
            return index.name == QString::fromUtf8(sample.name);
        });
        ASSERT_NE(it, indexes.end());
        EXPECT_EQ(it->fields, sample.fields);
        EXPECT_EQ(it->unique, sample.unique);
        EXPECT_EQ(it->descending, sample.descending);
    }
    // Index order matters to the repair lists: the first and last of a table.
    const auto& kunden = schema("Kunden.DB").def.indexes;
    EXPECT_EQ(kunden.first().name, QStringLiteral("K_IAjahr"));
    EXPECT_EQ(kunden.last().name, QStringLiteral("K_INr"));
    for (const char* table : {"DVgroups.DB", "ORgHDef.DB", "Fremdlst.DB", "Rechplan.DB"})
        EXPECT_TRUE(schema(table).def.indexes.isEmpty()) << table;
}

TEST(FamilySchemas, DefaultRowsAsDescribed) {
    const auto& apnames = schema("Apnames.DB").defaultRows;
    ASSERT_EQ(apnames.size(), 3);
    EXPECT_EQ(apnames[0], QVariantList({0, 1, QStringLiteral("Manueller Eintrag")}));
    EXPECT_EQ(apnames[2], QVariantList({2, 3, QStringLiteral("Mailing")}));

    const auto& groups = schema("DVgroups.DB").defaultRows;
    ASSERT_EQ(groups.size(), 10);
    for (int i = 0; i < groups.size(); ++i)
        EXPECT_EQ(groups[i].value(0), QVariant(i + 1));
    EXPECT_EQ(groups[0], QVariantList({1, 0, QStringLiteral("Textdokumente"),
                                       QStringLiteral("*,doc,dot,rtf,txt"),
                                       QStringLiteral("File://"), QString(""), QString("")}));
    EXPECT_EQ(groups[4].value(4), QVariant(QStringLiteral("Http://")));
    EXPECT_EQ(groups[7].mid(1, 3),
              QVariantList({5, QStringLiteral("Explorer starten"), QStringLiteral("*")}));

    const auto& texts = schema("ORgHDef.DB").defaultRows;
    ASSERT_EQ(texts.size(), 1);
    EXPECT_EQ(texts[0],
              QVariantList({0, QStringLiteral("ohne Kopf/Fuß"), QString(""), QString("")}));

    // Two values only: the other eighteen fields stay null.
    const auto& insurers = schema("Krkassen.db").defaultRows;
    ASSERT_EQ(insurers.size(), 1);
    EXPECT_EQ(insurers[0], QVariantList({1, QStringLiteral(".")}));

    for (const TableSchema& s : families().tables()) {
        const bool hasRows =
            QSet<QString>{"Apnames.DB", "DVgroups.DB", "ORgHDef.DB", "Krkassen.db"}.contains(
                s.def.name);
        EXPECT_EQ(!s.defaultRows.isEmpty(), hasRows) << s.def.name.toStdString();
    }
}

TEST(FamilySchemas, FillInValuesByFieldNumber) {
    const auto find = [](const char* table, int number) {
        for (const auto& [n, value] : schema(table).fillIns) {
            if (n == number)
                return value;
        }
        return QVariant(QStringLiteral("<none>"));
    };
    EXPECT_EQ(find("Objekte.DB", 67), QVariant(true)); // O_Aktiv
    EXPECT_EQ(find("Objekte.DB", 26), QVariant(1));    // O_Zahlintervall
    EXPECT_EQ(find("Objekte.DB", 45), QVariant(false));
    EXPECT_EQ(find("Objekte.DB", 103), QVariant(QString(""))); // O_Planinfo
    EXPECT_EQ(find("Objekte.DB", 1), QVariant(QStringLiteral("<none>")));
    EXPECT_EQ(schema("Objekte.DB").fillIns.size(), 44);
    EXPECT_EQ(find("ObjTaet.db", 8), QVariant(0));
    EXPECT_EQ(find("ObjTaet.db", 9), QVariant(QString("")));
    EXPECT_EQ(find("ORgDef.db", 6).toDouble(), 1.0); // T_Menge
    EXPECT_EQ(find("ORgDef.db", 17), QVariant(0));
    EXPECT_EQ(find("Taetig.DB", 13), QVariant(0));
    EXPECT_EQ(find("Artikel.DB", 2), QVariant(0)); // A_ObjID: a general article

    QStringList withFillIns;
    for (const TableSchema& s : families().tables()) {
        if (!s.fillIns.isEmpty())
            withFillIns.append(s.def.name);
    }
    EXPECT_EQ(withFillIns,
              QStringList({"Objekte.DB", "ObjTaet.db", "ORgDef.db", "Taetig.DB", "Artikel.DB"}));
}

QStringList fieldNames(const char* table) {
    QStringList names;
    for (const table::FieldDef& field : schema(table).def.fields)
        names.append(field.name + QLatin1Char(' ') + QString::number(int(field.type)) +
                     QLatin1Char(' ') + QString::number(field.size));
    return names;
}

// Tables that share a layout must not drift apart in transcription.
TEST(FamilySchemas, SharedLayoutsAgree) {
    EXPECT_EQ(fieldNames("Liefrnt.DB").mid(0, 36), fieldNames("Kunden.DB").mid(0, 36));

    QStringList customer = fieldNames("KundDV.DB"), object = fieldNames("ObjDV.DB"),
                staff = fieldNames("PersDV.DB");
    EXPECT_EQ(object[1], QStringLiteral("OD_ObjID %1 0").arg(int(FieldType::Integer)));
    EXPECT_EQ(staff[1], QStringLiteral("OD_PersID %1 0").arg(int(FieldType::Integer)));
    customer.removeAt(1), object.removeAt(1), staff.removeAt(1);
    EXPECT_EQ(object, customer);
    EXPECT_EQ(staff, customer);

    // Same fields, in their own order; copies between them go by name.
    QStringList invoiceLines = fieldNames("RechSatz.DB"), creditLines = fieldNames("GsSatz.DB");
    invoiceLines.sort();
    creditLines.sort();
    EXPECT_EQ(creditLines, invoiceLines);

    QStringList invoiceHeads = fieldNames("Rechkopf.DB"), creditHeads = fieldNames("Gskopf.DB");
    invoiceHeads.removeIf([](const QString& f) { return f.startsWith("R_SammelRgText "); });
    invoiceHeads.sort();
    creditHeads.sort();
    EXPECT_EQ(creditHeads, invoiceHeads);

    for (const char* positions :
         {"AngSatz.DB", "AuftSatz.DB", "LSsatz.DB", "RechSatz.DB", "GsSatz.DB", "RgvSatz.DB"})
        EXPECT_EQ(fieldNames(positions).first().section(' ', 0, 0), QStringLiteral("S_ID"));
}

TEST(FamilySchemas, NamesResolveWithoutRegardToCase) {
    const TableSchemas& s = families();
    for (const char* name : {"Kunden.DB", "kunden.db", "KUNDEN", "Kunden"})
        EXPECT_EQ(s.find(QString::fromUtf8(name)), &schema("Kunden.DB")) << name;
    EXPECT_EQ(s.find(QStringLiteral("objtaet.DB")), &schema("ObjTaet.db"));
    EXPECT_EQ(s.find(QStringLiteral("Kunde.DB")), nullptr);
}

} // namespace
