#include "commercial/billing/rgvediting.h"
#include "commercial/billing/rgvtables.h"
#include "commercial/documentrulesfixture.h"
#include "commercial/recurringbillingfixture.h"
#include "commercial/rgvfixture.h"
#include "platform/errors.h"

#include <QDate>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using rgvtest::kHeads;
using rgvtest::kLines;

namespace {

class RgvTemplateRules : public rgvtest::RgvTemplates {};

TEST_F(RgvTemplateRules, ANewTemplateStartsEmptyWithTheDefaultsAndTheNextFreeKey) {
    addTemplate(4, u"RV500_01"_s, 500);
    openPair();
    AppendNewRgvHead(*head, 10001);
    const int id = FieldInt(*head, u"R_ID"_s);
    EXPECT_EQ(id, 5);
    for (const char* flag : {"R_AutoLS", "R_Ausgesetzt", "R_LeerRechnungErlaubt", "R_Selected"})
        EXPECT_EQ(stored(id, QLatin1String(flag)), QVariant(false)) << flag;
    EXPECT_EQ(stored(id, u"R_Nr"_s).toString(), QString());
    EXPECT_EQ(stored(id, u"R_PrintFormNo"_s).toInt(), 10001);
    EXPECT_EQ(stored(id, u"R_RgState"_s).toInt(), 2);
    EXPECT_EQ(stored(id, u"R_Intervall"_s).toInt(), 0);
    EXPECT_TRUE(stored(id, u"R_DatumDruck"_s).isNull());
    EXPECT_TRUE(stored(id, u"R_PlanDatum"_s).isNull());
}

TEST_F(RgvTemplateRules, ChoosingTheObjectNumbersTheTemplateAfterTheObjectsOthers) {
    addObject(34, 1234, 100);
    openPair();
    AppendNewRgvHead(*head, 10000);
    SetRgvObjekt(*head, 1234);
    EXPECT_EQ(stored(1, u"R_Nr"_s).toString(), u"RV1234_01"_s);
    EXPECT_EQ(stored(1, u"R_ObjektNr"_s).toInt(), 1234);
    EXPECT_EQ(stored(1, u"R_KundenNr"_s).toInt(), 100);
    AppendNewRgvHead(*head, 10000);
    SetRgvObjekt(*head, 1234);
    EXPECT_EQ(stored(2, u"R_Nr"_s).toString(), u"RV1234_02"_s);
}

TEST_F(RgvTemplateRules, ANewLineIsAManualFreeLineOfModeZeroAtTodaysDefaultRate) {
    addTemplate(1, u"RV500_01"_s, 500);
    openPair();
    lines->append();
    lines->post();
    const int id = FieldInt(*lines, u"S_ID"_s);
    EXPECT_EQ(storedLine(id, u"S_Ref"_s).toInt(), 1);
    EXPECT_EQ(storedLine(id, u"S_PosNr"_s).toInt(), 1000000);
    EXPECT_EQ(storedLine(id, u"S_PosTyp"_s).toInt(), 4);
    EXPECT_EQ(storedLine(id, u"S_Posart"_s).toInt(), 0);
    EXPECT_EQ(storedLine(id, u"S_Quelle"_s).toInt(), 0);
    EXPECT_EQ(storedLine(id, u"S_QuellNr"_s).toString(), u"manuell"_s);
    EXPECT_EQ(storedLine(id, u"S_Menge"_s).toDouble(), 1.0);
    EXPECT_EQ(storedLine(id, u"S_Rechmode"_s).toInt(), 0);
    EXPECT_EQ(storedLine(id, u"S_Mwst"_s).toDouble(), 19.0);
}

TEST_F(RgvTemplateRules, LineChangesRecalculateTheLineAndTheTemplateSums) {
    addTemplate(1, u"RV500_01"_s, 500, {{u"R_DatumDruck"_s, QDate(2006, 5, 1)}});
    openPair();
    lines->append();
    (*lines)[u"S_Menge"_s] = 3;
    (*lines)[u"S_EPreis"_s] = 100.0;
    lines->post();
    EXPECT_EQ(FieldFloat(*lines, u"S_Netto"_s), 300.0);
    EXPECT_EQ(FieldFloat(*lines, u"S_Mwst"_s), 16.0) << "the rate at the template's date";
    ASSERT_TRUE(head->isEditing()) << "the sums wait in the head for its post";
    head->post();
    EXPECT_EQ(stored(1, u"R_Netto"_s).toDouble(), 300.0);
    EXPECT_EQ(stored(1, u"R_Brutto"_s).toDouble(), 348.0);
}

TEST_F(RgvTemplateRules, ATypedRateChoosesTheCodeWhoseRateItIsToday) {
    addTemplate(1, u"RV500_01"_s, 500, {{u"R_DatumDruck"_s, QDate(2006, 5, 1)}});
    addTemplateLine(1, 1, 1000000, 1, 100.0);
    openPair();
    const struct {
        double typed;
        int code;
    } cases[] = {{7.0, 2}, {19.0, 1}, {33.0, 0}, {0.0, 0}};
    for (const auto& c : cases) {
        lines->edit();
        (*lines)[u"S_MwstKz"_s] = 1;
        (*lines)[u"S_Mwst"_s] = c.typed;
        EXPECT_EQ(FieldInt(*lines, u"S_MwstKz"_s), c.code) << c.typed;
        lines->cancel();
    }
    // The line calculation writes the 16 % of code 1 at the template's date:
    // that keeps the code, though no code has 16 % today.
    lines->edit();
    (*lines)[u"S_EPreis"_s] = 50.0;
    EXPECT_EQ(FieldFloat(*lines, u"S_Mwst"_s), 16.0);
    EXPECT_EQ(FieldInt(*lines, u"S_MwstKz"_s), 1);
    lines->post();
}

TEST_F(RgvTemplateRules, ModesByActivityFrequencyNeedAnActivityPlannedAtTheObject) {
    planActivity(500, 77);
    addTemplate(1, u"RV500_01"_s, 500);
    const struct {
        int posTyp;
        QString srcNr;
        int mode;
        bool allowed;
    } cases[] = {
        {4, u""_s, 0, true},    {4, u""_s, 1, true},   {4, u""_s, 2, false},
        {0, u"77"_s, 2, false}, {1, u"77"_s, 2, true}, {1, u"78"_s, 2, false},
        {1, u"77"_s, 3, true},  {1, u"78"_s, 1, true},
    };
    int id = 0;
    for (const auto& c : cases) {
        ++id;
        addTemplateLine(id, 1, id * 1000000, 1, 10.0,
                        {{u"S_PosTyp"_s, c.posTyp}, {u"S_SrcNr"_s, c.srcNr}});
    }
    openPair();
    id = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(id);
        ASSERT_TRUE(lines->locate({u"S_ID"_s}, {++id}));
        EXPECT_EQ(RgvRechmodeAllowed(*lines, 500, c.mode), c.allowed);
        presenter.boxes.clear();
        lines->edit();
        if (c.allowed)
            (*lines)[u"S_Rechmode"_s] = c.mode;
        else
            EXPECT_THROW((*lines)[u"S_Rechmode"_s] = c.mode, Abort);
        EXPECT_EQ(FieldInt(*lines, u"S_Rechmode"_s), c.allowed ? c.mode : 0);
        EXPECT_EQ(errors(), c.allowed ? QStringList() : QStringList{RgvRechmodeRefusedText});
        lines->post();
    }
    EXPECT_FALSE(RgvRechmodeAllowed(*lines, 501, 2)) << "planned at another object";
}

TEST_F(RgvTemplateRules, AnActivityForALineOfModeTwoMustBePlannedAtTheObject) {
    planActivity(500, 77);
    addTemplate(1, u"RV500_01"_s, 500);
    addTemplateLine(1, 1, 1000000, 1, 10.0, {{u"S_PosTyp"_s, 4}, {u"S_Rechmode"_s, 2}});
    addTemplateLine(2, 1, 2000000, 1, 10.0,
                    {{u"S_PosTyp"_s, 1}, {u"S_SrcNr"_s, u"77"_s}, {u"S_Rechmode"_s, 2}});
    addTemplateLine(3, 1, 3000000, 1, 10.0, {{u"S_PosTyp"_s, 4}, {u"S_Rechmode"_s, 1}});
    openPair();
    auto allowed = [&](int line, int taetigNr) {
        EXPECT_TRUE(lines->locate({u"S_ID"_s}, {line}));
        return RgvActivityAllowed(*lines, 500, taetigNr);
    };
    EXPECT_FALSE(allowed(1, 77)) << "not an activity line yet";
    EXPECT_TRUE(allowed(2, 77));
    EXPECT_FALSE(allowed(2, 78));
    EXPECT_TRUE(allowed(3, 78)) << "mode 1 takes any activity";
}

TEST_F(RgvTemplateRules, ATemplateGoesWithItsLinesOrNotAtAll) {
    addTemplate(1, u"RV500_01"_s, 500);
    addTemplate(2, u"RV500_02"_s, 500);
    for (int i = 1; i <= 3; ++i)
        addTemplateLine(i, 1, i * 1000000, 1, 10.0);
    addTemplateLine(4, 2, 1000000, 1, 10.0);
    openPair();
    {
        doctest::LockedElsewhere locked(kLines);
        ASSERT_TRUE(head->locate({u"R_ID"_s}, {1}));
        EXPECT_ANY_THROW(head->deleteRecord());
        EXPECT_EQ(stored(1, u"R_Nr"_s).toString(), u"RV500_01"_s);
        EXPECT_EQ(lineCount(1), 3);
    }
    ASSERT_TRUE(head->locate({u"R_ID"_s}, {1}));
    head->deleteRecord();
    EXPECT_EQ(stored(1, u"R_Nr"_s).toString(), u"<kein Satz>"_s);
    EXPECT_EQ(lineCount(1), 0);
    EXPECT_EQ(lineCount(2), 1) << "another template's lines stay";
}

TEST_F(RgvTemplateRules, TheListRefusesNewHeads) {
    openPair({.headInsert = false});
    EXPECT_THROW(head->append(), Abort);
    EXPECT_EQ(errors(), QStringList{RgvHeadInListText});
    EXPECT_FALSE(head->isEditing());
}

// Definition 7 with creation dates stored out of order.
class RgvPlanDates : public rgvtest::RgvTemplates {
protected:
    void SetUp() override {
        rgvtest::RgvTemplates::SetUp();
        addRow(u"IvDefH.DB"_s, {{u"I_ID"_s, 7}, {u"I_DefNo"_s, 7}, {u"I_Comment"_s, u"Quartal"_s}});
        int id = 100;
        for (int month : {10, 7, 4, 1})
            addRow(u"IvDef.DB"_s,
                   {{u"ID"_s, ++id},
                    {u"Def"_s, 7},
                    {u"Nr"_s, id - 100},
                    {u"CreateDate"_s, QDate(2002, month, 1)},
                    {u"BillDate"_s, QDate(2002, month, 1)},
                    {u"RangeStart"_s, QDate(2002, month, 1)},
                    {u"RangeEnd"_s, QDate(2002, month, 1).addMonths(3).addDays(-1)}});
    }
};

TEST_F(RgvPlanDates, TheNextInvoiceIsTheEarliestComingCreationDateAfterNotBefore) {
    const QDate today = QDate::currentDate();
    const int year = today.year() + 1;
    addTemplate(1, u"RV500_01"_s, 500, {{u"R_Intervall"_s, 7}});
    openPair({.headInsert = false, .intervalPlanDate = true});
    SetRgvNotBefore(*head, QDate(year, 3, 15), today);
    EXPECT_EQ(stored(1, u"R_DatumDruck"_s).toDate(), QDate(year, 3, 15));
    EXPECT_EQ(stored(1, u"R_PlanDatum"_s).toDate(), QDate(year, 4, 1));
}

TEST_F(RgvPlanDates, AnIntervalChangeInTheListNamesItAndMovesTheNextInvoice) {
    const int year = QDate::currentDate().year() + 1;
    addTemplate(1, u"RV500_01"_s, 500, {{u"R_DatumDruck"_s, QDate(year, 8, 20)}});
    openPair({.headInsert = false, .intervalPlanDate = true});
    head->edit();
    (*head)[u"R_Intervall"_s] = 7;
    head->post();
    EXPECT_EQ(stored(1, u"R_IVname"_s).toString(), u"Quartal"_s);
    EXPECT_EQ(stored(1, u"R_PlanDatum"_s).toDate(), QDate(year, 10, 1));
    head->edit();
    (*head)[u"R_Intervall"_s] = 0;
    head->post();
    EXPECT_EQ(stored(1, u"R_IVname"_s).toString(), QString());
    EXPECT_TRUE(stored(1, u"R_PlanDatum"_s).isNull());
}

TEST_F(RgvPlanDates, TheEditorNamesTheIntervalButLeavesThePlanDate) {
    addTemplate(1, u"RV500_01"_s, 500,
                {{u"R_DatumDruck"_s, QDate(2030, 8, 20)}, {u"R_PlanDatum"_s, QDate(2030, 9, 9)}});
    openPair();
    head->edit();
    (*head)[u"R_Intervall"_s] = 7;
    head->post();
    EXPECT_EQ(stored(1, u"R_IVname"_s).toString(), u"Quartal"_s);
    EXPECT_EQ(stored(1, u"R_PlanDatum"_s).toDate(), QDate(2030, 9, 9));
}

class RgvDates : public rgvtest::RgvTemplates {
protected:
    void SetUp() override {
        rgvtest::RgvTemplates::SetUp();
        addTemplate(1, u"RV500_01"_s, 500, {{u"R_DatumDruck"_s, QDate(2006, 3, 15)}});
        addTemplateLine(1, 1, 1000000, 2, 100.0);
        addTemplateLine(2, 1, 2000000, 1, 50.0);
        openPair();
    }
};

TEST_F(RgvDates, NotBeforeGivesEveryLineTheRatesOfTheNewDate) {
    ChangeRgvNotBefore(*head, *lines, QDate(2007, 2, 1));
    EXPECT_EQ(stored(1, u"R_DatumDruck"_s).toDate(), QDate(2007, 2, 1));
    EXPECT_EQ(storedLine(1, u"S_Mwst"_s).toDouble(), 19.0);
    EXPECT_EQ(storedLine(2, u"S_Mwst"_s).toDouble(), 19.0);
    EXPECT_EQ(stored(1, u"R_Brutto"_s).toDouble(), 297.5);
    EXPECT_TRUE(stored(1, u"R_FaelligDatum"_s).isNull()) << "no due date";
    ChangeRgvNotBefore(*head, *lines, QDate(2006, 12, 31));
    EXPECT_EQ(storedLine(1, u"S_Mwst"_s).toDouble(), 16.0);
    EXPECT_EQ(stored(1, u"R_Brutto"_s).toDouble(), 290.0);
}

TEST_F(RgvDates, NotBeforeChangesNothingWhenALineCannotBeWritten) {
    {
        doctest::LockedElsewhere locked(kLines);
        EXPECT_THROW(ChangeRgvNotBefore(*head, *lines, QDate(2007, 2, 1)), DbError);
    }
    EXPECT_EQ(stored(1, u"R_DatumDruck"_s).toDate(), QDate(2006, 3, 15));
    EXPECT_EQ(storedLine(1, u"S_Mwst"_s).toDouble(), 16.0);
}

TEST_F(RgvDates, CalculatingDatesTheLastInvoiceTodayAndRecomputesAtTheTemplatesRates) {
    RecalcRgv(*head, *lines, QDate(2026, 12, 11));
    EXPECT_EQ(stored(1, u"R_DatumErstell"_s).toDate(), QDate(2026, 12, 11));
    EXPECT_EQ(storedLine(2, u"S_Netto"_s).toDouble(), 50.0);
    EXPECT_EQ(storedLine(2, u"S_Mwst"_s).toDouble(), 16.0) << "the rate of 15.03.2006";
    EXPECT_EQ(stored(1, u"R_Netto"_s).toDouble(), 250.0);
}

// An offer of object 500 with texts, terms and three lines (a normal, an
// alternative and a text line).
class RgvCopies : public rgvtest::RgvTemplates {
protected:
    void SetUp() override {
        rgvtest::RgvTemplates::SetUp();
        addSourceHead(u"Angkopf.DB"_s, 31, u"A-31"_s, 500);
        auto offer = open(u"Angkopf.DB"_s);
        ASSERT_TRUE(offer->locate({u"R_ID"_s}, {31}));
        offer->edit();
        for (const auto& [field, value] :
             QList<std::pair<QString, QVariant>>{{u"R_OMatch"_s, u"HAUS AM SEE"_s},
                                                 {u"R_KundenNr"_s, 100},
                                                 {u"R_KMatch"_s, u"KUNDE 100"_s},
                                                 {u"R_ZahlBedID"_s, 33},
                                                 {u"R_ZahlBed"_s, u"14 Tage netto"_s},
                                                 {u"R_ZahlBedNettoTage"_s, 14},
                                                 {u"R_KFID"_s, 4},
                                                 {u"R_KopfText"_s, u"Kopf"_s},
                                                 {u"R_FussText"_s, u"Fuß"_s},
                                                 {u"R_AdrZweck1"_s, u"Hausmeister"_s},
                                                 {u"R_AdrZweck2"_s, u"Verwalter"_s}})
            (*offer)[field] = value;
        offer->post();
        offer.reset();
        addSourceLine(u"AngSatz.DB"_s, 31, {1, 1000000, 0, 2});
        addSourceLine(u"AngSatz.DB"_s, 31, {2, 2000000, 1, 1});
        addSourceLine(u"AngSatz.DB"_s, 31, {3, 3000000, 3, 0});
        openPair();
    }
};

TEST_F(RgvCopies, AnOfferIntoATemplateWithoutObjectBringsObjectCustomerTermsAndTextsButNoNumber) {
    AppendNewRgvHead(*head, 10000);
    const int id = FieldInt(*head, u"R_ID"_s);
    EXPECT_EQ(CopyIntoRgv(TDocSource::Angebot, u"A-31"_s, *head, *lines), 3)
        << "every kind of line";
    EXPECT_EQ(stored(id, u"R_ObjektNr"_s).toInt(), 500);
    EXPECT_EQ(stored(id, u"R_OMatch"_s).toString(), u"HAUS AM SEE"_s);
    EXPECT_EQ(stored(id, u"R_KundenNr"_s).toInt(), 100);
    EXPECT_EQ(stored(id, u"R_ZahlBed"_s).toString(), u"14 Tage netto"_s);
    EXPECT_EQ(stored(id, u"R_ZahlBedNettoTage"_s).toInt(), 14);
    EXPECT_EQ(stored(id, u"R_KFID"_s).toInt(), 4);
    EXPECT_EQ(stored(id, u"R_KopfText"_s).toString(), u"Kopf"_s);
    EXPECT_EQ(stored(id, u"R_AdrZweck1"_s).toString(), u"Hausmeister"_s);
    EXPECT_EQ(stored(id, u"R_AdrZweck2"_s).toString(), QString()) << "not among the fields";
    EXPECT_EQ(stored(id, u"R_Nr"_s).toString(), QString());
    auto copied = open(kLines);
    int count = 0;
    for (copied->first(); !copied->eof(); copied->next()) {
        EXPECT_EQ(FieldInt(*copied, u"S_Rechmode"_s), 0);
        ++count;
    }
    EXPECT_EQ(count, 3);
    EXPECT_EQ(stored(id, u"R_Netto"_s).toDouble(), 20.0) << "the sums follow";
}

TEST_F(RgvCopies, ATemplateWithObjectKeepsItsHead) {
    addTemplate(1, u"RV600_01"_s, 600, {{u"R_ZahlBed"_s, u"sofort"_s}});
    ASSERT_TRUE(head->locate({u"R_ID"_s}, {1}));
    EXPECT_EQ(CopyIntoRgv(TDocSource::Angebot, u"A-31"_s, *head, *lines), 3);
    EXPECT_EQ(stored(1, u"R_ObjektNr"_s).toInt(), 600);
    EXPECT_EQ(stored(1, u"R_ZahlBed"_s).toString(), u"sofort"_s);
    EXPECT_EQ(stored(1, u"R_Nr"_s).toString(), u"RV600_01"_s);
}

TEST_F(RgvCopies, AMissingDocumentCopiesNothingAndAFailingCopyLeavesTheTemplateAsItWas) {
    AppendNewRgvHead(*head, 10000);
    const int id = FieldInt(*head, u"R_ID"_s);
    EXPECT_EQ(CopyIntoRgv(TDocSource::Angebot, u"A-99"_s, *head, *lines), -1);
    {
        doctest::LockedElsewhere locked(kLines);
        EXPECT_THROW(CopyIntoRgv(TDocSource::Angebot, u"A-31"_s, *head, *lines), DbError);
    }
    EXPECT_EQ(stored(id, u"R_ObjektNr"_s).toInt(), 0);
    EXPECT_EQ(stored(id, u"R_KopfText"_s).toString(), QString());
    EXPECT_EQ(lineCount(id), 0);
}

// Three templates with lines at the rates of 2006.
class RgvWalks : public rgvtest::RgvTemplates {
protected:
    void SetUp() override {
        rgvtest::RgvTemplates::SetUp();
        addTemplate(1, u"RV500_01"_s, 500,
                    {{u"R_DatumDruck"_s, QDate(2005, 3, 15)}, {u"R_KFID"_s, 4}});
        addTemplate(2, u"RV500_02"_s, 500,
                    {{u"R_DatumDruck"_s, QDate(2008, 2, 1)},
                     {u"R_KFID"_s, 0},
                     {u"R_KopfText"_s, u"eigener"_s}});
        addTemplate(3, u"RV500_03"_s, 500, {{u"R_KFID"_s, 4}});
        int line = 0;
        for (int ref = 1; ref <= 3; ++ref)
            for (int i = 1; i <= 3; ++i)
                addTemplateLine(++line, ref, i * 1000000, i, 100.0);
        addRow(u"ORgHDef.DB"_s, {{u"RH_ID"_s, 4},
                                 {u"RH_KopfText"_s, u"Sehr geehrte Damen und Herren"_s},
                                 {u"RH_FussText"_s, u"Mit freundlichen Grüßen"_s}});
        openPair({.headInsert = false, .intervalPlanDate = true});
        head->setIndexName(u"R_INr"_s);
    }
    const QDate today{2026, 12, 11};
};

TEST_F(RgvWalks, VatUpdateRaisesOldDatesToTheFloorAndRecomputesAtThatDaysRates) {
    int steps = 0;
    EXPECT_EQ(UpdateAllRgvVat(*head, today, [&] { ++steps; }), 3);
    EXPECT_EQ(steps, 3);
    EXPECT_EQ(stored(1, u"R_DatumDruck"_s).toDate(), QDate(2007, 1, 1));
    EXPECT_EQ(stored(2, u"R_DatumDruck"_s).toDate(), QDate(2008, 2, 1));
    EXPECT_EQ(stored(3, u"R_DatumDruck"_s).toDate(), QDate(2007, 1, 1)) << "empty counts as old";
    for (int id = 1; id <= 3; ++id) {
        EXPECT_EQ(stored(id, u"R_DatumErstell"_s).toDate(), today);
        EXPECT_EQ(stored(id, u"R_Netto"_s).toDouble(), 600.0);
        EXPECT_EQ(stored(id, u"R_Brutto"_s).toDouble(), 714.0);
    }
    for (int line = 1; line <= 9; ++line)
        EXPECT_EQ(storedLine(line, u"S_Mwst"_s).toDouble(), 19.0) << line;
    EXPECT_FALSE(head->isEditing());
}

TEST_F(RgvWalks, AFailingTemplateStopsTheVatUpdateNamedAndUnchangedTheOnesBeforeDone) {
    {
        datatest::HeldElsewhere held(kHeads, u"R_ID"_s, 2);
        try {
            UpdateAllRgvVat(*head, today);
            FAIL() << "the walk went through";
        } catch (const DbError& e) {
            EXPECT_TRUE(QString::fromUtf8(e.what()).contains(u"RV500_02"_s)) << e.what();
        }
    }
    EXPECT_EQ(stored(1, u"R_DatumDruck"_s).toDate(), QDate(2007, 1, 1));
    EXPECT_EQ(storedLine(1, u"S_Mwst"_s).toDouble(), 19.0);
    EXPECT_EQ(stored(2, u"R_DatumErstell"_s).isNull(), true);
    EXPECT_EQ(storedLine(4, u"S_Mwst"_s).toDouble(), 16.0) << "its lines unchanged";
    EXPECT_TRUE(stored(3, u"R_DatumDruck"_s).isNull()) << "the walk stopped";
}

TEST_F(RgvWalks, HeadAndFootTextsComeBackFromTheirSetForTemplatesWithOne) {
    for (int id : {1, 3}) {
        ASSERT_TRUE(head->locate({u"R_ID"_s}, {id}));
        head->edit();
        (*head)[u"R_KopfText"_s] = u"alt"_s;
        head->post();
    }
    EXPECT_EQ(ReloadAllRgvKopfFuss(*head), 2);
    for (int id : {1, 3}) {
        EXPECT_EQ(stored(id, u"R_KopfText"_s).toString(), u"Sehr geehrte Damen und Herren"_s);
        EXPECT_EQ(stored(id, u"R_FussText"_s).toString(), u"Mit freundlichen Grüßen"_s);
    }
    EXPECT_EQ(stored(2, u"R_KopfText"_s).toString(), u"eigener"_s);
}

TEST_F(RgvWalks, AFailingTemplateStopsTheTextUpdate) {
    {
        datatest::HeldElsewhere held(kHeads, u"R_ID"_s, 1);
        EXPECT_THROW(ReloadAllRgvKopfFuss(*head), DbError);
    }
    EXPECT_EQ(stored(1, u"R_KopfText"_s).toString(), QString());
    EXPECT_EQ(stored(3, u"R_KopfText"_s).toString(), QString());
}

// A template made as the editor makes it (a new head, its object, an
// interval and a line through the template rules) is billed by the run.
class RgvBilled : public recurringtest::RecurringBilling {};

TEST_F(RgvBilled, ATemplateMadeAsTheEditorMakesItIsBilled) {
    auto db = table::aliases::database(datatest::kDb);
    table::Table head(db, kHeads);
    table::Table lines(db, kLines);
    lines.setIndexName(u"S_IRef"_s);
    lines.setMaster(&head, {u"R_ID"_s}, {u"S_Ref"_s});
    BindRgvTableRules(*dm, head, lines);
    head.open();
    lines.open();
    AppendNewRgvHead(head, 10000);
    SetRgvObjekt(head, 500);
    head.edit();
    head[u"R_Intervall"_s] = 20;
    head.post();
    lines.append();
    lines[u"S_Menge"_s] = 2;
    lines[u"S_EPreis"_s] = 50.0;
    lines[u"S_Kurztext"_s] = u"Hausmeisterdienst"_s;
    lines.post();
    lines.close();
    head.close();
    EXPECT_EQ(templateField(1, "R_IVname").toString(), u"monatlich am 25."_s);
    EXPECT_EQ(runMarch(), 1);
    EXPECT_EQ(invoiceKeys(), QStringList{u"500 RV500_01 25.03.2025"_s});
    const QList<recurringtest::InvoiceLine> billed =
        linesOf(invoiceIdOf(500, recurringtest::d(25, 3)));
    ASSERT_EQ(billed.size(), 1);
    EXPECT_DOUBLE_EQ(billed[0].menge, 2.0);
    EXPECT_DOUBLE_EQ(billed[0].brutto, 119.0);
}

} // namespace
