#pragma once

#include <QtGlobal>

class QString;

// Total physical memory and the memory load of the machine.
struct MemoryInfo {
    qint64 totalKb = 0;
    int loadPercent = 0;
};
MemoryInfo ReadMemoryInfo();
// From the text of /proc/meminfo (MemTotal, MemAvailable).
MemoryInfo ParseMemInfo(const QString& text);
