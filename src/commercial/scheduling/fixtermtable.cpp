#include "commercial/scheduling/fixtermtable.h"

#include "commercial/scheduling/fixtermmonths.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "platform/errors.h"
#include "platform/table/table.h"

#include <QDate>

using table::Table;

namespace {

const QString kDb = QStringLiteral("LumoDB");
const QString kFixTerms = QStringLiteral("TglFterm.DB");

const QStringList& keyFields() {
    static const QStringList fields{QStringLiteral("TF_TourNr"), QStringLiteral("TF_ObjNr"),
                                    QStringLiteral("TF_TaetigNr")};
    return fields;
}

Table& companyRecord(TDataModule1& dm) {
    Table& company = dm.TabFirmen();
    if (!company.isOpen())
        company.open();
    if (company.isEmpty())
        throw DbError(QStringLiteral("Es ist kein Firmendatensatz vorhanden."));
    return company;
}

} // namespace

TDateTime IsFixedTermDay(int tourNr, int objektNr, int taetigNr, TDateTime day) {
    const QDate date = DateOfDateTime(day);
    if (!date.isValid())
        return EmptyDate;
    Table& fixTerms = DataModule1().TabTglFixTerm();
    OpenForCall opened(fixTerms);
    bool marked = false;
    if (fixTerms.locate(keyFields(), {tourNr, objektNr, taetigNr}))
        marked = IsMarkedDay(FieldText(fixTerms, FixTermFieldName(date.month())), date.day());
    opened.close();
    return marked ? day : EmptyDate;
}

bool ReadFixTermMonths(int tourNr, int objektNr, int taetigNr, FixTermMonths& months) {
    months = {};
    auto rows = OpenTempTable(kDb, kFixTerms);
    if (!rows->locate(keyFields(), {tourNr, objektNr, taetigNr}))
        return false;
    for (int m = 1; m <= 12; ++m)
        months[m - 1] = FieldText(*rows, FixTermFieldName(m));
    return true;
}

void WriteFixTermMonths(int tourNr, int objektNr, int taetigNr, const FixTermMonths& months) {
    auto rows = OpenTempTable(kDb, kFixTerms);
    CancelEditOnError(*rows, [&] {
        if (rows->locate(keyFields(), {tourNr, objektNr, taetigNr})) {
            rows->edit();
        } else {
            const int id = GetNextId(kDb, kFixTerms, QStringLiteral("TF_ID"));
            rows->append();
            rows->field(QStringLiteral("TF_ID")).setValue(id);
        }
        rows->field(QStringLiteral("TF_TourNr")).setValue(tourNr);
        rows->field(QStringLiteral("TF_ObjNr")).setValue(objektNr);
        rows->field(QStringLiteral("TF_TaetigNr")).setValue(taetigNr);
        for (int m = 1; m <= 12; ++m)
            rows->field(FixTermFieldName(m)).setValue(months[m - 1]);
        rows->post();
    });
}

int GetFixTermUpdateMonth(TDataModule1& dm, const QDate& today) {
    const int stored = FieldInt(companyRecord(dm), QStringLiteral("F_FixtermUpdateMonth"));
    return stored >= 1 ? stored : FixTermMonthIndex(today.year(), 1) - 1;
}

void SetFixTermUpdateMonth(TDataModule1& dm, int monthIndex) {
    if (monthIndex < 1 || monthIndex > std::numeric_limits<qint16>::max())
        throw DbError(QStringLiteral("Fehler bei Bereichsprüfung"));
    Table& company = companyRecord(dm);
    CancelEditOnError(company, [&] {
        EnsureEditOrInsert(company);
        company.field(QStringLiteral("F_FixtermUpdateMonth")).setValue(monthIndex);
        company.post();
    });
}

int AdvanceFixTermine(TDataModule1& dm, const QDate& today) {
    const int current = FixTermMonthIndex(today.year(), today.month());
    // A long pause carries the last twelve months, each once: a month
    // carried further would stand for a year that has already passed.
    const int first = qMax(GetFixTermUpdateMonth(dm, today) + 1, current - 12);
    if (current <= first)
        return 0;
    table::Transaction tx(*table::aliases::database(kDb));
    auto rows = OpenTempTable(kDb, kFixTerms);
    for (rows->first(); !rows->eof() && !rows->isEmpty(); rows->next()) {
        CancelEditOnError(*rows, [&] {
            rows->edit();
            for (int i = current - 1; i >= first; --i) {
                table::Field& f = rows->field(FixTermFieldName(MonthOfFixTermMonth(i)));
                f.setValue(ShiftFixTermMonth(i, f.asStringOr(QString())));
            }
            rows->post();
        });
    }
    rows.reset();
    SetFixTermUpdateMonth(dm, current - 1);
    tx.commit();
    return current - first;
}
