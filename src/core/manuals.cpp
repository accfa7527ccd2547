#include "core/manuals.h"

#include "core/messages.h"
#include "core/programdirs.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

DocumentOpener g_opener;

void showManual(const QString& path) {
    const QString shown = QDir::toNativeSeparators(path);
    if (!QFileInfo(path).isFile()) {
        ShowError(u"Die Handbuchdatei\r%1\rist nicht vorhanden."_s.arg(shown));
        return;
    }
    if (!OpenDocument(path))
        ShowError(u"Die Handbuchdatei\r%1\rkann nicht geöffnet werden: Für diese Datei ist "
                  u"kein Programm eingerichtet."_s.arg(shown));
}

} // namespace

DocumentOpener SetDocumentOpener(DocumentOpener opener) {
    DocumentOpener previous = std::move(g_opener);
    g_opener = std::move(opener);
    return previous;
}

bool HasDocumentOpener() {
    return bool(g_opener);
}

bool OpenDocument(const QString& path) {
    return g_opener && g_opener(path);
}

void ShowHandbuchPage(const QString& page) {
    showManual(ProgramDir + u"Handbuch/Html/"_s + page);
}

void ShowHandbuchIndex() {
    showManual(ProgramDir + u"Handbuch/Index.html"_s);
}

void ShowHandbuchFile(const QString& fileName) {
    showManual(ProgramDir + u"Handbuch/"_s + fileName);
}
