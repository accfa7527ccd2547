#pragma once

class QString;

namespace table {
class Table;
}

// Position numbers on a document line table (S_Ref, S_PosNr, S_PosArt,
// S_ID) whose cursor shows the lines of one document.

// Renumbers the lines of the current line's document (see
// RenumberedPosNrs); pending edits are posted first and the cursor returns
// to the line it was on. One transaction: after an error every line keeps
// its old number and a DbError names the failure.
void RenumberPositions(int from, int start, table::Table& lines);

// Rewrites every line's number in its normalized form (numbers written
// before the scaled scheme), as one transaction like RenumberPositions; the
// cursor returns to the line it was on.
void NormalizeAllPosNr(table::Table& lines);

// The level-1 base of the last line of the document headId in the line
// table of the working database (3.02 gives 3000000); 0 without lines.
int LastPosNrBaseOfDocument(const QString& lineTable, int headId);
