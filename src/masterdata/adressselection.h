#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace table {
class Table;
}

// Selection files ".sel": the numbers of marked addresses, each followed by
// ";", a line ended as soon as it grows longer than 80 characters.

// The lines of a selection file for these address numbers.
QStringList SelectionLines(const QList<int>& numbers);
// Takes the number before the first ";" of line (a text that is no number
// counts 0) and removes it with its ";"; without ";" the rest of the line is
// dropped and 0 returned.
int CutSelNumber(QString& line);
// The numbers of a selection file's lines; text after a line's last ";" is
// ignored.
QList<int> SelectionNumbers(const QStringList& lines);

// Sets A_Selected of every address the table's filters let through; the
// position, filters and controls are restored afterwards, also after an error.
void MarkAllAdressen(table::Table& adress, bool mark);
// The number of addresses of the whole table that are marked.
int CountMarkedAdressen();

// Writes the marked addresses' numbers, in key order, into fileName.
// Raises "Es sind keine Sätze markiert!" when none is marked, and a message
// naming the file when it cannot be written. Returns the count written.
int SaveAdressSelection(const QString& fileName);
// Reads fileName, then unmarks every address and marks those whose number
// the file holds, in one transaction; numbers no address holds are skipped.
// A file that cannot be read raises a message naming it, before anything is
// unmarked. Returns the count of addresses marked.
int LoadAdressSelection(const QString& fileName);
