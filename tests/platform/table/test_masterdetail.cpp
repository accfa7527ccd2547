#include "tablefixture.h"

using table::FieldType;
using table::Table;

// Customers -> objects -> activities: a detail whose master is itself a detail.
class MasterDetailTest : public TableTest {
protected:
    void SetUp() override {
        TableTest::SetUp();
        table::TableDef objDef;
        objDef.name = "Objekte.DB";
        objDef.fields = {{"O_Nr", FieldType::Integer, 0},
                         {"O_KuNr", FieldType::Integer, 0},
                         {"O_Name", FieldType::String, 30}};
        objDef.indexes = {{"O_IKunde", {"O_KuNr"}, true, false, false}};
        db->createTable(objDef);
        table::TableDef actDef;
        actDef.name = "ObjTaet.DB";
        actDef.fields = {{"T_Id", FieldType::AutoInc, 0},
                         {"T_KuNr", FieldType::Integer, 0},
                         {"T_ONr", FieldType::Integer, 0},
                         {"T_Text", FieldType::String, 30}};
        db->createTable(actDef);

        customers = std::make_unique<Table>(db, "Kunden");
        objects = std::make_unique<Table>(db, "Objekte");
        activities = std::make_unique<Table>(db, "ObjTaet");
        customers->open();
        addCustomer(*customers, 1, "Abel");
        addCustomer(*customers, 2, "Berg");
        objects->setMaster(customers.get(), {"Nr"}, {"O_KuNr"});
        objects->open();
        activities->setMaster(objects.get(), {"O_KuNr", "O_Nr"}, {"T_KuNr", "T_ONr"});
        activities->open();
    }

    void addObject(int nr, const QString& name) {
        objects->append();
        (*objects)["O_Nr"] = nr;
        (*objects)["O_Name"] = name;
        objects->post();
    }
    void addActivity(const QString& text) {
        activities->append();
        (*activities)["T_Text"] = text;
        activities->post();
    }
    static QStringList column(Table& t, const char* field) {
        QStringList r;
        for (t.first(); !t.eof(); t.next())
            r.append(t[field].asString());
        return r;
    }

    std::unique_ptr<Table> customers, objects, activities;
};

TEST_F(MasterDetailTest, LinkFieldsFilledOnInsertAndDetailsFollowTheMaster) {
    customers->first();
    addObject(10, "Haus Abel");
    addActivity("Treppe");
    addActivity("Rasen");
    EXPECT_EQ((*activities)["T_KuNr"].asInteger(), 1);
    EXPECT_EQ((*activities)["T_ONr"].asInteger(), 10);

    customers->next();
    EXPECT_EQ(objects->recordCount(), 0);
    EXPECT_EQ(activities->recordCount(), 0); // the grand-detail follows through its master
    addObject(20, "Haus Berg");
    addActivity("Fenster");

    customers->first();
    EXPECT_EQ(column(*objects, "O_Name"), QStringList{"Haus Abel"});
    objects->first();
    EXPECT_EQ(column(*activities, "T_Text"), (QStringList{"Treppe", "Rasen"}));
    customers->last();
    objects->first();
    EXPECT_EQ(column(*activities, "T_Text"), QStringList{"Fenster"});
}

TEST_F(MasterDetailTest, DetailPendingEditIsPostedWhenMasterMoves) {
    customers->first();
    addObject(10, "Haus Abel");
    objects->edit();
    (*objects)["O_Name"] = "Villa Abel";
    customers->next();
    customers->first();
    EXPECT_EQ((*objects)["O_Name"].asString(), "Villa Abel");
}

TEST_F(MasterDetailTest, ClosedMasterShowsNoDetails) {
    customers->first();
    addObject(10, "Haus Abel");
    customers->close();
    EXPECT_EQ(objects->recordCount(), 0);
    objects->setMaster(nullptr, {}, {});
    EXPECT_EQ(objects->recordCount(), 1);
}

TEST_F(MasterDetailTest, HeldDetailsFollowOnceWhenReleased) {
    customers->first();
    addObject(10, "Haus Abel");
    customers->holdDetails();
    customers->holdDetails();
    customers->next();
    EXPECT_EQ(column(*objects, "O_Name"), QStringList{"Haus Abel"}); // still the first customer's
    customers->releaseDetails();
    EXPECT_EQ(column(*objects, "O_Name"), QStringList{"Haus Abel"}); // one hold is left
    customers->releaseDetails();
    EXPECT_EQ(objects->recordCount(), 0); // now the second customer's
    customers->releaseDetails();          // an extra release changes nothing
    customers->first();
    EXPECT_EQ(column(*objects, "O_Name"), QStringList{"Haus Abel"});
}

TEST_F(MasterDetailTest, ASearchCursorReadsNothingUntilItSearches) {
    Table search(db, "Kunden");
    search.openForSearch();
    EXPECT_TRUE(search.isOpen());
    EXPECT_TRUE(search.eof());
    EXPECT_TRUE(search.locate({"Name"}, {"Berg"}));
    EXPECT_EQ(search["Nr"].asInteger(), 2);
    search.first();
    EXPECT_EQ(search["Nr"].asInteger(), 1);
    EXPECT_EQ(db->selectValue("SELECT max(Nr) FROM Kunden").toInt(), 2);
    EXPECT_FALSE(db->selectValue("SELECT Nr FROM Kunden WHERE Nr = ?", {5}).isValid());
}
