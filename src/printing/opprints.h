#pragma once

#include <QString>

class QWidget;

namespace report {
struct PrintSettings;
}

// The prints of the open items. The lists take their rows from the open-item
// filter the open-items window set last (OpFilterParams) and read the items
// on cursors of their own: nothing is written and no cursor of a window
// moves. A call while the same print is open does nothing.

// 66000: the filtered items, each followed by its payments, in the order of
// the data module's open-item index; rangeText prints under the title, a
// non-empty title replaces "Rechnungsliste". filter is not used.
void PrintOpListe(bool preview, const QString& filter, const QString& title,
                  const QString& rangeText, const QString& layoutFile, QWidget* parent = nullptr);
// 67000: the payments of the data module's current open item.
void PrintOpZahlungen(bool preview, const QString& layoutFile, QWidget* parent = nullptr);
// 68000 and 69000: the statement of the current item's customer or object,
// the filtered items by date and number. filter and rangeText are not used.
void PrintOpKontoKunde(bool preview, const QString& filter, const QString& rangeText,
                       const QString& layoutFile, QWidget* parent = nullptr);
void PrintOpKontoObjekt(bool preview, const QString& filter, const QString& rangeText,
                        const QString& layoutFile, QWidget* parent = nullptr);

// 50000: the dunning letter of the one-row print table printTable (in
// "LumoDB"). printer: the printer and copies the user chose for a print;
// nullptr keeps the layout's printer. The copies count is 1 again afterwards.
void PrintMahnung(const QString& printTable, bool preview, const QString& layoutFile,
                  QWidget* parent = nullptr, const report::PrintSettings* printer = nullptr);
