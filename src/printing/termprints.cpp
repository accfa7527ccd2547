#include "printing/termprints.h"

#include "core/data/dbhelpers.h"
#include "platform/report/report.h"
#include "platform/table/table.h"
#include "printing/companylogo.h"
#include "printing/listprint.h"
#include "printing/reportentry.h"

#include <array>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QString kDb = u"LumoDB"_s;

void setListFilter(report::DatasetDef& list, const QString& filter) {
    list.alias = kDb;
    list.filter = filter;
    list.filtered = !filter.trimmed().isEmpty();
}

void printTermList(ReportEntryBusy& busy, int formType, bool preview, const QString& filter,
                   const QString& dateText, const QString& objektText, const QString& layoutFile) {
    ListPrintOptions options;
    options.prepare = [&](report::Report& rep) {
        rep.component(u"L_Titel2"_s).caption = dateText + u", "_s + objektText;
        setListFilter(rep.datasetDef(u"TabList"_s), filter);
    };
    PrintList(busy, formType, preview, layoutFile, options);
}

// What the work sheet shows of its first appointment.
struct FirstAppointment {
    bool exists = false;
    int objektNr = 0;
    int lsId = 0;
};

FirstAppointment firstAppointment(const QString& filter) {
    table::Table rows(table::aliases::database(kDb), u"TermObj.DB"_s);
    rows.setReadOnly(true);
    rows.setIndexName(u"M_IDateObj"_s);
    rows.setFilter(filter);
    rows.setFiltered(!filter.trimmed().isEmpty());
    rows.open();
    if (rows.isEmpty())
        return {};
    return {true, FieldInt(rows, u"T_Objekt"_s), FieldInt(rows, u"T_LsID"_s)};
}

// A field of the row of a table whose key field holds key, read through a
// cursor of its own; null when there is none.
QVariant lookupValue(const QString& tableName, const QString& keyField, int key,
                     const QString& resultField) {
    table::Table t(table::aliases::database(kDb), tableName);
    t.setReadOnly(true);
    t.open();
    return t.lookup({keyField}, {key}, resultField);
}

} // namespace

void PrintTermList(bool preview, const QString& filter, const QString& dateText,
                   const QString& objektText, const QString& layoutFile) {
    static ReportEntryBusy busy;
    printTermList(busy, 31000, preview, filter, dateText, objektText, layoutFile);
}

void PrintTermListTag(bool preview, const QString& filter, const QString& dateText,
                      const QString& objektText, const QString& layoutFile) {
    static ReportEntryBusy busy;
    printTermList(busy, 32000, preview, filter, dateText, objektText, layoutFile);
}

void PrintTermListObjekt(bool preview, const QString& filter, const QString& dateText,
                         const QString& objektText, const QString& layoutFile) {
    static ReportEntryBusy busy;
    printTermList(busy, 33000, preview, filter, dateText, objektText, layoutFile);
}

void PrintTermListObjektTag(bool preview, const QString& filter, const QString& dateText,
                            const QString& objektText, const QString& layoutFile) {
    static ReportEntryBusy busy;
    printTermList(busy, 34000, preview, filter, dateText, objektText, layoutFile);
}

TermListEntry FindTermListEntry(QStringView name) {
    struct Named {
        QStringView name;
        TermListEntry entry;
    };
    static const std::array<Named, 4> entries{
        {{u"PrintTermList", &PrintTermList},
         {u"PrintTermListTag", &PrintTermListTag},
         {u"PrintTermListObjekt", &PrintTermListObjekt},
         {u"PrintTermListObjektTag", &PrintTermListObjektTag}}};
    for (const Named& n : entries)
        if (n.name == name)
            return n.entry;
    return nullptr;
}

void PrintArbeitsschein(bool preview, const QString& filter, const QString& dateText,
                        const QString& objektText, const QString& objektAdresse,
                        const QString& layoutFile) {
    static ReportEntryBusy busy;
    ReportEntryCall call;
    call.formType = 41000;
    call.preview = preview;
    call.layoutFile = layoutFile;
    call.prepare = [&](report::Report& rep) {
        rep.component(u"L_TglDatum"_s).caption = dateText;
        rep.component(u"R_Objekt"_s).caption = objektText;
        rep.component(u"R_Adresse"_s).caption = objektAdresse;
        setListFilter(rep.datasetDef(u"TabList"_s), filter);

        const FirstAppointment first = firstAppointment(filter);
        // The object's own texts come through the report's cursor, on the
        // object of the first appointment; none when it does not exist.
        report::DatasetDef& objekt = rep.datasetDef(u"TabObjekt"_s);
        objekt.alias = kDb;
        objekt.filter = u"O_Nr=%1"_s.arg(first.objektNr);
        objekt.filtered = true;
        const bool found =
            first.exists && IntValueExists(kDb, u"Objekte.DB"_s, u"O_Nr"_s, first.objektNr);
        if (!found)
            for (const char* name : {"O_Beschreibung", "O_Selektion", "O_Grund", "O_Termin"})
                rep.component(QString::fromLatin1(name)).enabled = false;

        report::Component& caption = rep.component(u"L_Lieferschein"_s);
        caption.enabled = caption.enabled && first.lsId != 0;
        rep.component(u"L_LieferscheinNr"_s).caption =
            first.lsId != 0
                ? lookupValue(u"LSkopf.DB"_s, u"R_ID"_s, first.lsId, u"R_Nr"_s).toString()
                : QString();

        for (const char* logo : {"F_Logo", "F_Logo2"})
            if (rep.component(QString::fromLatin1(logo)).enabled)
                ApplyFirmenLogo(rep, QString::fromLatin1(logo));
    };
    RunReportEntry(busy, call);
}
