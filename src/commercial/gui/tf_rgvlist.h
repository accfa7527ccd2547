#pragma once

#include <array>
#include <memory>

struct ListFormDecl;
class TF_ListForm;

namespace table {
class Table;
}

// The template list's own table objects: all templates with the template
// rules of the list (no new heads; an interval change names it and moves
// the next invoice), the current template's lines, its three further
// addresses, and the user print forms for their names.
struct TRgvListTables {
    TRgvListTables();
    ~TRgvListTables();
    std::unique_ptr<table::Table> templates;
    std::unique_ptr<table::Table> lines;
    std::array<std::unique_ptr<table::Table>, 3> addresses;
    std::unique_ptr<table::Table> userForms;
};

// The list (TF_RgvList) on these tables, for the list-form host.
ListFormDecl RgvListDeclaration(TRgvListTables& tables);

// The commands of the list's buttons, as they run them.
void EditRgvTemplate(TF_ListForm& form, TRgvListTables& tables, bool isNew);
void PrintRgvTemplate(TF_ListForm& form, bool preview);
void UpdateRgvVat(TF_ListForm& form);
void ReloadRgvTexts(TF_ListForm& form);
