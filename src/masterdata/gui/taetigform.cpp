#include "masterdata/gui/taetigform.h"

#include "core/data/dbhelpers.h"
#include "core/data/numberproposals.h"
#include "core/settings/formplacement.h"
#include "masterdata/activities.h"
#include "masterdata/dialogs/pickers.h"
#include "masterdata/gui/fieldbeside.h"
#include "masterdata/gui/fielddecls.h"
#include "masterdata/gui/listformdecl.h"
#include "masterdata/gui/listforms.h"
#include "masterdata/gui/tableformactions.h"
#include "masterdata/gui/tf_tableform.h"
#include "masterdata/pickedvalue.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/rowreader.h"

#include <QApplication>
#include <QDrag>
#include <QMouseEvent>

using namespace Qt::StringLiterals;
using widgets::FieldDecl;
using widgets::FieldKind;

namespace {

// A double-click on a column without a dialog arms the drag of the current
// activity; it starts with the first movement while the button is held.
class TaetigDragSource : public QObject {
public:
    explicit TaetigDragSource(TF_TableForm& form) : QObject(&form), m_form(form) {
        form.grid().viewport()->installEventFilter(this);
    }
    void arm() { m_armed = true; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonRelease) {
            m_armed = false;
        } else if (event->type() == QEvent::MouseMove && m_armed &&
                   (static_cast<QMouseEvent*>(event)->buttons() & Qt::LeftButton)) {
            m_armed = false;
            const int nr = FieldInt(m_form.table(), u"T_Nr"_s);
            auto* drag = new QDrag(watched);
            drag->setMimeData(TaetigDragData(nr));
            drag->exec(Qt::CopyAction);
            return true;
        }
        return false;
    }

private:
    TF_TableForm& m_form;
    bool m_armed = false;
};

void armDrag(TF_TableForm& form) {
    if (auto* source = form.findChild<TaetigDragSource*>())
        source->arm();
}

// The functions of an activity as Functype.db lists them.
std::pair<QStringList, QVariantList> functionChoices() {
    std::pair<QStringList, QVariantList> choices;
    auto types = OpenTempTable(u"LumoDB"_s, u"Functype.db"_s);
    for (types->first(); !types->eof() && !types->isEmpty(); types->next()) {
        choices.first.append(FieldText(*types, u"FT_Text"_s));
        choices.second.append(FieldInt(*types, u"FT_ID"_s));
    }
    return choices;
}

// Seasons recur every year: day and month are what counts.
void showSeasonsAsDayAndMonth(table::Table& taetig) {
    for (const QString& field : {u"T_SaisonVon"_s, u"T_SaisonBis"_s})
        if (table::Field* f = taetig.findField(field))
            f->onGetText = [](const table::Field& season) {
                return season.isNull() ? QString() : season.asDate().toString(u"dd.MM."_s);
            };
}

void pickOnForm(QWidget& editor, void (*choose)(TF_TableForm&)) {
    if (auto* form = qobject_cast<TF_TableForm*>(editor.window()))
        choose(*form);
}

} // namespace

void ChooseTaetigBasisEinheit(TF_TableForm& form) {
    table::Table& t = form.table();
    const QString chosen =
        SelectMengBez(FieldText(t, u"T_BasisEinheit"_s), 240, 200, 300, QString());
    if (StorePickedValue(t, u"T_BasisEinheit"_s, chosen, true))
        form.source().notifyRecordChanged();
}

void ChooseTaetigKostart(TF_TableForm& form) {
    table::Table& t = form.table();
    const int chosen =
        SelectKostart(FieldInt(t, u"T_KostArt"_s), 320, form.x() + 140, form.y() + 50, u"A_Nr"_s);
    if (StorePickedValue(t, u"T_KostArt"_s, chosen, false))
        form.source().notifyRecordChanged();
}

TableFormDecl TaetigPagesDecl() {
    TableFormDecl d;
    d.formClass = u"TF_Taetig"_s;
    d.caption = u"Tätigkeiten"_s;
    d.source = TableSource::Shared;
    d.table = u"TabTaetig"_s;
    d.gridName = u"GridTaetig"_s;
    d.columns = {{u"T_Nr"_s, u"Nummer"_s, 7},
                 {u"T_Gruppe"_s, u"Gruppe"_s, 14},
                 {u"T_Func"_s, u"Funktion"_s, 14, true},
                 {u"T_Match"_s, u"Suchbegriff"_s, 30},
                 {u"T_SaisonVon"_s, u"Saison von"_s, 9},
                 {u"T_SaisonBis"_s, u"Saison bis"_s, 9}};
    for (const QString& field : {u"T_SaisonVon"_s, u"T_SaisonBis"_s})
        d.columnActions.append(CalendarColumn(field, 200, 330, true, CalendarCancel::Nothing));
    for (const QString& field : {u"T_Gruppe"_s, u"T_Func"_s, u"T_Match"_s})
        d.columnActions.append({field, &armDrag});
    d.titleSort = TitleSort::ByColumn;
    d.initialSortField = u"T_Nr"_s;
    d.navigatorButtons = BrowseNavigator();
    d.postCancelButtons = true;
    const auto functions = functionChoices();
    // The base unit first: Ctrl+PgDn from the grid lands there.
    d.fields = {
        {.caption = u"Basis&einheit"_s,
         .field = u"T_BasisEinheit"_s,
         .width = 10,
         .pick = [](QWidget& editor) { pickOnForm(editor, &ChooseTaetigBasisEinheit); }},
        EditField(u"&Preis/Einheit"_s, u"T_BasisPreis"_s, {}, 10),
        EditField(u"Mi&nuten/Einheit"_s, u"T_BasisMinuten"_s, {}, 10),
        {.caption = u"&Kostenart"_s,
         .field = u"T_KostArt"_s,
         .width = 6,
         .pick = [](QWidget& editor) { pickOnForm(editor, &ChooseTaetigKostart); }},
        {.caption = u"&Funktion"_s,
         .field = u"T_Func"_s,
         .kind = FieldKind::Combo,
         .width = 20,
         .items = functions.first,
         .values = functions.second},
        {.caption = u"Text für &Tageslisten"_s,
         .field = u"T_TextTour"_s,
         .kind = FieldKind::RichText},
        {.caption = u"Text für Kontroll&berichte"_s,
         .field = u"T_TextKontroll"_s,
         .kind = FieldKind::RichText,
         .sameLine = true},
    };
    d.openTables = {u"TabKostart"_s};
    d.contextMenu = {
        QuietTableAction(u"Leistungssatz kopieren"_s, [](table::Table& t) { CopyTaetigRecord(t); }),
        {u"Abbruch"_s, {}}};
    d.prints = ListPrintButtons(21000, u"PrintTaetigList"_s);
    d.helpPage = u"tatigkeiten.html"_s;
    d.minimumSize = {760, 600};
    d.placement = {kPlacementFile01, u"Taetigkeit"_s, {u"GridTaetig.Columns"_s}};
    d.setup = [functions](TF_TableForm& form) {
        new TaetigDragSource(form);
        showSeasonsAsDayAndMonth(form.table());
        AddTextBesideField(form, u"T_KostArt"_s, 30,
                           [](const QString& nr) { return TaetigKostartName(nr.toInt()); });
        // The function is chosen on the page; the grid shows its name.
        if (table::Field* f = form.table().findField(u"T_Func"_s))
            f->onGetText = [functions](const table::Field& func) {
                const qsizetype at = functions.second.indexOf(QVariant(func.asIntegerOr(0)));
                return at < 0 ? QString() : functions.first.at(at);
            };
        // The grid's rows were read before the texts were set.
        form.source().rows().release();
        form.source().notifyViewChanged();
    };
    return d;
}

ListFormDecl TaetigFormDecl() {
    ListFormDecl d;
    d.form = TaetigPagesDecl();
    d.form.placement.properties.append(u"lbSort.Caption"_s);
    d.right = 8;
    d.numberProposal = {u"T_Nr"_s, u"Möchten Sie die Tätigkeitsnummer wirklich ändern?"_s,
                        &ProposeTaetigNr};
    return d;
}

void ShowTaetigForm() {
    ShowListForm(u"TF_Taetig"_s);
}
