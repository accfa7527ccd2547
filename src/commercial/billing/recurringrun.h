#pragma once

#include "commercial/billing/billingperiods.h"
#include "commercial/billing/recurringbilling.h"
#include "commercial/documents/vatrates.h"
#include "commercial/scheduling/activityintervals.h"
#include "commercial/scheduling/tourvisits.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <QVariant>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class TDataModule1;
class TGeneratedPosNrs;
struct TRgPeriod;
namespace table {
class Database;
class Table;
} // namespace table

// One call of the recurring-invoice generator. It reads objects, templates,
// delivery notes, tours and existing invoices through cursors of its own
// (the data module's shared cursors keep their filters and positions) and
// writes invoices through the data module's invoice tables, so that their
// line rules and bookings run.
class TRecurringRun {
public:
    TRecurringRun(TDataModule1& dm, bool planMode, const QDate& today,
                  const RecurringBillingHooks& hooks);
    ~TRecurringRun();
    TRecurringRun(const TRecurringRun&) = delete;
    TRecurringRun& operator=(const TRecurringRun&) = delete;

    // Takes the invoice tables over with their write locks and opens the
    // run's cursors; Finish gives everything back and must follow on every
    // path once Begin was called.
    void Begin();
    void Finish();

    // Every billing period of the active objects' templates in from .. to.
    void ProcessAllObjects(const QDate& from, const QDate& to);
    // The invoice of one template and plan date, reported in a message box.
    void CreateOneInvoice(int objektNr, const QString& rgvNr, const QDate& planDate);

    int CreatedCount() const { return m_created; }

private:
    enum class Outcome { Made, Empty, NoPosNr };

    // What a template line and a delivery-note line both carry into the invoice.
    struct LineContent {
        int posTyp = 4;
        int matId = 0;
        std::optional<int> mwstKz;
        QString srcNr, mengBez, kurztext, text;
    };
    struct TemplateLine : LineContent {
        int posNr = 0;
        int posArt = 0;
        int rechmode = 0;
        int erloesKonto = 0;
        double menge = 0.0;
        double ePreis = 0.0;
    };
    struct NoteLine : LineContent {
        int id = 0;
        int origin = 0;
        double open = 0.0;
        double price = 0.0;
    };
    struct Note {
        int id = 0;
        QString nr;
        QList<NoteLine> lines;
    };
    struct Definition {
        QList<TRgPeriod> periods;
        QString comment;
    };

    // Steps of the run.
    void processTemplate(int objektNr, const QDate& contractStart, const QDate& from,
                         const QDate& to);
    void processPeriod(int objektNr, const QDate& contractStart, const TBillingPeriod& period);
    std::optional<TBillingPeriod> nextBillingPeriod(int ivNr, const QDate& searchFrom,
                                                    const QDate& searchTo, const QDate& notBefore);
    const Definition* definition(int ivNr);
    bool hasBillableContent(int objektNr, const QDate& billDate, bool& hasNotes, bool& hasLines);
    bool invoiceExists(int objektNr, const QString& rgvNr, const QDate& planDate);
    void count();

    // Reading.
    QList<TemplateLine> templateLines();
    QList<Note> openAutoDeliveryNotes(int objektNr, const QDate& billDate);
    double recurringQuantity(int objektNr, int rechmode, int posTyp, int matId, double qty);

    // Create mode.
    Outcome createInvoice(int objektNr, const QString& rgvNr, const TBillingPeriod& period,
                          bool hasLines, bool hasNotes);
    void createInvoiceFromTemplate(int objektNr, int ivNr, const QString& rgvNr,
                                   const TBillingPeriod& period, bool hasLines, bool hasNotes);
    void fillHead(int objektNr, int ivNr, const QString& rgvNr, const TBillingPeriod& period);
    // A new invoice line of the current head on the run's own cursor, with
    // the defaults of an invoice line, in insert state.
    void appendLine();
    int copyTemplatePositions(int objektNr, TGeneratedPosNrs& numbers);
    int billOpenDeliveryNotes(TGeneratedPosNrs& numbers);
    int copyDeliveryNotePositions(const Note& note, TGeneratedPosNrs& numbers);
    void cancelEdits();

    // Plan mode.
    void writePlanRow(int objektNr, const QString& rgvNr, const TBillingPeriod& period,
                      bool hasLines, bool hasNotes);
    void writePlanTotal(const QDate& from, const QDate& to);
    void emptyPlan();

    TDataModule1& m_dm;
    const bool m_planMode;
    const QDate m_today;
    const RecurringBillingHooks& m_hooks;

    std::shared_ptr<table::Database> m_db;
    std::unique_ptr<table::Table> m_objects;
    std::unique_ptr<table::Table> m_templates;
    std::unique_ptr<table::Table> m_templateLines;
    std::unique_ptr<table::Table> m_notes;
    std::unique_ptr<table::Table> m_noteLines;
    std::unique_ptr<table::Table> m_definitionHeads;
    std::vector<std::unique_ptr<table::Table>> m_billedInvoices; // heads, open items, archive
    std::unique_ptr<table::Table> m_heads; // invoice heads, written before they are booked
    std::unique_ptr<table::Table> m_lines; // and their lines
    std::unique_ptr<table::Table> m_plan;

    bool m_begun = false;
    bool m_tablesHeld = false; // the invoice tables were open before the run
    bool m_tablesTaken = false;

    std::map<int, std::optional<Definition>> m_definitions;
    QHash<int, std::pair<QString, QString>> m_kopfFussTexts; // by head/foot definition
    TToursByObject m_tours;
    TLuIntervall m_intervals;
    std::vector<TVatRateRow> m_vatRates;
    QHash<int, TDateTime> m_planStarts; // start dates a plan gave, by TS_ID
    int m_firstPosNr = 1;
    std::vector<std::pair<QString, QVariant>> m_newLineValues;
    int m_nextLineId = 1;
    int m_invoiceId = 0; // the invoice being made
    QString m_invoiceNr;
    QString m_sharedHeadFilter; // of the shared invoice heads before the run
    bool m_sharedHeadFiltered = false;

    // State of the period being processed.
    QDate m_periodStart, m_periodEnd;
    double m_existingGross = 0.0;
    // The open automatic delivery notes, read once when the period's content is checked.
    QList<Note> m_openNotes;
    bool m_emptyAllowed = false;
    double m_lastGross = 0.0;
    int m_created = 0;
    double m_planBilled = 0.0;
    double m_planDelivery = 0.0;
    double m_planTemplate = 0.0;
};
