#include "designerfixture.h"
#include "platform/report/reportdef.h"
#include "printing/gui/aligndialog.h"
#include "printing/gui/captiondialog.h"
#include "printing/gui/framedialog.h"
#include "printing/gui/optionsdialog.h"
#include "printing/gui/picturedialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <gtest/gtest.h>

namespace {

class DesignerDialogsTest : public printingtest::DesignerFixture {};

using printingtest::answerNext;

TEST_F(DesignerDialogsTest, FrameDialogEditsSidesWidthAndColourButNotTheStyle) {
    TFramedialog dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Rahmeneinstellungen"));
    report::FrameSpec frame;
    frame.left = true;
    frame.bottom = true;
    frame.width = 3;
    frame.color = QColor(10, 20, 30);
    frame.style = report::psDot;
    dialog.setFrame(frame);
    EXPECT_TRUE(dialog.leftBox()->isChecked());
    EXPECT_FALSE(dialog.topBox()->isChecked());
    EXPECT_TRUE(dialog.bottomBox()->isChecked());
    EXPECT_EQ(dialog.lineWidth()->value(), 3);

    // The up-down control keeps the width within 0 and 16.
    dialog.lineWidth()->setValue(0);
    dialog.lineWidth()->stepDown();
    EXPECT_EQ(dialog.lineWidth()->value(), 0);
    dialog.lineWidth()->setValue(16);
    dialog.lineWidth()->stepUp();
    EXPECT_EQ(dialog.lineWidth()->value(), 16);

    dialog.setColorChooser([](QWidget*, QColor& color) {
        color = QColor(200, 0, 0);
        return true;
    });
    answerNext(true, [](QWidget* modal) {
        auto* d = static_cast<TFramedialog*>(modal);
        EXPECT_EQ(d->focusWidget(), d->okButton());
        d->rightBox()->setChecked(true);
        d->leftBox()->setChecked(false);
        d->ColorClick();
    });
    ASSERT_TRUE(dialog.ExecuteAt(30, 40));
    EXPECT_EQ(dialog.pos(), QPoint(30, 40));
    dialog.readFrame(frame);
    EXPECT_FALSE(frame.left);
    EXPECT_TRUE(frame.right);
    EXPECT_EQ(frame.width, 16);
    EXPECT_EQ(frame.color, QColor(200, 0, 0));
    EXPECT_EQ(frame.style, report::psDot);

    // A cancelled colour dialog keeps the colour; a cancelled dialog says so.
    dialog.setColorChooser([](QWidget*, QColor& color) {
        color = Qt::blue;
        return false;
    });
    dialog.ColorClick();
    EXPECT_EQ(dialog.color(), QColor(200, 0, 0));
    answerNext(false);
    EXPECT_FALSE(dialog.ExecuteAt(0, 0));
}

TEST_F(DesignerDialogsTest, CaptionDialogAndInputText) {
    TCaptionDialog dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Beschriftung"));
    dialog.setText(QStringLiteral("Alt"));
    answerNext(true, [](QWidget* modal) {
        auto* d = static_cast<TCaptionDialog*>(modal);
        EXPECT_EQ(d->focusWidget(), d->EditCaption());
        d->EditCaption()->setText(QStringLiteral("Neu"));
    });
    ASSERT_TRUE(dialog.ExecuteAt(5, 6));
    EXPECT_EQ(dialog.text(), QStringLiteral("Neu"));

    QString text = QStringLiteral("R-2024-001");
    answerNext(true, [](QWidget* modal) {
        EXPECT_EQ(modal->windowTitle(), QStringLiteral("Belegnummer ändern"));
        EXPECT_EQ(modal->pos(), QPoint(100, 120));
        EXPECT_EQ(modal->width(), 420);
        static_cast<TCaptionDialog*>(modal)->EditCaption()->setText(QStringLiteral("R-2024-002"));
    });
    EXPECT_TRUE(InputText(text, QStringLiteral("Belegnummer ändern"), 100, 120, 420));
    EXPECT_EQ(text, QStringLiteral("R-2024-002"));

    answerNext(false, [](QWidget* modal) {
        static_cast<TCaptionDialog*>(modal)->EditCaption()->setText(QStringLiteral("verworfen"));
    });
    EXPECT_FALSE(InputText(text, QStringLiteral("Belegnummer ändern"), 100, 120, 420));
    EXPECT_EQ(text, QStringLiteral("R-2024-002"));
}

TEST_F(DesignerDialogsTest, PictureAndAlignmentDialogs) {
    TPictureDialog picture;
    EXPECT_EQ(picture.windowTitle(), QStringLiteral("Bild formatieren"));
    picture.setFlags(true, false);
    answerNext(true, [](QWidget* modal) {
        auto* d = static_cast<TPictureDialog*>(modal);
        EXPECT_EQ(d->centerBox()->text(), QStringLiteral("Bild zentrieren"));
        EXPECT_EQ(d->stretchBox()->text(), QStringLiteral("Bildgröße anpassen"));
        d->stretchBox()->setChecked(true);
    });
    ASSERT_TRUE(picture.ExecuteAt(0, 0));
    EXPECT_TRUE(picture.center());
    EXPECT_TRUE(picture.stretch());

    TAlignDialog align;
    EXPECT_EQ(align.windowTitle(), QStringLiteral("Ausrichtung"));
    QStringList captions;
    for (QAbstractButton* b : align.items()->buttons())
        captions << b->text();
    EXPECT_EQ(captions, (QStringList{QStringLiteral("Linksbündig"), QStringLiteral("Rechtsbündig"),
                                     QStringLiteral("Zentriert")}));
    align.setItemIndex(int(report::Alignment::Right));
    answerNext(true, [](QWidget* modal) {
        auto* d = static_cast<TAlignDialog*>(modal);
        EXPECT_EQ(d->focusWidget(), d->okButton());
        d->items()->button(2)->setChecked(true);
    });
    ASSERT_TRUE(align.ExecuteAt(0, 0));
    EXPECT_EQ(align.itemIndex(), int(report::Alignment::Center));
}

TEST_F(DesignerDialogsTest, OptionsDialogOverTheSystemPrinters) {
    TOptionsDialog dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Optionen einstellen"));
    PrinterOptions() = {1, 3, 7};
    answerNext(true, [](QWidget* modal) {
        auto* d = static_cast<TOptionsDialog*>(modal);
        EXPECT_EQ(d->focusWidget(), d->printerList());
        QStringList printers;
        for (int i = 0; i < d->printerList()->count(); ++i)
            printers << d->printerList()->itemText(i);
        EXPECT_EQ(printers, (QStringList{QStringLiteral("Tinte"), QStringLiteral("Laser"),
                                         QStringLiteral("Standard-Drucker")}));
        EXPECT_EQ(d->printerList()->currentText(), QStringLiteral("Laser"));
        ASSERT_EQ(d->binList()->count(), 14);
        EXPECT_EQ(d->binList()->itemText(0), QStringLiteral("Erstes Fach"));
        EXPECT_EQ(d->binList()->itemText(10), QStringLiteral("Groß-Format,"));
        EXPECT_EQ(d->binList()->itemText(11), QStringLiteral("Übergröße,"));
        EXPECT_EQ(d->binList()->itemText(13), QStringLiteral("Letztes Fach"));
        EXPECT_EQ(d->binList()->currentIndex(), 3);
        // The bin of the following pages is kept but not offered.
        EXPECT_FALSE(d->nextBinList()->isVisible());
        EXPECT_FALSE(d->nextBinLabel()->isVisible());
        d->printerList()->setCurrentIndex(2);
        d->binList()->setCurrentIndex(12);
    });
    ASSERT_TRUE(dialog.ExecuteAt(400, 100));
    EXPECT_EQ(PrinterOptions(), (PrinterOptionValues{-1, 12, 7}));

    // An index beyond the printers opens on "Standard-Drucker"; cancel keeps all.
    PrinterOptions() = {5, 2, 0};
    answerNext(false, [](QWidget* modal) {
        auto* d = static_cast<TOptionsDialog*>(modal);
        EXPECT_EQ(d->printerList()->currentText(), QStringLiteral("Standard-Drucker"));
        d->printerList()->setCurrentIndex(0);
        d->binList()->setCurrentIndex(9);
    });
    EXPECT_FALSE(dialog.ExecuteAt(400, 100));
    EXPECT_EQ(PrinterOptions(), (PrinterOptionValues{5, 2, 0}));

    answerNext(true, [](QWidget* modal) {
        static_cast<TOptionsDialog*>(modal)->printerList()->setCurrentIndex(0);
    });
    ASSERT_TRUE(dialog.ExecuteAt(400, 100));
    EXPECT_EQ(PrinterOptions(), (PrinterOptionValues{0, 2, 0}));
}

} // namespace
