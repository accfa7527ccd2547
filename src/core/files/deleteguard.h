#pragma once

// The rights check that the delete guard asks. The real check of the logged-in
// user's rights installs itself at start-up; tests install a fake.
class RightsChecker {
public:
    virtual ~RightsChecker() = default;
    // Whether the current user may delete records of function FunctionNr;
    // shows the refusal itself when not.
    virtual bool CheckDeleteRight(int functionNr) = 0;
};

// Installs the checker ConfirmDelete asks (nullptr: none). Returns the previous one.
RightsChecker* SetRightsChecker(RightsChecker* checker);

// Passed by every delete of a record: the delete right of FunctionNr, then
// "Möchten Sie den Datensatz löschen?". Returns only when both allow the
// delete; otherwise raises the silent abort. Without an installed checker
// nothing may be deleted: that raises a DbError.
void ConfirmDelete(int functionNr);
