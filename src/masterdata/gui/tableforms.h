#pragma once

#include <QList>

struct ListFormDecl;
struct TableFormDecl;

// Every declared table form of the master data, for the declaration test
// (each field in its table, mnemonics unique per page, each print form type
// among the print forms). A new form adds its declaration here.
QList<TableFormDecl> TableFormDecls();

// The list forms that live only while they are shown (opened modally),
// for the same test; the long-lived ones are ListFormDecls() (listforms.h).
QList<ListFormDecl> ModalListFormDecls();
