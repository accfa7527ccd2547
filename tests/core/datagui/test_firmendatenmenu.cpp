#include "core/data/clientdbfixture.h"
#include "core/data/clientswitch.h"
#include "core/data/datamodule.h"
#include "core/datagui/clientmenu.h"
#include "core/datagui/coremodules.h"
#include "core/datagui/f_firmen.h"
#include "core/gui/mainform.h"
#include "core/moduleentries.h"
#include "core/rights/rights.h"
#include "core/settings/programsettings.h"
#include "platform/table/table.h"
#include "platform/widgets/fieldform.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <memory>

using namespace Qt::StringLiterals;
using Kind = MessagePresenter::Kind;

namespace {

// The company form reached as its user reaches it: "Einstellungen ›
// Firmendaten" of the main window.
class FirmendatenMenu : public datatest::ClientDbFixture {
protected:
    void SetUp() override {
        ClientDbFixture::SetUp();
        m_savedUser = CurrentUser;
        m_savedMandant = MandantNr;
        MandantNr = 1;
        CurrentUser = TUserRec();
        CurrentUser.rights.set(33, rbAllRights);
        CurrentUser.rights.set(34, rbAllRights);
        dm = std::make_unique<TDataModule1>();
        dm->DataModuleCreate();
        RegisterCoreModules(dispatcher);
        window = std::make_unique<TF_LumoMain>(dispatcher);
        InstallClientSwitching(*window);
        RefreshMainTitle();
    }
    void TearDown() override {
        window.reset();
        dm.reset();
        ClientSwitchHooksRegistry() = {};
        CurrentUser = m_savedUser;
        MandantNr = m_savedMandant;
        ClientDbFixture::TearDown();
    }

    // Clicks the entry; work runs on the company form once it is shown.
    bool openForm(const std::function<void(TF_Firmen&)>& work) {
        bool shown = false;
        // Gone with this call when the form never opens.
        QTimer timer;
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            auto* form = qobject_cast<TF_Firmen*>(QApplication::activeModalWidget());
            if (!form)
                return;
            shown = true;
            work(*form);
        });
        timer.start(0);
        window->menuItem(u"Einstellungen"_s, u"Firmendaten"_s)->trigger();
        return shown;
    }

    static void type(TF_Firmen& form, const QString& field, const QString& text) {
        auto* edit = form.fields().editorAs<QLineEdit>(field);
        ASSERT_NE(edit, nullptr);
        edit->setText(text);
        edit->setModified(true);
        Q_EMIT edit->editingFinished();
    }

    ModuleDispatcher dispatcher;
    std::unique_ptr<TDataModule1> dm;
    std::unique_ptr<TF_LumoMain> window;

private:
    TUserRec m_savedUser;
    int m_savedMandant = 1;
};

TEST_F(FirmendatenMenu, AChangeIsSavedAndShownAgainAndTheNameReachesTheTitle) {
    QString titleWhileOpen;
    ASSERT_TRUE(openForm([&](TF_Firmen& form) {
        type(form, u"F_Name1"_s, u"Glanz & Co. GmbH"_s);
        type(form, u"F_NameIntern"_s, u"Glanz Hannover"_s);
        titleWhileOpen = window->windowTitle();
        for (QPushButton* b : form.findChildren<QPushButton*>())
            if (b->text() == u"Überneh&men"_s)
                b->click();
        form.close();
    }));
    EXPECT_TRUE(titleWhileOpen.endsWith(u"( Mandant 0001 : Glanz Hannover )"_s))
        << titleWhileOpen.toStdString();
    EXPECT_EQ(open(u"Firmen.DB"_s)->value(u"F_Name1"_s).toString(), u"Glanz & Co. GmbH"_s);

    QString shownAgain;
    ASSERT_TRUE(openForm([&](TF_Firmen& form) {
        shownAgain = form.fields().editorAs<QLineEdit>(u"F_Name1"_s)->text();
        form.close();
    }));
    EXPECT_EQ(shownAgain, u"Glanz & Co. GmbH"_s);
    EXPECT_TRUE(presenter.boxes.isEmpty()) << presenter.boxes.value(0).text.toStdString();
}

TEST_F(FirmendatenMenu, AUserWithoutTheRightIsRefused) {
    CurrentUser.rights.set(34, 0);
    EXPECT_FALSE(openForm([](TF_Firmen& form) { form.close(); }));
    EXPECT_EQ(presenter.texts(Kind::Info),
              QStringList{u"Sie haben keine Berechtigung für diese Funktion."_s});
}

} // namespace
