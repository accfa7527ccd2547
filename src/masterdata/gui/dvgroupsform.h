#pragma once

struct TableFormDecl;
class TF_TableForm;

// "Dokument-Gruppen" over the shared group table: "Gruppe kopieren" in the
// grid's menu and the folder choice on "Vorgabepfad".
TableFormDecl DvGroupsFormDecl();
void ShowDvGroupsForm();

// The folder choice of the current group's default path.
void ChooseDvGroupPath(TF_TableForm& form);
