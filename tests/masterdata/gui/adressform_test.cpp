#include "core/data/clientswitch.h"
#include "core/data/dbhelpers.h"
#include "core/files/programdirs.h"
#include "dbstructure/databasebuilder.h"
#include "masterdata/adressdocs.h"
#include "masterdata/adressfilter.h"
#include "masterdata/dialogs/dialogfixture.h"
#include "masterdata/dialogs/tf_dbselect.h"
#include "masterdata/gui/adressform.h"
#include "masterdata/gui/adresspages.h"
#include "masterdata/gui/listforms.h"
#include "masterdata/gui/masterdatamodules.h"
#include "masterdata/gui/tf_listform.h"
#include "platform/table/database.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/dbrichedit.h"
#include "platform/widgets/fieldform.h"
#include "platform/widgets/fieldlink.h"
#include "platform/widgets/rowreader.h"
#include "tableformfixture.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
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
        // The filter history and the selection files stay in the test.
        savedSelectDir = SelectDir;
        SelectDir = path(u"Select/"_s);
        QDir().mkpath(SelectDir);
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
        if (modules) {
            SetAdressFormDispatcher(nullptr);
            SetListPrinter({});
            ClientSwitchHooksRegistry().reopenFormTables = {};
        }
        forms.reset();
        widgets::SetRichEditOpener(previousOpener);
        SelectDir = savedSelectDir;
        TableFormTest::TearDown();
    }

    // The openers of the master forms and the hooks, as the program registers them.
    void registerModules() {
        modules = std::make_unique<ModuleDispatcher>();
        RegisterMasterDataModules(*modules);
    }
    QAction* action(QMenu* menu, const QString& caption) {
        for (QAction* a : menu ? menu->actions() : QList<QAction*>{})
            if (a->text() == caption)
                return a;
        ADD_FAILURE() << "no entry " << caption.toStdString();
        return nullptr;
    }
    QComboBox& expressions() const { return *form->findChild<QComboBox*>(u"cbAuswahl"_s); }
    void applyExpression(const QString& text) {
        expressions().setFocus();
        expressions().setEditText(text);
        Q_EMIT expressions().lineEdit()->editingFinished();
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
    std::unique_ptr<ModuleDispatcher> modules;
    std::unique_ptr<LongLivedForms> forms;
    TF_ListForm* form = nullptr;
    widgets::RichEditOpener previousOpener;
    QString savedSelectDir;
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
    // Ctrl+PgDn in the list goes to the tabs, Ctrl+PgUp in the extra data back.
    key(form->grid(), Qt::Key_PageDown);
    EXPECT_TRUE(form->fields()->pages()->hasFocus());
    form->showPage(u"Zusatzdaten"_s);
    key(*form->fields()->editor(u"A_BriefAnrede"_s), Qt::Key_PageUp);
    EXPECT_EQ(QApplication::focusWidget(), &form->grid());
    // The address's own rich texts open the same editor.
    form->showPage(u"Beschr./Notizen"_s);
    for (const QString& field : {u"A_Notizen"_s, u"A_Beschreibung"_s}) {
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
    // Like the search line while it has the focus.
    EXPECT_FALSE(form->navigator().isEnabled());
    EXPECT_EQ(phone->palette().color(QPalette::Base), form->palette().color(QPalette::ToolTipBase));
    QTest::keyClicks(phone, u"0228"_s);
    form->grid().setFocus();
    EXPECT_TRUE(form->navigator().isEnabled());
    EXPECT_EQ(phone->palette().color(QPalette::Base), form->palette().color(QPalette::Base));
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
    // The module registration installs the address book as the switch's hook.
    registerModules();
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
        // The link fields take the tooltip colour while focused.
        const bool isLink = QByteArray(c.field) != "A_Name1";
        EXPECT_EQ(editor->palette().color(QPalette::Base) ==
                      QApplication::palette().color(QPalette::ToolTipBase),
                  isLink);
    }
    EXPECT_EQ(AdressDocKindOfFocus(*form, &form->grid()), 0);
    // The button keeps the focus where it is; it waits for the viewer.
    QPushButton* button = form->button(u"Dokumente"_s);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->focusPolicy(), Qt::NoFocus);
    EXPECT_FALSE(button->isEnabled());
    EXPECT_FALSE(button->toolTip().isEmpty());
}

TEST_F(AdressForm, ExpressionFilterRefusesBadTextsKeepsAHistoryAndTakesFieldNames) {
    locate(1);
    const int before = expressions().count();
    ASSERT_EQ(before, 0);
    for (const QString& bad :
         {u"A_Ort = "_s, u"Unbekannt = 'x'"_s, u"A_Nr=1; DROP TABLE Adress"_s}) {
        SCOPED_TRACE(bad.toStdString());
        presenter.boxes.clear();
        applyExpression(bad);
        EXPECT_EQ(presenter.texts(MessagePresenter::Kind::Error).size(), 1);
        EXPECT_FALSE(adress().isFiltered());
        EXPECT_EQ(expressions().count(), before);
    }
    applyExpression(u"A_Nr >= 2"_s);
    EXPECT_TRUE(adress().isFiltered());
    EXPECT_EQ(adress().recordCount(), 2);
    EXPECT_EQ(expressions().itemText(0), u"A_Nr >= 2"_s);
    // The same text again keeps one entry; an empty text switches filtering off.
    applyExpression(u"A_Nr >= 2"_s);
    applyExpression(QString());
    EXPECT_FALSE(adress().isFiltered());
    EXPECT_EQ(expressions().count(), before + 1);
    EXPECT_EQ(LoadAdrSucheHistory(), QStringList{u"A_Nr >= 2"_s});
    // "Feldnamen übernehmen" on a field appends its name to the text.
    form->showPage(u"&Grunddaten"_s);
    expressions().setEditText(u"A_Nr=1 and "_s);
    QWidget* ort = form->fields()->editor(u"A_Ort"_s);
    ort->setFocus();
    action(form->fields()->menu(u"A_Ort"_s), u"Feldnamen übernehmen"_s)->trigger();
    EXPECT_EQ(expressions().currentText(), u"A_Nr=1 and A_Ort"_s);
}

TEST_F(AdressForm, LinkFieldsPickAndClearTheirLinks) {
    addRow(u"Notdnst.DB"_s, {{u"ND_ID"_s, 1}, {u"ND_Nr"_s, 501}, {u"ND_Match"_s, u"ROHR"_s}});
    addRow(u"Notdnst.DB"_s, {{u"ND_ID"_s, 2}, {u"ND_Nr"_s, 502}, {u"ND_Match"_s, u"STROM"_s}});
    locate(1);
    form->showPage(u"&Grunddaten"_s);
    QWidget* notdienst = form->fields()->editor(u"A_NotdienstNr"_s);
    ASSERT_NE(notdienst, nullptr);
    for (const bool ok : {false, true}) {
        dialogtest::WhenShown<TF_DbSelect>([ok](TF_DbSelect& d) {
            if (!ok) {
                d.btnCancel()->click();
                return;
            }
            EXPECT_TRUE(d.lookupTable()->locate({u"ND_Nr"_s}, {502}));
            d.grid()->followCursor();
            d.btnOK()->click();
        });
        notdienst->setFocus();
        QTest::keyClick(notdienst, Qt::Key_W, Qt::AltModifier);
        EXPECT_EQ(FieldInt(adress(), u"A_NotdienstNr"_s), ok ? 502 : 0);
        EXPECT_EQ(adress().isEditing(), ok);
    }
    adress().post();
    // "Verbindung löschen" empties the link.
    action(form->fields()->menu(u"A_NotdienstNr"_s), u"Verbindung löschen"_s)->trigger();
    EXPECT_TRUE(adress().isEditing());
    EXPECT_TRUE(adress().field(u"A_NotdienstNr"_s).isNull());
}

TEST_F(AdressForm, PostalCodeAndTownComeFromThePickerOfTheFieldsAndColumns) {
    dbstructure::CreatePlzTable(*table::aliases::database(u"LumoDB"_s));
    addRow(u"PLZ.DB"_s, {{u"P_ID"_s, 1}, {u"PLZ"_s, u"50667"_s}, {u"ORT"_s, u"Köln"_s}});
    addRow(u"PLZ.DB"_s, {{u"P_ID"_s, 2}, {u"PLZ"_s, u"53111"_s}, {u"ORT"_s, u"Bonn"_s}});
    locate(2);
    const auto choose = [](int id) {
        dialogtest::WhenShown<TF_DbSelect>([id](TF_DbSelect& d) {
            EXPECT_TRUE(d.lookupTable()->locate({u"P_ID"_s}, {id}));
            d.grid()->followCursor();
            d.btnOK()->click();
        });
    };
    choose(2);
    ASSERT_TRUE(form->runColumnAction(u"A_Ort"_s));
    EXPECT_EQ(adress().field(u"A_Plz"_s).asString(), u"53111"_s);
    EXPECT_EQ(adress().field(u"A_Ort"_s).asString(), u"Bonn"_s);
    form->showPage(u"&Grunddaten"_s);
    QWidget* plz = form->fields()->editor(u"A_Plz"_s);
    choose(1);
    QTest::mouseDClick(plz, Qt::LeftButton);
    EXPECT_EQ(adress().field(u"A_Plz"_s).asString(), u"50667"_s);
    EXPECT_EQ(adress().field(u"A_Ort"_s).asString(), u"Köln"_s);
}

TEST_F(AdressForm, PopupEntriesNeedTheCreateRightAndMarkOnlyTheFilteredAddresses) {
    registerModules();
    locate(1);
    QAction* neuerKunde = action(form->contextMenu(), u"Neuen Kunden anlegen"_s);
    ASSERT_NE(neuerKunde, nullptr);
    neuerKunde->trigger();
    EXPECT_EQ(presenter.texts(MessagePresenter::Kind::Info).value(0),
              u"Sie haben keine Berechtigung zum Neuanlegen von Datensätzen."_s);
    EXPECT_FALSE(dm->TabKunden().isOpen() && dm->TabKunden().isEditing());
    {
        formtest::TestUser creator{2, 62};
        presenter.boxes.clear();
        neuerKunde->trigger();
        EXPECT_TRUE(presenter.boxes.isEmpty()) << presenter.boxes.value(0).text.toStdString();
        TF_ListForm* kunden = FindListForm(u"TF_Kunden"_s);
        ASSERT_NE(kunden, nullptr);
        EXPECT_TRUE(kunden->isVisible());
        // Posted and shown; not linked back to the address.
        EXPECT_FALSE(dm->TabKunden().isEditing());
        EXPECT_EQ(dm->TabKunden().field(u"K_Match"_s).asString(), u"ALPHA"_s);
        EXPECT_EQ(FieldInt(adress(), u"A_KundenNr"_s), 0);
        kunden->hide();
    }
    // "Alle anwählen" under the phone filter marks the Bonn numbers only.
    auto* phone = form->findChild<QLineEdit*>(u"EditFilter"_s);
    phone->setFocus();
    QTest::keyClicks(phone, u"0228"_s);
    action(form->contextMenu(), u"Alle anwählen"_s)->trigger();
    auto rows = open(u"Adress.DB"_s);
    for (const auto& [nr, marked] : {std::pair{1, true}, {2, false}, {3, true}}) {
        ASSERT_TRUE(rows->locate({u"A_Nr"_s}, {nr}));
        EXPECT_EQ(rows->field(u"A_Selected"_s).asBoolean(), marked) << nr;
    }
    action(form->contextMenu(), u"Alle abwählen"_s)->trigger();
    rows->refresh();
    ASSERT_TRUE(rows->locate({u"A_Nr"_s}, {3}));
    EXPECT_FALSE(rows->field(u"A_Selected"_s).asBoolean());
}

} // namespace

namespace {

// Answers the next file dialog with the file, or cancels it for an empty one.
void answerFileDialog(const QString& file) {
    WhenModalShown([file](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        if (!dialog) {
            ADD_FAILURE() << "unexpected window " << modal->metaObject()->className();
            modal->close();
            return;
        }
        if (file.isEmpty()) {
            dialog->reject();
            return;
        }
        dialog->selectFile(file);
        QMetaObject::invokeMethod(dialog, "accept");
    });
}

// The text of the message box that run shows, the box closed.
QString boxTextOf(const std::function<void()>& run) {
    QString text;
    WhenModalShown([&text](QWidget* modal) {
        if (auto* box = qobject_cast<QMessageBox*>(modal))
            text = box->text();
        modal->close();
    });
    run();
    return text;
}

TEST_F(AdressForm, SelectionsAreSavedAndLoadedThroughTheirDialogs) {
    QAction* save = action(form->contextMenu(), u"Gewählte speichern"_s);
    QAction* load = action(form->contextMenu(), u"Auswahl laden"_s);
    // Nothing marked: nothing to save.
    EXPECT_EQ(boxTextOf([save] { save->trigger(); }), u"Es sind keine Sätze markiert!"_s);
    for (const int nr : {1, 3}) {
        locate(nr);
        adress().edit();
        adress()[u"A_Selected"_s] = true;
        adress().post();
    }
    // The extension is added to a name without it.
    answerFileDialog(path(u"Select/kunden"_s));
    save->trigger();
    ASSERT_TRUE(QFileInfo::exists(path(u"Select/kunden.sel"_s)));
    action(form->contextMenu(), u"Alle abwählen"_s)->trigger();
    locate(2);
    adress().edit();
    adress()[u"A_Selected"_s] = true;
    adress().post();
    // A cancelled dialog changes nothing; loading marks exactly the saved ones.
    answerFileDialog({});
    load->trigger();
    EXPECT_TRUE(adress().field(u"A_Selected"_s).asBoolean());
    answerFileDialog(path(u"Select/kunden.sel"_s));
    load->trigger();
    auto rows = open(u"Adress.DB"_s);
    for (const auto& [nr, marked] : {std::pair{1, true}, {2, false}, {3, true}}) {
        ASSERT_TRUE(rows->locate({u"A_Nr"_s}, {nr}));
        EXPECT_EQ(rows->field(u"A_Selected"_s).asBoolean(), marked) << nr;
    }
    EXPECT_TRUE(presenter.boxes.isEmpty()) << presenter.boxes.value(0).text.toStdString();
}

TEST_F(AdressForm, MailingNeedsMarksAndChangesReachTheLinkedCustomer) {
    EXPECT_EQ(boxTextOf([this] { form->button(u"Mailing"_s)->click(); }),
              u"Es sind keine Sätze markiert!"_s);
    addRow(u"Kunden.DB"_s, {{u"K_ID"_s, 1}, {u"K_Nr"_s, 7}, {u"K_Name1"_s, u"alt"_s}});
    locate(1);
    adress().edit();
    adress()[u"A_KundenNr"_s] = 7;
    adress()[u"A_Name1"_s] = u"Alpha neu"_s;
    action(form->contextMenu(), u"Änderungen mitteilen"_s)->trigger();
    EXPECT_FALSE(adress().isEditing());
    auto kunden = open(u"Kunden.DB"_s);
    ASSERT_TRUE(kunden->locate({u"K_Nr"_s}, {7}));
    EXPECT_EQ(kunden->field(u"K_Name1"_s).asString(), u"Alpha neu"_s);
}

} // namespace
