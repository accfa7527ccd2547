#include "listfixture.h"
#include "platform/errors.h"
#include "platform/table/table.h"
#include "printing/companylogo.h"
#include "printing/layoutfile.h"
#include "printing/listentries.h"

#include <QImage>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class ListEntriesTest : public liststest::ListFixture {
protected:
    void customers() {
        int id = 0;
        for (const auto& [nr, name] : {std::pair{1, "Zeta"}, {2, "Alpha"}, {3, "Mitte"}})
            addRow(u"Kunden.DB"_s, {{u"K_ID"_s, ++id}, {u"K_Nr"_s, nr}, {u"K_Match"_s, name}});
        id = 0;
        for (const auto& [nr, name] : {std::pair{10, "Lief B"}, {11, "Lief A"}})
            addRow(u"Liefrnt.db"_s, {{u"K_ID"_s, ++id}, {u"K_Nr"_s, nr}, {u"K_Match"_s, name}});
    }
    void objects() {
        addRow(
            u"Objekte.DB"_s,
            {{u"O_ID"_s, 1}, {u"O_Nr"_s, 12}, {u"O_Match"_s, u"Muster"_s}, {u"O_Aktiv"_s, true}});
        addRow(
            u"Objekte.DB"_s,
            {{u"O_ID"_s, 2}, {u"O_Nr"_s, 13}, {u"O_Match"_s, u"Anderes"_s}, {u"O_Aktiv"_s, true}});
        addRow(u"Taetig.DB"_s, {{u"T_ID"_s, 1}, {u"T_Nr"_s, 100}, {u"T_Match"_s, u"Fegen"_s}});
        addRow(u"Taetig.DB"_s, {{u"T_ID"_s, 2}, {u"T_Nr"_s, 101}, {u"T_Match"_s, u"Mähen"_s}});
        const int rows[][3] = {{1, 12, 101}, {2, 13, 100}, {3, 12, 100}};
        for (const auto& r : rows)
            addRow(u"ObjTaet.db"_s,
                   {{u"TS_ID"_s, r[0]}, {u"TS_Objekt"_s, r[1]}, {u"TS_Taetigkeit"_s, r[2]}});
        addRow(u"Notdnst.DB"_s, {{u"ND_ID"_s, 1}, {u"ND_Nr"_s, 7}, {u"ND_Match"_s, u"Rohrfix"_s}});
        addRow(u"Notdnst.DB"_s,
               {{u"ND_ID"_s, 2}, {u"ND_Nr"_s, 8}, {u"ND_Match"_s, u"Dachdecker"_s}});
        addRow(u"ObjektND.db"_s, {{u"OND_ID"_s, 1}, {u"OND_ObjNr"_s, 12}, {u"OND_NdNr"_s, 7}});
        addRow(u"ObjektND.db"_s, {{u"OND_ID"_s, 2}, {u"OND_ObjNr"_s, 13}, {u"OND_NdNr"_s, 8}});
        addRow(u"OMieter.db"_s,
               {{u"OM_ID"_s, 1}, {u"OM_Onr"_s, 12}, {u"OM_Nr"_s, 1}, {u"OM_Name"_s, u"Huber"_s}});
        addRow(u"OMieter.db"_s,
               {{u"OM_ID"_s, 2}, {u"OM_Onr"_s, 13}, {u"OM_Nr"_s, 1}, {u"OM_Name"_s, u"Maier"_s}});
        addRow(u"Touren.db"_s,
               {{u"TO_ID"_s, 1}, {u"TO_Nr"_s, 5}, {u"TO_Beschreibung"_s, u"Nordtour"_s}});
        addRow(u"TourObj.db"_s, {{u"T_TourID"_s, 1}, {u"TO_TourNr"_s, 5}, {u"TO_Objekt"_s, 12}});
        addRow(u"TourObj.db"_s, {{u"T_TourID"_s, 2}, {u"TO_TourNr"_s, 6}, {u"TO_Objekt"_s, 13}});
    }
    void setCompany(const QString& head) {
        auto firmen = open(u"Firmen.DB"_s);
        if (firmen->isEmpty())
            firmen->append();
        else
            firmen->edit();
        firmen->field(u"F_NameIntern"_s) = u"Muster GmbH"_s;
        firmen->field(u"F_REListenKopf"_s) = head;
        firmen->post();
    }
};

TEST_F(ListEntriesTest, CustomerAndSupplierListsTakeTheWindowsOrderAndFilter) {
    customers();
    createModule();
    table::Table& kunden = dm->TabKunden();
    kunden.setIndexName(u"K_IMatch"_s);
    kunden.setFilter(u"K_Nr>1"_s);
    kunden.setFiltered(true);
    table::Table& lieferant = dm->TabLieferant();
    lieferant.setIndexName(u"K_INr"_s);
    lieferant.setFilter(u"K_Nr>10"_s);
    lieferant.setFiltered(false);
    const QStringList names{u"Zeta"_s, u"Alpha"_s, u"Mitte"_s, u"Lief A"_s, u"Lief B"_s};
    const struct {
        const char* what;
        std::function<void()> print;
        bool supplierFiltered;
        QStringList expected;
    } cases[] = {
        {"customers, whole table",
         [] { PrintKundList(true, false, u"Kunden"_s, {}); },
         false,
         {u"Alpha"_s, u"Mitte"_s, u"Zeta"_s}},
        {"customers, window's filter",
         [] { PrintKundList(true, true, u"KUNDEN.DB"_s, {}); },
         false,
         {u"Alpha"_s, u"Mitte"_s}},
        {"customer list of the supplier table",
         [] { PrintKundList(false, true, u"Liefrnt"_s, {}); },
         false,
         {u"Lief B"_s, u"Lief A"_s}},
        {"supplier list, filter copied but off",
         [] { PrintLiefList(true, true, u"Liefrnt.db"_s, {}); },
         false,
         {u"Lief B"_s, u"Lief A"_s}},
        {"supplier list, window filtered",
         [] { PrintLiefList(true, true, u"Liefrnt.db"_s, {}); },
         true,
         {u"Lief A"_s}},
        {"supplier list without the filter",
         [] { PrintLiefList(true, false, u"Liefrnt.db"_s, {}); },
         true,
         {u"Lief B"_s, u"Lief A"_s}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        lieferant.setFiltered(c.supplierFiltered);
        c.print();
        EXPECT_EQ(printed(names), c.expected);
    }
    EXPECT_EQ(outputs, 6);
    EXPECT_EQ(previews, (QList<bool>{true, true, false, true, true, true}));
}

TEST_F(ListEntriesTest, ListsOfOneObjectOrTourFilterAndNameItWithoutMovingTheWindow) {
    objects();
    createModule();
    table::Table& objekt = dm->TabObjekt();
    ASSERT_TRUE(objekt.locate({u"O_Nr"_s}, {12}));
    dm->TabTour().open();
    ASSERT_TRUE(dm->TabTour().locate({u"TO_Nr"_s}, {5}));
    // The object window has an edit pending: the title shows what it shows,
    // and the edit stays.
    objekt.edit();
    objekt.field(u"O_Match"_s) = u"Muster neu"_s;
    const int recNo = objekt.recNo();
    const QStringList rows{u"Fegen"_s, u"Mähen"_s, u"Rohrfix"_s, u"Dachdecker"_s,
                           u"Huber"_s, u"Maier"_s, u"Muster"_s,  u"Anderes"_s};
    const struct {
        const char* what;
        std::function<void()> print;
        QString title;
        QStringList expected;
    } cases[] = {
        {"activities",
         [] { PrintObjTaetig(12, true, {}); },
         u"Tätigkeiten-Liste zu Objekt-Nr. 12 -- Muster neu"_s,
         {u"Fegen"_s, u"Mähen"_s}},
        {"emergency services",
         [] { PrintObjNotdienst(12, true, {}); },
         u"Notdienst-Liste zu Objekt-Nr. 12 -- Muster neu"_s,
         {u"Rohrfix"_s}},
        {"tenants",
         [] { PrintMieterList(true, {}); },
         u"Mieter zu Objekt 12 -- Muster neu"_s,
         {u"Huber"_s}},
        // The tour's objects are looked up as they are stored.
        {"tour objects",
         [] { PrintTourObj(5, true, {}); },
         u"Objektliste zu Tour-Nr. 5 -- Nordtour"_s,
         {u"Muster"_s}},
        {"an object without activities",
         [] { PrintObjTaetig(14, true, {}); },
         u"Tätigkeiten-Liste zu Objekt-Nr. 12 -- Muster neu"_s,
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        c.print();
        EXPECT_TRUE(allTexts().contains(c.title)) << allTexts().join(u'|').toStdString();
        EXPECT_EQ(printed(rows), c.expected);
    }
    EXPECT_TRUE(objekt.isEditing());
    EXPECT_EQ(objekt.value(u"O_Match"_s).toString(), u"Muster neu"_s);
    EXPECT_EQ(objekt.recNo(), recNo);
    EXPECT_EQ(dm->TabTour().value(u"TO_Nr"_s).toInt(), 5);
}

TEST_F(ListEntriesTest, WarehouseAndSupplierLabels) {
    createModule();
    PrintArtList(true, 3, {});
    EXPECT_TRUE(allTexts().contains(u"[Lager3]"_s));
    PrintLiefArt(true, 17, u"Meier"_s, {});
    EXPECT_TRUE(allTexts().contains(u"Lieferant 17 [Meier]"_s));
}

TEST_F(ListEntriesTest, AnEmptyTableGivesOnePageWithTheWholeFrame) {
    setCompany(u"Hausmeisterdienst Muster"_s);
    createModule();
    PrintNotdienstList(true, {});
    ASSERT_EQ(pages.size(), 1);
    const QStringList texts = pages.first();
    for (const QString& text :
         {u"Hausmeisterdienst Muster"_s, u"Notdienste"_s, u"Datum:"_s, u"Kd-Nr."_s, u"Firmenname"_s,
          u"Ende der Liste"_s, u"Seite"_s, u"1"_s})
        EXPECT_TRUE(texts.contains(text)) << text.toStdString();
    EXPECT_FALSE(texts.filter(QRegularExpression(u"^\\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d Uhr$"_s))
                     .isEmpty())
        << texts.join(u'|').toStdString();
    // Optional fields and spare labels stay off, and so does their band.
    EXPECT_FALSE(texts.contains(u"Branche"_s));
    EXPECT_FALSE(texts.contains(u"Reserve1"_s));
}

TEST_F(ListEntriesTest, AnEnabledOptionalFieldPrintsItsBand) {
    addRow(u"Notdnst.DB"_s, {{u"ND_ID"_s, 1}, {u"ND_Nr"_s, 7}, {u"ND_Branche"_s, u"Sanitär"_s}});
    createModule();
    // A layout switching on one optional field with its caption.
    const QString layout = path(u"ORM30001.QFD"_s);
    {
        const auto designed = report::Report::create(u"TQRND01"_s);
        designed->component(u"ND_Branche"_s).enabled = true;
        designed->component(u"L_ND_Branche"_s).enabled = true;
        QFile f(layout);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(WriteFormLayout(*designed, u"Notdienste"_s, {}));
    }
    PrintNotdienstList(true, layout);
    EXPECT_TRUE(allTexts().contains(u"Sanitär"_s));
    EXPECT_TRUE(allTexts().contains(u"Branche"_s));
}

TEST_F(ListEntriesTest, AddressesWithTheirProtocolAndJournalEntries) {
    addRow(u"Adress.DB"_s, {{u"A_ID"_s, 1}, {u"A_Nr"_s, 1}, {u"A_Match"_s, u"Anton"_s}});
    addRow(u"Adress.DB"_s, {{u"A_ID"_s, 2}, {u"A_Nr"_s, 2}, {u"A_Match"_s, u"Berta"_s}});
    addRow(u"AdrProto.DB"_s, {{u"AP_ID"_s, 1}, {u"AP_Adr"_s, 1}, {u"AP_Text"_s, u"Anruf"_s}});
    addRow(u"AdrProto.DB"_s, {{u"AP_ID"_s, 2}, {u"AP_Adr"_s, 1}, {u"AP_Text"_s, u"Brief"_s}});
    addRow(u"AdrJour.db"_s, {{u"AJ_ID"_s, 1}, {u"AJ_Adr"_s, 2}, {u"AJ_Info"_s, u"Notiz"_s}});
    createModule();
    const QStringList texts{u"Anton"_s, u"Berta"_s, u"Anruf"_s, u"Brief"_s, u"Notiz"_s};
    PrintAdrProto(true, {});
    EXPECT_EQ(printed(texts), (QStringList{u"Anton"_s, u"Anruf"_s, u"Brief"_s, u"Berta"_s}));
    EXPECT_EQ(allTexts().count(u"Uhrzeit"_s), 2); // the captions under each address
    PrintAdrJour(true, {});
    EXPECT_EQ(printed(texts), (QStringList{u"Anton"_s, u"Berta"_s, u"Notiz"_s}));
    PrintAdressList(true, {});
    EXPECT_EQ(printed(texts), (QStringList{u"Anton"_s, u"Berta"_s}));
}

TEST_F(ListEntriesTest, BillingDatesGroupedByDefinition) {
    addRow(u"IvDefH.DB"_s,
           {{u"I_ID"_s, 901}, {u"I_DefNo"_s, 901}, {u"I_Comment"_s, u"Monatlich"_s}});
    addRow(u"IvDefH.DB"_s, {{u"I_ID"_s, 902}, {u"I_DefNo"_s, 902}, {u"I_Comment"_s, u"Quartal"_s}});
    const struct {
        int id, def, nr;
        QDate bill;
    } periods[] = {{9001, 901, 1, {2024, 1, 31}},
                   {9002, 902, 1, {2024, 3, 31}},
                   {9003, 901, 2, {2024, 2, 29}}};
    for (const auto& p : periods)
        addRow(u"IvDef.DB"_s, {{u"ID"_s, p.id},
                               {u"Def"_s, p.def},
                               {u"Nr"_s, p.nr},
                               {u"BillDate"_s, p.bill},
                               {u"CreateDate"_s, p.bill.addDays(-p.nr)}});
    createModule();
    PrintRgIntervList(true, {});
    EXPECT_EQ(
        printed({u"Monatlich"_s, u"Quartal"_s, u"31.01.2024"_s, u"29.02.2024"_s, u"31.03.2024"_s}),
        (QStringList{u"Monatlich"_s, u"31.01.2024"_s, u"29.02.2024"_s, u"Quartal"_s,
                     u"31.03.2024"_s}));
}

TEST_F(ListEntriesTest, CompanyPrintWithAndWithoutLogo) {
    setCompany(u"Kopf"_s);
    createModule();
    SetFirmenLogoLoader([](QImage& picture) {
        picture = QImage(8, 8, QImage::Format_RGB32);
        picture.fill(Qt::red);
        return true;
    });
    PrintFirmendaten(true, {});
    EXPECT_TRUE(allTexts().contains(u"Muster GmbH"_s));
    EXPECT_TRUE(allTexts().contains(u"<Bild>"_s));
    SetFirmenLogoLoader([](QImage&) { return false; });
    PrintFirmendaten(false, {});
    EXPECT_TRUE(allTexts().contains(u"Muster GmbH"_s));
    EXPECT_FALSE(allTexts().contains(u"<Bild>"_s));
    SetFirmenLogoLoader({});
}

TEST_F(ListEntriesTest, ASecondCallWhileTheListPrintsDoesNothing) {
    createModule();
    onOutput = [] { PrintBankList(true, {}); };
    PrintBankList(true, {});
    EXPECT_EQ(outputs, 1);
    onOutput = {};
    PrintBankList(true, {});
    EXPECT_EQ(outputs, 2);
}

TEST_F(ListEntriesTest, AnIndexTheTableLacksIsReportedAndFreesTheList) {
    createModule();
    dm->TabLieferant().setIndexName(u"K_IMatch"_s);
    for (int i = 0; i < 2; ++i) {
        try {
            PrintKundList(true, false, u"Personal.DB"_s, {});
            ADD_FAILURE() << "no error";
        } catch (const DbError& e) {
            EXPECT_TRUE(e.message().contains(u"K_IMatch"_s)) << e.message().toStdString();
        }
    }
    EXPECT_EQ(outputs, 0);
}

TEST_F(ListEntriesTest, EntriesByNameWithTheWindowsArguments) {
    objects();
    customers();
    createModule();
    ASSERT_TRUE(dm->TabObjekt().locate({u"O_Nr"_s}, {12}));
    ASSERT_NE(FindListEntry(u"printobjtaetig"), nullptr);
    EXPECT_EQ(FindListEntry(u"PrintNichts"), nullptr);
    FindListEntry(u"PrintObjTaetig")(true, {}, {});
    EXPECT_EQ(printed({u"Fegen"_s, u"Mähen"_s}), (QStringList{u"Fegen"_s, u"Mähen"_s}));
    ListEntryArgs other;
    other.objektNr = 13;
    FindListEntry(u"PrintObjTaetig")(true, {}, other);
    EXPECT_EQ(printed({u"Fegen"_s, u"Mähen"_s}), (QStringList{u"Fegen"_s}));
    FindListEntry(u"PrintKundList")(true, {}, {});
    EXPECT_EQ(printed({u"Zeta"_s, u"Lief A"_s}), (QStringList{u"Zeta"_s}));
    ASSERT_TRUE(dm->TabLieferant().locate({u"K_Nr"_s}, {11}));
    FindListEntry(u"PrintLiefArt")(true, {}, {});
    EXPECT_TRUE(allTexts().contains(u"Lieferant 11 [Lief A]"_s));
    FindListEntry(u"PrintLiefList")(true, {}, {});
    EXPECT_EQ(printed({u"Zeta"_s, u"Lief A"_s}), (QStringList{u"Lief A"_s}));
}

} // namespace
