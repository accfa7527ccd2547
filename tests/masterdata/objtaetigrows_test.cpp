#include "masterdata/objtaetigrows.h"
#include "objektfixture.h"
#include "platform/errors.h"

using namespace Qt::StringLiterals;

namespace {

class ObjTaetigRows : public masterdatatest::ObjektFixture {
protected:
    void SetUp() override {
        ObjektFixture::SetUp();
        addObjekt(1, 10, 0);
        addObjekt(2, 20, 0);
        addActivity(1, 5);
        addActivity(2, 6, 1);
        addActivity(3, 7, 2);
        addRows();
        createdRows = storedRows(10);
    }
    void addRows() {
        // Another object's row lies between the keys of object 10's rows.
        addObjTaetig({1, 10, 5, 1, QDate(2026, 1, 5), u"A"_s, u"135"_s, 0, {}});
        addObjTaetig({2, 20, 5, 1, QDate(2026, 2, 1), {}, {}, 0, {}});
        addObjTaetig({3, 10, 6, 2, QDate(2026, 3, 9), u"B"_s, u"24"_s, 1, u"vorlage.rtf"_s});
        addObjTaetig({4, 10, 7, 3, QDate(2026, 4, 1), u"C"_s, u"7"_s, 2, {}});
    }
    table::Table& onRow(int key) {
        table::Table& t = objTaetig(10);
        EXPECT_TRUE(t.locate({u"TS_ID"_s}, {key}));
        return t;
    }
    QStringList createdRows;
};

TEST_F(ObjTaetigRows, EachColumnOpensItsEditor) {
    const struct {
        const char* field;
        bool calculated;
        int func;
        TaetigEditor editor;
    } cases[] = {
        {"TS_Taetigkeit", false, 0, TaetigEditor::Taetigkeit},
        {"TsTaetigname", true, 0, TaetigEditor::Taetigkeit},
        {"ModusName", true, 0, TaetigEditor::Intervall},
        {"TS_StartDatum", false, 0, TaetigEditor::Ersttermin},
        {"TS_Param", false, 1, TaetigEditor::Formular},
        {"TS_Param", false, 0, TaetigEditor::None},
        {"TS_Param", false, 2, TaetigEditor::None},
        {"TS_Wtag", false, 1, TaetigEditor::None},
        {"TS_ServiceID", false, 0, TaetigEditor::None},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TaetigEditorFor(QString::fromLatin1(c.field), c.calculated, c.func), c.editor)
            << c.field << " " << c.func;
}

TEST_F(ObjTaetigRows, LeavingAColumnOpensTheEditorForAnUnknownActivityAndRefusesWhatStays) {
    addObjTaetig({5, 10, 99, 1, QDate(2026, 5, 1), {}, {}, 0, {}});
    int opened = 0;
    CheckObjTaetigColumnExit(onRow(1), [&] { ++opened; });
    EXPECT_EQ(opened, 0) << "a valid row opens nothing";

    table::Table& t = onRow(5);
    try {
        CheckObjTaetigColumnExit(t, [&] { ++opened; });
        ADD_FAILURE() << "an unknown activity was let through";
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(), u"Objekt-Tätigkeit: Sie müssen eine gültige Nummer eingeben"_s);
    }
    EXPECT_EQ(opened, 1);

    CheckObjTaetigColumnExit(t, [&] {
        t.edit();
        t.field(u"TS_Taetigkeit"_s).setValue(7);
    });
    EXPECT_EQ(t.field(u"TS_Func"_s).asInteger(), 2) << "the chosen activity's function is taken";
    t.cancel();

    dm->SetInitNewRecord(true);
    CheckObjTaetigColumnExit(onRow(5), [&] { ++opened; });
    dm->SetInitNewRecord(false);
    EXPECT_EQ(opened, 1) << "nothing is checked while a new row is filled";
}

TEST_F(ObjTaetigRows, UpOnTheFirstAndDownOnTheLastRowChangeNothing) {
    EXPECT_FALSE(MoveObjTaetigRow(onRow(1), true));
    EXPECT_FALSE(MoveObjTaetigRow(onRow(4), false));
    EXPECT_EQ(storedRows(10), createdRows);
    EXPECT_EQ(dm->TabObjTaetig().field(u"TS_ID"_s).asInteger(), 4);
}

TEST_F(ObjTaetigRows, AMoveExchangesEveryFieldButTheKeyAndTheCursorFollows) {
    const struct {
        int from;
        bool up;
        int to;
        QStringList after;
    } cases[] = {
        {3,
         true,
         1,
         {u"1:6,2,2026-03-09,B,24,1,vorlage.rtf"_s, u"3:5,1,2026-01-05,A,135,0,"_s,
          u"4:7,3,2026-04-01,C,7,2,"_s}},
        {3,
         false,
         4,
         {u"1:5,1,2026-01-05,A,135,0,"_s, u"3:7,3,2026-04-01,C,7,2,"_s,
          u"4:6,2,2026-03-09,B,24,1,vorlage.rtf"_s}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.up ? "up" : "down");
        {
            auto t = open(u"ObjTaet.db"_s);
            t->database()->emptyTable(u"ObjTaet.db"_s);
        }
        addRows();
        table::Table& t = onRow(c.from);
        EXPECT_TRUE(MoveObjTaetigRow(t, c.up));
        EXPECT_EQ(storedRows(10), c.after);
        EXPECT_EQ(t.field(u"TS_ID"_s).asInteger(), c.to);
        EXPECT_EQ(t.field(u"TS_Taetigkeit"_s).asInteger(), 6);
        EXPECT_EQ(storedRows(20), QStringList{u"2:5,1,2026-02-01,,,0,"_s});
    }
}

TEST_F(ObjTaetigRows, AMoveThatCannotWriteBothRowsChangesNeither) {
    // The neighbour is written first, the moved row second: a lock on either
    // must leave both as they were.
    for (int held : {1, 3}) {
        SCOPED_TRACE(held);
        datatest::HeldElsewhere other(u"ObjTaet.db"_s, u"TS_ID"_s, held);
        table::Table& t = onRow(3);
        try {
            MoveObjTaetigRow(t, true);
            ADD_FAILURE() << "the move went through";
        } catch (const DbError& e) {
            EXPECT_TRUE(e.message().startsWith(u"Die Tätigkeit wurde nicht verschoben:\r"_s))
                << e.message().toStdString();
        }
        EXPECT_EQ(storedRows(10), createdRows);
        EXPECT_FALSE(t.isEditing());
        EXPECT_EQ(t.field(u"TS_ID"_s).asInteger(), 3);
    }
}

TEST_F(ObjTaetigRows, ADroppedActivityFillsTheCurrentRowOrANewOne) {
    table::Table& t = onRow(4);
    DropTaetigkeit(t, 6);
    EXPECT_EQ(storedRows(10).last(), u"4:6,3,2026-04-01,C,7,1,"_s);

    addObjekt(3, 30, 0);
    DropTaetigkeit(objTaetig(30), 7);
    const QString today = QDate::currentDate().toString(Qt::ISODate);
    EXPECT_EQ(storedRows(30), QStringList{u"5:7,1,"_s + today + u",,,2,"_s});
}

} // namespace
