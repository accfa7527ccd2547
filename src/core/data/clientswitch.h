#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// Selecting, creating and activating a client (0..4) on this workstation.
// The engine needs no window: what it shows on the start-up screen and in the
// main window's title goes through installable hooks.

struct ClientSwitchHooks {
    std::function<void(const QString& step)> showPanel; // start-up screen's client panel
    std::function<void()> hidePanel;
    // The client part of the main window's caption, appended to its fixed part.
    std::function<void(const QString& clientPart)> setTitle;
    std::function<void()> processEvents;
    // Runs once after a switch, creation or reopening has finished, with the
    // client's tables open again.
    std::function<void()> switchDone;
    // Then, for the long-lived forms above the data module that keep tables
    // of the client open (the address book).
    std::function<void()> reopenFormTables;
};
// The hooks in force; empty members do nothing.
ClientSwitchHooks& ClientSwitchHooksRegistry();

// True from the start of a client switch, creation or reopening to its end:
// the client's table objects are being closed and replaced, and nothing may
// touch them.
bool ClientSwitchRunning();

// The client's own directories (data, backup, import/export, letters, forms,
// layouts, archive); the directories all clients share are not among them.
QStringList MandantOwnDirs(int mandant);

// True when the client's data directory holds a database with tables, or a
// damaged one (which is never replaced by a new client).
bool MandantDatabaseExists(int mandant);

// The template data directory (client 0) with its databases, the shipped cost
// types and an empty postal-code table, built when it has no company table
// yet. The path globals are those of MandantNr afterwards. False after a
// failure that has been reported.
bool EnsureTemplateData();

// Builds a new client's directory set and databases, with the cost types and
// postal codes of the template data and its layout, letter and import/export
// directories, complete or not at all; needs the create right of the client
// function. Afterwards the path globals are those of the new client. A failed
// creation removes the client directories it made.
bool CreateMandant(int mandant);
// The same without the right check and with the data module untouched: the
// start-up builds its start client before anyone has logged in.
bool BuildNewMandant(int mandant);

// Copies a template directory into a client's: the layouts only where the
// client lacks them, the letters and import/export definitions as a whole.
// Installed as the start-up's template copier; false after a failure.
bool CopyTemplateDirs(const QString& source, const QString& target);

// Closes the databases and reopens them on MandantNr's directories, upgrading
// after asking when its version is old. False when the client cannot be used.
bool OpenMandant();

// Makes the client the active one (reopening its databases when it is not
// already the active one); falls back to the previous client when that fails.
// Raises ProgramEndRequested when neither can be opened.
void ActivateMandant(int mandant, bool announce);

// Creates the client when missing (asking first for 2..4) and, unless at
// start-up, activates it. At start-up a failed creation is reported and
// raises ProgramEndRequested.
void SelectMandant(int mandant, bool announce, bool atStartup);

// "     ( Mandant 0001 : <company> )" for the active client; without a company
// name "     ( Mandant 0001 )".
QString MandantTitleSuffix();
void RefreshMainTitle();

// The client menu's captions: index = client number.
QStringList MandantCaptions();
