#pragma once

struct ListFormDecl;
class TF_ListForm;
class ObjektTaetigPage;

// The object form "Objekte" (TF_Objekt): objects with their contacts,
// data, activities, control-report and billing settings, emergency
// services, tenants and open items, on the list-form host with right 10.
ListFormDecl ObjektListFormDecl();

// The activity page of the object form; nullptr while the form does not exist.
ObjektTaetigPage* ObjektTaetigPageOf(TF_ListForm& form);
// The main window's entry "Objekte": the object table on the remembered
// object, the form shown without a modal loop.
void ShowObjektForm();
