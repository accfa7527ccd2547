#include "platform/errors.h"
#include "platform/table/table.h"
#include "recordrulesfixture.h"

namespace {

using datatest::RecordRules;

// Object 10 exists, emergency service 3 exists; the shared object shows object 10.
class NumberPickers : public RecordRules {
protected:
    void SetUp() override {
        RecordRules::SetUp();
        addRow(QStringLiteral("Objekte.DB"), {{QStringLiteral("O_ID"), 1},
                                              {QStringLiteral("O_Nr"), 10},
                                              {QStringLiteral("O_Aktiv"), true}});
        addRow(QStringLiteral("Notdnst.DB"),
               {{QStringLiteral("ND_ID"), 1}, {QStringLiteral("ND_Nr"), 3}});
        table::Table& objects = dm->TabObjekt();
        if (!objects.isOpen())
            objects.open();
        objects.refresh();
        EXPECT_TRUE(objects.locate({QStringLiteral("O_Nr")}, {10}));
    }
    void TearDown() override {
        RecordRuleHooksRegistry().selectNotdienst = {};
        RecordRuleHooksRegistry().selectTourObjekt = {};
        RecordRules::TearDown();
    }
};

// A number the master file lacks goes to the form's picker; its choice is
// taken when it exists, and anything else is refused.
TEST_F(NumberPickers, AnUnknownNumberIsReplacedByTheChosenOne) {
    const struct {
        const char* table;
        const char* field;
        int chosenValid;
        const char* error;
    } rows[] = {
        {"TabObjND", "OND_NdNr", 3, "Objekt-Notdienst: Sie müssen eine gültige Nummer eingeben"},
        {"TabTourObj", "TO_Objekt", 10, "Tour-Objekt: Sie müssen eine gültige Nummer eingeben"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.table);
        const struct {
            const char* name;
            bool picker;
            int chosen;
            bool taken;
        } cases[] = {
            {"form closed", false, 0, false},
            {"nothing chosen", true, 0, false},
            {"chosen number unknown too", true, 77, false},
            {"valid choice", true, row.chosenValid, true},
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(c.name);
            QList<int> offered;
            std::function<int(int)> picker;
            if (c.picker)
                picker = [&offered, &c](int typed) {
                    offered.append(typed);
                    return c.chosen;
                };
            RecordRuleHooksRegistry().selectNotdienst = picker;
            RecordRuleHooksRegistry().selectTourObjekt = picker;
            table::Table& t = dm->table(QString::fromLatin1(row.table));
            if (!t.isOpen())
                t.open();
            t.append();
            table::Field& f = t.field(QString::fromLatin1(row.field));
            if (c.taken) {
                f.setValue(99);
                EXPECT_EQ(f.asInteger(), row.chosenValid);
            } else {
                try {
                    f.setValue(99);
                    ADD_FAILURE() << "accepted";
                } catch (const DbError& e) {
                    EXPECT_EQ(e.message(), QString::fromUtf8(row.error));
                }
            }
            EXPECT_EQ(offered, c.picker ? QList<int>{99} : QList<int>{});
            t.cancel();
        }
    }
}

TEST_F(NumberPickers, AnExistingOrEmptyNumberNeedsNoPicker) {
    int asked = 0;
    RecordRuleHooksRegistry().selectTourObjekt = [&asked](int) { return ++asked, 0; };
    table::Table& t = dm->TabTourObj();
    if (!t.isOpen())
        t.open();
    t.append();
    t.field(QStringLiteral("TO_Objekt")).setValue(10);
    t.field(QStringLiteral("TO_Objekt")).setValue(QVariant());
    EXPECT_EQ(asked, 0);
    t.cancel();
}

// A failed post of an object's emergency service is shown and aborted.
TEST_F(NumberPickers, AFailedObjectServicePostIsShownAndAborted) {
    addRow(QStringLiteral("ObjektND.DB"), {{QStringLiteral("OND_ID"), 1},
                                           {QStringLiteral("OND_ObjNr"), 10},
                                           {QStringLiteral("OND_NdNr"), 3}});
    table::Table& t = dm->TabObjND();
    if (!t.isOpen())
        t.open();
    t.refresh();
    ASSERT_FALSE(t.isEmpty());
    t.edit();
    // The row disappears underneath the edit.
    open(QStringLiteral("ObjektND.DB"))->database()->emptyTable(QStringLiteral("ObjektND.DB"));
    EXPECT_THROW(t.post(), Abort);
    EXPECT_EQ(presenter.texts(MessagePresenter::Kind::Error),
              QStringList{QStringLiteral("Notdienste: Der Eintrag ist bereits vorhanden!")});
    EXPECT_TRUE(t.isEditing());
    t.cancel();
}

} // namespace
