#include "operations/termfilter.h"

#include "core/data/dbhelpers.h"
#include "platform/table/table.h"

using namespace Qt::StringLiterals;

namespace {

const QString kDb = u"LumoDB"_s;

QString dateText(const QDate& date) {
    return date.toString(u"dd.MM.yyyy"_s);
}

QString openOnly() {
    return u"T_Erledigt='false'"_s;
}

} // namespace

QStringList TermFilterCaptions() {
    return {u"kein Filter"_s, u"gewähltes Datum"_s, u"aktuelle Objekt-Nummer"_s, u"Datum+Objekt"_s};
}

QString BuildTermFilter(TermFilterChoice choice, const QDate& date, int objektNr, bool onlyOpen) {
    QStringList parts;
    if (choice == TermFilterChoice::Date || choice == TermFilterChoice::DateObjekt)
        parts << u"T_Date='%1'"_s.arg(dateText(date));
    if (choice == TermFilterChoice::Objekt || choice == TermFilterChoice::DateObjekt)
        parts << u"T_Objekt=%1"_s.arg(objektNr);
    if (onlyOpen)
        parts << openOnly();
    return parts.join(u" AND "_s);
}

TermListPrint TermListPrintOf(TermFilterChoice choice, const QDate& from, const QDate& to,
                              const QDate& rowDate, int objektNr, const QString& objName) {
    const QString period = u"vom "_s + dateText(from) + u" bis "_s + dateText(to);
    const QString objekt = u"Objekt "_s + QString::number(objektNr) + u" : "_s + objName;
    switch (choice) {
    case TermFilterChoice::None:
        return {31000, u"PrintTermList"_s, period, u"alle Objekte"_s};
    case TermFilterChoice::Date:
        return {32000, u"PrintTermListTag"_s, u"vom "_s + dateText(rowDate), u"alle Objekte"_s};
    case TermFilterChoice::Objekt:
        return {33000, u"PrintTermListObjekt"_s, period, objekt};
    case TermFilterChoice::DateObjekt:
        return {34000, u"PrintTermListObjektTag"_s, u"vom "_s + dateText(from), objekt};
    }
    return {};
}

QString TermObjektAddress(int objektNr) {
    auto objects = OpenTempTable(kDb, u"Objekte.DB"_s);
    if (!objects->locate({u"O_Nr"_s}, {objektNr}))
        return u"Kein Objekt angegeben"_s;
    return FieldText(*objects, u"O_Strasse"_s) + u", "_s + FieldText(*objects, u"O_Plz"_s) + u' ' +
           FieldText(*objects, u"O_Ort"_s);
}

QList<TermWorkSheet> TermWorkSheetsOfDay(const QString& gridFilter, const QDate& day,
                                         bool onlyOpen) {
    const QString date = dateText(day);
    QString filter = u"T_Date=%1"_s.arg(date);
    if (!gridFilter.trimmed().isEmpty())
        filter = u"("_s + gridFilter + u") AND "_s + filter;
    auto rows = std::make_unique<table::Table>(table::aliases::database(kDb), u"TermObj.DB"_s);
    rows->setIndexName(u"M_IDateObj"_s);
    rows->setFilter(filter);
    rows->setFiltered(true);
    rows->open();
    QList<TermWorkSheet> sheets;
    bool first = true;
    int previous = 0;
    for (; !rows->eof() && !rows->isEmpty(); rows->next()) {
        const int objektNr = FieldInt(*rows, u"T_Objekt"_s);
        if (!first && objektNr == previous)
            continue;
        first = false;
        previous = objektNr;
        TermWorkSheet sheet;
        sheet.objektNr = objektNr;
        sheet.filter = u"T_Objekt=%1 AND T_Date=%2"_s.arg(objektNr).arg(date);
        if (onlyOpen)
            sheet.filter += u" AND "_s + openOnly();
        sheet.dateText = date;
        sheet.objektText = QString::number(objektNr) + u" : "_s + FieldText(*rows, u"T_ObjName"_s);
        sheet.address = TermObjektAddress(objektNr);
        sheets.append(sheet);
    }
    return sheets;
}
