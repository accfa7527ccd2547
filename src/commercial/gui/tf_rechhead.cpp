#include "commercial/gui/tf_rechhead.h"

#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/datagui/moduleopener.h"
#include "core/gui/placement.h"
#include "core/messages/messages.h"
#include "core/settings/formplacement.h"
#include "masterdata/dialogs/tf_dbrtf.h"
#include "masterdata/gui/tf_tableform.h"
#include "platform/errors.h"
#include "platform/table/database.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/dbnavigator.h"
#include "platform/widgets/dbrichedit.h"
#include "platform/widgets/fieldform.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

using namespace Qt::StringLiterals;
using widgets::DbNavigator;

namespace {

const QString kTable = u"ORgHDef.DB"_s;

// Opens the rich-text editor on a text of the current pair with the
// navigator off meanwhile (it comes back on every path); the edited text is
// posted when the editor closes.
void editText(TF_TableForm& form, const QString& field) {
    auto* text = form.fields()->editorAs<widgets::DbRichEdit>(field);
    if (!text || !form.table().isOpen() || form.table().isEmpty())
        return;
    form.navigator().setEnabled(false);
    struct Back {
        TF_TableForm& form;
        ~Back() { form.navigator().setEnabled(true); }
    } back{form};
    RunShowingErrors([&] { ShowRtfEditor(&form, *text); });
}

// Clicks on a text, its caption or the bar that carries it open the editor;
// Ctrl+PgDn in the list opens the head text (the display takes no focus).
class TextOpener : public QObject {
public:
    explicit TextOpener(TF_TableForm& form) : QObject(&form), m_form(form) {}
    void watch(QWidget* w, const QString& field) {
        if (!w)
            return;
        w->installEventFilter(this);
        m_fields.insert(w, field);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &m_form.grid()) {
            if (event->type() == QEvent::KeyPress) {
                const auto* key = static_cast<QKeyEvent*>(event);
                if (key->key() == Qt::Key_PageDown && key->modifiers() == Qt::ControlModifier) {
                    editText(m_form, u"RH_KopfText"_s);
                    return true;
                }
            }
            return false;
        }
        const auto field = m_fields.constFind(watched);
        if (field == m_fields.cend())
            return false;
        if (event->type() == QEvent::MouseButtonRelease) {
            editText(m_form, *field);
            return true;
        }
        return event->type() == QEvent::MouseButtonPress ||
               event->type() == QEvent::MouseButtonDblClick;
    }

private:
    TF_TableForm& m_form;
    QHash<QObject*, QString> m_fields;
};

void setupForm(TF_TableForm& form) {
    widgets::DataSource& source = form.source();
    source.setDeleteGuard([] {
        if (!AskYesNo(u"Möchten Sie den Datensatz löschen?"_s))
            throw Abort{};
    });
    // "Überneh&men" and "&Abbrechen" only while a pair is being edited.
    auto editing = [&form] {
        const bool on = form.table().isOpen() && form.table().isEditing();
        for (const QString& caption : {u"Überneh&men"_s, u"&Abbrechen"_s})
            if (QPushButton* b = form.button(caption))
                b->setEnabled(on);
    };
    QObject::connect(&source, &widgets::DataSource::stateChanged, &form, editing);
    editing();
    auto* opener = new TextOpener(form);
    form.grid().installEventFilter(opener);
    for (const QString& field : {u"RH_KopfText"_s, u"RH_FussText"_s}) {
        auto* text = form.fields()->editorAs<widgets::DbRichEdit>(field);
        text->setReadOnly(true);
        text->setFocusPolicy(Qt::NoFocus);
        opener->watch(text->viewport(), field);
        opener->watch(form.fields()->label(field), field);
    }
}

} // namespace

TableFormDecl RechHeadDeclaration(std::function<void(int)> onChosen) {
    TableFormDecl d;
    d.formClass = u"TF_RechHead"_s;
    d.caption = u"Definition Kopf/-Fußtexte"_s;
    d.source = TableSource::Own;
    d.table = kTable;
    d.keyField = u"RH_ID"_s;
    d.newRowValues = {{u"RH_KopfText"_s, QString()}, {u"RH_FussText"_s, QString()}};
    d.gridName = u"DBGrid1"_s;
    d.columns = {{u"RH_KurzBezeich"_s, u"Kurzbezeichnung"_s, 60}};
    auto choose = [onChosen](TF_TableForm& form) {
        table::Table& t = form.table();
        if (t.isEditing())
            t.post();
        if (onChosen)
            onChosen(t.isEmpty() ? 0 : FieldInt(t, u"RH_ID"_s));
        form.accept();
    };
    d.columnActions = {{u"RH_KurzBezeich"_s, choose}};
    d.navigatorButtons = {DbNavigator::First,  DbNavigator::Prior,  DbNavigator::Next,
                          DbNavigator::Last,   DbNavigator::Insert, DbNavigator::Delete,
                          DbNavigator::Refresh};
    d.postCancelButtons = true;
    widgets::FieldDecl kopf{u"Kopftext "_s, u"RH_KopfText"_s, widgets::FieldKind::RichText};
    widgets::FieldDecl fuss{u"Fußtext "_s, u"RH_FussText"_s, widgets::FieldKind::RichText};
    d.fields = {kopf, fuss};
    d.buttons = {{u"A&bbrechen"_s, [](TF_TableForm& form) { form.reject(); }}, {u"&OK"_s, choose}};
    d.closeButton = false;
    d.contextMenu = {{u"Textzeile &hinzufügen"_s,
                      [](TF_TableForm& form) {
                          form.table().append();
                          form.grid().followCursor();
                      }},
                     {u"&Abbrechen"_s, {}}};
    d.helpPage = u"dauerrechnungen.html"_s;
    d.minimumSize = {800, 500};
    d.placement = {kPlacementFile04, u"ObjRechHdef"_s, {}, StorePositionAndState};
    d.setup = setupForm;
    return d;
}

std::optional<int> SelectKopfFussText(int id) {
    std::optional<int> chosen;
    const TableFormDecl decl = RechHeadDeclaration([&chosen](int rhId) { chosen = rhId; });
    table::Table own(table::aliases::database(u"LumoDB"_s), kTable);
    InstallTableRules(decl, own);
    TablesOpenedHere opened({&own});
    // The last pair, unless the one asked for is there.
    own.last();
    if (!own.isEmpty() && FieldInt(own, u"RH_ID"_s) != id)
        own.locate({u"RH_ID"_s}, {id});
    ModuleForm module;
    module.build = [&]() -> std::unique_ptr<QDialog> {
        auto form = std::make_unique<TF_TableForm>(decl, own, MainForm());
        PlaceBelowMainForm(form.get(), 0, 0, 0);
        form->resize(decl.minimumSize);
        if (QMenu* menu = form->contextMenu())
            menu->setDefaultAction(menu->actions().value(0));
        return form;
    };
    OpenModuleOn(DataModule1(), {&own}, module);
    return chosen;
}
