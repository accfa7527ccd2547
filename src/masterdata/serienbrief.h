#pragma once

#include <QString>
#include <functional>
#include <optional>

// The serial letter of the address book: one letter file printed to every
// marked address, the sending noted in the addresses' protocols.

// The letter's report entry: one letter for the current row of the data
// module's address table, previewed or printed, with the letter file and the
// layout file (empty: the shipped layout).
using SerienbriefPrint =
    std::function<void(bool preview, const QString& letterFile, const QString& layoutFile)>;

// The printing module installs the letter's entry; until then the address
// book's "Serienbrief" stays disabled. Returns the previous one.
SerienbriefPrint SetSerienbriefPrint(SerienbriefPrint print);
bool IsSerienbriefPrintAvailable();
const SerienbriefPrint& InstalledSerienbriefPrint();

// The serial letter's conversation with the user; the window supplies it,
// tests script it.
struct SerienbriefDialogs {
    // The letter edited in the file editor: its file name, empty when none.
    std::function<QString()> editLetter;
    // The print form of the letters: its layout file (empty for the shipped
    // layout), nothing when none was chosen.
    std::function<std::optional<QString>()> chooseLayout;
    // A Yes/No question; true for Yes.
    std::function<bool(const QString& question)> ask;
    // The one-line subject for the protocol; empty when cancelled.
    std::function<QString()> askSubject;
};

// The protocol's text for a letter sent without subject.
QString SerienbriefDefaultSubject();

// Runs the serial letter over the data module's address table: refuses with
// "Es sind keine Sätze markiert!" when no address of the whole table is
// marked, lets the user edit the letter and choose the print form, previews
// the letter to the first marked address and, once printing is confirmed,
// prints it to every marked address and notes each sending when asked to.
// The table's filter, switch and position come back on every path.
// Returns the number of letters printed.
int RunSerienbrief(const SerienbriefDialogs& dialogs, const SerienbriefPrint& print);
