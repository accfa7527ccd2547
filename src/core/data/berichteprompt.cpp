#include "core/data/berichteprompt.h"

#include "core/messages/messagecatalog.h"
#include "core/messages/messages.h"
#include "platform/table/table.h"

using namespace Qt::StringLiterals;

QDate GetLastZeiterfDatum() {
    table::Table zeiterf(table::aliases::database(u"LumoDB"_s), u"Zeiterf.DB"_s);
    zeiterf.setReadOnly(true);
    zeiterf.open();
    zeiterf.setIndexName(u"I_DatPersObj"_s);
    zeiterf.last();
    if (zeiterf.isEmpty())
        return {};
    return zeiterf.field(u"Z_Datum"_s).asDateOr(QDate());
}

bool ConfirmCreateBerichte() {
    const QDate last = GetLastZeiterfDatum();
    const QString state = last.isValid()
                              ? LoadMessage(64838).replace(u"%s"_s, last.toString(u"dd.MM.yyyy"_s))
                              : u"Es wurden noch keine Arbeitszeitdaten erfasst!"_s;
    return AskYesNo(u"Jetzt Berichte erstellen?\r"_s + state);
}
