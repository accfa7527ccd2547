#pragma once

struct ListFormDecl;
struct TableFormDecl;

// The key register "Schlüsselverwaltung" (TF_Schluessel) over the data
// module's key table: which key of which object an employee holds since
// when. A double-click or Alt+W on "Objekt", "Pers-Nr" or "Gegeben am" opens
// the object picker, the staff picker or the calendar; each writes only a
// choice that differs from the value it started on. Each activation, also
// after a picker or the calendar, sorts the list by "S-Nr" again.
TableFormDecl SchluesselTableDecl();
ListFormDecl SchluesselFormDecl();

// Opens the register modally on the key table.
void ShowSchluesselForm();
