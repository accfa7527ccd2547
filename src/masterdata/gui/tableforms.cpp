#include "masterdata/gui/tableforms.h"

#include "masterdata/gui/docforms.h"
#include "masterdata/gui/dvgroupsform.h"
#include "masterdata/gui/fremdleistform.h"
#include "masterdata/gui/liefartform.h"
#include "masterdata/gui/listformdecl.h"
#include "masterdata/gui/mwstform.h"
#include "masterdata/gui/schluesselform.h"
#include "masterdata/gui/smalltableforms.h"
#include "masterdata/gui/tableformdecl.h"
#include "masterdata/gui/zahlintervform.h"

QList<TableFormDecl> TableFormDecls() {
    QList<TableFormDecl> decls = {MwstFormDecl(),       ZahlBedFormDecl(),      ZahlartFormDecl(),
                                  MengEinhFormDecl(),   KrankenkasseFormDecl(), BankenFormDecl(),
                                  ZahlIntervFormDecl(), LiefArtFormDecl()};
    decls.append(DvGroupsFormDecl());
    for (const DocFamilyRow& row : DocFamily())
        decls.append(DocFormDecl(row));
    return decls;
}

QList<ListFormDecl> ModalListFormDecls() {
    return {SchluesselFormDecl(), FremdleistFormDecl()};
}
