#include "core/framefixture.h"
#include "core/gui/modaldriver.h"
#include "masterdata/dialogs/safetyprompt.h"
#include "masterdata/dialogs/tf_checkpw.h"

#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// Places taken in turn from a fixed list.
RandomPlace placesFrom(QList<int> places) {
    auto next = std::make_shared<qsizetype>(0);
    return [places, next](int bound) {
        EXPECT_EQ(bound, 7);
        return places.at((*next)++ % places.size());
    };
}

TEST(SafetyPrompt, TheClockSaysHowOftenADigitGoesToTheFront) {
    // 1.1.2001 00:00:00: 1 + 1 + 1 moves.
    EXPECT_EQ(ShuffleSafetyDigits(QDateTime(QDate(2001, 1, 1), QTime(0, 0)), placesFrom({2, 5, 0})),
              u"63124578"_s);
    // 1.1.2024 00:00:01: 27 moves; the seventh digit each time turns the first
    // seven round by one, 27 = 3 * 7 + 6.
    const QDateTime now(QDate(2024, 1, 1), QTime(0, 0, 1));
    EXPECT_EQ(ShuffleSafetyDigits(now, placesFrom({6})), u"23456718"_s);
    EXPECT_EQ(ShuffleSafetyDigits(now, placesFrom({0})), u"12345678"_s);
}

TEST(SafetyPrompt, TheDigitsAreAlwaysAShuffleEndingWith8) {
    for (int second = 0; second < 60; second += 7) {
        SetSafetyPromptSources(
            {[second] { return QDateTime(QDate(2031, 12, 31), QTime(23, 59, second)); }, {}});
        QString digits = NewSafetyDigits();
        EXPECT_TRUE(digits.endsWith(u'8')) << digits.toStdString();
        std::sort(digits.begin(), digits.end());
        EXPECT_EQ(digits, u"12345678"_s);
    }
    SetSafetyPromptSources({});
}

TEST(SafetyPrompt, OnlyTheExactReverseIsTheAnswer) {
    const QString shown = u"63124578"_s;
    EXPECT_TRUE(SafetyAnswerMatches(shown, u"87542136"_s));
    EXPECT_FALSE(SafetyAnswerMatches(shown, u"87542136 "_s));
    EXPECT_FALSE(SafetyAnswerMatches(shown, u" 87542136"_s));
    EXPECT_FALSE(SafetyAnswerMatches(shown, shown));
    EXPECT_FALSE(SafetyAnswerMatches(shown, {}));
}

class CheckPWTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous = SetMessagePresenter(&presenter);
        SetSafetyPromptSources({[] { return QDateTime(QDate(2001, 1, 1), QTime(0, 0)); },
                                [](const QDateTime&) {
                                    return placesFrom({2, 5, 0});
                                }});
    }
    void TearDown() override {
        SetSafetyPromptSources({});
        SetMessagePresenter(previous);
    }
    // Answers the prompt: ok presses OK with the typed text, else cancels.
    bool answer(const QString& typed, bool ok) {
        WhenModalShown([=](QWidget* w) {
            auto& form = *qobject_cast<TF_CheckPW*>(w);
            EXPECT_EQ(form.windowTitle(), u"Sicherheitsabfrage"_s);
            EXPECT_EQ(form.editVorgabe()->text(), u"63124578"_s);
            EXPECT_TRUE(form.editVorgabe()->isReadOnly());
            form.editAntwort()->setText(typed);
            (ok ? form.okButton() : form.cancelButton())->click();
        });
        return ConfirmSafetyPrompt();
    }
    frametest::RecordingPresenter presenter;
    MessagePresenter* previous = nullptr;
};

TEST_F(CheckPWTest, ARightAnswerPassesAWrongOneIsToldOnceAndCancelIsSilent) {
    EXPECT_TRUE(answer(u"87542136"_s, true));
    EXPECT_TRUE(presenter.boxes.isEmpty());
    EXPECT_FALSE(answer(u"87542136 "_s, true));
    ASSERT_EQ(presenter.boxes.size(), 1);
    EXPECT_EQ(presenter.boxes.first().text, u"Die Eingabe ist nicht korrekt!"_s);
    EXPECT_FALSE(answer(u"87542136"_s, false));
    EXPECT_EQ(presenter.boxes.size(), 1);
}

} // namespace
