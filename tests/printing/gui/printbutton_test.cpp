#include "core/files/programdirs.h"
#include "platform/errors.h"
#include "printing/gui/printbutton.h"

#include <QPushButton>
#include <gtest/gtest.h>

namespace {

TEST(PrintButtonTest, OneHandlerServesBothButtonsAndReleasesThem) {
    QPushButton print;
    QPushButton preview;
    MarkPreviewButton(&preview);
    EXPECT_FALSE(IsPreviewButton(&print));
    EXPECT_TRUE(IsPreviewButton(&preview));
    preview.setCheckable(true);

    QList<std::pair<bool, QString>> calls;
    const auto entry = [&calls](bool isPreview, const QString& path) {
        calls.append({isPreview, path});
    };
    // A form chosen beforehand (an options window): no table is asked.
    const PrintButton spec{PrintVariant::F, 25000, 25003};
    for (QPushButton* button : {&print, &preview}) {
        button->setDown(true);
        if (button->isCheckable())
            button->setChecked(true);
        PrintButtonClicked(button, spec, {}, entry);
        EXPECT_FALSE(button->isDown());
        EXPECT_FALSE(button->isChecked());
    }
    const QString path = QrfdDir + QStringLiteral("ORM25003.QFD");
    EXPECT_EQ(calls, (QList<std::pair<bool, QString>>{{false, path}, {true, path}}));

    // Released also when the print fails.
    preview.setChecked(true);
    EXPECT_THROW(
        PrintButtonClicked(&preview, spec, {},
                           [](bool, const QString&) { throw DbError(QStringLiteral("x")); }),
        DbError);
    EXPECT_FALSE(preview.isChecked());
}

} // namespace
