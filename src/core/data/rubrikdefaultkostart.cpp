#include "core/data/rubrikdefaultkostart.h"

#include "core/data/datamodule.h"
#include "platform/errors.h"
#include "platform/table/table.h"

using namespace Qt::StringLiterals;

std::array<int, 3> RubrikDefaultKostart{};

int GetRubrikDefaultKostart(int rubrikNr) {
    if (rubrikNr < 1 || rubrikNr > int(RubrikDefaultKostart.size()))
        throw DbError(u"Die Kostenrubrik %1 gibt es nicht."_s.arg(rubrikNr));
    return RubrikDefaultKostart[std::size_t(rubrikNr - 1)];
}

void LoadRubrikDefaultKostart(table::Table& kostart) {
    if (kostart.isEditing())
        return;
    std::array<int, 3> defaults{};
    std::array<bool, 3> found{};
    for (kostart.first(); !kostart.eof(); kostart.next()) {
        const int rubrik = kostart.field(u"A_RubrikNr"_s).asIntegerOr(0);
        if (rubrik < 1 || rubrik > 3)
            continue;
        const auto slot = std::size_t(rubrik - 1);
        if (found[slot])
            continue;
        found[slot] = true;
        defaults[slot] = kostart.field(u"A_Nr"_s).asIntegerOr(0);
    }
    RubrikDefaultKostart = defaults;
}

void LoadRubrikDefaultKostart() {
    LoadRubrikDefaultKostart(DataModule1().TabKostart());
}
