#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/files/programdirs.h"
#include "core/gui/modaldriver.h"
#include "masterdata/dialogs/duallistdialog.h"
#include "masterdata/dialogs/rtfeditor.h"
#include "masterdata/gui/artikelform.h"
#include "platform/table/table.h"
#include "platform/widgets/dbcombobox.h"
#include "platform/widgets/dbrichedit.h"
#include "platform/widgets/fieldform.h"
#include "tableformfixture.h"

#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTextDocument>

using namespace Qt::StringLiterals;

namespace {

using Row = QList<std::pair<QString, QVariant>>;

// The central articles 000001 and 000002; object 7 (number 700) already
// holds 000002.
class ArtikelForm : public formtest::ListFormTest {
protected:
    void SetUp() override {
        ListFormTest::SetUp();
        grant(1);
        addArticle(1, 0, u"000001"_s, {{u"A_Bezeich1"_s, u"Reiniger"_s}, {u"A_Lagermenge"_s, 4.0}});
        addArticle(2, 0, u"000002"_s, {{u"A_Bezeich1"_s, u"Besen"_s}});
        addArticle(3, 7, u"000002"_s, {{u"A_Bezeich1"_s, u"Besen"_s}});
        for (table::Table* t : {&dm->TabVE(), &dm->TabBestMode(), &dm->TabKostart(),
                                &dm->TabLieferant(), &dm->TabLiefArt()})
            t->open();
    }
    void TearDown() override {
        if (form && form->table().isEditing())
            form->table().cancel();
        ListFormTest::TearDown();
        SetArtikelFormStock(0, 0);
    }
    void addArticle(int id, int objId, const QString& artNo, const Row& more) {
        Row values{{u"A_ID"_s, id}, {u"A_ObjID"_s, objId}, {u"A_ArtNo"_s, artNo}};
        values.append(more);
        addRow(u"Artikel.DB"_s, values);
    }
    void showStock(int objId, int objNr) {
        SetArtikelFormStock(objId, objNr);
        showForm(ArtikelFormDecl());
    }
    QStringList shownArticles() {
        QStringList numbers;
        table::Table& t = form->table();
        for (t.first(); !t.eof() && !t.isEmpty(); t.next())
            numbers.append(FieldText(t, u"A_ArtNo"_s));
        return numbers;
    }
};

TEST_F(ArtikelForm, EachStockHasItsCaptionRowsAndImport) {
    struct Case {
        int objId, objNr;
        QString caption;
        QStringList articles;
        bool import;
    };
    for (const Case& c :
         {Case{7, 700, u"Warenlager [Objekt 700]"_s, {u"000002"_s}, true},
          Case{0, 0, u"Warenlager [Objekt 0]"_s, {u"000001"_s, u"000002"_s}, false}}) {
        SCOPED_TRACE(c.caption.toStdString());
        SetArtikelFormStock(c.objId, c.objNr);
        if (!form)
            showStock(c.objId, c.objNr);
        else
            ShowArtikelStock(*form);
        EXPECT_EQ(form->windowTitle(), c.caption);
        EXPECT_EQ(shownArticles(), c.articles);
        EXPECT_EQ(form->button(u"Importieren"_s)->isEnabled(), c.import);
    }
}

TEST_F(ArtikelForm, TheVatListOffersOnlyTheRatesValidToday) {
    const QDate today = QDate::currentDate();
    auto rates = open(u"MwstSatz.DB"_s);
    while (!rates->isEmpty())
        rates->deleteRecord();
    addRow(u"MwstSatz.DB"_s, {{u"Mwst_ID"_s, 1},
                              {u"Mwst_Nr"_s, 1},
                              {u"Mwst_Kurz"_s, u"19 %"_s},
                              {u"Mwst_GueltigVon"_s, today.addYears(-1)},
                              {u"Mwst_GueltigBis"_s, today.addYears(1)}});
    addRow(u"MwstSatz.DB"_s, {{u"Mwst_ID"_s, 2},
                              {u"Mwst_Nr"_s, 2},
                              {u"Mwst_Kurz"_s, u"16 %"_s},
                              {u"Mwst_GueltigVon"_s, today.addYears(-3)},
                              {u"Mwst_GueltigBis"_s, today.addYears(-2)}});
    showStock(0, 0);
    auto* vat = form->fields()->editorAs<widgets::DbComboBox>(u"A_Mwst"_s);
    ASSERT_NE(vat, nullptr);
    ASSERT_EQ(vat->count(), 1);
    EXPECT_EQ(vat->itemText(0), u"19 %"_s);
}

TEST_F(ArtikelForm, TheImportCopiesTheChosenCentralArticlesIntoTheObject) {
    showStock(7, 700);
    QStringList offered;
    WhenModalShown([&](QWidget* modal) {
        auto* dialog = qobject_cast<DualListDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), u"Material auswählen"_s);
        for (int i = 0; i < dialog->offeredList().count(); ++i)
            offered.append(dialog->offeredList().item(i)->text());
        dialog->choose(true);
        dialog->okButton().click();
    });
    form->button(u"Importieren"_s)->click();
    EXPECT_EQ(offered, QStringList{u"000001    Reiniger"_s});
    EXPECT_EQ(shownArticles(), (QStringList{u"000001"_s, u"000002"_s}));
    ASSERT_TRUE(form->table().locate({u"A_ArtNo"_s}, {u"000001"_s}));
    EXPECT_EQ(FieldInt(form->table(), u"A_ObjID"_s), 7);
    EXPECT_DOUBLE_EQ(FieldFloat(form->table(), u"A_Lagermenge"_s), 0.0);
}

TEST_F(ArtikelForm, LeavingThePurchasePriceSetsTheSalesPrice) {
    showStock(0, 0);
    table::Table& t = form->table();
    ASSERT_TRUE(t.locate({u"A_ArtNo"_s}, {u"000001"_s}));
    t.edit();
    t[u"A_Aufschlag1"_s] = 50.0;
    t[u"A_EkPreis"_s] = 2.0;
    Q_EMIT form->fields()->editorAs<QLineEdit>(u"A_EkPreis"_s)->editingFinished();
    EXPECT_DOUBLE_EQ(FieldFloat(t, u"A_Preis1"_s), 3.0);
    EXPECT_TRUE(t.isEditing());
}

TEST_F(ArtikelForm, ATextModuleIsPastedIntoTheDescription) {
    const QString file = path(u"gruss.txt"_s);
    {
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write("Mit freundlichen Gr\xFC\xDF"
                  "en");
    }
    QString askedIn;
    const RtfFileChooser previous =
        SetRtfFileChooser([&](QWidget*, bool save, const QString& directory) {
            EXPECT_FALSE(save);
            askedIn = directory;
            return file;
        });
    showStock(0, 0);
    ASSERT_TRUE(form->table().locate({u"A_ArtNo"_s}, {u"000002"_s}));
    LoadArtikelTextModule(*form);
    SetRtfFileChooser(previous);
    EXPECT_EQ(askedIn, TextbstDir);
    EXPECT_TRUE(form->table().isEditing());
    QTextDocument stored;
    widgets::DbRichEdit::showValue(FieldText(form->table(), u"A_Beschreibung"_s), stored);
    // At the caret, after what the record rules put into an empty description.
    EXPECT_EQ(stored.toPlainText().trimmed(), u"BesenMit freundlichen Grüßen"_s);
}

TEST_F(ArtikelForm, TheReservationMemoShowsOnADoubleClickOnTheReservations) {
    showStock(0, 0);
    QWidget* memo = form->fields()->editor(u"A_VormerkMemo"_s);
    EXPECT_FALSE(memo->isVisible());
    QTest::mouseDClick(form->fields()->editor(u"A_Vormerkung"_s), Qt::LeftButton);
    EXPECT_FALSE(memo->isHidden());
    QTest::mouseDClick(form->fields()->editor(u"A_Vormerkung"_s), Qt::LeftButton);
    EXPECT_TRUE(memo->isHidden());
    // Its own button hides it too, and goes with it.
    QPushButton* ok = nullptr;
    for (QPushButton* b : form->findChildren<QPushButton*>())
        if (b->text() == u"&OK"_s)
            ok = b;
    ASSERT_NE(ok, nullptr);
    EXPECT_TRUE(ok->isHidden());
    QTest::mouseDClick(form->fields()->editor(u"A_Vormerkung"_s), Qt::LeftButton);
    ASSERT_FALSE(ok->isHidden());
    EXPECT_EQ(ok->parentWidget(), memo->parentWidget());
    ok->click();
    EXPECT_TRUE(memo->isHidden());
    EXPECT_TRUE(ok->isHidden());
}

} // namespace
