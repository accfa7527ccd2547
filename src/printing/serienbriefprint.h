#pragma once

#include <QString>

// The serial letter (form type 80000, report TQRAnschreib01 "Serienbrief"):
// one letter to the current row of the data module's address table, with
// the letterhead, the sender line, the recipient's address and salutation,
// the print date and the text of a rich-text letter file.
//
// Previews or prints it with the layout file (empty: the shipped layout).
// The company logo goes into F_Logo only when the design shows it, before
// the layout (which may switch it on or off); without a logo it is switched
// off. A call while a letter is still open in its preview returns at once.
// A letter file that cannot be read or holds no rich text raises
// "Die Briefdatei %1 kann nicht gelesen werden." before anything is shown.
void PrintSerienbrief(bool preview, const QString& letterFile, const QString& layoutFile);
