#include "masterdata/objektprinttypes.h"

int BerichtFormType(const QVariant& berichtModus) {
    const int modus = berichtModus.isNull() || !berichtModus.isValid() ? 1 : berichtModus.toInt();
    switch (modus) {
    case 1:
        return 26000;
    case 2:
        return 27000;
    default:
        return 28000;
    }
}

int MieterGroupFormType(bool notdienstePageShown) {
    return notdienstePageShown ? 70000 : 36000;
}
