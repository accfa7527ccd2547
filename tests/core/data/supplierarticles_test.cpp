#include "core/data/lookups.h"
#include "core/data/supplierarticles.h"
#include "platform/errors.h"
#include "platform/table/table.h"
#include "recordrulesfixture.h"

namespace {

using datatest::RecordRules;
using Kind = MessagePresenter::Kind;

const QString kAssigned = QStringLiteral("Die eingegebene Nummmer ist bereits zugeordnet!");
const QString kNoArticle = QStringLiteral("Sie müssen eine gültige Artikelnummer eingeben!");

// Articles 000001 and 000002; supplier 12 delivers 000001, supplier 13 000002.
class SupplierArticles : public RecordRules {
protected:
    void SetUp() override {
        RecordRules::SetUp();
        for (int id : {1, 2})
            addRow(QStringLiteral("Artikel.DB"),
                   {{QStringLiteral("A_ID"), id},
                    {QStringLiteral("A_ObjID"), 0},
                    {QStringLiteral("A_ArtNo"), QStringLiteral("00000%1").arg(id)}});
        for (int id : {1, 2})
            addRow(QStringLiteral("Liefart.db"),
                   {{QStringLiteral("A_ID"), id},
                    {QStringLiteral("A_LieferantID"), 11 + id},
                    {QStringLiteral("A_ArtNo"), QStringLiteral("00000%1").arg(id)}});
    }
    QList<int> shownIds() {
        table::Table& t = dm->TabLiefArt();
        QList<int> ids;
        for (t.first(); !t.eof() && !t.isEmpty(); t.next())
            ids.append(t.field(QStringLiteral("A_ID")).asInteger());
        return ids;
    }
};

TEST_F(SupplierArticles, TheAssortmentShowsOneSupplierOrOneArticle) {
    FilterLiefArtByLieferant(13);
    EXPECT_EQ(LiefArtLieferantId(), 13);
    EXPECT_EQ(shownIds(), QList<int>{2});
    FilterLiefArtByArtNo(QStringLiteral("000001"));
    EXPECT_EQ(shownIds(), QList<int>{1});
    FilterLiefArtByArtNo(QStringLiteral("0'1")); // a quote in the number is no filter error
    EXPECT_TRUE(shownIds().isEmpty());
    EXPECT_TRUE(presenter.boxes.isEmpty());
}

// A new row belongs to the shown supplier; its article number must name an
// article and must not be assigned to that supplier already.
TEST_F(SupplierArticles, ANewRowNeedsAnUnassignedExistingArticle) {
    const struct {
        const char* name;
        const char* typed;
        QString box; // empty: taken over
    } cases[] = {
        {"already assigned", "000001", kAssigned},
        {"no such article", "000009", kNoArticle},
        {"another supplier's article", "000002", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FilterLiefArtByLieferant(12);
        presenter.boxes.clear();
        table::Table& t = dm->TabLiefArt();
        t.append();
        EXPECT_EQ(t.field(QStringLiteral("A_LieferantID")).asInteger(), 12);
        if (c.box.isEmpty()) {
            t.field(QStringLiteral("A_ArtNo")).setValue(QString::fromLatin1(c.typed));
            t.post();
            EXPECT_TRUE(presenter.boxes.isEmpty());
        } else {
            EXPECT_THROW(t.field(QStringLiteral("A_ArtNo")).setValue(QString::fromLatin1(c.typed)),
                         Abort);
            EXPECT_EQ(presenter.texts(Kind::Error), QStringList{c.box});
            if (c.box == kAssigned) {
                EXPECT_FALSE(t.isEditing()) << "the new row is dropped";
            } else {
                ASSERT_TRUE(t.isEditing());
                EXPECT_THROW(t.post(), Abort) << "refused again when posting";
                t.cancel();
            }
        }
    }
    EXPECT_EQ(column(QStringLiteral("Liefart.db"), QStringLiteral("A_LieferantID")),
              (QList<int>{12, 13, 12}));
}

// The supplier-article lookups see only what the assortment shows.
TEST_F(SupplierArticles, LookupsSeeOnlyTheShownAssortment) {
    FilterLiefArtByLieferant(12);
    EXPECT_EQ(GetLiefArtIdByArtNo(12, QStringLiteral("000001")), 1);
    EXPECT_EQ(GetLiefArtIdByArtNo(13, QStringLiteral("000002")), 0) << "filtered out";
    FilterLiefArtByLieferant(13);
    EXPECT_EQ(GetLiefArtIdByArtNo(13, QStringLiteral("000002")), 2);
}

// Keeping the row's own number is no second assignment.
TEST_F(SupplierArticles, ARowKeepsItsOwnNumber) {
    FilterLiefArtByLieferant(12);
    table::Table& t = dm->TabLiefArt();
    t.first();
    t.edit();
    t.field(QStringLiteral("A_ArtNo")).setValue(QStringLiteral("000001"));
    t.post();
    EXPECT_TRUE(presenter.boxes.isEmpty());
}

} // namespace
