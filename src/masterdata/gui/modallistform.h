#pragma once

struct ListFormDecl;

// Opens a list form that lives only while it is shown (the key register,
// the external services) modally on the data module's shared table: the
// timer work paused, the table and the lists of its pages opened for the
// form and closed again on every path, the record rules' request to show
// the record again answered by the form while it is open. Returns the
// dialog's result.
int OpenListFormModal(const ListFormDecl& decl);
