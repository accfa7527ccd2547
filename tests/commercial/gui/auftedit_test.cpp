// The order editor: the offer editor's design with the order's parameters.
#include "commercial/gui/tf_auftedit.h"
#include "masterdata/dialogs/tf_dbselect.h"
#include "rgeditfixture.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;
using rgedittest::WhenModal;
using table::Table;

namespace {

const QString kHeads = u"Auftkopf.DB"_s;
const QString kLines = u"Auftsatz.DB"_s;

class AuftEditForm : public rgedittest::RgEdit {
protected:
    void addOrder(int id, const QString& nr) {
        addRow(kHeads, {{u"R_ID"_s, id},
                        {u"R_Nr"_s, nr},
                        {u"R_Creator"_s, 1},
                        {u"R_ObjektNr"_s, 500},
                        {u"R_KundenNr"_s, 100},
                        {u"R_DatumDruck"_s, QDate(2006, 12, 15)},
                        {u"R_DatumErstell"_s, QDate(2006, 12, 15)}});
    }
    void editOrder(const QString& nr, std::function<void(TF_DocEdit&)> script) {
        bool ran = false;
        WhenModal<TF_DocEdit>([&](TF_DocEdit& form) {
            ran = true;
            script(form);
            if (form.isVisible())
                form.accept();
        });
        ShowAuftEditForm(nr);
        EXPECT_TRUE(ran);
    }
    static void altW(TF_DocEdit& form, const QString& field) {
        QTest::keyClick(form.fieldEditor(field), Qt::Key_W, Qt::AltModifier);
    }
};

TEST_F(AuftEditForm, ANewOrderWithAClosedPickerIsOneHeadAndGoesWithoutLines) {
    editOrder({}, [&](TF_DocEdit& form) {
        EXPECT_EQ(form.windowTitle(), u"Auftrag erfassen"_s);
        EXPECT_TRUE(rgedittest::PickerShown([&] { altW(form, u"R_ObjektNr"_s); }));
        EXPECT_TRUE(rgedittest::PickerShown([&] { altW(form, u"R_KundenNr"_s); }));
        EXPECT_EQ(rows(kHeads, u"R_Creator"_s, 1), 1);
        EXPECT_EQ(FieldInt(form.head(), u"R_CalcRaten"_s), 12);
        // Entering the grid appends no line.
        form.focusGrid();
        EXPECT_FALSE(form.hasLines());
    });
    EXPECT_EQ(rows(kHeads, u"R_Creator"_s, 1), 0);
}

TEST_F(AuftEditForm, AnExistingOrderTakesAnotherCustomerButKeepsObjectNumberAndCopies) {
    addOrder(1, u"AU-1"_s);
    editOrder(u"AU-1"_s, [&](TF_DocEdit& form) {
        EXPECT_EQ(form.windowTitle(), u"Auftrag bearbeiten"_s);
        EXPECT_FALSE(rgedittest::PickerShown([&] { altW(form, u"R_ObjektNr"_s); }));
        EXPECT_TRUE(rgedittest::PickerShown([&] { altW(form, u"R_KundenNr"_s); }));
        altW(form, u"R_Nr"_s);
        // "Vorlage (F6)" does nothing for an existing order.
        EXPECT_FALSE(rgedittest::PickerShown([&] { form.runCopy(TDocSource::Angebot); }));
    });
    EXPECT_TRUE(errors().isEmpty());
    EXPECT_EQ(presenter.texts(MessagePresenter::Kind::Info),
              QStringList{u"Die Auftrags-Nummer kann nur bei neuen Aufträgen verändert werden!"_s});
}

TEST_F(AuftEditForm, AnOfferCopiedGivesItsIntervalsAndNothingDelivered) {
    addSourceHead(u"Angkopf.DB"_s, 901, u"AN-9"_s, 500);
    addSourceLine(u"AngSatz.DB"_s, 901, {91, 1000000, 0, 2});
    addSourceLine(u"AngSatz.DB"_s, 901, {92, 2000000, 0, 5});
    auto offerLines = open(u"AngSatz.DB"_s);
    for (offerLines->first(); !offerLines->eof(); offerLines->next()) {
        offerLines->edit();
        (*offerLines)[u"S_Intervall"_s] = 3;
        offerLines->post();
    }
    offerLines.reset();
    int id = 0;
    editOrder({}, [&](TF_DocEdit& form) {
        id = FieldInt(form.head(), u"R_ID"_s);
        WhenModal<TF_DbSelect>([](TF_DbSelect& d) {
            EXPECT_TRUE(d.lookupTable()->locate({u"R_Nr"_s}, {u"AN-9"_s}));
            d.btnOK()->click();
        });
        form.runCopy(TDocSource::Angebot);
    });
    auto t = open(kLines);
    int copied = 0;
    for (t->first(); !t->eof() && !t->isEmpty(); t->next()) {
        if (FieldInt(*t, u"S_Ref"_s) != id)
            continue;
        ++copied;
        EXPECT_EQ(FieldInt(*t, u"S_AusfInterv"_s), 3);
        EXPECT_DOUBLE_EQ(FieldFloat(*t, u"S_MengeGeliefert"_s), 0.0);
    }
    EXPECT_EQ(copied, 2);
    EXPECT_TRUE(errors().isEmpty()) << errors().join(u'|').toStdString();
}

} // namespace
