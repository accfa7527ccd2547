#include "appointmentsfixture.h"
#include "operations/termfilter.h"

using namespace Qt::StringLiterals;

namespace {

TEST(TermFilter, ConditionsByChoiceAndOpenOnly) {
    const QDate day(2024, 11, 15);
    struct Case {
        TermFilterChoice choice;
        bool onlyOpen;
        QString text;
    };
    const Case cases[] = {
        {TermFilterChoice::None, false, QString()},
        {TermFilterChoice::None, true, u"T_Erledigt='false'"_s},
        {TermFilterChoice::Date, false, u"T_Date='15.11.2024'"_s},
        {TermFilterChoice::Objekt, true, u"T_Objekt=12 AND T_Erledigt='false'"_s},
        {TermFilterChoice::DateObjekt, false, u"T_Date='15.11.2024' AND T_Objekt=12"_s},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BuildTermFilter(c.choice, day, 12, c.onlyOpen), c.text) << c.text.toStdString();
    EXPECT_EQ(TermFilterCaptions(), (QStringList{u"kein Filter"_s, u"gewähltes Datum"_s,
                                                 u"aktuelle Objekt-Nummer"_s, u"Datum+Objekt"_s}));
}

TEST(TermFilter, TheListOfEachChoice) {
    const QDate from(2001, 3, 1), to(2001, 3, 31), row(2001, 3, 12);
    struct Case {
        TermFilterChoice choice;
        int formType;
        QString entry, dateText, objektText;
    };
    const Case cases[] = {
        {TermFilterChoice::None, 31000, u"PrintTermList"_s, u"vom 01.03.2001 bis 31.03.2001"_s,
         u"alle Objekte"_s},
        {TermFilterChoice::Date, 32000, u"PrintTermListTag"_s, u"vom 12.03.2001"_s,
         u"alle Objekte"_s},
        {TermFilterChoice::Objekt, 33000, u"PrintTermListObjekt"_s,
         u"vom 01.03.2001 bis 31.03.2001"_s, u"Objekt 12 : Haus Linde"_s},
        {TermFilterChoice::DateObjekt, 34000, u"PrintTermListObjektTag"_s, u"vom 01.03.2001"_s,
         u"Objekt 12 : Haus Linde"_s},
    };
    for (const Case& c : cases) {
        const TermListPrint p = TermListPrintOf(c.choice, from, to, row, 12, u"Haus Linde"_s);
        EXPECT_EQ(p.formType, c.formType);
        EXPECT_EQ(p.entry, c.entry);
        EXPECT_EQ(p.dateText, c.dateText);
        EXPECT_EQ(p.objektText, c.objektText);
    }
}

class TermWorkSheets : public operationstest::Appointments {
protected:
    void SetUp() override {
        Appointments::SetUp();
        for (int nr : {21, 22}) {
            addActiveObject(nr, 1, u"Objekt %1"_s.arg(nr));
            auto objects = open(u"Objekte.DB"_s);
            ASSERT_TRUE(objects->locate({u"O_Nr"_s}, {nr}));
            objects->edit();
            objects->field(u"O_Strasse"_s).setValue(u"Lindenstraße %1"_s.arg(nr));
            objects->field(u"O_Plz"_s).setValue(u"10115"_s);
            objects->field(u"O_Ort"_s).setValue(u"Berlin"_s);
            objects->post();
        }
        auto name = [](int nr) {
            return QList<std::pair<QString, QVariant>>{{u"T_ObjName"_s, u"Objekt %1"_s.arg(nr)}};
        };
        addAppointment(1, 21, kDay, false, name(21));
        addAppointment(2, 22, kDay, true, name(22));
        addAppointment(3, 21, kDay, false, name(21));
        addAppointment(4, 99, kDay, false, name(99));
        addAppointment(5, 21, kDay.addDays(1), false, name(21));
    }
    static inline const QDate kDay{2024, 11, 15};
};

TEST_F(TermWorkSheets, OneSheetPerObjectOfTheDay) {
    const QList<TermWorkSheet> sheets = TermWorkSheetsOfDay(QString(), kDay, false);
    ASSERT_EQ(sheets.size(), 3);
    // The date index runs descending: the highest object first.
    EXPECT_EQ(sheets[0].objektNr, 99);
    EXPECT_EQ(sheets[0].address, u"Kein Objekt angegeben"_s);
    EXPECT_EQ(sheets[1].objektNr, 22);
    EXPECT_EQ(sheets[2].objektNr, 21);
    EXPECT_EQ(sheets[2].filter, u"T_Objekt=21 AND T_Date=15.11.2024"_s);
    EXPECT_EQ(sheets[2].dateText, u"15.11.2024"_s);
    EXPECT_EQ(sheets[2].objektText, u"21 : Objekt 21"_s);
    EXPECT_EQ(sheets[2].address, u"Lindenstraße 21, 10115 Berlin"_s);
}

TEST_F(TermWorkSheets, TheGridFilterAndOpenOnlyNarrowTheSheets) {
    const QList<TermWorkSheet> open = TermWorkSheetsOfDay(u"T_Erledigt='false'"_s, kDay, true);
    ASSERT_EQ(open.size(), 2);
    EXPECT_EQ(open[1].filter, u"T_Objekt=21 AND T_Date=15.11.2024 AND T_Erledigt='false'"_s);
    EXPECT_TRUE(TermWorkSheetsOfDay(u"T_Objekt=22"_s, kDay.addDays(1), false).isEmpty());
}

} // namespace
