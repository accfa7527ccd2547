#include "archivewindowfixture.h"
#include "core/datagui/tf_selform.h"
#include "core/messages/syslog.h"
#include "platform/report/paginator.h"
#include "platform/report/report.h"
#include "platform/table/database.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/dbnavigator.h"
#include "platform/widgets/userprompts.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

using Kind = MessagePresenter::Kind;

namespace archivegui {
namespace {

const QStringList kMembers = {
    u"ShowAngViewForm"_s, u"ShowAuftViewForm"_s,    u"ShowLiefViewForm"_s, u"ShowRechViewForm"_s,
    u"ShowGsViewForm"_s,  u"ShowRechEinViewForm"_s, u"ShowBestViewForm"_s};

// Every member of the family, by its opener.
class EveryBrowser : public ArchiveWindowFixture, public ::testing::WithParamInterface<QString> {
protected:
    const ArchiveViewDecl& decl() const { return *FindArchiveViewDecl(GetParam()); }
};

TEST_P(EveryBrowser, ReadsTheArchiveWhileOpenAndLumoAgainAfterwards) {
    addHead(decl().headTable, 1, u"D-1"_s, true);
    RgPrintSource = 2; // a template list's setting, not the browser's
    QString inside;
    int sourceInside = -1;
    bool panelEnabled = false;
    QString caption;
    WhenModalShown([&](QWidget* modal) {
        inside = ReportDatabaseName;
        sourceInside = RgPrintSource;
        auto* form = qobject_cast<TF_ArchiveView*>(modal);
        ASSERT_NE(form, nullptr);
        panelEnabled = form->rightPanel().isEnabled();
        caption = form->windowTitle();
        EXPECT_GE(form->width(), 780);
        EXPECT_GE(form->height(), 520);
        form->close();
    });
    ShowArchiveView(decl());
    EXPECT_EQ(inside, u"AblageDB"_s);
    EXPECT_EQ(sourceInside, decl().rgPrintSource.value_or(2));
    EXPECT_TRUE(panelEnabled);
    EXPECT_EQ(caption, decl().caption);
    EXPECT_EQ(ReportDatabaseName, u"LumoDB"_s);
    EXPECT_EQ(RgPrintSource, 2);
}

TEST_P(EveryBrowser, ATableThatDoesNotOpenIsReportedLoggedAndLeavesLumo) {
    table::aliases::database(u"AblageDB"_s)->dropTable(decl().lineTable);
    bool shown = false;
    WhenModalShown([&](QWidget* modal) {
        shown = qobject_cast<TF_ArchiveView*>(modal) != nullptr;
        modal->close();
    });
    ShowArchiveView(decl());
    QApplication::processEvents();
    EXPECT_FALSE(shown);
    const QStringList errors = presenter.texts(Kind::Error);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(
        errors[0].startsWith(u"Beim Öffnen einer Datei ist ein Fehler aufgetreten!\rMessage: "_s));
    EXPECT_TRUE(errors[0].endsWith(u'\r' + decl().lineTable));
    EXPECT_TRUE(logText().contains(decl().lineTable + u": ERROR OPEN"_s));
    EXPECT_EQ(ReportDatabaseName, u"LumoDB"_s);
}

TEST_P(EveryBrowser, AnEmptyArchiveDisablesTheButtonsAndAPreviewDoesNothing) {
    TF_ArchiveView& form = openView(GetParam());
    EXPECT_FALSE(form.rightPanel().isEnabled());
    form.preview(&form.searchEdit());
    EXPECT_TRUE(prints.isEmpty());
    EXPECT_EQ(count(decl().headTable), 0);
}

TEST_P(EveryBrowser, DeletingRemovesTheMarkedHeadsWithTheirLines) {
    addHead(decl().headTable, 1, u"D-1"_s, true);
    addHead(decl().headTable, 2, u"D-2"_s, false);
    addLine(decl().lineTable, 1, 1);
    addLine(decl().lineTable, 2, 1);
    addLine(decl().lineTable, 3, 2);
    TF_ArchiveView& form = openView(GetParam());
    if (decl().marking) {
        presenter.answers = {true};
        form.deleteMarked();
        EXPECT_EQ(presenter.texts(Kind::Info).value(0), u"Es wurden 1 Datensätze gelöscht."_s);
    } else {
        // The navigator's delete on the head grid, after its own question.
        widgets::setQuestionPresenter(
            [](QWidget*, const QString& q) { return q == u"Datensatz löschen?"_s; });
        form.head().first();
        form.navigator().click(widgets::DbNavigator::Delete);
        widgets::setQuestionPresenter({});
    }
    EXPECT_EQ(count(decl().headTable), 1);
    auto lines = open(decl().lineTable, u"AblageDB"_s);
    ASSERT_EQ(lines->recordCount(), 1);
    EXPECT_EQ(lines->field(u"S_Ref"_s).asInteger(), 2);
}

TEST_P(EveryBrowser, PrintingPrintsTheMarkedAndClearsTheirMarks) {
    if (decl().printRun == ArchivePrintRun::CurrentDocument) {
        addHead(decl().headTable, 1, u"D-1"_s, false);
        TF_ArchiveView& form = openView(GetParam());
        form.printCurrent(false);
        form.printCurrent(true);
        ASSERT_EQ(prints.size(), 2);
        EXPECT_FALSE(prints[0].preview);
        EXPECT_TRUE(prints[1].preview);
        return;
    }
    addHead(decl().headTable, 1, u"D-1"_s, true);
    addHead(decl().headTable, 2, u"D-2"_s, false);
    addHead(decl().headTable, 3, u"D-3"_s, true);
    TF_ArchiveView& form = openView(GetParam());
    presenter.answers = {true};
    form.printMarked();
    ASSERT_EQ(prints.size(), 2);
    EXPECT_EQ(prints[0].id, 1);
    EXPECT_EQ(prints[1].id, 3);
    EXPECT_EQ(prints[0].preview, decl().printRun == ArchivePrintRun::MarkedInPreview);
    EXPECT_FALSE(marked(decl().headTable, 1));
    EXPECT_FALSE(marked(decl().headTable, 3));
    EXPECT_EQ(presenter.texts(Kind::Info).value(0), u"Es wurden 2 Datensätze gedruckt."_s);
    const QString question = presenter.texts(Kind::Question).value(0);
    EXPECT_TRUE(question.contains(u"Es sind 2 Einträge markiert."_s)) << question.toStdString();
    EXPECT_FALSE(question.contains(u"%d"_s));
    EXPECT_FALSE(form.markingMode());
}

TEST_P(EveryBrowser, TheListPrintsTheMarkedArchivedHeads) {
    if (decl().listTitle.isEmpty())
        return;
    addHead(decl().headTable, 1, u"D-1"_s, true, {{u"R_Brutto"_s, 10.0}});
    addHead(decl().headTable, 2, u"D-2"_s, false, {{u"R_Brutto"_s, 20.0}});
    QStringList texts;
    ReportOutput previous = SetReportOutput([&](report::Report& rep, bool preview, QWidget*) {
        EXPECT_TRUE(preview);
        for (const report::Page& page : report::paginate(rep).pages)
            for (const report::PageItem& item : page.items)
                if (const auto* t = std::get_if<report::TextItem>(&item))
                    texts << t->text;
    });
    TF_ArchiveView& form = openView(GetParam());
    form.printList();
    SetReportOutput(previous);
    EXPECT_TRUE(texts.contains(u"Listenausdruck "_s + decl().listTitle));
    EXPECT_TRUE(texts.contains(u"D-1"_s));
    // Incoming invoices are listed whether marked or not.
    EXPECT_EQ(texts.contains(u"D-2"_s), decl().headTable.startsWith(u"ER"_s));
}

INSTANTIATE_TEST_SUITE_P(Members, EveryBrowser, ::testing::ValuesIn(kMembers),
                         [](const auto& info) { return info.param.toStdString(); });

using OfferBrowser = ArchiveWindowFixture;

TEST_F(OfferBrowser, ACancelledChoiceKeepsTheMarkAndAFailedPrintGoesOn) {
    addUserForm(12001);
    addHead(u"Angkopf.DB"_s, 1, u"A-1"_s, true, {{u"R_PrintFormNo"_s, 12001}});
    addHead(u"Angkopf.DB"_s, 2, u"A-2"_s, true); // no form: the choice is cancelled
    addHead(u"Angkopf.DB"_s, 3, u"A-3"_s, true, {{u"R_PrintFormNo"_s, 12001}});
    addHead(u"Angkopf.DB"_s, 4, u"A-4"_s, true, {{u"R_PrintFormNo"_s, 12001}});
    failPrintOf = 3;
    TF_ArchiveView& form = openView(u"ShowAngViewForm"_s);
    presenter.answers = {true};
    WhenModalShown([](QWidget* modal) {
        EXPECT_NE(qobject_cast<TF_SelForm*>(modal), nullptr);
        static_cast<QDialog*>(modal)->reject();
    });
    form.printMarked();
    ASSERT_EQ(prints.size(), 2);
    EXPECT_EQ(prints[0].id, 1);
    EXPECT_EQ(prints[1].id, 4);
    EXPECT_EQ(prints[0].database, u"AblageDB"_s);
    EXPECT_FALSE(marked(u"Angkopf.DB"_s, 1));
    EXPECT_TRUE(marked(u"Angkopf.DB"_s, 2));
    EXPECT_TRUE(marked(u"Angkopf.DB"_s, 3));
    EXPECT_FALSE(marked(u"Angkopf.DB"_s, 4));
    EXPECT_TRUE(presenter.texts(Kind::Error)
                    .value(0)
                    .startsWith(u"Beim Drucken ist ein Fehler aufgetreten!"_s));
    EXPECT_EQ(presenter.texts(Kind::Info).value(0), u"Es wurden 2 Datensätze gedruckt."_s);
}

using PurchaseOrderBrowser = ArchiveWindowFixture;

TEST_F(PurchaseOrderBrowser, AsksAFormPerOrderWithoutItsOwnAndHasNoAddressChange) {
    addUserForm(76001);
    addHead(u"Bestkopf.DB"_s, 1, u"B-1"_s, true, {{u"R_PrintFormNo"_s, 76001}});
    addHead(u"Bestkopf.DB"_s, 2, u"B-2"_s, true, {{u"R_PrintFormNo"_s, 12001}});
    addHead(u"Bestkopf.DB"_s, 3, u"B-3"_s, true);
    TF_ArchiveView& form = openView(u"ShowBestViewForm"_s);
    for (QPushButton* b : form.findChildren<QPushButton*>())
        EXPECT_NE(b->text(), u"Ändern"_s);
    presenter.answers = {true};
    int asked = 0;
    std::function<void(QWidget*)> choose = [&](QWidget* modal) {
        ASSERT_NE(qobject_cast<TF_SelForm*>(modal), nullptr);
        ++asked;
        static_cast<QDialog*>(modal)->reject();
        if (asked < 2)
            WhenModalShown(choose);
    };
    WhenModalShown(choose);
    form.printMarked();
    EXPECT_EQ(asked, 2);
    ASSERT_EQ(prints.size(), 1);
    EXPECT_EQ(prints[0].id, 1);
    EXPECT_EQ(prints[0].database, u"AblageDB"_s);
    EXPECT_EQ(presenter.texts(Kind::Question).value(0),
              u"Es sind 3 Einträge markiert.\rMöchten Sie diese Aufträge wirklich drucken?"_s);
}

TEST_F(OfferBrowser, NothingMarkedOrTheQuestionDeclinedDoesNothing) {
    addHead(u"Angkopf.DB"_s, 1, u"A-1"_s, false);
    TF_ArchiveView& form = openView(u"ShowAngViewForm"_s);
    form.printMarked();
    EXPECT_EQ(presenter.texts(Kind::Info).value(0), u"Es sind keine Sätze markiert!"_s);
    form.toggleCurrentMark();
    presenter.answers = {false};
    form.deleteMarked();
    EXPECT_EQ(presenter.texts(Kind::Question).value(0),
              u"Es sind 1 Einträge markiert.\rMöchten Sie diese Angebote wirklich löschen?"_s);
    EXPECT_EQ(count(u"Angkopf.DB"_s), 1);
    EXPECT_TRUE(prints.isEmpty());
    EXPECT_FALSE(form.markingMode());
}

TEST_F(OfferBrowser, TheSearchKeyIsJudgedByTheSortColumnsType) {
    addHead(u"Angkopf.DB"_s, 1, u"A-1"_s, false, {{u"R_KundenNr"_s, 12}});
    addHead(u"Angkopf.DB"_s, 2, u"B-7"_s, false, {{u"R_KundenNr"_s, 3}});
    TF_ArchiveView& form = openView(u"ShowAngViewForm"_s);
    form.activateFirstTime();
    QLineEdit& search = form.searchEdit();
    const auto column = [&](const QString& field) {
        return form.headGrid().gridModel().columnOf(field);
    };
    EXPECT_EQ(form.searchColumn(), column(u"R_Nr"_s));
    search.setFocus();
    QTest::keyClicks(&search, u"b-7"_s); // text: every key
    EXPECT_EQ(search.text(), u"b-7"_s);
    EXPECT_EQ(form.head().field(u"R_ID"_s).asInteger(), 2);
    QTest::keyClicks(&search, u"x"_s); // no such number: the position stays
    EXPECT_EQ(form.head().field(u"R_ID"_s).asInteger(), 2);

    search.clear();
    form.sortByTitle(column(u"R_DatumDruck"_s));
    EXPECT_EQ(form.searchColumn(), column(u"R_DatumDruck"_s));
    QTest::keyClicks(&search, u"12"_s); // date: the box is emptied, no key taken
    EXPECT_TRUE(search.text().isEmpty());

    form.sortByTitle(column(u"R_KundenNr"_s));
    QTest::keyClicks(&search, u"1a2"_s); // number: digits only
    EXPECT_EQ(search.text(), u"12"_s);
    EXPECT_EQ(form.head().field(u"R_ID"_s).asInteger(), 1);
    // Leaving the box enables the navigator again.
    EXPECT_FALSE(form.navigator().isEnabled());
    form.headGrid().setFocus();
    EXPECT_TRUE(form.navigator().isEnabled());
}

TEST_F(OfferBrowser, MarkingKeysEditOnlyAChangedMarkAndJStaysOnTheLastHead) {
    addHead(u"Angkopf.DB"_s, 1, u"A-1"_s, true);
    addHead(u"Angkopf.DB"_s, 2, u"A-2"_s, false);
    TF_ArchiveView& form = openView(u"ShowAngViewForm"_s);
    form.activateFirstTime();
    int edits = 0;
    form.head().beforeEdit += [&](table::Table&) { ++edits; };
    form.setMarkingMode(true);
    EXPECT_FALSE(
        form.headGrid().isColumnHidden(form.headGrid().gridModel().columnOf(u"R_Selected"_s)));
    form.head().first();
    form.markingKey(Qt::Key_X, u"x"_s); // swallowed, locks nothing
    form.markingKey(Qt::Key_J, u"J"_s); // already marked: no edit, next head
    EXPECT_EQ(edits, 0);
    EXPECT_EQ(form.head().field(u"R_ID"_s).asInteger(), 2);
    form.markingKey(Qt::Key_J, u"j"_s); // marks the last head and stays there
    EXPECT_EQ(edits, 1);
    EXPECT_EQ(form.head().field(u"R_ID"_s).asInteger(), 2);
    EXPECT_TRUE(marked(u"Angkopf.DB"_s, 2));
    form.markingKey(Qt::Key_Up, {});
    form.markingKey(Qt::Key_N, u"n"_s);
    EXPECT_FALSE(marked(u"Angkopf.DB"_s, 1));
    form.markingKey(Qt::Key_Space, u" "_s);
    EXPECT_FALSE(marked(u"Angkopf.DB"_s, 2));
    form.close();
    EXPECT_FALSE(form.markingMode());
    EXPECT_TRUE(
        form.headGrid().isColumnHidden(form.headGrid().gridModel().columnOf(u"R_Selected"_s)));
}

TEST_F(OfferBrowser, LinesShowTheirKindTextNumberAndColour) {
    addHead(u"Angkopf.DB"_s, 1, u"A-1"_s, false);
    addLine(u"AngSatz.DB"_s, 1, 1, {{u"S_PosNr"_s, 1020000}, {u"S_PosArt"_s, 3}});
    addLine(u"AngSatz.DB"_s, 2, 1, {{u"S_PosNr"_s, 1030000}, {u"S_PosArt"_s, 0}});
    TF_ArchiveView& form = openView(u"ShowAngViewForm"_s);
    widgets::DataGridModel& model = form.lineGrid().gridModel();
    ASSERT_EQ(model.rowCount(), 2);
    const QString kindText = open(u"Posart.db"_s)->lookup({u"A_Nr"_s}, {3}, u"A_Text"_s).toString();
    EXPECT_EQ(model.index(0, model.columnOf(u"PosArtText"_s)).data().toString(), kindText);
    EXPECT_EQ(model.index(0, 0).data(Qt::BackgroundRole).value<QBrush>().color(),
              QColor(0xA0, 0xA0, 0x00)); // $00A0A0 as blue-green-red
    EXPECT_FALSE(model.index(1, 0).data(Qt::BackgroundRole).isValid());
    EXPECT_NE(model.index(0, 0).data().toString(), u"1020000"_s); // dotted position
}

TEST_F(OfferBrowser, InvoicePreviewStoresAChosenFormOnlyWhenItHasNone) {
    addUserForm(10001);
    addHead(u"Rechkopf.DB"_s, 1, u"R-1"_s, false);
    TF_ArchiveView& form = openView(u"ShowRechViewForm"_s);
    WhenModalShown([](QWidget* modal) {
        auto* choice = qobject_cast<TF_SelForm*>(modal);
        ASSERT_NE(choice, nullptr);
        choice->accept();
    });
    form.preview(&form.searchEdit());
    ASSERT_EQ(prints.size(), 1);
    EXPECT_TRUE(prints[0].preview);
    EXPECT_EQ(prints[0].database, u"AblageDB"_s);
    auto head = open(u"Rechkopf.DB"_s, u"AblageDB"_s);
    EXPECT_EQ(head->field(u"R_PrintFormNo"_s).asInteger(), 10001);
    // In marking mode a double-click previews nothing.
    form.setMarkingMode(true);
    form.preview(&form.searchEdit());
    EXPECT_EQ(prints.size(), 1);
}

} // namespace
} // namespace archivegui

namespace archivegui {
namespace {

TEST_F(OfferBrowser, AHeadThatCannotBeDeletedKeepsItsLines) {
    addHead(u"Angkopf.DB"_s, 1, u"A-1"_s, true);
    addLine(u"AngSatz.DB"_s, 1, 1);
    addLine(u"AngSatz.DB"_s, 2, 1);
    table::aliases::database(u"AblageDB"_s)
        ->execSql(u"CREATE TRIGGER keep BEFORE DELETE ON \"Angkopf\" BEGIN "
                  "SELECT RAISE(ABORT, 'gesperrt'); END"_s);
    TF_ArchiveView& form = openView(u"ShowAngViewForm"_s);
    presenter.answers = {true};
    EXPECT_THROW(form.deleteMarked(), DbError);
    EXPECT_EQ(count(u"Angkopf.DB"_s), 1);
    EXPECT_EQ(count(u"AngSatz.DB"_s), 2);
}

} // namespace
} // namespace archivegui
