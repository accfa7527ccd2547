#include "commercial/documents/headaddresses.h"

#include "core/data/dbhelpers.h"
#include "platform/errors.h"
#include "platform/table/table.h"

namespace {

const char* const kAddressFields[] = {"Name1", "Name2", "Name3", "Strasse", "Plz", "Ort"};

bool copyFrom(table::Table& head, const QString& file, const QString& keyField, int key,
              const QString& prefix, bool post) {
    if (key == 0)
        return false;
    auto source = OpenTempTable(QStringLiteral("LumoDB"), file);
    if (!source->locate({keyField}, {key}))
        return false;
    CopyAddressFields(*source, prefix, head);
    if (post)
        head.post();
    return true;
}

} // namespace

void CopyAddressFields(table::Table& source, const QString& prefix, table::Table& head) {
    EnsureEditOrInsert(head);
    for (const char* name : kAddressFields) {
        table::Field* from = source.findField(prefix + QLatin1String(name));
        table::Field* to = head.findField(QStringLiteral("R_O") + QLatin1String(name));
        if (!from || !to)
            continue;
        try {
            to->setValue(from->value());
        } catch (const DbError&) {
            // One refused line of the address does not stop the others.
        }
    }
}

bool CopyObjektAdresseToKopf(table::Table& head, bool post) {
    return copyFrom(head, QStringLiteral("Objekte.DB"), QStringLiteral("O_Nr"),
                    FieldInt(head, QStringLiteral("R_ObjektNr")), QStringLiteral("O_"), post);
}

bool CopyObjektRgAdresseToKopf(table::Table& head, bool post) {
    return copyFrom(head, QStringLiteral("Objekte.DB"), QStringLiteral("O_Nr"),
                    FieldInt(head, QStringLiteral("R_ObjektNr")), QStringLiteral("O_Rg"), post);
}

bool CopyKundenAdresseToKopf(table::Table& head, bool post) {
    return copyFrom(head, QStringLiteral("Kunden.DB"), QStringLiteral("K_Nr"),
                    FieldInt(head, QStringLiteral("R_KundenNr")), QStringLiteral("K_"), post);
}

bool CopyAdressbuchAdresseToKopf(table::Table& head, int adressNr, bool post) {
    return copyFrom(head, QStringLiteral("Adress.DB"), QStringLiteral("A_Nr"), adressNr,
                    QStringLiteral("A_"), post);
}

bool CopyZusatzAdresseToKopf(table::Table& head, QChar index, bool post) {
    return copyFrom(head, QStringLiteral("Adress.DB"), QStringLiteral("A_ID"),
                    FieldInt(head, QStringLiteral("R_AnrID") + index), QStringLiteral("A_"), post);
}
