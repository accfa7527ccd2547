#include "core/data/datamodule.h"
#include "platform/errors.h"
#include "platform/table/database.h"
#include "platform/table/table.h"
#include "recordrulesfixture.h"

namespace {

using datatest::kDb;
using datatest::RecordRules;

int transactionDepth() {
    return table::aliases::database(kDb)->transactionDepth();
}

// A rule bound after the record rules that refuses while `refuse` is set.
class CascadeThenRefusal : public RecordRules {
protected:
    void SetUp() override {
        RecordRules::SetUp();
        addCustomer(1, 12);
        addObject(1, 100, 12);
        addObject(2, 101, 12);
        table::Table& t = dm->TabKunden();
        t.open();
        t.beforePost += [this](table::Table&) {
            if (refuse)
                throw DbError(QStringLiteral("Abgelehnt"));
        };
        t.beforeDelete += [this](table::Table&) {
            if (refuse)
                throw Abort{};
        };
    }
    bool refuse = true;
};

// The renumber cascade has already run when the later rule refuses: it is
// undone at once, so that writes made before the record is posted or
// cancelled land on their own and survive.
TEST_F(CascadeThenRefusal, ARefusedPostUndoesTheRenumberAtOnce) {
    presenter.answers = {true};
    table::Table& t = customerWithNr(12);
    t.edit();
    t.field(QStringLiteral("K_Nr")).setValue(15);
    EXPECT_THROW(t.post(), DbError);
    EXPECT_EQ(transactionDepth(), 0);
    EXPECT_EQ(t.state(), table::TableState::Edit);
    EXPECT_EQ(column(QStringLiteral("Objekte.DB"), QStringLiteral("O_Kunde")),
              (QList<int>{12, 12}));

    addObject(3, 102, 77); // unrelated work while the customer is still in edit
    t.cancel();
    EXPECT_EQ(column(QStringLiteral("Objekte.DB"), QStringLiteral("O_Kunde")),
              (QList<int>{12, 12, 77}));

    // Once the rule lets it pass the same change goes through with its cascade.
    refuse = false;
    presenter.answers = {true};
    t.edit();
    t.field(QStringLiteral("K_Nr")).setValue(15);
    t.post();
    EXPECT_EQ(column(QStringLiteral("Kunden.DB"), QStringLiteral("K_Nr")), QList<int>{15});
    EXPECT_EQ(column(QStringLiteral("Objekte.DB"), QStringLiteral("O_Kunde")),
              (QList<int>{15, 15, 77}));
    EXPECT_EQ(transactionDepth(), 0);
}

TEST_F(CascadeThenRefusal, ARefusedDeleteUndoesTheCascadeAndEndsItsEdit) {
    addCustomerDocument(1, 1);
    presenter.answers = {true};
    table::Table& t = customerWithNr(12);
    EXPECT_THROW(t.deleteRecord(), Abort);
    EXPECT_EQ(transactionDepth(), 0);
    EXPECT_FALSE(t.isEditing());
    addObject(3, 102, 77);
    EXPECT_EQ(column(QStringLiteral("Kunden.DB"), QStringLiteral("K_Nr")), QList<int>{12});
    EXPECT_EQ(column(QStringLiteral("Objekte.DB"), QStringLiteral("O_Kunde")),
              (QList<int>{12, 12, 77}));
    EXPECT_EQ(column(QStringLiteral("KundDV.DB"), QStringLiteral("OD_KundID")), QList<int>{1});

    refuse = false;
    presenter.answers = {true};
    customerWithNr(12).deleteRecord();
    EXPECT_EQ(column(QStringLiteral("Kunden.DB"), QStringLiteral("K_Nr")), QList<int>{});
    EXPECT_EQ(column(QStringLiteral("Objekte.DB"), QStringLiteral("O_Kunde")),
              (QList<int>{0, 0, 77}));
    EXPECT_EQ(transactionDepth(), 0);
}

} // namespace
