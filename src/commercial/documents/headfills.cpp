#include "commercial/documents/headfills.h"

#include "commercial/documents/fakturainit.h"
#include "core/data/dbhelpers.h"
#include "platform/table/table.h"

void FillKopfFromObjekt(table::Table& head, int objektNr, const THeadFillOptions& options) {
    TFakturaInitRec init;
    InitFakturaObjekt(objektNr, init);
    InitFakturaObjektRg(objektNr, init);
    EnsureEditOrInsert(head);
    CancelEditOnError(head, [&] {
        head[QStringLiteral("R_ObjektNr")] = objektNr;
        FillKopfObjekt(head, init);
        FillKopfZahlbed(head, init, options.withAccount);
        FillKopfKunde(head, init);
        if (options.withAdrRefs)
            FillKopfAdrRefs(head, init);
        if (options.post)
            head.post();
    });
}

void FillKopfFromKunde(table::Table& head, int kundenNr, const std::function<bool()>& useAsAddress,
                       const THeadFillOptions& options) {
    TFakturaInitRec init;
    InitFakturaKunde(kundenNr, init);
    EnsureEditOrInsert(head);
    CancelEditOnError(head, [&] {
        FillKopfKunde(head, init);
        if (options.customerZahlbed && FieldInt(head, QStringLiteral("R_ZahlBedID")) == 0)
            FillKopfZahlbed(head, init, options.withAccount);
        if (useAsAddress && useAsAddress())
            FillKopfObjektFromKunde(head, init);
        if (options.post)
            head.post();
    });
}
