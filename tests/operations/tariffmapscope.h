#pragma once

#include "operations/clockimport.h"

namespace operationstest {

// The tariff map and import path of the process, empty for a test and put
// back afterwards.
class TariffMapScope {
public:
    TariffMapScope() : m_saved(TariffMap()), m_savedPath(ChipDriveImportPath) {
        TariffMap().clear();
        ChipDriveImportPath.clear();
    }
    ~TariffMapScope() {
        TariffMap() = m_saved;
        ChipDriveImportPath = m_savedPath;
    }
    TariffMapScope(const TariffMapScope&) = delete;
    TariffMapScope& operator=(const TariffMapScope&) = delete;

private:
    QList<TReflistEntry> m_saved;
    QString m_savedPath;
};

} // namespace operationstest
