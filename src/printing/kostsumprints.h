#pragma once

#include <QString>

class QWidget;

// The prints of the cost views over the cost statistics: by cost type with
// the objects under each (form type 58000) and by object with the cost types
// under each (59000). filter selects the heads of the period
// (KostsumPeriod::headFilter), dateText is today's date "dd.mm.yyyy",
// periodText names the period ("Gesamtzeitraum", "Jahr 2026", "Monat
// 3/2026"). The main store is named "Hauptlager" on the object side, cost
// type 0 "ohne Kostenzuordnung" on the cost-type side. A call while the
// same report is open does nothing; nothing is written.
void PrintKostSumKostart(const QString& filter, const QString& dateText, const QString& periodText,
                         bool preview, const QString& layoutFile, QWidget* parent = nullptr);
void PrintKostSumObjekt(const QString& filter, const QString& dateText, const QString& periodText,
                        bool preview, const QString& layoutFile, QWidget* parent = nullptr);
