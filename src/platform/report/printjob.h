#pragma once

// Sends finished pages to a printer of the printer system, with the progress
// window "Druckfortschritt" unless the settings switch it off.

class QWidget;

namespace report {

struct Document;
struct PrintSettings;

enum class PrintOutcome { Printed, Cancelled };

// A printer that refuses the job raises DbError with a German message; a job
// the user cancels in the progress window is aborted and reported as such.
PrintOutcome printDocument(const Document& document, const PrintSettings& settings,
                           QWidget* parent = nullptr);

} // namespace report
