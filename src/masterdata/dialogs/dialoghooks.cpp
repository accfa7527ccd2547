#include "masterdata/dialogs/dialoghooks.h"

#include "core/data/datamodule.h"
#include "core/data/recordrules.h"
#include "masterdata/dialogs/datepickers.h"
#include "masterdata/dialogs/pickers.h"
#include "masterdata/dialogs/tourlookupfields.h"
#include "platform/widgets/dbdateedit.h"

#include <QApplication>
#include <QWidget>

QPoint ActiveFormCorner() {
    const QWidget* form = QApplication::activeModalWidget();
    if (!form)
        form = QApplication::activeWindow();
    return form ? form->pos() : QPoint();
}

int SelectTourObjektGeneral(int typed) {
    // The user's sort of the list is kept from one use to the next.
    static QString sortField;
    const QPoint corner = ActiveFormCorner();
    return SelectObjekt(typed, 240, corner.x() + 40, corner.y() + 200, sortField);
}

int SelectNotdienstGeneral(int typed) {
    const QPoint corner = ActiveFormCorner();
    return SelectNotdienst(typed, corner.x() + 240, corner.y() + 140);
}

void InstallDialogHooks(TDataModule1& dataModule) {
    widgets::setDatePicker([](widgets::DbDateEdit& edit) { return PickDbEditDate(edit); });
    RecordRuleHooksRegistry().selectTourObjekt = &SelectTourObjektGeneral;
    RecordRuleHooksRegistry().selectNotdienst = &SelectNotdienstGeneral;
    dataModule.AddTableSetup([](TDataModule1& dm) { AddTourLookupFields(dm.TabLUTour()); });
}
