#include "operations/dailylistprintdata.h"

#include "core/data/dbhelpers.h"
#include "core/data/lookups.h"
#include "core/values/datetimevalue.h"
#include "platform/richtext/rtf.h"
#include "platform/table/table.h"

#include <QFont>
#include <QTextCursor>
#include <QTextDocument>

using namespace Qt::StringLiterals;
using table::Table;

namespace {

const QString kDb = u"LumoDB"_s;

QString dateText(const QDate& date) {
    return date.toString(u"dd.MM.yyyy"_s);
}

// A date field's date; the empty date for none, as the old lists counted it.
QDate storedDate(Table& t, const QString& field) {
    const QDate d = t.field(field).asDateOr(QDate());
    return d.isValid() ? d : DateOfDateTime(EmptyDate);
}

TDateTime timeOf(Table& t, const QString& field) {
    const table::Field& f = t.field(field);
    if (f.isNull())
        return EmptyDate;
    const QVariant v = f.value();
    return v.typeId() == QMetaType::QTime ? DateTimeOfMoment(DateOfDateTime(EmptyDate), v.toTime())
                                          : EmptyDate;
}

std::unique_ptr<Table> functionsOf(int tourNr, const QDate& date) {
    auto functions = OpenTempTable(kDb, u"Tglfunc.db"_s, u"I_DTOT"_s);
    functions->setRange({date, tourNr}, {date, tourNr});
    return functions;
}

// Cut or filled with blanks to exactly width characters.
QString fixed(const QString& text, int width) {
    return text.left(width).leftJustified(width, u' ');
}

} // namespace

std::optional<PrintRange> ProposedPrintRange() {
    auto tours = OpenTempTable(kDb, u"TglTour.DB"_s, u"I_DateTour"_s);
    if (tours->isEmpty())
        return std::nullopt;
    tours->first();
    const QDate first = storedDate(*tours, u"A_Date"_s);
    tours->last();
    const QDate last = storedDate(*tours, u"A_Date"_s);
    PrintRange range{first, last};
    if (first.daysTo(last) > 182)
        range.from = last.addDays(-182);
    return range;
}

qint64 RangeDays(const PrintRange& range) {
    return range.from.daysTo(range.to) + 1;
}

QString PrintRangeQuestion(const PrintRange& range) {
    return u"Möchten Sie wirklich für %1 Tage Tageslisten drucken?"_s.arg(RangeDays(range));
}

QList<DailyListHead> DailyListsInRange(const PrintRange& range) {
    auto tours = OpenTempTable(kDb, u"TglTour.DB"_s, u"I_DateTour"_s);
    tours->setRange({range.from}, {range.to});
    QList<DailyListHead> lists;
    for (tours->first(); !tours->eof() && !tours->isEmpty(); tours->next()) {
        DailyListHead head;
        head.tglTourId = FieldInt(*tours, u"A_TourID"_s);
        head.date = tours->field(u"A_Date"_s).asDateOr(QDate());
        if (!head.date.isValid())
            continue;
        head.tourNr = FieldInt(*tours, u"A_TourNr"_s);
        head.persName = FieldText(*tours, u"A_PersName"_s);
        head.dateText = dateText(head.date);
        head.tourNrText = QString::number(head.tourNr);
        lists.append(head);
    }
    return lists;
}

bool HasDailyListFunctions(int tourNr, const QDate& date) {
    auto functions = functionsOf(tourNr, date);
    return !functions->isEmpty();
}

QList<DailyListFunction> DailyListFunctionsOf(int tourNr, const QDate& date) {
    auto functions = functionsOf(tourNr, date);
    QList<DailyListFunction> list;
    for (functions->first(); !functions->eof() && !functions->isEmpty(); functions->next())
        list.append({FieldInt(*functions, u"FL_Type"_s), FieldText(*functions, u"FL_Param"_s),
                     FieldInt(*functions, u"FL_ObjNr"_s)});
    return list;
}

bool ActivityHasFunction(int tglTourId, int objektNr, int taetigNr) {
    auto tours = OpenTempTable(kDb, u"TglTour.DB"_s);
    if (!tours->locate({u"A_TourID"_s}, {tglTourId}))
        return false;
    const QDate date = tours->field(u"A_Date"_s).asDateOr(QDate());
    auto functions = OpenTempTable(kDb, u"Tglfunc.db"_s, u"I_DTOT"_s);
    return functions->findKey({date, FieldInt(*tours, u"A_TourNr"_s), objektNr, taetigNr});
}

TTemplateValues ListViewValues(int tourNr, const QDate& date, int objektNr, const QDate& today) {
    TTemplateValues v;
    v.Today = DateTimeOfDate(today);
    auto tours = OpenTempTable(kDb, u"TglTour.DB"_s, u"I_DateTour"_s);
    int tglTourId = 0;
    if (tours->findKey({date, tourNr})) {
        tglTourId = FieldInt(*tours, u"A_TourID"_s);
        v.TourDate = DateTimeOfDate(storedDate(*tours, u"A_Date"_s));
        v.TourNr = FieldInt(*tours, u"A_TourNr"_s);
        v.TourText = FieldText(*tours, u"A_Bezeichnung"_s);
        v.StaffName = FieldText(*tours, u"A_PersName"_s);
    }
    if (objektNr == 0)
        return v;
    auto objects = OpenTempTable(kDb, u"Objekte.DB"_s);
    int kunde = 0;
    if (objects->locate({u"O_Nr"_s}, {objektNr})) {
        v.ObjektNr = objektNr;
        v.OMatch = FieldText(*objects, u"O_Match"_s);
        v.OName1 = FieldText(*objects, u"O_Name1"_s);
        v.OName2 = FieldText(*objects, u"O_Name2"_s);
        v.OName3 = FieldText(*objects, u"O_Name3"_s);
        v.OStrasse = FieldText(*objects, u"O_Strasse"_s);
        v.OPlz = FieldText(*objects, u"O_Plz"_s);
        v.OOrt = FieldText(*objects, u"O_Ort"_s);
        v.OTelefon = FieldText(*objects, u"O_Telefon"_s);
        v.OFax = FieldText(*objects, u"O_Fax"_s);
        kunde = FieldInt(*objects, u"O_Kunde"_s);
    }
    auto dailyObjects = OpenTempTable(kDb, u"TglObj.DB"_s);
    if (tglTourId != 0 &&
        dailyObjects->locate({u"A_TourID"_s, u"A_ObjektNr"_s}, {tglTourId, objektNr})) {
        v.FromTime = timeOf(*dailyObjects, u"A_VonUhr"_s);
        v.ToTime = timeOf(*dailyObjects, u"A_BisUhr"_s);
        if (const int listed = FieldInt(*dailyObjects, u"A_Kunde"_s); listed != 0)
            kunde = listed;
    }
    auto customers = OpenTempTable(kDb, u"Kunden.DB"_s);
    v.KundenNr = kunde;
    if (kunde != 0 && customers->locate({u"K_Nr"_s}, {kunde})) {
        v.KMatch = FieldText(*customers, u"K_Match"_s);
        v.KName1 = FieldText(*customers, u"K_Name1"_s);
        v.KName2 = FieldText(*customers, u"K_Name2"_s);
        v.KName3 = FieldText(*customers, u"K_Name3"_s);
        v.KStrasse = FieldText(*customers, u"K_Strasse"_s);
        v.KPlz = FieldText(*customers, u"K_Plz"_s);
        v.KOrt = FieldText(*customers, u"K_Ort"_s);
        v.KTelefon = FieldText(*customers, u"K_Tel1"_s);
        v.KFax = FieldText(*customers, u"K_Fax"_s);
    }
    return v;
}

QByteArray ReminderListRtf(int tourNr, const QDate& date, const QDate& today, const QFont& font) {
    QTextDocument document;
    document.setDefaultFont(font);
    QTextCursor cursor(&document);
    QTextCharFormat plain;
    plain.setFont(font);
    QTextCharFormat bold = plain;
    bold.setFontWeight(QFont::Bold);
    bool any = false;
    for (const DailyListFunction& f : DailyListFunctionsOf(tourNr, date)) {
        if (f.type != 2)
            continue;
        if (!any) {
            cursor.insertText(
                u"Erinnerungsliste Tour %1 für den %2"_s.arg(tourNr).arg(dateText(date)), bold);
            cursor.insertBlock();
            cursor.insertBlock();
            any = true;
        } else {
            cursor.insertBlock();
        }
        QString line = f.param;
        ExpandTemplateText(line, ListViewValues(tourNr, date, f.objektNr, today));
        cursor.insertText(line, plain);
    }
    return any ? richtext::toRtf(document) : QByteArray();
}

QStringList AppointmentLinesOfDay(const QDate& day) {
    auto rows = OpenTempTable(kDb, u"TermObj.DB"_s);
    QStringList lines;
    for (rows->first(); !rows->eof() && !rows->isEmpty(); rows->next()) {
        if (rows->field(u"T_Date"_s).asDateOr(QDate()) != day)
            continue;
        QString line = QString::number(FieldInt(*rows, u"T_Objekt"_s)).rightJustified(6, u' ') +
                       u' ' + fixed(FieldText(*rows, u"T_ObjName"_s), 30) + u' ' +
                       fixed(FieldText(*rows, u"T_Kurztext"_s), 30);
        if (FieldInt(*rows, u"T_LsID"_s) != 0)
            line += u" LS"_s;
        lines.append(line);
    }
    return lines;
}

QList<DayWorkSheet> AppointmentWorkSheetsOfDay(const QDate& day) {
    auto rows = OpenTempTable(kDb, u"TermObj.DB"_s);
    QList<DayWorkSheet> sheets;
    for (rows->first(); !rows->eof() && !rows->isEmpty(); rows->next()) {
        if (rows->field(u"T_Date"_s).asDateOr(QDate()) != day)
            continue;
        DayWorkSheet s;
        s.sheet.objektNr = FieldInt(*rows, u"T_Objekt"_s);
        s.sheet.dateText = dateText(day);
        s.sheet.filter = u"T_Objekt=%1 AND T_Date=%2 AND T_Erledigt='false'"_s.arg(s.sheet.objektNr)
                             .arg(s.sheet.dateText);
        s.sheet.objektText =
            QString::number(s.sheet.objektNr) + u" : "_s + FieldText(*rows, u"T_ObjName"_s);
        s.sheet.address = TermObjektAddress(s.sheet.objektNr);
        s.lsId = FieldInt(*rows, u"T_LsID"_s);
        sheets.append(s);
    }
    return sheets;
}

std::optional<int> DeliveryNotePrintForm(int lsId) {
    auto heads = OpenTempTable(kDb, u"LSkopf.DB"_s);
    if (!heads->locate({u"R_ID"_s}, {lsId}))
        return std::nullopt;
    return FieldInt(*heads, u"R_PrintFormNo"_s);
}

void MarkDeliveryNotePrinted(int lsId, const QDate& today) {
    auto heads = OpenTempTable(kDb, u"LSkopf.DB"_s);
    if (!heads->locate({u"R_ID"_s}, {lsId}))
        return;
    CancelEditOnError(*heads, [&] {
        heads->edit();
        heads->field(u"R_DatumDruck"_s).setValue(today);
        heads->field(u"R_LiefDatum"_s).setValue(today);
        heads->post();
    });
}
