#pragma once

#include "core/gui/modaldriver.h"
#include "core/gui/placement.h"
#include "datasafety/backupdialogfixture.h"
#include "datasafety/gui/tf_datsich.h"

#include <QApplication>
#include <QFileInfo>
#include <QTest>
#include <QWidget>
#include <functional>

namespace backupguitest {

// The client databases of the backup tests with a main window to stand
// below, and the program's own windows wherever a test installs them.
class DataSafetyGuiTest : public backuptest::BackupDialogTest {
protected:
    void SetUp() override {
        BackupDialogTest::SetUp();
        main.setGeometry(20, 30, 900, 100);
        main.show();
        SetMainForm(&main);
    }
    void TearDown() override {
        SetMainForm(nullptr);
        BackupDialogTest::TearDown();
    }
    // Waits, processing events, until the condition holds (at most 10 s).
    static bool waitFor(const std::function<bool()>& condition) {
        return QTest::qWaitFor(condition, 10000);
    }
    // The top-level window of a class that is visible now.
    template <class Window> static Window* shown() {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* window = dynamic_cast<Window*>(w); window && window->isVisible())
                return window;
        return nullptr;
    }

    QWidget main;
};

} // namespace backupguitest
