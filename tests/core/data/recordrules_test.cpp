#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/numberproposals.h"
#include "core/data/recordrules.h"
#include "core/files/programdirs.h"
#include "core/settings/programsettings.h"
#include "platform/errors.h"
#include "platform/table/database.h"
#include "platform/table/session.h"
#include "platform/table/table.h"
#include "recordrulesfixture.h"

#include <QDateTime>

namespace {

using datatest::HeldElsewhere;
using datatest::kDb;
using datatest::RecordRules;
using Kind = MessagePresenter::Kind;

TEST_F(RecordRules, NumberProposalsStartAtTheCompanyMinimumAndSkipTakenNumbers) {
    struct Case {
        QVariant minimum;
        QList<int> taken;
        int expected;
    } cases[] = {
        {QVariant(), {}, 1},
        {QVariant(), {1, 2, 4}, 3},
        {1000, {999, 1000, 1001}, 1002},
        {50, {10, 51}, 50},
    };
    int id = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        open(QStringLiteral("Kunden.DB"))->database()->emptyTable(QStringLiteral("Kunden.DB"));
        setCompanyField(QStringLiteral("F_MinNrKunden"), c.minimum);
        for (int nr : c.taken)
            addCustomer(++id, nr);
        EXPECT_EQ(NextFreeKundenNr(), c.expected);
    }
}

TEST_F(RecordRules, ArticleNumberProposalIsSixDigitTextOverAllStocks) {
    setCompanyField(QStringLiteral("F_MinNrArtikel"), 7);
    addRow(QStringLiteral("Artikel.db"), {{QStringLiteral("A_ID"), 1},
                                          {QStringLiteral("A_ArtNo"), QStringLiteral("000007")},
                                          {QStringLiteral("A_ObjID"), 0}});
    addRow(QStringLiteral("Artikel.db"), {{QStringLiteral("A_ID"), 2},
                                          {QStringLiteral("A_ArtNo"), QStringLiteral("000008")},
                                          {QStringLiteral("A_ObjID"), 5}});
    EXPECT_EQ(NextFreeArtikelNr(), QStringLiteral("000009"));
}

TEST_F(RecordRules, NewCustomerGetsNextKeyProposedNumberAndDefaults) {
    addCustomer(7, 1);
    addCustomer(3, 2);
    table::Table& t = kunden();
    t.append();
    EXPECT_EQ(askedRights, QList<int>{2});
    EXPECT_FALSE(dm->IsInitNewRecord());
    EXPECT_EQ(t.field(QStringLiteral("K_ID")).asInteger(), 8);
    EXPECT_EQ(t.field(QStringLiteral("K_Nr")).asInteger(), 3);
    EXPECT_EQ(t.field(QStringLiteral("K_RechBed")).asInteger(), 0);
    EXPECT_EQ(t.field(QStringLiteral("K_Zahlart")).asInteger(), 0);
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    t.post();
    EXPECT_EQ(t.field(QStringLiteral("K_LastUser")).asString(), QStringLiteral("Tester"));
    EXPECT_GE(t.field(QStringLiteral("K_LastAccess")).value().toDateTime(), before);
    EXPECT_EQ(column(QStringLiteral("Kunden.DB"), QStringLiteral("K_Nr")), (QList<int>{2, 1, 3}));
}

TEST_F(RecordRules, NewRecordWithoutCreateRightIsRefusedSilently) {
    createAllowed = false;
    table::Table& t = kunden();
    EXPECT_THROW(t.append(), Abort);
    EXPECT_FALSE(t.isEditing());
    EXPECT_FALSE(dm->IsInitNewRecord());
    EXPECT_TRUE(column(QStringLiteral("Kunden.DB"), QStringLiteral("K_Nr")).isEmpty());
}

TEST_F(RecordRules, InvalidCustomerNumbersAreRefusedAsSoonAsTyped) {
    addCustomer(1, 10);
    const QVariant typed[] = {0, QVariant(), 10};
    table::Table& t = kunden();
    t.append();
    for (const QVariant& value : typed) {
        SCOPED_TRACE(value.toString().toStdString());
        try {
            t.field(QStringLiteral("K_Nr")).setValue(value);
            ADD_FAILURE() << "accepted";
        } catch (const DbError& e) {
            EXPECT_EQ(e.message(), NumberTakenText());
        }
        EXPECT_EQ(t.field(QStringLiteral("K_Nr")).asIntegerOr(0), value.toInt());
        EXPECT_EQ(t.state(), table::TableState::Insert);
    }
    t.cancel();
    EXPECT_EQ(NumberTakenText(),
              QStringLiteral("Die eingegebene Nummmer ist bereits vergeben!\rDoppel-Clicken Sie, "
                             "um sich einen Nummern-Vorschlag anzeigen zu lassen."));
}

TEST_F(RecordRules, ANumberTakenMeanwhileIsRefusedAtPostAndStaysTyped) {
    addCustomer(1, 10);
    table::Table& t = kunden();
    t.append();
    t.field(QStringLiteral("K_Nr")).setValue(11);
    addCustomer(5, 11); // another workstation posts the same number first
    try {
        t.post();
        ADD_FAILURE() << "posted";
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(), NumberTakenText());
    }
    EXPECT_EQ(t.state(), table::TableState::Insert);
    EXPECT_EQ(t.field(QStringLiteral("K_Nr")).asInteger(), 11);
    t.field(QStringLiteral("K_Nr")).setValue(12);
    t.post();
    EXPECT_EQ(column(QStringLiteral("Kunden.DB"), QStringLiteral("K_Nr")),
              (QList<int>{10, 12, 11}));
}

TEST_F(RecordRules, RenumberingACustomerAsksAndCarriesTheNumberIntoItsObjects) {
    struct Case {
        const char* name;
        QList<bool> answers;
        int objectsOf12; // objects of customer 12 before the change
        bool importing;
        int expectedNr;
        QList<int> expectedObjectCustomers;
        int questions;
    } cases[] = {
        {"yes", {true}, 2, false, 15, {15, 99, 15}, 1},
        {"no", {false}, 2, false, 12, {12, 99, 12}, 1},
        {"without objects", {}, 0, false, 15, {99}, 0},
        {"import", {}, 2, true, 15, {15, 99, 15}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto db = table::aliases::database(kDb);
        db->emptyTable(QStringLiteral("Kunden.DB"));
        db->emptyTable(QStringLiteral("Objekte.DB"));
        addCustomer(1, 12);
        if (c.objectsOf12)
            addObject(1, 100, 12);
        addObject(2, 101, 99);
        if (c.objectsOf12)
            addObject(3, 102, 12);
        presenter.boxes.clear();
        presenter.answers = c.answers;
        dm->SetImportRunning(c.importing);
        table::Table& t = customerWithNr(12);
        t.edit();
        t.field(QStringLiteral("K_Nr")).setValue(15);
        t.post();
        dm->SetImportRunning(false);
        EXPECT_EQ(presenter.texts(Kind::Question).size(), c.questions);
        if (c.questions) {
            EXPECT_EQ(presenter.texts(Kind::Question).first(), RenumberQuestionText());
        }
        EXPECT_EQ(column(QStringLiteral("Kunden.DB"), QStringLiteral("K_Nr")),
                  QList<int>{c.expectedNr});
        EXPECT_EQ(column(QStringLiteral("Objekte.DB"), QStringLiteral("O_Kunde")),
                  c.expectedObjectCustomers);
        EXPECT_EQ(RememberedNr(QStringLiteral("TabKunden")).toInt(), c.expectedNr);
    }
}

// A cascade step that fails (an unknown dependent table stands for any engine
// error) leaves every table and the record as they were.
TEST_F(RecordRules, AFailingRenumberStepRollsBackTheWholeRenumber) {
    NumberedTableRules r = MasterTableRules().front();
    r.renumber.push_back({QStringLiteral("KundDV.DB"), QStringLiteral("OD_KundID")});
    r.renumber.push_back({QStringLiteral("Fehlt.DB"),
                          QStringLiteral("X_Nr"),
                          CascadeAction::Replace,
                          false,
                          {},
                          {},
                          false});
    dm->TabKunden().onNewRecord.clear();
    dm->TabKunden().beforePost.clear();
    dm->TabKunden().afterPost.clear();
    BindNumberedTableRules(*dm, r);
    addCustomer(1, 12);
    addObject(1, 100, 12);
    addCustomerDocument(1, 12);
    presenter.answers = {true};
    table::Table& t = customerWithNr(12);
    t.edit();
    t.field(QStringLiteral("K_Nr")).setValue(15);
    EXPECT_ANY_THROW(t.post());
    EXPECT_EQ(t.state(), table::TableState::Edit);
    EXPECT_EQ(t.field(QStringLiteral("K_Nr")).asInteger(), 15);
    EXPECT_EQ(column(QStringLiteral("Kunden.DB"), QStringLiteral("K_Nr")), QList<int>{12});
    EXPECT_EQ(column(QStringLiteral("Objekte.DB"), QStringLiteral("O_Kunde")), QList<int>{12});
    EXPECT_EQ(column(QStringLiteral("KundDV.DB"), QStringLiteral("OD_KundID")), QList<int>{12});
    EXPECT_EQ(table::aliases::database(kDb)->transactionDepth(), 0);
    t.cancel();
}

TEST_F(RecordRules, ARenumberBlockedByALockedObjectNamesItAndChangesNothing) {
    addCustomer(1, 12);
    addObject(1, 100, 12);
    addObject(2, 101, 12);
    auto held =
        std::make_unique<HeldElsewhere>(QStringLiteral("Objekte.DB"), QStringLiteral("O_ID"), 2);
    presenter.answers = {true};
    table::Table& t = customerWithNr(12);
    t.edit();
    t.field(QStringLiteral("K_Nr")).setValue(15);
    try {
        t.post();
        FAIL() << "posted despite the locked object";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("Objekte.DB"))) << e.what();
        EXPECT_TRUE(e.message().contains(QStringLiteral("O_ID 2"))) << e.what();
    }
    held.reset();
    EXPECT_EQ(t.state(), table::TableState::Edit);
    EXPECT_EQ(column(QStringLiteral("Kunden.DB"), QStringLiteral("K_Nr")), QList<int>{12});
    EXPECT_EQ(column(QStringLiteral("Objekte.DB"), QStringLiteral("O_Kunde")),
              (QList<int>{12, 12}));
    // Once the object is free the same post goes through.
    presenter.answers = {true};
    t.post();
    EXPECT_EQ(column(QStringLiteral("Objekte.DB"), QStringLiteral("O_Kunde")),
              (QList<int>{15, 15}));
}

TEST_F(RecordRules, DeletingACustomerClearsItsObjectsAndRemovesItsDocuments) {
    struct Case {
        const char* name;
        bool withObjects;
        QList<bool> answers;
        int questions;
        bool deleted;
    } cases[] = {
        {"yes", true, {true}, 1, true},
        {"no", true, {false}, 1, false},
        {"without objects", false, {}, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto db = table::aliases::database(kDb);
        for (const char* file : {"Kunden.DB", "Objekte.DB", "KundDV.DB"})
            db->emptyTable(QString::fromLatin1(file));
        addCustomer(1, 12);
        addCustomer(2, 13);
        if (c.withObjects)
            addObject(1, 100, 12);
        addObject(2, 101, 13);
        addCustomerDocument(1, 1);
        addCustomerDocument(2, 2);
        presenter.boxes.clear();
        presenter.answers = c.answers;
        table::Table& t = customerWithNr(12);
        if (c.deleted)
            t.deleteRecord();
        else
            EXPECT_THROW(t.deleteRecord(), Abort);
        EXPECT_EQ(presenter.texts(Kind::Question).size(), c.questions);
        if (c.questions) {
            EXPECT_EQ(presenter.texts(Kind::Question).first(), DeleteQuestionText());
        }
        EXPECT_EQ(column(QStringLiteral("Kunden.DB"), QStringLiteral("K_Nr")),
                  c.deleted ? QList<int>{13} : (QList<int>{12, 13}));
        const QList<int> objects = column(QStringLiteral("Objekte.DB"), QStringLiteral("O_Kunde"));
        if (c.withObjects)
            EXPECT_EQ(objects, (QList<int>{c.deleted ? 0 : 12, 13}));
        else
            EXPECT_EQ(objects, QList<int>{13});
        EXPECT_EQ(column(QStringLiteral("KundDV.DB"), QStringLiteral("OD_KundID")),
                  c.deleted ? QList<int>{2} : (QList<int>{1, 2}));
        EXPECT_FALSE(t.isEditing());
    }
}

TEST_F(RecordRules, ADeleteBlockedByALockedObjectLeavesEverythingInPlace) {
    addCustomer(1, 12);
    addObject(1, 100, 12);
    addObject(2, 101, 12);
    addCustomerDocument(1, 1);
    HeldElsewhere held(QStringLiteral("Objekte.DB"), QStringLiteral("O_ID"), 2);
    presenter.answers = {true};
    table::Table& t = customerWithNr(12);
    try {
        t.deleteRecord();
        FAIL() << "deleted despite the locked object";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("O_ID 2"))) << e.what();
    }
    EXPECT_FALSE(t.isEditing());
    EXPECT_EQ(column(QStringLiteral("Kunden.DB"), QStringLiteral("K_Nr")), QList<int>{12});
    EXPECT_EQ(column(QStringLiteral("Objekte.DB"), QStringLiteral("O_Kunde")),
              (QList<int>{12, 12}));
    EXPECT_EQ(column(QStringLiteral("KundDV.DB"), QStringLiteral("OD_KundID")), QList<int>{1});
    EXPECT_EQ(table::aliases::database(kDb)->transactionDepth(), 0);
}

TEST_F(RecordRules, ANewCustomerWhoseKeyWasTakenMeanwhileGetsAFreshKey) {
    addCustomer(1, 10);
    table::Table& t = kunden();
    t.append();
    ASSERT_EQ(t.field(QStringLiteral("K_ID")).asInteger(), 2);
    addCustomer(2, 20); // another workstation posts first
    t.post();
    EXPECT_EQ(t.field(QStringLiteral("K_ID")).asInteger(), 3);
    EXPECT_EQ(column(QStringLiteral("Kunden.DB"), QStringLiteral("K_ID")), (QList<int>{1, 2, 3}));
    EXPECT_TRUE(presenter.boxes.isEmpty());
}

TEST_F(RecordRules, RememberedNumberFollowsScrollAndRememberCalls) {
    addCustomer(1, 10);
    addCustomer(2, 20);
    table::Table& t = kunden();
    t.first();
    EXPECT_EQ(RememberedNr(QStringLiteral("TabKunden")).toInt(), 10);
    t.next();
    EXPECT_EQ(RememberedNr(QStringLiteral("TabKunden")).toInt(), 20);
    EXPECT_THROW(RememberNr(QStringLiteral("TabMwst")), DbError);
}

TEST_F(RecordRules, ASupplierNumberZeroAndATakenOneGetTheirOwnTexts) {
    addRow(QStringLiteral("Liefrnt.db"),
           {{QStringLiteral("K_ID"), 1}, {QStringLiteral("K_Nr"), 4}});
    const struct {
        int typed;
        QString text;
    } cases[] = {{0, NumberTakenShortText()}, {4, NumberTakenText()}};
    table::Table& t = dm->TabLieferant();
    if (!t.isOpen())
        t.open();
    t.append();
    EXPECT_EQ(t.field(QStringLiteral("K_Nr")).asInteger(), 1);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        try {
            t.field(QStringLiteral("K_Nr")).setValue(c.typed);
            ADD_FAILURE() << "accepted";
        } catch (const DbError& e) {
            EXPECT_EQ(e.message(), c.text);
        }
    }
    t.cancel();
}

} // namespace
