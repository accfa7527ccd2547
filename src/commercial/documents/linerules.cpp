#include "commercial/documents/linerules.h"

#include "commercial/documents/documentsums.h"
#include "commercial/documents/documenttables.h"
#include "commercial/documents/positionnumbers.h"
#include "commercial/documents/vatrates.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/pendingtransactions.h"
#include "core/messages/messages.h"
#include "platform/errors.h"
#include "platform/table/table.h"

#include <QDate>
#include <QScopeGuard>
#include <algorithm>
#include <memory>
#include <optional>

using table::Table;
using table::TableError;

namespace {

const QString kDb = QStringLiteral("LumoDB");
const QString kId = QStringLiteral("S_ID");
const QString kRef = QStringLiteral("S_Ref");
const QString kPosNr = QStringLiteral("S_PosNr");
const QString kPosArt = QStringLiteral("S_PosArt");

bool isFile(const Table& t, const char* file) {
    return t.tableName().compare(QLatin1String(file), Qt::CaseInsensitive) == 0;
}

TDateTime today() {
    return DateTimeOfDate(QDate::currentDate());
}

std::vector<TVatRateRow> readVatRates() {
    auto rates = OpenTempTable(kDb, QStringLiteral("Mwstsatz.db"));
    return ReadVatRateRows(*rates);
}

TDateTime dateOf(Table& t, const QString& name) {
    table::Field* f = t.findField(name);
    return f && !f->isNull() ? DateTimeOfDate(f->asDate()) : EmptyDate;
}

bool initNewRecord() {
    return HasDataModule1() && DataModule1().IsInitNewRecord();
}

bool recalcSuspended() {
    return HasDataModule1() && DataModule1().IsRecalcSuspended();
}

// Clears a re-entry flag on every path.
struct Guard {
    explicit Guard(bool& flag) : m_flag(flag) { m_flag = true; }
    ~Guard() { m_flag = false; }
    bool& m_flag;
};

// A head that is open and is the line's own head; nullptr otherwise.
Table* headOfLine(Table& line, Table& head) {
    if (!head.isOpen() || head.isEmpty())
        return nullptr;
    if (line.isOpen() && !line.isEmpty() && line.findField(kRef) &&
        GetFieldIntOrDefault(line.findField(kRef), 0) !=
            GetFieldIntOrDefault(head.findField(QStringLiteral("R_ID")), 0))
        return nullptr;
    return &head;
}

void recalcDocument(Table& line, Table& head, bool withRates) {
    static bool running = false;
    if (running || recalcSuspended() || initNewRecord())
        return;
    Guard guard(running);
    if (line.isOpen() && line.isEditing())
        line.post();
    Table* own = headOfLine(line, head);
    if (!own)
        return;
    // The other lines are written through a cursor of their own, so that
    // their bookings and rules do not run again.
    auto lines = OpenTempTableWhere(
        kDb, line.tableName(),
        QStringLiteral("S_Ref=%1").arg(own->field(QStringLiteral("R_ID")).asInteger()));
    RecalcDocumentTables(*lines, *own, readVatRates(), today(), withRates);
    RefreshIfActive(line);
}

// The booking transaction of one line object's write, and what the line's
// remembered booking state was before the bookings touched it.
using SavedFields = std::vector<std::pair<QString, QVariant>>;
PendingTransactions<SavedFields>& pendingWrites() {
    static PendingTransactions<SavedFields> pending;
    return pending;
}

void openPending(Table& t) {
    SavedFields& saved = pendingWrites().start(t).extra;
    if (!t.isEditing())
        return;
    // The bookings write what they booked into the line (remembered state,
    // ids of the entries they made): all of it goes back when the write fails.
    for (int i = 0; i < t.fieldCount(); ++i) {
        table::Field& f = t.field(i);
        if (!f.isCalculated())
            saved.emplace_back(f.name(), f.value());
    }
}

// Commits or undoes the pending write; undoing also sets the fields of a
// line still being edited back to their values before the bookings.
void closePending(Table& t, bool commit) {
    const std::optional<SavedFields> saved = pendingWrites().finish(t, commit);
    if (!saved || commit)
        return;
    if (!t.isEditing() || !HasDataModule1())
        return;
    // Put back as stored values, not as typed ones: no field rule answers.
    TDataModule1& dm = DataModule1();
    const bool filling = dm.IsInitNewRecord();
    dm.SetInitNewRecord(true);
    struct Reset {
        TDataModule1& dm;
        bool filling;
        ~Reset() { dm.SetInitNewRecord(filling); }
    } reset{dm, filling};
    for (const auto& [name, value] : *saved)
        if (table::Field* f = t.findField(name); f && f->value() != value)
            f->setValue(value);
}

// The bounds need the current line's number, the number before it in
// (number, key) order and the document's highest number. They are sought on
// the document's number index instead of reading every line, because a copy
// appends one line after the other and each append asks again.
void setPosNrBoundsFor(Table& line) {
    TPosNrBounds bounds;
    if (line.isOpen() && !line.isEmpty()) {
        const int ref = GetFieldIntOrDefault(line.findField(kRef), 0);
        const int current = GetFieldIntOrDefault(line.findField(kId), 0);
        auto lines = OpenTempTable(kDb, line.tableName(), QStringLiteral("S_IRef"));
        lines->setRange({ref}, {ref});
        if (lines->locate({kId}, {current})) {
            auto posNr = [&] { return GetFieldIntOrDefault(lines->findField(kPosNr), 0); };
            auto id = [&] { return GetFieldIntOrDefault(lines->findField(kId), 0); };
            const int upper = posNr();
            const table::Bookmark at = lines->bookmark();
            // Lines sharing the number sort by key; the view orders them by
            // row, so both directions are looked at.
            bool tiedBefore = false;
            for (lines->next(); !lines->eof() && posNr() == upper; lines->next())
                tiedBefore = tiedBefore || id() < current;
            lines->gotoBookmark(at);
            std::optional<int> before;
            for (lines->prior(); !lines->bof(); lines->prior()) {
                if (posNr() != upper) {
                    before = posNr();
                    break;
                }
                tiedBefore = tiedBefore || id() < current;
            }
            lines->last();
            const int highest = posNr();
            std::vector<int> posNrs;
            if (tiedBefore)
                posNrs = {upper, upper, highest};
            else if (before)
                posNrs = {*before, upper, highest};
            else
                posNrs = {upper, highest};
            const int index = tiedBefore || before ? 1 : 0;
            bounds = PosNrBoundsFor(posNrs, index, LastLineKey() == InsertLineKey);
        }
    }
    SetPosNrBounds(bounds);
}

void newLine(TDataModule1& dm, Table& t, const LineTableRules& r) {
    dm.SetInitNewRecord(true);
    try {
        t.field(kId).setValue(GetNextId(t, kId));
        if (r.positionNumbers && !RunNumbersLines::active()) {
            const int posNr = NextFreePosNr();
            if (posNr < 0) {
                ShowError(NoFreePosNrText());
                throw Abort{};
            }
            t.field(kPosNr).setValue(posNr);
        }
        if (r.defaults)
            r.defaults(t);
    } catch (...) {
        dm.SetInitNewRecord(false);
        throw;
    }
    dm.SetInitNewRecord(false);
    if (r.focusAfterNew)
        r.focusAfterNew();
}

void normalizePosNr(table::Field& f) {
    static bool running = false;
    if (running || f.isNull())
        return;
    Guard guard(running);
    const int normalized = NormalizePosNr(f.asInteger());
    if (normalized != f.asInteger())
        f.setValue(normalized);
}

void beforeLinePost(TDataModule1& dm, Table& t, const LineTableRules& r) {
    closePending(t, false); // left over from a write that failed
    if (r.beforePost)
        r.beforePost(dm, t);
    if (!r.booking)
        return;
    openPending(t);
    try {
        r.booking(dm, false);
    } catch (...) {
        closePending(t, false);
        throw;
    }
}

table::PostErrorAction linePostError(Table& t, const TableError& e) {
    // Another workstation took the key meanwhile: draw a fresh one and post
    // again; the bookings already made stay in the open transaction.
    if (e.kind() == TableError::KeyViolation && t.state() == table::TableState::Insert &&
        IntValueExists(kDb, t.tableName(), kId, GetFieldIntOrDefault(t.findField(kId), 0))) {
        t.field(kId).setValue(GetNextId(t, kId));
        return table::PostErrorAction::Retry;
    }
    closePending(t, false);
    return table::PostErrorAction::Fail;
}

void beforeLineDelete(TDataModule1& dm, Table& t, const LineTableRules& r) {
    closePending(t, false);
    if (!r.beforeDelete && !r.booking)
        return;
    // The record's own lock first, so that its delete cannot fail after the bookings.
    WithOwnLock(t, [&] {
        openPending(t);
        try {
            if (r.beforeDelete)
                r.beforeDelete(dm, t);
            if (r.booking)
                r.booking(dm, true);
        } catch (...) {
            closePending(t, false);
            throw;
        }
    });
}

void afterLineWrite(Table& t, Table* head, const LineTableRules& r) {
    closePending(t, true);
    if (r.recalcSumsAfterWrite && head) {
        if (!DeferredDocumentSums::leave(t, *head))
            RecalcDocumentSums(t, *head);
    }
    if (r.afterWrite)
        r.afterWrite();
}

} // namespace

namespace {
bool g_runNumbersLines = false;
} // namespace

RunNumbersLines::RunNumbersLines() : m_was(g_runNumbersLines) {
    g_runNumbersLines = true;
}

RunNumbersLines::~RunNumbersLines() {
    g_runNumbersLines = m_was;
}

bool RunNumbersLines::active() {
    return g_runNumbersLines;
}

namespace {
DeferredDocumentSums* g_deferredSums = nullptr;
} // namespace

bool DeferredDocumentSums::leave(Table& line, Table& head) {
    if (!g_deferredSums)
        return false;
    auto& left = g_deferredSums->m_left;
    const std::pair<Table*, Table*> pair{&line, &head};
    if (std::find(left.begin(), left.end(), pair) == left.end())
        left.push_back(pair);
    return true;
}

DeferredDocumentSums::DeferredDocumentSums() : m_outer(g_deferredSums) {
    g_deferredSums = this;
}

DeferredDocumentSums::~DeferredDocumentSums() {
    g_deferredSums = m_outer;
    // Left over after an error: the outer run sums it, or the error ends the
    // change and with it the sums written so far.
    if (m_outer)
        for (const auto& [line, head] : m_left)
            leave(*line, *head);
}

void DeferredDocumentSums::finish() {
    std::vector<std::pair<Table*, Table*>> left;
    left.swap(m_left);
    DeferredDocumentSums* const self = g_deferredSums;
    g_deferredSums = m_outer;
    const auto back = qScopeGuard([self] { g_deferredSums = self; });
    for (const auto& [line, head] : left)
        RecalcDocumentSums(*line, *head);
}

void SetFieldsIfPresent(Table& t, const std::vector<std::pair<QString, QVariant>>& values) {
    for (const auto& [name, value] : values)
        SetFieldIfPresent(t, name, value);
}

std::vector<std::pair<QString, QVariant>> NewLineValues() {
    return {
        {QStringLiteral("S_PosTyp"), 4},
        {QStringLiteral("S_PosArt"), 0},
        {QStringLiteral("S_Menge"), 1},
        {QStringLiteral("S_MengBez"), QString()},
        {QStringLiteral("S_EPreis"), 0},
        {QStringLiteral("S_Netto"), 0},
        {QStringLiteral("S_MwstBetrag"), 0},
        {QStringLiteral("S_Brutto"), 0},
        {QStringLiteral("S_MwstKz"), DefaultMwstKz},
        {QStringLiteral("S_Mwst"), CurrentDefaultVatRate()},
        {QStringLiteral("S_MatID"), 0},
    };
}

double CurrentDefaultVatRate() {
    return DefaultVatRate(readVatRates(), today());
}

DocumentFormHooks& DocumentFormHooksRegistry() {
    static DocumentFormHooks hooks;
    return hooks;
}

void CalcDocumentLine(Table& line, Table& head) {
    static bool running = false;
    if (running || initNewRecord())
        return;
    Guard guard(running);
    const bool incoming = isFile(line, "ERsatz.db");
    const bool offer = isFile(line, "AngSatz.DB");
    const int posArt = GetFieldIntOrDefault(line.findField(kPosArt), PosArtNormal);
    if (!incoming && !IsCalculatedPosArt(posArt))
        return;
    TDocumentLine l;
    l.PosArt = posArt;
    l.Menge = FieldFloat(line, QStringLiteral("S_Menge"));
    l.EPreis = FieldFloat(line, QStringLiteral("S_EPreis"));
    const int code =
        GetFieldIntOrDefault(line.findField(QStringLiteral("S_MwstKz")), DefaultMwstKz);
    const bool hasHead = head.isOpen() && !head.isEmpty();
    const TDateTime date =
        hasHead ? DocumentVatDate(dateOf(head, QStringLiteral("R_DatumDruck")),
                                  dateOf(head, QStringLiteral("R_DatumErstell")), today())
                : today();
    const double rate = GetVatRateAt(readVatRates(), code, date);
    TOfferCalc calc;
    if (offer) {
        l.BasisPreis = FieldFloat(line, QStringLiteral("S_BasisPreis"));
        l.BasisMinuten = FieldFloat(line, QStringLiteral("S_BasisMinuten"));
        l.Einsaetze = FieldFloat(line, QStringLiteral("S_Einsaetze"));
        if (hasHead) {
            calc.Aufschlag = FieldFloat(head, QStringLiteral("R_CalcAufschlag"));
            calc.Raten = FieldFloat(head, QStringLiteral("R_CalcRaten"));
        }
    }
    CalcDocumentLine(l, rate, offer ? &calc : nullptr);
    EnsureEditOrInsert(line);
    WriteLineAmounts(line, l, offer);
}

void RecalcDocumentSums(Table& line, Table& head) {
    recalcDocument(line, head, false);
}

void RecalcDocumentWithVatRates(Table& line, Table& head) {
    recalcDocument(line, head, true);
}

void ApplyPosArtDefaults(Table& line, int newKind) {
    if (newKind != PosArtTextLine && newKind != PosArtZwisumme && newKind != PosArtNeueSeite)
        return;
    const bool suspended = HasDataModule1() && DataModule1().IsRecalcSuspended();
    if (HasDataModule1())
        DataModule1().SetRecalcSuspended(true);
    struct Resume {
        bool was;
        ~Resume() {
            if (HasDataModule1())
                DataModule1().SetRecalcSuspended(was);
        }
    } resume{suspended};
    TDocumentLine l;
    l.Kurztext = GetFieldStrOrDefault(line.findField(QStringLiteral("S_Kurztext")), QString());
    ApplyPosArtDefaults(l, newKind);
    EnsureEditOrInsert(line);
    SetFieldIfPresent(line, QStringLiteral("S_Menge"), l.Menge);
    SetFieldIfPresent(line, QStringLiteral("S_EPreis"), l.EPreis);
    SetFieldIfPresent(line, QStringLiteral("S_Mwst"), l.Mwst);
    if (newKind == PosArtZwisumme && line.findField(QStringLiteral("S_Kurztext")))
        SetFieldIfPresent(line, QStringLiteral("S_Kurztext"), l.Kurztext);
    SetFieldIfPresent(line, QStringLiteral("S_MwstKz"), 0);
}

void ShowPosNrAsText(table::Field& posNr) {
    posNr.onGetText = [](const table::Field& f) {
        return f.isNull() ? QString() : PosNrToText(f.asInteger());
    };
}

void BindCommonLineRules(TDataModule1& dm, const LineTableRules& rules) {
    BindCommonLineRules(dm, dm.table(rules.line),
                        rules.head.isEmpty() ? nullptr : &dm.table(rules.head), rules);
}

void BindCommonLineRules(TDataModule1& dm, Table& t, Table* headTable,
                         const LineTableRules& rules) {
    const LineTableRules r = rules;
    TDataModule1* module = &dm;
    Table* self = &t;
    auto head = [headTable]() { return headTable; };

    if (r.positionNumbers)
        t.beforeInsert += [](Table& line) {
            if (!RunNumbersLines::active())
                setPosNrBoundsFor(line);
        };
    t.onNewRecord += [module, r](Table& line) { newLine(*module, line, r); };
    if (r.positionNumbers && t.findField(kPosNr)) {
        table::Field& posNr = t.field(kPosNr);
        posNr.onChange += [](table::Field& f) { normalizePosNr(f); };
        if (r.posNrDisplay)
            ShowPosNrAsText(posNr);
    }
    for (const QString& name : r.recalcFields)
        t.field(name).onChange += [module, r, self, head](table::Field&) {
            Table* h = head();
            if (!h || !self->isEditing())
                return;
            if (r.recalcWhen ? !r.recalcWhen(*module, *self) : module->IsInitNewRecord())
                return;
            CalcDocumentLine(*self, *h);
            if (r.afterRecalc)
                r.afterRecalc(*module, *self, *h);
        };
    if (r.posArtRule && t.findField(kPosArt))
        t.field(kPosArt).onChange += [module, r, self, head](table::Field& f) {
            if (module->IsInitNewRecord() || !self->isEditing())
                return;
            ApplyPosArtDefaults(*self, f.asIntegerOr(PosArtNormal));
            if (r.afterPosArtDefaults)
                r.afterPosArtDefaults(*module, *self);
            if (Table* h = head())
                RecalcDocumentSums(*self, *h);
        };
    for (const auto& [name, check] : r.fieldChecks) {
        auto rule = check;
        t.field(name).onValidate += [module, rule, self](table::Field& f) {
            if (self->isEditing())
                rule(*module, *self, f);
        };
    }
    for (const auto& [name, change] : r.fieldRules) {
        auto rule = change;
        t.field(name).onChange += [module, rule, self](table::Field& f) {
            if (self->isEditing())
                rule(*module, *self, f);
        };
    }

    t.beforePost += [module, r](Table& line) { beforeLinePost(*module, line, r); };
    t.onPostError = [](Table& line, const TableError& e) { return linePostError(line, e); };
    t.afterPost += [headTable, r](Table& line) { afterLineWrite(line, headTable, r); };
    t.beforeDelete += [module, r](Table& line) { beforeLineDelete(*module, line, r); };
    t.afterDelete += [headTable, r](Table& line) { afterLineWrite(line, headTable, r); };
    // A write that failed after its bookings leaves nothing behind.
    t.postFailed += [](Table& line) { closePending(line, false); };
    t.deleteFailed += [](Table& line) { closePending(line, false); };
    t.beforeCancel += [](Table& line) { closePending(line, false); };
    t.beforeEdit += [](Table& line) { closePending(line, false); };
    t.beforeInsert += [](Table& line) { closePending(line, false); };
    t.beforeClose += [](Table& line) { closePending(line, false); };
}
