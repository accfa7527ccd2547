#pragma once

#include <QDate>
#include <QString>

// The control report of one object and report date (form types 26000
// summary, 27000 counted, 28000 complete), read from the database that
// ReportDatabaseName names: the head by object and report date, its lines
// by filter ("B_ObjektNr=10 AND B_DruckTermin=31.03.2026", optionally
// " AND B_State>=4"). Object, customer, texts and company come from the
// client's tables; the object's address is replaced by its customer's when
// the object sends its reports there. Without such a head nothing is
// printed and nothing is said. copies: the copies of one print job.
void PrintKberichtSumm(int objektNr, int copies, const QString& filter, const QDate& druckDatum,
                       bool preview, const QString& layoutFile);
void PrintKberichtGezaehlt(int objektNr, int copies, const QString& filter, const QDate& druckDatum,
                           bool preview, const QString& layoutFile);
void PrintKberichtKomplett(int objektNr, int copies, const QString& filter, const QDate& druckDatum,
                           bool preview, const QString& layoutFile);
// The entry of a report mode's form type (26000, 27000, anything else 28000).
void PrintKbericht(int formType, int objektNr, int copies, const QString& filter,
                   const QDate& druckDatum, bool preview, const QString& layoutFile);
