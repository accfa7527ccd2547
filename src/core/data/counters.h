#pragma once

namespace table {
class Table;
}

// The number counters of the company record (one per document kind, holding
// the next number to hand out) and the minimum numbers of the master tables.
// The overloads without a table work on the data module's TabFirmen.

// Takes the counter's number and stores it plus one in one write
// transaction, so two workstations never draw the same number. A code without
// counter gives 0 and changes no counter (the record is still posted).
//
// The counter is read and stored in one short write transaction on the
// stored company record, so a form that holds the record in edit (here or on
// another workstation) does not stop it; a busy database is tried again a few
// times before a German message.
int TakeNextNr(table::Table& company, int code);
int TakeNextNr(int code);
// Gives the last number back: a counter above 0 is lowered by one.
void PutBackNr(table::Table& company, int code);
void PutBackNr(int code);

int TakeAngebotNr();
int TakeAuftragNr();
int TakeRechnungNr();
int TakeGutschriftNr();
int TakeLieferscheinNr();
int TakeEingangsrechnungNr();
void PutBackAngebotNr();
void PutBackAuftragNr();
void PutBackRechnungNr();
void PutBackGutschriftNr();
void PutBackLieferscheinNr();
void PutBackEingangsrechnungNr();
void PutBackBestellungNr();

// Minimum numbers: the field's value, 1 when it is null.
int GetMinNr(table::Table& company, const char* fieldName);
int GetMinNrKunden();
int GetMinNrArtikel();
int GetMinNrTaetig();
int GetMinNrPersonal();
int GetMinNrObjekt();
int GetMinNrTour();
int GetMinNrKostart();
int GetMinNrLieferant();
int GetMinNrNotdienst();
int GetMinNrAdress();

// The first address number at or above the minimum that no address holds.
int ProposeAdressNr();
