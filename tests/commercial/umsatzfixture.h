#pragma once

#include "core/data/clientdbfixture.h"

#include <QDate>
#include <QVariant>

namespace umsatztest {

using namespace Qt::StringLiterals;

// A client with a few booked and current documents of February 2024:
//   journal    J1 AR obj 10 / kd 100  119.00    J2 GS obj 10 / kd 100  23.80
//              J3 ER lief 500          50.00    J4 AR obj 11 (inactive) / kd 101  100.00
//              J5 AR obj 10, March    999.00    J6 AR obj 12 / kd 101 no date  10.00
//              J7 kind 1, lief 500     70.00
//   invoices   R1 obj 10 / kd 100  59.50        R2 obj 12 / kd 101 no date  5.00
//   credit     G1 obj 12 / kd 101  11.90
//   incoming   E1 lief 500  30.00               E2 lief 501, January  40.00
// Objects 10 and 12 are active, 11 not; customers 100 and 101; suppliers 500 and 501.
class UmsatzFixture : public datatest::ClientDbFixture {
protected:
    void SetUp() override {
        ClientDbFixture::SetUp();
        const QDate none;
        journal(1, u"J1"_s, 0, 10, 100, QDate(2024, 2, 10), 100.00, 19.00, 119.00);
        journal(2, u"J2"_s, 2, 10, 100, QDate(2024, 2, 15), 20.00, 3.80, 23.80);
        journal(3, u"J3"_s, 3, 0, 500, QDate(2024, 2, 20), 42.02, 7.98, 50.00);
        journal(4, u"J4"_s, 0, 11, 101, QDate(2024, 2, 5), 84.03, 15.97, 100.00);
        journal(5, u"J5"_s, 0, 10, 100, QDate(2024, 3, 1), 839.50, 159.50, 999.00);
        journal(6, u"J6"_s, 0, 12, 101, none, 8.40, 1.60, 10.00);
        journal(7, u"J7"_s, 1, 0, 500, QDate(2024, 2, 12), 58.82, 11.18, 70.00);
        head(u"Rechkopf.DB"_s, 1, u"R1"_s, 10, 100, QDate(2024, 2, 28), 50.00, 9.50, 59.50);
        head(u"Rechkopf.DB"_s, 2, u"R2"_s, 12, 101, none, 4.20, 0.80, 5.00);
        head(u"Gskopf.DB"_s, 1, u"G1"_s, 12, 101, QDate(2024, 2, 1), 10.00, 1.90, 11.90);
        head(u"ERKopf.DB"_s, 1, u"E1"_s, 0, 500, QDate(2024, 2, 29), 25.21, 4.79, 30.00);
        head(u"ERKopf.DB"_s, 2, u"E2"_s, 0, 501, QDate(2024, 1, 31), 33.61, 6.39, 40.00);
        master(u"Objekte.DB"_s, u"O"_s, 10, u"Bürohaus Nord"_s, true);
        master(u"Objekte.DB"_s, u"O"_s, 11, u"Altbau Süd"_s, false);
        master(u"Objekte.DB"_s, u"O"_s, 12, u"Lager West"_s, true);
        master(u"Kunden.DB"_s, u"K"_s, 100, u"Meier GmbH"_s);
        master(u"Kunden.DB"_s, u"K"_s, 101, u"Schulz KG"_s);
        master(u"Liefrnt.DB"_s, u"K"_s, 500, u"Putzmittel AG"_s);
        master(u"Liefrnt.DB"_s, u"K"_s, 501, u"Leitern Lenz"_s);
    }

    void journal(int id, const QString& nr, int kind, int obj, int kd, const QDate& date,
                 double netto, double mwst, double brutto) {
        addRow(u"raliste.db"_s, {{u"R_ID"_s, id},
                                 {u"R_Nr"_s, nr},
                                 {u"R_Satzart"_s, kind},
                                 {u"R_ObjektNr"_s, obj},
                                 {u"R_OMatch"_s, u"Objekt %1"_s.arg(obj)},
                                 {u"R_KundenNr"_s, kd},
                                 {u"R_KMatch"_s, u"Kunde %1"_s.arg(kd)},
                                 {u"R_Buchtext"_s, QString(u"Buchung "_s + nr)},
                                 {u"R_DatumDruck"_s, date.isValid() ? QVariant(date) : QVariant()},
                                 {u"R_Netto"_s, netto},
                                 {u"R_Mwst"_s, mwst},
                                 {u"R_Mwst1"_s, mwst},
                                 {u"R_Brutto"_s, brutto}});
    }
    void head(const QString& table, int id, const QString& nr, int obj, int kd, const QDate& date,
              double netto, double mwst, double brutto) {
        QList<std::pair<QString, QVariant>> values{
            {u"R_ID"_s, id},
            {u"R_Nr"_s, nr},
            {u"R_KundenNr"_s, kd},
            {u"R_KMatch"_s, u"Kunde %1"_s.arg(kd)},
            {u"R_DatumDruck"_s, date.isValid() ? QVariant(date) : QVariant()},
            {u"R_Netto"_s, netto},
            {u"R_Mwst"_s, mwst},
            {u"R_Brutto"_s, brutto}};
        if (obj != 0) {
            values.append({u"R_ObjektNr"_s, obj});
            values.append({u"R_OMatch"_s, u"Objekt %1"_s.arg(obj)});
        }
        addRow(table, values);
    }
    void master(const QString& table, const QString& prefix, int nr, const QString& match,
                bool active = true) {
        QList<std::pair<QString, QVariant>> values{
            {prefix + u"_ID"_s, nr}, {prefix + u"_Nr"_s, nr}, {prefix + u"_Match"_s, match}};
        if (prefix == u"O"_s)
            values.append({u"O_Aktiv"_s, active});
        addRow(table, values);
    }
};

} // namespace umsatztest
