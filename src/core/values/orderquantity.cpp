#include "core/values/orderquantity.h"

#include "core/values/rangeerrors.h"

#include <cmath>
#include <limits>

namespace {

// Nearest integer, halves to the even neighbour; beyond 64 bits it overflows.
qint64 roundToInt64(double value) {
    const double rounded = std::nearbyint(value);
    if (!(std::fabs(rounded) < 0x1p63))
        RaiseOverflowError();
    return qint64(rounded);
}

} // namespace

double CalcBestellMenge(double minMenge, double packMenge, double menge) {
    if (menge == 0)
        return 0;
    if (menge < minMenge)
        menge = minMenge;
    if (packMenge > 1) {
        const qint64 packs = roundToInt64(menge - 1) / roundToInt64(packMenge) + 1;
        return double(packs) * packMenge;
    }
    return menge;
}
