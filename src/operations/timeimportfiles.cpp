#include "operations/timeimportfiles.h"

#include "core/files/filehelpers.h"
#include "core/files/filelookup.h"
#include "core/files/programdirs.h"
#include "core/messages/messages.h"
#include "core/values/calendar.h"
#include "core/values/money.h"
#include "core/values/numberparsing.h"
#include "operations/timerecordservice.h"
#include "platform/errors.h"

#include <QFileInfo>
#include <cmath>
#include <limits>
#include <vector>

using namespace Qt::StringLiterals;

const QString TimeFileImport::kFinished = u"Der Datenimport ist beendet."_s;
const QString TimeFileImport::kCancelled =
    u"Der Datenimport wurde abgebrochen. Es wurden keine Daten geändert."_s;

namespace {

// The text of the next field, cut from line with its ";"; nullopt (nothing
// cut) when no ";" is left.
std::optional<QString> takeField(QString& line) {
    const qsizetype end = line.indexOf(u';');
    if (end < 0)
        return std::nullopt;
    QString field = line.left(end);
    line.remove(0, end + 1);
    return field;
}

// The import file in ImExDir under any case of its name; the plain path
// when there is none.
QString importPath(const QString& name) {
    const QString found = FindFileIgnoringCase(ImExDir, name);
    return found.isEmpty() ? ImExDir + name : found;
}

} // namespace

int TakeIntField(QString& line) {
    const std::optional<QString> field = takeField(line);
    return field ? StrToIntZero(*field) : -1;
}

double TakeFloatField(QString& line) {
    const std::optional<QString> field = takeField(line);
    if (!field)
        return -1.0;
    QString plain = *field;
    plain.remove(u' ').remove(u'\t');
    if (plain.isEmpty())
        return 0.0;
    plain.replace(u',', u'.');
    double value = 0;
    if (!ReadPlainFloat(plain, value) || !std::isfinite(value))
        return std::numeric_limits<double>::quiet_NaN();
    return value;
}

TimeImportLine ParseTimeImportLine(QString line) {
    TimeImportLine f;
    f.day = TakeIntField(line);
    f.persNr = TakeIntField(line);
    f.objNr = TakeIntField(line);
    f.art = TakeIntField(line);
    f.hours = TakeFloatField(line);
    f.amount = TakeFloatField(line);
    f.text = line;
    return f;
}

std::optional<std::pair<int, int>> ParseZeiterfHeader(const QString& header) {
    const int year = StrToIntZero(header.left(4));
    const int month = StrToIntZero(header.mid(5));
    if (year < 1000 || year > 9999 || month < 1 || month > 12)
        return std::nullopt;
    return std::pair{year, month};
}

struct TimeFileImport::Planned {
    TimeRecordValues values;
};

TimeFileImport::TimeFileImport(TimeImportProgress progress) : m_progress(std::move(progress)) {}

bool TimeFileImport::readFile(const QString& name) {
    const QString path = importPath(name);
    if (!QFileInfo(path).isFile()) {
        ShowError(u"Die Arbeitszeit-Importdatei %1 wurde nicht gefunden"_s.arg(path));
        return false;
    }
    if (!ReadTextDataFile(path, m_lines)) {
        ShowError(u"Lesefehler in Datei:\r"_s + path);
        return false;
    }
    return true;
}

bool TimeFileImport::loadZeiterfDat() {
    m_byWeekday = false;
    if (!readFile(QString::fromUtf16(kZeiterfDat)))
        return false;
    if (m_lines.isEmpty()) {
        m_nothingToDo = true;
        ShowInfo(kFinished);
        return false;
    }
    const QString header = m_lines.takeFirst();
    const auto period = ParseZeiterfHeader(header);
    if (!period) {
        ShowError(u"Fehlerhafte Zeitangabe (Jahr/Monat): ["_s + header + u"]"_s);
        return false;
    }
    m_from = QDate(period->first, period->second, 1);
    m_to = QDate(period->first, period->second, DaysOfMonth(period->first, period->second));
    return true;
}

bool TimeFileImport::loadZewtagDat(const QDate& from, const QDate& to) {
    m_byWeekday = true;
    m_from = from;
    m_to = to;
    if (!from.isValid() || !to.isValid() || from > to)
        return false;
    return readFile(QString::fromUtf16(kZewtagDat));
}

TimeImportResult TimeFileImport::run(bool deleteExisting) {
    m_written = 0;
    if (!m_from.isValid() || !m_to.isValid())
        return TimeImportResult::Failed;
    TimeRecordService service;
    if (!service.mayCreateRecords())
        return TimeImportResult::Failed;

    // Every line is checked, and every question asked, before anything is
    // written: no box may show while the transaction is open.
    service.rememberLookups(true);
    std::vector<Planned> planned;
    bool stop = false;
    const auto ask = [&stop](const QString& message) {
        stop = AskYesNo(message + u"\r"_s + u"Verarbeitung abbrechen?"_s);
    };
    const auto check = [&](const TimeImportLine& f, const QDate& date) {
        if (!service.employeeExists(f.persNr))
            return ask(u"Ungültige Personalnummer: "_s + QString::number(f.persNr));
        if (f.objNr != 0 && !service.objektExists(f.objNr))
            return ask(u"Ungültiges Objekt: "_s + QString::number(f.objNr));
        if (f.art < 1 || f.art > 8)
            return ask(u"Ungültige Zeitart: "_s + QString::number(f.art));
        if (!(f.hours >= 0))
            return ask(u"Ungültiges Datenformat (Stunden)"_s);
        if (!(f.amount >= 0))
            return ask(u"Ungültiges Datenformat (Betrag)"_s);
        // A line of no hours passes and writes nothing.
        if (f.hours == 0)
            return;
        TimeRecordValues v;
        v.datum = date;
        v.persNr = f.persNr;
        v.objNr = f.objNr;
        v.art = f.art;
        v.stunden = f.hours;
        v.text = f.text;
        v.ekPreis = RoundCents(f.amount / f.hours);
        v.kostart = service.GetPersonalKostart(f.persNr, f.art);
        // A cost type the employee's record names but that no longer exists.
        if (!service.kostartExists(v.kostart))
            return ask(u"Kostenart: Sie müssen eine gültige Nummer eingeben"_s);
        planned.push_back({v});
    };
    if (!m_byWeekday) {
        const int days = m_to.day();
        for (const QString& raw : std::as_const(m_lines)) {
            const QString line = raw.trimmed();
            if (line.isEmpty())
                continue;
            const TimeImportLine f = ParseTimeImportLine(line);
            if (f.day < 1 || f.day > days)
                ask(u"Ungültiges Datenformat (Tag)"_s);
            else
                check(f, QDate(m_from.year(), m_from.month(), f.day));
            if (stop)
                break;
        }
    } else {
        for (QDate day = m_from; day <= m_to && !stop; day = day.addDays(1)) {
            const int weekday = day.dayOfWeek();
            for (const QString& raw : std::as_const(m_lines)) {
                const QString line = raw.trimmed();
                if (line.isEmpty())
                    continue;
                const TimeImportLine f = ParseTimeImportLine(line);
                if (f.day < 1 || f.day > 7)
                    ask(u"Ungültiger Wochentag: "_s + QString::number(f.day));
                else if (f.day == weekday)
                    check(f, day);
                if (stop)
                    break;
            }
        }
    }
    if (stop) {
        ShowInfo(kCancelled);
        return TimeImportResult::Cancelled;
    }

    return WriteInOneTransaction(service, m_progress, int(planned.size()),
                                 [&](TimeRecordBatch& batch) {
                                     if (deleteExisting)
                                         batch.deleteRange(m_from, m_to);
                                     int done = 0;
                                     for (const Planned& p : planned) {
                                         batch.append(p.values);
                                         ++done;
                                         if (m_progress.step && !m_progress.step(done))
                                             return false;
                                     }
                                     m_written = done;
                                     return true;
                                 });
}

TimeImportResult WriteInOneTransaction(TimeRecordService& service,
                                       const TimeImportProgress& progress, int total,
                                       const std::function<bool(TimeRecordBatch&)>& write) {
    bool cancelled = false;
    QString error;
    try {
        TimeRecordBatch batch(service);
        if (progress.start)
            progress.start(total);
        cancelled = !write(batch);
        if (!cancelled)
            batch.commit();
    } catch (const Abort&) {
        cancelled = true;
    } catch (const DbError& e) {
        error = e.message();
    } catch (const std::exception& e) {
        error = QString::fromLocal8Bit(e.what());
    }
    // The transaction has ended here, one way or the other.
    if (progress.finish)
        progress.finish();
    if (!error.isEmpty())
        ShowError(error);
    if (cancelled || !error.isEmpty()) {
        ShowInfo(TimeFileImport::kCancelled);
        return error.isEmpty() ? TimeImportResult::Cancelled : TimeImportResult::Failed;
    }
    ShowInfo(TimeFileImport::kFinished);
    return TimeImportResult::Finished;
}

TimeImportResult ImportZeiterfDat(bool deleteExisting, const TimeImportProgress& progress) {
    TimeFileImport import(progress);
    if (!import.loadZeiterfDat())
        return import.nothingToDo() ? TimeImportResult::Finished : TimeImportResult::Failed;
    return import.run(deleteExisting);
}

TimeImportResult ImportZewtagDat(bool deleteExisting, const QDate& from, const QDate& to,
                                 const TimeImportProgress& progress) {
    TimeFileImport import(progress);
    if (!import.loadZewtagDat(from, to))
        return TimeImportResult::Failed;
    return import.run(deleteExisting);
}
