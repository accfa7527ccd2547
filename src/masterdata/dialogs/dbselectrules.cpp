#include "masterdata/dialogs/dbselectrules.h"

#include "core/values/rangeerrors.h"

#include <QtNumeric>

QString LookupStartSort(const QString& sortField, const QString& locateField,
                        const QString& keyField) {
    if (!sortField.isEmpty())
        return sortField;
    if (!locateField.isEmpty())
        return locateField;
    return keyField;
}

int LookupClientHeight(int gridHeight, int topBarHeight, int bottomBarHeight) {
    int bars = 0;
    int total = 0;
    if (qAddOverflow(topBarHeight, bottomBarHeight, &bars) ||
        qAddOverflow(gridHeight, bars, &total))
        RaiseOverflowError();
    return total;
}

QChar SearchStartChar(int qtKey, Qt::KeyboardModifiers modifiers) {
    if (modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return {};
    if ((qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) || (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z))
        return QChar(qtKey); // the key codes of digits and letters are their capitals
    return {};
}
