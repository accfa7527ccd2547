#pragma once

#include "core/data/recordrulesfixture.h"

#include <QDate>
#include <ostream>

// Readable failure output for the texts these tests compare.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& list, std::ostream* os) {
    *os << '{' << list.join(QStringLiteral(" | ")).toStdString() << '}';
}

namespace masterdatatest {

// A client database with the data module and its rules, and helpers for
// objects and their activity rows.
class ObjektFixture : public datatest::RecordRules {
protected:
    // An active object (the object table lists only those by default).
    void addObjekt(int id, int nr, int kunde = 0) {
        addRow(QStringLiteral("Objekte.DB"), {{QStringLiteral("O_ID"), id},
                                              {QStringLiteral("O_Nr"), nr},
                                              {QStringLiteral("O_Kunde"), kunde},
                                              {QStringLiteral("O_Aktiv"), true}});
    }
    void addActivity(int id, int nr, int func = 0) {
        addRow(QStringLiteral("Taetig.DB"), {{QStringLiteral("T_ID"), id},
                                             {QStringLiteral("T_Nr"), nr},
                                             {QStringLiteral("T_Func"), func}});
    }
    struct Row {
        int id, objekt, taetigkeit, modus;
        QDate start;
        QString service, wtag;
        int func;
        QString param;
    };
    void addObjTaetig(const Row& r) {
        addRow(QStringLiteral("ObjTaet.db"), {{QStringLiteral("TS_ID"), r.id},
                                              {QStringLiteral("TS_Objekt"), r.objekt},
                                              {QStringLiteral("TS_Taetigkeit"), r.taetigkeit},
                                              {QStringLiteral("TS_Modus"), r.modus},
                                              {QStringLiteral("TS_StartDatum"), r.start},
                                              {QStringLiteral("TS_ServiceID"), r.service},
                                              {QStringLiteral("TS_Wtag"), r.wtag},
                                              {QStringLiteral("TS_Func"), r.func},
                                              {QStringLiteral("TS_Param"), r.param}});
    }
    // The shared object table on the object with number nr.
    table::Table& objekt(int nr) {
        table::Table& t = shared(dm->TabObjekt());
        EXPECT_TRUE(t.locate({QStringLiteral("O_Nr")}, {nr}));
        return t;
    }
    // The activity rows of the object with number nr.
    table::Table& objTaetig(int nr) {
        objekt(nr);
        return shared(dm->TabObjTaetig());
    }
    // Each stored activity row of the object as
    // "key:activity,interval,start,service,weekdays,func,param".
    QStringList storedRows(int objektNr) {
        auto t = open(QStringLiteral("ObjTaet.db"));
        QStringList rows;
        for (t->first(); !t->eof() && !t->isEmpty(); t->next()) {
            if (t->field(QStringLiteral("TS_Objekt")).asIntegerOr(0) != objektNr)
                continue;
            QStringList values;
            for (const char* f : {"TS_Taetigkeit", "TS_Modus", "TS_StartDatum", "TS_ServiceID",
                                  "TS_Wtag", "TS_Func", "TS_Param"}) {
                const table::Field& field = t->field(QString::fromLatin1(f));
                values << (field.type() == table::FieldType::Date
                               ? field.asDateOr(QDate()).toString(Qt::ISODate)
                               : field.asStringOr(QString()));
            }
            rows << t->field(QStringLiteral("TS_ID")).asString() + QLatin1Char(':') +
                        values.join(QLatin1Char(','));
        }
        return rows;
    }
};

} // namespace masterdatatest
