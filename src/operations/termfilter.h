#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

namespace table {
class Table;
}

// The filters and prints of the appointment window (TermObj.DB): the grid's
// filter by the current row, the appointment list chosen by that filter, and
// the work sheets of one day, one per object.

// The choices of the window's filter box, in its order.
enum class TermFilterChoice { None = 0, Date = 1, Objekt = 2, DateObjekt = 3 };
QStringList TermFilterCaptions(); // "kein Filter", "gewähltes Datum", ...

// The filter text for the choice from the current row's date and object;
// onlyOpen joins "T_Erledigt='false'" with " AND ". Empty: no filter.
QString BuildTermFilter(TermFilterChoice choice, const QDate& date, int objektNr, bool onlyOpen);

// The appointment list a filter choice prints: its form type, the report
// entry and the texts of its subtitle. from and to are the dates of the
// grid's last and first rows, rowDate, objektNr and objName the current row's.
struct TermListPrint {
    int formType = 0;
    QString entry;
    QString dateText;
    QString objektText;
};
TermListPrint TermListPrintOf(TermFilterChoice choice, const QDate& from, const QDate& to,
                              const QDate& rowDate, int objektNr, const QString& objName);

// One work sheet of a day: the object's appointments of that day.
struct TermWorkSheet {
    int objektNr = 0;
    QString filter;     // "T_Objekt=12 AND T_Date=15.11.2024" (+ " AND T_Erledigt='false'")
    QString dateText;   // "15.11.2024"
    QString objektText; // "12 : Wohnanlage Lindenhof"
    QString address;    // "Lindenstraße 4, 10115 Berlin" or "Kein Objekt angegeben"
};

// The work sheets of day: the appointments of that day passing the grid's
// filter (empty: all), in the order of the date index (the latest first,
// within a day by object), one sheet for each object. Read through a cursor
// of its own; no shared table moves.
QList<TermWorkSheet> TermWorkSheetsOfDay(const QString& gridFilter, const QDate& day,
                                         bool onlyOpen);

// The object's address as the work sheet prints it.
QString TermObjektAddress(int objektNr);
