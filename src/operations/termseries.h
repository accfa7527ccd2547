#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QVariant>
#include <array>

namespace table {
class Table;
}

// The appointment series ("Mehrfachtermine erzeugen"): copies of one
// appointment on chosen days of the twelve months that begin with its month,
// for chosen objects.

// The days chosen in the series grid: row 1 is the source's month, row r the
// month r - 1 months later (past December in the next year); column c is day
// c. Rows 1 .. 12, days 1 .. 31; other indexes raise.
class TermSeriesGrid {
public:
    // Starts with the source day marked (row 1, its day); an invalid source
    // date counts as the empty date's month (December 1899).
    explicit TermSeriesGrid(const QDate& source);

    int startYear() const { return m_startYear; }
    int startMonth() const { return m_startMonth; }
    int yearOfRow(int row) const;
    int monthOfRow(int row) const;
    bool dayExists(int row, int day) const;
    // The date of the cell; invalid when the month lacks the day.
    QDate dateOf(int row, int day) const;

    bool isChosen(int row, int day) const;
    // A double-click: an existing day changes between chosen and not; a day
    // the month lacks (30 February) is emptied.
    void toggle(int row, int day);
    // "*" for a chosen day, else empty.
    QString cellText(int row, int day) const;

    // The chosen dates row by row, within a row day by day.
    QList<QDate> chosenDates() const;

private:
    int index(int row, int day) const;

    int m_startYear = 1899;
    int m_startMonth = 12;
    std::array<bool, 12 * 31> m_chosen{};
};

// An object a series copies to: its number, its name and its customer.
struct TermSeriesObjekt {
    int nr = 0;
    QString match; // O_Match
    int kunde = 0; // O_Kunde, 0 when it has none
};

// The objects marked (O_Selected) in object-number order.
QList<TermSeriesObjekt> MarkedSeriesObjekte();

// The appointment copied: its field values in the table's field order.
struct TermSeriesSource {
    QVariantList values;
    int objektNr = 0;
    QDate date; // the empty date (30.12.1899) for an appointment without date
};
// The source as the cursor's current record holds it.
TermSeriesSource TermSeriesSourceOf(table::Table& appointments);

// Appends one copy of the source for every date and object, except the
// source object on the source date, through a cursor of its own (the record
// rules of the data module do not run): a new key (last + 1), the object,
// its name and customer, the date; the copy is open and without delivery
// note, daily-list link, tour, reminder or lock; every other field as the
// source has it. All copies land in one transaction or none does: an error
// raises DbError with a German message naming the cause. Returns the number
// of copies.
int CreateTermSeries(const TermSeriesSource& source, const QList<QDate>& dates,
                     const QList<TermSeriesObjekt>& objekte);
