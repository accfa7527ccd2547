#include "masterdata/gui/modallistform.h"

#include "core/data/datamodule.h"
#include "core/data/recordrules.h"
#include "core/datagui/moduleopener.h"
#include "core/gui/placement.h"
#include "masterdata/gui/listformdecl.h"
#include "masterdata/gui/tf_listform.h"

#include <QPointer>

namespace {

// While the form is open, the request for its table reaches it; any other
// goes where it went before.
class RecordShownWhileOpen {
public:
    RecordShownWhileOpen(const QString& tableObject, const QPointer<TF_ListForm>& form)
        : m_previous(RecordRuleHooksRegistry().recordShown) {
        RecordRuleHooksRegistry().recordShown = [tableObject, &form,
                                                 previous = m_previous](const QString& asked) {
            if (form && asked.compare(tableObject, Qt::CaseInsensitive) == 0)
                form->showRecord();
            else if (previous)
                previous(asked);
        };
    }
    ~RecordShownWhileOpen() { RecordRuleHooksRegistry().recordShown = m_previous; }
    RecordShownWhileOpen(const RecordShownWhileOpen&) = delete;
    RecordShownWhileOpen& operator=(const RecordShownWhileOpen&) = delete;

private:
    std::function<void(const QString&)> m_previous;
};

} // namespace

int OpenListFormModal(const ListFormDecl& decl) {
    TDataModule1& dm = DataModule1();
    const TableFormDecl host = TF_ListForm::hostDeclaration(decl);
    table::Table& shown = dm.table(host.table);
    const QList<table::Table*> tables = QList<table::Table*>{&shown} + SharedTablesOfForm(host);
    QPointer<TF_ListForm> open;
    const RecordShownWhileOpen answer(host.table, open);
    ModuleForm module;
    module.build = [&]() -> std::unique_ptr<QDialog> {
        auto form = std::make_unique<TF_ListForm>(decl, shown, MainForm());
        open = form.get();
        return form;
    };
    return OpenModuleOn(dm, tables, module);
}
