#include "core/files/deleteguard.h"

#include "core/messages/messagecatalog.h"
#include "core/messages/messages.h"
#include "platform/errors.h"

namespace {
RightsChecker* g_checker = nullptr;
constexpr quint16 kDeleteQuestion = 65201;
} // namespace

RightsChecker* SetRightsChecker(RightsChecker* checker) {
    RightsChecker* previous = g_checker;
    g_checker = checker;
    return previous;
}

void ConfirmDelete(int functionNr) {
    if (g_checker == nullptr)
        throw DbError(QStringLiteral("Die Berechtigungen sind nicht geladen; es kann nichts "
                                     "gelöscht werden."));
    if (!g_checker->CheckDeleteRight(functionNr))
        throw Abort{};
    if (!AskYesNo(LoadMessage(kDeleteQuestion)))
        throw Abort{};
}
