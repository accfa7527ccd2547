#include "core/data/numberproposals.h"

#include "core/data/counters.h"
#include "core/data/dbhelpers.h"
#include "platform/errors.h"
#include "platform/table/table.h"

#include <limits>

namespace {
const QString kDb = QStringLiteral("LumoDB");
}

int NextFreeKundenNr() {
    return GetFirstFreeNr(kDb, QStringLiteral("Kunden.DB"), QStringLiteral("K_Nr"),
                          GetMinNrKunden());
}

int NextFreeLieferantNr() {
    return GetFirstFreeNr(kDb, QStringLiteral("Liefrnt.db"), QStringLiteral("K_Nr"),
                          GetMinNrLieferant());
}

int NextFreePersonalNr() {
    return GetFirstFreeNr(kDb, QStringLiteral("Personal.DB"), QStringLiteral("P_Nr"),
                          GetMinNrPersonal());
}

int NextFreeNotdienstNr() {
    return GetFirstFreeNr(kDb, QStringLiteral("Notdnst.DB"), QStringLiteral("ND_Nr"),
                          GetMinNrNotdienst());
}

int NextFreeTourNr() {
    return GetFirstFreeNr(kDb, QStringLiteral("Touren.db"), QStringLiteral("TO_Nr"),
                          GetMinNrTour());
}

int ProposeTaetigNr() {
    return GetFirstFreeNr(kDb, QStringLiteral("Taetig.DB"), QStringLiteral("T_Nr"),
                          GetMinNrTaetig());
}

int ProposeObjektNr() {
    return GetFirstFreeNr(kDb, QStringLiteral("Objekte.DB"), QStringLiteral("O_Nr"),
                          GetMinNrObjekt());
}

int ProposeKostartNr() {
    return GetFirstFreeNr(kDb, QStringLiteral("Kostart.DB"), QStringLiteral("A_Nr"),
                          GetMinNrKostart());
}

QString NextFreeArtikelNr() {
    // Every article list counts: the numbers of all stocks are read once.
    auto cursor = OpenTempTable(kDb, QStringLiteral("Artikel.db"));
    QSet<QString> used;
    table::Field& f = cursor->field(QStringLiteral("A_ArtNo"));
    for (cursor->first(); !cursor->eof() && !cursor->isEmpty(); cursor->next())
        used.insert(f.asStringOr(QString()));
    for (qint64 i = GetMinNrArtikel(); i <= std::numeric_limits<int>::max(); ++i) {
        const QString text = QStringLiteral("%1").arg(i, 6, 10, QLatin1Char('0'));
        if (!used.contains(text))
            return text;
    }
    throw DbError(QStringLiteral("Es ist keine freie Artikelnummer mehr vorhanden."));
}
