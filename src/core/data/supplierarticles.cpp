#include "core/data/supplierarticles.h"

#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/messages/messages.h"
#include "platform/errors.h"
#include "platform/table/table.h"

namespace {

const QString kDb = QStringLiteral("LumoDB");

int liefArtLieferantId = 0;

// Closes the table, filters it anew and opens it; on a refusal the table is
// opened unfiltered after the filter text was shown.
void refilter(const QString& filter) {
    TDataModule1& dm = DataModule1();
    table::Table& t = dm.TabLiefArt();
    try {
        t.close();
        t.setFilter(filter);
        t.setFiltered(true);
        t.open();
    } catch (const std::exception&) {
        ShowError(QStringLiteral("Die Filterklausel ist nicht korrekt:\r") + filter);
        if (t.isOpen())
            t.close();
        t.setFiltered(false);
        dm.OpenDataTable(t);
    }
}

QString text(table::Table& t, const char* field) {
    return GetFieldStrOrDefault(t.findField(QString::fromLatin1(field)), QString());
}

} // namespace

int LiefArtLieferantId() {
    return liefArtLieferantId;
}

void FilterLiefArtByLieferant(int lieferantId) {
    liefArtLieferantId = lieferantId;
    refilter(QStringLiteral("A_LieferantID=") + QString::number(lieferantId));
}

void FilterLiefArtByArtNo(const QString& artNo) {
    QString quoted = artNo;
    quoted.replace(QLatin1Char('\''), QStringLiteral("''"));
    refilter(QStringLiteral("A_ArtNo='") + quoted + QLatin1Char('\''));
}

void CheckLiefArtArtikel(table::Table& liefArt) {
    if (DataModule1().IsInitNewRecord())
        return;
    if (!StrValueExists(kDb, QStringLiteral("Artikel.DB"), QStringLiteral("A_ArtNo"),
                        text(liefArt, "A_ArtNo"))) {
        ShowError(QStringLiteral("Sie müssen eine gültige Artikelnummer eingeben!"));
        throw Abort{};
    }
}

void LiefArtArtNoChanged(table::Table& liefArt) {
    if (DataModule1().IsInitNewRecord())
        return;
    const QString artNo = text(liefArt, "A_ArtNo");
    const int lieferant =
        GetFieldIntOrDefault(liefArt.findField(QStringLiteral("A_LieferantID")), 0);
    const int ownId = GetFieldIntOrDefault(liefArt.findField(QStringLiteral("A_ID")), 0);
    // The row itself, as stored, does not count as a second assignment.
    auto others = OpenTempTable(kDb, QStringLiteral("Liefart.db"));
    if (others->locate({QStringLiteral("A_ArtNo"), QStringLiteral("A_LieferantID")},
                       {artNo, lieferant}) &&
        others->field(QStringLiteral("A_ID")).asIntegerOr(0) != ownId) {
        ShowError(QStringLiteral("Die eingegebene Nummmer ist bereits zugeordnet!"));
        liefArt.cancel();
        throw Abort{};
    }
    CheckLiefArtArtikel(liefArt);
}
