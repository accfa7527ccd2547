#include "commercial/documents/documentrules.h"

#include "commercial/bookings/linebookings.h"
#include "commercial/documents/documentservices.h"
#include "commercial/documents/linerules.h"
#include "commercial/documents/offerrules.h"
#include "commercial/documents/vatrates.h"
#include "commercial/purchasing/incominginvoicerules.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/lookups.h"
#include "core/data/pendingtransactions.h"
#include "core/messages/messages.h"
#include "platform/errors.h"
#include "platform/table/table.h"

#include <QLocale>
#include <memory>

using table::Field;
using table::Table;

namespace {

const QString kDb = QStringLiteral("LumoDB");

QString amountText(double value) {
    return QLocale(QLocale::German, QLocale::Germany).toString(value, 'f', 2);
}

// No document sums are recalculated while it lives; the state before comes
// back on every path.
class RecalcSuspension {
public:
    explicit RecalcSuspension(TDataModule1& dm) : m_dm(dm), m_was(dm.IsRecalcSuspended()) {
        m_dm.SetRecalcSuspended(true);
    }
    ~RecalcSuspension() { m_dm.SetRecalcSuspended(m_was); }
    RecalcSuspension(const RecalcSuspension&) = delete;
    RecalcSuspension& operator=(const RecalcSuspension&) = delete;

private:
    TDataModule1& m_dm;
    bool m_was;
};

// The head's transaction around the delete of its lines and itself.
PendingTransactions<>& headDeletes() {
    static PendingTransactions<> pending;
    return pending;
}

void closeHeadDelete(Table& head, bool commit) {
    headDeletes().finish(head, commit);
}

// Deletes the lines of the current head through the shared line object, so
// that each line's rules and reversing bookings run.
void deleteLinesThroughLineObject(Table& line, int headId) {
    OpenForCall open(line);
    if (line.isEditing())
        line.cancel();
    line.refresh();
    DeleteShownRows(line,
                    QStringLiteral("Die Positionen des Belegs konnten nicht gelöscht werden."),
                    [headId](Table& shown) {
                        if (FieldInt(shown, "S_Ref") != headId)
                            throw DbError(QStringLiteral(
                                "Die Positionen des Belegs konnten nicht gelöscht werden "
                                "(die Positionsliste zeigt einen anderen Beleg)."));
                    });
}

void beforeHeadDelete(TDataModule1& dm, Table& head, Table& line, const HeadTableRules& r) {
    closeHeadDelete(head, false);
    const int headId = FieldInt(head, "R_ID");
    try {
        // The head's own lock first, so that its delete cannot fail after the lines.
        WithOwnLock(head, [&] {
            headDeletes().start(head);
            try {
                // The sums of a head that goes away need no recalculation.
                RecalcSuspension suspend(dm);
                if (r.deleteLinesThroughLineObject) {
                    deleteLinesThroughLineObject(line, headId);
                } else if (CountRecordsWithValue(kDb, line.tableName(), QStringLiteral("S_Ref"),
                                                 headId) > 0) {
                    // Also when the line object is closed: no line may outlive its head.
                    DeleteRecordsFiltered(kDb, line.tableName(),
                                          QStringLiteral("S_Ref=") + QString::number(headId),
                                          OnDeleteFailure::Raise);
                }
            } catch (...) {
                closeHeadDelete(head, false);
                throw;
            }
        });
    } catch (...) {
        RefreshIfActive(line);
        throw;
    }
}

void newHead(TDataModule1& dm, Table& head, const HeadTableRules& r) {
    const bool flag = r.initNewRecord;
    if (flag)
        dm.SetInitNewRecord(true);
    try {
        head.field(QStringLiteral("R_ID")).setValue(GetNextId(head, QStringLiteral("R_ID")));
        if (r.defaults)
            r.defaults(head);
    } catch (...) {
        if (flag)
            dm.SetInitNewRecord(false);
        throw;
    }
    if (flag)
        dm.SetInitNewRecord(false);
}

// Counted open of the invoice tables, kept per set of table objects.
struct RechnungTablesState {
    int count = 0;
    bool locked = false;
};
RechnungTablesState& rechnungTables() {
    static RechnungTablesState state;
    return state;
}

std::vector<std::pair<QString, QVariant>> invoiceDefaultValues(bool withTextAndAccount) {
    std::vector<std::pair<QString, QVariant>> values = NewLineValues();
    values.insert(values.end(), {
                                    {QStringLiteral("S_Quelle"), 0},
                                    {QStringLiteral("S_QuellNr"), QStringLiteral("manuell")},
                                    {QStringLiteral("S_RefID"), 0},
                                    {QStringLiteral("S_SrcNr"), QString()},
                                    {QStringLiteral("S_OldQuelle"), 0},
                                    {QStringLiteral("S_OldMenge"), 0},
                                    {QStringLiteral("S_OldMatID"), 0},
                                    {QStringLiteral("S_OldRefID"), 0},
                                    {QStringLiteral("S_OldPosTyp"), 4},
                                });
    if (withTextAndAccount) {
        values.emplace_back(QStringLiteral("S_Text"), QString());
        values.emplace_back(QStringLiteral("S_ErloesKonto"), 0);
    }
    return values;
}

void invoiceDefaults(Table& line, bool withTextAndAccount) {
    SetFieldsIfPresent(line, invoiceDefaultValues(withTextAndAccount));
}

void focus(const std::function<void(const QString&)>& hook, const char* field) {
    if (hook)
        hook(QLatin1String(field));
}

// An invoice line copied from an order or delivery-note line may not bill
// more than the source line has left.
void capInvoiceMenge(TDataModule1& dm, Table& line, Field& menge) {
    if (dm.IsInitNewRecord())
        return;
    const int quelle = FieldInt(line, "S_Quelle");
    if (quelle != 2 && quelle != 4)
        return;
    const double old = FieldFloat(line, "S_OldMenge");
    double diff = menge.asFloatOr(0.0) - old;
    if (LimitToUndeliveredMenge(quelle, diff, FieldInt(line, "S_RefID"))) {
        ShowError(InvoiceQuantityTooHighText(old + diff));
        throw Abort{};
    }
}

void checkDeliveryMenge(TDataModule1& dm, Table& line, Field& menge) {
    if (dm.IsInitNewRecord())
        return;
    const double geliefert = FieldFloat(line, "S_MengeGeliefert");
    if (menge.asFloatOr(0.0) < geliefert) {
        ShowError(DeliveryQuantityTooLowText(geliefert));
        throw Abort{};
    }
}

void checkDeliveryObjektNr(TDataModule1& dm, Table&, Field& nr) {
    if (dm.IsInitNewRecord())
        return;
    if (GetObjektIdByNr(nr.asIntegerOr(0)) == 0) {
        ShowError(QStringLiteral("Sie müssen eine gültige Objektnummer eingeben!"));
        throw Abort{};
    }
}

void dueDateRule(TDataModule1&, Table& head, Field&) {
    UpdateFaelligDatum(head);
}

// The line rules every document kind starts from: its line and head table
// objects, and the fields whose change recalculates the line.
LineTableRules documentLineRules(const char* line, const char* head) {
    LineTableRules r;
    r.line = QString::fromLatin1(line);
    r.head = QString::fromLatin1(head);
    r.recalcFields = {QStringLiteral("S_Menge"), QStringLiteral("S_EPreis"),
                      QStringLiteral("S_MwstKz")};
    return r;
}

// Binds the head rules of the document kind whose line rules are `lines`.
void bindHeadOf(TDataModule1& dm, const LineTableRules& lines, HeadTableRules h = {}) {
    h.head = lines.head;
    h.line = lines.line;
    BindDocumentHeadRules(dm, h);
}

// A new line of an invoice or credit note.
void newBillingLine(Table& line) {
    SetFieldsIfPresent(line, NewBillingLineValues());
}

void bindInvoice(TDataModule1& dm) {
    LineTableRules r = documentLineRules("TabRechSatz", "TabRechKopf");
    r.defaults = newBillingLine;
    r.focusAfterNew = [] {
        focus(DocumentFormHooksRegistry().FocusRgEditColumn, "TabRechSatzS_Menge");
    };
    r.afterWrite = r.focusAfterNew;
    r.fieldChecks.emplace_back(QStringLiteral("S_Menge"), capInvoiceMenge);
    r.beforePost = [](TDataModule1& module, Table& line) {
        CalcDocumentLine(line, module.TabRechKopf());
    };
    r.booking = BookRechSatz;
    BindCommonLineRules(dm, r);

    HeadTableRules h;
    h.fieldRules = {{QStringLiteral("R_DatumDruck"), dueDateRule},
                    {QStringLiteral("R_ZahlBedNettoTage"), dueDateRule}};
    bindHeadOf(dm, r, h);
}

void bindCreditNote(TDataModule1& dm) {
    LineTableRules r = documentLineRules("TabGsSatz", "TabGsKopf");
    r.defaults = newBillingLine;
    r.focusAfterNew = [] {
        focus(DocumentFormHooksRegistry().FocusGsEditColumn, "TabGsSatzS_Menge");
    };
    r.afterWrite = r.focusAfterNew;
    r.recalcFields.append(QStringLiteral("S_Netto"));
    r.recalcWhen = [](TDataModule1&, Table&) { return true; };
    r.beforePost = [](TDataModule1& module, Table& line) {
        CalcDocumentLine(line, module.TabGsKopf());
    };
    r.booking = BookGsSatz;
    BindCommonLineRules(dm, r);

    bindHeadOf(dm, r);
}

void bindDeliveryNote(TDataModule1& dm) {
    LineTableRules r = documentLineRules("TabLSSatz", "TabLSKopf");
    r.defaults = [](Table& line) {
        invoiceDefaults(line, false);
        SetFieldsIfPresent(
            line, {{QStringLiteral("S_MengeGeliefert"), 0}, {QStringLiteral("S_Origin"), 11}});
    };
    r.afterWrite = [] { focus(DocumentFormHooksRegistry().FocusLSEditColumn, "TabLSSatzS_Menge"); };
    r.fieldChecks.emplace_back(QStringLiteral("S_Menge"), checkDeliveryMenge);
    r.beforePost = [](TDataModule1& module, Table& line) {
        CalcDocumentLine(line, module.TabLSKopf());
    };
    // The reversing booking gives back only what was not invoiced yet.
    r.booking = BookLSSatz;
    BindCommonLineRules(dm, r);

    HeadTableRules h;
    h.initNewRecord = true;
    h.defaults = [](Table& head) { SetFieldsIfPresent(head, {{QStringLiteral("R_ObjektNr"), 0}}); };
    h.fieldChecks.emplace_back(QStringLiteral("R_ObjektNr"), checkDeliveryObjektNr);
    bindHeadOf(dm, r, h);
}

void bindOrder(TDataModule1& dm) {
    LineTableRules r = documentLineRules("TabAuftSatz", "TabAuftKopf");
    r.defaults = [](Table& line) {
        std::vector<std::pair<QString, QVariant>> values = NewLineValues();
        values.insert(values.end(), {
                                        {QStringLiteral("S_MengeGeliefert"), 0},
                                        {QStringLiteral("S_Kurztext"), QString()},
                                        {QStringLiteral("S_Text"), QString()},
                                        {QStringLiteral("S_SrcNr"), QString()},
                                        {QStringLiteral("S_Origin"), 0},
                                        {QStringLiteral("S_Calculated"), false},
                                        {QStringLiteral("S_AusfInterv"), 0},
                                    });
        SetFieldsIfPresent(line, values);
    };
    r.focusAfterNew = [] {
        focus(DocumentFormHooksRegistry().FocusAuftEditColumn, "TabAuftSatzS_Menge");
    };
    r.recalcWhen = [](TDataModule1&, Table&) { return true; };
    BindCommonLineRules(dm, r);

    HeadTableRules h;
    h.deleteLinesThroughLineObject = false;
    bindHeadOf(dm, r, h);
}

} // namespace

std::vector<std::pair<QString, QVariant>> NewBillingLineValues() {
    std::vector<std::pair<QString, QVariant>> values = invoiceDefaultValues(true);
    values.emplace_back(QStringLiteral("S_Origin"), 14);
    return values;
}

QString InvoiceQuantityTooHighText(double allowed) {
    return QStringLiteral("Die berechnete Menge ist zu hoch\rEs können nur noch %1 Einheiten "
                          "berechnet werden!")
        .arg(amountText(allowed));
}

QString DeliveryQuantityTooLowText(double invoiced) {
    return QStringLiteral("Die eingegebene Menge ist zu niedrig\rEs wurden bereits %1 Einheiten in "
                          "Rechnung gestellt!")
        .arg(amountText(invoiced));
}

void UpdateFaelligDatum(Table& head) {
    Field& druck = head.field(QStringLiteral("R_DatumDruck"));
    const QDate start = druck.isNull() ? DateOfDateTime(EmptyDate) : druck.asDate();
    const int days = FieldInt(head, "R_ZahlBedNettoTage");
    EnsureEditOrInsert(head);
    head.field(QStringLiteral("R_FaelligDatum")).setValue(start.addDays(days));
}

void BindDocumentHeadRules(TDataModule1& dm, const HeadTableRules& rules) {
    BindDocumentHeadRules(dm, dm.table(rules.head), dm.table(rules.line), rules);
}

void BindDocumentHeadRules(TDataModule1& dm, Table& t, Table& line, const HeadTableRules& rules) {
    const HeadTableRules r = rules;
    TDataModule1* module = &dm;
    Table* self = &t;
    Table* lines = &line;
    t.onNewRecord += [module, r](Table& head) { newHead(*module, head, r); };
    t.beforeDelete +=
        [module, lines, r](Table& head) { beforeHeadDelete(*module, head, *lines, r); };
    // A delete that failed after its lines leaves nothing behind.
    headDeletes().bindToDelete(t);
    t.afterDelete += [lines](Table&) { RefreshIfActive(*lines); };
    for (const auto& [name, check] : r.fieldChecks) {
        auto rule = check;
        t.field(name).onValidate += [module, rule, self](Field& f) {
            if (self->isEditing())
                rule(*module, *self, f);
        };
    }
    for (const auto& [name, change] : r.fieldRules) {
        auto rule = change;
        t.field(name).onChange += [module, rule, self](Field& f) {
            if (self->isEditing())
                rule(*module, *self, f);
        };
    }
    if (r.afterScroll)
        t.afterScroll += r.afterScroll;
}

void InstallDocumentRules(TDataModule1& dm) {
    dm.AddTableSetup([](TDataModule1& module) {
        rechnungTables() = {};
        bindInvoice(module);
        bindCreditNote(module);
        bindDeliveryNote(module);
        bindOrder(module);
        BindOfferRules(module);
        BindIncomingInvoiceRules(module);
        BindFremdLeistRules(module);
        if (Field* posNr = module.TabOPSatz().findField(QStringLiteral("S_PosNr")))
            ShowPosNrAsText(*posNr);
    });
}

void OpenRechnungTables(TDataModule1& dm, bool writeLock) {
    RechnungTablesState& state = rechnungTables();
    if (state.count <= 0) {
        for (Table* t : {&dm.TabRechSatz(), &dm.TabRechKopf()}) {
            if (!t->isOpen())
                t->open();
            if (writeLock)
                t->lockTable();
        }
        state.locked = writeLock;
        state.count = 0;
    }
    ++state.count;
}

void CloseRechnungTables(TDataModule1& dm) {
    RechnungTablesState& state = rechnungTables();
    if (state.count > 1) {
        --state.count;
        return;
    }
    for (Table* t : {&dm.TabRechSatz(), &dm.TabRechKopf()}) {
        if (state.locked && t->isOpen())
            t->unlockTable();
        t->close();
    }
    state = {};
}

bool OpenFremdLeist(TDataModule1& dm) {
    return dm.OpenDataTable(dm.TabFremdLeist());
}

void CloseFremdLeist(TDataModule1& dm) {
    dm.TabFremdLeist().close();
}

void BookAllRechSatz(TDataModule1& dm) {
    Table& lines = dm.TabRechSatz();
    if (lines.isEditing())
        lines.post();
    QList<int> ids;
    for (lines.first(); !lines.eof() && !lines.isEmpty(); lines.next())
        ids.append(FieldInt(lines, "S_ID"));
    // Each line books through its own post: the booking and the remembered
    // state are written together, and an unchanged line books nothing.
    {
        RecalcSuspension suspend(dm);
        for (int id : ids) {
            if (!lines.locate({QStringLiteral("S_ID")}, {id}))
                continue;
            lines.edit();
            lines.post();
        }
    }
    if (!ids.isEmpty())
        RecalcDocumentSums(lines, dm.TabRechKopf());
}
