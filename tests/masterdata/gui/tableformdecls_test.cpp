#include "core/data/datamodule.h"
#include "dbstructure/tableschemas.h"
#include "masterdata/gui/fremdleistform.h"
#include "masterdata/gui/listformdecl.h"
#include "masterdata/gui/listforms.h"
#include "masterdata/gui/tableformdecl.h"
#include "masterdata/gui/tableforms.h"
#include "masterdata/gui/tf_listform.h"
#include "platform/table/table.h"
#include "tableformfixture.h"

#include <QRegularExpression>
#include <QSet>

using namespace Qt::StringLiterals;

namespace {

// The table forms and the list forms as their host builds them; the list
// forms' search line and extra tabs count as buttons that every page shares.
QList<TableFormDecl> allDecls() {
    QList<TableFormDecl> decls = ::TableFormDecls();
    for (const ListFormDecl& l : ListFormDecls() + ModalListFormDecls()) {
        TableFormDecl d = TF_ListForm::hostDeclaration(l);
        d.buttons.append({u"&Suchen"_s, {}});
        for (const GridPageDecl& g : l.gridPages)
            d.buttons.append({g.title, {}});
        for (const CustomPageDecl& c : l.customPages)
            d.buttons.append({c.title, {}});
        decls.append(d);
    }
    return decls;
}

// Every declared form against the table definitions and the print forms.
class FormDeclarations : public formtest::TableFormTest {
protected:
    const dbstructure::TableSchema& schemaOf(const TableFormDecl& d) {
        const QString file =
            d.source == TableSource::Shared ? dm->table(d.table).tableName() : d.table;
        return dbstructure::TableSchemas::builtIn().get(file);
    }
    void SetUp() override {
        TableFormTest::SetUp();
        // Added by the opener before the form is built.
        AddFremdleistObjectFields(dm->TabFremdLeist());
    }
    // A calculated field of the shared table, showing another table's value.
    bool isDisplayField(const TableFormDecl& d, const QString& name) {
        const table::Field* f =
            d.source == TableSource::Shared ? dm->table(d.table).findField(name) : nullptr;
        return f && f->isCalculated();
    }
    static bool hasField(const dbstructure::TableSchema& schema, const QString& name) {
        for (const auto& f : schema.def.fields)
            if (f.name.compare(name, Qt::CaseInsensitive) == 0)
                return true;
        return false;
    }
};

TEST_F(FormDeclarations, EveryFieldExistsInItsTable) {
    const auto& schemas = dbstructure::TableSchemas::builtIn();
    for (const TableFormDecl& d : allDecls()) {
        SCOPED_TRACE(d.formClass.toStdString());
        const auto& schema = schemaOf(d);
        QStringList fields;
        for (const auto& c : d.columns)
            fields << c.field;
        for (const auto& f : d.fields)
            fields << f.field;
        for (const auto& v : d.newRowValues)
            fields << v.first;
        if (!d.keyField.isEmpty())
            fields << d.keyField;
        for (const QString& f : fields)
            EXPECT_TRUE(hasField(schema, f) || isDisplayField(d, f)) << f.toStdString();
        for (const auto& a : d.columnActions)
            EXPECT_TRUE(std::any_of(d.columns.begin(), d.columns.end(), [&](const auto& c) {
                return c.field == a.field;
            })) << a.field.toStdString();
        // Lists: the field is declared, the key, text and copied fields are the list's.
        for (const LookupDecl& l : d.lookups) {
            const auto& list = schemas.get(dm->table(l.table).tableName());
            for (const auto& f : d.fields) {
                if (f.field != l.field)
                    continue;
                EXPECT_TRUE(hasField(list, f.lookupKey)) << f.lookupKey.toStdString();
                EXPECT_TRUE(hasField(list, f.lookupText)) << f.lookupText.toStdString();
                for (const auto& [from, to] : f.lookupCopies) {
                    EXPECT_TRUE(hasField(list, from)) << from.toStdString();
                    EXPECT_TRUE(hasField(schema, to)) << to.toStdString();
                }
            }
        }
        // The fields a delete guard's filter names.
        static const QRegularExpression name(u"([A-Za-z_]+)\\s*="_s);
        for (const ReferenceGuardDecl& g : d.deleteGuards) {
            const auto& referring = schemas.get(g.table);
            for (auto m = name.globalMatch(g.filter); m.hasNext();)
                EXPECT_TRUE(hasField(referring, m.next().captured(1))) << g.filter.toStdString();
        }
        for (const QString& t : d.openTables)
            EXPECT_NE(dm->findTable(t), nullptr) << t.toStdString();
    }
}

TEST_F(FormDeclarations, MnemonicsAreUniquePerPage) {
    static const QRegularExpression mnemonic(u"&([^&])"_s);
    for (const TableFormDecl& d : allDecls()) {
        SCOPED_TRACE(d.formClass.toStdString());
        QHash<QString, QSet<QChar>> used; // page -> letters
        // The form's own buttons share every page.
        QStringList common;
        if (d.closeButton)
            common << u"S&chließen"_s;
        if (d.postCancelButtons)
            common << u"Überneh&men"_s << u"&Abbrechen"_s;
        if (!d.helpPage.isEmpty())
            common << u"&?Info?"_s;
        for (const auto& p : d.prints)
            common << p.caption;
        for (const auto& b : d.buttons)
            common << b.caption;
        for (const auto& f : d.fields)
            if (!common.contains(f.page))
                common << f.page; // the tabs
        QSet<QChar> commonLetters;
        for (const QString& caption : common) {
            const auto m = mnemonic.match(caption);
            if (!m.hasMatch())
                continue;
            const QChar letter = m.captured(1)[0].toLower();
            EXPECT_FALSE(commonLetters.contains(letter)) << caption.toStdString();
            commonLetters.insert(letter);
        }
        for (const auto& f : d.fields) {
            const auto m = mnemonic.match(f.caption);
            if (!m.hasMatch())
                continue;
            const QChar letter = m.captured(1)[0].toLower();
            EXPECT_FALSE(used[f.page].contains(letter)) << f.caption.toStdString();
            EXPECT_FALSE(commonLetters.contains(letter)) << f.caption.toStdString();
            used[f.page].insert(letter);
        }
    }
}

TEST_F(FormDeclarations, PrintButtonsNameAFormTypeOfThePrintForms) {
    QSet<int> formTypes;
    for (const QVariantList& row :
         dbstructure::TableSchemas::builtIn().get(u"QrFrmDef.DB"_s).defaultRows)
        formTypes.insert(row.value(0).toInt());
    for (const TableFormDecl& d : allDecls()) {
        SCOPED_TRACE(d.formClass.toStdString());
        EXPECT_FALSE(d.helpPage.isEmpty());
        for (const PrintButtonDecl& p : d.prints) {
            EXPECT_TRUE(formTypes.contains(p.formType)) << p.formType;
            EXPECT_FALSE(p.entry.isEmpty());
        }
    }
}

} // namespace
