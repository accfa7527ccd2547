#include "commercial/documents/positiontable.h"

#include "commercial/documents/documentediting.h"
#include "commercial/documents/positionnumbers.h"
#include "core/data/dbhelpers.h"
#include "platform/errors.h"
#include "platform/table/table.h"

#include <QStringList>
#include <QVariantList>
#include <algorithm>
#include <exception>
#include <vector>

namespace {

const QString kId = QStringLiteral("S_ID");
const QString kRef = QStringLiteral("S_Ref");
const QString kPosNr = QStringLiteral("S_PosNr");
const QString kPosArt = QStringLiteral("S_PosArt");

void moveToLine(table::Table& lines, int id) {
    if (!lines.locate({kId}, {id}))
        throw DbError(QStringLiteral("Die Position wurde von einem anderen Benutzer gelöscht."));
}

} // namespace

void RenumberPositions(int from, int start, table::Table& lines) {
    if (lines.recordCount() <= 1)
        return;
    if (lines.state() != table::TableState::Browse)
        lines.post();
    const int currentId = lines.field(kId).asInteger();
    const int ref = lines.field(kRef).asInteger();

    // Collect first: the new numbers move the rows within the index order.
    std::vector<int> ids;
    std::vector<TRenumberLine> numbered;
    for (lines.first(); !lines.eof(); lines.next()) {
        if (lines.field(kRef).asInteger() != ref)
            continue;
        ids.push_back(lines.field(kId).asInteger());
        numbered.push_back({lines.field(kPosNr).asInteger(), lines.field(kPosArt).asIntegerOr(0)});
    }
    const std::vector<int> renumbered = RenumberedPosNrs(numbered, from, start);

    // All numbers or none: a renumbering cut short would leave the lines
    // half in the old and half in the new order.
    const auto returnToLine = [&lines, currentId] {
        lines.refresh();
        lines.locate({kId}, {currentId});
    };
    try {
        ChangeAllOrNothing(QStringLiteral("Die Positionen konnten nicht neu nummeriert werden."),
                           {&lines}, [&] {
                               for (std::size_t i = 0; i < ids.size(); ++i) {
                                   if (renumbered[i] == numbered[i].PosNr)
                                       continue;
                                   moveToLine(lines, ids[i]);
                                   lines.edit();
                                   lines.field(kPosNr).setValue(renumbered[i]);
                                   lines.post();
                               }
                           });
    } catch (...) {
        try {
            returnToLine();
        } catch (...) {
            // The error already on its way is the one the user sees.
        }
        throw;
    }
    returnToLine();
}

void NormalizeAllPosNr(table::Table& lines) {
    if (lines.isEmpty())
        return;
    if (lines.state() != table::TableState::Browse)
        lines.post();
    const int currentId = lines.field(kId).asInteger();
    std::vector<std::pair<int, int>> changes; // S_ID, new number
    for (lines.last(); !lines.bof(); lines.prior()) {
        const int posNr = lines.field(kPosNr).asInteger();
        const int normalized = NormalizePosNr(posNr);
        if (normalized != posNr)
            changes.emplace_back(lines.field(kId).asInteger(), normalized);
    }
    ChangeAllOrNothing(QStringLiteral("Die Positionen konnten nicht neu nummeriert werden."),
                       {&lines}, [&] {
                           for (const auto& [id, posNr] : changes) {
                               moveToLine(lines, id);
                               lines.edit();
                               lines.field(kPosNr).setValue(posNr);
                               lines.post();
                           }
                       });
    lines.locate({kId}, {currentId});
}

int LastPosNrBaseOfDocument(const QString& lineTable, int headId) {
    auto lines = OpenTempTable(QStringLiteral("LumoDB"), lineTable, QStringLiteral("S_IRef"));
    lines->setRange({headId}, {headId});
    std::vector<int> posNrs;
    for (lines->first(); !lines->eof() && !lines->isEmpty(); lines->next())
        posNrs.push_back(NormalizePosNr(lines->field(kPosNr).asInteger()));
    std::sort(posNrs.begin(), posNrs.end());
    return LastPosNrBase(posNrs);
}
