#include "masterdata/objektchoices.h"

#include "core/data/dbhelpers.h"
#include "core/messages/messages.h"
#include "platform/table/table.h"

using namespace Qt::StringLiterals;

bool TakeChosenNumber(table::Table& t, const QString& field, int chosen) {
    if (chosen == 0 || FieldInt(t, field) == chosen)
        return false;
    EnsureEditOrInsert(t);
    t.field(field).setValue(chosen);
    return true;
}

QString NotdienstSchonInListeText() {
    return u"Dieser Notdienst ist bereits in der Liste enthalten!"_s;
}

bool TakeObjektKunde(table::Table& objekt, int chosen) {
    return TakeChosenNumber(objekt, u"O_Kunde"_s, chosen);
}

bool TakeObjektNotdienst(table::Table& objNd, int objektNr, int chosen) {
    if (chosen == 0 || FieldInt(objNd, u"OND_NdNr"_s) == chosen)
        return false;
    if (IntPairExists(u"LumoDB"_s, u"ObjektND.DB"_s, u"OND_ObjNr;OND_NdNr"_s, objektNr, chosen)) {
        ShowError(NotdienstSchonInListeText());
        return false;
    }
    return TakeChosenNumber(objNd, u"OND_NdNr"_s, chosen);
}
