#pragma once

#include <functional>

namespace table {
class Table;
}

// The document editors' two ways of filling a head: choosing an object and
// choosing a customer. The pickers and the question belong to the editor.

struct THeadFillOptions {
    // The payment term brings the accounting number (R_FKontoNr) along;
    // offers and orders leave it out.
    bool withAccount = true;
    // The offer editor also writes the (empty) contact references, so a new
    // object clears R_AnrID0..2 and R_AdrZweck0..2.
    bool withAdrRefs = false;
    // A customer brings its payment term when the head has none yet
    // (delivery notes take none).
    bool customerZahlbed = true;
    // The head is posted at the end; otherwise it is left in edit state.
    bool post = true;
};

// The object's block with its billing address in place of its own address,
// its payment term (its customer's when it has none) and its customer;
// R_ObjektNr := objektNr.
void FillKopfFromObjekt(table::Table& head, int objektNr, const THeadFillOptions& options = {});
// The customer's block and, per the options, its payment term; then, when
// useAsAddress (the editor's question) answers yes, the customer's address
// becomes the head's address.
void FillKopfFromKunde(table::Table& head, int kundenNr, const std::function<bool()>& useAsAddress,
                       const THeadFillOptions& options = {});
