#pragma once
#include <QList>
#include <QString>
#include <QStringList>

// The German manual as its authors keep it: one Markdown file per page and a
// contents file "inhalt.txt" that orders the pages into chapters and names
// the PDF documents made from them.
struct ManualPage {
    QString source;   // "kunden.md"
    QString htmlName; // "kunden.html", the name the program asks for
    QString title;    // the page's "# " heading
    QString summary;  // the first paragraph after the heading, one line
    QString markdown;
};

struct ManualChapter {
    QString title;
    QString folder; // the help folder's chapter folder, plain ASCII
    QString description;
    QList<ManualPage> pages;
};

struct ManualPdf {
    QString fileName; // "FirstSteps.pdf"
    QString title;
    QStringList sources; // page sources; empty: every page, with contents
};

struct ManualSource {
    QString directory; // where the sources and "bilder/" lie
    QList<ManualChapter> chapters;
    QList<ManualPdf> pdfs;

    const ManualPage* page(const QString& source) const;
    QList<const ManualPage*> allPages() const;
};

// A fault in the sources: a missing page, a page without heading, a line the
// contents file does not know.
struct ManualError {
    QString message;
};

// Reads "inhalt.txt" and every page it names from dir.
//   "== Title"            starts a chapter
//   "> text"              adds a line to the chapter's description
//   "name.md"             a page of the current chapter
//   "PDF file | title | a.md b.md"   a PDF of these pages; "*" for all pages
// Empty lines and lines beginning with "#" are skipped.
ManualSource ReadManualSource(const QString& dir);

// A chapter title as a folder name: umlauts spelled out, anything else that
// is not a letter or digit becomes "_".
QString ManualFolderName(const QString& title);
