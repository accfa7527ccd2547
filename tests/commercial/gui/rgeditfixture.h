#pragma once

#include "commercial/gui/tf_docedit.h"
#include "commercial/gui/tf_rgedit.h"
#include "commercial/invoiceeditfixture.h"
#include "core/gui/modaldriver.h"
#include "masterdata/dialogs/tf_dbselect.h"
#include "masterdata/dialogs/tf_kalender.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/userprompts.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <optional>

namespace rgedittest {

// Runs action on the next modal window of type T, waiting while others
// (the editor itself) are on top. The waiter is returned so that a test can
// drop it when no such window came.
template <typename T> QTimer* WhenModal(std::function<void(T&)> action) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, action = std::move(action)] {
        auto* modal = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!modal || !modal->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        action(*modal);
    });
    timer->start();
    return timer;
}

// Whether action brought up a picker (which is cancelled).
inline bool PickerShown(const std::function<void()>& action) {
    bool shown = false;
    QTimer* waiter = WhenModal<TF_DbSelect>([&](TF_DbSelect& d) {
        shown = true;
        d.btnCancel()->click();
    });
    action();
    // A picker that never came leaves its waiter behind: drop it.
    if (!shown)
        delete waiter;
    return shown;
}

// The invoice editor on a client with the document rules: object 500 of
// customer 100 with a payment term of 14 days net, the calendar, and the
// kit's own messages recorded like the program's.
class RgEdit : public invoicetest::InvoiceEditing {
protected:
    void SetUp() override {
        InvoiceEditing::SetUp();
        widgets::setErrorPresenter([this](QWidget*, const QString& m) { kitErrors.append(m); });
        addRow(QStringLiteral("Zahlbed.DB"),
               {{QStringLiteral("Z_ID"), 33},
                {QStringLiteral("Z_Text"), QStringLiteral("14 Tage netto")},
                {QStringLiteral("Z_NettoTage"), 14}});
        auto objects = open(QStringLiteral("Objekte.DB"));
        objects->locate({QStringLiteral("O_Nr")}, {500});
        objects->edit();
        (*objects)[QStringLiteral("O_Match")] = QStringLiteral("HAUS AM SEE");
        (*objects)[QStringLiteral("O_RgName1")] = QStringLiteral("Hausverwaltung See");
        (*objects)[QStringLiteral("O_RgZahlbed1")] = 33;
        (*objects)[QStringLiteral("O_Aktiv")] = true;
        objects->post();
        objects.reset();
        calendar.emplace();
        for (table::Table* t : dm->tables())
            RefreshIfActive(*t);
    }
    void TearDown() override {
        calendar.reset();
        widgets::setErrorPresenter({});
        InvoiceEditing::TearDown();
    }

    // Opens the invoice (a new one for an empty number), runs the script on
    // the editor and closes it.
    void edit(const QString& nr, std::function<void(TF_DocEdit&)> script) {
        bool ran = false;
        WhenModal<TF_DocEdit>([&](TF_DocEdit& form) {
            ran = true;
            script(form);
            if (form.isVisible())
                form.accept();
        });
        ShowRgEditForm(nr);
        EXPECT_TRUE(ran);
    }

    QStringList errors() const { return presenter.texts(MessagePresenter::Kind::Error); }

    std::optional<KalenderForm> calendar;
    QStringList kitErrors;
};

} // namespace rgedittest
