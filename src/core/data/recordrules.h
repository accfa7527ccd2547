#pragma once

#include <QString>
#include <QVariant>
#include <functional>
#include <vector>

class TDataModule1;

namespace table {
class Table;
}

// The record rules of the data module's shared table objects, described per
// table as data (key, number, proposal, stamps, dependent tables) and bound
// to the objects' events by one mechanism. A renumber or delete cascade runs
// in the same transaction as the record's own post or delete: when any step
// fails, nothing is changed and the record keeps its state.

// What a cascade does with a dependent row that holds the master's value.
enum class CascadeAction {
    Replace, // the old number becomes the new one (renumber)
    SetZero, // the reference is cleared (delete)
    Delete,  // the row is deleted (delete)
    // The rows are deleted through the shared table object named in `refresh`,
    // so that its own delete rules run; a row they keep makes the whole delete fail.
    DeleteThroughShared,
};

struct CascadeStep {
    QString file;  // dependent table file
    QString field; // the field that holds the master's number or key
    CascadeAction action = CascadeAction::Replace;
    bool byKey = false; // matches the master's key instead of its number
    QString line;       // message-list line after the step; empty: none
    QString refresh;    // shared table object shown with the rows; refreshed when open
    bool counts = true; // part of the dependant count that decides the question
    // DeleteThroughShared: why the delete fails when a row is kept; empty: a general text.
    QString keptText;
};

struct NumberedTableRules {
    QString tableObject; // "TabKunden"
    int createRight = 0; // 0: no create right checked
    QString keyField;
    QString numberField; // empty: the table has no number
    std::function<int()> propose;
    std::function<void(table::Table&)> defaults;
    QString stampAccessField, stampUserField;
    bool checkNumberBeforePost = false;
    // Only a missing number (null or 0) is refused before post, shown as an error box.
    bool refuseZeroNumberBeforePost = false;
    bool checkNumberOnChange = false;
    // The change rule's text for 0; empty: the same as for a taken number.
    QString zeroOnChangeText;
    bool askBeforeRenumber = true; // false: dependants are carried without a question
    bool skipQuestionWhileImport = true;
    bool skipCascadeWhileImport = false;
    std::vector<CascadeStep> renumber;
    std::vector<CascadeStep> onDelete;
    // Rows of these steps are removed after every delete, also without question.
    std::vector<CascadeStep> alwaysOnDelete;
    // Replaces the post error of a number clash; empty: the engine's error.
    QString numberTakenText;
    // The clash is shown as an error box and the post aborted silently,
    // instead of setting the number back and raising.
    bool postErrorShowAndAbort = false;
    // Numbers below this are refused like a missing number.
    int lowestNumber = 1;
    // The number field's change rule shows this text for 0 or a taken number
    // and sets the remembered number back; otherwise it posts the record at
    // once (its question and cascade then run). Empty: no such rule.
    QString invalidNumberText;
    // Logged before a renumber cascade, followed by "<old>-><new>".
    QString renumberLogPrefix;
    // Change rules of single fields, run while editing and not while a new
    // record is being filled.
    std::vector<std::pair<QString, std::function<void(table::Table&)>>> fieldRules;
    // Runs after every scroll (the current record as last read).
    std::function<void(table::Table&)> afterScroll;
    // Runs after the table was opened.
    std::function<void(table::Table&)> afterOpen;
    // Runs before a post, after the number checks; refuses by raising.
    std::function<void(table::Table&)> postCheck;
    // Runs first before a delete; refuses by raising.
    std::function<void(table::Table&)> deleteCheck;
    // The delete guard's function number (delete right and question); 0: none.
    int confirmDeleteFunction = 0;
    // The field object an open form focuses once a new record is filled; empty: none.
    QString focusOnNew;
    // The field object an open form focuses before a number error is raised; empty: none.
    QString focusOnNumberError;
    // Sets the number back after a failed post, for tables whose number is
    // not an integer field; empty: the remembered number goes back into numberField.
    std::function<void(table::Table&)> resetNumber;
    // The cascades show the message list; a renumber or delete that changed
    // dependants then ends with its notice (unless cascades are quiet).
    bool cascadeMessageList = true;
    bool closingNotice = true;
    // The form is told after every scroll (recordShown), and with
    // alsoOnEditAndPost before an edit and after a post too.
    bool formShowsRecord = false;
    bool formShowsRecordAlsoOnEditAndPost = false;
};

// On: the cascades end without a notice. A program-wide switch, on.
extern bool QuietCascades;

// Callbacks of forms that do not exist yet; empty ones behave as if the form were closed.
struct RecordRuleHooks {
    // The create right check; empty: the logged-in user's rights.
    std::function<bool(int functionNr)> checkCreateRight;
    // Moves the input focus of an open form to the named field object.
    std::function<void(const QString& fieldObject)> focusField;
    // The pickers of the object and tour forms for a typed emergency-service
    // or object number that does not exist: the number chosen, 0 for none.
    std::function<int(int typed)> selectNotdienst;
    std::function<int(int typed)> selectTourObjekt;
    // The form of the table object shows its current record again (record
    // position and what the form derives from the record).
    std::function<void(const QString& tableObject)> recordShown;
};
RecordRuleHooks& RecordRuleHooksRegistry();
// The create right as the new-record rules check it (through the hook when
// one is installed), the refusal shown; false when refused.
bool CheckRecordCreateRight(int functionNr);

// Message texts of the number rules.
QString NumberTakenText();      // "Die eingegebene Nummmer ist bereits vergeben!" + hint
QString NumberTakenShortText(); // "Die eingegebene Nummer ist bereits vergeben. ..."
QString RenumberQuestionText();
QString DeleteQuestionText();
QString InvalidNumberText();  // "Die eingegebene Nummer ist unzulässig!" + hint
QString LinksCorrectedText(); // "Verknüpfte Datenbankeinträge wurden korrigiert"
QString LinksDeletedText();   // "Verknüpfte Datenbankeinträge wurden gelöscht"
// An object's activity row whose activity number Taetig.DB does not hold.
QString InvalidObjTaetigText();

// Binds the rules to a new set of table objects of dm (now and after every client switch).
void InstallRecordRules(TDataModule1& dm);
// Binds one table's rules; used by InstallRecordRules and by tests.
void BindNumberedTableRules(TDataModule1& dm, const NumberedTableRules& rules);
// The rule descriptions of the master tables, and of the address book and the small tables.
const std::vector<NumberedTableRules>& MasterTableRules();
const std::vector<NumberedTableRules>& SmallTableRules();

// Remembered numbers: the number the current record had when last read or posted.
QVariant RememberedNr(const QString& tableObject);
void RememberNr(const QString& tableObject);
void RememberKundenNr();
void RememberLieferantNr();
void RememberPersonalNr();
void RememberNotdienstNr();
void RememberTaetigNr();
void RememberTourNr();
void RememberKostartNr();
// The article number of the current article as last read.
QString OldArtikelArtNo();
void RememberArtikelArtNo();
void RememberObjektNr();
