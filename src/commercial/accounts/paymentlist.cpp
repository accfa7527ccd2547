#include "commercial/accounts/paymentlist.h"

#include "core/data/dbhelpers.h"
#include "core/data/lookups.h"
#include "core/data/openitemrules.h"
#include "core/values/money.h"
#include "platform/table/table.h"

#include <QDate>
#include <optional>

using table::Table;

namespace {

const QString kDb = QStringLiteral("LumoDB");
const QString kRule(105, QLatin1Char('-'));

QString left(const QString& text, int width) {
    return text.left(width).leftJustified(width);
}
QString right(const QString& text, int width) {
    return text.left(width).rightJustified(width);
}
QString money(double amount) {
    return right(FormatMoney(0, amount), 13);
}
QString date(const QVariant& value) {
    return right(value.isNull() ? QString() : value.toDate().toString(QStringLiteral("dd.MM.yyyy")),
                 11);
}

struct Group {
    QString nr;
    double sum = 0;
    QVariant lastDate;
};

struct Totals {
    double brutto = 0;
    double netto = 0;
    double zahlung = 0;
};

QString groupLine(Table& items, Table& heads, const Group& g, Totals& totals) {
    totals.zahlung += g.sum;
    // heads runs on the unique number index: a seek, where a lookup in the
    // items' own order walks them. The items show it unless their filter is on
    // and refuses it.
    const bool shown = heads.findKey({g.nr}) &&
                       (!items.isFiltered() || OpostenFilterAccepts(OpFilterParams(), heads));
    if (!shown)
        return left(g.nr, 14) + QString(75, QLatin1Char(' ')) + money(g.sum) + QString(3, u' ');
    const int objektNr = FieldInt(heads, QStringLiteral("R_ObjektNr"));
    const double brutto = FieldFloat(heads, QStringLiteral("R_Brutto"));
    const double netto = FieldFloat(heads, QStringLiteral("R_Netto"));
    totals.brutto += brutto;
    totals.netto += netto;
    const bool settled =
        GetFieldBoolOrDefault(heads.findField(QStringLiteral("O_Erledigt")), false);
    return left(g.nr, 14) + right(QString::number(objektNr), 6) + QLatin1Char(' ') +
           left(GetObjektMatchByNr(objektNr), 20) +
           date(heads.field(QStringLiteral("R_DatumDruck")).value()) + date(g.lastDate) +
           money(brutto) + money(netto) + money(g.sum) +
           right(settled ? QStringLiteral("E") : QStringLiteral("O"), 3);
}

} // namespace

QStringList PaymentListLines(Table& items, const QDate& from, const QDate& to) {
    QStringList lines{
        QStringLiteral("Zahlungseingänge vom ") + from.toString(QStringLiteral("dd.MM.yyyy")) +
            QStringLiteral(" bis ") + to.toString(QStringLiteral("dd.MM.yyyy")),
        QString(),
        QStringLiteral("Rechnungs-Nr   ObjNr Objektbezeichnung      Rg-Datum  Zahldatum       "
                       "Brutto        Netto      Zahlung St"),
        kRule};
    auto payments = OpenTempTable(kDb, QStringLiteral("OPZahl.db"), QStringLiteral("I_RgNo"));
    auto heads = OpenTempTable(kDb, QStringLiteral("OpKopf.DB"), QStringLiteral("R_INr"));
    Totals totals;
    std::optional<Group> group;
    for (payments->first(); !payments->eof() && !payments->isEmpty(); payments->next()) {
        const table::Field& datum = payments->field(QStringLiteral("OZ_Datum"));
        if (!datum.isNull() && (datum.asDate() < from || datum.asDate() > to))
            continue;
        const QString nr = FieldText(*payments, QStringLiteral("OZ_RgNo"));
        if (group && group->nr != nr) {
            lines.append(groupLine(items, *heads, *group, totals));
            group.reset();
        }
        if (!group)
            group = Group{nr};
        group->sum += RoundCents(FieldFloat(*payments, QStringLiteral("OZ_Betrag")));
        group->lastDate = datum.value();
    }
    if (group)
        lines.append(groupLine(items, *heads, *group, totals));
    lines << kRule
          << left(QStringLiteral("Summen"), 12) + QString(51, QLatin1Char(' ')) +
                 money(totals.brutto) + money(totals.netto) + money(totals.zahlung)
          << kRule;
    for (QString& line : lines)
        line.prepend(QString(10, QLatin1Char(' ')));
    return lines;
}
