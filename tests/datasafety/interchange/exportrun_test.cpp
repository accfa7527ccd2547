#include "datasafety/interchange/exportrun.h"
#include "interchangefixture.h"

using namespace Qt::StringLiterals;
using Kind = MessagePresenter::Kind;

namespace {

class ExportRunTest : public interchangetest::InterchangeFixture {
protected:
    void SetUp() override {
        InterchangeFixture::SetUp();
        addRow(u"Kunden.DB"_s, {{u"K_ID"_s, 1}, {u"K_Nr"_s, 1002}, {u"K_Name1"_s, u"Zander"_s}});
        addRow(u"Kunden.DB"_s, {{u"K_ID"_s, 2}, {u"K_Nr"_s, 1001}, {u"K_Name1"_s, u"Meier"_s}});
        addRow(u"Kunden.DB"_s, {{u"K_ID"_s, 3}, {u"K_Nr"_s, 1003}, {u"K_Name1"_s, u"Köln AG"_s}});
        writeLines(u"Kunden.exp"_s, {u"SEPAR=;"_s, u"1:K_Nr=Nummer>"_s, u"2:K_Name1=Name>"_s});
    }
    ExportRun& exportCustomers(const QString& filter = {}, ExportObserver observer = {}) {
        run = std::make_unique<ExportRun>(dm->TabKunden(), ImExDir + u"Kunden.exp"_s,
                                          ImExDir + u"Kunden.out"_s, filter, observer);
        run->run();
        return *run;
    }
    std::unique_ptr<ExportRun> run;
};

TEST_F(ExportRunTest, WritesWindowsTextInTheTablesIndexOrderWithinTheFilter) {
    table::Table& kunden = dm->TabKunden();
    kunden.open();
    kunden.setIndexName(u"K_IName"_s);
    ASSERT_TRUE(kunden.locate({u"K_Nr"_s}, {1003}));
    ExportRun& r = exportCustomers(u"K_Nr>1001"_s);
    EXPECT_TRUE(r.succeeded());
    EXPECT_EQ(r.count(), 2);
    EXPECT_EQ(readFile(u"Kunden.out"_s),
              QByteArray("\"Nummer\";\"Name\";\r\n\"1003\";\"K\xF6ln AG\"\r\n"
                         "\"1002\";\"Zander\"\r\n"));
    EXPECT_EQ(presenter.texts(Kind::Info), QStringList{u"Es wurden 2 Datensätze übergeben."_s});
    // The shared object stays where its form had it, unfiltered.
    EXPECT_EQ(kunden.field(u"K_Nr"_s).asInteger(), 1003);
    EXPECT_FALSE(kunden.isFiltered());
}

TEST_F(ExportRunTest, SfileRedirectsAndNoheaderHoldsForOneRunOnly) {
    const QString elsewhere = path(u"anderswo.txt"_s);
    writeLines(u"Kunden.exp"_s,
               {u"SFILE="_s + elsewhere, u"NOHEADER=TRUE"_s, u"DELIM="_s, u"1:K_Nr=Nummer>"_s});
    ExportRun& r = exportCustomers();
    EXPECT_EQ(r.outputPath(), elsewhere);
    EXPECT_EQ(readFile(elsewhere), QByteArray("1001\r\n1002\r\n1003\r\n"));
    EXPECT_EQ(readFile(u"Kunden.out"_s), QByteArray("<fehlt>"));
    writeLines(u"Kunden.exp"_s, {u"DELIM="_s, u"1:K_Nr=Nummer>"_s});
    exportCustomers();
    EXPECT_TRUE(readFile(u"Kunden.out"_s).startsWith("Nummer;\r\n"));
}

TEST_F(ExportRunTest, ACancelKeepsThePreviousFile) {
    writeFile(u"Kunden.out"_s, "vorher\r\n");
    ExportObserver observer;
    observer.poll = [this] { run->cancel(); };
    ExportRun& r = exportCustomers({}, observer);
    EXPECT_EQ(r.status(), u"abgebrochen"_s);
    EXPECT_FALSE(r.succeeded());
    EXPECT_EQ(readFile(u"Kunden.out"_s), QByteArray("vorher\r\n"));
    EXPECT_EQ(QDir(ImExDir).entryList(QDir::Files).size(), 2); // no temporary file left
}

TEST_F(ExportRunTest, NoRecordOrNoDefinitionFailsAndKeepsThePreviousFile) {
    writeFile(u"Kunden.out"_s, "vorher\r\n");
    ExportRun& empty = exportCustomers(u"K_Nr>5000"_s);
    EXPECT_EQ(empty.status(), u"fehlgeschlagen"_s);
    EXPECT_EQ(presenter.texts(Kind::Info), QStringList{u"Es wurden 0 Datensätze übergeben."_s});
    EXPECT_EQ(readFile(u"Kunden.out"_s), QByteArray("vorher\r\n"));

    presenter.boxes.clear();
    QFile::remove(ImExDir + u"Kunden.exp"_s);
    ExportRun& missing = exportCustomers();
    EXPECT_EQ(missing.status(), u"fehlgeschlagen"_s);
    EXPECT_EQ(presenter.texts(Kind::Error),
              QStringList{u"Datei "_s + ImExDir +
                          u"Kunden.exp\rist nicht vorhanden!\rDer Datenexport muss neu "
                          u"konfiguriert werden."_s});
    EXPECT_TRUE(presenter.texts(Kind::Info).isEmpty());
    EXPECT_EQ(readFile(u"Kunden.out"_s), QByteArray("vorher\r\n"));
}

TEST_F(ExportRunTest, AFilterThatDoesNotParseFailsWithTheLayersMessage) {
    ExportRun& r = exportCustomers(u"K_Nr >> 3"_s);
    EXPECT_EQ(r.status(), u"fehlgeschlagen"_s);
    EXPECT_EQ(presenter.texts(Kind::Error).size(), 1);
    EXPECT_EQ(readFile(u"Kunden.out"_s), QByteArray("<fehlt>"));
}

TEST_F(ExportRunTest, AWorkTableOfTheCallerIsExportedToo) {
    auto db = table::aliases::database(u"LumoDB"_s);
    table::TableDef def;
    def.name = u"Tmppr001.db"_s;
    def.fields = {{u"X_ID"_s, table::FieldType::Integer},
                  {u"X_Brutto"_s, table::FieldType::Currency}};
    db->createTemporaryTable(def);
    table::Table work(db, def.name);
    work.open();
    work.appendRecord({1, 1234.5});
    writeLines(u"Kunden.exp"_s,
               {u"NOHEADER=TRUE"_s, u"1:X_ID=Nr>0000"_s, u"2:X_Brutto=Brutto>#.##0,00"_s});
    ExportRun r(work, ImExDir + u"Kunden.exp"_s, ImExDir + u"Work.out"_s, QString());
    r.run();
    EXPECT_TRUE(r.succeeded());
    EXPECT_EQ(readFile(u"Work.out"_s), QByteArray("\"0001\";\"1.234,50\"\r\n"));
}

} // namespace
