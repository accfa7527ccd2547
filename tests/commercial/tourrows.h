#pragma once

#include "core/data/dbhelpers.h"
#include "platform/table/table.h"

#include <QVariant>

// Rows of the tour tables as the planning tests need them.
namespace tourtest {

inline void appendRow(const QString& file, const QList<std::pair<QString, QVariant>>& values) {
    auto t = OpenTempTable(QStringLiteral("LumoDB"), file);
    t->append();
    for (const auto& [name, value] : values)
        t->field(name).setValue(value);
    t->post();
}

inline void addTour(int nr, int weekday) {
    appendRow(QStringLiteral("Touren.db"), {{QStringLiteral("TO_ID"), nr},
                                            {QStringLiteral("TO_Nr"), nr},
                                            {QStringLiteral("TO_Wochentag"), weekday},
                                            {QStringLiteral("TO_ServPatt"), QStringLiteral("*")}});
}

inline void addTourObject(int id, int tourNr, int objektNr) {
    appendRow(QStringLiteral("TourObj.db"), {{QStringLiteral("T_TourID"), id},
                                             {QStringLiteral("TO_TourNr"), tourNr},
                                             {QStringLiteral("TO_Objekt"), objektNr}});
}

inline void addActivity(int id, int objektNr, int taetigNr, int modus, const QVariant& start) {
    appendRow(QStringLiteral("ObjTaet.db"), {{QStringLiteral("TS_ID"), id},
                                             {QStringLiteral("TS_Objekt"), objektNr},
                                             {QStringLiteral("TS_Taetigkeit"), taetigNr},
                                             {QStringLiteral("TS_Modus"), modus},
                                             {QStringLiteral("TS_StartDatum"), start}});
}

} // namespace tourtest
