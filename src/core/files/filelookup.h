#pragma once

#include <QString>

// Files that came from systems ignoring the case of names ("ORM10001.qfd",
// "orm10001.QFD") are found under any case: the path of the entry of `dir`
// whose name equals `name` without regard to case, the exact name first;
// empty when there is none.
QString FindFileIgnoringCase(const QString& dir, const QString& name);

// The same for a path below `dir` whose folders and file may each differ in
// case ("Export/  17_0409_Sep.txt" finds "EXPORT/  17_0409_SEP.TXT"); the
// parts are separated by "/" or "\" and joined with "/". Empty when any part
// is missing.
QString FindPathIgnoringCase(const QString& dir, const QString& relativePath);
