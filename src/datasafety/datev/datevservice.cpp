#include "datasafety/datev/datevservice.h"

#include "datasafety/datasafety.h"
#include "platform/errors.h"

namespace {
std::function<void()>& opener() {
    static std::function<void()> installed;
    return installed;
}
} // namespace

void SetDatevFormOpener(std::function<void()> open) {
    opener() = std::move(open);
}

bool IsDatevFormInstalled() {
    return bool(opener());
}

void ShowDatevForm() {
    if (!opener())
        throw DbError(QStringLiteral("Diese Funktion steht noch nicht zur Verfügung."));
    opener()();
}
