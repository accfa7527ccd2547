#include "dailylistfixture.h"
#include "operations/dailylistprintdata.h"
#include "platform/richtext/rtf.h"

#include <QFont>
#include <QTextBlock>
#include <QTextDocument>

using namespace Qt::StringLiterals;

namespace operationstest {
namespace {

const QDate kDay(2025, 3, 3);

// Tour 1 on 3 March with objects 10 (customer 100 on the list) and 11
// (customer 0 on the list, 101 in the master); customers 100 and 101.
class DailyListPrintData : public Generation {
protected:
    void SetUp() override {
        Generation::SetUp();
        table::aliases::database(datatest::kDb)->emptyTable(u"Kunden.DB"_s);
        addRow(u"Kunden.DB"_s, {{u"K_ID"_s, 1},
                                {u"K_Nr"_s, 100},
                                {u"K_Match"_s, u"Bau AG"_s},
                                {u"K_Name1"_s, u"Bau AG Nord"_s}});
        addRow(u"Kunden.DB"_s, {{u"K_ID"_s, 2},
                                {u"K_Nr"_s, 101},
                                {u"K_Match"_s, u"Wohnen eG"_s},
                                {u"K_Name1"_s, u"Wohnen eG Süd"_s},
                                {u"K_Tel1"_s, u"030 12345"_s}});
        addActiveObject(10, 100, u"Haus A"_s);
        addActiveObject(11, 101, u"Haus B"_s);
        addRow(u"TglTour.DB"_s, {{u"A_TourID"_s, 1},
                                 {u"A_TourNr"_s, 1},
                                 {u"A_Date"_s, kDay},
                                 {u"A_PersName"_s, u"MEIER"_s},
                                 {u"A_Bezeichnung"_s, u"Nordtour"_s}});
        addRow(u"TglObj.DB"_s, {{u"A_TOID"_s, 1},
                                {u"A_TourID"_s, 1},
                                {u"A_ObjektNr"_s, 10},
                                {u"A_Kunde"_s, 100},
                                {u"A_VonUhr"_s, QTime(8, 0)},
                                {u"A_BisUhr"_s, QTime(9, 30)}});
        addRow(u"TglObj.DB"_s,
               {{u"A_TOID"_s, 2}, {u"A_TourID"_s, 1}, {u"A_ObjektNr"_s, 11}, {u"A_Kunde"_s, 0}});
    }
    void addList(int id, int tourNr, const QDate& date) {
        addRow(u"TglTour.DB"_s, {{u"A_TourID"_s, id},
                                 {u"A_TourNr"_s, tourNr},
                                 {u"A_Date"_s, date.isValid() ? QVariant(date) : QVariant()}});
    }
    void addFunction(int id, int objektNr, int taetigNr, int type, const QString& param) {
        addRow(u"Tglfunc.db"_s, {{u"FL_ID"_s, id},
                                 {u"FL_Date"_s, kDay},
                                 {u"FL_TourNr"_s, 1},
                                 {u"FL_ObjNr"_s, objektNr},
                                 {u"FL_TaetigNr"_s, taetigNr},
                                 {u"FL_Type"_s, type},
                                 {u"FL_Param"_s, param}});
    }
};

TEST_F(DailyListPrintData, ThePeriodPrintProposesAtMostHalfAYear) {
    table::aliases::database(datatest::kDb)->emptyTable(u"TglTour.DB"_s);
    EXPECT_FALSE(ProposedPrintRange());
    addList(1, 1, QDate(2025, 1, 6));
    addList(2, 2, QDate(2025, 3, 3));
    auto range = ProposedPrintRange();
    ASSERT_TRUE(range);
    EXPECT_EQ(range->from, QDate(2025, 1, 6));
    EXPECT_EQ(range->to, QDate(2025, 3, 3));
    addList(3, 1, QDate(2025, 12, 29));
    range = ProposedPrintRange();
    EXPECT_EQ(range->to, QDate(2025, 12, 29));
    EXPECT_EQ(range->from, QDate(2025, 12, 29).addDays(-182));
    // A list without date counts as the earliest.
    table::aliases::database(datatest::kDb)->emptyTable(u"TglTour.DB"_s);
    addList(1, 1, QDate());
    addList(2, 1, QDate(2025, 3, 3));
    EXPECT_EQ(ProposedPrintRange()->from, QDate(2025, 3, 3).addDays(-182));
}

TEST_F(DailyListPrintData, ThirtyTwoDaysAskThirtyOneDoNot) {
    const PrintRange month{QDate(2025, 3, 1), QDate(2025, 3, 31)};
    EXPECT_EQ(RangeDays(month), 31);
    EXPECT_FALSE(PrintRangeNeedsQuestion(month));
    const PrintRange longer{QDate(2025, 3, 1), QDate(2025, 4, 1)};
    EXPECT_TRUE(PrintRangeNeedsQuestion(longer));
    EXPECT_EQ(PrintRangeQuestion(longer),
              u"Möchten Sie wirklich für 32 Tage Tageslisten drucken?"_s);
}

TEST_F(DailyListPrintData, TheListsOfARangeByDateAndTour) {
    addList(2, 3, kDay);
    addList(3, 2, kDay.addDays(1));
    addList(4, 1, kDay.addDays(9));
    QStringList names;
    for (const DailyListHead& h : DailyListsInRange({kDay, kDay.addDays(1)}))
        names << h.dateText + u' ' + h.tourNrText + u' ' + h.persName;
    EXPECT_EQ(names,
              (QStringList{u"03.03.2025 1 MEIER"_s, u"03.03.2025 3 "_s, u"04.03.2025 2 "_s}));
}

TEST_F(DailyListPrintData, TwoReminderRowsGiveOneListWithItsHeading) {
    const QFont font(u"Arial"_s, 10);
    EXPECT_FALSE(HasDailyListFunctions(1, kDay));
    EXPECT_TRUE(ReminderListRtf(1, kDay, kDay, font).isEmpty());
    addFunction(1, 10, 3, 1, u"Formular.rtf"_s);
    EXPECT_TRUE(HasDailyListFunctions(1, kDay));
    EXPECT_TRUE(ReminderListRtf(1, kDay, kDay, font).isEmpty()) << "a form file only";
    addFunction(2, 10, 4, 2, u"Schlüssel holen bei @KNAME1"_s);
    addFunction(3, 11, 4, 2, u"Tor schließen (@OMATCH, @KTELNO)"_s);
    const QByteArray rtf = ReminderListRtf(1, kDay, kDay, font);
    EXPECT_EQ(richtext::plainTextOfRtf(rtf),
              u"Erinnerungsliste Tour 1 für den 03.03.2025\n\nSchlüssel holen bei Bau AG Nord\n"
              u"Tor schließen (Haus B, 030 12345)"_s);
    const auto document = richtext::fromRtf(rtf);
    EXPECT_GE(document->begin().begin().fragment().charFormat().fontWeight(), int(QFont::Bold));
    EXPECT_TRUE(ActivityHasFunction(1, 10, 3));
    EXPECT_FALSE(ActivityHasFunction(1, 10, 5));
    EXPECT_EQ(DailyListFunctionsOf(1, kDay).size(), 3);
}

TEST_F(DailyListPrintData, TheListViewTakesTheRowsOwnObjectAndCustomer) {
    const TTemplateValues own = ListViewValues(1, kDay, 10, kDay.addDays(1));
    EXPECT_EQ(own.OMatch, u"Haus A"_s);
    EXPECT_EQ(own.KundenNr, 100);
    EXPECT_EQ(own.KName1, u"Bau AG Nord"_s);
    EXPECT_EQ(DateOfDateTime(own.TourDate), kDay);
    EXPECT_EQ(DateOfDateTime(own.Today), kDay.addDays(1));
    EXPECT_EQ(own.TourText, u"Nordtour"_s);
    EXPECT_EQ(own.StaffName, u"MEIER"_s);
    QString times = u"@TVONUHR-@TBISUHR"_s;
    ExpandTemplateText(times, own);
    EXPECT_EQ(times, u"08:00:00-09:30:00"_s);
    // Customer 0 on the list: the object's own customer.
    const TTemplateValues fallback = ListViewValues(1, kDay, 11, kDay);
    EXPECT_EQ(fallback.KundenNr, 101);
    EXPECT_EQ(fallback.KMatch, u"Wohnen eG"_s);
    const TTemplateValues none = ListViewValues(1, kDay, 99, kDay);
    EXPECT_TRUE(none.OMatch.isEmpty());
    EXPECT_TRUE(none.KMatch.isEmpty());
}

TEST_F(DailyListPrintData, TheAppointmentsOfTheDay) {
    addRow(u"TermObj.DB"_s, {{u"T_ID"_s, 1},
                             {u"T_Objekt"_s, 10},
                             {u"T_ObjName"_s, u"Haus A"_s},
                             {u"T_Kurztext"_s, u"Dachrinne reinigen"_s},
                             {u"T_Date"_s, kDay}});
    addRow(u"TermObj.DB"_s, {{u"T_ID"_s, 2},
                             {u"T_Objekt"_s, 11},
                             {u"T_ObjName"_s, u"Objektname mit mehr als 30 Zeichen"_s},
                             {u"T_Kurztext"_s, u"Tor"_s},
                             {u"T_Date"_s, kDay},
                             {u"T_LsID"_s, 40}});
    addRow(u"TermObj.DB"_s, {{u"T_ID"_s, 3}, {u"T_Objekt"_s, 10}, {u"T_Date"_s, kDay.addDays(1)}});
    EXPECT_EQ(AppointmentLinesOfDay(kDay),
              (QStringList{
                  u"    10 Haus A                         Dachrinne reinigen            "_s,
                  u"    11 Objektname mit mehr als 30 Zei Tor                            LS"_s}));
    EXPECT_TRUE(AppointmentLinesOfDay(kDay.addDays(2)).isEmpty());
    const QList<DayWorkSheet> sheets = AppointmentWorkSheetsOfDay(kDay);
    ASSERT_EQ(sheets.size(), 2);
    EXPECT_EQ(sheets[0].sheet.filter,
              u"T_Objekt=10 AND T_Date=03.03.2025 AND T_Erledigt='false'"_s);
    EXPECT_EQ(sheets[0].sheet.objektText, u"10 : Haus A"_s);
    EXPECT_EQ(sheets[1].lsId, 40);
}

TEST_F(DailyListPrintData, ADeliveryNotesFormAndPrintDates) {
    addRow(u"LSkopf.DB"_s, {{u"R_ID"_s, 40}, {u"R_Nr"_s, u"LS-40"_s}, {u"R_PrintFormNo"_s, 40001}});
    EXPECT_EQ(DeliveryNotePrintForm(40), 40001);
    EXPECT_FALSE(DeliveryNotePrintForm(41));
    MarkDeliveryNotePrinted(40, kDay);
    const QVariantMap head = rows(u"LSkopf.DB"_s).first();
    EXPECT_EQ(head.value("R_DatumDruck").toDate(), kDay);
    EXPECT_EQ(head.value("R_LiefDatum").toDate(), kDay);
}

} // namespace
} // namespace operationstest
