#include "dbstructure/tableschemas.h"
#include "platform/errors.h"
#include "platform/report/report.h"
#include "platform/report/reportreader.h"
#include "printing/formtypes.h"
#include "printing/listdescription.h"
#include "printing/listreport.h"
#include "printing/printingsetup.h"

#include <QSet>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using report::Component;
using report::ComponentClass;

namespace {

struct Expected {
    int formType;
    const char* cls;
    const char* reportTitle;
    const char* title;     // L_Titel
    const char* printDate; // mask of QRSysDatum; nullptr: none
    QList<std::pair<int, int>> spare;
    QStringList optional; // a few of the controls that are off
    QStringList pinned;   // further names the lists must carry, on
};

const char* const kDateTime = "dd.mm.yyyy hh:nn' Uhr'";
const char* const kWide = "dd.mm.yyyy   hh:nn' Uhr'";
const char* const kDate = "dd.mm.yyyy";

// clang-format off
const QList<Expected>& expectations() {
    static const QList<Expected> all = {
        {15000, "TQRObjList01", "Druck Objektliste", "Objekte", kDateTime, {{1, 21}},
         {u"O_Name1"_s, u"O_Website"_s, u"O_Kunde"_s}, {}},
        {16000, "TQRObjTaetig1", "Druck Objekt-Tätigkeiten", "Tätigkeiten-Liste zu Objekt-Nr. ",
         kDateTime, {{1, 21}}, {u"TS_Param"_s, u"TS_Func"_s}, {}},
        {17000, "TQRObjList2", "Druck Objektliste Adressen", "Objekte", kDateTime, {{1, 21}}, {},
         {u"F_REListenkopf_2"_s}},
        {18000, "TQRKundList01", "Druck Kundenliste", "Kundenliste", kDateTime, {{1, 8}, {18, 21}},
         {u"K_Name1"_s, u"K_UmsGesamt"_s, u"K_BankTelefon"_s}, {}},
        {19000, "TQRArtList01", "Druck Artikelliste", "Materialliste", kDate, {{1, 21}},
         {u"A_Bezeich2"_s, u"K_Match"_s, u"A_Beschreibung"_s, u"QRSysZeit"_s},
         // The stock columns print with their headers.
         {u"L_Lager"_s, u"L_A_Lagermenge"_s, u"L_A_Lagerwert"_s}},
        {20000, "TQRPersList01", "Druck Mitarbeiterliste", "Mitarbeiter", kDateTime, {{1, 21}},
         {u"P_Match"_s, u"P_EhefrauGebDat"_s}, {}},
        {21000, "TQRTaetigList01", "Druck Tätigkeitenliste", "Tätigkeiten", kDate,
         {{1, 14}, {18, 21}}, {u"T_BasisEinheit"_s, u"T_BasisMinuten"_s, u"QRSysZeit"_s}, {}},
        {22000, "TQRAdress1", "Objektliste Format 01", "Adressen", kDateTime, {{1, 30}},
         {u"A_Name1"_s, u"A_PersonalNr"_s, u"A_Notizen"_s, u"F_REBrieffussKA"_s}, {}},
        {22100, "TQRAdrProto", "Adress-Protokolle", "Adressen", kDateTime, {{1, 8}, {18, 21}},
         {u"A_Name1"_s, u"AP_Param1"_s, u"AP_Param4"_s}, {u"SubDetail1"_s}},
        {22200, "TQRAdrJour", "Adress-Protokolle", "Adressen", kDateTime, {{1, 8}, {18, 21}},
         {u"A_Website"_s}, {u"SubDetail1"_s, u"AJ_Info"_s}},
        {23000, "TQRTourList01", "Druck Tourenliste Objekte", "Tourenliste", kDateTime,
         {{1, 8}, {18, 21}}, {}, {u"WT_Name"_s, u"P_Match"_s}},
        {24000, "TQRTourObj1", "Tageslisten-Ausdruck", "Objektliste zu Tour-Nr. ", kDateTime,
         {{1, 21}}, {}, {u"O_Match"_s}},
        {29000, "TQRSchluessel01", "Druck Schlüssel-Liste", "Schlüssel-Liste", kDateTime,
         {{1, 11}, {18, 21}}, {u"L_S_Nr"_s, u"L_S_Bemerkung"_s}, {u"L_S_Objekt"_s}},
        {30000, "TQRND01", "Druck Notdienste", "Notdienste", kDateTime, {{1, 12}, {18, 21}},
         {u"ND_Name1"_s, u"ND_Email"_s}, {u"ND_Memo"_s}},
        {36000, "TQRMieterList1", "Druck Mieterliste", "Mieter zu Objekt ", kDateTime,
         {{1, 16}, {18, 21}}, {u"L_OM_Memo"_s}, {u"OM_Memo"_s}},
        {38000, "TQRFirma01", "Druck Firmendaten", "Firmendaten", nullptr, {},
         {u"F_Bewirtung"_s, u"F_SonstigeKosten"_s, u"F_NextNr02"_s, u"F_FormatNrRg"_s},
         {u"QRImage1"_s, u"F_NameIntern"_s, u"F_AutoSichernRechErst"_s}},
        {45000, "TQRBankList1", "Druck Bankenliste", "Banken", kWide, {}, {}, {}},
        {46000, "TQRKrKassList1", "Krankenkassen-Liste Format 01", "Krankenkassen", kDateTime, {},
         {}, {u"ZA_Text"_s, u"KK_Web"_s}},
        {48000, "TQRMengEHList1", "Druck Mengeneinheiten", "Mengeneinheiten", kDateTime, {}, {}, {}},
        {49000, "TQRMwstList1", "Druck Mwst-Sätze", "Steuersätze", kWide, {}, {}, {}},
        {51000, "TQR_Fremdlst01", "Druck Fremdleistungen", "Fremdleistungen", kDateTime,
         {{1, 12}, {18, 21}}, {u"S_Menge"_s, u"S_Mwst"_s}, {}},
        {52000, "TQRZahlArtList1", "Druck Zahlarten", "Zahlungsarten", kDateTime, {}, {}, {}},
        {53000, "TQRZahlbedList1", "Druck  Zahlungsbedingungen", "Zahlungsbedingungen", kDateTime,
         {}, {}, {}},
        {54000, "TQRZahlInterv01", "Druck Berichtsintervalle", "Berichtsintervalle", kDateTime, {},
         {}, {}},
        {55000, "TQRKartList1", "Druck Kostenarten", "Kostenarten", kDateTime, {}, {},
         {u"A_Personal"_s}},
        {56000, "TQRLiefArt01", "Druck Lieferantenartikel", "Lieferantenartikel", kDateTime,
         {{1, 21}}, {u"A_Bezeich2"_s, u"A_Mwst"_s}, {u"L_Lieferant"_s}},
        {64000, "TQRRgInterv", "Druck Rechnungstermine", "Rechnungs-Termine", kDate,
         {{1, 13}, {15, 15}, {18, 21}}, {}, {u"QRGroup1"_s, u"SubDetail1"_s, u"F_REListenkopf_2"_s}},
        {65000, "TQRZeitart01", "Druck Zeitarten", "Arbeitszeit-Arten", kDate, {{1, 8}, {18, 21}},
         {}, {u"A_Text"_s}},
        {70000, "TQRObjNotdienst1", "Druck Objekt-Notdienste", "Notdienst-Liste zu Objekt-Nr. ",
         kDateTime, {{1, 12}, {18, 21}}, {u"ND_Plz"_s, u"OND_Info"_s}, {}},
        {75000, "TQRKundList02", "Druck Kundenliste Auswahl", nullptr, kDate, {},
         {u"O_Beschreibung"_s}, {u"L_FilterTerm"_s, u"O_Grund"_s, u"O_Notizen"_s}},
        {79000, "TQRLiefList01", "Kundenliste Format 01", "Lieferantenliste", kDateTime,
         {{1, 8}, {11, 12}, {18, 21}}, {u"K_Fibukonto"_s, u"K_EigeneKdNr"_s}, {}},
    };
    return all;
}
// clang-format on

// The band a spare label belongs to.
report::BandType spareBand(int n) {
    if (n <= 4)
        return report::BandType::PageHeader;
    if (n <= 8)
        return report::BandType::Title;
    if (n <= 17)
        return report::BandType::ColumnHeader;
    if (n <= 19 || n >= 22)
        return report::BandType::Summary;
    return report::BandType::PageFooter;
}

class ListDefinitionsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { InitPrinting(); }
};

const Component* bandOf(const report::Report& rep, const Component& c) {
    return rep.find(c.parent);
}

// Whether a data control's field is a field of its dataset's table or one
// of its lookups, whose keys and result exist in their tables.
void expectFieldExists(const report::Report& rep, const Component& c) {
    const auto& schemas = dbstructure::TableSchemas::builtIn();
    const QString dsName = c.dataset.isEmpty() ? rep.def().dataset : c.dataset;
    const auto& datasets = rep.def().datasets;
    const auto ds = std::find_if(datasets.begin(), datasets.end(), [&](const auto& d) {
        return d.name.compare(dsName, Qt::CaseInsensitive) == 0;
    });
    ASSERT_NE(ds, datasets.end()) << c.name.toStdString();
    const auto hasField = [&](const QString& table, const QString& field) {
        const dbstructure::TableSchema* t = schemas.find(table);
        if (!t)
            return false;
        return std::any_of(t->def.fields.begin(), t->def.fields.end(), [&](const auto& f) {
            return f.name.compare(field, Qt::CaseInsensitive) == 0;
        });
    };
    if (hasField(ds->table, c.field))
        return;
    const auto lookup = std::find_if(ds->lookups.begin(), ds->lookups.end(), [&](const auto& l) {
        return l.name.compare(c.field, Qt::CaseInsensitive) == 0;
    });
    ASSERT_NE(lookup, ds->lookups.end())
        << c.name.toStdString() << " in " << ds->table.toStdString();
    EXPECT_TRUE(hasField(lookup->table, lookup->resultField)) << c.name.toStdString();
    for (const QString& k : lookup->keyFields)
        EXPECT_TRUE(hasField(ds->table, k)) << k.toStdString();
    for (const QString& k : lookup->lookupKeys)
        EXPECT_TRUE(hasField(lookup->table, k)) << k.toStdString();
}

TEST_F(ListDefinitionsTest, EveryListHasItsClassTitleFrameAndFields) {
    const auto& schemas = dbstructure::TableSchemas::builtIn();
    ASSERT_EQ(expectations().size(), 31);
    for (const Expected& e : expectations()) {
        SCOPED_TRACE(e.formType);
        const FormTypeInfo* type = FindFormType(e.formType);
        ASSERT_NE(type, nullptr);
        EXPECT_EQ(type->reportClass, QLatin1String(e.cls));
        const auto rep = report::Report::create(QLatin1String(e.cls));
        EXPECT_EQ(rep->def().title, QString::fromUtf8(e.reportTitle));
        EXPECT_FALSE(rep->def().landscape);
        EXPECT_TRUE(rep->def().options.printIfEmpty);
        if (e.title) {
            EXPECT_EQ(rep->component(u"L_Titel"_s).caption, QString::fromUtf8(e.title));
        }
        const Component* date = rep->find(u"QRSysDatum"_s);
        if (e.printDate) {
            ASSERT_NE(date, nullptr);
            EXPECT_TRUE(date->enabled);
            EXPECT_EQ(date->mask, QString::fromUtf8(e.printDate));
        } else {
            EXPECT_EQ(date, nullptr);
        }
        for (const QString& name : e.pinned) {
            const Component* c = rep->find(name);
            ASSERT_NE(c, nullptr) << name.toStdString();
            EXPECT_TRUE(c->enabled) << name.toStdString();
        }

        QSet<int> spare;
        for (const auto& [from, to] : e.spare)
            for (int n = from; n <= to; ++n)
                spare.insert(n);
        for (int n = 1; n <= 30; ++n) {
            const Component* label = rep->find(u"L_Reserve"_s + QString::number(n));
            if (!spare.contains(n)) {
                EXPECT_EQ(label, nullptr) << n;
                continue;
            }
            ASSERT_NE(label, nullptr) << n;
            EXPECT_FALSE(label->enabled);
            EXPECT_TRUE(label->font.bold);
            EXPECT_EQ(label->caption, u"Reserve"_s + QString::number(n));
            EXPECT_EQ(bandOf(*rep, *label)->bandType, spareBand(n)) << n;
        }
        for (const QString& field : e.optional) {
            const Component* c = rep->find(field);
            ASSERT_NE(c, nullptr) << field.toStdString();
            EXPECT_FALSE(c->enabled) << field.toStdString();
        }

        for (const report::DatasetDef& d : rep->def().datasets) {
            const dbstructure::TableSchema* t = schemas.find(d.table);
            if (e.formType == 75000)
                continue; // its selection table is no table of the client
            ASSERT_NE(t, nullptr) << d.table.toStdString();
            if (!d.index.isEmpty()) {
                EXPECT_TRUE(std::any_of(t->def.indexes.begin(), t->def.indexes.end(),
                                        [&](const auto& i) { return i.name == d.index; }))
                    << d.index.toStdString();
            }
        }
        for (const Component& c : rep->def().components) {
            EXPECT_EQ(c.font.size, std::round(c.font.size)) << c.name.toStdString();
            if (e.formType != 75000 &&
                (c.cls == ComponentClass::DBText || c.cls == ComponentClass::DBRichText))
                expectFieldExists(*rep, c);
        }
    }
}

TEST_F(ListDefinitionsTest, OptionalFieldsAndTheirCaptionsAreOffInTheirOwnBand) {
    // Every optional field of every description, with its caption, is on the
    // band of optional fields and off; the band prints only through its hook.
    for (const Expected& e : expectations()) {
        if (e.formType == 75000)
            continue;
        SCOPED_TRACE(e.formType);
        const ListDescription& d = ListDescriptionOf(e.formType);
        const auto rep = report::Report::create(d.className);
        const auto check = [&](const QList<ListItem>& items, const QString& bandName) {
            for (const ListItem& item : items) {
                const Component& value = rep->component(item.field);
                const Component& caption = rep->component(u"L_"_s + item.field);
                EXPECT_FALSE(value.enabled) << item.field.toStdString();
                EXPECT_FALSE(caption.enabled) << item.field.toStdString();
                EXPECT_EQ(value.parent, bandName) << item.field.toStdString();
                EXPECT_EQ(caption.caption, item.caption);
            }
            if (!items.isEmpty()) {
                EXPECT_EQ(rep->component(bandName).beforePrint,
                          QString::fromLatin1(kOptionalBandHook));
            }
        };
        check(d.optional, u"ChildBand1"_s);
        check(d.subOptional, u"ChildBand2"_s);
    }
}

TEST_F(ListDefinitionsTest, TheFrameOfEveryList) {
    for (const Expected& e : expectations()) {
        if (e.formType == 75000)
            continue;
        SCOPED_TRACE(e.formType);
        const auto rep = report::Report::create(QLatin1String(e.cls));
        const bool twoHeads = e.formType == 17000 || e.formType == 64000;
        EXPECT_EQ(rep->def().options.firstPageHeader, !twoHeads);
        const Component& head = rep->component(u"F_REListenkopf"_s);
        EXPECT_EQ(bandOf(*rep, head)->bandType, report::BandType::PageHeader);
        EXPECT_EQ(head.alignment, report::Alignment::Center);
        EXPECT_TRUE(head.autoStretch);
        if (twoHeads) {
            EXPECT_EQ(bandOf(*rep, rep->component(u"F_REListenkopf_2"_s))->bandType,
                      report::BandType::Title);
        }
        const Component& title = rep->component(u"L_Titel"_s);
        EXPECT_TRUE(title.font.bold);
        EXPECT_EQ(bandOf(*rep, title)->bandType, report::BandType::Title);
        if (e.printDate) {
            EXPECT_EQ(rep->component(u"L_Datum"_s).caption, u"Datum:"_s);
        }
        const Component& end = rep->component(u"L_Ende"_s);
        EXPECT_EQ(end.caption, u"Ende der Liste"_s);
        EXPECT_EQ(end.alignment, report::Alignment::Right);
        EXPECT_EQ(bandOf(*rep, end)->bandType, report::BandType::Summary);
        const Component& page = rep->component(u"QRExprSeite"_s);
        EXPECT_EQ(page.expression, u"PAGENUMBER"_s);
        EXPECT_TRUE(page.font.bold);
        EXPECT_EQ(bandOf(*rep, page)->bandType, report::BandType::PageFooter);
        EXPECT_EQ(rep->component(u"L_Seite"_s).caption, u"Seite"_s);
        // Column captions are bold.
        if (const Component* header = rep->find(u"ColumnHeaderBand1"_s)) {
            for (const Component& c : rep->def().components)
                if (c.parent == header->name && !c.name.startsWith(u"L_Reserve")) {
                    EXPECT_TRUE(c.font.bold) << c.name.toStdString();
                }
        }
    }
}

TEST(ListDescriptionTest, FaultsNameTheFileAndTheElement) {
    const struct {
        const char* json;
        const char* message;
    } cases[] = {
        {R"({"formType": 1, "class": "X", "reportTitle": "Y", "dataset": {"name": "T", "table": "A"},
            "colums": []})",
         "\"x.json\", Liste: unbekannter Eintrag \"colums\""},
        {R"({"formType": 1, "class": "X", "reportTitle": "Y", "dataset": {"name": "T", "table": "A"},
            "columns": [[{"caption": "a", "field": "F", "kind": "bold"}]]})",
         "\"kind\" muss text, wrap oder rich sein"},
        {R"({"formType": 1, "class": "X", "reportTitle": "Y", "dataset": {"name": "T"}})",
         "dataset: \"table\" fehlt"},
        {R"({"formType": 1, "class": "X", "reportTitle": "Y", "dataset": {"name": "T", "table": "A"},
            "screen": {"table": "TabA", "copy": ["order"]}})",
         "\"order\" kann nicht übernommen werden"},
        {R"({"formType": 1, "class": "X", "reportTitle": "Y", "dataset": {"name": "T", "table": "A"},
            "spare": [[5, 2]]})",
         "\"spare\" braucht Bereiche"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.json);
        try {
            ReadListDescription(QByteArray(c.json), u"x.json"_s);
            ADD_FAILURE() << "no error";
        } catch (const DbError& e) {
            EXPECT_TRUE(e.message().contains(QString::fromUtf8(c.message)))
                << e.message().toStdString();
        }
    }
}

TEST(ListReportTest, ALineWiderThanThePageIsAnError) {
    ListDescription d = ReadListDescription(
        R"({"formType": 1, "class": "X", "reportTitle": "Y", "dataset": {"name": "T", "table": "A"},
            "columns": [[{"caption": "a", "field": "F", "width": 120},
                         {"caption": "b", "field": "G", "width": 70}]]})",
        u"x.json"_s);
    try {
        BuildListReport(d);
        ADD_FAILURE() << "no error";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().contains(u"\"G\" ist breiter als die Seite"_s))
            << e.message().toStdString();
    }
    d.columns[0][1].width = 60; // 120 + 2 + 60 fits the 185 mm
    const report::ReportDefinition def = report::readReportDefinition(BuildListReport(d), u"x"_s);
    EXPECT_EQ(def.className, u"X"_s);
}

} // namespace
