#include "printing/monplanprints.h"

#include "core/values/calendar.h"
#include "core/values/numberparsing.h"
#include "core/values/rangeerrors.h"
#include "platform/report/report.h"
#include "printing/companylogo.h"
#include "printing/reportentry.h"

#include <QDate>
#include <functional>

using namespace Qt::StringLiterals;

namespace {

QColor calendarColour(int jahr, int monat, int day) {
    if (jahr < 0 || jahr > 65535 || monat < 0 || monat > 255 || day < 0 || day > 255)
        RaiseRangeError();
    if (!QDate::isValid(jahr, monat, day))
        return QColor(160, 160, 160);
    if (IsWeekend(jahr, monat, day))
        return QColor(215, 228, 253);
    return Qt::white;
}

// The day of a day field ("P_F07" is day 7); 0 for any other field.
int dayOfField(const QString& field) {
    if (!field.contains(u"P_F"_s, Qt::CaseInsensitive))
        return 0;
    return field.mid(3, 2).toInt();
}

enum class CellKind { Number, Letter };

void prepare(report::Report& rep, int jahr, int monat, const QString& table, CellKind kind) {
    report::DatasetDef& print = rep.datasetDef(u"TabPrint"_s);
    print.alias = u"LumoDB"_s;
    print.table = table;
    print.index = u"Sort"_s;
    rep.datasetDef(u"TabFirma"_s).alias = u"LumoDB"_s;
    rep.hooks().onPrint(u"MonPlanCell"_s, [=](report::RunContext&, report::ControlPrint& p) {
        const int day = dayOfField(p.control.field);
        if (day == 0)
            return;
        const MonPlanCell cell = kind == CellKind::Number
                                     ? MonPlanNumberCell(jahr, monat, day, p.text)
                                     : MonPlanLetterCell(jahr, monat, day, p.text);
        p.text = cell.text;
        p.color = cell.background;
        p.transparent = false;
    });
    if (const report::Component* logo = rep.find(u"F_Logo"_s); logo && logo->enabled)
        ApplyFirmenLogo(rep, u"F_Logo"_s);
}

void setCaption(report::Report& rep, const char* name, const QString& text) {
    if (report::Component* c = rep.find(QString::fromLatin1(name)))
        c->caption = text;
}

QString monthText(int jahr, int monat) {
    return QString::number(monat) + u'/' + QString::number(jahr);
}

void run(int formType, bool preview, const QString& layoutFile, QWidget* parent,
         ReportEntryBusy& busy, const std::function<void(report::Report&)>& prepare) {
    ReportEntryCall call;
    call.formType = formType;
    call.preview = preview;
    call.layoutFile = layoutFile;
    call.parent = parent;
    call.prepare = prepare;
    RunReportEntry(busy, call);
}

} // namespace

MonPlanCell MonPlanNumberCell(int jahr, int monat, int day, const QString& value) {
    const QColor calendar = calendarColour(jahr, monat, day);
    const int n = StrToIntZero(value.trimmed());
    if (n != 0)
        return {QString::number(n), QColor(255, 255, 0)};
    return {u"-"_s, calendar};
}

MonPlanCell MonPlanLetterCell(int jahr, int monat, int day, const QString& value) {
    const QColor calendar = calendarColour(jahr, monat, day);
    const int code = StrToIntZero(value.trimmed());
    if (code == 0)
        return {value, calendar};
    if (code == 32)
        return {u"-"_s, calendar};
    const QChar letter(char16_t(code & 0xFFFF));
    QColor colour = calendar;
    switch (letter.unicode()) {
    case u'A':
        colour = QColor(255, 167, 79);
        break;
    case u'E':
        colour = QColor(0, 255, 0);
        break;
    case u'O':
    case u'V':
        colour = QColor(255, 255, 0);
        break;
    case u'R':
        colour = QColor(255, 0, 0);
        break;
    default:
        break;
    }
    return {QString(letter), colour};
}

void PrintMonList(int jahr, int monat, const QString& printTableName, bool preview,
                  const QString& layoutFile, QWidget* parent) {
    static ReportEntryBusy busy;
    run(73000, preview, layoutFile, parent, busy, [&](report::Report& rep) {
        setCaption(rep, "L_ListDatum1", monthText(jahr, monat));
        setCaption(rep, "L_Listdatum2", monthText(jahr, monat));
        prepare(rep, jahr, monat, printTableName, CellKind::Number);
    });
}

void PrintMonObj(int jahr, int monat, const QString& tourText, const QString& printTableName,
                 bool preview, const QString& layoutFile, QWidget* parent) {
    static ReportEntryBusy busy;
    run(72000, preview, layoutFile, parent, busy, [&](report::Report& rep) {
        setCaption(rep, "L_MonatJahr1", monthText(jahr, monat));
        setCaption(rep, "L_MonatJahr2", monthText(jahr, monat));
        setCaption(rep, "L_ListDatum1", tourText);
        setCaption(rep, "L_Listdatum2", tourText);
        prepare(rep, jahr, monat, printTableName, CellKind::Number);
    });
}

void PrintMonTaetig(int jahr, int monat, const QString& tourText, const QString& objektText,
                    const QString& printTableName, bool preview, const QString& layoutFile,
                    QWidget* parent) {
    static ReportEntryBusy busy;
    run(71000, preview, layoutFile, parent, busy, [&](report::Report& rep) {
        setCaption(rep, "L_ListDatum1", monthText(jahr, monat));
        setCaption(rep, "L_Listdatum2", monthText(jahr, monat));
        setCaption(rep, "L_Tourbez1", tourText);
        setCaption(rep, "L_TourBez2", tourText);
        setCaption(rep, "L_ObjBez1", objektText);
        setCaption(rep, "L_ObjBez2", objektText);
        prepare(rep, jahr, monat, printTableName, CellKind::Letter);
    });
}
