#include "commercial/accounts/paymentrules.h"

#include "commercial/accounts/openitems.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "platform/table/database.h"
#include "platform/table/table.h"

#include <memory>

using table::Table;

namespace {

// The transaction of one payment write, opened before the write and closed
// after the item's recalculation.
struct PendingWrite {
    std::unique_ptr<table::Transaction> tx;

    void open(Table& payments) {
        tx.reset();
        tx = std::make_unique<table::Transaction>(*payments.database());
    }
    // Rolls back whatever is still open.
    void drop() noexcept { tx.reset(); }
    // Recomputes the open amount of the customer of a deleted item.
    void finishCustomer(int kundenNr) {
        if (!tx)
            return;
        try {
            RecalcCustomerOpen(kundenNr);
            tx->commit();
            tx.reset();
        } catch (...) {
            tx.reset();
            throw;
        }
    }
    void finish(Table& items) {
        if (!tx)
            return;
        try {
            if (!items.isEmpty())
                RecalcOpItem(items, true);
            tx->commit();
            tx.reset();
        } catch (...) {
            tx.reset();
            throw;
        }
    }
};

} // namespace

void InstallPaymentRules(Table& payments, Table& items) {
    auto pending = std::make_shared<PendingWrite>();
    Table* item = &items;
    payments.onNewRecord += [item](Table& t) { InitNewPayment(t, *item); };
    payments.beforePost += [pending](Table& t) { pending->open(t); };
    payments.afterPost += [pending, item](Table&) { pending->finish(*item); };
    payments.postFailed += [pending](Table&) { pending->drop(); };
    payments.beforeDelete += [pending](Table& t) { pending->open(t); };
    payments.afterDelete += [pending, item](Table&) { pending->finish(*item); };
    payments.deleteFailed += [pending](Table&) { pending->drop(); };
    payments.beforeClose += [pending](Table&) { pending->drop(); };
}

void InstallOpenItemAccountRules(TDataModule1& dm) {
    // Bound to each client's table objects as they are made.
    dm.AddTableSetup([](TDataModule1& module) {
        auto pending = std::make_shared<PendingWrite>();
        auto customer = std::make_shared<int>(0);
        Table& items = module.TabOposten();
        items.beforeDelete += [pending, customer](Table& t) {
            *customer = FieldInt(t, QStringLiteral("R_KundenNr"));
            pending->open(t);
        };
        items.afterDelete += [pending, customer](Table&) { pending->finishCustomer(*customer); };
        items.deleteFailed += [pending](Table&) { pending->drop(); };
    });
}
