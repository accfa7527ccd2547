#pragma once

#include <QString>
#include <functional>

// What the invoice list gives the invoice run: the print of one invoice, the
// pause between copies and the texts of its counter and print panel. Empty
// functions do nothing (no print, no pause, never cancelled).
struct TInvoiceRunHooks {
    // Prints the invoice with key rId through the layout file of its print
    // form; numberMask shows "*****" for the number (the test print). An
    // error ends the run.
    std::function<void(int rId, bool numberMask, const QString& layoutFile)> printInvoice;
    // Waits the seconds of the print pause; cancellable: "Druck abbrechen"
    // may end the pause (and sets the cancel flag the run asks).
    std::function<void(int seconds, bool cancellable)> pause;
    // Whether "Druck abbrechen" was pressed since the run began (the list
    // clears its flag before it starts a run).
    std::function<bool()> cancelled;
    // The counter label ("  3 Rechnungen verbucht.", "2 von 5 Rechnungen gedruckt").
    std::function<void(const QString&)> showCounter;
    // The print panel's line ("Kopie 1 von 2 wird gedruckt").
    std::function<void(const QString&)> showCopy;
};
