#include "datasafety/datev/datevfixture.h"
#include "support/testdirs.h"

#include <QDir>

using namespace Qt::StringLiterals;

namespace {

// One whole run in each format against files worked out from the record
// tables by golden/make_golden.py, not by the program's writer.
class DatevGolden : public datevtest::DatevFixture, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        DatevFixture::SetUp();
        journal(1, 0, u"RE-1"_s, 100, 0, 100.0, 0);
        journal(2, 2, u"GS-2"_s, 100, 0, 119.0, 0);
        journal(3, 0, u"RE-3"_s, 100, 0, 100.0, 50.0);
        addRow(u"Personal.DB"_s, {{u"P_ID"_s, 1}, {u"P_Nr"_s, 17}, {u"P_OptLohnexport"_s, true}});
        addRow(u"Zeitsum.DB"_s, {{u"ZS_ID"_s, 1},
                                 {u"ZS_PersNo"_s, 17},
                                 {u"ZS_Monat"_s, 3},
                                 {u"ZS_Jahr"_s, 2004},
                                 {u"ZS_StdUeb1"_s, 8.5}});
        setting(u"E_DatevDoDebitoren"_s, true);
        setting(u"E_DatevDoKreditoren"_s, true);
        setting(u"E_DatevDoLohn"_s, true);
        setting(u"E_Datev_Format"_s, GetParam());
    }
};

TEST_P(DatevGolden, EveryFileMatchesTheWorkedOutBytes) {
    ASSERT_TRUE(run()) << errors().join(u'\n').toStdString();
    const QDir golden(testsupport::sourceDir() + u"/tests/datasafety/datev/golden/"_s +
                      (GetParam() == 0 ? u"obe"_s : u"kne"_s));
    const QStringList expected = golden.entryList(QDir::Files, QDir::Name);
    ASSERT_EQ(expected.size(), 5);
    EXPECT_EQ(files(), expected);
    for (const QString& name : expected) {
        SCOPED_TRACE(name.toStdString());
        QFile f(golden.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray want = f.readAll();
        const QByteArray got = file(name);
        EXPECT_EQ(got.toHex(' ').toStdString(), want.toHex(' ').toStdString());
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, DatevGolden, ::testing::Values(0, 1));

} // namespace
