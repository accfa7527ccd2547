#include "core/moduleentries.h"

#include "core/rights/rights.h"
#include "platform/errors.h"

using namespace Qt::StringLiterals;

namespace {

ModuleEntry entry(const QString& id, ModuleMenu menu, const QString& caption, int right,
                  char locate = 0, bool guarded = false) {
    return ModuleEntry{id, menu, caption, right, locate, guarded};
}

QList<ModuleEntry> buildEntries() {
    using enum ModuleMenu;
    return {
        entry(u"TF_Adress"_s, Datenbanken, u"Adressen"_s, 0),
        entry(u"ShowAngebotForm"_s, Datenbanken, u"Angebote"_s, 21),
        entry(u"ShowArtikelForm"_s, Datenbanken, u"Artikel"_s, 1),
        entry(u"ShowAuftragForm"_s, Datenbanken, u"Aufträge"_s, 22),
        entry(u"ShowBestellungForm"_s, Datenbanken, u"Bestellungen"_s, 0),
        entry(u"ShowFremdleistForm"_s, Datenbanken, u"Fremdleistungen"_s, 0),
        entry(u"ShowGutschriftForm"_s, Datenbanken, u"Gutschriften"_s, 0),
        entry(u"ShowBerichtForm"_s, Datenbanken, u"Kontrollberichte"_s, 19),
        entry(u"ShowKundenForm"_s, Datenbanken, u"Kunden"_s, 2, 'K'),
        entry(u"TF_Taetig"_s, Datenbanken, u"Leistungen"_s, 8),
        entry(u"ShowLieferantForm"_s, Datenbanken, u"Lieferanten"_s, 9, 'L'),
        entry(u"ShowLiefscheinForm"_s, Datenbanken, u"Lieferscheine"_s, 23),
        entry(u"ShowPersonalForm"_s, Datenbanken, u"Mitarbeiter"_s, 6, 'P'),
        entry(u"ShowNotdienstForm"_s, Datenbanken, u"Notdienste"_s, 0, 'N', true),
        entry(u"TF_Objekt"_s, Datenbanken, u"Objekte"_s, 10, 'O'),
        entry(u"ShowOpostenForm"_s, Datenbanken, u"Offene Ausgangsrechnungen"_s, 26),
        entry(u"ShowOpERForm"_s, Datenbanken, u"Offene Eingangsrechnungen"_s, 28),
        entry(u"ShowRechnungForm"_s, Datenbanken, u"Rechnungen"_s, 24),
        entry(u"ShowRgvListForm"_s, Datenbanken, u"Rechnungsvorlagen"_s, 0),
        entry(u"ShowSchluesselForm"_s, Datenbanken, u"Schlüsselverwaltung"_s, 0, 0, true),
        entry(u"ShowTaglistForm"_s, Datenbanken, u"Tageslisten"_s, 15),
        entry(u"ShowTermEditForm"_s, Datenbanken, u"Termine"_s, 20),
        entry(u"TF_Tour"_s, Datenbanken, u"Touren"_s, 14),
        entry(u"ShowRechEinForm"_s, Datenbanken, u"Wareneingang"_s, 27),
        entry(u"ShowZeiterfForm"_s, Datenbanken, u"Zeiterfassung"_s, 29),

        entry(u"ShowQformEditForm"_s, Einstellungen, u"Druckformulare verwalten"_s, 61),
        entry(u"ShowBankenForm"_s, Einstellungen, u"Banken"_s, 0),
        entry(u"ShowZahlIntervForm"_s, Einstellungen, u"Berichtsintervalle"_s, 0),
        entry(u"EditGroupRightsClick"_s, Einstellungen, u"Gruppenrechte bearbeiten"_s, 0),
        entry(u"EditUserRightsClick"_s, Einstellungen, u"Benutzerrechte bearbeiten"_s, 0),
        entry(u"ShowDvGroupsForm"_s, Einstellungen, u"Dokument-Gruppen"_s, 35),
        entry(u"ShowFirmaForm"_s, Einstellungen, u"Firmendaten"_s, 34),
        entry(u"SelectKopfFussText"_s, Einstellungen, u"Kopf-/Fusstexte"_s, 0),
        entry(u"ShowKostartForm"_s, Einstellungen, u"Kostenarten"_s, 36),
        entry(u"ShowKrankenkasseForm"_s, Einstellungen, u"Krankenkassen"_s, 0),
        entry(u"ShowMengEinhForm"_s, Einstellungen, u"Mengeneinheiten"_s, 0),
        entry(u"ShowMwstForm"_s, Einstellungen, u"Mehrwertsteuer-Sätze"_s, 0),
        entry(u"ShowRechintForm"_s, Einstellungen, u"Rechnungstermine"_s, 0),
        entry(u"ShowZahlartForm"_s, Einstellungen, u"Zahlungsarten"_s, 0),
        entry(u"ShowZahlBedForm"_s, Einstellungen, u"Zahlungsbedingungen"_s, 0),
        entry(u"ShowZeitartForm"_s, Einstellungen, u"Zeitarten"_s, 37),

        entry(u"ShowKostsumOForm"_s, Statistiken, u"Kostensumme Objekt"_s, 38),
        entry(u"ShowKostsumKForm"_s, Statistiken, u"Kostenarten-Übersicht"_s, 38),
        entry(u"ShowUmStatKundForm"_s, Statistiken, u"Kundenumsatz"_s, 0),
        entry(u"ShowUmStatObjForm"_s, Statistiken, u"Objekt-Umsatz"_s, 0),
        entry(u"ShowUmStatLiefForm"_s, Statistiken, u"Lieferanten-Umsatz"_s, 0),
        entry(u"ShowUmStatGesamtForm"_s, Statistiken, u"Rechnungsliste"_s, 0),

        entry(u"ShowRechViewForm"_s, Datenablage, u"Rechnungen"_s, 41),
        entry(u"ShowGsViewForm"_s, Datenablage, u"Gutschriften"_s, 42),
        entry(u"ShowAngViewForm"_s, Datenablage, u"Angebote"_s, 43),
        entry(u"ShowAuftViewForm"_s, Datenablage, u"Aufträge"_s, 44),
        entry(u"ShowLiefViewForm"_s, Datenablage, u"Lieferscheine"_s, 45),
        entry(u"ShowBerAblageForm"_s, Datenablage, u"Kontrollberichte"_s, 46),
        entry(u"ShowRechEinViewForm"_s, Datenablage, u"Eingangsrechnungen"_s, 47),
        entry(u"ShowBestViewForm"_s, Datenablage, u"Bestellungen"_s, 0),
        entry(u"ShowZeiterfAblageForm"_s, Datenablage, u"Zeiterfassung"_s, 29),
    };
}

} // namespace

const QList<ModuleEntry>& ModuleEntries() {
    static const QList<ModuleEntry> entries = buildEntries();
    return entries;
}

const ModuleEntry* FindModuleEntry(const QString& id) {
    for (const ModuleEntry& e : ModuleEntries())
        if (e.id == id)
            return &e;
    return nullptr;
}

QList<ModuleEntry> ModuleEntriesOf(ModuleMenu menu) {
    QList<ModuleEntry> result;
    for (const ModuleEntry& e : ModuleEntries())
        if (e.menu == menu)
            result.append(e);
    return result;
}

const QList<ToolBarButton>& ToolBarButtons() {
    static const QList<ToolBarButton> buttons = {
        {u"Artikel"_s, u"ShowArtikelForm"_s, 0},
        {u"Kunden"_s, u"ShowKundenForm"_s, 0},
        {u"Mitarbeiter"_s, u"ShowPersonalForm"_s, 0},
        {u"Touren"_s, u"TF_Tour"_s, 0},
        {u"Berichte"_s, u"ShowBerichtForm"_s, 0},
        {u"Lieferscheine"_s, u"ShowLiefscheinForm"_s, 0},
        {u"Angebote"_s, u"ShowAngebotForm"_s, 0},
        {u"Zeiterfassung"_s, u"ShowZeiterfForm"_s, 0},
        {u"Wareneing."_s, u"ShowRechEinForm"_s, 0},
        {u"Leistungen"_s, u"TF_Taetig"_s, 1},
        {u"Lieferanten"_s, u"ShowLieferantForm"_s, 1},
        {u"Objekte"_s, u"TF_Objekt"_s, 1},
        {u"Tageslisten"_s, u"ShowTaglistForm"_s, 1},
        {u"Termine"_s, u"ShowTermEditForm"_s, 1},
        {u"Rechnungen"_s, u"ShowRechnungForm"_s, 1},
        {u"Aufträge"_s, u"ShowAuftragForm"_s, 1},
        {u"Off. Post. AR"_s, u"ShowOpostenForm"_s, 1},
        {u"Off. Post. ER"_s, u"ShowOpERForm"_s, 1},
    };
    return buttons;
}

void ModuleDispatcher::setOpener(const QString& id, Opener opener) {
    if (!FindModuleEntry(id))
        throw DbError(u"Unbekannter Menüeintrag: %1"_s.arg(id));
    m_openers.insert(id, std::move(opener));
}

void ModuleDispatcher::setLocator(Locator locator) {
    m_locator = std::move(locator);
}

bool ModuleDispatcher::isAvailable(const QString& id) const {
    const auto it = m_openers.constFind(id);
    return it != m_openers.constEnd() && *it;
}

ModuleDispatcher::Outcome ModuleDispatcher::run(const QString& id) {
    const ModuleEntry* e = FindModuleEntry(id);
    if (!e)
        throw DbError(u"Unbekannter Menüeintrag: %1"_s.arg(id));
    if (e->reentryGuarded && m_running.contains(id))
        return Outcome::Busy;
    if (e->right != 0 && !CheckViewRight(e->right))
        return Outcome::Refused;
    if (!isAvailable(id))
        throw DbError(
            u"Der Programmteil \"%1\" ist in dieser Version nicht enthalten."_s.arg(e->caption));
    struct RunningMark {
        QSet<QString>& set;
        QString id;
        bool active;
        ~RunningMark() {
            if (active)
                set.remove(id);
        }
    } mark{m_running, id, e->reentryGuarded};
    if (e->reentryGuarded)
        m_running.insert(id);
    if (e->locate != 0 && m_locator)
        m_locator(e->locate);
    m_openers.value(id)();
    return Outcome::Opened;
}
