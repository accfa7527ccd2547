#include "commercial/billing/defrgmodel.h"
#include "commercial/billing/generatedposnrs.h"
#include "commercial/billing/invoicetemplates.h"
#include "commercial/billing/recurringrun.h"
#include "commercial/documents/documentrules.h"
#include "commercial/documents/documentservices.h"
#include "commercial/documents/documentsums.h"
#include "commercial/documents/kopffusstext.h"
#include "commercial/documents/linerules.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/docnumbers.h"
#include "core/values/money.h"
#include "core/values/rangeerrors.h"
#include "platform/table/query.h"
#include "platform/table/table.h"

#include <QtNumeric>

using table::Field;
using table::Table;

namespace {

// No number is left for a line: the invoice is not made.
struct NoFreePosNr {};

void set(Table& t, const char* name, const QVariant& value) {
    t.field(QLatin1String(name)).setValue(value);
}

// The template's value; a null reads as 0, empty text or false.
void copy(Table& head, Table& tpl, std::initializer_list<const char*> names) {
    for (const char* name : names) {
        const Field& from = tpl.field(QLatin1String(name));
        Field& to = head.field(QLatin1String(name));
        if (!from.isNull()) {
            to.setValue(from.value());
            continue;
        }
        switch (to.type()) {
        case table::FieldType::String:
        case table::FieldType::Memo:
        case table::FieldType::FmtMemo:
            to.setValue(QString());
            break;
        case table::FieldType::Boolean:
            to.setValue(false);
            break;
        case table::FieldType::Date:
        case table::FieldType::Time:
        case table::FieldType::DateTime:
        case table::FieldType::Graphic:
            to.clear();
            break;
        default:
            to.setValue(0);
            break;
        }
    }
}

// The largest key plus one (1 for an empty table), asked of the engine: a
// cursor would read every key of the table first.
int NextKeyOf(table::Database& db, const QString& tableName, const QString& field) {
    table::Query q(std::shared_ptr<table::Database>(std::shared_ptr<table::Database>(), &db),
                   QStringLiteral("SELECT MAX(%1) AS M FROM %2").arg(field, tableName));
    q.open();
    const QVariant last = q.value(0);
    int next = 0;
    if (qAddOverflow(last.isNull() ? 0 : last.toInt(), 1, &next))
        RaiseOverflowError();
    return next;
}

void addChecked(int& sum, int amount) {
    if (qAddOverflow(sum, amount, &sum))
        RaiseOverflowError();
}

} // namespace

void TRecurringRun::cancelEdits() {
    for (Table* t : {&m_dm.TabRechSatz(), &m_dm.TabRechKopf(), m_lines.get(), m_heads.get(),
                     m_templates.get(), m_notes.get()})
        if (t->isOpen() && t->isEditing())
            t->cancel();
}

TRecurringRun::Outcome TRecurringRun::createInvoice(int objektNr, const QString& rgvNr,
                                                    const TBillingPeriod& period, bool hasLines,
                                                    bool hasNotes) {
    const int ivNr = FieldInt(*m_templates, QStringLiteral("R_Intervall"));
    Outcome outcome = Outcome::Made;
    // Head, lines, bookings, delivery-note marks, start dates of activities
    // and the template's dates land together or not at all.
    table::Transaction tx(*m_db);
    try {
        {
            table::Transaction invoice(*m_db);
            try {
                createInvoiceFromTemplate(objektNr, ivNr, rgvNr, period, hasLines, hasNotes);
            } catch (...) {
                cancelEdits();
                throw;
            }
            if (m_lastGross < 0.005 && !m_emptyAllowed)
                outcome = Outcome::Empty; // leaves no head, line or booking behind
            else
                invoice.commit();
        }
        EnsureEditOrInsert(*m_templates);
        if (outcome == Outcome::Made)
            set(*m_templates, "R_DatumErstell", period.PlanDate);
        UpdateRgvPlanDatum(*m_templates, m_today, [this](int interval) {
            std::optional<QList<QDate>> dates;
            if (const Definition* def = definition(interval)) {
                dates.emplace();
                for (const TRgPeriod& p : def->periods)
                    dates->append(p.CreateDate);
            }
            return dates;
        });
        m_templates->post();
        tx.commit();
    } catch (const NoFreePosNr&) {
        cancelEdits();
        return Outcome::NoPosNr;
    } catch (...) {
        cancelEdits();
        throw;
    }
    return outcome;
}

void TRecurringRun::fillHead(int objektNr, int ivNr, const QString& rgvNr,
                             const TBillingPeriod& period) {
    Table& head = *m_heads;
    Table& tpl = *m_templates;
    const int id = NextKeyOf(*m_db, head.tableName(), QStringLiteral("R_ID"));
    head.append();
    CancelEditOnError(head, [&] {
        set(head, "R_ID", id);
        set(head, "R_RgState", 2);
        set(head, "R_Nr", FormatDocNr(TDocKind::Rechnung, id, 0, 0, true));
        set(head, "R_ANr", rgvNr);
        set(head, "R_Creator", 0);
        set(head, "R_PlanDatum", period.PlanDate);
        set(head, "R_Intervall", ivNr);
        const Definition* def = definition(ivNr);
        set(head, "R_IVname", def ? def->comment : QString());
        set(head, "R_Jahr", period.PlanDate.year());
        set(head, "R_Monat", period.PlanDate.month());
        set(head, "R_DatumErstell", m_today);
        set(head, "R_DatumDruck", period.BillDate);
        set(head, "R_Drucke", 0);
        copy(head, tpl, {"R_PrintFormNo", "R_FibuKonto2", "R_Buchtext"});
        set(head, "R_ObjektNr", objektNr);
        copy(head, tpl,
             {"R_OMatch", "R_OName1", "R_OName2", "R_OName3", "R_OPlz", "R_OOrt", "R_OStrasse",
              "R_KundenNr", "R_KMatch", "R_Kname1", "R_Kname2", "R_Kname3", "R_KPlz", "R_KOrt",
              "R_KStrasse"});
        set(head, "R_FormNr", 0);
        set(head, "R_ZeitraumTxt", period.Text());
        set(head, "R_Anzpos", 0);
        for (const char* sum : {"R_Netto", "R_Netto0", "R_Netto1", "R_Netto2", "R_Brutto", "R_Mwst",
                                "R_Mwst0", "R_Mwst1", "R_Mwst2"})
            set(head, sum, 0);
        set(head, "R_Buchung", 0);
        set(head, "R_Selected", false);
        copy(head, tpl,
             {"R_ZahlBedID", "R_ZahlBed", "R_ZahlBedSkonto", "R_ZahlBedTage", "R_ZahlBedSkonto2",
              "R_ZahlBedTage2", "R_ZahlBedNettoTage"});
        set(head, "R_FaelligDatum",
            period.BillDate.addDays(FieldInt(tpl, QStringLiteral("R_ZahlBedNettoTage"))));
        copy(head, tpl,
             {"R_AnrID0", "R_AnrID1", "R_AnrID2", "R_AdrZweck0", "R_AdrZweck1", "R_AdrZweck2",
              "R_KFID"});
        QString kopf, fuss;
        LoadKopfFussText(FieldInt(tpl, QStringLiteral("R_KFID")), kopf, fuss);
        set(head, "R_KopfText", kopf);
        set(head, "R_FussText", fuss);
        copy(head, tpl, {"R_VorspannText", "R_NachspannText", "R_Memo"});
        head.post();
    });
    m_invoiceId = id;
    m_invoiceNr = FieldText(head, QStringLiteral("R_Nr"));
    // The invoice tables show the new invoice alone while it is booked: their
    // view stays small however many invoices the table holds.
    Table& shared = m_dm.TabRechKopf();
    shared.setFilter(QStringLiteral("R_ID=%1").arg(id));
    shared.setFiltered(true);
    shared.first();
}

void TRecurringRun::createInvoiceFromTemplate(int objektNr, int ivNr, const QString& rgvNr,
                                              const TBillingPeriod& period, bool hasLines,
                                              bool hasNotes) {
    Table& head = m_dm.TabRechKopf();
    fillHead(objektNr, ivNr, rgvNr, period);
    TGeneratedPosNrs numbers(m_firstPosNr);
    m_nextLineId = NextKeyOf(*m_db, QStringLiteral("Rechsatz.db"), QStringLiteral("S_ID"));
    int lines = 0;
    if (hasLines)
        addChecked(lines, copyTemplatePositions(objektNr, numbers));
    if (hasNotes)
        addChecked(lines, billOpenDeliveryNotes(numbers));
    // The lines were written as stored values: posting each through the
    // invoice lines calculates and books it, then the sums follow.
    BookAllRechSatz(m_dm);
    EnsureEditOrInsert(head);
    set(head, "R_Anzpos", lines);
    head.post();
    m_lastGross = FieldFloat(head, QStringLiteral("R_Brutto"));
}

void TRecurringRun::appendLine() {
    Table& lines = *m_lines;
    lines.append();
    SetFieldsIfPresent(lines, m_newLineValues);
    set(lines, "S_ID", m_nextLineId);
    set(lines, "S_Ref", m_invoiceId);
    if (qAddOverflow(m_nextLineId, 1, &m_nextLineId))
        RaiseOverflowError();
}

int TRecurringRun::copyTemplatePositions(int objektNr, TGeneratedPosNrs& numbers) {
    Table& lines = *m_lines;
    int written = 0;
    for (const TemplateLine& t : templateLines()) {
        if (t.posArt == PosArtAlternativ || t.posArt == PosArtBedarf)
            continue;
        const int posNr = numbers.TemplateLine(t.posNr);
        if (posNr < 0)
            throw NoFreePosNr{};
        const double menge = recurringQuantity(objektNr, t.rechmode, t.posTyp, t.matId, t.menge);
        appendLine();
        CancelEditOnError(lines, [&] {
            set(lines, "S_PosNr", posNr);
            ApplyPosArtDefaults(lines, t.posArt);
            set(lines, "S_PosArt", t.posArt);
            set(lines, "S_Quelle", 6);
            set(lines, "S_QuellNr", QStringLiteral("Dauerrechnung"));
            set(lines, "S_Origin", 0);
            set(lines, "S_PosTyp", t.posTyp);
            set(lines, "S_MatID", t.matId);
            set(lines, "S_SrcNr", t.srcNr);
            set(lines, "S_RefID", 0);
            set(lines, "S_ErloesKonto", DefaultErloesKonto(lines, t.erloesKonto));
            set(lines, "S_MengBez", t.mengBez);
            set(lines, "S_Kurztext", t.kurztext);
            set(lines, "S_Text", t.text);
            set(lines, "S_EPreis", t.ePreis);
            set(lines, "S_Menge", menge);
            set(lines, "S_MwstKz", t.mwstKz.value_or(DefaultMwstKz));
            lines.post();
        });
        addChecked(written, 1);
    }
    return written;
}

int TRecurringRun::billOpenDeliveryNotes(TGeneratedPosNrs& numbers) {
    int total = 0;
    for (const Note& note : m_openNotes) {
        const int written = copyDeliveryNotePositions(note, numbers);
        if (written == 0)
            continue;
        if (!m_notes->locate({QStringLiteral("R_ID")}, {note.id}))
            throw DbError(QStringLiteral("Der Lieferschein %1 wurde während der "
                                         "Rechnungserstellung gelöscht.")
                              .arg(note.nr));
        m_notes->edit();
        set(*m_notes, "R_Buchung", m_invoiceId);
        set(*m_notes, "R_RechNr", m_invoiceNr);
        set(*m_notes, "R_BuchDat", m_today);
        m_notes->post();
        addChecked(total, written);
    }
    return total;
}

int TRecurringRun::copyDeliveryNotePositions(const Note& note, TGeneratedPosNrs& numbers) {
    Table& lines = *m_lines;
    int written = 0;
    for (const NoteLine& l : note.lines) {
        if (RoundCents(l.open * l.price) <= 0)
            continue;
        const int posNr = numbers.DeliveryLine();
        if (posNr < 0)
            throw NoFreePosNr{};
        appendLine();
        CancelEditOnError(lines, [&] {
            set(lines, "S_PosNr", posNr);
            set(lines, "S_Origin", l.origin);
            set(lines, "S_Quelle", 4);
            set(lines, "S_QuellNr", note.nr);
            set(lines, "S_RefID", l.id);
            set(lines, "S_PosTyp", l.posTyp);
            set(lines, "S_MatID", l.matId);
            set(lines, "S_SrcNr", l.srcNr);
            set(lines, "S_MengBez", l.mengBez);
            set(lines, "S_Kurztext", l.kurztext);
            set(lines, "S_Text", l.text);
            set(lines, "S_EPreis", l.price);
            set(lines, "S_Menge", l.open);
            set(lines, "S_MwstKz", l.mwstKz.value_or(DefaultMwstKz));
            set(lines, "S_ErloesKonto", DefaultErloesKonto(lines, 0));
            lines.post();
        });
        addChecked(written, 1);
    }
    return written;
}
