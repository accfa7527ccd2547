#pragma once

#include <QString>

class QWidget;

// "&RA-Liste" of the invoice, credit-note and incoming-invoice lists: the
// period and scope (AskRaListePeriod, kind preset), the period and print
// time texts of the list, the journal rows of the period marked and all
// others unmarked, the print form of type 37000 chosen over the middle of
// the main window, and the preview of the outgoing-invoice list in the
// order of indexName (the calling list's index) for the chosen scope.
void RunRaListeButton(QWidget* window, int presetKind, const QString& indexName);
