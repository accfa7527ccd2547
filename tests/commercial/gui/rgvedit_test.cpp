#include "commercial/billing/rgvtables.h"
#include "commercial/gui/tf_docedit.h"
#include "commercial/gui/tf_rgvedit.h"
#include "commercial/invoicing/invoiceediting.h"
#include "commercial/rgvfixture.h"
#include "masterdata/dialogs/tf_dbrtf.h"
#include "masterdata/dialogs/tf_dbselect.h"
#include "masterdata/dialogs/tf_kalender.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/dbedit.h"
#include "rgeditfixture.h"

#include <QAction>
#include <QCalendarWidget>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;
using rgedittest::WhenModal;
using rgvtest::kHeads;
using rgvtest::kLines;

namespace {

// The template editor on the editor's client: object 500 ("HAUS AM SEE") of
// customer 100 with its payment term; activity 77 planned there, activity 78
// not; the calculation modes.
class RgvEditor : public rgvtest::RgvTemplatesOn<rgedittest::RgEdit> {
protected:
    void SetUp() override {
        RgvTemplatesOn::SetUp();
        for (int nr : {77, 78})
            addRow(u"Taetig.DB"_s, {{u"T_ID"_s, nr},
                                    {u"T_Nr"_s, nr},
                                    {u"T_Match"_s, u"Tätigkeit %1"_s.arg(nr)},
                                    {u"T_BasisEinheit"_s, u"Std."_s},
                                    {u"T_BasisPreis"_s, 30.0}});
        planActivity(500, 77);
        for (table::Table* t : dm->tables())
            RefreshIfActive(*t);
    }
    // Opens the editor on the template (0: a new one), runs the script and
    // closes it; the editor's answer comes back.
    int editTemplate(int id, std::function<void(TF_DocEdit&)> script) {
        bool ran = false;
        WhenModal<TF_DocEdit>([&](TF_DocEdit& form) {
            ran = true;
            script(form);
            if (form.isVisible())
                form.accept();
        });
        const int result = ShowRgvEditForm(id);
        EXPECT_TRUE(ran);
        return result;
    }
    static void altW(QWidget* editor) {
        ASSERT_NE(editor, nullptr);
        QTest::keyClick(editor, Qt::Key_W, Qt::AltModifier);
    }
    // Chooses the row whose field holds value in the next picker.
    static void choose(const QString& field, const QVariant& value) {
        WhenModal<TF_DbSelect>([=](TF_DbSelect& d) {
            EXPECT_TRUE(d.lookupTable()->locate({field}, {value}))
                << value.toString().toStdString();
            d.btnOK()->click();
        });
    }
    static void key(TF_DocEdit& form, int k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(&form.grid(), Qt::Key(k), mods);
    }
};

TEST_F(RgvEditor, ANewTemplateTakesItsNumberFromTheObjectChosen) {
    int first = 0;
    first = editTemplate(0, [&](TF_DocEdit& form) {
        EXPECT_EQ(form.windowTitle(), u"Layout Rechnungsformular"_s);
        EXPECT_EQ(form.focusWidget(), form.fieldEditor(u"R_ObjektNr"_s));
        choose(u"O_Nr"_s, 500);
        altW(form.fieldEditor(u"R_ObjektNr"_s));
        EXPECT_EQ(form.fieldEditorAs<QLineEdit>(u"R_Nr"_s)->text(), u"RV500_01"_s);
    });
    EXPECT_EQ(stored(first, u"R_Nr"_s).toString(), u"RV500_01"_s);
    EXPECT_EQ(stored(first, u"R_OMatch"_s).toString(), u"HAUS AM SEE"_s);
    EXPECT_EQ(stored(first, u"R_ZahlBedNettoTage"_s).toInt(), 14);
    const int second = editTemplate(0, [&](TF_DocEdit& form) {
        choose(u"O_Nr"_s, 500);
        altW(form.fieldEditor(u"R_ObjektNr"_s));
    });
    EXPECT_NE(second, first);
    EXPECT_EQ(stored(second, u"R_Nr"_s).toString(), u"RV500_02"_s);
    EXPECT_EQ(stored(first, u"R_Nr"_s).toString(), u"RV500_01"_s) << "a new template stays";
}

TEST_F(RgvEditor, TheGridNeedsAnObject) {
    editTemplate(0, [&](TF_DocEdit& form) {
        form.grid().setFocus();
        // The refusal comes from the queued focus change; a loaded machine may take a while.
        EXPECT_TRUE(QTest::qWaitFor([&] { return !errors().isEmpty(); }, 5000));
        EXPECT_EQ(errors(), QStringList{u"Sie müssen eine gültige Objektnummer eingeben!"_s});
        EXPECT_EQ(form.focusWidget(), form.fieldEditor(u"R_ObjektNr"_s));
        EXPECT_FALSE(form.hasLines());
        choose(u"O_Nr"_s, 500);
        altW(form.fieldEditor(u"R_ObjektNr"_s));
        form.focusGrid();
        EXPECT_EQ(form.focusWidget(), &form.grid());
    });
    EXPECT_EQ(errors().size(), 1);
}

// Offer A-31 of object 500 with its terms and texts, two lines.
class RgvEditorCopies : public RgvEditor {
protected:
    void SetUp() override {
        RgvEditor::SetUp();
        addSourceHead(u"Angkopf.DB"_s, 31, u"A-31"_s, 500);
        auto offer = open(u"Angkopf.DB"_s);
        ASSERT_TRUE(offer->locate({u"R_ID"_s}, {31}));
        offer->edit();
        (*offer)[u"R_KundenNr"_s] = 100;
        (*offer)[u"R_ZahlBed"_s] = u"14 Tage netto"_s;
        (*offer)[u"R_KopfText"_s] = u"Kopf"_s;
        offer->post();
        offer.reset();
        addSourceLine(u"AngSatz.DB"_s, 31, {1, 1000000, 0, 2});
        addSourceLine(u"AngSatz.DB"_s, 31, {2, 2000000, 3, 0});
    }
};

TEST_F(RgvEditorCopies, AnOfferIntoANewTemplateBringsItsHeadButNoNumberAndOnlyForNewOnes) {
    const int id = editTemplate(0, [&](TF_DocEdit& form) {
        EXPECT_TRUE(form.copyEnabled());
        EXPECT_TRUE(form.button(u"Vorlage (F6)"_s)->isEnabled());
        QMenu* menu = form.copyMenu();
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(menu->defaultAction()->text(), u"Rechnungs&vorlage übernehmen"_s);
        EXPECT_EQ(menu->actions().size(), 12);
        WhenModal<TF_DbSelect>([](TF_DbSelect& d) {
            EXPECT_TRUE(d.lookupTable()->locate({u"R_Nr"_s}, {u"A-31"_s}));
            d.btnOK()->click();
        });
        TF_DocEdit::menuAction(menu, u"&Angebot übernehmen"_s)->trigger();
        EXPECT_EQ(form.grid().gridModel().rowCount(), 2);
    });
    EXPECT_TRUE(errors().isEmpty()) << errors().join(u'|').toStdString();
    EXPECT_EQ(stored(id, u"R_ObjektNr"_s).toInt(), 500);
    EXPECT_EQ(stored(id, u"R_KundenNr"_s).toInt(), 100);
    EXPECT_EQ(stored(id, u"R_ZahlBed"_s).toString(), u"14 Tage netto"_s);
    EXPECT_EQ(stored(id, u"R_KopfText"_s).toString(), u"Kopf"_s);
    EXPECT_EQ(stored(id, u"R_Nr"_s).toString(), QString());
    EXPECT_EQ(lineCount(id), 2);
    // An existing template has no copy menu, by button or key.
    editTemplate(id, [&](TF_DocEdit& form) {
        EXPECT_FALSE(form.copyEnabled());
        EXPECT_FALSE(form.button(u"Vorlage (F6)"_s)->isEnabled());
        bool picked = false;
        QTimer* waiter = WhenModal<TF_DbSelect>([&](TF_DbSelect& d) {
            picked = true;
            d.btnCancel()->click();
        });
        form.showCopyMenu();
        QTest::keyClick(form.fieldEditor(u"R_OName1"_s), Qt::Key_F6);
        EXPECT_FALSE(picked);
        delete waiter;
    });
    EXPECT_EQ(lineCount(id), 2);
}

TEST_F(RgvEditor, ActivityModesAreRefusedForActivitiesNotPlannedAtTheObject) {
    addTemplate(1, u"RV500_01"_s, 500);
    addTemplateLine(1, 1, 1000000, 1, 30.0,
                    {{u"S_PosTyp"_s, 1},
                     {u"S_SrcNr"_s, u"77"_s},
                     {u"S_MatID"_s, 77},
                     {u"S_Origin"_s, 8},
                     {u"S_Rechmode"_s, 2}});
    addTemplateLine(2, 1, 2000000, 1, 10.0, {{u"S_PosTyp"_s, 4}});
    editTemplate(1, [&](TF_DocEdit& form) {
        ASSERT_TRUE(form.lines().locate({u"S_ID"_s}, {1}));
        form.showTablesAgain();
        choose(u"T_ID"_s, 78);
        form.runLineButton(u"Leistung (F4)"_s);
        EXPECT_EQ(errors(), QStringList{RgvRechmodeRefusedText});
        EXPECT_EQ(FieldText(form.lines(), u"S_SrcNr"_s), u"77"_s) << "the line stays";

        ASSERT_TRUE(form.lines().locate({u"S_ID"_s}, {2}));
        form.showTablesAgain();
        auto* mode = form.fieldEditorAs<QComboBox>(u"S_Rechmode"_s);
        ASSERT_NE(mode, nullptr);
        EXPECT_TRUE(mode->isEnabled());
        mode->setCurrentIndex(2);
        Q_EMIT mode->activated(2);
        EXPECT_EQ(FieldInt(form.lines(), u"S_Rechmode"_s), 0);
        EXPECT_EQ(errors().size(), 2);
    });
    EXPECT_EQ(storedLine(1, u"S_MatID"_s).toInt(), 77);
    EXPECT_EQ(storedLine(2, u"S_Rechmode"_s).toInt(), 0);
}

TEST_F(RgvEditor, ArticleKeepsTheLinesSourceAndF7IsSwallowed) {
    addTemplate(1, u"RV500_01"_s, 500);
    addTemplateLine(1, 1, 1000000, 1, 10.0,
                    {{u"S_Quelle"_s, 1},
                     {u"S_QuellNr"_s, u"A-31"_s},
                     {u"S_RefID"_s, 5},
                     {u"S_PosTyp"_s, 0},
                     {u"S_MatID"_s, 7}});
    editTemplate(1, [&](TF_DocEdit& form) {
        form.focusGrid();
        choose(u"A_ID"_s, 7);
        key(form, Qt::Key_F3);
        EXPECT_EQ(FieldText(form.lines(), u"S_Kurztext"_s), u"Reiniger"_s)
            << "the same article fills the line again";
        bool picked = false;
        QTimer* waiter = WhenModal<TF_DbSelect>([&](TF_DbSelect& d) {
            picked = true;
            d.btnCancel()->click();
        });
        key(form, Qt::Key_F7);
        EXPECT_FALSE(picked);
        delete waiter;
    });
    EXPECT_EQ(storedLine(1, u"S_Quelle"_s).toInt(), 1);
    EXPECT_EQ(storedLine(1, u"S_QuellNr"_s).toString(), u"A-31"_s);
    EXPECT_EQ(storedLine(1, u"S_RefID"_s).toInt(), 5);
    EXPECT_EQ(storedLine(1, u"S_Origin"_s).toInt(), 3);
}

TEST_F(RgvEditor, NotBeforeAndCalculateRecomputeAtTheTemplatesRates) {
    addTemplate(1, u"RV500_01"_s, 500, {{u"R_DatumDruck"_s, QDate(2006, 6, 1)}});
    addTemplateLine(1, 1, 1000000, 2, 100.0);
    editTemplate(1, [&](TF_DocEdit& form) {
        WhenModal<TF_Kalender>([](TF_Kalender& k) {
            k.calendar()->setSelectedDate(QDate(2007, 3, 1));
            k.okButton()->click();
        });
        altW(form.fieldEditor(u"R_DatumDruck"_s));
        EXPECT_EQ(form.fieldEditorAs<QLineEdit>(u"R_Mwst1"_s)->text(), u"38,00"_s);
        form.button(u"Berechnen"_s)->click();
    });
    EXPECT_TRUE(errors().isEmpty()) << errors().join(u'|').toStdString();
    EXPECT_EQ(stored(1, u"R_DatumDruck"_s).toDate(), QDate(2007, 3, 1));
    EXPECT_EQ(stored(1, u"R_DatumErstell"_s).toDate(), QDate::currentDate());
    EXPECT_DOUBLE_EQ(storedLine(1, u"S_Mwst"_s).toDouble(), 19.0);
    EXPECT_TRUE(stored(1, u"R_FaelligDatum"_s).isNull());
}

TEST_F(RgvEditor, TheIntervalListNamesTheInterval) {
    addTemplate(1, u"RV500_01"_s, 500);
    editTemplate(1, [&](TF_DocEdit& form) {
        auto* interval = form.fieldEditorAs<QComboBox>(u"R_Intervall"_s);
        ASSERT_NE(interval, nullptr);
        const int row = interval->findText(u"Jahresrechnung Vorkasse"_s);
        ASSERT_GE(row, 0);
        interval->setCurrentIndex(row);
        Q_EMIT interval->activated(row);
    });
    EXPECT_EQ(stored(1, u"R_Intervall"_s).toInt(), 3);
    EXPECT_EQ(stored(1, u"R_IVname"_s).toString(), u"Jahresrechnung Vorkasse"_s);
}

TEST_F(RgvEditor, LineCopiesPasteThroughTheCommonRoutineAndCtrlPgDnOpensTheText) {
    addTemplate(1, u"RV500_01"_s, 500);
    addTemplateLine(1, 1, 1000000, 3, 10.0, {{u"S_Rechmode"_s, 1}});
    editTemplate(1, [&](TF_DocEdit& form) {
        form.preparePositionMenu();
        EXPECT_TRUE(TF_DocEdit::menuAction(form.positionMenu(), u"Satz einfügen"_s)->isEnabled());
        form.pasteLine();
        EXPECT_EQ(form.grid().gridModel().rowCount(), 1) << "nothing copied yet";
        form.copyLine();
        form.pasteLine();
        EXPECT_EQ(form.grid().gridModel().rowCount(), 2);
        form.focusGrid();
        bool opened = false;
        WhenModal<TF_DbRtf>([&](TF_DbRtf& editor) {
            opened = true;
            editor.reject();
        });
        key(form, Qt::Key_PageDown, Qt::ControlModifier);
        EXPECT_TRUE(opened);
    });
    EXPECT_EQ(lineCount(1), 2);
    auto t = open(kLines);
    for (t->first(); !t->eof(); t->next()) {
        EXPECT_DOUBLE_EQ(FieldFloat(*t, u"S_Menge"_s), 3.0);
        EXPECT_EQ(FieldInt(*t, u"S_Rechmode"_s), 1);
    }
    EXPECT_EQ(stored(1, u"R_Netto"_s).toDouble(), 60.0);
}

TEST_F(RgvEditor, TheGridShowsOnlyTheTemplatesOwnLines) {
    addTemplate(1, u"RV500_01"_s, 500);
    addTemplate(2, u"RV500_02"_s, 500);
    addTemplateLine(1, 1, 1000000, 1, 10.0);
    addTemplateLine(2, 2, 1000000, 1, 10.0);
    addTemplateLine(3, 2, 2000000, 1, 10.0);
    editTemplate(2, [&](TF_DocEdit& form) { EXPECT_EQ(form.grid().gridModel().rowCount(), 2); });
}

} // namespace

namespace {

// The sums are written into the head record by the line's write; the
// head's fields must show them without a further command.
TEST_F(RgvEditor, APostedLineShowsTheNewSumsAtOnce) {
    addTemplate(1, u"RV500_01"_s, 500);
    addTemplateLine(11, 1, 1000000, 1, 100.0);
    editTemplate(1, [&](TF_DocEdit& form) {
        form.lines().edit();
        form.lines()[u"S_Menge"_s] = 3;
        form.lines().post();
        QTest::qWait(10);
        EXPECT_EQ(form.head()[u"R_Netto"_s].asFloat(), 300.0);
        auto* netto = form.fieldEditorAs<QLineEdit>(u"R_Netto"_s);
        ASSERT_NE(netto, nullptr);
        EXPECT_EQ(netto->text(), u"300,00"_s);
    });
    EXPECT_EQ(stored(1, u"R_Netto"_s).toDouble(), 300.0);
}

} // namespace
