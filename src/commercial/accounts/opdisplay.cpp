#include "commercial/accounts/opdisplay.h"

#include "core/values/datetimevalue.h"

#include <QDate>
#include <QVariant>

TOpOverdue OpOverdueClass(const QVariant& dueDate, const QDate& today) {
    const QDate due = dueDate.isNull() || !dueDate.toDate().isValid() ? DateOfDateTime(EmptyDate)
                                                                      : dueDate.toDate();
    const qint64 days = due.daysTo(today);
    if (days >= 28)
        return TOpOverdue::Red;
    if (days >= 14)
        return TOpOverdue::Pink;
    if (days >= 1)
        return TOpOverdue::Orange;
    return TOpOverdue::NotDue;
}

QColor OpOverdueColor(TOpOverdue overdue) {
    switch (overdue) {
    case TOpOverdue::Orange:
        return QColor(255, 167, 79);
    case TOpOverdue::Pink:
        return QColor(255, 119, 170);
    case TOpOverdue::Red:
        return QColor(255, 0, 0);
    case TOpOverdue::NotDue:
        break;
    }
    return {};
}

QColor OpSettledRowColor() {
    return QColor(102, 238, 102);
}

QString OpFilterCaption(int mode, int objektNr, int kundenNr, int monat, int jahr,
                        const QString& searchText) {
    switch (mode) {
    case 1:
        return QStringLiteral("[Offene]");
    case 2:
        return QStringLiteral("[Erledigte]");
    case 3:
        return QStringLiteral("[Objekt %1]").arg(objektNr);
    case 4:
        return QStringLiteral("[Kunde %1]").arg(kundenNr);
    case 5:
        return QStringLiteral("[Monat %1/%2]").arg(monat).arg(jahr);
    case 99:
        return QStringLiteral("[Suche: %1]").arg(searchText);
    default:
        return QStringLiteral("[Alle]");
    }
}

QDate ProposedArchiveLimit(const QDate& today, const QDate& earliest) {
    const QDate proposal = QDate(today.year(), today.month(), 1).addMonths(-1).addDays(-1);
    return earliest.isValid() && earliest > proposal ? earliest : proposal;
}
