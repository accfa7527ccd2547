#include "core/data/tablelinks.h"

#include "core/data/datamodule.h"
#include "platform/table/table.h"

#include <QStringList>

using table::Table;

namespace {

struct Link {
    const char* detail;
    const char* master;
    const char* masterFields; // ';'-separated
    const char* detailFields;
    const char* index = nullptr; // the detail's index, set when it opens
};

// clang-format off
const Link kLinks[] = {
    {"TabKUmsatz", "TabKunden", "K_Nr;K_Aktjahr", "U_Kunde;U_Jahr"},
    {"TabAUmsatz", "TabArtikel", "A_ID;A_AktJahr", "U_ArtikelID;U_Jahr"},
    {"TabLUmsatz", "TabLieferant", "K_Nr;K_Aktjahr", "U_Kunde;U_Jahr"},
    {"TabKundObj", "TabKunden", "K_Nr", "O_Kunde", "O_IKunde"},
    {"TabKdDV", "TabKunden", "K_ID", "OD_KundID"},
    {"TabObjDV", "TabObjekt", "O_ID", "OD_ObjID"},
    {"TabPersDV", "TabPersonal", "P_ID", "OD_PersID"},
    {"TabObjTaetig", "TabObjekt", "O_Nr", "TS_Objekt", "I_TsObjekt"},
    {"TabObjND", "TabObjekt", "O_Nr", "OND_ObjNr"},
    {"TabMieter", "TabObjekt", "O_Nr", "OM_ONr", "OM_I_OBN"},
    {"TabObjTour", "TabObjekt", "O_Nr", "TO_Objekt"},
    {"TabTourObj", "TabTour", "TO_Nr", "TO_TourNr"},
    {"TabTourPers", "TabTour", "TO_Nr", "TP_TourNr"},
    {"TabTourTaetig", "TabTourObj", "TO_Objekt", "TS_Objekt"},
    {"TabRechSatz", "TabRechKopf", "R_ID", "S_Ref"},
    {"TabAngSatz", "TabAngKopf", "R_ID", "S_Ref"},
    {"TabAuftSatz", "TabAuftKopf", "R_ID", "S_Ref"},
    {"TabLSSatz", "TabLSKopf", "R_ID", "S_Ref"},
    {"TabGsSatz", "TabGsKopf", "R_ID", "S_Ref"},
    {"TabERSatz", "TabERKopf", "R_ID", "S_Ref"},
    {"TabOPSatz", "TabOposten", "R_ID", "S_Ref"},
    {"TabOErSatz", "TabOErKopf", "R_ID", "S_Ref"},
    {"TabBestSatz", "TabBestKopf", "R_ID", "S_Ref"},
    {"TabBestObj", "TabBestSatz", "S_ID", "BO_Ref"},
    {"TabBvObj", "TabBvListe", "BV_ArtNr", "BO_ArtNr", "I_ArtNr"},
    {"TabTglObjekt", "TabTglTour", "A_TourID", "A_TourID"},
    {"TabTglTaetig", "TabTglObjekt", "A_TourID;A_ObjektNr", "A_TourID;A_ObjNr"},
    {"TabDefYear", "TabDefYearH", "I_DefNo", "Def"},
    {"TabAAnsprech", "TabAdress", "A_ID", "AA_RefID", "I_Ref"},
    {"TabJour", "TabAdress", "A_ID", "AJ_Adr", "I_AdrDT"},
};

// The second object follows the first: opened after it opened, closed
// before it closes.
const char* const kFollowers[][2] = {
    {"TabOposten", "TabOPSatz"},
    {"TabOErKopf", "TabOErSatz"},
    {"TabTglTour", "TabTglObjekt"},
    {"TabTglObjekt", "TabTglTaetig"},
    {"TabDefYearH", "TabDefYear"},
    {"TabBvListe", "TabBvObj"},
};
// clang-format on

QStringList fieldList(const char* text) {
    return QString::fromLatin1(text).split(QLatin1Char(';'));
}

void closeIfOpen(Table& t) {
    if (t.isOpen())
        t.close();
}

void openIfClosed(Table& t) {
    if (!t.isOpen())
        t.open();
}

void bindLinks(TDataModule1& dm) {
    for (const Link& link : kLinks) {
        Table& detail = dm.table(QString::fromLatin1(link.detail));
        detail.setMaster(&dm.table(QString::fromLatin1(link.master)), fieldList(link.masterFields),
                         fieldList(link.detailFields));
        if (link.index) {
            // Set on open: the table file need not exist when the objects are built.
            const QString index = QString::fromLatin1(link.index);
            detail.beforeOpen += [index](Table& t) {
                if (t.indexName().isEmpty())
                    t.setIndexName(index);
            };
        }
    }
}

void bindChains(TDataModule1& dm) {
    for (const auto& pair : kFollowers) {
        Table* follower = &dm.table(QString::fromLatin1(pair[1]));
        Table& leader = dm.table(QString::fromLatin1(pair[0]));
        leader.afterOpen += [follower](Table&) { openIfClosed(*follower); };
        leader.beforeClose += [follower](Table&) { closeIfOpen(*follower); };
    }

    // The tour's staff rows are open whenever the tour is, opened first.
    Table* tourPers = &dm.TabTourPers();
    dm.TabTour().beforeOpen += [tourPers](Table&) { openIfClosed(*tourPers); };
    dm.TabTour().afterClose += [tourPers](Table&) { closeIfOpen(*tourPers); };

    // The delivery-note lines open through the module's opener, which reports a failure.
    TDataModule1* module = &dm;
    dm.TabLSKopf().beforeOpen += [module](Table&) {
        Table& lines = module->TabLSSatz();
        if (!lines.isOpen())
            module->OpenDataTable(lines);
    };
    dm.TabLSKopf().beforeClose += [module](Table&) { closeIfOpen(module->TabLSSatz()); };

    // The daily activities show their state and source through two lookup tables.
    Table* states = &dm.TabLUTgLState();
    Table* sources = &dm.TabLUTgLSource();
    dm.TabTglTaetig().beforeOpen += [states, sources](Table&) {
        openIfClosed(*states);
        openIfClosed(*sources);
    };
    dm.TabTglTaetig().beforeClose += [states, sources](Table&) {
        closeIfOpen(*states);
        closeIfOpen(*sources);
    };
}

} // namespace

bool FindSharedTableLink(const QString& detail, SharedTableLink& link) {
    for (const Link& l : kLinks)
        if (detail.compare(QLatin1String(l.detail), Qt::CaseInsensitive) == 0) {
            link = {QString::fromLatin1(l.master), fieldList(l.masterFields),
                    fieldList(l.detailFields)};
            return true;
        }
    return false;
}

void InstallTableLinks(TDataModule1& dm) {
    dm.AddTableSetup([](TDataModule1& module) {
        bindLinks(module);
        bindChains(module);
    });
}
