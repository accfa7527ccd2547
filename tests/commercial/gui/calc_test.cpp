#include "commercial/documentrulesfixture.h"
#include "commercial/gui/tf_calc.h"
#include "commercial/gui/tf_editangnotes.h"
#include "core/data/reportsource.h"
#include "core/datagui/tf_selform.h"
#include "masterdata/dialogs/tf_dbselect.h"
#include "platform/report/printersystem.h"
#include "platform/report/report.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/dbrichedit.h"
#include "printing/printingsetup.h"
#include "printing/reportentry.h"
#include "rgeditfixture.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

using namespace Qt::StringLiterals;
using rgedittest::WhenModal;
using table::Table;

namespace {

// A printer list with one printer whose dialog answers as the test says.
class Printers : public report::PrinterSystem {
public:
    explicit Printers(bool* accept) : m_accept(accept) {}
    QStringList printerNames() override { return {u"Laser"_s}; }
    QString currentPrinter() override { return u"Laser"_s; }
    std::unique_ptr<QPrinter> openPrinter(const report::PrinterRequest&) override {
        return nullptr;
    }
    bool setupPrinter(QWidget*, report::PrintSettings&) override {
        ++asked;
        return *m_accept;
    }
    static inline int asked = 0;

private:
    bool* m_accept;
};

// Offer 1 ("AN-1" of object 500) with a weekly line at base 10 and a
// stored unit price that is out of date, the calculation sheet's hook as
// the program installs it, and every print recorded.
class CalcSheet : public doctest::DocumentRules {
protected:
    void SetUp() override {
        DocumentRules::SetUp();
        DocumentFormHooksRegistry().CalcFormOpen = &CalcFormOpen;
        id = newHead(head(), lines());
        head().edit();
        head().field(u"R_Nr"_s).setValue(u"AN-1"_s);
        head().field(u"R_ObjektNr"_s).setValue(500);
        head().field(u"R_OMatch"_s).setValue(u"HAUS AM SEE"_s);
        head().post();
        lines().append();
        lines().field(u"S_Menge"_s).setValue(1);
        lines().field(u"S_Intervall"_s).setValue(1);
        lines().field(u"S_BasisVkpreis"_s).setValue(10.0);
        lines().post();
        dm->SetRecalcSuspended(true);
        lines().edit();
        lines().field(u"S_EPreis"_s).setValue(1.0);
        lines().post();
        dm->SetRecalcSuspended(false);
        for (const auto& [formId, type] : {std::pair{39001, 39000}, {39501, 39500}, {11001, 11000}})
            addRow(u"QrFrmDef.DB"_s, {{u"QF_ID"_s, formId},
                                      {u"Q_FormType"_s, type},
                                      {u"Q_Protect"_s, false},
                                      {u"Q_Comment"_s, u"Eigenes Formular"_s}});
        InitPrinting();
        Printers::asked = 0;
        report::setPrinterSystem(std::make_unique<Printers>(&printerOk));
        m_output = SetReportOutput([this](report::Report& rep, bool preview, QWidget*) {
            printed.append(rep.def().className + (preview ? u" Vorschau"_s : u" Druck"_s));
        });
    }
    void TearDown() override {
        SetReportOutput(m_output);
        report::setPrinterSystem(nullptr);
        DocumentRules::TearDown();
    }
    Table& head() { return dm->TabAngKopf(); }
    Table& lines() { return dm->TabAngSatz(); }

    void sheet(std::function<void(TF_Calc&)> script) {
        bool ran = false;
        WhenModal<TF_Calc>([&](TF_Calc& form) {
            ran = true;
            EXPECT_TRUE(CalcFormOpen());
            script(form);
            if (form.isVisible())
                form.accept();
        });
        ShowCalcForm(id, u"AN-1"_s);
        EXPECT_TRUE(ran);
        EXPECT_FALSE(CalcFormOpen());
    }
    // Chooses the print form id in the next choice; 0 cancels it.
    static void chooseForm(int formId) {
        WhenModal<TF_SelForm>([formId](TF_SelForm& choice) {
            QTableWidget* grid = choice.grid();
            for (int row = 0; row < grid->rowCount(); ++row)
                if (grid->item(row, 0)->text().toInt() == formId)
                    grid->selectRow(row);
            if (formId == 0)
                choice.reject();
            else
                choice.accept();
        });
    }

    int id = 0;
    bool printerOk = true;
    QStringList printed;

private:
    ReportOutput m_output;
};

TEST_F(CalcSheet, OpeningRepricesTheLinesAndRechnenFollowsAChangedBase) {
    sheet([&](TF_Calc& form) {
        EXPECT_EQ(form.numberField()->text(), u"00000001"_s);
        EXPECT_EQ(form.offerField()->text(), u"AN-1"_s);
        EXPECT_DOUBLE_EQ(num(lines(), "S_EPreis"), 520.0);
        EXPECT_DOUBLE_EQ(num(head(), "R_CalcBetragEinsatz"), 520.0);
        dm->SetRecalcSuspended(true);
        lines().edit();
        lines().field(u"S_BasisVkpreis"_s).setValue(20.0);
        lines().post();
        dm->SetRecalcSuspended(false);
        form.button(u"Rechnen"_s)->click();
        EXPECT_DOUBLE_EQ(num(lines(), "S_EPreis"), 1040.0);
    });
}

TEST_F(CalcSheet, ANewLineIsMarkedCalculatedAndPostedOnClosing) {
    sheet([&](TF_Calc& form) {
        form.grid().setFocus();
        lines().append();
        lines().field(u"S_Menge"_s).setValue(3);
        EXPECT_TRUE(lines().field(u"S_Calculated"_s).asBoolean());
    });
    EXPECT_FALSE(lines().isEditing());
    auto stored = open(u"AngSatz.DB"_s);
    EXPECT_EQ(stored->recordCount(), 2);
}

TEST_F(CalcSheet, TheIntervalDialogSetsTheUsesAndThePrice) {
    sheet([&](TF_Calc& form) {
        lines().first();
        WhenModal<TF_DbSelect>([](TF_DbSelect& d) {
            EXPECT_EQ(d.windowTitle(), u"Ausführungsintervall auswählen"_s);
            EXPECT_TRUE(d.lookupTable()->locate({u"CI_ID"_s}, {3}));
            d.btnOK()->click();
        });
        form.grid().selectField(u"S_Intervall"_s);
        QTest::keyClick(&form.grid(), Qt::Key_W, Qt::AltModifier);
        EXPECT_EQ(lines().field(u"S_Intervall"_s).asInteger(), 3);
        EXPECT_DOUBLE_EQ(num(lines(), "S_Einsaetze"), 17.0);
        EXPECT_DOUBLE_EQ(num(lines(), "S_EPreis"), 170.0);
    });
}

// The dialog is opened for the sheet's group; a service-list form chosen
// there prints the service list.
TEST_F(CalcSheet, PrintsByTheGroupOfTheChosenForm) {
    sheet([&](TF_Calc& form) {
        chooseForm(39501);
        form.button(u"Vorschau"_s)->click();
        chooseForm(39001);
        form.button(u"Druc&ken"_s)->click();
        chooseForm(0);
        form.button(u"Vorschau"_s)->click();
    });
    EXPECT_EQ(printed, (QStringList{u"TQRKalk02 Vorschau"_s, u"TQRKalk01 Druck"_s}));
}

TEST_F(CalcSheet, TheLetterPrintsAfterTheChoiceAndThePrinterDialog) {
    bool ran = false;
    WhenModal<TF_EditAngNotes>([&](TF_EditAngNotes& form) {
        ran = true;
        EXPECT_EQ(form.windowTitle(), u"Anschreiben bearbeiten"_s);
        chooseForm(0);
        form.printButton()->click();
        EXPECT_EQ(Printers::asked, 0) << "no printer dialog after a cancelled choice";
        printerOk = false;
        chooseForm(11001);
        form.printButton()->click();
        EXPECT_EQ(Printers::asked, 1);
        printerOk = true;
        chooseForm(11001);
        form.printButton()->click();
        chooseForm(11001);
        form.previewButton()->click();
        EXPECT_EQ(Printers::asked, 2) << "the preview asks for no printer";
        form.closeButton()->click();
    });
    // A letter edited but not yet written prints as edited.
    head().edit();
    head().field(u"R_Anschreiben"_s).setValue(u"Sehr geehrte Damen und Herren"_s);
    ShowAngNotesForm(10, 10, 700, 500);
    auto stored = open(u"Angkopf.DB"_s);
    ASSERT_TRUE(stored->locate({u"R_ID"_s}, {id}));
    EXPECT_EQ(stored->field(u"R_Anschreiben"_s).asString(), u"Sehr geehrte Damen und Herren"_s);
    EXPECT_TRUE(ran);
    EXPECT_EQ(printed, (QStringList{u"TQRAngebot2 Druck"_s, u"TQRAngebot2 Vorschau"_s}));
}

} // namespace
