#include "core/messages/messagecatalog.h"
#include "core/rights/rightstexts.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// Numbers that other modules and the object form quote keep their texts; the
// texts of the password and rights-file dialogs live on numbers of their own.
TEST(MessageCatalog, NumberedTextsAreTheOnesTheirCallersQuote) {
    const struct {
        quint16 number;
        QString text;
    } cases[] = {
        {64904, u"Dem Objekt ist kein Kunde zugewiesen!"_s},
        {64913, u"Formularvorlagen bearbeiten"_s},
        {65245, u"Sie müssen eine gültige Nummer eingeben"_s},
        {MsgPasswordSaved, u"Neues Passwort wurde gespeichert."_s},
        {MsgRightsFileNotSaved, u"Die Rechtedatei konnte nicht gespeichert werden!"_s},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LoadMessage(c.number), c.text) << c.number;
    EXPECT_NE(MsgPasswordSaved, 64904);
    EXPECT_NE(MsgRightsFileNotSaved, 64913);
    EXPECT_TRUE(LoadMessage(64930).isEmpty()) << "the base of the function names holds no text";
}

} // namespace
