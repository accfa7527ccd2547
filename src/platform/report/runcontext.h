#pragma once

// What hooks see of a running report.

#include <QString>
#include <QVariant>

namespace table {
class Table;
}

namespace report {

struct Component;

class RunContext {
public:
    virtual ~RunContext() = default;

    virtual const QString& title() const = 0;
    virtual int pageNumber() const = 0;
    // The number of pages; 0 in the counting pass a report with a page count makes first.
    virtual int pageCount() const = 0;
    virtual bool countingPass() const = 0;
    virtual int detailNo() const = 0; // detail rows printed so far in this pass

    // Closing-page state: the last row has printed; the final page footer is printing.
    virtual bool allRowsPrinted() const = 0;
    virtual bool finalPageFooter() const = 0;

    // The current row's value (lookups and calculated fields included); null without a row.
    virtual QVariant value(const QString& dataset, const QString& field) = 0;
    // The run's own read-only cursor of a dataset.
    virtual table::Table& cursor(const QString& dataset) = 0;
    // The run's copy of a component: changes last for the rest of this pass.
    virtual Component& control(const QString& name) = 0;
    // Starts a new page before the next band.
    virtual void newPage() = 0;
};

} // namespace report
