#include "core/settings/formplacement.h"

#include "core/files/appdirs.h"
#include "core/settings/inifile.h"
#include "platform/errors.h"

#include <QDir>
#include <QFile>

namespace {
const QString kLeft = QStringLiteral("Left");
const QString kTop = QStringLiteral("Top");
const QString kWidth = QStringLiteral("Width");
const QString kHeight = QStringLiteral("Height");
const QString kState = QStringLiteral("WindowState");

std::optional<QRect> readGeometry(const IniFile& ini, const QString& section) {
    for (const QString& key : {kLeft, kTop, kWidth, kHeight}) {
        bool ok = false;
        ini.readString(section, key).trimmed().toInt(&ok);
        if (!ok)
            return std::nullopt;
    }
    const int width = ini.readInteger(section, kWidth, 0);
    const int height = ini.readInteger(section, kHeight, 0);
    if (width <= 0 || height <= 0)
        return std::nullopt;
    return QRect(ini.readInteger(section, kLeft, 0), ini.readInteger(section, kTop, 0), width,
                 height);
}

std::optional<PlacementWindowState> readState(const IniFile& ini, const QString& section) {
    switch (ini.readInteger(section, kState, -1)) {
    case 0:
        return PlacementWindowState::Normal;
    case 1:
        return PlacementWindowState::Minimized;
    case 2:
        return PlacementWindowState::Maximized;
    default:
        return std::nullopt;
    }
}
} // namespace

QString FormPlacementFilePath(const QString& fileName) {
    return QDir(WindowsDirectory()).filePath(fileName);
}

std::optional<FormPlacement> ReadFormPlacement(const QString& fileName, const QString& section,
                                               int options, const QStringList& propertyNames) {
    IniFile ini(FormPlacementFilePath(fileName));
    if (!ini.loadIfReadable() || !ini.sectionExists(section))
        return std::nullopt;
    FormPlacement placement;
    if (options & StorePosition)
        placement.geometry = readGeometry(ini, section);
    if (options & StoreState)
        placement.state = readState(ini, section);
    for (const QString& name : propertyNames) {
        if (ini.valueExists(section, name))
            placement.properties.insert(name, ini.readString(section, name));
    }
    return placement;
}

void WriteFormPlacement(const QString& fileName, const QString& section, int options,
                        const FormPlacement& placement) {
    IniFile ini(FormPlacementFilePath(fileName));
    ini.load();
    if ((options & StorePosition) && placement.geometry) {
        ini.writeInteger(section, kLeft, placement.geometry->left());
        ini.writeInteger(section, kTop, placement.geometry->top());
        ini.writeInteger(section, kWidth, placement.geometry->width());
        ini.writeInteger(section, kHeight, placement.geometry->height());
    }
    if ((options & StoreState) && placement.state)
        ini.writeInteger(section, kState, static_cast<int>(*placement.state));
    for (auto it = placement.properties.cbegin(); it != placement.properties.cend(); ++it)
        ini.writeString(section, it.key(), it.value());
    ini.save();
}

void ClearWindowPlacements(const QString& fileName) {
    const QString path = FormPlacementFilePath(fileName);
    IniFile ini(path);
    if (!ini.load())
        return;
    for (const QString& section : ini.sectionNames()) {
        for (const QString& key : {kLeft, kTop, kWidth, kHeight, kState})
            ini.deleteKey(section, key);
        if (ini.keys(section).isEmpty())
            ini.eraseSection(section);
    }
    // A write-protected file is reset all the same.
    QFile file(path);
    file.setPermissions(file.permissions() | QFile::WriteOwner);
    if (!ini.sectionNames().isEmpty()) {
        ini.save();
        return;
    }
    if (!file.remove())
        throw DbError(QStringLiteral("Die Datei %1 konnte nicht gelöscht werden.")
                          .arg(QDir::toNativeSeparators(path)));
}
