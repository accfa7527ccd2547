#include "commercial/gui/commercialmodules.h"
#include "commercial/gui/documentpickers.h"
#include "commercial/gui/tf_fakadr.h"
#include "commercial/gui/tf_rechhead.h"
#include "core/moduleentries.h"
#include "masterdata/dialogs/tf_dbrtf.h"
#include "masterdata/dialogs/tf_dbselect.h"
#include "masterdata/gui/tf_tableform.h"
#include "platform/widgets/dbedit.h"
#include "platform/widgets/dbnavigator.h"
#include "platform/widgets/dbrichedit.h"
#include "platform/widgets/fieldform.h"
#include "rgeditfixture.h"

#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>

using namespace Qt::StringLiterals;
using rgedittest::WhenModal;
using table::Table;

namespace {

const QString kPairs = u"ORgHDef.DB"_s;

class HeadTexts : public rgedittest::RgEdit {
protected:
    void SetUp() override {
        RgEdit::SetUp();
        auto pairs = open(kPairs);
        while (!pairs->isEmpty()) {
            pairs->first();
            pairs->deleteRecord();
        }
    }
    void addPair(int id, const QString& name, const QString& kopf = {}, const QString& fuss = {}) {
        addRow(kPairs, {{u"RH_ID"_s, id},
                        {u"RH_KurzBezeich"_s, name},
                        {u"RH_KopfText"_s, kopf},
                        {u"RH_FussText"_s, fuss}});
    }
    QVariant pairValue(int id, const QString& field) {
        return valueOf(kPairs, u"RH_ID"_s, id, field);
    }
    // Opens the catalogue at id, runs the script and leaves it with the
    // button of that caption (OK or cancel).
    std::optional<int> select(int id, std::function<void(TF_TableForm&)> script,
                              const QString& leaveWith) {
        WhenModal<TF_TableForm>([&](TF_TableForm& form) {
            script(form);
            if (form.isVisible())
                form.button(leaveWith)->click();
        });
        return SelectKopfFussText(id);
    }
    static int currentId(TF_TableForm& form) { return FieldInt(form.table(), u"RH_ID"_s); }
};

TEST_F(HeadTexts, TheChoiceStartsOnItsPairAndTellsACancelFromAnOk) {
    addPair(0, u"ohne Kopf/Fuß"_s);
    addPair(3, u"Standard"_s, u"Kopf 3"_s);
    addPair(7, u"Winter"_s);
    int shownOn = -1;
    QString caption;
    EXPECT_EQ(select(
                  3,
                  [&](TF_TableForm& form) {
                      shownOn = currentId(form);
                      caption = form.windowTitle();
                      EXPECT_GE(form.width(), 800);
                      EXPECT_GE(form.height(), 500);
                  },
                  u"A&bbrechen"_s),
              std::nullopt);
    EXPECT_EQ(shownOn, 3);
    EXPECT_EQ(caption, u"Definition Kopf/-Fußtexte"_s);
    EXPECT_EQ(select(
                  3, [](TF_TableForm&) {}, u"&OK"_s),
              std::optional<int>(3));
    // An id no pair has starts on the last pair.
    EXPECT_EQ(select(
                  5, [&](TF_TableForm& form) { shownOn = currentId(form); }, u"&OK"_s),
              std::optional<int>(7));
    EXPECT_EQ(shownOn, 7);
    // A double-click in the list chooses like OK.
    EXPECT_EQ(select(
                  0,
                  [](TF_TableForm& form) {
                      form.table().locate({u"RH_ID"_s}, {3});
                      form.runColumnAction(u"RH_KurzBezeich"_s);
                  },
                  u"A&bbrechen"_s),
              std::optional<int>(3));
}

TEST_F(HeadTexts, NewPairsTakeTheHighestIdPlusOne) {
    auto append = [](TF_TableForm& form) {
        QMenu* menu = form.contextMenu();
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(menu->defaultAction()->text(), u"Textzeile &hinzufügen"_s);
        menu->defaultAction()->trigger();
        form.table()[u"RH_KurzBezeich"_s] = u"Neu"_s;
    };
    // OK on an empty catalogue gives 0.
    EXPECT_EQ(select(
                  0, [](TF_TableForm&) {}, u"&OK"_s),
              std::optional<int>(0));
    EXPECT_EQ(select(0, append, u"&OK"_s), std::optional<int>(1));
    addPair(7, u"Sieben"_s);
    addPair(3, u"Drei"_s);
    EXPECT_EQ(select(3, append, u"&OK"_s), std::optional<int>(8)) << "also when 2 is free";
    EXPECT_EQ(pairValue(8, u"RH_KurzBezeich"_s).toString(), u"Neu"_s);
    EXPECT_TRUE(pairValue(8, u"RH_KopfText"_s).toString().isEmpty());
}

TEST_F(HeadTexts, AnEditedTextStaysWhenTheDialogIsCancelledATypedNameDoesNot) {
    addPair(3, u"Standard"_s, u"alt"_s);
    select(
        3,
        [&](TF_TableForm& form) {
            QPushButton* take = form.button(u"Überneh&men"_s);
            EXPECT_FALSE(take->isEnabled()) << "only while a pair is edited";
            auto* text = form.fields()->editorAs<widgets::DbRichEdit>(u"RH_KopfText"_s);
            ASSERT_NE(text, nullptr);
            bool navigatorOff = false;
            WhenModal<TF_DbRtf>([&](TF_DbRtf& editor) {
                navigatorOff = !form.navigator().isEnabled();
                editor.editor().setPlainText(u"Neuer Kopf"_s);
                editor.editor().document()->setModified(true);
                editor.close();
            });
            QTest::mouseClick(text->viewport(), Qt::LeftButton);
            EXPECT_TRUE(navigatorOff);
            EXPECT_TRUE(form.navigator().isEnabled());
            form.table().edit();
            form.table()[u"RH_KurzBezeich"_s] = u"Getippt"_s;
            EXPECT_TRUE(take->isEnabled());
        },
        u"A&bbrechen"_s);
    EXPECT_TRUE(pairValue(3, u"RH_KopfText"_s).toString().contains(u"Neuer Kopf"_s));
    EXPECT_EQ(pairValue(3, u"RH_KurzBezeich"_s).toString(), u"Standard"_s);
}

TEST_F(HeadTexts, CtrlPageDownInTheListOpensTheHeadText) {
    addPair(3, u"Standard"_s, u"Kopf"_s);
    bool opened = false;
    select(
        3,
        [&](TF_TableForm& form) {
            WhenModal<TF_DbRtf>([&](TF_DbRtf& editor) {
                opened = editor.editor().toPlainText().contains(u"Kopf"_s);
                editor.close();
            });
            QTest::keyClick(&form.grid(), Qt::Key_PageDown, Qt::ControlModifier);
        },
        u"A&bbrechen"_s);
    EXPECT_TRUE(opened);
}

TEST_F(HeadTexts, TheSettingsMenuOpensTheCatalogue) {
    ModuleDispatcher dispatcher;
    EXPECT_FALSE(dispatcher.isAvailable(u"SelectKopfFussText"_s));
    RegisterCommercialModules(dispatcher);
    EXPECT_TRUE(dispatcher.isAvailable(u"SelectKopfFussText"_s));
    bool shown = false;
    WhenModal<TF_TableForm>([&](TF_TableForm& form) {
        shown = form.objectName() == u"TF_RechHead"_s;
        form.button(u"A&bbrechen"_s)->click();
    });
    EXPECT_EQ(dispatcher.run(u"SelectKopfFussText"_s), ModuleDispatcher::Outcome::Opened);
    EXPECT_TRUE(shown);
}

// The address editor on the shared invoice heads and on the archive.
class AddressEditor : public HeadTexts {
protected:
    void SetUp() override {
        HeadTexts::SetUp();
        addPair(7, u"Winter"_s, u"Kopf 7"_s, u"Fuß 7"_s);
        addRow(u"Rechkopf.DB"_s, {{u"R_ID"_s, 1},
                                  {u"R_Nr"_s, u"R-1"_s},
                                  {u"R_ObjektNr"_s, 500},
                                  {u"R_KundenNr"_s, 100},
                                  {u"R_KFID"_s, 3},
                                  {u"R_KopfText"_s, u"eigener Kopf"_s},
                                  {u"R_OName1"_s, u"Alt"_s},
                                  {u"R_DatumDruck"_s, QDate(2006, 5, 1)},
                                  {u"R_DatumErstell"_s, QDate(2006, 4, 1)}});
        heads = open(u"Rechkopf.DB"_s);
        heads->first();
    }
    void TearDown() override {
        heads.reset();
        HeadTexts::TearDown();
    }
    QVariant head(const QString& field) { return headValue(u"Rechkopf.DB"_s, 1, field); }
    void editWith(std::function<void(TF_FakAdr&)> script, Table* on = nullptr) {
        bool shown = false;
        WhenModal<TF_FakAdr>([&](TF_FakAdr& form) {
            shown = true;
            script(form);
            if (form.isVisible())
                form.reject();
        });
        EditFakAdr(on ? *on : *heads);
        EXPECT_TRUE(shown);
    }
    std::unique_ptr<Table> heads;
};

TEST_F(AddressEditor, TheDateShownDependsOnTheTable) {
    EXPECT_EQ(FakAdrDateField(u"Rechkopf.DB"_s), u"R_DatumDruck"_s);
    EXPECT_EQ(FakAdrDateField(u"OpKopf.DB"_s), u"R_DatumDruck"_s);
    EXPECT_EQ(FakAdrDateField(u"GSkopf.DB"_s), u"R_DatumDruck"_s);
    EXPECT_EQ(FakAdrDateField(u"Angkopf.DB"_s), u"R_DatumErstell"_s);
    EXPECT_EQ(FakAdrDateField(u"LSkopf.DB"_s), u"R_DatumErstell"_s);
    // An archived offer shows its creation date, read from the archive.
    addRow(u"Angkopf.DB"_s,
           {{u"R_ID"_s, 4},
            {u"R_Nr"_s, u"AN-4"_s},
            {u"R_DatumErstell"_s, QDate(2005, 2, 3)},
            {u"R_DatumDruck"_s, QDate(2005, 3, 4)}},
           u"AblageDB"_s);
    auto archived = open(u"Angkopf.DB"_s, u"AblageDB"_s);
    archived->first();
    editWith(
        [](TF_FakAdr& form) {
            EXPECT_EQ(form.windowTitle(), u"Adressdaten ändern"_s);
            auto* date = form.fields().editorAs<QLineEdit>(u"R_DatumErstell"_s);
            ASSERT_NE(date, nullptr);
            EXPECT_EQ(date->text(), u"03.02.2005"_s);
            EXPECT_EQ(date->toolTip(), u"Nicht änderbar"_s);
            EXPECT_TRUE(date->isReadOnly());
        },
        archived.get());
    editWith([](TF_FakAdr& form) {
        EXPECT_EQ(form.fields().editorAs<QLineEdit>(u"R_DatumDruck"_s)->text(), u"01.05.2006"_s);
        EXPECT_TRUE(form.fields().editorAs<QLineEdit>(u"R_Nr"_s)->isReadOnly());
    });
}

TEST_F(AddressEditor, AHeadThatIsGoneShowsNothing) {
    auto other = open(u"Rechkopf.DB"_s);
    other->first();
    other->deleteRecord();
    bool shown = false;
    QTimer* waiter = WhenModal<TF_FakAdr>([&](TF_FakAdr& form) {
        shown = true;
        form.reject();
    });
    EditFakAdr(*heads);
    EXPECT_FALSE(shown);
    if (!shown)
        delete waiter;
}

TEST_F(AddressEditor, NothingIsWrittenBeforeItIsTakenOver) {
    // Typed lines, an address from the pop-up and a chosen pair, dropped.
    editWith([&](TF_FakAdr& form) {
        Table& t = form.table();
        t.edit();
        t[u"R_OName2"_s] = u"getippt"_s;
        QMenu* menu = form.fields().menu(u"R_OName1"_s);
        ASSERT_NE(menu, nullptr);
        QStringList items;
        for (QAction* a : menu->actions())
            items << a->text();
        EXPECT_EQ(items,
                  (QStringList{u"Objektadresse übernehmen"_s,
                               u"Objekt-Korrespondenzanschrift übernehmen"_s,
                               u"Kundenadresse übernehmen"_s, u"Anschrift aus Adressdatenbank"_s,
                               u"Zusatzadresse1 übernehmen"_s, u"Zusatzadresse2 übernehmen"_s,
                               u"Zusatzadresse3 übernehmen"_s, u"Abbrechen"_s}));
        menu->actions()[1]->trigger(); // the object's billing address
        EXPECT_EQ(t[u"R_OName1"_s].asString(), u"Hausverwaltung See"_s);
        WhenModal<TF_TableForm>([](TF_TableForm& chooser) {
            chooser.table().locate({u"RH_ID"_s}, {7});
            chooser.button(u"&OK"_s)->click();
        });
        form.button(u"Wählen"_s)->click();
        EXPECT_EQ(t[u"R_KFID"_s].asInteger(), 7);
        EXPECT_TRUE(t[u"R_KopfText"_s].asString().contains(u"Kopf 7"_s));
        EXPECT_EQ(head(u"R_OName1"_s).toString(), u"Alt"_s) << "not yet written";
    });
    EXPECT_EQ(head(u"R_OName1"_s).toString(), u"Alt"_s);
    EXPECT_TRUE(head(u"R_OName2"_s).toString().isEmpty());
    EXPECT_EQ(head(u"R_KFID"_s).toInt(), 3);

    // A cancelled choice keeps the pair and its texts; "Überneh&men" writes.
    editWith([&](TF_FakAdr& form) {
        WhenModal<TF_TableForm>([](TF_TableForm& chooser) {
            chooser.table().locate({u"RH_ID"_s}, {7});
            chooser.button(u"A&bbrechen"_s)->click();
        });
        form.button(u"Wählen"_s)->click();
        EXPECT_EQ(form.table()[u"R_KFID"_s].asInteger(), 3);
        EXPECT_EQ(form.table()[u"R_KopfText"_s].asString(), u"eigener Kopf"_s);
        form.table().edit();
        form.table()[u"R_OName2"_s] = u"übernommen"_s;
        form.button(u"Überneh&men"_s)->click();
    });
    EXPECT_EQ(head(u"R_OName2"_s).toString(), u"übernommen"_s);
    EXPECT_EQ(head(u"R_KopfText"_s).toString(), u"eigener Kopf"_s);
    EXPECT_TRUE(errors().isEmpty());
}

TEST_F(AddressEditor, ThePickersWriteAnAddressAndAPersonInCharge) {
    addRow(u"Adress.DB"_s, {{u"A_ID"_s, 31}, {u"A_Nr"_s, 3100}, {u"A_Name1"_s, u"Kontakt"_s}});
    addRow(u"Personal.DB"_s, {{u"P_ID"_s, 4}, {u"P_Nr"_s, 40}, {u"P_Match"_s, u"MEIER"_s}});
    for (Table* t : dm->tables())
        RefreshIfActive(*t);
    Table& head = dm->TabRechKopf();
    head.open();
    head.first();
    head.edit();
    head[u"R_Beschreibung"_s] = u"vorher"_s;
    QString sort = u"A_Nr"_s;
    WhenModal<TF_DbSelect>([](TF_DbSelect& d) {
        d.lookupTable()->locate({u"A_Nr"_s}, {3100});
        d.btnOK()->click();
    });
    EXPECT_TRUE(PickAdressIntoField(head.field(u"R_AnrID0"_s), true, sort));
    EXPECT_EQ(this->head(u"R_AnrID0"_s).toInt(), 31);
    EXPECT_EQ(this->head(u"R_Beschreibung"_s).toString(), u"vorher"_s)
        << "the pending edit was posted first";

    WhenModal<TF_DbSelect>([](TF_DbSelect& d) {
        d.lookupTable()->locate({u"P_Nr"_s}, {40});
        d.btnOK()->click();
    });
    EXPECT_TRUE(PickBetreuerIntoField(nullptr, head.field(u"R_Betreuer"_s)));
    EXPECT_EQ(this->head(u"R_Betreuer"_s).toString(), u"MEIER"_s);
    EXPECT_FALSE(head.isEditing());
    EXPECT_TRUE(dm->IsTimerWorkEnabled()) << "the timer work comes back";
    head.close();
}

} // namespace
