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
// Writes into every user (unprotected; unknown counts as unprotected) row the
// select group of its form type, so rows added without one are offered too.
// System rows keep theirs. Errors of the table (a locked row) reach the caller.
void RefreshPrintFormGroups();
// The rows whose select group is that of the form type, in id order.
QList<PrintFormRow> PrintFormsOfGroup(int formType);
