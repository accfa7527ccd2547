#include "core/data/counters.h"

#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/dockinds.h"
#include "platform/table/database.h"
#include "platform/table/table.h"

#include <limits>

namespace {

int counterValue(table::Table& company, const QString& field) {
    if (field.isEmpty())
        return 0;
    return std::max(0, company.field(field).asIntegerOr(0));
}

table::Table& companyTable() {
    return DataModule1().TabFirmen();
}

} // namespace

int TakeNextNr(table::Table& company, int code) {
    const QString field = CounterFieldOf(code);
    // The write transaction keeps every other connection from reading the
    // counter between our read and our write.
    table::Transaction tx(*company.database());
    company.refresh();
    const int value = counterValue(company, field);
    if (!field.isEmpty() && value == std::numeric_limits<int>::max())
        throw DbError(
            QStringLiteral("Der Nummernzähler %1 hat seinen Höchstwert erreicht.").arg(field));
    EnsureEditOrInsert(company);
    try {
        if (!field.isEmpty())
            company.field(field).setValue(value + 1);
        company.post();
    } catch (...) {
        company.cancel();
        throw;
    }
    tx.commit();
    return value;
}

int TakeNextNr(int code) {
    return TakeNextNr(companyTable(), code);
}

void PutBackNr(table::Table& company, int code) {
    const QString field = CounterFieldOf(code);
    if (field.isEmpty())
        return;
    table::Transaction tx(*company.database());
    company.refresh();
    const int value = company.field(field).asIntegerOr(0);
    if (value <= 0)
        return;
    EnsureEditOrInsert(company);
    try {
        company.field(field).setValue(value - 1);
        company.post();
    } catch (...) {
        company.cancel();
        throw;
    }
    tx.commit();
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
