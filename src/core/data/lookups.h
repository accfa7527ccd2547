#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

namespace table {
class Table;
}

// One field of one record found by its key or number on a shared table
// object of the data module, with a fixed default when nothing is found or
// the field is null. The found record becomes the object's current record.

// The field's value, invalid when no record matches or the field is null.
// openForCall: a closed object is opened for the call and closed again.
QVariant LocateFieldValue(table::Table& t, const QStringList& keyFields, const QVariantList& keys,
                          const QString& resultField, bool openForCall = false);

int GetTaetigNrById(int id);
int GetObjektIdByNr(int nr);
int GetObjektNrById(int id);
QString GetObjektMatchByNr(int nr);
int GetObjektKundeById(int id);
int GetObjektKundeByNr(int nr);
// Leaves TabObjekt where it is.
int LookupObjektKunde(int nr);
int GetKundeIdByNr(int nr);
void GetKundeKostenstellen(int nr, int& kostenstelle1, int& kostenstelle2, int& zahlart);
bool GetKundeMahnsperre(int nr);
QString GetKundeMatchByNr(int nr);
QString GetKundeBriefAnrede(int nr);
int GetPersonalIdByNr(int nr);
QString GetZeitartLangtext(int type);
int GetArtikelIdByArtNo(int objId, const QString& artNo);
QString GetArtikelArtNoById(int id);
double GetArtikelPreis1(int id);
int GetArtikelObjId(int id);
int GetArtikelKostart(int id);
int GetArtikelHauptLiefId(const QString& artNo);
int GetTaetigKostart(int id);
QString GetZahlIntervText(int id);
QString GetIvDefComment(int defNo);
QString GetLieferantMatchById(int id);
QString GetLieferantMatchByNr(int nr);
int GetLieferantNrById(int id);
int GetLieferantIdByNr(int nr);
int GetLiefArtIdByArtNo(int lieferantId, const QString& artNo);
QString GetLiefArtArtNo(int id);
QString GetLiefArtLiefArtNo(int lieferantId, const QString& artNo);
QString GetLSNrById(int id);
QString GetOpenLSNrById(int id);
double GetLSBrutto(int id);
QString GetVeKurz(int id);
QString GetVeLang(int id);
QString GetVeLangText(int id);
int GetAusfIntervWochen(int id);
// False when the payment term does not exist; the outputs are then left as they were.
bool GetZahlbed(int id, QString& text, double& skonto, int& tage, double& skonto2, int& tage2,
                int& nettoTage);
// The cost type of an external service; 0 also when the table cannot be opened.
int GetFremdLeistKostart(int id);
// A document group's fields; false (kind 0, empty texts) when it does not
// exist. TabDvGroups keeps its current record.
struct DvGroup {
    int kind = 0;
    QString name, mask, prefix, suffix, defaultPath;
};
bool GetDvGroup(int id, DvGroup& group);
// Cost types: whether the number exists (TabKostart, unless in edit, is moved to it), its
// text (the fallback when TabKostart is closed, has no such number or the
// text is null), and the text of a rubric (empty while TabRubrik is closed).
bool KostartExists(int nr);
QString GetKostartText(int nr, const QString& fallback);
QString GetRubrikText(int rubrikNr);
QString GetPlzById(int id);
QString GetOrtById(int id);

// The first open delivery note of the object of the given kind: its id, and its number in nr.
int FindOpenLSOfObjekt(int objektNr, int lsTyp, QString& nr);
// "postcode|town": the row with both, else the first of the postcode, else of the town; 0 when
// none.
int FindPlzId(const QString& plzAndOrt);
// The object's times in the tour; both 0 when the object is not in the tour.
void GetTourObjektZeiten(int tourNr, int objektNr, QVariant& von, QVariant& bis);
// The rows the master objects show at the moment (objects, customers, suppliers, staff, services).
int CountMasterRecords();
