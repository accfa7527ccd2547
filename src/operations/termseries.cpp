#include "operations/termseries.h"

#include "core/data/dbhelpers.h"
#include "core/values/calendar.h"
#include "core/values/datetimevalue.h"
#include "platform/errors.h"
#include "platform/table/table.h"

#include <QHash>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

const QString kDb = u"LumoDB"_s;
constexpr int kRows = 12;
constexpr int kDays = 31;

// What a copy takes in place of the source's value; a null QVariant clears.
QHash<QString, QVariant> resetValues() {
    return {{u"T_LsID"_s, 0},
            {u"T_TglID"_s, 0},
            {u"T_MusterID"_s, 0},
            {u"T_Druck"_s, 0},
            {u"T_TourNr"_s, 0},
            {u"T_RgNummer"_s, u"0"_s},
            {u"T_GPreis"_s, 0.0},
            {u"T_Taglist"_s, false},
            {u"T_Erledigt"_s, false},
            {u"T_Alarm"_s, false},
            {u"T_AlarmDone"_s, false},
            {u"T_Buchsperre"_s, false},
            {u"T_AlarmDate"_s, QVariant()},
            {u"T_AlarmTime"_s, QVariant()},
            {u"T_SperrDatum"_s, QVariant()}};
}

QString seriesFailedText() {
    return u"Die Mehrfachtermine konnten nicht erzeugt werden; es wurde kein Termin angelegt.\r"_s;
}

} // namespace

TermSeriesGrid::TermSeriesGrid(const QDate& source) {
    if (source.isValid()) {
        m_startYear = source.year();
        m_startMonth = source.month();
        m_chosen[std::size_t(index(1, source.day()))] = true;
    } else {
        m_chosen[std::size_t(index(1, 30))] = true;
    }
}

int TermSeriesGrid::index(int row, int day) const {
    if (row < 1 || row > kRows || day < 1 || day > kDays)
        throw DbError(u"Ungültige Zelle %1/%2 der Mehrfachtermine."_s.arg(row).arg(day));
    return (row - 1) * kDays + (day - 1);
}

int TermSeriesGrid::yearOfRow(int row) const {
    index(row, 1);
    return m_startYear + (m_startMonth + row - 2) / 12;
}

int TermSeriesGrid::monthOfRow(int row) const {
    index(row, 1);
    return (m_startMonth + row - 2) % 12 + 1;
}

bool TermSeriesGrid::dayExists(int row, int day) const {
    index(row, day);
    return DaysOfMonth(yearOfRow(row), monthOfRow(row)) >= day;
}

QDate TermSeriesGrid::dateOf(int row, int day) const {
    return dayExists(row, day) ? QDate(yearOfRow(row), monthOfRow(row), day) : QDate();
}

bool TermSeriesGrid::isChosen(int row, int day) const {
    return m_chosen[std::size_t(index(row, day))];
}

void TermSeriesGrid::toggle(int row, int day) {
    bool& cell = m_chosen[std::size_t(index(row, day))];
    cell = dayExists(row, day) && !cell;
}

QString TermSeriesGrid::cellText(int row, int day) const {
    return isChosen(row, day) ? u"*"_s : QString();
}

QList<QDate> TermSeriesGrid::chosenDates() const {
    QList<QDate> dates;
    for (int row = 1; row <= kRows; ++row)
        for (int day = 1; day <= kDays; ++day)
            if (isChosen(row, day) && dayExists(row, day))
                dates.append(dateOf(row, day));
    return dates;
}

QList<TermSeriesObjekt> MarkedSeriesObjekte() {
    auto objects = OpenTempTable(kDb, u"Objekte.DB"_s, u"O_INr"_s);
    objects->setFilter(u"O_Selected=true"_s);
    objects->setFiltered(true);
    QList<TermSeriesObjekt> marked;
    for (objects->first(); !objects->eof() && !objects->isEmpty(); objects->next())
        marked.append({FieldInt(*objects, u"O_Nr"_s), FieldText(*objects, u"O_Match"_s),
                       FieldInt(*objects, u"O_Kunde"_s)});
    return marked;
}

TermSeriesSource TermSeriesSourceOf(table::Table& appointments) {
    TermSeriesSource source;
    for (int i = 0; i < appointments.fieldCount(); ++i)
        source.values.append(appointments.field(i).value());
    source.objektNr = FieldInt(appointments, u"T_Objekt"_s);
    const table::Field& date = appointments.field(u"T_Date"_s);
    source.date = date.isNull() ? DateOfDateTime(EmptyDate) : date.asDate();
    return source;
}

int CreateTermSeries(const TermSeriesSource& source, const QList<QDate>& dates,
                     const QList<TermSeriesObjekt>& objekte) {
    auto db = table::aliases::database(kDb);
    int made = 0;
    try {
        table::Transaction tx(*db);
        table::Table copies(db, u"TermObj.DB"_s);
        copies.open();
        const table::TableDef& def = copies.definition();
        const int stored = int(def.fields.size());
        if (source.values.size() < stored)
            throw DbError(u"Der Termin hat nicht alle Felder der Terminliste."_s);
        // Where each field comes from: the source, a fixed value, or the copy's own.
        const QHash<QString, QVariant> resets = resetValues();
        enum Kind { FromSource, Reset, Key, Objekt, Date, Match, Kunde };
        QList<Kind> kinds;
        QVariantList row;
        for (int i = 0; i < stored; ++i) {
            const QString name = def.fields.at(i).name;
            const QString key = name.toUpper();
            Kind kind = FromSource;
            if (key == u"T_ID")
                kind = Key;
            else if (key == u"T_OBJEKT")
                kind = Objekt;
            else if (key == u"T_DATE")
                kind = Date;
            else if (key == u"T_OBJNAME")
                kind = Match;
            else if (key == u"T_KUNDE")
                kind = Kunde;
            else if (resets.contains(name))
                kind = Reset;
            kinds.append(kind);
            row.append(kind == Reset ? resets.value(name) : source.values.at(i));
        }
        qint64 nextId = GetNextId(copies, u"T_ID"_s);
        for (const QDate& date : dates) {
            for (const TermSeriesObjekt& objekt : objekte) {
                if (objekt.nr == source.objektNr && date == source.date)
                    continue;
                if (nextId > std::numeric_limits<int>::max())
                    throw DbError(u"Die Terminnummern sind erschöpft."_s);
                for (int i = 0; i < stored; ++i) {
                    switch (kinds.at(i)) {
                    case Key:
                        row[i] = int(nextId);
                        break;
                    case Objekt:
                        row[i] = objekt.nr;
                        break;
                    case Date:
                        row[i] = date;
                        break;
                    case Match:
                        row[i] = objekt.match;
                        break;
                    case Kunde:
                        row[i] = objekt.kunde;
                        break;
                    default:
                        break;
                    }
                }
                copies.appendRecord(row);
                ++nextId;
                ++made;
            }
        }
        tx.commit();
    } catch (const Abort&) {
        throw;
    } catch (const DbError& e) {
        throw DbError(seriesFailedText() + e.message());
    } catch (const std::exception& e) {
        throw DbError(seriesFailedText() + QString::fromUtf8(e.what()));
    }
    return made;
}
