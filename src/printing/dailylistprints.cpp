#include "printing/dailylistprints.h"

#include "platform/report/report.h"
#include "printing/companylogo.h"
#include "printing/reportentry.h"

#include <QDate>

using namespace Qt::StringLiterals;

namespace {

const QString kDb = u"LumoDB"_s;

// The report's three cursors on one daily list of the client database.
void selectDailyList(report::Report& rep, const QString& dateText, const QString& tourNrText) {
    for (const char* name : {"TabTagTour", "TabTagObj", "TabTagTaetig", "TabFirmen"})
        rep.datasetDef(QString::fromLatin1(name)).alias = kDb;
    report::DatasetDef& tour = rep.datasetDef(u"TabTagTour"_s);
    // Written as the program writes its filters; a text that is no number
    // or date matches no list rather than being read as something else.
    bool number = false;
    tourNrText.trimmed().toInt(&number);
    const bool date = QDate::fromString(dateText.trimmed(), u"dd.MM.yyyy"_s).isValid();
    tour.filter = number && date
                      ? u"A_Date=%1 AND A_TourNr=%2"_s.arg(dateText.trimmed(), tourNrText.trimmed())
                      : u"A_TourID=0 AND A_TourID<>0"_s;
    tour.filtered = true;
}

void applyLogos(report::Report& rep, std::initializer_list<const char*> names) {
    for (const char* logo : names)
        if (const report::Component* image = rep.find(QString::fromLatin1(logo));
            image && image->enabled)
            ApplyFirmenLogo(rep, QString::fromLatin1(logo));
}

// "[1]" for a mark, "[]" for none.
void installBrackets(report::Report& rep) {
    rep.hooks().onPrint(u"Klammern"_s, [](report::RunContext&, report::ControlPrint& p) {
        p.text = u'[' + (p.value.isNull() ? QString() : p.text.trimmed()) + u']';
    });
}

} // namespace

void PrintTagList(const QString& dateText, const QString& tourNrText, const QString& persName,
                  bool preview, const QString& layoutFile) {
    static ReportEntryBusy busy;
    ReportEntryCall call;
    call.formType = 25000;
    call.preview = preview;
    call.layoutFile = layoutFile;
    call.prepare = [&](report::Report& rep) {
        rep.component(u"QRLbPersname"_s).caption = persName;
        selectDailyList(rep, dateText, tourNrText);
        installBrackets(rep);
        applyLogos(rep, {"F_Logo"});
    };
    RunReportEntry(busy, call);
}

void PrintArbeitsbericht(const QString& dateText, const QString& tourNrText,
                         const QString& persName, bool preview, const QString& layoutFile) {
    static ReportEntryBusy busy;
    ReportEntryCall call;
    call.formType = 35000;
    call.preview = preview;
    call.layoutFile = layoutFile;
    call.prepare = [&](report::Report& rep) {
        rep.component(u"L_BetreuerName"_s).caption = persName;
        selectDailyList(rep, dateText, tourNrText);
        applyLogos(rep, {"F_Logo", "F_Logo2"});
    };
    RunReportEntry(busy, call);
}
