#include "core/datagui/tf_selform.h"
#include "core/files/programdirs.h"
#include "masterdata/gui/listprinting.h"
#include "masterdata/gui/tableformactions.h"
#include "masterdata/gui/tableforms.h"
#include "platform/report/report.h"
#include "platform/table/database.h"
#include "platform/table/table.h"
#include "printing/defaultprintforms.h"
#include "printing/formtypes.h"
#include "printing/listbutton.h"
#include "printing/printingsetup.h"
#include "printing/reportentry.h"
#include "tableformfixture.h"

#include <QApplication>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

// A fresh client: its print forms are the shipped ones, written as a new
// client gets them. Prints are recorded instead of shown.
class ListPrinting : public formtest::TableFormTest {
protected:
    void SetUp() override {
        TableFormTest::SetUp();
        m_saved = {ProgramDir, TemplateDataDir, QrfdDir};
        SetProgramDir(path(u"prog"_s));
        TemplateDataDir = DataDir; // the client is its own template here
        QrfdDir = GetMandantQrfdDir(0);
        InitPrinting();
        ASSERT_TRUE(EnsureDefaultPrintForms());
        InstallListPrinting();
        m_output = SetReportOutput([this](report::Report& rep, bool preview, QWidget*) {
            printed << QStringLiteral("%1 %2 %3")
                           .arg(rep.def().className, preview ? u"Vorschau"_s : u"Druck"_s,
                                rep.component(u"L_Titel"_s).caption);
        });
    }
    void TearDown() override {
        SetReportOutput(m_output);
        SetListPrinter({});
        ProgramDir = m_saved[0];
        TemplateDataDir = m_saved[1];
        QrfdDir = m_saved[2];
        TableFormTest::TearDown();
    }

    // Clicks a print button and answers the print-form choice: confirms its
    // first row (the shipped form), or cancels.
    void click(QPushButton* button, bool confirm) {
        QTimer::singleShot(0, [this, confirm] {
            auto* choice = qobject_cast<TF_SelForm*>(QApplication::activeModalWidget());
            if (!choice)
                return;
            offered << choice->grid()->item(0, 0)->text();
            if (confirm)
                choice->accept();
            else
                choice->reject();
        });
        button->click();
    }

    std::unique_ptr<table::Table> tableOf(const TableFormDecl& decl) {
        if (decl.source == TableSource::Own) {
            auto own =
                std::make_unique<table::Table>(table::aliases::database(u"LumoDB"_s), decl.table);
            own->open();
            return own;
        }
        table::Table& shared = dm->table(decl.table);
        if (!shared.isOpen())
            shared.open();
        return nullptr;
    }

    QStringList printed;
    QStringList offered;

private:
    std::array<QString, 3> m_saved;
    ReportOutput m_output;
};

TEST_F(ListPrinting, EveryDeclaredPrintButtonPrintsThroughItsShippedForm) {
    int buttons = 0;
    for (const TableFormDecl& decl : TableFormDecls()) {
        if (decl.prints.isEmpty())
            continue;
        SCOPED_TRACE(decl.formClass.toStdString());
        auto own = tableOf(decl);
        TF_TableForm form(decl, own ? *own : dm->table(decl.table));
        for (const PrintButtonDecl& p : decl.prints) {
            QPushButton* b = form.button(p.caption);
            ASSERT_NE(b, nullptr);
            EXPECT_TRUE(b->isEnabled());
            printed.clear();
            offered.clear();
            click(b, true);
            ASSERT_EQ(printed.size(), 1);
            const QString cls = FindFormType(p.formType)->reportClass.toString();
            EXPECT_TRUE(
                printed.first().startsWith(cls + (p.tag == 1 ? u" Vorschau"_s : u" Druck"_s)));
            EXPECT_EQ(offered, QStringList{QString::number(p.formType + 1)});
            // A cancelled choice prints nothing.
            printed.clear();
            click(b, false);
            EXPECT_TRUE(printed.isEmpty());
            ++buttons;
        }
    }
    EXPECT_GE(buttons, 14); // seven forms with their pairs today
    EXPECT_TRUE(presenter.boxes.isEmpty());
}

// A form over the tours that only this test declares, with a print pair.
TableFormDecl testForm(int formType, const QString& entry) {
    TableFormDecl decl;
    decl.formClass = u"TF_Testliste"_s;
    decl.caption = u"Testliste"_s;
    decl.source = TableSource::Own;
    decl.table = u"Touren.DB"_s;
    decl.columns = {{u"TO_Nr"_s, u"Nr."_s, 6}, {u"TO_Beschreibung"_s, u"Tour"_s, 30}};
    decl.prints = ListPrintButtons(formType, entry);
    return decl;
}

TEST_F(ListPrinting, AFormDeclaredAnywherePrintsFromItsDeclarationAlone) {
    const TableFormDecl decl = testForm(23000, u"PrintTourList"_s);
    auto own = tableOf(decl);
    TF_TableForm form(decl, *own);
    click(form.button(u"Vorsc&hau"_s), true);
    click(form.button(u"Dr&uck"_s), true);
    EXPECT_EQ(printed, (QStringList{u"TQRTourList01 Vorschau Tourenliste"_s,
                                    u"TQRTourList01 Druck Tourenliste"_s}));
}

TEST_F(ListPrinting, AButtonPreparesWhatItPrintsFromTheFormAtTheClick) {
    TableFormDecl decl = testForm(36000, u"PrintMieterList"_s);
    // The pair prints what the visible page shows, around a step of its own.
    bool emergencyPage = false;
    QStringList steps;
    for (PrintButtonDecl& p : decl.prints)
        p.prepare = [&](TF_TableForm& form, ListPrintButton& b) {
            EXPECT_EQ(form.objectName(), u"TF_Testliste"_s);
            if (emergencyPage) {
                b.formType = 70000;
                b.entry = u"PrintObjNotdienst"_s;
                b.args.objektNr = 7;
            }
            b.around = [&steps](ListEntryArgs&) {
                steps << u"an"_s;
                return [&steps] { steps << u"aus"_s; };
            };
        };
    auto own = tableOf(decl);
    TF_TableForm form(decl, *own);
    click(form.button(u"Vorsc&hau"_s), true);
    emergencyPage = true;
    click(form.button(u"Dr&uck"_s), true);
    click(form.button(u"Dr&uck"_s), false);
    ASSERT_EQ(printed.size(), 2);
    EXPECT_TRUE(printed[0].startsWith(u"TQRMieterList1 Vorschau"_s));
    EXPECT_TRUE(printed[1].startsWith(u"TQRObjNotdienst1 Druck"_s));
    EXPECT_EQ(offered, (QStringList{u"36001"_s, u"70001"_s, u"70001"_s}));
    EXPECT_EQ(steps, (QStringList{u"an"_s, u"aus"_s, u"an"_s, u"aus"_s, u"an"_s, u"aus"_s}));
}

} // namespace
