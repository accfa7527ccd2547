#include "core/settings/cmdline.h"

#include <QCoreApplication>
#include <QFileInfo>

bool ParamSwitchPresent(const QString& switchText, const QStringList& parameters) {
    const QString wanted = switchText.trimmed().toUpper();
    for (const QString& parameter : parameters) {
        if (parameter.trimmed().toUpper() == wanted)
            return true;
    }
    return false;
}

bool ParamSwitchPresent(const QString& switchText) {
    const QStringList arguments = QCoreApplication::arguments();
    return ParamSwitchPresent(switchText, arguments.mid(1));
}

QString GetFileVersionText(const QString& fileName) {
    const QString unknown = QStringLiteral("?.??[???]");
    if (fileName.isEmpty() || QCoreApplication::instance() == nullptr)
        return unknown;
    const QFileInfo file(fileName);
    const QFileInfo self(QCoreApplication::applicationFilePath());
    if (!file.exists() || file.canonicalFilePath() != self.canonicalFilePath())
        return unknown;
    const QString version = QCoreApplication::applicationVersion();
    return version.isEmpty() ? unknown : version;
}
