#include "masterdata/gui/showntables.h"

#include "core/data/datamodule.h"
#include "core/data/recordrules.h"
#include "masterdata/gui/tf_tableform.h"
#include "platform/table/table.h"
#include "platform/widgets/userprompts.h"

#include <QEvent>
#include <QWidget>
#include <exception>

namespace {

struct FieldFocusHook {
    QString prefix;
    std::function<void(const QString&)> focus;
    std::function<void(const QString&)> previous;
    void operator()(const QString& fieldObject) const {
        if (fieldObject.startsWith(prefix, Qt::CaseInsensitive))
            focus(fieldObject.mid(prefix.size()));
        else if (previous)
            previous(fieldObject);
    }
};

} // namespace

ShownTables::ShownTables(QWidget& form, QStringList tables, std::function<void()> leaving)
    : QObject(&form), m_form(form), m_tables(std::move(tables)), m_leaving(std::move(leaving)) {
    form.installEventFilter(this);
    // A detail row the rules refuse keeps the form open, so that it can be
    // mended or cancelled where it is shown.
    if (auto* tableForm = qobject_cast<TF_TableForm*>(&form))
        tableForm->addCloseCheck([this] {
            if (!HasDataModule1() || !DataModule1().hasTables())
                return;
            for (auto it = m_tables.crbegin(); it != m_tables.crend(); ++it)
                if (table::Table& t = DataModule1().table(*it); t.isOpen() && t.isEditing())
                    t.post();
        });
}

bool ShownTables::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &m_form && event->type() == QEvent::Show)
        widgets::guarded(&m_form, [this] {
            for (const QString& name : std::as_const(m_tables)) {
                table::Table& t = DataModule1().table(name);
                if (!t.isOpen())
                    t.open();
            }
        });
    else if (watched == &m_form && event->type() == QEvent::Hide)
        widgets::guarded(&m_form, [this] {
            if (m_leaving)
                m_leaving();
            if (!HasDataModule1() || !DataModule1().hasTables())
                return;
            // The form is gone: a row that cannot be posted is dropped (the first
            // error is shown) rather than left half-edited in a shared table.
            std::exception_ptr refused;
            for (auto it = m_tables.crbegin(); it != m_tables.crend(); ++it) {
                table::Table& t = DataModule1().table(*it);
                try {
                    if (t.isEditing())
                        t.post();
                } catch (...) {
                    if (!refused)
                        refused = std::current_exception();
                    t.cancel();
                }
                t.close();
            }
            if (refused)
                std::rethrow_exception(refused);
        });
    return QObject::eventFilter(watched, event);
}

void InstallFieldFocus(const QString& prefix, std::function<void(const QString& field)> focus) {
    auto& hook = RecordRuleHooksRegistry().focusField;
    for (const FieldFocusHook* h = hook.target<FieldFocusHook>(); h;
         h = h->previous.target<FieldFocusHook>())
        if (h->prefix.compare(prefix, Qt::CaseInsensitive) == 0)
            return;
    hook = FieldFocusHook{prefix, std::move(focus), hook};
}
