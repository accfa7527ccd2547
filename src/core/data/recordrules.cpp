#include "core/data/recordrules.h"

#include "core/data/counters.h"
#include "core/data/dailylistrules.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/openitemrules.h"
#include "core/data/pendingtransactions.h"
#include "core/data/tablelinks.h"
#include "core/data/turnover.h"
#include "core/files/deleteguard.h"
#include "core/messages/messagelist.h"
#include "core/messages/messages.h"
#include "core/messages/syslog.h"
#include "core/rights/rights.h"
#include "core/settings/programsettings.h"
#include "platform/errors.h"
#include "platform/table/table.h"

#include <QDateTime>
#include <QHash>
#include <memory>

using table::Table;
using table::TableError;

namespace {

const QString kDb = QStringLiteral("LumoDB");

QHash<QString, QVariant>& remembered() {
    static QHash<QString, QVariant> numbers;
    return numbers;
}

// A cascade's transaction, opened before the record's own write or delete and
// committed after it, so that both land together or not at all.
struct PendingCascade {
    bool messageList = false;
    QStringList refresh;
    // The delete rule put the record in edit to hold its lock; a failed delete ends that edit.
    bool cancelEditOnFailure = false;
    QString notice; // shown once the cascade is committed; empty: none
};
PendingTransactions<PendingCascade>& pendingCascades() {
    static PendingTransactions<PendingCascade> pending;
    return pending;
}

void closePending(Table& t, bool commit) {
    auto entry = pendingCascades().take(t);
    if (!entry)
        return;
    const PendingCascade& p = entry->extra;
    if (p.messageList)
        CloseMessageList();
    if (!commit) {
        entry->tx.reset(); // rolls back
        if (p.cancelEditOnFailure && t.isEditing())
            t.cancel();
        return;
    }
    entry->tx->commit();
    for (const QString& name : p.refresh)
        if (Table* shown = DataModule1().findTable(name))
            RefreshIfActive(*shown);
    if (!p.notice.isEmpty() && !QuietCascades)
        ShowInfo(p.notice);
}

struct InitNewRecordScope {
    explicit InitNewRecordScope(TDataModule1& dm) : m_dm(dm) { m_dm.SetInitNewRecord(true); }
    ~InitNewRecordScope() { m_dm.SetInitNewRecord(false); }
    TDataModule1& m_dm;
};

int numberOf(Table& t, const QString& field) {
    return GetFieldIntOrDefault(t.findField(field), 0);
}

QVariant matchValue(const CascadeStep& step, const QVariant& number, const QVariant& key) {
    return step.byKey ? key : number;
}

int countDependants(const std::vector<CascadeStep>& steps, const QVariant& number,
                    const QVariant& key) {
    int count = 0;
    for (const CascadeStep& step : steps)
        if (step.counts)
            count +=
                CountRecordsWithValue(kDb, step.file, step.field, matchValue(step, number, key));
    return count;
}

QString failureText(CascadeAction action, const QString& file, Table& row, const QString& why) {
    const QString record = row.fieldCount() > 0
                               ? row.field(0).name() + QLatin1Char(' ') + row.field(0).asString()
                               : QString();
    const QString what = action == CascadeAction::Replace
                             ? QStringLiteral("Die Nummer konnte nicht geändert werden")
                             : QStringLiteral("Der Datensatz konnte nicht gelöscht werden");
    return QStringLiteral("%1: der abhängige Eintrag %2 in \"%3\" ist nicht änderbar (%4).\r"
                          "Es wurde nichts geändert. Bitte versuchen Sie es später noch einmal.")
        .arg(what, record, file, why);
}

// Deletes the rows through the shared object so that its rules run. Any row
// left behind (refused, hidden by a filter) fails the whole cascade.
void deleteThroughShared(const CascadeStep& step, const QVariant& value) {
    Table& shared = DataModule1().table(step.refresh);
    OpenForCall open(shared);
    const QString refused =
        !step.keptText.isEmpty()
            ? step.keptText
            : QStringLiteral("Der Datensatz kann nicht gelöscht werden, weil nicht alle "
                             "abhängigen Einträge in \"%1\" gelöscht werden können.\rEs wurde "
                             "nichts gelöscht.")
                  .arg(step.file);
    try {
        shared.refresh();
        while (shared.locate({step.field}, {value})) {
            const table::Bookmark before = shared.bookmark();
            shared.deleteRecord();
            if (shared.locate({step.field}, {value}) && shared.bookmark().rowId == before.rowId)
                throw DbError(refused);
        }
    } catch (const Abort&) {
        throw DbError(refused);
    }
    if (CountRecordsWithValue(kDb, step.file, step.field, value) > 0)
        throw DbError(refused);
}

// One step of a cascade over its own cursor. A row that cannot be written
// raises with the table and the row named; the caller's transaction undoes
// everything done so far.
void runStep(const CascadeStep& step, const QVariant& oldValue, const QVariant& newValue) {
    if (step.action == CascadeAction::DeleteThroughShared) {
        deleteThroughShared(step, oldValue);
        if (!step.line.isEmpty())
            AddMessageLine(step.line);
        return;
    }
    auto cursor = OpenTempTable(kDb, step.file);
    table::Field& f = cursor->field(step.field);
    QList<table::Bookmark> rows;
    for (cursor->first(); !cursor->eof() && !cursor->isEmpty(); cursor->next())
        if (FieldEquals(f, oldValue))
            rows.append(cursor->bookmark());
    for (const table::Bookmark& mark : rows) {
        cursor->gotoBookmark(mark);
        try {
            if (step.action == CascadeAction::Delete) {
                cursor->deleteRecord();
            } else {
                cursor->edit();
                f.setValue(step.action == CascadeAction::Replace ? newValue : QVariant(0));
                cursor->post();
            }
        } catch (const TableError& e) {
            if (e.kind() == TableError::RecordDeleted)
                continue;
            const QString text = failureText(step.action, step.file, *cursor, e.message());
            cursor->cancel();
            throw DbError(text);
        }
    }
    if (!step.line.isEmpty())
        AddMessageLine(step.line);
}

// firstLine: the message list's first line; empty: no message list and no notice.
void runCascade(Table& t, const NumberedTableRules& r, const std::vector<CascadeStep>& steps,
                const QVariant& number, const QVariant& key, const QVariant& newNumber,
                const QString& firstLine, const QString& notice) {
    auto* entry = pendingCascades().find(t);
    if (!entry)
        entry = &pendingCascades().start(t);
    PendingCascade& p = entry->extra;
    if (!firstLine.isEmpty() && r.cascadeMessageList) {
        if (!p.messageList) {
            OpenMessageList(QStringLiteral("Datenbank-Manager"), firstLine, 200, 200);
            p.messageList = true;
        }
        if (r.closingNotice)
            p.notice = notice;
    }
    for (const CascadeStep& step : steps) {
        runStep(step, matchValue(step, number, key), newNumber);
        if (!step.refresh.isEmpty() && !p.refresh.contains(step.refresh))
            p.refresh.append(step.refresh);
    }
}

void focusField(const QString& fieldObject) {
    const auto& focus = RecordRuleHooksRegistry().focusField;
    if (!fieldObject.isEmpty() && focus)
        focus(fieldObject);
}

void raiseNumberTaken(const NumberedTableRules& r) {
    focusField(r.focusOnNumberError);
    throw DbError(NumberTakenText());
}

void checkNumber(Table& t, const NumberedTableRules& r) {
    const int nr = numberOf(t, r.numberField);
    if (nr == 0 || nr < r.lowestNumber)
        raiseNumberTaken(r);
    if (NrUsedByOtherRecord(t, r.numberField, r.keyField, nr, numberOf(t, r.keyField)))
        raiseNumberTaken(r);
}

// The number change rule of tables that post a renumbered record at once.
void numberChangeRule(TDataModule1& dm, Table& t, table::Field& f, const NumberedTableRules& r) {
    static bool running = false; // setting the number back fires the rule again
    if (running || dm.IsInitNewRecord() || dm.IsImportRunning() || !t.isEditing())
        return;
    running = true;
    struct Reset {
        ~Reset() { running = false; }
    } reset;
    const int nr = f.asIntegerOr(0);
    const QVariant old = remembered().value(r.tableObject);
    if (nr == 0 || NrUsedByOtherRecord(kDb, t.tableName(), r.numberField, r.keyField, nr,
                                       numberOf(t, r.keyField))) {
        ShowError(r.invalidNumberText);
        f.setValue(old.isValid() ? old : QVariant(0));
        return;
    }
    if (t.state() == table::TableState::Edit && old.isValid() && nr != old.toInt())
        t.post();
}

void onNewRecord(TDataModule1& dm, Table& t, const NumberedTableRules& r) {
    if (r.createRight > 0 && !CheckRecordCreateRight(r.createRight))
        throw Abort{};
    InitNewRecordScope scope(dm);
    t.field(r.keyField).setValue(GetNextId(t, r.keyField));
    // An import brings the number of every record it appends.
    if (!r.numberField.isEmpty() && r.propose && !dm.IsImportRunning())
        t.field(r.numberField).setValue(r.propose());
    if (r.defaults)
        r.defaults(t);
    focusField(r.focusOnNew);
}

void stamp(Table& t, const NumberedTableRules& r) {
    if (r.stampAccessField.isEmpty())
        return;
    EnsureEditOrInsert(t);
    t.field(r.stampAccessField).setValue(QDateTime::currentDateTime());
    if (!r.stampUserField.isEmpty())
        t.field(r.stampUserField).setValue(CurrentUserText);
}

void beforePost(TDataModule1& dm, Table& t, const NumberedTableRules& r) {
    closePending(t, false); // a cascade left over from a failed operation
    if (!r.numberField.isEmpty()) {
        if (r.checkNumberBeforePost)
            checkNumber(t, r);
        if (r.refuseZeroNumberBeforePost && numberOf(t, r.numberField) == 0) {
            ShowError(NumberTakenText());
            throw Abort{};
        }
    }
    if (r.postCheck)
        r.postCheck(t);
    if (!r.numberField.isEmpty()) {
        const QVariant old = remembered().value(r.tableObject);
        const int nr = numberOf(t, r.numberField);
        // A new record has no dependants: the remembered number is another record's.
        if (t.state() == table::TableState::Edit && !r.renumber.empty() && old.isValid() &&
            nr != old.toInt()) {
            const bool importing = dm.IsImportRunning();
            // While another record still holds the old number its dependants stay with it.
            const bool oldStillUsed = NrUsedByOtherRecord(kDb, t.tableName(), r.numberField,
                                                          r.keyField, old, numberOf(t, r.keyField));
            if (!oldStillUsed && countDependants(r.renumber, old, {}) > 0) {
                int target = nr;
                if (r.askBeforeRenumber && !(importing && r.skipQuestionWhileImport) &&
                    !AskYesNo(RenumberQuestionText())) {
                    t.field(r.numberField).setValue(old);
                    target = old.toInt();
                }
                if (target != old.toInt() && !(importing && r.skipCascadeWhileImport)) {
                    if (!r.renumberLogPrefix.isEmpty())
                        WriteLog(r.renumberLogPrefix + QString::number(old.toInt()) +
                                 QStringLiteral("->") + QString::number(target));
                    try {
                        runCascade(t, r, r.renumber, old, {}, target,
                                   QStringLiteral("Ändere abhängige Einträge"),
                                   LinksCorrectedText());
                    } catch (...) {
                        closePending(t, false);
                        throw;
                    }
                }
            }
        }
    }
    try {
        stamp(t, r);
    } catch (...) {
        closePending(t, false);
        throw;
    }
}

void afterPost(Table& t, const NumberedTableRules& r) {
    closePending(t, true);
    if (!r.numberField.isEmpty())
        remembered().insert(r.tableObject, numberOf(t, r.numberField));
}

table::PostErrorAction onPostError(Table& t, const TableError& e, const NumberedTableRules& r) {
    // Another workstation took the new key meanwhile: draw a fresh one and post again.
    if (e.kind() == TableError::KeyViolation && t.state() == table::TableState::Insert &&
        IntValueExists(kDb, t.tableName(), r.keyField, numberOf(t, r.keyField))) {
        t.field(r.keyField).setValue(GetNextId(t, r.keyField));
        return table::PostErrorAction::Retry;
    }
    closePending(t, false);
    if (r.numberTakenText.isEmpty())
        return table::PostErrorAction::Fail;
    if (r.postErrorShowAndAbort) {
        ShowError(r.numberTakenText);
        return table::PostErrorAction::Abort;
    }
    if (r.numberField.isEmpty() && !r.resetNumber)
        return table::PostErrorAction::Fail;
    EnsureEditOrInsert(t);
    if (r.resetNumber)
        r.resetNumber(t);
    else
        t.field(r.numberField).setValue(remembered().value(r.tableObject, 0));
    throw DbError(r.numberTakenText);
}

void beforeDelete(Table& t, const NumberedTableRules& r) {
    closePending(t, false);
    if (r.deleteCheck)
        r.deleteCheck(t);
    if (r.confirmDeleteFunction > 0)
        ConfirmDelete(r.confirmDeleteFunction);
    const QVariant number =
        r.numberField.isEmpty() ? QVariant() : QVariant(numberOf(t, r.numberField));
    const QVariant key = numberOf(t, r.keyField);
    const int count = r.onDelete.empty() ? 0 : countDependants(r.onDelete, number, key);
    if (count > 0 && !AskYesNo(DeleteQuestionText()))
        throw Abort{};
    if (count == 0 && r.alwaysOnDelete.empty())
        return;
    // The record's own lock first, so that its delete cannot fail after the cascade.
    const bool startedEdit = !t.isEditing();
    if (startedEdit)
        t.edit();
    try {
        if (count > 0)
            runCascade(t, r, r.onDelete, number, key, {}, QStringLiteral("Lösche Einträge"),
                       LinksDeletedText());
        runCascade(t, r, r.alwaysOnDelete, number, key, {}, {}, {});
        if (auto* entry = pendingCascades().find(t))
            entry->extra.cancelEditOnFailure = startedEdit;
    } catch (...) {
        closePending(t, false);
        if (startedEdit)
            t.cancel();
        throw;
    }
}

} // namespace

bool QuietCascades = true;

RecordRuleHooks& RecordRuleHooksRegistry() {
    static RecordRuleHooks hooks;
    return hooks;
}

bool CheckRecordCreateRight(int functionNr) {
    const auto& hook = RecordRuleHooksRegistry().checkCreateRight;
    return hook ? hook(functionNr) : CheckCreateRight(functionNr);
}

QString NumberTakenText() {
    return QStringLiteral("Die eingegebene Nummmer ist bereits vergeben!") +
           QStringLiteral("\rDoppel-Clicken Sie, um sich einen Nummern-Vorschlag anzeigen zu "
                          "lassen.");
}

QString NumberTakenShortText() {
    return QStringLiteral(
        "Die eingegebene Nummer ist bereits vergeben.\rGeben Sie bitte eine andere Nummer ein.");
}

QString RenumberQuestionText() {
    return QStringLiteral(
        "Der Datensatz wird von anderen Datenbanken verwendet!\rDomvera kann intern diese "
        "Abhängigkeiten korrigieren.\rDer Datenaustausch mit externen Programmen, wie z. B. "
        "Fibu-\rProgrammen, Lohnbuchhaltungen, Chipdrive-Zeiterfassung usw.\rkann jedoch NICHT "
        "angepasst werden. Sie müssen die Änderung\rder Datensatznummer dort manuell "
        "nachtragen, um Fehler beim\rDatenaustausch zu vermeiden!\r\rSoll der Eintrag trotzdem "
        "geändert werden?");
}

QString DeleteQuestionText() {
    return QStringLiteral("Der Datensatz wird von anderen Datenbanken verwendet\rSoll der Eintrag "
                          "trotzdem gelöscht werden?");
}

QString InvalidNumberText() {
    return QStringLiteral("Die eingegebene Nummer ist unzulässig!") +
           QStringLiteral("\rDoppel-Clicken Sie, um sich einen Nummern-Vorschlag anzeigen zu "
                          "lassen.");
}

QString LinksCorrectedText() {
    return QStringLiteral("Verknüpfte Datenbankeinträge wurden korrigiert");
}

QString LinksDeletedText() {
    return QStringLiteral("Verknüpfte Datenbankeinträge wurden gelöscht");
}

QVariant RememberedNr(const QString& tableObject) {
    return remembered().value(tableObject);
}

void RememberNr(const QString& tableObject) {
    for (const auto* family : {&MasterTableRules(), &SmallTableRules()})
        for (const NumberedTableRules& r : *family)
            if (r.tableObject == tableObject && !r.numberField.isEmpty()) {
                Table& t = DataModule1().table(tableObject);
                remembered().insert(tableObject, numberOf(t, r.numberField));
                return;
            }
    throw DbError(QStringLiteral("Für %1 wird keine Nummer gemerkt.").arg(tableObject));
}

void RememberKundenNr() {
    RememberNr(QStringLiteral("TabKunden"));
}
void RememberLieferantNr() {
    RememberNr(QStringLiteral("TabLieferant"));
}
void RememberPersonalNr() {
    RememberNr(QStringLiteral("TabPersonal"));
}
void RememberNotdienstNr() {
    RememberNr(QStringLiteral("TabNotdienst"));
}
QString OldArtikelArtNo() {
    return remembered().value(QStringLiteral("OldArtikelArtNo")).toString();
}
void RememberArtikelArtNo() {
    Table& t = DataModule1().TabArtikel();
    remembered().insert(QStringLiteral("OldArtikelArtNo"),
                        GetFieldStrOrDefault(t.findField(QStringLiteral("A_ArtNo")), QString()));
}
void RememberTaetigNr() {
    RememberNr(QStringLiteral("TabTaetig"));
}
void RememberObjektNr() {
    RememberNr(QStringLiteral("TabObjekt"));
}
void RememberTourNr() {
    RememberNr(QStringLiteral("TabTour"));
}
void RememberKostartNr() {
    RememberNr(QStringLiteral("TabKostart"));
}

void BindNumberedTableRules(TDataModule1& dm, const NumberedTableRules& rules) {
    Table& t = dm.table(rules.tableObject);
    const NumberedTableRules r = rules;
    TDataModule1* module = &dm;
    t.onNewRecord += [module, r](Table& self) { onNewRecord(*module, self, r); };
    if (!r.numberField.isEmpty()) {
        auto remember = [r](Table& self) {
            if (self.state() == table::TableState::Browse)
                remembered().insert(r.tableObject, numberOf(self, r.numberField));
        };
        t.afterScroll += remember;
        t.beforeEdit += remember;
        t.afterOpen += remember;
        if (!r.invalidNumberText.isEmpty())
            t.field(r.numberField).onChange +=
                [module, r, &t](table::Field& f) { numberChangeRule(*module, t, f, r); };
        if (r.checkNumberOnChange)
            t.field(r.numberField).onChange += [module, r, &t](table::Field&) {
                if (module->IsInitNewRecord() || !t.isEditing())
                    return;
                // An import posts every record at once: the check before the
                // post finds a taken number just as well, and only once.
                if (module->IsImportRunning() && r.checkNumberBeforePost)
                    return;
                if (!r.zeroOnChangeText.isEmpty() && numberOf(t, r.numberField) == 0)
                    throw DbError(r.zeroOnChangeText);
                checkNumber(t, r);
            };
    }
    if (r.afterScroll)
        t.afterScroll += r.afterScroll;
    if (r.afterOpen)
        t.afterOpen += r.afterOpen;
    if (r.formShowsRecord) {
        auto show = [name = r.tableObject](Table&) {
            if (const auto& shown = RecordRuleHooksRegistry().recordShown)
                shown(name);
        };
        t.afterScroll += show;
        if (r.formShowsRecordAlsoOnEditAndPost) {
            t.beforeEdit += show;
            t.afterPost += show;
        }
    }
    t.beforePost += [module, r](Table& self) { beforePost(*module, self, r); };
    t.afterPost += [r](Table& self) { afterPost(self, r); };
    t.onPostError = [r](Table& self, const TableError& e) { return onPostError(self, e, r); };
    for (const auto& [fieldName, rule] : r.fieldRules) {
        auto handler = rule;
        t.field(fieldName).onChange += [module, handler, &t](table::Field&) {
            if (!module->IsInitNewRecord() && t.isEditing())
                handler(t);
        };
    }
    if (!r.onDelete.empty() || !r.alwaysOnDelete.empty() || r.confirmDeleteFunction > 0 ||
        r.deleteCheck)
        t.beforeDelete += [r](Table& self) { beforeDelete(self, r); };
    t.afterDelete += [](Table& self) { closePending(self, true); };
    t.beforeCancel += [](Table& self) {
        // The edit ends already; only the cascade is undone.
        if (auto* entry = pendingCascades().find(self))
            entry->extra.cancelEditOnFailure = false;
        closePending(self, false);
    };
    // A refusal by a rule bound later, or a failed write, undoes the cascade at once.
    t.postFailed += [](Table& self) { closePending(self, false); };
    t.deleteFailed += [](Table& self) { closePending(self, false); };
}

void InstallRecordRules(TDataModule1& dm) {
    remembered().clear();
    InstallTableLinks(dm);
    dm.AddTableSetup([](TDataModule1& module) {
        for (const auto* family : {&MasterTableRules(), &SmallTableRules()})
            for (const NumberedTableRules& r : *family)
                BindNumberedTableRules(module, r);
    });
    InstallOpenItemRules(dm);
    InstallDailyListRules(dm);
    InstallTurnoverMonthNames(dm);
}
