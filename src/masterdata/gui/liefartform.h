#pragma once

struct ListFormDecl;
struct TableFormDecl;
class TF_TableForm;

// The assortment of one supplier, TF_Liefart ("Sortiment [Lieferant n]"):
// the supplier's rows of Liefart.db with its own article numbers and prices.
TableFormDecl LiefArtFormDecl();
// The same on the list-form host: the search line "&Suchen" and its key
// filter, which also judges the typing into the grid; no rights of its own
// and nothing remembered for the data module.
ListFormDecl LiefArtListFormDecl();

// Shows the assortment of the supplier with K_ID lieferantId and K_Nr
// lieferantNr modally; the assortment table is closed again afterwards.
void ShowLiefArtForm(int lieferantId, int lieferantNr);

// The article picker over the central stock behind the grid's article
// number (and the field of the same name while the grid stands in that
// column): a chosen number fills the row from its article.
void ChooseLiefArtArticle(TF_TableForm& form);
