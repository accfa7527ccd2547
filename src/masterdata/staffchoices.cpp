#include "masterdata/staffchoices.h"

#include "core/data/dbhelpers.h"
#include "platform/table/table.h"

using namespace Qt::StringLiterals;

namespace {

// "0,0", "0,5", "1", "1,5", ... "12": halves with a decimal comma, whole
// numbers without one except the first.
FixedChoiceList children() {
    FixedChoiceList list{u"P_Kinder"_s, {}, {}, true};
    for (int halves = 0; halves <= 24; ++halves) {
        const int whole = halves / 2;
        QString text = QString::number(whole);
        if (halves % 2 == 1)
            text += u",5"_s;
        else if (halves == 0)
            text += u",0"_s;
        list.texts.append(text);
        list.values.append(halves / 2.0);
    }
    return list;
}

} // namespace

QList<FixedChoiceList> PersonalChoiceLists() {
    return {
        {u"P_Anstellart"_s,
         {QString(), u"Lohnempfänger"_s, u"Gehaltsempfänger"_s, u"305 €-Mitarbeiter"_s,
          u"Sonstige"_s}},
        {u"P_Job"_s,
         {QString(), u"Aushilfen"_s, u"Außendienst"_s, u"Buchhaltung"_s, u"Büroangestellte"_s,
          u"Fensterputzer"_s, u"Gärtner"_s, u"Gärtner+Reiniger"_s, u"Hausmeister"_s,
          u"Innendienst"_s, u"Objektleitung"_s, u"Reiniger"_s, u"Schlüsselverwalter"_s,
          u"Sonstige"_s, u"Subunternehmer"_s, u"Unternehmensleitung"_s}},
        {u"P_Pkw"_s, {QString(), u"kein Fahrzeug"_s, u"Firmenfahrzeug"_s, u"eigenes Fahrzeug"_s}},
        {u"P_Steuerklasse"_s,
         {QString(), u"I    ledig"_s, u"II   ledig m. Kindern"_s, u"III  vh., Mehrverdiener"_s,
          u"IV vh.,  Doppelverdiener"_s, u"V  vh., Geringverdiener"_s, u"VI 2. Lohnsteuerkarte"_s},
         {},
         true},
        children(),
        {u"P_Familienstand"_s,
         {QString(), u"ledig"_s, u"verheiratet"_s, u"geschieden"_s, u"getrennt lebend"_s},
         {},
         true},
        {u"P_Religion"_s,
         {QString(), u"rk  - römisch katholisch"_s, u"ev - evangelisch"_s, u"so - sonstige"_s}},
    };
}

QString PersonalKostartField(int zeitartType) {
    const int n = zeitartType >= 2 && zeitartType <= 8 ? zeitartType : 1;
    return u"P_Kostart"_s + QString::number(n);
}

void TakeZeitartKostarten(table::Table& personal) {
    if (!personal.isOpen() || (personal.isEmpty() && !personal.isEditing()))
        return;
    auto zeitart = OpenTempTable(u"LumoDB"_s, u"Zeitart.DB"_s);
    if (zeitart->isEmpty())
        return;
    // A refused post leaves the employee in edit, to be corrected or cancelled.
    EnsureEditOrInsert(personal);
    for (zeitart->first(); !zeitart->eof(); zeitart->next())
        personal.field(PersonalKostartField(FieldInt(*zeitart, u"ZA_Type"_s)))
            .setValue(zeitart->field(u"ZA_Kostart"_s).value());
    personal.post();
}
