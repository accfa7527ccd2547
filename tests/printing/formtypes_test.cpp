#include "dbstructure/tableschemas.h"
#include "printing/formtypes.h"

#include <QJsonArray>
#include <gtest/gtest.h>

namespace {

TEST(FormTypesTest, CatalogueMatchesTheSystemRowsOfNewClients) {
    // The system rows that a new client's print-form table starts with are
    // the catalogue: every type once, with its name.
    const auto& schema = dbstructure::TableSchemas::builtIn().get(QStringLiteral("QrFrmDef.DB"));
    QList<std::pair<int, QString>> rows;
    for (const QVariantList& row : schema.defaultRows)
        rows.append({row.at(0).toInt(), row.at(5).toString()});
    ASSERT_EQ(FormTypes().size(), 73u);
    ASSERT_EQ(rows.size(), qsizetype(FormTypes().size()));
    for (const FormTypeInfo& type : FormTypes()) {
        SCOPED_TRACE(type.type);
        const auto it = std::find_if(rows.begin(), rows.end(),
                                     [&type](const auto& r) { return r.first == type.type; });
        ASSERT_NE(it, rows.end());
        EXPECT_EQ(it->second, type.catalogueName.toString());
        EXPECT_TRUE(type.reportClass.startsWith(u"TQR"));
    }
}

TEST(FormTypesTest, LookupAndIdArithmetic) {
    ASSERT_NE(FindFormType(22100), nullptr);
    EXPECT_EQ(FindFormType(22100)->catalogueName, u"Adressen-Journal");
    EXPECT_EQ(FindFormType(22100)->reportClass, u"TQRAdrProto");
    EXPECT_EQ(FindFormType(75000)->printEntry, u"");
    for (const int notAType : {0, 77000, 10001, 99000, -10000})
        EXPECT_EQ(FindFormType(notAType), nullptr) << notAType;
    const struct {
        int id;
        int type;
    } cases[] = {{10001, 10000}, {10099, 10000}, {10100, 10100}, {22105, 22100},
                 {39501, 39500}, {0, 0},         {81000, 81000}};
    for (const auto& c : cases)
        EXPECT_EQ(FormTypeOfId(c.id), c.type) << c.id;
    EXPECT_EQ(DefaultFormIdOfType(10000), 10001);
    EXPECT_EQ(DefaultFormIdOfType(39500), 39501);
}

} // namespace
