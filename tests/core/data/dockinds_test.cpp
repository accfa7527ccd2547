#include "core/data/dockinds.h"

#include <gtest/gtest.h>

namespace {

TEST(DocKinds, KindTableAndInvoiceFallback) {
    struct Case {
        int kind;
        const char* head;
        int code;
        const char* counter;
        const char* mask;
        int satzart;
    } cases[] = {
        {0, "Angkopf.DB", 0, "F_NextNr02", "F_FormatNr02", 0},
        {1, "Auftkopf.DB", 1, "F_NextNr03", "F_FormatNr03", 0},
        {2, "Rechkopf.DB", 2, "F_NextNrRg", "F_FormatNrRg", 0},
        {3, "GSkopf.DB", 3, "F_NextNr06", "F_FormatNr06", 2},
        {4, "LSkopf.DB", 4, "F_NextNr04", "F_FormatNr04", 0},
        {5, "ERkopf.DB", 10, "F_NextNr05", "F_FormatNr05", 3},
        {6, "bestkopf.db", 6, "F_NextNr07", "F_FormatNr07", 0},
        {7, "Rechkopf.DB", 2, "F_NextNrRg", "F_FormatNrRg", 0},
        {-1, "Rechkopf.DB", 2, "F_NextNrRg", "F_FormatNrRg", 0},
    };
    for (const Case& c : cases) {
        const DocKindInfo& info = GetDocKindInfo(TDocKind(c.kind));
        EXPECT_STREQ(info.headTable, c.head) << c.kind;
        EXPECT_EQ(info.counterCode, c.code) << c.kind;
        EXPECT_EQ(CounterFieldOf(info.counterCode), QString::fromLatin1(c.counter)) << c.kind;
        EXPECT_STREQ(info.maskField, c.mask) << c.kind;
        EXPECT_EQ(RaListeSatzart(TDocKind(c.kind)), c.satzart) << c.kind;
    }
    EXPECT_TRUE(CounterFieldOf(5).isEmpty());
    EXPECT_TRUE(CounterFieldOf(11).isEmpty());
}

TEST(DocKinds, SourceMapsWithArchiveOffset) {
    struct Case {
        int source;
        const char* caption;
        const char* alias;
        const char* head;
        const char* lines;
    } cases[] = {
        {0, "Angebot auswählen", "LumoDB", "Angkopf.DB", "AngSatz.DB"},
        {1, "Auftrag auswählen", "LumoDB", "Auftkopf.DB", "Auftsatz.DB"},
        {2, "Rechnung auswählen", "LumoDB", "Rechkopf.DB", "Rechsatz.db"},
        {3, "Lieferschein auswählen", "LumoDB", "LSkopf.DB", "LSsatz.DB"},
        {4, "OP-Rechnung auswählen", "LumoDB", "OpKopf.DB", "OPSatz.db"},
        {5, "Gutschrift auswählen", "LumoDB", "GSkopf.DB", "GSSatz.DB"},
        {6, "Rechnung auswählen", "LumoDB", "Rechkopf.DB", "Rechsatz.db"},
        {7, "Rechnungsvorlage auswählen", "LumoDB", "Rgvkopf.db", "Rgvsatz.db"},
        {9, "Rechnung auswählen", "LumoDB", "Rechkopf.DB", "Rechsatz.db"},
        {15, "Rechnung auswählen", "LumoDB", "Rechkopf.DB", "Rechsatz.db"},
        {16, "Angebot auswählen", "AblageDB", "Angkopf.DB", "AngSatz.DB"},
        {21, "Gutschrift auswählen", "AblageDB", "GSkopf.DB", "GSSatz.DB"},
        {23, "Rechnungsvorlage auswählen", "AblageDB", "Rgvkopf.db", "Rgvsatz.db"},
        {25, "Rechnung auswählen", "AblageDB", "Rechkopf.DB", "Rechsatz.db"},
    };
    for (const Case& c : cases) {
        const TDocSource s = TDocSource(c.source);
        EXPECT_EQ(GetDocSourceCaption(s), QString::fromUtf8(c.caption)) << c.source;
        EXPECT_EQ(GetDocSourceAlias(s), QString::fromLatin1(c.alias)) << c.source;
        EXPECT_EQ(GetDocSourceKopfTable(s), QString::fromLatin1(c.head)) << c.source;
        EXPECT_EQ(GetDocSourceSatzTable(s), QString::fromLatin1(c.lines)) << c.source;
    }
    EXPECT_EQ(ArchiveSource(TDocSource::Gutschrift), TDocSource(21));
}

} // namespace
