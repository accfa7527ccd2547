#include "platform/widgets/fieldlink.h"

#include "platform/table/table.h"
#include "platform/table/tableerror.h"
#include "platform/table/values.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/typedinput.h"
#include "platform/widgets/userprompts.h"

#include <QWidget>

namespace widgets {

FieldLink::FieldLink(DataSource& source, const QString& fieldName, QWidget* widget)
    : QObject(widget), m_source(source), m_fieldName(fieldName), m_widget(widget) {
    connect(&source, &DataSource::recordChanged, this, &FieldLink::refresh);
    connect(&source, &DataSource::stateChanged, this, &FieldLink::refresh);
}

table::Field* FieldLink::field() const {
    table::Table& t = m_source.table();
    return t.isOpen() ? t.findField(m_fieldName) : nullptr;
}

bool FieldLink::editable() const {
    const table::Field* f = field();
    if (!f || f->isCalculated() || f->type() == table::FieldType::AutoInc)
        return false;
    table::Table& t = m_source.table();
    if (t.state() == table::TableState::Insert || t.isEmpty())
        return m_source.mayInsert();
    return m_source.mayEdit();
}

void FieldLink::setRefresh(std::function<void()> refresh) {
    m_refresh = std::move(refresh);
    this->refresh();
}

void FieldLink::refresh() {
    if (!m_refresh)
        return;
    m_loading = true;
    try {
        m_refresh();
    } catch (...) {
        m_loading = false;
        throw;
    }
    m_loading = false;
}

bool FieldLink::write(const QVariant& typed) {
    const bool ok = guarded(m_widget, [&] {
        try {
            writeChecked(typed);
        } catch (const table::TableError& e) {
            // Typed into a form: the user knows the field by its caption there.
            const QString caption = FieldCaption(*m_widget);
            if (caption.isEmpty() || e.fieldName().compare(m_fieldName, Qt::CaseInsensitive) != 0)
                throw;
            throw DbError(e.namingField(caption));
        }
    });
    if (!ok)
        refresh();
    return ok;
}

void FieldLink::writeChecked(const QVariant& typed) {
    table::Table& t = m_source.table();
    table::Field* f = field();
    if (!f)
        throw DbError(QStringLiteral("Feld %1 der Tabelle %2 nicht gefunden.")
                          .arg(m_fieldName, t.tableName()));
    const QVariant value = TypedFieldValue(*f, typed);
    // Checked against the field's type before the record is touched.
    const QVariant fresh = table::toStored(f->def(), value);
    const QVariant current = f->isNull() ? QVariant() : table::toStored(f->def(), f->value());
    if (fresh == current && fresh.isNull() == current.isNull())
        return;
    if (!m_source.autoEdit() && !t.isEditing())
        throw DbError(QStringLiteral("Der Datensatz ist nicht im Bearbeitungsmodus."));
    const bool started = !t.isEditing();
    m_source.startEdit();
    try {
        f->setValue(value);
    } catch (...) {
        // A record rule refused: an edit begun only for this value ends with it.
        if (started && t.isEditing())
            t.cancel();
        throw;
    }
    m_source.notifyRecordChanged();
}

} // namespace widgets
