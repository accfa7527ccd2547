#pragma once

struct TableFormDecl;

// The key register "Schlüsselverwaltung" (TF_Schluessel) over the data
// module's key table: which key of which object an employee holds since
// when. A double-click or Alt+W on "Objekt", "Pers-Nr" or "Gegeben am" opens
// the object picker, the staff picker or the calendar; each writes only a
// choice that differs from the value it started on, and the list is sorted
// by "S-Nr" again afterwards.
TableFormDecl SchluesselTableDecl();
