#include "core/manuals.h"

#include "core/programdirs.h"

using namespace Qt::StringLiterals;

namespace {
DocumentOpener g_opener;
}

DocumentOpener SetDocumentOpener(DocumentOpener opener) {
    DocumentOpener previous = std::move(g_opener);
    g_opener = std::move(opener);
    return previous;
}

bool HasDocumentOpener() {
    return bool(g_opener);
}

void OpenDocument(const QString& path) {
    if (g_opener)
        g_opener(path);
}

void ShowHandbuchPage(const QString& page) {
    OpenDocument(ProgramDir + u"Handbuch/Html/"_s + page);
}

void ShowHandbuchIndex() {
    OpenDocument(ProgramDir + u"Handbuch/Index.html"_s);
}

void ShowHandbuchFile(const QString& fileName) {
    OpenDocument(ProgramDir + u"Handbuch/"_s + fileName);
}
