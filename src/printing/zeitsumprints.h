#pragma once

#include <QString>

class QWidget;

// The prints of the monthly time views, each over the work table the
// calling view filled (its name in the client database):
// - the month lists, one row per object (form type 60000) or employee
//   (62000) with the hours and costs of the eight time types and their
//   total, summed under every column whichever columns the layout shows;
// - the detail lists of one object (61000) or employee (63000): the time
//   records that the filter selects, from the archive database when
//   fromArchive, with the view's sums row of the work table below them.
// Text arguments: periodText / monthText "Monat 3/2026", filter
// "Z_ObjNr=10 AND Z_Datum>=01.03.2026 AND Z_Datum<=31.03.2026", the
// master's number as text and its search name. A call while the same
// report is open does nothing; nothing is written.
void PrintZeitSumObjMonat(const QString& workTable, const QString& periodText, bool preview,
                          const QString& layoutFile, QWidget* parent = nullptr);
void PrintZeitSumPersMonat(const QString& workTable, const QString& periodText, bool preview,
                           const QString& layoutFile, QWidget* parent = nullptr);
void PrintZeitSumObjDetail(const QString& workTable, const QString& monthText,
                           const QString& filter, const QString& objNrText, const QString& objName,
                           bool fromArchive, bool preview, const QString& layoutFile,
                           QWidget* parent = nullptr);
void PrintZeitSumPersDetail(const QString& workTable, const QString& monthText,
                            const QString& filter, const QString& persNrText,
                            const QString& persName, bool fromArchive, bool preview,
                            const QString& layoutFile, QWidget* parent = nullptr);
