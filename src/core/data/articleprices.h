#pragma once

// The sales price of the current article (TabArtikel) from its purchase
// price and markup, and the markup from both prices. Both put the article
// into edit state and leave the post to the caller.

// A_Preis1 := purchase price plus A_Aufschlag1 percent, in cents; nothing
// without a purchase price.
void CalcArtikelPreis1();
// A_Aufschlag1 := the percentage by which A_Preis1 exceeds A_EkPreis; 0
// when either price is 0.
void CalcArtikelAufschlag1();
