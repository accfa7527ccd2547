#pragma once

#include <QString>

class QWidget;

// The print of a turnover statistics window (form type 47000, report
// TQR_UmsStat) over its work table in the given index, limited to the key
// unless the key text is empty or 0. Amounts of credit notes print red, those
// of kind 1 green outside the supplier mode; the sums add outgoing invoices
// and subtract every other kind, except in the supplier mode, which adds all.
// A call while the report is open does nothing.
void PrintUmsStat(const QString& tableName, const QString& indexName, const QString& keyText,
                  const QString& nameText, const QString& fromText, const QString& toText,
                  const QString& layoutFile, bool supplierMode, bool preview,
                  QWidget* parent = nullptr);
