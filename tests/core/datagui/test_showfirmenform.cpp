#include "core/data/clientdbfixture.h"
#include "core/data/datamodule.h"
#include "core/datagui/f_firmen.h"
#include "core/datagui/logoimage.h"
#include "platform/table/table.h"
#include "platform/widgets/fieldform.h"

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTimer>

namespace {

class ShowFirmenFormTest : public datatest::ClientDbFixture {
protected:
    void SetUp() override {
        ClientDbFixture::SetUp();
        dm = std::make_unique<TDataModule1>();
        dm->DataModuleCreate();
    }
    void TearDown() override {
        dm.reset();
        ClientDbFixture::TearDown();
    }
    std::unique_ptr<TDataModule1> dm;
};

TEST_F(ShowFirmenFormTest, TheFormShowsTheCompanyAndLeavesTheModuleAsItFoundIt) {
    QImage logo(12, 7, QImage::Format_RGB32);
    logo.fill(Qt::red);
    QByteArray bmp;
    QBuffer buffer(&bmp);
    buffer.open(QIODevice::WriteOnly);
    logo.save(&buffer, "BMP");
    table::Table& firmen = dm->TabFirmen();
    ASSERT_TRUE(firmen.isOpen());
    firmen.first();
    firmen.edit();
    firmen[QStringLiteral("F_Name1")] = QStringLiteral("Glanz & Co. GmbH");
    firmen[QStringLiteral("F_Logo")] = bmp;
    firmen.post();
    QImage loaded;
    EXPECT_TRUE(LoadFirmenLogo(loaded));
    EXPECT_EQ(loaded.size(), QSize(12, 7));

    const bool bankenWasOpen = dm->TabBanken().isOpen();
    struct {
        bool seen = false;
        bool timerWork = true;
        QString page, name1;
        bool logoShown = false;
    } shown;
    QTimer::singleShot(0, [&] {
        auto* form = qobject_cast<TF_Firmen*>(QApplication::activeModalWidget());
        if (!form)
            return;
        shown.seen = true;
        shown.timerWork = dm->IsTimerWorkEnabled();
        shown.page = form->fields().pages()->tabText(form->fields().pages()->currentIndex());
        shown.name1 = form->fields().editorAs<QLineEdit>(QStringLiteral("F_Name1"))->text();
        shown.logoShown = !form->logo()->pixmap().isNull();
        form->reject();
    });
    ShowFirmenForm(*dm, nullptr);
    ASSERT_TRUE(shown.seen);
    EXPECT_FALSE(shown.timerWork);
    EXPECT_EQ(shown.page, QStringLiteral("&Grunddaten"));
    EXPECT_EQ(shown.name1, QStringLiteral("Glanz & Co. GmbH"));
    EXPECT_TRUE(shown.logoShown);
    EXPECT_TRUE(dm->IsTimerWorkEnabled());
    EXPECT_TRUE(firmen.isOpen());
    EXPECT_EQ(dm->TabBanken().isOpen(), bankenWasOpen);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

} // namespace
