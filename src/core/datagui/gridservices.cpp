#include "core/datagui/gridservices.h"

#include "core/messages/messages.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datasource.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPalette>

using table::FieldType;
using widgets::DataGrid;

namespace {

QString g_lastSortField;
int g_lastSortColumn = 0;

// The index definitions as a list grid offers them: the primary index (the
// first field, empty name) ahead of the secondary ones.
QList<table::IndexDef> allIndexes(const table::Table& t) {
    QList<table::IndexDef> result;
    const auto& fields = t.definition().fields;
    if (!fields.isEmpty())
        result.append(table::IndexDef{QString(), {fields.first().name}, false, true, false});
    result.append(t.indexDefs());
    return result;
}

// Paints the sort column's title and plain titles elsewhere; returns the
// sort column (-1 when the grid does not show the field).
int markSortColumn(DataGrid& grid, const QString& fieldName) {
    auto& model = grid.gridModel();
    int sortColumn = -1;
    for (int c = 0; c < model.columnCount(); ++c) {
        if (model.fieldAt(c).compare(fieldName, Qt::CaseInsensitive) == 0) {
            model.setTitleBrush(c, QBrush(SortTitleColor()));
            if (sortColumn < 0)
                sortColumn = c;
        } else {
            model.setTitleBrush(c, QBrush());
        }
    }
    return sortColumn;
}

void switchIndex(DataGrid& grid, const QString& indexName) {
    table::Table& t = grid.source().table();
    t.setIndexName(indexName);
    if (t.isOpen())
        t.first();
    grid.source().notifyViewChanged();
    grid.followCursor();
}

bool isTextType(FieldType type) {
    return type == FieldType::String || type == FieldType::Memo || type == FieldType::FmtMemo;
}

bool isDateType(FieldType type) {
    return type == FieldType::Date || type == FieldType::Time || type == FieldType::DateTime;
}

} // namespace

QString LastSortField() {
    return g_lastSortField;
}

int LastSortColumn() {
    return g_lastSortColumn;
}

void ResetLastSort() {
    g_lastSortField.clear();
    g_lastSortColumn = 0;
}

QColor SortTitleColor() {
    return QColor(0xD2, 0xCD, 0xE0);
}

void SetGridColor(DataGrid& grid, const QColor& color) {
    grid.setGridColor(color);
}

int SortGridByField(const QString& fieldName, DataGrid& grid, bool force) {
    int result = g_lastSortColumn;
    if (fieldName == g_lastSortField && !force)
        return result;
    const QString head = fieldName.left(10);
    if (head.isEmpty())
        return result;
    const table::IndexDef* best = nullptr;
    qsizetype bestPos = -1;
    const auto defs = allIndexes(grid.source().table());
    for (const auto& def : defs) {
        const qsizetype pos = def.fields.join(u';').indexOf(head, 0, Qt::CaseInsensitive);
        if (pos >= 0 && (bestPos < 0 || pos < bestPos)) {
            best = &def;
            bestPos = pos;
        }
    }
    if (!best)
        return result;
    switchIndex(grid, best->name);
    g_lastSortField = fieldName;
    const int column = markSortColumn(grid, fieldName);
    if (column >= 0) {
        result = column;
        g_lastSortColumn = column;
    }
    return result;
}

int SortGridByColumn(DataGrid& grid, const QString& fieldName) {
    QString field = fieldName;
    int result = -1;
    const auto defs = allIndexes(grid.source().table());
    const int shown = grid.gridModel().columnOf(fieldName);
    for (const auto& def : defs) {
        if (shown >= 0 && !def.fields.isEmpty() &&
            def.fields.first().compare(fieldName, Qt::CaseInsensitive) == 0) {
            switchIndex(grid, def.name);
            result = markSortColumn(grid, fieldName);
            break;
        }
    }
    if (result < 0) {
        field = grid.gridModel().fieldAt(0);
        result = SortGridByField(field, grid, false);
    }
    g_lastSortField = field;
    g_lastSortColumn = result;
    return result;
}

QString GetSortFieldName() {
    return g_lastSortField;
}

QString GetColumnFieldName(const DataGrid& grid, int column, const QString& defaultName) {
    if (column < 0)
        return defaultName;
    return grid.gridModel().fieldAt(column);
}

void SelectGridField(DataGrid& grid, const QString& componentName) {
    // The longest field name that ends the component name wins, so
    // "TabRechSatzS_Menge" picks "S_Menge" over a field "Menge".
    const auto& model = grid.gridModel();
    QString best;
    for (int c = 0; c < model.columnCount(); ++c) {
        const QString field = model.fieldAt(c);
        if (!field.isEmpty() && componentName.endsWith(field, Qt::CaseInsensitive) &&
            field.size() > best.size())
            best = field;
    }
    if (!best.isEmpty())
        grid.selectField(best);
}

void SkipGridColumn(DataGrid& grid, int column, int key) {
    const int count = grid.gridModel().columnCount();
    if (count < 2 || column < 0 || column >= count)
        return;
    int target = key == Qt::Key_Left ? column - 1 : column + 1;
    if (column == 0)
        target = 1;
    else if (column == count - 1)
        target = count - 2;
    grid.selectField(grid.gridModel().fieldAt(target));
}

void FindKeyUpperCase(widgets::DataSource& source, const QString& text) {
    table::Table& t = source.table();
    if (!t.isOpen())
        return;
    QString key = text;
    for (QChar& c : key)
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - (u'a' - u'A'));
    const QStringList fields = t.indexFieldNames();
    if (fields.isEmpty())
        return;
    const table::Field& field = t.field(fields.first());
    QVariant value = key;
    if (!isTextType(field.type())) {
        if (key.isEmpty())
            return;
        bool ok = false;
        const qlonglong number = key.toLongLong(&ok);
        if (!ok)
            return;
        value = number;
    }
    widgets::ControlsDisabled quiet(source);
    t.findNearest({value});
}

void FilterSearchKey(const DataGrid& grid, QLineEdit& searchEdit, int column, QChar& key) {
    if (column < 0 || column >= grid.gridModel().columnCount()) {
        key = QChar();
        return;
    }
    table::Table& t = grid.source().table();
    const table::Field* field = t.findField(grid.gridModel().fieldAt(column));
    if (!field || field->isCalculated()) {
        ShowNoSearchField();
        key = QChar();
        return;
    }
    const FieldType type = field->type();
    if (isTextType(type))
        return;
    if (type == FieldType::Boolean) {
        if (!QStringLiteral("JNjn").contains(key))
            key = QChar();
        return;
    }
    if (isDateType(type)) {
        searchEdit.clear();
        key = QChar();
        return;
    }
    const QString text = searchEdit.text();
    for (const QChar c : text)
        if (!c.isDigit() || c.unicode() > u'9') {
            searchEdit.clear();
            break;
        }
    if (key != QChar(8) && !(key >= u'0' && key <= u'9'))
        key = QChar();
}

QChar TypedSearchKey(const QKeyEvent& event) {
    if (event.key() == Qt::Key_Backspace)
        return QChar(8);
    if (!event.text().isEmpty() && event.text().at(0).isPrint())
        return event.text().at(0);
    return {};
}
