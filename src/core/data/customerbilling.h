#pragma once

#include <QString>

class QDate;

// A customer's billing data as the documents take it over when a customer is
// chosen. Fields the lookup does not set keep the caller's values.
struct TKundeBillingData {
    QString Match, Name1, Name2, Name3, Plz, Ort, Strasse;
    QString PaymentTermText;
    int RechBed = 0;
    double Skonto = 0;
    double Skonto2 = 0;
    int Tage = 0;
    int Tage2 = 0;
    int NettoTage = 0;
    int FibuKonto = 0;
};

// Fills data from the customer with K_Nr = kundenNr and, when its payment
// term K_RechBed exists, from that term. False (data untouched) when there is
// no such customer.
bool GetKundeBillingData(int kundenNr, TKundeBillingData& data);

// Books an invoice (credit notes: negative amounts) into the customer:
// total turnover and open amount grow by the gross rounded to cents, the
// last turnover and its date are set, and the net goes into the month
// turnover. Nothing for customer 0; an unknown customer gets only the month
// turnover. When the customer record cannot be written, the month turnover
// is still booked and the error then goes to the caller, so that a caller's
// transaction rolls back both.
void BookKundenUmsatz(int kundenNr, double brutto, double netto, const QDate& datum);
