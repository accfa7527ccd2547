#include "masterdata/dialogs/selectliefartikel.h"

#include "core/messages/messages.h"
#include "core/values/money.h"
#include "masterdata/dialogs/tgridseldlg.h"
#include "platform/table/table.h"

using namespace Qt::StringLiterals;

namespace {

QString fieldText(table::Table& t, const QString& name) {
    return t.field(name).asString().replace(u';', u',');
}

} // namespace

QStringList LiefArtikelList(int lieferantId) {
    QStringList list{u"Lief.-Art.Nr.:F;Lager-Nr:F;Artikelbezeichnung                :F;"
                     u"EK-Preis  :F;"_s};
    table::Table liefArt(table::aliases::database(u"LumoDB"_s), u"Liefart.db"_s);
    liefArt.setReadOnly(true);
    liefArt.setFilter(u"A_LieferantID = %1"_s.arg(lieferantId));
    liefArt.setFiltered(true);
    liefArt.open();
    for (liefArt.first(); !liefArt.eof(); liefArt.next())
        list.append(fieldText(liefArt, u"A_LiefArtNo"_s) + u';' + fieldText(liefArt, u"A_ArtNo"_s) +
                    u';' + fieldText(liefArt, u"A_Bezeich1"_s) + u';' +
                    FormatMoney(1, liefArt.field(u"A_EkPreis"_s).asFloat()) + u';');
    return list;
}

int LiefArtikelStartLine(const QStringList& list, const QString& searchText) {
    if (searchText.isEmpty())
        return 1;
    const QString wanted = searchText.toUpper();
    for (qsizetype i = 1; i < list.size(); ++i)
        if (list.at(i).toUpper().contains(wanted))
            return int(i);
    return 1;
}

QString SelectLiefArtikel(const QString& searchText, int lieferantId, int left, int top,
                          int maxWidth, int maxGridHeight, QString& result) {
    result.clear();
    const QStringList list = LiefArtikelList(lieferantId);
    if (list.size() < 2) {
        ShowError(u"Es wurden keine Lieferantenartikel gefunden!"_s);
        return result;
    }
    // All four columns make up the width, the price included; the stock
    // number is the key.
    TGridselDlg::Request request{
        list, u"Lieferanten-Artikel auswählen"_s,    left, top, maxWidth, maxGridHeight, 5,
        1,    LiefArtikelStartLine(list, searchText)};
    request.fitWidthColumns = true;
    return SelectFromGrid(request, result);
}
