#include "masterdata/adresscopy.h"

#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "platform/table/table.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace {

const QStringList& suffixes() {
    static const QStringList list = {u"_Match"_s,   u"_Name1"_s, u"_Name2"_s, u"_Name3"_s,
                                     u"_Strasse"_s, u"_Plz"_s,   u"_Ort"_s,   u"_Telefon"_s,
                                     u"_Handy"_s,   u"_Fax"_s,   u"_Email"_s, u"_WebSite"_s};
    return list;
}

bool postOrKeep(table::Table& target) {
    try {
        target.post();
        return true;
    } catch (const DbError&) {
        // Left in edit for the user to complete in the record's form.
        return false;
    }
}

} // namespace

QString MapAdressFieldName(const QString& name) {
    const QString upper = name.toUpper();
    if (upper == "K_TELEFON"_L1)
        return u"K_Tel1"_s;
    if (upper == "K_HANDY"_L1)
        return u"K_Tel2"_s;
    if (upper == "P_NAME3"_L1)
        return u"P_Vorname"_s;
    return name;
}

void CopyAdressFields(table::Table& adress, table::Table& target, const QString& prefix) {
    for (const QString& suffix : suffixes()) {
        table::Field* source = adress.findField(u"A"_s + suffix);
        table::Field* field = target.findField(MapAdressFieldName(prefix + suffix));
        if (!source || !field)
            continue;
        try {
            *field = source->asStringOr(QString());
        } catch (const DbError&) {
            // A value the target field refuses is left out, field by field.
        }
    }
}

void AppendFromAdress(table::Table& adress, table::Table& target, const QString& prefix) {
    if (!target.isOpen())
        target.open();
    target.append();
    CopyAdressFields(adress, target, prefix);
    postOrKeep(target);
}

void UpdateFromAdress(table::Table& adress, table::Table& target, const QString& prefix) {
    target.edit();
    CopyAdressFields(adress, target, prefix);
    postOrKeep(target);
}

int PushAdressChanges(table::Table& adress) {
    TDataModule1& dm = DataModule1();
    struct Link {
        const char* linkField;
        table::Table& target;
        const char* numberField;
        const char* prefix;
        QString kind;
    };
    const Link links[] = {{"A_KundenNr", dm.TabKunden(), "K_Nr", "K", u"Kunde"_s},
                          {"A_ObjektNr", dm.TabObjekt(), "O_Nr", "O", u"Objekt"_s},
                          {"A_PersonalNr", dm.TabPersonal(), "P_Nr", "P", u"Mitarbeiter"_s},
                          {"A_LieferantNr", dm.TabLieferant(), "K_Nr", "K", u"Lieferant"_s},
                          {"A_NotdienstNr", dm.TabNotdienst(), "ND_Nr", "ND", u"Notdienst"_s}};
    int updated = 0;
    QStringList failures;
    for (const Link& link : links) {
        const int nr = adress.field(QString::fromLatin1(link.linkField)).asIntegerOr(0);
        if (nr == 0)
            continue;
        if (!link.target.isOpen())
            link.target.open();
        if (!link.target.locate({QString::fromLatin1(link.numberField)}, {nr}))
            continue;
        // A record that refuses the change (locked, a rule) is put back as it
        // was and named afterwards; the other linked records still get theirs.
        try {
            link.target.edit();
            CopyAdressFields(adress, link.target, QString::fromLatin1(link.prefix));
            link.target.post();
            ++updated;
        } catch (const DbError& error) {
            if (link.target.isEditing())
                link.target.cancel();
            failures << u"%1 %2: %3"_s.arg(link.kind).arg(nr).arg(error.message());
        }
    }
    if (!failures.isEmpty())
        throw DbError(
            u"Die Änderungen wurden nicht in jeden verbundenen Datensatz übernommen:\n"_s +
            failures.join(u'\n'));
    return updated;
}

bool SetAdressLink(table::Table& adress, const QString& linkField, int picked) {
    if (picked == 0 || picked == adress.field(linkField).asIntegerOr(0))
        return false;
    EnsureEditOrInsert(adress);
    adress.field(linkField) = picked;
    return true;
}

void ClearAdressLink(table::Table& adress, const QString& linkField) {
    EnsureEditOrInsert(adress);
    adress.field(linkField).clear();
}
