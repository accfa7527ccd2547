#pragma once

#include "core/data/dockinds.h"

#include <QString>

// The pickers: each lets the user choose one master record in the record
// lookup and returns its number, id or text. Left and Top place the dialog on
// the screen; the grid height sizes its list (0: the designed height).
//
// On cancel every integer picker returns its start value, except
// SelectAdress (0); the text pickers their start text, except SelectPlzOrt
// (the empty text); the Boolean pickers return false and leave their in-and-out
// argument unchanged. "&OK" on an empty list counts as cancel.
//
// A sort field passed by reference receives the list's last sort (hand it in
// again next time); one passed by value only sets the start sort.

int SelectAdress(int startNr, int gridHeight, int left, int top, QString& sortField);
int SelectKostart(int startNr, int gridHeight, int left, int top, const QString& sortField);
int SelectPersonal(int startNr, int gridHeight, int left, int top, const QString& sortField);
int SelectDvGroup(int startId, int gridHeight, int left, int top, const QString& sortField);

// Lists inactive objects only while the object form does not filter to
// active objects.
int SelectObjekt(int startNr, int gridHeight, int left, int top, QString& sortField);
int SelectObjektOfKunde(int startNr, int kundeNr, int gridHeight, int left, int top,
                        const QString& sortField);
// Objects of another table with the object fields (a temporary selection).
int SelectObjektFromTable(int startNr, int gridHeight, int left, int top, QString& sortField,
                          const QString& databaseName, const QString& tableName);

int SelectKunde(int startNr, int gridHeight, int left, int top, const QString& sortField);
int SelectLieferant(int startNr, int gridHeight, int left, int top, const QString& sortField);

// With the tour and control texts as previews. A start of 0 opens on the
// first activity whose search term begins with searchText.
int SelectTaetig(int startNr, int gridHeight, int left, int top, const QString& searchText,
                 const QString& sortField);
int SelectTaetigByID(int startId, int gridHeight, int left, int top, const QString& searchText,
                     QString& sortField);

// The object's own articles (object id 0: the central ones).
int SelectArtikel(int startId, int objectId, int gridHeight, int left, int top, QString& sortField);
QString SelectArtikelNr(int objectId, const QString& startArtNo, int gridHeight, int left, int top,
                        QString& sortField);

// One of the supplier's (K_ID) articles by its A_ID; the start id when cancelled.
int SelectLiefArtikelById(int startLiefArtId, int lieferantId, int gridHeight, QString& sortField,
                          int top, int left);

// A document of the source to copy from, never the current one (docNr); with
// an object number other than 0 only that object's. True with docNr set to
// the chosen number. The source must lie in 0 to 255; Left is at most 80.
bool SelectVorlage(TDocSource source, int gridHeight, int left, int top, const QString& unused,
                   const QString& caption, int objectNr, QString& docNr);

// The long name of a unit of measure.
QString SelectMengBez(const QString& startText, int gridHeight, int left, int top,
                      const QString& sortField);
// The object's external services not yet billed.
int SelectFremdleistung(int startId, int objectId, int gridHeight, int left, int top,
                        const QString& sortField);
// Postcode and town as one text "plz|ort", in and out.
QString SelectPlzOrt(const QString& plzOrt, const QString& sortField, int gridHeight, int left,
                     int top);
// An emergency service by its number; the long-lived emergency-service form
// keeps its record and sort.
int SelectNotdienst(int startNr, int left, int top);
// True with id set to the chosen payment term.
bool SelectZahlBed(int& id, int left, int top);

// A VAT rate among the rows valid today ("Mehrwertsteuersatz auswählen"):
// true with the chosen code and its rate and texts as the lookup of today
// gives them; false and nothing changed when cancelled.
bool PickVatRate(int& code, double& rate, QString& shortText, QString& longText, int left, int top);
