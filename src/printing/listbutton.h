#pragma once

// A print or preview button of a master-data window that prints a list, as
// its window declares it: the print-button protocol for the form type, then
// the list's entry (by name) with the preview switch, the layout path and
// the window's arguments. A cancelled or unusable choice prints nothing.

#include "printing/listentries.h"
#include "printing/printprotocol.h"

#include <QList>
#include <QString>
#include <functional>

struct ListPrintButton {
    // The type offered; a window whose type follows its visible page passes
    // the one that page prints.
    int formType = 0;
    // The entry; empty: the form type's own.
    QString entry;
    int tag = 0; // bit 0: preview
    PrintVariant variant = PrintVariant::A;
    // When set, the chosen form's hundred picks the list among these types
    // (each printed by its own entry); any other choice prints nothing.
    QList<int> dispatchTypes;
    ListEntryArgs args;
    // When set, "<logName> IN" and "<logName> OUT" go to the log around the
    // printing of a chosen form.
    QString logName;
    // Runs before the protocol and may set arguments; the step it returns
    // undoes it afterwards, on every path.
    std::function<std::function<void()>(ListEntryArgs&)> around;
};

void RunListPrintButton(const ListPrintButton& button, const PrintFormChoosers& choosers);
