#include "commercial/documents/offercalc.h"

#include "commercial/documents/linerules.h"
#include "core/data/dbhelpers.h"
#include "core/data/lookups.h"
#include "core/data/printforms.h"
#include "core/values/money.h"
#include "platform/table/table.h"

#include <memory>
#include <utility>
#include <vector>

using namespace Qt::StringLiterals;
using table::Table;

namespace {

constexpr int kOriginArtikel = 3;
constexpr int kOriginTaetig = 8;

std::unique_ptr<Table> recordOf(const QString& file, const QString& keyField, int key) {
    auto t = OpenTempTableWhere(u"LumoDB"_s, file, u"%1=%2"_s.arg(keyField).arg(key));
    if (t->isEmpty())
        return nullptr;
    return t;
}

int startIdOf(Table& line, int origin) {
    if (!line.isOpen() || (line.isEmpty() && !line.isEditing()))
        return 0;
    return FieldInt(line, u"S_Origin"_s) == origin ? FieldInt(line, u"S_MatID"_s) : 0;
}

} // namespace

bool FillCalcLineFromArtikel(Table& line, int artikelId) {
    auto article = recordOf(u"Artikel.DB"_s, u"A_ID"_s, artikelId);
    if (!article)
        return false;
    const QString beschreibung = FieldText(*article, u"A_Beschreibung"_s);
    const QString unit = GetVeKurz(FieldInt(*article, u"A_VerpackEinheit"_s));
    EnsureEditOrInsert(line);
    CancelEditOnError(line, [&] {
        std::vector<std::pair<QString, QVariant>> values{
            {u"S_Origin"_s, kOriginArtikel},
            {u"S_PosTyp"_s, 0},
            {u"S_MatID"_s, artikelId},
            {u"S_SrcNr"_s, FieldText(*article, u"A_ArtNo"_s)},
            {u"S_Kurztext"_s, FieldText(*article, u"A_Bezeich1"_s)},
        };
        if (!beschreibung.isEmpty())
            values.emplace_back(u"S_Text"_s, beschreibung);
        if (!unit.isEmpty())
            values.emplace_back(u"S_MengBez"_s, unit);
        // The sale price last: its rule reprices the line from the values above.
        values.emplace_back(u"S_BasisPreis"_s, FieldFloat(*article, u"A_EkPreis"_s));
        values.emplace_back(u"S_BasisVkpreis"_s, FieldFloat(*article, u"A_Preis1"_s));
        SetFieldsIfPresent(line, values);
    });
    return true;
}

bool FillCalcLineFromTaetigkeit(Table& line, int taetigId) {
    auto service = recordOf(u"Taetig.DB"_s, u"T_ID"_s, taetigId);
    if (!service)
        return false;
    const double basisPreis = FieldFloat(*service, u"T_BasisPreis"_s);
    EnsureEditOrInsert(line);
    CancelEditOnError(line, [&] {
        SetFieldsIfPresent(line,
                           {
                               {u"S_Origin"_s, kOriginTaetig},
                               {u"S_PosTyp"_s, 1},
                               {u"S_MatID"_s, taetigId},
                               {u"S_SrcNr"_s, QString::number(FieldInt(*service, u"T_Nr"_s))},
                               {u"S_MengBez"_s, FieldText(*service, u"T_BasisEinheit"_s)},
                               {u"S_Kurztext"_s, FieldText(*service, u"T_Match"_s)},
                               {u"S_Text"_s, FieldText(*service, u"T_TextTour"_s)},
                               {u"S_BasisPreis"_s, basisPreis},
                               {u"S_BasisMinuten"_s, FieldFloat(*service, u"T_BasisMinuten"_s)},
                               {u"S_BasisVkpreis"_s, basisPreis},
                           });
    });
    return true;
}

int CalcArtikelStartId(Table& line) {
    return startIdOf(line, kOriginArtikel);
}

int CalcTaetigStartId(Table& line) {
    return startIdOf(line, kOriginTaetig);
}

int CalcPrintGroup(int formId) {
    const int group = formId / 100 * 100;
    if (!SameFormType(formId, group))
        return 0;
    return group == 39000 || group == 39500 ? group : 0;
}

QString CalcNumberText(int angId) {
    return QStringLiteral("%1").arg(angId, 8, 10, QLatin1Char('0'));
}

TOfferCosts OfferCosts(int angId) {
    auto lines = OpenTempTableWhere(u"LumoDB"_s, u"AngSatz.DB"_s, u"S_Ref=%1"_s.arg(angId));
    double year = 0.0;
    double instalment = 0.0;
    for (lines->first(); !lines->eof() && !lines->isEmpty(); lines->next()) {
        if (FieldInt(*lines, u"S_PosArt"_s) != 0)
            continue;
        year += FieldFloat(*lines, u"S_GesamtKosten"_s);
        instalment += FieldFloat(*lines, u"S_IntervallKosten"_s);
    }
    return {RoundCents(year), RoundCents(instalment)};
}
