#include "masterdata/gui/listforms.h"

#include "core/data/datamodule.h"
#include "core/data/datamoduletimer.h"
#include "core/data/masterformhooks.h"
#include "core/data/recordrules.h"
#include "core/gui/placement.h"
#include "core/messages/splashstatus.h"
#include "masterdata/gui/adressform.h"
#include "masterdata/gui/artikelform.h"
#include "masterdata/gui/kundenform.h"
#include "masterdata/gui/lieferantform.h"
#include "masterdata/gui/listformdecl.h"
#include "masterdata/gui/notdienstform.h"
#include "masterdata/gui/objektform.h"
#include "masterdata/gui/personalform.h"
#include "masterdata/gui/taetigform.h"
#include "masterdata/gui/tf_listform.h"
#include "platform/errors.h"

#include <QHash>
#include <QPointer>

using namespace Qt::StringLiterals;

namespace {

void dropForms();

struct Registry {
    QHash<QString, QPointer<TF_ListForm>> forms;
    // The data module whose table teardown frees the forms.
    TDataModule1* module = nullptr;
    // The hooks as they were before the forms answered them.
    RecordRuleHooks recordHooks;
    DataModuleTimerHooks timerHooks;
    MasterFormHookSet masterHooks;
    bool installed = false;
};

Registry& registry() {
    static Registry r;
    return r;
}

const ListFormEntry* entryOf(const QString& formClass) {
    for (const ListFormEntry& e : ListFormEntries())
        if (e.formClass == formClass)
            return &e;
    return nullptr;
}

TF_ListForm* build(const QString& formClass, const ListFormDecl& decl) {
    TDataModule1& dm = DataModule1();
    Registry& r = registry();
    if (r.module != &dm) {
        dm.AddTableTeardown(&dropForms);
        r.module = &dm;
    }
    auto* form = new TF_ListForm(decl, dm.table(decl.form.table), MainForm());
    r.forms.insert(formClass, form);
    return form;
}

// Before the table objects are freed: the forms' widgets are bound to them.
void dropForms() {
    const auto forms = registry().forms;
    registry().forms.clear();
    // A module built later, even at the same address, gets the drop again.
    registry().module = nullptr;
    for (const QPointer<TF_ListForm>& form : forms)
        delete form.data();
}

QList<TF_ListForm*> formsOver(const QString& tableObject) {
    QList<TF_ListForm*> found;
    for (const QPointer<TF_ListForm>& form : std::as_const(registry().forms))
        if (form &&
            form->listDeclaration().form.table.compare(tableObject, Qt::CaseInsensitive) == 0)
            found.append(form.data());
    return found;
}

MasterFormHooks masterHooksOf(const QString& formClass) {
    MasterFormHooks hooks;
    hooks.turnoverTabVisible = [formClass] {
        const TF_ListForm* form = FindListForm(formClass);
        return form && form->pageShown(form->listDeclaration().turnoverPage);
    };
    hooks.redrawTurnoverChart = [formClass] {
        if (TF_ListForm* form = FindListForm(formClass))
            form->redrawPages();
    };
    hooks.showRecordPosition = [formClass] {
        if (TF_ListForm* form = FindListForm(formClass))
            form->showRecord();
    };
    return hooks;
}

void installHooks() {
    Registry& r = registry();
    if (r.installed)
        return;
    r.installed = true;
    r.recordHooks = RecordRuleHooksRegistry();
    r.timerHooks = DataModuleTimerHooksRegistry();
    r.masterHooks = MasterFormHooksRegistry();
    auto previousShown = r.recordHooks.recordShown;
    RecordRuleHooksRegistry().recordShown = [previousShown](const QString& tableObject) {
        const QList<TF_ListForm*> forms = formsOver(tableObject);
        for (TF_ListForm* form : forms)
            form->showRecord();
        if (forms.isEmpty() && previousShown)
            previousShown(tableObject);
    };
    auto previousVisible = r.timerHooks.formVisible;
    DataModuleTimerHooksRegistry().formVisible = [previousVisible](const QString& tableObject) {
        for (TF_ListForm* form : formsOver(tableObject))
            if (form->isVisible())
                return true;
        return previousVisible && previousVisible(tableObject);
    };
    for (const ListFormEntry& e : ListFormEntries()) {
        const ListFormDecl decl = e.declare();
        if (decl.masterHooks)
            MasterFormHooksRegistry().*(decl.masterHooks) = masterHooksOf(e.formClass);
    }
}

void removeHooks() {
    Registry& r = registry();
    if (!r.installed)
        return;
    r.installed = false;
    RecordRuleHooksRegistry() = r.recordHooks;
    DataModuleTimerHooksRegistry() = r.timerHooks;
    MasterFormHooksRegistry() = r.masterHooks;
}

} // namespace

namespace {

QList<ListFormEntry>& entries() {
    // Start-up order: TF_Taetig, TF_Tour, TF_Objekt, TF_Adress, TF_Artikel,
    // TF_Personal, TF_Kunden, TF_Notdienst, TF_Lieferant; the tour form
    // adds itself (AddListFormEntry).
    static QList<ListFormEntry> list = {
        {u"TF_Taetig"_s, &TaetigFormDecl},       {u"TF_Objekt"_s, &ObjektListFormDecl},
        {u"TF_Adress"_s, &AdressFormDecl},       {u"TF_Artikel"_s, &ArtikelFormDecl},
        {u"TF_Personal"_s, &PersonalFormDecl},   {u"TF_Kunden"_s, &KundenFormDecl},
        {u"TF_Notdienst"_s, &NotdienstFormDecl}, {u"TF_Lieferant"_s, &LieferantFormDecl},
    };
    return list;
}

} // namespace

const QList<ListFormEntry>& ListFormEntries() {
    return entries();
}

void AddListFormEntry(const ListFormEntry& entry, const QString& after) {
    QList<ListFormEntry>& list = entries();
    if (entryOf(entry.formClass))
        return;
    qsizetype at = list.size();
    for (qsizetype i = 0; i < list.size(); ++i)
        if (list[i].formClass == after)
            at = i + 1;
    list.insert(at, entry);
}

QList<ListFormDecl> ListFormDecls() {
    QList<ListFormDecl> decls;
    for (const ListFormEntry& e : ListFormEntries())
        decls.append(e.declare());
    return decls;
}

LongLivedForms::LongLivedForms() {
    installHooks();
    for (const ListFormEntry& e : ListFormEntries()) {
        if (FindListForm(e.formClass))
            continue;
        const ListFormDecl decl = e.declare();
        SetSplashStatus(decl.splashName.isEmpty() ? decl.form.caption : decl.splashName);
        build(e.formClass, decl);
    }
}

LongLivedForms::~LongLivedForms() {
    dropForms();
    removeHooks();
}

TF_ListForm* FindListForm(const QString& formClass) {
    return registry().forms.value(formClass).data();
}

TF_ListForm& ShowListForm(const QString& formClass) {
    TF_ListForm* form = FindListForm(formClass);
    if (!form) {
        const ListFormEntry* entry = entryOf(formClass);
        if (!entry)
            throw DbError(u"Das Formular %1 ist nicht vorhanden."_s.arg(formClass));
        form = build(formClass, entry->declare());
    }
    form->show();
    form->raise();
    form->activateWindow();
    return *form;
}
