#include "masterdata/gui/liefartform.h"

#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/lookups.h"
#include "core/data/supplierarticles.h"
#include "core/settings/formplacement.h"
#include "masterdata/dialogs/pickers.h"
#include "masterdata/gui/fielddecls.h"
#include "masterdata/gui/listformdecl.h"
#include "masterdata/gui/modallistform.h"
#include "masterdata/gui/recordposition.h"
#include "masterdata/gui/tableformactions.h"
#include "masterdata/gui/tf_tableform.h"
#include "masterdata/supplierassortment.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datasource.h"
#include "printing/listbutton.h"

#include <QLabel>
#include <QScopeGuard>

using namespace Qt::StringLiterals;
using widgets::FieldDecl;
using widgets::FieldKind;

namespace {

const QString kArtNo = u"A_ArtNo"_s;
const QString kSortLabel = u"lbSortArtik"_s;

int shownLieferantId = 0;
int shownLieferantNr = 0;

} // namespace

void ChooseLiefArtArticle(TF_TableForm& form) {
    if (form.grid().selectedField().compare(kArtNo, Qt::CaseInsensitive) != 0)
        return;
    table::Table& t = form.table();
    QLabel& sort = HiddenSortLabel(form, kSortLabel);
    QString sortField = sort.text();
    const QString chosen =
        SelectArtikelNr(0, FieldText(t, kArtNo), 400, form.x() + 40, form.y() + 80, sortField);
    sort.setText(sortField);
    if (TakeArticleIntoLiefArt(t, chosen))
        form.source().notifyRecordChanged();
}

TableFormDecl LiefArtFormDecl() {
    TableFormDecl d;
    d.formClass = u"TF_Liefart"_s;
    d.caption = u"Lieferanten-Sortiment"_s;
    d.source = TableSource::Shared;
    d.table = u"TabLiefArt"_s;
    d.gridName = u"GridArtik"_s;
    d.columns = {{kArtNo, u"Artikel-Nr"_s, 8},
                 {u"A_LiefArtNo"_s, u"Lieferanten-Artikel-Nr."_s, 22},
                 {u"A_Bezeich1"_s, u"Suchbegriff"_s, 24},
                 {u"A_Bezeich2"_s, u"Hersteller"_s, 24},
                 {u"A_EkPreis"_s, u"Einkaufspreis"_s, 12}};
    d.columnActions = {{kArtNo, &ChooseLiefArtArticle}};
    d.titleSort = TitleSort::ByField;
    d.initialSortField = kArtNo;
    d.navigatorButtons = BrowseNavigator();
    d.postCancelButtons = true;
    // The supplier's article number first: Ctrl+PgDn from the grid lands there.
    d.fields = {
        EditField(u"Lieferanten-Artikel-&Nr."_s, u"A_LiefArtNo"_s, {}, 30),
        {.caption = u"Ar&tikel-Nr"_s,
         .field = kArtNo,
         .width = 8,
         .pick =
             [](QWidget& editor) {
                 if (auto* form = qobject_cast<TF_TableForm*>(editor.window()))
                     ChooseLiefArtArticle(*form);
             }},
        EditField(u"&Suchbegriff"_s, u"A_Bezeich1"_s, {}, 30),
        EditField(u"Herste&ller"_s, u"A_Bezeich2"_s, {}, 30),
        EditField(u"&Kurzbeschreibung"_s, u"A_Bezeich3"_s, {}, 30),
        {.caption = u"Besch&reibung"_s, .field = u"A_Beschreibung"_s, .kind = FieldKind::Memo},
        EditField(u"&Einkaufspreis"_s, u"A_EkPreis"_s, {}, 12),
        ListField(u"MWSt-Sat&z"_s, u"A_Mwst"_s, {}, 20, u"Mwst_Nr"_s, u"Mwst_Kurz"_s),
        ListField(u"&Verpackungseinheit"_s, u"A_VerpackEinheit"_s, {}, 20, u"VE_ID"_s,
                  u"VE_Lang"_s),
        EditField(u"Umverpackun&g"_s, u"A_VerpackMenge"_s, {}, 10),
        EditField(u"Ge&wicht"_s, u"A_Gewicht"_s, {}, 10),
        EditField(u"Mindest&bestellmenge"_s, u"A_BestellmengeMin"_s, {}, 10),
        EditField(u"Lie&ferzeit (Tage)"_s, u"A_Liefertage"_s, {}, 6),
    };
    d.lookups = {{u"A_Mwst"_s, u"TabMwst"_s}, {u"A_VerpackEinheit"_s, u"TabVE"_s}};
    d.prints = ListPrintButtons(56000, u"PrintLiefArt"_s);
    for (PrintButtonDecl& print : d.prints)
        print.prepare = [](TF_TableForm&, ListPrintButton& list) {
            list.args.lieferantNr = shownLieferantNr;
            list.args.lieferantName = GetLieferantMatchById(shownLieferantId);
        };
    d.helpPage = u"lieferanten.html"_s;
    d.minimumSize = {760, 640};
    d.placement = {
        kPlacementFile03, u"Liefersortiment"_s, {u"GridArtik.Columns"_s, u"lbSortArtik.Caption"_s}};
    d.setup = [](TF_TableForm& form) {
        form.setWindowTitle(LiefArtCaption(shownLieferantNr));
        HiddenSortLabel(form, kSortLabel);
        AddRecordPosition(form);
    };
    return d;
}

ListFormDecl LiefArtListFormDecl() {
    ListFormDecl d;
    d.form = LiefArtFormDecl();
    // The assortment is opened for one supplier: no number to remember.
    d.remember = [] {};
    d.filterGridTyping = true;
    return d;
}

void ShowLiefArtForm(int lieferantId, int lieferantNr) {
    table::Table& liefArt = DataModule1().TabLiefArt();
    // The filter opens the table; it stays open only while the form is shown.
    const auto closeAfter = qScopeGuard([&liefArt] {
        if (liefArt.isOpen())
            liefArt.close();
    });
    shownLieferantId = lieferantId;
    shownLieferantNr = lieferantNr;
    FilterLiefArtByLieferant(lieferantId);
    OpenListFormModal(LiefArtListFormDecl());
}
