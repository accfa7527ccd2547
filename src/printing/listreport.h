#pragma once

// The list kind: one generator turns a list description (listdescription.h)
// into a full report definition with the frame every master-data list
// shares. A4 portrait, printed also when empty; page header with the
// company's list head, title band (first page) with the bold title, "Datum:"
// and the print date, column header with the bold captions, the detail,
// "Ende der Liste" in the summary and "Seite" with the page number in the
// page footer.
//
// Control names are stable, because users' layout files address controls by
// name; one rule gives them:
//   - a data control is named after its field (a looked-up field after the
//     field of the other table), its caption "L_" + the field;
//   - a label of its own is "L_" + the letters and digits of its caption
//     (ä, ö, ü, ß written ae, oe, ue, ss);
//   - the frame: F_REListenkopf, L_Titel, L_Datum, QRSysDatum, QRSysZeit,
//     L_Ende, L_Seite, QRExprSeite, QRImage1, L_Reserve1 ... L_Reserve30;
//   - bands: PageHeaderBand1, TitleBand1, ColumnHeaderBand1, DetailBand1,
//     ChildBand1 (the detail's optional fields), QRGroup1, SubDetail1,
//     ChildBand2 (the sub-detail's optional fields), SummaryBand1,
//     PageFooterBand1;
//   - a name already taken gets "_2", "_3", ... in the order the controls
//     are laid out (the list head in the title band is F_REListenkopf_2).

#include <QByteArray>
#include <QString>

struct ListDescription;

// The beforePrint hook of the bands of optional fields: they print only
// when a layout has enabled one of their controls.
inline constexpr const char* kOptionalBandHook = "OptionalFieldsBeforePrint";

// Raises DbError naming the description for a line wider than the page.
QByteArray BuildListReport(const ListDescription& description);

// The descriptions of a directory (resource directories such as ":/lists"):
// their reports are registered with the report engine, and the entries find
// them by form type. Read the first time either is asked for.
void AddListDirectory(const QString& directory);
// Raises DbError when no list has that form type.
const ListDescription& ListDescriptionOf(int formType);
