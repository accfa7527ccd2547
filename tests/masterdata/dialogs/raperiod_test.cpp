// The period and scope of the booking-journal list.
#include "dialogfixture.h"
#include "masterdata/dialogs/tf_raperiod.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

using Kind = MessagePresenter::Kind;

class RaPeriod : public dialogtest::DialogDbTest {
protected:
    void addJournalRow(int id, const QDate& date) {
        addRow(u"RAListe.DB"_s,
               {{u"R_ID"_s, id}, {u"R_Nr"_s, u"RE-%1"_s.arg(id)}, {u"R_DatumDruck"_s, date}});
    }
};

TEST_F(RaPeriod, AnEmptyJournalIsRefusedWithoutTheDialog) {
    QDate from, to;
    int kind = 3;
    EXPECT_FALSE(AskRaListePeriod(from, to, kind));
    EXPECT_EQ(presenter.texts(Kind::Info), QStringList{u"Keine Datensätze vorhanden!"_s});
    EXPECT_FALSE(from.isValid());
}

TEST_F(RaPeriod, TheCurrentMonthAndTheKindArePresetAWrongOrderIsRefused) {
    addJournalRow(1, QDate(2024, 3, 15));
    addJournalRow(2, QDate(2024, 1, 2));
    const QDate today = QDate::currentDate();
    dialogtest::WhenShown<TF_RaPeriod>([&](TF_RaPeriod& d) {
        EXPECT_EQ(d.editVon()->text(),
                  QDate(today.year(), today.month(), 1).toString(u"dd.MM.yyyy"_s));
        EXPECT_EQ(d.spanLabel()->text(), u"02.01.2024 bis 15.03.2024"_s);
        EXPECT_TRUE(d.kindButton(1)->isChecked());
        d.editVon()->setText(u"31.03.2024"_s);
        d.editBis()->setText(u"01.03.2024"_s);
        d.okButton()->click();
        EXPECT_TRUE(d.isVisible()) << "refused, the texts stay";
        d.editVon()->setText(u"01.03.2024"_s);
        d.editBis()->setText(u"31.03.2024"_s);
        d.kindButton(2)->setChecked(true);
        d.okButton()->click();
    });
    QDate from, to;
    int kind = 1;
    ASSERT_TRUE(AskRaListePeriod(from, to, kind));
    EXPECT_EQ(presenter.texts(Kind::Error), QStringList{u"Ungültiger Datumsbereich!"_s});
    EXPECT_EQ(from, QDate(2024, 3, 1));
    EXPECT_EQ(to, QDate(2024, 3, 31));
    EXPECT_EQ(kind, 2);
}

} // namespace
