#pragma once
#include <QString>
#include <QStringList>

struct ManualSource;

// Writes the manual below outDir as the program installs it:
//   Handbuch/Index.html, Handbuch/Html/<page>.html, Handbuch/Html/bilder/*,
//   Handbuch/<pdf>, Help/<chapter>.txt and Help/<chapter>/<page>.txt,
// and lists every file it wrote in outDir/manual.qrc (below the prefix
// "/manual"). Raises ManualError when a file cannot be written.
void WriteManual(const ManualSource& source, const QString& outDir, const QString& version);

// One entry of a PDF's contents: a heading and the page it starts on.
struct ManualContentsEntry {
    QString title;
    int level = 1; // 1 chapter, 2 page
    int page = 0;  // counted from the PDF's first page, 1-based
};

// Writes one PDF of the pages (all pages with a title page and contents when
// the PDF names none) and gives the contents it printed.
QList<ManualContentsEntry> WriteManualPdf(const ManualSource& source, const QString& fileName,
                                          const QString& title, const QStringList& pages,
                                          const QString& version);
