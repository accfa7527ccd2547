#pragma once

// The print forms the program ships: for every form type whose report exists,
// the template client (client 0) holds the user print form type + 1 with its
// layout file, written from the designed layout under the catalogue name, and
// its row. New clients get them with the template's layout directory and the
// import at their activation. What exists is never changed, so a report added
// later gets its form at the next start.

// Writes what is missing; false after a failure, which has been shown (the
// program goes on: a type without a form prints with its shipped layout).
bool EnsureDefaultPrintForms();
