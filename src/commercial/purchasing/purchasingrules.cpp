#include "commercial/purchasing/purchasingrules.h"

#include "commercial/documents/linerules.h"
#include "commercial/documents/vatrates.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/pendingtransactions.h"
#include "core/data/recordrules.h"
#include "core/data/rulebuilders.h"
#include "core/values/money.h"
#include "platform/errors.h"
#include "platform/table/table.h"

#include <QDate>
#include <cmath>
#include <memory>
#include <utility>
#include <vector>

using table::Table;

namespace {

const QString kDb = QStringLiteral("LumoDB");

// Clears a re-entry flag on every path.
struct Guard {
    explicit Guard(bool& flag) : m_flag(flag) { m_flag = true; }
    ~Guard() { m_flag = false; }
    Guard(const Guard&) = delete;
    Guard& operator=(const Guard&) = delete;
    bool& m_flag;
};

bool sameCents(double a, double b) {
    return std::fabs(RoundCents(a) - RoundCents(b)) < 0.001;
}

double defaultVatRateToday() {
    auto rates = OpenTempTable(kDb, QStringLiteral("Mwstsatz.db"));
    return DefaultVatRate(ReadVatRateRows(*rates), DateTimeOfDate(QDate::currentDate()));
}

// Deletes every row the table object shows, first to last, opening it for
// the run when it was closed. A row that stays (its delete refused without an
// error) raises instead of looping.
void deleteAllShown(Table& t) {
    OpenForCall open(t);
    DeleteShownRows(
        t,
        QStringLiteral("Der Datensatz in \"%1\" konnte nicht gelöscht werden.").arg(t.tableName()));
    open.close();
}

// A record deleted together with the rows a rule removes before it: the rows
// go in a transaction that commits with the record's own delete, so that a
// failure anywhere leaves the record and all its rows in place.
PendingTransactions<>& pendingDeletes() {
    static PendingTransactions<> pending;
    return pending;
}

void deleteWithRows(Table& t, Table& rows, const std::function<void()>& deleteRows) {
    pendingDeletes().finish(t, false);
    // The record's own lock first, so that its delete cannot fail after the rows went.
    WithOwnLock(t, [&] {
        pendingDeletes().start(t);
        try {
            deleteRows();
        } catch (...) {
            // A row whose own delete failed after its rules opened their write is
            // undone first, so that the transactions end in order.
            if (rows.isOpen() && rows.isEditing())
                rows.cancel();
            pendingDeletes().finish(t, false);
            throw;
        }
    });
}

// Purchase-order heads: every line goes through the shared line object, so
// that the line rules run for each.
void deleteHeadLines(TDataModule1& dm, Table& head) {
    Table& lines = dm.TabBestSatz();
    deleteWithRows(head, lines, [&lines] { deleteAllShown(lines); });
}

// Order proposals: the object rows of the proposal's article go through the
// shared object rows.
void deleteProposalObjects(TDataModule1& dm, Table& proposal) {
    Table& objects = dm.TabBvObj();
    deleteWithRows(proposal, objects, [&objects] { deleteAllShown(objects); });
}

void newPurchaseLine(Table& line) {
    for (const char* name :
         {"S_PosArt", "S_Menge", "S_EPreis", "S_Netto", "S_MwstBetrag", "S_Brutto", "S_LieferMenge",
          "S_Oldmenge", "S_MatID", "S_LArtID", "S_KostenKonto"})
        line.field(QString::fromLatin1(name)).setValue(0);
    for (const char* name : {"S_MengBez", "S_Kurztext", "S_Text", "S_ArtNr", "S_LArtNr"})
        line.field(QString::fromLatin1(name)).setValue(QString());
    line.field(QStringLiteral("S_MwstKz")).setValue(DefaultMwstKz);
    line.field(QStringLiteral("S_Mwst")).setValue(defaultVatRateToday());
}

// The ordered quantity of a line changed since it was last spread: spread it
// and remember it. Runs in the transaction of the line's own write.
void spreadChangedMenge(TDataModule1& dm) {
    static bool running = false;
    if (running)
        return;
    Guard guard(running);
    Table& line = dm.TabBestSatz();
    const double menge = FieldFloat(line, QStringLiteral("S_Menge"));
    if (FieldFloat(line, QStringLiteral("S_Oldmenge")) == menge)
        return;
    DistributeBestellMenge(dm, menge);
    EnsureEditOrInsert(line);
    line.field(QStringLiteral("S_Oldmenge")).setValue(menge);
}

void deleteLineObjects(TDataModule1& dm) {
    deleteAllShown(dm.TabBestObj());
}

void bindPurchaseLines(TDataModule1& dm) {
    LineTableRules r;
    r.line = QStringLiteral("TabBestSatz");
    r.head = QStringLiteral("TabBestKopf");
    r.posNrDisplay = false;
    r.posArtRule = false;
    r.defaults = newPurchaseLine;
    r.recalcFields = {QStringLiteral("S_Menge"), QStringLiteral("S_EPreis"),
                      QStringLiteral("S_MwstKz")};
    r.booking = [](TDataModule1& module, bool reverse) {
        if (!reverse)
            spreadChangedMenge(module);
    };
    r.beforeDelete = [](TDataModule1& module, Table&) { deleteLineObjects(module); };
    BindCommonLineRules(dm, r);
    dm.TabBestSatz().afterScroll += [](Table&) {
        if (const auto& update = PurchasingFormHooksRegistry().UpdateNewObjectButton)
            update();
    };
}

// Object rows come only from the purchasing modules, which allow them while they build them.
void bindInsertGuard(Table& t, TDataModule1& dm, bool (TDataModule1::*allowed)() const) {
    TDataModule1* module = &dm;
    t.beforeInsert += [module, allowed](Table&) {
        if (!(module->*allowed)())
            throw Abort{};
    };
}

using rulebuilders::keyed;

void updateProposalSums() {
    if (const auto& update = PurchasingFormHooksRegistry().UpdateSums)
        update();
}

void proposalPriceChanged(TDataModule1& dm, Table& proposal) {
    static bool running = false;
    if (running || dm.IsInitNewRecord() || !proposal.isEditing())
        return;
    Guard guard(running);
    proposal.field(QStringLiteral("BV_BestellWert"))
        .setValue(RoundCents(FieldFloat(proposal, QStringLiteral("BV_Lieferpreis")) *
                             FieldFloat(proposal, QStringLiteral("BV_BestellMenge"))));
    proposal.post();
    updateProposalSums();
}

void bindPurchasing(TDataModule1& dm) {
    TDataModule1* module = &dm;

    BindNumberedTableRules(dm, keyed("TabBestKopf", "R_ID"));
    Table& head = dm.TabBestKopf();
    head.beforeDelete += [module](Table& self) { deleteHeadLines(*module, self); };
    pendingDeletes().bindToDelete(head);

    bindPurchaseLines(dm);

    bindInsertGuard(dm.TabBestObj(), dm, &TDataModule1::IsBestObjInsertAllowed);
    BindNumberedTableRules(dm, keyed("TabBestObj", "BO_ID"));

    NumberedTableRules proposalRules = keyed("TabBvListe", "BV_ID");
    proposalRules.createRight = 57;
    BindNumberedTableRules(dm, proposalRules);
    Table& proposals = dm.TabBvListe();
    proposals.beforeDelete += [module](Table& self) { deleteProposalObjects(*module, self); };
    pendingDeletes().bindToDelete(proposals);
    proposals.field(QStringLiteral("BV_Lieferpreis")).onChange +=
        [module, &proposals](table::Field&) { proposalPriceChanged(*module, proposals); };
    proposals.afterScroll += [](Table&) { updateProposalSums(); };

    bindInsertGuard(dm.TabBvObj(), dm, &TDataModule1::IsBvObjInsertAllowed);
    BindNumberedTableRules(dm, keyed("TabBvObj", "BO_ID"));
}

void writeBestMenge(Table& objects, const table::Bookmark& mark, double menge) {
    objects.gotoBookmark(mark);
    CancelEditOnError(objects, [&] {
        objects.edit();
        objects.field(QStringLiteral("BO_BestMenge")).setValue(menge);
        objects.post();
    });
}

} // namespace

PurchasingFormHooks& PurchasingFormHooksRegistry() {
    static PurchasingFormHooks hooks;
    return hooks;
}

void InstallPurchasingRules(TDataModule1& dm) {
    dm.AddTableSetup([](TDataModule1& module) { bindPurchasing(module); });
}

void DistributeBestellMenge(TDataModule1& dm, double menge) {
    SpreadOverStockRows(dm.TabBestObj(), menge);
}

std::vector<double> SpreadStockQuantities(const std::vector<StockQuantity>& rows, double menge) {
    double objectSum = 0.0;
    double central = 0.0;
    bool hasCentral = false;
    for (const StockQuantity& row : rows) {
        if (row.central) {
            central = RoundCents(row.menge);
            hasCentral = true;
        } else {
            objectSum = RoundCents(objectSum + row.menge);
        }
    }
    if (sameCents(menge, central + objectSum))
        return {};
    std::vector<double> result;
    result.reserve(rows.size());
    const double rest = RoundCents(menge - objectSum);
    if (rest >= 0.0) {
        // The objects keep their quantities; the central stock takes the rest.
        if (!hasCentral)
            return {};
        for (const StockQuantity& row : rows)
            result.push_back(row.central ? rest : row.menge);
    } else {
        // Below what the objects alone order: they shrink in proportion.
        const double share = objectSum == 0.0 ? 0.0 : std::fabs(rest / objectSum);
        for (const StockQuantity& row : rows)
            result.push_back(row.central ? 0.0 : RoundCents(row.menge * (1.0 - share)));
    }
    return result;
}

void SpreadOverStockRows(Table& objects, double menge) {
    OpenForCall open(objects);
    objects.refresh();
    std::vector<table::Bookmark> marks;
    std::vector<StockQuantity> rows;
    for (objects.first(); !objects.eof() && !objects.isEmpty(); objects.next()) {
        marks.push_back(objects.bookmark());
        rows.push_back({FieldInt(objects, QStringLiteral("BO_ObjID")) == 0,
                        FieldFloat(objects, QStringLiteral("BO_BestMenge"))});
    }
    const std::vector<double> spread = SpreadStockQuantities(rows, menge);
    if (!spread.empty()) {
        table::Transaction tx(*objects.database());
        for (size_t i = 0; i < rows.size(); ++i)
            if (spread[i] != rows[i].menge)
                writeBestMenge(objects, marks[i], spread[i]);
        tx.commit();
    }
    open.close();
}

void UpdateArtikelBestellt(TDataModule1& dm, bool add) {
    Table& lines = dm.TabBestSatz();
    OpenForCall openLines(lines);
    if (lines.isEmpty()) {
        openLines.close();
        return;
    }
    Table& objects = dm.TabBestObj();
    Table& articles = dm.TabArtLU();
    // Pending edits are written before the run, so that undoing the bookings undoes nothing else.
    if (lines.isEditing())
        lines.post();
    if (objects.isOpen() && objects.isEditing())
        objects.post();
    const table::Bookmark mark = lines.bookmark();
    OpenForCall openObjects(objects);
    OpenForCall openArticles(articles);
    try {
        table::Transaction tx(*articles.database());
        for (lines.first(); !lines.eof(); lines.next())
            for (objects.first(); !objects.eof() && !objects.isEmpty(); objects.next()) {
                if (!articles.locate({QStringLiteral("A_ID")},
                                     {FieldInt(objects, QStringLiteral("BO_ArtID"))}))
                    continue;
                const double open = FieldFloat(objects, QStringLiteral("BO_BestMenge")) -
                                    FieldFloat(objects, QStringLiteral("BO_Liefermenge"));
                if (open == 0.0)
                    continue;
                const double bestellt = FieldFloat(articles, QStringLiteral("A_Bestellt"));
                articles.edit();
                articles.field(QStringLiteral("A_Bestellt"))
                    .setValue(std::max(0.0, add ? bestellt + open : bestellt - open));
                articles.post();
            }
        tx.commit();
    } catch (...) {
        // The transaction has undone every booking; the cursors go back as they were.
        try {
            if (articles.isEditing())
                articles.cancel();
            openObjects.close();
            if (lines.bookmarkValid(mark))
                lines.gotoBookmark(mark);
        } catch (...) {
            // The booking's own error is the one the caller gets.
        }
        throw;
    }
    openArticles.close();
    openObjects.close();
    if (lines.bookmarkValid(mark))
        lines.gotoBookmark(mark);
    openLines.close();
}
