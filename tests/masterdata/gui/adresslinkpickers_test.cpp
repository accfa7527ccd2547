#include "core/data/recordrulesfixture.h"
#include "core/gui/modaldriver.h"
#include "masterdata/dialogs/tf_dbselect.h"
#include "masterdata/gui/adresslinkpickers.h"
#include "platform/table/table.h"

#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

// Address 70, linked to customer 5 and to nothing else; two of each kind to
// choose from.
class AdressLinkPickers : public datatest::RecordRules {
protected:
    void SetUp() override {
        RecordRules::SetUp();
        for (int nr : {5, 6}) {
            addCustomer(nr, nr);
            addRow(u"Objekte.DB"_s,
                   {{u"O_ID"_s, nr}, {u"O_Nr"_s, nr}, {u"O_Kunde"_s, 5}, {u"O_Aktiv"_s, true}});
            addRow(u"Liefrnt.db"_s, {{u"K_ID"_s, nr}, {u"K_Nr"_s, nr}});
            addRow(u"Personal.DB"_s, {{u"P_ID"_s, nr}, {u"P_Nr"_s, nr}});
            addRow(u"Notdnst.DB"_s, {{u"ND_ID"_s, nr}, {u"ND_Nr"_s, nr}});
        }
        addRow(u"Adress.DB"_s, {{u"A_ID"_s, 7}, {u"A_Nr"_s, 70}, {u"A_KundenNr"_s, 5}});
        table::Table& a = adress();
        a.open();
        ASSERT_TRUE(a.locate({u"A_ID"_s}, {7}));
    }
    table::Table& adress() { return dm->TabAdress(); }
    int link(const QString& field) { return adress().field(field).asIntegerOr(0); }

    // Picks through the link field's picker: the row with number `choose`,
    // or cancel for 0. Returns what the picker started on.
    int pick(const QString& field, const QString& numberField, int choose, bool& wrote) {
        int startedOn = -1;
        WhenModalShown([&](QWidget* modal) {
            auto* d = qobject_cast<TF_DbSelect*>(modal);
            ASSERT_NE(d, nullptr);
            table::Table& t = *d->lookupTable();
            startedOn = t.isEmpty() ? 0 : t.field(numberField).asIntegerOr(0);
            if (choose == 0) {
                d->btnCancel()->click();
                return;
            }
            if (!t.locate({numberField}, {choose})) {
                ADD_FAILURE() << field.toStdString() << " lists no " << choose << " in "
                              << t.tableName().toStdString() << " rows " << t.recordCount();
                d->btnCancel()->click();
                return;
            }
            d->btnOK()->click();
        });
        wrote = PickAdressLink(adress(), field);
        return startedOn;
    }
};

TEST_F(AdressLinkPickers, EachPickerWritesOnlyADifferentNonZeroNumber) {
    const std::pair<QString, QString> links[] = {{u"A_KundenNr"_s, u"K_Nr"_s},
                                                 {u"A_ObjektNr"_s, u"O_Nr"_s},
                                                 {u"A_LieferantNr"_s, u"K_Nr"_s},
                                                 {u"A_PersonalNr"_s, u"P_Nr"_s},
                                                 {u"A_NotdienstNr"_s, u"ND_Nr"_s}};
    for (const auto& [field, numberField] : links) {
        const std::string name = field.toStdString();
        const int before = link(field);
        bool wrote = true;
        pick(field, numberField, 0, wrote); // cancelled
        EXPECT_FALSE(wrote) << name;
        EXPECT_FALSE(adress().isEditing()) << name;
        EXPECT_EQ(link(field), before) << name;

        const int startedOn = pick(field, numberField, 6, wrote);
        if (before != 0) {
            EXPECT_EQ(startedOn, before) << name;
        }
        EXPECT_TRUE(wrote) << name;
        EXPECT_TRUE(adress().isEditing()) << name;
        EXPECT_EQ(link(field), 6) << name;
        adress().post();

        pick(field, numberField, 6, wrote); // the current one again
        EXPECT_FALSE(wrote) << name;
        EXPECT_FALSE(adress().isEditing()) << name;
    }
    EXPECT_FALSE(PickAdressLink(adress(), u"A_Name1"_s));
}

} // namespace
