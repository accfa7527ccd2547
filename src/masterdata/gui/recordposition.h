#pragma once

class TF_TableForm;

// "Datensätze:" and "Satznummer:" beside the navigator: the form table's
// record count and the current record's number, each right-aligned in five
// characters, kept up to date as the table moves.
void AddRecordPosition(TF_TableForm& form);
