#include "core/data/datamodule.h"
#include "core/datagui/moduleopener.h"
#include "gridfixture.h"
#include "platform/errors.h"

#include <QDialog>
#include <QPointer>
#include <QTimer>

namespace {

struct SeenWhileShown {
    bool shown = false;
    bool timerWork = true;
    QList<bool> open;
};

class ModuleOpenerTest : public GridTablesTest {
protected:
    void SetUp() override {
        GridTablesTest::SetUp();
        kunden->close();
        second = std::make_unique<table::Table>(db, QStringLiteral("Kunden.DB"));
        missing = std::make_unique<table::Table>(db, QStringLiteral("Fehlt.DB"));
    }

    // A form that notes what it sees while it is shown and closes itself
    // with the given result.
    ModuleForm closingForm(int result) {
        ModuleForm form;
        form.build = [this, result] {
            auto dialog = std::make_unique<QDialog>();
            built = dialog.get();
            QDialog* d = dialog.get();
            QTimer::singleShot(0, d, [this, d, result] {
                seen.shown = true;
                seen.timerWork = dm.IsTimerWorkEnabled();
                seen.open = {kunden->isOpen(), second->isOpen()};
                d->done(result);
            });
            return dialog;
        };
        return form;
    }

    TDataModule1 dm;
    std::unique_ptr<table::Table> second;
    std::unique_ptr<table::Table> missing;
    SeenWhileShown seen;
    QPointer<QDialog> built;
};

TEST_F(ModuleOpenerTest, OpensTheTablesForTheFormAndClosesOnlyThoseItOpened) {
    second->open();
    EXPECT_EQ(OpenModuleOn(dm, {kunden.get(), second.get()}, closingForm(QDialog::Accepted)),
              int(QDialog::Accepted));
    EXPECT_TRUE(seen.shown);
    EXPECT_FALSE(seen.timerWork);
    EXPECT_EQ(seen.open, (QList<bool>{true, true}));
    EXPECT_FALSE(kunden->isOpen());
    EXPECT_TRUE(second->isOpen());
    EXPECT_TRUE(dm.IsTimerWorkEnabled());
    EXPECT_TRUE(built.isNull());
}

// A master-data form opened from another modal form, or while a detail grid
// holds the timer work off, must not switch it on under the form below.
TEST_F(ModuleOpenerTest, TheTimerWorkIsLeftAsItWasFound) {
    dm.DisableTimerWork();
    OpenModuleOn(dm, {}, closingForm(QDialog::Rejected));
    EXPECT_FALSE(seen.timerWork);
    EXPECT_FALSE(dm.IsTimerWorkEnabled()) << "found off";

    dm.EnableTimerWork();
    bool innerSaw = true;
    bool afterInner = true;
    ModuleForm outer;
    outer.build = [&] {
        auto dialog = std::make_unique<QDialog>();
        QDialog* d = dialog.get();
        QTimer::singleShot(0, d, [&, d] {
            ModuleForm inner;
            inner.build = [&] {
                auto in = std::make_unique<QDialog>();
                QDialog* i = in.get();
                QTimer::singleShot(0, i, [&, i] {
                    innerSaw = dm.IsTimerWorkEnabled();
                    i->reject();
                });
                return in;
            };
            OpenModuleOn(dm, {}, inner);
            afterInner = dm.IsTimerWorkEnabled();
            d->reject();
        });
        return dialog;
    };
    OpenModuleOn(dm, {}, outer);
    EXPECT_FALSE(innerSaw);
    EXPECT_FALSE(afterInner) << "the outer form is still open";
    EXPECT_TRUE(dm.IsTimerWorkEnabled()) << "found on";

    // A failure on the way gives back the state found as well.
    dm.DisableTimerWork();
    ModuleForm failing = closingForm(QDialog::Accepted);
    failing.applyRights = [](QDialog&) { throw Abort{}; };
    EXPECT_THROW(OpenModuleOn(dm, {}, failing), Abort);
    EXPECT_FALSE(dm.IsTimerWorkEnabled());
}

TEST_F(ModuleOpenerTest, RightsAreAppliedBeforeTheFormIsShown) {
    ModuleForm form = closingForm(QDialog::Rejected);
    bool appliedBeforeShown = false;
    form.applyRights = [&](QDialog& d) {
        appliedBeforeShown = !seen.shown && &d == built.data();
        d.setEnabled(false);
    };
    EXPECT_EQ(OpenModuleOn(dm, {kunden.get()}, form), int(QDialog::Rejected));
    EXPECT_TRUE(appliedBeforeShown);
}

TEST_F(ModuleOpenerTest, EveryFailureOnTheWayLeavesNothingOpenAndTheTimerWorkOn) {
    const struct {
        const char* what;
        bool failInBuild;
        bool failInRights;
        bool missingTable;
    } cases[] = {
        {"form cannot be built", true, false, false},
        {"rights raise", false, true, false},
        {"a table does not open", false, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        seen = {};
        ModuleForm form = closingForm(QDialog::Accepted);
        if (c.failInBuild)
            form.build = []() -> std::unique_ptr<QDialog> {
                throw DbError(QStringLiteral("kaputt"));
            };
        if (c.failInRights)
            form.applyRights = [](QDialog&) { throw Abort{}; };
        QList<table::Table*> tables{kunden.get(), second.get()};
        if (c.missingTable)
            tables.append(missing.get());
        EXPECT_ANY_THROW(OpenModuleOn(dm, tables, form));
        EXPECT_FALSE(seen.shown);
        EXPECT_FALSE(kunden->isOpen());
        EXPECT_FALSE(second->isOpen());
        EXPECT_TRUE(dm.IsTimerWorkEnabled());
        EXPECT_TRUE(built.isNull());
    }
}

TEST_F(ModuleOpenerTest, TablesOpenedHereClosesOnLeavingTheScope) {
    second->open();
    {
        TablesOpenedHere opened({kunden.get(), second.get(), kunden.get()});
        EXPECT_TRUE(kunden->isOpen());
        kunden->first();
        kunden->edit();
        (*kunden)["Name"] = QStringLiteral("Ungespeichert");
    }
    EXPECT_FALSE(kunden->isOpen());
    EXPECT_TRUE(second->isOpen());
    second->first();
    EXPECT_EQ(second->value(QStringLiteral("Name")).toString(), QStringLiteral("Conrad"));
}

} // namespace
