#pragma once

#include <QList>
#include <QString>

// The rows of the print-form table that a choice of one form type offers.
struct PrintFormRow {
    int id = 0;
    QString fileName;
    QString comment;
};

// The select group of a form type: its thousand (22100 -> 22000).
int PrintFormSelectGroup(int formType);
// The user rows (unprotected; unknown counts as unprotected) whose form type
// lies in the select group of the form type, in id order. Only reads: rows
// the manager or the import made without a stored group are offered too, and
// a row locked at another workstation stands in the way of no print.
QList<PrintFormRow> PrintFormsOfGroup(int formType);
