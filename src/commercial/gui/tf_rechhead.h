#pragma once

#include <functional>
#include <optional>

struct TableFormDecl;

// "Definition Kopf/-Fußtexte" (TF_RechHead): the catalogue of head and foot
// text pairs ("ORgHDef.DB"), maintained in its own cursor, and the choice of
// a pair for a document.

// Opens the catalogue with the pair RH_ID = id current (the last pair when
// there is none). "&OK" or a double-click in the list gives the RH_ID of the
// current pair (0 on an empty catalogue); "A&bbrechen" or closing the window
// gives nothing, so a caller tells a cancel apart from choosing the pair it
// started on and writes R_KFID and the texts only after a choice. The table
// is closed on every path.
std::optional<int> SelectKopfFussText(int id);

// The declaration of the dialog; onChosen receives the pair chosen by
// "&OK" or a double-click.
TableFormDecl RechHeadDeclaration(std::function<void(int)> onChosen);
