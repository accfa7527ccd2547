#include "core/messages/messagelist.h"
#include "platform/errors.h"
#include "recordrulesfixture.h"

namespace {

using datatest::kDb;
using datatest::RecordRules;
using Kind = MessagePresenter::Kind;

// Every table that refers to an object by its number.
const struct {
    const char* file;
    const char* field;
    bool removedWithObject;
} kObjectRefs[] = {
    {"ObjTaet.db", "TS_Objekt", true},    {"OMieter.DB", "OM_ONr", true},
    {"ObjektND.DB", "OND_ObjNr", true},   {"ORgDef.db", "T_ObjektNr", true},
    {"TourObj.db", "TO_Objekt", true},    {"TermObj.DB", "T_Objekt", true},
    {"TglFterm.DB", "TF_ObjNr", true},    {"TglObj.DB", "A_ObjektNr", true},
    {"TglTaet.DB", "A_ObjNr", true},      {"KostsumH.DB", "K_ObjektNr", false},
    {"KostsumD.DB", "K_ObjektNr", false},
};

class ObjectRules : public RecordRules {
protected:
    void addObjectWithDependants(int id, int nr) {
        addRow(QStringLiteral("Objekte.DB"), {{QStringLiteral("O_ID"), id},
                                              {QStringLiteral("O_Nr"), nr},
                                              {QStringLiteral("O_Aktiv"), true}});
        for (const auto& ref : kObjectRefs)
            addRow(QString::fromLatin1(ref.file), {{QString::fromLatin1(ref.field), nr}});
    }
    table::Table& objectWithNr(int nr) {
        table::Table& t = dm->TabObjekt();
        if (!t.isOpen())
            t.open();
        t.refresh();
        EXPECT_TRUE(t.locate({QStringLiteral("O_Nr")}, {nr}));
        return t;
    }
    // The object numbers each dependent table holds.
    void expectRefs(const QList<int>& expected, bool onlyRemovable = false) {
        for (const auto& ref : kObjectRefs) {
            if (onlyRemovable && !ref.removedWithObject)
                continue;
            EXPECT_EQ(column(QString::fromLatin1(ref.file), QString::fromLatin1(ref.field)),
                      expected)
                << ref.file;
        }
    }
};

TEST_F(ObjectRules, ARenumberedObjectCarriesItsNumberIntoEveryDependentTable) {
    addObjectWithDependants(1, 10);
    addObjectWithDependants(2, 20);
    presenter.answers = {true};
    table::Table& t = objectWithNr(10);
    t.edit();
    t.field(QStringLiteral("O_Nr")).setValue(11); // the change rule posts at once
    EXPECT_FALSE(t.isEditing());
    EXPECT_EQ(presenter.texts(Kind::Question), QStringList{RenumberQuestionText()});
    expectRefs({11, 20});
    EXPECT_TRUE(logText().contains(QStringLiteral("OBJ-Renumber:10->11")));
    EXPECT_EQ(t.field(QStringLiteral("O_LastUser")).asString(), QStringLiteral("Tester"));
}

TEST_F(ObjectRules, AZeroOrTakenObjectNumberIsShownAndSetBack) {
    addObjectWithDependants(1, 10);
    addObjectWithDependants(2, 20);
    for (int typed : {0, 20}) {
        SCOPED_TRACE(typed);
        presenter.boxes.clear();
        table::Table& t = objectWithNr(10);
        t.edit();
        t.field(QStringLiteral("O_Nr")).setValue(typed);
        EXPECT_EQ(presenter.texts(Kind::Error), QStringList{InvalidNumberText()});
        EXPECT_EQ(t.field(QStringLiteral("O_Nr")).asInteger(), 10);
        t.cancel();
    }
    expectRefs({10, 20});
}

TEST_F(ObjectRules, DeletingAnObjectRemovesItsDependantsOrNothing) {
    for (bool yes : {false, true}) {
        SCOPED_TRACE(yes);
        auto db = table::aliases::database(kDb);
        db->emptyTable(QStringLiteral("Objekte.DB"));
        for (const auto& ref : kObjectRefs)
            db->emptyTable(QString::fromLatin1(ref.file));
        db->emptyTable(QStringLiteral("ObjDV.db"));
        addObjectWithDependants(1, 10);
        addObjectWithDependants(2, 20);
        addRow(QStringLiteral("ObjDV.db"),
               {{QStringLiteral("OD_ID"), 1}, {QStringLiteral("OD_ObjID"), 1}});
        presenter.answers = {yes};
        table::Table& t = objectWithNr(10);
        if (yes)
            t.deleteRecord();
        else
            EXPECT_THROW(t.deleteRecord(), Abort);
        expectRefs(yes ? QList<int>{20} : QList<int>{10, 20}, true);
        EXPECT_EQ(column(QStringLiteral("ObjDV.db"), QStringLiteral("OD_ObjID")).size(),
                  yes ? 0 : 1);
    }
}

TEST_F(ObjectRules, ActivityNumbersBelowOneOrTakenAreRefusedAndRenumberingCarriesThem) {
    addRow(QStringLiteral("Taetig.DB"), {{QStringLiteral("T_ID"), 1}, {QStringLiteral("T_Nr"), 5}});
    addRow(QStringLiteral("Taetig.DB"), {{QStringLiteral("T_ID"), 2}, {QStringLiteral("T_Nr"), 6}});
    addRow(QStringLiteral("ObjTaet.db"),
           {{QStringLiteral("TS_ID"), 1}, {QStringLiteral("TS_Taetigkeit"), 5}});
    table::Table& t = dm->TabTaetig();
    if (!t.isOpen())
        t.open();
    t.refresh();
    ASSERT_TRUE(t.locate({QStringLiteral("T_Nr")}, {5}));
    t.edit();
    for (int typed : {-3, 0, 6}) {
        SCOPED_TRACE(typed);
        EXPECT_THROW(t.field(QStringLiteral("T_Nr")).setValue(typed), DbError);
    }
    t.field(QStringLiteral("T_Nr")).setValue(7);
    presenter.answers = {true};
    t.post();
    EXPECT_EQ(column(QStringLiteral("ObjTaet.db"), QStringLiteral("TS_Taetigkeit")), QList<int>{7});
}

TEST_F(ObjectRules, ObjectDetailRowsRefuseUnknownOrDuplicateNumbers) {
    addObjectWithDependants(1, 10);
    addRow(
        QStringLiteral("Taetig.DB"),
        {{QStringLiteral("T_ID"), 1}, {QStringLiteral("T_Nr"), 5}, {QStringLiteral("T_Func"), 3}});
    addRow(QStringLiteral("Notdnst.DB"),
           {{QStringLiteral("ND_ID"), 1}, {QStringLiteral("ND_Nr"), 4}});
    addRow(QStringLiteral("ObjektND.DB"), {{QStringLiteral("OND_ID"), 9},
                                           {QStringLiteral("OND_ObjNr"), 10},
                                           {QStringLiteral("OND_NdNr"), 4}});
    objectWithNr(10);
    const struct {
        const char* table;
        const char* field;
        int typed;
        const char* text;
    } refused[] = {
        {"TabObjTaetig", "TS_Taetigkeit", 6,
         "Objekt-Tätigkeit: Sie müssen eine gültige Nummer eingeben"},
        {"TabObjND", "OND_NdNr", 4, "Der Eintrag ist bereits vorhanden!"},
        {"TabObjND", "OND_NdNr", 8, "Objekt-Notdienst: Sie müssen eine gültige Nummer eingeben"},
        {"TabTourObj", "TO_Objekt", 99, "Tour-Objekt: Sie müssen eine gültige Nummer eingeben"},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(c.text);
        table::Table& t = dm->table(QString::fromLatin1(c.table));
        if (!t.isOpen())
            t.open();
        t.append();
        try {
            t.field(QString::fromLatin1(c.field)).setValue(c.typed);
            ADD_FAILURE() << "accepted";
        } catch (const DbError& e) {
            EXPECT_EQ(e.message(), QString::fromUtf8(c.text));
        }
        t.cancel();
    }
    table::Table& activities = dm->TabObjTaetig();
    activities.append();
    EXPECT_EQ(activities.field(QStringLiteral("TS_Modus")).asInteger(), 1);
    activities.field(QStringLiteral("TS_Taetigkeit")).setValue(5);
    EXPECT_EQ(activities.field(QStringLiteral("TS_Func")).asInteger(), 3);
    activities.cancel();
}

} // namespace

namespace {

TEST_F(ObjectRules, AnObjectWithoutDependantsGoesWithoutQuestionButTakesItsDocuments) {
    addRow(QStringLiteral("Objekte.DB"), {{QStringLiteral("O_ID"), 1},
                                          {QStringLiteral("O_Nr"), 10},
                                          {QStringLiteral("O_Aktiv"), true}});
    addRow(QStringLiteral("ObjDV.db"),
           {{QStringLiteral("OD_ID"), 1}, {QStringLiteral("OD_ObjID"), 1}});
    addRow(QStringLiteral("ObjDV.db"),
           {{QStringLiteral("OD_ID"), 2}, {QStringLiteral("OD_ObjID"), 2}});
    objectWithNr(10).deleteRecord();
    EXPECT_TRUE(presenter.boxes.isEmpty());
    EXPECT_TRUE(column(QStringLiteral("Objekte.DB"), QStringLiteral("O_Nr")).isEmpty());
    EXPECT_EQ(column(QStringLiteral("ObjDV.db"), QStringLiteral("OD_ObjID")), QList<int>{2});
}

} // namespace
