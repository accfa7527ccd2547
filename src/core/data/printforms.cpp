#include "core/data/printforms.h"

#include "core/data/dbhelpers.h"
#include "platform/table/table.h"

namespace {

std::unique_ptr<table::Table> openPrintForms(const QString& index = {}) {
    return OpenTempTable(QStringLiteral("LumoDB"), QStringLiteral("QrFrmDef.DB"), index);
}

} // namespace

bool PrintFormExists(int formId) {
    auto t = openPrintForms();
    return t->findKey({formId});
}

QString GetPrintFormComment(int formId) {
    auto t = openPrintForms();
    if (!t->findKey({formId}))
        return {};
    return GetFieldStrOrDefault(t->findField(QStringLiteral("Q_Comment")), QString());
}

int FirstUserPrintForm(int formType) {
    auto t = openPrintForms(QStringLiteral("Q_I_Formtype"));
    // Rows of one type follow each other in key order within the type index.
    t->findNearest({formType});
    for (; !t->eof(); t->next()) {
        if (GetFieldIntOrDefault(t->findField(QStringLiteral("Q_FormType")), 0) != formType)
            break;
        const table::Field& protect = t->field(QStringLiteral("Q_Protect"));
        if (!protect.isNull() && !protect.asBoolean())
            return GetFieldIntOrDefault(t->findField(QStringLiteral("QF_ID")), 0);
    }
    return 0;
}

int DefaultPrintFormOfKind(int docKind) {
    switch (docKind) {
    case 0:
        return FirstUserPrintForm(12000);
    case 1:
        return FirstUserPrintForm(13000);
    case 3:
        return FirstUserPrintForm(14000);
    case 4:
        return FirstUserPrintForm(40000);
    case 5:
        return FirstUserPrintForm(57000);
    case 6:
        return FirstUserPrintForm(76000);
    default:
        return FirstUserPrintForm(10000);
    }
}

bool SameFormType(int formIdA, int formIdB) {
    return formIdA / 100 == formIdB / 100;
}
