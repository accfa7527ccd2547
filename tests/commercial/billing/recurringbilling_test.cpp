#include "commercial/billing/recurringmemo.h"
#include "commercial/documents/documentrules.h"
#include "commercial/documents/positionnumbers.h"
#include "commercial/recurringbillingfixture.h"
#include "datasafety/autobackup.h"
#include "datasafety/automaticbackupscope.h"

#include <gtest/gtest.h>

namespace {

using namespace recurringtest;

QString made(int objektNr, const QString& rgvNr, const QDate& bill, const QDate& plan, double gross,
             const QString& text) {
    return RecurringMemoLineStart(objektNr, rgvNr, bill, plan) + RecurringMemoMade(gross, text);
}

TEST_F(RecurringBilling, OneMonthMakesOneInvoicePerActiveObjectAndTemplate) {
    addObjectWith(6, 501, {{QStringLiteral("O_Aktiv"), false}});
    addObjectWith(7, 502, {{QStringLiteral("O_Rechnungsstellung"), true}});
    addObjectWith(8, 503, {{QStringLiteral("O_Vertragsbeginn"), d(26, 3)}});
    addObjectWith(9, 504, {{QStringLiteral("O_Vertragsbeginn"), d(25, 3)}});
    addTemplate(1, 500,
                {{QStringLiteral("R_ZahlBedNettoTage"), 14},
                 {QStringLiteral("R_ZahlBed"), QStringLiteral("14 Tage netto")},
                 {QStringLiteral("R_FibuKonto2"), 4711},
                 {QStringLiteral("R_Buchtext"), QStringLiteral("Hausmeister")},
                 {QStringLiteral("R_VorspannText"), QStringLiteral("Vorspann")}});
    addTemplateLine(1, 1, 1000000, 2, 10.0, {{QStringLiteral("S_ErloesKonto"), 8400}});
    addTemplateLine(2, 1, 2000000, 0, 0.0,
                    {{QStringLiteral("S_Posart"), 3}, {QStringLiteral("S_MwstKz"), QVariant()}});
    addTemplate(2, 500, {{QStringLiteral("R_Ausgesetzt"), true}});
    addTemplateLine(3, 2, 1000000, 1, 5.0);
    addTemplate(3, 500, {{QStringLiteral("R_Intervall"), 0}});
    addTemplateLine(4, 3, 1000000, 1, 5.0);
    addTemplate(4, 500, {{QStringLiteral("R_Intervall"), 99}});
    addTemplateLine(5, 4, 1000000, 1, 5.0);
    for (int id : {5, 6, 7, 8}) {
        addTemplate(id, 496 + id);
        addTemplateLine(id + 10, id, 1000000, 1, 5.0);
    }

    EXPECT_EQ(runMarch(), 2);
    EXPECT_EQ(invoiceKeys(), (QStringList{QStringLiteral("500 RV500_1 25.03.2025"),
                                          QStringLiteral("504 RV504_8 25.03.2025")}));
    const QString period = QStringLiteral("01.03.2025 - 31.03.2025");
    EXPECT_EQ(memo, (QStringList{
                        made(500, QStringLiteral("RV500_1"), d(31, 3), d(25, 3), 23.8, period),
                        made(504, QStringLiteral("RV504_8"), d(31, 3), d(25, 3), 5.95, period)}));
    EXPECT_EQ(counts, (QStringList{QStringLiteral("  1 Rechnungen erstellt."),
                                   QStringLiteral("  2 Rechnungen erstellt."), QString()}));
    EXPECT_EQ(presenter.texts(MessagePresenter::Kind::Info),
              QStringList{QStringLiteral("2 Rechnungen erstellt.")});

    const int id = invoiceIdOf(500, d(25, 3));
    auto head = open(QStringLiteral("Rechkopf.DB"));
    ASSERT_TRUE(head->locate({QStringLiteral("R_ID")}, {id}));
    auto field = [&head](const char* name) { return head->field(QLatin1String(name)).value(); };
    EXPECT_EQ(field("R_Nr").toString(), QStringLiteral("*%1").arg(id, 6, 10, QLatin1Char('0')));
    EXPECT_EQ(field("R_RgState").toInt(), 2);
    EXPECT_EQ(field("R_Intervall").toInt(), 20);
    EXPECT_EQ(field("R_IVname").toString(), QStringLiteral("monatlich am 25."));
    EXPECT_EQ(field("R_Jahr").toInt(), 2025);
    EXPECT_EQ(field("R_Monat").toInt(), 3);
    EXPECT_EQ(field("R_DatumErstell").toDate(), kToday);
    EXPECT_EQ(field("R_DatumDruck").toDate(), d(31, 3));
    EXPECT_EQ(field("R_FaelligDatum").toDate(), d(14, 4));
    EXPECT_EQ(field("R_ZeitraumTxt").toString(), period);
    EXPECT_EQ(field("R_ZahlBed").toString(), QStringLiteral("14 Tage netto"));
    EXPECT_EQ(field("R_FibuKonto2").toInt(), 4711);
    EXPECT_EQ(field("R_Buchtext").toString(), QStringLiteral("Hausmeister"));
    EXPECT_EQ(field("R_OMatch").toString(), QStringLiteral("OBJ500"));
    EXPECT_EQ(field("R_KundenNr").toInt(), 100);
    EXPECT_EQ(field("R_VorspannText").toString(), QStringLiteral("Vorspann"));
    EXPECT_EQ(field("R_Anzpos").toInt(), 2);
    EXPECT_DOUBLE_EQ(field("R_Netto").toDouble(), 20.0);
    EXPECT_DOUBLE_EQ(field("R_Brutto").toDouble(), 23.8);

    const QList<InvoiceLine> lines = linesOf(id);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0].posNr, 1000000);
    EXPECT_EQ(lines[0].quelle, 6);
    EXPECT_EQ(lines[0].quellNr, QStringLiteral("Dauerrechnung"));
    EXPECT_EQ(lines[0].erloesKonto, 8400);
    EXPECT_DOUBLE_EQ(lines[0].brutto, 23.8);
    EXPECT_EQ(lines[1].posNr, 2000000);
    EXPECT_EQ(lines[1].posArt, 3);

    EXPECT_EQ(templateField(1, "R_DatumErstell").toDate(), d(25, 3));
    EXPECT_EQ(templateField(1, "R_PlanDatum").toDate(), d(25, 4));
    EXPECT_FALSE(dm->TabRechKopf().isOpen()) << "the invoice tables were closed before";
}

TEST_F(RecurringBilling, ARepeatedRunFindsThePeriodBilledAlsoAfterTheTransfer) {
    addTemplate(1, 500);
    addTemplateLine(1, 1, 1000000, 1, 100.0);
    ASSERT_EQ(runMarch(), 1);
    const QString exists =
        RecurringMemoLineStart(500, QStringLiteral("RV500_1"), d(31, 3), d(25, 3)) +
        RecurringMemoExists(119.0);
    EXPECT_EQ(runMarch(), 0);
    EXPECT_EQ(memo, QStringList{exists});
    EXPECT_EQ(presenter.texts(MessagePresenter::Kind::Info),
              QStringList{QStringLiteral("0 Rechnungen erstellt.")});

    // The invoice run moves the invoice to the open items, then to the archive.
    const int id = invoiceIdOf(500, d(25, 3));
    const Values moved{{QStringLiteral("R_ID"), id},
                       {QStringLiteral("R_Nr"), QStringLiteral("2025-0001")},
                       {QStringLiteral("R_ObjektNr"), 500},
                       {QStringLiteral("R_ANr"), QStringLiteral("RV500_1")},
                       {QStringLiteral("R_PlanDatum"), d(25, 3)},
                       {QStringLiteral("R_Brutto"), 119.0}};
    auto removeInvoice = [this](const QString& file, const QString& alias, int key) {
        auto t = open(file, alias);
        ASSERT_TRUE(t->locate({QStringLiteral("R_ID")}, {key}));
        t->deleteRecord();
    };
    addRow(QStringLiteral("OpKopf.DB"), moved);
    removeInvoice(QStringLiteral("Rechkopf.DB"), datatest::kDb, id);
    EXPECT_EQ(runMarch(), 0);
    EXPECT_EQ(memo, QStringList{exists});

    addRow(QStringLiteral("Rechkopf.DB"), moved, QStringLiteral("AblageDB"));
    removeInvoice(QStringLiteral("OpKopf.DB"), datatest::kDb, id);
    EXPECT_EQ(runMarch(), 0);
    EXPECT_EQ(memo, QStringList{exists});
    EXPECT_TRUE(invoiceKeys().isEmpty());
}

TEST_F(RecurringBilling, RgNichtVorHoldsBackTheEarlierPeriods) {
    addTemplate(1, 500, {{QStringLiteral("R_DatumDruck"), d(1, 6)}});
    addTemplateLine(1, 1, 1000000, 1, 10.0);
    EXPECT_EQ(run(d(1, 1), d(31, 12)), 7);
    QStringList expected;
    for (int m = 6; m <= 12; ++m)
        expected << QStringLiteral("500 RV500_1 25.%1.2025").arg(m, 2, 10, QLatin1Char('0'));
    EXPECT_EQ(invoiceKeys(), expected);
}

TEST_F(RecurringBilling, ARangeAcrossNewYearBillsBothMonthsInDateOrder) {
    addDefinition(21, QStringLiteral("am 28."), monthlyPeriods(28));
    addTemplate(1, 500, {{QStringLiteral("R_Intervall"), 21}});
    addTemplateLine(1, 1, 1000000, 1, 10.0);
    addDefinition(22, QStringLiteral("Monatsende"), monthlyPeriods(31));
    addTemplate(2, 500, {{QStringLiteral("R_Intervall"), 22}});
    addTemplateLine(2, 2, 1000000, 1, 10.0);
    EXPECT_EQ(run(d(15, 12, 2024), d(31, 1, 2025)), 4);
    EXPECT_EQ(invoiceKeys(), (QStringList{QStringLiteral("500 RV500_1 28.12.2024"),
                                          QStringLiteral("500 RV500_1 28.01.2025"),
                                          QStringLiteral("500 RV500_2 31.12.2024"),
                                          QStringLiteral("500 RV500_2 31.01.2025")}));
    ASSERT_EQ(memo.size(), 4);
    EXPECT_TRUE(memo[1].endsWith(QStringLiteral("01.01.2025 - 31.01.2025")))
        << memo[1].toStdString();
    const int january = invoiceIdOf(500, d(28, 1));
    EXPECT_EQ(invoiceField(january, "R_Jahr").toInt(), 2025);
    EXPECT_EQ(invoiceField(january, "R_DatumDruck").toDate(), d(31, 1));
}

TEST_F(RecurringBilling, ADefinitionOfALaterReferenceYearIsNotMovedBack) {
    QList<TRgPeriod> later = monthlyPeriods(25);
    for (TRgPeriod& p : later)
        for (QDate* date : {&p.RangeStart, &p.RangeEnd, &p.BillDate, &p.CreateDate})
            *date = date->addYears(24); // 2026
    addDefinition(21, QStringLiteral("ab 2026"), later);
    addTemplate(1, 500, {{QStringLiteral("R_Intervall"), 21}});
    addTemplateLine(1, 1, 1000000, 1, 10.0);
    EXPECT_EQ(run(d(1, 1), d(31, 12)), 0);
    EXPECT_EQ(run(d(1, 12), d(31, 1, 2026)), 1);
    EXPECT_EQ(invoiceKeys(), QStringList{QStringLiteral("500 RV500_1 25.01.2026")});
}

TEST_F(RecurringBilling, QuantitiesFollowTourVisitsAndActivityOccurrences) {
    using namespace tourtest;
    addRow(QStringLiteral("Taetig.DB"),
           {{QStringLiteral("T_ID"), 30}, {QStringLiteral("T_Nr"), 3}});
    addTour(1, 1); // Monday
    addTour(2, 4); // Thursday
    addTour(3, 0); // no weekday
    addTourObject(1, 1, 500);
    addTourObject(2, 2, 500);
    addObject(6, 501, 100);
    addTourObject(3, 3, 501);
    addActivity(1, 500, 3, 2, d(3, 3)); // every second week from Monday 3 March
    setRow(QStringLiteral("ObjTaet.db"), QStringLiteral("TS_ID"), 1,
           {{QStringLiteral("TS_Wtag"), QStringLiteral("1")}}); // on Mondays only
    addActivity(2, 501, 3, 2, QVariant());
    for (int id : {1, 2}) {
        const int objektNr = 499 + id;
        addTemplate(id, objektNr);
        const Values activity{{QStringLiteral("S_PosTyp"), 1}, {QStringLiteral("S_MatID"), 30}};
        addTemplateLine(10 * id + 1, id, 1000000, 2, 10.0,
                        Values(activity) << std::pair{QStringLiteral("S_Rechmode"), QVariant(1)});
        addTemplateLine(10 * id + 2, id, 2000000, 2, 10.0,
                        Values(activity) << std::pair{QStringLiteral("S_Rechmode"), QVariant(2)});
        addTemplateLine(10 * id + 3, id, 3000000, 2, 10.0,
                        {{QStringLiteral("S_PosTyp"), 0}, {QStringLiteral("S_Rechmode"), 1}});
    }
    EXPECT_EQ(runMarch(), 2);
    auto quantities = [this](int objektNr) {
        QList<double> result;
        for (const InvoiceLine& line : linesOf(invoiceIdOf(objektNr, d(25, 3))))
            result << line.menge;
        return result;
    };
    // Five Mondays and four Thursdays; the activity on the Mondays 3, 17 and 31 March.
    EXPECT_EQ(quantities(500), (QList<double>{18, 6, 2}));
    // A tour without weekday counts once; no weekday, no due activity.
    EXPECT_EQ(quantities(501), (QList<double>{2, 0, 2}));
    EXPECT_EQ(fieldOf(QStringLiteral("ObjTaet.db"), QStringLiteral("TS_ID"), 2,
                      QStringLiteral("TS_StartDatum")),
              QVariant())
        << "no tour with a weekday tested it";
}

TEST_F(RecurringBilling, AlternativeAndDemandLinesNeverReachTheInvoice) {
    addTemplate(1, 500);
    addTemplateLine(1, 1, 1000000, 1, 10.0);
    addTemplateLine(2, 1, 2000000, 1, 50.0, {{QStringLiteral("S_Posart"), 1}});
    addTemplateLine(3, 1, 3000000, 1, 70.0, {{QStringLiteral("S_Posart"), 2}});
    addTemplateLine(4, 1, 4000000, 0, 0.0, {{QStringLiteral("S_Posart"), 4}});
    ASSERT_EQ(runMarch(RecurringFillPlan), 1);
    EXPECT_DOUBLE_EQ(fieldOf(QStringLiteral("Rechplan.db"), QStringLiteral("RP_LfdNr"), 1,
                             QStringLiteral("RP_SummeGesamt"))
                         .toDouble(),
                     11.9);
    ASSERT_EQ(runMarch(), 1);
    const int id = invoiceIdOf(500, d(25, 3));
    EXPECT_EQ(posNrsOf(id), (QList<int>{1000000, 4000000}));
    EXPECT_EQ(linesOf(id)[1].posArt, 4);
    EXPECT_DOUBLE_EQ(invoiceField(id, "R_Brutto").toDouble(), 11.9);
}

TEST_F(RecurringBilling, OpenDeliveryNotesAreBilledOnceWithTheProvisionalNumber) {
    addTemplate(1, 500, {{QStringLiteral("R_AutoLS"), true}});
    addTemplateLine(1, 1, 1000000, 1, 10.0);
    addNote(1, 500, d(20, 3));
    addNoteLine(11, 1, 8, 5, 4.0); // 3 units open
    addNoteLine(12, 1, 2, 0, 0.0); // open, but free of charge
    addNote(2, 500, d(5, 4));      // delivered after the invoice date
    addNoteLine(21, 2, 1, 0, 9.0);
    addNote(3, 500, d(1, 3), false); // billed by hand
    addNoteLine(31, 3, 1, 0, 9.0);
    addNote(4, 501, d(1, 3)); // another object's
    addNoteLine(41, 4, 1, 0, 9.0);

    ASSERT_EQ(runMarch(), 1);
    const int id = invoiceIdOf(500, d(25, 3));
    const QList<InvoiceLine> lines = linesOf(id);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[1].posNr, 2000000);
    EXPECT_EQ(lines[1].quelle, 4);
    EXPECT_EQ(lines[1].quellNr, QStringLiteral("LS1"));
    EXPECT_EQ(lines[1].refId, 11);
    EXPECT_DOUBLE_EQ(lines[1].menge, 3.0);
    EXPECT_DOUBLE_EQ(lines[1].ePreis, 4.0);
    EXPECT_DOUBLE_EQ(invoiceField(id, "R_Brutto").toDouble(), 26.18);
    EXPECT_DOUBLE_EQ(noteLineField(11, "S_MengeGeliefert").toDouble(), 8.0);
    const QString nr = invoiceField(id, "R_Nr").toString();
    EXPECT_EQ(noteField(1, "R_RechNr").toString(), nr);
    EXPECT_EQ(noteField(1, "R_Buchung").toInt(), id);
    EXPECT_EQ(noteField(1, "R_BuchDat").toDate(), kToday);
    for (int note : {2, 3, 4})
        EXPECT_EQ(noteField(note, "R_RechNr"), QVariant()) << note;

    // April's invoice finds note 2 now, and nothing left of note 1.
    ASSERT_EQ(run(d(1, 4), d(30, 4)), 1);
    const QList<InvoiceLine> april = linesOf(invoiceIdOf(500, d(25, 4)));
    ASSERT_EQ(april.size(), 2);
    EXPECT_EQ(april[1].quellNr, QStringLiteral("LS2"));
}

TEST_F(RecurringBilling, ATemplateWithoutLinesBillsOnlyWhenNotesAreOpen) {
    addTemplate(1, 500, {{QStringLiteral("R_AutoLS"), true}});
    EXPECT_EQ(runMarch(), 0);
    EXPECT_TRUE(memo.isEmpty()) << "nothing to bill: no memo line";
    dm->TabFirmen().open();
    dm->TabFirmen().edit();
    dm->TabFirmen().field(QStringLiteral("F_ErstePosNo")).setValue(5);
    dm->TabFirmen().post();
    addNote(1, 500, d(20, 3));
    addNoteLine(11, 1, 8, 5, 4.0);
    addNoteLine(12, 1, 1, 0, 2.5);
    ASSERT_EQ(runMarch(), 1);
    EXPECT_EQ(posNrsOf(invoiceIdOf(500, d(25, 3))), (QList<int>{5000000, 6000000}))
        << "starting at the company's first number";
}

TEST_F(RecurringBilling, AnEmptyInvoiceIsKeptOnlyWhenTheTemplateAllowsIt) {
    addTemplate(1, 500);
    addTemplateLine(1, 1, 1000000, 0, 0.0, {{QStringLiteral("S_Posart"), 3}});
    addTemplate(2, 500, {{QStringLiteral("R_LeerRechnungErlaubt"), true}});
    addTemplateLine(2, 2, 1000000, 0, 0.0, {{QStringLiteral("S_Posart"), 3}});
    addTemplate(3, 500, {{QStringLiteral("R_AutoLS"), true}});
    addNote(1, 500, d(20, 3));
    addNoteLine(11, 1, 1, 0, 0.0); // open, but worth nothing

    EXPECT_EQ(runMarch(), 1);
    const QString start =
        RecurringMemoLineStart(500, QStringLiteral("RV500_1"), d(31, 3), d(25, 3));
    ASSERT_EQ(memo.size(), 3);
    EXPECT_EQ(memo[0], start + RecurringMemoEmpty(0.0));
    EXPECT_TRUE(memo[1].endsWith(QStringLiteral("0,00 € 01.03.2025 - 31.03.2025")));
    EXPECT_TRUE(memo[2].endsWith(QStringLiteral(" (leer, nicht erstellt)")));
    EXPECT_EQ(invoiceKeys(), QStringList{QStringLiteral("500 RV500_2 25.03.2025")});
    EXPECT_EQ(rowCount(QStringLiteral("Rechsatz.db")), 1) << "no line of the empty ones stays";
    EXPECT_EQ(templateField(1, "R_DatumErstell"), QVariant());
    EXPECT_EQ(templateField(2, "R_DatumErstell").toDate(), d(25, 3));
    EXPECT_EQ(noteField(1, "R_RechNr"), QVariant());
}

TEST_F(RecurringBilling, APlanListsExpectedAndBilledAmountsWithATotalRow) {
    using namespace tourtest;
    addTemplate(1, 500);
    addTemplateLine(1, 1, 1000000, 1, 100.0);
    addObject(6, 501, 100);
    addTemplate(2, 501, {{QStringLiteral("R_AutoLS"), true}, {QStringLiteral("R_FibuKonto2"), 8}});
    addTemplateLine(2, 2, 1000000, 1, 10.0, {{QStringLiteral("S_MwstKz"), 2}});
    addNote(1, 501, d(20, 3));
    addNoteLine(11, 1, 3, 1, 5.0);
    // An activity without start date counted in the plan.
    addRow(QStringLiteral("Taetig.DB"),
           {{QStringLiteral("T_ID"), 30}, {QStringLiteral("T_Nr"), 3}});
    addTour(1, 1);
    addTourObject(1, 1, 501);
    addActivity(1, 501, 3, 1, QVariant());
    addTemplateLine(3, 2, 2000000, 1, 1.0,
                    {{QStringLiteral("S_PosTyp"), 1},
                     {QStringLiteral("S_MatID"), 30},
                     {QStringLiteral("S_Rechmode"), 2},
                     {QStringLiteral("S_MwstKz"), 0}});
    // An invoice of 100.00 exists for object 500's period.
    addRow(QStringLiteral("Rechkopf.DB"), {{QStringLiteral("R_ID"), 77},
                                           {QStringLiteral("R_Nr"), QStringLiteral("*000077")},
                                           {QStringLiteral("R_ObjektNr"), 500},
                                           {QStringLiteral("R_ANr"), QStringLiteral("RV500_1")},
                                           {QStringLiteral("R_PlanDatum"), d(25, 3)},
                                           {QStringLiteral("R_Brutto"), 100.0}});
    addRow(QStringLiteral("Rechplan.db"),
           {{QStringLiteral("RP_ID"), 1}, {QStringLiteral("RP_ObjMatch"), QStringLiteral("alt")}});

    EXPECT_EQ(runMarch(RecurringFillPlan), 2);
    auto plan = open(QStringLiteral("Rechplan.db"));
    ASSERT_EQ(plan->recordCount(), 3) << "the former plan is replaced";
    auto money = [&plan](const char* name) { return plan->field(QLatin1String(name)).asFloat(); };
    plan->first();
    EXPECT_EQ(plan->field(QStringLiteral("RP_LfdNr")).asInteger(), 1);
    EXPECT_EQ(plan->field(QStringLiteral("RP_ObjektNr")).asInteger(), 500);
    EXPECT_EQ(plan->field(QStringLiteral("RP_ObjMatch")).asString(), QStringLiteral("OBJ500"));
    EXPECT_EQ(plan->field(QStringLiteral("RP_FrmNr")).asString(), QStringLiteral("RV500_1"));
    EXPECT_EQ(plan->field(QStringLiteral("RP_ErstellDatum")).asDate(), d(25, 3));
    EXPECT_EQ(plan->field(QStringLiteral("RP_RgDatum")).asDate(), d(31, 3));
    EXPECT_EQ(plan->field(QStringLiteral("RP_VonDatum")).asDate(), d(1, 3));
    EXPECT_EQ(plan->field(QStringLiteral("RP_BisDatum")).asDate(), d(31, 3));
    EXPECT_DOUBLE_EQ(money("RP_SummeRG"), 119.0);
    EXPECT_DOUBLE_EQ(money("RP_SummeLS"), 0.0);
    EXPECT_DOUBLE_EQ(money("RP_SummeGesamt"), 119.0);
    EXPECT_DOUBLE_EQ(money("RP_SummeBerechnet"), 100.0);
    EXPECT_DOUBLE_EQ(money("RP_SummeDiff"), 19.0);
    plan->next();
    EXPECT_EQ(plan->field(QStringLiteral("RP_Fibukonto2")).asInteger(), 8);
    // 10.00 at 7 %, five Mondays of 1.00 free of tax, 2 x 5.00 at 19 % from the note.
    EXPECT_DOUBLE_EQ(money("RP_SummeRG"), 15.7);
    EXPECT_DOUBLE_EQ(money("RP_SummeLS"), 11.9);
    EXPECT_DOUBLE_EQ(money("RP_SummeGesamt"), 27.6);
    EXPECT_DOUBLE_EQ(money("RP_SummeBerechnet"), 0.0);
    plan->next();
    EXPECT_EQ(plan->field(QStringLiteral("RP_LfdNr")).asInteger(), 0);
    EXPECT_EQ(plan->field(QStringLiteral("RP_ObjektNr")).asInteger(), 0);
    EXPECT_EQ(plan->field(QStringLiteral("RP_ObjMatch")).asString(), QStringLiteral("Gesamt"));
    EXPECT_EQ(plan->field(QStringLiteral("RP_ErstellDatum")).asDate(), kToday);
    EXPECT_EQ(plan->field(QStringLiteral("RP_VonDatum")).asDate(), d(1, 3));
    EXPECT_EQ(plan->field(QStringLiteral("RP_BisDatum")).asDate(), d(31, 3));
    EXPECT_DOUBLE_EQ(money("RP_SummeRG"), 134.7);
    EXPECT_DOUBLE_EQ(money("RP_SummeLS"), 11.9);
    EXPECT_DOUBLE_EQ(money("RP_SummeGesamt"), 146.6);
    EXPECT_DOUBLE_EQ(money("RP_SummeBerechnet"), 100.0);
    EXPECT_DOUBLE_EQ(money("RP_SummeDiff"), 46.6);
    ASSERT_EQ(memo.size(), 3);
    EXPECT_EQ(memo[2], RecurringMemoPlanTotal(146.6));
    EXPECT_EQ(presenter.texts(MessagePresenter::Kind::Info),
              QStringList{QStringLiteral("2 Rechnungen erstellt.")});

    // A preview writes nothing else.
    EXPECT_EQ(fieldOf(QStringLiteral("ObjTaet.db"), QStringLiteral("TS_ID"), 1,
                      QStringLiteral("TS_StartDatum")),
              QVariant());
    EXPECT_EQ(invoiceKeys(), QStringList{QStringLiteral("500 RV500_1 25.03.2025")});
    EXPECT_EQ(noteLineField(11, "S_MengeGeliefert").toDouble(), 1.0);
    EXPECT_EQ(templateField(2, "R_DatumErstell"), QVariant());
}

TEST_F(RecurringBilling, AFailedPlanKeepsTheFormerPlan) {
    addTemplate(1, 500);
    addTemplateLine(1, 1, 1000000, 1, 100.0);
    addRow(QStringLiteral("Rechplan.db"),
           {{QStringLiteral("RP_ID"), 1}, {QStringLiteral("RP_ObjMatch"), QStringLiteral("alt")}});
    {
        doctest::LockedElsewhere locked(QStringLiteral("Rechplan.db"));
        EXPECT_ANY_THROW(runMarch(RecurringFillPlan));
    }
    EXPECT_EQ(presenter.texts(MessagePresenter::Kind::Info),
              QStringList{QStringLiteral("0 Rechnungen erstellt.")});
    EXPECT_EQ(fieldOf(QStringLiteral("Rechplan.db"), QStringLiteral("RP_ID"), 1,
                      QStringLiteral("RP_ObjMatch"))
                  .toString(),
              QStringLiteral("alt"));
    EXPECT_EQ(rowCount(QStringLiteral("Rechplan.db")), 1);
}

TEST_F(RecurringBilling, AFailureInTheMiddleOfAnInvoiceLeavesTheInvoicesBeforeIt) {
    for (int i = 0; i < 3; ++i) {
        if (i > 0)
            addObject(6 + i, 500 + i, 100);
        addTemplate(i + 1, 500 + i);
        addTemplateLine(10 * i + 1, i + 1, 1000000, 1, 10.0);
        addTemplateLine(10 * i + 2, i + 1, 2000000, 1, 20.0);
    }
    bool armed = true;
    dm->TabRechSatz().beforePost += [&armed](table::Table& line) {
        if (armed && FieldInt(line, QStringLiteral("S_PosNr")) == 2000000 &&
            FieldInt(line, QStringLiteral("S_Ref")) == 2)
            throw DbError(QStringLiteral("Datenträger voll"));
    };
    try {
        runMarch();
        ADD_FAILURE() << "the error reaches the caller";
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Datenträger voll"));
    }
    EXPECT_EQ(presenter.texts(MessagePresenter::Kind::Info),
              QStringList{QStringLiteral("1 Rechnungen erstellt.")});
    EXPECT_EQ(invoiceKeys(), QStringList{QStringLiteral("500 RV500_1 25.03.2025")});
    EXPECT_EQ(rowCount(QStringLiteral("Rechsatz.db")), 2);
    EXPECT_EQ(posNrsOf(1), (QList<int>{1000000, 2000000}));
    EXPECT_EQ(templateField(2, "R_DatumErstell"), QVariant());
    EXPECT_FALSE(dm->TabRechKopf().isOpen());

    armed = false;
    EXPECT_EQ(runMarch(), 2);
    EXPECT_EQ(invoiceKeys(), (QStringList{QStringLiteral("500 RV500_1 25.03.2025"),
                                          QStringLiteral("501 RV501_2 25.03.2025"),
                                          QStringLiteral("502 RV502_3 25.03.2025")}));
    EXPECT_TRUE(memo[0].endsWith(QStringLiteral(" (bereits vorhanden)")));
    EXPECT_EQ(rowCount(QStringLiteral("Rechsatz.db")), 6);
}

TEST_F(RecurringBilling, LineNumbersKeepTheTemplatesAndRunOnPast99) {
    addTemplate(1, 500, {{QStringLiteral("R_AutoLS"), true}});
    addTemplateLine(1, 1, 97000000, 1, 1.0);
    addTemplateLine(2, 1, 98000000, 1, 1.0);
    addTemplateLine(3, 1, 99000000, 1, 1.0);
    addNote(1, 500, d(20, 3));
    addNoteLine(11, 1, 1, 0, 1.0);
    addNoteLine(12, 1, 1, 0, 1.0);
    // The next object's template has a line at the very last number: its
    // delivery-note line finds none, so its invoice is not made.
    addObject(6, 501, 100);
    addTemplate(2, 501, {{QStringLiteral("R_AutoLS"), true}});
    addTemplateLine(4, 2, 99999999, 1, 1.0);
    addNote(2, 501, d(20, 3));
    addNoteLine(21, 2, 1, 0, 1.0);
    addObject(7, 502, 100);
    addTemplate(3, 502);
    addTemplateLine(5, 3, 3000000, 1, 1.0);
    addTemplateLine(6, 3, 2000000, 1, 1.0);
    addTemplateLine(7, 3, 0, 1, 1.0); // first in number order, it takes the first number

    EXPECT_EQ(runMarch(), 2);
    EXPECT_EQ(posNrsOf(invoiceIdOf(500, d(25, 3))),
              (QList<int>{97000000, 98000000, 99000000, 99010000, 99020000}));
    EXPECT_EQ(invoiceIdOf(501, d(25, 3)), 0);
    ASSERT_EQ(memo.size(), 3);
    EXPECT_EQ(memo[1], RecurringMemoLineStart(501, QStringLiteral("RV501_2"), d(31, 3), d(25, 3)) +
                           NoFreePosNrText());
    EXPECT_EQ(noteLineField(21, "S_MengeGeliefert").toDouble(), 0.0);
    EXPECT_EQ(templateField(2, "R_PlanDatum"), QVariant()) << "nothing of that invoice is kept";
    EXPECT_EQ(posNrsOf(invoiceIdOf(502, d(25, 3))), (QList<int>{1000000, 2000000, 3000000}));
}

TEST_F(RecurringBilling, TheSingleInvoiceReportsWhyItIsNotMade) {
    addObjectWith(6, 501, {{QStringLiteral("O_Aktiv"), false}});
    addObjectWith(7, 502, {{QStringLiteral("O_Rechnungsstellung"), true}});
    addObjectWith(8, 503, {{QStringLiteral("O_Vertragsbeginn"), d(1, 4)}});
    addTemplate(1, 500);
    addTemplateLine(1, 1, 1000000, 1, 10.0);
    addTemplate(2, 500, {{QStringLiteral("R_Nr"), QStringLiteral("LEER")}});
    addTemplate(6, 500, {{QStringLiteral("R_Nr"), QStringLiteral("TEXT")}});
    addTemplateLine(16, 6, 1000000, 0, 0.0, {{QStringLiteral("S_Posart"), 3}});
    for (int id : {3, 4, 5}) {
        addTemplate(id, 498 + id);
        addTemplateLine(id + 10, id, 1000000, 1, 10.0);
    }
    struct Case {
        const char* name;
        int objektNr;
        QString rgvNr;
        QDate plan;
        MessagePresenter::Kind kind;
        QString text; // empty: no message
    };
    const auto error = MessagePresenter::Kind::Error;
    const Case cases[] = {
        {"total row", 0, QString(), kToday, error,
         QStringLiteral("Das Objekt wurde nicht gefunden!")},
        {"inactive object", 501, QStringLiteral("RV501_3"), d(25, 3), error, QString()},
        {"no invoices", 502, QStringLiteral("RV502_4"), d(25, 3), error,
         QStringLiteral("Rechnungserstellung ist deaktiviert!")},
        {"unknown template", 500, QStringLiteral("RV500_9"), d(25, 3), error,
         QStringLiteral("Rechnungsvorlage RV500_9 nicht gefunden!")},
        {"no creation date", 500, QStringLiteral("RV500_1"), d(24, 3), error, QString()},
        {"contract later", 503, QStringLiteral("RV503_5"), d(25, 3), error,
         QStringLiteral("Plandatum liegt vor Vertragsbeginn!")},
        {"nothing to bill", 500, QStringLiteral("LEER"), d(25, 3), error,
         QStringLiteral("Keine Rechnungspositionen gefunden!")},
        {"sums to nothing", 500, QStringLiteral("TEXT"), d(25, 3), MessagePresenter::Kind::Info,
         QStringLiteral("Die Rechnung ergibt keinen Betrag und wurde nicht erstellt.")},
        {"made", 500, QStringLiteral("RV500_1"), d(25, 3), MessagePresenter::Kind::Info,
         QStringLiteral("Die Rechnung wurde erstellt.")},
        {"made already", 500, QStringLiteral("RV500_1"), d(25, 3), error,
         QStringLiteral("Die gewählte Rechnung existiert bereits!")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        presenter.boxes.clear();
        CreateSingleRecurringInvoice(*dm, c.objektNr, c.rgvNr, c.plan, kToday);
        if (c.text.isEmpty()) {
            EXPECT_TRUE(presenter.boxes.isEmpty());
        } else {
            ASSERT_EQ(presenter.boxes.size(), 1);
            EXPECT_EQ(presenter.boxes[0].kind, c.kind);
            EXPECT_EQ(presenter.boxes[0].text, c.text);
        }
    }
    EXPECT_EQ(invoiceKeys(), QStringList{QStringLiteral("500 RV500_1 25.03.2025")});
    EXPECT_EQ(templateField(1, "R_DatumErstell").toDate(), d(25, 3));
}

TEST_F(RecurringBilling, TheRunAsksForRangeAndBackupFirst) {
    QStringList backups;
    const AutoBackupService saved = AutoBackupServiceRegistry();
    AutoBackupServiceRegistry() = {[] { return true; },
                                   [&backups](const QString& comment) { backups << comment; }};
    addTemplate(1, 500);
    addTemplateLine(1, 1, 1000000, 1, 10.0);
    QList<std::pair<QDate, QDate>> proposals;
    bool confirm = false;
    hooks.pickRange = [&](QDate& from, QDate& to) {
        proposals.append({from, to});
        return confirm;
    };

    EXPECT_EQ(RunRecurringBilling(*dm, RecurringCreateInvoices, kToday, hooks), 0);
    EXPECT_EQ(memo, QStringList{RecurringMemoHeader()});
    EXPECT_TRUE(presenter.boxes.isEmpty()) << "a cancelled range asks nothing";
    EXPECT_EQ(proposals, (QList<std::pair<QDate, QDate>>{{d(1, 3), d(31, 3)}}));

    confirm = true;
    memo.clear();
    presenter.answers = {true};
    EXPECT_EQ(RunRecurringBilling(*dm, RecurringCreateInvoices, kToday, hooks), 1);
    ASSERT_FALSE(presenter.boxes.isEmpty());
    EXPECT_EQ(presenter.boxes[0].text,
              QStringLiteral("Sie sollten vor der Rechnungserstellung eine Datensicherung "
                             "vornehmen!\rMöchten Sie jetzt die Daten sichern?"));
    EXPECT_EQ(backups,
              QStringList{QStringLiteral("Autosicherung vor Rechnungserstellung am 10.03.2025")});
    EXPECT_EQ(memo.size(), 2);

    presenter.boxes.clear();
    EXPECT_EQ(RunRecurringBilling(*dm, RecurringFillPlan, kToday, hooks), 1);
    EXPECT_TRUE(presenter.texts(MessagePresenter::Kind::Question).isEmpty())
        << "a plan offers no backup";
    AutoBackupServiceRegistry() = saved;
}

TEST_F(RecurringBilling, TheRunKeepsSharedCursorsAndLocksTheInvoiceTables) {
    addTemplate(1, 500, {{QStringLiteral("R_AutoLS"), true}});
    addTemplateLine(1, 1, 1000000, 1, 10.0);
    addNote(1, 500, d(20, 3));
    addNoteLine(11, 1, 2, 0, 1.0);
    addNote(2, 500, d(20, 3));
    tourtest::addTour(1, 1);
    tourtest::addTour(2, 2);
    table::Table& notes = dm->TabLSKopf();
    notes.open();
    notes.setFilter(QStringLiteral("R_ID=2"));
    notes.setFiltered(true);
    table::Table& tours = dm->TabTour();
    tours.open();
    tours.last();
    OpenRechnungTables(*dm, false);
    dm->TabRechKopf().setFilter(QStringLiteral("R_ObjektNr=500"));
    dm->TabRechKopf().setFiltered(true);

    bool lockedDuringRun = false;
    duringRun = [&] {
        auto other = std::make_shared<table::Session>(NetDir, QStringLiteral("andere"));
        auto db = table::Database::open(DataDir);
        db->setSession(other);
        table::Table heads(db, QStringLiteral("Rechkopf.DB"));
        heads.open();
        heads.append();
        heads.field(QStringLiteral("R_ID")).setValue(999);
        try {
            heads.post();
        } catch (const std::exception&) {
            lockedDuringRun = true;
            heads.cancel();
        }
    };
    EXPECT_EQ(runMarch(), 1);
    EXPECT_TRUE(lockedDuringRun);
    EXPECT_TRUE(notes.isFiltered());
    EXPECT_EQ(notes.filter(), QStringLiteral("R_ID=2"));
    EXPECT_EQ(FieldInt(notes, QStringLiteral("R_ID")), 2);
    EXPECT_EQ(FieldInt(tours, QStringLiteral("TO_Nr")), 2);
    EXPECT_TRUE(dm->TabRechKopf().isOpen()) << "open again for the invoice form";
    EXPECT_TRUE(dm->TabRechKopf().isFiltered());
    EXPECT_EQ(dm->TabRechKopf().filter(), QStringLiteral("R_ObjektNr=500"));
    EXPECT_EQ(dm->TabRechKopf().recordCount(), 1);
    duringRun = {};
    lockedDuringRun = false;
    {
        auto other = std::make_shared<table::Session>(NetDir, QStringLiteral("andere"));
        auto db = table::Database::open(DataDir);
        db->setSession(other);
        table::Table heads(db, QStringLiteral("Rechkopf.DB"));
        heads.open();
        heads.append();
        heads.field(QStringLiteral("R_ID")).setValue(999);
        EXPECT_NO_THROW(heads.post()) << "the write locks are given back";
    }
    CloseRechnungTables(*dm);
    EXPECT_FALSE(dm->TabRechKopf().isOpen());
}

// With the program's own backup accepted, the archive is written and the
// run creates the same invoices as when the backup is declined.
class RecurringBillingBackup : public RecurringBilling,
                               public ::testing::WithParamInterface<bool> {};

TEST_P(RecurringBillingBackup, TheOfferedBackupLeavesTheSameData) {
    backuptest::AutomaticBackupScope backup;
    addTemplate(1, 500);
    addTemplateLine(1, 1, 1000000, 1, 10.0);
    hooks.pickRange = [](QDate&, QDate&) { return true; };
    presenter.answers = {GetParam(), false};
    EXPECT_EQ(RunRecurringBilling(*dm, RecurringCreateInvoices, kToday, hooks), 1);
    EXPECT_EQ(invoiceKeys(), QStringList{QStringLiteral("500 RV500_1 25.03.2025")});
    EXPECT_EQ(backup.archives().size(), GetParam() ? 1 : 0);
    EXPECT_EQ(backup.comments, GetParam()
                                   ? QStringList{QStringLiteral(
                                         "Autosicherung vor Rechnungserstellung am 10.03.2025")}
                                   : QStringList{});
    EXPECT_TRUE(presenter.texts(MessagePresenter::Kind::Error).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Answers, RecurringBillingBackup, ::testing::Bool());

} // namespace
