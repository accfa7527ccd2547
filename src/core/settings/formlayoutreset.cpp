#include "core/settings/formlayoutreset.h"

#include "core/files/programdirs.h"
#include "core/settings/formplacement.h"
#include "platform/errors.h"

#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

QStringList FormLayoutFileNames() {
    return {kPlacementFile00, kPlacementFile01,        kPlacementFile02,   kPlacementFile03,
            kPlacementFile04, kPlacementFilePlancheck, kPlacementFileDatev};
}

void ClearLayoutFiles() {
    for (const QString& name : FormLayoutFileNames())
        ClearWindowPlacements(name);
}

bool ResetFormLayouts() {
    bool ok = true;
    for (const QString& name : FormLayoutFileNames()) {
        try {
            ClearWindowPlacements(name);
        } catch (const DbError&) {
            ok = false;
        }
    }
    QFile marker(WindowsDir + u"DELDEF.DSF"_s);
    if (!marker.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return ok;
}
