#include "core/framefixture.h"
#include "core/moduleentries.h"
#include "core/rights/rights.h"
#include "core/rightsfixture.h"
#include "core/settings/formlayoutreset.h"
#include "core/settings/inifile.h"
#include "core/startup.h"
#include "platform/errors.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;
using frametest::ProgramDirFixture;
using Kind = MessagePresenter::Kind;

namespace {

const QString kRefusal = u"Sie haben keine Berechtigung für diese Funktion."_s;

struct Expected {
    ModuleMenu menu;
    const char16_t* caption;
    int right;
    char locate;
};

// The entries as the user sees them: menu, caption, right checked, address
// link followed.
const Expected kExpected[] = {
    {ModuleMenu::Datenbanken, u"Adressen", 0, 0},
    {ModuleMenu::Datenbanken, u"Angebote", 21, 0},
    {ModuleMenu::Datenbanken, u"Artikel", 1, 0},
    {ModuleMenu::Datenbanken, u"Aufträge", 22, 0},
    {ModuleMenu::Datenbanken, u"Bestellungen", 0, 0},
    {ModuleMenu::Datenbanken, u"Fremdleistungen", 0, 0},
    {ModuleMenu::Datenbanken, u"Gutschriften", 0, 0},
    {ModuleMenu::Datenbanken, u"Kontrollberichte", 19, 0},
    {ModuleMenu::Datenbanken, u"Kunden", 2, 'K'},
    {ModuleMenu::Datenbanken, u"Leistungen", 8, 0},
    {ModuleMenu::Datenbanken, u"Lieferanten", 9, 'L'},
    {ModuleMenu::Datenbanken, u"Lieferscheine", 23, 0},
    {ModuleMenu::Datenbanken, u"Mitarbeiter", 6, 'P'},
    {ModuleMenu::Datenbanken, u"Notdienste", 0, 'N'},
    {ModuleMenu::Datenbanken, u"Objekte", 10, 'O'},
    {ModuleMenu::Datenbanken, u"Offene Ausgangsrechnungen", 26, 0},
    {ModuleMenu::Datenbanken, u"Offene Eingangsrechnungen", 28, 0},
    {ModuleMenu::Datenbanken, u"Rechnungen", 24, 0},
    {ModuleMenu::Datenbanken, u"Rechnungsvorlagen", 0, 0},
    {ModuleMenu::Datenbanken, u"Schlüsselverwaltung", 0, 0},
    {ModuleMenu::Datenbanken, u"Tageslisten", 15, 0},
    {ModuleMenu::Datenbanken, u"Termine", 20, 0},
    {ModuleMenu::Datenbanken, u"Touren", 14, 0},
    {ModuleMenu::Datenbanken, u"Wareneingang", 27, 0},
    {ModuleMenu::Datenbanken, u"Zeiterfassung", 29, 0},
    {ModuleMenu::Einstellungen, u"Druckformulare verwalten", 61, 0},
    {ModuleMenu::Einstellungen, u"Banken", 0, 0},
    {ModuleMenu::Einstellungen, u"Berichtsintervalle", 0, 0},
    {ModuleMenu::Einstellungen, u"Gruppenrechte bearbeiten", 0, 0},
    {ModuleMenu::Einstellungen, u"Benutzerrechte bearbeiten", 0, 0},
    {ModuleMenu::Einstellungen, u"Dokument-Gruppen", 35, 0},
    {ModuleMenu::Einstellungen, u"Firmendaten", 34, 0},
    {ModuleMenu::Einstellungen, u"Kopf-/Fusstexte", 0, 0},
    {ModuleMenu::Einstellungen, u"Kostenarten", 36, 0},
    {ModuleMenu::Einstellungen, u"Krankenkassen", 0, 0},
    {ModuleMenu::Einstellungen, u"Mengeneinheiten", 0, 0},
    {ModuleMenu::Einstellungen, u"Mehrwertsteuer-Sätze", 0, 0},
    {ModuleMenu::Einstellungen, u"Rechnungstermine", 0, 0},
    {ModuleMenu::Einstellungen, u"Zahlungsarten", 0, 0},
    {ModuleMenu::Einstellungen, u"Zahlungsbedingungen", 0, 0},
    {ModuleMenu::Einstellungen, u"Zeitarten", 37, 0},
    {ModuleMenu::Statistiken, u"Kostensumme Objekt", 38, 0},
    {ModuleMenu::Statistiken, u"Kostenarten-Übersicht", 38, 0},
    {ModuleMenu::Statistiken, u"Kundenumsatz", 0, 0},
    {ModuleMenu::Statistiken, u"Objekt-Umsatz", 0, 0},
    {ModuleMenu::Statistiken, u"Lieferanten-Umsatz", 0, 0},
    {ModuleMenu::Statistiken, u"Rechnungsliste", 0, 0},
    {ModuleMenu::Datenablage, u"Rechnungen", 41, 0},
    {ModuleMenu::Datenablage, u"Gutschriften", 42, 0},
    {ModuleMenu::Datenablage, u"Angebote", 43, 0},
    {ModuleMenu::Datenablage, u"Aufträge", 44, 0},
    {ModuleMenu::Datenablage, u"Lieferscheine", 45, 0},
    {ModuleMenu::Datenablage, u"Kontrollberichte", 46, 0},
    {ModuleMenu::Datenablage, u"Eingangsrechnungen", 47, 0},
    {ModuleMenu::Datenablage, u"Bestellungen", 0, 0},
    {ModuleMenu::Datenablage, u"Zeiterfassung", 29, 0},
};

const ModuleEntry* entryOf(ModuleMenu menu, const QString& caption) {
    for (const ModuleEntry& e : ModuleEntries())
        if (e.menu == menu && e.caption == caption)
            return &e;
    return nullptr;
}

TUserRec userWithAllBut(int right) {
    TUserRec rec;
    for (int nr = 1; nr <= CheckedFunctionCount; ++nr)
        rec.rights.set(nr, nr == right ? quint8(rbAllRights & ~rbView) : rbAllRights);
    return rec;
}

class ModuleEntriesTest : public ProgramDirFixture {
protected:
    void SetUp() override {
        ProgramDirFixture::SetUp();
        m_savedUser = CurrentUser;
    }
    void TearDown() override {
        CurrentUser = m_savedUser;
        ProgramDirFixture::TearDown();
    }

    // A dispatcher whose every entry has an opener that records its id.
    void openAll() {
        for (const ModuleEntry& e : ModuleEntries())
            dispatcher.setOpener(e.id, [this, id = e.id] { opened << id; });
        dispatcher.setLocator([this](char kind) { located << kind; });
    }

    ModuleDispatcher dispatcher;
    QStringList opened;
    QList<char> located;

private:
    TUserRec m_savedUser;
};

TEST(ModuleEntryTable, MatchesMenusEntryByEntry) {
    ASSERT_EQ(ModuleEntries().size(), qsizetype(std::size(kExpected)));
    for (qsizetype i = 0; i < ModuleEntries().size(); ++i) {
        const ModuleEntry& e = ModuleEntries().at(i);
        const Expected& x = kExpected[i];
        SCOPED_TRACE(e.caption.toStdString());
        EXPECT_EQ(e.menu, x.menu);
        EXPECT_EQ(e.caption, QString::fromUtf16(x.caption));
        EXPECT_EQ(e.right, x.right);
        EXPECT_EQ(e.locate, x.locate);
        EXPECT_EQ(FindModuleEntry(e.id), &e) << "ids must be unique";
        EXPECT_EQ(e.reentryGuarded,
                  e.caption == u"Notdienste"_s || e.caption == u"Schlüsselverwaltung"_s);
    }
}

TEST(ModuleEntryTable, ToolBarButtonsInOrderLeadToTheirMenuEntries) {
    const QStringList captions = {u"Artikel"_s,     u"Kunden"_s,        u"Mitarbeiter"_s,
                                  u"Touren"_s,      u"Berichte"_s,      u"Lieferscheine"_s,
                                  u"Angebote"_s,    u"Zeiterfassung"_s, u"Wareneing."_s,
                                  u"Leistungen"_s,  u"Lieferanten"_s,   u"Objekte"_s,
                                  u"Tageslisten"_s, u"Termine"_s,       u"Rechnungen"_s,
                                  u"Aufträge"_s,    u"Off. Post. AR"_s, u"Off. Post. ER"_s};
    const QStringList menuCaptions = {u"Artikel"_s,
                                      u"Kunden"_s,
                                      u"Mitarbeiter"_s,
                                      u"Touren"_s,
                                      u"Kontrollberichte"_s,
                                      u"Lieferscheine"_s,
                                      u"Angebote"_s,
                                      u"Zeiterfassung"_s,
                                      u"Wareneingang"_s,
                                      u"Leistungen"_s,
                                      u"Lieferanten"_s,
                                      u"Objekte"_s,
                                      u"Tageslisten"_s,
                                      u"Termine"_s,
                                      u"Rechnungen"_s,
                                      u"Aufträge"_s,
                                      u"Offene Ausgangsrechnungen"_s,
                                      u"Offene Eingangsrechnungen"_s};
    ASSERT_EQ(ToolBarButtons().size(), 18);
    for (qsizetype i = 0; i < 18; ++i) {
        const ToolBarButton& b = ToolBarButtons().at(i);
        EXPECT_EQ(b.caption, captions.at(i));
        EXPECT_EQ(b.row, i < 9 ? 0 : 1) << i;
        const ModuleEntry* e = FindModuleEntry(b.entryId);
        ASSERT_NE(e, nullptr) << i;
        EXPECT_EQ(e->menu, ModuleMenu::Datenbanken);
        EXPECT_EQ(e->caption, menuCaptions.at(i));
    }
}

TEST_F(ModuleEntriesTest, EveryEntryChecksExactlyItsRightBeforeAnythingRuns) {
    openAll();
    for (const Expected& x : kExpected) {
        const ModuleEntry* e = entryOf(x.menu, QString::fromUtf16(x.caption));
        ASSERT_NE(e, nullptr);
        SCOPED_TRACE(e->caption.toStdString());
        opened.clear();
        located.clear();
        presenter.boxes.clear();

        // Missing only the entry's own right (or, without one, every right).
        CurrentUser = x.right ? userWithAllBut(x.right) : TUserRec();
        const auto outcome = dispatcher.run(e->id);
        if (x.right) {
            EXPECT_EQ(outcome, ModuleDispatcher::Outcome::Refused);
            EXPECT_EQ(presenter.texts(Kind::Info), QStringList{kRefusal});
            EXPECT_TRUE(opened.isEmpty());
            EXPECT_TRUE(located.isEmpty()) << "no locate before the right check";
        } else {
            EXPECT_EQ(outcome, ModuleDispatcher::Outcome::Opened);
            EXPECT_TRUE(presenter.boxes.isEmpty());
            EXPECT_EQ(opened, QStringList{e->id});
        }

        // With nothing but that right the module opens.
        opened.clear();
        located.clear();
        presenter.boxes.clear();
        CurrentUser = TUserRec();
        if (x.right)
            CurrentUser.rights.set(x.right, rbView);
        EXPECT_EQ(dispatcher.run(e->id), ModuleDispatcher::Outcome::Opened);
        EXPECT_TRUE(presenter.boxes.isEmpty());
        EXPECT_EQ(opened, QStringList{e->id});
        EXPECT_EQ(located, x.locate ? QList<char>{x.locate} : QList<char>{});
    }
}

TEST_F(ModuleEntriesTest, EntryWithoutOpenerIsUnavailableAndNeverPretendsToOpen) {
    CurrentUser = userWithAllBut(0);
    dispatcher.setLocator([this](char kind) { located << kind; });
    for (const ModuleEntry& e : ModuleEntries()) {
        EXPECT_FALSE(dispatcher.isAvailable(e.id));
        EXPECT_THROW(dispatcher.run(e.id), DbError) << e.caption.toStdString();
    }
    EXPECT_TRUE(located.isEmpty());

    // A refused right is still shown first.
    CurrentUser = TUserRec();
    EXPECT_EQ(dispatcher.run(u"ShowKundenForm"_s), ModuleDispatcher::Outcome::Refused);
    EXPECT_EQ(presenter.texts(Kind::Info).size(), 1);

    dispatcher.setOpener(u"ShowKundenForm"_s, {});
    EXPECT_FALSE(dispatcher.isAvailable(u"ShowKundenForm"_s)) << "an empty opener counts as none";
    EXPECT_THROW(dispatcher.setOpener(u"NoSuchForm"_s, [] {}), DbError);
    EXPECT_THROW(dispatcher.run(u"NoSuchForm"_s), DbError);
}

TEST_F(ModuleEntriesTest, GuardedEntriesRefuseASecondRunWhileOpenAndRecoverAfterAnError) {
    CurrentUser = userWithAllBut(0);
    int inner = 0;
    dispatcher.setOpener(u"ShowNotdienstForm"_s, [&] {
        ++inner;
        EXPECT_EQ(dispatcher.run(u"ShowNotdienstForm"_s), ModuleDispatcher::Outcome::Busy);
    });
    EXPECT_EQ(dispatcher.run(u"ShowNotdienstForm"_s), ModuleDispatcher::Outcome::Opened);
    EXPECT_EQ(inner, 1);

    // An unguarded entry may be entered again from its own module.
    int depth = 0;
    dispatcher.setOpener(u"ShowBankenForm"_s, [&] {
        if (++depth == 1) {
            EXPECT_EQ(dispatcher.run(u"ShowBankenForm"_s), ModuleDispatcher::Outcome::Opened);
        }
    });
    dispatcher.run(u"ShowBankenForm"_s);
    EXPECT_EQ(depth, 2);

    // The guard is released when the module raises.
    dispatcher.setOpener(u"ShowSchluesselForm"_s, [] { throw DbError(u"kaputt"_s); });
    EXPECT_THROW(dispatcher.run(u"ShowSchluesselForm"_s), DbError);
    dispatcher.setOpener(u"ShowSchluesselForm"_s, [] {});
    EXPECT_EQ(dispatcher.run(u"ShowSchluesselForm"_s), ModuleDispatcher::Outcome::Opened);
}

using FormLayoutResetTest = ProgramDirFixture;

TEST_F(FormLayoutResetTest, DeletesExactlyTheLayoutFilesAndLeavesTheMarker) {
    const QStringList layouts = {u"DomveraPlan00.ini"_s, u"DomveraPlan01.ini"_s,
                                 u"DomveraPlan02.ini"_s, u"DomveraPlan03.ini"_s,
                                 u"DomveraPlan04.ini"_s, u"DomveraX04.ini"_s,
                                 u"DomveraX304.ini"_s};
    const QStringList others = {u"DomveraPlan05.ini"_s, u"DomveraX05.ini"_s, u"Mandant.ini"_s,
                                u"domveraplan00.ini.bak"_s};
    for (const QString& name : layouts + others)
        writeBytes(WindowsDir + name, "[Main]\r\n");
    // A write-protected layout file goes too.
    QFile::setPermissions(WindowsDir + layouts.first(), QFileDevice::ReadOwner);

    ASSERT_TRUE(ResetFormLayouts());
    for (const QString& name : layouts)
        EXPECT_FALSE(QFileInfo::exists(WindowsDir + name)) << name.toStdString();
    for (const QString& name : others)
        EXPECT_TRUE(QFileInfo::exists(WindowsDir + name)) << name.toStdString();
    EXPECT_TRUE(QFileInfo::exists(WindowsDir + u"DELDEF.DSF"_s));
    EXPECT_EQ(QFileInfo(WindowsDir + u"DELDEF.DSF"_s).size(), 0);

    // Nothing left to delete is no failure.
    EXPECT_TRUE(ResetFormLayouts());
}

// Only the windows' places go: the last user's name and the column layouts
// stay for the next start, also after the marker ran at the next start.
TEST_F(FormLayoutResetTest, KeepsTheLastUserAndTheColumnLayouts) {
    const QByteArray layouts = "[Login Dialog]\r\nLast Logged User=Chef\r\n"
                               "[Kunden]\r\nLeft=10\r\nTop=900\r\nWidth=940\r\nHeight=760\r\n"
                               "WindowState=2\r\nGridKunden.Columns=AAAA\r\nlbSort.Caption=K_Nr\r\n"
                               "[Main]\r\nWindowState=2\r\n";
    writeBytes(WindowsDir + u"DomveraPlan01.ini"_s, layouts);
    QFile::setPermissions(WindowsDir + u"DomveraPlan01.ini"_s, QFileDevice::ReadOwner);
    for (int pass = 0; pass < 2; ++pass) {
        SCOPED_TRACE(pass == 0 ? "menu entry" : "marker at the next start");
        if (pass == 0)
            ASSERT_TRUE(ResetFormLayouts());
        else
            DeleteFormLayoutFiles();
        IniFile ini(WindowsDir + u"DomveraPlan01.ini"_s);
        ASSERT_TRUE(ini.load());
        EXPECT_EQ(ini.readString(u"Login Dialog"_s, u"Last Logged User"_s), u"Chef"_s);
        EXPECT_EQ(ini.keys(u"Kunden"_s),
                  (QStringList{u"GridKunden.Columns"_s, u"lbSort.Caption"_s}));
        EXPECT_EQ(ini.readString(u"Kunden"_s, u"GridKunden.Columns"_s), u"AAAA"_s);
        EXPECT_FALSE(ini.sectionExists(u"Main"_s));
        writeBytes(WindowsDir + u"DomveraPlan01.ini"_s, layouts);
    }
    EXPECT_FALSE(QFileInfo::exists(WindowsDir + u"DELDEF.DSF"_s));
}

} // namespace
