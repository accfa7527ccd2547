#include "core/messages/manuals.h"

#include "core/files/filelookup.h"
#include "core/files/programdirs.h"
#include "core/messages/messages.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

DocumentOpener g_opener;

// The manual's names were written on a system that ignores case ("Rechnungen.html"
// and "rechnungen.html" are one page), so the file is found under any case.
void showManual(const QString& dir, const QString& name) {
    const QString found = FindFileIgnoringCase(dir, name);
    const QString path = found.isEmpty() ? dir + name : found;
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

bool OpenDocument(const QString& target, DocumentVerb verb) {
    return g_opener && g_opener(target, verb);
}

bool IsUrlTarget(const QString& target) {
    const qsizetype colon = target.indexOf(u':');
    if (colon < 2)
        return false;
    for (qsizetype i = 0; i < colon; ++i) {
        const QChar c = target[i];
        const bool schemeChar =
            c.isLetter() || (i > 0 && (c.isDigit() || c == u'+' || c == u'-' || c == u'.'));
        if (!schemeChar || c.unicode() > 127)
            return false;
    }
    return true;
}

void ShowHandbuchPage(const QString& page) {
    showManual(ProgramDir + u"Handbuch/Html/"_s, page);
}

void ShowHandbuchIndex() {
    showManual(ProgramDir + u"Handbuch/"_s, u"Index.html"_s);
}

void ShowHandbuchFile(const QString& fileName) {
    showManual(ProgramDir + u"Handbuch/"_s, fileName);
}
