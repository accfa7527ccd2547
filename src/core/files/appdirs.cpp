#include "core/files/appdirs.h"

#include <QDir>

namespace {
QString fromEnvOr(const char* variable, const QString& fallback) {
    const QString value = qEnvironmentVariable(variable);
    return QDir::cleanPath(value.isEmpty() ? fallback : value);
}
} // namespace

QString WindowsDirectory() {
    const QString dir =
        fromEnvOr("DOMVERA_WINDIR", QDir::homePath() + QStringLiteral("/.config/Domvera"));
    QDir().mkpath(dir);
    return dir;
}

QString DefaultProgramDirectory() {
    return fromEnvOr("DOMVERA_HOME", QDir::homePath() + QStringLiteral("/.local/share/Domvera"));
}
