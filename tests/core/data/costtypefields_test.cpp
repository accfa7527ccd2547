#include "core/data/lookups.h"
#include "platform/errors.h"
#include "platform/table/table.h"
#include "recordrulesfixture.h"

namespace {

using datatest::RecordRules;

const QString kRubricText = QStringLiteral(
    "Sie müssen eine Rubriknummer zwischen 1 und 4 eingeben!\r(Auswahl mit ALT+W oder "
    "Doppelclick)");
const QString kVatCodeText = QStringLiteral(
    "Sie müssen ein Steuerkennzeichen im Bereich 0 bis 2 eingeben!\r(Auswahl mit ALT+W oder "
    "Doppelclick)");

// Cost type 5 in rubric 1; the form's focus requests are recorded.
class CostTypeFields : public RecordRules {
protected:
    void SetUp() override {
        RecordRules::SetUp();
        addRow(QStringLiteral("Kostart.DB"), {{QStringLiteral("A_ID"), 1},
                                              {QStringLiteral("A_Nr"), 5},
                                              {QStringLiteral("A_Text"), QStringLiteral("Lohn")},
                                              {QStringLiteral("A_RubrikNr"), 1}});
        RecordRuleHooksRegistry().focusField = [this](const QString& f) { focused.append(f); };
        if (!dm->TabRubrik().isOpen())
            dm->TabRubrik().open();
    }
    table::Table& costType() {
        table::Table& t = dm->TabKostart();
        if (!t.isOpen())
            t.open();
        t.refresh();
        t.first();
        return t;
    }
    QStringList focused;
};

// A rubric outside 1 to 4 or a VAT code outside 0 to 2 is refused with the
// focus on its field; a valid rubric brings its name.
TEST_F(CostTypeFields, RubricAndVatCodeAreCheckedAsTyped) {
    const struct {
        const char* name;
        const char* field;
        QVariant value;
        QString error; // empty: accepted
        const char* focus;
    } cases[] = {
        {"rubric 0", "A_RubrikNr", 0, kRubricText, "TabKostartA_RubrikNr"},
        {"rubric 5", "A_RubrikNr", 5, kRubricText, "TabKostartA_RubrikNr"},
        {"rubric 3", "A_RubrikNr", 3, {}, ""},
        {"no VAT code", "A_MwstKz", QVariant(), kVatCodeText, "TabKostartA_MwstKz"},
        {"VAT code 3", "A_MwstKz", 3, kVatCodeText, "TabKostartA_MwstKz"},
        {"VAT code -1", "A_MwstKz", -1, kVatCodeText, "TabKostartA_MwstKz"},
        {"VAT code 0", "A_MwstKz", 0, {}, ""},
        {"VAT code 2", "A_MwstKz", 2, {}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        focused.clear();
        table::Table& t = costType();
        t.edit();
        if (c.error.isEmpty()) {
            t.field(QString::fromLatin1(c.field)).setValue(c.value);
            EXPECT_TRUE(focused.isEmpty());
        } else {
            try {
                t.field(QString::fromLatin1(c.field)).setValue(c.value);
                ADD_FAILURE() << "accepted";
            } catch (const DbError& e) {
                EXPECT_EQ(e.message(), c.error);
            }
            EXPECT_EQ(focused, QStringList{QString::fromLatin1(c.focus)});
        }
        if (QByteArray(c.field) == "A_RubrikNr" && c.error.isEmpty()) {
            EXPECT_EQ(t.field(QStringLiteral("A_Rubrikname")).asString(),
                      QStringLiteral("Fremdkosten"));
        }
        t.cancel();
    }
}

TEST_F(CostTypeFields, APostChecksTheNumberFirstThenTheRubric) {
    addRow(QStringLiteral("Kostart.DB"),
           {{QStringLiteral("A_ID"), 2}, {QStringLiteral("A_Nr"), 6}});
    table::Table& t = costType();
    t.locate({QStringLiteral("A_Nr")}, {6});
    t.edit();
    try {
        t.post();
        ADD_FAILURE() << "posted without a rubric";
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(), kRubricText);
    }
    EXPECT_EQ(focused, QStringList{QStringLiteral("TabKostartA_RubrikNr")});
    EXPECT_TRUE(t.isEditing());
    // A taken number is reported before the rubric, focused on the number.
    focused.clear();
    dm->SetInitNewRecord(true); // typed without the change rule
    t.field(QStringLiteral("A_Nr")).setValue(5);
    dm->SetInitNewRecord(false);
    try {
        t.post();
        ADD_FAILURE() << "posted a taken number";
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(), NumberTakenText());
    }
    EXPECT_EQ(focused, QStringList{QStringLiteral("TabKostartA_Nr")});
    t.cancel();
}

TEST_F(CostTypeFields, ANewCostTypeFocusesItsNumber) {
    costType().append();
    EXPECT_EQ(focused, QStringList{QStringLiteral("TabKostartA_Nr")});
    dm->TabKostart().cancel();
}

TEST_F(CostTypeFields, CostTypeAndRubricLookups) {
    costType();
    EXPECT_TRUE(KostartExists(5));
    EXPECT_FALSE(KostartExists(6));
    EXPECT_EQ(GetKostartText(5, QStringLiteral("?")), QStringLiteral("Lohn"));
    EXPECT_EQ(GetKostartText(6, QStringLiteral("?")), QStringLiteral("?"));
    EXPECT_EQ(GetRubrikText(2), QStringLiteral("Material"));
    EXPECT_EQ(GetRubrikText(9), QString());
    dm->TabKostart().close();
    dm->TabRubrik().close();
    EXPECT_TRUE(KostartExists(5)) << "read from the file while the object is closed";
    EXPECT_EQ(GetKostartText(5, QStringLiteral("?")), QStringLiteral("?"));
    EXPECT_EQ(GetRubrikText(2), QString());
}

} // namespace
