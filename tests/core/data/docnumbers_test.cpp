#include "clientdbfixture.h"
#include "core/data/counters.h"
#include "core/data/datamodule.h"
#include "core/data/docnumbers.h"
#include "platform/table/table.h"

namespace {

using datatest::ClientDbFixture;

const QString kAblage = QStringLiteral("AblageDB");

class DocNumbers : public ClientDbFixture {
protected:
    void SetUp() override {
        ClientDbFixture::SetUp();
        dm = std::make_unique<TDataModule1>();
        dm->DataModuleCreate();
    }
    void TearDown() override {
        dm.reset();
        ClientDbFixture::TearDown();
    }
    void setCompany(const char* field, const QVariant& value) {
        table::Table& f = dm->TabFirmen();
        f.edit();
        f.field(QString::fromLatin1(field)).setValue(value);
        f.post();
    }
    int company(const char* field) {
        table::Table& f = dm->TabFirmen();
        f.refresh();
        return f.field(QString::fromLatin1(field)).asIntegerOr(0);
    }
    void addHead(const char* table, int id, const QString& nr,
                 const QString& alias = QStringLiteral("LumoDB")) {
        addRow(QString::fromLatin1(table),
               {{QStringLiteral("R_ID"), id}, {QStringLiteral("R_Nr"), nr}}, alias);
    }
    void addJournal(int id, const QString& nr, int satzart) {
        addRow(QStringLiteral("raliste.db"), {{QStringLiteral("R_ID"), id},
                                              {QStringLiteral("R_Nr"), nr},
                                              {QStringLiteral("R_Satzart"), satzart}});
    }
    std::unique_ptr<TDataModule1> dm;
};

TEST_F(DocNumbers, FormatAndParseWithTheCompanyMasks) {
    setCompany("F_FormatNrRg", QStringLiteral("RE-jj-####"));
    setCompany("F_FormatNr02", QString());
    EXPECT_EQ(FormatDocNr(TDocKind::Rechnung, 17, 2024, 3, false), QStringLiteral("RE-24-  17"));
    EXPECT_EQ(FormatDocNr(TDocKind::Rechnung, 4711, 2024, 3, true), QStringLiteral("*004711"));
    EXPECT_EQ(FormatDocNr(TDocKind::Angebot, 17, 2024, 3, true),
              QStringLiteral("00017")); // flag ignored
    EXPECT_EQ(FormatDocNr(TDocKind(42), 17, 2024, 3, false),
              QStringLiteral("RE-24-  17")); // counts as invoice
    EXPECT_EQ(ParseDocNr(TDocKind::Rechnung, QStringLiteral("RE-24-  17")), 17);
    EXPECT_EQ(ParseDocNr(TDocKind::Rechnung, QStringLiteral("RE-24-123456")), 123456);
    EXPECT_EQ(ParseDocNr(TDocKind::Angebot, QStringLiteral("00017")), 17);
    EXPECT_EQ(FormatNrByMask(TDocKind::Angebot, 5, 2024, 3), QStringLiteral("00005"));
}

TEST_F(DocNumbers, NextFreeSkipsNumbersInUse) {
    setCompany("F_FormatNrRg", QString());
    setCompany("F_NextNrRg", 100);
    addHead("Rechkopf.DB", 1, QStringLiteral("00100"));
    EXPECT_EQ(NextFreeDocNr(TDocKind::Rechnung, 2024, 3), 101);
    EXPECT_EQ(company("F_NextNrRg"), 102);

    // Credit notes: the journal counts under record kind 2 only.
    setCompany("F_FormatNr06", QStringLiteral("GS0000"));
    setCompany("F_NextNr06", 7);
    addJournal(1, QStringLiteral("GS0007"), 2);
    addJournal(2, QStringLiteral("GS0008"), 0);
    EXPECT_EQ(NextFreeDocNr(TDocKind::Gutschrift, 2024, 3), 8);

    // Purchase orders draw from their own counter and check their own heads.
    setCompany("F_FormatNr07", QStringLiteral("B-###"));
    setCompany("F_NextNr07", 3);
    addHead("bestkopf.db", 1, QStringLiteral("B-  3"));
    EXPECT_EQ(NextFreeDocNr(TDocKind::Bestellung, 2024, 3), 4);
    EXPECT_EQ(company("F_NextNr07"), 5);
    PutBackBestellungNr();
    EXPECT_EQ(company("F_NextNr07"), 4);
}

TEST_F(DocNumbers, NextFreeWidensPastTheMaskAndGivesUpOnAMaskWithoutNumber) {
    setCompany("F_FormatNr02", QStringLiteral("AN##"));
    setCompany("F_NextNr02", 99);
    addHead("Angkopf.DB", 1, QStringLiteral("AN99"));
    EXPECT_EQ(NextFreeDocNr(TDocKind::Angebot, 2024, 3), 100);
    EXPECT_EQ(FormatDocNr(TDocKind::Angebot, 100, 2024, 3, false), QStringLiteral("AN100"));

    setCompany("F_FormatNr02", QStringLiteral("ANGEBOT"));
    addHead("Angkopf.DB", 2, QStringLiteral("ANGEBOT"));
    try {
        NextFreeDocNr(TDocKind::Angebot, 2024, 3);
        ADD_FAILURE() << "no error";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().startsWith(
            QStringLiteral("Es konnte keine freie Belegnummer gefunden werden.")));
    }
    EXPECT_LE(company("F_NextNr02"), 110); // bounded by the documents that exist
}

TEST_F(DocNumbers, UsedNumbersAcrossHeadsArchiveAndJournal) {
    addHead("GSkopf.DB", 1, QStringLiteral("G-1"), kAblage);
    addHead("GSkopf.DB", 5, QStringLiteral("G-2"));
    addHead("Rechkopf.DB", 3, QStringLiteral("R-1"));
    addJournal(1, QStringLiteral("R-2"), 0);
    addJournal(2, QStringLiteral("R-3"), 2);
    struct Case {
        TDocKind kind;
        const char* nr;
        const char* table;
        int ownId;
        bool used;
    } cases[] = {
        {TDocKind::Gutschrift, "G-1", "GSkopf.DB", 0, true}, // only in the archive
        {TDocKind::Gutschrift, "G-2", "GSkopf.DB", 0, true},
        {TDocKind::Gutschrift, "G-2", "GSkopf.DB", 5, false}, // the document itself
        {TDocKind::Gutschrift, "G-3", "GSkopf.DB", 0, false},
        {TDocKind::Rechnung, "R-1", "Rechkopf.DB", 0, true}, // not yet in the journal
        {TDocKind::Rechnung, "R-1", "Rechkopf.DB", 3, false},
        {TDocKind::Rechnung, "R-2", "Rechkopf.DB", 0, true},
        {TDocKind::Rechnung, "R-3", "Rechkopf.DB", 0, false}, // a credit note's row
        {TDocKind::Bestellung, "R-1", "bestkopf.db", 0, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(
            IsDocNrUsed(c.kind, QString::fromLatin1(c.nr), QString::fromLatin1(c.table), c.ownId),
            c.used)
            << c.nr << " " << c.table << " " << c.ownId;
    EXPECT_TRUE(IsNrInRaListe(TDocKind::Gutschrift, QStringLiteral("R-3")));
    EXPECT_FALSE(IsNrInRaListe(TDocKind::Eingangsrechnung, QStringLiteral("R-3")));
    EXPECT_TRUE(DocNrExists(QStringLiteral("G-1"), kAblage, QStringLiteral("GSkopf.DB")));
    EXPECT_FALSE(
        DocNrExists(QStringLiteral("G-1"), QStringLiteral("LumoDB"), QStringLiteral("GSkopf.DB")));
}

} // namespace
