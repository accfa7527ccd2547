#include "masterdata/articlestock.h"

#include "commercial/documents/headfieldcopy.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/numberproposals.h"
#include "core/messages/messagecatalog.h"
#include "core/messages/messages.h"
#include "core/values/money.h"
#include "masterdata/recordcopy.h"
#include "platform/errors.h"
#include "platform/table/database.h"
#include "platform/table/query.h"
#include "platform/table/table.h"

#include <QDate>
#include <QSet>

using namespace Qt::StringLiterals;

namespace {

const QString kDb = u"LumoDB"_s;
const QString kArtikel = u"Artikel.db"_s;

// What an object's copy of a central article starts with instead of the
// central values: its own stock has not moved yet.
const QSet<QString> kZeroInCopy{u"A_LAGERMENGE"_s,   u"A_LAGERWERT"_s,  u"A_EINMENGETOTAL"_s,
                                u"A_EINWERTTOTAL"_s, u"A_VORMERKUNG"_s, u"A_BESTELLT"_s};

std::shared_ptr<table::Database> lumo() {
    return table::aliases::database(kDb);
}

void refreshShared(table::Table& article) {
    if (article.isOpen())
        article.refresh();
}

void copyIntoObject(table::Table& central, table::Table& target, int objId) {
    CopyStoredFieldsByName(central, target);
    target.field(u"A_ObjID"_s).setValue(objId);
    for (const QString& name : kZeroInCopy)
        if (const table::Field* from = central.findField(name); from && !from->isNull())
            target.field(name).setValue(0);
}

void importOne(table::Table& source, table::Table& target, int objId, const QString& artNo) {
    if (!source.locate({u"A_ArtNo"_s, u"A_ObjID"_s}, {artNo, 0}))
        return; // gone meanwhile
    if (target.locate({u"A_ArtNo"_s, u"A_ObjID"_s}, {artNo, objId})) {
        target.edit();
    } else {
        const int id = GetNextId(target, u"A_ID"_s);
        target.append();
        target.field(u"A_ID"_s).setValue(id);
    }
    CancelEditOnError(target, [&] {
        copyIntoObject(source, target, objId);
        target.post();
    });
}

} // namespace

QString ArtikelStockCaption(int objektNr) {
    return LoadMessage(65216) + u" ["_s + LoadMessage(65217) + u' ' + QString::number(objektNr) +
           u']';
}

QList<CentralArticleChoice> CentralArticlesMissingIn(int objId) {
    QSet<QString> held; // the object's numbers, read once
    auto stock = OpenTempTable(kDb, kArtikel);
    stock->setFilter(u"A_ObjID="_s + QString::number(objId));
    stock->setFiltered(true);
    for (stock->first(); !stock->eof() && !stock->isEmpty(); stock->next())
        held.insert(FieldText(*stock, u"A_ArtNo"_s));

    auto central = OpenTempTable(kDb, kArtikel);
    central->setFilter(u"A_ObjID=0"_s);
    central->setFiltered(true);
    QList<CentralArticleChoice> choices;
    for (central->first(); !central->eof() && !central->isEmpty(); central->next()) {
        const QString artNo = FieldText(*central, u"A_ArtNo"_s);
        if (held.contains(artNo))
            continue;
        choices.append(
            {artNo, artNo.leftJustified(10, u' ', true) + FieldText(*central, u"A_Bezeich1"_s)});
    }
    return choices;
}

void ImportCentralArticles(int objId, const QStringList& artNos) {
    if (objId == 0)
        throw DbError(u"Artikel können nur in das Lager eines Objekts übernommen werden."_s);
    auto source = OpenTempTable(kDb, kArtikel);
    auto target = OpenTempTable(kDb, kArtikel);
    {
        table::Transaction tx(*lumo());
        for (const QString& artNo : artNos) {
            try {
                importOne(*source, *target, objId, artNo);
            } catch (const Abort&) {
                throw;
            } catch (const std::exception& e) {
                throw DbError(u"Der Artikel %1 konnte nicht in das Objekt-Lager übernommen "
                              u"werden.\rEs wurde kein Artikel übernommen.\r\r%2"_s.arg(
                                  artNo, QString::fromUtf8(e.what())));
            }
        }
        tx.commit();
    }
    if (HasDataModule1())
        refreshShared(DataModule1().TabArtikel());
}

QString CopyArtikelRecord(table::Table& article) {
    const auto resetStock = [](table::Table& copy) {
        for (const QString& zero :
             {u"A_IstBestand"_s, u"A_Vormerkung"_s, u"A_Lagermenge"_s, u"A_Lagerwert"_s})
            copy.field(zero).setValue(0);
        copy.field(u"A_Lagerort"_s).clear();
        copy.field(u"A_Regal"_s).clear();
    };
    return CopyCurrentRecord(
               article, kDb, kArtikel, u"A_ID"_s, u"A_ArtNo"_s,
               [] { return QVariant(NextFreeArtikelNr()); }, resetStock)
        .toString();
}

bool DeleteObjectStocks(table::Table& article) {
    if (article.isEditing())
        article.post();
    if (!AskYesNo(u"Möchten Sie die Artikel aller Objekt-Lager löschen?\r"
                  u"Das zentrale Lager bleibt erhalten."_s))
        return false;
    {
        table::Transaction tx(*lumo());
        DeleteRecordsFiltered(kDb, kArtikel, u"A_ObjID<>0"_s, OnDeleteFailure::Raise);
        tx.commit();
    }
    refreshShared(article);
    return true;
}

QList<std::pair<int, QString>> VatRatesValidOn(const QDate& day) {
    const QString date = u'\'' + day.toString(u"dd.MM.yyyy"_s) + u'\'';
    // An empty bound is open, as for the rate lookups of the documents.
    table::Query query(lumo(), u"select Mwst_Nr, Mwst_Kurz from MwstSatz\n"_s +
                                   u"where (Mwst_GueltigVon<="_s + date +
                                   u" OR Mwst_GueltigVon IS NULL) AND (Mwst_GueltigBis>="_s + date +
                                   u" OR Mwst_GueltigBis IS NULL)"_s);
    query.open();
    QList<std::pair<int, QString>> rates;
    for (query.first(); !query.eof(); query.next())
        rates.append({query.asInteger(u"Mwst_Nr"_s), query.asString(u"Mwst_Kurz"_s)});
    return rates;
}

void SetArtikelLagerwert(table::Table& article) {
    if (!article.isOpen())
        return;
    EnsureEditOrInsert(article);
    article.field(u"A_Lagerwert"_s)
        .setValue(RoundCents(FieldFloat(article, u"A_EkPreis"_s) *
                             FieldFloat(article, u"A_Lagermenge"_s)));
}

bool TakeHauptLieferant(table::Table& article, table::Table& liefArt) {
    if (!liefArt.isOpen() || liefArt.isEmpty() || !article.isOpen() || article.isEmpty())
        return false;
    EnsureEditOrInsert(article);
    article.field(u"A_HauptLiefID"_s).setValue(liefArt.field(u"A_LieferantID"_s).value());
    article.post();
    return true;
}
