#include "masterdata/gui/adressform.h"
#include "masterdata/serienbrief.h"
#include "platform/widgets/userprompts.h"
#include "tableformfixture.h"

#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

// The address book's "Serienbrief" follows the installed letter print.
class SerienbriefButton : public formtest::ListFormTest {
protected:
    void SetUp() override {
        ListFormTest::SetUp();
        m_saved = SetSerienbriefPrint({});
        widgets::setErrorPresenter([this](QWidget*, const QString& m) { errors.append(m); });
    }
    void TearDown() override {
        widgets::setErrorPresenter({});
        SetSerienbriefPrint(m_saved);
        ListFormTest::TearDown();
    }
    QPushButton* button() {
        showForm(AdressFormDecl());
        return form->button(u"Serienbrief"_s);
    }

    QStringList errors;

private:
    SerienbriefPrint m_saved;
};

TEST_F(SerienbriefButton, WaitsDisabledWithoutTheLetterPrint) {
    QPushButton* b = button();
    ASSERT_NE(b, nullptr);
    EXPECT_FALSE(b->isEnabled());
    EXPECT_EQ(b->toolTip(), u"Noch nicht verfügbar: wartet auf den Serienbriefdruck."_s);
}

TEST_F(SerienbriefButton, RunsTheLetterOnceThePrintIsInstalled) {
    int printed = 0;
    SetSerienbriefPrint([&printed](bool, const QString&, const QString&) { ++printed; });
    addRow(u"Adress.DB"_s, {{u"A_ID"_s, 1}, {u"A_Nr"_s, 1}, {u"A_Selected"_s, false}});
    QPushButton* b = button();
    ASSERT_NE(b, nullptr);
    ASSERT_TRUE(b->isEnabled());
    b->click();
    EXPECT_EQ(errors, QStringList{u"Es sind keine Sätze markiert!"_s});
    EXPECT_EQ(printed, 0);
}

} // namespace
