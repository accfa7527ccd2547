#include "operations/clockimport.h"

#include "core/data/lookups.h"
#include "core/files/filehelpers.h"
#include "core/files/filelookup.h"
#include "core/files/paths.h"
#include "core/files/programdirs.h"
#include "core/messages/messages.h"
#include "core/values/calendar.h"
#include "core/values/conversions.h"
#include "core/values/minutes.h"
#include "core/values/numberparsing.h"
#include "operations/timerecordservice.h"
#include "platform/errors.h"

#include <QFileInfo>
#include <algorithm>
#include <set>

using namespace Qt::StringLiterals;

QString ChipDriveImportPath;

namespace {

constexpr int kMinutesOfDay = 1440;

const std::array<QString, 12> kDefaultMonthNames = {u"Jan"_s, u"Feb"_s, u"Mrz"_s, u"Apr"_s,
                                                    u"Mai"_s, u"Jun"_s, u"Jul"_s, u"Aug"_s,
                                                    u"Sep"_s, u"Okt"_s, u"Nov"_s, u"Dez"_s};
std::array<QString, 12> g_monthNames = kDefaultMonthNames;

QString tariffMapPath() {
    const QString found = FindFileIgnoringCase(ImExDir, QString::fromUtf16(kTariffMapFile));
    return found.isEmpty() ? ImExDir + QString::fromUtf16(kTariffMapFile) : found;
}

// "hh:mm" at position `at` (0-based) of the text, 0 when it is not there.
int minutesAt(const QString& text, qsizetype at) {
    return StrToMinutes(text.mid(at, 5));
}

// The text after the n-th ","; nullopt when the text has fewer.
std::optional<QString> afterComma(const QString& text, int n) {
    qsizetype at = -1;
    for (int i = 0; i < n; ++i) {
        at = text.indexOf(u',', at + 1);
        if (at < 0)
            return std::nullopt;
    }
    return text.mid(at + 1);
}

} // namespace

QList<TReflistEntry>& TariffMap() {
    static QList<TReflistEntry> map;
    return map;
}

bool SaveTariffMap() {
    QStringList lines{ChipDriveImportPath};
    for (const TReflistEntry& e : std::as_const(TariffMap()))
        lines << IntToStrZero(e.tariff, 2) + u',' + IntToStrZero(e.timeType, 2) + u',' + e.name;
    const QString path = tariffMapPath();
    if (WriteTextDataFile(path, lines))
        return true;
    ShowError(u"Die Datei %1 kann nicht geschrieben werden!"_s.arg(path));
    return false;
}

bool LoadTariffMap(bool reload) {
    QList<TReflistEntry>& map = TariffMap();
    map.clear();
    const QString mapPath = tariffMapPath();
    QStringList lines;
    if (reload || !QFileInfo(mapPath).isFile()) {
        const QString ratedef =
            ChipDriveImportPath.isEmpty()
                ? QString()
                : FindPathIgnoringCase(LocalPath(ChipDriveImportPath), u"Ratedef.Txt"_s);
        if (ratedef.isEmpty() || !ReadTextDataFile(ratedef, lines)) {
            ShowError(u"Der Pfad für zur Chipdrive-Installation ist nicht korrekt\r"
                      u"Legen Sie bitte zuerst den Importpfad fest."_s);
            return false;
        }
        for (const QString& line : std::as_const(lines)) {
            const QString name = line.mid(3);
            if (name.isEmpty())
                break;
            map.append({StrToIntZero(line.left(2)), name, 1});
        }
        return SaveTariffMap();
    }
    if (!ReadTextDataFile(mapPath, lines) || lines.isEmpty())
        return true;
    ChipDriveImportPath = LocalPath(lines.takeFirst());
    for (const QString& line : std::as_const(lines)) {
        if (line.trimmed().isEmpty())
            continue;
        const int type = StrToIntZero(line.mid(3, 2));
        // A time type the program does not know books normal time.
        map.append({StrToIntZero(line.left(2)), line.mid(6), type >= 1 && type <= 8 ? type : 1});
    }
    return true;
}

int TariffToTimeType(int tariff) {
    for (const TReflistEntry& e : std::as_const(TariffMap()))
        if (e.tariff == tariff)
            return e.timeType;
    switch (tariff) {
    case 1:
        return 2;
    case 2:
        return 3;
    case 3:
        return 4;
    case 4:
        return 7;
    default:
        return 1;
    }
}

void ReadClockMonthNames() {
    QStringList lines;
    const QString path = FindFileIgnoringCase(ProgramDir, u"Monthnam.txt"_s);
    if (path.isEmpty() || !ReadTextDataFile(path, lines))
        return;
    size_t month = 0;
    for (const QString& line : std::as_const(lines)) {
        const QString name = line.trimmed();
        if (name.size() != 3)
            continue;
        g_monthNames[month++] = name;
        if (month == g_monthNames.size())
            break;
    }
}

QString ClockMonthName(int month) {
    return month >= 1 && month <= 12 ? g_monthNames[size_t(month - 1)] : u"xxx"_s;
}

QString ClockRecordFileName(int clockNr, int year, int month) {
    return u"Export/"_s + IntToStrWidth(clockNr, 4) + u'_' + IntToStrZero(year % 100, 2) +
           IntToStrZero(month, 2) + u'_' + ClockMonthName(month) + u".txt"_s;
}

QString ClockAbsenceFileName(int clockNr) {
    return u"Url_krnk/"_s + IntToStrWidth(clockNr, 4) + u"_UK.txt"_s;
}

QList<TariffBand> ParseRateBands(const QStringList& lines) {
    QList<TariffBand> bands;
    for (const QString& line : lines) {
        if (line.size() <= 10)
            continue;
        const int dayClass = StrToIntZero(line.left(2));
        const qsizetype first = bands.size();
        for (const QString& raw : line.mid(3).split(u',')) {
            const QString entry = raw.trimmed();
            if (entry.isEmpty())
                continue;
            // The band before ends where this one starts.
            const int start = minutesAt(entry, 0);
            if (bands.size() > first)
                bands.last().end = start;
            bands.append({dayClass, start, kMinutesOfDay, StrToIntZero(entry.mid(6, 2))});
        }
    }
    return bands;
}

int FindTariffBand(const QList<TariffBand>& bands, int dayClass, int minute) {
    for (qsizetype i = bands.size() - 1; i >= 0; --i)
        if (bands[i].dayClass == dayClass && bands[i].start <= minute)
            return int(i);
    return -1;
}

int DayClassOf(const QDate& day, bool holiday) {
    const int weekday = day.dayOfWeek();
    if (holiday)
        return weekday == 7 ? 4 : 3;
    return weekday == 7 ? 2 : (weekday == 6 ? 1 : 0);
}

std::vector<ClockBooking> SplitClockRecord(const QList<TariffBand>& bands, int dayClass, int start,
                                           int duration, int objNr) {
    std::vector<ClockBooking> pieces;
    const auto book = [&](int tariff, int minutes) {
        if (minutes >= 1)
            pieces.push_back({objNr, TariffToTimeType(tariff), minutes});
    };
    const int endBand = FindTariffBand(bands, dayClass, start + duration);
    if (endBand < 0) {
        book(0, duration);
        return pieces;
    }
    int current = start;
    int remaining = duration;
    while (remaining > 0) {
        const int band = FindTariffBand(bands, dayClass, current);
        if (band == endBand)
            break;
        int stepEnd = 0;
        int tariff = 0;
        if (band >= 0) {
            stepEnd = bands[band].end;
            tariff = bands[band].tariff;
        } else {
            // Before the class's first band: up to the next band start, as
            // time without a band.
            stepEnd = kMinutesOfDay + 1;
            for (const TariffBand& b : bands)
                if (b.dayClass == dayClass && b.start > current)
                    stepEnd = std::min(stepEnd, b.start);
        }
        const int minutes = std::min(stepEnd - current, remaining);
        // Bands out of order would not move on: the rest goes to the end band.
        if (minutes <= 0)
            break;
        book(tariff, minutes);
        remaining -= minutes;
        current = stepEnd >= kMinutesOfDay ? 0 : stepEnd;
    }
    book(bands[endBand].tariff, remaining);
    return pieces;
}

void ClockMonth::step(int months) {
    const QDate moved = QDate(year, month, 1).addMonths(months);
    year = moved.year();
    month = moved.month();
}

// A clock person and the staff member the records go to.
struct ClockImport::Person {
    int persNr = 0;
    int clockNr = 0;
};

ClockImport::ClockImport(QString importPath, int year, int month, ClockImportObserver observer)
    : m_path(LocalPath(std::move(importPath))), m_year(year), m_month(month),
      m_observer(std::move(observer)) {}

QString ClockImport::file(const QString& relative) const {
    return FindPathIgnoringCase(m_path, relative);
}

bool ClockImport::readLines(const QString& relative, QStringList& lines) const {
    lines.clear();
    const QString path = file(relative);
    return !path.isEmpty() && ReadTextDataFile(path, lines);
}

QString ClockImport::langtext(int timeType) {
    auto it = m_langtexts.find(timeType);
    if (it == m_langtexts.end())
        it = m_langtexts.emplace(timeType, GetZeitartLangtext(timeType)).first;
    return it->second;
}

void ClockImport::protocol(const QString& line) const {
    if (m_observer.protocol)
        m_observer.protocol(line);
}

TimeImportResult ClockImport::run() {
    m_written = 0;
    protocol(u"Datum       Pnr Objekt Dauer Zeitart"_s);
    ReadClockMonthNames();
    TimeRecordService service;
    if (!service.mayCreateRecords())
        return TimeImportResult::Failed;
    service.rememberLookups(true);

    // Field 3 is the clock's person number, field 21 the personnel number;
    // both must be followed by a ",".
    QStringList lines;
    if (!readLines(u"Personen.txt"_s, lines)) {
        ShowError(u"Es wurde keine externe Personaldatei gefunden!"_s);
        return TimeImportResult::Failed;
    }
    std::vector<Person> persons;
    for (const QString& line : std::as_const(lines)) {
        const QStringList fields = line.split(u',');
        if (fields.size() < 22)
            continue;
        const Person p{StrToIntZero(fields[20]), StrToIntZero(fields[2])};
        if (p.persNr != 0 && service.employeeExists(p.persNr))
            persons.push_back(p);
    }
    if (persons.empty()) {
        ShowError(u"Es wurden keine Einträge in der externen Personaldatei gefunden!"_s);
        return TimeImportResult::Failed;
    }
    if (!readLines(u"RateStd.txt"_s, lines)) {
        ShowError(u"Es wurde keine externe Tarifdatei!\r"
                  u"Alle Arbeitszeiten werden als Normalstunden gebucht."_s);
        m_bands.clear();
    } else {
        m_bands = ParseRateBands(lines);
        if (m_bands.isEmpty())
            ShowError(u"Es wurden keine Tarifdefinitionen gefunden!\r"
                      u"Alle Arbeitszeiten werden als Normalstunden gebucht."_s);
    }
    readLines(u"Feiertag.txt"_s, m_holidays);
    readLines(u"Tagzeit.txt"_s, m_targets);

    return WriteInOneTransaction(
        service, m_observer.progress, int(persons.size()), [&](TimeRecordBatch& batch) {
            int done = 0;
            for (const Person& person : persons) {
                try {
                    importPerson(service, batch, person);
                } catch (const DbError& e) {
                    // The protocol names whose booking failed.
                    protocol(u"Mitarbeiter %1: %2"_s.arg(person.persNr).arg(e.message()));
                    throw;
                }
                ++done;
                const auto& step = m_observer.progress.step;
                if (step && !step(done))
                    return false;
            }
            return true;
        });
}

void ClockImport::importPerson(TimeRecordService& service, TimeRecordBatch& batch,
                               const Person& person) {
    const int days = DaysOfMonth(m_year, m_month);
    // Absence codes, one per day: the person's line of the month.
    QString codes(days, u'a');
    QStringList lines;
    bool found = false;
    if (readLines(ClockAbsenceFileName(person.clockNr), lines)) {
        for (const QString& line : std::as_const(lines)) {
            if (StrToIntZero(line.left(4)) != m_year || StrToIntZero(line.mid(5, 2)) != m_month)
                continue;
            found = true;
            const QStringList entries = line.mid(8).split(u',');
            for (int day = 0; day < days && day < entries.size(); ++day) {
                const QString& entry = entries[day];
                if (entry.isEmpty())
                    break;
                codes[day] = entry.size() == 1 ? entry[0] : entry[0].toUpper();
            }
            break;
        }
    }
    if (!found) {
        protocol(u"Für Mitarbeiter %1 wurde keine externe Jahresarbeitstabelle gefunden!"_s.arg(
            person.persNr));
        return;
    }
    // Holidays: the year's line holds "MM.DD," pairs; a 0 or no number ends it.
    for (const QString& line : std::as_const(m_holidays)) {
        if (StrToIntZero(line.left(4)) != m_year)
            continue;
        for (qsizetype at = 5; at + 5 <= line.size(); at += 6) {
            const int month = StrToIntZero(line.mid(at, 2));
            const int day = StrToIntZero(line.mid(at + 3, 2));
            if (month == 0 || day == 0)
                break;
            if (month == m_month && day <= days)
                codes[day - 1] = u'F';
        }
        break;
    }

    // The clock records: lines with ",K,", the object "(n)" carried on.
    struct Record {
        int day, start, duration, objNr;
    };
    std::vector<Record> records;
    readLines(ClockRecordFileName(person.clockNr, m_year, m_month), lines);
    int objNr = 0;
    for (const QString& line : std::as_const(lines)) {
        if (!line.contains(u",K,"_s))
            continue;
        if (const auto rest = afterComma(line, 5)) {
            const qsizetype open = rest->indexOf(u'(');
            const qsizetype close = open < 0 ? -1 : rest->indexOf(u')', open + 1);
            if (close > open) {
                objNr = StrToIntZero(rest->mid(open + 1, close - open - 1));
                if (!service.objektExists(objNr))
                    objNr = 0;
            }
        }
        const auto durationText = afterComma(line, 6);
        const int day = StrToIntZero(line.left(2));
        // A day the month does not have cannot be booked.
        if (day < 1 || day > days)
            continue;
        records.push_back(
            {day, minutesAt(line, 3), durationText ? minutesAt(*durationText, 0) : 0, objNr});
    }
    if (records.empty()) {
        protocol(u"Mitarbeiter "_s + IntToStrWidth(person.clockNr, 5) + u" :"_s +
                 u"Keine Exportdaten!"_s);
        return;
    }

    // Daily targets Monday to Sunday after the 29th "," of the person's line.
    std::array<int, 7> targets{};
    for (const QString& line : std::as_const(m_targets)) {
        if (StrToIntZero(line.left(4)) != person.clockNr)
            continue;
        if (const auto rest = afterComma(line, 29))
            for (size_t i = 0; i < targets.size(); ++i)
                targets[i] = minutesAt(*rest, qsizetype(i) * 6);
        break;
    }

    const auto bookTime = [&](const QDate& date, const ClockBooking& b) {
        if (b.minutes < 1)
            return;
        protocol(date.toString(u"dd.MM.yyyy"_s) + IntToStrWidth(person.persNr, 5) +
                 IntToStrWidth(b.objNr, 7) + u' ' + MinutesToStrZero(b.minutes, 2) + u' ' +
                 langtext(b.timeType));
        TimeRecordValues v;
        v.datum = date;
        v.persNr = person.persNr;
        v.objNr = b.objNr;
        v.art = b.timeType;
        v.stunden = b.minutes / 60.0;
        v.text = u"Objekt-Arbeitszeit"_s;
        v.ekPreis = service.CalcStundensatz(person.persNr, b.timeType);
        v.kostart = service.GetPersonalKostart(person.persNr, b.timeType);
        batch.append(v);
        ++m_written;
    };
    // Each day's records go once and its absence is booked once, also when
    // the day's records stand apart in the file.
    std::set<int> deleted, absenceBooked;
    const auto bookAbsence = [&](int day) {
        if (!absenceBooked.insert(day).second)
            return;
        const QDate date(m_year, m_month, day);
        const int target = targets[size_t(date.dayOfWeek() - 1)];
        if (target <= 0)
            return;
        switch (codes[day - 1].unicode()) {
        case u'K':
            return bookTime(date, {0, 5, target / 2});
        case u'U':
            return bookTime(date, {0, 6, target / 2});
        case u'k':
            return bookTime(date, {0, 5, target});
        case u'u':
            return bookTime(date, {0, 6, target});
        default:
            return;
        }
    };
    int previous = 0;
    for (const Record& r : records) {
        const QDate date(m_year, m_month, r.day);
        if (r.day != previous) {
            if (previous != 0)
                bookAbsence(previous);
            if (deleted.insert(r.day).second)
                batch.deleteDay(person.persNr, date);
            previous = r.day;
        }
        const int dayClass = DayClassOf(date, codes[r.day - 1] == u'F');
        for (const ClockBooking& b :
             SplitClockRecord(m_bands, dayClass, r.start, r.duration, r.objNr))
            bookTime(date, b);
    }
    bookAbsence(previous);
}
