#include "core/data/clientswitch.h"
#include "core/datagui/clientmenu.h"
#include "core/datagui/coremodules.h"
#include "core/framefixture.h"
#include "core/gui/mainform.h"
#include "core/moduleentries.h"
#include "core/rights/rights.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

// The number of slots connected to a signal of any object.
struct SignalPeek : QObject {
    static int receiversOf(const QObject* object, const char* signal) {
        return (object->*(&SignalPeek::receivers))(signal);
    }
};

class MainWindowMenus : public frametest::ProgramDirFixture {
protected:
    void SetUp() override {
        ProgramDirFixture::SetUp();
        m_savedUser = CurrentUser;
        CurrentUser = TUserRec();
        for (int nr = 1; nr <= 80; ++nr)
            CurrentUser.rights.set(nr, rbAllRights);
    }
    void TearDown() override {
        ClientSwitchHooksRegistry() = {};
        CurrentUser = m_savedUser;
        ProgramDirFixture::TearDown();
    }

    // Every visible entry below the menu, with its path of captions.
    void walk(QMenu* menu, const QString& path, QList<std::pair<QString, QAction*>>& entries) {
        Q_EMIT menu->aboutToShow(); // menus that fill or update themselves when opened
        for (QAction* action : menu->actions()) {
            if (action->isSeparator() || !action->isVisible())
                continue;
            const QString here = path + u" › "_s + action->text();
            if (action->menu())
                walk(action->menu(), here, entries);
            else
                entries.append({here, action});
        }
    }

    ModuleDispatcher dispatcher;

private:
    TUserRec m_savedUser;
};

TEST_F(MainWindowMenus, EveryEnabledEntryDoesSomethingAndEveryDisabledOneSaysWhy) {
    RegisterCoreModules(dispatcher);
    TF_LumoMain window(dispatcher);
    InstallClientSwitching(window);
    window.ApplyMenuRights();

    QList<std::pair<QString, QAction*>> entries;
    for (QAction* top : window.menuBar()->actions())
        if (top->isVisible() && top->menu())
            walk(top->menu(), top->text(), entries);
    ASSERT_GT(entries.size(), 100);

    int enabled = 0;
    for (const auto& [path, action] : entries) {
        SCOPED_TRACE(path.toStdString());
        if (action->isEnabled()) {
            ++enabled;
            // A check mark is the work of a checkable entry.
            EXPECT_TRUE(action->isCheckable() ||
                        SignalPeek::receiversOf(action, SIGNAL(triggered(bool))) > 0)
                << "enabled without an action";
        } else {
            EXPECT_FALSE(action->toolTip().isEmpty()) << "disabled without saying why";
        }
    }
    EXPECT_GT(enabled, 20);
    for (QPushButton* button : window.toolButtons) {
        SCOPED_TRACE(button->text().toStdString());
        if (button->isEnabled())
            EXPECT_GT(SignalPeek::receiversOf(button, SIGNAL(clicked(bool))), 0);
        else
            EXPECT_FALSE(button->toolTip().isEmpty());
    }
}

TEST_F(MainWindowMenus, TheCompanyFormAndThePrintFormFixUpAreLive) {
    RegisterCoreModules(dispatcher);
    TF_LumoMain window(dispatcher);
    EXPECT_TRUE(window.menuItem(u"Einstellungen"_s, u"Firmendaten"_s)->isEnabled());
    EXPECT_TRUE(window.menuItem(u"Sonstiges"_s, u"Neue Druckformulare einbinden"_s)->isEnabled());
    for (const QString& caption :
         {u"Kundenimport-Datei einstellen"_s, u"Kundenexport-Datei einstellen"_s,
          u"Exportpfad für KHK-Fibu einstellen"_s,
          u"Exportpfad für Lexware Lohndatenexport einstellen"_s})
        EXPECT_TRUE(window.menuItem(u"Import/Export"_s, caption)->isEnabled())
            << caption.toStdString();
    EXPECT_FALSE(window.menuItem(u"Datensicherung"_s, u"Tresor aufräumen"_s)->isEnabled());
}

} // namespace
