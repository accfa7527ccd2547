#pragma once

struct TPackedDate;

// The turnover year that the customer, supplier and article forms show; the
// master rules align the current record's year with it. Starts at this year.
extern int TodayYear;

// Monthly turnover rows of customers (KUmsatz.DB) and articles (AUmsatz.DB).
// A booking into a year without rows first creates all twelve month rows of
// that year; the month's amount is stored rounded to cents (an amount that
// nets to less than half a cent as 0), its costs rounded to cents.
void AddKUmsatz(int kundenNr, double betrag, double kosten, TPackedDate datum);
void AddAUmsatz(int artikelId, double betrag, double kosten, TPackedDate datum);

class TDataModule1;
// The calculated field U_MonatsName of the shared turnover tables TabKUmsatz,
// TabAUmsatz and TabLUmsatz: the long month name of U_Monat, empty outside
// 1 to 12.
void InstallTurnoverMonthNames(TDataModule1& dm);
