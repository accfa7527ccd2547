#include "adressfixture.h"
#include "core/files/filehelpers.h"
#include "masterdata/adressfilter.h"
#include "masterdata/adressselection.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace {

TEST(SelectionLines, EndALineOnceItGrowsPast80Characters) {
    QList<int> thirty;
    for (int i = 0; i < 30; ++i)
        thirty << 100 + i;
    const QStringList lines = SelectionLines(thirty);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0].size(), 84);
    EXPECT_EQ(lines[0].count(u';'), 21);
    EXPECT_EQ(lines[1], u"121;122;123;124;125;126;127;128;129;"_s);
    EXPECT_EQ(SelectionNumbers(lines), thirty);
    EXPECT_TRUE(SelectionLines({}).isEmpty());
    EXPECT_EQ(SelectionLines({7}), QStringList{u"7;"_s});
}

TEST(CutSelNumber, TakesTheTextUpToEachSemicolon) {
    struct Case {
        QString line;
        int number;
        QString rest;
    };
    const Case cases[] = {
        {u"12;13;14"_s, 12, u"13;14"_s},
        {u"14"_s, 0, QString()}, // without ";" the rest of the
                                 // line goes
        {u";5;"_s, 0, u"5;"_s},
        {u"abc;5;"_s, 0, u"5;"_s},
        {u" 42 ;"_s, 42, QString()},
        {u"-3;"_s, -3, QString()},
        {QString(), 0, QString()},
    };
    for (const Case& c : cases) {
        QString line = c.line;
        EXPECT_EQ(CutSelNumber(line), c.number) << c.line.toStdString();
        EXPECT_EQ(line, c.rest) << c.line.toStdString();
    }
    EXPECT_EQ(SelectionNumbers({u"12;13;14"_s}), (QList<int>{12, 13}));
    EXPECT_EQ(SelectionNumbers({u"1;"_s, QString(), u"2;x"_s}), (QList<int>{1, 2}));
}

class AdressSelections : public AdressFixture {
protected:
    void SetUp() override {
        AdressFixture::SetUp();
        for (int i = 1; i <= 5; ++i)
            addRow(u"Adress.DB"_s, {{u"A_ID"_s, i},
                                    {u"A_Nr"_s, 10 * i},
                                    {u"A_Ort"_s, i <= 3 ? u"Bonn"_s : u"Köln"_s},
                                    {u"A_Selected"_s, i % 2 == 1}});
    }
    QList<int> marked() {
        QList<int> numbers;
        auto t = open(u"Adress.DB"_s);
        for (t->first(); !t->eof(); t->next())
            if (t->field(u"A_Selected"_s).asBooleanOr(false))
                numbers << t->field(u"A_Nr"_s).asInteger();
        return numbers;
    }
};

TEST_F(AdressSelections, MarkAllTouchesOnlyTheFilteredAndKeepsThePlace) {
    SetAdressFilterExpression(adress(), u"A_Ort='Bonn'"_s);
    adress().last();
    MarkAllAdressen(adress(), true);
    EXPECT_EQ(marked(), (QList<int>{10, 20, 30, 50}));
    EXPECT_EQ(adress().field(u"A_Nr"_s).asInteger(), 30);
    EXPECT_EQ(adress().filter(), u"A_Ort='Bonn'"_s);
    MarkAllAdressen(adress(), false);
    EXPECT_EQ(marked(), QList<int>{50});
    EXPECT_EQ(CountMarkedAdressen(), 1);
}

TEST_F(AdressSelections, MarkAllUnderTheMarkFilterStillReachesEveryRecord) {
    SetAdressFilterExpression(adress(), u"A_Selected='True'"_s);
    MarkAllAdressen(adress(), false);
    EXPECT_TRUE(marked().isEmpty());
}

TEST_F(AdressSelections, SaveAndLoadRoundTrip) {
    // Written in key order, not number order.
    addRow(u"Adress.DB"_s, {{u"A_ID"_s, 6}, {u"A_Nr"_s, 5}, {u"A_Selected"_s, true}});
    const QString file = path(u"auswahl.sel"_s);
    EXPECT_EQ(SaveAdressSelection(file), 4);
    QStringList lines;
    ASSERT_TRUE(ReadTextDataFile(file, lines));
    EXPECT_EQ(lines, QStringList{u"10;30;50;5;"_s});
    MarkAllAdressen(adress(), true);
    EXPECT_EQ(LoadAdressSelection(file), 4);
    EXPECT_EQ(marked(), (QList<int>{10, 30, 50, 5}));
}

TEST_F(AdressSelections, LoadSkipsUnknownNumbersAndTheTrailingText) {
    const QString file = path(u"fremd.sel"_s);
    ASSERT_TRUE(WriteTextDataFile(file, {u"20;99;"_s, u"40;50"_s}));
    EXPECT_EQ(LoadAdressSelection(file), 2);
    EXPECT_EQ(marked(), (QList<int>{20, 40}));
}

TEST_F(AdressSelections, FileErrorsNameTheFileAndChangeNothing) {
    const QString missing = path(u"fehlt.sel"_s);
    try {
        LoadAdressSelection(missing);
        FAIL() << "no error";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().contains(missing));
    }
    EXPECT_EQ(marked(), (QList<int>{10, 30, 50}));
    const QString unwritable = path(u"kein/ordner/x.sel"_s);
    try {
        SaveAdressSelection(unwritable);
        FAIL() << "no error";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().contains(unwritable));
    }
    MarkAllAdressen(adress(), false);
    try {
        SaveAdressSelection(path(u"leer.sel"_s));
        FAIL() << "no error";
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(), u"Es sind keine Sätze markiert!"_s);
    }
    EXPECT_FALSE(QFile::exists(path(u"leer.sel"_s)));
}

} // namespace
