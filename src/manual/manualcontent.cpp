#include "manual/manualcontent.h"

#include <QtGlobal>

using namespace Qt::StringLiterals;

// Outside any namespace, as the resource's initialiser is declared there.
static void initManualResource() {
    Q_INIT_RESOURCE(manual);
}

QString ShippedManualDirectory() {
    // A static library's resources are only linked in when something calls
    // their initialiser.
    static const bool registered = (initManualResource(), true);
    Q_UNUSED(registered);
    return u":/manual"_s;
}
