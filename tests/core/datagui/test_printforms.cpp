#include "core/data/clientdbfixture.h"
#include "core/data/printforms.h"
#include "platform/table/table.h"

namespace {

class PrintFormsTest : public datatest::ClientDbFixture {
protected:
    void addForm(int id, int type, const QVariant& protect, const QString& comment) {
        addRow(QStringLiteral("QrFrmDef.DB"), {{QStringLiteral("QF_ID"), id},
                                               {QStringLiteral("Q_FormType"), type},
                                               {QStringLiteral("Q_Protect"), protect},
                                               {QStringLiteral("Q_Comment"), comment}});
    }
};

TEST_F(PrintFormsTest, CommentAndExistenceOfAForm) {
    addForm(98105, 98100, false, QStringLiteral("Rechnung mit Logo"));
    EXPECT_TRUE(PrintFormExists(98105));
    EXPECT_EQ(GetPrintFormComment(98105), QStringLiteral("Rechnung mit Logo"));
    EXPECT_FALSE(PrintFormExists(98106));
    EXPECT_EQ(GetPrintFormComment(98106), QString());
    EXPECT_EQ(GetPrintFormComment(0), QString());
}

TEST_F(PrintFormsTest, FirstUserFormIsTheLowestUnprotectedIdOfItsType) {
    // Added out of order; protected and unknown protection do not count, nor
    // do the neighbouring types.
    addForm(98005, 98000, false, QStringLiteral("davor"));
    addForm(98104, 98100, false, QStringLiteral("spät"));
    addForm(98100, 98100, true, QStringLiteral("System"));
    addForm(98101, 98100, QVariant(), QStringLiteral("unbekannt"));
    addForm(98102, 98100, false, QStringLiteral("erste"));
    addForm(98201, 98200, false, QStringLiteral("danach"));
    EXPECT_EQ(FirstUserPrintForm(98100), 98102);
    EXPECT_EQ(FirstUserPrintForm(98000), 98005);
    EXPECT_EQ(FirstUserPrintForm(98300), 0);
}

TEST_F(PrintFormsTest, DefaultFormOfADocumentKindFollowsItsFormType) {
    // Remove every user form of the types looked up, then add one per type.
    auto t = open(QStringLiteral("QrFrmDef.DB"));
    const struct {
        int kind;
        int type;
    } cases[] = {{0, 12000}, {1, 13000}, {2, 10000},  {3, 14000}, {4, 40000},
                 {5, 57000}, {6, 76000}, {99, 10000}, {-1, 10000}};
    for (t->first(); !t->eof();) {
        bool used = false;
        for (const auto& c : cases)
            used |= t->value(QStringLiteral("Q_FormType")).toInt() == c.type;
        if (used)
            t->deleteRecord();
        else
            t->next();
    }
    for (const auto& c : cases)
        if (!PrintFormExists(c.type + 7))
            addForm(c.type + 7, c.type, false, QStringLiteral("Benutzer"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        EXPECT_EQ(DefaultPrintFormOfKind(c.kind), c.type + 7);
    }
}

TEST(SameFormTypeTest, IdsOfOneHundredAreOfOneType) {
    const struct {
        int a;
        int b;
        bool same;
    } cases[] = {{0, 10000, false},    {10099, 10000, true},  {10100, 10000, false},
                 {22105, 22100, true}, {22105, 22000, false}, {10000, 10000, true}};
    for (const auto& c : cases)
        EXPECT_EQ(SameFormType(c.a, c.b), c.same) << c.a << " " << c.b;
}

} // namespace
