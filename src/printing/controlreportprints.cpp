#include "printing/controlreportprints.h"

#include "core/data/reportsource.h"
#include "platform/report/report.h"
#include "platform/table/backend.h"
#include "platform/table/database.h"
#include "platform/table/datetimecodec.h"
#include "platform/table/values.h"
#include "printing/companylogo.h"
#include "printing/reportentry.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

const QString kLumo = u"LumoDB"_s;

QString tableName(table::Database& db, const QString& table) {
    return table::quoted(table::physicalName(db.tableDef(table).name));
}

bool headExists(int objektNr, const QDate& druckDatum) {
    auto db = table::aliases::database(ReportDatabaseName);
    if (!db->exists(u"BerKopf.db"_s) || !druckDatum.isValid())
        return false;
    return db
        ->selectValue(u"SELECT 1 FROM %1 WHERE \"B_ObjektNr\" = ? AND \"B_DruckDatum\" = ? "
                      "LIMIT 1"_s.arg(tableName(*db, u"BerKopf.db"_s)),
                      {objektNr, table::codec::dateText(druckDatum)})
        .isValid();
}

// The title band's address, object and customer fields, read on their own
// (the shared object table keeps its place); empty when not found.
void fillTitle(report::Report& rep, int objektNr) {
    auto db = table::aliases::database(kLumo);
    const QStringList objectFields{u"O_Name1"_s,   u"O_Name2"_s, u"O_Name3"_s,
                                   u"O_Strasse"_s, u"O_Plz"_s,   u"O_Ort"_s};
    const QStringList customerFields{u"K_Name1"_s,   u"K_Name2"_s, u"K_Name3"_s,
                                     u"K_Strasse"_s, u"K_Plz"_s,   u"K_Ort"_s};
    QStringList quotedObject;
    for (const QString& f : objectFields)
        quotedObject << u"O.\""_s + f + u'"';
    QStringList quotedCustomer;
    for (const QString& f : customerFields)
        quotedCustomer << u"K.\""_s + f + u'"';
    auto s = db->connection().prepare(
        u"SELECT %1, O.\"O_Match\", O.\"O_Kunde\", COALESCE(O.\"O_UseKundenAdresseKb\", 0), %2, "
        "K.\"K_Nr\" FROM %3 O LEFT JOIN %4 K ON K.\"K_Nr\" = O.\"O_Kunde\" WHERE O.\"O_Nr\" = ? "
        "LIMIT 1"_s.arg(quotedObject.join(u", "_s), quotedCustomer.join(u", "_s),
                        tableName(*db, u"Objekte.DB"_s), tableName(*db, u"Kunden.DB"_s)));
    s->bind(1, objektNr);
    QStringList address(6);
    QString match, kunde;
    if (s->step()) {
        const bool customerAddress = s->int64(8) != 0;
        for (int i = 0; i < 6; ++i) {
            const int column = customerAddress ? 9 + i : i;
            address[i] = s->isNull(column) ? QString() : s->text(column);
        }
        match = s->isNull(6) ? QString() : s->text(6);
        kunde = s->isNull(7) ? QString() : QString::number(s->int64(7));
    }
    for (int i = 0; i < 6; ++i)
        rep.component(objectFields[i]).caption = address[i];
    rep.component(u"O_Match"_s).caption = match;
    rep.component(u"O_Kunde"_s).caption = kunde;
    rep.component(u"L_Heute"_s).caption = QDate::currentDate().toString(u"dd.MM.yyyy"_s);
}

void printKbericht(ReportEntryBusy& busy, int formType, int objektNr, int copies,
                   const QString& filter, const QDate& druckDatum, bool preview,
                   const QString& layoutFile) {
    ReportEntryCall call;
    call.formType = formType;
    call.preview = preview;
    call.layoutFile = layoutFile;
    call.prepare = [&](report::Report& rep) {
        if (!headExists(objektNr, druckDatum))
            throw ReportNothingToPrint{};
        for (const char* name : {"TabHead", "TabList"})
            rep.datasetDef(QString::fromLatin1(name)).alias = ReportDatabaseName;
        for (const char* name : {"TabBerText", "TabFirmen"})
            rep.datasetDef(QString::fromLatin1(name)).alias = kLumo;
        report::DatasetDef& head = rep.datasetDef(u"TabHead"_s);
        head.filter = u"B_ObjektNr=%1 AND B_DruckDatum=%2"_s.arg(objektNr).arg(
            druckDatum.toString(u"dd.MM.yyyy"_s));
        head.filtered = true;
        report::DatasetDef& lines = rep.datasetDef(u"TabList"_s);
        lines.filter = filter;
        lines.filtered = true;
        fillTitle(rep, objektNr);
        if (const report::Component* logo = rep.find(u"Logo"_s); logo && logo->enabled)
            ApplyFirmenLogo(rep, u"Logo"_s);
        rep.printSettings().copies = std::max(1, copies);
    };
    RunReportEntry(busy, call);
}

} // namespace

void PrintKberichtSumm(int objektNr, int copies, const QString& filter, const QDate& druckDatum,
                       bool preview, const QString& layoutFile) {
    static ReportEntryBusy busy;
    printKbericht(busy, 26000, objektNr, copies, filter, druckDatum, preview, layoutFile);
}

void PrintKberichtGezaehlt(int objektNr, int copies, const QString& filter, const QDate& druckDatum,
                           bool preview, const QString& layoutFile) {
    static ReportEntryBusy busy;
    printKbericht(busy, 27000, objektNr, copies, filter, druckDatum, preview, layoutFile);
}

void PrintKberichtKomplett(int objektNr, int copies, const QString& filter, const QDate& druckDatum,
                           bool preview, const QString& layoutFile) {
    static ReportEntryBusy busy;
    printKbericht(busy, 28000, objektNr, copies, filter, druckDatum, preview, layoutFile);
}

void PrintKbericht(int formType, int objektNr, int copies, const QString& filter,
                   const QDate& druckDatum, bool preview, const QString& layoutFile) {
    switch (formType) {
    case 26000:
        PrintKberichtSumm(objektNr, copies, filter, druckDatum, preview, layoutFile);
        break;
    case 27000:
        PrintKberichtGezaehlt(objektNr, copies, filter, druckDatum, preview, layoutFile);
        break;
    default:
        PrintKberichtKomplett(objektNr, copies, filter, druckDatum, preview, layoutFile);
        break;
    }
}
