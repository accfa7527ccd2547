#pragma once

// The quantity to order for a proposed quantity: at least the minimum order
// quantity, raised to whole packs; a proposal of 0 orders nothing.
double CalcBestellMenge(double minMenge, double packMenge, double menge);
