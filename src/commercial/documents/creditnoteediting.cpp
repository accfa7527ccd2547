#include "commercial/documents/creditnoteediting.h"

#include "commercial/documents/documentediting.h"
#include "commercial/documents/linecopies.h"
#include "commercial/documents/linerules.h"
#include "commercial/invoicing/invoiceediting.h"
#include "core/data/counters.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/docnumbers.h"
#include "platform/table/table.h"

#include <QDate>

using table::Table;

namespace {

// The invoice head fields a credit note takes over when they have a value.
const QStringList& takenOverFields() {
    static const QStringList fields = [] {
        QStringList f{QStringLiteral("R_KundenNr"),
                      QStringLiteral("R_KMatch"),
                      QStringLiteral("R_KPlz"),
                      QStringLiteral("R_KOrt"),
                      QStringLiteral("R_KStrasse"),
                      QStringLiteral("R_ObjektNr"),
                      QStringLiteral("R_OMatch"),
                      QStringLiteral("R_OPlz"),
                      QStringLiteral("R_OOrt"),
                      QStringLiteral("R_OStrasse"),
                      QStringLiteral("R_ZahlBedID"),
                      QStringLiteral("R_ZahlBed"),
                      QStringLiteral("R_ZahlBedSkonto"),
                      QStringLiteral("R_ZahlBedSkonto2"),
                      QStringLiteral("R_ZahlBedTage"),
                      QStringLiteral("R_ZahlBedTage2"),
                      QStringLiteral("R_ZahlBedNettoTage"),
                      QStringLiteral("R_Betreuer"),
                      QStringLiteral("R_Beschreibung"),
                      QStringLiteral("R_VorspannText"),
                      QStringLiteral("R_NachspannText"),
                      QStringLiteral("R_Memo")};
        for (int i = 1; i <= 3; ++i)
            f << QStringLiteral("R_Kname%1").arg(i) << QStringLiteral("R_OName%1").arg(i);
        for (int i = 0; i <= 2; ++i)
            f << QStringLiteral("R_AnrID%1").arg(i) << QStringLiteral("R_AdrZweck%1").arg(i);
        return f;
    }();
    return fields;
}

void takeOverHead(Table& source, Table& head, const QString& nr) {
    EnsureEditOrInsert(head);
    for (const QString& name : takenOverFields()) {
        const table::Field* from = source.findField(name);
        if (from && !from->isNull() && head.findField(name))
            head.field(name).setValue(from->value());
    }
    // "vom" is the credited invoice's date.
    const table::Field* plan = source.findField(QStringLiteral("R_PlanDatum"));
    const table::Field* druck = source.findField(QStringLiteral("R_DatumDruck"));
    if (plan && !plan->isNull() && druck && !druck->isNull())
        head.field(QStringLiteral("R_PlanDatum")).setValue(druck->value());
    head.field(QStringLiteral("R_ANr")).setValue(nr);
    head.post();
}

} // namespace

void AppendGutschriftHead(Table& head, int printFormNo, const QDate& today) {
    const int year = today.year();
    const int month = today.month();
    const QString nr = FormatDocNr(
        TDocKind::Gutschrift, NextFreeDocNr(TDocKind::Gutschrift, year, month), year, month, true);
    try {
        AppendManualDocumentHead(head, printFormNo, today, [&](Table&) {
            return std::vector<std::pair<QString, QVariant>>{
                {QStringLiteral("R_RgState"), 3},
                {QStringLiteral("R_Nr"), nr},
                {QStringLiteral("R_IVname"), QStringLiteral("Manuelle Gutschrift")},
                {QStringLiteral("R_FaelligDatum"), today}};
        });
    } catch (...) {
        PutBackGutschriftNr();
        throw;
    }
}

int CopyInvoiceIntoGutschrift(TDocSource source, const QString& nr, Table& head, Table& lines) {
    int sourceId = 0;
    if (!DataModule1().FindDocIdByNr(source, nr, sourceId))
        return -1;
    auto sourceHead = OpenTempTable(GetDocSourceAlias(source), GetDocSourceKopfTable(source));
    if (!sourceHead->locate({QStringLiteral("R_ID")}, {sourceId}))
        return -1;
    if (head.isEditing())
        head.post();
    const int headId = FieldInt(head, QStringLiteral("R_ID"));
    int copied = 0;
    ChangeAllOrNothing(QStringLiteral("Die Positionen konnten nicht übernommen werden."),
                       {&lines, &head}, [&] {
                           takeOverHead(*sourceHead, head, nr);
                           copied = CopiedOrRaise(CopyDocumentPositions(
                               TLineCopyTarget::Gutschrift, source, sourceId, headId, nr, lines));
                           if (copied == 0)
                               return;
                           RefreshIfActive(lines);
                           RecalcDocumentSums(lines, head);
                           if (head.isEditing())
                               head.post();
                       });
    return copied;
}
