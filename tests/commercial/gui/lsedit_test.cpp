#include "commercial/documents/deliverynoteentries.h"
#include "commercial/documents/documentediting.h"
#include "commercial/documents/linerules.h"
#include "commercial/gui/commercialmodules.h"
#include "commercial/gui/tf_lsedit.h"
#include "core/moduleentries.h"
#include "masterdata/dialogs/tf_dbselect.h"
#include "rgeditfixture.h"

#include <QMenu>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;
using rgedittest::WhenModal;
using table::Table;

namespace {

const QString kHeads = u"LSkopf.DB"_s;
const QString kObjektFixed = u"Sie können die Objektzuordnung nicht mehr ändern!"_s;

// The delivery-note editor on object 500 of customer 100 with article 7
// (10 in stock) and the document rules.
class LsEdit : public rgedittest::RgEdit {
protected:
    void TearDown() override {
        DeliveryNoteEntriesRegistry() = {};
        RgEdit::TearDown();
    }
    // Runs the editor as its callers do, the script on the open window.
    int edit(const QString& nr, int objektNr, bool autoInvoice, int lsTyp, int creatorId,
             const std::function<void(TF_DocEdit&)>& script) {
        bool ran = false;
        WhenModal<TF_DocEdit>([&](TF_DocEdit& form) {
            ran = true;
            script(form);
            if (form.isVisible())
                form.accept();
        });
        const int id = EditLieferschein(nr, objektNr, autoInvoice, lsTyp, creatorId);
        EXPECT_TRUE(ran);
        return id;
    }
    // The current line takes the article with that quantity and is posted.
    static void articleLine(TF_DocEdit& form, double menge) {
        Table& lines = form.lines();
        lines.append();
        ASSERT_TRUE(FillLineFromArtikel(lines, 7));
        lines[u"S_Menge"_s] = menge;
        lines.post();
    }
    static void altW(QWidget* editor) {
        ASSERT_NE(editor, nullptr);
        QTest::keyClick(editor, Qt::Key_W, Qt::AltModifier);
    }
    double totalStock() {
        auto t = open(u"Artikel.DB"_s);
        double sum = 0;
        for (t->first(); !t->eof() && !t->isEmpty(); t->next())
            sum += FieldFloat(*t, u"A_Lagermenge"_s);
        return sum;
    }
    QVariant stored(int id, const QString& field) { return headValue(kHeads, id, field); }
};

TEST_F(LsEdit, AnAppointmentsNoteIsMadeForItsObjectAndReturnsItsId) {
    QString nr;
    const int id = edit({}, 500, true, kLsTypTermine, 7, [&](TF_DocEdit& form) {
        EXPECT_EQ(form.windowTitle(), u"Lieferschein erfassen"_s);
        EXPECT_EQ(form.head()[u"R_OMatch"_s].asString(), u"HAUS AM SEE"_s);
        // The object the caller gave stays.
        EXPECT_FALSE(rgedittest::PickerShown([&] { altW(form.fieldEditor(u"R_ObjektNr"_s)); }));
        articleLine(form, 2);
        nr = form.head()[u"R_Nr"_s].asString();
    });
    ASSERT_NE(id, 0);
    EXPECT_EQ(errors(), QStringList{kObjektFixed});
    EXPECT_EQ(stored(id, u"R_Nr"_s).toString(), nr);
    EXPECT_EQ(stored(id, u"R_ObjektNr"_s).toInt(), 500);
    EXPECT_EQ(stored(id, u"R_KundenNr"_s).toInt(), 100);
    EXPECT_EQ(stored(id, u"R_LsTyp"_s).toInt(), 2);
    EXPECT_EQ(stored(id, u"R_CreatorID"_s).toInt(), 7);
    EXPECT_TRUE(stored(id, u"R_AutoLS"_s).toBool());
    EXPECT_FALSE(dm->TabLSKopf().isOpen()) << "closed again as it was found";

    // Opened again it is an existing note: neither object nor number change.
    presenter.boxes.clear();
    EXPECT_EQ(edit(nr, 500, false, 0, 0,
                   [&](TF_DocEdit& form) {
                       EXPECT_EQ(form.windowTitle(), u"Lieferschein bearbeiten"_s);
                       EXPECT_FALSE(rgedittest::PickerShown(
                           [&] { altW(form.fieldEditor(u"R_ObjektNr"_s)); }));
                       altW(form.fieldEditor(u"R_Nr"_s));
                   }),
              id);
    EXPECT_EQ(
        errors(),
        (QStringList{kObjektFixed,
                     u"Die LS-Nummer kann nur bei neuen Lieferscheinen verändert werden!"_s}));
}

TEST_F(LsEdit, ADiscardedNewNoteReturnsZeroAndGivesItsNumberBack) {
    QString first;
    EXPECT_EQ(edit({}, 0, false, 0, 0,
                   [&](TF_DocEdit& form) { first = form.head()[u"R_Nr"_s].asString(); }),
              0);
    EXPECT_EQ(rows(kHeads, u"R_Nr"_s, 0), 0);
    EXPECT_EQ(CountRecordsFiltered(datatest::kDb, kHeads, {}), 0);
    QString second;
    edit({}, 0, false, 0, 0, [&](TF_DocEdit& form) { second = form.head()[u"R_Nr"_s].asString(); });
    EXPECT_FALSE(first.isEmpty());
    EXPECT_EQ(second, first);
}

TEST_F(LsEdit, WithoutAnObjectTheGridAndTheCopiesWaitForOne) {
    edit({}, 0, false, 0, 0, [&](TF_DocEdit& form) {
        EXPECT_FALSE(form.linesAllowed());
        form.runCopy(TDocSource::Auftrag);
        // The customer needs the object first too.
        EXPECT_FALSE(rgedittest::PickerShown([&] { altW(form.fieldEditor(u"R_KundenNr"_s)); }));
    });
    EXPECT_EQ(errors(), (QStringList{u"Sie müssen zuerst das Objekt festlegen!"_s,
                                     u"Sie müssen zuerst das Objekt festlegen!"_s}));
}

TEST_F(LsEdit, APastedArticleLineTakesStockOnceAndGivesItBackOnce) {
    const double stock = totalStock();
    const int id = edit({}, 500, false, 0, 0, [&](TF_DocEdit& form) {
        articleLine(form, 2);
        form.copyLine();
        form.pasteLine();
        EXPECT_EQ(rows(u"LSsatz.DB"_s, u"S_Ref"_s, FieldInt(form.head(), u"R_ID"_s)), 2);
    });
    EXPECT_DOUBLE_EQ(totalStock(), stock - 4);

    // The list's deletion through the installed entry.
    ModuleDispatcher dispatcher;
    RegisterCommercialModules(dispatcher);
    ASSERT_TRUE(DeliveryNoteEntriesRegistry().deleteLieferschein);
    EXPECT_TRUE(DeliveryNoteEntriesRegistry().deleteLieferschein(id));
    EXPECT_DOUBLE_EQ(totalStock(), stock);
    EXPECT_EQ(rows(kHeads, u"R_ID"_s, id), 0);
    EXPECT_TRUE(errors().isEmpty());
}

} // namespace
