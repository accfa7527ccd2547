#include "masterdata/adressdocs.h"

#include "core/data/datamodule.h"
#include "core/values/conversions.h"
#include "core/values/datetext.h"
#include "core/values/datetimevalue.h"
#include "core/values/money.h"
#include "platform/table/table.h"

using namespace Qt::StringLiterals;

const QString AllAdressDocCodes = u"AN;AU;AR;LS;GS;OP;ER;OE;BE"_s;

namespace {

struct Scan {
    const char* code;
    const char* table;
    const char* dateField;
    const char* source;                   // "B" working database, "A" archive
    const char* referenceField = nullptr; // null: the kind's own
};

// Customers and objects share one list of scans.
const Scan KundeObjektScans[] = {
    {"AR", "Rechkopf.DB", "R_DatumDruck", "B"},   {"AN", "Angkopf.DB", "R_DatumErstell", "B"},
    {"AU", "Auftkopf.DB", "R_DatumErstell", "B"}, {"LS", "LSkopf.DB", "R_DatumErstell", "B"},
    {"GS", "GSkopf.DB", "R_DatumDruck", "B"},     {"OP", "OpKopf.DB", "R_DatumDruck", "B"},
    {"AR", "Rechkopf.DB", "R_DatumDruck", "A"},   {"AN", "Angkopf.DB", "R_DatumErstell", "A"},
    {"AU", "Auftkopf.DB", "R_DatumErstell", "A"}, {"LS", "LSkopf.DB", "R_DatumErstell", "A"},
    {"GS", "GSkopf.DB", "R_DatumDruck", "A"},
};
const Scan LieferantScans[] = {
    {"BE", "bestkopf.db", "R_DatumErstell", "B", "R_LiefNr"},
    {"BE", "bestkopf.db", "R_DatumErstell", "A", "R_LiefNr"},
    {"ER", "ERkopf.DB", "R_DatumErstell", "B", "R_KundenNr"},
    {"OE", "OERkopf.DB", "R_DatumErstell", "B", "R_KundenNr"},
    {"ER", "ERkopf.DB", "R_DatumErstell", "A", "R_KundenNr"},
};

const QStringList& kindNames() {
    static const QStringList names = {
        u"Angebot"_s,          u"Auftrag"_s,        u"Ausgangsrechnung"_s,
        u"Lieferschein"_s,     u"Gutschrift"_s,     u"Offene AR (OP)"_s,
        u"Eingangsrechnung"_s, u"Offene ER (OP)"_s, u"Bestellung"_s};
    return names;
}

int scan(const Scan& s, const QString& referenceField, int linkedNr, QStringList& list) {
    const QString alias = QLatin1StringView(s.source) == "B"_L1 ? u"LumoDB"_s : u"AblageDB"_s;
    table::Table head(table::aliases::database(alias), QString::fromLatin1(s.table));
    head.open();
    int added = 0;
    for (head.first(); !head.eof(); head.next()) {
        if (head.field(referenceField).asIntegerOr(0) != linkedNr)
            continue;
        const table::Field& date = head.field(QString::fromLatin1(s.dateField));
        list << AdressDocumentLine(
            QString::fromLatin1(s.code), QString::fromLatin1(s.source),
            head.field(u"R_ID"_s).asIntegerOr(0), head.field(u"R_Nr"_s).asStringOr(QString()),
            date.asDateOr(QDate()), head.field(u"R_Brutto"_s).asFloatOr(0.0));
        ++added;
    }
    return added;
}

} // namespace

int DocKindIndexOfCode(const QString& code) {
    const int at = code.isEmpty() ? -1 : AllAdressDocCodes.indexOf(code);
    return at < 0 ? 0 : int(AllAdressDocCodes.left(at).count(u';'));
}

QString DocKindNameOfCode(const QString& code) {
    return kindNames().value(DocKindIndexOfCode(code));
}

QString DocSourceNameOfCode(const QString& code) {
    return code == "B"_L1 ? u"Bewegungsdaten"_s : u"Archivdaten"_s;
}

QString AdressDocumentLine(const QString& code, const QString& source, int id,
                           const QString& number, const QDate& date, double gross) {
    // An empty date gives the blank mask.
    const TDateTime day = DateTimeOfDate(date);
    const QString dateText = day == EmptyDate ? PackedDateToStr(TPackedDate{}) : DateToStrDMY(day);
    return code + u':' + source + IntToStrZero(id, 8) + u':' + number + u':' + dateText + u':' +
           FormatMoney(0, gross);
}

int CollectAdressDocuments(int adressNr, const QString& kinds, int& kind, QStringList& list) {
    table::Table& adress = DataModule1().TabLUAdress();
    if (!adress.isOpen())
        adress.open();
    if (!adress.locate({u"A_Nr"_s}, {adressNr}))
        return 0;
    const int kunde = adress.field(u"A_KundenNr"_s).asIntegerOr(0);
    const int objekt = adress.field(u"A_ObjektNr"_s).asIntegerOr(0);
    const int lieferant = adress.field(u"A_LieferantNr"_s).asIntegerOr(0);
    if (kind != DocsOfKunde && kind != DocsOfObjekt && kind != DocsOfLieferant) {
        if (objekt != 0)
            kind = DocsOfObjekt;
        else if (kunde != 0)
            kind = DocsOfKunde;
        else if (lieferant != 0)
            kind = DocsOfLieferant;
    }
    const int linked = kind == DocsOfObjekt ? objekt : kind == DocsOfKunde ? kunde : lieferant;
    if (linked == 0 || (kind != DocsOfKunde && kind != DocsOfObjekt && kind != DocsOfLieferant))
        return 0;
    int added = 0;
    if (kind == DocsOfLieferant) {
        for (const Scan& s : LieferantScans)
            if (kinds.contains(QLatin1StringView(s.code)))
                added += scan(s, QString::fromLatin1(s.referenceField), linked, list);
    } else {
        const QString reference = kind == DocsOfObjekt ? u"R_ObjektNr"_s : u"R_KundenNr"_s;
        for (const Scan& s : KundeObjektScans)
            if (kinds.contains(QLatin1StringView(s.code)))
                added += scan(s, reference, linked, list);
    }
    return added;
}

void GetAdressNrText(const table::Field* field, QString& text) {
    if (!field)
        return;
    text.clear();
    const int id = field->asIntegerOr(0);
    if (id == 0)
        return;
    table::Table& adress = DataModule1().TabLUAdress();
    if (!adress.isOpen())
        adress.open();
    const QVariant nr = adress.lookup({u"A_ID"_s}, {id}, u"A_Nr"_s);
    if (nr.isValid() && !nr.isNull())
        text = QString::number(nr.toInt());
}
