#include "commercial/documents/offerediting.h"

#include "commercial/documents/documentediting.h"
#include "commercial/documents/kopffusstext.h"
#include "commercial/documents/linerules.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/docnumbers.h"
#include "platform/table/table.h"

#include <QDate>

using table::Table;

namespace {

const QString kLumo = QStringLiteral("LumoDB");

std::unique_ptr<Table> recordOf(const QString& file, const QString& keyField, int key) {
    auto t = OpenTempTableWhere(kLumo, file, QStringLiteral("%1=%2").arg(keyField).arg(key));
    if (t->isEmpty())
        return nullptr;
    return t;
}

} // namespace

void AppendNumberedHead(Table& head, const TNumberedHeadKind& kind, int printForm,
                        const QDate& today) {
    const QString what = kind.kind == TDocKind::Auftrag
                             ? QStringLiteral("Der Auftrag konnte nicht angelegt werden.")
                             : QStringLiteral("Das Angebot konnte nicht angelegt werden.");
    ChangeAllOrNothing(what, {&head}, [&] {
        const int year = today.year(), month = today.month();
        const int number = NextFreeDocNr(kind.kind, year, month);
        head.append();
        CancelEditOnError(head, [&] {
            std::vector<std::pair<QString, QVariant>> values{
                {QStringLiteral("R_Nr"), FormatDocNr(kind.kind, number, year, month, false)},
                {QStringLiteral("R_Creator"), 1},
                {QStringLiteral("R_Jahr"), year},
                {QStringLiteral("R_Monat"), month},
                {QStringLiteral("R_DatumErstell"), today},
                {QStringLiteral("R_DatumDruck"), today},
                {QStringLiteral("R_Drucke"), 0},
                {QStringLiteral("R_PrintFormNo"), printForm},
                {QStringLiteral("R_ObjektNr"), 0},
                {QStringLiteral("R_KundenNr"), 0},
                {QStringLiteral("R_Anzpos"), 0},
                {QStringLiteral("R_KFID"), 0},
                {QStringLiteral("R_ZahlBedID"), 0},
                {QStringLiteral("R_Netto"), 0.0},
                {QStringLiteral("R_Brutto"), 0.0},
                {QStringLiteral("R_Mwst"), 0.0},
                {QStringLiteral("R_Mwst1"), 0.0},
                {QStringLiteral("R_Mwst2"), 0.0},
                {QStringLiteral("R_Selected"), false},
                {QStringLiteral("R_ZahlBedSkonto"), 0.0},
                {QStringLiteral("R_ZahlBedSkonto2"), 0.0},
                {QStringLiteral("R_ZahlBedTage"), 0},
                {QStringLiteral("R_ZahlBedTage2"), 0},
                {QStringLiteral("R_ZahlBedNettoTage"), 0},
                {QStringLiteral("R_CalcRaten"), kind.calcRaten},
            };
            if (kind.zeroPartSums)
                values.insert(values.end(), {{QStringLiteral("R_Netto0"), 0.0},
                                             {QStringLiteral("R_Netto1"), 0.0},
                                             {QStringLiteral("R_Netto2"), 0.0},
                                             {QStringLiteral("R_Mwst0"), 0.0}});
            for (const char* text :
                 {"R_KopfText", "R_FussText", "R_ZahlBed", "R_OMatch", "R_OName1", "R_OName2",
                  "R_OName3", "R_OStrasse", "R_OPlz", "R_OOrt", "R_KMatch", "R_Kname1", "R_Kname2",
                  "R_Kname3", "R_KStrasse", "R_KPlz", "R_KOrt"})
                values.emplace_back(QString::fromLatin1(text), QString());
            SetFieldsIfPresent(head, values);
            head.post();
        });
    });
}

bool FillOfferLineFromArtikel(Table& line, int artikelId) {
    auto article = recordOf(QStringLiteral("Artikel.DB"), QStringLiteral("A_ID"), artikelId);
    if (!article || !FillLineFromArtikel(line, artikelId))
        return false;
    CancelEditOnError(line, [&] {
        line.field(QStringLiteral("S_BasisPreis"))
            .setValue(FieldFloat(*article, QStringLiteral("A_EkPreis")));
        // The unit price follows from this through the offer's calculation rule.
        line.field(QStringLiteral("S_BasisVkpreis"))
            .setValue(FieldFloat(*article, QStringLiteral("A_Preis1")));
    });
    return true;
}

bool FillOfferLineFromTaetigkeit(Table& line, int taetigId) {
    auto activity = recordOf(QStringLiteral("Taetig.DB"), QStringLiteral("T_ID"), taetigId);
    if (!activity || !FillLineFromTaetigkeit(line, taetigId))
        return false;
    CancelEditOnError(line, [&] {
        const double price = FieldFloat(*activity, QStringLiteral("T_BasisPreis"));
        line.field(QStringLiteral("S_BasisPreis")).setValue(price);
        line.field(QStringLiteral("S_BasisMinuten"))
            .setValue(FieldFloat(*activity, QStringLiteral("T_BasisMinuten")));
        line.field(QStringLiteral("S_BasisVkpreis")).setValue(price);
    });
    return true;
}

const QStringList& CopiedHeadFields() {
    static const QStringList fields{QStringLiteral("R_KundenNr"),
                                    QStringLiteral("R_KMatch"),
                                    QStringLiteral("R_Kname1"),
                                    QStringLiteral("R_Kname2"),
                                    QStringLiteral("R_Kname3"),
                                    QStringLiteral("R_KPlz"),
                                    QStringLiteral("R_KOrt"),
                                    QStringLiteral("R_KStrasse"),
                                    QStringLiteral("R_ObjektNr"),
                                    QStringLiteral("R_OMatch"),
                                    QStringLiteral("R_OName1"),
                                    QStringLiteral("R_OName2"),
                                    QStringLiteral("R_OName3"),
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
                                    QStringLiteral("R_KFID"),
                                    QStringLiteral("R_KopfText"),
                                    QStringLiteral("R_FussText"),
                                    QStringLiteral("R_VorspannText"),
                                    QStringLiteral("R_NachspannText"),
                                    QStringLiteral("R_Betreuer"),
                                    QStringLiteral("R_Beschreibung"),
                                    QStringLiteral("R_Memo"),
                                    QStringLiteral("R_AnrID0"),
                                    QStringLiteral("R_AnrID1"),
                                    QStringLiteral("R_AnrID2"),
                                    QStringLiteral("R_AdrZweck0"),
                                    QStringLiteral("R_AdrZweck1"),
                                    QStringLiteral("R_AdrZweck2")};
    return fields;
}

int CopyIntoNumberedDocument(const TNumberedHeadKind& kind, TDocSource source,
                             const QString& sourceNr, Table& head, Table& lines) {
    auto sourceHead = OpenTempTable(GetDocSourceAlias(source), GetDocSourceKopfTable(source));
    if (!sourceHead->locate({QStringLiteral("R_Nr")}, {sourceNr}))
        return -1;
    const int sourceId = FieldInt(*sourceHead, QStringLiteral("R_ID"));
    int copied = 0;
    ChangeAllOrNothing(
        QStringLiteral("Die Positionen konnten nicht übernommen werden."), {&lines, &head}, [&] {
            if (lines.isEditing())
                lines.post();
            bool headChanged = false;
            if (FieldInt(head, QStringLiteral("R_ObjektNr")) == 0) {
                EnsureEditOrInsert(head);
                for (const QString& name : CopiedHeadFields()) {
                    const table::Field* from = sourceHead->findField(name);
                    table::Field* to = head.findField(name);
                    if (from && to && !from->isNull())
                        to->setValue(from->value());
                }
                headChanged = true;
            }
            if (source == TDocSource::Rechnungsvorlage) {
                QString kopf, fuss;
                LoadKopfFussText(FieldInt(*sourceHead, QStringLiteral("R_KFID")), kopf, fuss);
                EnsureEditOrInsert(head);
                head.field(QStringLiteral("R_KopfText")).setValue(kopf);
                head.field(QStringLiteral("R_FussText")).setValue(fuss);
                headChanged = true;
            }
            if (headChanged)
                head.post();
            copied = CopiedOrRaise(CopyDocumentPositions(kind.copyTarget, source, sourceId,
                                                         FieldInt(head, QStringLiteral("R_ID")),
                                                         sourceNr, lines));
            if (copied == 0)
                return;
            RefreshIfActive(lines);
            RecalcDocumentSums(lines, head);
            if (head.isEditing())
                head.post();
        });
    return copied;
}
