#include "commercial/companysettings.h"

#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "platform/table/table.h"

#include <QDate>

namespace {

template <typename Read> auto companyValue(TDataModule1& dm, Read read) {
    table::Table& company = dm.TabFirmen();
    OpenForCall opened(company);
    RefreshUnlessEditing(company);
    if (!company.isEditing())
        company.first();
    auto value = read(company);
    opened.close();
    return value;
}

} // namespace

bool CompanyFlag(TDataModule1& dm, const QString& field, bool defaultValue) {
    return companyValue(dm, [&](table::Table& c) {
        return c.isEmpty() ? defaultValue : GetFieldBoolOrDefault(c.findField(field), defaultValue);
    });
}

int CompanyInt(TDataModule1& dm, const QString& field, int defaultValue) {
    return companyValue(dm, [&](table::Table& c) {
        return c.isEmpty() ? defaultValue : GetFieldIntOrDefault(c.findField(field), defaultValue);
    });
}

QString AutoBackupComment(const QString& text) {
    return text + QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy"));
}
