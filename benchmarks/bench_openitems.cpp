// The open items' "Rechnen" (every item's paid and open amount from its
// payments, and its customer's open amount, one transaction per item) and
// the payment list ("Zahlungseingänge auflisten" over two months), over 1,000
// and 10,000 open items: ten per customer and object, two payments each, in
// March and April. Each is compared with the same work done by hand with
// prepared SQLite statements on the same database file: the same reads
// (payments by number, the customer's items by number), the same writes (item
// and customer per item, one transaction each) and the same text lines.
// Every iteration puts the written tables back and times both in turns.
// "ratio" is the program's time over the raw time, "per_item_us" the
// program's time per item (equal at both sizes when it grows linearly). By
// default only 1,000 run;
//   --benchmark_filter=VsRaw
// runs both sizes.
#include "benchclient.h"
#include "commercial/accounts/openitems.h"
#include "commercial/accounts/paymentlist.h"
#include "commercial/commercialrules.h"
#include "core/data/dbhelpers.h"
#include "core/data/openitemrules.h"
#include "core/data/recordrules.h"
#include "core/values/money.h"
#include "platform/table/values.h"

#include <QDate>
#include <benchmark/benchmark.h>
#include <cmath>

namespace {

const QDate kFrom(2026, 3, 1);
const QDate kTo(2026, 4, 30);

QByteArray physical(const char* table) {
    return table::physicalName(QString::fromLatin1(table)).toUtf8();
}

void fillClient(int items) {
    auto db = table::aliases::database(QStringLiteral("LumoDB"));
    table::Transaction tx(*db);
    benchclient::RowWriter rows(db);
    const int customers = items / 10;
    for (int nr = 1; nr <= customers; ++nr) {
        const QString match = QStringLiteral("KUNDE %1").arg(nr);
        rows.append("Kunden.DB", {{"K_ID", nr}, {"K_Nr", nr}, {"K_Match", match}});
        rows.append("Objekte.DB", {{"O_ID", nr},
                                   {"O_Nr", nr},
                                   {"O_Match", QStringLiteral("OBJEKT %1").arg(nr)},
                                   {"O_Kunde", nr},
                                   {"O_Aktiv", true}});
    }
    int payment = 0;
    for (int id = 1; id <= items; ++id) {
        const int kunde = (id - 1) % customers + 1;
        const QString nr = QStringLiteral("RE-%1").arg(id, 6, 10, QLatin1Char('0'));
        const QDate datum = kFrom.addDays(id % 28);
        const double brutto = RoundCents((100.0 + id % 300) * 1.19);
        rows.append("OpKopf.DB", {{"R_ID", id},
                                  {"R_Nr", nr},
                                  {"R_ObjektNr", kunde},
                                  {"R_OMatch", QStringLiteral("OBJEKT %1").arg(kunde)},
                                  {"R_KundenNr", kunde},
                                  {"R_KMatch", QStringLiteral("KUNDE %1").arg(kunde)},
                                  {"R_DatumErstell", datum},
                                  {"R_DatumDruck", datum},
                                  {"R_FaelligDatum", datum.addDays(14)},
                                  {"R_Netto", RoundCents(brutto / 1.19)},
                                  {"R_Brutto", brutto},
                                  {"O_ZahlSumme", 0.0},
                                  {"O_OffenSumme", brutto},
                                  {"O_Erledigt", false},
                                  {"O_Mahnungen", 0}});
        // Half now, the rest (every third item a cent short) a month later.
        const double first = RoundCents(brutto / 2);
        const double second = brutto - first - (id % 3 == 0 ? 0.01 : 0.0);
        rows.append("OPZahl.db", {{"OZ_ID", ++payment},
                                  {"OZ_RgNo", nr},
                                  {"OZ_Datum", datum.addDays(10)},
                                  {"OZ_Betrag", first},
                                  {"OZ_Comment", QStringLiteral("Überweisung")}});
        rows.append("OPZahl.db", {{"OZ_ID", ++payment},
                                  {"OZ_RgNo", nr},
                                  {"OZ_Datum", datum.addDays(40)},
                                  {"OZ_Betrag", second},
                                  {"OZ_Comment", QStringLiteral("Rest")}});
    }
    tx.commit();
}

struct Size {
    benchclient::Client* client = nullptr;
    QString pristine;
};

Size& sizeOf(int items) {
    static std::map<int, Size> sizes;
    Size& size = sizes[items];
    size.client = &benchclient::clientOf(items, fillClient, [](TDataModule1& dm) {
        InstallRecordRules(dm);
        InstallCommercialRules(dm);
    });
    if (size.pristine.isEmpty()) {
        size.pristine = size.client->root.filePath(QStringLiteral("Pristine"));
        table::aliases::database(QStringLiteral("LumoDB"))->backupTo(size.pristine);
        size.pristine = table::Database::fileIn(size.pristine);
    }
    return size;
}

// Puts the tables "Rechnen" writes back as they were filled.
void restore(const QString& pristine) {
    auto db = table::aliases::database(QStringLiteral("LumoDB"));
    db->execSql(QStringLiteral("ATTACH DATABASE ? AS snap"), {pristine});
    for (const char* t : {"OpKopf.DB", "Kunden.DB"}) {
        const QString name = QString::fromUtf8(physical(t));
        db->execSql(QStringLiteral("DELETE FROM main.\"%1\"").arg(name));
        db->execSql(QStringLiteral("INSERT INTO main.\"%1\" SELECT * FROM snap.\"%1\"").arg(name));
    }
    db->execSql(QStringLiteral("DETACH DATABASE snap"));
    for (table::Table* t : DataModule1().tables())
        RefreshUnlessEditing(*t);
}

double roundCents(double v) {
    return RoundCents(v);
}

// A stored date column (text) as the program reads it; null stays invalid.
QVariant dateColumn(sqlite3_stmt* s, int column) {
    if (sqlite3_column_type(s, column) == SQLITE_NULL)
        return {};
    return table::fromStored(
        table::FieldType::Date,
        QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, column))));
}

// "Rechnen" by hand: per item, the sum of its payments, its row, the balance
// of its customer's items and the customer's row, in one transaction.
void rawRecalc(const QString& file) {
    sqlite3* db = benchclient::openRaw(file);
    const QByteArray items = physical("OpKopf.DB"), payments = physical("OPZahl.db"),
                     customers = physical("Kunden.DB");
    sqlite3_stmt* all = benchclient::prepare(
        db,
        QByteArray("SELECT rowid, \"R_Nr\", \"R_Brutto\", \"R_KundenNr\", \"O_Erledigt\" FROM \"" +
                   items + "\" ORDER BY \"R_ID\"")
            .constData());
    sqlite3_stmt* paid =
        benchclient::prepare(db, QByteArray("SELECT \"OZ_Betrag\" FROM \"" + payments +
                                            "\" WHERE \"OZ_RgNo\" = ?1 COLLATE DE")
                                     .constData());
    sqlite3_stmt* update = benchclient::prepare(
        db, QByteArray("UPDATE \"" + items +
                       "\" SET \"O_ZahlSumme\"=?1, \"O_OffenSumme\"=?2, \"O_Erledigt\"=?3 "
                       "WHERE rowid=?4")
                .constData());
    sqlite3_stmt* balance =
        benchclient::prepare(db, QByteArray("SELECT \"O_ZahlSumme\", \"R_Brutto\" FROM \"" + items +
                                            "\" WHERE \"R_KundenNr\" = ?1")
                                     .constData());
    sqlite3_stmt* customer = benchclient::prepare(
        db, QByteArray("UPDATE \"" + customers + "\" SET \"K_Rechoffen\"=?1 WHERE \"K_Nr\"=?2")
                .constData());
    struct Item {
        qint64 rowid;
        QByteArray nr;
        double brutto;
        int kunde;
        bool settled;
    };
    std::vector<Item> list;
    while (sqlite3_step(all) == SQLITE_ROW)
        list.push_back({sqlite3_column_int64(all, 0),
                        QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(all, 1))),
                        sqlite3_column_double(all, 2), sqlite3_column_int(all, 3),
                        sqlite3_column_int(all, 4) != 0});
    for (const Item& item : list) {
        benchclient::exec(db, "BEGIN IMMEDIATE");
        sqlite3_bind_text(paid, 1, item.nr.constData(), int(item.nr.size()), SQLITE_STATIC);
        double sum = 0;
        while (sqlite3_step(paid) == SQLITE_ROW)
            sum += roundCents(sqlite3_column_double(paid, 0));
        sqlite3_reset(paid);
        const double open = roundCents(item.brutto - sum);
        sqlite3_bind_double(update, 1, roundCents(sum));
        sqlite3_bind_double(update, 2, open);
        sqlite3_bind_int(update, 3, item.settled || open < 0.01);
        sqlite3_bind_int64(update, 4, item.rowid);
        sqlite3_step(update);
        sqlite3_reset(update);
        sqlite3_bind_int(balance, 1, item.kunde);
        double saldo = 0;
        while (sqlite3_step(balance) == SQLITE_ROW)
            saldo = roundCents(saldo + sqlite3_column_double(balance, 0) -
                               sqlite3_column_double(balance, 1));
        sqlite3_reset(balance);
        sqlite3_bind_double(customer, 1, -saldo);
        sqlite3_bind_int(customer, 2, item.kunde);
        sqlite3_step(customer);
        sqlite3_reset(customer);
        benchclient::exec(db, "COMMIT");
    }
    for (sqlite3_stmt* s : {all, paid, update, balance, customer})
        sqlite3_finalize(s);
    sqlite3_close(db);
}

QString cut(const QString& text, int width, bool right) {
    const QString t = text.left(width);
    return right ? t.rightJustified(width) : t.leftJustified(width);
}

// The payment list by hand: the payments in number order, grouped, each
// group with its item and the item's object name, as the same text lines.
QStringList rawPaymentList(const QString& file) {
    sqlite3* db = benchclient::openRaw(file);
    const QByteArray items = physical("OpKopf.DB"), payments = physical("OPZahl.db"),
                     objects = physical("Objekte.DB");
    sqlite3_stmt* walk = benchclient::prepare(
        db, QByteArray("SELECT \"OZ_RgNo\", \"OZ_Datum\", \"OZ_Betrag\" FROM \"" + payments +
                       "\" ORDER BY \"OZ_RgNo\" COLLATE DE")
                .constData());
    sqlite3_stmt* item = benchclient::prepare(
        db, QByteArray("SELECT \"R_ObjektNr\", \"R_DatumDruck\", \"R_Brutto\", \"R_Netto\", "
                       "\"O_Erledigt\" FROM \"" +
                       items + "\" WHERE \"R_Nr\" = ?1 COLLATE DE")
                .constData());
    sqlite3_stmt* object = benchclient::prepare(
        db,
        QByteArray("SELECT \"O_Match\" FROM \"" + objects + "\" WHERE \"O_Nr\" = ?1").constData());
    const QString kRule(105, QLatin1Char('-'));
    QStringList lines{QStringLiteral("Zahlungseingänge vom ") +
                          kFrom.toString(QStringLiteral("dd.MM.yyyy")) + QStringLiteral(" bis ") +
                          kTo.toString(QStringLiteral("dd.MM.yyyy")),
                      QString(),
                      QStringLiteral("Rechnungs-Nr   ObjNr Objektbezeichnung      Rg-Datum  "
                                     "Zahldatum       Brutto        Netto      Zahlung St"),
                      kRule};
    double brutto = 0, netto = 0, zahlung = 0;
    auto money = [](double v) { return cut(FormatMoney(0, v), 13, true); };
    auto date = [](const QVariant& v) {
        return cut(v.isNull() ? QString() : v.toDate().toString(QStringLiteral("dd.MM.yyyy")), 11,
                   true);
    };
    auto flush = [&](const QByteArray& nr, double sum, const QVariant& last) {
        zahlung += sum;
        sqlite3_bind_text(item, 1, nr.constData(), int(nr.size()), SQLITE_STATIC);
        const QString number = QString::fromUtf8(nr);
        if (sqlite3_step(item) != SQLITE_ROW) {
            lines.append(cut(number, 14, false) + QString(75, u' ') + money(sum) +
                         QString(3, u' '));
        } else {
            const int objektNr = sqlite3_column_int(item, 0);
            sqlite3_bind_int(object, 1, objektNr);
            const QString match = sqlite3_step(object) == SQLITE_ROW
                                      ? QString::fromUtf8(reinterpret_cast<const char*>(
                                            sqlite3_column_text(object, 0)))
                                      : QString();
            sqlite3_reset(object);
            const double b = sqlite3_column_double(item, 2), n = sqlite3_column_double(item, 3);
            brutto += b;
            netto += n;
            const QVariant printed = dateColumn(item, 1);
            lines.append(
                cut(number, 14, false) + cut(QString::number(objektNr), 6, true) + u' ' +
                cut(match, 20, false) + date(printed) + date(last) + money(b) + money(n) +
                money(sum) +
                cut(sqlite3_column_int(item, 4) ? QStringLiteral("E") : QStringLiteral("O"), 3,
                    true));
        }
        sqlite3_reset(item);
    };
    QByteArray group;
    double sum = 0;
    QVariant last;
    bool any = false;
    while (sqlite3_step(walk) == SQLITE_ROW) {
        const QVariant datum = dateColumn(walk, 1);
        if (datum.isValid() && (datum.toDate() < kFrom || datum.toDate() > kTo))
            continue;
        const QByteArray nr(reinterpret_cast<const char*>(sqlite3_column_text(walk, 0)));
        if (any && nr != group) {
            flush(group, sum, last);
            sum = 0;
        }
        group = nr;
        any = true;
        sum += roundCents(sqlite3_column_double(walk, 2));
        last = datum;
    }
    if (any)
        flush(group, sum, last);
    lines.append(kRule);
    lines.append(QStringLiteral("Summen").leftJustified(12) + QString(51, u' ') + money(brutto) +
                 money(netto) + money(zahlung));
    lines.append(kRule);
    for (QString& line : lines)
        line.prepend(QString(10, u' '));
    for (sqlite3_stmt* s : {walk, item, object})
        sqlite3_finalize(s);
    sqlite3_close(db);
    return lines;
}

void BM_RecalcVsRaw(benchmark::State& state) {
    const int items = int(state.range(0));
    Size& size = sizeOf(items);
    const QString file = table::Database::fileIn(size.client->data);
    TDataModule1& dm = DataModule1();
    dm.TabOposten().open();
    const benchclient::TurnTimes times = benchclient::compareInTurns(
        state, [&] { restore(size.pristine); }, [&] { RecalcOpItems(dm); },
        [&] { rawRecalc(file); });
    restore(size.pristine);
    dm.TabOposten().close();
    state.counters["per_item_us"] =
        benchmark::Counter(times.engine * 1e6 / items, benchmark::Counter::kAvgIterations);
}

void BM_PaymentListVsRaw(benchmark::State& state) {
    const int items = int(state.range(0));
    Size& size = sizeOf(items);
    const QString file = table::Database::fileIn(size.client->data);
    TDataModule1& dm = DataModule1();
    dm.TabOposten().open();
    QStringList program, raw;
    const benchclient::TurnTimes times = benchclient::compareInTurns(
        state, [] {}, [&] { program = PaymentListLines(dm.TabOposten(), kFrom, kTo); },
        [&] { raw = rawPaymentList(file); });
    dm.TabOposten().close();
    if (program != raw)
        state.SkipWithError("the raw payment list differs from the program's");
    state.counters["lines"] = double(program.size());
    state.counters["per_item_us"] =
        benchmark::Counter(times.engine * 1e6 / items, benchmark::Counter::kAvgIterations);
}

} // namespace

BENCHMARK(BM_RecalcVsRaw)
    ->Arg(1000)
    ->Arg(10000)
    ->UseManualTime()
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaymentListVsRaw)
    ->Arg(1000)
    ->Arg(10000)
    ->UseManualTime()
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    return benchclient::runMain(argc, argv, "VsRaw/1000/");
}
