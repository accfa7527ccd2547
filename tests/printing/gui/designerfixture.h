#pragma once

#include "core/gui/modaldriver.h"
#include "core/rights/rights.h"
#include "printing/basereport.h"
#include "printing/gui/designerdialog.h"
#include "printing/printeroptions.h"
#include "printing/printingfixture.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>

namespace printingtest {

// Closes the next designer dialog with OK or Abbrechen after `change`.
inline void answerNext(bool ok, std::function<void(QWidget*)> change = {}) {
    WhenModalShown([ok, change](QWidget* modal) {
        if (change)
            change(modal);
        auto* dialog = qobject_cast<DesignerDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        (ok ? dialog->okButton() : dialog->cancelButton())->click();
    });
}

// A client database with the test reports, the user holding every right of
// the print forms, placement files in the test's directory and the printer
// options reset.
class DesignerFixture : public PrintingDbFixture {
protected:
    void SetUp() override {
        PrintingDbFixture::SetUp();
        m_savedWinDir = qgetenv("DOMVERA_WINDIR");
        qputenv("DOMVERA_WINDIR", QFile::encodeName(path(QStringLiteral("win"))));
        m_savedUser = CurrentUser;
        CurrentUser.rights.set(61, rbAllRights);
        ResetPrinterOptions();
    }
    void TearDown() override {
        FreeBaseReport();
        ResetPrinterOptions();
        CurrentUser = m_savedUser;
        if (m_savedWinDir.isNull())
            qunsetenv("DOMVERA_WINDIR");
        else
            qputenv("DOMVERA_WINDIR", m_savedWinDir);
        PrintingDbFixture::TearDown();
    }

    static void mouse(QWidget* widget, QEvent::Type type, const QPoint& pos,
                      Qt::MouseButton button = Qt::LeftButton) {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
        QMouseEvent event(type, pos, widget->mapToGlobal(pos),
                          type == QEvent::MouseMove ? Qt::NoButton : button, held, Qt::NoModifier);
        QApplication::sendEvent(widget, &event);
    }

private:
    QByteArray m_savedWinDir;
    TUserRec m_savedUser;
};

} // namespace printingtest
