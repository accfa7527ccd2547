#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

namespace table {
class Field;
}

// The documents of the customer, object or supplier linked to an address,
// as lines for the document viewer, and the two-letter document codes.

// "AN;AU;AR;LS;GS;OP;ER;OE;BE"
extern const QString AllAdressDocCodes;

// The position of code in the code list (0 also when it is not there).
int DocKindIndexOfCode(const QString& code);
QString DocKindNameOfCode(const QString& code);
// "Bewegungsdaten" for "B", "Archivdaten" for any other source code.
QString DocSourceNameOfCode(const QString& code);

// Kinds of the documents of an address.
enum AdressDocKind { DocsOfKunde = 11, DocsOfObjekt = 12, DocsOfLieferant = 13 };

// One line: code ":" source and key as eight digits ":" number ":" date ":" gross.
QString AdressDocumentLine(const QString& code, const QString& source, int id,
                           const QString& number, const QDate& date, double gross);

// Appends the lines of the wanted codes (kinds) to list for the address with
// this number and returns their count; 0 when no such address. A kind other
// than 11, 12, 13 is chosen from the address's links (object, customer,
// supplier, the first linked) and written back.
int CollectAdressDocuments(int adressNr, const QString& kinds, int& kind, QStringList& list);

// Display text of a field holding an address key: the address's number, or
// empty for null, 0 or an unknown key.
void GetAdressNrText(const table::Field* field, QString& text);
