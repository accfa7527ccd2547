#pragma once

#include <QColor>
#include <QString>

class QWidget;

// The monthly plans of the tour overview (73000 tours, 72000 objects, 71000
// activities), landscape, one row per entry of the print table (read in its
// index "Sort") and one cell per day. The table belongs to the caller, who
// drops it afterwards. A call while the plan is open does nothing.
void PrintMonList(int jahr, int monat, const QString& printTableName, bool preview,
                  const QString& layoutFile, QWidget* parent = nullptr);
void PrintMonObj(int jahr, int monat, const QString& tourText, const QString& printTableName,
                 bool preview, const QString& layoutFile, QWidget* parent = nullptr);
void PrintMonTaetig(int jahr, int monat, const QString& tourText, const QString& objektText,
                    const QString& printTableName, bool preview, const QString& layoutFile,
                    QWidget* parent = nullptr);

// A day cell as the plans print it: its text and background.
struct MonPlanCell {
    QString text;
    QColor background;
};
// Tour and object plans: the number on yellow, "-" on the calendar colour
// (white, light blue on weekends, grey for a day the month lacks).
MonPlanCell MonPlanNumberCell(int jahr, int monat, int day, const QString& value);
// Activity plan: the letter of the character code in its colour; a blank is "-".
MonPlanCell MonPlanLetterCell(int jahr, int monat, int day, const QString& value);
