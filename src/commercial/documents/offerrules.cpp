#include "commercial/documents/offerrules.h"

#include "commercial/documents/documentrules.h"
#include "commercial/documents/documentsums.h"
#include "commercial/documents/linerules.h"
#include "commercial/documents/vatrates.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/values/minutes.h"
#include "platform/table/table.h"

#include <cmath>

using table::Field;
using table::Table;

namespace {

const QString kDb = QStringLiteral("LumoDB");

// Set while the base price is written back from a typed unit price, so that
// the base-price rule does not answer it.
bool basisVkpreisUpdating = false;

int posArtOf(Table& line) {
    return GetFieldIntOrDefault(line.findField(QStringLiteral("S_PosArt")), PosArtNormal);
}

struct OfferFactors {
    double aufschlag = 0.0;
    double raten = 0.0;
    double einsaetze = 0.0;
};

OfferFactors factorsOf(Table& line, Table& head) {
    OfferFactors f;
    if (head.isOpen() && !head.isEmpty()) {
        f.aufschlag = FieldFloat(head, "R_CalcAufschlag");
        f.raten = FieldFloat(head, "R_CalcRaten");
    }
    f.einsaetze = FieldFloat(line, "S_Einsaetze");
    return f;
}

// The base price follows a unit price computed from quantity, price or code.
void writeBackBasisVkpreis(TDataModule1&, Table& line, Table& head) {
    const OfferFactors f = factorsOf(line, head);
    const double basis =
        OfferBasePrice(FieldFloat(line, "S_EPreis"), f.aufschlag, f.raten, f.einsaetze);
    if (FieldFloat(line, "S_BasisVkpreis") == basis)
        return;
    EnsureEditOrInsert(line);
    basisVkpreisUpdating = true;
    struct Clear {
        ~Clear() { basisVkpreisUpdating = false; }
    } clear;
    line.field(QStringLiteral("S_BasisVkpreis")).setValue(basis);
}

// The unit price follows the base price; false when it was already right.
bool applyBasePriceRule(TDataModule1& dm, Table& line) {
    if (dm.IsRecalcSuspended() || basisVkpreisUpdating || dm.IsInitNewRecord() ||
        posArtOf(line) >= PosArtTextLine)
        return false;
    const OfferFactors f = factorsOf(line, dm.TabAngKopf());
    const double price =
        OfferUnitPrice(FieldFloat(line, "S_BasisVkpreis"), f.aufschlag, f.raten, f.einsaetze);
    if (FieldFloat(line, "S_EPreis") == price)
        return false;
    EnsureEditOrInsert(line);
    line.field(QStringLiteral("S_EPreis")).setValue(price);
    return true;
}

void intervalRule(TDataModule1&, Table& line, Field& interval) {
    auto iv = OpenTempTable(kDb, QStringLiteral("CalcIV.db"));
    int uses = 0;
    if (!interval.isNull() && iv->locate({QStringLiteral("CI_ID")}, {interval.asInteger()}))
        uses =
            int(std::lround(GetFieldFloatOrDefault(iv->findField(QStringLiteral("CI_ApJ")), 0.0)));
    EnsureEditOrInsert(line);
    line.field(QStringLiteral("S_Einsaetze")).setValue(uses);
}

QString minutesText(const Field& f) {
    if (f.isNull())
        return QString();
    return MinutesToStr(qint32(std::lround(f.asFloat())), 10) + QStringLiteral(" Std ");
}

} // namespace

double OfferUnitPrice(double basisVkpreis, double aufschlag, double raten, double einsaetze) {
    const double r = raten == 0.0 ? 1.0 : raten;
    const double e = einsaetze == 0.0 ? 1.0 : einsaetze;
    return (aufschlag + 100.0) * basisVkpreis / 100.0 * e / r;
}

double OfferBasePrice(double ePreis, double aufschlag, double raten, double einsaetze) {
    const double r = raten == 0.0 ? 1.0 : raten;
    const double e = einsaetze == 0.0 ? 1.0 : einsaetze;
    const double divisor = (aufschlag + 100.0) / 100.0 * e;
    // A markup of -100 % leaves no base price to speak of.
    return divisor == 0.0 ? 0.0 : ePreis * r / divisor;
}

void RecalcAngebotPreise(TDataModule1& dm) {
    Table& line = dm.TabAngSatz();
    Table& head = dm.TabAngKopf();
    if (!line.isOpen() || !head.isOpen() || head.isEmpty())
        return;
    const int headId = GetFieldIntOrDefault(head.findField(QStringLiteral("R_ID")), 0);
    if (line.isEditing())
        line.post();
    const table::Bookmark mark = line.bookmark();
    QList<int> ids;
    // Only the offer's own lines: a new head shows none yet.
    for (line.first(); !line.eof() && !line.isEmpty(); line.next())
        if (GetFieldIntOrDefault(line.findField(QStringLiteral("S_Ref")), 0) == headId)
            ids.append(GetFieldIntOrDefault(line.findField(QStringLiteral("S_ID")), 0));
    for (int id : ids) {
        if (!line.locate({QStringLiteral("S_ID")}, {id}))
            continue;
        if (applyBasePriceRule(dm, line))
            line.post();
    }
    if (mark.valid && line.bookmarkValid(mark))
        line.gotoBookmark(mark);
    RecalcDocumentSums(line, head);
}

void BindOfferRules(TDataModule1& dm) {
    LineTableRules r;
    r.line = QStringLiteral("TabAngSatz");
    r.head = QStringLiteral("TabAngKopf");
    r.defaults = [](Table& line) {
        const auto& calcOpen = DocumentFormHooksRegistry().CalcFormOpen;
        std::vector<std::pair<QString, QVariant>> values = NewLineValues();
        values.insert(values.end(), {
                                        {QStringLiteral("S_Kurztext"), QString()},
                                        {QStringLiteral("S_Text"), QString()},
                                        {QStringLiteral("S_SrcNr"), QString()},
                                        {QStringLiteral("S_BasisPreis"), 0},
                                        {QStringLiteral("S_BasisVkpreis"), 0},
                                        {QStringLiteral("S_Origin"), 0},
                                        {QStringLiteral("S_Calculated"), calcOpen && calcOpen()},
                                        {QStringLiteral("S_Intervall"), 7},
                                        {QStringLiteral("S_Einsaetze"), 1},
                                    });
        SetFieldsIfPresent(line, values);
    };
    r.focusAfterNew = [] {
        const DocumentFormHooks& hooks = DocumentFormHooksRegistry();
        const auto& focus = hooks.CalcFormOpen && hooks.CalcFormOpen() ? hooks.FocusCalcColumn
                                                                       : hooks.FocusAngEditColumn;
        if (focus)
            focus(QStringLiteral("TabAngSatzS_Menge"));
    };
    r.recalcFields = {QStringLiteral("S_Menge"), QStringLiteral("S_EPreis"),
                      QStringLiteral("S_MwstKz"), QStringLiteral("S_BasisMinuten")};
    r.recalcWhen = [](TDataModule1& module, Table& line) {
        return !module.IsInitNewRecord() && !module.IsRecalcSuspended() &&
               posArtOf(line) < PosArtTextLine;
    };
    r.afterRecalc = writeBackBasisVkpreis;
    r.afterPosArtDefaults = [](TDataModule1&, Table& line) {
        const int kind = posArtOf(line);
        if (kind == PosArtTextLine || kind == PosArtZwisumme || kind == PosArtNeueSeite)
            line.field(QStringLiteral("S_Intervall")).setValue(0);
    };
    auto basePrice = [](TDataModule1& module, Table& line, Field&) {
        applyBasePriceRule(module, line);
    };
    r.fieldRules = {{QStringLiteral("S_Intervall"), intervalRule},
                    {QStringLiteral("S_BasisVkpreis"), basePrice},
                    {QStringLiteral("S_Einsaetze"), basePrice}};
    BindCommonLineRules(dm, r);

    HeadTableRules h;
    h.head = r.head;
    h.line = r.line;
    h.defaults = [](Table& head) {
        SetFieldsIfPresent(
            head, {{QStringLiteral("R_CalcAufschlag"), 0}, {QStringLiteral("R_CalcRaten"), 1}});
    };
    auto recalcPrices = [](TDataModule1& module, Table&, Field&) {
        if (!module.IsInitNewRecord())
            RecalcAngebotPreise(module);
    };
    h.fieldRules = {{QStringLiteral("R_CalcAufschlag"), recalcPrices},
                    {QStringLiteral("R_CalcRaten"), recalcPrices}};
    BindDocumentHeadRules(dm, h);
    Table& head = dm.TabAngKopf();
    for (const char* name : {"R_CalczeitInt", "R_CalczeitEinsatz"})
        if (Field* f = head.findField(QLatin1String(name)))
            f->onGetText = minutesText;
}
