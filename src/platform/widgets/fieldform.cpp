#include "platform/widgets/fieldform.h"

#include "platform/errors.h"
#include "platform/widgets/dbcheckbox.h"
#include "platform/widgets/dbcombobox.h"
#include "platform/widgets/dbdateedit.h"
#include "platform/widgets/dbedit.h"
#include "platform/widgets/dbimage.h"
#include "platform/widgets/dblookupcombobox.h"
#include "platform/widgets/dbmemo.h"
#include "platform/widgets/dbrichedit.h"
#include "platform/widgets/dbspinedit.h"

#include <QFormLayout>
#include <QLabel>
#include <QTabWidget>
#include <QVBoxLayout>

namespace widgets {

FieldForm::FieldForm(DataSource& source, const QList<FieldDecl>& fields, QWidget* parent)
    : QWidget(parent) {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    const bool paged = std::any_of(fields.begin(), fields.end(),
                                   [](const FieldDecl& d) { return !d.page.isEmpty(); });
    if (paged) {
        m_pages = new QTabWidget(this);
        outer->addWidget(m_pages);
    }
    QHash<QString, QFormLayout*> layouts;
    for (const FieldDecl& decl : fields) {
        QFormLayout*& form = layouts[decl.page];
        if (!form) {
            QWidget* host = this;
            if (paged) {
                host = new QWidget(m_pages);
                m_pages->addTab(host,
                                decl.page.isEmpty() ? QStringLiteral("Allgemein") : decl.page);
                m_pageWidgets.insert(decl.page, host);
            }
            form = new QFormLayout;
            form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
            form->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            form->setRowWrapPolicy(QFormLayout::DontWrapRows);
            if (paged) {
                auto* pageLayout = new QVBoxLayout(host);
                pageLayout->addLayout(form);
                pageLayout->addStretch();
            } else {
                outer->addLayout(form);
            }
        }
        const QString key = decl.field.toLower();
        if (m_editors.contains(key))
            throw DbError(
                QStringLiteral("Das Feld %1 ist im Formular doppelt angegeben.").arg(decl.field));
        QWidget* editor = createEditor(source, decl);
        m_editors.insert(key, editor);
        if (decl.kind == FieldKind::CheckBox) {
            form->addRow(QString(), editor);
            continue;
        }
        auto* label = new QLabel(decl.caption, editor->parentWidget());
        label->setBuddy(editor);
        m_labels.insert(key, label);
        if (decl.width > 0) {
            const int chars =
                decl.width + (decl.kind == FieldKind::Date || decl.kind == FieldKind::Spin ? 4 : 2);
            editor->setFixedWidth(
                editor->fontMetrics().horizontalAdvance(QLatin1Char('0')) * chars + 12);
        }
        form->addRow(label, editor);
    }
    if (!paged)
        outer->addStretch();
}

QWidget* FieldForm::createEditor(DataSource& source, const FieldDecl& decl) {
    switch (decl.kind) {
    case FieldKind::Edit:
        return new DbEdit(source, decl.field, this);
    case FieldKind::CheckBox:
        return new DbCheckBox(source, decl.field, decl.caption, this);
    case FieldKind::Combo: {
        auto* box = new DbComboBox(source, decl.field, this);
        box->setItems(decl.items, decl.values);
        return box;
    }
    case FieldKind::LookupCombo: {
        auto* box = new DbLookupComboBox(source, decl.field, this);
        if (!decl.lookup)
            throw DbError(
                QStringLiteral("Für das Feld %1 fehlt die Nachschlagetabelle.").arg(decl.field));
        box->setLookup(*decl.lookup, decl.lookupKey, decl.lookupText);
        return box;
    }
    case FieldKind::Date:
        return new DbDateEdit(source, decl.field, this);
    case FieldKind::Spin:
        return new DbSpinEdit(source, decl.field, this);
    case FieldKind::Memo:
        return new DbMemo(source, decl.field, this);
    case FieldKind::RichText:
        return new DbRichEdit(source, decl.field, this);
    case FieldKind::Image:
        return new DbImage(source, decl.field, this);
    }
    return nullptr;
}

} // namespace widgets
