#include "listfixture.h"
#include "platform/table/table.h"
#include "printing/dailylistprints.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// Tour 4 on 03.03.2025 with objects 12 (three activities, backlogs 0, 1
// and none), 13 (three activities) and 14 (none); object 12 has delivery
// note LS-0040.
class DailyListPrints : public liststest::ListFixture {
protected:
    void SetUp() override {
        ListFixture::SetUp();
        for (const auto& [nr, match] : {std::pair{12, u"Haus Linde"_s},
                                        {13, u"Haus Eiche"_s},
                                        {14, u"Haus Birke"_s},
                                        {15, u"Haus Ahorn"_s}})
            addRow(u"Objekte.DB"_s, {{u"O_ID"_s, nr},
                                     {u"O_Nr"_s, nr},
                                     {u"O_Match"_s, match},
                                     {u"O_Name1"_s, QString(u"Name "_s + match)},
                                     {u"O_Strasse"_s, u"Weg %1"_s.arg(nr)},
                                     {u"O_Beschreibung"_s, u"Beschreibung %1"_s.arg(nr)},
                                     {u"O_Aktiv"_s, true}});
        addRow(u"LSkopf.DB"_s, {{u"R_ID"_s, 40}, {u"R_Nr"_s, u"LS-0040"_s}});
        addRow(u"TglTour.DB"_s, {{u"A_TourID"_s, 1},
                                 {u"A_TourNr"_s, 4},
                                 {u"A_Date"_s, QDate(2025, 3, 3)},
                                 {u"A_Bezeichnung"_s, u"Nordtour"_s},
                                 {u"A_PersName"_s, u"MEIER"_s}});
        addRow(u"TglTour.DB"_s,
               {{u"A_TourID"_s, 2}, {u"A_TourNr"_s, 5}, {u"A_Date"_s, QDate(2025, 3, 3)}});
        int key = 0;
        for (const int nr : {12, 13, 14})
            addRow(u"TglObj.DB"_s, {{u"A_TOID"_s, ++key},
                                    {u"A_TourID"_s, 1},
                                    {u"A_ObjektNr"_s, nr},
                                    {u"A_ObjektBez"_s, u"Bez %1"_s.arg(nr)},
                                    {u"A_VonUhr"_s, QTime(8 + key, 0)},
                                    {u"A_BisUhr"_s, QTime(8 + key, 30)},
                                    {u"A_LsID"_s, nr == 12 ? 40 : 0}});
        addRow(u"TglObj.DB"_s, {{u"A_TOID"_s, 9}, {u"A_TourID"_s, 2}, {u"A_ObjektNr"_s, 15}});
        key = 0;
        for (const int nr : {12, 13})
            for (int a = 1; a <= 3; ++a) {
                QList<std::pair<QString, QVariant>> row{
                    {u"A_TOTID"_s, ++key},
                    {u"A_TourID"_s, 1},
                    {u"A_ObjNr"_s, nr},
                    {u"A_TaetigNr"_s, nr * 10 + a},
                    {u"A_TourText"_s, u"Tätigkeit %1-%2"_s.arg(nr).arg(a)},
                    {u"A_KontrollText"_s, u"Kontrolle %1-%2"_s.arg(nr).arg(a)},
                    {u"A_ServiceID"_s, a == 3 ? QVariant() : QVariant(u"G"_s)}};
                if (a < 3)
                    row.append({u"A_Rueckstand"_s, a - 1});
                addRow(u"TglTaet.DB"_s, row);
            }
        createModule();
    }
    // The texts of the daily list's object headers and activity lines.
    QStringList listLines() const {
        QStringList lines;
        for (const QString& t : allTexts())
            if (t.startsWith(u"Bez "_s) || t.startsWith(u"Tätigkeit "_s) || t.startsWith(u'['))
                lines << t;
        return lines;
    }
};

TEST_F(DailyListPrints, TheDailyListPrintsObjectAfterObjectWithMarksAndBoxes) {
    PrintTagList(u"03.03.2025"_s, u"4"_s, u"MEIER"_s, true, {});
    EXPECT_EQ(classes.last(), u"TQRTagList01"_s);
    ASSERT_EQ(pages.size(), 1);
    EXPECT_EQ(
        listLines(),
        (QStringList{u"Bez 12"_s, u"Tätigkeit 12-1"_s, u"[0]"_s, u"[G]"_s, u"Tätigkeit 12-2"_s,
                     u"[1]"_s, u"[G]"_s, u"Tätigkeit 12-3"_s, u"[]"_s, u"[]"_s, u"Bez 13"_s,
                     u"Tätigkeit 13-1"_s, u"[0]"_s, u"[G]"_s, u"Tätigkeit 13-2"_s, u"[1]"_s,
                     u"[G]"_s, u"Tätigkeit 13-3"_s, u"[]"_s, u"[]"_s,
                     // An object without activities: one empty line with its box.
                     u"Bez 14"_s, u"[]"_s, u"[]"_s}));
    const QStringList all = allTexts();
    for (const QString& text : {u"Tagesliste für den"_s, u"03.03.2025"_s, u"Nordtour"_s, u"MEIER"_s,
                                u"Betreuer: Herr/Frau"_s, u"Erledigungs-Vermerk"_s, u"09:00"_s,
                                u"09:30"_s, u"Ende der Liste"_s, u"Seite"_s})
        EXPECT_TRUE(all.contains(text)) << text.toStdString();
    EXPECT_EQ(all.count(u"Tätigkeits-Nr."_s), 3) << "one group header per object";
    // The empty boxes: one per activity line, framed.
    int boxes = 0;
    for (const report::Page& page : document.pages)
        for (const report::PageItem& item : page.items)
            if (const auto* frame = std::get_if<report::FrameItem>(&item))
                boxes += frame->rect.width() > 30 * report::kUnitsPerMm ? 1 : 0;
    EXPECT_GE(boxes, 7);
    EXPECT_FALSE(all.contains(u"LS-0040"_s)) << "the delivery note is an option";
}

TEST_F(DailyListPrints, TheWorkReportHasAPageForEachObjectAndOnePageNumber) {
    table::Table& objekt = dm->TabObjekt();
    objekt.open();
    ASSERT_TRUE(objekt.locate({u"O_Nr"_s}, {15}));
    PrintArbeitsbericht(u"03.03.2025"_s, u"4"_s, u"MEIER"_s, false, {});
    EXPECT_EQ(classes.last(), u"TQRTagList2"_s);
    EXPECT_FALSE(previews.last());
    ASSERT_EQ(pages.size(), 3);
    for (int p = 0; p < 3; ++p) {
        SCOPED_TRACE(p);
        EXPECT_TRUE(pages[p].contains(u"Arbeitsbericht für den"_s));
        EXPECT_TRUE(pages[p].contains(u"Bez %1"_s.arg(12 + p))) << "the object of the page";
        EXPECT_TRUE(pages[p].contains(u"MEIER"_s));
    }
    EXPECT_TRUE(pages[0].contains(u"Kontrolle 12-2"_s));
    EXPECT_TRUE(pages[1].contains(u"Tätigkeit 13-3"_s));
    int numbers = 0;
    for (const QStringList& page : pages)
        numbers += page.count(u"Seite"_s);
    EXPECT_EQ(numbers, 1);
    EXPECT_TRUE(pages[2].contains(u"Seite"_s)) << "after the last object";
    // The shared object table stays where it was.
    EXPECT_EQ(objekt.value(u"O_Nr"_s).toInt(), 15);
}

TEST_F(DailyListPrints, NoMatchingListPrintsOnePageWithItsFrame) {
    PrintTagList(u"04.03.2025"_s, u"4"_s, u"MEIER"_s, true, {});
    ASSERT_EQ(pages.size(), 1);
    EXPECT_TRUE(allTexts().contains(u"Ende der Liste"_s));
    EXPECT_TRUE(listLines().isEmpty());
    PrintArbeitsbericht(u"04.03.2025"_s, u"4"_s, u"MEIER"_s, true, {});
    ASSERT_EQ(pages.size(), 1);
    EXPECT_TRUE(allTexts().contains(u"Seite"_s));
    PrintTagList(u"kein Datum"_s, u"4"_s, u"MEIER"_s, true, {});
    EXPECT_EQ(pages.size(), 1);
    EXPECT_TRUE(listLines().isEmpty());
}

} // namespace
