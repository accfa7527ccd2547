#pragma once

#include <QList>
#include <QString>

namespace report {
class Report;
struct Component;
} // namespace report

// The report the designer edits: at most one exists at a time.

struct DesignMargins {
    int left = 0, right = 0, top = 0, bottom = 0; // design pixels
    int printWidth = 0;                           // page width between the margins
};

struct ControlEntry {
    QString name;
    report::Component* component = nullptr; // in the base report
};

// Makes the base report of a form type with its layout file applied (without
// the file, after "Neue Formulardefinition wird erzeugt!", as designed) and
// lists its bands and controls in component order. A number that is no form
// type, or whose report does not exist, gives the error box "Basis-Report
// nicht zugewiesen (GetControlList(" + type + ")" and false, and leaves no
// base report.
bool GetControlList(int formType, const QString& layoutFile, QList<ControlEntry>& list,
                    DesignMargins& margins);
void FreeBaseReport();
// nullptr when there is none.
report::Report* BaseReport();
