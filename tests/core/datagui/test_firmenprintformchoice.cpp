#include "core/data/clientdbfixture.h"
#include "core/data/datamodule.h"
#include "core/datagui/f_firmen.h"
#include "core/datagui/tf_selform.h"
#include "platform/table/table.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>

namespace {

class FirmenPrintFormChoiceTest : public datatest::ClientDbFixture {
protected:
    void SetUp() override {
        ClientDbFixture::SetUp();
        dm = std::make_unique<TDataModule1>();
        dm->DataModuleCreate();
    }
    void TearDown() override {
        dm.reset();
        ClientDbFixture::TearDown();
    }
    std::unique_ptr<TDataModule1> dm;
};

// The opened form's button runs the real choice; the chosen form is kept.
TEST_F(FirmenPrintFormChoiceTest, TheOpenedFormChoosesTheDefaultInvoiceFormInTheList) {
    addRow(QStringLiteral("QrFrmDef.DB"),
           {{QStringLiteral("QF_ID"), 10042},
            {QStringLiteral("Q_FormType"), 10000},
            {QStringLiteral("Q_Protect"), false},
            {QStringLiteral("Q_Comment"), QStringLiteral("Mit Logo")}});
    struct {
        bool buttonEnabled = false;
        bool listed = false;
        QString name;
    } seen;
    QTimer::singleShot(0, [&] {
        auto* form = qobject_cast<TF_Firmen*>(QApplication::activeModalWidget());
        if (!form)
            return;
        QPushButton* button = nullptr;
        for (auto* b : form->findChildren<QPushButton*>())
            if (b->text() == QStringLiteral("Standard-Rechnungs&druckformular"))
                button = b;
        if (!button) {
            form->reject();
            return;
        }
        seen.buttonEnabled = button->isEnabled();
        QTimer::singleShot(0, [&] {
            auto* choice = qobject_cast<TF_SelForm*>(QApplication::activeModalWidget());
            if (!choice)
                return;
            QTableWidget* grid = choice->grid();
            for (int r = 0; r < grid->rowCount(); ++r)
                if (grid->item(r, 0)->text() == QStringLiteral("10042")) {
                    seen.listed = true;
                    grid->selectRow(r);
                }
            choice->accept();
        });
        button->click();
        seen.name = form->printFormName()->text();
        form->reject(); // closing posts the choice
    });
    ShowFirmenForm(*dm, nullptr);
    EXPECT_TRUE(seen.buttonEnabled);
    EXPECT_TRUE(seen.listed);
    EXPECT_EQ(seen.name, QStringLiteral("Mit Logo"));
    auto firmen = open(QStringLiteral("Firmen.DB"));
    firmen->first();
    EXPECT_EQ(firmen->value(QStringLiteral("F_PrintFormNo")).toInt(), 10042);
}

} // namespace
