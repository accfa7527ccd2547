#include "masterdata/offertakeover.h"

#include "core/data/dbhelpers.h"
#include "core/messages/messages.h"
#include "core/values/numberparsing.h"
#include "platform/errors.h"
#include "platform/table/database.h"
#include "platform/table/table.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// The origin code of a position made from an activity; its source number is the activity's.
constexpr int kOriginTaetigkeit = 8;

void takePosition(table::Table& rows, int taetigNr, int intervall) {
    CancelEditOnError(rows, [&] {
        if (!rows.locate({u"TS_Taetigkeit"_s}, {taetigNr}))
            rows.append();
        else
            rows.edit();
        rows.field(u"TS_Taetigkeit"_s).setValue(taetigNr);
        const OfferActivityInterval interval = OfferActivityIntervalOf(intervall);
        if (!interval.weekdays.isEmpty())
            rows.field(u"TS_Wtag"_s).setValue(interval.weekdays);
        rows.field(u"TS_Modus"_s).setValue(interval.modus);
        rows.post();
    });
}

} // namespace

OfferActivityInterval OfferActivityIntervalOf(int intervall) {
    if (intervall <= 20)
        return {intervall, {}};
    const int days = intervall == 21 ? 7 : std::min(intervall - 20, 7);
    return {1, u"1234567"_s.left(days)};
}

bool TakeOverOfferActivities(table::Table& rows, const QString& offerNr) {
    auto heads = OpenTempTable(u"LumoDB"_s, u"Angkopf.DB"_s);
    if (!heads->locate({u"R_Nr"_s}, {offerNr}))
        return false;
    const int offerId = FieldInt(*heads, u"R_ID"_s);
    const bool keep = AskYesNo(u"Vorhandene Einträge beibehalten?"_s);
    auto positions = OpenTempTable(u"LumoDB"_s, u"AngSatz.DB"_s, u"S_IRef"_s);
    positions->setRange({offerId}, {offerId});
    if (rows.isEditing())
        rows.post();
    try {
        table::Transaction tx(*rows.database());
        if (!keep)
            DeleteShownRows(rows, u"Eine Tätigkeit des Objekts ließ sich nicht löschen."_s);
        for (positions->first(); !positions->eof() && !positions->isEmpty(); positions->next()) {
            if (FieldInt(*positions, u"S_Origin"_s) != kOriginTaetigkeit)
                continue;
            takePosition(rows, StrToIntZero(FieldText(*positions, u"S_SrcNr"_s).trimmed()),
                         FieldInt(*positions, u"S_Intervall"_s));
        }
        tx.commit();
    } catch (const Abort&) {
        RefreshIfActive(rows);
        throw;
    } catch (const DbError& e) {
        RefreshIfActive(rows);
        throw DbError(u"Das Angebot wurde nicht übernommen:\r"_s + e.message());
    }
    return true;
}
