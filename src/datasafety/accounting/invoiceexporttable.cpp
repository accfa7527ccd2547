#include "datasafety/accounting/invoiceexporttable.h"

#include "core/messages/messages.h"
#include "core/values/rangeerrors.h"
#include "datasafety/accounting/journalselection.h"
#include "platform/table/database.h"
#include "platform/table/table.h"

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;
using table::FieldType;

namespace {

// What an empty date field gives in the work table: the day zero.
const QDate kDayZero(1899, 12, 30);

constexpr int kSatzartRechnung = 0;

// The journal fields copied as they are, in work-table order.
const char* const kAmounts[] = {"Netto",   "Netto1", "Netto2", "Brutto", "Brutto1",
                                "Brutto2", "Mwst",   "Mwst1",  "Mwst2"};
constexpr int kAmountCount = int(std::size(kAmounts));

// A discount rate in hundredths of a percent, rounded half away from zero.
int hundredths(double rate) {
    const double scaled = std::round(rate * 100.0);
    if (!std::isfinite(scaled) || scaled < std::numeric_limits<int>::min() ||
        scaled > std::numeric_limits<int>::max())
        RaiseRangeError();
    return int(scaled);
}

// A signed amount; a zero stays a plain zero, so that no "-0,00" is written.
double signedAmount(int sign, double amount) {
    return amount == 0 ? 0.0 : sign * amount;
}

} // namespace

table::TableDef InvoiceExportTableDef() {
    table::TableDef def;
    def.fields = {
        {u"X_ID"_s, FieldType::Integer},       {u"X_Bkz"_s, FieldType::Integer},
        {u"X_Nr"_s, FieldType::String, 20},    {u"X_NrNum"_s, FieldType::Integer},
        {u"X_KundenNr"_s, FieldType::Integer}, {u"X_RgDatum"_s, FieldType::Date},
    };
    for (const char* amount : kAmounts)
        def.fields.append({u"X_"_s + QLatin1StringView(amount), FieldType::Currency});
    def.fields.append({
        {u"X_KontoNr"_s, FieldType::Integer},
        {u"X_Kostenstelle1"_s, FieldType::Integer},
        {u"X_Kostenstelle2"_s, FieldType::Integer},
        {u"X_Split"_s, FieldType::Integer},
        {u"X_StKz"_s, FieldType::Integer},
        {u"X_Skontotage1"_s, FieldType::Integer},
        {u"X_SkontoProz1"_s, FieldType::Float},
        {u"X_SkontoProzInt1"_s, FieldType::Integer},
        {u"X_Skontotage2"_s, FieldType::Integer},
        {u"X_SkontoProz2"_s, FieldType::Float},
        {u"X_SkontoProzInt2"_s, FieldType::Integer},
        {u"X_NettoTage"_s, FieldType::Integer},
        {u"X_Faelligdatum"_s, FieldType::Date},
    });
    for (const char* amount : kAmounts)
        def.fields.append({u"Y_"_s + QLatin1StringView(amount), FieldType::Currency});
    return def;
}

InvoiceExportTable BuildInvoiceExportTable(const QString& databaseName, const QDate& from,
                                           const QDate& to,
                                           const WorkTable::NameProposer& proposeName) {
    InvoiceExportTable result;
    try {
        result.table =
            std::make_unique<WorkTable>(databaseName, InvoiceExportTableDef(), proposeName);
    } catch (const DbError&) {
        result.count = -1;
        return result;
    }
    const std::shared_ptr<table::Database> db = table::aliases::database(databaseName);
    {
        JournalSelection selection(db);
        table::Table& journal = selection.journal();
        table::Table work(db, result.table->name());
        work.open();
        work.lockTable();
        const auto f = [&journal](const char* name) -> table::Field& {
            return journal.field(u"R_"_s + QLatin1StringView(name));
        };
        table::Field &exported = f("Exported"), &datum = f("DatumDruck"), &satzart = f("Satzart"),
                     &nr = f("Nr"), &nrNum = f("NrNum"), &kunde = f("KundenNr"),
                     &konto = f("FKontoNr"), &kost1 = f("KKostenstelle1"),
                     &kost2 = f("KKostenstelle2"), &brutto1 = f("Brutto1"), &brutto2 = f("Brutto2"),
                     &tage1 = f("ZahlbedTage"), &skonto1 = f("ZahlbedSkonto"),
                     &tage2 = f("ZahlbedTage2"), &skonto2 = f("ZahlbedSkonto2"),
                     &nettoTage = f("ZahlbedNettoTage"), &faellig = f("FaelligDatum");
        table::Field* amounts[kAmountCount];
        for (int i = 0; i < kAmountCount; ++i)
            amounts[i] = &f(kAmounts[i]);

        const auto take = [&] {
            if (exported.asBooleanOr(false))
                return false;
            const QDate date = datum.asDateOr(QDate());
            return !date.isValid() || (from <= date && date <= to);
        };
        int id = 0;
        QVariantList row;
        const auto append = [&] {
            const int kind = satzart.asIntegerOr(0);
            const int sign = kind == kSatzartRechnung ? 1 : -1;
            const bool split = brutto1.asFloatOr(0) != 0 && brutto2.asFloatOr(0) != 0;
            const bool stkz = brutto1.asFloatOr(0) != 0 && !split;
            const double rate1 = skonto1.asFloatOr(0), rate2 = skonto2.asFloatOr(0);
            double values[kAmountCount];
            for (int i = 0; i < kAmountCount; ++i)
                values[i] = amounts[i]->asFloatOr(0);
            row.clear();
            row << ++id << kind << nr.asStringOr(QString()) << nrNum.asIntegerOr(0)
                << kunde.asIntegerOr(0) << datum.asDateOr(kDayZero);
            for (double value : values)
                row << value;
            row << konto.asIntegerOr(0) << kost1.asIntegerOr(0) << kost2.asIntegerOr(0)
                << int(split) << int(stkz) << tage1.asIntegerOr(0) << rate1 << hundredths(rate1)
                << tage2.asIntegerOr(0) << rate2 << hundredths(rate2) << nettoTage.asIntegerOr(0)
                << faellig.asDateOr(kDayZero);
            for (double value : values)
                row << signedAmount(sign, value);
            work.appendRecord(row);
        };
        result.count = selection.run(take, append);
    }
    if (result.count == 0)
        result.table.reset();
    return result;
}

void MarkExportedInvoices(const QString& databaseName) {
    // Asked before the transaction: no box while a write transaction is open.
    const bool exported =
        AskYesNo(u"Sollen die übergebenen Rechnungen als exportiert markiert werden?"_s);
    ClearJournalSelection(table::aliases::database(databaseName), exported);
}
