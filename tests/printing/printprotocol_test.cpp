#include "core/data/layoutfiles.h"
#include "printing/printprotocol.h"
#include "printingfixture.h"

#include <gtest/gtest.h>

namespace {

using K = PrintLayout::Kind;
using V = PrintVariant;

class PrintProtocolTest : public printingtest::PrintingDbFixture {
protected:
    void SetUp() override {
        PrintingDbFixture::SetUp();
        for (const int id : {18001, 18002, 22001, 22101, 79001, 80001, 12001, 12003, 10001, 10004,
                             26001, 26002, 25001, 35001})
            addForm(id, id / 100 * 100, QStringLiteral("Benutzer"));
    }
};

TEST_F(PrintProtocolTest, VariantsTakeAndTestTheirFormIds) {
    const struct {
        V variant;
        int type;
        int stored;
        bool printRun;
        int chosen; // -1: no choice may be shown
        K kind;
        int id;
    } cases[] = {
        {V::A, 18000, 0, false, 18002, K::Form, 18002},
        {V::A, 18000, 0, false, 0, K::None, 0},     // cancelled
        {V::A, 22100, 0, false, 22001, K::None, 0}, // of the group, not of the type
        {V::A, 22100, 0, false, 22101, K::Form, 22101},
        {V::A, 45000, 0, false, -1, K::Shipped, 0}, // the client has no form of the type
        {V::A2, 18000, 0, false, 18001, K::Form, 18001},
        {V::A2, 18000, 0, false, 0, K::None, 0},
        {V::A2, 45000, 0, false, -1, K::Shipped, 0},
        {V::C, 79000, 0, false, 79001, K::Form, 79001},
        {V::C, 79000, 0, false, 79005, K::None, 0}, // no such form
        {V::C, 79000, 0, false, 0, K::None, 0},
        {V::G, 80000, 0, false, 80001, K::Form, 80001},
        {V::G, 80000, 0, false, 0, K::None, 0},
        {V::G, 45000, 0, false, -1, K::Shipped, 0},
        {V::D, 12000, 12003, false, -1, K::Form, 12003},
        {V::D, 12000, 10001, false, 12001, K::Form, 12001}, // stored one of another type
        {V::D, 12000, 0, false, 0, K::None, 0},
        {V::D, 12000, 0, false, 10001, K::None, 0},
        {V::D, 13000, 0, false, -1, K::Shipped, 0},
        {V::D2, 10000, 10004, false, -1, K::Form, 10004},
        {V::D2, 10000, 12001, false, -1, K::Form, 10001}, // the first user form
        {V::D2, 14000, 0, false, -1, K::Shipped, 0},
        {V::E, 26000, 26002, true, -1, K::Form, 26002},
        {V::E, 26000, 26009, true, -1, K::Form, 26001}, // stored form gone: the first
        {V::E, 27000, 0, true, -1, K::Shipped, 0},
        {V::E, 26000, 0, false, 26002, K::Form, 26002},
        {V::E, 26000, 0, false, 0, K::None, 0},
        {V::E, 27000, 0, false, -1, K::Shipped, 0},
        {V::F, 25000, 25001, false, -1, K::Form, 25001},
        {V::F, 25000, 35001, false, -1, K::None, 0},
        {V::F, 25000, 0, false, -1, K::None, 0},
        {V::F, 41000, 0, false, -1, K::Shipped, 0},
    };
    int index = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(index++);
        int asked = 0;
        int askedForField = 0;
        PrintFormChoosers choosers;
        choosers.choose = [&](int type) {
            EXPECT_EQ(type, c.type);
            ++asked;
            return c.chosen;
        };
        choosers.chooseForField = [&](int type) {
            EXPECT_EQ(type, c.type);
            ++askedForField;
            return c.chosen;
        };
        const PrintLayout layout =
            ResolvePrintLayout({c.variant, c.type, c.stored, c.printRun}, choosers);
        EXPECT_EQ(layout.kind, c.kind);
        EXPECT_EQ(layout.formId, c.id);
        const bool fieldChoice = c.variant == V::A2 || c.variant == V::D;
        EXPECT_EQ(asked, c.chosen >= 0 && !fieldChoice ? 1 : 0);
        EXPECT_EQ(askedForField, c.chosen >= 0 && fieldChoice ? 1 : 0);
    }
}

TEST_F(PrintProtocolTest, TheEntryGetsTheLayoutPathOrNothing) {
    QStringList calls;
    const auto entry = [&calls](const QString& path) { calls << path; };
    PrintFormChoosers choosers;
    choosers.choose = [](int) { return 18002; };
    RunPrintButton({V::A, 18000}, choosers, entry);
    RunPrintButton({V::A, 45000}, choosers, entry);
    choosers.choose = [](int) { return 0; };
    RunPrintButton({V::A, 18000}, choosers, entry);
    EXPECT_EQ(calls, QStringList({LayoutFilePath(18002), QString()}));
    EXPECT_EQ(calls[0], QrfdDir + QStringLiteral("ORM18002.QFD"));
}

TEST_F(PrintProtocolTest, DocumentsOfARunUseTheirOwnFormWhenOfTheType) {
    const PrintLayout run = PrintLayout::form(12001);
    EXPECT_EQ(DocumentPrintLayout(12003, 12000, run).formId, 12003);
    EXPECT_EQ(DocumentPrintLayout(10001, 12000, run).formId, 12001);
    EXPECT_EQ(DocumentPrintLayout(0, 12000, run).formId, 12001);
}

} // namespace
