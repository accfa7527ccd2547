#include "core/gui/f_selrb.h"
#include "core/gui/radiogroup.h"
#include "modaldriver.h"

#include <QAbstractButton>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const QString kFourKinds =
    QStringLiteral("Ausgangsrechnungen|Gutschriften|Eingangsrechnungen|Alle Satzarten|");

TEST(FillRadioItems, OnlyPartsEndedByABarBecomeItems) {
    struct Case {
        const char* items;
        QStringList expected;
    };
    const Case cases[] = {
        {"Ausgangsrechnungen|Gutschriften|Eingangsrechnungen|Alle Satzarten|",
         {"Ausgangsrechnungen", "Gutschriften", "Eingangsrechnungen", "Alle Satzarten"}},
        {"A|B|C", {"A", "B"}},
        {"A||B|", {"A", "", "B"}},
        {"|", {""}},
        {"ohne Strich", {}},
        {"", {}},
    };
    TF_SelRB dialog;
    FillRadioItems(&dialog, QStringLiteral("alt|alt|alt|"));
    for (const auto& c : cases) {
        FillRadioItems(&dialog, QString::fromUtf8(c.items));
        EXPECT_EQ(dialog.rg1->items(), c.expected) << c.items;
        EXPECT_EQ(dialog.findChildren<QRadioButton*>().size(), c.expected.size()) << c.items;
    }
}

TEST(OptionDialog, LayoutNamesAndTexts) {
    TF_SelRB dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Optionen..."));
    EXPECT_EQ(dialog.size(), QSize(192, 164));
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize()); // fixed border
    EXPECT_EQ(dialog.rg1->title(), QStringLiteral("Optionsauswahl"));
    EXPECT_EQ(dialog.findChild<RadioGroup*>(QStringLiteral("rg1")), dialog.rg1);
    EXPECT_EQ(dialog.findChild<QPushButton*>(QStringLiteral("btnOK"))->text(),
              QStringLiteral("OK"));
    EXPECT_EQ(dialog.findChild<QPushButton*>(QStringLiteral("btnCancel"))->text(),
              QStringLiteral("Abbrechen"));
}

enum class Close { Ok, Cancel, Escape, CloseButton, PickSecondThenOk };

struct Seen {
    QString caption;
    QPoint pos;
    int itemIndex = -2;
    QStringList items;
    bool published = false;
};

void closeOptionDialog(Close how, Seen& seen) {
    WhenModalShown([how, &seen](QWidget* w) {
        auto* dialog = qobject_cast<TF_SelRB*>(w);
        ASSERT_NE(dialog, nullptr);
        seen.caption = dialog->rg1->title();
        seen.pos = dialog->pos();
        seen.itemIndex = dialog->rg1->itemIndex();
        seen.items = dialog->rg1->items();
        seen.published = F_SelRB == dialog;
        switch (how) {
        case Close::Ok:
            dialog->btnOK->click();
            break;
        case Close::Cancel:
            dialog->btnCancel->click();
            break;
        case Close::Escape:
            QTest::keyClick(dialog, Qt::Key_Escape);
            break;
        case Close::CloseButton:
            dialog->close();
            break;
        case Close::PickSecondThenOk:
            dialog->findChildren<QRadioButton*>().at(1)->click();
            dialog->btnOK->click();
            break;
        }
    });
}

TEST(SelectRadioItem, OpensWithTheGivenSelectionAndReturnsItOnOk) {
    Seen seen;
    closeOptionDialog(Close::Ok, seen);
    EXPECT_EQ(SelectRadioItem(40, 30, 2, QStringLiteral("Satzart"), kFourKinds), 2);
    EXPECT_EQ(seen.itemIndex, 2);
    EXPECT_EQ(seen.items.size(), 4);
    EXPECT_EQ(seen.caption, QStringLiteral("Satzart"));
    EXPECT_EQ(seen.pos, QPoint(40, 30));
    EXPECT_TRUE(seen.published);
    EXPECT_EQ(F_SelRB, nullptr);
}

TEST(SelectRadioItem, ResultForEachWayOfClosing) {
    struct Case {
        Close how;
        int itemIndex;
        int expected;
    };
    const Case cases[] = {
        {Close::Cancel, 1, -1},      {Close::Escape, 1, -1},
        {Close::CloseButton, 1, -1}, {Close::PickSecondThenOk, 3, 1},
        {Close::Ok, -1, -1}, // nothing selected
        {Close::Ok, 4, -1},  // index beyond the items: nothing selected
    };
    for (const auto& c : cases) {
        Seen seen;
        closeOptionDialog(c.how, seen);
        EXPECT_EQ(SelectRadioItem(0, 0, c.itemIndex, QStringLiteral("Wahl"), kFourKinds),
                  c.expected)
            << int(c.how) << " from " << c.itemIndex;
        EXPECT_EQ(F_SelRB, nullptr);
    }
}

TEST(SelectRadioItem, TextAfterTheLastBarIsNoOption) {
    Seen seen;
    closeOptionDialog(Close::Ok, seen);
    EXPECT_EQ(SelectRadioItem(0, 0, 0, QString(), QStringLiteral("Ja|Nein|Vielleicht")), 0);
    EXPECT_EQ(seen.items, (QStringList{QStringLiteral("Ja"), QStringLiteral("Nein")}));
}

} // namespace
