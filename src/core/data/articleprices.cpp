#include "core/data/articleprices.h"

#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/values/money.h"
#include "platform/errors.h"
#include "platform/table/table.h"

namespace {

double price(table::Table& t, const char* field) {
    return GetFieldFloatOrDefault(t.findField(QString::fromLatin1(field)), 0);
}

// The current article, ready for writing; an empty list has none.
table::Table& currentArticle() {
    table::Table& t = DataModule1().TabArtikel();
    if (!t.isEditing() && (!t.isOpen() || t.isEmpty()))
        throw DbError(QStringLiteral("Es ist kein Artikel ausgewählt."));
    return t;
}

} // namespace

void CalcArtikelPreis1() {
    table::Table& t = currentArticle();
    const double ek = RoundCents(price(t, "A_EkPreis"));
    if (ek == 0)
        return;
    const double markup = price(t, "A_Aufschlag1");
    EnsureEditOrInsert(t);
    t.field(QStringLiteral("A_Preis1")).setValue(RoundCents((markup + 100) / 100 * ek));
}

void CalcArtikelAufschlag1() {
    table::Table& t = currentArticle();
    const double ek = price(t, "A_EkPreis");
    const double vk = price(t, "A_Preis1");
    EnsureEditOrInsert(t);
    t.field(QStringLiteral("A_Aufschlag1"))
        .setValue(ek == 0 || vk == 0 ? 0.0 : (vk / ek - 1) * 100);
}
