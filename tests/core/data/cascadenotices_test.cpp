#include "core/data/recordrules.h"
#include "platform/table/database.h"
#include "platform/table/table.h"
#include "recordrulesfixture.h"

namespace {

using datatest::RecordRules;
using Kind = MessagePresenter::Kind;

class CascadeNotices : public RecordRules {
protected:
    void TearDown() override {
        QuietCascades = m_saved;
        RecordRules::TearDown();
    }
    void renumberCustomer12() {
        table::Table& t = customerWithNr(12);
        t.edit();
        t.field(QStringLiteral("K_Nr")).setValue(15);
        t.post();
    }

private:
    bool m_saved = QuietCascades;
};

// With quiet cascades (the program's setting) nothing is shown after a
// cascade; otherwise a cascade that changed dependants ends with its notice.
TEST_F(CascadeNotices, ShownOnlyWhileCascadesAreNotQuiet) {
    EXPECT_TRUE(QuietCascades) << "the program's setting";
    const struct {
        const char* name;
        bool withObject;
        bool renumber;  // else delete
        QString notice; // while not quiet
    } cases[] = {
        {"renumber", true, true, LinksCorrectedText()},
        {"delete", true, false, LinksDeletedText()},
        {"renumber without dependants", false, true, {}},
        {"delete without dependants", false, false, {}},
    };
    for (bool quiet : {true, false})
        for (const auto& c : cases) {
            SCOPED_TRACE(c.name);
            SCOPED_TRACE(quiet ? "quiet" : "not quiet");
            auto db = table::aliases::database(datatest::kDb);
            db->emptyTable(QStringLiteral("Kunden.DB"));
            db->emptyTable(QStringLiteral("Objekte.DB"));
            addCustomer(1, 12);
            if (c.withObject)
                addObject(1, 100, 12);
            QuietCascades = quiet;
            presenter.boxes.clear();
            presenter.answers = {true};
            if (c.renumber)
                renumberCustomer12();
            else
                customerWithNr(12).deleteRecord();
            const QStringList expected =
                quiet || c.notice.isEmpty() ? QStringList{} : QStringList{c.notice};
            EXPECT_EQ(presenter.texts(Kind::Info), expected);
        }
}

// Emergency services and cost types carry their dependants without any notice.
TEST_F(CascadeNotices, ServicesAndCostTypesNeverShowOne) {
    QuietCascades = false;
    addRow(QStringLiteral("Notdnst.DB"),
           {{QStringLiteral("ND_ID"), 1}, {QStringLiteral("ND_Nr"), 3}});
    addRow(QStringLiteral("ObjektND.DB"),
           {{QStringLiteral("OND_ID"), 1}, {QStringLiteral("OND_NdNr"), 3}});
    addRow(QStringLiteral("Kostart.DB"), {{QStringLiteral("A_ID"), 1},
                                          {QStringLiteral("A_Nr"), 5},
                                          {QStringLiteral("A_RubrikNr"), 1}});
    addRow(QStringLiteral("Artikel.DB"),
           {{QStringLiteral("A_ID"), 1}, {QStringLiteral("A_Kostart"), 5}});
    presenter.answers = {true};
    table::Table& services = dm->TabNotdienst();
    if (!services.isOpen())
        services.open();
    services.refresh();
    ASSERT_TRUE(services.locate({QStringLiteral("ND_Nr")}, {3}));
    services.deleteRecord();
    table::Table& costTypes = dm->TabKostart();
    if (!costTypes.isOpen())
        costTypes.open();
    costTypes.refresh();
    ASSERT_TRUE(costTypes.locate({QStringLiteral("A_Nr")}, {5}));
    costTypes.edit();
    costTypes.field(QStringLiteral("A_Nr")).setValue(6);
    costTypes.post();
    EXPECT_TRUE(column(QStringLiteral("ObjektND.DB"), QStringLiteral("OND_NdNr")).isEmpty());
    EXPECT_EQ(column(QStringLiteral("Artikel.DB"), QStringLiteral("A_Kostart")), QList<int>{6});
    EXPECT_TRUE(presenter.texts(Kind::Info).isEmpty());
}

} // namespace
