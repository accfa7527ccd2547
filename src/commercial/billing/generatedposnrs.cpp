#include "commercial/billing/generatedposnrs.h"

#include "commercial/documents/positionnumbers.h"

#include <algorithm>

int TGeneratedPosNrs::appended() const {
    return NextFreePosNr(m_last == 0 ? TPosNrBounds{} : TPosNrBounds{m_last, MaxPosNr});
}

int TGeneratedPosNrs::take(int posNr) {
    if (posNr >= 0)
        m_last = posNr;
    return posNr;
}

int TGeneratedPosNrs::TemplateLine(int templatePosNr) {
    if (templatePosNr > 0 && templatePosNr <= MaxPosNr) {
        const int own = NormalizePosNr(templatePosNr);
        if (own > m_last)
            return take(own);
    }
    return take(appended());
}

int TGeneratedPosNrs::DeliveryLine() {
    if (m_last == 0) {
        const int first = std::max(m_first, 1);
        return take(first <= MaxPosNr ? NormalizePosNr(first) : -1);
    }
    return take(appended());
}
