#include "adressfixture.h"
#include "core/files/programdirs.h"
#include "masterdata/adressfilter.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace {

class AdressFilters : public AdressFixture {
protected:
    void SetUp() override {
        AdressFixture::SetUp();
        m_savedSelectDir = SelectDir;
        SelectDir = path(u"Select"_s);
        QDir().mkpath(SelectDir);
        addRow(u"Adress.DB"_s, {{u"A_ID"_s, 1},
                                {u"A_Nr"_s, 1},
                                {u"A_Ort"_s, u"Stuttgart"_s},
                                {u"A_Fax"_s, u"(0711) 12-34"_s}});
        addRow(u"Adress.DB"_s, {{u"A_ID"_s, 2},
                                {u"A_Nr"_s, 2},
                                {u"A_Ort"_s, u"Stuttgart"_s},
                                {u"A_Telefon"_s, u"089 555"_s}});
        addRow(u"Adress.DB"_s, {{u"A_ID"_s, 3},
                                {u"A_Nr"_s, 3},
                                {u"A_Ort"_s, u"Köln"_s},
                                {u"A_Handy"_s, u"0171/0711 99"_s}});
    }
    void TearDown() override {
        SelectDir = m_savedSelectDir;
        AdressFixture::TearDown();
    }

private:
    QString m_savedSelectDir;
};

TEST(PhoneDigits, KeepsOnlyTheDigits) {
    EXPECT_EQ(PhoneDigits(u"(0711) 12-34"_s), u"07111234"_s);
    EXPECT_EQ(PhoneDigits(u"0711 5a"_s), u"07115"_s);
    EXPECT_EQ(PhoneDigits(u"0711 "_s), u"0711"_s);
    EXPECT_EQ(PhoneDigits(u"²³ ٣"_s), QString()); // digits of other scripts are no phone digits
}

TEST_F(AdressFilters, PhoneFilterFindsDigitsInPhoneMobileAndFax) {
    SetAdressPhoneFilter(adress(), u"0711"_s);
    EXPECT_TRUE(adress().isFiltered());
    EXPECT_EQ(shown(), (QList<int>{1, 3}));
    SetAdressPhoneFilter(adress(), u"07111234"_s);
    EXPECT_EQ(shown(), QList<int>{1});
    SetAdressPhoneFilter(adress(), QString());
    EXPECT_FALSE(adress().isFiltered());
    EXPECT_EQ(shown(), (QList<int>{1, 2, 3}));
}

TEST_F(AdressFilters, PhoneAndExpressionShareOneSwitchTheLastEditedDecides) {
    SetAdressFilterExpression(adress(), u"A_Ort='Stuttgart'"_s);
    EXPECT_EQ(shown(), (QList<int>{1, 2}));
    SetAdressPhoneFilter(adress(), u"0711"_s); // both apply while the switch is on
    EXPECT_EQ(shown(), QList<int>{1});
    SetAdressPhoneFilter(adress(), QString()); // the switch goes off: the expression too
    EXPECT_EQ(shown(), (QList<int>{1, 2, 3}));
    SetAdressFilterExpression(adress(), u"A_Ort='Stuttgart'"_s);
    EXPECT_EQ(shown(), (QList<int>{1, 2}));
    SetAdressFilterExpression(adress(), QString());
    EXPECT_FALSE(adress().isFiltered());
}

TEST_F(AdressFilters, MalformedOrHostileExpressionsAreRefusedAndTheFilterStays) {
    SetAdressFilterExpression(adress(), u"A_Ort='Köln'"_s);
    const QStringList bad = {u"A_Ort='Köln"_s,
                             u"A_Ort='x' OR 1=1; DROP TABLE Adress"_s,
                             u"A_Ort='x'); DELETE FROM \"Adress\"; --"_s,
                             u"Unbekannt=1"_s,
                             u"A_Nr='abc'"_s,
                             u"A_Ort="_s};
    for (const QString& text : bad) {
        EXPECT_THROW(SetAdressFilterExpression(adress(), text), DbError) << text.toStdString();
        EXPECT_EQ(adress().filter(), u"A_Ort='Köln'"_s);
        EXPECT_EQ(shown(), QList<int>{3});
    }
    EXPECT_EQ(open(u"Adress.DB"_s)->recordCount(), 3);
    // Quotes inside a literal stay part of the value: it is bound, not pasted.
    SetAdressFilterExpression(adress(), u"A_Ort='Köln'' OR ''1''=''1'"_s);
    EXPECT_TRUE(shown().isEmpty());
    SetAdressFilterExpression(adress(), u"A_Ort='Köln'' OR ''1''=''1*'"_s);
    EXPECT_TRUE(shown().isEmpty());
    EXPECT_EQ(open(u"Adress.DB"_s)->recordCount(), 3);
}

TEST(AdrSucheHistory, NewTextsGoOnTopKnownOnesStayAndTheOldestGoes) {
    QStringList history;
    history = AddAdrSucheHistory(history, u"A_Ort='Köln'"_s);
    history = AddAdrSucheHistory(history, u"A_Nr>5"_s);
    EXPECT_EQ(history, (QStringList{u"A_Nr>5"_s, u"A_Ort='Köln'"_s}));
    EXPECT_EQ(AddAdrSucheHistory(history, u"A_Ort='Köln'"_s), history);
    EXPECT_EQ(AddAdrSucheHistory(history, QString()), history);
    QStringList full;
    for (int i = 1; i <= AdrSucheHistorySize; ++i)
        full = AddAdrSucheHistory(full, u"A_Nr=%1"_s.arg(i));
    ASSERT_EQ(full.size(), 32);
    const QStringList next = AddAdrSucheHistory(full, u"A_Nr=33"_s);
    EXPECT_EQ(next.size(), 32);
    EXPECT_EQ(next.first(), u"A_Nr=33"_s);
    EXPECT_FALSE(next.contains(u"A_Nr=1"_s));
}

TEST_F(AdressFilters, OnlyAnAcceptedExpressionReachesTheHistoryAndItsFile) {
    const QStringList history = {u"A_Nr>5"_s};
    const QString file = AdrSucheFileName();
    EXPECT_THROW(ApplyAdressFilterExpression(adress(), u"A_Ort='Köln"_s, history), DbError);
    EXPECT_THROW(ApplyAdressFilterExpression(adress(), u"Kennwort='x'"_s, history), DbError);
    EXPECT_FALSE(QFileInfo::exists(file));
    EXPECT_FALSE(adress().isFiltered());

    const QStringList next = ApplyAdressFilterExpression(adress(), u"A_Ort='Köln'"_s, history);
    EXPECT_EQ(next, (QStringList{u"A_Ort='Köln'"_s, u"A_Nr>5"_s}));
    EXPECT_EQ(shown(), QList<int>{3});
    EXPECT_EQ(LoadAdrSucheHistory(), next);

    // A known text filters but leaves the file alone.
    QFile::remove(file);
    EXPECT_EQ(ApplyAdressFilterExpression(adress(), u"A_Nr>5"_s, next), next);
    EXPECT_FALSE(QFileInfo::exists(file));
    EXPECT_EQ(ApplyAdressFilterExpression(adress(), QString(), next), next);
    EXPECT_FALSE(adress().isFiltered());
}

TEST_F(AdressFilters, HistoryIsKeptInAdrSucheTxt) {
    EXPECT_TRUE(LoadAdrSucheHistory().isEmpty());
    SaveAdrSucheHistory({u"A_Nr>5"_s, u"A_Ort='Köln'"_s});
    EXPECT_TRUE(QFileInfo::exists(QDir(SelectDir).filePath(u"AdrSuche.txt"_s)));
    EXPECT_EQ(LoadAdrSucheHistory(), (QStringList{u"A_Nr>5"_s, u"A_Ort='Köln'"_s}));
}

} // namespace
