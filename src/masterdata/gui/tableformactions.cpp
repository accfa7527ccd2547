#include "masterdata/gui/tableformactions.h"

#include "core/data/dbhelpers.h"
#include "masterdata/dialogs/datepickers.h"
#include "masterdata/gui/tf_tableform.h"
#include "platform/table/table.h"
#include "platform/widgets/datasource.h"

#include <QLabel>

ColumnAction CalendarColumn(const QString& field, int dx, int dy, bool todayWhenEmpty,
                            CalendarCancel onCancel) {
    return {field, [=](TF_TableForm& form) {
                table::Table& t = form.table();
                const table::Field& stored = t.field(field);
                TDateTime date =
                    stored.isNull()
                        ? (todayWhenEmpty ? DateTimeOfDate(QDate::currentDate()) : EmptyDate)
                        : DateTimeOfDate(stored.asDate());
                const bool chosen = PickDateBeside(date, form, dx, dy);
                if (!chosen && onCancel == CalendarCancel::Nothing)
                    return;
                EnsureEditOrInsert(t);
                if (chosen)
                    t[field] = DateOfDateTime(date);
                form.source().notifyRecordChanged();
            }};
}

QList<PrintButtonDecl> ListPrintButtons(int formType, const QString& entry) {
    return {{QStringLiteral("Vorsc&hau"), formType, entry, 1},
            {QStringLiteral("Dr&uck"), formType, entry, 0}};
}

QList<PrintButtonDecl> DruckVorschauButtons(int formType, const QString& entry) {
    return {{QStringLiteral("Druck"), formType, entry, 0},
            {QStringLiteral("Vorsc&hau"), formType, entry, 1}};
}

QList<widgets::DbNavigator::Button> BrowseNavigator() {
    using B = widgets::DbNavigator;
    return {B::First, B::Prior, B::Next, B::Last, B::Insert, B::Delete, B::Refresh};
}

FormActionDecl QuietTableAction(const QString& caption, std::function<void(table::Table& t)> work) {
    return {caption, [work = std::move(work)](TF_TableForm& form) {
                {
                    widgets::ControlsDisabled quiet(form.source());
                    work(form.table());
                }
                form.source().notifyViewChanged();
            }};
}

QList<widgets::DbNavigator::Button> EditNavigator() {
    using B = widgets::DbNavigator;
    return {B::First,  B::Prior, B::Next,   B::Last,   B::Insert,
            B::Delete, B::Post,  B::Cancel, B::Refresh};
}

QLabel& HiddenSortLabel(QWidget& form, const QString& name) {
    if (auto* label = form.findChild<QLabel*>(name))
        return *label;
    auto* label = new QLabel(&form);
    label->setObjectName(name);
    label->hide();
    return *label;
}
