#include "masterdata/supplierassortment.h"

#include "core/data/dbhelpers.h"
#include "core/messages/messagecatalog.h"
#include "platform/table/table.h"

using namespace Qt::StringLiterals;

QString LiefArtCaption(int lieferantNr) {
    return LoadMessage(65220) + u" ["_s + LoadMessage(65221) + u' ' + QString::number(lieferantNr) +
           u']';
}

bool TakeArticleIntoLiefArt(table::Table& liefArt, const QString& artNo) {
    if (artNo.isEmpty() || artNo == FieldText(liefArt, u"A_ArtNo"_s))
        return false;
    EnsureEditOrInsert(liefArt);
    liefArt.field(u"A_ArtNo"_s).setValue(artNo);
    // Whichever stock holds the number first: an object's own article counts too.
    auto article = OpenTempTable(u"LumoDB"_s, u"Artikel.db"_s);
    if (!article->locate({u"A_ArtNo"_s}, {artNo}))
        return true;
    for (const QString& field :
         {u"A_Bezeich1"_s, u"A_Bezeich2"_s, u"A_Beschreibung"_s, u"A_EkPreis"_s, u"A_Mwst"_s,
          u"A_VerpackEinheit"_s, u"A_VerpackMenge"_s, u"A_Gewicht"_s})
        liefArt.field(field).setValue(article->field(field).value());
    return true;
}
