#pragma once

// The turnover statistics without their windows: the work table of one
// window, its collecting from the booking journal and the document heads,
// and the sum of the rows a window lists.

#include "core/data/worktable.h"
#include "core/values/datetimevalue.h"

#include <QSet>
#include <QString>
#include <functional>
#include <optional>

// The four statistics windows.
enum class UmStatKind { Objekte, Kunden, Lieferanten, Gesamt };

// Record kinds of the work table (R_Satzart).
inline constexpr int kSatzartAR = 0; // outgoing invoice
inline constexpr int kSatzartGS = 2; // credit note
inline constexpr int kSatzartER = 3; // incoming invoice

// "AR", "GS", "ER"; empty for any other kind.
QString UmStatSatzartName(int satzart);

// The work-table index a window lists by and the field its key limits:
// objects by object number, the others by customer or supplier number.
QString UmStatIndexName(UmStatKind kind);
QString UmStatKeyField(UmStatKind kind); // empty for the whole firm

// The kinds a window offers under "Satzarten einbeziehen", all ticked when it
// opens: outgoing invoices and credit notes, in the whole-firm window also
// incoming invoices; none in the supplier window.
QSet<int> UmStatBoxKinds(UmStatKind kind);

// The first and the last day of today's month.
struct UmStatRange {
    TDateTime from = EmptyDate;
    TDateTime to = EmptyDate;
    bool isEmpty() const { return from > to; }
};
UmStatRange UmStatMonthRange(const QDate& today);

// The work table of one window: created exclusively under a free temporary
// name of the client database, dropped again when the object goes (also
// after an error). A name another workstation takes between the proposal and
// the creation is skipped for the next one.
class UmsatzWorkTable {
public:
    using NameProposer = WorkTable::NameProposer;
    // proposeName defaults to GetTempTableName(".db").
    explicit UmsatzWorkTable(const QString& databaseName = QStringLiteral("LumoDB"),
                             const NameProposer& proposeName = {});
    UmsatzWorkTable(const UmsatzWorkTable&) = delete;
    UmsatzWorkTable& operator=(const UmsatzWorkTable&) = delete;

    const QString& databaseName() const { return m_work.databaseName(); }
    const QString& name() const { return m_work.name(); }

private:
    WorkTable m_work;
};

struct UmStatCollect {
    UmStatKind kind = UmStatKind::Objekte;
    UmStatRange range;
    // The kinds ticked under "Satzarten einbeziehen"; the supplier window
    // ignores them and takes incoming invoices only.
    QSet<int> kinds;
};

// Empties the work table (opened exclusively, so another workstation holding
// it raises) and fills it from the window's sources, journal first, in one
// transaction. A row with an empty date lies in every range. Returns the
// number of rows. An empty range is the caller's to refuse.
int CollectUmsatz(const UmsatzWorkTable& work, const UmStatCollect& collect);

// The sum of the rows the window lists: those of the key (all for the whole
// firm), outgoing invoices added and every other kind subtracted; the
// supplier window adds every row. Rounded to cents.
double UmsatzSumme(const UmsatzWorkTable& work, UmStatKind kind, std::optional<int> key);
// The sum as the window shows it: money text right-aligned in 16 characters.
QString UmsatzSummeText(double sum);
