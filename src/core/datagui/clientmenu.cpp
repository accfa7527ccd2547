#include "core/datagui/clientmenu.h"

#include "core/data/clientswitch.h"
#include "core/data/datamodule.h"
#include "core/data/kostenauszeiterfass.h"
#include "core/data/rubrikdefaultkostart.h"
#include "core/files/programdirs.h"
#include "core/gui/mainform.h"
#include "core/gui/splashform.h"
#include "core/messages/messages.h"
#include "core/settings/programsettings.h"
#include "platform/errors.h"
#include "platform/table/table.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

// The default cost types and the company's cost switch of the active client.
void clientActivationWork() {
    if (!HasDataModule1() || !DataModule1().hasTables())
        return;
    TDataModule1& data = DataModule1();
    if (data.TabKostart().isOpen())
        LoadRubrikDefaultKostart();
    if (data.TabFirmen().isOpen())
        GetKostenAusZeiterfass(data.TabFirmen());
}

void installHooks(TF_LumoMain& window) {
    ClientSwitchHooks& hooks = ClientSwitchHooksRegistry();
    hooks.showPanel = [](const QString& step) {
        if (SplashForm)
            SplashForm->showMandantPanel(step);
    };
    hooks.hidePanel = [] {
        if (SplashForm)
            SplashForm->hideMandantPanel();
    };
    hooks.setTitle = [&window](const QString& clientPart) {
        window.setWindowTitle(MainWindowBaseCaption().trimmed() + clientPart);
    };
    hooks.processEvents = [] { QCoreApplication::processEvents(); };
    hooks.switchDone = [] { clientActivationWork(); };
}

// One client entry chosen: guarded against re-entry, the window disabled and
// the hourglass shown for the time of the switch.
void chooseClient(TF_LumoMain& window, int mandant) {
    static bool running = false;
    if (running)
        return;
    running = true;
    window.setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    DbUpgraded = false;
    struct Restore {
        TF_LumoMain& window;
        ~Restore() {
            QApplication::restoreOverrideCursor();
            window.setEnabled(true);
            running = false;
        }
    } restore{window};
    try {
        SelectMandant(mandant, true, false);
    } catch (const ProgramEndRequested&) {
        QCoreApplication::exit(1);
    } catch (const DbError& error) {
        ShowError(error.message());
    }
}

// The client entries: captions from "Mandanten.txt" each time the menu opens,
// the active client disabled.
void fillClientMenu(TF_LumoMain& window) {
    QMenu* menu = window.menuNamed(u"Mandant"_s);
    if (!menu)
        return;
    menu->setToolTipsVisible(true);
    // The menu holds a separator and "Abbrechen"; the entries go above both.
    QAction* separator = menu->actions().value(0);
    QList<QAction*> entries;
    for (int nr = 0; nr <= MaxMandantNr; ++nr) {
        auto* action = new QAction(MandantCaptions().value(nr), menu);
        action->setData(nr);
        menu->insertAction(separator, action);
        entries.append(action);
        QObject::connect(action, &QAction::triggered, &window,
                         [&window, nr] { chooseClient(window, nr); });
    }
    QObject::connect(menu, &QMenu::aboutToShow, menu, [entries] {
        const QStringList captions = MandantCaptions();
        for (QAction* action : entries) {
            const int nr = action->data().toInt();
            action->setText(captions.value(nr));
            action->setEnabled(nr != MandantNr);
            action->setToolTip(nr == MandantNr ? u"Dieser Mandant ist aktiv."_s : QString());
        }
    });
}

} // namespace

void InstallClientSwitching(TF_LumoMain& window, std::function<void()> firstActivation) {
    installHooks(window);
    // While a switch has the tables closed, an activation has nothing to read;
    // the switch runs the work once it has finished.
    window.setActivationWork([first = std::move(firstActivation)](bool) mutable {
        if (ClientSwitchRunning())
            return;
        clientActivationWork();
        if (first && HasDataModule1() && DataModule1().hasTables())
            std::exchange(first, {})();
    });
    fillClientMenu(window);
}
