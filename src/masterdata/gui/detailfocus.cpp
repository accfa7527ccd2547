#include "masterdata/gui/detailfocus.h"

#include "masterdata/gui/tf_tableform.h"
#include "platform/widgets/datagrid.h"

#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QPalette>

DetailFocus::DetailFocus(TF_TableForm& form, widgets::DataSource& source, widgets::DataGrid& grid)
    : QObject(&form), m_form(form), m_source(source), m_grid(grid) {
    watch(grid);
}

DetailFocus::~DetailFocus() = default;

void DetailFocus::watch(QWidget& control) {
    control.installEventFilter(this);
}

void DetailFocus::enter() {
    m_form.bindActions(&m_source);
    m_grid.setGridColor(QApplication::palette().color(QPalette::ToolTipBase));
    m_hold.enter();
}

void DetailFocus::leave() {
    if (!m_hold.holding())
        return;
    m_form.bindActions(nullptr);
    m_grid.setGridColor(QApplication::palette().color(QPalette::Base));
    m_hold.leave();
}

bool DetailFocus::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn)
        enter();
    else if (event->type() == QEvent::FocusOut) {
        // A modal editor, a menu or another window only borrows the focus; the
        // hold ends when the focus moves on within the form.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            leave();
    }
    return QObject::eventFilter(watched, event);
}
