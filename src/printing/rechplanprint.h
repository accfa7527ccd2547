#pragma once

#include <QString>

class QWidget;

// The print of the invoice plan (form type 74000): the rows of the last plan
// run of the recurring-invoice generator in their order, the total row last,
// and "Ende der Liste". title is the plan range ("vom 01.03.2026 bis
// 31.03.2026"). Preview waits until it is closed; a call while the print is
// open does nothing; nothing is written.
void PrintRechplan(bool preview, const QString& title, const QString& layoutFile,
                   QWidget* parent = nullptr);
