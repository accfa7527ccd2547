#include "manual/manualsource.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace {

QString readUtf8(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw ManualError{u"%1 kann nicht gelesen werden: %2"_s.arg(path, file.errorString())};
    QString text = QString::fromUtf8(file.readAll());
    text.remove(u'\r');
    return text;
}

ManualPage readPage(const QString& dir, const QString& source) {
    ManualPage page;
    page.source = source;
    page.htmlName = QFileInfo(source).completeBaseName() + u".html"_s;
    page.markdown = readUtf8(dir + u'/' + source);
    const QStringList lines = page.markdown.split(u'\n');
    qsizetype i = 0;
    while (i < lines.size() && lines[i].trimmed().isEmpty())
        ++i;
    if (i == lines.size() || !lines[i].startsWith(u"# "_s))
        throw ManualError{u"%1 beginnt nicht mit einer Überschrift \"# \""_s.arg(source)};
    page.title = lines[i].mid(2).trimmed();
    ++i;
    while (i < lines.size() && lines[i].trimmed().isEmpty())
        ++i;
    QStringList summary;
    while (i < lines.size() && !lines[i].trimmed().isEmpty() && !lines[i].startsWith(u'#'))
        summary << lines[i++].trimmed();
    // Links and emphasis read as plain text in a one-line description.
    static const QRegularExpression link(u"\\[([^\\]]*)\\]\\([^)]*\\)"_s);
    page.summary = summary.join(u' ').replace(link, u"\\1"_s).remove(u'*');
    return page;
}

} // namespace

const ManualPage* ManualSource::page(const QString& source) const {
    for (const ManualChapter& chapter : chapters)
        for (const ManualPage& p : chapter.pages)
            if (p.source == source)
                return &p;
    return nullptr;
}

QList<const ManualPage*> ManualSource::allPages() const {
    QList<const ManualPage*> result;
    for (const ManualChapter& chapter : chapters)
        for (const ManualPage& p : chapter.pages)
            result << &p;
    return result;
}

QString ManualFolderName(const QString& title) {
    QString name;
    for (const QChar c : title) {
        switch (c.unicode()) {
        case u'ä':
            name += u"ae"_s;
            break;
        case u'ö':
            name += u"oe"_s;
            break;
        case u'ü':
            name += u"ue"_s;
            break;
        case u'Ä':
            name += u"Ae"_s;
            break;
        case u'Ö':
            name += u"Oe"_s;
            break;
        case u'Ü':
            name += u"Ue"_s;
            break;
        case u'ß':
            name += u"ss"_s;
            break;
        default:
            name += (c.unicode() < 128 && c.isLetterOrNumber()) ? c : u'_';
        }
    }
    return name;
}

ManualSource ReadManualSource(const QString& dir) {
    ManualSource source;
    source.directory = dir;
    const QStringList lines = readUtf8(dir + u"/inhalt.txt"_s).split(u'\n');
    QStringList known;
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QString line = lines[n].trimmed();
        const auto fault = [&](const QString& what) {
            return ManualError{u"inhalt.txt, Zeile %1: %2"_s.arg(n + 1).arg(what)};
        };
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u"=="_s)) {
            ManualChapter chapter;
            chapter.title = line.mid(2).trimmed();
            chapter.folder = ManualFolderName(chapter.title);
            source.chapters << chapter;
        } else if (line.startsWith(u'>')) {
            if (source.chapters.isEmpty())
                throw fault(u"Beschreibung vor dem ersten Kapitel"_s);
            QString& description = source.chapters.last().description;
            description += (description.isEmpty() ? QString() : u"\n"_s) + line.mid(1).trimmed();
        } else if (line.startsWith(u"PDF "_s)) {
            const QStringList parts = line.mid(4).split(u'|');
            if (parts.size() != 3)
                throw fault(u"PDF-Zeile braucht \"Datei | Titel | Seiten\""_s);
            ManualPdf pdf{parts[0].trimmed(), parts[1].trimmed(), {}};
            const QString pages = parts[2].trimmed();
            if (pages != u"*")
                pdf.sources = pages.split(u' ', Qt::SkipEmptyParts);
            source.pdfs << pdf;
        } else if (line.endsWith(u".md"_s)) {
            if (source.chapters.isEmpty())
                throw fault(u"Seite vor dem ersten Kapitel"_s);
            if (known.contains(line, Qt::CaseInsensitive))
                throw fault(u"%1 steht zweimal im Inhalt"_s.arg(line));
            known << line;
            source.chapters.last().pages << readPage(dir, line);
        } else {
            throw fault(u"unbekannte Zeile \"%1\""_s.arg(line));
        }
    }
    for (const ManualPdf& pdf : std::as_const(source.pdfs))
        for (const QString& page : pdf.sources)
            if (!source.page(page))
                throw ManualError{
                    u"%1 nennt %2, das nicht im Inhalt steht"_s.arg(pdf.fileName, page)};
    return source;
}
