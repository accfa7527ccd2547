#pragma once

// Makes the print buttons that the table forms declare (form type, entry,
// tag) print their lists: the print-form choice at the form, then the entry
// with the preview switch of the button's tag and the chosen layout.
void InstallListPrinting();
