#pragma once

#include <QString>

namespace table {
class Table;
}

// Dunning letters of the open items: the level O_Mahnungen counts the
// letters written for an item.

// "Mahnen" may go on for the current item: not settled, the customer
// without dunning block, and the user agreed. Tells why not.
bool MayWriteDunning(table::Table& item);
// The level of the next letter: the current level (empty counts 0) plus one.
int NextDunningLevel(table::Table& item);
// WordDir + "Mahnung1.rtf" to "Mahnung3.rtf"; every level from 3 on takes the third.
QString DunningTemplateFile(int level);
// The letter of one item and level: WordDir + "Mng" + the number without
// "*" (characters no file name can hold become "_") + the level (from level
// 10 on after a "_", so that no two items share a letter) + ".rtf".
QString DunningLetterFile(const QString& nr, int level);
// The level after the letter was closed with "S&chließen".
void SetDunningLevel(table::Table& item, int level);
// The pop-up correction: after the question the level moves by delta, never
// below 0. False when the user declined.
bool ChangeDunningLevel(table::Table& item, int delta);

// The print table of one dunning letter: made in the client database under a
// free temporary name (never one another workstation took meanwhile), with
// one row holding the item's values, and dropped again when this object
// goes, on every path.
class TDunningPrintTable {
public:
    TDunningPrintTable();
    ~TDunningPrintTable();
    TDunningPrintTable(const TDunningPrintTable&) = delete;
    TDunningPrintTable& operator=(const TDunningPrintTable&) = delete;

    // Creates the table and writes its row from the current item; false after
    // "Temporäre Datei kann nicht erzeugt werden" (the letter stays empty).
    bool create(table::Table& item);
    // Puts the letter into the row: the letter file when it exists, else the
    // template, read through the RTF codec with its dunning markers replaced
    // by the row's values. A file that cannot be read leaves the letter empty
    // after the file error; false then.
    bool loadLetter(const QString& letterFile, const QString& templateFile);
    // Keeps the letter as it stands in the row in letterFile, replacing an
    // earlier one; a file that cannot be written is named in an error
    // message and false comes back.
    bool saveLetter(const QString& letterFile);
    // The table's name as the print and the editor open it; empty before create.
    const QString& name() const { return m_name; }
    // Drops the table now; an error goes to the caller.
    void drop();

private:
    QString m_name;
};
