#pragma once

// Moves the master table of a kind to the record linked to the current
// address-book record: 'K' customers, 'L' suppliers, 'N' emergency
// services, 'O' objects, 'P' staff. A missing link counts as 0; a failed
// locate, an unknown letter, a closed or empty address table or a missing
// data module leave everything where it was.
void LocateFromAdress(char kind);
