#include "core/messagecatalog.h"

#include <algorithm>
#include <iterator>

namespace {

struct CatalogEntry {
    quint16 number;
    const char16_t* text;
};

// Kept sorted by number; related texts lie side by side. Add new texts in the
// block of their topic.
constexpr CatalogEntry kCatalog[] = {
    {64736, u"Neue Nummer eingeben"},
    {64742, u"Es wurden %d Datensätze gefunden."},
    {64838, u"Arbeitszeitdaten sind erfasst bis einschließlich %s."},
    {64891, u"Sie haben keine Berechtigung zum Löschen der Daten."},
    {65158, u"Angebot auswählen"},
    {65201, u"Möchten Sie den Datensatz löschen?"},
    {65223, u" : Fehler!"},
    {65256, u"Unbekannter Feiertag"},
    {65257, u"Unbekannte Währung [Index = "},
    {65258, u"Dieses Feld ist kein Suchfeld!"},
    {65277, u"10"},
    {65278, u"3"},
    {65286, u"J"},
    {65287, u"N"},
    {65288, u"Ja"},
    {65289, u"Nein"},
    {65290, u"FEHLER"},
};

static_assert(std::is_sorted(std::begin(kCatalog), std::end(kCatalog),
                             [](const CatalogEntry& a, const CatalogEntry& b) {
                                 return a.number < b.number;
                             }),
              "message catalog must stay sorted by number");

} // namespace

QString LoadMessage(quint16 number) {
    const auto it = std::lower_bound(std::begin(kCatalog), std::end(kCatalog), number,
                                     [](const CatalogEntry& e, quint16 n) { return e.number < n; });
    if (it == std::end(kCatalog) || it->number != number)
        return {};
    return QString::fromUtf16(it->text);
}
