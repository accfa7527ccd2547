#include "core/framefixture.h"
#include "platform/report/report.h"
#include "printing/companylogo.h"
#include "printing/formlayout.h"
#include "printing/printeroptions.h"
#include "printingfixture.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using Kind = MessagePresenter::Kind;

// The test report with a layout directory and two printers, "Laser" current.
class FormLayoutTest : public printingtest::ReportFixture {
protected:
    void SetUp() override {
        ReportFixture::SetUp();
        rep = report::Report::create(QStringLiteral("TQRMengEHList1"));
        // A bin the design chose never survives the application.
        rep->printSettings().bin = 7;
        rep->printSettings().printerIndex = 0;
    }
    QString file(const QString& name, const QByteArray& bytes) {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    const report::Component& c(const char* name) {
        return rep->component(QString::fromLatin1(name));
    }

    std::unique_ptr<report::Report> rep;
};

TEST_F(FormLayoutTest, ALayoutChangesTheReportAndChoosesPrinterAndBin) {
    PrinterOptions() = {1, 3, 3};
    const QString path =
        file(QStringLiteral("orm48001.qfd"), "OPTIONS:PRINDEX=0;OBINFIRST=4;OBINNEXT=6;\r\n"
                                             "FormBorderleft=38\r\n"
                                             "ColumnHeaderBand1\r\n"
                                             "Enabled=false\r\n"
                                             "----\r\n"
                                             "L_Titel\r\n"
                                             "Caption=Einheiten\r\n"
                                             "----\r\n");
    // The name is found without regard to case.
    ApplyFormLayout(rep.get(), dir.filePath(QStringLiteral("ORM48001.QFD")));
    EXPECT_TRUE(presenter.boxes.isEmpty());
    EXPECT_EQ(PrinterOptions(), (PrinterOptionValues{0, 4, 6}));
    EXPECT_EQ(rep->printSettings().printerIndex, 0);
    EXPECT_EQ(rep->printSettings().bin, 4);
    EXPECT_FALSE(c("ColumnHeaderBand1").enabled);
    EXPECT_EQ(c("L_Titel").caption, QStringLiteral("Einheiten"));
    EXPECT_DOUBLE_EQ(rep->def().marginLeft, 10);
    Q_UNUSED(path);
}

TEST_F(FormLayoutTest, PrinterIndexOutsideTheListPrintsOnTheCurrentPrinter) {
    const struct {
        const char* options;
        int printer;
        int bin;
    } cases[] = {{"OPTIONS:PRINDEX=3;OBINFIRST=2;", 1, 2},
                 {"OPTIONS:PRINDEX=-1;", 1, 0},
                 {"OPTIONS:PRINDEX=1;OBINFIRST=13;", 1, 13},
                 {"OPTIONS:PRINDEX=0;OBINFIRST=14;", 0, 0},
                 {"", 1, 0}};
    for (const auto& t : cases) {
        SCOPED_TRACE(t.options);
        rep = report::Report::create(QStringLiteral("TQRMengEHList1"));
        ApplyFormLayout(rep.get(), file(QStringLiteral("ORM48002.QFD"), t.options));
        EXPECT_EQ(rep->printSettings().printerIndex, t.printer);
        EXPECT_EQ(rep->printSettings().bin, t.bin);
    }
    EXPECT_TRUE(presenter.boxes.isEmpty()); // an empty file is no missing one
}

TEST_F(FormLayoutTest, MissingOrBrokenFilesKeepTheDesignAfterTheBox) {
    QByteArray huge(5 * 1024 * 1024, 'x');
    const QString cases[] = {
        dir.filePath(QStringLiteral("ORM00000.QFD")),
        file(QStringLiteral("ORM48003.QFD"), QByteArray("L_Titel\r\nCaption=\0x\r\n", 21)),
        file(QStringLiteral("ORM48004.QFD"), "L_Titel\r\nCaption=\x01\x02\x03\r\n"),
        file(QStringLiteral("ORM48005.QFD"), QByteArray("L_Titel\r\nCaption=x\r\n") + huge),
    };
    for (const QString& path : cases) {
        SCOPED_TRACE(path.toStdString());
        presenter.boxes.clear();
        PrinterOptions() = {1, 5, 5};
        rep = report::Report::create(QStringLiteral("TQRMengEHList1"));
        ApplyFormLayout(rep.get(), path);
        ASSERT_EQ(presenter.boxes.size(), 1);
        EXPECT_EQ(presenter.boxes[0].kind, Kind::Info);
        EXPECT_EQ(presenter.boxes[0].text,
                  QStringLiteral("Formularlayout konnte nicht aus\r") + path +
                      QStringLiteral("\rgeladen werden!\rVoreinstellungen werden verwendet"));
        EXPECT_EQ(c("L_Titel").caption, QStringLiteral("Mengeneinheiten"));
        EXPECT_EQ(PrinterOptions(), PrinterOptionValues{});
        EXPECT_EQ(rep->printSettings().printerIndex, 1);
        EXPECT_EQ(rep->printSettings().bin, 0);
    }
}

TEST_F(FormLayoutTest, ShippedLayoutAndNullReport) {
    // The shipped layout is the designed one: no file, no box.
    PrinterOptions() = {0, 5, 5};
    ApplyFormLayout(rep.get(), QString());
    EXPECT_TRUE(presenter.boxes.isEmpty());
    EXPECT_EQ(rep->printSettings().printerIndex, 1);
    EXPECT_EQ(rep->printSettings().bin, 0);
    // Without a report only the options are reset.
    PrinterOptions() = {0, 5, 5};
    ApplyFormLayout(nullptr, dir.filePath(QStringLiteral("fehlt.QFD")));
    EXPECT_EQ(PrinterOptions(), PrinterOptionValues{});
    EXPECT_TRUE(presenter.boxes.isEmpty());
}

TEST_F(FormLayoutTest, SwitchPageBinChangesNothing) {
    ApplyFormLayout(rep.get(), file(QStringLiteral("ORM48006.QFD"),
                                    "OPTIONS:PRINDEX=0;OBINFIRST=2;OBINNEXT=5;\r\n"));
    for (int page : {0, 1, 2, 7}) {
        SwitchPageBin(*rep, page);
        EXPECT_EQ(rep->printSettings().bin, 2);
        EXPECT_EQ(rep->printSettings().printerIndex, 0);
        EXPECT_EQ(PrinterOptions(), (PrinterOptionValues{0, 2, 5}));
    }
}

} // namespace

namespace {

TEST_F(FormLayoutTest, TheCompanyLogoPrintsOnlyWhenThereIsOne) {
    QImage logo(4, 2, QImage::Format_RGB32);
    logo.fill(Qt::red);
    SetFirmenLogoLoader([&logo](QImage& picture) {
        picture = logo;
        return !picture.isNull();
    });
    ApplyFirmenLogo(*rep, QStringLiteral("I_Logo"));
    EXPECT_EQ(c("I_Logo").picture, logo);
    // Switched off in the design: a logo does not switch it on.
    EXPECT_FALSE(c("I_Logo").enabled);

    rep->component(QStringLiteral("I_Logo")).enabled = true;
    logo = QImage();
    ApplyFirmenLogo(*rep, QStringLiteral("I_Logo"));
    EXPECT_FALSE(c("I_Logo").enabled);
    SetFirmenLogoLoader({});
    rep->component(QStringLiteral("I_Logo")).enabled = true;
    ApplyFirmenLogo(*rep, QStringLiteral("I_Logo"));
    EXPECT_FALSE(c("I_Logo").enabled);
}

} // namespace
