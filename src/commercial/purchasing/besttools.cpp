#include "commercial/purchasing/besttools.h"

#include "commercial/purchasing/purchasingrules.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/lookups.h"
#include "core/values/money.h"
#include "core/values/orderquantity.h"
#include "platform/table/table.h"

#include <algorithm>
#include <cmath>

using namespace Qt::Literals::StringLiterals;
using table::Table;

namespace {

const QString kDb = u"LumoDB"_s;

void editCurrent(Table& t) {
    if (!t.isEditing())
        t.edit();
}

} // namespace

double CalcTagesbedarf(Table& turnover, int artikelId, double preis1, const QDate& today) {
    // The article's rows only, through the index: the cost grows with the
    // article's own months, not with the whole table.
    turnover.setRange({artikelId}, {artikelId});
    double sum = 0.0;
    QDate start = today;
    for (turnover.first(); !turnover.eof() && !turnover.isEmpty(); turnover.next()) {
        const double betrag = FieldFloat(turnover, u"U_Betrag"_s);
        if (betrag <= 0.0)
            continue;
        sum += betrag;
        const QDate month(FieldInt(turnover, u"U_Jahr"_s), FieldInt(turnover, u"U_Monat"_s), 1);
        if (month.isValid() && month < start)
            start = month;
    }
    if (RoundCents(sum) <= 0.0)
        return 0.0;
    const qint64 days = start.daysTo(today);
    if (days <= 0 || preis1 <= 0.0)
        return 0.0;
    return sum / (double(days) * preis1);
}

std::unique_ptr<Table> OpenTurnoverByArticle() {
    return OpenTempTable(kDb, u"AUmsatz.DB"_s, u"U_IArtJahr"_s);
}

double CalcTagesbedarf(int artikelId, double preis1, const QDate& today) {
    auto turnover = OpenTurnoverByArticle();
    return CalcTagesbedarf(*turnover, artikelId, preis1, today);
}

double CalcTagesbedarf(int artikelId, const QDate& today) {
    return CalcTagesbedarf(artikelId, GetArtikelPreis1(artikelId), today);
}

StockProposal ProposeForStock(const StockFigures& f, int lieferTage,
                              const std::function<double()>& tagbedarf) {
    StockProposal p;
    if (f.modus == 1 && lieferTage > 0) {
        p.modus = u'B';
        p.tagbedarf = tagbedarf();
        p.vorschlag = lieferTage * p.tagbedarf + f.vormerkung - f.bestellt - f.lager;
    } else {
        p.modus = u'S';
        p.vorschlag = f.soll - f.lager + f.vormerkung - f.bestellt;
    }
    p.vorschlag = std::max(0.0, p.vorschlag);
    return p;
}

StockProposal CalcObjektVorschlag(Table& article, int lieferTage, const QDate& today) {
    const StockFigures f{
        FieldInt(article, u"A_BestellModus"_s), FieldFloat(article, u"A_SollBestand"_s),
        FieldFloat(article, u"A_Lagermenge"_s), FieldFloat(article, u"A_Vormerkung"_s),
        FieldFloat(article, u"A_Bestellt"_s)};
    return ProposeForStock(f, lieferTage, [&] {
        return CalcTagesbedarf(FieldInt(article, u"A_ID"_s), FieldFloat(article, u"A_Preis1"_s),
                               today);
    });
}

void FillStockRow(Table& stockRow, Table& article, const StockProposal& proposal) {
    stockRow.field(u"BO_ObjID"_s).setValue(FieldInt(article, u"A_ObjID"_s));
    stockRow.field(u"BO_ArtNr"_s).setValue(FieldText(article, u"A_ArtNo"_s));
    stockRow.field(u"BO_ArtID"_s).setValue(FieldInt(article, u"A_ID"_s));
    stockRow.field(u"BO_BestModus"_s).setValue(QString(proposal.modus));
    stockRow.field(u"BO_Tagbedarf"_s).setValue(proposal.tagbedarf);
    stockRow.field(u"BO_Vorschlag"_s).setValue(proposal.vorschlag);
    stockRow.field(u"BO_BestMenge"_s).setValue(proposal.vorschlag);
    stockRow.field(u"BO_Istbestand"_s).setValue(FieldFloat(article, u"A_Lagermenge"_s));
    stockRow.field(u"BO_BestBestand"_s).setValue(FieldFloat(article, u"A_BestellBestand"_s));
    stockRow.field(u"BO_Sollbestand"_s).setValue(FieldFloat(article, u"A_SollBestand"_s));
    stockRow.field(u"BO_Vormerkung"_s).setValue(FieldFloat(article, u"A_Vormerkung"_s));
}

TLiefArtBestellDaten GetLiefArtBestellDaten(int lieferantId, const QString& artNo) {
    TLiefArtBestellDaten d;
    Table& liefArt = DataModule1().TabLiefArt();
    OpenForCall openLiefArt(liefArt);
    // A picker may have narrowed the shared object to one supplier.
    liefArt.setFiltered(false);
    if (liefArt.locate({u"A_LieferantID"_s, u"A_ArtNo"_s}, {lieferantId, artNo})) {
        d.lieferTage = FieldInt(liefArt, u"A_Liefertage"_s);
        d.liefArtNo = FieldText(liefArt, u"A_LiefArtNo"_s);
        d.bezeichnung = FieldText(liefArt, u"A_Bezeich1"_s);
        d.ekPreis = FieldFloat(liefArt, u"A_EkPreis"_s);
        d.packMenge = FieldFloat(liefArt, u"A_VerpackMenge"_s);
        d.minMenge = FieldFloat(liefArt, u"A_BestellmengeMin"_s);
    } else {
        Table& articles = DataModule1().TabArtLU();
        OpenForCall openArticles(articles);
        if (articles.locate({u"A_ArtNo"_s, u"A_ObjID"_s}, {artNo, 0})) {
            d.ekPreis = FieldFloat(articles, u"A_EkPreis"_s);
            d.bezeichnung = FieldText(articles, u"A_Bezeich1"_s);
        }
        openArticles.close();
    }
    openLiefArt.close();
    return d;
}

QString GetLiefArtBeschreibung(int lieferantId, const QString& artNo, const QString& defaultText) {
    const QVariant own =
        LocateFieldValue(DataModule1().TabLiefArt(), {u"A_LieferantID"_s, u"A_ArtNo"_s},
                         {lieferantId, artNo}, u"A_Beschreibung"_s, true);
    if (own.isValid())
        return own.toString();
    const QString general = LocateFieldValue(DataModule1().TabArtLU(), {u"A_ArtNo"_s, u"A_ObjID"_s},
                                             {artNo, 0}, u"A_Beschreibung"_s, true)
                                .toString();
    return general.isEmpty() ? defaultText : general;
}

void EmptyTable(Table& t) {
    DataModule1().DeleteAllRecords(t);
}

void DistributeBvObjMenge(TDataModule1& dm, double newTotal) {
    SpreadOverStockRows(dm.TabBvObj(), newTotal);
}

void UpdateBvListeFromObjects(TDataModule1& dm) {
    Table& objects = dm.TabBvObj();
    Table& proposal = dm.TabBvListe();
    double sum = 0.0;
    {
        OpenForCall open(objects);
        const bool hadRows = !objects.isEmpty();
        const table::Bookmark mark = hadRows ? objects.bookmark() : table::Bookmark{};
        for (objects.first(); !objects.eof() && !objects.isEmpty(); objects.next())
            sum = RoundCents(sum + FieldFloat(objects, u"BO_BestMenge"_s));
        if (hadRows && objects.bookmarkValid(mark))
            objects.gotoBookmark(mark);
        open.close();
    }
    const double menge = CalcBestellMenge(FieldFloat(proposal, u"BV_MinBestMenge"_s),
                                          FieldFloat(proposal, u"BV_VerpackMenge"_s), sum);
    CancelEditOnError(proposal, [&] {
        editCurrent(proposal);
        proposal.field(u"BV_BestellMenge"_s).setValue(menge);
        proposal.field(u"BV_BestellWert"_s)
            .setValue(RoundCents(FieldFloat(proposal, u"BV_Lieferpreis"_s) * menge));
        proposal.post();
    });
}

void AddBvListeBestand(TDataModule1& dm, double vorschlag, double bestellt, double istbestand) {
    Table& proposal = dm.TabBvListe();
    CancelEditOnError(proposal, [&] {
        editCurrent(proposal);
        proposal.field(u"BV_Istbestand"_s)
            .setValue(FieldFloat(proposal, u"BV_Istbestand"_s) + istbestand);
        proposal.field(u"BV_Bestellt"_s)
            .setValue(FieldFloat(proposal, u"BV_Bestellt"_s) + bestellt);
        proposal.field(u"BV_Vorschlag"_s)
            .setValue(FieldFloat(proposal, u"BV_Vorschlag"_s) + vorschlag);
        proposal.post();
    });
}

void ApplyBestellMengen(TDataModule1& dm) {
    Table& proposal = dm.TabBvListe();
    OpenForCall open(proposal);
    for (proposal.first(); !proposal.eof() && !proposal.isEmpty(); proposal.next()) {
        const double vorschlag = FieldFloat(proposal, u"BV_Vorschlag"_s);
        const double menge =
            CalcBestellMenge(FieldFloat(proposal, u"BV_MinBestMenge"_s),
                             FieldFloat(proposal, u"BV_VerpackMenge"_s), vorschlag);
        CancelEditOnError(proposal, [&] {
            editCurrent(proposal);
            proposal.field(u"BV_Vorschlag"_s).setValue(menge);
            proposal.field(u"BV_BestellMenge"_s).setValue(menge);
            proposal.field(u"BV_BestellWert"_s)
                .setValue(RoundCents(FieldFloat(proposal, u"BV_Lieferpreis"_s) * menge));
            proposal.post();
        });
        if (menge != vorschlag)
            DistributeBvObjMenge(dm, menge);
    }
    open.close();
}
