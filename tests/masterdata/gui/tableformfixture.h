#pragma once

#include "core/data/moduledbfixture.h"
#include "core/data/recordrules.h"
#include "core/files/deleteguard.h"
#include "core/gui/mainform.h"
#include "core/gui/modaldriver.h"
#include "core/moduleentries.h"
#include "core/rights/rights.h"
#include "masterdata/dialogs/tf_kalender.h"
#include "masterdata/gui/listformdecl.h"
#include "masterdata/gui/masterdatamodules.h"
#include "masterdata/gui/tf_listform.h"
#include "masterdata/gui/tf_tableform.h"

#include <QApplication>
#include <QFile>
#include <QList>
#include <QTest>
#include <functional>
#include <memory>

namespace formtest {

// The logged-in user while it lives: every right of the given functions,
// asked by the delete guard through the installed rights checker.
class TestUser {
public:
    explicit TestUser(std::initializer_list<int> functions) : m_saved(CurrentUser) {
        CurrentUser = TUserRec();
        for (const int f : functions)
            CurrentUser.rights.set(f, rbAllRights);
        InstallRightsChecker();
    }
    ~TestUser() {
        SetRightsChecker(nullptr);
        CurrentUser = m_saved;
    }
    TestUser(const TestUser&) = delete;
    TestUser& operator=(const TestUser&) = delete;

private:
    TUserRec m_saved;
};

// Shows the form as the active window, as the user's click into it does.
inline void ShowActive(QWidget& form) {
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
}

// A client database with its data module, its record rules and the
// calendar, for the declared table forms.
class TableFormTest : public datatest::ModuleDbFixture {
protected:
    void SetUp() override {
        ModuleDbFixture::SetUp();
        // Placements (column layouts, the main window's state) stay in the test.
        m_hadWinDir = qEnvironmentVariableIsSet("DOMVERA_WINDIR");
        m_savedWinDir = qgetenv("DOMVERA_WINDIR");
        qputenv("DOMVERA_WINDIR", QFile::encodeName(path(QStringLiteral("win"))));
        createModule();
        InstallRecordRules(*dm);
        calendar = std::make_unique<KalenderForm>();
    }
    void TearDown() override {
        calendar.reset();
        ModuleDbFixture::TearDown();
        if (m_hadWinDir)
            qputenv("DOMVERA_WINDIR", m_savedWinDir);
        else
            qunsetenv("DOMVERA_WINDIR");
    }

    // Runs work on the table form once the opener shows it; false when none
    // was shown. Work must close the form.
    static bool whenFormShown(const std::function<void(TF_TableForm&)>& work,
                              const std::function<void()>& open) {
        return whenShown<TF_TableForm>(work, open);
    }
    // The same for a modal window of another class.
    template <typename Form>
    static bool whenShown(const std::function<void(Form&)>& work,
                          const std::function<void()>& open) {
        bool shown = false;
        WhenModalShown([&](QWidget* modal) {
            auto* form = qobject_cast<Form*>(modal);
            if (!form) {
                modal->close();
                return;
            }
            shown = true;
            work(*form);
        });
        open();
        return shown;
    }

    std::unique_ptr<KalenderForm> calendar;

private:
    QByteArray m_savedWinDir;
    bool m_hadWinDir = false;
};

// The main window with the master-data openers, for a user holding all
// rights of the given functions only.
class MainWindowTest : public TableFormTest {
protected:
    explicit MainWindowTest(QList<int> rights) : m_rights(std::move(rights)) {}
    void SetUp() override {
        TableFormTest::SetUp();
        m_savedUser = CurrentUser;
        CurrentUser = TUserRec();
        for (const int right : m_rights)
            CurrentUser.rights.set(right, rbAllRights);
        RegisterMasterDataModules(dispatcher);
        window = std::make_unique<TF_LumoMain>(dispatcher);
        window->show();
    }
    void TearDown() override {
        window.reset();
        SetListPrinter({}); // installed with the modules
        CurrentUser = m_savedUser;
        TableFormTest::TearDown();
    }

    ModuleDispatcher dispatcher;
    std::unique_ptr<TF_LumoMain> window;

private:
    QList<int> m_rights;
    TUserRec m_savedUser;
};

// A list form over its shared table, active, for a user who holds what
// grant gave (nothing at first).
class ListFormTest : public TableFormTest {
protected:
    void SetUp() override {
        TableFormTest::SetUp();
        m_savedUser = CurrentUser;
        CurrentUser = TUserRec();
        InstallRightsChecker();
    }
    void TearDown() override {
        form.reset();
        SetRightsChecker(nullptr);
        CurrentUser = m_savedUser;
        TableFormTest::TearDown();
    }
    static void grant(int right, int mask = rbAllRights) { CurrentUser.rights.set(right, mask); }
    void showForm(const ListFormDecl& decl) {
        form = std::make_unique<TF_ListForm>(decl, dm->table(decl.form.table));
        form->show();
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }

    std::unique_ptr<TF_ListForm> form;

private:
    TUserRec m_savedUser;
};

} // namespace formtest
