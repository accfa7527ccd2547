#pragma once

class QString;

// The name (P_Name1) of the staff member with that number, found on the data
// module's staff table, whose cursor moves to the staff member; an empty
// text, without a message, when the number does not exist. A closed staff
// table is opened for the call and closed again.
QString GetPersonalName(int staffNr);
