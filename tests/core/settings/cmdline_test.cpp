#include "core/settings/cmdline.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

namespace {

TEST(CommandLine, SwitchesAreComparedTrimmedAndUpperCased) {
    struct Case {
        QStringList parameters;
        const char* wanted;
        bool present;
    } const cases[] = {
        {{QStringLiteral(" +ns ")}, "+NS", true},
        {{QStringLiteral("-x"), QStringLiteral("+NS")}, " +ns", true},
        {{QStringLiteral("+NSX")}, "+NS", false},
        {{QStringLiteral("NS")}, "+NS", false},
        {{QStringLiteral("+n s")}, "+NS", false},
        {{}, "+NS", false},
        {{QStringLiteral("/übung")}, "/ÜBUNG", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParamSwitchPresent(QString::fromUtf8(c.wanted), c.parameters), c.present)
            << c.wanted << " in " << c.parameters.join(u',').toStdString();
}

TEST(CommandLine, TheProgramNameIsNoSwitch) {
    const QString programName = QCoreApplication::arguments().value(0);
    ASSERT_FALSE(programName.isEmpty());
    EXPECT_FALSE(ParamSwitchPresent(programName));
}

TEST(CommandLine, VersionTextOfAFile) {
    const QString unknown = QStringLiteral("?.??[???]");
    EXPECT_EQ(GetFileVersionText(QStringLiteral("/no/such/program")), unknown);
    EXPECT_EQ(GetFileVersionText(QString()), unknown);

    const QString self = QCoreApplication::applicationFilePath();
    const QString saved = QCoreApplication::applicationVersion();
    QCoreApplication::setApplicationVersion(QString());
    EXPECT_EQ(GetFileVersionText(self), unknown);
    QCoreApplication::setApplicationVersion(QStringLiteral("2.40.0.7"));
    EXPECT_EQ(GetFileVersionText(self), QStringLiteral("2.40.0.7"));
    QCoreApplication::setApplicationVersion(saved);
}

} // namespace
