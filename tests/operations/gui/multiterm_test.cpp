#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/gui/modaldriver.h"
#include "masterdata/gui/tableformfixture.h"
#include "operations/gui/tf_multiterm.h"
#include "operations/gui/tf_termedit.h"
#include "operations/gui/tf_termprev.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/userprompts.h"

#include <QImage>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Objects 21 to 24 (customers 1 to 4); appointment 1 at object 21 on
// 15 November 2024, done, with a delivery note.
class MultiTerm : public formtest::ListFormTest {
protected:
    void SetUp() override {
        ListFormTest::SetUp();
        grant(20);
        widgets::setErrorPresenter([this](QWidget*, const QString& m) { errors.append(m); });
        for (const char* file : {"Objekte.DB", "TermObj.DB", "Touren.db", "TourObj.db",
                                 "ObjTaet.db", "TglTour.DB", "TglObj.DB", "TglTaet.DB"})
            table::aliases::database(u"LumoDB"_s)->emptyTable(QString::fromLatin1(file));
        for (int nr : {21, 22, 23, 24})
            addRow(u"Objekte.DB"_s, {{u"O_ID"_s, nr},
                                     {u"O_Nr"_s, nr},
                                     {u"O_Kunde"_s, nr - 20},
                                     {u"O_Match"_s, u"Objekt %1"_s.arg(nr)},
                                     {u"O_Aktiv"_s, true},
                                     {u"O_Selected"_s, false}});
        addRow(u"TermObj.DB"_s, {{u"T_ID"_s, 1},
                                 {u"T_Objekt"_s, 21},
                                 {u"T_ObjName"_s, u"Objekt 21"_s},
                                 {u"T_Date"_s, kSource},
                                 {u"T_Time"_s, QTime(7, 45)},
                                 {u"T_Kurztext"_s, u"Rasen mähen"_s},
                                 {u"T_Erledigt"_s, true},
                                 {u"T_LsID"_s, 40}});
        dm->TabTermObj().open();
        ASSERT_TRUE(dm->TabTermObj().locate({u"T_ID"_s}, {1}));
    }
    void TearDown() override {
        dialog.reset();
        if (dm->TabTermObj().isOpen())
            dm->TabTermObj().close();
        widgets::setErrorPresenter({});
        ListFormTest::TearDown();
    }
    void openDialog() {
        dialog = std::make_unique<TF_MultiTerm>(TermSeriesSourceOf(dm->TabTermObj()));
        formtest::ShowActive(*dialog);
    }
    QList<bool> marks() {
        QList<bool> m;
        auto c = open(u"Objekte.DB"_s);
        for (; !c->eof(); c->next())
            m << c->field(u"O_Selected"_s).asBoolean();
        return m;
    }
    int currentObject() { return FieldInt(dialog->objectTable(), u"O_Nr"_s); }
    QList<std::pair<int, QDate>> copies() {
        QList<std::pair<int, QDate>> made;
        auto c = open(u"TermObj.DB"_s);
        for (; !c->eof(); c->next())
            if (FieldInt(*c, u"T_ID"_s) != 1)
                made.append({FieldInt(*c, u"T_Objekt"_s), c->field(u"T_Date"_s).asDate()});
        return made;
    }
    static inline const QDate kSource{2024, 11, 15};
    QStringList errors;
    std::unique_ptr<TF_MultiTerm> dialog;
};

TEST_F(MultiTerm, TheGridShowsTwelveMonthsFromTheSourceWithItsDayChosen) {
    openDialog();
    EXPECT_EQ(dialog->windowTitle(), u"Mehrfachtermine erzeugen"_s);
    QTableWidget& grid = dialog->grid();
    EXPECT_EQ(grid.rowCount(), 13);
    EXPECT_EQ(grid.columnCount(), 32);
    EXPECT_EQ(grid.item(0, 1)->text(), u"01"_s);
    EXPECT_EQ(grid.item(0, 31)->text(), u"31"_s);
    EXPECT_EQ(grid.item(1, 0)->text(), u"November"_s);
    EXPECT_EQ(grid.item(3, 0)->text(), u"Januar"_s);
    EXPECT_EQ(grid.item(1, 15)->text(), u"*"_s);
    // The designed widths, wider where the system's font needs it.
    EXPECT_GE(grid.columnWidth(0), 80);
    EXPECT_GE(grid.columnWidth(5), 16);
    EXPECT_EQ(grid.rowHeight(4), 24);
    // 30 February 2025 (row 4) cannot be chosen; a fixed cell does not react.
    dialog->dayDoubleClicked(4, 30);
    EXPECT_EQ(grid.item(4, 30)->text(), QString());
    dialog->dayDoubleClicked(0, 3);
    EXPECT_EQ(grid.item(0, 3)->text(), u"03"_s);
}

TEST_F(MultiTerm, ASeriesOfRowThreeColumnThirtyOneForTheSourceObject) {
    openDialog();
    dialog->toggleObject(); // object 21, the first row
    Q_EMIT dialog->grid().cellDoubleClicked(3, 31);
    EXPECT_EQ(dialog->grid().item(3, 31)->text(), u"*"_s);
    dialog->okButton().click();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(dialog->created(), 1) << "the source day at the source object is the source";
    EXPECT_EQ(copies(), (QList<std::pair<int, QDate>>{{21, QDate(2025, 1, 31)}}));
    auto c = open(u"TermObj.DB"_s);
    ASSERT_TRUE(c->locate({u"T_ID"_s}, {2}));
    EXPECT_FALSE(c->field(u"T_Erledigt"_s).asBoolean()) << "a copy of a done one is open";
    EXPECT_EQ(FieldInt(*c, u"T_LsID"_s), 0) << "and has no delivery note";
    EXPECT_EQ(c->field(u"T_Time"_s).asTime(), QTime(7, 45));
    EXPECT_EQ(FieldText(*c, u"T_Kurztext"_s), u"Rasen mähen"_s);
}

TEST_F(MultiTerm, TheKeysMarkObjectsAndWrapToTheFirstRow) {
    openDialog();
    dialog->objects().setFocus();
    QTest::keyClick(&dialog->objects(), Qt::Key_J);     // 21 on, to 22
    QTest::keyClick(&dialog->objects(), Qt::Key_Space); // 22 on, to 23
    QTest::keyClick(&dialog->objects(), Qt::Key_N);     // 23 off, to 24
    EXPECT_EQ(currentObject(), 24);
    QTest::keyClick(&dialog->objects(), Qt::Key_Return); // 24 on, back to 21
    EXPECT_EQ(currentObject(), 21);
    EXPECT_EQ(marks(), (QList<bool>{true, true, false, true}));
    QTest::keyClick(&dialog->objects(), Qt::Key_Space); // 21 off
    EXPECT_EQ(marks(), (QList<bool>{false, true, false, true}));
    // A key with Ctrl is left to the grid.
    QTest::keyClick(&dialog->objects(), Qt::Key_J, Qt::ControlModifier);
    EXPECT_EQ(marks(), (QList<bool>{false, true, false, true}));

    // "Alle auf Ja" and "Alle auf Nein" come back to the current row.
    const int current = currentObject();
    dialog->objectMenu().actions().value(1)->trigger();
    EXPECT_EQ(marks(), (QList<bool>{true, true, true, true}));
    EXPECT_EQ(currentObject(), current);
    dialog->objectMenu().actions().value(0)->trigger();
    EXPECT_EQ(marks(), (QList<bool>{false, false, false, false}));
    EXPECT_EQ(dialog->objectMenu().actions().value(0)->text(), u"Alle auf Nein"_s);
}

TEST_F(MultiTerm, TwoOtherObjectsOnTheSourceDayAndTheMarksStay) {
    openDialog();
    dialog->objectMenu().actions().value(1)->trigger(); // all objects
    dialog->okButton().click();
    EXPECT_EQ(copies(),
              (QList<std::pair<int, QDate>>{{22, kSource}, {23, kSource}, {24, kSource}}));
    EXPECT_EQ(marks(), (QList<bool>{true, true, true, true})) << "stored beyond the dialog";
}

TEST_F(MultiTerm, TheAppointmentWindowOpensItForTheCurrentAppointment) {
    auto form = std::make_unique<TF_TermEdit>();
    formtest::ShowActive(*form);
    int created = -1;
    QPoint at;
    WhenModalShown([&](QWidget* modal) {
        auto* d = qobject_cast<TF_MultiTerm*>(modal);
        ASSERT_NE(d, nullptr);
        at = d->pos();
        d->objectMenu().actions().value(1)->trigger();
        d->okButton().click();
        created = d->created();
    });
    form->contextMenu()->actions().value(0)->trigger(); // "Mehrfachtermin"
    EXPECT_EQ(created, 3);
    EXPECT_EQ(at.y(), 170);
    EXPECT_EQ(form->grid().model()->rowCount(), 4) << "the grid shows the copies";
}

// The preview of 20 March 2024: March 2024 to February 2025.
class TermPrev : public formtest::TableFormTest {
protected:
    void TearDown() override {
        while (OpenTermPrev()) {
            WhenModalShown([](QWidget* modal) { modal->close(); });
            ShowTermPrevForm();
        }
        TableFormTest::TearDown();
    }
    static QColor colorAt(TF_TermPrev& form, int row, int day) {
        QTableWidget& grid = form.grid();
        const QImage image = grid.viewport()->grab().toImage();
        const QRect cell = grid.visualRect(grid.model()->index(row, day));
        return image.pixelColor(cell.left() + cell.width() / 2, cell.bottom() - 3);
    }
};

TEST_F(TermPrev, MarksLandInTheirCellsAndArePainted) {
    MarkTermPrevDate(u'P', QDate(2024, 4, 10)); // no preview: nothing
    ASSERT_TRUE(OpenTermPrevFormOn(QDate(2024, 3, 20)));
    TF_TermPrev* form = OpenTermPrev();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->windowTitle(), u"Termin-Vorschau"_s);
    EXPECT_EQ(form->marks().startDate(), QDate(2024, 3, 1));
    EXPECT_EQ(form->marks().endDate(), QDate(2025, 2, 28));
    QTableWidget& grid = form->grid();
    EXPECT_EQ(grid.item(1, 0)->text(), u"03/2024"_s);
    EXPECT_EQ(grid.item(12, 0)->text(), u"02/2025"_s);
    EXPECT_EQ(grid.item(0, 1)->text(), u" 1"_s);
    EXPECT_GE(grid.columnWidth(0), 63);
    EXPECT_GE(grid.columnWidth(1), 23);
    MarkTermPrevDate(u'P', QDate(2024, 4, 10));
    MarkTermPrevDate(u'T', QDate(2024, 4, 11));
    MarkTermPrevDate(u'T', QDate(2025, 3, 1)); // beyond the year: ignored
    EXPECT_EQ(form->marks().cellText(2, 10), u"P"_s);
    form->show();
    EXPECT_EQ(colorAt(*form, 2, 10), QColor(255, 255, 0));
    EXPECT_EQ(colorAt(*form, 2, 11), QColor(32, 32, 255));
    EXPECT_EQ(colorAt(*form, 2, 13), QColor(0, 255, 0)) << "Saturday 13 April";
    EXPECT_EQ(colorAt(*form, 2, 31), QColor(160, 160, 160)) << "no 31 April";
    EXPECT_EQ(colorAt(*form, 2, 12), QColor(Qt::white));
    // Today is framed in navy.
    QTableWidget& g = form->grid();
    const QImage image = g.viewport()->grab().toImage();
    const QRect today = g.visualRect(g.model()->index(1, 20));
    EXPECT_EQ(image.pixelColor(today.left() + 1, today.center().y()), QColor(0, 0, 0x80));
    form->hide();

    bool shown = false;
    WhenModalShown([&](QWidget* modal) {
        shown = modal == form;
        modal->close();
    });
    ShowTermPrevForm();
    EXPECT_TRUE(shown);
    EXPECT_EQ(OpenTermPrev(), nullptr) << "freed after showing";
    ShowTermPrevForm(); // none open: nothing
}

TEST_F(TermPrev, TheActivityPreviewMarksPlannedAndListedDays) {
    const QDate today = QDate::currentDate();
    const QDate monday = today.addDays(8 - today.dayOfWeek());
    for (const char* file : {"Objekte.DB", "Touren.db", "TourObj.db", "ObjTaet.db", "TglTour.DB",
                             "TglObj.DB", "TglTaet.DB", "Taetig.DB"})
        table::aliases::database(u"LumoDB"_s)->emptyTable(QString::fromLatin1(file));
    addRow(u"Objekte.DB"_s, {{u"O_ID"_s, 7}, {u"O_Nr"_s, 7}, {u"O_Aktiv"_s, true}});
    addRow(u"ObjTaet.db"_s, {{u"TS_ID"_s, 5},
                             {u"TS_Objekt"_s, 7},
                             {u"TS_Taetigkeit"_s, 3},
                             {u"TS_Modus"_s, 1},
                             {u"TS_StartDatum"_s, monday}});
    addRow(u"Touren.db"_s, {{u"TO_ID"_s, 4},
                            {u"TO_Nr"_s, 4},
                            {u"TO_Wochentag"_s, 1},
                            {u"TO_NextDate"_s, monday},
                            {u"TO_ServPatt"_s, u"*"_s}});
    addRow(u"TourObj.db"_s, {{u"T_TourID"_s, 1}, {u"TO_TourNr"_s, 4}, {u"TO_Objekt"_s, 7}});
    addRow(u"TglTour.DB"_s, {{u"A_TourID"_s, 1}, {u"A_TourNr"_s, 4}, {u"A_Date"_s, monday}});
    addRow(u"TglObj.DB"_s, {{u"A_TOID"_s, 1}, {u"A_TourID"_s, 1}, {u"A_ObjektNr"_s, 7}});
    addRow(u"TglTaet.DB"_s,
           {{u"A_TOTID"_s, 1}, {u"A_TourID"_s, 1}, {u"A_ObjNr"_s, 7}, {u"A_TaetigNr"_s, 3}});
    QString next, listed;
    WhenModalShown([&](QWidget* modal) {
        auto* form = qobject_cast<TF_TermPrev*>(modal);
        ASSERT_NE(form, nullptr);
        const TermPrevGrid& m = form->marks();
        listed = m.cellText(m.rowOf(monday), monday.day());
        const QDate after = monday.addDays(7);
        next = m.cellText(m.rowOf(after), after.day());
        modal->close();
    });
    ShowActivityTermPreview(5, 4, false);
    EXPECT_EQ(listed, u"T"_s) << "the daily list's mark wins";
    EXPECT_EQ(next, u"P"_s);
    EXPECT_EQ(OpenTermPrev(), nullptr);
}

} // namespace
