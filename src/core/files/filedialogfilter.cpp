#include "core/files/filedialogfilter.h"

namespace {

QString mendedPattern(QString pattern) {
    pattern = pattern.trimmed();
    if (pattern.isEmpty())
        return {};
    // On Windows "*.*" matches every file, also one without extension.
    if (pattern == QStringLiteral("*.*"))
        return QStringLiteral("*");
    if (pattern.startsWith(u'.'))
        return u'*' + pattern;
    if (!pattern.contains(u'*') && !pattern.contains(u'?') && !pattern.contains(u'.'))
        return QStringLiteral("*.") + pattern;
    return pattern;
}

// "Word-Dokumente (*.doc" and "Textdateien (*.txt)" both give the bare description.
QString bareDescription(const QString& description) {
    QString text = description.trimmed();
    const qsizetype open = text.lastIndexOf(u'(');
    if (open > 0 && (text.indexOf(u'*', open) > open || text.indexOf(u'.', open) > open))
        text = text.left(open).trimmed();
    return text;
}

} // namespace

QStringList QtNameFilters(const QString& filter) {
    QStringList parts = filter.split(u'|');
    // A trailing "|" ends the list; it does not start another entry.
    while (!parts.isEmpty() && parts.last().trimmed().isEmpty())
        parts.removeLast();
    QStringList result;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        QStringList patterns;
        const QString patternText = i + 1 < parts.size() ? parts.at(i + 1) : QStringLiteral("*");
        for (const QString& p : patternText.split(u';')) {
            const QString mended = mendedPattern(p);
            if (!mended.isEmpty())
                patterns.append(mended);
        }
        if (patterns.isEmpty())
            patterns.append(QStringLiteral("*"));
        QString description = bareDescription(parts.at(i));
        if (description.isEmpty())
            description = patterns.join(u' ');
        result.append(description + QStringLiteral(" (") + patterns.join(u' ') + u')');
    }
    return result;
}

QString QtFilterString(const QString& filter) {
    return QtNameFilters(filter).join(QStringLiteral(";;"));
}
