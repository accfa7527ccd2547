#include "operations/dailylistmasters.h"

#include "commercial/scheduling/fixtermmonths.h"
#include "commercial/scheduling/objectactivityrow.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "platform/table/table.h"

#include <algorithm>

using table::Table;

namespace {

const QString kDb = QStringLiteral("LumoDB");

// Every row of a table in primary order on a cursor of its own.
void forEachRow(const QString& file, const std::function<void(Table&)>& read,
                const Table* filterLike = nullptr) {
    auto rows = OpenTempTable(kDb, file);
    if (filterLike) {
        rows->setFilter(filterLike->filter());
        rows->setFiltered(filterLike->isFiltered());
    }
    for (rows->first(); !rows->eof() && !rows->isEmpty(); rows->next())
        read(*rows);
}

TDateTime dateOf(Table& t, const char* name) {
    return DateTimeOfDate(t.field(QString::fromLatin1(name)).asDateOr(QDate()));
}

QTime timeOf(Table& t, const char* name) {
    const table::Field& f = t.field(QString::fromLatin1(name));
    return f.isNull() ? QTime(0, 0) : f.value().toTime();
}

struct ActivityTexts {
    QString name, tourText, kontrollText;
    TDateTime saisonVon = EmptyDate, saisonBis = EmptyDate;
};

} // namespace

bool DailyListMasters::isFixedTermDay(int tourNr, int objektNr, int taetigNr, TDateTime day) const {
    const auto it = fixTerms.constFind(FixTermKey{tourNr, objektNr, taetigNr});
    if (it == fixTerms.cend())
        return false;
    const QDate d = DateOfDateTime(day);
    return d.isValid() && IsMarkedDay((*it)[d.month() - 1], d.day());
}

DailyListMasters LoadDailyListMasters(TDataModule1& dm) {
    DailyListMasters m;
    {
        Table& ausfIV = dm.TabAusfInterv();
        OpenForCall opened(ausfIV);
        m.intervals = LoadAusfIntervalle(ausfIV);
        opened.close();
    }

    QHash<int, QList<MasterTourObject>> tourObjects;
    // A second row of an object on a tour visits it again with the first row's times.
    QHash<std::pair<int, int>, std::pair<QTime, QTime>> firstTimes;
    forEachRow(QStringLiteral("TourObj.db"), [&](Table& t) {
        const int tourNr = FieldInt(t, QStringLiteral("TO_TourNr"));
        const int objektNr = FieldInt(t, QStringLiteral("TO_Objekt"));
        auto it = firstTimes.find({tourNr, objektNr});
        if (it == firstTimes.end())
            it = firstTimes.insert({tourNr, objektNr},
                                   {timeOf(t, "TO_VonUhr"), timeOf(t, "TO_BisUhr")});
        const auto times = it.value();
        tourObjects[tourNr].append({objektNr, times.first, times.second});
    });

    forEachRow(QStringLiteral("Touren.db"), [&](Table& t) {
        if (FieldInt(t, QStringLiteral("TO_Kind")) != 0)
            return;
        MasterTour tour;
        tour.plan = PlanTourOfRow(t);
        tour.person = FieldInt(t, QStringLiteral("TO_Person"));
        tour.description = FieldText(t, QStringLiteral("TO_Beschreibung"));
        tour.objects = tourObjects.value(tour.plan.nr);
        m.tours.append(tour);
    });
    std::stable_sort(m.tours.begin(), m.tours.end(), [](const MasterTour& a, const MasterTour& b) {
        return a.plan.nr < b.plan.nr;
    });

    QHash<int, ActivityTexts> texts;
    forEachRow(QStringLiteral("Taetig.DB"), [&](Table& t) {
        const int nr = FieldInt(t, QStringLiteral("T_Nr"));
        if (texts.contains(nr))
            return;
        texts.insert(nr, {FieldText(t, QStringLiteral("T_Match")),
                          FieldText(t, QStringLiteral("T_TextTour")),
                          FieldText(t, QStringLiteral("T_TextKontroll")), dateOf(t, "T_SaisonVon"),
                          dateOf(t, "T_SaisonBis")});
    });
    forEachRow(QStringLiteral("ObjTaet.db"), [&](Table& t) {
        MasterActivity a;
        a.tsId = FieldInt(t, QStringLiteral("TS_ID"));
        a.due = ObjectActivityOfRow(t);
        a.func = FieldInt(t, QStringLiteral("TS_Func"));
        a.param = FieldText(t, QStringLiteral("TS_Param"));
        const ActivityTexts x = texts.value(a.due.taetigNr);
        a.name = x.name;
        a.tourText = x.tourText;
        a.kontrollText = x.kontrollText;
        a.due.saisonVon = x.saisonVon;
        a.due.saisonBis = x.saisonBis;
        m.activities[a.due.objektNr].append(a);
    });

    forEachRow(
        QStringLiteral("Objekte.DB"),
        [&](Table& t) {
            m.objects.insert(
                FieldInt(t, QStringLiteral("O_Nr")),
                {FieldText(t, QStringLiteral("O_Match")), FieldInt(t, QStringLiteral("O_Kunde"))});
        },
        &dm.TabObjekt());
    forEachRow(QStringLiteral("Personal.DB"), [&](Table& t) {
        const int nr = FieldInt(t, QStringLiteral("P_Nr"));
        if (!m.staffMatch.contains(nr))
            m.staffMatch.insert(nr, FieldText(t, QStringLiteral("P_Match")));
    });
    forEachRow(QStringLiteral("TglFterm.DB"), [&](Table& t) {
        const FixTermKey key{FieldInt(t, QStringLiteral("TF_TourNr")),
                             FieldInt(t, QStringLiteral("TF_ObjNr")),
                             FieldInt(t, QStringLiteral("TF_TaetigNr"))};
        if (m.fixTerms.contains(key))
            return;
        FixTermMonths months;
        for (int month = 1; month <= 12; ++month)
            months[month - 1] = FieldText(t, FixTermFieldName(month));
        m.fixTerms.insert(key, months);
    });
    return m;
}
