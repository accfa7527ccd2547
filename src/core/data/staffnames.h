#pragma once

class QString;

// The name (P_Name1) of the staff member with that number, read through a
// cursor of its own: the data module's staff table neither moves nor runs
// its scroll rules, so an edit pending there stays as it is. An empty text,
// without a message, when the number does not exist.
QString GetPersonalName(int staffNr);
// The match code (P_Match) of the staff member with that number, read the
// same way; an empty text when the number does not exist. Documents keep it
// as the person in charge (R_Betreuer).
QString PersonalMatchOfNr(int staffNr);
