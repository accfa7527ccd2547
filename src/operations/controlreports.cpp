#include "operations/controlreports.h"

#include "commercial/documents/documentservices.h"
#include "core/data/appointmentrules.h"
#include "datasafety/documentarchive/archiveconnection.h"
#include "operations/dailylistedits.h"
#include "platform/errors.h"
#include "platform/table/backend.h"
#include "platform/table/database.h"
#include "platform/table/datetimecodec.h"
#include "platform/table/values.h"

#include <QHash>
#include <limits>
#include <optional>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

const QString kDb = u"LumoDB"_s;
const QString kArchiveDb = u"AblageDB"_s;
const QString kHeads = u"BerKopf.db"_s;
const QString kLines = u"BerSatz.db"_s;
const QString kArchiveSchema = u"ablage"_s;

QVariant dateValue(const QDate& d) {
    return d.isValid() ? QVariant(table::codec::dateText(d)) : QVariant();
}

QDate readDate(const table::Statement& s, int column) {
    return table::readTyped(s, column, table::FieldType::Date).toDate();
}

int readInt(const table::Statement& s, int column) {
    if (s.isNull(column))
        return 0;
    const qint64 v = s.int64(column);
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
        throw DbError(u"Ein Zahlenwert der Berichtsdaten liegt außerhalb des gültigen Bereichs."_s);
    return int(v);
}

// The quoted names of the tables a run writes, on one connection: the
// working tables of the alias's own database, or both databases of an
// archive connection.
class Names {
public:
    explicit Names(table::Database& db) : m_db(db) {}
    QString operator()(const QString& table) {
        auto it = m_names.find(table);
        if (it == m_names.end())
            it = m_names.insert(table,
                                table::quoted(table::physicalName(m_db.tableDef(table).name)));
        return *it;
    }

private:
    table::Database& m_db;
    QHash<QString, QString> m_names;
};

// One statement kept prepared for the run, reset after each use.
class Query {
public:
    Query(table::Database& db, const QString& sql) : m_s(db.connection().prepare(sql)) {}
    Query& bind(const QVariantList& params) {
        m_s->reset();
        m_s->bindAll(params);
        return *this;
    }
    bool next() { return m_s->step(); }
    // Runs the statement; the rows it changed.
    int run(table::Database& db, const QVariantList& params) {
        bind(params);
        while (m_s->step()) {
        }
        const int changed = db.connection().changes();
        m_s->reset();
        return changed;
    }
    table::Statement& operator*() { return *m_s; }
    void done() { m_s->reset(); }

private:
    std::unique_ptr<table::Statement> m_s;
};

// A key one past the largest, drawn inside the caller's transaction.
int nextKey(table::Database& db, const QString& table, const QString& key) {
    const qint64 last =
        db.selectValue(u"SELECT COALESCE(MAX(%1), 0) FROM %2"_s.arg(table::quoted(key), table))
            .toLongLong();
    if (last >= std::numeric_limits<int>::max())
        throw DbError(u"Die Nummern der Kontrollberichte sind erschöpft."_s);
    return int(last) + 1;
}

int lastDayOfMonth(int year, int month) {
    return QDate(year, month, 1).daysInMonth();
}

struct ObjectSettings {
    int interval = 1;
    int mode = 1;
};

// The report settings of every object, read once for a run.
QHash<int, ObjectSettings> objectSettings(table::Database& db) {
    Names names(db);
    Query q(db, u"SELECT \"O_Nr\", \"O_BerichtIntervall\", \"O_BerichtModus\" FROM %1"_s.arg(
                    names(u"Objekte.DB"_s)));
    QHash<int, ObjectSettings> result;
    q.bind({});
    while (q.next()) {
        ObjectSettings s;
        s.interval = (*q).isNull(1) ? 1 : readInt(*q, 1);
        s.mode = (*q).isNull(2) ? 1 : readInt(*q, 2);
        result.insert(readInt(*q, 0), s);
    }
    return result;
}

// The patterns of the report intervals, read once each.
class Patterns {
public:
    QString of(int intervalId) {
        auto it = m_patterns.find(intervalId);
        if (it == m_patterns.end())
            it = m_patterns.insert(intervalId, GetZahlIntervPattern(intervalId));
        return *it;
    }

private:
    QHash<int, QString> m_patterns;
};

// The statements that write one report line and its head, shared by
// building and the immediate completion.
class ReportWriter {
public:
    explicit ReportWriter(table::Database& db)
        : m_db(db), m_names(db),
          m_findLine(
              db,
              u"SELECT \"B_SID\" FROM %1 WHERE \"B_ObjektNr\" COLLATE DE = ? AND "
              "\"B_DruckTermin\" COLLATE DE = ? AND \"B_TaetigNr\" COLLATE DE = ? ORDER BY \"B_SID\" LIMIT 1"_s
                  .arg(m_names(kLines))),
          m_findHead(
              db, u"SELECT \"B_ID\", \"B_TourFirst\", \"B_TourLast\", \"B_Positionen\" "
                  "FROM %1 WHERE \"B_ObjektNr\" COLLATE DE = ? AND \"B_DruckDatum\" COLLATE DE = ? "
                  "ORDER BY \"B_ID\" LIMIT 1"_s.arg(m_names(kHeads))),
          m_insertHead(db, u"INSERT INTO %1(\"B_ID\", \"B_ObjektNr\", \"B_DruckDatum\", "
                           "\"B_TourFirst\", \"B_TourLast\", \"B_Positionen\", \"B_Gedruckt\", "
                           "\"B_Selected\") VALUES(?, ?, ?, ?, ?, 0, 0, 0)"_s.arg(m_names(kHeads))),
          m_updateHead(db, u"UPDATE %1 SET \"B_TourFirst\" = ?, \"B_TourLast\" = ?, "
                           "\"B_Positionen\" = ? WHERE \"B_ID\" = ?"_s.arg(m_names(kHeads))),
          m_countLine(db, u"UPDATE %1 SET \"B_WieOft\" = COALESCE(\"B_WieOft\", 0) + 1 "
                          "WHERE \"B_SID\" = ?"_s.arg(m_names(kLines))) {}

    table::Database& db() { return m_db; }
    Names& names() { return m_names; }

    // The existing line of the activity in the report; 0 when none.
    int findLine(int objektNr, const QDate& reportDate, int taetigNr) {
        m_findLine.bind({objektNr, dateValue(reportDate), taetigNr});
        const int id = m_findLine.next() ? readInt(*m_findLine, 0) : 0;
        m_findLine.done();
        return id;
    }
    void countIntoLine(int lineId) { m_countLine.run(m_db, {lineId}); }
    int nextLineKey() { return nextKey(m_db, m_names(kLines), u"B_SID"_s); }

    // The head of (object, report date), made when missing, widened to the
    // tour date; B_Positionen + 1 for a new line.
    void updateHead(int objektNr, const QDate& reportDate, const QDate& tourDate, bool newLine) {
        m_findHead.bind({objektNr, dateValue(reportDate)});
        if (!m_findHead.next()) {
            m_findHead.done();
            const int id = nextKey(m_db, m_names(kHeads), u"B_ID"_s);
            m_insertHead.run(m_db, {id, objektNr, dateValue(reportDate), dateValue(tourDate),
                                    dateValue(tourDate)});
            if (newLine)
                m_updateHead.run(m_db, {dateValue(tourDate), dateValue(tourDate), 1, id});
            return;
        }
        const int id = readInt(*m_findHead, 0);
        QDate first = readDate(*m_findHead, 1);
        QDate last = readDate(*m_findHead, 2);
        int positions = readInt(*m_findHead, 3);
        m_findHead.done();
        if (tourDate.isValid()) {
            if (!first.isValid() || first > tourDate)
                first = tourDate;
            if (!last.isValid() || last < tourDate)
                last = tourDate;
        }
        if (newLine && positions == std::numeric_limits<int>::max())
            throw DbError(u"Der Bericht hat zu viele Positionen."_s);
        m_updateHead.run(m_db,
                         {dateValue(first), dateValue(last), positions + (newLine ? 1 : 0), id});
    }

private:
    table::Database& m_db;
    Names m_names;
    Query m_findLine, m_findHead, m_insertHead, m_updateHead, m_countLine;
};

// The statements that take a daily-list row out of the lists.
class DailyRowRemover {
public:
    explicit DailyRowRemover(table::Database& db, Names& names)
        : m_db(db),
          m_deleteFunction(
              db,
              u"DELETE FROM %1 WHERE \"FL_Date\" COLLATE DE = ? AND \"FL_TourNr\" COLLATE DE = ? "
              "AND \"FL_ObjNr\" COLLATE DE = ? AND \"FL_TaetigNr\" COLLATE DE = ?"_s.arg(
                  names(u"Tglfunc.db"_s))),
          m_deleteRow(db, u"DELETE FROM %1 WHERE \"A_TOTID\" = ?"_s.arg(names(u"TglTaet.DB"_s))) {}
    // The row with its special function; its appointment loses the link
    // (with the row's date).
    void remove(int totId, const QDate& date, int tourNr, int objektNr, int taetigNr, int termId) {
        m_deleteFunction.run(m_db, {dateValue(date), tourNr, objektNr, taetigNr});
        if (termId != 0)
            LinkTermObjToTaglist(termId, 0, 0, date);
        if (m_deleteRow.run(m_db, {totId}) != 1)
            throw DbError(u"Der Eintrag der Tagesliste wurde inzwischen gelöscht."_s);
    }

private:
    table::Database& m_db;
    Query m_deleteFunction, m_deleteRow;
};

// A daily-list row as building reads it.
struct DailyRow {
    int totId = 0;
    int objektNr = 0;
    int taetigNr = 0;
    int state = 0;
    QDate date;
    int tourNr = 0;
};

QString errorText(const std::exception& e) {
    if (const auto* db = dynamic_cast<const DbError*>(&e))
        return db->message();
    return QString::fromUtf8(e.what());
}

} // namespace

QDate NextMarkedDay(const QString& mask, const QDate& date) {
    if (!date.isValid() || !mask.contains(u'*'))
        return {};
    const int d = date.day();
    QString pattern = mask;
    if (pattern.size() < d)
        pattern = pattern.leftJustified(d, u'0');
    int year = date.year();
    int month = date.month();
    int pos = d;
    // At most one full turn through the pattern, back to position d.
    for (qsizetype steps = 0; steps < pattern.size(); ++steps) {
        if (pattern.at(pos - 1) == u'*')
            return QDate(year, month, std::min(pos, lastDayOfMonth(year, month)));
        if (++pos > pattern.size()) {
            pos = 1;
            if (++month > 12) {
                month = 1;
                ++year;
            }
        }
        if (pos == d)
            break;
    }
    return {};
}

QDate NextListedDate(const QString& list, const QDate& date) {
    if (!date.isValid() || list.isEmpty())
        return {};
    QString entries = list;
    if (!entries.endsWith(u';'))
        entries += u';';
    for (int year : {date.year(), date.year() + 1}) {
        for (qsizetype at = 0; at + 6 <= entries.size(); at += 6) {
            const int day = entries.mid(at, 2).toInt();
            const int month = entries.mid(at + 3, 2).toInt();
            const QDate candidate(year, month, day);
            if (candidate.isValid() && candidate >= date)
                return candidate;
        }
    }
    return {};
}

QDate ReportDateFor(const QString& pattern, const QDate& date) {
    if (!date.isValid())
        return {};
    const QDate monthEnd(date.year(), date.month(), date.daysInMonth());
    if (pattern.isEmpty())
        return monthEnd;
    const QDate found =
        pattern.contains(u'*') ? NextMarkedDay(pattern, date) : NextListedDate(pattern, date);
    return found.isValid() ? found : monthEnd;
}

QDate ReportDateForInterval(int intervalId, const QDate& date) {
    return ReportDateFor(GetZahlIntervPattern(intervalId), date);
}

QDate NextBerichtDatum(int objektNr, const QDate& tourDate) {
    auto db = table::aliases::database(kDb);
    const QVariant interval =
        db->selectValue(u"SELECT \"O_BerichtIntervall\" FROM %1 WHERE \"O_Nr\" = ? LIMIT 1"_s.arg(
                            Names(*db)(u"Objekte.DB"_s)),
                        {objektNr});
    return ReportDateForInterval(interval.isNull() ? 1 : interval.toInt(), tourDate);
}

DailyRowUse ClassifyDailyRow(int state, int mode, bool lineExists) {
    if (state == StateOpen)
        return DailyRowUse::Stay;
    if (state != StateSkipped && state != StateDone)
        return DailyRowUse::Drop;
    if (mode == ModeComplete || !lineExists)
        return DailyRowUse::NewLine;
    return DailyRowUse::Count;
}

int DeleteOldDailyFunctions(const QDate& today) {
    auto db = table::aliases::database(kDb);
    return db->execSql(u"DELETE FROM %1 WHERE \"FL_Date\" IS NULL OR \"FL_Date\" < ?"_s.arg(
                           Names(*db)(u"Tglfunc.db"_s)),
                       {dateValue(today)});
}

int DeleteEmptyDailyLists() {
    auto db = table::aliases::database(kDb);
    Names names(*db);
    table::Transaction tx(*db);
    int deleted = db->execSql(u"DELETE FROM %1 WHERE NOT EXISTS (SELECT 1 FROM %2 J WHERE "
                              u"J.\"A_TourID\" COLLATE DE = %1.\"A_TourID\" "
                              "AND J.\"A_ObjNr\" COLLATE DE = %1.\"A_ObjektNr\")"_s.arg(
                                  names(u"TglObj.DB"_s), names(u"TglTaet.DB"_s)));
    deleted += db->execSql(u"DELETE FROM %1 WHERE NOT EXISTS (SELECT 1 FROM %2 O WHERE "
                           "O.\"A_TourID\" COLLATE DE = %1.\"A_TourID\")"_s.arg(
                               names(u"TglTour.DB"_s), names(u"TglObj.DB"_s)));
    tx.commit();
    return deleted;
}

ReportBuildResult CreateBerichte(const QDate& today, const ReportBuildProgress& progress) {
    auto db = table::aliases::database(kDb);
    ReportBuildResult result;
    const QHash<int, ObjectSettings> objects = objectSettings(*db);
    Patterns patterns;
    ReportWriter writer(*db);
    Names& names = writer.names();

    // The finished rows of objects that exist, in the order of the lists:
    // date, tour, object row, activity row.
    std::vector<DailyRow> rows;
    {
        Query q(
            *db,
            u"SELECT J.\"A_TOTID\", J.\"A_ObjNr\", J.\"A_TaetigNr\", "
            "COALESCE(J.\"A_State\", 0), T.\"A_Date\", T.\"A_TourNr\" "
            "FROM %1 T JOIN %2 O ON O.\"A_TourID\" = T.\"A_TourID\" "
            "JOIN %3 J ON J.\"A_TourID\" = O.\"A_TourID\" AND J.\"A_ObjNr\" = O.\"A_ObjektNr\" "
            "WHERE COALESCE(J.\"A_State\", 0) <> 0 "
            "ORDER BY T.\"A_Date\", T.\"A_TourNr\", T.\"A_TourID\", O.\"A_TOID\", J.\"A_TOTID\""_s
                .arg(names(u"TglTour.DB"_s), names(u"TglObj.DB"_s), names(u"TglTaet.DB"_s)));
        q.bind({});
        while (q.next()) {
            const table::Statement& s = *q;
            DailyRow row{readInt(s, 0), readInt(s, 1),  readInt(s, 2),
                         readInt(s, 3), readDate(s, 4), readInt(s, 5)};
            if (objects.contains(row.objektNr))
                rows.push_back(row);
        }
    }

    // The row as it stands now, inside its transaction: another workstation
    // may have taken or changed it since the list was read.
    Query current(*db, u"SELECT COALESCE(J.\"A_State\", 0), COALESCE(J.\"A_TermID\", 0) FROM %1 J "
                       "WHERE J.\"A_TOTID\" = ?"_s.arg(names(u"TglTaet.DB"_s)));
    Query insertLine(
        *db,
        u"INSERT INTO %1(\"B_SID\", \"B_TourDatum\", \"B_TourNr\", \"B_PersNr\", \"B_ObjektNr\", "
        "\"B_TaetigNr\", \"B_State\", \"B_ZusatzText\", \"B_TourText\", \"B_KontrollText\", "
        "\"B_Kunde\", \"B_Rueckstand\", \"B_TextModified\", \"B_DruckTermin\", \"B_WieOft\") "
        "SELECT ?, ?, COALESCE(T.\"A_TourNr\", 0), COALESCE(T.\"A_PersNr\", 0), "
        "COALESCE(J.\"A_ObjNr\", 0), COALESCE(J.\"A_TaetigNr\", 0), COALESCE(J.\"A_State\", 0), "
        "J.\"A_ZusatzText\", J.\"A_TourText\", J.\"A_KontrollText\", "
        "COALESCE((SELECT O.\"A_Kunde\" FROM %3 O WHERE O.\"A_TourID\" COLLATE DE = J.\"A_TourID\" "
        "AND "
        "O.\"A_ObjektNr\" = J.\"A_ObjNr\" LIMIT 1), 0), COALESCE(J.\"A_Rueckstand\", 0), 0, ?, 1 "
        "FROM %2 J JOIN %4 T ON T.\"A_TourID\" = J.\"A_TourID\" WHERE J.\"A_TOTID\" = ?"_s.arg(
            names(kLines), names(u"TglTaet.DB"_s), names(u"TglObj.DB"_s), names(u"TglTour.DB"_s)));
    DailyRowRemover remover(*db, names);

    try {
        for (const DailyRow& row : rows) {
            table::Transaction tx(*db);
            current.bind({row.totId});
            if (!current.next()) {
                current.done();
                continue; // taken elsewhere meanwhile
            }
            const int state = readInt(*current, 0);
            const int termId = readInt(*current, 1);
            current.done();
            if (state == StateOpen)
                continue;
            const ObjectSettings settings = objects.value(row.objektNr);
            const QDate tourDate = row.date.isValid() ? row.date : today;
            const QDate reportDate = ReportDateFor(patterns.of(settings.interval), tourDate);
            const int lineId = settings.mode == ModeComplete
                                   ? 0
                                   : writer.findLine(row.objektNr, reportDate, row.taetigNr);
            switch (ClassifyDailyRow(state, settings.mode, lineId != 0)) {
            case DailyRowUse::Stay:
            case DailyRowUse::Drop:
                break;
            case DailyRowUse::Count:
                writer.countIntoLine(lineId);
                writer.updateHead(row.objektNr, reportDate, tourDate, false);
                break;
            case DailyRowUse::NewLine:
                writer.updateHead(row.objektNr, reportDate, tourDate, true);
                insertLine.run(*db, {writer.nextLineKey(), dateValue(tourDate),
                                     dateValue(reportDate), row.totId});
                break;
            }
            remover.remove(row.totId, row.date, row.tourNr, row.objektNr, row.taetigNr, termId);
            tx.commit();
            ++result.taken;
            if (progress)
                progress(result.taken);
        }
    } catch (const Abort&) {
        db->invalidateCursors();
        throw;
    } catch (const std::exception& e) {
        db->invalidateCursors();
        throw DbError(u"Bei der Datenübertragung sind Fehler aufgetreten!\r"_s + errorText(e));
    }
    db->invalidateCursors();
    result.oldFunctionsDeleted = DeleteOldDailyFunctions(today);
    if (result.taken > 0)
        result.emptyListsDeleted = DeleteEmptyDailyLists();
    return result;
}

QList<OpenActivity> OpenActivitiesBefore(const QDate& today) {
    auto db = table::aliases::database(kDb);
    Names names(*db);
    Query q(
        *db,
        u"SELECT J.\"A_TOTID\", T.\"A_Date\", T.\"A_TourNr\", T.\"A_Bezeichnung\", "
        "T.\"A_PersNr\", J.\"A_ObjNr\", O.\"O_Match\", O.\"O_BerichtIntervall\", "
        "O.\"O_BerichtModus\", O.\"O_Kunde\", J.\"A_TaetigNr\", J.\"A_TourID\", J.\"A_TourText\" "
        "FROM %1 J JOIN %2 T ON T.\"A_TourID\" = J.\"A_TourID\" "
        "JOIN %3 O ON J.\"A_ObjNr\" = O.\"O_Nr\" "
        "WHERE T.\"A_Date\" < ? AND J.\"A_State\" = 0 "
        "ORDER BY T.\"A_Date\", T.\"A_TourNr\", J.\"A_ObjNr\", J.\"A_TaetigNr\", J.\"A_TOTID\""_s
            .arg(names(u"TglTaet.DB"_s), names(u"TglTour.DB"_s), names(u"Objekte.DB"_s)));
    q.bind({dateValue(today)});
    QList<OpenActivity> result;
    while (q.next()) {
        const table::Statement& s = *q;
        OpenActivity a;
        a.totId = readInt(s, 0);
        a.date = readDate(s, 1);
        a.tourNr = readInt(s, 2);
        a.tourName = s.isNull(3) ? QString() : s.text(3);
        a.persNr = readInt(s, 4);
        a.objektNr = readInt(s, 5);
        a.objektName = s.isNull(6) ? QString() : s.text(6);
        a.interval = s.isNull(7) ? 1 : readInt(s, 7);
        a.mode = s.isNull(8) ? 1 : readInt(s, 8);
        a.kunde = readInt(s, 9);
        a.taetigNr = readInt(s, 10);
        a.tourId = readInt(s, 11);
        a.tourText = s.isNull(12) ? QByteArray() : s.value(12).toByteArray();
        result.append(a);
    }
    return result;
}

CompletedActivity CompleteOpenActivity(const OpenActivity& row, const QDate& completedOn) {
    auto db = table::aliases::database(kDb);
    CompletedActivity done;
    done.completedOn = completedOn.isValid() ? completedOn : row.date;
    done.reportDate = ReportDateForInterval(row.interval, done.completedOn);
    try {
        ReportWriter writer(*db);
        Names& names = writer.names();
        table::Transaction tx(*db);
        Query current(*db, u"SELECT COALESCE(\"A_TermID\", 0) FROM %1 WHERE \"A_TOTID\" = ? AND "
                           "COALESCE(\"A_State\", 0) = 0"_s.arg(names(u"TglTaet.DB"_s)));
        current.bind({row.totId});
        if (!current.next())
            throw DbError(u"Die Tätigkeit ist nicht mehr offen."_s);
        const int termId = readInt(*current, 0);
        current.done();

        int lineId = row.mode == ModeComplete
                         ? 0
                         : writer.findLine(row.objektNr, done.reportDate, row.taetigNr);
        const bool newLine = lineId == 0;
        writer.updateHead(row.objektNr, done.reportDate, done.completedOn, newLine);
        if (newLine) {
            lineId = writer.nextLineKey();
            Query(*db, u"INSERT INTO %1(\"B_SID\", \"B_DruckTermin\", \"B_ObjektNr\", "
                       "\"B_TaetigNr\", \"B_WieOft\", \"B_Rueckstand\", \"B_TextModified\") "
                       "VALUES(?, ?, ?, ?, 0, 0, 0)"_s.arg(names(kLines)))
                .run(*db, {lineId, dateValue(done.reportDate), row.objektNr, row.taetigNr});
        }
        // The line takes the tour data and texts of the latest execution.
        Query(*db, u"UPDATE %1 SET \"B_TourNr\" = ?, \"B_TourDatum\" = ?, \"B_PersNr\" = ?, "
                   "\"B_Kunde\" = ?, \"B_State\" = 4, "
                   "\"B_Rueckstand\" = (SELECT COALESCE(\"A_Rueckstand\", 0) FROM %2 WHERE "
                   "\"A_TOTID\" = ?), "
                   "\"B_WieOft\" = COALESCE(\"B_WieOft\", 0) + 1, "
                   "\"B_ZusatzText\" = (SELECT \"A_ZusatzText\" FROM %2 WHERE \"A_TOTID\" = ?), "
                   "\"B_TourText\" = (SELECT \"A_TourText\" FROM %2 WHERE \"A_TOTID\" = ?), "
                   "\"B_KontrollText\" = (SELECT \"A_KontrollText\" FROM %2 WHERE \"A_TOTID\" = ?) "
                   "WHERE \"B_SID\" = ?"_s.arg(names(kLines), names(u"TglTaet.DB"_s)))
            .run(*db, {row.tourNr, dateValue(done.completedOn), row.persNr, row.kunde, row.totId,
                       row.totId, row.totId, row.totId, lineId});
        DailyRowRemover(*db, names)
            .remove(row.totId, row.date, row.tourNr, row.objektNr, row.taetigNr, termId);
        // The object row and the daily tour when this row was their last.
        db->execSql(
            u"DELETE FROM %1 WHERE \"A_TourID\" COLLATE DE = ? AND \"A_ObjektNr\" = ? AND "
            "NOT EXISTS (SELECT 1 FROM %2 WHERE \"A_TourID\" COLLATE DE = ? AND "
            "\"A_ObjNr\" COLLATE DE = ?)"_s.arg(names(u"TglObj.DB"_s), names(u"TglTaet.DB"_s)),
            {row.tourId, row.objektNr, row.tourId, row.objektNr});
        db->execSql(u"DELETE FROM %1 WHERE \"A_TourID\" = ? AND NOT EXISTS "
                    "(SELECT 1 FROM %2 WHERE \"A_TourID\" COLLATE DE = ?)"_s.arg(
                        names(u"TglTour.DB"_s), names(u"TglObj.DB"_s)),
                    {row.tourId, row.tourId});
        tx.commit();
    } catch (const Abort&) {
        db->invalidateCursors();
        throw;
    } catch (const std::exception& e) {
        db->invalidateCursors();
        throw DbError(u"Die Tätigkeit %1 konnte nicht erledigt werden.\r"_s.arg(row.taetigNr) +
                      errorText(e));
    }
    db->invalidateCursors();
    return done;
}

QString CompletionProtocolLine(int taetigNr, const CompletedActivity& done) {
    return QString::number(taetigNr).rightJustified(4, u' ') + u" erledigt am :"_s +
           done.completedOn.toString(u"dd.MM.yyyy"_s) + u" Druckdatum: "_s +
           done.reportDate.toString(u"dd.MM.yyyy"_s);
}

QString BerichtFilter(int objektNr, const QDate& reportDate, bool skippedIgnored) {
    QString filter = u"B_ObjektNr=%1 AND B_DruckTermin=%2"_s.arg(objektNr).arg(
        reportDate.toString(u"dd.MM.yyyy"_s));
    if (skippedIgnored)
        filter += u" AND B_State>=4"_s;
    return filter;
}

int BerichtFormType(int mode) {
    switch (mode) {
    case ModeSummary:
        return 26000;
    case ModeCounted:
        return 27000;
    default:
        return 28000;
    }
}

int CountMarkedBerichte(const QString& alias) {
    auto db = table::aliases::database(alias);
    if (!db->exists(kHeads))
        return 0;
    return db
        ->selectValue(u"SELECT COUNT(*) FROM %1 WHERE COALESCE(\"B_Selected\", 0) <> 0"_s.arg(
            Names(*db)(kHeads)))
        .toInt();
}

void SetBerichtMark(int headId, bool marked, const QString& alias) {
    auto db = table::aliases::database(alias);
    db->execSql(u"UPDATE %1 SET \"B_Selected\" = ? WHERE \"B_ID\" = ?"_s.arg(Names(*db)(kHeads)),
                {marked ? 1 : 0, headId});
}

void MarkAllBerichte(bool marked) {
    auto db = table::aliases::database(kDb);
    db->execSql(u"UPDATE %1 SET \"B_Selected\" = ?"_s.arg(Names(*db)(kHeads)), {marked ? 1 : 0});
}

int MarkBerichteByModus(int mode) {
    auto db = table::aliases::database(kDb);
    Names names(*db);
    return db->execSql(
        u"UPDATE %1 SET \"B_Selected\" = 1 WHERE EXISTS (SELECT 1 FROM %2 O WHERE O.\"O_Nr\" = "
        "%1.\"B_ObjektNr\" AND COALESCE(O.\"O_BerichtModus\", 1) = ?)"_s.arg(
            names(kHeads), names(u"Objekte.DB"_s)),
        {mode});
}

int MarkBerichteByDate(const QDate& from, const QDate& to) {
    auto db = table::aliases::database(kDb);
    return db->execSql(
        u"UPDATE %1 SET \"B_Selected\" = 1 WHERE \"B_DruckDatum\" IS NULL OR "
        "(\"B_DruckDatum\" >= ? AND \"B_DruckDatum\" <= ?)"_s.arg(Names(*db)(kHeads)),
        {dateValue(from), dateValue(to)});
}

void ProposedMarkRange(QDate& from, QDate& to) {
    auto db = table::aliases::database(kDb);
    const QString heads = Names(*db)(kHeads);
    from = table::fromStored(table::FieldType::Date,
                             db->selectValue(u"SELECT MIN(\"B_DruckDatum\") FROM %1"_s.arg(heads)))
               .toDate();
    const QDate latest =
        table::fromStored(table::FieldType::Date,
                          db->selectValue(u"SELECT MAX(\"B_DruckDatum\") FROM %1"_s.arg(heads)))
            .toDate();
    to = latest.isValid() ? latest.addDays(-365) : QDate();
    if (from.isValid() && (!to.isValid() || to < from))
        to = from;
}

void CountBerichtPrinted(int headId, bool clearMark, const QString& alias) {
    auto db = table::aliases::database(alias);
    db->execSql(u"UPDATE %1 SET \"B_Gedruckt\" = COALESCE(\"B_Gedruckt\", 0) + 1%2 "
                "WHERE \"B_ID\" = ?"_s.arg(Names(*db)(kHeads),
                                           clearMark ? u", \"B_Selected\" = 0"_s : QString()),
                {headId});
}

void SetArchivedBerichtPrinted(int headId) {
    auto db = table::aliases::database(kArchiveDb);
    Names names(*db);
    table::Transaction tx(*db);
    db->execSql(u"UPDATE %1 SET \"B_State\" = 5 WHERE EXISTS (SELECT 1 FROM %2 H WHERE "
                "H.\"B_ID\" = ? AND H.\"B_ObjektNr\" = %1.\"B_ObjektNr\" AND "
                "H.\"B_DruckDatum\" = %1.\"B_DruckTermin\")"_s.arg(names(kLines), names(kHeads)),
                {headId});
    db->execSql(u"UPDATE %1 SET \"B_Selected\" = 0, \"B_Gedruckt\" = COALESCE(\"B_Gedruckt\", 0) "
                "+ 1 WHERE \"B_ID\" = ?"_s.arg(names(kHeads)),
                {headId});
    tx.commit();
}

namespace {

struct MarkedHead {
    int id = 0;
    int objektNr = 0;
    QDate reportDate;
};

// The marked heads of existing objects, by object and report date.
std::vector<MarkedHead> markedHeads(table::Database& db, const QString& heads,
                                    const QString& objects) {
    Query q(db, u"SELECT H.\"B_ID\", H.\"B_ObjektNr\", H.\"B_DruckDatum\" FROM %1 H WHERE "
                "COALESCE(H.\"B_Selected\", 0) <> 0 AND EXISTS (SELECT 1 FROM %2 O WHERE "
                "O.\"O_Nr\" = H.\"B_ObjektNr\") ORDER BY H.\"B_ObjektNr\", H.\"B_DruckDatum\", "
                "H.\"B_ID\""_s.arg(heads, objects));
    std::vector<MarkedHead> result;
    q.bind({});
    while (q.next())
        result.push_back({readInt(*q, 0), readInt(*q, 1), readDate(*q, 2)});
    return result;
}

QStringList fieldNames(const table::TableDef& def) {
    QStringList names;
    for (const auto& f : def.fields)
        names << f.name;
    return names;
}

} // namespace

void CreateArchiveBerichtTables() {
    ArchiveConnection c;
    table::Database& db = c.database();
    table::Transaction tx(db);
    for (const QString& name : {kHeads, kLines})
        if (!db.existsIn(kArchiveSchema, name))
            db.createTableIn(kArchiveSchema, c.workingDef(name));
    tx.commit();
}

ReportMoveResult MoveMarkedBerichte(const ReportMoveProgress& progress) {
    ArchiveConnection c;
    table::Database& db = c.database();
    {
        table::Transaction tx(db);
        for (const QString& name : {kHeads, kLines})
            if (!db.existsIn(kArchiveSchema, name))
                db.createTableIn(kArchiveSchema, c.workingDef(name));
        tx.commit();
    }
    const QString heads = c.workingTable(kHeads);
    const QString lines = c.workingTable(kLines);
    const QString archHeads = c.archiveTable(kHeads);
    const QString archLines = c.archiveTable(kLines);
    const table::TableDef headDef = c.workingDef(kHeads);
    const table::TableDef lineDef = c.workingDef(kLines);

    // Every field but the key, by name.
    QStringList headFields = fieldNames(headDef);
    headFields.removeFirst();
    QStringList lineFields = fieldNames(lineDef);
    lineFields.removeFirst();
    auto quotedList = [](const QStringList& names) {
        QStringList q;
        for (const QString& n : names)
            q << table::quoted(n);
        return q.join(u", "_s);
    };

    Query lineRows(db, u"SELECT \"B_SID\" FROM %1 WHERE \"B_ObjektNr\" COLLATE DE = ? AND "
                       "\"B_DruckTermin\" COLLATE DE = ? ORDER BY \"B_SID\""_s.arg(lines));
    Query copyLine(db,
                   u"INSERT INTO %1(\"B_SID\", %2) SELECT ?, %2 FROM %3 WHERE \"B_SID\" = ?"_s.arg(
                       archLines, quotedList(lineFields), lines));
    Query findArchHead(
        db, u"SELECT \"B_ID\", \"B_TourFirst\", \"B_TourLast\", "
            "COALESCE(\"B_Positionen\", 0) FROM %1 WHERE \"B_ObjektNr\" COLLATE DE = ? AND "
            "\"B_DruckDatum\" COLLATE DE = ? ORDER BY \"B_ID\" LIMIT 1"_s.arg(archHeads));
    Query copyHead(db,
                   u"INSERT INTO %1(\"B_ID\", %2) SELECT ?, %2 FROM %3 WHERE \"B_ID\" = ?"_s.arg(
                       archHeads, quotedList(headFields), heads));
    Query widenHead(db, u"UPDATE %1 SET \"B_Positionen\" = ?, \"B_TourFirst\" = ?, "
                        "\"B_TourLast\" = ? WHERE \"B_ID\" = ?"_s.arg(archHeads));
    Query readHead(
        db, u"SELECT \"B_TourFirst\", \"B_TourLast\" FROM %1 WHERE \"B_ID\" = ?"_s.arg(heads));
    Query deleteLines(
        db,
        u"DELETE FROM %1 WHERE \"B_ObjektNr\" COLLATE DE = ? AND \"B_DruckTermin\" COLLATE DE = ?"_s
            .arg(lines));
    Query deleteHead(db, u"DELETE FROM %1 WHERE \"B_ID\" = ?"_s.arg(heads));

    ReportMoveResult result;
    for (const MarkedHead& head : markedHeads(db, heads, c.workingTable(u"Objekte.DB"_s))) {
        table::Transaction tx(db);
        std::vector<int> lineIds;
        lineRows.bind({head.objektNr, dateValue(head.reportDate)});
        while (lineRows.next())
            lineIds.push_back(readInt(*lineRows, 0));
        lineRows.done();
        if (!lineIds.empty()) {
            int nextLine = nextKey(db, archLines, u"B_SID"_s);
            for (int id : lineIds)
                copyLine.run(db, {nextLine++, id});
            findArchHead.bind({head.objektNr, dateValue(head.reportDate)});
            if (findArchHead.next()) {
                const int archId = readInt(*findArchHead, 0);
                QDate first = readDate(*findArchHead, 1);
                QDate last = readDate(*findArchHead, 2);
                const qint64 positions = qint64(readInt(*findArchHead, 3)) + qint64(lineIds.size());
                findArchHead.done();
                if (positions > std::numeric_limits<int>::max())
                    throw DbError(u"Der Bericht der Datenablage hat zu viele Positionen."_s);
                readHead.bind({head.id});
                if (readHead.next()) {
                    const QDate f = readDate(*readHead, 0);
                    const QDate l = readDate(*readHead, 1);
                    if (f.isValid() && (!first.isValid() || f < first))
                        first = f;
                    if (l.isValid() && (!last.isValid() || l > last))
                        last = l;
                }
                readHead.done();
                widenHead.run(db, {int(positions), dateValue(first), dateValue(last), archId});
            } else {
                findArchHead.done();
                copyHead.run(db, {nextKey(db, archHeads, u"B_ID"_s), head.id});
            }
        }
        const int deleted = deleteLines.run(db, {head.objektNr, dateValue(head.reportDate)});
        deleteHead.run(db, {head.id});
        tx.commit();
        ++result.reports;
        result.lines += deleted;
        if (progress)
            progress(result.lines);
    }
    return result;
}

ReportMoveResult DeleteMarkedBerichte(const ReportMoveProgress& progress) {
    auto db = table::aliases::database(kDb);
    Names names(*db);
    Query deleteLines(
        *db,
        u"DELETE FROM %1 WHERE \"B_ObjektNr\" COLLATE DE = ? AND \"B_DruckTermin\" COLLATE DE = ?"_s
            .arg(names(kLines)));
    Query deleteHead(*db, u"DELETE FROM %1 WHERE \"B_ID\" = ?"_s.arg(names(kHeads)));
    ReportMoveResult result;
    try {
        for (const MarkedHead& head : markedHeads(*db, names(kHeads), names(u"Objekte.DB"_s))) {
            table::Transaction tx(*db);
            const int deleted = deleteLines.run(*db, {head.objektNr, dateValue(head.reportDate)});
            deleteHead.run(*db, {head.id});
            tx.commit();
            ++result.reports;
            result.lines += deleted;
            if (progress)
                progress(result.lines);
        }
    } catch (...) {
        db->invalidateCursors();
        throw;
    }
    db->invalidateCursors();
    return result;
}

int DeleteArchivedBerichteUpTo(const QDate& limit) {
    auto db = table::aliases::database(kArchiveDb);
    if (!db->exists(kHeads) || !db->exists(kLines))
        return 0;
    Names names(*db);
    table::Transaction tx(*db);
    db->execSql(u"DELETE FROM %1 WHERE \"B_DruckTermin\" <= ?"_s.arg(names(kLines)),
                {dateValue(limit)});
    const int heads = db->execSql(
        u"DELETE FROM %1 WHERE \"B_DruckDatum\" <= ?"_s.arg(names(kHeads)), {dateValue(limit)});
    tx.commit();
    return heads;
}

void DeleteBericht(const QString& alias, int headId) {
    auto db = table::aliases::database(alias);
    Names names(*db);
    table::Transaction tx(*db);
    db->execSql(u"DELETE FROM %1 WHERE EXISTS (SELECT 1 FROM %2 H WHERE H.\"B_ID\" = ? AND "
                "H.\"B_ObjektNr\" = %1.\"B_ObjektNr\" AND H.\"B_DruckDatum\" IS "
                "%1.\"B_DruckTermin\")"_s.arg(names(kLines), names(kHeads)),
                {headId});
    db->execSql(u"DELETE FROM %1 WHERE \"B_ID\" = ?"_s.arg(names(kHeads)), {headId});
    tx.commit();
}

QList<ReportObject> ReportObjects() {
    auto db = table::aliases::database(kDb);
    Names names(*db);
    Query q(*db, u"SELECT O.\"O_Nr\", O.\"O_Match\", K.\"K_Match\" FROM %1 O LEFT JOIN %2 K ON "
                 "K.\"K_Nr\" = O.\"O_Kunde\" ORDER BY O.\"O_Nr\""_s.arg(names(u"Objekte.DB"_s),
                                                                        names(u"Kunden.DB"_s)));
    QList<ReportObject> result;
    q.bind({});
    while (q.next()) {
        const table::Statement& s = *q;
        result.append({readInt(s, 0), s.isNull(1) ? QString() : s.text(1),
                       s.isNull(2) ? QString() : s.text(2)});
    }
    return result;
}

QList<ReportHead> ReportHeads(const QString& alias, int objektNr) {
    auto db = table::aliases::database(alias);
    QList<ReportHead> result;
    if (!db->exists(kHeads))
        return result;
    Names names(*db);
    // The object names come from the client's objects also for the archive.
    QHash<int, QString> objectNames;
    for (const ReportObject& o : ReportObjects())
        objectNames.insert(o.nr, o.match);
    Query q(*db, u"SELECT \"B_ID\", \"B_ObjektNr\", \"B_DruckDatum\", \"B_TourFirst\", "
                 "\"B_TourLast\", \"B_Positionen\", \"B_Gedruckt\", COALESCE(\"B_Selected\", 0) "
                 "FROM %1 %2 ORDER BY %3"_s.arg(
                     names(kHeads), objektNr < 0 ? QString() : u"WHERE \"B_ObjektNr\" = ?"_s,
                     objektNr < 0 ? u"\"B_DruckDatum\", \"B_ObjektNr\", \"B_ID\""_s
                                  : u"\"B_DruckDatum\", \"B_ID\""_s));
    q.bind(objektNr < 0 ? QVariantList{} : QVariantList{objektNr});
    while (q.next()) {
        const table::Statement& s = *q;
        ReportHead h;
        h.id = readInt(s, 0);
        h.objektNr = readInt(s, 1);
        h.objektName = objectNames.value(h.objektNr);
        h.reportDate = readDate(s, 2);
        h.first = readDate(s, 3);
        h.last = readDate(s, 4);
        h.positions = readInt(s, 5);
        h.printed = readInt(s, 6);
        h.selected = readInt(s, 7) != 0;
        result.append(h);
    }
    return result;
}

QList<ReportLine> ReportLines(const QString& alias, int objektNr, const QDate& reportDate) {
    auto db = table::aliases::database(alias);
    QList<ReportLine> result;
    if (!db->exists(kLines))
        return result;
    Query q(*db, u"SELECT \"B_SID\", \"B_TaetigNr\", \"B_ZusatzText\", \"B_WieOft\", "
                 "\"B_TourDatum\" FROM %1 WHERE \"B_ObjektNr\" COLLATE DE = ? AND "
                 "\"B_DruckTermin\" COLLATE DE = ? "
                 "ORDER BY \"B_TaetigNr\", \"B_SID\""_s.arg(Names(*db)(kLines)));
    q.bind({objektNr, dateValue(reportDate)});
    while (q.next()) {
        const table::Statement& s = *q;
        result.append({readInt(s, 0), readInt(s, 1), s.isNull(2) ? QString() : s.text(2),
                       readInt(s, 3), readDate(s, 4)});
    }
    return result;
}
