#pragma once

#include "core/data/moduledbfixture.h"
#include "core/datagui/gridservices.h"
#include "core/gui/modaldriver.h"

#include <QApplication>
#include <QWidget>
#include <functional>

namespace dialogtest {

// A client database with its data module; rows are added before the module
// is created so that its objects see them. The program-wide last sort starts
// empty in every test.
class DialogDbTest : public datatest::ModuleDbFixture {
protected:
    void SetUp() override {
        ModuleDbFixture::SetUp();
        ResetLastSort();
    }
    void TearDown() override {
        ResetLastSort();
        ModuleDbFixture::TearDown();
    }
};

// Runs action on the next modal window of type T once it is shown.
template <typename T> void WhenShown(std::function<void(T&)> action) {
    WhenModalShown([action = std::move(action)](QWidget* modal) {
        T* form = qobject_cast<T*>(modal);
        if (!form) {
            ADD_FAILURE() << "unexpected modal window " << modal->metaObject()->className();
            modal->close();
            return;
        }
        action(*form);
    });
}

// Top-level windows of type T that still exist.
template <typename T> int LiveWindows() {
    int count = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<T*>(w))
            ++count;
    return count;
}

} // namespace dialogtest
