#pragma once

struct ListFormDecl;
struct TableFormDecl;
class TF_TableForm;

// The article form TF_Artikel: one stock of Artikel.db at a time (the
// central stock or an object's), its pages, the import of central articles
// into an object's stock, the record copy, the text modules and the article
// list print.
TableFormDecl ArtikelPagesDecl();
// The same on the list-form host: the rights of function 1 ("Importieren"
// with the export right), the record position, the supplier rows of the
// article and the side tables open while the form is active.
ListFormDecl ArtikelFormDecl();

// The stock the form shows: object id and number, both 0 for the central
// stock. Set by the opener before the form shows.
void SetArtikelFormStock(int objId, int objNr);
int ArtikelFormObjId();

// What the form does each time it comes to the front: the article table
// filtered to the stock, the caption, "Importieren" for an object's stock
// only, and the VAT list of today.
void ShowArtikelStock(TF_TableForm& form);

// The form's actions, callable on an open form.
void ImportArtikelIntoObject(TF_TableForm& form);
void LoadArtikelTextModule(TF_TableForm& form);

// Shows the stock of the object (0, 0: the central stock) with the turnover
// year of today.
void ShowArtikelForm(int objId, int objNr);
