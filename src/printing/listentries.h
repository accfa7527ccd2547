#pragma once

// The print entries of the master-data lists. Each prints its list (preview:
// shows it and returns when the preview is closed; else prints at once) with
// the layout file of the chosen print form (empty: the shipped layout). A
// call while the same list is printing does nothing. Errors (a missing table,
// an index the table lacks) reach the caller after everything was closed.

#include <QString>
#include <QStringView>
#include <optional>

void PrintObjList(bool preview, const QString& layoutFile);
void PrintObjTaetig(int objektNr, bool preview, const QString& layoutFile);
void PrintObjAdressen(bool preview, const QString& layoutFile);
// The table named (customers or suppliers, the same layout) in the order of
// the data module's customer table when the name is the customer table's,
// else the supplier table's; with its filter when useFilter.
void PrintKundList(bool preview, bool useFilter, const QString& tableName,
                   const QString& layoutFile);
void PrintArtList(bool preview, int lagerNr, const QString& layoutFile);
void PrintPersList(bool preview, const QString& layoutFile);
void PrintTaetigList(bool preview, const QString& layoutFile);
void PrintAdressList(bool preview, const QString& layoutFile);
void PrintAdrProto(bool preview, const QString& layoutFile);
void PrintAdrJour(bool preview, const QString& layoutFile);
void PrintTourList(bool preview, const QString& layoutFile);
void PrintTourObj(int tourNr, bool preview, const QString& layoutFile);
void PrintSchluesselList(bool preview, const QString& layoutFile);
void PrintNotdienstList(bool preview, const QString& layoutFile);
void PrintMieterList(bool preview, const QString& layoutFile);
void PrintFirmendaten(bool preview, const QString& layoutFile);
void PrintBankList(bool preview, const QString& layoutFile);
void PrintKrKassList(bool preview, const QString& layoutFile);
void PrintMengEhList(bool preview, const QString& layoutFile);
void PrintMwstList(bool preview, const QString& layoutFile);
void PrintFremdlst(bool preview, const QString& layoutFile);
void PrintZahlartList(bool preview, const QString& layoutFile);
void PrintZahlbedList(bool preview, const QString& layoutFile);
void PrintZahlIntervList(bool preview, const QString& layoutFile);
void PrintKostartList(bool preview, const QString& layoutFile);
void PrintLiefArt(bool preview, int lieferantNr, const QString& lieferantName,
                  const QString& layoutFile);
void PrintRgIntervList(bool preview, const QString& layoutFile);
void PrintZeitartList(bool preview, const QString& layoutFile);
void PrintObjNotdienst(int objektNr, bool preview, const QString& layoutFile);
// The supplier list always in the order (and with the filter) of the data
// module's supplier table, whatever table it prints.
void PrintLiefList(bool preview, bool useFilter, const QString& tableName,
                   const QString& layoutFile);

// The extra arguments of the entries, for callers that reach an entry by its
// name. What is unset comes from where the windows take it: the object and
// the tour where the data module's object and tour tables stand, the
// supplier where its supplier table stands, that table's and the customer
// table's own names.
struct ListEntryArgs {
    std::optional<int> objektNr;
    std::optional<int> tourNr;
    bool useFilter = false;
    std::optional<QString> tableName;
    int lagerNr = 0;
    std::optional<int> lieferantNr;
    std::optional<QString> lieferantName;
};

using ListEntry = void (*)(bool preview, const QString& layoutFile, const ListEntryArgs& args);
// nullptr for a name that is no list entry.
ListEntry FindListEntry(QStringView name);
