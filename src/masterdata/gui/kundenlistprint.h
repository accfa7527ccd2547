#pragma once

#include "platform/table/tabledef.h"

#include <QString>
#include <QVariant>

// A report prints at most this many rows: a longer customer list prints the
// range from the current row to the row this many rows further on.
inline constexpr int kMaxReportRows = 800;

// The information shown before such a range is printed.
QString TooManyCustomersText(int count);

// "K_Nr>=5 AND K_Nr<=805", "K_Ort>='Bad Honnef' AND K_Ort<='Köln'": the rows
// whose field lies between two values, written in the filter language with
// texts quoted (quotes doubled), numbers as plain decimals and dates as
// dd.mm.yyyy; a null number counts as 0, a null text as the empty text.
QString RangeFilterText(const QString& field, table::FieldType type, const QVariant& first,
                        const QVariant& last);
