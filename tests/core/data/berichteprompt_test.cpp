#include "clientdbfixture.h"
#include "core/data/berichteprompt.h"

#include <QDate>

namespace {

class BerichtePromptTest : public datatest::ClientDbFixture {
protected:
    void addTime(int id, const QDate& date, int pers, int obj) {
        addRow(QStringLiteral("Zeiterf.DB"), {{QStringLiteral("Z_ID"), id},
                                              {QStringLiteral("Z_Datum"), date},
                                              {QStringLiteral("Z_PersNr"), pers},
                                              {QStringLiteral("Z_ObjNr"), obj}});
    }
};

TEST_F(BerichtePromptTest, WithoutTimeRecordsTheQuestionSaysSo) {
    EXPECT_FALSE(GetLastZeiterfDatum().isValid());
    presenter.answers = {true};
    EXPECT_TRUE(ConfirmCreateBerichte());
    ASSERT_EQ(presenter.boxes.size(), 1);
    EXPECT_EQ(presenter.boxes[0].text,
              QStringLiteral(
                  "Jetzt Berichte erstellen?\rEs wurden noch keine Arbeitszeitdaten erfasst!"));
}

TEST_F(BerichtePromptTest, TheLatestDateCountsWhateverTheRowOrder) {
    addTime(1, QDate(2025, 3, 14), 9, 1);
    addTime(2, QDate(2025, 11, 2), 1, 7);
    addTime(3, QDate(2024, 12, 31), 5, 5);
    EXPECT_EQ(GetLastZeiterfDatum(), QDate(2025, 11, 2));
    presenter.answers = {false};
    EXPECT_FALSE(ConfirmCreateBerichte());
    ASSERT_EQ(presenter.boxes.size(), 1);
    EXPECT_EQ(presenter.boxes[0].text,
              QStringLiteral("Jetzt Berichte erstellen?\rArbeitszeitdaten sind erfasst bis "
                             "einschließlich 02.11.2025."));
}

} // namespace
