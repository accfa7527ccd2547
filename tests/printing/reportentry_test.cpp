#include "core/framefixture.h"
#include "platform/errors.h"
#include "platform/report/report.h"
#include "printing/reportentry.h"
#include "printingfixture.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// A printer list that fails, to interrupt the layout step.
class BrokenPrinters : public printingtest::FakePrinters {
public:
    BrokenPrinters() : FakePrinters({}, {}) {}
    QStringList printerNames() override { throw DbError(QStringLiteral("Drucker kaputt")); }
};

class ReportEntryTest : public printingtest::ReportFixture {
public:
    void SetUp() override {
        ReportFixture::SetUp();
        savedLog = LogFileName;
        LogFileName = dir.filePath(QStringLiteral("Syslog.txt"));
        previousOutput = SetReportOutput([this](report::Report& rep, bool preview, QWidget*) {
            steps << (preview ? QStringLiteral("preview ") : QStringLiteral("print ")) +
                         rep.component(QStringLiteral("L_Titel")).caption;
            if (onOutput)
                onOutput();
        });
        layout = dir.filePath(QStringLiteral("ORM48001.QFD"));
        QFile f(layout);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("L_Titel\r\nCaption=Einheiten\r\n");
    }
    void TearDown() override {
        SetReportOutput(previousOutput);
        LogFileName = savedLog;
        ReportFixture::TearDown();
    }

    ReportEntryCall call(bool preview = true) {
        ReportEntryCall c;
        c.formType = printingtest::kTestFormType;
        c.preview = preview;
        c.layoutFile = layout;
        c.prepare = [this](report::Report& rep) {
            steps << QStringLiteral("prepare ") + rep.component(QStringLiteral("L_Titel")).caption;
            if (failPrepare)
                throw DbError(QStringLiteral("Vorbereitung"));
        };
        c.cleanup = [this] { steps << QStringLiteral("cleanup"); };
        return c;
    }

    QString savedLog;
    QString layout;
    ReportOutput previousOutput;
    std::function<void()> onOutput;
    bool failPrepare = false;
    QStringList steps;
    ReportEntryBusy busy;
};

TEST_F(ReportEntryTest, RunsTheStepsInOrderOnAFreshReport) {
    EXPECT_TRUE(RunReportEntry(busy, call(true)));
    EXPECT_TRUE(RunReportEntry(busy, call(false)));
    EXPECT_EQ(steps,
              QStringList({QStringLiteral("prepare Einheiten"), QStringLiteral("preview Einheiten"),
                           QStringLiteral("cleanup"), QStringLiteral("prepare Einheiten"),
                           QStringLiteral("print Einheiten"), QStringLiteral("cleanup")}));
    EXPECT_FALSE(busy.isBusy());
}

// The step before the layout sees the report as designed; what it sets the
// layout may change again, and an error there cleans up as any other.
TEST_F(ReportEntryTest, TheStepBeforeTheLayoutSeesTheDesign) {
    ReportEntryCall c = call();
    c.beforeLayout = [this](report::Report& rep) {
        steps << QStringLiteral("before ") + rep.component(QStringLiteral("L_Titel")).caption;
        rep.component(QStringLiteral("L_Titel")).caption = QStringLiteral("Vorher");
    };
    EXPECT_TRUE(RunReportEntry(busy, c));
    ASSERT_EQ(steps.size(), 4);
    EXPECT_NE(steps[0], QStringLiteral("before Einheiten")) << "before the layout";
    EXPECT_EQ(steps.mid(1),
              QStringList({QStringLiteral("prepare Einheiten"), QStringLiteral("preview Einheiten"),
                           QStringLiteral("cleanup")}));

    steps.clear();
    c.beforeLayout = [](report::Report&) { throw DbError(QStringLiteral("Vorher")); };
    EXPECT_THROW(RunReportEntry(busy, c), DbError);
    EXPECT_EQ(steps, QStringList{QStringLiteral("cleanup")});
    EXPECT_FALSE(busy.isBusy());
}

TEST_F(ReportEntryTest, ASecondCallWhileTheReportIsOpenDoesNothing) {
    bool inner = true;
    onOutput = [&] {
        EXPECT_TRUE(busy.isBusy());
        inner = RunReportEntry(busy, call());
    };
    EXPECT_TRUE(RunReportEntry(busy, call()));
    EXPECT_FALSE(inner);
    EXPECT_EQ(steps.count(QStringLiteral("cleanup")), 1);
    EXPECT_EQ(steps.size(), 3);
    EXPECT_FALSE(busy.isBusy());
    // Another entry has a flag of its own.
    ReportEntryBusy other;
    onOutput = [&] { inner = RunReportEntry(other, call()); };
    steps.clear();
    EXPECT_TRUE(RunReportEntry(busy, call()));
    EXPECT_TRUE(inner);
}

TEST_F(ReportEntryTest, AnErrorAtAnyStepCleansUpAndReachesTheCaller) {
    const struct {
        const char* step;
        std::function<void(ReportEntryTest&, ReportEntryCall&)> arrange;
        QString message;
    } cases[] = {
        {"create", [](ReportEntryTest&, ReportEntryCall& c) { c.formType = 45000; },
         QStringLiteral("Der Bericht TQRBankList1 ist nicht definiert.")},
        {"no report class", [](ReportEntryTest&, ReportEntryCall& c) { c.formType = 77000; },
         QStringLiteral("Für das Formular 77000 gibt es keinen Bericht.")},
        {"layout",
         [](ReportEntryTest&, ReportEntryCall&) {
             report::setPrinterSystem(std::make_unique<BrokenPrinters>());
         },
         QStringLiteral("Drucker kaputt")},
        {"prepare", [](ReportEntryTest& t, ReportEntryCall&) { t.failPrepare = true; },
         QStringLiteral("Vorbereitung")},
        {"output",
         [](ReportEntryTest& t, ReportEntryCall&) {
             t.onOutput = [] { throw DbError(QStringLiteral("Vorschau")); };
         },
         QStringLiteral("Vorschau")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.step);
        steps.clear();
        failPrepare = false;
        onOutput = {};
        report::setPrinterSystem(std::make_unique<printingtest::FakePrinters>(
            QStringList{QStringLiteral("Laser")}, QStringLiteral("Laser")));
        ReportEntryCall entry = call();
        c.arrange(*this, entry);
        try {
            RunReportEntry(busy, entry);
            ADD_FAILURE() << "no error";
        } catch (const DbError& e) {
            EXPECT_EQ(e.message(), c.message);
        }
        EXPECT_EQ(steps.count(QStringLiteral("cleanup")), 1);
        EXPECT_FALSE(busy.isBusy());
    }
    // A failing clean-up after an error leaves the first error to the caller.
    ReportEntryCall entry = call();
    failPrepare = true;
    entry.cleanup = [] { throw DbError(QStringLiteral("Aufräumen")); };
    EXPECT_THROW(
        {
            try {
                RunReportEntry(busy, entry);
            } catch (const DbError& e) {
                EXPECT_EQ(e.message(), QStringLiteral("Vorbereitung"));
                throw;
            }
        },
        DbError);
    EXPECT_FALSE(busy.isBusy());
}

} // namespace
