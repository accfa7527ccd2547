#include "core/data/docnumbers.h"

#include "core/data/counters.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/nrmask.h"
#include "core/values/conversions.h"
#include "platform/table/database.h"
#include "platform/table/table.h"

namespace {

const QString kLumo = QStringLiteral("LumoDB");
const QString kAblage = QStringLiteral("AblageDB");
const QString kJournal = QStringLiteral("raliste.db");

table::Table& companyTable() {
    return DataModule1().TabFirmen();
}

bool hasJournalCheck(TDocKind kind) {
    const TDocKind k = NormalizedDocKind(kind);
    return k == TDocKind::Rechnung || k == TDocKind::Gutschrift || k == TDocKind::Eingangsrechnung;
}

int journalCount() {
    table::Table t(table::aliases::database(kLumo), kJournal);
    t.open();
    return t.recordCount();
}

} // namespace

QString GetNrMask(table::Table& company, TDocKind kind) {
    return company.field(QString::fromLatin1(GetDocKindInfo(kind).maskField)).asStringOr(QString());
}

QString FormatNrByMask(TDocKind kind, qint64 nr, int year, int month) {
    return FormatNrByMask(GetNrMask(companyTable(), kind), nr, year, month);
}

QString FormatDocNr(table::Table& company, TDocKind kind, qint64 nr, int year, int month,
                    bool provisional) {
    if (kind == TDocKind::Rechnung && provisional)
        return u'*' + IntToStrZero(nr, 6);
    return FormatNrByMask(GetNrMask(company, kind), nr, year, month);
}

QString FormatDocNr(TDocKind kind, qint64 nr, int year, int month, bool provisional) {
    if (kind == TDocKind::Rechnung && provisional)
        return u'*' + IntToStrZero(nr, 6);
    return FormatDocNr(companyTable(), kind, nr, year, month, false);
}

int ParseDocNr(table::Table& company, TDocKind kind, const QString& nrText) {
    return ParseNrByMask(GetNrMask(company, kind), nrText);
}

int ParseDocNr(TDocKind kind, const QString& nrText) {
    return ParseDocNr(companyTable(), kind, nrText);
}

bool IsNrInRaListe(TDocKind kind, const QString& nrText) {
    table::Table t(table::aliases::database(kLumo), kJournal);
    t.setIndexName(QStringLiteral("R_INr"));
    t.open();
    const QVariantList key{nrText, RaListeSatzart(kind)};
    t.setRange(key, key);
    return !t.isEmpty();
}

bool DocNrExists(const QString& nrText, const QString& databaseName, const QString& tableName) {
    return StrValueExists(databaseName, tableName, QStringLiteral("R_Nr"), nrText);
}

bool DocNrExistsInDb(const QString& nrText, const QString& databaseName, const QString& tableName) {
    return DocNrExists(nrText, databaseName, tableName);
}

bool IsDocNrUsed(TDocKind kind, const QString& nrText, const QString& tableName, int ownId) {
    const bool inHeads = ownId > 0 ? NrUsedByOtherRecord(kLumo, tableName, QStringLiteral("R_Nr"),
                                                         QStringLiteral("R_ID"), nrText, ownId)
                                   : DocNrExistsInDb(nrText, kLumo, tableName);
    if (inHeads)
        return true;
    if (kind == TDocKind::Rechnung)
        return IsNrInRaListe(TDocKind::Rechnung, nrText);
    // Not every head table has a counterpart in the archive.
    return table::aliases::database(kAblage)->exists(tableName) &&
           DocNrExistsInDb(nrText, kAblage, tableName);
}

int NextFreeDocNr(table::Table& company, TDocKind kind, int year, int month) {
    const DocKindInfo& info = GetDocKindInfo(kind);
    const QString head = QString::fromLatin1(info.headTable);
    const bool checkJournal = hasJournalCheck(kind);
    int limit = -1;
    for (int drawn = 0;; ++drawn) {
        const int nr = TakeNextNr(company, info.counterCode);
        const QString text = FormatDocNr(company, kind, nr, year, month, false);
        const bool used =
            DocNrExists(text, kLumo, head) || (checkJournal && IsNrInRaListe(kind, text));
        if (!used)
            return nr;
        // Each used text belongs to one document, so once more numbers were
        // drawn than documents exist the mask must be mapping numbers together.
        if (limit < 0) {
            table::Table t(table::aliases::database(kLumo), head);
            t.open();
            limit = t.recordCount() + (checkJournal ? journalCount() : 0) + 1;
        }
        if (drawn + 1 >= limit)
            throw DbError(QStringLiteral("Es konnte keine freie Belegnummer gefunden werden.\r"
                                         "Bitte prüfen Sie das Nummernformat in den Firmendaten."));
    }
}

int NextFreeDocNr(TDocKind kind, int year, int month) {
    return NextFreeDocNr(companyTable(), kind, year, month);
}
