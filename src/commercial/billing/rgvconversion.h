#pragma once

#include <QString>
#include <functional>
#include <memory>

namespace table {
class Table;
}

// Turns the billing definitions kept in the objects of older databases (up
// to three per object, with their lines in "ORgDef.db") into invoice
// templates. A run replaces every template of the client; it is one
// transaction, so a failure leaves the templates as they were.
class TRgvConversion {
public:
    TRgvConversion();
    ~TRgvConversion();
    TRgvConversion(const TRgvConversion&) = delete;
    TRgvConversion& operator=(const TRgvConversion&) = delete;

    // The template heads and, as their detail, the lines; open only during Run.
    table::Table& TabRgvKopf() { return *m_kopf; }
    table::Table& TabRgvSatz() { return *m_satz; }

    // Progress lines of the run.
    std::function<void(const QString& line)> addLine;
    // Runs after each converted definition, so that the window stays alive.
    std::function<void()> processEvents;

    // Converts the definitions of the current client, writes the client's
    // marker and reports the end; raises (with the object and definition
    // that failed) after rolling everything back.
    void Run(int mandant);

private:
    void convert();
    void writeTemplate(table::Table& objekt, int definition);
    void writePositions(int objektNr, int definition);
    void line(const QString& text);

    std::unique_ptr<table::Table> m_kopf;
    std::unique_ptr<table::Table> m_satz;
    struct RunState;
    std::unique_ptr<RunState> m_run;
};

// The line that separates the parts of the run's report.
QString RgvConversionRule();
