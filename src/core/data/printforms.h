#pragma once

#include <QString>

// The print-form table "QrFrmDef.DB" of the client database: one row per
// print form, ids grouped by form type in hundreds. Each call reads through a
// cursor of its own on the alias "LumoDB".

bool PrintFormExists(int formId);
// The form's comment (its name for the user); empty when there is no such row.
QString GetPrintFormComment(int formId);
// The lowest user (unprotected) form id of a form type; 0 when there is none.
// A form whose protection is unknown counts as protected.
int FirstUserPrintForm(int formType);
// The first user form of a document kind's form type (invoices for kinds
// without one of their own).
int DefaultPrintFormOfKind(int docKind);
// Whether two ids lie in the same hundred; a cancelled choice (0) never
// matches a real form type.
bool SameFormType(int formIdA, int formIdB);
