#include "core/data/layoutfiles.h"
#include "designerfixture.h"
#include "platform/report/report.h"
#include "printing/designrules.h"
#include "printing/gui/aligndialog.h"
#include "printing/gui/captiondialog.h"
#include "printing/gui/designproxies.h"
#include "printing/gui/framedialog.h"
#include "printing/gui/optionsdialog.h"
#include "printing/gui/picturedialog.h"
#include "printing/gui/tf_repgen.h"
#include "printing/layoutfile.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

using Kind = MessagePresenter::Kind;
using printingtest::answerNext;
using printingtest::kTestFormType;

class RepGenTest : public printingtest::DesignerFixture {
protected:
    void SetUp() override {
        DesignerFixture::SetUp();
        m_savedRaster = DesignRaster();
        SetDesignRaster(4);
        layoutPath = QrfdDir + QStringLiteral("ORM48001.QFD");
    }
    void TearDown() override {
        form.reset();
        SetDesignRaster(m_savedRaster);
        DesignerFixture::TearDown();
    }

    TF_RepGen& open() {
        form.reset();
        form = std::make_unique<TF_RepGen>();
        EXPECT_TRUE(form->OpenForm(kTestFormType, QStringLiteral("Mengen"), layoutPath));
        return *form;
    }
    report::Component& control(const QString& name) { return BaseReport()->component(name); }
    int rowOf(const QString& name) {
        for (int row = 0; row < form->controlList()->rowCount(); ++row)
            if (form->controlList()->item(row, 0)->text() == name)
                return row;
        ADD_FAILURE() << "no row " << name.toStdString();
        return -1;
    }
    QStringList positionFields() {
        QStringList texts;
        for (int i = 0; i < 4; ++i)
            texts << form->positionField(i)->text();
        return texts;
    }
    void select(const QString& name) { form->SelectRow(rowOf(name)); }

    std::unique_ptr<TF_RepGen> form;
    QString layoutPath;

private:
    int m_savedRaster = 4;
};

TEST_F(RepGenTest, ShowsTheControlListAndOneProxyPerBandAndPrintableControl) {
    TF_RepGen& f = open();
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Druckformulare anpassen"));
    EXPECT_EQ(presenter.texts(Kind::Info),
              QStringList{QStringLiteral("Neue Formulardefinition wird erzeugt!")});
    EXPECT_TRUE(f.saveButton()->isEnabled());
    QTableWidget* list = f.controlList();
    EXPECT_EQ(list->horizontalHeaderItem(0)->text(), QStringLiteral("Feldbezeichnung"));
    EXPECT_EQ(list->horizontalHeaderItem(1)->text(), QStringLiteral("Aktiv"));
    EXPECT_EQ(list->columnWidth(0), 180);
    ASSERT_EQ(list->rowCount(), BaseReport()->def().components.size());
    EXPECT_EQ(list->item(0, 0)->text(), QStringLiteral("PageHeaderBand1"));

    // Bands, groups and sub-details red; switched-off rows grey.
    const auto color = [&](const QString& name) {
        return list->item(rowOf(name), 0)->foreground().color();
    };
    EXPECT_EQ(color(QStringLiteral("DetailBand1")), QColor(Qt::red));
    EXPECT_EQ(color(QStringLiteral("L_Reserve1")), QColor(Qt::gray));
    EXPECT_EQ(color(QStringLiteral("ChildBand1")), QColor(Qt::gray));
    EXPECT_EQ(color(QStringLiteral("L_Titel")), list->palette().color(QPalette::Text));
    EXPECT_EQ(list->item(rowOf(QStringLiteral("L_Reserve1")), 1)->text(), QStringLiteral("Nein"));
    EXPECT_EQ(list->item(rowOf(QStringLiteral("L_Titel")), 1)->text(), QStringLiteral("Ja"));

    // The printable area between the margins; bands stacked with their splitters.
    EXPECT_EQ(f.printArea()->geometry(), QRect(76, 38, 684, 1260 - 38 - 100));
    EXPECT_EQ(f.marginField(0)->text(), QStringLiteral(" 10.00 mm"));
    EXPECT_EQ(f.marginField(1)->text(), QStringLiteral(" 20.00 mm"));
    TPrivatePanel* header = f.bandProxy(QStringLiteral("PageHeaderBand1"));
    TPrivatePanel* title = f.bandProxy(QStringLiteral("TitleBand1"));
    ASSERT_TRUE(header && title);
    EXPECT_EQ(header->geometry(), QRect(0, 0, 684, 30));
    EXPECT_EQ(title->geometry(), QRect(0, 33, 684, 42));
    EXPECT_FALSE(f.bandProxy(QStringLiteral("ChildBand1"))->switchedOn);

    const std::pair<const char*, int> kinds[] = {{"L_Titel", kLabelText},
                                                 {"VE_ID", kLabelData},
                                                 {"F_Listenkopf", kLabelRich},
                                                 {"QRSysData1", kLabelSys},
                                                 {"E_Anzahl", kLabelExpr}};
    for (const auto& [name, kind] : kinds) {
        TPrivateLabel* label = f.labelProxy(QString::fromLatin1(name));
        ASSERT_NE(label, nullptr) << name;
        EXPECT_EQ(label->kind(), kind) << name;
        EXPECT_EQ(label->parentWidget(), f.bandProxy(control(label->objectName()).parent));
        const report::Component& c = control(label->objectName());
        EXPECT_EQ(label->geometry(), QRect(c.left, c.top, c.width, c.height)) << name;
    }
    EXPECT_EQ(f.labelProxy(QStringLiteral("L_Titel"))->text(), QStringLiteral("Mengeneinheiten"));
    EXPECT_EQ(f.labelProxy(QStringLiteral("VE_ID"))->text(), QStringLiteral("VE_ID"));
    EXPECT_EQ(f.labelProxy(QStringLiteral("VE_ID"))->mask, QStringLiteral("##0"));
    EXPECT_EQ(f.labelProxy(QStringLiteral("F_Listenkopf"))->text(),
              QStringLiteral("Hausmeisterdienst Müller"));
    EXPECT_EQ(f.labelProxy(QStringLiteral("L_Lang"))->normalColor(), QColor(0x80, 0, 0));
    EXPECT_EQ(f.bandProxy(QStringLiteral("ColumnHeaderBand1"))->frame.width, 2);
    // Switched-off controls are hidden; shapes have no proxy.
    EXPECT_TRUE(f.labelProxy(QStringLiteral("L_Reserve1"))->isHidden());
    ASSERT_NE(f.imageProxy(QStringLiteral("I_Logo")), nullptr);
    EXPECT_TRUE(f.imageProxy(QStringLiteral("I_Logo"))->stretch);
    EXPECT_EQ(f.labelProxy(QStringLiteral("S_Linie")), nullptr);
    EXPECT_EQ(f.imageProxy(QStringLiteral("S_Linie")), nullptr);
}

TEST_F(RepGenTest, AnUnknownFormTypeDoesNotOpen) {
    ShowLayoutDesigner(99999, QStringLiteral("x"), layoutPath, 0, 0);
    EXPECT_EQ(presenter.texts(Kind::Error),
              (QStringList{QStringLiteral("Basis-Report nicht zugewiesen (GetControlList(99999)"),
                           QStringLiteral("Ungültige Formular-Identifizierung!")}));
    EXPECT_EQ(BaseReport(), nullptr);
}

TEST_F(RepGenTest, SelectingByMouseAndByRow) {
    TF_RepGen& f = open();
    TPrivateLabel* nr = f.labelProxy(QStringLiteral("L_Nr"));
    TPrivateLabel* lang = f.labelProxy(QStringLiteral("L_Lang"));
    mouse(nr, QEvent::MouseButtonPress, {2, 2});
    mouse(nr, QEvent::MouseButtonRelease, {2, 2});
    EXPECT_EQ(f.selectedProxy(), nr);
    EXPECT_EQ(nr->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(f.controlList()->currentRow(), rowOf(QStringLiteral("L_Nr")));
    EXPECT_EQ(positionFields(), (QStringList{QStringLiteral("4"), QStringLiteral("0"),
                                             QStringLiteral("45"), QStringLiteral("15")}));

    // A row click selects its proxy; the former one gets its colour back.
    select(QStringLiteral("L_Lang"));
    EXPECT_EQ(f.selectedProxy(), lang);
    EXPECT_EQ(nr->palette().color(QPalette::WindowText), nr->normalColor());
    EXPECT_EQ(lang->palette().color(QPalette::WindowText), QColor(255, 0, 0));

    // A band clears the selection and shows its size.
    mouse(f.bandProxy(QStringLiteral("TitleBand1")), QEvent::MouseButtonPress, {300, 30});
    EXPECT_EQ(f.selectedProxy(), nullptr);
    EXPECT_EQ(lang->palette().color(QPalette::WindowText), lang->normalColor());
    EXPECT_EQ(f.controlList()->currentRow(), rowOf(QStringLiteral("TitleBand1")));
    EXPECT_EQ(positionFields(), (QStringList{QStringLiteral("33"), QStringLiteral("0"),
                                             QStringLiteral("684"), QStringLiteral("42")}));
}

struct DragCase {
    int raster;
    QPoint start; // left, top of L_Nr (45 x 15 on a band of 684 x 22)
    QPoint delta;
    QPoint expected;
};

TEST_F(RepGenTest, DraggingSnapsToTheRasterWithinTheBand) {
    TF_RepGen& f = open();
    TPrivateLabel* nr = f.labelProxy(QStringLiteral("L_Nr"));
    const DragCase cases[] = {
        {4, {10, 4}, {3, 3}, {10, 4}},    // less than a step: no move
        {4, {10, 4}, {5, 0}, {12, 4}},    // 15 div 4 * 4
        {4, {10, 4}, {-30, -30}, {0, 0}}, // past the left and top edges
        {4, {10, 4}, {900, 9}, {639, 7}}, // past the right and bottom edges
        {1, {10, 4}, {1, -1}, {11, 3}},   // raster 1
        {16, {10, 4}, {15, 0}, {10, 4}},  // raster 16: 15 is not a step
        {16, {10, 4}, {16, 0}, {16, 4}},  // 26 div 16 * 16
    };
    for (const DragCase& c : cases) {
        f.rasterField()->setValue(c.raster);
        EXPECT_EQ(DesignRaster(), c.raster);
        nr->move(c.start);
        const QPoint origin(20, 5);
        mouse(nr, QEvent::MouseButtonPress, origin);
        mouse(nr, QEvent::MouseMove, origin + c.delta);
        mouse(nr, QEvent::MouseButtonRelease, origin + c.delta);
        EXPECT_EQ(nr->pos(), c.expected) << c.raster << ": " << c.delta.x() << ',' << c.delta.y();
        const report::Component& k = control(QStringLiteral("L_Nr"));
        EXPECT_EQ(QRect(k.left, k.top, k.width, k.height), nr->geometry());
    }
    // Moving without the button does nothing.
    nr->move(10, 4);
    mouse(nr, QEvent::MouseMove, {40, 10});
    EXPECT_EQ(nr->pos(), QPoint(10, 4));
}

TEST_F(RepGenTest, KeysMoveAndSizeTheSelectedProxy) {
    TF_RepGen& f = open();
    f.show();
    QTableWidget* list = f.controlList();
    // Without a selected proxy the arrows stay the list's.
    select(QStringLiteral("TitleBand1"));
    QTest::keyClick(list, Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(f.bandProxy(QStringLiteral("TitleBand1"))->y(), 33);

    select(QStringLiteral("L_Nr")); // 0, 4, 45 x 15 on 684 x 22
    TPrivateLabel* nr = f.labelProxy(QStringLiteral("L_Nr"));
    QTest::keyClick(list, Qt::Key_Left, Qt::ControlModifier);
    QTest::keyClick(list, Qt::Key_Right, Qt::ControlModifier);
    QTest::keyClick(list, Qt::Key_Right, Qt::ControlModifier);
    QTest::keyClick(list, Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(nr->geometry(), QRect(2, 5, 45, 15));
    for (int i = 0; i < 5; ++i)
        QTest::keyClick(list, Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(nr->y(), 7);
    QTest::keyClick(list, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(list, Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(nr->size(), QSize(46, 14));
    const report::Component& k = control(QStringLiteral("L_Nr"));
    EXPECT_EQ(QRect(k.left, k.top, k.width, k.height), QRect(2, 7, 46, 14));
    EXPECT_EQ(positionFields(), (QStringList{QStringLiteral("7"), QStringLiteral("2"),
                                             QStringLiteral("46"), QStringLiteral("14")}));
    // The selection stayed on the row: the arrows were the designer's.
    EXPECT_EQ(list->currentRow(), rowOf(QStringLiteral("L_Nr")));

    nr->resize(8, 500);
    QTest::keyClick(list, Qt::Key_Left, Qt::ShiftModifier);
    QTest::keyClick(list, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(nr->size(), QSize(8, 500));
    nr->resize(1000, 8);
    QTest::keyClick(list, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(list, Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(nr->size(), QSize(1000, 8));
}

TEST_F(RepGenTest, SwitchingOnAndOffByDoubleClickOrSpaceExceptStructureRows) {
    TF_RepGen& f = open();
    f.show();
    QTableWidget* list = f.controlList();
    for (const QString& name : {QStringLiteral("DetailBand1"), QStringLiteral("SummaryBand1")}) {
        f.ToggleRow(rowOf(name));
        EXPECT_TRUE(control(name).enabled);
        EXPECT_EQ(list->item(rowOf(name), 1)->text(), QStringLiteral("Ja"));
    }
    f.ToggleRow(rowOf(QStringLiteral("ChildBand1")));
    EXPECT_TRUE(control(QStringLiteral("ChildBand1")).enabled);
    EXPECT_TRUE(f.bandProxy(QStringLiteral("ChildBand1"))->switchedOn);

    f.ToggleRow(rowOf(QStringLiteral("L_Kurz")));
    EXPECT_FALSE(control(QStringLiteral("L_Kurz")).enabled);
    EXPECT_TRUE(f.labelProxy(QStringLiteral("L_Kurz"))->isHidden());
    EXPECT_EQ(list->item(rowOf(QStringLiteral("L_Kurz")), 1)->text(), QStringLiteral("Nein"));
    EXPECT_EQ(list->item(rowOf(QStringLiteral("L_Kurz")), 0)->foreground().color(),
              QColor(Qt::gray));

    // Space in the list stands for a double click; so does the double click itself.
    select(QStringLiteral("L_Reserve1"));
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Space);
    EXPECT_TRUE(control(QStringLiteral("L_Reserve1")).enabled);
    EXPECT_FALSE(f.labelProxy(QStringLiteral("L_Reserve1"))->isHidden());
    Q_EMIT list->cellDoubleClicked(rowOf(QStringLiteral("I_Logo")), 0);
    EXPECT_TRUE(control(QStringLiteral("I_Logo")).enabled);
    EXPECT_FALSE(f.imageProxy(QStringLiteral("I_Logo"))->isHidden());
}

TEST_F(RepGenTest, TheSplitterSetsTheBandHeight) {
    TF_RepGen& f = open();
    TPrivatePanel* header = f.bandProxy(QStringLiteral("PageHeaderBand1"));
    QWidget* splitter = f.printArea()->childAt(10, 31);
    ASSERT_NE(splitter, nullptr);
    ASSERT_EQ(splitter->height(), 3);
    mouse(splitter, QEvent::MouseButtonPress, {10, 1});
    mouse(splitter, QEvent::MouseMove, {10, 13});
    mouse(splitter, QEvent::MouseButtonRelease, {10, 13});
    EXPECT_EQ(header->height(), 42);
    EXPECT_EQ(control(QStringLiteral("PageHeaderBand1")).height, 42);
    EXPECT_EQ(f.bandProxy(QStringLiteral("TitleBand1"))->y(), 45);
    EXPECT_EQ(f.positionField(3)->text(), QStringLiteral("42"));
}

TEST_F(RepGenTest, MarginsAreReadOnOkAndRestoredOnCancel) {
    TF_RepGen& f = open();
    f.show();
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    f.controlList()->setFocus();
    EXPECT_FALSE(f.marginOk()->isEnabled());
    EXPECT_FALSE(f.marginCancel()->isEnabled());
    f.marginField(1)->setFocus();
    EXPECT_TRUE(f.marginOk()->isEnabled());
    EXPECT_TRUE(f.marginCancel()->isEnabled());

    f.marginField(1)->setText(QStringLiteral("abc"));
    f.MarginsCancelClick();
    EXPECT_EQ(f.marginField(1)->text(), QStringLiteral(" 20.00 mm"));
    EXPECT_TRUE(f.controlList()->hasFocus());
    EXPECT_FALSE(f.marginOk()->isEnabled());

    f.marginField(1)->setText(QStringLiteral("10,5"));
    f.marginField(0)->setText(QStringLiteral("15 mm"));
    f.MarginsOkClick();
    EXPECT_EQ(f.margins().left, 40);
    EXPECT_EQ(f.margins().top, 57);
    EXPECT_EQ(f.margins().printWidth, 684 + 36);
    EXPECT_EQ(f.printArea()->geometry(), QRect(40, 57, 720, 1260 - 57 - 100));
    EXPECT_EQ(f.bandProxy(QStringLiteral("TitleBand1"))->width(), 720);
    EXPECT_EQ(f.marginField(1)->text(), QStringLiteral(" 10.53 mm"));
    EXPECT_NEAR(BaseReport()->def().marginLeft, 40 / 3.8, 1e-9);
}

TEST_F(RepGenTest, EveryChangeIsSavedAndComesBackOnReopening) {
    TF_RepGen& f = open();
    f.show();
    // Position and size.
    select(QStringLiteral("L_Nr"));
    QTest::keyClick(f.controlList(), Qt::Key_Right, Qt::ControlModifier);
    QTest::keyClick(f.controlList(), Qt::Key_Right, Qt::ShiftModifier);
    // On and off.
    f.ToggleRow(rowOf(QStringLiteral("L_Kurz")));
    f.ToggleRow(rowOf(QStringLiteral("L_Reserve1")));
    // Caption and mask.
    select(QStringLiteral("L_Titel"));
    answerNext(true, [](QWidget* modal) {
        EXPECT_EQ(modal->windowTitle(), QStringLiteral("Beschriftung"));
        auto* d = static_cast<TCaptionDialog*>(modal);
        EXPECT_EQ(d->text(), QStringLiteral("Mengeneinheiten"));
        d->setText(QStringLiteral("Einheiten"));
    });
    f.LabelCaptionClick();
    EXPECT_EQ(f.labelProxy(QStringLiteral("L_Titel"))->text(), QStringLiteral("Einheiten"));
    select(QStringLiteral("VE_ID"));
    answerNext(true, [](QWidget* modal) {
        EXPECT_EQ(modal->windowTitle(), QStringLiteral("Formatierung"));
        auto* d = static_cast<TCaptionDialog*>(modal);
        EXPECT_EQ(d->text(), QStringLiteral("##0"));
        d->setText(QStringLiteral("#,##0"));
    });
    f.LabelCaptionClick();
    // Font and alignment.
    select(QStringLiteral("L_Lang"));
    f.setFontChooser([](QWidget*, report::FontSpec& font) {
        font.name = QStringLiteral("Liberation Serif");
        font.size = 12;
        font.bold = true;
        font.color = QColor(0, 0x80, 0);
        return true;
    });
    f.LabelFontClick();
    TPrivateLabel* lang = f.labelProxy(QStringLiteral("L_Lang"));
    EXPECT_EQ(lang->normalColor(), QColor(0, 0x80, 0));
    EXPECT_EQ(lang->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    answerNext(true, [](QWidget* modal) {
        auto* d = static_cast<TAlignDialog*>(modal);
        EXPECT_EQ(d->itemIndex(), 0);
        d->items()->button(1)->setChecked(true);
    });
    f.LabelAlignClick();
    EXPECT_TRUE(lang->alignment() & Qt::AlignRight);
    // A frame on a rich text is saved too.
    select(QStringLiteral("F_Listenkopf"));
    answerNext(true, [](QWidget* modal) {
        auto* d = static_cast<TFramedialog*>(modal);
        d->bottomBox()->setChecked(true);
        d->lineWidth()->setValue(2);
    });
    f.LabelFrameClick();
    EXPECT_TRUE(f.labelProxy(QStringLiteral("F_Listenkopf"))->frame.bottom);
    // Picture options and frame.
    select(QStringLiteral("I_Logo"));
    answerNext(true, [](QWidget* modal) {
        auto* d = static_cast<TPictureDialog*>(modal);
        EXPECT_TRUE(d->stretch());
        d->stretchBox()->setChecked(false);
        d->centerBox()->setChecked(true);
    });
    f.PictureFormatClick();
    answerNext(true, [](QWidget* modal) {
        static_cast<TFramedialog*>(modal)->topBox()->setChecked(true);
    });
    f.PictureFrameClick();
    // A band's frame, by the right button.
    answerNext(true, [](QWidget* modal) {
        auto* d = static_cast<TFramedialog*>(modal);
        d->leftBox()->setChecked(true);
        d->lineWidth()->setValue(3);
    });
    mouse(f.bandProxy(QStringLiteral("DetailBand1")), QEvent::MouseButtonPress, {300, 5},
          Qt::RightButton);
    // Band height, margins, printer and bin.
    QWidget* splitter = f.printArea()->childAt(10, 31);
    mouse(splitter, QEvent::MouseButtonPress, {10, 1});
    mouse(splitter, QEvent::MouseMove, {10, 6});
    mouse(splitter, QEvent::MouseButtonRelease, {10, 6});
    f.marginField(3)->setText(QStringLiteral("25"));
    f.MarginsOkClick();
    answerNext(true, [](QWidget* modal) {
        auto* d = static_cast<TOptionsDialog*>(modal);
        d->printerList()->setCurrentIndex(1);
        d->binList()->setCurrentIndex(4);
    });
    f.OptionsClick();

    presenter.boxes.clear();
    f.SaveFormLayout();
    EXPECT_TRUE(presenter.texts(Kind::Error).isEmpty());
    EXPECT_EQ(presenter.texts(Kind::Info), QStringList{QStringLiteral("Layout gespeichert.")});
    QStringList lines;
    ASSERT_TRUE(LoadLayoutLines(layoutPath, lines));
    EXPECT_EQ(lines.first(), QStringLiteral("OPTIONS:PRINDEX=1;OBINFIRST=4;OBINNEXT=0;"));
    EXPECT_TRUE(lines.contains(QStringLiteral("FRMTITLE:Mengen")));
    // The whole layout as the base report stands.
    QFile file(layoutPath);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(),
              WriteFormLayout(*BaseReport(), QStringLiteral("Mengen"), PrinterOptions()));
    file.close();

    form.reset();
    ResetPrinterOptions();
    presenter.boxes.clear();
    TF_RepGen& again = open();
    EXPECT_TRUE(presenter.texts(Kind::Info).isEmpty());
    EXPECT_EQ(PrinterOptions(), (PrinterOptionValues{1, 4, 0}));
    const report::Component& nr = control(QStringLiteral("L_Nr"));
    EXPECT_EQ(QRect(nr.left, nr.top, nr.width, nr.height), QRect(1, 4, 46, 15));
    EXPECT_EQ(again.labelProxy(QStringLiteral("L_Nr"))->geometry(), QRect(1, 4, 46, 15));
    EXPECT_FALSE(control(QStringLiteral("L_Kurz")).enabled);
    EXPECT_TRUE(control(QStringLiteral("L_Reserve1")).enabled);
    EXPECT_EQ(again.labelProxy(QStringLiteral("L_Titel"))->text(), QStringLiteral("Einheiten"));
    EXPECT_EQ(again.labelProxy(QStringLiteral("VE_ID"))->mask, QStringLiteral("#,##0"));
    const report::Component& l = control(QStringLiteral("L_Lang"));
    EXPECT_EQ(l.font.name, QStringLiteral("Liberation Serif"));
    EXPECT_EQ(l.font.size, 12);
    EXPECT_TRUE(l.font.bold);
    EXPECT_EQ(l.font.color, QColor(0, 0x80, 0));
    EXPECT_EQ(l.alignment, report::Alignment::Right);
    EXPECT_TRUE(control(QStringLiteral("F_Listenkopf")).frame.bottom);
    EXPECT_EQ(control(QStringLiteral("F_Listenkopf")).frame.width, 2);
    EXPECT_TRUE(again.labelProxy(QStringLiteral("F_Listenkopf"))->frame.bottom);
    const report::Component& logo = control(QStringLiteral("I_Logo"));
    EXPECT_TRUE(logo.center);
    EXPECT_FALSE(logo.stretch);
    EXPECT_TRUE(logo.frame.top);
    EXPECT_EQ(logo.frame.style, report::psDot); // the style is not the dialog's
    const report::Component& detail = control(QStringLiteral("DetailBand1"));
    EXPECT_TRUE(detail.frame.left);
    EXPECT_EQ(detail.frame.width, 3);
    EXPECT_EQ(control(QStringLiteral("PageHeaderBand1")).height, 35);
    EXPECT_EQ(again.margins().bottom, 95);
    EXPECT_EQ(again.marginField(3)->text(), QStringLiteral(" 25.00 mm"));
}

TEST_F(RepGenTest, CancellingAnyDialogChangesNothing) {
    TF_RepGen& f = open();
    f.show();
    PrinterOptions() = {0, 2, 1};
    const QList<report::Component> before = BaseReport()->def().components;
    const auto unchanged = [&] {
        const QList<report::Component>& now = BaseReport()->def().components;
        ASSERT_EQ(now.size(), before.size());
        for (qsizetype i = 0; i < now.size(); ++i) {
            const report::Component &a = before[i], &b = now[i];
            EXPECT_TRUE(a.caption == b.caption && a.mask == b.mask && a.font == b.font &&
                        a.alignment == b.alignment && a.frame.left == b.frame.left &&
                        a.frame.top == b.frame.top && a.frame.width == b.frame.width &&
                        a.center == b.center && a.stretch == b.stretch)
                << a.name.toStdString();
        }
    };
    select(QStringLiteral("L_Titel"));
    TPrivateLabel* title = f.labelProxy(QStringLiteral("L_Titel"));
    const QFont font = title->font();
    answerNext(false,
               [](QWidget* m) { static_cast<TCaptionDialog*>(m)->setText(QStringLiteral("x")); });
    f.LabelCaptionClick();
    answerNext(false, [](QWidget* m) {
        static_cast<TFramedialog*>(m)->leftBox()->setChecked(true);
        static_cast<TFramedialog*>(m)->lineWidth()->setValue(9);
    });
    f.LabelFrameClick();
    answerNext(false, [](QWidget* m) { static_cast<TAlignDialog*>(m)->setItemIndex(2); });
    f.LabelAlignClick();
    f.setFontChooser([](QWidget*, report::FontSpec& font) {
        font.size = 30;
        return false;
    });
    f.LabelFontClick();
    EXPECT_EQ(title->text(), QStringLiteral("Mengeneinheiten"));
    EXPECT_FALSE(title->frame.left);
    EXPECT_EQ(title->font(), font);

    select(QStringLiteral("I_Logo"));
    answerNext(false, [](QWidget* m) { static_cast<TPictureDialog*>(m)->setFlags(true, false); });
    f.PictureFormatClick();
    EXPECT_TRUE(f.imageProxy(QStringLiteral("I_Logo"))->stretch);
    answerNext(false,
               [](QWidget* m) { static_cast<TFramedialog*>(m)->topBox()->setChecked(true); });
    f.PictureFrameClick();
    answerNext(false,
               [](QWidget* m) { static_cast<TFramedialog*>(m)->topBox()->setChecked(true); });
    f.BandFrameClick(f.bandProxy(QStringLiteral("TitleBand1")));
    answerNext(false,
               [](QWidget* m) { static_cast<TOptionsDialog*>(m)->binList()->setCurrentIndex(9); });
    f.OptionsClick();
    unchanged();
    EXPECT_EQ(PrinterOptions(), (PrinterOptionValues{0, 2, 1}));
}

TEST_F(RepGenTest, AFailedSaveLeavesTheOldLayoutAndSaysSo) {
    writeLayout(QStringLiteral("ORM48001.QFD"), QStringLiteral("FRMTITLE:Alt\r\n"));
    const QByteArray old = printingtest::cp1252(QStringLiteral("FRMTITLE:Alt\r\n"));
    // The layout path is taken by a directory of that name: nothing can replace it.
    layoutPath = QrfdDir + QStringLiteral("ORM48002.QFD");
    QDir().mkpath(layoutPath);
    TF_RepGen& f = open();
    presenter.boxes.clear();
    f.SaveFormLayout();
    EXPECT_EQ(presenter.texts(Kind::Error),
              QStringList{QStringLiteral("Kann Datei\r") + layoutPath +
                          QStringLiteral("\rnicht erstellen!")});
    EXPECT_TRUE(presenter.texts(Kind::Info).isEmpty()) << "no success after a failure";
    EXPECT_TRUE(QFileInfo(layoutPath).isDir());
    // No half-written file is left beside it, and the other layout is untouched.
    EXPECT_EQ(QDir(QrfdDir).entryList(QDir::Files), QStringList{QStringLiteral("ORM48001.QFD")});
    QFile file(QrfdDir + QStringLiteral("ORM48001.QFD"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), old);
}

TEST_F(RepGenTest, ALayoutUnderAnotherCaseIsReplacedNotDoubled) {
    writeLayout(QStringLiteral("orm48001.qfd"), QStringLiteral("FRMTITLE:Alt\r\n"));
    TF_RepGen& f = open();
    f.SaveFormLayout();
    EXPECT_EQ(QDir(QrfdDir).entryList(QDir::Files), QStringList{QStringLiteral("orm48001.qfd")});
    QStringList lines;
    ASSERT_TRUE(LoadLayoutLines(QrfdDir + QStringLiteral("orm48001.qfd"), lines));
    EXPECT_TRUE(lines.contains(QStringLiteral("FRMTITLE:Mengen")));
}

TEST_F(RepGenTest, RasterAndScrollPositionLastFromOneOpeningToTheNext) {
    TF_RepGen& f = open();
    f.rasterField()->setValue(9);
    f.show();
    QTest::qWait(20);
    f.setScrollTop(300);
    EXPECT_EQ(f.scrollTop(), 300);
    f.hide();
    form.reset();

    TF_RepGen& g = open();
    EXPECT_EQ(g.rasterField()->value(), 9);
    g.show();
    for (int i = 0; i < 100 && g.scrollTop() != 300; ++i)
        QTest::qWait(10);
    EXPECT_EQ(g.scrollTop(), 300);
}

} // namespace
