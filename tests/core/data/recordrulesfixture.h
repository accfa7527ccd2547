#pragma once

#include "clientdbfixture.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/recordrules.h"
#include "core/files/deleteguard.h"
#include "core/files/programdirs.h"
#include "core/settings/programsettings.h"
#include "platform/table/database.h"
#include "platform/table/session.h"
#include "platform/table/table.h"

#include <memory>

namespace datatest {

inline const QString kDb = QStringLiteral("LumoDB");

// The delete right as a test sets it; the functions asked for are kept.
class AllowDelete : public RightsChecker {
public:
    bool CheckDeleteRight(int functionNr) override {
        asked.append(functionNr);
        return allowed;
    }
    bool allowed = true;
    QList<int> asked;
};

// A record that another workstation holds in edit.
struct HeldElsewhere {
    HeldElsewhere(const QString& file, const QString& keyField, int key)
        : session(std::make_shared<table::Session>(NetDir, QStringLiteral("andere"))),
          db(table::Database::open(DataDir)) {
        db->setSession(session);
        row = std::make_unique<table::Table>(db, file);
        row->open();
        EXPECT_TRUE(row->locate({keyField}, {key}));
        row->edit();
    }
    ~HeldElsewhere() { row->cancel(); }
    std::shared_ptr<table::Session> session;
    std::shared_ptr<table::Database> db;
    std::unique_ptr<table::Table> row;
};

// A client database with the data module and its record rules; create
// rights are granted unless a test says otherwise.
class RecordRules : public ClientDbFixture {
protected:
    void SetUp() override {
        ClientDbFixture::SetUp();
        m_savedHooks = RecordRuleHooksRegistry();
        RecordRuleHooksRegistry().checkCreateRight = [this](int nr) {
            askedRights.append(nr);
            return createAllowed;
        };
        m_savedUser = CurrentUserText;
        CurrentUserText = QStringLiteral("Tester");
        dm = std::make_unique<TDataModule1>();
        dm->DataModuleCreate();
        InstallRecordRules(*dm);
    }
    void TearDown() override {
        dm.reset();
        RecordRuleHooksRegistry() = m_savedHooks;
        CurrentUserText = m_savedUser;
        ClientDbFixture::TearDown();
    }

    void addCustomer(int id, int nr) {
        addRow(QStringLiteral("Kunden.DB"),
               {{QStringLiteral("K_ID"), id}, {QStringLiteral("K_Nr"), nr}});
    }
    void addObject(int id, int nr, int kunde) {
        addRow(QStringLiteral("Objekte.DB"), {{QStringLiteral("O_ID"), id},
                                              {QStringLiteral("O_Nr"), nr},
                                              {QStringLiteral("O_Kunde"), kunde}});
    }
    void addCustomerDocument(int id, int customerId) {
        addRow(QStringLiteral("KundDV.DB"),
               {{QStringLiteral("OD_ID"), id}, {QStringLiteral("OD_KundID"), customerId}});
    }
    // The values of one field over all rows of a file, in primary order.
    QList<int> column(const QString& file, const QString& field) {
        auto t = open(file);
        QList<int> values;
        for (t->first(); !t->eof() && !t->isEmpty(); t->next())
            values.append(t->field(field).asIntegerOr(0));
        return values;
    }
    table::Table& kunden() {
        table::Table& t = dm->TabKunden();
        t.refresh();
        return t;
    }
    // Moves the shared customer object to the customer with number nr.
    table::Table& customerWithNr(int nr) {
        table::Table& t = kunden();
        EXPECT_TRUE(t.locate({QStringLiteral("K_Nr")}, {nr}));
        return t;
    }
    // A shared table object of the data module, opened and showing what
    // other cursors wrote.
    table::Table& shared(table::Table& t) {
        if (!t.isOpen())
            t.open();
        t.refresh();
        return t;
    }
    table::Table& shared(const QString& name) { return shared(dm->table(name)); }
    void setCompanyField(const QString& field, const QVariant& value) {
        table::Table& f = dm->TabFirmen();
        if (!f.isOpen())
            f.open();
        f.first();
        EnsureEditOrInsert(f);
        f.field(field).setValue(value);
        f.post();
    }

    std::unique_ptr<TDataModule1> dm;
    bool createAllowed = true;
    QList<int> askedRights;

private:
    RecordRuleHooks m_savedHooks;
    QString m_savedUser;
};

} // namespace datatest
