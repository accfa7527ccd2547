#include "core/data/recordrules.h"
#include "dbstructure/databasebuilder.h"
#include "dialogfixture.h"
#include "masterdata/dialogs/dialoghooks.h"
#include "masterdata/dialogs/pickerfilters.h"
#include "masterdata/dialogs/pickers.h"
#include "masterdata/dialogs/pickertable.h"
#include "masterdata/dialogs/tf_dbselect.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/dbdateedit.h"

#include <QDate>
#include <QPushButton>

using namespace Qt::StringLiterals;
using dialogtest::WhenShown;

namespace {

// The keys the lookup lists, in its order.
QVariantList listedKeys(TF_DbSelect& d, const QString& keyField) {
    QVariantList keys;
    table::Table& t = *d.lookupTable();
    for (t.first(); !t.eof(); t.next())
        keys.append(t.field(keyField).value());
    return keys;
}

QStringList texts(const QVariantList& values) {
    QStringList result;
    for (const QVariant& v : values)
        result.append(v.toString());
    return result;
}

class PickerTest : public dialogtest::DialogDbTest {
protected:
    void SetUp() override {
        DialogDbTest::SetUp();
        for (int i : {1, 2}) {
            const int nr = 500 + i;
            addRow(u"Adress.DB"_s, {{u"A_ID"_s, i}, {u"A_Nr"_s, nr}});
            addRow(u"Kostart.DB"_s, {{u"A_ID"_s, i}, {u"A_Nr"_s, nr}});
            addRow(u"Personal.DB"_s, {{u"P_ID"_s, i}, {u"P_Nr"_s, nr}});
            addRow(u"Kunden.DB"_s, {{u"K_ID"_s, i}, {u"K_Nr"_s, nr}});
            addRow(u"Liefrnt.db"_s, {{u"K_ID"_s, i}, {u"K_Nr"_s, nr}});
        }
        addRow(u"Taetig.DB"_s, {{u"T_ID"_s, 1}, {u"T_Nr"_s, 501}, {u"T_Match"_s, u"Glas"_s}});
        addRow(u"Taetig.DB"_s, {{u"T_ID"_s, 2}, {u"T_Nr"_s, 502}, {u"T_Match"_s, u"Unterhalt"_s}});
        const struct {
            int id, nr, customer;
            bool active;
        } objects[] = {{1, 501, 7, true}, {2, 502, 7, true}, {3, 503, 7, false}, {4, 504, 8, true}};
        for (const auto& o : objects)
            addRow(u"Objekte.DB"_s, {{u"O_ID"_s, o.id},
                                     {u"O_Nr"_s, o.nr},
                                     {u"O_Kunde"_s, o.customer},
                                     {u"O_Aktiv"_s, o.active}});
        const struct {
            int id;
            const char* artNo;
            int objId;
        } articles[] = {{1, "M-1", 0}, {2, "M-2", 0}, {3, "M-3", 5}};
        for (const auto& a : articles)
            addRow(u"Artikel.db"_s, {{u"A_ID"_s, a.id},
                                     {u"A_ArtNo"_s, QString::fromLatin1(a.artNo)},
                                     {u"A_ObjID"_s, a.objId}});
        const struct {
            int id;
            const char* nr;
            int object;
        } invoices[] = {{1, "R-1", 501}, {2, "R-2", 501}, {3, "R'3", 502}};
        for (const auto& r : invoices)
            addRow(u"Rechkopf.DB"_s, {{u"R_ID"_s, r.id},
                                      {u"R_Nr"_s, QString::fromLatin1(r.nr)},
                                      {u"R_ObjektNr"_s, r.object}});
        const struct {
            int id, object, billed;
        } services[] = {{1, 5, 0}, {2, 5, 0}, {3, 5, 1}, {4, 6, 0}};
        for (const auto& s : services)
            addRow(u"FremdLst.db"_s,
                   {{u"S_ID"_s, s.id}, {u"S_ObjID"_s, s.object}, {u"S_Gebucht"_s, s.billed}});
        // Supplier 1 has two articles, supplier 2 one.
        for (const auto& [id, supplier] : {std::pair{1, 1}, std::pair{2, 1}, std::pair{3, 2}})
            addRow(u"Liefart.db"_s, {{u"A_ID"_s, id}, {u"A_LieferantID"_s, supplier}});
        // Sorted by search term, the numbers run the other way.
        addRow(u"Notdnst.DB"_s, {{u"ND_ID"_s, 1}, {u"ND_Nr"_s, 501}, {u"ND_Match"_s, u"ZINK"_s}});
        addRow(u"Notdnst.DB"_s, {{u"ND_ID"_s, 2}, {u"ND_Nr"_s, 502}, {u"ND_Match"_s, u"ABEL"_s}});
        // New clients copy the postcode table from the template.
        dbstructure::CreatePlzTable(*table::aliases::database(u"LumoDB"_s));
        addRow(u"PLZ.DB"_s, {{u"P_ID"_s, 1}, {u"PLZ"_s, u"50667"_s}, {u"ORT"_s, u"Köln"_s}});
        addRow(u"PLZ.DB"_s, {{u"P_ID"_s, 2}, {u"PLZ"_s, u"53111"_s}, {u"ORT"_s, u"Bonn"_s}});
        addRow(u"MwstSatz.DB"_s, {{u"Mwst_ID"_s, 5},
                                  {u"Mwst_Nr"_s, 2},
                                  {u"Mwst_Satz"_s, 5.0},
                                  {u"Mwst_Kurz"_s, u"offen"_s},
                                  {u"Mwst_GueltigVon"_s, QDate(2000, 1, 1)}});
        createModule();
    }
};

// Each picker: OK on a chosen row, cancel, and the rows its filter lists.
TEST_F(PickerTest, EveryPickerGivesItsOkAndCancelResultsAndListsWhatItsFilterAllows) {
    using Run = std::function<QVariant()>;
    QString sort;
    const struct {
        QString picker;
        Run run;
        QVariant choose; // the key of the row chosen for OK
        QVariant ok;
        QVariant cancel;
        QStringList listed; // the keys listed; empty: not checked
    } cases[] = {
        {u"SelectAdress"_s,
         [&] { return QVariant(SelectAdress(501, 200, 0, 0, sort)); },
         502,
         502,
         0,
         {u"501"_s, u"502"_s}},
        {u"SelectKostart"_s,
         [] { return QVariant(SelectKostart(501, 200, 0, 0, {})); },
         502,
         502,
         501,
         {}},
        {u"SelectPersonal"_s,
         [] { return QVariant(SelectPersonal(501, 200, 0, 0, {})); },
         502,
         502,
         501,
         {u"501"_s, u"502"_s}},
        {u"SelectDvGroup"_s, [] { return QVariant(SelectDvGroup(1, 200, 0, 0, {})); }, 3, 3, 1, {}},
        {u"SelectObjekt"_s,
         [&] { return QVariant(SelectObjekt(501, 200, 0, 0, sort)); },
         504,
         504,
         501,
         {u"501"_s, u"502"_s, u"504"_s}},
        {u"SelectObjektOfKunde"_s,
         [] { return QVariant(SelectObjektOfKunde(501, 7, 200, 0, 0, {})); },
         502,
         502,
         501,
         {u"501"_s, u"502"_s}},
        {u"SelectObjektFromTable"_s,
         [&] {
             return QVariant(
                 SelectObjektFromTable(501, 200, 0, 0, sort, u"LumoDB"_s, u"Objekte.DB"_s));
         },
         502,
         502,
         501,
         {u"501"_s, u"502"_s, u"504"_s}},
        {u"SelectKunde"_s,
         [] { return QVariant(SelectKunde(501, 200, 0, 0, {})); },
         502,
         502,
         501,
         {u"501"_s, u"502"_s}},
        {u"SelectLieferant"_s,
         [] { return QVariant(SelectLieferant(501, 200, 0, 0, {})); },
         502,
         502,
         501,
         {u"501"_s, u"502"_s}},
        {u"SelectTaetig"_s,
         [] { return QVariant(SelectTaetig(501, 200, 0, 0, {}, {})); },
         502,
         502,
         501,
         {}},
        {u"SelectTaetigByID"_s,
         [&] { return QVariant(SelectTaetigByID(1, 200, 0, 0, {}, sort)); },
         2,
         2,
         1,
         {}},
        {u"SelectArtikel"_s,
         [&] { return QVariant(SelectArtikel(1, 0, 200, 0, 0, sort)); },
         2,
         2,
         1,
         {u"1"_s, u"2"_s}},
        {u"SelectArtikelNr"_s,
         [&] { return QVariant(SelectArtikelNr(5, u"M-3"_s, 200, 0, 0, sort)); },
         u"M-3"_s,
         u"M-3"_s,
         u"M-3"_s,
         {u"M-3"_s}},
        {u"SelectVorlage"_s,
         [] {
             QString nr = u"R-1"_s;
             const bool chosen = SelectVorlage(TDocSource::Rechnung, 200, 500, 0, u"egal"_s,
                                               u"Vorlage wählen"_s, 501, nr);
             return QVariant(QVariantList{chosen, nr});
         },
         u"R-2"_s,
         QVariantList{true, u"R-2"_s},
         QVariantList{false, u"R-1"_s},
         {u"R-2"_s}},
        {u"SelectMengBez"_s,
         [] { return QVariant(SelectMengBez(u"Stück"_s, 200, 0, 0, {})); },
         u"Liter"_s,
         u"Liter"_s,
         u"Stück"_s,
         {}},
        {u"SelectFremdleistung"_s,
         [] { return QVariant(SelectFremdleistung(1, 5, 200, 0, 0, {})); },
         2,
         2,
         1,
         {u"1"_s, u"2"_s}},
        {u"SelectLiefArtikelById"_s,
         [&] { return QVariant(SelectLiefArtikelById(1, 1, 200, sort, 0, 0)); },
         2,
         2,
         1,
         {u"1"_s, u"2"_s}},
        {u"SelectPlzOrt"_s,
         [] { return QVariant(SelectPlzOrt(u"50667|Köln"_s, {}, 200, 0, 0)); },
         2,
         u"53111|Bonn"_s,
         QString(),
         {}},
        {u"PickVatRate"_s,
         [] {
             int code = 1;
             double rate = 0.0;
             QString kurz, lang;
             const bool chosen = PickVatRate(code, rate, kurz, lang, 0, 0);
             return QVariant(QVariantList{chosen, code, rate, kurz, lang});
         },
         2,
         QVariantList{true, 2, 7.0, u"Mwst 7 %"_s, u"Mehrwertsteuer halber Satz"_s},
         QVariantList{false, 1, 0.0, QString(), QString()},
         // Valid today; a row with an empty bound is not listed.
         {u"0"_s, u"1"_s, u"2"_s}},
        {u"SelectNotdienst"_s,
         [] { return QVariant(SelectNotdienst(501, 0, 0)); },
         502,
         502,
         501,
         {u"501"_s, u"502"_s}},
        {u"SelectZahlBed"_s,
         [] {
             int id = 1;
             const bool chosen = SelectZahlBed(id, 0, 0);
             return QVariant(QVariantList{chosen, id});
         },
         3,
         QVariantList{true, 3},
         QVariantList{false, 1},
         {}},
    };
    QStringList covered;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.picker.toStdString());
        covered.append(c.picker);
        const PickerRow& row = PickerRowNamed(c.picker);
        for (const bool ok : {true, false}) {
            SCOPED_TRACE(ok ? "OK" : "cancel");
            WhenShown<TF_DbSelect>([&](TF_DbSelect& d) {
                EXPECT_FALSE(DataModule1().IsTimerWorkEnabled());
                if (!c.listed.isEmpty()) {
                    EXPECT_EQ(texts(listedKeys(d, row.keyField)), c.listed);
                }
                if (!ok) {
                    d.btnCancel()->click();
                    return;
                }
                EXPECT_TRUE(d.lookupTable()->locate({row.keyField}, {c.choose}));
                d.grid()->followCursor();
                d.btnOK()->click();
            });
            EXPECT_EQ(c.run(), ok ? c.ok : c.cancel);
            EXPECT_TRUE(DataModule1().IsTimerWorkEnabled());
            EXPECT_EQ(TF_DbSelect::openLookupCount(), 0);
        }
    }
    // A new row of the table needs its case here.
    for (const PickerRow& row : PickerTable())
        EXPECT_TRUE(covered.contains(row.name)) << row.name.toStdString();
}

TEST_F(PickerTest, PickersOpenWhereTheirStartValueSays) {
    const struct {
        const char* name;
        std::function<void()> run;
        QString keyField;
        QVariant startRow;
    } cases[] = {
        {"activity by search text when the start is 0",
         [] { SelectTaetig(0, 200, 0, 0, u"unter"_s, {}); }, u"T_Nr"_s, 502},
        {"activity by number", [] { SelectTaetig(502, 200, 0, 0, u"glas"_s, {}); }, u"T_Nr"_s, 502},
        {"postcode by its text", [] { SelectPlzOrt(u"53111|Bonn"_s, {}, 200, 0, 0); }, u"P_ID"_s,
         2},
        {"template list opens on its first row",
         [] {
             QString nr = u"R-2"_s;
             SelectVorlage(TDocSource::Rechnung, 200, 0, 0, {}, {}, 0, nr);
         },
         u"R_Nr"_s, u"R-1"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WhenShown<TF_DbSelect>([&](TF_DbSelect& d) {
            EXPECT_EQ(d.lookupTable()->field(c.keyField).value().toString(), c.startRow.toString());
            d.btnCancel()->click();
        });
        c.run();
    }
}

TEST_F(PickerTest, InactiveObjectsAreListedOnlyWhileTheObjectFormShowsAll) {
    QString sort;
    DataModule1().TabObjekt().setFiltered(false);
    WhenShown<TF_DbSelect>([](TF_DbSelect& d) {
        EXPECT_EQ(texts(listedKeys(d, u"O_Nr"_s)),
                  (QStringList{u"501"_s, u"502"_s, u"503"_s, u"504"_s}));
        d.btnCancel()->click();
    });
    SelectObjekt(501, 200, 0, 0, sort);
    EXPECT_EQ(sort, u"O_Nr"_s);
    WhenShown<TF_DbSelect>([](TF_DbSelect& d) {
        EXPECT_EQ(texts(listedKeys(d, u"O_Nr"_s)), (QStringList{u"501"_s, u"502"_s, u"503"_s}));
        d.btnCancel()->click();
    });
    SelectObjektOfKunde(501, 7, 200, 0, 0, {});
}

// Each call starts on the number column; the shared table keeps its record
// and its index.
TEST_F(PickerTest, EmergencyServicePickerStartsSortedByNumberAndLeavesTheSharedTable) {
    table::Table& shared = DataModule1().TabNotdienst();
    shared.open();
    shared.setIndexName(u"ND_I_Match"_s);
    ASSERT_TRUE(shared.locate({u"ND_Nr"_s}, {501}));
    for (int call = 0; call < 2; ++call) {
        WhenShown<TF_DbSelect>([](TF_DbSelect& d) {
            EXPECT_EQ(d.windowTitle(), u"Notdienst auswählen"_s);
            EXPECT_EQ(d.grid()->height(), 240);
            EXPECT_EQ(texts(listedKeys(d, u"ND_Nr"_s)), (QStringList{u"501"_s, u"502"_s}));
            d.sortBy(u"ND_Match"_s); // forgotten after the call
            d.lookupTable()->locate({u"ND_Nr"_s}, {502});
            d.btnOK()->click();
        });
        EXPECT_EQ(SelectNotdienst(501, 0, 0), 502);
    }
    EXPECT_EQ(shared.indexName(), u"ND_I_Match"_s);
    EXPECT_EQ(shared.field(u"ND_Nr"_s).asIntegerOr(0), 501);
}

TEST_F(PickerTest, TemplatesNeverListTheCurrentDocumentAndStayNearTheLeftEdge) {
    const struct {
        QString current;
        int object;
        QStringList listed;
    } cases[] = {
        {u"R-1"_s, 0, {u"R'3"_s, u"R-2"_s}},
        {u"R'3"_s, 0, {u"R-1"_s, u"R-2"_s}}, // a quote in the number stays a literal
        {u"R-2"_s, 501, {u"R-1"_s}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.current.toStdString());
        WhenShown<TF_DbSelect>([&](TF_DbSelect& d) {
            QStringList listed = texts(listedKeys(d, u"R_Nr"_s));
            listed.sort();
            EXPECT_EQ(listed, c.listed);
            EXPECT_EQ(d.windowTitle(), u"Rechnung als Vorlage"_s);
            EXPECT_EQ(d.pos().x(), 80);
            d.btnCancel()->click();
        });
        QString nr = c.current;
        EXPECT_FALSE(SelectVorlage(TDocSource::Rechnung, 200, 600, 10, {},
                                   u"Rechnung als Vorlage"_s, c.object, nr));
        EXPECT_EQ(nr, c.current);
    }
    QString nr = u"R-1"_s;
    EXPECT_THROW(SelectVorlage(TDocSource(256), 200, 0, 0, {}, {}, 0, nr), DbError);
}

TEST(PickerFilters, FiltersAreExpressionsWithQuotedLiterals) {
    EXPECT_EQ(QuotedFilterText(u"O'Neil"_s), u"'O''Neil'"_s);
    EXPECT_EQ(TemplateFilter(0, u"R'1"_s), u"R_Nr<>'R''1'"_s);
    EXPECT_EQ(TemplateFilter(12, u"R1"_s), u"R_ObjektNr=12 AND R_Nr<>'R1'"_s);
    EXPECT_EQ(ArticlesOfObjectFilter(0), u"A_ObjID=0"_s);
    EXPECT_EQ(UnbilledServicesFilter(5), u"S_ObjID=5 AND S_Gebucht=0"_s);
    EXPECT_EQ(OtherTourOfDayFilter(3, 17), u"TO_Wochentag=3 AND TO_Nr<>17"_s);
    EXPECT_EQ(ObjectsOfCustomerFilter(7), u"O_Kunde=7"_s); // no data module: all objects
}

TEST_F(PickerTest, EveryRowsColumnsAndKeyExistInItsTable) {
    auto db = table::aliases::database(u"LumoDB"_s);
    for (const PickerRow& row : PickerTable()) {
        SCOPED_TRACE(row.name.toStdString());
        QString tableName = row.tableName;
        if (tableName.isEmpty())
            tableName = row.keyField == u"R_Nr"_s ? u"Rechkopf.DB"_s : u"Objekte.DB"_s;
        const table::TableDef def = db->tableDef(tableName);
        auto has = [&](const QString& field) {
            for (const auto& f : def.fields)
                if (f.name.compare(field, Qt::CaseInsensitive) == 0)
                    return true;
            return false;
        };
        EXPECT_TRUE(has(row.keyField)) << row.keyField.toStdString();
        for (const auto& column : row.columns)
            EXPECT_TRUE(has(column.field)) << column.field.toStdString();
        for (const QString& extra : {row.locateField, row.previewField1, row.previewField2})
            if (!extra.isEmpty()) {
                EXPECT_TRUE(has(extra)) << extra.toStdString();
            }
        PickerCall call;
        EXPECT_FALSE(PickerCaption(row, call).isEmpty() && row.name != u"SelectVorlage"_s);
    }
}

TEST_F(PickerTest, TheInstalledHooksOpenTheObjectAndEmergencyServicePickersAndTheCalendar) {
    RecordRuleHooks& hooks = RecordRuleHooksRegistry();
    const RecordRuleHooks saved = hooks;
    InstallDialogHooks(*dm);
    EXPECT_TRUE(widgets::hasDatePicker());
    // Added to the open second tour cursor, which stays open.
    EXPECT_TRUE(DataModule1().TabLUTour().isOpen());
    EXPECT_NE(DataModule1().TabLUTour().findField(u"TO_PersonName"_s), nullptr);
    ASSERT_TRUE(hooks.selectTourObjekt);
    WhenShown<TF_DbSelect>([](TF_DbSelect& d) {
        EXPECT_EQ(d.windowTitle(), u"Objekt auswählen"_s);
        EXPECT_EQ(d.lookupTable()->field(u"O_Nr"_s).asIntegerOr(0), 501); // 999 is unknown
        d.lookupTable()->locate({u"O_Nr"_s}, {502});
        d.btnOK()->click();
    });
    EXPECT_EQ(hooks.selectTourObjekt(999), 502);
    ASSERT_TRUE(hooks.selectNotdienst);
    WhenShown<TF_DbSelect>([](TF_DbSelect& d) {
        EXPECT_EQ(d.windowTitle(), u"Notdienst auswählen"_s);
        d.lookupTable()->locate({u"ND_Nr"_s}, {502});
        d.btnOK()->click();
    });
    EXPECT_EQ(hooks.selectNotdienst(999), 502);
    widgets::setDatePicker({});
    hooks = saved;
}

} // namespace
