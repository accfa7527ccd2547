#include "core/data/companycosts.h"

#include "core/data/dbhelpers.h"
#include "platform/table/table.h"

#include <initializer_list>

namespace {

double sumOf(table::Table& t, std::initializer_list<const char*> fields) {
    double sum = 0;
    for (const char* name : fields)
        sum += GetFieldFloatOrDefault(&t.field(QString::fromLatin1(name)), 0);
    return sum;
}

void storeTotal(table::Table& t) {
    t[QStringLiteral("F_GesamtKosten")] =
        sumOf(t, {"F_Gemeinkosten", "F_Lohnkosten", "F_LNebenkosten"});
}

} // namespace

void CalkLohnkosten(table::Table& firmen) {
    EnsureEditOrInsert(firmen);
    firmen[QStringLiteral("F_Lohnkosten")] =
        sumOf(firmen, {"F_JahresLohn", "F_VWL", "F_Sozialleistungen"});
    storeTotal(firmen);
    firmen.post();
}

void CalcLohnnebenkosten(table::Table& firmen) {
    EnsureEditOrInsert(firmen);
    firmen[QStringLiteral("F_LNebenkosten")] =
        sumOf(firmen, {"F_Sozialabgaben", "F_ZVK", "F_Freileistungen"});
    storeTotal(firmen);
    firmen.post();
}

void CalcGemeinkosten(table::Table& firmen) {
    EnsureEditOrInsert(firmen);
    firmen[QStringLiteral("F_Gemeinkosten")] =
        sumOf(firmen, {"F_Miete", "F_GWG", "F_Abschreibung", "F_Versicherung", "F_Gebuehren",
                       "F_KfzKosten", "F_Reisekosten", "F_Fremdkosten", "F_Steuerberatung",
                       "F_Bewirtung", "F_Verbrauchsmat", "F_PortoTelefon", "F_Steuern", "F_Zinsen",
                       "F_Gehaelter", "F_Werbung", "F_Reparaturen", "F_SonstigeKosten"});
    storeTotal(firmen);
    firmen.post();
}

void CalcAll(table::Table& firmen) {
    CalkLohnkosten(firmen);
    CalcLohnnebenkosten(firmen);
    CalcGemeinkosten(firmen);
}

void CopyBankBlzToFirma(table::Table& firmen, table::Table& banken) {
    EnsureEditOrInsert(firmen);
    firmen[QStringLiteral("F_Blz")] = banken.value(QStringLiteral("BankBLZ"));
}

void CopyBankNameToFirma(table::Table& firmen, table::Table& banken) {
    EnsureEditOrInsert(firmen);
    firmen[QStringLiteral("F_BankName")] = banken.value(QStringLiteral("BankName"));
}
