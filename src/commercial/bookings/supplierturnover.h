#pragma once

class QDate;

// Books an incoming invoice (credits: negative amounts) into the supplier
// with K_Nr = lieferantNr: total turnover and open amount grow by the gross
// rounded to cents, the last turnover and its date are set, and the net goes
// into the supplier's month turnover (LUmsatz.db). Nothing at all for
// supplier 0 or a gross that rounds to 0; an unknown supplier gets only the
// month turnover. When the supplier record cannot be written, the month
// turnover is still booked and the error then goes to the caller, so that a
// caller's transaction rolls back both.
void BookLieferantUmsatz(int lieferantNr, double brutto, double netto, const QDate& datum);
