#pragma once

#include <QString>

// Number proposals of new master records: the smallest number at or above
// the company's minimum number that no record of the table holds.
int NextFreeKundenNr();
int NextFreeLieferantNr();
int NextFreePersonalNr();
int NextFreeNotdienstNr();
int NextFreeTourNr();
int ProposeTaetigNr();
int ProposeObjektNr();
int ProposeKostartNr();
// Article numbers are texts of six digits with leading zeros, unique per article list.
QString NextFreeArtikelNr();
