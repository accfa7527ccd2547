#include "commercial/documents/linecopies.h"

#include "commercial/documents/linerules.h"
#include "commercial/documents/positionnumbers.h"
#include "commercial/documents/positiontable.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "platform/errors.h"
#include "platform/table/table.h"

#include <exception>
#include <functional>
#include <utility>

using table::Field;
using table::Table;

namespace {

const QString kLumo = QStringLiteral("LumoDB");
const QString kId = QStringLiteral("S_ID");
const QString kRef = QStringLiteral("S_Ref");
const QString kPosNr = QStringLiteral("S_PosNr");

// Runs the action when the scope ends, on every path.
class OnExit {
public:
    explicit OnExit(std::function<void()> action) : m_action(std::move(action)) {}
    ~OnExit() { m_action(); }
    OnExit(const OnExit&) = delete;
    OnExit& operator=(const OnExit&) = delete;

private:
    std::function<void()> m_action;
};

// While copied values go into a line they are stored data, not typed input:
// the field rules (recalculation, kind defaults, quantity checks) keep
// quiet until the line is posted.
class SilentFill {
public:
    SilentFill() : m_active(HasDataModule1()) {
        if (!m_active)
            return;
        m_was = DataModule1().IsInitNewRecord();
        DataModule1().SetInitNewRecord(true);
    }
    ~SilentFill() {
        if (m_active)
            DataModule1().SetInitNewRecord(m_was);
    }
    SilentFill(const SilentFill&) = delete;
    SilentFill& operator=(const SilentFill&) = delete;

private:
    bool m_active;
    bool m_was = false;
};

void postPending(Table& t) {
    if (t.isEditing())
        t.post();
}

// A table object without a new-record rule gets the next free key.
void ensureKey(Table& target) {
    Field& key = target.field(0);
    if (key.isNull() && key.type() == table::FieldType::Integer)
        key.setValue(GetNextId(target, key.name()));
}

QString errorText(const std::exception& e) {
    if (const auto* db = dynamic_cast<const DbError*>(&e))
        return db->message();
    return QString::fromLocal8Bit(e.what());
}

// What a new line of a booking line table starts with: nothing booked yet,
// typed by hand, nothing billed.
const std::vector<std::pair<QString, QVariant>>& newLineBookingState() {
    static const std::vector<std::pair<QString, QVariant>> values{
        {QStringLiteral("S_OldQuelle"), 0},
        {QStringLiteral("S_OldMenge"), 0},
        {QStringLiteral("S_OldMatID"), 0},
        {QStringLiteral("S_OldRefID"), 0},
        {QStringLiteral("S_OldPosTyp"), 4},
        {QStringLiteral("S_Quelle"), 0},
        {QStringLiteral("S_QuellNr"), QStringLiteral("manuell")},
        {QStringLiteral("S_RefID"), 0},
        {QStringLiteral("S_MengeGeliefert"), 0},
    };
    return values;
}

bool isBookingStateField(const QString& name) {
    if (name.startsWith(QLatin1String("S_Old"), Qt::CaseInsensitive))
        return true;
    for (const auto& [field, value] : newLineBookingState())
        if (field.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

// How copies into one kind of line table are chosen and linked.
struct CopyRules {
    bool suspendRecalc = false;
    // Alternative and on-demand lines are left out; a normal line only
    // comes with an open quantity, which becomes its quantity.
    bool openLinesOnly = false;
    // Sources whose delivered (billed) quantity is not open any more.
    std::function<bool(TDocSource)> deliveredCounts;
    // The line is linked to its source line so that its post books against it.
    bool linkToSource = false;
    // S_Quelle of a source without its own code; -1: the copied value.
    int otherQuelle = -1;
    // The line's booking reads S_RefID of an external-service line as that
    // service unless the line comes from a delivery-note line (credit
    // notes book no links).
    bool refIdNamesFremdLeist = false;
    bool refIdNamesFremdLeistAlways = false;
    std::vector<std::pair<QString, QVariant>> fixed;
    // Order lines take the execution interval from the source's interval.
    bool ausfInterv = false;
};

bool fromOrderOrDeliveryNote(TDocSource s) {
    return s == TDocSource::Auftrag || s == TDocSource::Lieferschein;
}

CopyRules rulesFor(TLineCopyTarget target) {
    CopyRules r;
    switch (target) {
    case TLineCopyTarget::Rechnung:
        r.suspendRecalc = true;
        r.openLinesOnly = true;
        r.deliveredCounts = fromOrderOrDeliveryNote;
        r.linkToSource = true;
        r.refIdNamesFremdLeist = true;
        break;
    case TLineCopyTarget::Gutschrift:
        r.openLinesOnly = true;
        r.deliveredCounts = fromOrderOrDeliveryNote;
        r.linkToSource = true;
        r.otherQuelle = 3;
        break;
    case TLineCopyTarget::Lieferschein:
        r.openLinesOnly = true;
        r.deliveredCounts = [](TDocSource s) { return s == TDocSource::Auftrag; };
        r.linkToSource = true;
        r.refIdNamesFremdLeistAlways = true;
        r.fixed = {{QStringLiteral("S_MengeGeliefert"), 0}};
        break;
    case TLineCopyTarget::Rechnungsvorlage:
        r.fixed = {{QStringLiteral("S_Rechmode"), 0}};
        break;
    case TLineCopyTarget::Angebot:
        break;
    case TLineCopyTarget::Auftrag:
        r.fixed = {{QStringLiteral("S_MengeGeliefert"), 0}};
        r.ausfInterv = true;
        break;
    }
    return r;
}

// Source codes of a line copied from an offer, order, invoice or delivery
// note line; -1 for other sources.
int quelleOf(TDocSource source) {
    switch (source) {
    case TDocSource::Angebot:
        return 1;
    case TDocSource::Auftrag:
        return 2;
    case TDocSource::Rechnung:
        return 3;
    case TDocSource::Lieferschein:
        return 4;
    default:
        return -1;
    }
}

// Codes whose S_RefID a line's booking follows (order line, delivery-note
// line, external service).
bool quelleBooksLink(int quelle) {
    return quelle == 2 || quelle == 4 || quelle == 5;
}

void linkCopy(Table& line, const CopyRules& r, TDocSource source, const QString& sourceNr,
              int sourceLineId, double open) {
    int quelle = quelleOf(source);
    if (quelle < 0)
        quelle = r.otherQuelle;
    if (quelle < 0) {
        // The copied code would book against a row that the new link does
        // not name (an archived line, a line of another kind).
        quelle = FieldInt(line, QStringLiteral("S_Quelle"));
        if (quelleBooksLink(quelle))
            quelle = 3;
    }
    int refId = sourceLineId;
    // An external service is billed by its first document; a copy of that
    // line must not mark another service billed.
    if (FieldInt(line, QStringLiteral("S_PosTyp"), 4) == 2 &&
        (r.refIdNamesFremdLeistAlways || (r.refIdNamesFremdLeist && quelle != 4)))
        refId = 0;
    SetFieldsIfPresent(line, {{QStringLiteral("S_QuellNr"), sourceNr},
                              {QStringLiteral("S_RefID"), refId},
                              {QStringLiteral("S_Quelle"), quelle},
                              {QStringLiteral("S_Menge"), open},
                              {QStringLiteral("S_OldQuelle"), 0},
                              {QStringLiteral("S_OldMenge"), 0},
                              {QStringLiteral("S_OldMatID"), 0},
                              {QStringLiteral("S_OldRefID"), 0},
                              {QStringLiteral("S_OldPosTyp"), 0}});
}

} // namespace

bool AppendLineCopy(Table& source, Table& target, int posOffset, int newRef, QString* error) {
    try {
        target.append();
        CancelEditOnError(target, [&] {
            SilentFill silent;
            for (int i = 1; i < target.fieldCount(); ++i) {
                Field& to = target.field(i);
                Field* from = source.findField(to.name());
                if (to.isCalculated() || !from || from->isNull())
                    continue;
                if (to.name().compare(kRef, Qt::CaseInsensitive) == 0)
                    to.setValue(newRef);
                else if (to.name().compare(kPosNr, Qt::CaseInsensitive) == 0)
                    to.setValue(AppendedPosNr(from->asInteger(), posOffset));
                else
                    to.setValue(from->value());
            }
            ensureKey(target);
        });
        return true;
    } catch (const Abort&) {
        return false;
    } catch (const std::exception& e) {
        if (error)
            *error = errorText(e);
        return false;
    }
}

void CopyDocumentLines(Table& source, Table& target, int newRef) {
    const table::Bookmark mark = source.bookmark();
    OnExit back([&] {
        if (source.bookmarkValid(mark))
            source.gotoBookmark(mark);
    });
    postPending(target);
    for (source.first(); !source.eof() && !source.isEmpty(); source.next()) {
        target.append();
        CancelEditOnError(target, [&] {
            {
                SilentFill silent;
                for (int i = 1; i < source.fieldCount(); ++i) {
                    const Field& from = source.field(i);
                    Field* to = target.findField(from.name());
                    if (from.isCalculated() || from.isNull() || !to)
                        continue;
                    if (from.name().compare(kRef, Qt::CaseInsensitive) == 0)
                        to->setValue(newRef);
                    else
                        to->setValue(from.value());
                }
                ensureKey(target);
            }
            target.post();
        });
    }
}

int CopiedOrRaise(const TLineCopyResult& result) {
    if (result.Complete)
        return result.Copied;
    if (result.Error.isEmpty())
        throw Abort{};
    throw DbError(result.Error);
}

TLineCopyResult CopyDocumentPositions(TLineCopyTarget target, TDocSource source, int sourceId,
                                      int targetHeadId, const QString& sourceNr,
                                      Table& targetLines) {
    const CopyRules r = rulesFor(target);
    TLineCopyResult result;
    const bool suspended = HasDataModule1() && DataModule1().IsRecalcSuspended();
    if (r.suspendRecalc && HasDataModule1())
        DataModule1().SetRecalcSuspended(true);
    OnExit resume([suspended] {
        if (HasDataModule1())
            DataModule1().SetRecalcSuspended(suspended);
    });

    postPending(targetLines);
    // The target's sums once at the end, not again after every copied line.
    DeferredDocumentSums sums;
    const RunNumbersLines numbered;
    const int base = LastPosNrBaseOfDocument(targetLines.tableName(), targetHeadId);
    auto lines = OpenTempTable(GetDocSourceAlias(source), GetDocSourceSatzTable(source),
                               QStringLiteral("S_IRef"));
    lines->setRange({sourceId}, {sourceId});
    for (lines->first(); !lines->eof() && !lines->isEmpty(); lines->next()) {
        const int posArt = FieldInt(*lines, QStringLiteral("S_PosArt"));
        double open = FieldFloat(*lines, QStringLiteral("S_Menge"));
        if (r.openLinesOnly) {
            if (posArt == 1 || posArt == 2)
                continue;
            if (r.deliveredCounts(source))
                open -= FieldFloat(*lines, QStringLiteral("S_MengeGeliefert"));
            if (open <= 0 && posArt == 0)
                continue;
        }
        if (!AppendLineCopy(*lines, targetLines, base, targetHeadId, &result.Error)) {
            result.Complete = false;
            break;
        }
        try {
            CancelEditOnError(targetLines, [&] {
                {
                    SilentFill silent;
                    if (r.linkToSource)
                        linkCopy(targetLines, r, source, sourceNr,
                                 FieldInt(*lines, QStringLiteral("S_ID")), open);
                    SetFieldsIfPresent(targetLines, r.fixed);
                    if (r.ausfInterv && source == TDocSource::Angebot)
                        SetFieldIfPresent(targetLines, QStringLiteral("S_AusfInterv"),
                                          FieldInt(*lines, QStringLiteral("S_Intervall")));
                }
                targetLines.post();
            });
        } catch (const Abort&) {
            result.Complete = false;
            break;
        } catch (const std::exception& e) {
            result.Error = errorText(e);
            result.Complete = false;
            break;
        }
        ++result.Copied;
    }
    sums.finish();
    return result;
}

bool PasteDocumentLine(Table& lines, int rememberedId) {
    if (rememberedId == 0)
        return false;
    const bool timerWork = HasDataModule1() && DataModule1().IsTimerWorkEnabled();
    if (HasDataModule1())
        DataModule1().DisableTimerWork();
    OnExit restore([timerWork] {
        if (timerWork && HasDataModule1())
            DataModule1().EnableTimerWork();
    });
    postPending(lines);
    auto source = OpenTempTable(kLumo, lines.tableName());
    if (!source->locate({kId}, {rememberedId}))
        return false;
    lines.append();
    CancelEditOnError(lines, [&] {
        {
            SilentFill silent;
            for (int i = 1; i < lines.fieldCount(); ++i) {
                Field& to = lines.field(i);
                Field* from = source->findField(to.name());
                if (to.isCalculated() || !from || from->isNull() ||
                    to.name().compare(kPosNr, Qt::CaseInsensitive) == 0 ||
                    isBookingStateField(to.name()))
                    continue;
                // A value one field refuses does not stop the others.
                try {
                    to.setValue(from->value());
                } catch (const DbError&) {
                }
            }
            SetFieldsIfPresent(lines, newLineBookingState());
            ensureKey(lines);
        }
        lines.post();
    });
    return true;
}
