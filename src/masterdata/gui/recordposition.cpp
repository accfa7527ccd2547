#include "masterdata/gui/recordposition.h"

#include "masterdata/gui/tf_tableform.h"
#include "platform/table/table.h"
#include "platform/widgets/datasource.h"

#include <QHBoxLayout>
#include <QLabel>

using namespace Qt::StringLiterals;

namespace {

QLabel* positionLabel(TF_TableForm& form, const QString& name) {
    auto* label = new QLabel(&form);
    label->setObjectName(name);
    label->setFont(QFont(u"Courier New"_s));
    // Beside the navigator's buttons, before the row's stretch.
    QHBoxLayout& row = form.topRow();
    int at = row.count();
    for (int i = 0; i < row.count(); ++i)
        if (row.itemAt(i)->spacerItem()) {
            at = i;
            break;
        }
    row.insertWidget(at, label);
    return label;
}

} // namespace

void AddRecordPosition(TF_TableForm& form) {
    QLabel* count = positionLabel(form, u"lbRecordCount"_s);
    QLabel* number = positionLabel(form, u"lbRecordNo"_s);
    const auto show = [&form, count, number] {
        table::Table& t = form.table();
        const bool open = t.isOpen();
        count->setText(u"Datensätze: %1"_s.arg(open ? t.recordCount() : 0, 5));
        number->setText(u"Satznummer: %1"_s.arg(open ? t.recNo() : 0, 5));
    };
    for (auto signal : {&widgets::DataSource::recordChanged, &widgets::DataSource::viewChanged,
                        &widgets::DataSource::stateChanged})
        QObject::connect(&form.source(), signal, count, show);
    show();
}
