#include "core/gui/modaldriver.h"
#include "masterdata/dialogs/duallistdialog.h"

#include <QListWidget>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// Keys that the shown texts do not give back: a number cut to ten places.
const QList<DualListDialog::Entry> kOffered{{u"000001"_s, u"000001    Reiniger"_s},
                                            {u"12345678901"_s, u"1234567890Lappen"_s},
                                            {u"000003"_s, u"000003    Eimer"_s}};

TEST(DualListDialog, TheChosenKeysComeInTheRightListsOrder) {
    DualListDialog dialog(u"Material auswählen"_s, kOffered);
    dialog.offeredList().item(2)->setSelected(true);
    dialog.choose(false);
    dialog.offeredList().item(1)->setSelected(true);
    dialog.choose(false);
    EXPECT_EQ(dialog.chosenKeys(), (QStringList{u"000003"_s, u"12345678901"_s}));
    EXPECT_EQ(dialog.offeredList().count(), 1);
    dialog.chosenList().item(0)->setSelected(true);
    dialog.giveBack(false);
    EXPECT_EQ(dialog.chosenKeys(), QStringList{u"12345678901"_s});
    dialog.choose(true);
    dialog.giveBack(true);
    EXPECT_TRUE(dialog.chosenKeys().isEmpty());
    EXPECT_EQ(dialog.offeredList().count(), 3);
}

TEST(DualListDialog, ACancelChoosesNothing) {
    WhenModalShown([](QWidget* modal) {
        auto* dialog = qobject_cast<DualListDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        dialog->choose(true);
        dialog->reject();
    });
    EXPECT_TRUE(ChooseFromDualList(u"Material auswählen"_s, kOffered).isEmpty());
    WhenModalShown([](QWidget* modal) {
        auto* dialog = qobject_cast<DualListDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        dialog->choose(true);
        dialog->okButton().click();
    });
    EXPECT_EQ(ChooseFromDualList(u"Material auswählen"_s, kOffered).size(), 3);
}

} // namespace
