#include "commercial/scheduling/fixtermtable.h"
#include "core/data/moduledbfixture.h"
#include "operations/gui/tf_editfixterm.h"
#include "platform/table/table.h"

#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

using namespace Qt::StringLiterals;

namespace {

class EditFixterm : public datatest::ModuleDbFixture {
protected:
    void SetUp() override {
        ModuleDbFixture::SetUp();
        createModule();
        table::aliases::database(u"LumoDB"_s)->emptyTable(u"TglFterm.DB"_s);
    }
    QString cell(const TF_EditFixterm& dialog, int row, int column) {
        return dialog.grid().item(row, column)->text();
    }
};

TEST_F(EditFixterm, OpenedInAugustTheRowsRunFromAugustToJuly) {
    TF_EditFixterm dialog(3, 40, 7, 1, QDate(2026, 8, 20));
    EXPECT_EQ(dialog.windowTitle(),
              u"Feste Ausführungstermine festlegen für   Tour: 3  Objekt: 40  "
              u"Tätigkeit: 7  (Montag)"_s);
    EXPECT_EQ(cell(dialog, 1, 0), u"August"_s);
    EXPECT_EQ(cell(dialog, 5, 0), u"Dezember"_s);
    EXPECT_EQ(cell(dialog, 6, 0), u"Januar"_s);
    EXPECT_EQ(cell(dialog, 12, 0), u"Juli"_s);
    EXPECT_EQ(cell(dialog, 0, 1), u" 1"_s);
    EXPECT_EQ(cell(dialog, 0, 31), u"31"_s);
    EXPECT_EQ(cell(dialog, 1, 3), u"Mo"_s) << "3 August 2026";
    EXPECT_EQ(cell(dialog, 2, 31), u" "_s) << "September has no 31st";
    EXPECT_EQ(dialog.grid().columnWidth(0), 80);
}

TEST_F(EditFixterm, AMarkOnTheThirtyFirstOfFebruaryIsSavedOnTheLastDay) {
    FixTermMonths stored;
    stored[1] = QString(30, u'-') + u'+';
    WriteFixTermMonths(3, 40, 7, stored);
    TF_EditFixterm dialog(3, 40, 7, 0, QDate(2026, 8, 20)); // February 2027: 28 days
    EXPECT_EQ(dialog.windowTitle().right(4), u"  ()"_s);
    EXPECT_EQ(cell(dialog, 7, 28), u"*"_s);
    dialog.toggle(1, 4); // 4 August 2026
    EXPECT_EQ(cell(dialog, 1, 4), u"*"_s);
    dialog.toggle(2, 31); // a day September lacks stays blank
    EXPECT_EQ(cell(dialog, 2, 31), u" "_s);
    dialog.save();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    FixTermMonths saved;
    ASSERT_TRUE(ReadFixTermMonths(3, 40, 7, saved));
    EXPECT_EQ(saved[1], QString(27, u'-') + u'+' + QString(3, u'-'));
    EXPECT_EQ(saved[7], QString(3, u'-') + u'+' + QString(27, u'-'));
    EXPECT_EQ(saved[8], QString(31, u'-'));
}

TEST_F(EditFixterm, SavingWithoutAMarkStillMakesTheRow) {
    TF_EditFixterm dialog(3, 40, 8, 2, QDate(2026, 1, 5));
    dialog.save();
    FixTermMonths saved;
    ASSERT_TRUE(ReadFixTermMonths(3, 40, 8, saved));
    for (const QString& month : saved)
        EXPECT_EQ(month, QString(31, u'-'));
}

TEST_F(EditFixterm, TheLabelsNameTheDayUnderTheMouseAndItsHoliday) {
    TF_EditFixterm dialog(3, 40, 7, 5, QDate(2026, 12, 1));
    dialog.hover(1, 25);
    EXPECT_EQ(dialog.dateLabel().text(), u"25.12.2026"_s);
    EXPECT_EQ(dialog.dayLabel().text(), u"Freitag"_s);
    EXPECT_EQ(dialog.holidayLabel().text(), u"1. Weihnachtstag"_s);
    dialog.hover(1, 28);
    EXPECT_EQ(dialog.holidayLabel().text(), QString());
    dialog.hover(3, 30); // 30 February: nothing changes
    EXPECT_EQ(dialog.dateLabel().text(), u"28.12.2026"_s);
    EXPECT_EQ(dialog.saveButton().text(), u"Speichern"_s);
    EXPECT_TRUE(dialog.saveButton().isDefault());
}

} // namespace
