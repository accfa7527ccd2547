#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The lines of the document viewer of an address: "kind code:source and
// key:number:date:gross" (AdressDocumentLine), split by character positions
// as the viewer's grid takes them.
struct DocViewRow {
    QString code;   // two letters: "AN", "AU", "AR", "LS", "GS", "OP", "ER", "OE", "BE"
    QString source; // nine characters: "B" or "A" and the head's R_ID in eight digits
    QString number, date, amount;

    // "B" for the working database, anything else the archive.
    QString sourceCode() const { return source.left(1); }
    // The head's R_ID: the source's characters 2 to 9 as a number, 0 when none.
    int key() const;
    bool fromArchive() const { return sourceCode() != QStringLiteral("B"); }
};

// The first two characters are the code; three further on the nine of the
// source; ten further on the number up to the next ":", then the date up to
// the next ":", the rest the amount. A line without ":" gives no row.
QList<DocViewRow> ParseDocViewLines(const QStringList& lines);

// What the viewer previews per kind code: the head table as the data module
// names it, the form type, and the invoice print source the preview needs
// (-1: none). A code outside the list counts as an offer.
struct DocViewKind {
    QString code;
    QString headTable;
    int formType = 0;
    int printSource = -1;
};
const DocViewKind& DocViewKindOf(const QString& code);
