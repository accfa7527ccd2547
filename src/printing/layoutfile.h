#pragma once

// The layout file of a print form ("ORM" + five digits + ".QFD"): a report's
// deviations from its designed layout, one "Key=value" per line in the
// Windows code page, lines ended by CR LF. The writer and the reader are
// held against each other.
//
//   OPTIONS:PRINDEX=-1;OBINFIRST=0;OBINNEXT=0;
//   FormBorderleft=76        page margins in design pixels, 3.8 per millimetre
//   FormBordertop=38 ...
//   FRMTITLE:Kundenliste
//   ==================================================   (before a TQRBand)
//   DetailBand1
//   Parent=QRKundList01
//   Enabled=true
//   Height=17 / Width= / Left= / Top=, then the class's own lines
//   ----------------------------------------

#include "printing/printeroptions.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace report {
class Report;
}

// The whole layout of the report as it stands, with the options and title.
QByteArray WriteFormLayout(const report::Report& report, const QString& title,
                           const PrinterOptionValues& options);

// Applies a layout's lines to the report as the old reader did, quirks kept:
// a line splits at its first "=", the key upper-cased and untrimmed; a key
// containing FORMBORDER is a margin line and one containing OPTIONS the
// options line (read into `options`); any other line names a band or
// printable control, whose block takes the keys of its class up to the first
// foreign key, which is used up; a control goes to the band of the nearest
// band block above it (or keeps its band when there is none). Values out of
// range are clamped, bins outside 0..13 read as 0.
void ReadFormLayout(const QStringList& lines, report::Report& report, PrinterOptionValues& options);
