#pragma once

class TDataModule1;

// The record rules of the offer tables: the calculation of unit prices from
// base prices, markup, instalments and uses per year.
void BindOfferRules(TDataModule1& dm);

// Recomputes the unit price of every line of the current offer from its
// base price, then the offer sums; the line cursor stays where it was.
void RecalcAngebotPreise(TDataModule1& dm);

// Unit price of a base price: markup in percent, instalments (0 counts 1),
// uses per year (0 counts 1).
double OfferUnitPrice(double basisVkpreis, double aufschlag, double raten, double einsaetze);
// The base price a unit price stands for.
double OfferBasePrice(double ePreis, double aufschlag, double raten, double einsaetze);
