#pragma once

// The cursors of one run: every dataset of the report opened read-only on
// its own cursor (index, filter, range, master-detail link, calculated
// fields), the lookups resolved through cursors of their own with a cache.
// Nothing the data module shares is moved, nothing is written.

#include "platform/report/reportdef.h"
#include "platform/table/tabledef.h"

#include <QHash>
#include <functional>
#include <memory>
#include <vector>

namespace table {
class Table;
}

namespace report {

class RunData {
public:
    using CalcHandler = std::function<void(const QString& hook, table::Table& cursor)>;

    // Opens every dataset; the table layer's German message ends the run on
    // a missing table, index or field. The cursors close with the object.
    RunData(const ReportDefinition& def, CalcHandler calc);
    ~RunData();
    RunData(const RunData&) = delete;
    RunData& operator=(const RunData&) = delete;

    bool hasDataset(const QString& name) const;
    table::Table& cursor(const QString& dataset); // raises DbError when unknown

    // A field of a dataset (empty: the report's dataset) as an id; raises
    // DbError naming field and dataset when neither table nor lookups have it.
    int resolve(const QString& dataset, const QString& field);
    // Like resolve for expressions: an unqualified name is searched in the
    // report's dataset, then in every dataset in definition order.
    int resolveAny(const QString& dataset, const QString& field);
    QVariant value(int id);
    table::FieldType type(int id) const;

    // A sub-detail printing its one empty row: the dataset reads null.
    void setBlank(const QString& dataset, bool blank);

private:
    struct Source;
    struct Ref {
        int source;
        int field; // field index of the cursor, or -1 - lookup index
    };
    int sourceIndex(const QString& dataset) const;
    QVariant lookupValue(Source& s, int lookup);
    QVariant rawValue(Source& s, int field);

    std::vector<std::unique_ptr<Source>> m_sources;
    QString m_reportDataset;
    std::vector<Ref> m_refs;
    QHash<QString, int> m_refIds; // "dataset\nfield", lower case
};

} // namespace report
