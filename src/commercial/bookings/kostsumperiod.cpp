#include "commercial/bookings/kostsumperiod.h"

#include "core/data/dbhelpers.h"
#include "core/values/money.h"
#include "platform/table/table.h"

#include <QHash>
#include <memory>

using namespace Qt::StringLiterals;

QString KostsumPeriod::headFilter(KostsumSide side) const {
    return u"K_Jahr=%1 AND K_Monat=%2 AND %3>=0"_s.arg(year).arg(month).arg(
        side == KostsumSide::Objekte ? u"K_ObjektID"_s : u"K_Kostart"_s);
}

QString KostsumPeriod::text() const {
    switch (mode) {
    case KostsumMode::Gesamt:
        return u"Gesamtzeitraum"_s;
    case KostsumMode::Jahr:
        return u"Jahr %1"_s.arg(year);
    case KostsumMode::Monat:
        break;
    }
    return u"Monat %1/%2"_s.arg(month).arg(year);
}

double KostsumDiff(double zugang, double bestand) {
    return RoundCents(zugang - bestand);
}

double KostsumSaldo(double zugang, double bestand, double erloes) {
    return RoundCents(bestand + erloes - zugang);
}

struct KostsumFieldCalc::Names {
    QHash<int, QString> objects;   // O_ID -> O_Match
    QHash<int, QString> costTypes; // A_Nr -> A_Text
    Names() {
        auto o = OpenTempTable(u"LumoDB"_s, u"Objekte.DB"_s);
        for (o->first(); !o->eof(); o->next())
            objects.insert(FieldInt(*o, u"O_ID"_s), FieldText(*o, u"O_Match"_s));
        auto k = OpenTempTable(u"LumoDB"_s, u"Kostart.DB"_s);
        for (k->first(); !k->eof(); k->next())
            costTypes.insert(FieldInt(*k, u"A_Nr"_s), FieldText(*k, u"A_Text"_s));
    }
};

KostsumFieldCalc::KostsumFieldCalc(const KostsumNames& names) : m_names(names) {}
KostsumFieldCalc::~KostsumFieldCalc() = default;
KostsumFieldCalc::KostsumFieldCalc(KostsumFieldCalc&&) noexcept = default;
KostsumFieldCalc& KostsumFieldCalc::operator=(KostsumFieldCalc&&) noexcept = default;

const QStringList& KostsumFieldCalc::fieldNames() {
    static const QStringList names{u"Diff"_s, u"Saldo"_s, u"ObjektName"_s, u"KostartName"_s};
    return names;
}

void KostsumFieldCalc::operator()(table::Table& r) {
    // The view's rows are a period's: far fewer than objects and cost types.
    if (!m_cache)
        m_cache = std::make_unique<Names>();
    const double zugang = FieldFloat(r, u"K_Zugang"_s);
    const double bestand = FieldFloat(r, u"K_Bestand"_s);
    const double erloes = FieldFloat(r, u"K_Erloes"_s);
    r.field(u"Diff"_s).setValue(KostsumDiff(zugang, bestand));
    r.field(u"Saldo"_s).setValue(KostsumSaldo(zugang, bestand, erloes));
    const int objektNr = FieldInt(r, u"K_ObjektNr"_s);
    const int kostart = FieldInt(r, u"K_Kostart"_s);
    const auto object = m_cache->objects.constFind(FieldInt(r, u"K_ObjektID"_s));
    r.field(u"ObjektName"_s)
        .setValue(objektNr == 0 && m_names.mainStoreNamed ? QVariant(u"Hauptlager"_s)
                  : object != m_cache->objects.cend()     ? QVariant(*object)
                                                          : QVariant());
    const auto type = m_cache->costTypes.constFind(kostart);
    r.field(u"KostartName"_s)
        .setValue(kostart == 0 && m_names.noCostTypeNamed ? QVariant(u"ohne Kostenzuordnung"_s)
                  : type != m_cache->costTypes.cend()     ? QVariant(*type)
                                                          : QVariant());
}

void AddKostsumFields(table::Table& t, const KostsumNames& names) {
    if (t.findField(u"Diff"_s))
        return;
    const bool wasOpen = t.isOpen();
    if (wasOpen)
        t.close();
    t.addCalculatedField(u"Diff"_s, table::FieldType::Currency);
    t.addCalculatedField(u"Saldo"_s, table::FieldType::Currency);
    t.addCalculatedField(u"ObjektName"_s, table::FieldType::String, 40);
    t.addCalculatedField(u"KostartName"_s, table::FieldType::String, 40);
    auto calc = std::make_shared<KostsumFieldCalc>(names);
    t.onCalcFields += [calc](table::Table& r) { (*calc)(r); };
    if (wasOpen)
        t.open();
}
