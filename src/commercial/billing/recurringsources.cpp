#include "commercial/billing/recurringrun.h"
#include "core/data/dbhelpers.h"
#include "core/data/lookups.h"
#include "core/values/calendar.h"
#include "platform/table/table.h"

#include <optional>

using table::Table;

namespace {

std::optional<int> optionalInt(Table& t, const char* name) {
    const table::Field& f = t.field(QLatin1String(name));
    return f.isNull() ? std::nullopt : std::optional<int>(f.asInteger());
}

int intOf(Table& t, const char* name, int fallback = 0) {
    return FieldInt(t, QLatin1String(name), fallback);
}

double floatOf(Table& t, const char* name) {
    return FieldFloat(t, QLatin1String(name));
}

QString textOf(Table& t, const char* name) {
    return FieldText(t, QLatin1String(name));
}

template <class Content> void readContent(Table& t, Content& c) {
    c.posTyp = intOf(t, "S_PosTyp", 4);
    c.matId = intOf(t, "S_MatID");
    c.mwstKz = optionalInt(t, "S_MwstKz");
    c.srcNr = textOf(t, "S_SrcNr");
    c.mengBez = textOf(t, "S_MengBez");
    c.kurztext = textOf(t, "S_Kurztext");
    c.text = textOf(t, "S_Text");
}

} // namespace

QList<TRecurringRun::TemplateLine> TRecurringRun::templateLines() {
    QList<TemplateLine> result;
    const int id = intOf(*m_templates, "R_ID");
    Table& t = *m_templateLines;
    t.setRange({id}, {id});
    for (t.first(); !t.eof() && !t.isEmpty(); t.next()) {
        TemplateLine line;
        line.posNr = intOf(t, "S_PosNr");
        line.posArt = intOf(t, "S_Posart");
        line.rechmode = intOf(t, "S_Rechmode");
        line.erloesKonto = intOf(t, "S_ErloesKonto");
        line.menge = floatOf(t, "S_Menge");
        line.ePreis = floatOf(t, "S_EPreis");
        readContent(t, line);
        result.append(line);
    }
    return result;
}

QList<TRecurringRun::Note> TRecurringRun::openAutoDeliveryNotes(int objektNr,
                                                                const QDate& billDate) {
    QList<Note> result;
    Table& heads = *m_notes;
    heads.setRange({objektNr}, {objektNr});
    for (heads.first(); !heads.eof() && !heads.isEmpty(); heads.next()) {
        if (!heads.field(QStringLiteral("R_AutoLS")).asBooleanOr(false))
            continue;
        // A note without delivery date counts as delivered long ago.
        const QDate delivered = heads.field(QStringLiteral("R_LiefDatum")).asDateOr(QDate());
        if (delivered.isValid() && !(billDate.isValid() && delivered <= billDate))
            continue;
        Note note;
        note.id = intOf(heads, "R_ID");
        note.nr = textOf(heads, "R_Nr");
        Table& t = *m_noteLines;
        t.setRange({note.id}, {note.id});
        for (t.first(); !t.eof() && !t.isEmpty(); t.next()) {
            NoteLine line;
            line.id = intOf(t, "S_ID");
            line.origin = intOf(t, "S_Origin");
            line.open = floatOf(t, "S_Menge") - floatOf(t, "S_MengeGeliefert");
            line.price = floatOf(t, "S_EPreis");
            readContent(t, line);
            note.lines.append(line);
        }
        result.append(note);
    }
    return result;
}

double TRecurringRun::recurringQuantity(int objektNr, int rechmode, int posTyp, int matId,
                                        double qty) {
    // Only activity lines are multiplied.
    if (rechmode == 0 || posTyp != 1)
        return qty;
    const TDateTime from = DateTimeOfDate(m_periodStart);
    const TDateTime to = DateTimeOfDate(m_periodEnd);
    if (rechmode == 1) {
        QList<int> weekdays;
        for (const PlanTour& tour : m_tours.Of(objektNr))
            weekdays.append(tour.weekday);
        return qty * CountTourVisits(weekdays, from, to);
    }
    if (rechmode == 2) {
        const int taetigNr = GetTaetigNrById(matId);
        if (taetigNr == 0)
            return qty;
        return qty * CountActivityOccurrences(taetigNr, objektNr, m_tours.Of(objektNr), from, to,
                                              m_intervals, m_planMode ? &m_planStarts : nullptr);
    }
    return qty;
}
