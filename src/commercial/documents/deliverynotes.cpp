#include "commercial/documents/deliverynotes.h"

#include "commercial/documents/documentediting.h"
#include "commercial/documents/headfills.h"
#include "commercial/documents/linecopies.h"
#include "commercial/documents/linerules.h"
#include "core/data/counters.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/docnumbers.h"
#include "platform/table/database.h"
#include "platform/table/table.h"

#include <QHash>

using table::Table;

namespace {

const QString kLumo = QStringLiteral("LumoDB");
const QString kLines = QStringLiteral("LSsatz.DB");

// A line's share of the open quantity sum: below 0.01 it counts as 0.
double openShare(double remainder) {
    return remainder >= 0.01 ? remainder : 0.0;
}

double remainderOf(Table& line) {
    return FieldFloat(line, QStringLiteral("S_Menge")) -
           FieldFloat(line, QStringLiteral("S_MengeGeliefert"));
}

// The note's lines in position order.
std::unique_ptr<Table> linesOf(int lsId) {
    auto lines = OpenTempTable(kLumo, kLines, QStringLiteral("S_IRef"));
    lines->setRange({lsId}, {lsId});
    return lines;
}

// Clears the back link of the row that created the note; a row that is gone
// is passed over.
void unlinkCreator(Table& head) {
    const int creatorId = FieldInt(head, QStringLiteral("R_CreatorID"));
    const int lsTyp = FieldInt(head, QStringLiteral("R_LsTyp"));
    if (lsTyp == 0 || creatorId == 0)
        return;
    const bool daily = lsTyp == 1;
    Table rows(head.sharedDatabase(),
               daily ? QStringLiteral("TglObj.DB") : QStringLiteral("TermObj.DB"));
    rows.open();
    const QString key = daily ? QStringLiteral("A_TOID") : QStringLiteral("T_ID");
    if (!rows.locate({key}, {creatorId}))
        return;
    rows.edit();
    rows.field(daily ? QStringLiteral("A_LsID") : QStringLiteral("T_LsID")).setValue(0);
    rows.post();
}

// A new head with every value set, posted once.
void appendNoteHead(Table& head, const QString& nr, const TNewDeliveryNote& values,
                    const QDate& today) {
    const int year = today.year();
    const int month = today.month();
    head.append();
    CancelEditOnError(head, [&] {
        SetFieldsIfPresent(head, {
                                     {QStringLiteral("R_Jahr"), year},
                                     {QStringLiteral("R_Monat"), month},
                                     {QStringLiteral("R_Nr"), nr},
                                     {QStringLiteral("R_Creator"), 1},
                                     {QStringLiteral("R_DatumErstell"), today},
                                     {QStringLiteral("R_DatumDruck"), today},
                                     {QStringLiteral("R_Drucke"), 0},
                                     {QStringLiteral("R_PrintFormNo"), values.printFormNo},
                                     {QStringLiteral("R_KundenNr"), 0},
                                     {QStringLiteral("R_Anzpos"), 0},
                                     {QStringLiteral("R_Netto"), 0.0},
                                     {QStringLiteral("R_Netto0"), 0.0},
                                     {QStringLiteral("R_Netto1"), 0.0},
                                     {QStringLiteral("R_Netto2"), 0.0},
                                     {QStringLiteral("R_Brutto"), 0.0},
                                     {QStringLiteral("R_Mwst"), 0.0},
                                     {QStringLiteral("R_Mwst0"), 0.0},
                                     {QStringLiteral("R_Mwst1"), 0.0},
                                     {QStringLiteral("R_Mwst2"), 0.0},
                                     {QStringLiteral("R_Selected"), false},
                                     {QStringLiteral("R_KFID"), 0},
                                     {QStringLiteral("R_KopfText"), QString()},
                                     {QStringLiteral("R_FussText"), QString()},
                                     {QStringLiteral("R_OMatch"), QString()},
                                     {QStringLiteral("R_OName1"), QString()},
                                     {QStringLiteral("R_OName2"), QString()},
                                     {QStringLiteral("R_OName3"), QString()},
                                     {QStringLiteral("R_OPlz"), QString()},
                                     {QStringLiteral("R_OOrt"), QString()},
                                     {QStringLiteral("R_OStrasse"), QString()},
                                     {QStringLiteral("R_KMatch"), QString()},
                                     {QStringLiteral("R_Kname1"), QString()},
                                     {QStringLiteral("R_Kname2"), QString()},
                                     {QStringLiteral("R_Kname3"), QString()},
                                     {QStringLiteral("R_KPlz"), QString()},
                                     {QStringLiteral("R_KOrt"), QString()},
                                     {QStringLiteral("R_KStrasse"), QString()},
                                     {QStringLiteral("R_CreatorID"), values.creatorId},
                                     {QStringLiteral("R_LsTyp"), values.lsTyp},
                                     {QStringLiteral("R_AutoLS"), values.autoInvoice},
                                 });
        if (values.objektNr != 0)
            head.field(QStringLiteral("R_ObjektNr")).setValue(values.objektNr);
        head.post();
    });
}

} // namespace

void AppendDeliveryNoteHead(Table& head, const TNewDeliveryNote& values, const QDate& today) {
    const int year = today.year();
    const int month = today.month();
    const QString nr =
        FormatDocNr(TDocKind::Lieferschein, NextFreeDocNr(TDocKind::Lieferschein, year, month),
                    year, month, false);
    try {
        appendNoteHead(head, nr, values, today);
    } catch (...) {
        // The number drawn for the note goes back with it.
        PutBackLieferscheinNr();
        throw;
    }
}

void AssignDeliveryNoteObjekt(Table& head, int objektNr, int printFormNo) {
    THeadFillOptions options;
    options.post = false;
    options.customerZahlbed = false;
    FillKopfFromObjekt(head, objektNr, options);
    CancelEditOnError(head, [&] {
        head.field(QStringLiteral("R_PrintFormNo")).setValue(printFormNo);
        head.post();
    });
}

int CopyIntoDeliveryNote(TDocSource source, const QString& sourceNr, Table& head, Table& lines) {
    int sourceId = 0;
    if (!DataModule1().FindDocIdByNr(source, sourceNr, sourceId))
        return -1;
    if (head.isEditing())
        head.post();
    const int headId = FieldInt(head, QStringLiteral("R_ID"));
    int copied = 0;
    ChangeAllOrNothing(
        QStringLiteral("Die Positionen konnten nicht übernommen werden."), {&lines, &head}, [&] {
            copied = CopiedOrRaise(CopyDocumentPositions(TLineCopyTarget::Lieferschein, source,
                                                         sourceId, headId, sourceNr, lines));
            if (copied == 0)
                return;
            RefreshIfActive(lines);
            RecalcDocumentSums(lines, head);
            if (head.isEditing())
                head.post();
        });
    return copied;
}

QString DeliveryNoteDeletionQuestion(Table& head) {
    const int lsTyp = FieldInt(head, QStringLiteral("R_LsTyp"));
    const bool autoInvoice =
        GetFieldBoolOrDefault(head.findField(QStringLiteral("R_AutoLS")), false);
    const int creatorId = FieldInt(head, QStringLiteral("R_CreatorID"));
    if (lsTyp == 0 || (!autoInvoice && creatorId == 0))
        return {};
    QString text = QStringLiteral("Lieferschein %1 :").arg(FieldText(head, QStringLiteral("R_Nr")));
    if (autoInvoice)
        text += u'\r' +
                QStringLiteral("Dieser Lieferschein soll autmatisch in Rechnung gestellt werden!");
    if (creatorId != 0)
        text += u'\r' + QStringLiteral("Der Lieferschein wurde von der %1 erstellt!")
                            .arg(lsTyp == 1 ? QStringLiteral("Tageslisten-Rückerfassung")
                                            : QStringLiteral("Terminverwaltung"));
    return text + u'\r' + QStringLiteral("Möchten Sie den Datensatz löschen?");
}

void DeleteDeliveryNote(Table& head, Table& lines) {
    if (head.isEditing())
        head.post();
    ChangeAllOrNothing(DeliveryNoteDeleteFailedText, {&head, &lines}, [&] {
        unlinkCreator(head);
        head.deleteRecord();
    });
}

double OpenQuantitySum(int lsId) {
    auto lines = linesOf(lsId);
    double sum = 0.0;
    for (lines->first(); !lines->eof() && !lines->isEmpty(); lines->next()) {
        sum += openShare(remainderOf(*lines));
    }
    return sum;
}

double FirstOpenRemainder(int lsId) {
    auto lines = linesOf(lsId);
    double remainder = 0.0;
    for (lines->first(); !lines->eof() && !lines->isEmpty(); lines->next()) {
        remainder = remainderOf(*lines);
        if (remainder > 0.01)
            break;
    }
    return remainder;
}

void MarkDeliveryNotes(TDeliveryNoteMarks which) {
    auto db = table::aliases::database(kLumo);
    table::Transaction tx(*db);
    // One pass over the lines gives every note's open quantity.
    QHash<int, double> open;
    if (which == TDeliveryNoteMarks::Finished || which == TDeliveryNoteMarks::Open) {
        Table lines(db, kLines);
        lines.open();
        for (lines.first(); !lines.eof() && !lines.isEmpty(); lines.next())
            open[FieldInt(lines, QStringLiteral("S_Ref"))] += openShare(remainderOf(lines));
    }
    Table heads(db, QStringLiteral("LSkopf.DB"));
    heads.open();
    for (heads.first(); !heads.eof() && !heads.isEmpty(); heads.next()) {
        bool mark = which == TDeliveryNoteMarks::All;
        if (which == TDeliveryNoteMarks::Finished || which == TDeliveryNoteMarks::Open) {
            const bool isOpen = open.value(FieldInt(heads, QStringLiteral("R_ID"))) != 0.0;
            mark = isOpen == (which == TDeliveryNoteMarks::Open);
        }
        table::Field& selected = heads.field(QStringLiteral("R_Selected"));
        if (!selected.isNull() && selected.asBoolean() == mark)
            continue;
        heads.edit();
        selected.setValue(mark);
        heads.post();
    }
    tx.commit();
}
