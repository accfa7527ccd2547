#pragma once

#include <QString>
#include <QStringList>
#include <memory>

namespace table {
class Table;
}

// The cost statistics as the cost views show them (KostSumH.db heads,
// KostSumD.db details): the period, its filter and the columns computed per row.

enum class KostsumMode { Gesamt = 0, Jahr = 1, Monat = 2 };

// Which view: objects with their cost types, or cost types with their objects.
enum class KostsumSide { Objekte, Kostenarten };

struct KostsumPeriod {
    KostsumMode mode = KostsumMode::Monat;
    int year = 0;  // 0 in total mode
    int month = 0; // 0 in year and total mode

    static KostsumPeriod monthOf(int year, int month) { return {KostsumMode::Monat, year, month}; }
    static KostsumPeriod yearOf(int year) { return {KostsumMode::Jahr, year, 0}; }
    static KostsumPeriod total() { return {KostsumMode::Gesamt, 0, 0}; }

    // The heads of the period: "K_Jahr=2026 AND K_Monat=3 AND K_ObjektID>=0"
    // (objects) or "... AND K_Kostart>=0" (cost types).
    QString headFilter(KostsumSide side) const;
    // "Gesamtzeitraum", "Jahr 2026" or "Monat 3/2026".
    QString text() const;
    bool operator==(const KostsumPeriod&) const = default;
};

// The rows' own fields: "Diff" (costs of the period, K_Zugang - K_Bestand)
// and "Saldo" (K_Bestand + K_Erloes - K_Zugang), both rounded to cents
// with missing amounts 0; "ObjektName" (O_Match by K_ObjektID) and
// "KostartName" (A_Text by K_Kostart). The main store (object number 0) is
// named "Hauptlager" when mainStoreNamed, cost type 0 "ohne
// Kostenzuordnung" when noCostTypeNamed; a name not found stays empty.
struct KostsumNames {
    bool mainStoreNamed = true;
    bool noCostTypeNamed = true;
};

// Computes those fields of the current row; the names are read once, at the
// first row.
class KostsumFieldCalc {
public:
    explicit KostsumFieldCalc(const KostsumNames& names = {});
    ~KostsumFieldCalc();
    KostsumFieldCalc(KostsumFieldCalc&&) noexcept;
    KostsumFieldCalc& operator=(KostsumFieldCalc&&) noexcept;
    void operator()(table::Table& row);
    // The field declarations, for a cursor or a report dataset.
    static const QStringList& fieldNames();

private:
    struct Names;
    KostsumNames m_names;
    std::unique_ptr<Names> m_cache;
};

// Declares the fields on a cursor (closed for it and opened again) and
// computes them on every row; nothing when they exist already.
void AddKostsumFields(table::Table& t, const KostsumNames& names = {});

double KostsumDiff(double zugang, double bestand);
double KostsumSaldo(double zugang, double bestand, double erloes);
