#include "core/data/clientswitch.h"
#include "core/data/clientswitchfixture.h"
#include "core/data/datamodule.h"
#include "core/data/rubrikdefaultkostart.h"
#include "core/data/startclient.h"
#include "core/datagui/clientmenu.h"
#include "core/files/programdirs.h"
#include "core/framefixture.h"
#include "core/gui/mainform.h"
#include "core/moduleentries.h"
#include "core/rights/rights.h"
#include "core/settings/programsettings.h"
#include "core/startup.h"
#include "platform/table/database.h"
#include "platform/table/table.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QMenu>
#include <QTest>
#include <memory>

using namespace Qt::StringLiterals;
using Kind = MessagePresenter::Kind;

namespace {

// Each box is a real window that takes the focus; closing it hands the
// activation back to the main window, delivered with the next events the
// program processes, as a modal box does.
class ActivatingPresenter : public frametest::RecordingPresenter {
public:
    bool show(Kind kind, const QString& text, int left, int top) override {
        const bool answer = RecordingPresenter::show(kind, text, left, top);
        QWidget box;
        box.setWindowTitle(text);
        box.show();
        box.activateWindow();
        (void)QTest::qWaitForWindowActive(&box, 500);
        box.close();
        if (mainWindow)
            mainWindow->activateWindow();
        return answer;
    }
    QWidget* mainWindow = nullptr;
};

// The program's start with its main window and client menu; every box the
// program shows hands the activation back to the main window.
class ClientMenuTest : public datatest::ClientSwitchFixture {
protected:
    void SetUp() override {
        ClientSwitchFixture::SetUp();
        SetMessagePresenter(&boxes);
        window = std::make_unique<TF_LumoMain>(dispatcher);
        InstallClientSwitching(*window, [this] { ++firstActivations; });
        boxes.mainWindow = window.get();
        startUp();
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    void TearDown() override {
        window.reset();
        ClientSwitchFixture::TearDown();
    }

    // Opens the menu "Mandant" as the user does and clicks the entry.
    void choose(int mandant) {
        QMenu* menu = window->menuNamed(u"Mandant"_s);
        ASSERT_NE(menu, nullptr);
        Q_EMIT menu->aboutToShow();
        QAction* entry = menu->actions().value(mandant);
        ASSERT_NE(entry, nullptr);
        ASSERT_EQ(entry->data().toInt(), mandant);
        ASSERT_TRUE(entry->isEnabled()) << "client " << mandant;
        entry->trigger();
        QApplication::processEvents();
    }

    ActivatingPresenter boxes;
    ModuleDispatcher dispatcher;
    std::unique_ptr<TF_LumoMain> window;
    int firstActivations = 0;
};

TEST_F(ClientMenuTest, TheFirstActivationWorkRunsOnceWithTheClientsTables) {
    EXPECT_EQ(firstActivations, 1);
    window->FormActivate();
    boxes.answers = {true};
    choose(2);
    window->FormActivate();
    EXPECT_EQ(firstActivations, 1);
}

TEST_F(ClientMenuTest, CreatesClientsInARowAndSwitchesAmongThemWithoutError) {
    for (int mandant : {2, 3, 4}) {
        boxes.boxes.clear();
        boxes.answers = {true};
        choose(mandant);
        // The new client's activation registers its layout files: no name
        // to replace, nothing asked.
        EXPECT_EQ(boxes.texts(Kind::Question),
                  QStringList({u"Möchten Sie wirklich einen neuen Mandanten anlegen?"_s}));
        EXPECT_TRUE(boxes.texts(Kind::Error).isEmpty())
            << boxes.texts(Kind::Error).join(u'|').toStdString();
        EXPECT_EQ(MandantNr, mandant);
        EXPECT_EQ(lumoDir(), GetMandantDataDir(mandant));
        EXPECT_TRUE(dm->TabKostart().isOpen());
        EXPECT_TRUE(window->isEnabled());
        // The activation work has read the new client's cost types.
        EXPECT_GT(GetRubrikDefaultKostart(1), 0);
    }
    for (int mandant : {2, 4, 3, 1}) {
        boxes.boxes.clear();
        choose(mandant);
        EXPECT_TRUE(boxes.texts(Kind::Error).isEmpty())
            << boxes.texts(Kind::Error).join(u'|').toStdString();
        EXPECT_TRUE(boxes.texts(Kind::Question).isEmpty());
        EXPECT_EQ(MandantNr, mandant);
        EXPECT_EQ(lumoDir(), GetMandantDataDir(mandant));
    }
    EXPECT_FALSE(ClientSwitchRunning());
}

TEST_F(ClientMenuTest, AFailedCreationLeavesNoClientDirectoriesAndKeepsTheClient) {
    // The upgrade's work directory cannot be made: a file is in its way.
    writeBytes(GetDataTempDir(), "x");
    boxes.answers = {true};
    choose(3);
    EXPECT_FALSE(boxes.texts(Kind::Error).isEmpty());
    EXPECT_EQ(MandantNr, 1);
    EXPECT_EQ(lumoDir(), GetMandantDataDir(1));
    EXPECT_TRUE(dm->TabFirmen().isOpen());
    EXPECT_FALSE(QFileInfo::exists(GetMandantDataDir(3)));
    EXPECT_FALSE(QFileInfo::exists(GetMandantQrfdDir(3)));
}

} // namespace
