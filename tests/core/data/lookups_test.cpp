#include "core/data/datamodule.h"
#include "core/data/lookups.h"
#include "dbstructure/databasebuilder.h"
#include "moduledbfixture.h"
#include "platform/table/database.h"
#include "platform/table/table.h"

#include <functional>

namespace {

class Lookups : public datatest::ModuleDbFixture {};

TEST_F(Lookups, FindTheFieldOrGiveTheDefault) {
    addRow(QStringLiteral("Objekte.DB"), {{QStringLiteral("O_ID"), 1},
                                          {QStringLiteral("O_Nr"), 10},
                                          {QStringLiteral("O_Kunde"), 500},
                                          {QStringLiteral("O_Aktiv"), true},
                                          {QStringLiteral("O_Match"), QStringLiteral("HAUS")}});
    addRow(QStringLiteral("Objekte.DB"),
           {{QStringLiteral("O_ID"), 2}, {QStringLiteral("O_Nr"), 11}});
    addRow(QStringLiteral("Kunden.DB"), {{QStringLiteral("K_ID"), 4},
                                         {QStringLiteral("K_Nr"), 500},
                                         {QStringLiteral("K_Match"), QStringLiteral("MEIER")}});
    for (int id : {1, 2})
        addRow(QStringLiteral("Artikel.db"),
               {{QStringLiteral("A_ID"), id},
                {QStringLiteral("A_ArtNo"), QStringLiteral("000001")},
                {QStringLiteral("A_ObjID"), id == 1 ? 0 : 5},
                {QStringLiteral("A_Preis1"), id * 2.5},
                {QStringLiteral("A_HauptLiefID"), id == 1 ? 33 : 44}});
    createModule();
    struct Case {
        const char* name;
        std::function<QVariant()> call;
        QVariant expected;
    } cases[] = {
        {"object id", [] { return QVariant(GetObjektIdByNr(10)); }, 1},
        {"object id missing", [] { return QVariant(GetObjektIdByNr(99)); }, 0},
        {"object nr", [] { return QVariant(GetObjektNrById(2)); }, 11},
        {"object customer", [] { return QVariant(GetObjektKundeByNr(10)); }, 500},
        {"object customer null", [] { return QVariant(GetObjektKundeById(2)); }, 0},
        {"object customer by lookup", [] { return QVariant(LookupObjektKunde(10)); }, 500},
        {"object match", [] { return QVariant(GetObjektMatchByNr(10)); }, QStringLiteral("HAUS")},
        {"object match missing", [] { return QVariant(GetObjektMatchByNr(99)); }, QString()},
        {"customer id", [] { return QVariant(GetKundeIdByNr(500)); }, 4},
        {"customer match", [] { return QVariant(GetKundeMatchByNr(500)); },
         QStringLiteral("MEIER")},
        {"central article",
         [] { return QVariant(GetArtikelIdByArtNo(0, QStringLiteral("000001"))); }, 1},
        {"object's copy", [] { return QVariant(GetArtikelIdByArtNo(5, QStringLiteral("000001"))); },
         2},
        {"other object", [] { return QVariant(GetArtikelIdByArtNo(7, QStringLiteral("000001"))); },
         0},
        {"price", [] { return QVariant(GetArtikelPreis1(2)); }, 5.0},
        {"main supplier of the central article",
         [] { return QVariant(GetArtikelHauptLiefId(QStringLiteral("000001"))); }, 33},
        {"payment interval text", [] { return QVariant(GetZahlIntervText(999)); },
         QStringLiteral("Manuelle Rechnung")},
        {"time type text", [] { return QVariant(GetZeitartLangtext(999)); }, QStringLiteral("???")},
        {"delivery note", [] { return QVariant(GetLSNrById(999)); }, QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.call(), c.expected);
    }
    EXPECT_FALSE(dm->TabZeitart().isOpen()) << "opened only for the call";
}

TEST_F(Lookups, ASupplierLookupMovesTheSharedSupplierObject) {
    for (int id : {1, 2})
        addRow(QStringLiteral("Liefrnt.db"),
               {{QStringLiteral("K_ID"), id},
                {QStringLiteral("K_Nr"), 70 + id},
                {QStringLiteral("K_Match"), QStringLiteral("L%1").arg(id)}});
    createModule();
    table::Table& t = dm->TabLieferant();
    t.first();
    EXPECT_EQ(GetLieferantMatchByNr(72), QStringLiteral("L2"));
    EXPECT_EQ(t.field(QStringLiteral("K_ID")).asInteger(), 2);
    EXPECT_EQ(GetLieferantIdByNr(99), 0);
}

TEST_F(Lookups, FindPlzIdPrefersPostcodeAndTownThenPostcodeThenTown) {
    const struct {
        int id;
        const char* plz;
        const char* ort;
    } rows[] = {{1, "12345", "Adorf"}, {2, "12345", "Bdorf"}, {3, "99999", "Cstadt"}};
    ASSERT_TRUE(dbstructure::CreatePlzTable(*table::aliases::database(QStringLiteral("LumoDB"))));
    for (const auto& r : rows)
        addRow(QStringLiteral("PLZ.DB"), {{QStringLiteral("P_ID"), r.id},
                                          {QStringLiteral("PLZ"), QString::fromLatin1(r.plz)},
                                          {QStringLiteral("ORT"), QString::fromLatin1(r.ort)}});
    createModule();
    const struct {
        const char* text;
        int expected;
    } cases[] = {{"12345|Bdorf", 2},
                 {"12345|Cstadt", 1},
                 {"|Cstadt", 3},
                 {"Cstadt", 3},
                 {"00000|Nirgends", 0}};
    for (const auto& c : cases)
        EXPECT_EQ(FindPlzId(QString::fromLatin1(c.text)), c.expected) << c.text;
    EXPECT_EQ(GetOrtById(2), QStringLiteral("Bdorf"));
    EXPECT_EQ(GetPlzById(9), QString());
}

TEST_F(Lookups, OpenDeliveryNoteOfAnObjectAndMasterCounts) {
    const struct {
        int id, objekt, buchung, typ;
        const char* nr;
    } heads[] = {
        {1, 10, 1, 0, "L1"}, {2, 10, 0, 1, "L2"}, {3, 10, 0, 0, "L3"}, {4, 11, 0, 0, "L4"}};
    for (const auto& h : heads)
        addRow(QStringLiteral("LSkopf.DB"), {{QStringLiteral("R_ID"), h.id},
                                             {QStringLiteral("R_ObjektNr"), h.objekt},
                                             {QStringLiteral("R_Buchung"), h.buchung},
                                             {QStringLiteral("R_LsTyp"), h.typ},
                                             {QStringLiteral("R_Nr"), QString::fromLatin1(h.nr)}});
    addRow(QStringLiteral("Kunden.DB"), {{QStringLiteral("K_ID"), 1}, {QStringLiteral("K_Nr"), 1}});
    addRow(QStringLiteral("Objekte.DB"), {{QStringLiteral("O_ID"), 1},
                                          {QStringLiteral("O_Nr"), 1},
                                          {QStringLiteral("O_Aktiv"), true}});
    // An inactive object is not shown and not counted.
    addRow(QStringLiteral("Objekte.DB"), {{QStringLiteral("O_ID"), 2},
                                          {QStringLiteral("O_Nr"), 2},
                                          {QStringLiteral("O_Aktiv"), false}});
    createModule();
    QString nr = QStringLiteral("alt");
    EXPECT_EQ(FindOpenLSOfObjekt(10, 0, nr), 3);
    EXPECT_EQ(nr, QStringLiteral("L3"));
    EXPECT_EQ(FindOpenLSOfObjekt(12, 0, nr), 0);
    EXPECT_EQ(nr, QString());
    EXPECT_EQ(GetOpenLSNrById(1), QString()) << "billed";
    EXPECT_EQ(GetOpenLSNrById(2), QStringLiteral("L2"));
    QVariant von = 5, bis = 5;
    GetTourObjektZeiten(1, 1, von, bis);
    EXPECT_EQ(von.toInt(), 0);
    EXPECT_EQ(bis.toInt(), 0);
    EXPECT_EQ(CountMasterRecords(), 2);
}

} // namespace
