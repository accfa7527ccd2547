#include "commercial/bookings/umsatzstatistik.h"
#include "commercial/umsatzfixture.h"
#include "core/files/programdirs.h"
#include "core/values/money.h"
#include "platform/errors.h"
#include "platform/report/printersystem.h"
#include "platform/report/report.h"
#include "platform/table/database.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datagridmodel.h"
#include "printing/gui/tf_umstat.h"
#include "printing/printingsetup.h"
#include "printing/reportentry.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;
using Kind = frametest::RecordingPresenter::Kind;

const QDate kToday(2024, 2, 10);

class UmStatWindow : public umsatztest::UmsatzFixture {
protected:
    void SetUp() override {
        UmsatzFixture::SetUp();
        InitPrinting();
        m_savedQrfd = QrfdDir;
        QrfdDir = path(u"QRFD0001/"_s);
        QDir().mkpath(QrfdDir);
    }
    void TearDown() override {
        QrfdDir = m_savedQrfd;
        UmsatzFixture::TearDown();
    }

    // The list's numbers and the grid's texts of one column, top to bottom.
    static QStringList column(const TF_UmStat& form, const QString& field = u"R_Nr"_s) {
        const widgets::DataGridModel& model = form.listGrid()->gridModel();
        QStringList texts;
        const int c = model.columnOf(field);
        for (int r = 0; r < model.rowCount(); ++r)
            texts << model.data(model.index(r, c)).toString();
        return texts;
    }
    static QStringList titles(const widgets::DataGrid& grid) {
        QStringList texts;
        for (int c = 0; c < grid.gridModel().columnCount(); ++c)
            texts << grid.gridModel().headerData(c, Qt::Horizontal).toString();
        return texts;
    }
    static QString sum(double amount) { return UmsatzSummeText(RoundCents(amount)); }
    bool tableExists(const QString& name) {
        return table::aliases::database(u"LumoDB"_s)->exists(name);
    }
    void selectMaster(TF_UmStat& form, int nr) {
        const QString field = form.kind() == UmStatKind::Objekte ? u"O_Nr"_s : u"K_Nr"_s;
        ASSERT_TRUE(form.masterTable()->locate({field}, {nr}));
    }

private:
    QString m_savedQrfd;
};

TEST_F(UmStatWindow, TheObjectWindowListsTheSelectedActiveObjectsRows) {
    TF_UmStatObj form(kToday);
    EXPECT_EQ(form.windowTitle(), u"Umsatzstatistik Objekte"_s);
    EXPECT_EQ(form.objectName(), u"TF_UmStatObj"_s);
    EXPECT_EQ(form.editVon()->text(), u"01.02.2024"_s);
    EXPECT_EQ(form.editBis()->text(), u"29.02.2024"_s);
    EXPECT_TRUE(form.editVon()->isReadOnly() && form.editBis()->isReadOnly() &&
                form.editSumme()->isReadOnly());
    EXPECT_EQ(titles(*form.masterGrid()), (QStringList{u"Objekt-Nr."_s, u"Objektbezeichnung"_s}));
    EXPECT_EQ(titles(*form.listGrid()),
              (QStringList{u"Nummer"_s, u"Art"_s, u"Datum"_s, u"Buchungstext"_s, u"Betrag"_s}));
    ASSERT_TRUE(form.boxAR() && form.boxGS());
    EXPECT_EQ(form.boxER(), nullptr);
    EXPECT_TRUE(form.boxAR()->isChecked() && form.boxGS()->isChecked());

    // Only active objects; the inactive object's rows are collected all the same.
    EXPECT_EQ(form.masterTable()->recordCount(), 2);
    EXPECT_EQ(form.key(), 10);
    EXPECT_EQ(column(form), (QStringList{u"J1"_s, u"R1"_s, u"J2"_s}));
    EXPECT_EQ(column(form, u"R_Art"_s), (QStringList{u"AR"_s, u"AR"_s, u"GS"_s}));
    EXPECT_EQ(form.editSumme()->text(), sum(119.00 + 59.50 - 23.80));
    EXPECT_EQ(UmsatzSumme(form.workTable(), UmStatKind::Objekte, 11), 100.00);

    selectMaster(form, 12);
    EXPECT_EQ(form.key(), 12);
    EXPECT_EQ(column(form), (QStringList{u"J6"_s, u"R2"_s, u"G1"_s}));
    EXPECT_EQ(form.editSumme()->text(), sum(10.00 + 5.00 - 11.90));

    // Unticking collects again without the kind; both unticked: empty, 0.
    form.boxGS()->setChecked(false);
    EXPECT_EQ(column(form), (QStringList{u"J6"_s, u"R2"_s}));
    EXPECT_EQ(form.editSumme()->text(), sum(15.00));
    form.boxAR()->setChecked(false);
    EXPECT_TRUE(column(form).isEmpty());
    EXPECT_EQ(form.editSumme()->text(), sum(0));
    EXPECT_EQ(form.editSumme()->text().size(), 16);
}

TEST_F(UmStatWindow, EachWindowHasItsMasterColumnsBoxesAndSigns) {
    {
        TF_UmStatKund form(kToday);
        EXPECT_EQ(form.windowTitle(), u"Umsatzstatistik Kunden"_s);
        EXPECT_EQ(titles(*form.masterGrid()),
                  (QStringList{u"Kunden-Nr."_s, u"Kundenbezeichnung"_s}));
        EXPECT_EQ(titles(*form.listGrid()).first(), u"Obj-Nr."_s);
        EXPECT_EQ(form.key(), 100);
        EXPECT_EQ(column(form), (QStringList{u"J1"_s, u"R1"_s, u"J2"_s}));
        EXPECT_EQ(form.kindColor(kSatzartGS), QColor(255, 0, 0));
        EXPECT_FALSE(form.kindColor(kSatzartER).isValid());
    }
    {
        TF_UmStatLief form(kToday);
        EXPECT_EQ(form.windowTitle(), u"Umsatzstatistik Lieferanten"_s);
        EXPECT_EQ(form.boxAR(), nullptr);
        EXPECT_EQ(form.key(), 500);
        // It collects when activated, and again at every activation.
        EXPECT_TRUE(column(form).isEmpty());
        form.FormActivate();
        EXPECT_EQ(column(form), (QStringList{u"E1"_s, u"J3"_s})); // E1 has no object
        EXPECT_EQ(form.editSumme()->text(), sum(50.00 + 30.00));
        addRow(u"ERKopf.DB"_s, {{u"R_ID"_s, 3},
                                {u"R_Nr"_s, u"E3"_s},
                                {u"R_KundenNr"_s, 500},
                                {u"R_DatumDruck"_s, QDate(2024, 2, 3)},
                                {u"R_Brutto"_s, 7.00}});
        form.FormActivate();
        EXPECT_EQ(form.editSumme()->text(), sum(87.00));
        EXPECT_FALSE(form.kindColor(kSatzartGS).isValid());
    }
    {
        TF_UmStatGesamt form(kToday);
        EXPECT_EQ(form.windowTitle(), u"Umsatzstatistik gesamt"_s);
        EXPECT_EQ(form.masterGrid(), nullptr);
        ASSERT_TRUE(form.boxER());
        EXPECT_EQ(
            titles(*form.listGrid()),
            (QStringList{u"Nummer"_s, u"Art"_s, u"Datum"_s, u"Obj-Nr"_s, u"Objektbezeichnung"_s,
                         u"Kd-Nr."_s, u"Kundenbezeichnung"_s, u"Buchungstext"_s, u"Betrag"_s}));
        EXPECT_EQ(column(form).size(), 10);
        // Incoming invoices lower the whole firm's sum (E3 came in above).
        EXPECT_EQ(form.editSumme()->text(), sum(119.00 - 23.80 - 50.00 + 100.00 + 10.00 + 59.50 +
                                                5.00 - 11.90 - 30.00 - 7.00));
        EXPECT_EQ(form.kindColor(kSatzartER), QColor(0, 255, 0));
        EXPECT_EQ(form.kindColor(kSatzartGS), QColor(255, 0, 0));
        form.boxER()->setChecked(false);
        EXPECT_EQ(column(form).size(), 7);
    }
}

TEST_F(UmStatWindow, TheCalendarChangesABoundAndAnEmptyRangeChangesNothing) {
    TF_UmStatObj form(kToday);
    QList<QDate> answers{QDate(2024, 2, 16), QDate(2024, 2, 12), QDate()};
    QList<QDate> shown;
    form.setDatePicker([&](TDateTime& date) {
        shown << DateOfDateTime(date);
        const QDate answer = answers.takeFirst();
        if (!answer.isValid())
            return false;
        date = DateTimeOfDate(answer);
        return true;
    });
    form.VonDblClick();
    EXPECT_EQ(form.editVon()->text(), u"16.02.2024"_s);
    EXPECT_EQ(column(form), QStringList{u"R1"_s});
    EXPECT_EQ(form.editSumme()->text(), sum(59.50));

    // "Bis" before "Von": refused, everything stays as it was.
    form.BisDblClick();
    EXPECT_EQ(presenter.texts(Kind::Error), QStringList{u"Datumsbereich ist leer!"_s});
    EXPECT_EQ(form.editBis()->text(), u"29.02.2024"_s);
    EXPECT_EQ(DateOfDateTime(form.range().to), QDate(2024, 2, 29));
    EXPECT_EQ(column(form), QStringList{u"R1"_s});
    EXPECT_EQ(form.editSumme()->text(), sum(59.50));

    // Cancelled: nothing changes either.
    form.VonDblClick();
    EXPECT_EQ(form.editVon()->text(), u"16.02.2024"_s);
    EXPECT_EQ(shown, (QList<QDate>{QDate(2024, 2, 1), QDate(2024, 2, 29), QDate(2024, 2, 16)}));
}

TEST_F(UmStatWindow, TheRangeStartsAsTodaysMonthInLeapYearsToo) {
    TF_UmStatGesamt leap(QDate(2000, 2, 29));
    EXPECT_EQ(leap.editVon()->text(), u"01.02.2000"_s);
    EXPECT_EQ(leap.editBis()->text(), u"29.02.2000"_s);
    TF_UmStatGesamt common(QDate(2023, 2, 3));
    EXPECT_EQ(common.editBis()->text(), u"28.02.2023"_s);
}

TEST_F(UmStatWindow, TheWorkTableLivesAsLongAsItsWindow) {
    QString name;
    {
        TF_UmStatKund form(kToday);
        name = form.workTable().name();
        EXPECT_TRUE(tableExists(name));
        TF_UmStatKund second(kToday);
        EXPECT_NE(second.workTable().name(), name);
    }
    EXPECT_FALSE(tableExists(name));

    // A source that cannot be read: the error reaches the opener, the table is gone.
    table::aliases::database(u"LumoDB"_s)->dropTable(u"Gskopf.DB"_s);
    EXPECT_THROW(TF_UmStatObj form(kToday), DbError);
    EXPECT_FALSE(tableExists(name));
}

TEST_F(UmStatWindow, WithoutAMasterRowTheListIsEmptyAndNothingPrints) {
    table::aliases::database(u"LumoDB"_s)->emptyTable(u"Kunden.DB"_s);
    TF_UmStatKund form(kToday);
    EXPECT_FALSE(form.key());
    EXPECT_TRUE(column(form).isEmpty());
    EXPECT_EQ(form.editSumme()->text(), sum(0));
    // Key 0 would print every customer's rows.
    EXPECT_FALSE(form.btnPrint()->isEnabled());
    EXPECT_FALSE(form.btnPreview()->isEnabled());
}

TEST_F(UmStatWindow, AFailedCollectionOnActivationIsNotRepeatedByTheNextActivation) {
    TF_UmStatLief form(kToday);
    table::aliases::database(u"LumoDB"_s)->dropTable(u"ERKopf.DB"_s);
    // The error box closing activates the window again: no second error.
    EXPECT_THROW(form.FormActivate(), DbError);
    EXPECT_NO_THROW(form.FormActivate());
}

TEST_F(UmStatWindow, PrintsThroughTheChosenFormWithKeyNameAndRange) {
    addRow(u"QrFrmDef.DB"_s, {{u"QF_ID"_s, 47001},
                              {u"Q_FormType"_s, 47000},
                              {u"Q_Protect"_s, false},
                              {u"Q_Comment"_s, u"Umsatzstatistiken"_s}});
    QFile layout(QrfdDir + u"ORM47001.QFD"_s);
    ASSERT_TRUE(layout.open(QIODevice::WriteOnly));
    layout.write("L_Titel\r\nCaption=Ums\xe4tze\r\n");
    layout.close();

    struct Seen {
        bool preview;
        QString title, key, name, from, to, table, index;
        bool limited;
        QVariant rangeKey;
        bool operator==(const Seen&) const = default;
    };
    QList<Seen> seen;
    const ReportOutput previous = SetReportOutput([&](report::Report& rep, bool preview, QWidget*) {
        const report::DatasetDef& list = rep.datasetDef(u"TabList"_s);
        seen.append({preview, rep.component(u"L_Titel"_s).caption,
                     rep.component(u"L_Nummer"_s).caption,
                     rep.component(u"L_Bezeichnung"_s).caption, rep.component(u"L_Von"_s).caption,
                     rep.component(u"L_Bis"_s).caption, list.table, list.index, list.hasRange,
                     list.rangeFrom});
    });
    QList<int> answers{0, 47001, 47001, 1000};
    PrintFormChoosers choosers;
    choosers.choose = [&](int type) {
        EXPECT_EQ(type, 47000);
        return answers.takeFirst();
    };
    {
        TF_UmStatKund form(kToday);
        form.setPrintFormChoosers(choosers);
        selectMaster(form, 101);
        form.PrintClick(form.btnPrint()); // no form chosen: nothing prints
        EXPECT_TRUE(seen.isEmpty());
        form.PrintClick(form.btnPreview());
        ASSERT_EQ(seen.size(), 1);
        EXPECT_EQ(seen.last(),
                  (Seen{true, u"Umsätze"_s, u"101"_s, u"Schulz KG"_s, u"01.02.2024"_s,
                        u"29.02.2024"_s, form.workTable().name(), u"I_KdObjSaDat"_s, true, 101}));
    }
    {
        TF_UmStatGesamt form(kToday);
        form.setPrintFormChoosers(choosers);
        form.PrintClick(form.btnPrint());
        ASSERT_EQ(seen.size(), 2);
        EXPECT_EQ(seen.last(), (Seen{false, u"Umsätze"_s, QString(), u"Alle Kunden/Objekte"_s,
                                     u"01.02.2024"_s, u"29.02.2024"_s, form.workTable().name(),
                                     u"I_KdObjSaDat"_s, false, QVariant()}));
        // A form of another type prints nothing.
        form.PrintClick(form.btnPrint());
        EXPECT_EQ(seen.size(), 2);
    }
    SetReportOutput(previous);
}

} // namespace
