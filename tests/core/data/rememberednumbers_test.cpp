#include "core/data/datamodule.h"
#include "core/data/recordrules.h"
#include "platform/table/table.h"
#include "recordrulesfixture.h"

namespace {

using datatest::RecordRules;

// A number changed in code (no change rule) becomes the remembered one only
// through the table's remember operation, so that the next post does not
// take it for a renumbering.
TEST_F(RecordRules, RememberOperationsTakeTheCurrentNumber) {
    const struct {
        const char* tableObject;
        const char* file;
        const char* key;
        const char* number;
        void (*remember)();
    } tables[] = {
        {"TabKunden", "Kunden.DB", "K_ID", "K_Nr", RememberKundenNr},
        {"TabLieferant", "Liefrnt.db", "K_ID", "K_Nr", RememberLieferantNr},
        {"TabPersonal", "Personal.DB", "P_ID", "P_Nr", RememberPersonalNr},
        {"TabNotdienst", "Notdnst.DB", "ND_ID", "ND_Nr", RememberNotdienstNr},
        {"TabTaetig", "Taetig.DB", "T_ID", "T_Nr", RememberTaetigNr},
        {"TabObjekt", "Objekte.DB", "O_ID", "O_Nr", RememberObjektNr},
        {"TabTour", "Touren.db", "TO_ID", "TO_Nr", RememberTourNr},
        {"TabKostart", "Kostart.DB", "A_ID", "A_Nr", RememberKostartNr},
    };
    for (const auto& c : tables) {
        SCOPED_TRACE(c.tableObject);
        const QString name = QString::fromLatin1(c.tableObject);
        QList<std::pair<QString, QVariant>> values{{QString::fromLatin1(c.key), 901},
                                                   {QString::fromLatin1(c.number), 901}};
        if (name == QStringLiteral("TabObjekt"))
            values.append({QStringLiteral("O_Aktiv"), true});
        addRow(QString::fromLatin1(c.file), values);
        table::Table& t = dm->table(name);
        if (!t.isOpen())
            t.open();
        t.refresh();
        ASSERT_TRUE(t.locate({QString::fromLatin1(c.key)}, {901}));
        EXPECT_EQ(RememberedNr(name).toInt(), 901);
        t.edit();
        dm->SetInitNewRecord(true); // written in code, without the change rules
        t.field(QString::fromLatin1(c.number)).setValue(902);
        dm->SetInitNewRecord(false);
        EXPECT_EQ(RememberedNr(name).toInt(), 901);
        c.remember();
        EXPECT_EQ(RememberedNr(name).toInt(), 902);
        t.cancel();
    }
}

} // namespace
