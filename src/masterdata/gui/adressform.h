#pragma once

class ModuleDispatcher;
class QWidget;
class TF_ListForm;
struct ListFormDecl;

// The address book TF_Adress ("Adressen") on the list-form host: the list
// with its phone and expression filters, seven pages, the links to the
// master records, selections, mailing and the address list prints.
ListFormDecl AdressFormDecl();

// The main window's entry "Adressen" and the click on the tool bar's
// background. The dispatcher opens the master forms the address book
// creates records for; it must outlive the form.
void ShowAdressForm();
void SetAdressFormDispatcher(ModuleDispatcher* dispatcher);

// Opens the address table and, when the address book exists, its other
// tables again and reads them anew (after a client switch, installed as the
// switch's hook, and before and after a build).
void OpenAdressTables();
// When the address book exists: "n/count" in its label lbReccount; the form
// calls it on the record rules' request to show the record.
void ShowAdressRecordPosition(int recNo, int count);

// The document kind that the focused control chooses for "Dokumente": 11,
// 12, 13 for the customer, object and supplier link fields; 0 elsewhere (the
// address's links decide).
int AdressDocKindOfFocus(const TF_ListForm& form, const QWidget* focus);
