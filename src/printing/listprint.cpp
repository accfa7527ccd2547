#include "printing/listprint.h"

#include "core/data/datamodule.h"
#include "dbstructure/tableschema.h"
#include "platform/report/report.h"
#include "platform/table/table.h"
#include "printing/listdescription.h"
#include "printing/listreport.h"
#include "printing/reportentry.h"

using namespace Qt::StringLiterals;

namespace {

bool hasRecord(table::Table& t) {
    return t.isOpen() && !t.isEmpty() && (t.recNo() > 0 || t.isEditing());
}

void copyScreenSettings(report::Report& rep, const ListDescription& d,
                        const ListPrintOptions& options) {
    const QString source = options.screenTable.isEmpty() ? d.screenTable : options.screenTable;
    report::DatasetDef& list = rep.datasetDef(d.datasets.first().name);
    if (!source.isEmpty()) {
        table::Table& screen = DataModule1().table(source);
        const bool filter = options.copyFilter.value_or(d.screenCopy.contains(u"filter"_s));
        if (d.screenCopy.contains(u"database"_s))
            list.alias = u"LumoDB"_s; // the data module's tables all live there
        if (d.screenCopy.contains(u"tableName"_s))
            list.table = screen.tableName();
        if (d.screenCopy.contains(u"index"_s))
            list.index = screen.indexName();
        list.filter.clear();
        list.filtered = false;
        if (filter) {
            list.filter = screen.filter();
            list.filtered = screen.isFiltered();
        }
    }
    if (!options.tableName.isEmpty())
        list.table = options.tableName;
}

void installOptionalBandHook(report::Report& rep) {
    rep.hooks().beforeBand(QString::fromLatin1(kOptionalBandHook), [&rep](report::RunContext&,
                                                                          report::Component& band) {
        for (const report::Component& c : rep.def().components) {
            if (c.enabled && c.parent.compare(band.name, Qt::CaseInsensitive) == 0)
                return true;
        }
        return false;
    });
}

} // namespace

bool PrintList(ReportEntryBusy& busy, int formType, bool preview, const QString& layoutFile,
               const ListPrintOptions& options) {
    ReportEntryCall call;
    call.formType = formType;
    call.preview = preview;
    call.layoutFile = layoutFile;
    call.prepare = [formType, &options](report::Report& rep) {
        const ListDescription& d = ListDescriptionOf(formType);
        copyScreenSettings(rep, d, options);
        installOptionalBandHook(rep);
        if (options.prepare)
            options.prepare(rep);
    };
    return RunReportEntry(busy, call);
}

bool SameTableName(const QString& a, const QString& b) {
    return dbstructure::TableLookupKey(a) == dbstructure::TableLookupKey(b);
}

QString CurrentRecordTitle(table::Table& t, const QString& numberField, const QString& nameField) {
    if (!hasRecord(t))
        return {};
    return t.value(numberField).toString() + u" -- "_s + t.value(nameField).toString();
}

QVariant CurrentRecordValue(table::Table& t, const QString& field) {
    return hasRecord(t) ? t.value(field) : QVariant();
}

int CurrentRecordNumber(table::Table& t, const QString& field) {
    return CurrentRecordValue(t, field).toInt();
}
