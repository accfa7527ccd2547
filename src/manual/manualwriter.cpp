#include "manual/manualwriter.h"

#include "manual/manualsource.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QStringEncoder>
#include <QTextBlock>
#include <QTextDocument>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

void writeBytes(const QString& path, const QByteArray& bytes) {
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        throw ManualError{u"Ordner für %1 kann nicht angelegt werden"_s.arg(path)};
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        throw ManualError{u"%1 kann nicht geschrieben werden: %2"_s.arg(path, file.errorString())};
}

QString htmlEscaped(const QString& text) {
    return text.toHtmlEscaped();
}

// Headings set apart from the text before them, on screen and on paper.
void spaceHeadings(QTextDocument& doc) {
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        const int level = block.blockFormat().headingLevel();
        if (level == 0)
            continue;
        QTextBlockFormat format = block.blockFormat();
        format.setTopMargin(level == 1 ? 4 : 14);
        format.setBottomMargin(6);
        QTextCursor(block).setBlockFormat(format);
    }
}

// Qt's rich-text HTML with a readable line length in the browser.
QString pageHtml(const QString& markdown, const QString& title, const QString& baseDir) {
    QTextDocument doc;
    doc.setBaseUrl(QUrl::fromLocalFile(baseDir + u'/'));
    doc.setDefaultFont(QFont(u"Arial"_s, 11));
    doc.setMarkdown(markdown);
    spaceHeadings(doc);
    doc.setMetaInformation(QTextDocument::DocumentTitle, title);
    QString html = doc.toHtml();
    html.replace(u"<body style=\""_s,
                 u"<body style=\"max-width:46em; margin:1em auto; padding:0 1em; "
                 u"line-height:1.4; "_s);
    // Line breaks come from the browser, not from the Markdown source.
    html.replace(u"p, li { white-space: pre-wrap; }"_s, u"p, li { white-space: normal; }"_s);
    html.replace(u"font-family:'Arial';"_s, u"font-family:Arial,'Liberation Sans',sans-serif;"_s);
    return html;
}

QString navigation(const QList<const ManualPage*>& pages, qsizetype i) {
    QString line = u"[Inhaltsverzeichnis](../Index.html)"_s;
    if (i > 0)
        line += u" · [Zurück: %1](%2)"_s.arg(pages[i - 1]->title, pages[i - 1]->htmlName);
    if (i + 1 < pages.size())
        line += u" · [Weiter: %1](%2)"_s.arg(pages[i + 1]->title, pages[i + 1]->htmlName);
    return line;
}

// The pages' headings one level deeper, below the chapter headings of the
// whole manual.
QString demoted(const QString& markdown) {
    QStringList lines = markdown.split(u'\n');
    for (QString& line : lines)
        if (line.startsWith(u'#'))
            line.prepend(u'#');
    return lines.join(u'\n');
}

QByteArray windows1252Lines(const QStringList& lines) {
    QStringEncoder encoder("windows-1252");
    QByteArray bytes = encoder(lines.join(u"\r\n"_s) + u"\r\n"_s);
    if (encoder.hasError())
        throw ManualError{
            u"Beschreibung nicht in Windows-1252 darstellbar: %1"_s.arg(lines.first())};
    return bytes;
}

class PdfPages {
public:
    PdfPages(const QString& fileName, const QString& title, const QString& version)
        : m_writer(fileName), m_title(title), m_version(version) {
        m_writer.setTitle(title);
        m_writer.setCreator(u"Domvera "_s + version);
        m_writer.setResolution(300);
        m_writer.setPageSize(QPageSize(QPageSize::A4));
        m_writer.setPageMargins(QMarginsF(20, 15, 20, 12), QPageLayout::Millimeter);
        const QRect paint = m_writer.pageLayout().paintRectPixels(m_writer.resolution());
        m_footer = m_writer.resolution() * 10 / 25.4;
        m_page = QSizeF(paint.width(), paint.height() - m_footer);
    }

    // Lays the document out on this writer's pages.
    void prepare(QTextDocument& doc, const QString& baseDir) {
        doc.documentLayout()->setPaintDevice(&m_writer);
        doc.setDefaultFont(QFont(u"Liberation Sans"_s, 10));
        doc.setBaseUrl(QUrl::fromLocalFile(baseDir + u'/'));
        doc.setPageSize(m_page);
    }
    qreal pageHeight() const { return m_page.height(); }

    void print(QTextDocument& doc, int totalPages) {
        if (!m_painter.isActive() && !m_painter.begin(&m_writer))
            throw ManualError{u"PDF %1 kann nicht angelegt werden"_s.arg(m_writer.title())};
        for (int i = 0; i < doc.pageCount(); ++i) {
            if (m_printed > 0)
                m_writer.newPage();
            ++m_printed;
            m_painter.save();
            m_painter.translate(0, -i * m_page.height());
            doc.drawContents(&m_painter, QRectF(QPointF(0, i * m_page.height()), m_page));
            m_painter.restore();
            m_painter.setFont(QFont(u"Liberation Sans"_s, 8));
            m_painter.setPen(Qt::darkGray);
            const QRectF footer(0, m_page.height(), m_page.width(), m_footer);
            m_painter.drawText(footer, Qt::AlignLeft | Qt::AlignBottom,
                               u"Domvera %1 – %2"_s.arg(m_version, m_title));
            m_painter.drawText(footer, Qt::AlignRight | Qt::AlignBottom,
                               u"Seite %1 von %2"_s.arg(m_printed).arg(totalPages));
        }
    }
    void finish() {
        if (m_painter.isActive())
            m_painter.end();
    }

private:
    QPdfWriter m_writer;
    QPainter m_painter;
    QString m_title;
    QString m_version;
    QSizeF m_page;
    qreal m_footer = 0;
    int m_printed = 0;
};

// Screenshots wider than the paper's text width are scaled down to it; on
// screen the browser shows them at their own size.
void fitImages(QTextDocument& doc, const QString& baseDir) {
    constexpr int maxWidth = 600; // in screen pixels: about 16 cm on paper
    struct Scaled {
        int position;
        int length;
        QTextImageFormat format;
    };
    QList<Scaled> scaled;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.charFormat().isImageFormat())
                continue;
            QTextImageFormat image = fragment.charFormat().toImageFormat();
            const QImage picture(QDir(baseDir).filePath(image.name()));
            if (picture.isNull())
                throw ManualError{u"Bild %1 kann nicht gelesen werden"_s.arg(image.name())};
            if (picture.width() <= maxWidth)
                continue;
            image.setWidth(maxWidth);
            image.setHeight(qreal(picture.height()) * maxWidth / picture.width());
            scaled << Scaled{fragment.position(), fragment.length(), image};
        }
    }
    for (const Scaled& s : std::as_const(scaled)) {
        QTextCursor cursor(&doc);
        cursor.setPosition(s.position);
        cursor.setPosition(s.position + s.length, QTextCursor::KeepAnchor);
        cursor.setCharFormat(s.format);
    }
}

// Chapters start a new page, and so does every page of the manual that is
// not the first of its chapter.
void breakBeforeHeadings(QTextDocument& doc, int pageLevel) {
    bool afterChapter = false;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        const int level = block.blockFormat().headingLevel();
        const bool breaks = (level == 1 && pageLevel == 2) || (level == pageLevel && !afterChapter);
        if (breaks && block != doc.begin()) {
            QTextCursor cursor(block);
            QTextBlockFormat format = block.blockFormat();
            format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            cursor.setBlockFormat(format);
        }
        if (level > 0 || !block.text().trimmed().isEmpty())
            afterChapter = level == 1 && pageLevel == 2;
    }
}

QString contentsHtml(const QString& title, const QString& version,
                     const QList<ManualContentsEntry>& entries, int offset) {
    QString html =
        u"<h1 style=\"font-size:24pt\">%1</h1><p>Version %2</p><p>&nbsp;</p>"
        u"<h2>Inhalt</h2><table width=\"100%\" cellspacing=\"0\" cellpadding=\"2\">"_s.arg(
            htmlEscaped(title), htmlEscaped(version));
    for (const ManualContentsEntry& e : entries) {
        const QString cell = e.level == 1
                                 ? u"<b>%1</b>"_s.arg(htmlEscaped(e.title))
                                 : u"&nbsp;&nbsp;&nbsp;&nbsp;%1"_s.arg(htmlEscaped(e.title));
        html += u"<tr><td>%1</td><td align=\"right\">%2</td></tr>"_s.arg(cell).arg(e.page + offset);
    }
    return html + u"</table>"_s;
}

} // namespace

QList<ManualContentsEntry> WriteManualPdf(const ManualSource& source, const QString& fileName,
                                          const QString& title, const QStringList& pages,
                                          const QString& version) {
    const bool whole = pages.isEmpty();
    QString markdown;
    if (whole) {
        for (const ManualChapter& chapter : source.chapters) {
            markdown += u"# "_s + chapter.title + u"\n\n"_s;
            for (const ManualPage& page : chapter.pages)
                markdown += demoted(page.markdown) + u"\n\n"_s;
        }
    } else {
        for (const QString& name : pages)
            markdown += source.page(name)->markdown + u"\n\n"_s;
    }
    PdfPages pdf(fileName, title, version);
    QTextDocument body;
    pdf.prepare(body, source.directory);
    body.setMarkdown(markdown);
    spaceHeadings(body);
    fitImages(body, source.directory);
    breakBeforeHeadings(body, whole ? 2 : 1);
    pdf.prepare(body, source.directory);

    QList<ManualContentsEntry> entries;
    const int pageLevel = whole ? 2 : 1;
    const QAbstractTextDocumentLayout* layout = body.documentLayout();
    for (QTextBlock block = body.begin(); block.isValid(); block = block.next()) {
        const int level = block.blockFormat().headingLevel();
        if (level == 0 || level > pageLevel)
            continue;
        const int page = int(layout->blockBoundingRect(block).top() / pdf.pageHeight()) + 1;
        entries << ManualContentsEntry{block.text(), whole ? level : 2, page};
    }

    int offset = 0;
    QTextDocument contents;
    if (whole) {
        // The contents take the same pages whatever numbers they show.
        pdf.prepare(contents, source.directory);
        contents.setHtml(contentsHtml(title, version, entries, 999));
        offset = contents.pageCount();
        contents.setHtml(contentsHtml(title, version, entries, offset));
        pdf.prepare(contents, source.directory);
        for (ManualContentsEntry& e : entries)
            e.page += offset;
    }
    const int total = offset + body.pageCount();
    if (whole)
        pdf.print(contents, total);
    pdf.print(body, total);
    pdf.finish();
    if (!QFileInfo(fileName).isFile() || QFileInfo(fileName).size() == 0)
        throw ManualError{u"PDF %1 wurde nicht geschrieben"_s.arg(fileName)};
    return entries;
}

void WriteManual(const ManualSource& source, const QString& outDir, const QString& version) {
    const QString handbuch = outDir + u"/Handbuch"_s;
    const QString help = outDir + u"/Help"_s;
    // What an earlier build left must not survive a page's removal.
    QDir(handbuch).removeRecursively();
    QDir(help).removeRecursively();
    QStringList written;
    const auto put = [&](const QString& relative, const QByteArray& bytes) {
        writeBytes(outDir + u'/' + relative, bytes);
        written << relative;
    };

    const QList<const ManualPage*> pages = source.allPages();
    for (qsizetype i = 0; i < pages.size(); ++i) {
        const ManualPage& page = *pages[i];
        const QString markdown = navigation(pages, i) + u"\n\n"_s + page.markdown;
        put(u"Handbuch/Html/"_s + page.htmlName,
            pageHtml(markdown, u"Domvera Handbuch – "_s + page.title, source.directory).toUtf8());
    }
    QDirIterator pictures(source.directory + u"/bilder"_s, QDir::Files);
    while (pictures.hasNext()) {
        const QFileInfo picture(pictures.next());
        QFile file(picture.absoluteFilePath());
        if (!file.open(QIODevice::ReadOnly))
            throw ManualError{u"%1 kann nicht gelesen werden"_s.arg(picture.absoluteFilePath())};
        put(u"Handbuch/Html/bilder/"_s + picture.fileName(), file.readAll());
    }

    QString index = u"# Domvera Handbuch\n\nVersion %1. Diese Seiten beschreiben jedes Fenster "
                    u"des Programms; der Knopf **?Info?** eines Fensters öffnet dessen Seite "
                    u"direkt.\n\nZum Ausdrucken: "_s.arg(version);
    QStringList pdfLinks;
    for (const ManualPdf& pdf : source.pdfs)
        pdfLinks << u"[%1 (PDF)](%2)"_s.arg(pdf.title, pdf.fileName);
    index += pdfLinks.join(u" · "_s) + u"\n\n"_s;
    for (const ManualChapter& chapter : source.chapters) {
        index += u"## "_s + chapter.title + u"\n\n"_s;
        for (const ManualPage& page : chapter.pages)
            index += u"- [%1](Html/%2) – %3\n"_s.arg(page.title, page.htmlName, page.summary);
        index += u"\n"_s;
    }
    put(u"Handbuch/Index.html"_s,
        pageHtml(index, u"Domvera Handbuch"_s, source.directory).toUtf8());

    for (const ManualPdf& pdf : source.pdfs) {
        WriteManualPdf(source, handbuch + u'/' + pdf.fileName, pdf.title, pdf.sources, version);
        written << u"Handbuch/"_s + pdf.fileName;
    }

    // The help system: one described folder per chapter, one topic per page.
    for (const ManualChapter& chapter : source.chapters) {
        QStringList lines{u"TITLE:"_s + chapter.title};
        lines << chapter.description.split(u'\n', Qt::SkipEmptyParts);
        put(u"Help/"_s + chapter.folder + u".txt"_s, windows1252Lines(lines));
        for (const ManualPage& page : chapter.pages) {
            put(u"Help/%1/%2.txt"_s.arg(chapter.folder,
                                        QFileInfo(page.htmlName).completeBaseName()),
                windows1252Lines({u"TITLE:"_s + page.title,
                                  u"FNAME:../../Handbuch/Html/"_s + page.htmlName, page.summary}));
        }
    }
    put(u"Help/Handbuecher.txt"_s,
        windows1252Lines({u"TITLE:Handbücher zum Ausdrucken"_s,
                          u"Das Handbuch als PDF-Dokumente und sein Inhaltsverzeichnis."_s}));
    put(u"Help/Handbuecher/Inhaltsverzeichnis.txt"_s,
        windows1252Lines({u"TITLE:Inhaltsverzeichnis des Online-Handbuchs"_s,
                          u"FNAME:../../Handbuch/Index.html"_s,
                          u"Alle Seiten des Handbuchs, nach Kapiteln geordnet."_s}));
    for (const ManualPdf& pdf : source.pdfs)
        put(u"Help/Handbuecher/%1.txt"_s.arg(QFileInfo(pdf.fileName).completeBaseName()),
            windows1252Lines(
                {u"TITLE:%1 (PDF)"_s.arg(pdf.title), u"FNAME:../../Handbuch/"_s + pdf.fileName,
                 u"Das Dokument \"%1\" zum Lesen am Bildschirm oder zum Drucken."_s.arg(
                     pdf.title)}));

    QString qrc = u"<RCC>\n  <qresource prefix=\"/manual\">\n"_s;
    written.sort();
    for (const QString& file : std::as_const(written))
        qrc += u"    <file>%1</file>\n"_s.arg(htmlEscaped(file));
    qrc += u"  </qresource>\n</RCC>\n"_s;
    writeBytes(outDir + u"/manual.qrc"_s, qrc.toUtf8());
}
