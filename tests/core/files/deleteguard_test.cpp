#include "core/files/deleteguard.h"
#include "core/messages/messages.h"
#include "platform/errors.h"

#include <QList>
#include <gtest/gtest.h>

namespace {

class ScriptedPresenter : public MessagePresenter {
public:
    bool show(Kind kind, const QString& text, int, int) override {
        shown.append({kind, text});
        return answer;
    }
    bool answer = false;
    QList<QPair<Kind, QString>> shown;
};

class FakeRights : public RightsChecker {
public:
    bool CheckDeleteRight(int functionNr) override {
        asked.append(functionNr);
        return mayDelete;
    }
    bool mayDelete = true;
    QList<int> asked;
};

class DeleteGuard : public ::testing::Test {
protected:
    void SetUp() override {
        m_previousPresenter = SetMessagePresenter(&presenter);
        m_previousChecker = SetRightsChecker(&rights);
    }
    void TearDown() override {
        SetMessagePresenter(m_previousPresenter);
        SetRightsChecker(m_previousChecker);
    }
    ScriptedPresenter presenter;
    FakeRights rights;

private:
    MessagePresenter* m_previousPresenter = nullptr;
    RightsChecker* m_previousChecker = nullptr;
};

TEST_F(DeleteGuard, RightAndYesLetTheDeleteGoOn) {
    presenter.answer = true;
    EXPECT_NO_THROW(ConfirmDelete(10));
    EXPECT_EQ(rights.asked, QList<int>{10});
    ASSERT_EQ(presenter.shown.size(), 1);
    EXPECT_EQ(presenter.shown[0].first, MessagePresenter::Kind::Question);
    EXPECT_EQ(presenter.shown[0].second, QStringLiteral("Möchten Sie den Datensatz löschen?"));
}

TEST_F(DeleteGuard, NoAnswerAbortsSilently) {
    presenter.answer = false;
    EXPECT_THROW(ConfirmDelete(62), Abort);
    EXPECT_EQ(presenter.shown.size(), 1); // the question only, no further message
}

TEST_F(DeleteGuard, MissingRightAbortsWithoutAsking) {
    rights.mayDelete = false;
    presenter.answer = true;
    EXPECT_THROW(ConfirmDelete(20), Abort);
    EXPECT_EQ(rights.asked, QList<int>{20});
    EXPECT_TRUE(presenter.shown.isEmpty());
}

TEST_F(DeleteGuard, WithoutARightsCheckNothingIsDeleted) {
    SetRightsChecker(nullptr);
    presenter.answer = true;
    EXPECT_THROW(ConfirmDelete(1), DbError);
    EXPECT_TRUE(presenter.shown.isEmpty());
}

} // namespace
