#include "core/data/reportsource.h"
#include "core/rights/rights.h"
#include "masterdata/gui/tableformfixture.h"
#include "operations/gui/tf_bericht.h"
#include "platform/table/database.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QItemSelectionModel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>

using namespace Qt::StringLiterals;
using Kind = MessagePresenter::Kind;

namespace {

// Object 10 with two open activities on a daily list of last week.
class ControlReportForms : public formtest::TableFormTest {
protected:
    void SetUp() override {
        TableFormTest::SetUp();
        m_savedUser = CurrentUser;
        CurrentUser = TUserRec();
        InstallRightsChecker();
        for (const char* file : {"BerKopf.db", "BerSatz.db"})
            table::aliases::database(u"LumoDB"_s)->emptyTable(QString::fromLatin1(file));
        addRow(u"Objekte.DB"_s, {{u"O_ID"_s, 10},
                                 {u"O_Nr"_s, 10},
                                 {u"O_Match"_s, u"HAUS A"_s},
                                 {u"O_BerichtModus"_s, 1}});
        addRow(u"TglTour.DB"_s, {{u"A_TourID"_s, 1},
                                 {u"A_TourNr"_s, 3},
                                 {u"A_Date"_s, lastWeek},
                                 {u"A_Bezeichnung"_s, u"Nord"_s}});
        addRow(u"TglObj.DB"_s, {{u"A_TOID"_s, 1}, {u"A_TourID"_s, 1}, {u"A_ObjektNr"_s, 10}});
        for (int id : {1, 2})
            addRow(u"TglTaet.DB"_s, {{u"A_TOTID"_s, id},
                                     {u"A_TourID"_s, 1},
                                     {u"A_ObjNr"_s, 10},
                                     {u"A_TaetigNr"_s, id + 6},
                                     {u"A_State"_s, 0}});
    }
    void TearDown() override {
        SetRightsChecker(nullptr);
        CurrentUser = m_savedUser;
        TableFormTest::TearDown();
    }
    QPushButton* button(QWidget& form, const QString& name) {
        return form.findChild<QPushButton*>(name);
    }

    const QDate lastWeek = QDate::currentDate().addDays(-7);

private:
    TUserRec m_savedUser;
};

TEST_F(ControlReportForms, TheImmediateCompletionCompletesTheMarkedRowsAndLogsThem) {
    TF_Openlist form;
    formtest::ShowActive(form);
    ASSERT_EQ(form.grid()->rowCount(), 2);
    EXPECT_FALSE(form.dateEdit()->isEnabled());
    form.dateBox()->setChecked(true);
    EXPECT_TRUE(form.dateEdit()->isEnabled());

    button(form, u"btnErledigen"_s)->click();
    EXPECT_EQ(presenter.texts(Kind::Error), QStringList{u"Keine Datensätze markiert!"_s});

    form.dateBox()->setChecked(false);
    form.grid()->selectionModel()->select(form.grid()->model()->index(1, 0),
                                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
    button(form, u"btnErledigen"_s)->click();
    const QDate monthEnd = ReportDateForInterval(1, lastWeek);
    EXPECT_EQ(form.protocol()->toPlainText(),
              u"   8 erledigt am :"_s + lastWeek.toString(u"dd.MM.yyyy"_s) + u" Druckdatum: "_s +
                  monthEnd.toString(u"dd.MM.yyyy"_s) + u"\nBeendet"_s);
    ASSERT_EQ(form.grid()->rowCount(), 1);
    EXPECT_EQ(form.grid()->item(0, 5)->text(), u"7"_s);
}

TEST_F(ControlReportForms, TheReportWindowShowsOnlyTheButtonsOfTheUsersRights) {
    CurrentUser.rights.set(19, rbView);
    {
        TF_Bericht form;
        formtest::ShowActive(form);
        for (const char* name : {"btnCreateBer", "sbtnMark", "sbtnPrint", "sbtnDel", "sbtnMove",
                                 "sbtnPrintDel", "sbtnPrintMove", "btnEdTexte"})
            EXPECT_TRUE(button(form, QString::fromLatin1(name))->isHidden()) << name;
        EXPECT_FALSE(button(form, u"sbtnInfo"_s)->isHidden());
    }
    CurrentUser.rights.set(19, rbAllRights);
    TF_Bericht form;
    formtest::ShowActive(form);
    EXPECT_FALSE(button(form, u"sbtnPrintMove"_s)->isHidden());
    // Nothing marked: nothing is asked, the marking mode closes again.
    button(form, u"sbtnDel"_s)->click();
    EXPECT_EQ(presenter.texts(Kind::Info), QStringList{u"Es sind keine Sätze markiert!"_s});
    EXPECT_FALSE(form.markMode());
}

TEST_F(ControlReportForms, TheArchiveWindowReadsTheArchiveOnlyWhileItIsOpen) {
    QString whileOpen;
    EXPECT_TRUE(whenShown<TF_BerAblage>(
        [&](TF_BerAblage& form) {
            whileOpen = ReportDatabaseName;
            form.close();
        },
        [] { ShowBerAblageForm(); }));
    EXPECT_EQ(whileOpen, u"AblageDB"_s);
    EXPECT_EQ(ReportDatabaseName, u"LumoDB"_s);

    EXPECT_EQ(ReportDatabaseName, u"LumoDB"_s);
}

} // namespace
