#include "platform/errors.h"
#include "recordrulesfixture.h"

namespace {

using datatest::kDb;
using datatest::RecordRules;
using Kind = MessagePresenter::Kind;

// Every table that refers to a tour by its number.
const struct {
    const char* file;
    const char* keyField;
    const char* field;
} kTourRefs[] = {
    {"TourObj.db", "T_TourID", "TO_TourNr"},
    {"TourPers.DB", "TP_ID", "TP_TourNr"},
    {"TglFterm.DB", nullptr, "TF_TourNr"},
    {"TglTour.DB", "A_TourID", "A_TourNr"},
};

class TourRules : public RecordRules {
protected:
    void addTourWithDependants(int id, int nr) {
        addRow(QStringLiteral("Touren.db"),
               {{QStringLiteral("TO_ID"), id}, {QStringLiteral("TO_Nr"), nr}});
        for (const auto& ref : kTourRefs) {
            QList<std::pair<QString, QVariant>> values{{QString::fromLatin1(ref.field), nr}};
            if (ref.keyField)
                values.append({QString::fromLatin1(ref.keyField), id});
            addRow(QString::fromLatin1(ref.file), values);
        }
    }
    table::Table& tourWithNr(int nr) {
        table::Table& t = dm->TabTour();
        if (!t.isOpen())
            t.open();
        t.refresh();
        EXPECT_TRUE(t.locate({QStringLiteral("TO_Nr")}, {nr}));
        return t;
    }
    void expectRefs(const QList<int>& expected) {
        for (const auto& ref : kTourRefs)
            EXPECT_EQ(column(QString::fromLatin1(ref.file), QString::fromLatin1(ref.field)),
                      expected)
                << ref.file;
    }
};

TEST_F(TourRules, ARenumberedTourCarriesItsNumberIntoItsObjectsStaffAndDailyLists) {
    addTourWithDependants(1, 1);
    addTourWithDependants(2, 5);
    presenter.answers = {true};
    table::Table& t = tourWithNr(1);
    t.edit();
    t.field(QStringLiteral("TO_Nr")).setValue(3);
    EXPECT_FALSE(t.isEditing()) << "posted by the change rule";
    expectRefs({3, 5});
}

TEST_F(TourRules, DeletingATourRemovesEveryDependantThroughTheDailyListRules) {
    addTourWithDependants(1, 1);
    addTourWithDependants(2, 5);
    int dailyListDeletes = 0;
    dm->TabTglTour().beforeDelete += [&](table::Table&) { ++dailyListDeletes; };
    presenter.answers = {true};
    tourWithNr(1).deleteRecord();
    EXPECT_EQ(dailyListDeletes, 1);
    expectRefs({5});
    EXPECT_EQ(column(QStringLiteral("Touren.db"), QStringLiteral("TO_Nr")), QList<int>{5});
}

TEST_F(TourRules, ATourWhoseDailyListRowIsKeptIsNotDeletedAtAll) {
    addTourWithDependants(1, 1);
    // A daily-list rule that keeps its row.
    dm->TabTglTour().beforeDelete += [](table::Table&) { throw Abort{}; };
    presenter.answers = {true};
    table::Table& t = tourWithNr(1);
    try {
        t.deleteRecord();
        FAIL() << "deleted";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Die Tour kann nicht gelöscht werden")))
            << e.what();
    }
    expectRefs({1});
    EXPECT_EQ(column(QStringLiteral("Touren.db"), QStringLiteral("TO_Nr")), QList<int>{1});
    EXPECT_EQ(table::aliases::database(kDb)->transactionDepth(), 0);
    EXPECT_FALSE(t.isEditing());
}

} // namespace
