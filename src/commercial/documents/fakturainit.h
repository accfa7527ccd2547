#pragma once

#include <QString>
#include <array>

namespace table {
class Table;
}

// What a document head takes from an object, its customer, its billing
// address, a payment term or a supplier. The caller starts from a cleared
// record before every fill sequence: the routines add to it.
struct TFakturaInitRec {
    // Object block (or the billing address that replaces it).
    QString OMatch;
    QString OName1, OName2, OName3;
    QString OStrasse, OPlz, OOrt;
    QString OTelefon, OFax;
    QString OMemo; // the object's long description
    // Payment term; ZahlBedID 0: none taken yet.
    int ZahlBedID = 0;
    QString ZahlBed;
    double Skonto = 0.0;
    double Skonto2 = 0.0;
    int Tage = 0;
    int Tage2 = 0;
    int NettoTage = 0;
    int KundenNr = 0;
    std::array<QString, 3> AdrZweck;
    // Customer block.
    QString KMatch;
    QString KName1, KName2, KName3;
    QString KStrasse, KPlz, KOrt;
    QString KTel1, KFax;
    std::array<int, 3> AnrID{};
    // Accounting number of the customer or supplier.
    int FibuKonto = 0;
};

// The object block from the object with that number; false (nothing
// changed) when there is none. Takes no payment term.
bool InitFakturaObjektAdresse(int objektNr, TFakturaInitRec& init);
// The object block and the object's payment term O_RgZahlbed1 when it exists.
void InitFakturaObjektBlock(int objektNr, TFakturaInitRec& init);
// The payment term with that id; false (nothing changed) when it does not exist.
bool InitFakturaZahlbed(int zahlbedId, TFakturaInitRec& init);
// The customer's number, block and accounting number (its K_FibuKonto, or its
// number when that is 0); its payment term only when the record has none yet.
void InitFakturaKunde(int kundenNr, TFakturaInitRec& init);
// Object block and term, then the object's customer: the object's term wins.
void InitFakturaObjekt(int objektNr, TFakturaInitRec& init);
// The object's billing address replaces names and address of the object
// block, also where it is empty.
void InitFakturaObjektRg(int objektNr, TFakturaInitRec& init);
// The supplier in place of the customer: number, names, postcode and town in
// the object block, accounting number and payment term.
void InitFakturaLieferant(int lieferantNr, TFakturaInitRec& init);

// Copying the record into a document head: each puts the head into edit
// state and leaves the post to the caller. Fields a head table lacks are
// passed over (head tables of the document kinds differ in a few).
void FillKopfObjekt(table::Table& head, const TFakturaInitRec& init);
void FillKopfZahlbed(table::Table& head, const TFakturaInitRec& init, bool withAccount);
void FillKopfKunde(table::Table& head, const TFakturaInitRec& init);
// The customer's names and address become the head's billing address.
void FillKopfObjektFromKunde(table::Table& head, const TFakturaInitRec& init);
void FillKopfAdrRefs(table::Table& head, const TFakturaInitRec& init);

// The first free invoice-template number of the object: "RV" + number + "_"
// + a counter of at least two digits from 01.
QString NextRgvNr(int objektNr);
