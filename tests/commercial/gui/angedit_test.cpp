// The offer editor: the new offer's number and its return, Changeable, the
// copy of other documents into an offer and "Satz einfügen".
#include "commercial/documents/linerules.h"
#include "commercial/documents/offerediting.h"
#include "commercial/gui/offereditorhooks.h"
#include "commercial/gui/tf_angedit.h"
#include "commercial/invoicing/invoiceediting.h"
#include "core/data/dockinds.h"
#include "masterdata/dialogs/tf_dbselect.h"
#include "platform/errors.h"
#include "platform/widgets/dbedit.h"
#include "rgeditfixture.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;
using rgedittest::WhenModal;
using table::Table;

namespace {

const QString kHeads = u"Angkopf.DB"_s;
const QString kLines = u"AngSatz.DB"_s;

class AngEditForm : public rgedittest::RgEdit {
protected:
    void SetUp() override {
        RgEdit::SetUp();
        OfferEditorHooksRegistry() = {};
    }
    void TearDown() override {
        OfferEditorHooksRegistry() = {};
        RgEdit::TearDown();
    }
    void addOffer(int id, const QString& nr, int creator) {
        addRow(kHeads, {{u"R_ID"_s, id},
                        {u"R_Nr"_s, nr},
                        {u"R_Creator"_s, creator},
                        {u"R_ObjektNr"_s, 500},
                        {u"R_KundenNr"_s, 100},
                        {u"R_DatumDruck"_s, QDate(2006, 12, 15)},
                        {u"R_DatumErstell"_s, QDate(2006, 12, 15)},
                        {u"R_CalcRaten"_s, 1},
                        {u"R_CalcAufschlag"_s, 0}});
    }
    void editOffer(const QString& nr, std::function<void(TF_DocEdit&)> script) {
        bool ran = false;
        WhenModal<TF_DocEdit>([&](TF_DocEdit& form) {
            ran = true;
            script(form);
            if (form.isVisible())
                form.accept();
        });
        ShowAngEditForm(nr);
        EXPECT_TRUE(ran);
    }
    int offerCounter() {
        auto firm = open(u"Firmen.DB"_s);
        firm->first();
        return FieldInt(*firm, CounterFieldOf(0));
    }
    static bool pickerShown(const std::function<void()>& action) {
        bool shown = false;
        QTimer* waiter = WhenModal<TF_DbSelect>([&](TF_DbSelect& d) {
            shown = true;
            d.btnCancel()->click();
        });
        action();
        if (!shown)
            delete waiter;
        return shown;
    }
    static void choose(const QString& field, const QVariant& value) {
        WhenModal<TF_DbSelect>([=](TF_DbSelect& d) {
            EXPECT_TRUE(d.lookupTable()->locate({field}, {value}))
                << value.toString().toStdString();
            d.btnOK()->click();
        });
    }
    std::vector<std::pair<int, QString>> offerLines(int headId) {
        auto t = open(kLines);
        t->setIndexName(u"S_IRef"_s);
        t->setRange({headId}, {headId});
        std::vector<std::pair<int, QString>> result;
        for (t->first(); !t->eof() && !t->isEmpty(); t->next())
            result.emplace_back(FieldInt(*t, u"S_PosNr"_s), FieldText(*t, u"S_Kurztext"_s));
        return result;
    }
};

TEST_F(AngEditForm, ANewOfferClosedAtOnceLeavesNoHeadAndTheCounterAsBefore) {
    const int before = offerCounter();
    QString drawn;
    editOffer({}, [&](TF_DocEdit& form) {
        EXPECT_EQ(form.windowTitle(), u"Angebot erfassen"_s);
        drawn = form.head()[u"R_Nr"_s].asString();
        EXPECT_EQ(offerCounter(), before + 1) << "the number is final from the start";
        EXPECT_EQ(rows(kHeads, u"R_Creator"_s, 1), 1);
    });
    EXPECT_FALSE(drawn.isEmpty());
    EXPECT_EQ(rows(kHeads, u"R_Creator"_s, 1), 0);
    EXPECT_EQ(offerCounter(), before);
}

TEST_F(AngEditForm, AClosedPickerLeavesOneHeadAndALineKeepsTheNumber) {
    const int before = offerCounter();
    editOffer({}, [&](TF_DocEdit& form) {
        EXPECT_TRUE(pickerShown([&] {
            QTest::keyClick(form.fieldEditor(u"R_ObjektNr"_s), Qt::Key_W, Qt::AltModifier);
        }));
        EXPECT_TRUE(pickerShown([&] {
            QTest::keyClick(form.fieldEditor(u"R_KundenNr"_s), Qt::Key_W, Qt::AltModifier);
        }));
        EXPECT_EQ(rows(kHeads, u"R_Creator"_s, 1), 1);
        form.lines().append();
        form.lines()[u"S_Kurztext"_s] = u"Reinigung"_s;
    });
    auto heads = open(kHeads);
    ASSERT_EQ(heads->recordCount(), 1);
    heads->first();
    EXPECT_EQ(FieldInt(*heads, u"R_Jahr"_s), QDate::currentDate().year());
    EXPECT_EQ(FieldInt(*heads, u"R_Monat"_s), QDate::currentDate().month());
    EXPECT_EQ(offerCounter(), before + 1);
    EXPECT_EQ(rows(kLines, u"S_Ref"_s, FieldInt(*heads, u"R_ID"_s)), 1);
}

TEST_F(AngEditForm, ObjectAndCustomerChangeOnlyWhileChangeable) {
    addOffer(1, u"AN-1"_s, 1);
    addOffer(2, u"AN-2"_s, 0);
    const struct {
        QString nr; // empty: a new offer
        bool changeable;
    } cases[] = {{{}, true}, {u"AN-1"_s, true}, {u"AN-2"_s, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.nr.toStdString());
        editOffer(c.nr, [&](TF_DocEdit& form) {
            for (const QString& field : {u"R_ObjektNr"_s, u"R_KundenNr"_s})
                EXPECT_EQ(pickerShown([&] {
                              QTest::keyClick(form.fieldEditor(field), Qt::Key_W, Qt::AltModifier);
                          }),
                          c.changeable)
                    << field.toStdString();
            EXPECT_EQ(form.fieldEditorAs<widgets::DbEdit>(u"R_KundenNr"_s)->isReadOnly(),
                      !c.changeable);
        });
    }
}

TEST_F(AngEditForm, AnotherObjectReplacesAddressCustomerAndClearsTheContacts) {
    addOffer(1, u"AN-1"_s, 1);
    auto heads = open(kHeads);
    heads->locate({u"R_ID"_s}, {1});
    heads->edit();
    (*heads)[u"R_ObjektNr"_s] = 0;
    (*heads)[u"R_AnrID0"_s] = 77;
    (*heads)[u"R_AdrZweck0"_s] = u"Hausmeister"_s;
    heads->post();
    heads.reset();
    editOffer(u"AN-1"_s, [&](TF_DocEdit& form) {
        choose(u"O_Nr"_s, 500);
        QTest::keyClick(form.fieldEditor(u"R_ObjektNr"_s), Qt::Key_W, Qt::AltModifier);
    });
    EXPECT_EQ(headValue(kHeads, 1, u"R_ObjektNr"_s).toInt(), 500);
    EXPECT_EQ(headValue(kHeads, 1, u"R_OName1"_s).toString(), u"Hausverwaltung See"_s);
    EXPECT_EQ(headValue(kHeads, 1, u"R_AnrID0"_s).toInt(), 0);
    EXPECT_EQ(headValue(kHeads, 1, u"R_AdrZweck0"_s).toString(), QString());
}

TEST_F(AngEditForm, CopiedLinesFollowTheLastGroupInSourceOrderAndTheOwnOfferIsNotOffered) {
    addOffer(1, u"AN-1"_s, 1);
    addSourceLine(kLines, 1, {11, 1000000, 0, 1});
    addSourceLine(kLines, 1, {12, 2010000, 0, 1});
    addSourceHead(u"Auftkopf.DB"_s, 901, u"A-1"_s, 600);
    addSourceLine(u"Auftsatz.DB"_s, 901, {22, 2000000, 0, 3});
    addSourceLine(u"Auftsatz.DB"_s, 901, {21, 1000000, 0, 2});
    addSourceLine(u"Auftsatz.DB"_s, 901, {23, 3000000, 3, 0});
    QStringList offered;
    editOffer(u"AN-1"_s, [&](TF_DocEdit& form) {
        WhenModal<TF_DbSelect>([&](TF_DbSelect& d) {
            Table& t = *d.lookupTable();
            for (t.first(); !t.eof() && !t.isEmpty(); t.next())
                offered << FieldText(t, u"R_Nr"_s);
            d.btnCancel()->click();
        });
        TF_DocEdit::menuAction(form.copyMenu(), u"&Angebot kopieren"_s)->trigger();
        choose(u"R_Nr"_s, u"A-1"_s);
        TF_DocEdit::menuAction(form.copyMenu(), u"A&uftrag kopieren"_s)->trigger();
    });
    EXPECT_FALSE(offered.contains(u"AN-1"_s));
    EXPECT_TRUE(errors().isEmpty()) << errors().join(u'|').toStdString();
    const auto lines = offerLines(1);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[2], std::make_pair(3000000, u"Zeile 21"_s));
    EXPECT_EQ(lines[3], std::make_pair(4000000, u"Zeile 22"_s));
    EXPECT_EQ(lines[4], std::make_pair(5000000, u"Zeile 23"_s));
    // The offer has its object: its head stays its own.
    EXPECT_EQ(headValue(kHeads, 1, u"R_ObjektNr"_s).toInt(), 500);
}

TEST_F(AngEditForm, ACopyFailingAtItsThirdLineLeavesNothing) {
    addOffer(1, u"AN-1"_s, 1);
    addSourceHead(u"Auftkopf.DB"_s, 901, u"A-1"_s, 600);
    for (int i = 0; i < 4; ++i)
        addSourceLine(u"Auftsatz.DB"_s, 901, {21 + i, (i + 1) * 1000000, 0, 1});
    // The third copied line is refused when it is posted.
    int posted = 0;
    editOffer(u"AN-1"_s, [&](TF_DocEdit& form) {
        form.lines().beforePost += [&](Table&) {
            if (++posted == 3)
                throw DbError(u"Platte voll"_s);
        };
        choose(u"R_Nr"_s, u"A-1"_s);
        TF_DocEdit::menuAction(form.copyMenu(), u"A&uftrag kopieren"_s)->trigger();
        EXPECT_FALSE(form.hasLines());
    });
    EXPECT_TRUE(offerLines(1).empty());
    ASSERT_EQ(errors().size(), 1) << errors().join(u'|').toStdString();
    EXPECT_TRUE(errors()[0].startsWith(u"Die Positionen konnten nicht übernommen werden."_s));
}

TEST_F(AngEditForm, PastingALineDeletedMeanwhileDoesNothing) {
    addOffer(1, u"AN-1"_s, 1);
    addSourceLine(kLines, 1, {11, 1000000, 0, 1});
    addSourceLine(kLines, 1, {12, 2000000, 0, 1});
    editOffer(u"AN-1"_s, [&](TF_DocEdit& form) {
        form.preparePositionMenu();
        TF_DocEdit::menuAction(form.positionMenu(), u"Satz kopieren"_s)->trigger();
        form.lines().deleteRecord();
        form.preparePositionMenu();
        TF_DocEdit::menuAction(form.positionMenu(), u"Satz einfügen"_s)->trigger();
    });
    EXPECT_EQ(offerLines(1).size(), 1u);
    EXPECT_TRUE(errors().isEmpty()) << errors().join(u'|').toStdString();
}

TEST_F(AngEditForm, CalculationAndLetterWaitForTheirHooksAndGetThePostedOffer) {
    addOffer(1, u"AN-1"_s, 1);
    addSourceLine(kLines, 1, {11, 1000000, 0, 1});
    editOffer(u"AN-1"_s, [&](TF_DocEdit& form) {
        for (const QString& caption : {u"Kalukulat.(F7)"_s, u"Anschreib.(F9)"_s}) {
            QPushButton* b = form.button(caption);
            ASSERT_NE(b, nullptr);
            EXPECT_FALSE(b->isEnabled());
            EXPECT_EQ(b->toolTip(), u"Noch nicht verfügbar"_s);
        }
    });
    int calcId = 0;
    QString calcNr;
    bool lineWasPosted = false;
    OfferEditorHooksRegistry().showCalc = [&](int id, const QString& nr) {
        calcId = id;
        calcNr = nr;
        lineWasPosted = !dm->TabAngSatz().isEditing();
    };
    editOffer(u"AN-1"_s, [&](TF_DocEdit& form) {
        form.lines().edit();
        form.lines()[u"S_Menge"_s] = 3.0;
        QPushButton* b = form.button(u"Kalukulat.(F7)"_s);
        ASSERT_TRUE(b->isEnabled());
        b->click();
    });
    EXPECT_EQ(calcId, 1);
    EXPECT_EQ(calcNr, u"AN-1"_s);
    EXPECT_TRUE(lineWasPosted);
}

TEST_F(AngEditForm, AnArticleGivesItsBasePricesAndTheUnitPriceFollowsTheMarkup) {
    addOffer(1, u"AN-1"_s, 1);
    addSourceLine(kLines, 1, {11, 1000000, 0, 1});
    auto heads = open(kHeads);
    heads->locate({u"R_ID"_s}, {1});
    heads->edit();
    (*heads)[u"R_CalcAufschlag"_s] = 50.0;
    heads->post();
    heads.reset();
    auto articles = open(u"Artikel.DB"_s);
    articles->locate({u"A_ID"_s}, {7});
    articles->edit();
    (*articles)[u"A_Preis1"_s] = 4.0;
    articles->post();
    articles.reset();
    for (table::Table* t : dm->tables())
        RefreshIfActive(*t);
    editOffer(u"AN-1"_s, [&](TF_DocEdit& form) {
        choose(u"A_ID"_s, 7);
        form.button(u"Artikel (F3)"_s)->click();
        Table& lines = form.lines();
        EXPECT_EQ(lines[u"S_Origin"_s].asInteger(), 3);
        EXPECT_DOUBLE_EQ(lines[u"S_BasisPreis"_s].asFloat(), 2.0);
        EXPECT_DOUBLE_EQ(lines[u"S_BasisVkpreis"_s].asFloat(), 4.0);
        EXPECT_DOUBLE_EQ(lines[u"S_EPreis"_s].asFloat(), 6.0);
    });
    EXPECT_TRUE(errors().isEmpty()) << errors().join(u'|').toStdString();
}

} // namespace
