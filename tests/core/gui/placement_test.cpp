#include "core/gui/placement.h"

#include <QLineEdit>
#include <QVBoxLayout>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

class MainFormPlacement : public ::testing::Test {
protected:
    void SetUp() override {
        main.setGeometry(100, 50, 900, 120);
        SetMainForm(&main);
    }
    void TearDown() override { SetMainForm(nullptr); }
    QWidget main;
};

TEST_F(MainFormPlacement, PlaceBelowMainForm) {
    struct Case {
        int dx, dy, dw;
    } const cases[] = {{0, 0, 0}, {0, 0, -200}, {200, 100, -420}, {0, 0, -32}};
    for (const Case& c : cases) {
        QWidget form;
        form.resize(300, 250);
        PlaceBelowMainForm(&form, c.dx, c.dy, c.dw);
        const QRect frame = main.frameGeometry();
        EXPECT_EQ(form.frameGeometry().left(), frame.left() + c.dx);
        EXPECT_EQ(form.frameGeometry().top(), frame.bottom() + 1 + c.dy);
        EXPECT_EQ(form.frameGeometry().width(), frame.width() + c.dw);
        EXPECT_EQ(form.height(), 250);
    }
}

TEST_F(MainFormPlacement, WithoutMainFormNothingMoves) {
    SetMainForm(nullptr);
    QWidget form;
    form.setGeometry(10, 20, 300, 250);
    PlaceBelowMainForm(&form, 0, 0, 0);
    EXPECT_EQ(form.geometry(), QRect(10, 20, 300, 250));
}

TEST_F(MainFormPlacement, TheMainFormRegistrationEndsWithTheWindow) {
    auto* other = new QWidget;
    SetMainForm(other);
    EXPECT_EQ(MainForm(), other);
    delete other;
    EXPECT_EQ(MainForm(), nullptr);
}

TEST(EditScreenPosition, IsTheControlsInnerTopLeftOnScreen) {
    QWidget form;
    auto* layout = new QVBoxLayout(&form);
    layout->setContentsMargins(17, 23, 5, 5);
    auto* edit = new QLineEdit(&form);
    layout->addWidget(edit);
    form.move(40, 60);
    form.show();
    const QPoint expected = form.mapToGlobal(edit->pos());
    EXPECT_EQ(GetEditScreenX(edit), expected.x());
    EXPECT_EQ(GetEditScreenY(edit), expected.y());
    EXPECT_EQ(edit->pos(), QPoint(17, 23));
    EXPECT_EQ(GetEditScreenX(nullptr), 0);
}

} // namespace
