#include "platform/table/table.h"
#include "recordrulesfixture.h"

namespace {

using datatest::RecordRules;

// The forms that show their record's position hear of every move.
TEST_F(RecordRules, FormsHearWhenTheirRecordIsShownAgain) {
    const struct {
        const char* tableObject;
        const char* file;
        const char* key;
        const char* number; // nullptr: none
        bool alsoOnEditAndPost;
    } tables[] = {
        {"TabTaetig", "Taetig.DB", "T_ID", "T_Nr", false},
        {"TabObjekt", "Objekte.DB", "O_ID", "O_Nr", false},
        {"TabNotdienst", "Notdnst.DB", "ND_ID", "ND_Nr", false},
        {"TabTour", "Touren.db", "TO_ID", "TO_Nr", false},
        {"TabSchluessel", "Schluess.db", "S_ID", nullptr, false},
        {"TabAdress", "Adress.DB", "A_ID", "A_Nr", true},
    };
    QStringList shown;
    RecordRuleHooksRegistry().recordShown = [&shown](const QString& name) { shown.append(name); };
    for (const auto& c : tables) {
        SCOPED_TRACE(c.tableObject);
        const QString name = QString::fromLatin1(c.tableObject);
        for (int id : {901, 902}) {
            QList<std::pair<QString, QVariant>> values{{QString::fromLatin1(c.key), id}};
            if (c.number)
                values.append({QString::fromLatin1(c.number), id});
            if (name == QStringLiteral("TabObjekt"))
                values.append({QStringLiteral("O_Aktiv"), true});
            addRow(QString::fromLatin1(c.file), values);
        }
        table::Table& t = dm->table(name);
        if (!t.isOpen())
            t.open();
        t.refresh();
        ASSERT_TRUE(t.locate({QString::fromLatin1(c.key)}, {901}));
        shown.clear();
        t.next();
        EXPECT_EQ(shown, QStringList{name});
        shown.clear();
        t.edit();
        t.post();
        EXPECT_EQ(shown.size(), c.alsoOnEditAndPost ? 2 : 0);
    }
    table::Table& tour = dm->TabTour();
    tour.edit();
    shown.clear();
    tour.field(QStringLiteral("TO_NextDate")).setValue(QDate(2031, 12, 25));
    EXPECT_EQ(shown, QStringList{QStringLiteral("TabTour")}) << "the holiday note is shown again";
    tour.cancel();
    RecordRuleHooksRegistry().recordShown = {};
}

} // namespace
