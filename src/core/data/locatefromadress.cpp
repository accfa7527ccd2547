#include "core/data/locatefromadress.h"

#include "core/data/datamodule.h"
#include "platform/table/table.h"

using namespace Qt::StringLiterals;

void LocateFromAdress(char kind) {
    struct Link {
        char kind;
        QString linkField;
        QString keyField;
        table::Table& (TDataModule1::*table)();
    };
    static const Link links[] = {
        {'K', u"A_KundenNr"_s, u"K_Nr"_s, &TDataModule1::TabKunden},
        {'L', u"A_LieferantNr"_s, u"K_Nr"_s, &TDataModule1::TabLieferant},
        {'N', u"A_NotdienstNr"_s, u"ND_Nr"_s, &TDataModule1::TabNotdienst},
        {'O', u"A_ObjektNr"_s, u"O_Nr"_s, &TDataModule1::TabObjekt},
        {'P', u"A_PersonalNr"_s, u"P_Nr"_s, &TDataModule1::TabPersonal},
    };
    if (!HasDataModule1())
        return;
    TDataModule1& dm = DataModule1();
    for (const Link& link : links) {
        if (link.kind != kind)
            continue;
        table::Table& adress = dm.TabAdress();
        table::Table& target = (dm.*link.table)();
        if (!adress.isOpen() || adress.isEmpty() || !target.isOpen())
            return;
        const int nr = adress.field(link.linkField).asIntegerOr(0);
        target.locate({link.keyField}, {nr});
        return;
    }
}
