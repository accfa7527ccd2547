#include "core/memoryinfo.h"

#include <QFile>
#include <QRegularExpression>
#include <QString>

using namespace Qt::StringLiterals;

namespace {
qint64 field(const QString& text, const QString& name) {
    const QRegularExpression re(u"^"_s + name + u":\\s*(\\d+)"_s,
                                QRegularExpression::MultilineOption);
    const QRegularExpressionMatch m = re.match(text);
    return m.hasMatch() ? m.captured(1).toLongLong() : -1;
}
} // namespace

MemoryInfo ParseMemInfo(const QString& text) {
    MemoryInfo info;
    const qint64 total = field(text, u"MemTotal"_s);
    const qint64 available = field(text, u"MemAvailable"_s);
    if (total <= 0)
        return info;
    info.totalKb = total;
    if (available >= 0 && available <= total)
        info.loadPercent = int((total - available) * 100 / total);
    return info;
}

MemoryInfo ReadMemoryInfo() {
    QFile file(u"/proc/meminfo"_s);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return ParseMemInfo(QString::fromLatin1(file.readAll()));
}
