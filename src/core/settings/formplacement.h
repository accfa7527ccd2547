#pragma once

#include <QMap>
#include <QRect>
#include <QString>
#include <optional>

// Forms keep their placement and a few chosen properties (column layouts,
// sort columns, active pages) between runs in ini files in the Windows
// directory, one section per form. A missing file or section leaves the form
// at its designed placement.

inline const QString kPlacementFile00 = QStringLiteral("DomveraPlan00.ini");
inline const QString kPlacementFile01 = QStringLiteral("DomveraPlan01.ini");
inline const QString kPlacementFile02 = QStringLiteral("DomveraPlan02.ini");
inline const QString kPlacementFile03 = QStringLiteral("DomveraPlan03.ini");
inline const QString kPlacementFile04 = QStringLiteral("DomveraPlan04.ini");
inline const QString kPlacementFileDatev = QStringLiteral("DomveraX304.ini");
inline const QString kPlacementFilePlancheck = QStringLiteral("DomveraX04.ini");

// What a form stores besides its properties.
enum PlacementOption : int {
    StorePosition = 1, // position and size
    StoreState = 2,    // normal or maximised
    StorePositionAndState = StorePosition | StoreState,
};

// Window states as stored.
enum class PlacementWindowState : int { Normal = 0, Minimized = 1, Maximized = 2 };

struct FormPlacement {
    std::optional<QRect> geometry; // the frame: left, top, width, height
    std::optional<PlacementWindowState> state;
    QMap<QString, QString> properties; // e.g. "GridObjekt.Columns"
};

// The full path of a placement file: the file name in the Windows directory.
QString FormPlacementFilePath(const QString& fileName);

// What the section of the form holds, limited to Options and to the given
// property names; nullopt when the file or the section is missing.
std::optional<FormPlacement> ReadFormPlacement(const QString& fileName, const QString& section,
                                               int options, const QStringList& propertyNames);
// Writes what Options ask for and every property of Placement into the
// form's section, keeping the other sections of the file. Raises a DbError
// when the file cannot be written.
void WriteFormPlacement(const QString& fileName, const QString& section, int options,
                        const FormPlacement& placement);

// Takes every window's position, size and state out of a placement file and
// keeps what else it holds (column layouts, sort columns, the last user's
// name); a file left without values goes. Raises a DbError when the file
// cannot be rewritten or removed.
void ClearWindowPlacements(const QString& fileName);
