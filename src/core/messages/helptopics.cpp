#include "core/messages/helptopics.h"

#include "core/files/programdirs.h"

#include <QCollator>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStringDecoder>
#include <algorithm>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

struct Description {
    std::optional<QString> title;
    std::optional<QString> fname;
    QStringList otherLines; // lines that are neither TITLE: nor FNAME:
    QStringList nonTitleLines;
};

std::optional<Description> readDescription(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QStringDecoder decoder("windows-1252");
    const QString text = decoder(file.readAll());
    Description d;
    QStringList lines = text.split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QString line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.startsWith(u"TITLE:"_s)) {
            d.title = line.mid(6);
            continue;
        }
        d.nonTitleLines << line;
        if (line.startsWith(u"FNAME:"_s))
            d.fname = line.mid(6);
        else
            d.otherLines << line;
    }
    return d;
}

QString joinLines(const QStringList& lines) {
    QString result;
    for (const QString& line : lines)
        result += line + u'\r';
    return result;
}

void walk(const QString& dir, bool isHelpRoot, QList<THelpNode>& parent) {
    const QFileInfoList entries = QDir(dir).entryInfoList(
        QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
    for (const QFileInfo& entry : entries) {
        if (entry.isDir()) {
            if (entry.fileName().startsWith(u'.'))
                continue;
            const auto d = readDescription(dir + u'/' + entry.fileName() + u".txt"_s);
            if (d && d->title) {
                THelpNode chapter;
                chapter.caption = *d->title;
                chapter.path = entry.absoluteFilePath();
                chapter.description = joinLines(d->nonTitleLines);
                chapter.kind = THelpNode::Chapter;
                walk(entry.absoluteFilePath(), false, chapter.children);
                parent.append(chapter);
            } else {
                walk(entry.absoluteFilePath(), false, parent);
            }
        } else if (!isHelpRoot && entry.suffix().compare(u"txt"_s, Qt::CaseInsensitive) == 0) {
            const auto d = readDescription(entry.absoluteFilePath());
            if (!d || !d->fname)
                continue;
            THelpNode topic;
            topic.caption = d->title.value_or(QString());
            topic.path = QDir::cleanPath(entry.absolutePath() + u'/' + *d->fname);
            topic.description = joinLines(d->otherLines);
            topic.kind = THelpNode::Topic;
            parent.append(topic);
        }
    }
}

void sortTree(QList<THelpNode>& nodes, const QCollator& collator) {
    std::stable_sort(nodes.begin(), nodes.end(), [&](const THelpNode& a, const THelpNode& b) {
        return collator.compare(a.caption, b.caption) < 0;
    });
    for (THelpNode& node : nodes)
        sortTree(node.children, collator);
}

} // namespace

QString HelpDirectory() {
    return ProgramDir + u"Help"_s;
}

QList<THelpNode> ReadHelpTree(const QString& helpDir) {
    QList<THelpNode> tree;
    if (!QFileInfo(helpDir).isDir())
        return tree;
    walk(QDir(helpDir).absolutePath(), true, tree);
    QCollator collator(QLocale(QLocale::German, QLocale::Germany));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    sortTree(tree, collator);
    return tree;
}
