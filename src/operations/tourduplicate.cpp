#include "operations/tourduplicate.h"

#include "core/data/dbhelpers.h"
#include "core/data/recordrules.h"
#include "platform/errors.h"
#include "platform/table/database.h"
#include "platform/table/table.h"

#include <QDate>
#include <QVariant>

using namespace Qt::StringLiterals;

namespace {

const QString kDb = u"LumoDB"_s;
const QString kTours = u"Touren.db"_s;
const QString kTourObjects = u"TourObj.db"_s;
constexpr int kTourRight = 14;

} // namespace

QString NewTourNumberProblem(int nr) {
    if (nr < 1)
        return u"Die eingegebene Nummer ist unzulässig!"_s;
    if (IntValueExists(kDb, kTours, u"TO_Nr"_s, nr))
        return u"Die Tourennummmer ist bereits vergeben!"_s;
    return {};
}

int DuplicateTour(int oldNr, int newNr) {
    if (!CheckRecordCreateRight(kTourRight))
        throw Abort{};
    try {
        if (const QString problem = NewTourNumberProblem(newNr); !problem.isEmpty())
            throw DbError(problem);
        auto tours = OpenTempTable(kDb, kTours, u"T_I_Nr"_s);
        if (!tours->findKey({oldNr}))
            throw DbError(u"Die Tour %1 ist nicht mehr vorhanden."_s.arg(oldNr));
        const QVariant description = tours->field(u"TO_Beschreibung"_s).value();
        const QVariant weekday = tours->field(u"TO_Wochentag"_s).value();
        const QVariant person = tours->field(u"TO_Person"_s).value();
        const QVariant nextDate = tours->field(u"TO_NextDate"_s).value();
        QString pattern = FieldText(*tours, u"TO_ServPatt"_s);
        if (pattern.isEmpty())
            pattern = u"*"_s;

        auto objects = OpenTempTable(kDb, kTourObjects, u"T_I_TourNr"_s);
        objects->setRange({oldNr}, {oldNr});
        struct Visit {
            QVariant objekt, von, bis;
        };
        QList<Visit> visits;
        for (objects->first(); !objects->eof(); objects->next())
            visits.append({objects->field(u"TO_Objekt"_s).value(),
                           objects->field(u"TO_VonUhr"_s).value(),
                           objects->field(u"TO_BisUhr"_s).value()});
        objects->cancelRange();

        table::Transaction tx(*tours->database());
        const int id = GetNextId(*tours, u"TO_ID"_s);
        tours->append();
        (*tours)[u"TO_ID"_s] = id;
        (*tours)[u"TO_Nr"_s] = newNr;
        (*tours)[u"TO_Beschreibung"_s].setValue(description);
        (*tours)[u"TO_Wochentag"_s].setValue(weekday);
        (*tours)[u"TO_Person"_s].setValue(person);
        (*tours)[u"TO_NextDate"_s].setValue(nextDate);
        (*tours)[u"TO_ServPatt"_s] = pattern;
        (*tours)[u"TO_Kind"_s] = 0;
        tours->post();
        for (const Visit& v : visits) {
            const int objectId = GetNextId(*objects, u"T_TourID"_s);
            objects->append();
            (*objects)[u"T_TourID"_s] = objectId;
            (*objects)[u"TO_TourNr"_s] = newNr;
            (*objects)[u"TO_Objekt"_s].setValue(v.objekt);
            if (!v.von.isNull())
                (*objects)[u"TO_VonUhr"_s].setValue(v.von);
            if (!v.bis.isNull())
                (*objects)[u"TO_BisUhr"_s].setValue(v.bis);
            objects->post();
        }
        tx.commit();
        return id;
    } catch (const DbError& e) {
        throw DbError(u"Die Tour wurde nicht dupliziert:\r"_s + e.message());
    }
}
