#include "masterdata/dialogs/pickers.h"

#include "commercial/documents/vatlookups.h"
#include "core/values/rangeerrors.h"
#include "masterdata/dialogs/pickertable.h"

#include <QDate>

using namespace Qt::StringLiterals;

namespace {

PickerCall callOf(const QVariant& start, int gridHeight, int left, int top) {
    PickerCall call;
    call.start = start;
    call.gridHeight = gridHeight;
    call.left = left;
    call.top = top;
    return call;
}

// The outcome of the named row; sortField is the caller's variable.
QVariant pick(const QString& name, PickerCall call, QString* sortField) {
    call.sortField = sortField;
    return RunPicker(PickerRowNamed(name), call).value;
}

// A sort field handed in by value: the lookup works on a copy.
QVariant pickIn(const QString& name, const PickerCall& call, const QString& sortField) {
    QString copy = sortField;
    return pick(name, call, &copy);
}

} // namespace

int SelectAdress(int startNr, int gridHeight, int left, int top, QString& sortField) {
    return pick(u"SelectAdress"_s, callOf(startNr, gridHeight, left, top), &sortField).toInt();
}

int SelectKostart(int startNr, int gridHeight, int left, int top, const QString& sortField) {
    return pickIn(u"SelectKostart"_s, callOf(startNr, gridHeight, left, top), sortField).toInt();
}

int SelectPersonal(int startNr, int gridHeight, int left, int top, const QString& sortField) {
    return pickIn(u"SelectPersonal"_s, callOf(startNr, gridHeight, left, top), sortField).toInt();
}

int SelectDvGroup(int startId, int gridHeight, int left, int top, const QString& sortField) {
    return pickIn(u"SelectDvGroup"_s, callOf(startId, gridHeight, left, top), sortField).toInt();
}

int SelectObjekt(int startNr, int gridHeight, int left, int top, QString& sortField) {
    return pick(u"SelectObjekt"_s, callOf(startNr, gridHeight, left, top), &sortField).toInt();
}

int SelectObjektOfKunde(int startNr, int kundeNr, int gridHeight, int left, int top,
                        const QString& sortField) {
    PickerCall call = callOf(startNr, gridHeight, left, top);
    call.customerNr = kundeNr;
    return pickIn(u"SelectObjektOfKunde"_s, call, sortField).toInt();
}

int SelectObjektFromTable(int startNr, int gridHeight, int left, int top, QString& sortField,
                          const QString& databaseName, const QString& tableName) {
    PickerCall call = callOf(startNr, gridHeight, left, top);
    call.databaseName = databaseName;
    call.tableName = tableName;
    return pick(u"SelectObjektFromTable"_s, call, &sortField).toInt();
}

int SelectKunde(int startNr, int gridHeight, int left, int top, const QString& sortField) {
    return pickIn(u"SelectKunde"_s, callOf(startNr, gridHeight, left, top), sortField).toInt();
}

int SelectLieferant(int startNr, int gridHeight, int left, int top, const QString& sortField) {
    return pickIn(u"SelectLieferant"_s, callOf(startNr, gridHeight, left, top), sortField).toInt();
}

int SelectTaetig(int startNr, int gridHeight, int left, int top, const QString& searchText,
                 const QString& sortField) {
    PickerCall call = callOf(startNr, gridHeight, left, top);
    call.searchText = searchText;
    return pickIn(u"SelectTaetig"_s, call, sortField).toInt();
}

int SelectTaetigByID(int startId, int gridHeight, int left, int top, const QString& searchText,
                     QString& sortField) {
    PickerCall call = callOf(startId, gridHeight, left, top);
    call.searchText = searchText;
    return pick(u"SelectTaetigByID"_s, call, &sortField).toInt();
}

int SelectArtikel(int startId, int objectId, int gridHeight, int left, int top,
                  QString& sortField) {
    PickerCall call = callOf(startId, gridHeight, left, top);
    call.objectId = objectId;
    return pick(u"SelectArtikel"_s, call, &sortField).toInt();
}

QString SelectArtikelNr(int objectId, const QString& startArtNo, int gridHeight, int left, int top,
                        QString& sortField) {
    PickerCall call = callOf(startArtNo, gridHeight, left, top);
    call.objectId = objectId;
    return pick(u"SelectArtikelNr"_s, call, &sortField).toString();
}

int SelectLiefArtikelById(int startLiefArtId, int lieferantId, int gridHeight, QString& sortField,
                          int top, int left) {
    PickerCall call = callOf(startLiefArtId, gridHeight, left, top);
    call.supplierId = lieferantId;
    return pick(u"SelectLiefArtikelById"_s, call, &sortField).toInt();
}

bool SelectVorlage(TDocSource source, int gridHeight, int left, int top, const QString& unused,
                   const QString& caption, int objectNr, QString& docNr) {
    Q_UNUSED(unused);
    if (int(source) < 0 || int(source) > 255)
        RaiseRangeError();
    PickerCall call = callOf(docNr, gridHeight, std::min(left, 80), top);
    call.caption = caption;
    call.objectNr = objectNr;
    call.databaseName = GetDocSourceAlias(source);
    call.tableName = GetDocSourceKopfTable(source);
    const PickerOutcome outcome = RunPicker(PickerRowNamed(u"SelectVorlage"_s), call);
    if (outcome.chosen)
        docNr = outcome.value.toString();
    return outcome.chosen;
}

QString SelectMengBez(const QString& startText, int gridHeight, int left, int top,
                      const QString& sortField) {
    return pickIn(u"SelectMengBez"_s, callOf(startText, gridHeight, left, top), sortField)
        .toString();
}

int SelectFremdleistung(int startId, int objectId, int gridHeight, int left, int top,
                        const QString& sortField) {
    PickerCall call = callOf(startId, gridHeight, left, top);
    call.objectId = objectId;
    return pickIn(u"SelectFremdleistung"_s, call, sortField).toInt();
}

QString SelectPlzOrt(const QString& plzOrt, const QString& sortField, int gridHeight, int left,
                     int top) {
    return pickIn(u"SelectPlzOrt"_s, callOf(plzOrt, gridHeight, left, top), sortField).toString();
}

int SelectNotdienst(int startNr, int left, int top) {
    PickerCall call = callOf(startNr, 0, left, top);
    return RunPicker(PickerRowNamed(u"SelectNotdienst"_s), call).value.toInt();
}

bool SelectZahlBed(int& id, int left, int top) {
    PickerCall call = callOf(id, 0, left, top);
    const PickerOutcome outcome = RunPicker(PickerRowNamed(u"SelectZahlBed"_s), call);
    if (outcome.chosen)
        id = outcome.value.toInt();
    return outcome.chosen;
}

bool PickVatRate(int& code, double& rate, QString& shortText, QString& longText, int left,
                 int top) {
    PickerCall call = callOf(code, 0, left, top);
    const PickerOutcome outcome = RunPicker(PickerRowNamed(u"PickVatRate"_s), call);
    if (!outcome.chosen)
        return false;
    code = outcome.value.toInt();
    const TVatLookup found = LookupVatRate(code, DateTimeOfDate(QDate::currentDate()));
    rate = found.Rate;
    shortText = found.Kurz;
    longText = found.Lang;
    return true;
}
