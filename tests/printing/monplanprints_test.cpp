#include "core/data/worktable.h"
#include "platform/report/pagemodel.h"
#include "platform/report/paginator.h"
#include "platform/report/report.h"
#include "platform/table/database.h"
#include "platform/table/table.h"
#include "printing/monplanprints.h"
#include "printing/reportentry.h"
#include "printingfixture.h"

using namespace Qt::StringLiterals;

namespace {

class MonPlanPrints : public printingtest::PrintingDbFixture {
protected:
    MonPlanPrints() : PrintingDbFixture(printingtest::ReportsOf::Program) {}
    void SetUp() override {
        PrintingDbFixture::SetUp();
        m_previous = SetReportOutput([this](report::Report& rep, bool, QWidget*) {
            const report::Document doc = report::paginate(rep);
            pages.clear();
            for (const report::Page& page : doc.pages) {
                QStringList texts;
                for (const report::PageItem& item : page.items)
                    if (const auto* text = std::get_if<report::TextItem>(&item))
                        texts.append(text->text);
                pages.append(texts);
            }
        });
    }
    void TearDown() override {
        SetReportOutput(m_previous);
        PrintingDbFixture::TearDown();
    }
    QList<QStringList> pages;

private:
    ReportOutput m_previous;
};

TEST_F(MonPlanPrints, DayCellsTakeTheCalendarAndTheirContent) {
    const QColor grey(160, 160, 160), weekend(215, 228, 253), yellow(255, 255, 0);
    struct Case {
        int day;
        const char* value;
        bool letters;
        const char* text;
        QColor background;
    };
    // February 2001: the 3rd is a Saturday, the 5th a Monday.
    const Case cases[] = {
        {29, "0", false, "-", grey},
        {30, "0", false, "-", grey},
        {31, "0", false, "-", grey},
        {3, "0", false, "-", weekend},
        {3, "2", false, "2", yellow},
        {5, "0", false, "-", Qt::white},
        {5, "69", true, "E", QColor(0, 255, 0)},
        {3, "32", true, "-", weekend},
        {5, "82", true, "R", QColor(255, 0, 0)},
        {5, "65", true, "A", QColor(255, 167, 79)},
        {5, "66", true, "B", Qt::white},
        {29, "32", true, "-", grey},
    };
    for (const Case& c : cases) {
        const MonPlanCell cell =
            c.letters ? MonPlanLetterCell(2001, 2, c.day, QString::fromLatin1(c.value))
                      : MonPlanNumberCell(2001, 2, c.day, QString::fromLatin1(c.value));
        EXPECT_EQ(cell.text, QString::fromLatin1(c.text)) << c.day << ' ' << c.value;
        EXPECT_EQ(cell.background, c.background) << c.day << ' ' << c.value;
    }
}

TEST_F(MonPlanPrints, FortyToursRepeatTheHeadOnTheSecondPage) {
    // The print table as the overview writes it.
    table::TableDef def;
    def.fields = {{u"P_ID"_s, table::FieldType::Integer},
                  {u"P_TourNo"_s, table::FieldType::Integer},
                  {u"P_TourName"_s, table::FieldType::String, 40}};
    for (int d = 1; d <= 31; ++d)
        def.fields.append({u"P_F%1"_s.arg(d, 2, 10, QChar(u'0')), table::FieldType::Integer});
    def.indexes = {{u"SORT"_s, {u"P_TourNo"_s}, true, false, false}};
    const WorkTable work(u"LumoDB"_s, def);
    {
        table::Table t(table::aliases::database(u"LumoDB"_s), work.name());
        t.open();
        for (int i = 0; i < 40; ++i) {
            QVariantList values{i, 40 - i, u"Tour %1"_s.arg(40 - i)};
            for (int d = 1; d <= 31; ++d)
                values.append(d == 3 ? (40 - i) % 3 : 0);
            t.appendRecord(values);
        }
        t.close();
    }
    PrintMonList(2001, 2, work.name(), true, {});
    ASSERT_GE(pages.size(), 2);
    EXPECT_TRUE(pages[0].contains(u"Tourenplan für "_s));
    EXPECT_TRUE(pages[0].contains(u"2/2001"_s));
    EXPECT_TRUE(pages[1].contains(u"Tourenplan für "_s)) << pages[1].join(u'|').toStdString();
    EXPECT_TRUE(pages[1].contains(u"2/2001"_s));
    EXPECT_TRUE(pages.last().contains(u"Ende der Liste"_s));
    const int first = int(pages[0].indexOf(u"Tour 1"_s));
    ASSERT_GE(first, 0);
    EXPECT_LT(first, pages[0].indexOf(u"Tour 2"_s)) << "by tour number";
}

} // namespace
