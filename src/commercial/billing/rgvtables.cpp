#include "commercial/billing/rgvtables.h"

#include "commercial/billing/invoicetemplates.h"
#include "commercial/documents/documentrules.h"
#include "commercial/documents/documentservices.h"
#include "commercial/documents/documentsums.h"
#include "commercial/documents/linerules.h"
#include "commercial/documents/vatlookups.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/lookups.h"
#include "core/messages/messages.h"
#include "core/values/datetimevalue.h"
#include "platform/errors.h"
#include "platform/table/table.h"

#include <QDate>
#include <cmath>

using table::Field;
using table::Table;
using table::TableError;

namespace {

const QString kRechmode = QStringLiteral("S_Rechmode");

void headDefaults(Table& head) {
    SetFieldsIfPresent(head, {{QStringLiteral("R_AutoLS"), false},
                              {QStringLiteral("R_Ausgesetzt"), false},
                              {QStringLiteral("R_LeerRechnungErlaubt"), false}});
}

// The object of the line's template: the head's when it is the line's own.
int objektOfLine(Table& line, Table& head) {
    const int ref = FieldInt(line, QStringLiteral("S_Ref"));
    if (head.isOpen() && !head.isEmpty() && FieldInt(head, QStringLiteral("R_ID")) == ref)
        return FieldInt(head, QStringLiteral("R_ObjektNr"));
    auto heads = OpenTempTable(QStringLiteral("LumoDB"), head.tableName());
    return heads->locate({QStringLiteral("R_ID")}, {ref})
               ? FieldInt(*heads, QStringLiteral("R_ObjektNr"))
               : 0;
}

bool activityPlanned(int objektNr, int taetigNr) {
    return objektNr != 0 && taetigNr != 0 && FindObjTaetId(objektNr, taetigNr) != 0;
}

void lineDefaults(Table& line) {
    std::vector<std::pair<QString, QVariant>> values = NewLineValues();
    values.insert(values.end(), {{QStringLiteral("S_Quelle"), 0},
                                 {QStringLiteral("S_QuellNr"), QStringLiteral("manuell")},
                                 {QStringLiteral("S_RefID"), 0},
                                 {QStringLiteral("S_SrcNr"), QString()},
                                 {QStringLiteral("S_Origin"), 0},
                                 {QStringLiteral("S_ErloesKonto"), 0},
                                 {QStringLiteral("S_ProvisID"), 0},
                                 {kRechmode, 0}});
    SetFieldsIfPresent(line, values);
}

TDateTime storedDate(Table& head, const QString& name) {
    const Field& f = head.field(name);
    return f.isNull() ? EmptyDate : DateTimeOfDate(f.asDate());
}

// A rate typed into S_Mwst chooses the code whose rate it is today. The
// line calculation writes the rate of the line's own code at the
// document's date: that one keeps the code.
void rateChoosesCode(TDataModule1& dm, Table& line, Table& head, Field& rate) {
    if (dm.IsInitNewRecord() || rate.isNull())
        return;
    const int code = FieldInt(line, QStringLiteral("S_MwstKz"));
    const TDateTime date = head.isOpen() && !head.isEmpty()
                               ? DocumentVatDate(storedDate(head, QStringLiteral("R_DatumDruck")),
                                                 storedDate(head, QStringLiteral("R_DatumErstell")),
                                                 DateTimeOfDate(QDate::currentDate()))
                               : DateTimeOfDate(QDate::currentDate());
    if (std::abs(GetVatRateAt(code, date) - rate.asFloat()) < 0.0001)
        return;
    const int chosen = VatCodeOfRate(rate.asFloat(), DateTimeOfDate(QDate::currentDate()));
    if (chosen != code)
        line.field(QStringLiteral("S_MwstKz")).setValue(chosen);
}

void checkRechmode(TDataModule1& dm, Table& line, Table& head, Field& mode) {
    if (dm.IsInitNewRecord())
        return;
    if (!RgvRechmodeAllowed(line, objektOfLine(line, head), mode.asIntegerOr(0))) {
        ShowError(RgvRechmodeRefusedText);
        throw Abort{};
    }
}

table::PostErrorAction headPostError(Table& head, const TableError& e) {
    // Another workstation took the key meanwhile: a fresh one, the defaults
    // again, and post once more.
    if (e.kind() == TableError::KeyViolation && head.state() == table::TableState::Insert &&
        IntValueExists(QStringLiteral("LumoDB"), head.tableName(), QStringLiteral("R_ID"),
                       FieldInt(head, QStringLiteral("R_ID")))) {
        head.field(QStringLiteral("R_ID")).setValue(GetNextId(head, QStringLiteral("R_ID")));
        headDefaults(head);
        return table::PostErrorAction::Retry;
    }
    return table::PostErrorAction::Fail;
}

} // namespace

bool RgvRechmodeAllowed(Table& line, int objektNr, int mode) {
    if (mode < 2)
        return true;
    return FieldInt(line, QStringLiteral("S_PosTyp"), 4) == 1 &&
           activityPlanned(objektNr, FieldText(line, QStringLiteral("S_SrcNr")).trimmed().toInt());
}

bool RgvActivityAllowed(Table& line, int objektNr, int taetigNr) {
    if (FieldInt(line, kRechmode) < 2)
        return true;
    return FieldInt(line, QStringLiteral("S_PosTyp"), 4) == 1 &&
           activityPlanned(objektNr, taetigNr);
}

void BindRgvTableRules(TDataModule1& dm, Table& head, Table& lines, const TRgvTableRules& rules) {
    Table* headObject = &head;

    LineTableRules r;
    r.recalcFields = {QStringLiteral("S_Menge"), QStringLiteral("S_EPreis"),
                      QStringLiteral("S_MwstKz")};
    r.defaults = lineDefaults;
    r.focusAfterNew = [] {
        if (const auto& focus = DocumentFormHooksRegistry().FocusRgvEditColumn)
            focus(QStringLiteral("TabRgvSatzS_Menge"));
    };
    r.afterWrite = r.focusAfterNew;
    r.beforePost = [headObject](TDataModule1&, Table& line) {
        CalcDocumentLine(line, *headObject);
    };
    r.fieldRules.emplace_back(QStringLiteral("S_Mwst"),
                              [headObject](TDataModule1& module, Table& line, Field& rate) {
                                  rateChoosesCode(module, line, *headObject, rate);
                              });
    r.fieldChecks.emplace_back(kRechmode,
                               [headObject](TDataModule1& module, Table& line, Field& mode) {
                                   checkRechmode(module, line, *headObject, mode);
                               });
    BindCommonLineRules(dm, lines, &head, r);

    HeadTableRules h;
    h.defaults = headDefaults;
    // The lines have no bookings: one delete of them all, in the head's transaction.
    h.deleteLinesThroughLineObject = false;
    const bool planDate = rules.intervalPlanDate;
    h.fieldRules.emplace_back(
        QStringLiteral("R_Intervall"), [planDate](TDataModule1&, Table& t, Field& interval) {
            t.field(QStringLiteral("R_IVname")).setValue(GetIvDefComment(interval.asIntegerOr(0)));
            if (planDate)
                UpdateRgvPlanDatum(t);
        });
    BindDocumentHeadRules(dm, head, lines, h);
    head.onPostError = headPostError;
    if (!rules.headInsert)
        head.beforeInsert += [](Table&) {
            ShowError(RgvHeadInListText);
            throw Abort{};
        };
}
