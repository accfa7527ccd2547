#include "platform/report/pdfwriter.h"

#include "platform/errors.h"
#include "platform/report/pagemodel.h"
#include "platform/report/pagerenderer.h"

#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

namespace report {

void writePdf(const Document& document, const QString& fileName) {
    const QString failed =
        QStringLiteral("Die PDF-Datei \"%1\" kann nicht geschrieben werden.").arg(fileName);
    {
        QFile probe(fileName);
        if (!probe.open(QIODevice::WriteOnly))
            throw DbError(failed);
    }
    QPdfWriter writer(fileName);
    writer.setResolution(1200);
    writer.setTitle(document.title);
    writer.setCreator(QStringLiteral("Domvera"));
    writer.setPageLayout(
        QPageLayout(QPageSize(QPageSize::A4),
                    document.landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                    QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
    QPainter painter;
    if (!painter.begin(&writer))
        throw DbError(failed);
    // An empty report still gives a valid file with one blank page.
    const int pages = int(document.pages.size());
    for (int i = 0; i < pages; ++i) {
        if (i > 0)
            writer.newPage();
        paintPage(painter, document, i, writer.resolution());
    }
    if (!painter.end())
        throw DbError(failed);
}

} // namespace report
