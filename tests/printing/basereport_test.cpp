#include "core/framefixture.h"
#include "platform/report/report.h"
#include "printing/basereport.h"
#include "printing/printeroptions.h"
#include "printingfixture.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using Kind = MessagePresenter::Kind;

class BaseReportTest : public printingtest::ReportFixture {
protected:
    void TearDown() override {
        FreeBaseReport();
        ReportFixture::TearDown();
    }
    QList<ControlEntry> list;
    DesignMargins margins;
};

TEST_F(BaseReportTest, ADesignedReportForANewForm) {
    // The last print's printer and bin do not carry over to a new form.
    PrinterOptions() = {1, 4, 2};
    ASSERT_TRUE(GetControlList(48000, dir.filePath(QStringLiteral("ORM48001.QFD")), list, margins));
    EXPECT_EQ(presenter.texts(Kind::Info),
              QStringList{QStringLiteral("Neue Formulardefinition wird erzeugt!")});
    ASSERT_NE(BaseReport(), nullptr);
    // Bands and controls of every class, in component order.
    QStringList names;
    for (const ControlEntry& e : list) {
        names << e.name;
        EXPECT_EQ(e.component, BaseReport()->find(e.name));
    }
    EXPECT_EQ(names.size(), BaseReport()->def().components.size());
    EXPECT_EQ(names.mid(0, 4),
              (QStringList{QStringLiteral("PageHeaderBand1"), QStringLiteral("F_Listenkopf"),
                           QStringLiteral("I_Logo"), QStringLiteral("L_Reserve1")}));
    EXPECT_TRUE(names.contains(QStringLiteral("S_Linie")));
    EXPECT_EQ(margins.left, 76);
    EXPECT_EQ(margins.right, 38);
    EXPECT_EQ(margins.top, 38);
    EXPECT_EQ(margins.bottom, 38);
    EXPECT_EQ(margins.printWidth, 684);
    EXPECT_EQ(PrinterOptions(), PrinterOptionValues{});
}

TEST_F(BaseReportTest, AnExistingLayoutIsApplied) {
    QFile f(dir.filePath(QStringLiteral("orm48001.qfd")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("FormBorderleft=38\r\nL_Titel\r\nCaption=Einheiten\r\n");
    f.close();
    ASSERT_TRUE(GetControlList(48000, dir.filePath(QStringLiteral("ORM48001.QFD")), list, margins));
    EXPECT_TRUE(presenter.boxes.isEmpty());
    EXPECT_EQ(margins.left, 38);
    EXPECT_EQ(margins.printWidth, 722);
    EXPECT_EQ(BaseReport()->component(QStringLiteral("L_Titel")).caption,
              QStringLiteral("Einheiten"));
    FreeBaseReport();
    EXPECT_EQ(BaseReport(), nullptr);
}

TEST_F(BaseReportTest, ANumberWithoutReportLeavesNoBaseReport) {
    for (const int type : {77000, 45000, 0}) {
        SCOPED_TRACE(type);
        ASSERT_TRUE(GetControlList(48000, QString(), list, margins));
        presenter.boxes.clear();
        EXPECT_FALSE(GetControlList(type, QString(), list, margins));
        EXPECT_EQ(presenter.texts(Kind::Error),
                  QStringList{QStringLiteral("Basis-Report nicht zugewiesen (GetControlList(") +
                              QString::number(type) + QStringLiteral(")")});
        EXPECT_EQ(BaseReport(), nullptr);
    }
}

} // namespace
