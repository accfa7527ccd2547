#pragma once

class TF_Zeiterf;

// "Import 1" of the time-entry window: the records of "Zeiterf.dat".
void RunZeiterfImport(TF_Zeiterf& window);
// "Import 2": the weekly pattern of "Zewtag.dat" over a period the user
// chooses (this month proposed).
void RunZewtagImport(TF_Zeiterf& window);
