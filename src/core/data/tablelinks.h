#pragma once

class TDataModule1;

// The master-detail links of the data module's shared table objects (a
// detail shows the rows of its master's current record) and the chains in
// which opening or closing one object opens or closes another. Bound now
// and on every new set of table objects.
void InstallTableLinks(TDataModule1& dm);
