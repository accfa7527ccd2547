#include "printing/defaultprintforms.h"

#include "core/data/layoutfiles.h"
#include "core/data/printformrows.h"
#include "core/files/filehelpers.h"
#include "core/files/filelookup.h"
#include "core/files/programdirs.h"
#include "core/messages/messages.h"
#include "platform/errors.h"
#include "platform/report/report.h"
#include "platform/report/reportreader.h"
#include "platform/table/database.h"
#include "platform/table/table.h"
#include "printing/formtypes.h"
#include "printing/layoutfile.h"

using namespace Qt::StringLiterals;

namespace {

void writeLayout(const FormTypeInfo& type, const QString& path) {
    const auto rep = report::Report::create(type.reportClass.toString());
    const QByteArray bytes =
        WriteFormLayout(*rep, type.catalogueName.toString(), PrinterOptionValues{});
    if (WriteDataFile(path, bytes) != DataFileWrite::Written)
        throw DbError(u"Die Formulardatei "_s + path + u" kann nicht geschrieben werden."_s);
}

void addRow(table::Table& forms, const FormTypeInfo& type, int id, const QString& fileName) {
    forms.append();
    forms[u"QF_ID"_s] = id;
    forms[u"Q_FormType"_s] = type.type;
    forms[u"Q_SelectGroup"_s] = PrintFormSelectGroup(type.type);
    forms[u"Q_Protect"_s] = false;
    forms[u"Q_Filename"_s] = fileName;
    forms[u"Q_Comment"_s] = type.catalogueName.toString();
    forms.post();
}

void ensureForms() {
    const QString layoutDir = GetMandantQrfdDir(0);
    table::Database::Options options;
    options.create = false;
    auto db = table::Database::open(TemplateDataDir, options);
    // An old template gets its print-form table with its upgrade.
    if (!db->exists(u"QrFrmDef.DB"_s))
        return;
    table::Table forms(db, u"QrFrmDef.DB"_s);
    forms.open();
    for (const FormTypeInfo& type : FormTypes()) {
        if (type.reportClass.isEmpty() || !report::hasReportDefinition(type.reportClass.toString()))
            continue;
        // A type the template's catalogue lacks is not imported into clients either.
        if (!forms.findKey({type.type}))
            continue;
        const int id = DefaultFormIdOfType(type.type);
        QString path = FindFileIgnoringCase(layoutDir, LayoutFileName(id));
        if (path.isEmpty()) {
            if (!EnsureDirectory(layoutDir))
                throw DbError(u"Das Verzeichnis "_s + layoutDir +
                              u" kann nicht erstellt werden."_s);
            path = layoutDir + LayoutFileName(id);
            writeLayout(type, path);
        }
        if (!forms.findKey({id}))
            addRow(forms, type, id, path.mid(path.lastIndexOf(u'/') + 1));
    }
}

} // namespace

bool EnsureDefaultPrintForms() {
    try {
        ensureForms();
        return true;
    } catch (const DbError& error) {
        ShowError(error.message());
        return false;
    }
}
