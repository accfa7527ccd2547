#pragma once

#include "core/data/clientdbfixture.h"
#include "core/files/programdirs.h"
#include "core/framefixture.h"
#include "platform/report/printersystem.h"
#include "platform/report/reportreader.h"
#include "printing/printingsetup.h"
#include "support/testdirs.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>

namespace printingtest {

// The test report stands for the program's reports: it is of the class of a
// form type (48000 "Mengeneinheiten") and prints the units table.
inline QString testReportDir() {
    return testsupport::sourceDir() + QStringLiteral("/tests/printing/fixtures/reports");
}
inline constexpr int kTestFormType = 48000;

inline void registerTestReports() {
    static const bool done = [] {
        report::addReportDirectory(testReportDir());
        return true;
    }();
    Q_UNUSED(done);
}

// A printer list of the test's choosing.
class FakePrinters : public report::PrinterSystem {
public:
    FakePrinters(QStringList names, QString current)
        : m_names(std::move(names)), m_current(std::move(current)) {}
    QStringList printerNames() override { return m_names; }
    QString currentPrinter() override { return m_current; }
    std::unique_ptr<QPrinter> openPrinter(const report::PrinterRequest&) override {
        return nullptr;
    }
    bool setupPrinter(QWidget*, report::PrintSettings&) override { return false; }

private:
    QStringList m_names;
    QString m_current;
};

inline QByteArray cp1252(const QString& text) {
    QStringEncoder encode("windows-1252");
    return encode(text);
}

// The test reports, a recording presenter and two printers, "Laser" current.
class ReportFixture : public ::testing::Test {
protected:
    void SetUp() override {
        registerTestReports();
        m_previousPresenter = SetMessagePresenter(&presenter);
        report::setPrinterSystem(std::make_unique<FakePrinters>(
            QStringList{QStringLiteral("Tinte"), QStringLiteral("Laser")},
            QStringLiteral("Laser")));
    }
    void TearDown() override {
        report::setPrinterSystem(nullptr);
        SetMessagePresenter(m_previousPresenter);
    }

    QTemporaryDir dir;
    frametest::RecordingPresenter presenter;

private:
    MessagePresenter* m_previousPresenter = nullptr;
};

// Which reports a printing test prints with: the test reports, or the
// program's own (the two share a class name: a process takes one of them).
enum class ReportsOf { Tests, Program };

// A client database with the layout directory in the test's directory, the
// test reports (or the program's) registered and two printers, "Laser"
// current.
class PrintingDbFixture : public datatest::ClientDbFixture {
protected:
    explicit PrintingDbFixture(ReportsOf reports = ReportsOf::Tests) : m_reports(reports) {}
    void SetUp() override {
        ClientDbFixture::SetUp();
        if (m_reports == ReportsOf::Tests)
            registerTestReports();
        else
            InitPrinting();
        m_savedQrfd = QrfdDir;
        QrfdDir = path(QStringLiteral("QRFD0001/"));
        QDir().mkpath(QrfdDir);
        report::setPrinterSystem(std::make_unique<FakePrinters>(
            QStringList{QStringLiteral("Tinte"), QStringLiteral("Laser")},
            QStringLiteral("Laser")));
    }
    void TearDown() override {
        report::setPrinterSystem(nullptr);
        QrfdDir = m_savedQrfd;
        ClientDbFixture::TearDown();
    }

    void writeLayout(const QString& name, const QString& text) {
        QFile file(QrfdDir + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(cp1252(text));
    }
    void addForm(int id, int type, const QString& comment, const QVariant& protect = false) {
        addRow(QStringLiteral("QrFrmDef.DB"), {{QStringLiteral("QF_ID"), id},
                                               {QStringLiteral("Q_FormType"), type},
                                               {QStringLiteral("Q_Protect"), protect},
                                               {QStringLiteral("Q_Comment"), comment}});
    }

private:
    ReportsOf m_reports;
    QString m_savedQrfd;
};

} // namespace printingtest
