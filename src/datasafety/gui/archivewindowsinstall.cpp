#include "datasafety/gui/archivewindowsinstall.h"

#include "core/moduleentries.h"
#include "datasafety/documentarchive/archivewindows.h"
#include "datasafety/gui/archiveviewdecl.h"
#include "datasafety/gui/tf_archiveview.h"
#include "datasafety/gui/tf_auslag.h"
#include "datasafety/gui/tf_docview.h"

void InstallArchiveWindows(ModuleDispatcher& dispatcher) {
    SetArchiveDocumentsOpener(&ArchiveDocumentsWindow);
    SetDocViewOpener(&ShowDocViewWindow);
    InstallArchiveViews();
    for (const ArchiveViewDecl& decl : ArchiveViewDecls())
        dispatcher.setOpener(decl.opener, [&decl] { ShowArchiveView(decl); });
}
