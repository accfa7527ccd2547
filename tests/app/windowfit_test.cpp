// Every window the menus open fits a 1366 x 768 desktop with a 40-pixel task
// bar: its frame and its buttons lie within the screen's available part. The
// table runs over the openers the modules register with the dispatcher, so
// a window registered later is checked too.
#include "commercial/commercialrules.h"
#include "commercial/gui/commercialmodules.h"
#include "core/datagui/coremodules.h"
#include "core/files/programdirs.h"
#include "core/gui/placement.h"
#include "core/rights/rightsstore.h"
#include "core/rightsfixture.h"
#include "datasafety/gui/datasafetymodules.h"
#include "masterdata/dialogs/dialoghooks.h"
#include "masterdata/gui/listforms.h"
#include "masterdata/gui/tableformfixture.h"
#include "operations/gui/operationsmodules.h"
#include "platform/table/table.h"
#include "platform/widgets/screenfit.h"
#include "printing/gui/printingmodules.h"

#include <QDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QSet>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

// The test screen: what a 40-pixel task bar leaves of 1366 x 768.
const QSize kRoom(1366, 728);

class WindowFit : public formtest::TableFormTest {
protected:
    void SetUp() override {
        TableFormTest::SetUp();
        m_savedUser = CurrentUser;
        // The master, who reaches every window, the rights editors included.
        TUserRec chef = rightstest::User(u"Chef"_s, u"Geheim1"_s, ukMaster);
        for (int f = 1; f <= 80; ++f)
            chef.rights.set(f, rbAllRights);
        QFile rights(ProgramDir + u"Rights.dat"_s);
        ASSERT_TRUE(rights.open(QIODevice::WriteOnly));
        rights.write(EncodeRightsFile(rightstest::Records({}, {chef})));
        rights.close();
        ASSERT_TRUE(LoadRights());
        CurrentUser = chef;
        InstallRightsChecker();
        InstallCommercialRules(*dm);
        InstallDialogHooks(*dm);
        fillSomeRows();
        RegisterCoreModules(dispatcher);
        RegisterMasterDataModules(dispatcher);
        RegisterPrintingModules(dispatcher);
        RegisterCommercialModules(dispatcher);
        RegisterOperationsModules(dispatcher);
        RegisterDataSafetyModules(dispatcher);
        window = std::make_unique<TF_LumoMain>(dispatcher);
        window->show();
        forms = std::make_unique<LongLivedForms>();
    }
    void TearDown() override {
        forms.reset();
        window.reset();
        SetListPrinter({});
        SetRightsChecker(nullptr);
        ProgramRights().unlock();
        CurrentUser = m_savedUser;
        TableFormTest::TearDown();
    }

    // One row in the master tables, so that windows that show a record have one.
    void fillSomeRows() {
        addRow(u"Kunden.DB"_s, {{u"K_ID"_s, 1}, {u"K_Nr"_s, 1001}, {u"K_Match"_s, u"MEIER"_s}});
        // The open items open only with an item to show.
        addRow(u"OpKopf.DB"_s,
               {{u"R_ID"_s, 1}, {u"R_Nr"_s, u"RE-00001"_s}, {u"R_KundenNr"_s, 1001}});
        addRow(u"Liefrnt.DB"_s, {{u"K_ID"_s, 1}, {u"K_Nr"_s, 2001}, {u"K_Match"_s, u"BAUHOF"_s}});
        addRow(u"Objekte.DB"_s,
               {{u"O_ID"_s, 1}, {u"O_Nr"_s, 3001}, {u"O_Match"_s, u"PARKSTRASSE"_s}});
        addRow(u"Personal.DB"_s, {{u"P_ID"_s, 1}, {u"P_Nr"_s, 1}, {u"P_Match"_s, u"KRAUSE"_s}});
        addRow(u"Artikel.DB"_s, {{u"A_ID"_s, 1}, {u"A_ArtNo"_s, u"100"_s}});
        // The archive browser of time records opens only over archived ones.
        addRow(u"Zeiterf.DB"_s, {{u"Z_ID"_s, 1}, {u"Z_PersNr"_s, 1}}, u"AblageDB"_s);
    }

    // The windows shown that were not shown before.
    static QList<QWidget*> newWindows(const QSet<QWidget*>& before) {
        QList<QWidget*> shown;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && !before.contains(w))
                shown.append(w);
        return shown;
    }

    static QSet<QWidget*> shownWindows() {
        QSet<QWidget*> shown;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible())
                shown.insert(w);
        return shown;
    }

    ModuleDispatcher dispatcher;
    std::unique_ptr<TF_LumoMain> window;
    std::unique_ptr<LongLivedForms> forms;

private:
    TUserRec m_savedUser;
};

QString describe(const QWidget& w) {
    return (w.windowTitle().isEmpty() ? w.objectName() : w.windowTitle()) + u": "_s +
           widgets::OffScreenParts(w).join(u", "_s);
}

} // namespace

TEST_F(WindowFit, EveryRegisteredWindowFitsTheScreen) {
    const QRect room = QGuiApplication::primaryScreen()->availableGeometry();
    ASSERT_EQ(room.size(), kRoom) << "the screen comes from QT_QPA_PLATFORM (run through ctest)";
    int checked = 0;
    for (const ModuleEntry& entry : ModuleEntries()) {
        if (!dispatcher.isAvailable(entry.id))
            continue;
        SCOPED_TRACE(entry.id.toStdString());
        presenter.boxes.clear();
        const QSet<QWidget*> before = shownWindows();
        QStringList misfits;
        QSet<QWidget*> seen;
        // Modal windows are checked and closed while the opener waits for them.
        QTimer poll;
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || !modal->isVisible())
                return;
            if (!seen.contains(modal)) {
                seen.insert(modal);
                if (!widgets::OffScreenParts(*modal).isEmpty())
                    misfits.append(describe(*modal));
            }
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
            else
                modal->close();
        });
        poll.start();
        dispatcher.run(entry.id);
        poll.stop();
        QApplication::processEvents();
        // Windows that stay open beside the main window, also maximised.
        for (QWidget* w : newWindows(before)) {
            seen.insert(w);
            if (!widgets::OffScreenParts(*w).isEmpty())
                misfits.append(describe(*w));
            w->showMaximized();
            QApplication::processEvents();
            if (!widgets::OffScreenParts(*w).isEmpty())
                misfits.append(u"maximiert "_s + describe(*w));
            w->showNormal();
            w->hide();
        }
        EXPECT_FALSE(seen.isEmpty())
            << "no window opened; boxes: "
            << presenter.texts(MessagePresenter::Kind::Error).join(u" | "_s).toStdString();
        EXPECT_TRUE(misfits.isEmpty()) << misfits.join(u"\n"_s).toStdString();
        checked += int(seen.size());
    }
    EXPECT_GT(checked, 20);
}

// The host itself: a form designed taller than the screen, below the main
// window, stays there and shows every button; a stored placement off the
// screen's edge is brought back. Any other window gets the same from the helper.
TEST_F(WindowFit, OversizedFormsAreCutToTheScreen) {
    TableFormDecl decl;
    decl.formClass = u"TF_Hoch"_s;
    decl.caption = u"Hoch"_s;
    decl.table = u"TabKunden"_s;
    decl.columns = {{u"K_Nr"_s, u"Nr."_s, 8}};
    decl.fields = {{u"&Name"_s, u"K_Match"_s}};
    decl.buttons = {{u"Extra"_s, {}}};
    decl.minimumSize = {960, 1200};
    dm->TabKunden().open();
    TF_TableForm form(decl, dm->TabKunden(), window.get());
    PlaceBelowMainForm(&form, 0, 0, 0);
    const int top = form.y();
    form.show();
    QApplication::processEvents();
    EXPECT_TRUE(widgets::OffScreenParts(form).isEmpty())
        << widgets::OffScreenParts(form).join(u", "_s).toStdString();
    EXPECT_EQ(form.y(), top) << "it stays below the main window";
    EXPECT_LE(form.frameGeometry().bottom(), kRoom.height() - 1);
    form.hide();
    form.move(500, 900);
    form.show();
    QApplication::processEvents();
    EXPECT_TRUE(widgets::OffScreenParts(form).isEmpty());
    form.hide();
    dm->TabKunden().close();

    QWidget tall;
    tall.setMinimumSize(960, 1200);
    tall.resize(960, 1200);
    tall.move(200, 300);
    widgets::KeepOnScreen(tall);
    tall.show();
    QApplication::processEvents();
    EXPECT_TRUE(widgets::OffScreenParts(tall).isEmpty());
    EXPECT_LE(tall.frameGeometry().bottom(), kRoom.height() - 1);
    EXPECT_EQ(tall.x(), 200) << "only moved as far as it must";
}
