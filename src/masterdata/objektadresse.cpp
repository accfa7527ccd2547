#include "masterdata/objektadresse.h"

#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/lookups.h"
#include "core/messages/messagecatalog.h"
#include "core/messages/messages.h"
#include "masterdata/adressrec.h"
#include "platform/table/table.h"

using namespace Qt::StringLiterals;

QString ObjektOhneKundeText() {
    return LoadMessage(64904);
}

bool CopyAddressIntoObjekt(table::Table& objekt, ObjektAddressSource source, const QString& prefix,
                           int adressNr) {
    if (!objekt.isOpen() || objekt.isEmpty())
        return false;
    const QString key = u"O_ID"_s;
    const QVariant id = objekt.field(key).value();
    TAdressRec rec;
    switch (source) {
    case ObjektAddressSource::Kunde: {
        const int kunde = FieldInt(objekt, u"O_Kunde"_s);
        if (kunde == 0) {
            ShowError(ObjektOhneKundeText());
            return false;
        }
        if (!ReadAdressRec(DataModule1().TabLUKunden(), GetKundeIdByNr(kunde), u"K_ID"_s, rec,
                           u"K_"_s)) {
            ShowError(LoadMessage(64746));
            return false;
        }
        break;
    }
    case ObjektAddressSource::Objekt:
        ReadAdressRec(objekt, id, key, rec, u"O_"_s);
        break;
    case ObjektAddressSource::Adresse:
        if (!ReadAdressRec(DataModule1().TabLUAdress(), AdressIDOfNr(adressNr), u"A_ID"_s, rec,
                           u"A_"_s)) {
            ShowError(LoadMessage(64745));
            return false;
        }
        break;
    }
    return WriteAdressRec(objekt, id, key, rec, false, prefix);
}
