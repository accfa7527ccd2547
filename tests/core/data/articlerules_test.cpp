#include "platform/errors.h"
#include "recordrulesfixture.h"

namespace {

using datatest::RecordRules;
using Kind = MessagePresenter::Kind;

TEST_F(RecordRules, ArticleNumbersAreUniquePerListAndSetBackWhenTaken) {
    for (int objId : {0, 5})
        addRow(QStringLiteral("Artikel.DB"), {{QStringLiteral("A_ID"), objId + 1},
                                              {QStringLiteral("A_ArtNo"), QStringLiteral("000001")},
                                              {QStringLiteral("A_ObjID"), objId}});
    table::Table& t = dm->TabArtikel();
    if (!t.isOpen())
        t.open();
    t.refresh();
    t.append();
    EXPECT_EQ(t.field(QStringLiteral("A_ID")).asInteger(), 7);
    EXPECT_EQ(t.field(QStringLiteral("A_ArtNo")).asString(), QStringLiteral("000002"));
    EXPECT_EQ(t.field(QStringLiteral("A_ObjID")).asInteger(), dm->ArtikelObjId());
    EXPECT_TRUE(t.field(QStringLiteral("A_Bestandsfuehrung")).asBoolean());
    RememberArtikelArtNo();
    const struct {
        QString typed;
        bool refused;
    } cases[] = {
        {QString(), true}, {QStringLiteral("000001"), true}, {QStringLiteral("000009"), false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        try {
            t.field(QStringLiteral("A_ArtNo")).setValue(c.typed);
            EXPECT_FALSE(c.refused);
        } catch (const DbError& e) {
            EXPECT_TRUE(c.refused);
            EXPECT_EQ(e.message(), QStringLiteral("Die eingegebene Nummmer ist bereits vergeben!"));
        }
        EXPECT_EQ(t.field(QStringLiteral("A_ArtNo")).asString(),
                  c.refused ? QStringLiteral("000002") : c.typed);
    }
    t.field(QStringLiteral("A_Bezeich1")).setValue(QStringLiteral("Besen"));
    t.field(QStringLiteral("A_Bezeich3")).setValue(QStringLiteral("rot"));
    EXPECT_THROW(t.field(QStringLiteral("A_Kostart")).setValue(77), Abort);
    EXPECT_EQ(presenter.texts(Kind::Error).size(), 1);
    t.field(QStringLiteral("A_Kostart")).setValue(0);
    t.post();
    EXPECT_EQ(t.field(QStringLiteral("A_Beschreibung")).asString(), QStringLiteral("Besen, rot"));
}

} // namespace
