#pragma once

#include "core/data/dockinds.h"

#include <QString>

namespace table {
class Table;
}

// Document number texts from the kinds' masks in the company record, and the
// questions whether a number text is already used. The overloads without a
// company table use the data module's TabFirmen.

QString GetNrMask(table::Table& company, TDocKind kind);
QString FormatNrByMask(TDocKind kind, qint64 nr, int year, int month);
// For an invoice with provisional set: "*" and nr (the record key) in six digits.
QString FormatDocNr(TDocKind kind, qint64 nr, int year, int month, bool provisional);
QString FormatDocNr(table::Table& company, TDocKind kind, qint64 nr, int year, int month,
                    bool provisional);
int ParseDocNr(TDocKind kind, const QString& nrText);
int ParseDocNr(table::Table& company, TDocKind kind, const QString& nrText);

// Whether the booking journal lists the text under the kind's record kind.
bool IsNrInRaListe(TDocKind kind, const QString& nrText);
// Whether the head table on the alias holds a record with R_Nr = nrText.
bool DocNrExists(const QString& nrText, const QString& databaseName, const QString& tableName);
bool DocNrExistsInDb(const QString& nrText, const QString& databaseName, const QString& tableName);

// Whether a number typed for the document with key ownId (0: a new one) is used by another
// document: in the head table of the working database (the own record does
// not count) or of the archive, and for invoices also in the booking journal.
bool IsDocNrUsed(TDocKind kind, const QString& nrText, const QString& tableName, int ownId = 0);

// Draws running numbers from the kind's counter until the formatted text is
// used by no document of the working database (nor, for invoices, credit
// notes and incoming invoices, by the journal) and returns it. Gives up with
// a DbError once more numbers were drawn than documents exist, which happens
// only when the mask cannot tell numbers apart.
int NextFreeDocNr(TDocKind kind, int year, int month);
int NextFreeDocNr(table::Table& company, TDocKind kind, int year, int month);
