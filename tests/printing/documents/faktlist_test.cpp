#include "core/values/money.h"
#include "documentprintfixture.h"
#include "printing/faktlistprint.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class FaktList : public docprint::DocumentPrintFixture {
protected:
    void mark(const QString& table, int id, bool on, const QString& alias = u"LumoDB"_s) {
        auto t = open(table, alias);
        ASSERT_TRUE(t->locate({u"R_ID"_s}, {id}));
        t->edit();
        t->field(u"R_Selected"_s).setValue(on);
        t->post();
    }
    static QString money(double amount) { return FormatMoney(1, amount); }
};

TEST_F(FaktList, MarkedInvoicesWithTitleAndTotalsOfWhatPrinted) {
    addHead(u"Rechkopf.DB"_s, 1, u"R-1"_s, {{u"R_KMatch"_s, u"Müller"_s}});
    addHead(u"Rechkopf.DB"_s, 2, u"R-2"_s,
            {{u"R_Netto"_s, 10.0}, {u"R_Mwst"_s, 1.9}, {u"R_Brutto"_s, 11.9}});
    addHead(u"Rechkopf.DB"_s, 3, u"R-3"_s);
    mark(u"Rechkopf.DB"_s, 1, true);
    mark(u"Rechkopf.DB"_s, 2, true);
    PrintFaktList(true, u"Rechnungen"_s, QString(), u"R_INr"_s, u"Rechkopf.DB"_s, u"LumoDB"_s);
    ASSERT_EQ(outputs, 1);
    EXPECT_TRUE(printed.preview);
    EXPECT_EQ(printed.of(u"L_Titel"_s), QStringList{u"Listenausdruck Rechnungen"_s});
    EXPECT_EQ(printed.of(u"R_RgNr"_s), (QStringList{u"R-1"_s, u"R-2"_s}));
    EXPECT_EQ(printed.of(u"R_KundenName"_s).value(0), u"Müller"_s);
    EXPECT_EQ(printed.of(u"L_SummeNetto"_s), QStringList{money(110.0)});
    EXPECT_EQ(printed.of(u"L_SummeMwst"_s), QStringList{money(20.9)});
    EXPECT_EQ(printed.of(u"L_SummeBrutto"_s), QStringList{money(130.9)});
    const QString stamp = printed.of(u"QRDatum"_s).value(0);
    EXPECT_TRUE(stamp.endsWith(u" Uhr"_s)) << stamp.toStdString();
    EXPECT_EQ(stamp.size(), QStringLiteral("dd.mm.yyyy hh:nn Uhr").size());
    EXPECT_TRUE(printed.has(u"Rg-Datum"_s));
    EXPECT_TRUE(printed.has(u"Gesamtstand"_s));
}

TEST_F(FaktList, NoneMarkedPrintsHeadersAndZeroTotals) {
    addHead(u"Rechkopf.DB"_s, 1, u"R-1"_s);
    PrintFaktList(false, u"Rechnungen"_s, QString(), u"R_INr"_s, u"Rechkopf.DB"_s, u"LumoDB"_s);
    ASSERT_EQ(outputs, 1);
    EXPECT_TRUE(printed.of(u"R_RgNr"_s).isEmpty());
    EXPECT_TRUE(printed.has(u"Kundenbezeichnung"_s));
    EXPECT_EQ(printed.of(u"L_SummeBrutto"_s), QStringList{money(0)});
}

TEST_F(FaktList, IncomingInvoicesAreListedMarkedOrNot) {
    addHead(u"ERKopf.DB"_s, 1, u"E-1"_s);
    addHead(u"ERKopf.DB"_s, 2, u"E-2"_s);
    PrintFaktList(false, u"Eingangsrechnungen"_s, QString(), u"R_INr"_s, u"ERKopf.DB"_s,
                  u"LumoDB"_s);
    EXPECT_EQ(printed.of(u"R_RgNr"_s), (QStringList{u"E-1"_s, u"E-2"_s}));
}

TEST_F(FaktList, ArchivedHeadsInTheOrderOfTheGivenIndex) {
    addHead(u"Angkopf.DB"_s, 1, u"B"_s, {{u"R_KundenNr"_s, 2}}, u"AblageDB"_s);
    addHead(u"Angkopf.DB"_s, 2, u"A"_s, {{u"R_KundenNr"_s, 1}}, u"AblageDB"_s);
    addHead(u"Angkopf.DB"_s, 3, u"C"_s, {}, u"LumoDB"_s); // another database
    mark(u"Angkopf.DB"_s, 1, true, u"AblageDB"_s);
    mark(u"Angkopf.DB"_s, 2, true, u"AblageDB"_s);
    mark(u"Angkopf.DB"_s, 3, true);
    PrintFaktList(false, u"Angebotsablage"_s, QString(), u"R_INr"_s, u"Angkopf.DB"_s,
                  u"AblageDB"_s);
    EXPECT_EQ(printed.of(u"L_Titel"_s), QStringList{u"Listenausdruck Angebotsablage"_s});
    EXPECT_EQ(printed.of(u"R_RgNr"_s), (QStringList{u"A"_s, u"B"_s}));
    PrintFaktList(false, u"Angebotsablage"_s, QString(), u"R_IKundenNr"_s, u"Angkopf.DB"_s,
                  u"AblageDB"_s);
    EXPECT_EQ(printed.of(u"R_RgNr"_s), (QStringList{u"A"_s, u"B"_s}));
    PrintFaktList(false, u"Angebotsablage"_s, QString(), QString(), u"Angkopf.DB"_s, u"AblageDB"_s);
    EXPECT_EQ(printed.of(u"R_RgNr"_s), (QStringList{u"B"_s, u"A"_s}));
}

TEST_F(FaktList, ALayoutWithoutTheVatAmountKeepsItsTotalAtZero) {
    addHead(u"Rechkopf.DB"_s, 1, u"R-1"_s);
    mark(u"Rechkopf.DB"_s, 1, true);
    const QString layout = writeLayoutOf(81001, u"TQR_FaktList01"_s, enable({u"R_Mwst"_s}, false));
    PrintFaktList(false, u"Rechnungen"_s, layout, u"R_INr"_s, u"Rechkopf.DB"_s, u"LumoDB"_s);
    EXPECT_TRUE(printed.of(u"R_Mwst"_s).isEmpty());
    EXPECT_EQ(printed.of(u"L_SummeMwst"_s), QStringList{money(0)});
    EXPECT_EQ(printed.of(u"L_SummeBrutto"_s), QStringList{money(119.0)});
}

} // namespace
