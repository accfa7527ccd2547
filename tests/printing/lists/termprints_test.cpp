#include "listfixture.h"
#include "platform/errors.h"
#include "platform/table/table.h"
#include "printing/termprints.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// Objects 12 (with description and notes) and 13; appointments on three
// days, one of them done, one with delivery note LS-0040.
class TermPrintsTest : public liststest::ListFixture {
protected:
    void SetUp() override {
        ListFixture::SetUp();
        addRow(u"Objekte.DB"_s, {{u"O_ID"_s, 1},
                                 {u"O_Nr"_s, 12},
                                 {u"O_Match"_s, u"Haus Linde"_s},
                                 {u"O_Beschreibung"_s, u"Wohnanlage mit Garten"_s},
                                 {u"O_Notizen"_s, u"Schlüssel beim Hausmeister"_s},
                                 {u"O_Aktiv"_s, true}});
        addRow(u"Objekte.DB"_s, {{u"O_ID"_s, 2},
                                 {u"O_Nr"_s, 13},
                                 {u"O_Match"_s, u"Haus Eiche"_s},
                                 {u"O_Aktiv"_s, true}});
        addRow(u"LSkopf.DB"_s, {{u"R_ID"_s, 40}, {u"R_Nr"_s, u"LS-0040"_s}, {u"R_ObjektNr"_s, 12}});
        appointment(1, 12, QDate(2001, 3, 1), u"Treppenhaus"_s, false, 0);
        appointment(2, 13, QDate(2001, 3, 12), u"Dachrinne"_s, false, 0);
        appointment(3, 12, QDate(2001, 3, 31), u"Fenster"_s, true, 40);
        appointment(4, 12, QDate(2001, 3, 31), u"Keller"_s, false, 0);
        createModule();
    }
    void appointment(int id, int objekt, const QDate& date, const QString& text, bool done,
                     int lsId) {
        addRow(u"TermObj.DB"_s, {{u"T_ID"_s, id},
                                 {u"T_Objekt"_s, objekt},
                                 {u"T_Date"_s, date},
                                 {u"T_Kurztext"_s, text},
                                 {u"T_Text"_s, QString(u"Anweisung "_s + text)},
                                 {u"T_Betreuer"_s, u"Meier"_s},
                                 {u"T_Erledigt"_s, done},
                                 {u"T_LsID"_s, lsId},
                                 {u"T_GPreis"_s, QVariant(lsId ? 119.0 : 0.0)}});
    }
    const QStringList texts{u"Treppenhaus"_s, u"Dachrinne"_s, u"Fenster"_s, u"Keller"_s};
};

TEST_F(TermPrintsTest, TheFourListsTitleAndFilterAsTheWindowSays) {
    const struct {
        TermListEntry entry;
        const char* cls;
        QString filter;
        QStringList expected;
    } cases[] = {
        // An empty filter: every appointment, the latest day first.
        {&PrintTermList,
         "TQRTermEditList00",
         QString(),
         {u"Keller"_s, u"Fenster"_s, u"Dachrinne"_s, u"Treppenhaus"_s}},
        {&PrintTermListTag, "TQRTermEditList01", u"T_Date='12.03.2001'"_s, {u"Dachrinne"_s}},
        {&PrintTermListObjekt,
         "TQRTermEditList02",
         u"T_Objekt=12 AND T_Erledigt='false'"_s,
         {u"Keller"_s, u"Treppenhaus"_s}},
        {&PrintTermListObjektTag,
         "TQRTermEditList03",
         u"T_Date='31.03.2001' AND T_Objekt=12"_s,
         {u"Keller"_s, u"Fenster"_s}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cls);
        c.entry(true, c.filter, u"vom 01.03.2001 bis 31.03.2001"_s, u"alle Objekte"_s, {});
        EXPECT_EQ(classes.last(), QString::fromLatin1(c.cls));
        EXPECT_TRUE(previews.last());
        const QStringList all = allTexts();
        EXPECT_TRUE(all.contains(u"vom 01.03.2001 bis 31.03.2001, alle Objekte"_s))
            << all.join(u'|').toStdString();
        EXPECT_TRUE(all.contains(u"Terminliste"_s));
        EXPECT_TRUE(all.contains(u"Ende der Liste"_s));
        EXPECT_EQ(printed(texts), c.expected);
    }
    // The delivery note's number comes with its appointment.
    PrintTermList(false, u"T_ID=3"_s, u"vom 31.03.2001"_s, u"alle Objekte"_s, {});
    EXPECT_TRUE(allTexts().contains(u"LS-0040"_s));
    EXPECT_FALSE(previews.last());
    EXPECT_EQ(FindTermListEntry(u"PrintTermListObjektTag"), &PrintTermListObjektTag);
    EXPECT_EQ(FindTermListEntry(u"PrintTourList"), nullptr);
}

TEST_F(TermPrintsTest, AFilterMatchingNothingPrintsTheFrameOnly) {
    PrintTermListTag(true, u"T_Date='01.01.2030'"_s, u"vom 01.01.2030"_s, u"alle Objekte"_s, {});
    EXPECT_EQ(pages.size(), 1);
    EXPECT_TRUE(printed(texts).isEmpty());
    EXPECT_TRUE(allTexts().contains(u"Ende der Liste"_s));
}

TEST_F(TermPrintsTest, AWorkSheetWithItsObjectAndDeliveryNote) {
    table::Table& objekt = dm->TabObjekt();
    ASSERT_TRUE(objekt.locate({u"O_Nr"_s}, {13}));
    PrintArbeitsschein(true, u"T_Objekt=12 AND T_Date=31.03.2001"_s, u"31.03.2001"_s,
                       u"12 : Haus Linde"_s, u"Lindenstraße 4, 10115 Berlin"_s, {});
    EXPECT_EQ(classes.last(), u"TQRArbeitsSchein01"_s);
    const QStringList all = allTexts();
    for (const QString& text :
         {u"Arbeitsschein für den"_s, u"31.03.2001"_s, u"12 : Haus Linde"_s,
          u"Lindenstraße 4, 10115 Berlin"_s, u"Wohnanlage mit Garten"_s,
          u"Schlüssel beim Hausmeister"_s, u"Anweisung Keller"_s, u"Anweisung Fenster"_s,
          u"Erledigungs-Vermerk"_s, u"Ende der Liste"_s})
        EXPECT_TRUE(all.contains(text))
            << text.toStdString() << " in " << all.join(u'|').toStdString();
    // The first appointment (Keller) has no delivery note.
    EXPECT_FALSE(all.contains(u"Lieferschein"_s));
    EXPECT_FALSE(all.contains(u"LS-0040"_s));
    // The shared object table stays where it was.
    EXPECT_EQ(objekt.value(u"O_Nr"_s).toInt(), 13);

    // Open ones only: the done one with its delivery note stays out.
    PrintArbeitsschein(true, u"T_Objekt=12 AND T_Date=31.03.2001 AND T_Erledigt='false'"_s,
                       u"31.03.2001"_s, u"12 : Haus Linde"_s, QString(), {});
    EXPECT_FALSE(allTexts().contains(u"Anweisung Fenster"_s));
    EXPECT_TRUE(allTexts().contains(u"Anweisung Keller"_s));

    PrintArbeitsschein(true, u"T_ID=3"_s, u"31.03.2001"_s, u"12 : Haus Linde"_s, QString(), {});
    EXPECT_TRUE(allTexts().contains(u"Lieferschein"_s));
    EXPECT_TRUE(allTexts().contains(u"LS-0040"_s));
}

TEST_F(TermPrintsTest, AWorkSheetOfAnUnknownObjectPrintsNoObjectTexts) {
    appointment(9, 77, QDate(2001, 4, 2), u"Zaun"_s, false, 0);
    dm->TabObjekt().open();
    ASSERT_TRUE(dm->TabObjekt().locate({u"O_Nr"_s}, {12}));
    PrintArbeitsschein(true, u"T_Objekt=77 AND T_Date=02.04.2001"_s, u"02.04.2001"_s, u"77 : "_s,
                       u"Kein Objekt angegeben"_s, {});
    const QStringList all = allTexts();
    EXPECT_TRUE(all.contains(u"Anweisung Zaun"_s));
    EXPECT_TRUE(all.contains(u"Kein Objekt angegeben"_s));
    EXPECT_FALSE(all.contains(u"Wohnanlage mit Garten"_s));
    EXPECT_FALSE(all.contains(u"Schlüssel beim Hausmeister"_s)) << "no other object's notes";
    EXPECT_EQ(dm->TabObjekt().value(u"O_Nr"_s).toInt(), 12);
}

TEST_F(TermPrintsTest, AFilterThatCannotBeReadReachesTheCaller) {
    EXPECT_THROW(PrintArbeitsschein(true, u"T_Objekt=="_s, {}, {}, {}, {}), DbError);
    // The entry is free again.
    PrintArbeitsschein(true, u"T_ID=1"_s, u"01.03.2001"_s, u"12 : Haus Linde"_s, {}, {});
    EXPECT_TRUE(allTexts().contains(u"Anweisung Treppenhaus"_s));
}

} // namespace
