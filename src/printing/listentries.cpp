#include "printing/listentries.h"

#include "core/data/datamodule.h"
#include "platform/report/report.h"
#include "platform/table/table.h"
#include "printing/companylogo.h"
#include "printing/listprint.h"
#include "printing/reportentry.h"

#include <array>

using namespace Qt::StringLiterals;

namespace {

// The rows of one object or tour ("TS_Objekt=12"), titled with the designed
// title and the number and name of the data module's current object or tour.
struct OneRecord {
    QString filterField;
    int number = 0;
    QString currentTable;
    QString numberField;
    QString nameField;
};

void printForRecord(ReportEntryBusy& busy, int formType, bool preview, const QString& layoutFile,
                    const OneRecord& record) {
    ListPrintOptions options;
    options.prepare = [&record](report::Report& rep) {
        report::DatasetDef& list = rep.datasetDef(u"TabList"_s);
        list.filter = record.filterField + u'=' + QString::number(record.number);
        list.filtered = true;
        rep.component(u"L_Titel"_s).caption += CurrentRecordTitle(
            DataModule1().table(record.currentTable), record.numberField, record.nameField);
    };
    PrintList(busy, formType, preview, layoutFile, options);
}

// The customer and supplier lists: one report over either table.
void printCustomers(ReportEntryBusy& busy, int formType, bool preview, bool useFilter,
                    const QString& tableName, const QString& screenTable,
                    const QString& layoutFile) {
    ListPrintOptions options;
    options.screenTable = screenTable;
    options.copyFilter = useFilter;
    options.tableName = tableName;
    PrintList(busy, formType, preview, layoutFile, options);
}

} // namespace

// A list without arguments of its own, with its own busy flag.
#define DOMVERA_LIST_ENTRY(name, formType)                                                         \
    void name(bool preview, const QString& layoutFile) {                                           \
        static ReportEntryBusy busy;                                                               \
        PrintList(busy, formType, preview, layoutFile);                                            \
    }

DOMVERA_LIST_ENTRY(PrintObjList, 15000)
void PrintObjTaetig(int objektNr, bool preview, const QString& layoutFile) {
    static ReportEntryBusy busy;
    printForRecord(busy, 16000, preview, layoutFile,
                   {u"TS_Objekt"_s, objektNr, u"TabObjekt"_s, u"O_Nr"_s, u"O_Match"_s});
}

DOMVERA_LIST_ENTRY(PrintObjAdressen, 17000)
void PrintKundList(bool preview, bool useFilter, const QString& tableName,
                   const QString& layoutFile) {
    static ReportEntryBusy busy;
    TDataModule1& dm = DataModule1();
    const bool customers = SameTableName(tableName, dm.TabKunden().tableName());
    printCustomers(busy, 18000, preview, useFilter, tableName,
                   customers ? u"TabKunden"_s : u"TabLieferant"_s, layoutFile);
}

void PrintArtList(bool preview, int lagerNr, const QString& layoutFile) {
    static ReportEntryBusy busy;
    ListPrintOptions options;
    options.prepare = [lagerNr](report::Report& rep) {
        rep.component(u"L_Lager"_s).caption = u"[Lager"_s + QString::number(lagerNr) + u']';
    };
    PrintList(busy, 19000, preview, layoutFile, options);
}

DOMVERA_LIST_ENTRY(PrintPersList, 20000)
DOMVERA_LIST_ENTRY(PrintTaetigList, 21000)
DOMVERA_LIST_ENTRY(PrintAdressList, 22000)
DOMVERA_LIST_ENTRY(PrintAdrProto, 22100)
DOMVERA_LIST_ENTRY(PrintAdrJour, 22200)
DOMVERA_LIST_ENTRY(PrintTourList, 23000)
void PrintTourObj(int tourNr, bool preview, const QString& layoutFile) {
    static ReportEntryBusy busy;
    printForRecord(busy, 24000, preview, layoutFile,
                   {u"TO_TourNr"_s, tourNr, u"TabTour"_s, u"TO_Nr"_s, u"TO_Beschreibung"_s});
}

DOMVERA_LIST_ENTRY(PrintSchluesselList, 29000)
DOMVERA_LIST_ENTRY(PrintNotdienstList, 30000)
void PrintMieterList(bool preview, const QString& layoutFile) {
    static ReportEntryBusy busy;
    const int objektNr = CurrentRecordNumber(DataModule1().TabObjekt(), u"O_Nr"_s);
    printForRecord(busy, 36000, preview, layoutFile,
                   {u"OM_Onr"_s, objektNr, u"TabObjekt"_s, u"O_Nr"_s, u"O_Match"_s});
}

void PrintFirmendaten(bool preview, const QString& layoutFile) {
    static ReportEntryBusy busy;
    ListPrintOptions options;
    options.prepare = [](report::Report& rep) { ApplyFirmenLogo(rep, u"QRImage1"_s); };
    PrintList(busy, 38000, preview, layoutFile, options);
}

DOMVERA_LIST_ENTRY(PrintBankList, 45000)
DOMVERA_LIST_ENTRY(PrintKrKassList, 46000)
DOMVERA_LIST_ENTRY(PrintMengEhList, 48000)
DOMVERA_LIST_ENTRY(PrintMwstList, 49000)
DOMVERA_LIST_ENTRY(PrintFremdlst, 51000)
DOMVERA_LIST_ENTRY(PrintZahlartList, 52000)
DOMVERA_LIST_ENTRY(PrintZahlbedList, 53000)
DOMVERA_LIST_ENTRY(PrintZahlIntervList, 54000)
DOMVERA_LIST_ENTRY(PrintKostartList, 55000)
void PrintLiefArt(bool preview, int lieferantNr, const QString& lieferantName,
                  const QString& layoutFile) {
    static ReportEntryBusy busy;
    ListPrintOptions options;
    options.prepare = [lieferantNr, lieferantName](report::Report& rep) {
        rep.component(u"L_Lieferant"_s).caption =
            u"Lieferant "_s + QString::number(lieferantNr) + u" ["_s + lieferantName + u']';
    };
    PrintList(busy, 56000, preview, layoutFile, options);
}

DOMVERA_LIST_ENTRY(PrintRgIntervList, 64000)
DOMVERA_LIST_ENTRY(PrintZeitartList, 65000)
void PrintObjNotdienst(int objektNr, bool preview, const QString& layoutFile) {
    static ReportEntryBusy busy;
    printForRecord(busy, 70000, preview, layoutFile,
                   {u"OND_ObjNr"_s, objektNr, u"TabObjekt"_s, u"O_Nr"_s, u"O_Match"_s});
}

void PrintLiefList(bool preview, bool useFilter, const QString& tableName,
                   const QString& layoutFile) {
    static ReportEntryBusy busy;
    printCustomers(busy, 79000, preview, useFilter, tableName, u"TabLieferant"_s, layoutFile);
}

#undef DOMVERA_LIST_ENTRY

namespace {

int objektNr(const ListEntryArgs& a) {
    return a.objektNr.value_or(CurrentRecordNumber(DataModule1().TabObjekt(), u"O_Nr"_s));
}

struct NamedEntry {
    QStringView name;
    ListEntry entry;
};

#define DOMVERA_PLAIN_ENTRY(name)                                                                  \
    NamedEntry {                                                                                   \
        u"" #name, [](bool p, const QString& l, const ListEntryArgs&) { name(p, l); }              \
    }

const auto kEntries = std::to_array<NamedEntry>({
    DOMVERA_PLAIN_ENTRY(PrintObjList),
    {u"PrintObjTaetig",
     [](bool p, const QString& l, const ListEntryArgs& a) { PrintObjTaetig(objektNr(a), p, l); }},
    DOMVERA_PLAIN_ENTRY(PrintObjAdressen),
    {u"PrintKundList",
     [](bool p, const QString& l, const ListEntryArgs& a) {
         PrintKundList(p, a.useFilter, a.tableName.value_or(DataModule1().TabKunden().tableName()),
                       l);
     }},
    {u"PrintArtList",
     [](bool p, const QString& l, const ListEntryArgs& a) { PrintArtList(p, a.lagerNr, l); }},
    DOMVERA_PLAIN_ENTRY(PrintPersList),
    DOMVERA_PLAIN_ENTRY(PrintTaetigList),
    DOMVERA_PLAIN_ENTRY(PrintAdressList),
    DOMVERA_PLAIN_ENTRY(PrintAdrProto),
    DOMVERA_PLAIN_ENTRY(PrintAdrJour),
    DOMVERA_PLAIN_ENTRY(PrintTourList),
    {u"PrintTourObj",
     [](bool p, const QString& l, const ListEntryArgs& a) {
         PrintTourObj(a.tourNr.value_or(CurrentRecordNumber(DataModule1().TabTour(), u"TO_Nr"_s)),
                      p, l);
     }},
    DOMVERA_PLAIN_ENTRY(PrintSchluesselList),
    DOMVERA_PLAIN_ENTRY(PrintNotdienstList),
    DOMVERA_PLAIN_ENTRY(PrintMieterList),
    DOMVERA_PLAIN_ENTRY(PrintFirmendaten),
    DOMVERA_PLAIN_ENTRY(PrintBankList),
    DOMVERA_PLAIN_ENTRY(PrintKrKassList),
    DOMVERA_PLAIN_ENTRY(PrintMengEhList),
    DOMVERA_PLAIN_ENTRY(PrintMwstList),
    DOMVERA_PLAIN_ENTRY(PrintFremdlst),
    DOMVERA_PLAIN_ENTRY(PrintZahlartList),
    DOMVERA_PLAIN_ENTRY(PrintZahlbedList),
    DOMVERA_PLAIN_ENTRY(PrintZahlIntervList),
    DOMVERA_PLAIN_ENTRY(PrintKostartList),
    {u"PrintLiefArt",
     [](bool p, const QString& l, const ListEntryArgs& a) {
         table::Table& supplier = DataModule1().TabLieferant();
         PrintLiefArt(
             p, a.lieferantNr.value_or(CurrentRecordNumber(supplier, u"K_Nr"_s)),
             a.lieferantName.value_or(CurrentRecordValue(supplier, u"K_Match"_s).toString()), l);
     }},
    DOMVERA_PLAIN_ENTRY(PrintRgIntervList),
    DOMVERA_PLAIN_ENTRY(PrintZeitartList),
    {u"PrintObjNotdienst", [](bool p, const QString& l,
                              const ListEntryArgs& a) { PrintObjNotdienst(objektNr(a), p, l); }},
    {u"PrintLiefList",
     [](bool p, const QString& l, const ListEntryArgs& a) {
         PrintLiefList(p, a.useFilter,
                       a.tableName.value_or(DataModule1().TabLieferant().tableName()), l);
     }},
});

#undef DOMVERA_PLAIN_ENTRY

} // namespace

ListEntry FindListEntry(QStringView name) {
    for (const NamedEntry& e : kEntries) {
        if (e.name.compare(name, Qt::CaseInsensitive) == 0)
            return e.entry;
    }
    return nullptr;
}
