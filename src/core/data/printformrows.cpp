#include "core/data/printformrows.h"

#include "core/data/dbhelpers.h"
#include "platform/table/table.h"

namespace {

std::unique_ptr<table::Table> openPrintForms() {
    auto t = std::make_unique<table::Table>(table::aliases::database(QStringLiteral("LumoDB")),
                                            QStringLiteral("QrFrmDef.DB"));
    t->setReadOnly(true);
    t->open();
    return t;
}

} // namespace

int PrintFormSelectGroup(int formType) {
    return formType / 1000 * 1000;
}

QList<PrintFormRow> PrintFormsOfGroup(int formType) {
    const int group = PrintFormSelectGroup(formType);
    QList<PrintFormRow> rows;
    auto t = openPrintForms();
    for (t->first(); !t->eof(); t->next()) {
        const table::Field& protect = t->field(QStringLiteral("Q_Protect"));
        if (!protect.isNull() && protect.asBoolean())
            continue;
        const int type = GetFieldIntOrDefault(t->findField(QStringLiteral("Q_FormType")), 0);
        if (PrintFormSelectGroup(type) != group)
            continue;
        rows.append({GetFieldIntOrDefault(t->findField(QStringLiteral("QF_ID")), 0),
                     GetFieldStrOrDefault(t->findField(QStringLiteral("Q_Filename")), QString()),
                     GetFieldStrOrDefault(t->findField(QStringLiteral("Q_Comment")), QString())});
    }
    return rows;
}
