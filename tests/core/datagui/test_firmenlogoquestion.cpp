#include "core/data/clientdbfixture.h"
#include "core/datagui/f_firmen.h"
#include "core/messages/messages.h"
#include "platform/table/table.h"

#include <QLabel>

namespace {

// Answers "Ja" and notes where the question was placed.
class PlacedQuestion : public MessagePresenter {
public:
    bool show(Kind kind, const QString&, int x, int y) override {
        if (kind == Kind::Question)
            at = QPoint(x, y);
        return kind == Kind::Question;
    }
    QPoint at{-1, -1};
};

class FirmenLogoQuestionTest : public datatest::ClientDbFixture {};

TEST_F(FirmenLogoQuestionTest, DeleteQuestionIsPlacedBelowTheLogoBoxAndFollowsTheWindow) {
    auto firmen = open(QStringLiteral("Firmen.DB"));
    auto banken = open(QStringLiteral("Banken.DB"));
    auto zahlarten = open(QStringLiteral("Zahlart.DB"));
    firmen->first();
    TF_Firmen form(*firmen, *banken, *zahlarten);
    PlacedQuestion placed;
    MessagePresenter* previous = SetMessagePresenter(&placed);
    form.show();
    for (const QPoint windowAt : {QPoint(40, 30), QPoint(240, 130)}) {
        form.move(windowAt);
        form.Clear1Click();
        const QWidget* box = form.logo()->parentWidget();
        const QPoint boxAt = box->mapTo(&form, QPoint(0, 0));
        EXPECT_GT(boxAt.y(), 0);
        EXPECT_EQ(placed.at,
                  QPoint(form.x() + boxAt.x() - 50, form.y() + boxAt.y() + box->height() + 64));
    }
    SetMessagePresenter(previous);
    EXPECT_TRUE(firmen->value(QStringLiteral("F_Logo")).isNull());
}

} // namespace
