#pragma once

#include <QVariant>

// The print-form types the object form offers.

// The control report's form type by the object's print scope O_BerichtModus
// (empty counts as 1): 1 the summary, 2 the counted, any other the complete report.
int BerichtFormType(const QVariant& berichtModus);
// The print group below the pages prints the emergency services of the
// object while their page is in front, else the tenant list.
int MieterGroupFormType(bool notdienstePageShown);
