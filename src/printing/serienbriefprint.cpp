#include "printing/serienbriefprint.h"

#include "core/data/datamodule.h"
#include "platform/errors.h"
#include "platform/report/report.h"
#include "platform/richtext/rtf.h"
#include "platform/table/table.h"
#include "printing/companylogo.h"
#include "printing/reportentry.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextDocument>

using namespace Qt::StringLiterals;

namespace {

constexpr int kSerienbriefFormType = 80000;

// The letter as the report's rich-text area holds it: the file's RTF.
QString letterText(const QString& fileName) {
    QFile file(fileName);
    QByteArray bytes;
    bool readable = file.open(QIODevice::ReadOnly);
    if (readable) {
        bytes = file.readAll();
        readable = file.error() == QFileDevice::NoError && richtext::isRtf(bytes);
    }
    if (readable) {
        try {
            richtext::fromRtf(bytes);
        } catch (const richtext::RtfError&) {
            readable = false;
        }
    }
    // An empty letter printed to every address, and its sending noted,
    // would be worse than no letter.
    if (!readable)
        throw DbError(u"Die Briefdatei %1 kann nicht gelesen werden."_s.arg(fileName));
    return QString::fromLatin1(bytes);
}

// The letter reads the address the address table stands on; without one
// its fields stay empty.
QString currentAdressFilter() {
    table::Table& adress = DataModule1().TabAdress();
    const table::Field* id =
        adress.isOpen() && !adress.isEmpty() ? adress.findField(u"A_ID"_s) : nullptr;
    return u"A_ID=%1"_s.arg(id && !id->isNull() ? id->asInteger() : -1);
}

} // namespace

void PrintSerienbrief(bool preview, const QString& letterFile, const QString& layoutFile) {
    static ReportEntryBusy busy;
    ReportEntryCall call;
    call.formType = kSerienbriefFormType;
    call.preview = preview;
    call.layoutFile = layoutFile;
    call.beforeLayout = [&letterFile](report::Report& rep) {
        if (rep.component(u"F_Logo"_s).enabled)
            ApplyFirmenLogo(rep, u"F_Logo"_s);
        rep.component(u"R_Textbereich"_s).caption = letterText(letterFile);
    };
    call.prepare = [](report::Report& rep) {
        report::DatasetDef& adress = rep.datasetDef(u"TabAdress"_s);
        adress.filter = currentAdressFilter();
        adress.filtered = true;
        rep.printSettings().showProgress = false;
    };
    if (RunReportEntry(busy, call))
        QCoreApplication::processEvents();
}
