#include "commercial/billing/rgvediting.h"

#include "commercial/billing/invoicetemplates.h"
#include "commercial/documents/documentediting.h"
#include "commercial/documents/documentsums.h"
#include "commercial/documents/documenttables.h"
#include "commercial/documents/fakturainit.h"
#include "commercial/documents/headfills.h"
#include "commercial/documents/kopffusstext.h"
#include "commercial/documents/linecopies.h"
#include "commercial/documents/linerules.h"
#include "commercial/documents/vatrates.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/values/datetimevalue.h"
#include "platform/errors.h"
#include "platform/table/table.h"

#include <QHash>
#include <utility>

using table::Table;

namespace {

const QString kLumo = QStringLiteral("LumoDB");

// What a template without object takes from the copied document's head.
const char* const kCopiedHeadFields[] = {
    "R_ObjektNr",
    "R_OMatch",
    "R_OName1",
    "R_OName2",
    "R_OName3",
    "R_OStrasse",
    "R_OPlz",
    "R_OOrt",
    "R_KundenNr",
    "R_KMatch",
    "R_Kname1",
    "R_Kname2",
    "R_Kname3",
    "R_KStrasse",
    "R_KPlz",
    "R_KOrt",
    "R_ZahlBedID",
    "R_ZahlBed",
    "R_ZahlBedSkonto",
    "R_ZahlBedSkonto2",
    "R_ZahlBedTage",
    "R_ZahlBedTage2",
    "R_ZahlBedNettoTage",
    "R_KFID",
    "R_AutoLS",
    "R_Creator",
    "R_Betreuer",
    "R_Ausgesetzt",
    "R_KopfText",
    "R_FussText",
    "R_VorspannText",
    "R_NachspannText",
    "R_Memo",
    "R_SammelRgText",
    "R_AnrID0",
    "R_AnrID1",
    "R_AnrID2",
    "R_AdrZweck0",
    "R_AdrZweck1",
};

void postIfEditing(Table& t) {
    if (t.isEditing())
        t.post();
}

void copyHeadFields(TDocSource source, int sourceId, Table& head) {
    auto from = OpenTempTable(GetDocSourceAlias(source), GetDocSourceKopfTable(source));
    if (!from->locate({QStringLiteral("R_ID")}, {sourceId}))
        return;
    EnsureEditOrInsert(head);
    for (const char* name : kCopiedHeadFields) {
        table::Field* value = from->findField(QLatin1String(name));
        table::Field* target = head.findField(QLatin1String(name));
        if (value && target && !value->isNull())
            target->setValue(value->value());
    }
    head.post();
}

// The templates in the order shown: the same index and filter on a cursor
// of the walk's own, so that the window's cursor and its lines stay still.
std::unique_ptr<Table> templatesAsShown(Table& shown) {
    postIfEditing(shown);
    auto t = OpenTempTable(kLumo, shown.tableName(), shown.indexName());
    if (shown.isFiltered() && !shown.filter().isEmpty()) {
        t->setFilter(shown.filter());
        t->setFiltered(true);
    }
    return t;
}

QString templateFailedText(Table& tpl) {
    return QStringLiteral("Die Rechnungsvorlage %1 konnte nicht aktualisiert werden.")
        .arg(FieldText(tpl, QStringLiteral("R_Nr")));
}

// Runs change on every template shown (in its own transaction, the first
// failure raised with the template's name) and step after each one changed;
// change answers false for a template it leaves alone. The window's cursor
// reads the rows again at the end.
int walkTemplates(Table& shown, const std::function<void()>& step,
                  const std::function<bool(Table& tpl, bool check)>& change,
                  std::initializer_list<Table*> more = {}) {
    auto templates = templatesAsShown(shown);
    int done = 0;
    for (templates->first(); !templates->eof() && !templates->isEmpty(); templates->next()) {
        Table& tpl = *templates;
        if (!change(tpl, true))
            continue;
        std::vector<Table*> cursors{&tpl};
        cursors.insert(cursors.end(), more.begin(), more.end());
        ChangeAllOrNothing(templateFailedText(tpl), cursors, [&] { change(tpl, false); });
        ++done;
        if (step)
            step();
    }
    RefreshIfActive(shown);
    return done;
}

QDate storedDate(Table& t, const QString& name) {
    const table::Field& f = t.field(name);
    return f.isNull() ? QDate() : f.asDate();
}

} // namespace

void AppendNewRgvHead(Table& head, int printFormNo) {
    head.append();
    CancelEditOnError(head, [&] {
        SetFieldsIfPresent(head, {{QStringLiteral("R_Nr"), QString()},
                                  {QStringLiteral("R_Betreuer"), QString()},
                                  {QStringLiteral("R_Creator"), 0},
                                  {QStringLiteral("R_Drucke"), 0},
                                  {QStringLiteral("R_PrintFormNo"), printFormNo},
                                  {QStringLiteral("R_RgState"), 2},
                                  {QStringLiteral("R_PlanDatum"), QVariant()},
                                  {QStringLiteral("R_DatumErstell"), QVariant()},
                                  {QStringLiteral("R_DatumDruck"), QVariant()},
                                  {QStringLiteral("R_Jahr"), 0},
                                  {QStringLiteral("R_Monat"), 0},
                                  {QStringLiteral("R_FormNr"), 0},
                                  {QStringLiteral("R_ObjektNr"), 0},
                                  {QStringLiteral("R_KundenNr"), 0},
                                  {QStringLiteral("R_Buchung"), 0},
                                  {QStringLiteral("R_FibuKonto2"), 0},
                                  {QStringLiteral("R_FKontoNr"), 0},
                                  {QStringLiteral("R_Anzpos"), 0},
                                  {QStringLiteral("R_KFID"), 0},
                                  {QStringLiteral("R_ZahlBedID"), 0},
                                  {QStringLiteral("R_ZahlBedTage"), 0},
                                  {QStringLiteral("R_ZahlBedTage2"), 0},
                                  {QStringLiteral("R_ZahlBedNettoTage"), 0},
                                  {QStringLiteral("R_ZahlBedSkonto"), 0},
                                  {QStringLiteral("R_ZahlBedSkonto2"), 0},
                                  {QStringLiteral("R_Netto"), 0},
                                  {QStringLiteral("R_Netto0"), 0},
                                  {QStringLiteral("R_Netto1"), 0},
                                  {QStringLiteral("R_Netto2"), 0},
                                  {QStringLiteral("R_Brutto"), 0},
                                  {QStringLiteral("R_Mwst"), 0},
                                  {QStringLiteral("R_Mwst0"), 0},
                                  {QStringLiteral("R_Mwst1"), 0},
                                  {QStringLiteral("R_Mwst2"), 0},
                                  {QStringLiteral("R_Selected"), false},
                                  {QStringLiteral("R_ZahlBed"), QString()},
                                  {QStringLiteral("R_KopfText"), QString()},
                                  {QStringLiteral("R_FussText"), QString()}});
        // The interval last: its rule fills R_IVname.
        head.field(QStringLiteral("R_Intervall")).setValue(0);
        head.post();
    });
}

void SetRgvObjekt(Table& head, int objektNr) {
    THeadFillOptions options;
    options.post = false;
    CancelEditOnError(head, [&] {
        FillKopfFromObjekt(head, objektNr, options);
        head.field(QStringLiteral("R_Nr")).setValue(NextRgvNr(objektNr));
        head.post();
    });
}

void ChangeRgvNotBefore(Table& head, Table& lines, const QDate& date) {
    ChangeAllOrNothing(QStringLiteral("Das Datum konnte nicht geändert werden."), {&head, &lines},
                       [&] {
                           postIfEditing(lines);
                           EnsureEditOrInsert(head);
                           head.field(QStringLiteral("R_DatumDruck")).setValue(date);
                           head.post();
                           RecalcDocumentWithVatRates(lines, head);
                           postIfEditing(head);
                       });
}

void RecalcRgv(Table& head, Table& lines, const QDate& today) {
    ChangeAllOrNothing(QStringLiteral("Die Rechnungsvorlage konnte nicht berechnet werden."),
                       {&head, &lines}, [&] {
                           postIfEditing(lines);
                           EnsureEditOrInsert(head);
                           head.field(QStringLiteral("R_DatumErstell")).setValue(today);
                           head.post();
                           RecalcDocumentWithVatRates(lines, head);
                           postIfEditing(head);
                       });
}

int CopyIntoRgv(TDocSource source, const QString& sourceNr, Table& head, Table& lines) {
    int sourceId = 0;
    if (!DataModule1().FindDocIdByNr(source, sourceNr, sourceId))
        return -1;
    postIfEditing(lines);
    postIfEditing(head);
    const int headId = FieldInt(head, QStringLiteral("R_ID"));
    int copied = 0;
    ChangeAllOrNothing(
        QStringLiteral("Die Positionen konnten nicht übernommen werden."), {&lines, &head}, [&] {
            if (FieldInt(head, QStringLiteral("R_ObjektNr")) == 0)
                copyHeadFields(source, sourceId, head);
            copied = CopiedOrRaise(CopyDocumentPositions(TLineCopyTarget::Rechnungsvorlage, source,
                                                         sourceId, headId, sourceNr, lines));
            if (copied == 0)
                return;
            RefreshIfActive(lines);
            RecalcDocumentSums(lines, head);
            postIfEditing(head);
        });
    return copied;
}

void SetRgvNotBefore(Table& head, const QDate& date, const QDate& today) {
    CancelEditOnError(head, [&] {
        EnsureEditOrInsert(head);
        table::Field& field = head.field(QStringLiteral("R_DatumDruck"));
        if (date.isValid())
            field.setValue(date);
        else
            field.clear();
        UpdateRgvPlanDatum(head, today);
        head.post();
    });
}

int UpdateAllRgvVat(Table& shown, const QDate& today, const std::function<void()>& step) {
    auto lines = OpenTempTable(kLumo, QStringLiteral("RgvSatz.DB"), QStringLiteral("S_IRef"));
    const std::vector<TVatRateRow> rates = [] {
        auto table = OpenTempTable(kLumo, QStringLiteral("Mwstsatz.db"));
        return ReadVatRateRows(*table);
    }();
    const TDateTime now = DateTimeOfDate(today);
    return walkTemplates(shown, step,
                         [&](Table& tpl, bool check) {
                             if (check)
                                 return true;
                             tpl.edit();
                             tpl.field(QStringLiteral("R_DatumErstell")).setValue(today);
                             const QDate notBefore =
                                 storedDate(tpl, QStringLiteral("R_DatumDruck"));
                             if (!notBefore.isValid() || notBefore < RgvVatFloor)
                                 tpl.field(QStringLiteral("R_DatumDruck")).setValue(RgvVatFloor);
                             const int id = FieldInt(tpl, QStringLiteral("R_ID"));
                             lines->setRange({id}, {id});
                             RecalcDocumentTables(*lines, tpl, rates, now, true);
                             tpl.post();
                             return true;
                         },
                         {lines.get()});
}

int ReloadAllRgvKopfFuss(Table& shown, const std::function<void()>& step) {
    QHash<int, std::pair<QString, QString>> texts;
    return walkTemplates(shown, step, [&](Table& tpl, bool check) {
        const int kfId = FieldInt(tpl, QStringLiteral("R_KFID"));
        if (check)
            return kfId != 0;
        if (!texts.contains(kfId)) {
            std::pair<QString, QString>& pair = texts[kfId];
            LoadKopfFussText(kfId, pair.first, pair.second);
        }
        const auto& [kopf, fuss] = texts[kfId];
        tpl.edit();
        tpl.field(QStringLiteral("R_KopfText")).setValue(kopf);
        tpl.field(QStringLiteral("R_FussText")).setValue(fuss);
        tpl.post();
        return true;
    });
}
