#include "masterdata/emailaddress.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

struct AddressCase {
    const char16_t* text;
    int result;
};

TEST(EmailAddress, FirstFailedTest) {
    const AddressCase cases[] = {
        {u"max.mustermann@beispiel.de", 0},
        {u"  anna_b-2@mail.example.org  ", 0},
        {u"a@b.c.de", 1},         // eight characters
        {u"        a@b.de ", 1},  // trimmed first
        {u"maxmustermann.de", 2}, // no "@"
        {u"max.mustermann@beispielde", 3},
        {u"max.mustermann@beispiel.de,", 4},
        {u"jörg.müller@beispiel.de", 4},
        {u"max mustermann@beispiel.de", 4},
    };
    for (const AddressCase& c : cases)
        EXPECT_EQ(CheckEmailAddress(QString::fromUtf16(c.text)), c.result)
            << QString::fromUtf16(c.text).toStdString();
}

TEST(EmailAddress, ValidOnlyWhenEveryTestPasses) {
    EXPECT_TRUE(IsValidEmail(u"max.mustermann@beispiel.de"_s));
    EXPECT_FALSE(IsValidEmail(QString()));
    EXPECT_FALSE(IsValidEmail(u"max@beispiel"_s));
}

} // namespace
