#include "masterdata/gui/notdienstform.h"

#include "core/data/numberproposals.h"
#include "core/files/deleteguard.h"
#include "core/settings/formplacement.h"
#include "masterdata/gui/fielddecls.h"
#include "masterdata/gui/keyinterceptor.h"
#include "masterdata/gui/listformdecl.h"
#include "masterdata/gui/listforms.h"
#include "masterdata/gui/tableformactions.h"
#include "masterdata/gui/tf_listform.h"
#include "platform/widgets/datasource.h"

#include <QLineEdit>

using namespace Qt::StringLiterals;
using widgets::FieldKind;

namespace {

const QString kGrund = u"&Grunddaten"_s;
const QString kBank = u"&Bank/Memo"_s;
// Deleting an emergency service takes the delete right of the objects,
// whose links to it go with it.
constexpr int kDeleteRight = 10;

void guardDelete() {
    ConfirmDelete(kDeleteRight);
}

} // namespace

TableFormDecl NotdienstTableDecl() {
    TableFormDecl d;
    d.formClass = u"TF_Notdienst"_s;
    d.caption = u"Notdienste"_s;
    d.source = TableSource::Shared;
    d.table = u"TabNotdienst"_s;
    d.gridName = u"GridNotdienst"_s;
    d.columns = {{u"ND_Nr"_s, u"ND-Nr"_s, 7},         {u"ND_Match"_s, u"Suchbegriff"_s, 18},
                 {u"ND_Branche"_s, u"Branche"_s, 18}, {u"ND_Name1"_s, u"Name"_s, 24},
                 {u"ND_Ort"_s, u"Ort"_s, 18},         {u"ND_Telefon"_s, u"Telefon"_s, 16}};
    d.titleSort = TitleSort::ByField;
    d.navigatorButtons = BrowseNavigator();
    d.postCancelButtons = true;
    d.fields = {
        EditField(u"Su&chbegriff"_s, u"ND_Match"_s, kGrund, 30),
        EditField(u"Name &1"_s, u"ND_Name1"_s, kGrund),
        EditField(u"B&ranche"_s, u"ND_Branche"_s, kGrund, 30),
        EditField(u"Tele&fon "_s, u"ND_Telefon"_s, kGrund, 22),
        EditField(u"Hand&y"_s, u"ND_Handy"_s, kGrund, 22),
        EditField(u"Fa&x"_s, u"ND_Fax"_s, kGrund, 22),
        EditField(u"E-Ma&il"_s, u"ND_Email"_s, kGrund),
        EditField(u"S&trasse"_s, u"ND_Strasse"_s, kGrund),
        EditField(u"Notdienst-&Nr"_s, u"ND_Nr"_s, kGrund, 8),
        EditField(u"&Plz/"_s, u"ND_Plz"_s, kGrund, 10),
        BesideField(u"&Ort"_s, u"ND_Ort"_s, kGrund),
        EditField(u"Sachb&earb."_s, u"ND_Sachbearbeiter"_s, kGrund),
        EditField(u"Bank&name"_s, u"ND_Bankname"_s, kBank, 40),
        EditField(u"BL&Z"_s, u"ND_BankBlz"_s, kBank, 10),
        EditField(u"&Konto-Nr"_s, u"ND_BankKontoNr"_s, kBank, 11),
        ListField(u"Zahlar&t"_s, u"ND_BankZahlart"_s, kBank, 30, u"ZA_ID"_s, u"ZA_Text"_s),
        {.caption = u"Mem&o"_s, .field = u"ND_Memo"_s, .kind = FieldKind::Memo, .page = kBank},
    };
    d.lookups = {{u"ND_BankZahlart"_s, u"TabZahlart"_s}};
    d.prints = DruckVorschauButtons(30000, u"PrintNotdienstList"_s);
    d.closeButton = false;
    d.helpPage = u"Notdienste.html"_s;
    d.minimumSize = {760, 640};
    d.placement = {kPlacementFile03,
                   u"Notdienst"_s,
                   {u"GridNotdienst.Columns"_s, u"lbSortND.Caption"_s},
                   StorePosition};
    return d;
}

ListFormDecl NotdienstFormDecl() {
    ListFormDecl d;
    d.form = NotdienstTableDecl();
    d.splashName = u"Notdienst"_s;
    d.numberProposal = {u"ND_Nr"_s, u"Möchten Sie die Notdienstnummer wirklich ändern?"_s,
                        NextFreeNotdienstNr};
    d.bankPair = {u"ND_Bankname"_s, u"ND_BankBlz"_s};
    d.recordPosition = true;
    d.sortLabel = u"lbSortND"_s;
    d.build = [](TF_ListForm& form) {
        form.source().setDeleteGuard(guardDelete);
        // In the search line Ctrl+Del asks, but deletes nothing.
        KeyInterceptor::install(form.searchEdit(), QKeySequence(Qt::CTRL | Qt::Key_Delete),
                                guardDelete);
    };
    return d;
}

void ShowNotdienstForm() {
    ShowListForm(u"TF_Notdienst"_s);
}
