#include "core/data/counters.h"

#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/dockinds.h"
#include "platform/table/backend.h"
#include "platform/table/database.h"
#include "platform/table/table.h"
#include "platform/table/tableerror.h"
#include "platform/table/values.h"

#include <QThread>
#include <algorithm>
#include <limits>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

table::Table& companyTable() {
    return DataModule1().TabFirmen();
}

constexpr int kDrawAttempts = 4;

// The company record as a stored row: the counters are changed in the file,
// never through the record buffer, which a form may hold in edit.
bool atomicallyReachable(table::Table& company) {
    return company.isOpen() && company.state() != table::TableState::Insert && !company.isEmpty() &&
           !company.field(u"F_ID"_s).isNull();
}

// A field of the company record as the file holds it now.
std::optional<QVariant> storedValue(table::Table& company, const QString& field) {
    table::StatementUse read(company.database()->connection().cached(
        u"SELECT "_s + table::quoted(field) + u" FROM "_s +
        table::quoted(table::physicalName(company.tableName())) + u" WHERE \"F_ID\" = ?"_s));
    read->bind(1, company.field(u"F_ID"_s).value());
    if (!read->step())
        return std::nullopt;
    return read->value(0);
}

// One short write transaction: read the counter, store it changed by one.
// It waits for no record lock, only for the engine's write lock, and is
// tried again while another workstation holds that.
int changeCounter(table::Table& company, const QString& field, int step) {
    table::Database& db = *company.database();
    const QString physical = table::physicalName(company.tableName());
    const QString tableSql = table::quoted(physical);
    const QVariant key = company.field(u"F_ID"_s).value();
    for (int attempt = 1;; ++attempt) {
        try {
            table::Transaction tx(db);
            const std::optional<QVariant> found = storedValue(company, field);
            if (!found)
                throw DbError(u"Der Firmendatensatz wurde nicht gefunden."_s);
            const qint64 stored = found->isNull() ? 0 : found->toLongLong();
            int value = 0;
            if (step > 0) {
                value = int(std::clamp<qint64>(stored, 0, std::numeric_limits<int>::max()));
                if (value == std::numeric_limits<int>::max())
                    throw DbError(
                        u"Der Nummernzähler %1 hat seinen Höchstwert erreicht."_s.arg(field));
            } else if (stored <= 0) {
                return 0; // nothing to give back
            } else {
                value = int(stored);
            }
            db.execSql(u"UPDATE "_s + tableSql + u" SET "_s + table::quoted(field) +
                           u" = ? WHERE \"F_ID\" = ?"_s,
                       {qint64(value) + step, key});
            db.noteTableWritten(physical);
            tx.commit();
            return value;
        } catch (const table::TableError& error) {
            if (error.kind() != table::TableError::Busy || db.transactionDepth() > 0)
                throw;
            if (attempt == kDrawAttempts)
                throw DbError(u"Die Nummer konnte nicht vergeben werden: Die Datenbank ist von "
                              u"einem anderen Arbeitsplatz gesperrt.\rBitte versuchen Sie es "
                              u"noch einmal."_s);
            QThread::msleep(50 * attempt);
        }
    }
}

} // namespace

int TakeNextNr(table::Table& company, int code) {
    const QString field = CounterFieldOf(code);
    if (field.isEmpty() || !atomicallyReachable(company)) {
        // No counter (or no company record yet): the record is posted as it
        // was, and a missing one is created.
        EnsureEditOrInsert(company);
        try {
            if (!field.isEmpty())
                company.field(field).setValue(1);
            company.post();
        } catch (...) {
            company.cancel();
            throw;
        }
        return 0;
    }
    const int value = changeCounter(company, field, +1);
    if (company.state() == table::TableState::Browse)
        company.refresh(); // the shared record shows the new counter
    return value;
}

int TakeNextNr(int code) {
    return TakeNextNr(companyTable(), code);
}

void PutBackNr(table::Table& company, int code) {
    const QString field = CounterFieldOf(code);
    if (field.isEmpty() || !atomicallyReachable(company))
        return;
    changeCounter(company, field, -1);
    if (company.state() == table::TableState::Browse)
        company.refresh();
}

void PutBackNr(int code) {
    PutBackNr(companyTable(), code);
}

int TakeAngebotNr() {
    return TakeNextNr(0);
}
int TakeAuftragNr() {
    return TakeNextNr(1);
}
int TakeRechnungNr() {
    return TakeNextNr(2);
}
int TakeGutschriftNr() {
    return TakeNextNr(3);
}
int TakeLieferscheinNr() {
    return TakeNextNr(4);
}
int TakeEingangsrechnungNr() {
    return TakeNextNr(10);
}
void PutBackAngebotNr() {
    PutBackNr(0);
}
void PutBackAuftragNr() {
    PutBackNr(1);
}
void PutBackRechnungNr() {
    PutBackNr(2);
}
void PutBackGutschriftNr() {
    PutBackNr(3);
}
void PutBackLieferscheinNr() {
    PutBackNr(4);
}
void PutBackEingangsrechnungNr() {
    PutBackNr(10);
}
void PutBackBestellungNr() {
    PutBackNr(6);
}

int GetMinNr(table::Table& company, const char* fieldName) {
    return company.field(QString::fromLatin1(fieldName)).asIntegerOr(1);
}

int GetMinNrKunden() {
    return GetMinNr(companyTable(), "F_MinNrKunden");
}
int GetMinNrArtikel() {
    return GetMinNr(companyTable(), "F_MinNrArtikel");
}
int GetMinNrTaetig() {
    return GetMinNr(companyTable(), "F_MinNrTaetig");
}
int GetMinNrPersonal() {
    return GetMinNr(companyTable(), "F_MinNrPersonal");
}
int GetMinNrObjekt() {
    return GetMinNr(companyTable(), "F_MinNrObjekt");
}
int GetMinNrTour() {
    return GetMinNr(companyTable(), "F_MinNrTour");
}
int GetMinNrKostart() {
    return GetMinNr(companyTable(), "F_MinNrKostart");
}
int GetMinNrLieferant() {
    return GetMinNr(companyTable(), "F_MinNrProjekt");
}
int GetMinNrNotdienst() {
    return GetMinNr(companyTable(), "F_MinNrNotdienst");
}
int GetMinNrAdress() {
    return GetMinNr(companyTable(), "F_MinNrAdress");
}

int ProposeAdressNr() {
    return GetFirstFreeNr(QStringLiteral("LumoDB"), DataModule1().TabAdress().tableName(),
                          QStringLiteral("A_Nr"), GetMinNrAdress());
}
