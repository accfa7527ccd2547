#include "commercial/bookings/umsatztemptable.h"
#include "commercial/documents/fakturainit.h"
#include "commercial/documents/kopffusstext.h"
#include "commercial/fakturafixture.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

using fakturatest::s;

// The parts of the record a fill sequence decides.
struct Seen {
    QString OMatch, OName1, OName2, OStrasse, OPlz, OOrt, OMemo;
    int ZahlBedID;
    QString ZahlBed;
    double Skonto;
    int Tage;
    int KundenNr;
    QString KMatch, KName1, KTel1;
    int FibuKonto;

    static Seen of(const TFakturaInitRec& r) {
        return {r.OMatch, r.OName1,    r.OName2,  r.OStrasse, r.OPlz, r.OOrt,
                r.OMemo,  r.ZahlBedID, r.ZahlBed, r.Skonto,   r.Tage, r.KundenNr,
                r.KMatch, r.KName1,    r.KTel1,   r.FibuKonto};
    }
    bool operator==(const Seen&) const = default;
};

void PrintTo(const Seen& x, std::ostream* os) {
    *os << x.OMatch.toStdString() << "|" << x.OName1.toStdString() << "|"
        << x.OStrasse.toStdString() << "|term " << x.ZahlBedID << " " << x.Tage << "d " << x.Skonto
        << "%|cust " << x.KundenNr << " " << x.KMatch.toStdString() << "|acct " << x.FibuKonto;
}

const QString kTerm3 = s("Zahlbar innerhalb von 14 Tagen, 2% Abzug");
const QString kTerm5 = s("Zahlbar innerhalb von 30 Tagen, 3% Abzug");
const QString kTerm2 = s("Zahlbar innerhalb von 14 Tagen ohne Abzug");

class FakturaInit : public fakturatest::Faktura {};

TEST_F(FakturaInit, FillSequencesAsTheEditorsRunThem) {
    struct Case {
        const char* name;
        std::function<void(TFakturaInitRec&)> fill;
        Seen expected;
    };
    const QString lang10 = s("Lange Bezeichnung 10");
    const QString lang20 = s("Lange Bezeichnung 20");
    const Case cases[] = {
        {"object with a term keeps it over the customer's; account 0 gives the number",
         [](TFakturaInitRec& r) { InitFakturaObjekt(10, r); },
         {s("OBJ10"), s("Wohnanlage 10"), s("Haus A"), s("Gartenweg 10"), s("12345"),
          s("Musterstadt"), lang10, 3, kTerm3, 2, 14, 100, s("MEIER"), s("Meier GmbH"),
          s("030-111"), 100}},
        {"object without a term takes the customer's, whose account rounds",
         [](TFakturaInitRec& r) { InitFakturaObjekt(20, r); },
         {s("OBJ20"),
          s("Wohnanlage 20"),
          s("Haus A"),
          s("Gartenweg 20"),
          s("12345"),
          s("Musterstadt"),
          lang20,
          0,
          {},
          0,
          0,
          200,
          s("SCHULZ"),
          s("Schulz"),
          {},
          4711}},
        {"billing address replaces the object address",
         [](TFakturaInitRec& r) {
             InitFakturaObjekt(10, r);
             InitFakturaObjektRg(10, r);
         },
         {s("OBJ10"), s("Meier GmbH Buchhaltung"), s("Postfach"), s("Postfach 12"), s("10001"),
          s("Berlin"), lang10, 3, kTerm3, 2, 14, 100, s("MEIER"), s("Meier GmbH"), s("030-111"),
          100}},
        {"an empty billing address empties the block",
         [](TFakturaInitRec& r) {
             InitFakturaObjekt(20, r);
             InitFakturaObjektRg(20, r);
         },
         {s("OBJ20"),
          {},
          {},
          {},
          {},
          {},
          lang20,
          0,
          {},
          0,
          0,
          200,
          s("SCHULZ"),
          s("Schulz"),
          {},
          4711}},
        {"object without customer",
         [](TFakturaInitRec& r) { InitFakturaObjekt(30, r); },
         {s("OBJ30"),
          s("Wohnanlage 30"),
          s("Haus A"),
          s("Gartenweg 30"),
          s("12345"),
          s("Musterstadt"),
          s("Lange Bezeichnung 30"),
          0,
          {},
          0,
          0,
          0,
          {},
          {},
          {},
          0}},
        {"customer alone with its term",
         [](TFakturaInitRec& r) { InitFakturaKunde(100, r); },
         {{},
          {},
          {},
          {},
          {},
          {},
          {},
          5,
          kTerm5,
          3,
          30,
          100,
          s("MEIER"),
          s("Meier GmbH"),
          s("030-111"),
          100}},
        {"supplier in place of the customer",
         [](TFakturaInitRec& r) { InitFakturaLieferant(300, r); },
         {s("LIEFER"),
          s("Lieferant AG"),
          {},
          {},
          s("20095"),
          s("Hamburg"),
          {},
          2,
          kTerm2,
          0,
          14,
          300,
          {},
          {},
          {},
          300}},
        {"unknown object, customer and supplier change nothing",
         [](TFakturaInitRec& r) {
             InitFakturaObjekt(99, r);
             InitFakturaObjektRg(99, r);
             InitFakturaKunde(999, r);
             InitFakturaLieferant(999, r);
         },
         {}},
        {"unknown object after a customer leaves the customer",
         [](TFakturaInitRec& r) {
             InitFakturaKunde(200, r);
             InitFakturaObjektBlock(99, r);
         },
         {{}, {}, {}, {}, {}, {}, {}, 0, {}, 0, 0, 200, s("SCHULZ"), s("Schulz"), {}, 4711}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TFakturaInitRec r;
        c.fill(r);
        EXPECT_EQ(Seen::of(r), c.expected);
    }
}

TEST_F(FakturaInit, UnknownPaymentTermKeepsTheRecord) {
    TFakturaInitRec r;
    EXPECT_TRUE(InitFakturaZahlbed(5, r));
    EXPECT_FALSE(InitFakturaZahlbed(77, r));
    EXPECT_EQ(r.ZahlBedID, 5);
    EXPECT_EQ(r.ZahlBed, kTerm5);
    EXPECT_EQ(r.NettoTage, 0);
}

TEST_F(FakturaInit, FillKopfWritesTheHeadWithoutPosting) {
    TFakturaInitRec r;
    InitFakturaObjekt(10, r);
    InitFakturaObjektRg(10, r);
    r.AnrID = {7, 8, 9};
    r.AdrZweck = {s("Hausmeister"), {}, s("Verwalter")};
    auto head = open(s("Rgvkopf.db"));
    head->append();
    head->field(s("R_ID")).setValue(1);
    head->post();
    FillKopfObjekt(*head, r);
    EXPECT_EQ(head->state(), table::TableState::Edit);
    FillKopfZahlbed(*head, r, true);
    FillKopfKunde(*head, r);
    FillKopfAdrRefs(*head, r);
    const struct {
        const char* field;
        QVariant value;
    } expected[] = {
        {"R_OMatch", s("OBJ10")},
        {"R_OName1", s("Meier GmbH Buchhaltung")},
        {"R_OName3", QString()},
        {"R_OStrasse", s("Postfach 12")},
        {"R_OPlz", s("10001")},
        {"R_OOrt", s("Berlin")},
        {"R_Memo", s("Lange Bezeichnung 10")},
        {"R_ZahlBedID", 3},
        {"R_ZahlBed", kTerm3},
        {"R_ZahlBedSkonto", 2.0},
        {"R_ZahlBedTage", 14},
        {"R_FKontoNr", 100},
        {"R_KundenNr", 100},
        {"R_KMatch", s("MEIER")},
        {"R_Kname2", s("Hausverwaltung")},
        {"R_KStrasse", s("Hauptstraße 1")},
        {"R_AnrID1", 8},
        {"R_AdrZweck2", s("Verwalter")},
    };
    for (const auto& e : expected) {
        SCOPED_TRACE(e.field);
        EXPECT_EQ(head->field(QString::fromLatin1(e.field)).value(), e.value);
    }
    // Nothing is stored until the caller posts.
    EXPECT_TRUE(open(s("Rgvkopf.db"))->field(s("R_OMatch")).isNull());

    FillKopfObjektFromKunde(*head, r);
    EXPECT_EQ(head->field(s("R_OName1")).asString(), s("Meier GmbH"));
    EXPECT_EQ(head->field(s("R_OStrasse")).asString(), s("Hauptstraße 1"));
    EXPECT_EQ(head->field(s("R_OMatch")).asString(), s("OBJ10"));
    head->post();

    // A head kind without an accounting number or payment term takes the rest.
    auto offer = open(s("Angkopf.DB"));
    offer->append();
    offer->field(s("R_ID")).setValue(1);
    FillKopfZahlbed(*offer, r, true);
    EXPECT_EQ(offer->field(s("R_ZahlBedID")).asInteger(), 3);
    auto deliveryNote = open(s("LSkopf.DB"));
    deliveryNote->append();
    EXPECT_NO_THROW(FillKopfZahlbed(*deliveryNote, r, true));
}

TEST_F(FakturaInit, NextRgvNrTakesTheFirstFreeCounter) {
    auto addTemplate = [this](int id, const QString& nr) {
        addRow(s("Rgvkopf.db"), {{s("R_ID"), id}, {s("R_Nr"), nr}});
    };
    EXPECT_EQ(NextRgvNr(123), s("RV123_01"));
    addTemplate(1, s("RV123_01"));
    addTemplate(2, s("RV123_03"));
    addTemplate(3, s("RV1234_02"));
    EXPECT_EQ(NextRgvNr(123), s("RV123_02"));
    EXPECT_EQ(NextRgvNr(1234), s("RV1234_01"));
    addTemplate(4, s("RV123_02"));
    EXPECT_EQ(NextRgvNr(123), s("RV123_04"));
    auto heads = open(s("Rgvkopf.db"));
    table::Transaction tx(*heads->database());
    for (int counter = 4; counter <= 99; ++counter)
        heads->appendRecord({counter + 1, s("RV123_%1").arg(counter, 2, 10, QLatin1Char('0'))});
    tx.commit();
    EXPECT_EQ(NextRgvNr(123), s("RV123_100"));
}

TEST_F(FakturaInit, LoadKopfFussText) {
    addRow(s("ORgHDef.DB"), {{s("RH_ID"), 4},
                             {s("RH_KurzBezeich"), s("Standard")},
                             {s("RH_KopfText"), s("Sehr geehrte Damen und Herren,")},
                             {s("RH_FussText"), s("Mit freundlichen Grüßen")}});
    addRow(s("ORgHDef.DB"), {{s("RH_ID"), 5}});
    const struct {
        int id;
        const char* kopf;
        const char* fuss;
    } cases[] = {
        {4, "Sehr geehrte Damen und Herren,", "Mit freundlichen Grüßen"},
        {5, "", ""},
        {0, "", ""},
        {77, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        QString kopf = s("alt");
        QString fuss = s("alt");
        LoadKopfFussText(c.id, kopf, fuss);
        EXPECT_EQ(kopf, s(c.kopf));
        EXPECT_EQ(fuss, s(c.fuss));
    }
}

TEST_F(FakturaInit, CreateUmsatzTempTableRefusesANameInUse) {
    CreateUmsatzTempTable(s("LumoDB"), s("UmsTmp.DB"));
    auto db = table::aliases::database(s("LumoDB"));
    const table::TableDef def = db->tableDef(s("UmsTmp.DB"));
    QStringList fields;
    for (const table::FieldDef& f : def.fields)
        fields << f.name;
    EXPECT_EQ(fields.join(u','),
              s("R_ID,R_Nr,R_KundenNr,R_KMatch,R_ObjektNr,R_OMatch,R_DatumDruck,R_Netto,"
                "R_Netto0,R_Netto1,R_Netto2,R_Brutto,R_Mwst,R_Mwst0,R_Mwst1,R_Mwst2,"
                "R_FaelligDatum,R_Selected,R_Satzart,R_Buchtext"));
    ASSERT_EQ(def.indexes.size(), 2);
    EXPECT_EQ(def.indexes[0].name, s("I_KdObjSaDat"));
    EXPECT_EQ(def.indexes[0].fields.join(u';'), s("R_KundenNr;R_ObjektNr;R_Satzart;R_DatumDruck"));
    EXPECT_EQ(def.indexes[1].fields.join(u';'), s("R_ObjektNr;R_Satzart;R_DatumDruck"));
    EXPECT_TRUE(def.indexes[0].caseInsensitive && def.indexes[1].caseInsensitive);

    // The refused second creation keeps the table and its rows.
    addRow(s("UmsTmp.DB"), {{s("R_ID"), 1}, {s("R_KMatch"), s("meier")}, {s("R_Satzart"), 2}});
    EXPECT_THROW(CreateUmsatzTempTable(s("LumoDB"), s("UmsTmp.DB")), DbError);
    EXPECT_THROW(CreateUmsatzTempTable(s("LumoDB"), s("Kunden.DB")), DbError);
    EXPECT_EQ(open(s("UmsTmp.DB"))->recordCount(), 1);
}

} // namespace
