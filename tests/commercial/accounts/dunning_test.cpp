#include "commercial/accounts/dunning.h"
#include "commercial/invoicerunfixture.h"
#include "core/data/temptablename.h"
#include "core/files/programdirs.h"
#include "core/regionalguard.h"
#include "platform/richtext/rtf.h"

#include <QDir>

namespace {

using namespace invoiceruntest;

// Open item 1 ("RE-00042", object 500 of customer 100) at level 0.
class Dunning : public InvoiceRun {
protected:
    void SetUp() override {
        InvoiceRun::SetUp();
        m_savedWordDir = WordDir;
        WordDir = path(QStringLiteral("Word/"));
        QDir().mkpath(WordDir);
        setCustomer(100, QStringLiteral("K_BriefAnrede"),
                    QStringLiteral("Sehr geehrte Frau Meier,"));
        auto o = open(QStringLiteral("Objekte.DB"));
        ASSERT_TRUE(o->locate({QStringLiteral("O_Nr")}, {500}));
        o->edit();
        o->field(QStringLiteral("O_Fax")).setValue(QStringLiteral("030 1234567-8901234"));
        o->post();
        addRow(QStringLiteral("OpKopf.DB"),
               {{QStringLiteral("R_ID"), 1},
                {QStringLiteral("R_Nr"), QStringLiteral("RE-00042")},
                {QStringLiteral("R_KundenNr"), 100},
                {QStringLiteral("R_Kname1"), QStringLiteral("Meier GmbH")},
                {QStringLiteral("R_KPlz"), QStringLiteral("D-12345-99")},
                {QStringLiteral("R_ObjektNr"), 500},
                {QStringLiteral("R_OPlz"), QStringLiteral("10115")},
                {QStringLiteral("R_DatumDruck"), QDate(2026, 3, 10)},
                {QStringLiteral("R_Brutto"), 119.0},
                {QStringLiteral("R_ZahlBedTage"), 14},
                {QStringLiteral("R_ZahlBedSkonto"), 2.0},
                {QStringLiteral("O_ZahlSumme"), 19.0},
                {QStringLiteral("O_OffenSumme"), 100.0},
                {QStringLiteral("R_Betreuer"), QStringLiteral("Herr Schulz")}});
        refreshAll();
        dm->TabOposten().open();
        ASSERT_TRUE(dm->TabOposten().locate({QStringLiteral("R_ID")}, {1}));
    }
    void TearDown() override {
        dm->TabOposten().close();
        WordDir = m_savedWordDir;
        InvoiceRun::TearDown();
    }
    void setCustomer(int nr, const QString& field, const QVariant& value) {
        auto k = open(QStringLiteral("Kunden.DB"));
        ASSERT_TRUE(k->locate({QStringLiteral("K_Nr")}, {nr}));
        k->edit();
        k->field(field).setValue(value);
        k->post();
        refreshAll();
    }
    void setItem(const QString& field, const QVariant& value) {
        table::Table& t = dm->TabOposten();
        t.edit();
        t.field(field).setValue(value);
        t.post();
    }
    static void writeFile(const QString& name, const char* text) {
        QFile f(name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    QString letterText(const TDunningPrintTable& letter) {
        auto row = open(letter.name());
        return richtext::plainTextOfRtf(row->field(QStringLiteral("R_Text")).asString().toLatin1());
    }
    int level() { return FieldInt(dm->TabOposten(), QStringLiteral("O_Mahnungen")); }
    bool tableExists(const QString& name) {
        return table::aliases::database(datatest::kDb)->exists(name);
    }

private:
    QString m_savedWordDir;
};

TEST_F(Dunning, ASettledItemOrADunningBlockRefusesBeforeTheQuestion) {
    table::Table& item = dm->TabOposten();
    setItem(QStringLiteral("O_Erledigt"), true);
    EXPECT_FALSE(MayWriteDunning(item));
    setItem(QStringLiteral("O_Erledigt"), false);
    setCustomer(100, QStringLiteral("K_Mahnsperre"), true);
    EXPECT_FALSE(MayWriteDunning(item));
    EXPECT_EQ(presenter.texts(Kind::Error),
              (QStringList{QStringLiteral("Die Rechnung ist bereits erledigt!"),
                           QStringLiteral("Für den Kunden ist eine Mahnsperre eingerichtet!\rUm "
                                          "eine Mahnung schreiben zu können, müssen Sie "
                                          "die\rMahnsperre in der Kundenverwaltung "
                                          "deaktivieren.")}));
    EXPECT_TRUE(presenter.texts(Kind::Question).isEmpty());
    setItem(QStringLiteral("R_KundenNr"), 0);
    presenter.answers = {true};
    EXPECT_TRUE(MayWriteDunning(item)) << "customer 0 has no block to test";
    EXPECT_EQ(presenter.texts(Kind::Question),
              QStringList{QStringLiteral("Möchten Sie wirklich eine Mahnung schreiben?")});
}

TEST_F(Dunning, LevelsTemplatesAndCorrections) {
    table::Table& item = dm->TabOposten();
    EXPECT_EQ(NextDunningLevel(item), 1);
    const struct {
        int level;
        const char* file;
    } templates[] = {{1, "Mahnung1.rtf"},
                     {2, "Mahnung2.rtf"},
                     {3, "Mahnung3.rtf"},
                     {4, "Mahnung3.rtf"},
                     {12, "Mahnung3.rtf"}};
    for (const auto& t : templates)
        EXPECT_EQ(DunningTemplateFile(t.level), WordDir + QString::fromLatin1(t.file));

    SetDunningLevel(item, 4);
    EXPECT_EQ(NextDunningLevel(item), 5);
    presenter.answers = {false, true, true, true};
    EXPECT_FALSE(ChangeDunningLevel(item, -1));
    EXPECT_EQ(level(), 4);
    EXPECT_TRUE(ChangeDunningLevel(item, 1));
    EXPECT_EQ(level(), 5);
    SetDunningLevel(item, 0);
    EXPECT_TRUE(ChangeDunningLevel(item, -1));
    EXPECT_EQ(level(), 0) << "never below 0";
    EXPECT_EQ(presenter.texts(Kind::Question).last(),
              QStringLiteral("Möchten Sie wirklich den Mahnstatus verändern?"));
}

TEST_F(Dunning, LetterFileNamesAreValidAndDistinctPerItemAndLevel) {
    const struct {
        const char* nr;
        int level;
        const char* file;
    } cases[] = {{"RE-00042", 1, "MngRE-000421.rtf"},
                 {"*000123", 2, "Mng0001232.rtf"},
                 {"RE/2026:1?", 3, "MngRE_2026_1_3.rtf"},
                 {"RE1", 21, "MngRE1_21.rtf"},
                 {"RE12", 1, "MngRE121.rtf"},
                 {"RE12", 10, "MngRE12_10.rtf"}};
    for (const auto& c : cases)
        EXPECT_EQ(DunningLetterFile(QString::fromLatin1(c.nr), c.level),
                  WordDir + QString::fromLatin1(c.file))
            << c.nr;
}

TEST_F(Dunning, ThePrintTableHoldsOneRowOfTheItemUnderAFreeNameAndGoesAway) {
    ASSERT_EQ(GetTempTableName(QStringLiteral(".db")), QStringLiteral("Tmppr000"));
    table::aliases::database(datatest::kDb)
        ->createTable({QStringLiteral("Tmppr000.db"),
                       {{QStringLiteral("X_ID"), table::FieldType::Integer, 0}},
                       {}});
    QString first;
    {
        TDunningPrintTable letter;
        ASSERT_TRUE(letter.create(dm->TabOposten()));
        first = letter.name();
        EXPECT_EQ(first, QStringLiteral("Tmppr001.db")) << "another's table is left alone";
        {
            TDunningPrintTable second;
            ASSERT_TRUE(second.create(dm->TabOposten()));
            EXPECT_EQ(second.name(), QStringLiteral("Tmppr002.db"));
        }
        auto row = open(first);
        ASSERT_EQ(row->recordCount(), 1);
        const table::TableDef def = row->definition();
        EXPECT_EQ(def.fields.size(), 38);
        EXPECT_EQ(def.fields.first().name, QStringLiteral("R_ID"));
        EXPECT_EQ(def.fields.last().name, QStringLiteral("R_Text"));
        EXPECT_EQ(row->field(QStringLiteral("R_ID")).asInteger(), 1);
        EXPECT_EQ(row->field(QStringLiteral("R_Nr")).asString(), QStringLiteral("RE-00042"));
        EXPECT_EQ(row->field(QStringLiteral("R_Kname1")).asString(), QStringLiteral("Meier GmbH"));
        EXPECT_EQ(row->field(QStringLiteral("R_KPlz")).asString(), QStringLiteral("D-1234"));
        EXPECT_EQ(row->field(QStringLiteral("R_OPlz")).asString(), QStringLiteral("10115"));
        EXPECT_EQ(row->field(QStringLiteral("R_OFax")).asString(),
                  QStringLiteral("030 1234567-8901234").left(20));
        EXPECT_EQ(row->field(QStringLiteral("R_KAnrede")).asString(),
                  QStringLiteral("Sehr geehrte Frau Meier,"));
        EXPECT_EQ(row->field(QStringLiteral("R_DatumDruck")).asDate(), QDate(2026, 3, 10));
        EXPECT_DOUBLE_EQ(row->field(QStringLiteral("O_OffenSumme")).asFloat(), 100.0);
        EXPECT_EQ(row->field(QStringLiteral("R_ZahlBedTage")).asInteger(), 14);
        EXPECT_EQ(row->field(QStringLiteral("R_Betreuer")).asString(),
                  QStringLiteral("Herr Schulz"));
        EXPECT_TRUE(row->field(QStringLiteral("O_Mahnungen")).isNull());
        row->close();
        EXPECT_FALSE(tableExists(QStringLiteral("Tmppr002.db")));
    }
    EXPECT_FALSE(tableExists(first));
    EXPECT_TRUE(tableExists(QStringLiteral("Tmppr000.db")));
}

TEST_F(Dunning, TheLetterFileOrElseTheTemplateIsLoadedWithItsMarkersExpanded) {
    RegionalGuard german;
    writeFile(DunningTemplateFile(1),
              "{\\rtf1\\ansi Rechnung @RGNO vom @RGDATUM[dd.mm.yyyy]: offen "
              "@RESTBETRAG[@.@@@,@@] Euro\\par}");
    const QString letterFile = DunningLetterFile(QStringLiteral("RE-00042"), 1);
    TDunningPrintTable letter;
    ASSERT_TRUE(letter.create(dm->TabOposten()));
    ASSERT_TRUE(letter.loadLetter(letterFile, DunningTemplateFile(1)));
    EXPECT_EQ(letterText(letter).trimmed(),
              QStringLiteral("Rechnung RE-00042 vom 10.03.2026: offen   100,00 Euro"));

    writeFile(letterFile, "Schon bearbeitet: @RGNO");
    ASSERT_TRUE(letter.loadLetter(letterFile, DunningTemplateFile(1)));
    EXPECT_EQ(letterText(letter).trimmed(), QStringLiteral("Schon bearbeitet: RE-00042"));

    EXPECT_FALSE(letter.loadLetter(DunningLetterFile(QStringLiteral("RE-00042"), 2),
                                   DunningTemplateFile(2)));
    ASSERT_EQ(presenter.texts(Kind::Error).size(), 1);
    EXPECT_TRUE(presenter.texts(Kind::Error)[0].startsWith(QStringLiteral("Datei ")));
    EXPECT_TRUE(presenter.texts(Kind::Error)[0].contains(QStringLiteral("Mahnung2.rtf")));
}

} // namespace
