#include "core/data/clientdbfixture.h"
#include "core/data/reportsource.h"
#include "datasafety/documentarchive/docviewlines.h"
#include "datasafety/gui/tf_docview.h"
#include "platform/report/paginator.h"
#include "platform/report/report.h"
#include "printing/printingsetup.h"
#include "printing/reportentry.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

struct LineCase {
    const char* line;
    bool row;
    const char *code, *source, *number, *date, *amount;
    int key;
};

TEST(DocViewLines, SplitByCharacterPositions) {
    const LineCase cases[] = {
        {"AN:B00000012:AN-2024-7:03.02.2024:1.234,56 €", true, "AN", "B00000012", "AN-2024-7",
         "03.02.2024", "1.234,56 €", 12},
        {"OP:A00000003:R-1:31.12.2023:0,00 €", true, "OP", "A00000003", "R-1", "31.12.2023",
         "0,00 €", 3},
        {"ER:B00000001::  .  .    :5,00 €", true, "ER", "B00000001", "", "  .  .    ", "5,00 €", 1},
        {"LS:B0000000x:L1:01.01.2024:1", true, "LS", "B0000000x", "L1", "01.01.2024", "1", 0},
        {"GS:A00000005:ohne Datum", true, "GS", "A00000005", "", "", "ohne Datum", 5},
        {"kein Doppelpunkt", false, "", "", "", "", "", 0},
        {"", false, "", "", "", "", "", 0},
    };
    for (const LineCase& c : cases) {
        SCOPED_TRACE(c.line);
        const QList<DocViewRow> rows = ParseDocViewLines({QString::fromUtf8(c.line)});
        ASSERT_EQ(rows.size(), c.row ? 1 : 0);
        if (!c.row)
            continue;
        EXPECT_EQ(rows[0].code, QString::fromUtf8(c.code));
        EXPECT_EQ(rows[0].source, QString::fromUtf8(c.source));
        EXPECT_EQ(rows[0].number, QString::fromUtf8(c.number));
        EXPECT_EQ(rows[0].date, QString::fromUtf8(c.date));
        EXPECT_EQ(rows[0].amount, QString::fromUtf8(c.amount));
        EXPECT_EQ(rows[0].key(), c.key);
    }
}

TEST(DocViewLines, KindsByCodeWithUnknownCodesAsOffers) {
    EXPECT_EQ(DocViewKindOf(u"OE"_s).headTable, u"OERkopf.DB"_s);
    EXPECT_EQ(DocViewKindOf(u"OE"_s).formType, 57000);
    EXPECT_EQ(DocViewKindOf(u"BE"_s).formType, 76000);
    EXPECT_EQ(DocViewKindOf(u"XY"_s).code, u"AN"_s);
}

// Both databases with documents of one number each, and what a preview read.
class DocViewTest : public datatest::ClientDbFixture {
protected:
    void SetUp() override {
        ClientDbFixture::SetUp();
        InitPrinting();
        ReportDatabaseName = u"LumoDB"_s;
        RgPrintSource = 0;
        m_previous = SetReportOutput([this](report::Report& rep, bool preview, QWidget*) {
            EXPECT_TRUE(preview);
            databaseDuring = ReportDatabaseName;
            sourceDuring = RgPrintSource;
            texts.clear();
            for (const report::Page& page : report::paginate(rep).pages)
                for (const report::PageItem& item : page.items)
                    if (const auto* t = std::get_if<report::TextItem>(&item))
                        texts << t->text;
        });
    }
    void TearDown() override {
        SetReportOutput(m_previous);
        ClientDbFixture::TearDown();
    }
    void head(const QString& table, const QString& alias, int id, const QString& nr) {
        addRow(table, {{u"R_ID"_s, id}, {u"R_Nr"_s, nr}, {u"R_KundenNr"_s, 5}}, alias);
    }

    QString databaseDuring;
    int sourceDuring = -1;
    QStringList texts;

private:
    ReportOutput m_previous;
};

TEST_F(DocViewTest, ShowsTheAddressAndOneRowPerDocument) {
    TF_DocView view(5, u"Meier"_s, 11,
                    {u"AN:B00000001:A-1:01.02.2024:10,00 €"_s, u"kaputt"_s,
                     u"AR:A00000002:R-2:03.02.2024:20,00 €"_s});
    EXPECT_EQ(view.windowTitle(), u"Dokumenten-Betrachter"_s);
    EXPECT_EQ(view.nrName()->text(), u"Kunde 5 [Meier]"_s);
    QTableWidget* grid = view.grid();
    ASSERT_EQ(grid->rowCount(), 2);
    EXPECT_EQ(grid->item(0, 0)->text(), u"Angebot"_s);
    EXPECT_EQ(grid->item(0, 1)->text(), u"Bewegungsdaten"_s);
    EXPECT_EQ(grid->item(1, 0)->text(), u"Ausgangsrechnung"_s);
    EXPECT_EQ(grid->item(1, 1)->text(), u"Archivdaten"_s);
    EXPECT_EQ(grid->item(1, 2)->text(), u"R-2"_s);
    EXPECT_EQ(grid->item(1, 4)->textAlignment(), int(Qt::AlignRight | Qt::AlignVCenter));
    EXPECT_FALSE(grid->horizontalHeader()->sectionsMovable());
    EXPECT_EQ(grid->currentRow(), 0);
    // Dates and source names are readable whole, 8 pixels in from either edge.
    for (int r = 0; r < grid->rowCount(); ++r)
        for (int c = 0; c < 4; ++c) {
            SCOPED_TRACE(grid->item(r, c)->text().toStdString());
            EXPECT_GE(grid->columnWidth(c),
                      grid->fontMetrics().horizontalAdvance(grid->item(r, c)->text()) + 16);
        }
    EXPECT_GE(grid->columnWidth(3), 68);
    EXPECT_EQ(DocViewKindWord(12), u"Objekt"_s);
    EXPECT_EQ(DocViewKindWord(13), u"Lieferant"_s);
}

TEST_F(DocViewTest, EachRowPreviewsFromItsOwnDatabase) {
    head(u"Angkopf.DB"_s, u"LumoDB"_s, 1, u"LUMO-1"_s);
    head(u"Angkopf.DB"_s, u"AblageDB"_s, 1, u"ABLAGE-1"_s);
    TF_DocView view(
        5, u"Meier"_s, 11,
        {u"AN:B00000001:LUMO-1:01.02.2024:0,00 €"_s, u"AN:A00000001:ABLAGE-1:01.02.2024:0,00 €"_s});
    view.previewRow(1);
    EXPECT_EQ(databaseDuring, u"LumoDB"_s);
    EXPECT_TRUE(texts.contains(u"LUMO-1"_s));
    view.previewRow(2);
    EXPECT_EQ(databaseDuring, u"AblageDB"_s);
    EXPECT_TRUE(texts.contains(u"ABLAGE-1"_s));
    EXPECT_FALSE(texts.contains(u"LUMO-1"_s));
    EXPECT_EQ(ReportDatabaseName, u"LumoDB"_s);
}

TEST_F(DocViewTest, OpenItemsAndOpenIncomingInvoicesGiveThePrintSourceBack) {
    head(u"OpKopf.DB"_s, u"LumoDB"_s, 3, u"OP-3"_s);
    head(u"OERkopf.DB"_s, u"LumoDB"_s, 4, u"OE-4"_s);
    head(u"Rechkopf.DB"_s, u"AblageDB"_s, 5, u"AR-5"_s);
    TF_DocView view(5, u"Meier"_s, 11,
                    {u"OP:B00000003:OP-3:01.02.2024:0,00 €"_s,
                     u"OE:B00000004:OE-4:01.02.2024:0,00 €"_s,
                     u"AR:A00000005:AR-5:01.02.2024:0,00 €"_s});
    view.previewRow(1);
    EXPECT_EQ(sourceDuring, 1);
    EXPECT_TRUE(texts.contains(u"OP-3"_s));
    EXPECT_EQ(RgPrintSource, 0);
    view.previewRow(2);
    EXPECT_EQ(sourceDuring, 1);
    EXPECT_EQ(RgPrintSource, 0);
    RgPrintSource = 1; // an open-item window's setting stays what it was
    view.previewRow(3);
    EXPECT_EQ(sourceDuring, 0);
    EXPECT_EQ(databaseDuring, u"AblageDB"_s);
    EXPECT_EQ(RgPrintSource, 1);
    RgPrintSource = 0;
}

} // namespace
