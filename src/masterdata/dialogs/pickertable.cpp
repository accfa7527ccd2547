#include "masterdata/dialogs/pickertable.h"

#include "core/data/lookups.h"
#include "core/data/timerworkpause.h"
#include "core/messages/messagecatalog.h"
#include "masterdata/dialogs/pickerfilters.h"
#include "masterdata/dialogs/selectrecord.h"
#include "platform/errors.h"

#include <QDate>
#include <optional>

using namespace Qt::StringLiterals;
using widgets::GridColumn;

namespace {

const QString kLumo = u"LumoDB"_s;

QList<GridColumn> objectColumns() {
    return {{u"O_Nr"_s, u"ObjNr."_s, 7},     {u"O_Match"_s, u"Suchbegriff"_s, 16},
            {u"O_Name1"_s, u"Name 1"_s, 26}, {u"O_Strasse"_s, u"Strasse"_s, 22},
            {u"O_Plz"_s, u"Plz"_s, 6},       {u"O_Ort"_s, u"Ort"_s, 18}};
}

QList<GridColumn> partnerColumns(const QString& numberTitle) {
    return {{u"K_Nr"_s, numberTitle, 7},     {u"K_Match"_s, u"Matchcode"_s, 16},
            {u"K_Name1"_s, u"Name 1"_s, 26}, {u"K_Name2"_s, u"Name 2"_s, 20},
            {u"K_Plz"_s, u"Plz"_s, 6},       {u"K_Ort"_s, u"Ort"_s, 18}};
}

QList<GridColumn> activityColumns() {
    return {{u"T_Nr"_s, u"Nr."_s, 6},
            {u"T_Gruppe"_s, u"Gruppe"_s, 12},
            {u"T_Match"_s, u"Suchbegriff"_s, 30},
            {u"T_BasisPreis"_s, u"Basispreis"_s, 11}};
}

QList<GridColumn> articleColumns() {
    return {{u"A_ArtNo"_s, u"Material-Nr"_s, 12},      {u"A_Gruppe"_s, u"Gruppe"_s, 10},
            {u"A_Bezeich1"_s, u"Bezeichnung 1"_s, 26}, {u"A_Bezeich2"_s, u"Bezeichnung 2"_s, 20},
            {u"A_Lagermenge"_s, u"Bestand"_s, 9},      {u"A_EkPreis"_s, u"Ek-Preis"_s, 10},
            {u"A_Preis1"_s, u"Vk-Preis"_s, 10}};
}

QString activeObjects(const PickerCall&) {
    return ActiveObjectFilter();
}

QString objectsOfCustomer(const PickerCall& call) {
    return ObjectsOfCustomerFilter(call.customerNr);
}

QString articlesOfObject(const PickerCall& call) {
    return ArticlesOfObjectFilter(call.objectId);
}

QString articlesOfSupplier(const PickerCall& call) {
    return u"A_LieferantID="_s + QString::number(call.supplierId);
}

QString unbilledServices(const PickerCall& call) {
    return UnbilledServicesFilter(call.objectId);
}

QString otherTemplates(const PickerCall& call) {
    return TemplateFilter(call.objectNr, call.start.toString());
}

QString vatRatesValidToday(const PickerCall&) {
    return VatRatesValidOnFilter(QDate::currentDate());
}

QVariant plzIdOfText(const PickerCall& call) {
    return FindPlzId(call.start.toString());
}

QVariant plzOrtOfId(const QVariant& id) {
    return QString(GetPlzById(id.toInt()) + u'|' + GetOrtById(id.toInt()));
}

// A row like base under another name, changed as change says.
PickerRow variant(PickerRow base, const QString& name, void (*change)(PickerRow&)) {
    base.name = name;
    change(base);
    return base;
}

// One row per picker; a field left out keeps the row type's default.
QList<PickerRow> buildTable() {
    const PickerRow object{.name = u"SelectObjekt"_s,
                           .form = u"TF_SelObjekt"_s,
                           .columns = objectColumns(),
                           .databaseName = kLumo,
                           .tableName = u"Objekte.DB"_s,
                           .keyField = u"O_Nr"_s,
                           .captionMessage = 65144,
                           .filter = activeObjects,
                           .sort = PickerSort::InOut};
    const PickerRow activity{.name = u"SelectTaetig"_s,
                             .form = u"TF_SelTaetig"_s,
                             .columns = activityColumns(),
                             .databaseName = kLumo,
                             .tableName = u"Taetig.DB"_s,
                             .keyField = u"T_Nr"_s,
                             .captionMessage = 65147,
                             .locateField = u"T_Match"_s,
                             .previewField1 = u"T_TextTour"_s,
                             .previewField2 = u"T_TextKontroll"_s};
    const PickerRow article{.name = u"SelectArtikel"_s,
                            .form = u"TF_SelArtikel"_s,
                            .columns = articleColumns(),
                            .databaseName = kLumo,
                            .tableName = u"Artikel.db"_s,
                            .keyField = u"A_ID"_s,
                            .captionMessage = 65148,
                            .filter = articlesOfObject,
                            .sort = PickerSort::InOut};
    return {
        {.name = u"SelectAdress"_s,
         .form = u"TF_SelAdress"_s,
         .columns = {{u"A_Nr"_s, u"Nummer"_s, 7},
                     {u"A_Match"_s, u"Suchbegriff"_s, 16},
                     {u"A_Name1"_s, u"Name1"_s, 26},
                     {u"A_Name2"_s, u"Name2"_s, 20},
                     {u"A_Strasse"_s, u"Strasse"_s, 22},
                     {u"A_Plz"_s, u"Plz"_s, 6},
                     {u"A_Ort"_s, u"Ort"_s, 18}},
         .databaseName = kLumo,
         .tableName = u"Adress.DB"_s,
         .keyField = u"A_Nr"_s,
         .captionMessage = 65140,
         .cancel = PickerCancel::Zero,
         .pausesTimer = false,
         .sort = PickerSort::InOut},
        {.name = u"SelectKostart"_s,
         .form = u"TF_SelKostart"_s,
         .columns = {{u"A_Nr"_s, u"Lfd. Nr"_s, 7},
                     {u"A_RubrikNr"_s, u"R-Nr."_s, 6},
                     {u"A_Rubrikname"_s, u"Rubrik"_s, 20},
                     {u"A_Text"_s, u"Beschreibung"_s, 30},
                     {u"A_Personal"_s, u"Gemeinkosten"_s, 12}},
         .databaseName = kLumo,
         .tableName = u"Kostart.DB"_s,
         .keyField = u"A_Nr"_s,
         .captionMessage = 65141},
        {.name = u"SelectPersonal"_s,
         .form = u"TF_SelPers"_s,
         .columns = {{u"P_Nr"_s, u"P.-Nr"_s, 7},
                     {u"P_Match"_s, u"Suchbegriff"_s, 16},
                     {u"P_Name1"_s, u"Name"_s, 24},
                     {u"P_Vorname"_s, u"Vorname"_s, 18}},
         .databaseName = kLumo,
         .tableName = u"Personal.DB"_s,
         .keyField = u"P_Nr"_s,
         .captionMessage = 65142},
        {.name = u"SelectDvGroup"_s,
         .form = u"TF_SelDvGroup"_s,
         .columns = {{u"DG_Type"_s, u"Typ"_s, 5},
                     {u"DG_Name"_s, u"Bezeichnung"_s, 26},
                     {u"DG_Mask"_s, u"Suchmasken"_s, 20},
                     {u"DG_Prefix"_s, u"Präfix"_s, 10},
                     {u"DG_Suffix"_s, u"Suffix"_s, 10}},
         .databaseName = kLumo,
         .tableName = u"DVgroups.DB"_s,
         .keyField = u"DG_ID"_s,
         .captionMessage = 65143},
        object,
        variant(object, u"SelectObjektOfKunde"_s,
                [](PickerRow& r) {
                    r.filter = objectsOfCustomer;
                    r.sort = PickerSort::In;
                }),
        variant(object, u"SelectObjektFromTable"_s,
                [](PickerRow& r) {
                    r.databaseName.clear();
                    r.tableName.clear();
                }),
        {.name = u"SelectKunde"_s,
         .form = u"TF_SelKunde"_s,
         .columns = partnerColumns(u"Kd-Nr."_s),
         .databaseName = kLumo,
         .tableName = u"Kunden.DB"_s,
         .keyField = u"K_Nr"_s,
         .captionMessage = 65145},
        {.name = u"SelectLieferant"_s,
         .form = u"TF_SelLieferant"_s,
         .columns = partnerColumns(u"Lief.-Nr."_s),
         .databaseName = kLumo,
         .tableName = u"Liefrnt.db"_s,
         .keyField = u"K_Nr"_s,
         .captionMessage = 65146},
        activity,
        variant(activity, u"SelectTaetigByID"_s,
                [](PickerRow& r) {
                    r.keyField = u"T_ID"_s;
                    r.sort = PickerSort::InOut;
                }),
        article,
        variant(article, u"SelectArtikelNr"_s, [](PickerRow& r) { r.keyField = u"A_ArtNo"_s; }),
        {.name = u"SelectVorlage"_s,
         .form = u"TF_SelVorlage"_s,
         .columns = {{u"R_Nr"_s, u"Nummer"_s, 10},
                     {u"R_ObjektNr"_s, u"Obj-Nr."_s, 7},
                     {u"R_OMatch"_s, u"Objekt-Bezeichnung"_s, 20},
                     {u"R_Beschreibung"_s, u"Beschreibung"_s, 28},
                     {u"R_DatumErstell"_s, u"Erstell-D."_s, 10},
                     {u"R_Brutto"_s, u"Brutto"_s, 11}},
         .keyField = u"R_Nr"_s,
         .filter = otherTemplates,
         .sort = PickerSort::Empty},
        {.name = u"SelectMengBez"_s,
         .form = u"TF_SelMengBez"_s,
         .columns = {{u"VE_Kurz"_s, u"Kurzbez."_s, 10}, {u"VE_Lang"_s, u"Langbezeichnung"_s, 30}},
         .databaseName = kLumo,
         .tableName = u"MgEinh.db"_s,
         .keyField = u"VE_Lang"_s,
         .captionMessage = 65149},
        {.name = u"SelectFremdleistung"_s,
         .form = u"TF_SelFremdleist"_s,
         .columns = {{u"R_Nr"_s, u"ER-Nr"_s, 10},
                     {u"S_Kurztext"_s, u"Kurztext"_s, 30},
                     {u"S_Menge"_s, u"Menge"_s, 9},
                     {u"S_MengBez"_s, u"Einheit"_s, 10},
                     {u"S_Brutto"_s, u"Brutto"_s, 11}},
         .databaseName = kLumo,
         .tableName = u"FremdLst.db"_s,
         .keyField = u"S_ID"_s,
         .captionMessage = 65150,
         .filter = unbilledServices},
        {.name = u"SelectLiefArtikelById"_s,
         .form = u"TF_SelLiefArtikel"_s,
         .columns = {{u"A_ArtNo"_s, u"Art.-Nr."_s, 8},
                     {u"A_LiefArtNo"_s, u"Lief-Art-Nr."_s, 14},
                     {u"A_Bezeich1"_s, u"Bezeichnung 1"_s, 24},
                     {u"A_Bezeich2"_s, u"Bezeichnung 2"_s, 18},
                     {u"A_BestellmengeMin"_s, u"Min.-Bestm."_s, 9},
                     {u"A_VerpackMenge"_s, u"Gebinde"_s, 8},
                     {u"A_EkPreis"_s, u"Ek-Preis"_s, 10}},
         .databaseName = kLumo,
         .tableName = u"Liefart.db"_s,
         .keyField = u"A_ID"_s,
         .captionMessage = 65148,
         .filter = articlesOfSupplier,
         .sort = PickerSort::InOut},
        {.name = u"SelectPlzOrt"_s,
         .form = u"TF_SelPlz"_s,
         .columns = {{u"PLZ"_s, u"PLZ"_s, 8},
                     {u"ORT"_s, u"Ort"_s, 30},
                     {u"VORWAHL"_s, u"Vorwahl"_s, 10}},
         .databaseName = kLumo,
         .tableName = u"PLZ.DB"_s,
         .keyField = u"P_ID"_s,
         .captionMessage = 65151,
         .startKey = plzIdOfText,
         .okResult = plzOrtOfId,
         .cancel = PickerCancel::EmptyText,
         .pausesTimer = false},
        {.name = u"PickVatRate"_s,
         .form = u"TF_Mwst"_s,
         .columns = {{u"Mwst_Nr"_s, u"Kennzeichen"_s, 11}, {u"Mwst_Lang"_s, u"Bezeichnung"_s, 30}},
         .gridHeight = 120,
         .fixedHeight = true,
         .gridWidth = 400,
         .databaseName = kLumo,
         .tableName = u"Mwstsatz.db"_s,
         .keyField = u"Mwst_Nr"_s,
         .captionMessage = 65152,
         .filter = vatRatesValidToday,
         .sort = PickerSort::Empty},
        // A fresh picker instance holds no sort: the list starts on its first
        // column, and a sort chosen in it ends with the call.
        {.name = u"SelectNotdienst"_s,
         .form = u"TF_Notdienst"_s,
         .columns = {{u"ND_Nr"_s, u"ND-Nr"_s, 7},
                     {u"ND_Match"_s, u"Suchbegriff"_s, 16},
                     {u"ND_Branche"_s, u"Branche"_s, 16},
                     {u"ND_Name1"_s, u"Name"_s, 26}},
         .gridHeight = 240,
         .fixedHeight = true,
         .databaseName = kLumo,
         .tableName = u"Notdnst.DB"_s,
         .keyField = u"ND_Nr"_s,
         .caption = u"Notdienst auswählen"_s,
         .pausesTimer = false,
         .sort = PickerSort::Empty},
        {.name = u"SelectZahlBed"_s,
         .form = u"TF_SelZahlbed"_s,
         .columns = {{u"Z_ID"_s, u"Nr"_s, 4},
                     {u"Z_Kurz"_s, u"Kurztext"_s, 14},
                     {u"Z_Text"_s, u"Text"_s, 34},
                     {u"Z_Tage"_s, u"Skto1 Tg"_s, 8},
                     {u"Z_Skonto"_s, u"Skto1 %"_s, 8},
                     {u"Z_Tage2"_s, u"Skto2 Tg"_s, 8},
                     {u"Z_Skonto2"_s, u"Skto2 %"_s, 8},
                     {u"Z_NettoTage"_s, u"Netto Tg"_s, 8}},
         .gridHeight = 240,
         .fixedHeight = true,
         .databaseName = kLumo,
         .tableName = u"Zahlbed.DB"_s,
         .keyField = u"Z_ID"_s,
         .caption = u"Zahlungsbedingungen auswählen"_s,
         .pausesTimer = false,
         .sort = PickerSort::Empty},
    };
}

QVariant cancelValue(const PickerRow& row, const PickerCall& call) {
    switch (row.cancel) {
    case PickerCancel::Zero:
        return 0;
    case PickerCancel::EmptyText:
        return QString();
    case PickerCancel::StartValue:
        break;
    }
    return call.start;
}

} // namespace

const QList<PickerRow>& PickerTable() {
    static const QList<PickerRow> table = buildTable();
    return table;
}

const PickerRow& PickerRowNamed(const QString& name) {
    for (const PickerRow& row : PickerTable())
        if (row.name == name)
            return row;
    throw DbError(u"Unbekannte Auswahl: "_s + name);
}

LookupGrid PickerGrid(const PickerRow& row, const PickerCall& call) {
    LookupGrid grid;
    grid.columns = row.columns;
    grid.width = row.gridWidth;
    grid.height = row.fixedHeight || call.gridHeight <= 0 ? row.gridHeight : call.gridHeight;
    return grid;
}

QString PickerCaption(const PickerRow& row, const PickerCall& call) {
    if (row.captionMessage != 0)
        return LoadMessage(row.captionMessage);
    if (!row.caption.isEmpty())
        return row.caption;
    return call.caption;
}

PickerOutcome RunPicker(const PickerRow& row, PickerCall& call) {
    std::optional<TimerWorkPause> paused;
    if (row.pausesTimer)
        paused.emplace();
    const LookupGrid grid = PickerGrid(row, call);
    const QString caption = PickerCaption(row, call);
    const QString databaseName = row.databaseName.isEmpty() ? call.databaseName : row.databaseName;
    const QString tableName = row.databaseName.isEmpty() ? call.tableName : row.tableName;
    const QString filter = row.filter ? row.filter(call) : QString();
    QString sortField =
        row.sort == PickerSort::Empty || !call.sortField ? QString() : *call.sortField;
    QVariant key = row.startKey ? row.startKey(call) : call.start;

    bool chosen = false;
    if (row.previewField1.isEmpty() && row.locateField.isEmpty()) {
        chosen = SelectRecord(grid, row.keyField, key, call.left, call.top, caption, databaseName,
                              tableName, sortField, filter);
    } else {
        const bool locate = !row.locateField.isEmpty() && call.start.toLongLong() == 0;
        chosen = SelectRecordWithPreview(grid, row.keyField, key,
                                         locate ? row.locateField : QString(), call.searchText,
                                         call.left, call.top, caption, databaseName, tableName,
                                         sortField, filter, row.previewField1, row.previewField2);
    }
    if (row.sort == PickerSort::InOut && call.sortField)
        *call.sortField = sortField;

    PickerOutcome outcome;
    outcome.chosen = chosen;
    outcome.value = !chosen ? cancelValue(row, call) : row.okResult ? row.okResult(key) : key;
    return outcome;
}
