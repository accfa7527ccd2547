#include "operations/plancheck.h"

#include "commercial/scheduling/servicematch.h"
#include "core/data/dbhelpers.h"
#include "core/files/filehelpers.h"
#include "core/values/conversions.h"
#include "platform/errors.h"
#include "platform/table/field.h"
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

int intOf(const table::Field& f) {
    return f.asIntegerOr(0);
}

QString textOf(const table::Field& f) {
    return f.asStringOr(QString());
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
    QHash<int, PlanCheckTour> tourByNr;
    {
        auto t = OpenTempTable(kDb, u"Touren.db"_s);
        const table::Field& nr = t->field(u"TO_Nr"_s);
        const table::Field& weekday = t->field(u"TO_Wochentag"_s);
        const table::Field& pattern = t->field(u"TO_ServPatt"_s);
        for (t->first(); !t->eof(); t->next())
            if (!tourByNr.contains(intOf(nr)))
                tourByNr.insert(intOf(nr), {intOf(weekday), textOf(pattern)});
    }
    QHash<int, QList<PlanCheckTour>> toursOf;
    {
        auto t = OpenTempTable(kDb, u"TourObj.db"_s);
        const table::Field& objekt = t->field(u"TO_Objekt"_s);
        const table::Field& tour = t->field(u"TO_TourNr"_s);
        // A row whose tour is gone fits no weekday, as its empty lookup does.
        for (t->first(); !t->eof(); t->next())
            toursOf[intOf(objekt)].append(tourByNr.value(intOf(tour)));
    }
    QHash<int, QList<Activity>> activitiesOf;
    {
        auto t = OpenTempTable(kDb, u"ObjTaet.db"_s, u"I_TsObjekt"_s);
        const table::Field& objekt = t->field(u"TS_Objekt"_s);
        const table::Field& taetig = t->field(u"TS_Taetigkeit"_s);
        const table::Field& wtag = t->field(u"TS_Wtag"_s);
        const table::Field& service = t->field(u"TS_ServiceID"_s);
        for (t->first(); !t->eof(); t->next())
            activitiesOf[intOf(objekt)].append({intOf(taetig), textOf(wtag), textOf(service)});
    }

    QStringList lines = PlanCheckHeading();
    auto shown = OpenTempTable(kDb, objects.tableName(), objects.indexName());
    shown->setFilter(objects.filter());
    shown->setFiltered(objects.isFiltered());
    const table::Field& nr = shown->field(u"O_Nr"_s);
    for (shown->first(); !shown->eof(); shown->next()) {
        const int objektNr = intOf(nr);
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
