#pragma once

#include "tourfixture.h"

#include <QDate>
#include <QVariant>

namespace operationstest {

// The planning tables with appointments written straight into TermObj.DB.
class Appointments : public Tours {
protected:
    // An appointment at the object on the date (null: none); further fields in extra.
    void addAppointment(int id, int objektNr, const QVariant& date, bool done = false,
                        const QList<std::pair<QString, QVariant>>& extra = {}) {
        QList<std::pair<QString, QVariant>> values{{QStringLiteral("T_ID"), id},
                                                   {QStringLiteral("T_Objekt"), objektNr},
                                                   {QStringLiteral("T_Date"), date},
                                                   {QStringLiteral("T_Erledigt"), done}};
        values += extra;
        addRow(QStringLiteral("TermObj.DB"), values);
    }
    // The appointment's row, field name to value (nulls left out); empty when gone.
    QVariantMap appointmentRow(int id) {
        for (const QVariantMap& row : rows(QStringLiteral("TermObj.DB")))
            if (row.value(QStringLiteral("T_ID")).toInt() == id)
                return row;
        return {};
    }
};

} // namespace operationstest
