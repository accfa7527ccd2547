#include "commercial/documents/documentediting.h"

#include "commercial/documents/documentservices.h"
#include "commercial/documents/linerules.h"
#include "commercial/documents/vatrates.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/lookups.h"
#include "platform/errors.h"
#include "platform/table/database.h"
#include "platform/table/table.h"

#include <vector>

using table::Field;
using table::Table;

namespace {

const QString kLumo = QStringLiteral("LumoDB");

QString errorText(const std::exception& e) {
    if (const auto* db = dynamic_cast<const DbError*>(&e))
        return db->message();
    return QString::fromLocal8Bit(e.what());
}

// Drops what the failed change left in the buffers and shows the stored rows.
void forgetChange(const std::vector<Table*>& cursors) noexcept {
    for (Table* t : cursors) {
        try {
            if (!t->isOpen())
                continue;
            if (t->isEditing())
                t->cancel();
            t->refresh();
        } catch (...) {
            // The cursor reads its record again when it is next used.
        }
    }
}

// A record found by its key on a cursor of its own; null when there is none.
std::unique_ptr<Table> recordOf(const QString& file, const QString& keyField, int key) {
    auto t = OpenTempTableWhere(kLumo, file, QStringLiteral("%1=%2").arg(keyField).arg(key));
    if (t->isEmpty())
        return nullptr;
    return t;
}

} // namespace

void ChangeAllOrNothing(const QString& what, std::initializer_list<Table*> cursors,
                        const std::function<void()>& work) {
    ChangeAllOrNothing(what, std::vector<Table*>(cursors), work);
}

void ChangeAllOrNothing(const QString& what, const std::vector<Table*>& list,
                        const std::function<void()>& work) {
    if (list.empty())
        throw DbError(what);
    try {
        table::Transaction tx(*list.front()->database());
        work();
        tx.commit();
    } catch (const Abort&) {
        forgetChange(list);
        throw;
    } catch (const std::exception& e) {
        forgetChange(list);
        throw DbError(what + u'\r' + errorText(e));
    }
}

bool DocumentHasLines(table::Table& lines) {
    if (!lines.isOpen())
        return false;
    if (lines.state() == table::TableState::Insert)
        return true;
    return !lines.isEmpty();
}

bool FinishDocumentEditing(Table& head, Table& lines, bool isNew,
                           const std::function<void()>& afterDelete) {
    if (!head.isOpen())
        return false;
    // A line the rules refuse is dropped: the head's end must still come.
    std::exception_ptr lineError;
    if (lines.isOpen() && lines.isEditing()) {
        try {
            lines.post();
        } catch (...) {
            lineError = std::current_exception();
            try {
                lines.cancel();
            } catch (...) {
            }
        }
    }
    bool deleted = false;
    if (isNew && !head.isEmpty() && !DocumentHasLines(lines)) {
        if (head.isEditing())
            head.cancel();
        if (afterDelete)
            ChangeAllOrNothing(QStringLiteral("Der leere Beleg konnte nicht gelöscht werden."),
                               {&head, &lines}, [&] {
                                   head.deleteRecord();
                                   afterDelete();
                               });
        else
            head.deleteRecord();
        deleted = true;
    } else if (head.isEditing()) {
        head.post();
    }
    if (lineError)
        std::rethrow_exception(lineError);
    return deleted;
}

bool FillLineFromArtikel(Table& line, int artikelId, const TLineFillOptions& options) {
    auto article = recordOf(QStringLiteral("Artikel.DB"), QStringLiteral("A_ID"), artikelId);
    if (!article)
        return false;
    const QString bezeich = FieldText(*article, QStringLiteral("A_Bezeich1"));
    const QString beschreibung = FieldText(*article, QStringLiteral("A_Beschreibung"));
    const Field& mwst = article->field(QStringLiteral("A_Mwst"));
    EnsureEditOrInsert(line);
    CancelEditOnError(line, [&] {
        // Type and source first: the quantity rules read them.
        std::vector<std::pair<QString, QVariant>> values{
            {QStringLiteral("S_Origin"), 3},
            {QStringLiteral("S_PosTyp"), 0},
        };
        if (options.resetSource)
            values.insert(values.end(), {{QStringLiteral("S_RefID"), 0},
                                         {QStringLiteral("S_Quelle"), 0},
                                         {QStringLiteral("S_QuellNr"), QStringLiteral("manuell")}});
        values.insert(
            values.end(),
            {{QStringLiteral("S_MatID"), artikelId},
             {QStringLiteral("S_SrcNr"), FieldText(*article, QStringLiteral("A_ArtNo"))},
             {QStringLiteral("S_Kurztext"), bezeich},
             {QStringLiteral("S_Text"), beschreibung.isEmpty() ? bezeich : beschreibung},
             {QStringLiteral("S_MengBez"),
              GetVeKurz(FieldInt(*article, QStringLiteral("A_VerpackEinheit")))},
             {QStringLiteral("S_EPreis"), FieldFloat(*article, QStringLiteral("A_Preis1"))},
             {QStringLiteral("S_MwstKz"), mwst.isNull() ? DefaultMwstKz : mwst.asInteger()}});
        SetFieldsIfPresent(line, values);
        SetFieldIfPresent(line, QStringLiteral("S_ErloesKonto"),
                          DefaultErloesKonto(line, GetArtikelKostart(artikelId)));
    });
    return true;
}

bool FillLineFromTaetigkeit(Table& line, int taetigId, const TLineFillOptions& options) {
    auto activity = recordOf(QStringLiteral("Taetig.DB"), QStringLiteral("T_ID"), taetigId);
    if (!activity)
        return false;
    EnsureEditOrInsert(line);
    CancelEditOnError(line, [&] {
        std::vector<std::pair<QString, QVariant>> values{
            {QStringLiteral("S_Origin"), 8},
            {QStringLiteral("S_PosTyp"), 1},
            {QStringLiteral("S_MatID"), taetigId},
            {QStringLiteral("S_SrcNr"),
             QString::number(FieldInt(*activity, QStringLiteral("T_Nr")))},
            {QStringLiteral("S_Kurztext"), FieldText(*activity, QStringLiteral("T_Match"))},
            {QStringLiteral("S_MengBez"), FieldText(*activity, QStringLiteral("T_BasisEinheit"))},
            {QStringLiteral("S_Text"), FieldText(*activity, QStringLiteral("T_TextTour"))},
        };
        if (options.activityPrice)
            values.insert(values.end(), {{QStringLiteral("S_EPreis"),
                                          FieldFloat(*activity, QStringLiteral("T_BasisPreis"))},
                                         {QStringLiteral("S_MwstKz"), DefaultMwstKz}});
        SetFieldsIfPresent(line, values);
        if (options.activityPrice)
            SetFieldIfPresent(
                line, QStringLiteral("S_ErloesKonto"),
                DefaultErloesKonto(line, FieldInt(*activity, QStringLiteral("T_KostArt"))));
    });
    return true;
}

bool FillLineFromFremdleistung(Table& line, int fremdId) {
    auto service = recordOf(QStringLiteral("FremdLst.db"), QStringLiteral("S_ID"), fremdId);
    if (!service)
        return false;
    EnsureEditOrInsert(line);
    CancelEditOnError(line, [&] {
        // The link first, so that the quantity is judged as the service's.
        SetFieldsIfPresent(line, {{QStringLiteral("S_PosTyp"), 2},
                                  {QStringLiteral("S_Quelle"), 5},
                                  {QStringLiteral("S_RefID"), fremdId}});
        for (int i = 0; i < service->fieldCount(); ++i) {
            const Field& from = service->field(i);
            const QString& name = from.name();
            // The line keeps its own key, document and number.
            if (from.isNull() || name.compare(QLatin1String("S_ID"), Qt::CaseInsensitive) == 0 ||
                name.compare(QLatin1String("S_Ref"), Qt::CaseInsensitive) == 0 ||
                name.compare(QLatin1String("S_PosNr"), Qt::CaseInsensitive) == 0)
                continue;
            if (Field* to = line.findField(name); to && !to->isCalculated())
                to->setValue(from.value());
        }
        SetFieldsIfPresent(
            line,
            {{QStringLiteral("S_Origin"), 13},
             {QStringLiteral("S_QuellNr"), FieldText(*service, QStringLiteral("R_Nr"))},
             {QStringLiteral("S_SrcNr"), FieldText(*service, QStringLiteral("S_LiefArtNr"))}});
        SetFieldIfPresent(
            line, QStringLiteral("S_ErloesKonto"),
            DefaultErloesKonto(line, FieldInt(*service, QStringLiteral("S_KostArt"))));
    });
    return true;
}

bool SetLineErloesKonto(Table& line, int kostart) {
    if (kostart == 0 || kostart == FieldInt(line, QStringLiteral("S_ErloesKonto")))
        return false;
    EnsureEditOrInsert(line);
    line[QStringLiteral("S_ErloesKonto")] = kostart;
    return true;
}

void FillMissingErloesKonten(Table& lines) {
    if (lines.isEditing())
        lines.post();
    const table::Bookmark mark = lines.bookmark();
    for (lines.first(); !lines.eof() && !lines.isEmpty(); lines.next()) {
        if (FieldInt(lines, QStringLiteral("S_ErloesKonto")) != 0)
            continue;
        const int account = DefaultErloesKonto(lines, 0);
        if (account == 0)
            continue;
        lines.edit();
        lines[QStringLiteral("S_ErloesKonto")] = account;
        lines.post();
    }
    if (lines.bookmarkValid(mark))
        lines.gotoBookmark(mark);
}

void MarkDeliveryNoteBilled(int lsId, int invoiceId, const QString& invoiceNr,
                            const QDate& invoiceDate) {
    Table& head = DataModule1().TabLSKopf();
    OpenForCall open(head);
    if (head.isEditing())
        head.post();
    if (!head.locate({QStringLiteral("R_ID")}, {lsId}))
        return;
    head.edit();
    CancelEditOnError(head, [&] {
        head[QStringLiteral("R_Buchung")] = invoiceId;
        head[QStringLiteral("R_RechNr")] = invoiceNr;
        head[QStringLiteral("R_BuchDat")] = invoiceDate;
        head.post();
    });
    open.close();
}
