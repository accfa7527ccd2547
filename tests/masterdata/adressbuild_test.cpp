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
        {"beyond the number range",
         {{1, 50, 0}, {1, 9, 2147483640}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}},
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

// The address fields and their source fields, in the order customers,
// objects, suppliers, staff, emergency services ("" not written).
struct Mapped {
    const char* adress;
    std::array<const char*, 5> source;
};
const Mapped Expected[] = {
    {"A_Match", {"K_Match", "O_Match", "K_Match", "P_Match", "ND_Match"}},
    {"A_Name1", {"K_Name1", "O_Name1", "K_Name1", "P_Name1", "ND_Name1"}},
    {"A_Name2", {"K_Name2", "O_Name2", "K_Name2", "P_Name2", "ND_Name2"}},
    {"A_Name3", {"K_Name3", "O_Name3", "K_Name3", "", ""}},
    {"A_Plz", {"K_Plz", "O_Plz", "K_Plz", "P_Plz", "ND_Plz"}},
    {"A_Ort", {"K_Ort", "O_Ort", "K_Ort", "P_Ort", "ND_Ort"}},
    {"A_Strasse", {"K_Strasse", "O_Strasse", "K_Strasse", "P_Strasse", "ND_Strasse"}},
    {"A_Telefon", {"K_Tel1", "O_Telefon", "K_Tel1", "P_Telefon", "ND_Telefon"}},
    {"A_Fax", {"K_Fax", "O_Fax", "K_Fax", "P_Fax", "ND_Fax"}},
    {"A_Handy", {"K_Tel2", "O_Handy", "K_Tel2", "P_Handy", "ND_Handy"}},
    {"A_Email", {"K_Email", "", "K_Email", "P_Email", "ND_Email"}},
    {"A_Website", {"", "", "", "", ""}},
    {"A_Sachbearbeiter", {"", "O_Sachbearbeiter", "", "", "ND_Sachbearbeiter"}},
};
const char* const LinkFields[] = {"A_KundenNr", "A_ObjektNr", "A_LieferantNr", "A_PersonalNr",
                                  "A_NotdienstNr"};

// One record of number 7 per source, every text field filled with its own
// value, some fields no address field takes filled as well.
class AdressBuildMapping : public AdressFixture {
protected:
    void SetUp() override {
        AdressFixture::SetUp();
        const struct {
            const char* table;
            const char* prefix;
            QList<std::pair<QString, QVariant>> unmapped;
        } sources[] = {
            {"Kunden.DB",
             "K_",
             {{u"K_Website"_s, u"k.example"_s}, {u"K_Ansprech2"_s, u"Frau A"_s}}},
            {"Objekte.DB",
             "O_",
             {{u"O_Email"_s, u"o@example.org"_s},
              {u"O_Website"_s, u"o.example"_s},
              {u"O_Ansprech4"_s, u"Herr B"_s},
              {u"O_AnsprechTel4"_s, u"44"_s}}},
            {"Liefrnt.db", "K_", {{u"K_Ansprech1"_s, u"Frau C"_s}}},
            {"Personal.DB", "P_", {{u"P_Vorname"_s, u"Eva"_s}}},
            {"Notdnst.DB", "ND_", {{u"ND_Branche"_s, u"Sanitär"_s}}},
        };
        for (int s = 0; s < 5; ++s) {
            const QString prefix = QString::fromLatin1(sources[s].prefix);
            QList<std::pair<QString, QVariant>> row = {{prefix + u"ID"_s, 1},
                                                       {prefix + u"Nr"_s, 7}};
            for (const Mapped& m : Expected)
                if (*m.source[s])
                    row.append({QString::fromLatin1(m.source[s]), value(s, m.adress)});
            row.append(sources[s].unmapped);
            addRow(QString::fromLatin1(sources[s].table), row);
        }
    }
    // Distinct per source and field, short enough for every field.
    static QString value(int source, const char* adressField) {
        return u"%1%2"_s.arg(source).arg(QString::fromLatin1(adressField).mid(2, 4));
    }
};

TEST_F(AdressBuildMapping, EverySourceFillsItsMappedFieldsAndKeepsItsOwnNumberAsLink) {
    QList<NumberPlanRow> p = ReadNumberPlan();
    for (int s = 0; s < 5; ++s)
        p[s].offset = 100 * s;
    ASSERT_TRUE(NumberPlanIsValid(p));
    EXPECT_EQ(BuildAdressBook(p, false), 5);
    auto a = open(u"Adress.DB"_s);
    QMap<int, int> idOfSource;
    for (int s = 0; s < 5; ++s) {
        ASSERT_TRUE(a->locate({u"A_Nr"_s}, {7 + 100 * s})) << s;
        idOfSource[s] = a->field(u"A_ID"_s).asInteger();
        for (const Mapped& m : Expected) {
            const QString field = QString::fromLatin1(m.adress);
            const QString expected = *m.source[s] ? value(s, m.adress) : QString();
            EXPECT_EQ(a->field(field).asStringOr(QString()), expected)
                << "source " << s << " " << m.adress;
        }
        for (int l = 0; l < 5; ++l)
            EXPECT_EQ(a->field(QString::fromLatin1(LinkFields[l])).asIntegerOr(0), l == s ? 7 : 0)
                << "source " << s << " " << LinkFields[l];
    }
    // Customers, objects and suppliers bring their contacts; staff and
    // emergency services have none to bring.
    QStringList contacts;
    auto c = open(u"Aansp.DB"_s);
    for (c->first(); !c->eof(); c->next())
        contacts << u"%1:%2/%3"_s.arg(idOfSource.key(c->field(u"AA_RefID"_s).asInteger()))
                        .arg(c->field(u"AA_AnsprechName"_s).asString(),
                             c->field(u"AA_AnsprechTel"_s).asStringOr(QString()));
    EXPECT_EQ(contacts, (QStringList{u"0:Frau A/"_s, u"1:Herr B/44"_s, u"2:Frau C/"_s}));
}

TEST_F(AdressBuildMapping, AClerkLongerThanTheAddressFieldIsCut) {
    const QString clerk = QString(60, u'x');
    auto o = open(u"Objekte.DB"_s);
    ASSERT_TRUE(o->locate({u"O_ID"_s}, {1}));
    o->edit();
    o->field(u"O_Sachbearbeiter"_s) = clerk;
    o->post();
    QList<NumberPlanRow> p = ReadNumberPlan();
    for (int s = 0; s < 5; ++s)
        p[s].offset = 100 * s;
    EXPECT_EQ(BuildAdressBook(p, false), 5);
    auto a = open(u"Adress.DB"_s);
    ASSERT_TRUE(a->locate({u"A_Nr"_s}, {107}));
    EXPECT_EQ(a->field(u"A_Sachbearbeiter"_s).asString(), clerk.left(40));
}

} // namespace
