#include "commercial/bookingfixture.h"
#include "commercial/documents/documentnumberchange.h"
#include "commercial/documents/documentsupport.h"
#include "commercial/documents/headaddresses.h"
#include "commercial/documents/headfills.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/files/filehelpers.h"
#include "core/files/programdirs.h"

#include <QFile>
#include <gtest/gtest.h>

using table::Table;

namespace {

const QString kHead = QStringLiteral("Rechkopf.DB");

// Customer 100 with object 700 (object, billing and customer addresses),
// an address-book entry and an invoice head 1 on object 700.
class DocumentHeads : public bookingtest::Bookings {
protected:
    void SetUp() override {
        Bookings::SetUp();
        setRow(QStringLiteral("Objekte.DB"), QStringLiteral("O_ID"), 7,
               {{"O_Name1", "Wohnanlage Süd"},
                {"O_Strasse", "Südring 4"},
                {"O_Plz", "50999"},
                {"O_Ort", "Köln"},
                {"O_RgName1", "Hausverwaltung Nord"},
                {"O_RgOrt", "Bonn"},
                {"O_KopienRG", 3},
                {"O_RgZahlbed1", 95}});
        setRow(QStringLiteral("Kunden.DB"), QStringLiteral("K_ID"), 1,
               {{"K_Name1", "Müller GmbH"},
                {"K_Name2", "Einkauf"},
                {"K_Ort", "Essen"},
                {"K_RechBed", 96},
                {"K_FibuKonto", 0.0}});
        addRow(QStringLiteral("Adress.DB"),
               {{QStringLiteral("A_ID"), 40},
                {QStringLiteral("A_Nr"), 4},
                {QStringLiteral("A_Name1"), QStringLiteral("Hausmeister Kurz")},
                {QStringLiteral("A_Ort"), QStringLiteral("Hürth")}});
        addRow(kHead, {{QStringLiteral("R_ID"), 1},
                       {QStringLiteral("R_Nr"), QStringLiteral("RE-06-  17")},
                       {QStringLiteral("R_ObjektNr"), 700},
                       {QStringLiteral("R_KundenNr"), 100},
                       {QStringLiteral("R_AnrID1"), 40},
                       {QStringLiteral("R_OName3"), QStringLiteral("bleibt")},
                       {QStringLiteral("R_DatumDruck"), QDate(2006, 3, 1)}});
        addRow(QStringLiteral("Zahlbed.DB"),
               {{QStringLiteral("Z_ID"), 95},
                {QStringLiteral("Z_Text"), QStringLiteral("14 Tage 2 %")},
                {QStringLiteral("Z_Skonto"), 2.0},
                {QStringLiteral("Z_Tage"), 14},
                {QStringLiteral("Z_Skonto2"), 1.0},
                {QStringLiteral("Z_Tage2"), 21},
                {QStringLiteral("Z_NettoTage"), 30}});
        addRow(
            QStringLiteral("Zahlbed.DB"),
            {{QStringLiteral("Z_ID"), 96}, {QStringLiteral("Z_Text"), QStringLiteral("sofort")}});
        refreshSharedTables();
        head = open(kHead);
        ASSERT_TRUE(head->locate({QStringLiteral("R_ID")}, {1}));
    }
    void setRow(const QString& file, const QString& key, int id,
                const QList<std::pair<const char*, QVariant>>& values) {
        auto t = open(file);
        ASSERT_TRUE(t->locate({key}, {id}));
        t->edit();
        for (const auto& [name, value] : values)
            t->field(QString::fromLatin1(name)).setValue(value);
        t->post();
    }
    QString stored(const char* field) {
        auto t = open(kHead);
        t->locate({QStringLiteral("R_ID")}, {1});
        return t->field(QString::fromLatin1(field)).asString();
    }
    std::unique_ptr<Table> head;
};

TEST_F(DocumentHeads, PaymentTermIsCopiedIntoTheHead) {
    EXPECT_FALSE(ApplyZahlbedToKopf(97, *head));
    EXPECT_EQ(head->state(), table::TableState::Browse);
    ASSERT_TRUE(ApplyZahlbedToKopf(95, *head));
    EXPECT_EQ(head->state(), table::TableState::Edit); // the caller posts
    head->post();
    EXPECT_EQ(stored("R_ZahlBedID"), QStringLiteral("95"));
    EXPECT_EQ(stored("R_ZahlBed"), QStringLiteral("14 Tage 2 %"));
    EXPECT_DOUBLE_EQ((*head)[QStringLiteral("R_ZahlBedSkonto2")].asFloat(), 1.0);
    EXPECT_EQ((*head)[QStringLiteral("R_ZahlBedTage2")].asInteger(), 21);
    EXPECT_EQ((*head)[QStringLiteral("R_ZahlBedNettoTage")].asInteger(), 30);
}

TEST_F(DocumentHeads, AddressCopiesFillTheAddressBlockAndPost) {
    struct Case {
        std::function<bool(Table&)> copy;
        const char* name1;
        const char* ort;
    };
    const Case cases[] = {
        {[](Table& h) { return CopyObjektAdresseToKopf(h); }, "Wohnanlage Süd", "Köln"},
        {[](Table& h) { return CopyObjektRgAdresseToKopf(h); }, "Hausverwaltung Nord", "Bonn"},
        {[](Table& h) { return CopyKundenAdresseToKopf(h); }, "Müller GmbH", "Essen"},
        {[](Table& h) { return CopyAdressbuchAdresseToKopf(h, 4); }, "Hausmeister Kurz", "Hürth"},
        {[](Table& h) { return CopyZusatzAdresseToKopf(h, u'1'); }, "Hausmeister Kurz", "Hürth"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name1);
        ASSERT_TRUE(c.copy(*head));
        EXPECT_EQ(head->state(), table::TableState::Browse);
        EXPECT_EQ(stored("R_OName1"), QString::fromUtf8(c.name1));
        EXPECT_EQ(stored("R_OOrt"), QString::fromUtf8(c.ort));
    }
    // Empty source fields empty the head's; a missing address changes nothing.
    EXPECT_EQ(stored("R_OName3"), QString());
    EXPECT_FALSE(CopyAdressbuchAdresseToKopf(*head, 99));
    EXPECT_FALSE(CopyZusatzAdresseToKopf(*head, u'2'));
    EXPECT_EQ(stored("R_OName1"), QStringLiteral("Hausmeister Kurz"));
    // Unposted for the address editor, which writes on "Überneh&men".
    ASSERT_TRUE(CopyKundenAdresseToKopf(*head, false));
    EXPECT_TRUE(head->isEditing());
    EXPECT_EQ(stored("R_OName1"), QStringLiteral("Hausmeister Kurz"));
    head->cancel();
}

TEST_F(DocumentHeads, NumberChangeProposesChecksAndWrites) {
    table::Table& company = dm->TabFirmen();
    company.edit();
    company[QStringLiteral("F_FormatNrRg")] = QStringLiteral("RE-jj-####");
    company.post();
    // The running number in the mask of the print date's year.
    EXPECT_EQ(ProposedDocumentNumber(TDocKind::Rechnung, *head, QStringLiteral("R_DatumDruck")),
              QStringLiteral("RE-06-  17"));
    EXPECT_EQ(ProposedDocumentNumber(TDocKind::Rechnung, *head, QStringLiteral("R_PlanDatum"),
                                     QDate(2024, 1, 5)),
              QStringLiteral("RE-24-  17"));

    addRow(QStringLiteral("raliste.db"), {{QStringLiteral("R_ID"), 1},
                                          {QStringLiteral("R_Nr"), QStringLiteral("RE-06-  18")},
                                          {QStringLiteral("R_Satzart"), 0}});
    addRow(kHead,
           {{QStringLiteral("R_ID"), 2}, {QStringLiteral("R_Nr"), QStringLiteral("RE-06-  19")}});
    for (const char* taken : {"RE-06-  18", "RE-06-  19"}) {
        EXPECT_FALSE(WriteDocumentNumber(TDocKind::Rechnung, *head, QString::fromLatin1(taken)));
        EXPECT_EQ(presenter.boxes.last().text, DocNrTakenText);
    }
    EXPECT_EQ(stored("R_Nr"), QStringLiteral("RE-06-  17"));
    ASSERT_TRUE(WriteDocumentNumber(TDocKind::Rechnung, *head, QStringLiteral("RE-06-  20")));
    EXPECT_EQ(stored("R_Nr"), QStringLiteral("RE-06-  20"));
    const int boxes = int(presenter.boxes.size());
    EXPECT_FALSE(WriteDocumentNumber(TDocKind::Rechnung, *head, QStringLiteral("RE-06-  20")));
    EXPECT_EQ(presenter.boxes.size(), boxes);
}

TEST_F(DocumentHeads, ObjectFillTakesBillingAddressObjectTermAndCustomer) {
    (*head).edit();
    (*head)[QStringLiteral("R_AnrID0")] = 40;
    (*head)[QStringLiteral("R_FKontoNr")] = 5;
    (*head).post();
    // The offer's way: no accounting number, contact references cleared, not posted.
    FillKopfFromObjekt(*head, 700, {false, true, true, false});
    EXPECT_EQ(head->state(), table::TableState::Edit);
    EXPECT_EQ((*head)[QStringLiteral("R_AnrID0")].asInteger(), 0);
    EXPECT_EQ((*head)[QStringLiteral("R_FKontoNr")].asInteger(), 5);
    head->cancel();

    FillKopfFromObjekt(*head, 700);
    EXPECT_EQ(head->state(), table::TableState::Browse);
    EXPECT_EQ(stored("R_ObjektNr"), QStringLiteral("700"));
    EXPECT_EQ(stored("R_OName1"), QStringLiteral("Hausverwaltung Nord")); // billing address
    EXPECT_EQ(stored("R_OStrasse"), QString());                           // empty there too
    EXPECT_EQ(stored("R_ZahlBedID"), QStringLiteral("95"));               // the object's term
    EXPECT_EQ(stored("R_KundenNr"), QStringLiteral("100"));
    EXPECT_EQ(stored("R_Kname1"), QStringLiteral("Müller GmbH"));
    EXPECT_EQ(stored("R_FKontoNr"), QStringLiteral("100")); // no accounting number: the customer's
    EXPECT_EQ(stored("R_AnrID0"), QStringLiteral("40"));

    // Object 800 has no term and no billing address.
    FillKopfFromObjekt(*head, 800);
    EXPECT_EQ(stored("R_ZahlBedID"), QStringLiteral("96")); // the customer's term
    EXPECT_EQ(stored("R_OName1"), QString());
}

TEST_F(DocumentHeads, CustomerFillKeepsATermAndAsksForTheAddress) {
    int asked = 0;
    FillKopfFromKunde(*head, 100, [&] { return ++asked, false; });
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(stored("R_Kname2"), QStringLiteral("Einkauf"));
    EXPECT_EQ(stored("R_ZahlBedID"), QStringLiteral("96")); // the head had none
    EXPECT_EQ(stored("R_OName3"), QStringLiteral("bleibt"));

    ApplyZahlbedToKopf(95, *head);
    head->post();
    FillKopfFromKunde(*head, 100, [] { return true; });
    EXPECT_EQ(stored("R_ZahlBedID"), QStringLiteral("95")); // a term stays
    EXPECT_EQ(stored("R_OName1"), QStringLiteral("Müller GmbH"));
    EXPECT_EQ(stored("R_OName3"), QString());
    EXPECT_EQ(stored("R_OOrt"), QStringLiteral("Essen"));

    // Delivery notes take no term from the customer.
    addRow(kHead, {{QStringLiteral("R_ID"), 3}});
    ASSERT_TRUE(head->locate({QStringLiteral("R_ID")}, {3}));
    THeadFillOptions noTerm;
    noTerm.customerZahlbed = false;
    FillKopfFromKunde(*head, 100, {}, noTerm);
    EXPECT_EQ((*head)[QStringLiteral("R_KundenNr")].asInteger(), 100);
    EXPECT_EQ((*head)[QStringLiteral("R_ZahlBedID")].asInteger(), 0);
}

TEST(DocumentSupport, FormIdOfLayoutPath) {
    const struct {
        const char* path;
        const char* id;
    } cases[] = {
        {"/daten/Formulare/ORM10001.QFD", "10001"},
        {"orm10001.qfd", "10001"},
        {"ORM1.QFD", "?????????"},
        {"Rechnung.txt", "?????????"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormIdOfLayoutPath(QString::fromLatin1(c.path)), QString::fromLatin1(c.id));
}

TEST_F(DocumentHeads, SuppressFlagsPerForm) {
    const QString file = ProgramDir + QStringLiteral("Suppress.txt");
    TSuppressFlags flags{true, false, true};
    LoadSuppressFlags(QStringLiteral("ORM10000.QFD"), flags); // no file: untouched
    EXPECT_TRUE(flags.Netto && !flags.Brutto && flags.Mwst);
    ASSERT_TRUE(WriteTextDataFile(
        file, {QStringLiteral("110000 netto"), QStringLiteral("10002 BRUTTO Mwst"),
               QStringLiteral("10002 Brutto"), QStringLiteral("20000 NETTO MWST")}));
    const struct {
        const char* layout;
        bool netto, brutto, mwst;
    } cases[] = {
        {"ORM10000.QFD", true, false, false}, // found inside 110000
        {"ORM10002.QFD", false, true, false}, // the later line wins
        {"ORM30000.QFD", false, false, false},
        {"Rechnung", false, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.layout);
        TSuppressFlags f;
        LoadSuppressFlags(QString::fromLatin1(c.layout), f);
        EXPECT_EQ(f.Netto, c.netto);
        EXPECT_EQ(f.Brutto, c.brutto);
        EXPECT_EQ(f.Mwst, c.mwst);
    }
    QFile::remove(file);
}

} // namespace
