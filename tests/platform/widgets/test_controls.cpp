#include "platform/widgets/datagrid.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/dbcheckbox.h"
#include "platform/widgets/dbcombobox.h"
#include "platform/widgets/dbdateedit.h"
#include "platform/widgets/dbedit.h"
#include "platform/widgets/dblookupcombobox.h"
#include "platform/widgets/dbmemo.h"
#include "platform/widgets/dbnavigator.h"
#include "platform/widgets/dbspinedit.h"
#include "platform/widgets/recordpositionlabel.h"
#include "widgetfixture.h"

#include <QToolButton>

using widgets::DataSource;
using widgets::DbNavigator;
using widgets::EditAction;

TEST_F(WidgetTest, LookupComboStoresTheKeyAndShowsTheText) {
    DataSource dsOrte(*orte);
    DataSource ds(*kunden);
    widgets::DbLookupComboBox box(ds, "Ort");
    box.setLookup(dsOrte, "ONr", "OName");
    ASSERT_EQ(box.count(), 3);
    EXPECT_EQ(box.currentText(), QStringLiteral("Köln"));
    kunden->next();
    EXPECT_EQ(box.currentText(), QStringLiteral("Bonn"));

    const int aachen = box.findText(QStringLiteral("Aachen"));
    box.setCurrentIndex(aachen);
    Q_EMIT box.activated(aachen);
    EXPECT_EQ((*kunden)["Ort"].asInteger(), 3);
    kunden->post();
    EXPECT_EQ(storedValue(2, "Ort").toInt(), 3);
    EXPECT_EQ(box.currentText(), QStringLiteral("Aachen"));

    // A key without a row in the list shows nothing rather than a wrong text.
    kunden->edit();
    (*kunden)["Ort"] = 99;
    ds.notifyRecordChanged();
    EXPECT_EQ(box.currentIndex(), -1);
    kunden->cancel();

    // A new place appears in the list once posted.
    addPlace(4, QStringLiteral("Düren"));
    EXPECT_EQ(box.count(), 4);
    EXPECT_EQ(box.currentText(), QStringLiteral("Aachen"));
}

TEST_F(WidgetTest, ComboStoresTheValueOfTheChosenText) {
    DataSource ds(*kunden);
    widgets::DbComboBox box(ds, "Anzahl");
    box.setItems({QStringLiteral("keine"), QStringLiteral("eine"), QStringLiteral("zwei")},
                 {0, 1, 2});
    EXPECT_EQ(box.currentIndex(), -1) << "a null field chooses nothing";
    Q_EMIT box.activated(2);
    EXPECT_EQ((*kunden)["Anzahl"].asInteger(), 2);
    kunden->post();
    kunden->next();
    EXPECT_EQ(box.currentIndex(), -1);
    kunden->prior();
    EXPECT_EQ(box.currentText(), QStringLiteral("zwei"));
}

TEST_F(WidgetTest, NavigatorMovesInsertsAndDeletesAfterAsking) {
    DataSource ds(*kunden);
    DbNavigator nav(ds);
    widgets::RecordPositionLabel position(ds);
    EXPECT_EQ(position.text(), QStringLiteral("Datensatz 1 von 3"));
    EXPECT_FALSE(nav.button(DbNavigator::Prior)->isEnabled());
    nav.button(DbNavigator::Last)->click();
    EXPECT_EQ((*kunden)["Nr"].asInteger(), 3);
    EXPECT_EQ(position.text(), QStringLiteral("Datensatz 3 von 3"));
    EXPECT_FALSE(nav.button(DbNavigator::Next)->isEnabled());
    nav.button(DbNavigator::Prior)->click();
    EXPECT_EQ((*kunden)["Nr"].asInteger(), 2);

    nav.button(DbNavigator::Insert)->click();
    EXPECT_EQ(position.text(), QStringLiteral("Neuer Datensatz"));
    EXPECT_TRUE(nav.button(DbNavigator::Post)->isEnabled());
    EXPECT_FALSE(nav.button(DbNavigator::Insert)->isEnabled());
    (*kunden)["Nr"] = 4;
    (*kunden)["Name"] = QStringLiteral("Dahl");
    nav.button(DbNavigator::Post)->click();
    EXPECT_EQ(storedValue(4, "Name").toString(), QStringLiteral("Dahl"));
    EXPECT_EQ(position.text(), QStringLiteral("Datensatz 4 von 4"));

    answer = false;
    nav.button(DbNavigator::Delete)->click();
    EXPECT_EQ(questions, QStringList{QStringLiteral("Datensatz löschen?")});
    EXPECT_EQ(kunden->recordCount(), 4) << "'Nein' deletes nothing";
    answer = true;
    nav.button(DbNavigator::Delete)->click();
    EXPECT_EQ(kunden->recordCount(), 3);
    EXPECT_FALSE(storedValue(4, "Name").isValid());
    EXPECT_TRUE(errors.isEmpty()) << errors.join('|').toStdString();
}

TEST_F(WidgetTest, NavigatorPostShowsTheRuleMessageAndKeepsTheEdit) {
    kunden->beforePost += [](table::Table& t) {
        if (t["Name"].asString().isEmpty())
            throw DbError(QStringLiteral("Name fehlt!"));
    };
    DataSource ds(*kunden);
    DbNavigator nav(ds);
    nav.button(DbNavigator::Insert)->click();
    nav.button(DbNavigator::Post)->click();
    EXPECT_EQ(errors, QStringList{QStringLiteral("Name fehlt!")});
    EXPECT_EQ(kunden->state(), table::TableState::Insert);
    nav.button(DbNavigator::Cancel)->click();
    EXPECT_EQ(kunden->state(), table::TableState::Browse);
    EXPECT_EQ(kunden->recordCount(), 3);
}

// Read-only tables and rights that say no leave the widgets unable to change
// anything, and asking the source directly is refused with a message.
struct Permission {
    const char* name;
    bool readOnly;
    bool edit, insert, del;
};

class PermissionTest : public WidgetTest, public ::testing::WithParamInterface<Permission> {};

TEST_P(PermissionTest, WidgetsOfferOnlyWhatIsAllowed) {
    const Permission& p = GetParam();
    kunden->setReadOnly(p.readOnly);
    DataSource ds(*kunden);
    ds.setRightsCheck([&p](EditAction a) {
        return a == EditAction::Edit ? p.edit : a == EditAction::Insert ? p.insert : p.del;
    });
    const bool edit = !p.readOnly && p.edit;
    const bool insert = !p.readOnly && p.insert;
    const bool del = !p.readOnly && p.del;

    widgets::DbEdit name(ds, "Name");
    widgets::DbCheckBox aktiv(ds, "Aktiv");
    widgets::DbDateEdit seit(ds, "Seit");
    widgets::DbSpinEdit anzahl(ds, "Anzahl");
    widgets::DbMemo notiz(ds, "Notiz");
    widgets::DataGrid grid(ds);
    DbNavigator nav(ds);
    EXPECT_EQ(!name.isReadOnly(), edit);
    EXPECT_EQ(aktiv.isEnabled(), edit);
    EXPECT_EQ(!seit.isReadOnly(), edit);
    EXPECT_EQ(!anzahl.isReadOnly(), edit);
    EXPECT_EQ(!notiz.isReadOnly(), edit);
    EXPECT_EQ(bool(grid.gridModel().flags(grid.gridModel().index(0, 1)) & Qt::ItemIsEditable),
              edit);
    EXPECT_EQ(nav.button(DbNavigator::Edit)->isEnabled(), edit);
    EXPECT_EQ(nav.button(DbNavigator::Insert)->isEnabled(), insert);
    EXPECT_EQ(nav.button(DbNavigator::Delete)->isEnabled(), del);

    EXPECT_EQ(grid.gridModel().setData(grid.gridModel().index(0, 1), QStringLiteral("Neu")), edit);
    if (!edit) {
        EXPECT_EQ(kunden->state(), table::TableState::Browse);
        EXPECT_THROW(ds.startEdit(), DbError);
    }
    kunden->cancel();
    if (!insert) {
        EXPECT_THROW(ds.insert(), DbError);
    }
    if (!del) {
        EXPECT_THROW(ds.deleteRecord(), DbError);
        EXPECT_TRUE(questions.isEmpty()) << "a refused delete asks nothing";
    }
    EXPECT_EQ(kunden->recordCount(), 3);
    EXPECT_EQ(storedValue(1, "Name").toString(), QStringLiteral("Albers"));
}

TEST_P(PermissionTest, RightsGivenLaterReachTheWidgets) {
    const Permission& p = GetParam();
    kunden->setReadOnly(p.readOnly);
    DataSource ds(*kunden);
    widgets::DbEdit name(ds, "Name");
    EXPECT_EQ(name.isReadOnly(), p.readOnly);
    ds.setRightsCheck([&p](EditAction a) { return a == EditAction::Edit ? p.edit : true; });
    EXPECT_EQ(!name.isReadOnly(), !p.readOnly && p.edit);
}

INSTANTIATE_TEST_SUITE_P(Cases, PermissionTest,
                         ::testing::Values(Permission{"everything", false, true, true, true},
                                           Permission{"readOnlyTable", true, true, true, true},
                                           Permission{"noRights", false, false, false, false},
                                           Permission{"editOnly", false, true, false, false},
                                           Permission{"noDelete", false, true, true, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WidgetTest, EditingAnEmptyTableStartsANewRecordWhenInsertingIsAllowed) {
    kunden->first();
    while (!kunden->isEmpty())
        kunden->deleteRecord();
    DataSource ds(*kunden);
    ds.setRightsCheck([](EditAction a) { return a != EditAction::Insert; });
    widgets::DbEdit name(ds, "Name");
    EXPECT_TRUE(name.isReadOnly()) << "an empty table needs the insert right";
    ds.setRightsCheck({});
    EXPECT_FALSE(name.isReadOnly());
    name.setText(QStringLiteral("Erster"));
    name.setModified(true);
    Q_EMIT name.editingFinished();
    EXPECT_EQ(kunden->state(), table::TableState::Insert);
}

TEST_F(WidgetTest, NavigatorMovingOnPostsTheChangedRecord) {
    DataSource ds(*kunden);
    DbNavigator nav(ds);
    widgets::DbEdit name(ds, "Name");
    name.setText(QStringLiteral("Ahrens"));
    name.setModified(true);
    Q_EMIT name.editingFinished();
    ASSERT_EQ(kunden->state(), table::TableState::Edit);
    EXPECT_FALSE(nav.button(DbNavigator::Edit)->isEnabled());
    ASSERT_TRUE(nav.button(DbNavigator::Next)->isEnabled());
    nav.button(DbNavigator::Next)->click();
    EXPECT_EQ((*kunden)["Nr"].asInteger(), 2);
    EXPECT_EQ(name.text(), QStringLiteral("Berger"));
    EXPECT_EQ(storedValue(1, "Name").toString(), QStringLiteral("Ahrens"));
}

TEST_F(WidgetTest, SourcesOfOneTableComeAndGoIndependently) {
    {
        DataSource kept(*kunden);
        widgets::RecordPositionLabel position(kept);
        for (int i = 0; i < 3; ++i) {
            DataSource passing(*kunden);
            widgets::DbEdit name(passing, "Name");
            kunden->next();
            EXPECT_EQ(name.text(), (*kunden)["Name"].asString());
        }
        kunden->first();
        EXPECT_EQ(position.text(), QStringLiteral("Datensatz 1 von 3"));
    }
    // A table object made anew (the same address may come back) gets its own handlers.
    kunden.reset();
    kunden = std::make_unique<table::Table>(db, QStringLiteral("Kunden.DB"));
    DataSource fresh(*kunden);
    widgets::DbEdit name(fresh, "Name");
    kunden->open();
    kunden->last();
    EXPECT_EQ(name.text(), QStringLiteral("Conrad"));
}
