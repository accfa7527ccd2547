#include "core/data/datamodule.h"
#include "masterdata/gui/detailgridpage.h"
#include "masterdata/gui/lieferantform.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datagridmodel.h"
#include "printing/listbutton.h"
#include "tableformfixture.h"

#include <QBrush>

using namespace Qt::StringLiterals;

namespace {

class LieferantForm : public formtest::ListFormTest {
protected:
    void SetUp() override {
        ListFormTest::SetUp();
        grant(9);
        addRow(u"Liefrnt.db"_s, {{u"K_ID"_s, 1}, {u"K_Nr"_s, 4}, {u"K_Match"_s, u"HYGIENE"_s}});
        addRow(u"Liefrnt.db"_s, {{u"K_ID"_s, 2}, {u"K_Nr"_s, 5}, {u"K_Match"_s, u"BESEN"_s}});
        const auto invoice = [&](int id, int supplier, const QString& nr, bool settled) {
            addRow(u"OERkopf.DB"_s, {{u"R_ID"_s, id},
                                     {u"R_Nr"_s, nr},
                                     {u"R_KundenNr"_s, supplier},
                                     {u"R_Brutto"_s, 119.0},
                                     {u"O_Erledigt"_s, settled}});
        };
        invoice(1, 4, u"E-1"_s, true);
        invoice(2, 4, u"E-2"_s, false);
        invoice(3, 5, u"E-3"_s, false);
        dm->TabLieferant().open();
        showForm(LieferantFormDecl());
    }
};

TEST_F(LieferantForm, TheOpenInvoicesAreTheSuppliersWithTheSettledOnesOnLightGreen) {
    ASSERT_TRUE(form->table().locate({u"K_Nr"_s}, {4}));
    form->showPage(u"Off. &Rechnungen"_s);
    auto* page = qobject_cast<DetailGridPage*>(form->page(u"Off. &Rechnungen"_s));
    ASSERT_NE(page, nullptr);
    ASSERT_TRUE(page->table().isOpen());
    const widgets::DataGridModel& model = page->grid().gridModel();
    ASSERT_EQ(model.rowCount(), 2);
    const int nr = model.columnOf(u"R_Nr"_s);
    const auto background = [&](int row) {
        return model.data(model.index(row, nr), Qt::BackgroundRole).value<QBrush>().color();
    };
    for (int row = 0; row < 2; ++row) {
        const bool settled = model.data(model.index(row, nr)).toString() == u"E-1"_s;
        EXPECT_EQ(background(row), settled ? QColor(0x66, 0xEE, 0x66) : QColor(Qt::white));
    }
    form->showPage(u"&Grunddaten"_s);
    EXPECT_FALSE(page->table().isOpen());
}

TEST_F(LieferantForm, ThePrintsAskForAnExistingFormWithoutTheFilter) {
    for (const PrintButtonDecl& print : LieferantFormDecl().form.prints) {
        SCOPED_TRACE(print.caption.toStdString());
        ListPrintButton list{.formType = print.formType, .entry = print.entry, .tag = print.tag};
        ASSERT_TRUE(print.prepare);
        print.prepare(*form, list);
        EXPECT_EQ(list.formType, 79000);
        EXPECT_EQ(list.variant, PrintVariant::C);
        EXPECT_FALSE(list.args.useFilter);
    }
}

} // namespace
