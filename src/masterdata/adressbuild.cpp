#include "masterdata/adressbuild.h"

#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/values/rangeerrors.h"
#include "platform/errors.h"
#include "platform/table/table.h"

#include <QSet>
#include <QtNumeric>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

const QString Db = u"LumoDB"_s;

// Address field <- source field per source (empty: not written), sources in
// the order of AdressSources().
struct FieldMap {
    const char* adress;
    const char* source[5];
};
const FieldMap Mapping[] = {
    {"A_Match", {"K_Match", "O_Match", "K_Match", "P_Match", "ND_Match"}},
    {"A_Name1", {"K_Name1", "O_Name1", "K_Name1", "P_Name1", "ND_Name1"}},
    {"A_Name2", {"K_Name2", "O_Name2", "K_Name2", "P_Name2", "ND_Name2"}},
    {"A_Name3", {"K_Name3", "O_Name3", "K_Name3", "", ""}},
    {"A_Plz", {"K_Plz", "O_Plz", "K_Plz", "P_Plz", "ND_Plz"}},
    {"A_Ort", {"K_Ort", "O_Ort", "K_Ort", "P_Ort", "ND_Ort"}},
    {"A_Strasse", {"K_Strasse", "O_Strasse", "K_Strasse", "P_Strasse", "ND_Strasse"}},
    {"A_Telefon", {"K_Tel1", "O_Telefon", "K_Tel1", "P_Telefon", "ND_Telefon"}},
    {"A_Fax", {"K_Fax", "O_Fax", "K_Fax", "P_Fax", "ND_Fax"}},
    {"A_Handy", {"K_Tel2", "O_Handy", "K_Tel2", "P_Handy", "ND_Handy"}},
    {"A_Email", {"K_Email", "", "K_Email", "P_Email", "ND_Email"}},
    {"A_Sachbearbeiter", {"", "O_Sachbearbeiter", "", "", "ND_Sachbearbeiter"}},
    {"A_ObjektNr", {"", "O_Nr", "", "", ""}},
    {"A_KundenNr", {"K_Nr", "", "", "", ""}},
    {"A_LieferantNr", {"", "", "K_Nr", "", ""}},
    {"A_PersonalNr", {"", "", "", "P_Nr", ""}},
    {"A_NotdienstNr", {"", "", "", "", "ND_Nr"}},
};
// The fields of the duplicate key, in their order.
const char* const KeyFields[] = {"A_Match", "A_Name1", "A_Name2", "A_Plz", "A_Ort", "A_Strasse"};

QString sourceField(const char* adressField, int source) {
    for (const FieldMap& m : Mapping)
        if (qstrcmp(m.adress, adressField) == 0)
            return QString::fromLatin1(m.source[source]);
    return {};
}

QString textOf(table::Table& t, const QString& field) {
    return field.isEmpty() ? QString() : t.field(field).asStringOr(QString());
}

// The names the key fields have in a source (empty: not there), looked up
// once per run rather than per record.
QStringList sourceKeyFields(int source) {
    QStringList names;
    for (const char* f : KeyFields)
        names << sourceField(f, source);
    return names;
}

QStringList adressKeyFields() {
    QStringList names;
    for (const char* f : KeyFields)
        names << QString::fromLatin1(f);
    return names;
}

QString keyOf(table::Table& t, const QStringList& keyFields) {
    QStringList values;
    for (const QString& f : keyFields)
        values << textOf(t, f);
    return AdressDuplicateKey(values);
}

// The value unchanged, null included; a text longer than the address field
// (an object's clerk holds twice as much) is cut to the field's size rather
// than refusing the whole build.
void copyValue(const table::Field& from, table::Field& to) {
    const QVariant value = from.value();
    if (to.def().type == table::FieldType::String && to.size() > 0 && !value.isNull() &&
        value.toString().size() > to.size())
        to = value.toString().left(to.size());
    else
        to = value;
}

void copyContacts(table::Table& record, const QString& prefix, int adressId,
                  table::Table& contacts) {
    for (int n = 1; n <= 4; ++n) {
        const QString name =
            record.field(prefix + u"Ansprech"_s + QString::number(n)).asStringOr(QString());
        if (name.trimmed().isEmpty())
            continue;
        contacts.append();
        contacts.field(u"AA_ID"_s) = GetNextId(contacts, u"AA_ID"_s);
        contacts.field(u"AA_RefID"_s) = adressId;
        contacts.field(u"AA_AnsprechName"_s) = name;
        contacts.field(u"AA_AnsprechAbt"_s) =
            textOf(record, prefix + u"AnsprechAbt"_s + QString::number(n));
        contacts.field(u"AA_AnsprechTel"_s) =
            textOf(record, prefix + u"AnsprechTel"_s + QString::number(n));
        contacts.post();
    }
}

int copySource(int source, int offset, QSet<QString>& keys, table::Table& adress,
               table::Table& contacts, const AdressBuildObserver& observer) {
    const AdressSource& s = AdressSources().at(source);
    table::Table record(table::aliases::database(Db), s.table);
    record.open();
    const QStringList keyFields = sourceKeyFields(source);
    int added = 0;
    for (record.first(); !record.eof(); record.next()) {
        const QString key = keyOf(record, keyFields);
        if (keys.contains(key))
            continue;
        keys.insert(key);
        adress.append();
        adress.field(u"A_ID"_s) = GetNextId(adress, u"A_ID"_s);
        int nr = 0;
        if (qAddOverflow(record.field(s.prefix + u"Nr"_s).asIntegerOr(0), offset, &nr))
            RaiseOverflowError(); // a record added since the plan was read
        adress.field(u"A_Nr"_s) = nr;
        for (const FieldMap& m : Mapping) {
            const QString from = QString::fromLatin1(m.source[source]);
            if (!from.isEmpty())
                copyValue(record.field(from), adress.field(QString::fromLatin1(m.adress)));
        }
        adress.post();
        const int id = adress.field(u"A_ID"_s).asInteger();
        if (observer.line)
            observer.line(u"Ergänzt: "_s + QString::number(nr));
        if (s.contacts)
            copyContacts(record, s.prefix, id, contacts);
        ++added;
    }
    if (observer.processEvents)
        observer.processEvents();
    return added;
}

} // namespace

const QList<AdressSource>& AdressSources() {
    static const QList<AdressSource> sources = {
        {u"Kunden"_s, u"Kunden.DB"_s, u"K_"_s, u"K_INr"_s, u"Zufügen der Kundendaten"_s, true},
        {u"Objekte"_s, u"Objekte.DB"_s, u"O_"_s, u"O_INr"_s, u"Zufügen der Objektdaten"_s, true},
        {u"Lieferanten"_s, u"Liefrnt.db"_s, u"K_"_s, u"K_INr"_s, u"Zufügen der Lieferantendaten"_s,
         true},
        {u"Mitarbeiter"_s, u"Personal.DB"_s, u"P_"_s, u"P_INr"_s, u"Zufügen der Personaldaten"_s,
         false},
        {u"Notdienste"_s, u"Notdnst.DB"_s, u"ND_"_s, u"ND_I_Nr"_s, u"Zufügen der Notdienstdaten"_s,
         false},
    };
    return sources;
}

QList<NumberPlanRow> ReadNumberPlan() {
    QList<NumberPlanRow> plan;
    for (const AdressSource& s : AdressSources()) {
        NumberPlanRow row;
        try {
            table::Table t(table::aliases::database(Db), s.table);
            t.open();
            t.setIndexName(s.numberIndex);
            if (!t.isEmpty()) {
                t.first();
                row.smallest = t.field(s.prefix + u"Nr"_s).asIntegerOr(0);
                t.last();
                row.largest = t.field(s.prefix + u"Nr"_s).asIntegerOr(0);
            }
        } catch (const DbError&) {
            row = {}; // a source that cannot be read counts 0
        }
        plan << row;
    }
    return plan;
}

QStringList NumberPlanStatuses(const QList<NumberPlanRow>& plan) {
    const auto within = [](qint64 v, const NumberPlanRow& r) {
        return v >= r.shiftedSmallest() && v <= r.shiftedLargest();
    };
    const auto fits = [](qint64 v) {
        return v >= std::numeric_limits<int>::min() && v <= std::numeric_limits<int>::max();
    };
    QStringList statuses;
    for (qsizetype r = 0; r < plan.size(); ++r) {
        const NumberPlanRow& row = plan.at(r);
        bool ok = fits(row.shiftedSmallest()) && fits(row.shiftedLargest());
        if (ok && r > 0 && row.shiftedSmallest() + row.shiftedLargest() != 0)
            for (qsizetype j = 0; j < r && ok; ++j) {
                const NumberPlanRow& earlier = plan.at(j);
                ok = !(within(earlier.shiftedSmallest(), row) ||
                       within(earlier.shiftedLargest(), row) ||
                       within(row.shiftedSmallest(), earlier) ||
                       within(row.shiftedLargest(), earlier));
            }
        statuses << (ok ? u"OK"_s : u"FEHLER"_s);
    }
    return statuses;
}

bool NumberPlanIsValid(const QList<NumberPlanRow>& plan) {
    return !NumberPlanStatuses(plan).contains(u"FEHLER"_s);
}

QString AdressDuplicateKey(const QStringList& values) {
    QString key;
    for (const QString& v : values)
        key += v.toUpper() + u';';
    return key;
}

int BuildAdressBook(const QList<NumberPlanRow>& plan, bool emptyFirst,
                    const AdressBuildObserver& observer) {
    if (plan.size() != AdressSources().size() || !NumberPlanIsValid(plan))
        throw DbError(u"Fehler in der Nummernzuteilung"_s);
    TDataModule1& dm = DataModule1();
    table::Table& adress = dm.TabAdress();
    if (!adress.isOpen())
        adress.open();
    std::shared_ptr<table::Database> db = table::aliases::database(Db);
    table::Table contacts(db, u"Aansp.DB"_s);
    int added = 0;
    try {
        table::Transaction tx(*db);
        QSet<QString> keys;
        if (emptyFirst) {
            for (const QString& t :
                 {u"Adress.DB"_s, u"Aansp.DB"_s, u"AdrJour.db"_s, u"AdrProto.DB"_s})
                db->emptyTable(t);
            adress.refresh();
        } else {
            table::Table existing(db, adress.tableName());
            existing.open();
            const QStringList keyFields = adressKeyFields();
            for (existing.first(); !existing.eof(); existing.next())
                keys.insert(keyOf(existing, keyFields));
        }
        contacts.open();
        for (int i = 0; i < AdressSources().size(); ++i) {
            if (observer.line)
                observer.line(AdressSources().at(i).memoLine);
            added += copySource(i, plan.at(i).offset, keys, adress, contacts, observer);
            if (observer.line)
                observer.line(QString(31, u'-'));
        }
        tx.commit();
    } catch (...) {
        if (adress.isEditing())
            adress.cancel();
        adress.refresh();
        throw;
    }
    adress.refresh();
    return added;
}
