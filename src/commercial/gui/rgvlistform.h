#pragma once

// "Rechnungsvorlagen": the invoice template list, opened from "Datenbanken ›
// Rechnungsvorlagen" and from the invoice form's "RGV". Prints read the
// templates while it is open; the rights of function 64 apply. Returns when
// the list is closed; its tables are closed on every path.
void ShowRgvListForm();
