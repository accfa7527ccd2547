#include "clientdbfixture.h"
#include "core/data/datamodule.h"
#include "core/data/reorgdatamodule.h"
#include "dbstructure/reorganisation.h"
#include "platform/table/table.h"

#include <gtest/gtest.h>

namespace {

using ReorgDataModule = datatest::ClientDbFixture;

// The reorganisation needs the database to itself: the data module's open
// tables close for it and come back afterwards, with the timer work as it was.
TEST_F(ReorgDataModule, ReorganisationClosesAndRestoresTheOpenTables) {
    TDataModule1 dm;
    dm.DataModuleCreate();
    dm.EnableTimerWork();
    ReorgDataModuleRegistration registration(dm);
    ASSERT_NE(dbstructure::CurrentReorgDataModule(), nullptr);

    QList<table::Table*> openBefore;
    for (table::Table* t : dm.tables())
        if (t->isOpen())
            openBefore << t;
    ASSERT_FALSE(openBefore.isEmpty());
    {
        dbstructure::ReorgScope scope(dbstructure::CurrentReorgDataModule());
        EXPECT_FALSE(dm.IsTimerWorkEnabled());
        for (table::Table* t : openBefore)
            EXPECT_FALSE(t->isOpen()) << t->tableName().toStdString();
    }
    EXPECT_TRUE(dm.IsTimerWorkEnabled());
    for (table::Table* t : openBefore)
        EXPECT_TRUE(t->isOpen()) << t->tableName().toStdString();
}

TEST_F(ReorgDataModule, RegistrationEndsWithItsScope) {
    TDataModule1 dm;
    dm.DataModuleCreate();
    dbstructure::ReorgDataModule* before = dbstructure::CurrentReorgDataModule();
    {
        ReorgDataModuleRegistration registration(dm);
        EXPECT_NE(dbstructure::CurrentReorgDataModule(), before);
    }
    EXPECT_EQ(dbstructure::CurrentReorgDataModule(), before);
}

} // namespace
