#pragma once

class ModuleDispatcher;
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

// Reopens the address table and its details after a client switch or a build.
void OpenAdressTables();
