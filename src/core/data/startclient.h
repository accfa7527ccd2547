#pragma once

class TDataModule1;

// The start client of a run: its databases ready before the data module opens
// them, with client 1 as the fall-back. No run ever works in the template data.

// Brings the start client MandantNr to the current database version; builds
// it from the template when it has no databases yet. A start client that
// cannot be built gives way to client 1. False when the program must end (the
// reason has been shown); MandantNr and the path globals name the client the
// run works with.
bool PrepareStartMandant();

// Creates the data module on the start client, falling back to client 1 when
// the start client cannot be opened. False when the program must end.
bool OpenStartMandant(TDataModule1& dm);
