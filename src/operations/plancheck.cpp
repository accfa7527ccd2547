#include "operations/plancheck.h"

#include "commercial/scheduling/servicematch.h"
#include "core/data/dbhelpers.h"
#include "core/files/filehelpers.h"
#include "core/values/conversions.h"
#include "platform/errors.h"
#include "platform/table/database.h"
#include "platform/table/field.h"
#include "platform/table/query.h"
#include "platform/table/table.h"

#include <QDir>
#include <QHash>
#include <QStringEncoder>

using namespace Qt::StringLiterals;

namespace {

const QString kDb = u"LumoDB"_s;

struct Activity {
    int taetigNr = 0;
    QString wtag, serviceId;
};

// The object numbers the cursor shows, in its order. The object table is
// wide: where its order and filter allow (an index of numbers, a filter
// without wildcards), a query reads the number alone; otherwise a cursor of
// its own reads whole rows.
QList<int> shownObjectNumbers(table::Table& objects) {
    const auto db = table::aliases::database(kDb);
    const QStringList order = objects.indexFieldNames();
    bool numeric = !order.isEmpty();
    for (const QString& name : order) {
        bool isNumber = false;
        for (const table::FieldDef& f : objects.definition().fields)
            if (f.name.compare(name, Qt::CaseInsensitive) == 0)
                isNumber = f.type == table::FieldType::Smallint ||
                           f.type == table::FieldType::Integer ||
                           f.type == table::FieldType::AutoInc;
        numeric = numeric && isNumber;
    }
    const QString filter = objects.isFiltered() ? objects.filter().trimmed() : QString();
    QList<int> numbers;
    if (numeric && !filter.contains(u'*')) {
        QString sql = u"SELECT O_Nr FROM "_s + objects.tableName();
        if (!filter.isEmpty())
            sql += u" WHERE "_s + filter;
        table::Query q(db, sql + u" ORDER BY "_s + order.join(u", "_s));
        q.open();
        numbers.reserve(q.recordCount());
        for (q.first(); !q.eof(); q.next())
            numbers.append(q.value(0).toInt());
        return numbers;
    }
    table::Table shown(db, objects.tableName());
    shown.setReadOnly(true);
    shown.setIndexName(objects.indexName());
    shown.setFilter(objects.filter());
    shown.setFiltered(objects.isFiltered());
    shown.open();
    const table::Field& nr = shown.field(u"O_Nr"_s);
    for (shown.first(); !shown.eof(); shown.next())
        numbers.append(nr.asIntegerOr(0));
    return numbers;
}

} // namespace

QString PlanCheckReason(const QList<PlanCheckTour>& tours, const QString& wtag,
                        const QString& serviceId) {
    if (tours.isEmpty())
        return u"Keine Tour-Zuordnung"_s;
    bool serviceMisfit = false;
    for (const PlanCheckTour& tour : tours) {
        const int match = MatchTourDay(tour.weekday, tour.pattern, wtag, serviceId);
        if (match == 0)
            return {};
        if (match == -2)
            serviceMisfit = true;
    }
    if (serviceMisfit)
        return u"Unpassendes Dienstkennzeichen ["_s + serviceId + u']';
    return u"Unpassende(r) Wochentag(e) ["_s + wtag + u']';
}

QStringList PlanCheckHeading() {
    return {u"Nicht planbare Objekt-Tätigkeiten"_s, QString(), u"ObjNr. T-Nr. Fehlerursache"_s,
            QString(60, u'-')};
}

QString PlanCheckLine(int objektNr, int taetigNr, const QString& reason) {
    return IntToStrWidth(objektNr, 6) + IntToStrWidth(taetigNr, 6) + u' ' + reason;
}

QStringList RunPlanCheck(table::Table& objects) {
    // The detail rows are read whole, only the columns the check needs.
    const auto db = table::aliases::database(kDb);
    QHash<int, PlanCheckTour> tourByNr;
    {
        table::Query q(db, u"SELECT TO_Nr, TO_Wochentag, TO_ServPatt FROM Touren.db "
                           u"ORDER BY TO_ID"_s);
        q.open();
        for (q.first(); !q.eof(); q.next())
            if (const int nr = q.value(0).toInt(); !tourByNr.contains(nr))
                tourByNr.insert(nr, {q.value(1).toInt(), q.value(2).toString()});
    }
    QHash<int, QList<PlanCheckTour>> toursOf;
    {
        // A row whose tour is gone fits no weekday, as its empty lookup does.
        table::Query q(db, u"SELECT TO_Objekt, TO_TourNr FROM TourObj.db ORDER BY T_TourID"_s);
        q.open();
        for (q.first(); !q.eof(); q.next())
            toursOf[q.value(0).toInt()].append(tourByNr.value(q.value(1).toInt()));
    }
    QHash<int, QList<Activity>> activitiesOf;
    {
        // The order of the object form's activity grid (index "I_TsObjekt").
        table::Query q(db, u"SELECT TS_Objekt, TS_Taetigkeit, TS_Wtag, TS_ServiceID "
                           u"FROM ObjTaet.db ORDER BY TS_Objekt, TS_ID"_s);
        q.open();
        for (q.first(); !q.eof(); q.next())
            activitiesOf[q.value(0).toInt()].append(
                {q.value(1).toInt(), q.value(2).toString(), q.value(3).toString()});
    }

    QStringList lines = PlanCheckHeading();
    for (const int objektNr : shownObjectNumbers(objects)) {
        const QList<PlanCheckTour> tours = toursOf.value(objektNr);
        for (const Activity& a : activitiesOf.value(objektNr)) {
            const QString reason = PlanCheckReason(tours, a.wtag, a.serviceId);
            if (!reason.isEmpty())
                lines.append(PlanCheckLine(objektNr, a.taetigNr, reason));
        }
    }
    return lines;
}

void SavePlanCheckText(const QString& fileName, const QString& text) {
    const QStringList lines = text.split(u'\n');
    QStringEncoder encoder("windows-1252");
    const QByteArray probe = encoder(text);
    if (encoder.hasError())
        throw DbError(u"Die Liste enthält Zeichen, die in einer Textdatei nicht gespeichert "
                      u"werden können."_s);
    if (!WriteTextDataFile(fileName, lines))
        throw DbError(u"Die Datei %1 kann nicht geschrieben werden."_s.arg(
            QDir::toNativeSeparators(fileName)));
}
