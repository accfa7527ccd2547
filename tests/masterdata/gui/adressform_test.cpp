#include "core/data/clientswitch.h"
#include "core/data/dbhelpers.h"
#include "masterdata/adressdocs.h"
#include "masterdata/gui/adressform.h"
#include "masterdata/gui/adresspages.h"
#include "masterdata/gui/listforms.h"
#include "masterdata/gui/masterdatamodules.h"
#include "masterdata/gui/tf_listform.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/dbrichedit.h"
#include "platform/widgets/fieldform.h"
#include "platform/widgets/fieldlink.h"
#include "platform/widgets/rowreader.h"
#include "tableformfixture.h"

#include <QApplication>
#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Addresses 1 to 3 (A_ID 11 to 13); the first has two contacts and a journal
// entry, the second none; the address book shown as the program shows it.
class AdressForm : public formtest::TableFormTest {
protected:
    void SetUp() override {
        TableFormTest::SetUp();
        const struct {
            int id, nr;
            const char *match, *phone;
        } rows[] = {{11, 1, "ALPHA", "0228 12345"},
                    {12, 2, "BETA", "0221 999"},
                    {13, 3, "GAMMA", "0228 777"}};
        for (const auto& r : rows)
            addRow(u"Adress.DB"_s, {{u"A_ID"_s, r.id},
                                    {u"A_Nr"_s, r.nr},
                                    {u"A_Match"_s, QString::fromLatin1(r.match)},
                                    {u"A_Telefon"_s, QString::fromLatin1(r.phone)}});
        addRow(u"Aansp.DB"_s, {{u"AA_ID"_s, 1},
                               {u"AA_RefID"_s, 11},
                               {u"AA_AnsprechName"_s, u"Anna"_s},
                               {u"AA_AnsprechMemo"_s, u"erreichbar vormittags"_s}});
        addRow(u"Aansp.DB"_s,
               {{u"AA_ID"_s, 5}, {u"AA_RefID"_s, 11}, {u"AA_AnsprechName"_s, u"Bert"_s}});
        addRow(u"AdrJour.db"_s, {{u"AJ_ID"_s, 3},
                                 {u"AJ_Adr"_s, 11},
                                 {u"AJ_Date"_s, QDate(2026, 1, 5)},
                                 {u"AJ_Info"_s, u"Telefonat"_s}});
        addRow(u"AdrProto.DB"_s, {{u"AP_ID"_s, 1},
                                  {u"AP_Adr"_s, 11},
                                  {u"AP_Date"_s, QDate(2026, 2, 1)},
                                  {u"AP_Art"_s, 2},
                                  {u"AP_Text"_s, u"Preise 2027"_s}});
        previousOpener = widgets::SetRichEditOpener(
            [this](widgets::DbRichEdit& e) { opened << e.link().field()->name(); });
        forms = std::make_unique<LongLivedForms>();
        ShowAdressForm();
        form = FindListForm(u"TF_Adress"_s);
        ASSERT_NE(form, nullptr);
        QApplication::setActiveWindow(form);
        ASSERT_TRUE(QTest::qWaitForWindowActive(form));
    }
    void TearDown() override {
        forms.reset();
        widgets::SetRichEditOpener(previousOpener);
        TableFormTest::TearDown();
    }

    table::Table& adress() const { return dm->TabAdress(); }
    void locate(int nr) { ASSERT_TRUE(adress().locate({u"A_Nr"_s}, {nr})); }
    AdressDetailPage& page(const QString& title) {
        form->showPage(title);
        AdressDetailPage* p = AdressPageOf(*form, title);
        EXPECT_NE(p, nullptr);
        return *p;
    }
    QStringList names(AdressDetailPage& p, const QString& field) {
        QStringList found;
        widgets::DataSource& s = p.source();
        for (int row = 0; row < s.rows().rowCount(); ++row)
            found << s.rows().value(row, field).toString();
        return found;
    }
    static void key(QWidget& w, Qt::Key k, Qt::KeyboardModifiers m = Qt::ControlModifier) {
        w.setFocus();
        QTest::keyClick(&w, k, m);
    }
    QString recordCount() const { return form->findChild<QLabel*>(u"lbReccount"_s)->text(); }

    formtest::TestUser user{62};
    std::unique_ptr<LongLivedForms> forms;
    TF_ListForm* form = nullptr;
    widgets::RichEditOpener previousOpener;
    QStringList opened;
};

TEST_F(AdressForm, ContactsOfTheAddressAreAddedAndEditedOnTheirPage) {
    locate(1);
    AdressDetailPage& contacts = page(AdressContactsPage);
    EXPECT_EQ(names(contacts, u"AA_AnsprechName"_s), (QStringList{u"Anna"_s, u"Bert"_s}));
    // The grid binds the navigator and "Übernehmen" to the contacts.
    contacts.grid().setFocus();
    contacts.source().insert();
    contacts.table()[u"AA_AnsprechName"_s] = u"Carla"_s;
    form->post();
    contacts.table().locate({u"AA_AnsprechName"_s}, {u"Bert"_s});
    contacts.source().startEdit();
    contacts.table()[u"AA_AnsprechTel"_s] = u"0228 1"_s;
    form->post();
    EXPECT_FALSE(adress().isEditing());

    auto rows = open(u"Aansp.DB"_s);
    ASSERT_TRUE(rows->locate({u"AA_AnsprechName"_s}, {u"Carla"_s}));
    EXPECT_EQ(FieldInt(*rows, u"AA_RefID"_s), 11);
    EXPECT_EQ(FieldInt(*rows, u"AA_ID"_s), 6); // the next key
    ASSERT_TRUE(rows->locate({u"AA_AnsprechName"_s}, {u"Bert"_s}));
    EXPECT_EQ(rows->field(u"AA_AnsprechTel"_s).asString(), u"0228 1"_s);

    locate(2);
    EXPECT_TRUE(names(contacts, u"AA_AnsprechName"_s).isEmpty());
    EXPECT_TRUE(presenter.boxes.isEmpty()) << presenter.boxes.value(0).text.toStdString();
}

TEST_F(AdressForm, JournalNeuPostsAnEntryOfNowAndLoeschenAsksFirst) {
    locate(1);
    AdressDetailPage& journal = page(AdressJournalPage);
    auto* neu = journal.findChild<QPushButton*>(u"btnJournalNeu"_s);
    auto* weg = journal.findChild<QPushButton*>(u"btnJournalLoeschen"_s);
    ASSERT_TRUE(neu && weg);
    neu->click();
    EXPECT_FALSE(journal.table().isEditing());
    EXPECT_EQ(journal.table().recordCount(), 2);
    auto rows = open(u"AdrJour.db"_s);
    ASSERT_TRUE(rows->locate({u"AJ_ID"_s}, {4}));
    EXPECT_EQ(FieldInt(*rows, u"AJ_Adr"_s), 11);
    EXPECT_EQ(rows->field(u"AJ_Date"_s).value().toDate(), QDate::currentDate());
    EXPECT_FALSE(rows->field(u"AJ_TIme"_s).isNull());
    EXPECT_EQ(QApplication::focusWidget(), &journal.grid());

    // No keeps the row, Yes deletes it.
    presenter.answers = {false};
    weg->click();
    EXPECT_EQ(journal.table().recordCount(), 2);
    presenter.answers = {true};
    weg->click();
    EXPECT_EQ(journal.table().recordCount(), 1);
    EXPECT_EQ(presenter.texts(MessagePresenter::Kind::Question).size(), 2);

    // An address without entries is not asked about.
    locate(2);
    presenter.boxes.clear();
    weg->click();
    EXPECT_TRUE(presenter.boxes.isEmpty());
}

TEST_F(AdressForm, RichTextsOpenTheEditorOnlyOnRowsAndCtrlPageKeysMoveBetweenGridAndList) {
    locate(1);
    for (const auto& [title, field] :
         {std::pair{AdressContactsPage, u"AA_AnsprechMemo"_s}, {AdressJournalPage, u"AJ_Info"_s}}) {
        SCOPED_TRACE(field.toStdString());
        AdressDetailPage& p = page(title);
        opened.clear();
        key(p.grid(), Qt::Key_PageDown);
        EXPECT_EQ(opened, QStringList{field});
        EXPECT_EQ(QApplication::focusWidget(), &p.grid());
        QTest::mouseClick(p.textEdit()->viewport(), Qt::LeftButton);
        EXPECT_EQ(opened.size(), 2);
        key(p.grid(), Qt::Key_PageUp);
        EXPECT_EQ(QApplication::focusWidget(), &form->grid());
    }
    // Without contacts there is no text to open.
    locate(2);
    AdressDetailPage& contacts = page(AdressContactsPage);
    opened.clear();
    key(contacts.grid(), Qt::Key_PageDown);
    QTest::mouseClick(contacts.textEdit()->viewport(), Qt::LeftButton);
    EXPECT_TRUE(opened.isEmpty());
    // The protocol has no text: both keys go back to the list.
    AdressDetailPage& protocol = page(AdressProtocolPage);
    key(protocol.grid(), Qt::Key_PageDown);
    EXPECT_EQ(QApplication::focusWidget(), &form->grid());
    // The address's own rich texts open the same editor.
    form->showPage(u"Beschr./Notizen"_s);
    for (const QString field : {u"A_Notizen"_s, u"A_Beschreibung"_s}) {
        auto* edit = form->fields()->editorAs<widgets::DbRichEdit>(field);
        ASSERT_NE(edit, nullptr);
        QTest::mouseClick(edit->viewport(), Qt::LeftButton);
    }
    EXPECT_EQ(opened, (QStringList{u"A_Notizen"_s, u"A_Beschreibung"_s}));
}

TEST_F(AdressForm, ProtocolShowsTheKindsName) {
    locate(1);
    AdressDetailPage& protocol = page(AdressProtocolPage);
    EXPECT_EQ(names(protocol, u"Artbezeich"_s), QStringList{u"Mailing"_s});
    EXPECT_TRUE(protocol.table().isReadOnly());
}

TEST_F(AdressForm, RecordCountLabelFollowsMovesFiltersAndPosts) {
    locate(1);
    EXPECT_EQ(recordCount(), u"1/3"_s);
    adress().next();
    EXPECT_EQ(recordCount(), u"2/3"_s);
    // The phone filter: only the two Bonn numbers.
    auto* phone = form->findChild<QLineEdit*>(u"EditFilter"_s);
    ASSERT_NE(phone, nullptr);
    phone->setFocus();
    QTest::keyClicks(phone, u"0228"_s);
    adress().first();
    EXPECT_EQ(recordCount(), u"1/2"_s);
    // The rules' request to show the record reaches the label.
    ShowAdressRecordPosition(7, 9);
    EXPECT_EQ(recordCount(), u"7/9"_s);
    adress().edit();
    adress()[u"A_Name1"_s] = u"Alpha GmbH"_s;
    adress().post();
    EXPECT_EQ(recordCount(), u"1/2"_s);
}

TEST_F(AdressForm, TablesOpenWithTheFormAgainAfterAClientSwitch) {
    {
        // The module registration installs the address book as the switch's hook.
        ModuleDispatcher modules;
        RegisterMasterDataModules(modules);
        SetAdressFormDispatcher(nullptr);
        SetListPrinter({});
    }
    TDataModule1& d = *dm;
    for (table::Table* t : {&d.TabJour(), &d.TabAAnsprech(), &d.TabAdress()})
        t->close();
    ASSERT_TRUE(ClientSwitchHooksRegistry().reopenFormTables);
    ClientSwitchHooksRegistry().reopenFormTables();
    for (table::Table* t : {&d.TabAdress(), &d.TabAAnsprech(), &d.TabJour()})
        EXPECT_TRUE(t->isOpen()) << t->tableName().toStdString();
    EXPECT_TRUE(AdressPageOf(*form, AdressProtocolPage)->table().isOpen());
    EXPECT_EQ(recordCount().section(u'/', 1), u"3"_s);
    // Closing the form's tables and activating it opens them again.
    CloseAdressFormTables(form);
    EXPECT_FALSE(d.TabAAnsprech().isOpen());
    form->deactivate();
    form->activate();
    EXPECT_TRUE(presenter.boxes.isEmpty()) << presenter.boxes.value(0).text.toStdString();
    EXPECT_TRUE(d.TabAAnsprech().isOpen());
    EXPECT_TRUE(d.TabAdress().isOpen());
}

TEST_F(AdressForm, DocumentKindFollowsTheFocusedLinkField) {
    const struct {
        const char* field;
        int kind;
    } cases[] = {{"A_KundenNr", DocsOfKunde},
                 {"A_ObjektNr", DocsOfObjekt},
                 {"A_LieferantNr", DocsOfLieferant},
                 {"A_PersonalNr", 0},
                 {"A_Name1", 0}};
    form->showPage(u"&Grunddaten"_s);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field);
        QWidget* editor = form->fields()->editor(QString::fromLatin1(c.field));
        ASSERT_NE(editor, nullptr);
        editor->setFocus();
        EXPECT_EQ(AdressDocKindOfFocus(*form, QApplication::focusWidget()), c.kind);
    }
    EXPECT_EQ(AdressDocKindOfFocus(*form, &form->grid()), 0);
    // The button keeps the focus where it is; it waits for the viewer.
    QPushButton* button = form->button(u"Dokumente"_s);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->focusPolicy(), Qt::NoFocus);
    EXPECT_FALSE(button->isEnabled());
    EXPECT_FALSE(button->toolTip().isEmpty());
}

} // namespace
