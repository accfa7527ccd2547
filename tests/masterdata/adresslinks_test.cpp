#include "adressfixture.h"
#include "core/values/money.h"
#include "masterdata/adresscopy.h"
#include "masterdata/adressdocs.h"

#include <QDate>

using namespace Qt::StringLiterals;

namespace {

class AdressLinks : public AdressFixture {
protected:
    void SetUp() override {
        AdressFixture::SetUp();
        addRow(u"Adress.DB"_s, {{u"A_ID"_s, 7},
                                {u"A_Nr"_s, 70},
                                {u"A_Match"_s, u"MEIER"_s},
                                {u"A_Name1"_s, u"Meier GmbH"_s},
                                {u"A_Name3"_s, u"Anna"_s},
                                {u"A_Strasse"_s, u"Hauptstr. 1"_s},
                                {u"A_Plz"_s, u"53111"_s},
                                {u"A_Ort"_s, u"Bonn"_s},
                                {u"A_Telefon"_s, u"0228 1"_s},
                                {u"A_Handy"_s, u"0171 2"_s},
                                {u"A_Email"_s, u"info@meier.example"_s},
                                {u"A_Fax"_s, u"0228 3"_s},
                                {u"A_Website"_s, u"meier.example"_s},
                                {u"A_KundenNr"_s, 5}});
        ASSERT_TRUE(adress().locate({u"A_ID"_s}, {7}));
    }
    QVariant valueOf(const QString& table, const QString& keyField, int key, const QString& field) {
        auto t = open(table);
        return t->lookup({keyField}, {key}, field);
    }
};

TEST(MapAdressFieldName, RenamesOnlyTheThreeDifferingFields) {
    EXPECT_EQ(MapAdressFieldName(u"K_Telefon"_s), u"K_Tel1"_s);
    EXPECT_EQ(MapAdressFieldName(u"k_handy"_s), u"K_Tel2"_s);
    EXPECT_EQ(MapAdressFieldName(u"P_Name3"_s), u"P_Vorname"_s);
    EXPECT_EQ(MapAdressFieldName(u"O_Telefon"_s), u"O_Telefon"_s);
    EXPECT_EQ(MapAdressFieldName(u"K_Name3"_s), u"K_Name3"_s);
}

TEST_F(AdressLinks, LinkPickersWriteOnlyADifferentNonZeroNumber) {
    EXPECT_FALSE(SetAdressLink(adress(), u"A_KundenNr"_s, 0));
    EXPECT_FALSE(SetAdressLink(adress(), u"A_KundenNr"_s, 5));
    EXPECT_FALSE(adress().isEditing());
    EXPECT_TRUE(SetAdressLink(adress(), u"A_ObjektNr"_s, 12));
    EXPECT_TRUE(adress().isEditing());
    adress().post();
    EXPECT_EQ(valueOf(u"Adress.DB"_s, u"A_ID"_s, 7, u"A_ObjektNr"_s).toInt(), 12);
    ClearAdressLink(adress(), u"A_KundenNr"_s);
    adress().post();
    EXPECT_TRUE(valueOf(u"Adress.DB"_s, u"A_ID"_s, 7, u"A_KundenNr"_s).isNull());
}

TEST_F(AdressLinks, AppendFromAdressMapsTheFieldsOfEachMasterTable) {
    struct Case {
        QString table, prefix, keyField, field, expected;
    };
    const Case cases[] = {
        {u"TabKunden"_s, u"K"_s, u"K_Name1"_s, u"K_Tel1"_s, u"0228 1"_s},
        {u"TabKunden"_s, u"K"_s, u"K_Name1"_s, u"K_Tel2"_s, u"0171 2"_s},
        {u"TabKunden"_s, u"K"_s, u"K_Name1"_s, u"K_Name3"_s, u"Anna"_s},
        {u"TabPersonal"_s, u"P"_s, u"P_Name1"_s, u"P_Vorname"_s, u"Anna"_s},
        {u"TabPersonal"_s, u"P"_s, u"P_Name1"_s, u"P_Telefon"_s, u"0228 1"_s},
        {u"TabObjekt"_s, u"O"_s, u"O_Name1"_s, u"O_Telefon"_s, u"0228 1"_s},
        {u"TabObjekt"_s, u"O"_s, u"O_Name1"_s, u"O_Ort"_s, u"Bonn"_s},
        {u"TabNotdienst"_s, u"ND"_s, u"ND_Name1"_s, u"ND_Email"_s, u"info@meier.example"_s},
        {u"TabKunden"_s, u"K"_s, u"K_Name1"_s, u"K_Website"_s, u"meier.example"_s},
        {u"TabPersonal"_s, u"P"_s, u"P_Name1"_s, u"P_Handy"_s, u"0171 2"_s},
        {u"TabPersonal"_s, u"P"_s, u"P_Name1"_s, u"P_Match"_s, u"MEIER"_s},
        {u"TabObjekt"_s, u"O"_s, u"O_Name1"_s, u"O_Email"_s, u"info@meier.example"_s},
        {u"TabObjekt"_s, u"O"_s, u"O_Name1"_s, u"O_Website"_s, u"meier.example"_s},
        {u"TabObjekt"_s, u"O"_s, u"O_Name1"_s, u"O_Name3"_s, u"Anna"_s},
        {u"TabNotdienst"_s, u"ND"_s, u"ND_Name1"_s, u"ND_Fax"_s, u"0228 3"_s},
        {u"TabNotdienst"_s, u"ND"_s, u"ND_Name1"_s, u"ND_Strasse"_s, u"Hauptstr. 1"_s},
        {u"TabLieferant"_s, u"K"_s, u"K_Name1"_s, u"K_Plz"_s, u"53111"_s},
        {u"TabLieferant"_s, u"K"_s, u"K_Name1"_s, u"K_Tel1"_s, u"0228 1"_s},
    };
    for (const Case& c : cases) {
        table::Table& target = dm->table(c.table);
        AppendFromAdress(adress(), target, c.prefix);
        EXPECT_FALSE(target.isEditing()) << c.table.toStdString();
        EXPECT_EQ(target.field(c.keyField).asString(), u"Meier GmbH"_s) << c.table.toStdString();
        EXPECT_EQ(target.field(c.field).asString(), c.expected)
            << c.table.toStdString() << " " << c.field.toStdString();
        target.deleteRecord();
    }
}

TEST_F(AdressLinks, PushAdressChangesUpdatesTheLinkedRecordsOnly) {
    addCustomer(1, 5);
    addCustomer(2, 6);
    addRow(u"Personal.DB"_s, {{u"P_ID"_s, 1}, {u"P_Nr"_s, 3}, {u"P_Name1"_s, u"alt"_s}});
    EXPECT_EQ(PushAdressChanges(adress()), 1); // staff 3 is not linked
    EXPECT_EQ(valueOf(u"Kunden.DB"_s, u"K_Nr"_s, 5, u"K_Name1"_s).toString(), u"Meier GmbH"_s);
    EXPECT_EQ(valueOf(u"Kunden.DB"_s, u"K_Nr"_s, 5, u"K_Tel1"_s).toString(), u"0228 1"_s);
    EXPECT_TRUE(valueOf(u"Kunden.DB"_s, u"K_Nr"_s, 6, u"K_Name1"_s).toString().isEmpty());
    EXPECT_EQ(valueOf(u"Personal.DB"_s, u"P_Nr"_s, 3, u"P_Name1"_s).toString(), u"alt"_s);
}

TEST_F(AdressLinks, ARefusingLinkedRecordIsNamedAndTheOthersStillGetTheChange) {
    addCustomer(1, 5);
    addRow(u"Personal.DB"_s, {{u"P_ID"_s, 1}, {u"P_Nr"_s, 3}, {u"P_Name1"_s, u"alt"_s}});
    adress().edit();
    adress()[u"A_PersonalNr"_s] = 3;
    adress().post();
    dm->TabKunden().beforePost += [](table::Table&) { throw DbError(u"Satz gesperrt"_s); };
    try {
        PushAdressChanges(adress());
        ADD_FAILURE() << "a refused post was reported as done";
    } catch (const DbError& error) {
        EXPECT_TRUE(error.message().contains(u"Kunde 5: Satz gesperrt"_s))
            << error.message().toStdString();
    }
    EXPECT_FALSE(dm->TabKunden().isEditing());
    EXPECT_TRUE(valueOf(u"Kunden.DB"_s, u"K_Nr"_s, 5, u"K_Name1"_s).toString().isEmpty());
    EXPECT_EQ(valueOf(u"Personal.DB"_s, u"P_Nr"_s, 3, u"P_Name1"_s).toString(), u"Meier GmbH"_s);
}

TEST(AdressDocCodes, PositionsNamesAndSources) {
    EXPECT_EQ(DocKindIndexOfCode(u"AN"_s), 0);
    EXPECT_EQ(DocKindIndexOfCode(u"AR"_s), 2);
    EXPECT_EQ(DocKindIndexOfCode(u"BE"_s), 8);
    EXPECT_EQ(DocKindIndexOfCode(u"XY"_s), 0);
    EXPECT_EQ(DocKindNameOfCode(u"OE"_s), u"Offene ER (OP)"_s);
    EXPECT_EQ(DocKindNameOfCode(u"OP"_s), u"Offene AR (OP)"_s);
    EXPECT_EQ(DocSourceNameOfCode(u"B"_s), u"Bewegungsdaten"_s);
    EXPECT_EQ(DocSourceNameOfCode(u"A"_s), u"Archivdaten"_s);
}

TEST_F(AdressLinks, DocumentLinesOfTheLinkedRecordTheFocusOrTheLinksChoose) {
    ASSERT_TRUE(adress().locate({u"A_ID"_s}, {7}));
    adress().edit();
    adress().field(u"A_ObjektNr"_s) = 9;
    adress().post();
    addRow(u"Rechkopf.DB"_s, {{u"R_ID"_s, 123},
                              {u"R_Nr"_s, u"R-17"_s},
                              {u"R_KundenNr"_s, 5},
                              {u"R_DatumDruck"_s, QDate(2026, 3, 4)},
                              {u"R_Brutto"_s, 119.5}});
    addRow(u"Angkopf.DB"_s, {{u"R_ID"_s, 4}, {u"R_Nr"_s, u"A-1"_s}, {u"R_ObjektNr"_s, 9}});
    addRow(u"Rechkopf.DB"_s, {{u"R_ID"_s, 8}, {u"R_Nr"_s, u"R-9"_s}, {u"R_KundenNr"_s, 5}},
           u"AblageDB"_s);

    QStringList lines;
    int kind = 0; // the focus on no link field: the object comes first
    EXPECT_EQ(CollectAdressDocuments(70, AllAdressDocCodes, kind, lines), 1);
    EXPECT_EQ(kind, DocsOfObjekt);
    EXPECT_EQ(lines, QStringList{u"AN:B00000004:A-1:  .  .    :"_s + FormatMoney(0, 0)});

    lines.clear();
    kind = DocsOfKunde;
    EXPECT_EQ(CollectAdressDocuments(70, AllAdressDocCodes, kind, lines), 2);
    EXPECT_EQ(lines.value(0), u"AR:B00000123:R-17:04.03.2026:"_s + FormatMoney(0, 119.5));
    EXPECT_TRUE(lines.value(1).startsWith(u"AR:A00000008:R-9:"_s));

    lines.clear();
    EXPECT_EQ(CollectAdressDocuments(70, u"AN;AU"_s, kind, lines), 0);
    kind = DocsOfLieferant; // not linked to a supplier
    EXPECT_EQ(CollectAdressDocuments(70, AllAdressDocCodes, kind, lines), 0);
    EXPECT_EQ(CollectAdressDocuments(999, AllAdressDocCodes, kind, lines), 0);
}

TEST_F(AdressLinks, SupplierDocumentsComeFromOrdersAndIncomingInvoices) {
    addRow(u"Adress.DB"_s, {{u"A_ID"_s, 8}, {u"A_Nr"_s, 80}, {u"A_LieferantNr"_s, 3}});
    addRow(u"bestkopf.db"_s, {{u"R_ID"_s, 1}, {u"R_Nr"_s, u"B-1"_s}, {u"R_LiefNr"_s, 3}});
    addRow(u"bestkopf.db"_s, {{u"R_ID"_s, 2}, {u"R_Nr"_s, u"B-2"_s}, {u"R_LiefNr"_s, 9}});
    addRow(u"ERkopf.DB"_s, {{u"R_ID"_s, 3}, {u"R_Nr"_s, u"E-3"_s}, {u"R_KundenNr"_s, 3}});
    addRow(u"OERkopf.DB"_s, {{u"R_ID"_s, 4}, {u"R_Nr"_s, u"O-4"_s}, {u"R_KundenNr"_s, 3}});
    addRow(u"ERkopf.DB"_s, {{u"R_ID"_s, 5}, {u"R_Nr"_s, u"E-5"_s}, {u"R_KundenNr"_s, 3}},
           u"AblageDB"_s);
    addRow(u"bestkopf.db"_s, {{u"R_ID"_s, 6}, {u"R_Nr"_s, u"B-6"_s}, {u"R_LiefNr"_s, 3}},
           u"AblageDB"_s);
    QStringList lines;
    int kind = 0; // only linked to the supplier
    EXPECT_EQ(CollectAdressDocuments(80, AllAdressDocCodes, kind, lines), 5);
    EXPECT_EQ(kind, DocsOfLieferant);
    QStringList heads;
    for (const QString& line : lines)
        heads << line.section(u':', 0, 2);
    EXPECT_EQ(heads,
              (QStringList{u"BE:B00000001:B-1"_s, u"BE:A00000006:B-6"_s, u"ER:B00000003:E-3"_s,
                           u"OE:B00000004:O-4"_s, u"ER:A00000005:E-5"_s}));
    lines.clear();
    EXPECT_EQ(CollectAdressDocuments(80, u"OE"_s, kind, lines), 1);
}

TEST_F(AdressLinks, AddressNumberTextOfAKey) {
    auto t = open(u"Adress.DB"_s);
    ASSERT_TRUE(t->locate({u"A_ID"_s}, {7}));
    QString text = u"x"_s;
    GetAdressNrText(&t->field(u"A_ID"_s), text);
    EXPECT_EQ(text, u"70"_s);
    GetAdressNrText(&t->field(u"A_KundenNr"_s), text); // 5 is no address key
    EXPECT_EQ(text, QString());
    text = u"x"_s;
    GetAdressNrText(nullptr, text);
    EXPECT_EQ(text, u"x"_s);
}

} // namespace
