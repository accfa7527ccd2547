#pragma once

// Makes the program's report definitions known to the report engine and lets
// reports print numbers, dates and money in the regional notation.
void InitPrinting();

// The engine's value formatter from the regional settings; money prints in
// the program's money format.
void InstallReportFormatter();
