#include "documentprintfixture.h"
#include "printing/documentforms.h"
#include "printing/documentprints.h"

#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;
using docprint::DocumentPrintFixture;

class DocumentPrints : public DocumentPrintFixture {};

// Every form reads every table pair it may be given: the definitions bind
// only fields those tables have.
TEST_F(DocumentPrints, EveryFormPrintsADocumentFromEachOfItsTables) {
    const struct {
        int formType;
        int source;
        QString alias;
        std::function<void(int id, bool preview)> print;
    } cases[] = {
        {10000, 0, u"LumoDB"_s, [](int id, bool p) { PrintInvoice(id, false, p, {}); }},
        {10000, 1, u"LumoDB"_s, [](int id, bool p) { PrintInvoice(id, false, p, {}); }},
        {10000, 2, u"LumoDB"_s, [](int id, bool p) { PrintInvoice(id, false, p, {}); }},
        {10000, 0, u"AblageDB"_s, [](int id, bool p) { PrintInvoice(id, false, p, {}); }},
        {14000, 0, u"LumoDB"_s, [](int id, bool p) { PrintCreditNote(id, false, p, {}); }},
        {14000, 0, u"AblageDB"_s, [](int id, bool p) { PrintCreditNote(id, false, p, {}); }},
        {11000, 0, u"LumoDB"_s, [](int id, bool p) { PrintOfferLetter(id, p, {}); }},
        {12000, 0, u"LumoDB"_s, [](int id, bool p) { PrintOffer(id, p, {}); }},
        {12000, 0, u"AblageDB"_s, [](int id, bool p) { PrintOffer(id, p, {}); }},
        {13000, 0, u"LumoDB"_s, [](int id, bool p) { PrintOrder(id, p, {}); }},
        {40000, 0, u"LumoDB"_s, [](int id, bool p) { PrintDeliveryNote(id, p, {}); }},
        {57000, 0, u"LumoDB"_s, [](int id, bool p) { PrintIncomingInvoice(id, p, {}); }},
        {57000, 1, u"LumoDB"_s, [](int id, bool p) { PrintIncomingInvoice(id, p, {}); }},
        {76000, 0, u"LumoDB"_s, [](int id, bool p) { PrintBestellung(id, p, {}); }},
        {76000, 0, u"AblageDB"_s, [](int id, bool p) { PrintBestellung(id, p, {}); }},
    };
    int id = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(
            QString(u"%1 source %2 %3"_s).arg(c.formType).arg(c.source).arg(c.alias).toStdString());
        const DocumentForm* form = FindDocumentForm(c.formType);
        ASSERT_NE(form, nullptr);
        const DocumentTables tables = DocumentTablesFor(*form, c.source);
        ++id;
        const QString nr = u"N-%1"_s.arg(id);
        addHead(tables.head.toString(), id, nr, {}, c.alias);
        if (!tables.lines.isEmpty())
            addLines(tables.lines.toString(), id, {{1000000, 0, u"Reinigung"_s, 2, 25, 50}},
                     c.alias);
        RgPrintSourceScope source(c.source);
        ReportDatabaseScope database(c.alias);
        outputs = 0;
        c.print(id, true);
        ASSERT_EQ(outputs, 1);
        EXPECT_TRUE(printed.preview);
        EXPECT_TRUE(printed.has(nr) || c.formType == 11000)
            << printed.of(u"R_RgNr1"_s).join(u',').toStdString();
        EXPECT_TRUE(presenter.boxes.isEmpty());
    }
}

} // namespace
