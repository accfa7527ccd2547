#include "adressfixture.h"
#include "masterdata/adressbuild.h"

using namespace Qt::StringLiterals;

namespace {

QList<NumberPlanRow> plan(const QList<std::array<int, 3>>& rows) {
    QList<NumberPlanRow> p;
    for (const auto& r : rows)
        p << NumberPlanRow{r[0], r[1], r[2]};
    return p;
}

TEST(NumberPlan, AnOverlapIsReportedOnTheLaterRow) {
    struct Case {
        const char* name;
        QList<std::array<int, 3>> rows;
        QStringList statuses;
    };
    const QString ok = u"OK"_s, bad = u"FEHLER"_s;
    const Case cases[] = {
        {"all empty",
         {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}},
         {ok, ok, ok, ok, ok}},
        {"same range",
         {{1, 50, 0}, {1, 30, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}},
         {ok, bad, ok, ok, ok}},
        {"shifted apart",
         {{1, 50, 0}, {1, 30, 1000}, {1, 9, 2000}, {0, 0, 0}, {0, 0, 0}},
         {ok, ok, ok, ok, ok}},
        {"touching bounds",
         {{1, 50, 0}, {50, 60, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}},
         {ok, bad, ok, ok, ok}},
        {"inside a later",
         {{10, 20, 0}, {0, 0, 0}, {0, 0, 0}, {1, 100, 0}, {0, 0, 0}},
         {ok, ok, ok, bad, ok}},
        {"empty but shifted",
         {{1, 50, 0}, {0, 0, 5}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}},
         {ok, bad, ok, ok, ok}},
        {"shifted sum zero",
         {{-5, 5, 0}, {-5, 5, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}},
         {ok, ok, ok, ok, ok}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NumberPlanStatuses(plan(c.rows)), c.statuses) << c.name;
        EXPECT_EQ(NumberPlanIsValid(plan(c.rows)), !c.statuses.contains(bad)) << c.name;
    }
}

TEST(AdressDuplicateKey, UpperCasedFieldsEachEndedBySemicolon) {
    EXPECT_EQ(AdressDuplicateKey({u"mü"_s, u"a"_s, QString(), u"1"_s, u"köln"_s, u"x"_s}),
              u"MÜ;A;;1;KÖLN;X;"_s);
}

class AdressBuild : public AdressFixture {
protected:
    void SetUp() override {
        AdressFixture::SetUp();
        addRow(u"Kunden.DB"_s, {{u"K_ID"_s, 1},
                                {u"K_Nr"_s, 1},
                                {u"K_Match"_s, u"MEIER"_s},
                                {u"K_Name1"_s, u"Meier"_s},
                                {u"K_Ort"_s, u"Bonn"_s},
                                {u"K_Tel1"_s, u"0228"_s},
                                {u"K_Ansprech1"_s, u"Frau Meier "_s},
                                {u"K_AnsprechAbt1"_s, u"Einkauf"_s},
                                {u"K_AnsprechTel1"_s, u"12"_s},
                                {u"K_Ansprech2"_s, u"   "_s},
                                {u"K_Ansprech3"_s, u"Herr Roth"_s}});
        addRow(u"Kunden.DB"_s, {{u"K_ID"_s, 2}, {u"K_Nr"_s, 2}, {u"K_Name1"_s, u"Schulz"_s}});
        addRow(u"Objekte.DB"_s, {{u"O_ID"_s, 1},
                                 {u"O_Nr"_s, 1},
                                 {u"O_Match"_s, u"meier"_s},
                                 {u"O_Name1"_s, u"MEIER"_s},
                                 {u"O_Ort"_s, u"bonn"_s}}); // a duplicate of customer 1
        addRow(u"Objekte.DB"_s, {{u"O_ID"_s, 2},
                                 {u"O_Nr"_s, 4},
                                 {u"O_Name1"_s, u"Haus am See"_s},
                                 {u"O_Sachbearbeiter"_s, u"Kurz"_s}});
        addRow(u"Personal.DB"_s, {{u"P_ID"_s, 1},
                                  {u"P_Nr"_s, 3},
                                  {u"P_Name1"_s, u"Lang"_s},
                                  {u"P_Email"_s, u"lang@example.org"_s}});
    }
    QList<NumberPlanRow> offsets(int kunden, int objekte, int personal) {
        QList<NumberPlanRow> p = ReadNumberPlan();
        p[0].offset = kunden;
        p[1].offset = objekte;
        p[3].offset = personal;
        return p;
    }
    QMap<int, QStringList> adressen() {
        QMap<int, QStringList> rows;
        auto t = open(u"Adress.DB"_s);
        for (t->first(); !t->eof(); t->next())
            rows.insert(t->field(u"A_Nr"_s).asInteger(),
                        {t->field(u"A_Name1"_s).asString(), t->field(u"A_Telefon"_s).asString(),
                         t->field(u"A_KundenNr"_s).asString(), t->field(u"A_ObjektNr"_s).asString(),
                         t->field(u"A_PersonalNr"_s).asString(),
                         t->field(u"A_Sachbearbeiter"_s).asString(),
                         t->field(u"A_Email"_s).asString()});
        return rows;
    }
    int count(const QString& table) { return open(table)->recordCount(); }
};

TEST_F(AdressBuild, ReadsTheNumberRangesOfTheSources) {
    const QList<NumberPlanRow> p = ReadNumberPlan();
    ASSERT_EQ(p.size(), 5);
    EXPECT_EQ(p[0].smallest, 1);
    EXPECT_EQ(p[0].largest, 2);
    EXPECT_EQ(p[1].largest, 4);
    EXPECT_EQ(p[2].largest, 0);
    EXPECT_EQ(NumberPlanStatuses(p),
              (QStringList{u"OK"_s, u"FEHLER"_s, u"OK"_s, u"FEHLER"_s, u"OK"_s}));
}

TEST_F(AdressBuild, CopiesSourcesSkipsDuplicatesAndCopiesContacts) {
    QStringList memo;
    const int added = BuildAdressBook(offsets(0, 100, 200), false,
                                      {[&](const QString& line) { memo << line; }, nullptr});
    EXPECT_EQ(added, 4);
    const QMap<int, QStringList> rows = adressen();
    EXPECT_EQ(rows.keys(), (QList<int>{1, 2, 104, 203}));
    // Links keep the source's own number, without offset.
    EXPECT_EQ(rows[1], (QStringList{u"Meier"_s, u"0228"_s, u"1"_s, QString(), QString(), QString(),
                                    QString()}));
    EXPECT_EQ(rows[104], (QStringList{u"Haus am See"_s, QString(), QString(), u"4"_s, QString(),
                                      u"Kurz"_s, QString()}));
    EXPECT_EQ(rows[203], (QStringList{u"Lang"_s, QString(), QString(), QString(), u"3"_s, QString(),
                                      u"lang@example.org"_s}));
    auto contacts = open(u"Aansp.DB"_s);
    QStringList names;
    for (contacts->first(); !contacts->eof(); contacts->next())
        names << contacts->field(u"AA_AnsprechName"_s).asString() + u'/' +
                     contacts->field(u"AA_AnsprechAbt"_s).asString() + u'/' +
                     contacts->field(u"AA_AnsprechTel"_s).asString();
    EXPECT_EQ(names, (QStringList{u"Frau Meier /Einkauf/12"_s, u"Herr Roth//"_s}));
    EXPECT_EQ(memo.first(), u"Zufügen der Kundendaten"_s);
    EXPECT_TRUE(memo.contains(u"Ergänzt: 104"_s));
    EXPECT_EQ(memo.count(QString(31, u'-')), 5);
}

TEST_F(AdressBuild, RepeatedKeepsExistingAddressesAndAddsNoDuplicates) {
    BuildAdressBook(offsets(0, 100, 200), false);
    EXPECT_EQ(BuildAdressBook(offsets(0, 100, 200), false), 0);
    EXPECT_EQ(count(u"Adress.DB"_s), 4);
    EXPECT_EQ(count(u"Aansp.DB"_s), 2);
}

TEST_F(AdressBuild, EmptyingFirstReplacesBookContactsJournalAndProtocol) {
    addRow(u"Adress.DB"_s, {{u"A_ID"_s, 50}, {u"A_Nr"_s, 999}, {u"A_Name1"_s, u"Alt"_s}});
    addRow(u"AdrJour.db"_s, {{u"AJ_ID"_s, 1}, {u"AJ_Adr"_s, 50}});
    addRow(u"AdrProto.DB"_s, {{u"AP_ID"_s, 1}, {u"AP_Adr"_s, 50}});
    EXPECT_EQ(BuildAdressBook(offsets(0, 100, 200), true), 4);
    EXPECT_EQ(adressen().keys(), (QList<int>{1, 2, 104, 203}));
    EXPECT_EQ(count(u"AdrJour.db"_s), 0);
    EXPECT_EQ(count(u"AdrProto.DB"_s), 0);
}

TEST_F(AdressBuild, ACollisionLeavesEverythingAsItWas) {
    addRow(u"Adress.DB"_s, {{u"A_ID"_s, 50}, {u"A_Nr"_s, 104}, {u"A_Name1"_s, u"Alt"_s}});
    addRow(u"Aansp.DB"_s, {{u"AA_ID"_s, 9}, {u"AA_RefID"_s, 50}});
    addRow(u"AdrJour.db"_s, {{u"AJ_ID"_s, 1}, {u"AJ_Adr"_s, 50}});
    // Two emergency services without number both become address 0 when
    // the old book was emptied.
    addRow(u"Notdnst.DB"_s, {{u"ND_ID"_s, 1}, {u"ND_Name1"_s, u"Rohrdienst"_s}});
    addRow(u"Notdnst.DB"_s, {{u"ND_ID"_s, 2}, {u"ND_Name1"_s, u"Schlüsseldienst"_s}});
    for (bool emptyFirst : {false, true}) {
        presenter.boxes.clear();
        EXPECT_THROW(BuildAdressBook(offsets(0, 100, 200), emptyFirst), Abort);
        EXPECT_EQ(presenter.texts(MessagePresenter::Kind::Error).size(), 1);
        EXPECT_EQ(adressen().keys(), QList<int>{104});
        EXPECT_EQ(count(u"Aansp.DB"_s), 1);
        EXPECT_EQ(count(u"AdrJour.db"_s), 1);
        EXPECT_FALSE(adress().isEditing());
    }
}

TEST_F(AdressBuild, AnInvalidPlanChangesNothing) {
    try {
        BuildAdressBook(ReadNumberPlan(), true);
        FAIL() << "no error";
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(), u"Fehler in der Nummernzuteilung"_s);
    }
    EXPECT_EQ(count(u"Adress.DB"_s), 0);
}

} // namespace
