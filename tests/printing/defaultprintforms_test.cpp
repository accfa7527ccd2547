#include "core/data/clientswitchfixture.h"
#include "core/data/dbhelpers.h"
#include "core/data/layoutfiles.h"
#include "dbstructure/upgrade.h"
#include "platform/report/report.h"
#include "platform/report/reportoutput.h"
#include "printing/defaultprintforms.h"
#include "printing/formlayout.h"
#include "printing/layoutfile.h"
#include "printing/printprotocol.h"
#include "printing/reportentry.h"
#include "printingfixture.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

using Kind = MessagePresenter::Kind;
const QString kImportQuestion = QStringLiteral("Sollen vorhandene Formularnamen ersetzt werden?");

// First starts on a clean program directory, with the test report as the
// program's only report.
class DefaultPrintFormsTest : public datatest::ClientSwitchFixture {
protected:
    void SetUp() override {
        ClientSwitchFixture::SetUp();
        printingtest::registerTestReports();
        m_upgrader = SetDatabaseUpgrader({});
        m_copier = SetTemplateDirsCopier(&CopyTemplateDirs);
        dbstructure::InstallDatabaseUpgrader();
        afterTemplateData = [] { EXPECT_TRUE(EnsureDefaultPrintForms()); };
    }
    void TearDown() override {
        SetDatabaseUpgrader(m_upgrader);
        SetTemplateDirsCopier(m_copier);
        ClientSwitchFixture::TearDown();
    }

    // The user rows of a client's print-form table: id -> file name and comment.
    QMap<int, QStringList> userForms(int mandant) {
        auto db = table::Database::open(GetMandantDataDir(mandant));
        table::Table t(db, QStringLiteral("QrFrmDef.DB"));
        t.open();
        QMap<int, QStringList> rows;
        for (t.first(); !t.eof(); t.next())
            if (!t.value(QStringLiteral("Q_Protect")).toBool())
                rows.insert(t.value(QStringLiteral("QF_ID")).toInt(),
                            {t.value(QStringLiteral("Q_Filename")).toString(),
                             t.value(QStringLiteral("Q_Comment")).toString()});
        return rows;
    }
    QStringList layoutFiles(int mandant) {
        return QDir(GetMandantQrfdDir(mandant)).entryList(QDir::Files, QDir::Name);
    }
    void restart() {
        dm.reset();
        for (const char* alias : {"LumoDB", "AblageDB"})
            table::aliases::remove(QString::fromLatin1(alias));
        MandantNr = 1;
        DbUpgraded = false;
        BuildStartDirs();
        presenter.boxes.clear();
        startUp();
    }

    const QMap<int, QStringList> kShipped{
        {48001, {QStringLiteral("ORM48001.QFD"), QStringLiteral("Mengeneinheiten")}}};

private:
    DatabaseUpgrader m_upgrader;
    TemplateDirsCopier m_copier;
};

TEST_F(DefaultPrintFormsTest, AFirstStartGivesClientOneTheShippedForms) {
    presenter.answers = {false};
    startUp();
    // Only the report that exists has a form: its file and row in the
    // template, and in client 1 through the copy and the import at activation.
    EXPECT_EQ(layoutFiles(0), QStringList{QStringLiteral("ORM48001.QFD")});
    EXPECT_EQ(userForms(0), kShipped);
    EXPECT_EQ(layoutFiles(1), QStringList{QStringLiteral("ORM48001.QFD")});
    EXPECT_EQ(userForms(1), kShipped);
    // The import finds the names as the files have them: nothing to ask.
    EXPECT_TRUE(presenter.boxes.isEmpty()) << presenter.boxes.value(0).text.toStdString();

    // The file is the designed layout under the catalogue name: applied, it
    // changes nothing.
    EXPECT_EQ(ReadLayoutTitle(QStringLiteral("ORM48001.QFD")), QStringLiteral("Mengeneinheiten"));
    const auto designed = report::Report::create(QStringLiteral("TQRMengEHList1"));
    const auto applied = report::Report::create(QStringLiteral("TQRMengEHList1"));
    ApplyFormLayout(applied.get(), LayoutFilePath(48001));
    EXPECT_EQ(WriteFormLayout(*applied, QStringLiteral("x"), {}),
              WriteFormLayout(*designed, QStringLiteral("x"), {}));

    // A later start changes nothing that exists, in the template or the client.
    QFile own(GetMandantQrfdDir(0) + QStringLiteral("ORM48001.QFD"));
    ASSERT_TRUE(own.open(QIODevice::WriteOnly));
    own.write("FRMTITLE:Geändert\r\n");
    own.close();
    restart();
    EXPECT_EQ(readBytes(own.fileName()), QByteArray("FRMTITLE:Geändert\r\n"));
    EXPECT_EQ(userForms(0), kShipped);
    EXPECT_TRUE(presenter.boxes.isEmpty());
}

TEST_F(DefaultPrintFormsTest, AnUpgradeKeepsTheClientsOwnLayouts) {
    presenter.answers = {false};
    startUp();
    // The client renamed its form's file (older systems ignore case) and
    // changed it; its database is of an older version.
    const QString qrfd = GetMandantQrfdDir(1);
    ASSERT_TRUE(QFile::remove(qrfd + QStringLiteral("ORM48001.QFD")));
    writeBytes(qrfd + QStringLiteral("orm48001.qfd"),
               "FRMTITLE:Eigene\r\nL_Titel\r\nCaption=Meine\r\n");
    writeBytes(qrfd + QStringLiteral("ORM48007.QFD"), "FRMTITLE:Zweite\r\n");
    writeBytes(GetMandantDataDir(1) + QStringLiteral("Version.Dat"), "230\r\n");

    presenter.answers = {false};
    restart();
    EXPECT_EQ(layoutFiles(1),
              QStringList({QStringLiteral("ORM48007.QFD"), QStringLiteral("orm48001.qfd")}));
    EXPECT_EQ(readBytes(qrfd + QStringLiteral("orm48001.qfd")),
              QByteArray("FRMTITLE:Eigene\r\nL_Titel\r\nCaption=Meine\r\n"));
    // The import after the upgrade registers the files the client has.
    EXPECT_EQ(presenter.texts(Kind::Question), QStringList{kImportQuestion});
    const QMap<int, QStringList> forms = userForms(1);
    EXPECT_EQ(forms.value(48001), kShipped.value(48001));
    EXPECT_EQ(forms.value(48007),
              QStringList({QStringLiteral("ORM48007.QFD"), QStringLiteral("Zweite")}));
}

TEST_F(DefaultPrintFormsTest, AClientWithoutAFormOfTheTypePrintsTheShippedLayout) {
    presenter.answers = {false};
    startUp();
    // The form was deleted in the manager.
    {
        auto forms = OpenTempTable(QStringLiteral("LumoDB"), QStringLiteral("QrFrmDef.DB"));
        ASSERT_TRUE(forms->findKey({48001}));
        forms->deleteRecord();
    }
    ASSERT_TRUE(QFile::remove(LayoutFilePath(48001)));
    presenter.boxes.clear();

    QStringList printed;
    const ReportOutput previous = SetReportOutput([&](report::Report& rep, bool, QWidget*) {
        const QString pdf = GetMandantDataDir(1) + QStringLiteral("../probe.pdf");
        report::writeReportPdf(rep, pdf);
        printed << rep.component(QStringLiteral("L_Titel")).caption;
        EXPECT_GT(QFileInfo(pdf).size(), 0);
        QFile::remove(pdf);
    });
    PrintFormChoosers choosers;
    choosers.choose = [](int) -> int {
        ADD_FAILURE() << "an empty choice was shown";
        return 0;
    };
    ReportEntryBusy busy;
    RunPrintButton({PrintVariant::A, printingtest::kTestFormType}, choosers,
                   [&](const QString& layout) {
                       RunReportEntry(busy, {printingtest::kTestFormType, true, layout});
                   });
    SetReportOutput(previous);
    EXPECT_EQ(printed, QStringList{QStringLiteral("Mengeneinheiten")});
    EXPECT_TRUE(presenter.boxes.isEmpty());
    EXPECT_TRUE(userForms(1).isEmpty());
    EXPECT_TRUE(layoutFiles(1).isEmpty());
}

} // namespace
