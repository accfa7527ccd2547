#include "masterdata/dialogs/datepickers.h"

#include "masterdata/dialogs/tf_kalender.h"
#include "platform/table/field.h"
#include "platform/widgets/dbdateedit.h"
#include "platform/widgets/fieldlink.h"

#include <QApplication>

namespace {

bool pickAt(TDateTime& date, const QPoint& position) {
    if (!F_Kalender)
        return false;
    F_Kalender->SetPos(position.x(), position.y());
    F_Kalender->SetDate(date);
    if (F_Kalender->exec() != QDialog::Accepted)
        return false;
    date = F_Kalender->GetDate();
    return true;
}

} // namespace

bool PickDbEditDate(QWidget& edit, widgets::FieldLink& link) {
    const table::Field* field = link.field();
    if (!F_Kalender || !field)
        return false;
    TDateTime date = field->isNull() ? EmptyDate : DateTimeOfDate(field->asDate());
    if (!PickDateBelow(edit, date))
        return false;
    return link.write(DateOfDateTime(date));
}

bool PickDateBelow(const QWidget& edit, TDateTime& date) {
    return pickAt(date, edit.mapToGlobal(QPoint(0, 0)) + QPoint(-120, 22));
}

bool PickDbEditDate(widgets::DbDateEdit& edit) {
    return PickDbEditDate(edit, edit.link());
}

bool PickDateAt(TDateTime& date, int x, int y) {
    const QWidget* form = QApplication::activeModalWidget();
    if (!form)
        form = QApplication::activeWindow();
    const QPoint corner = form ? form->pos() : QPoint();
    return pickAt(date, corner + QPoint(x, y));
}

bool PickDateBeside(TDateTime& date, const QWidget& form, int dx, int dy) {
    return pickAt(date, form.pos() + QPoint(dx, dy));
}
