#include "core/data/printformrows.h"

#include "core/data/dbhelpers.h"
#include "platform/table/table.h"

namespace {

std::unique_ptr<table::Table> openPrintForms() {
    return OpenTempTable(QStringLiteral("LumoDB"), QStringLiteral("QrFrmDef.DB"), QString());
}

} // namespace

int PrintFormSelectGroup(int formType) {
    return formType / 1000 * 1000;
}

void RefreshPrintFormGroups() {
    auto t = openPrintForms();
    for (t->first(); !t->eof(); t->next()) {
        const table::Field& protect = t->field(QStringLiteral("Q_Protect"));
        if (!protect.isNull() && protect.asBoolean())
            continue;
        const int group = PrintFormSelectGroup(
            GetFieldIntOrDefault(t->findField(QStringLiteral("Q_FormType")), 0));
        if (t->value(QStringLiteral("Q_SelectGroup")) == QVariant(group))
            continue;
        t->edit();
        (*t)[QStringLiteral("Q_SelectGroup")] = group;
        t->post();
    }
}

QList<PrintFormRow> PrintFormsOfGroup(int formType) {
    const int group = PrintFormSelectGroup(formType);
    QList<PrintFormRow> rows;
    auto t = openPrintForms();
    for (t->first(); !t->eof(); t->next()) {
        const table::Field* selectGroup = t->findField(QStringLiteral("Q_SelectGroup"));
        if (!selectGroup || selectGroup->isNull() || selectGroup->asInteger() != group)
            continue;
        rows.append({GetFieldIntOrDefault(t->findField(QStringLiteral("QF_ID")), 0),
                     GetFieldStrOrDefault(t->findField(QStringLiteral("Q_Filename")), QString()),
                     GetFieldStrOrDefault(t->findField(QStringLiteral("Q_Comment")), QString())});
    }
    return rows;
}
