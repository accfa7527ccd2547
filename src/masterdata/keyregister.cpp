#include "masterdata/keyregister.h"

#include "core/data/dbhelpers.h"
#include "core/data/lookups.h"
#include "core/data/staffnames.h"
#include "core/values/numberparsing.h"
#include "platform/table/table.h"

#include <QDate>
#include <QString>

using namespace Qt::StringLiterals;

namespace {

// A text too long for its field is cut rather than refused: the number must
// land even when the search term fills the field alone.
void setText(table::Table& t, const QString& name, const QString& text) {
    table::Field& f = t.field(name);
    f = f.size() > 0 ? text.left(f.size()) : text;
}

} // namespace

int KeyObjektNr(const QString& objektText) {
    const QString trimmed = objektText.trimmed();
    return StrToIntZero(trimmed.section(u' ', 0, 0));
}

bool TakeKeyObjekt(table::Table& keys, int startNr, int chosenNr) {
    if (chosenNr == 0 || chosenNr == startNr)
        return false;
    EnsureEditOrInsert(keys);
    setText(keys, u"S_Objekt"_s, QString::number(chosenNr) + u' ' + GetObjektMatchByNr(chosenNr));
    return true;
}

bool TakeKeyHalter(table::Table& keys, int startNr, int chosenNr) {
    if (chosenNr == 0 || chosenNr == startNr)
        return false;
    EnsureEditOrInsert(keys);
    keys[u"S_PersNo"_s] = chosenNr;
    setText(keys, u"S_Halter"_s, GetPersonalName(chosenNr));
    return true;
}

bool TakeKeyGegeben(table::Table& keys, const QDate& startDate, const QDate& chosenDate) {
    if (!chosenDate.isValid() || chosenDate == startDate)
        return false;
    EnsureEditOrInsert(keys);
    keys[u"S_Gegeben"_s] = chosenDate;
    return true;
}
