#include "datasafety/archivenames.h"

#include "core/messages/messages.h"

#include <QDir>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace {

constexpr int kLastSequence = 999;
constexpr int kCurrentNameLength = 20;

int highestSequence(const QString& dir, const QString& stem, const QString& ext) {
    int highest = -1;
    const QStringList names =
        QDir(dir).entryList({stem + u"v*."_s + ext}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        bool ok = false;
        const int sequence = name.mid(13, 3).toInt(&ok);
        highest = qMax(highest, ok ? sequence : 0);
    }
    return highest;
}

} // namespace

bool NextArchiveName(const QString& targetDir, const QString& prefix, const QString& ext,
                     const QString& ext2, QString& name, QString& companion, const QDate& today) {
    const QString stem = prefix + today.toString(u"dd.MM.yyyy"_s);
    int highest = highestSequence(targetDir, stem, ext);
    if (!ext2.isEmpty())
        highest = qMax(highest, highestSequence(targetDir, stem, ext2));
    if (highest >= kLastSequence) {
        name.clear();
        companion.clear();
        ShowError(u"Für den "_s + today.toString(u"dd.MM.yyyy"_s) +
                  u" sind bereits 1000 Sicherungen dieser Art vorhanden.\r"_s +
                  u"Eine weitere Sicherungsdatei kann heute nicht angelegt werden!"_s);
        return false;
    }
    const QString base = stem + u'v' + QStringLiteral("%1").arg(highest + 1, 3, 10, QChar(u'0'));
    name = base + u'.' + ext;
    companion = ext2.isEmpty() ? QString() : base + u'.' + ext2;
    return true;
}

QString BackupRowKey(const QString& archiveName) {
    return archiveName.mid(8, 4) + archiveName.mid(5, 2) + archiveName.mid(2, 2) +
           archiveName.mid(12, 4);
}

QString DescribeBackupFile(const QString& archiveName) {
    static const QList<std::pair<QChar, QString>> kinds = {
        {u'B', u"Datenbanken "_s},
        {u'A', u"Datenablage "_s},
        {u'E', u"Import/Export-Einstellungen "_s},
        {u'T', u"Textbausteine "_s},
        {u'L', u"Formular-Layouts "_s},
        {u'M', u"Mahntexte "_s},
    };
    if (archiveName.size() == kCurrentNameLength) {
        for (const auto& [letter, text] : kinds)
            if (archiveName.back() == letter)
                return text + u"vom "_s + archiveName.mid(2, 10) + u" Version "_s +
                       archiveName.mid(13, 3);
    }
    return u"Unbekanntes Sicherungsformat"_s;
}

bool IsBackupArchiveName(const QString& name) {
    static const QRegularExpression form(u"^FB\\d\\d\\.\\d\\d\\.\\d{4}v\\d{3}\\.CC[A-Z]$"_s);
    return form.match(name).hasMatch();
}

bool MatchesBackupKind(const QString& name, const QString& ext, const QString& ext2) {
    return (!ext.isEmpty() && name.contains(ext)) || (!ext2.isEmpty() && name.contains(ext2));
}
