#include "core/framefixture.h"
#include "datasafety/autobackup.h"

#include <gtest/gtest.h>

using Kind = MessagePresenter::Kind;

namespace {

class AutoBackupTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_previous = SetMessagePresenter(&presenter);
        m_saved = AutoBackupServiceRegistry();
        AutoBackupServiceRegistry() = {[this] { return available; },
                                       [this](const QString& c) { comments.append(c); }};
    }
    void TearDown() override {
        AutoBackupServiceRegistry() = m_saved;
        SetMessagePresenter(m_previous);
    }

    frametest::RecordingPresenter presenter;
    bool available = true;
    QStringList comments;

private:
    MessagePresenter* m_previous = nullptr;
    AutoBackupService m_saved;
};

const QString kQuestion =
    QStringLiteral("Sie sollten vor der Tageslistenerstellung eine Datensicherung vornehmen!\r"
                   "Möchten Sie jetzt die Daten sichern?");
const QString kComment =
    QStringLiteral("Autosicherung vor Tageslisten-Erstellung für den 02.03.2026");

TEST_F(AutoBackupTest, TheSwitchDecidesWhetherToAskAndTheAnswerWhetherToBackUp) {
    struct Case {
        AutoBackupSwitch sw;
        QList<bool> answers;
        int questions;
        bool backedUp;
        AutoBackupOutcome outcome;
    };
    const Case cases[] = {
        {AutoBackupSwitch::Ask, {true}, 1, true, AutoBackupOutcome::BackupRun},
        {AutoBackupSwitch::Ask, {false}, 1, false, AutoBackupOutcome::Declined},
        {AutoBackupSwitch::Skip, {true}, 0, false, AutoBackupOutcome::NotOffered},
        {AutoBackupSwitch::Unasked, {}, 0, true, AutoBackupOutcome::BackupRun},
    };
    for (const Case& c : cases) {
        presenter.boxes.clear();
        presenter.answers = c.answers;
        comments.clear();
        EXPECT_EQ(OfferAutomaticBackup(c.sw, QStringLiteral("Tageslistenerstellung"), kComment),
                  c.outcome);
        const QStringList questions = presenter.texts(Kind::Question);
        ASSERT_EQ(questions.size(), c.questions);
        if (c.questions) {
            EXPECT_EQ(questions.first(), kQuestion);
        }
        EXPECT_EQ(comments, c.backedUp ? QStringList{kComment} : QStringList{});
    }
}

TEST_F(AutoBackupTest, AnUnavailableBackupIsNeitherOfferedNorRun) {
    available = false;
    presenter.answers = {true};
    for (AutoBackupSwitch sw : {AutoBackupSwitch::Ask, AutoBackupSwitch::Unasked})
        EXPECT_EQ(OfferAutomaticBackup(sw, QStringLiteral("Tageslistenerstellung"), kComment),
                  AutoBackupOutcome::NotOffered);
    EXPECT_TRUE(presenter.boxes.isEmpty());
    EXPECT_TRUE(comments.isEmpty());
}

} // namespace
