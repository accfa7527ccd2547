#include "core/settings/formlayoutreset.h"

#include "core/files/programdirs.h"
#include "core/settings/formplacement.h"

#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

QStringList FormLayoutFileNames() {
    return {kPlacementFile00, kPlacementFile01,        kPlacementFile02,   kPlacementFile03,
            kPlacementFile04, kPlacementFilePlancheck, kPlacementFileDatev};
}

bool ResetFormLayouts() {
    bool ok = true;
    for (const QString& name : FormLayoutFileNames()) {
        QFile file(WindowsDir + name);
        if (file.exists()) {
            file.setPermissions(file.permissions() | QFile::WriteOwner);
            ok = file.remove() && ok;
        }
    }
    QFile marker(WindowsDir + u"DELDEF.DSF"_s);
    if (!marker.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return ok;
}
