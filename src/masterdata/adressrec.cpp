#include "masterdata/adressrec.h"

#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/lookups.h"
#include "platform/table/table.h"

using namespace Qt::StringLiterals;

namespace {

// The six address lines of a record in their field order.
QString* addressLine(TAdressRec& rec, int i) {
    QString* lines[] = {&rec.Name1, &rec.Name2, &rec.Name3, &rec.Strasse, &rec.Plz, &rec.Ort};
    return lines[i];
}
const QString kLineSuffixes[] = {u"Name1"_s,   u"Name2"_s, u"Name3"_s,
                                 u"Strasse"_s, u"Plz"_s,   u"Ort"_s};

bool standsOn(table::Table& t, const QVariant& keyValue, const QString& keyField) {
    return t.isOpen() && !t.isEmpty() && FieldEquals(t.field(keyField), keyValue);
}

int lookupInt(const char* keyField, int key, const char* resultField) {
    const QVariant v =
        LocateFieldValue(DataModule1().TabLUAdress(), {QString::fromLatin1(keyField)}, {key},
                         QString::fromLatin1(resultField), true);
    return v.isValid() ? v.toInt() : 0;
}

} // namespace

bool ReadAdressRec(table::Table& t, const QVariant& keyValue, const QString& keyField,
                   TAdressRec& rec, const QString& prefix) {
    if (!standsOn(t, keyValue, keyField) && !t.locate({keyField}, {keyValue}))
        return false;
    TAdressRec read;
    read.Match = FieldText(t, prefix + u"Match"_s);
    for (int i = 0; i < 6; ++i)
        *addressLine(read, i) = FieldText(t, prefix + kLineSuffixes[i]);
    rec = read;
    return true;
}

bool WriteAdressRec(table::Table& t, const QVariant& keyValue, const QString& keyField,
                    const TAdressRec& rec, bool postIt, const QString& prefix) {
    if (!standsOn(t, keyValue, keyField) && !t.locate({keyField}, {keyValue}))
        return false;
    TAdressRec lines = rec;
    const auto write = [&] {
        EnsureEditOrInsert(t);
        for (int i = 0; i < 6; ++i)
            t.field(prefix + kLineSuffixes[i]).setValue(*addressLine(lines, i));
        if (postIt)
            t.post();
    };
    // An edit the caller had begun is its own; only an edit begun here is undone on error.
    if (t.isEditing())
        write();
    else
        CancelEditOnError(t, write);
    return true;
}

int AdressIDOfNr(int nr) {
    return lookupInt("A_Nr", nr, "A_ID");
}

int AdressNrOfID(int id) {
    return lookupInt("A_ID", id, "A_Nr");
}
