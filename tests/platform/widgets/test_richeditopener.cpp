#include "platform/widgets/datasource.h"
#include "platform/widgets/dbrichedit.h"
#include "platform/widgets/fieldlink.h"
#include "widgetfixture.h"

#include <QTest>

using widgets::DataSource;
using widgets::DbRichEdit;

namespace {

class RichEditOpenerTest : public WidgetTest {
protected:
    void SetUp() override {
        WidgetTest::SetUp();
        previous = widgets::SetRichEditOpener([this](DbRichEdit& edit) {
            opened.append(edit.link().fieldName() + QLatin1Char('/') + edit.calcField());
        });
    }
    void TearDown() override {
        widgets::SetRichEditOpener(previous);
        WidgetTest::TearDown();
    }
    QStringList opened;
    widgets::RichEditOpener previous;
};

TEST_F(RichEditOpenerTest, AClickOrReturnOpensTheEditorOnAReadOnlyField) {
    DataSource ds(*kunden);
    DbRichEdit brief(ds, "Brief");
    brief.setCalcField(QStringLiteral("Umsatz"));
    brief.resize(200, 80);
    brief.show();
    EXPECT_TRUE(brief.isReadOnly());
    QTest::mouseClick(brief.viewport(), Qt::LeftButton, {}, QPoint(20, 20));
    QTest::mouseClick(brief.viewport(), Qt::RightButton, {}, QPoint(20, 20));
    QTest::keyClick(&brief, Qt::Key_Return);
    EXPECT_EQ(opened,
              QStringList({QStringLiteral("Brief/Umsatz"), QStringLiteral("Brief/Umsatz")}));
    EXPECT_TRUE(brief.toPlainText().isEmpty()) << "Return typed nothing";
}

TEST_F(RichEditOpenerTest, AFieldThatCannotBeChangedOpensNothing) {
    DataSource ds(*kunden);
    DbRichEdit shown(ds, "Brief");
    shown.show();
    ds.setRightsCheck([](widgets::EditAction) { return false; });
    QTest::mouseClick(shown.viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    kunden->close();
    QTest::mouseClick(shown.viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_TRUE(shown.isReadOnly());
}

TEST_F(RichEditOpenerTest, WithoutAnOpenerTheFieldIsEditedInPlace) {
    widgets::SetRichEditOpener({});
    DataSource ds(*kunden);
    DbRichEdit brief(ds, "Brief");
    EXPECT_FALSE(brief.isReadOnly());
}

} // namespace
