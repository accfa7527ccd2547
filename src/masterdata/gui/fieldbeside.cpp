#include "masterdata/gui/fieldbeside.h"

#include "masterdata/gui/tf_tableform.h"
#include "platform/table/table.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/fieldform.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>

namespace {

// The form layout that holds editor as a field, and its row.
QFormLayout* rowOf(QWidget& editor, int& row) {
    QWidget* host = editor.parentWidget();
    if (!host)
        return nullptr;
    for (QFormLayout* form : host->findChildren<QFormLayout*>()) {
        QFormLayout::ItemRole role;
        form->getWidgetPosition(&editor, &row, &role);
        if (row >= 0 && role == QFormLayout::FieldRole)
            return form;
    }
    return nullptr;
}

// Puts beside right of editor; a beside without a fixed width takes the rest
// of the row.
void placeBeside(QWidget& editor, QWidget& beside, bool stretch, Qt::Alignment align = {}) {
    int row = -1;
    if (QFormLayout* layout = rowOf(editor, row)) {
        // The field's place in its row goes to a line holding it and beside.
        QLayoutItem* item = layout->itemAt(row, QFormLayout::FieldRole);
        layout->removeItem(item);
        delete item;
        auto* line = new QHBoxLayout;
        line->addWidget(&editor);
        line->addWidget(&beside, stretch ? 1 : 0, align);
        if (editor.maximumWidth() < QWIDGETSIZE_MAX)
            line->addStretch();
        layout->setLayout(row, QFormLayout::FieldRole, line);
    }
}

} // namespace

bool PlaceBesideField(TF_TableForm& form, const QString& field, QWidget& widget) {
    QWidget* editor = form.fields() ? form.fields()->editor(field) : nullptr;
    if (!editor)
        return false;
    widget.setParent(editor->parentWidget());
    placeBeside(*editor, widget, false, Qt::AlignTop);
    return true;
}

QLineEdit* AddTextBesideField(TF_TableForm& form, const QString& field, int widthChars,
                              std::function<QString(const QString& fieldText)> text) {
    QWidget* editor = form.fields() ? form.fields()->editor(field) : nullptr;
    if (!editor)
        return nullptr;
    auto* beside = new QLineEdit(editor->parentWidget());
    beside->setObjectName(field + QStringLiteral("Text"));
    beside->setReadOnly(true);
    beside->setFocusPolicy(Qt::NoFocus);
    if (widthChars > 0)
        beside->setFixedWidth(
            beside->fontMetrics().horizontalAdvance(QLatin1Char('0')) * (widthChars + 2) + 12);
    placeBeside(*editor, *beside, widthChars <= 0);
    auto* edit = qobject_cast<QLineEdit*>(editor);
    const auto show = [beside, edit, &form, field, text = std::move(text)] {
        table::Table& t = form.table();
        // Nothing to name without a record.
        if (!t.isOpen() || (t.isEmpty() && !t.isEditing())) {
            beside->clear();
            return;
        }
        const table::Field* f = t.findField(field);
        beside->setText(text(edit ? edit->text() : f ? f->text() : QString()));
    };
    for (auto signal : {&widgets::DataSource::recordChanged, &widgets::DataSource::viewChanged,
                        &widgets::DataSource::stateChanged})
        QObject::connect(&form.source(), signal, beside, show);
    if (edit)
        QObject::connect(edit, &QLineEdit::textChanged, beside, show);
    show();
    return beside;
}
