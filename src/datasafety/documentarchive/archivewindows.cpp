#include "datasafety/documentarchive/archivewindows.h"

#include "datasafety/datasafety.h"
#include "platform/errors.h"

using namespace Qt::StringLiterals;

namespace {

struct Openers {
    std::function<void(const ArchiveTables&)> archive;
    std::function<void(const QString&)> browser;
    std::function<void(int, const QString&, int, const QStringList&)> docView;
};

Openers& openers() {
    static Openers o;
    return o;
}

[[noreturn]] void notInstalled() {
    throw DbError(u"Diese Funktion steht noch nicht zur Verfügung."_s);
}

void showBrowser(const QString& name) {
    if (!openers().browser)
        notInstalled();
    openers().browser(name);
}

} // namespace

void SetArchiveDocumentsOpener(std::function<void(const ArchiveTables&)> opener) {
    openers().archive = std::move(opener);
}

void SetArchiveBrowserOpener(std::function<void(const QString&)> opener) {
    openers().browser = std::move(opener);
}

void SetDocViewOpener(std::function<void(int, const QString&, int, const QStringList&)> opener) {
    openers().docView = std::move(opener);
}

bool IsArchiveDocumentsInstalled() {
    return bool(openers().archive);
}

bool AreArchiveBrowsersInstalled() {
    return bool(openers().browser);
}

bool IsDocViewInstalled() {
    return bool(openers().docView);
}

void ArchiveDocuments(const QString& srcHead, const QString& srcLines, const QString& dstHead,
                      const QString& dstLines) {
    if (!openers().archive)
        notInstalled();
    openers().archive({srcHead, srcLines, dstHead, dstLines});
}

void ArchiveDocuments(ArchiveFamily family) {
    const ArchiveTables& t = ArchiveTablesOf(family);
    ArchiveDocuments(t.sourceHead, t.sourceLines, t.archiveHead, t.archiveLines);
}

void ShowRechViewForm() {
    showBrowser(u"ShowRechViewForm"_s);
}
void ShowGsViewForm() {
    showBrowser(u"ShowGsViewForm"_s);
}
void ShowAngViewForm() {
    showBrowser(u"ShowAngViewForm"_s);
}
void ShowAuftViewForm() {
    showBrowser(u"ShowAuftViewForm"_s);
}
void ShowLiefViewForm() {
    showBrowser(u"ShowLiefViewForm"_s);
}
void ShowRechEinViewForm() {
    showBrowser(u"ShowRechEinViewForm"_s);
}

void ShowDocViewForm(int nr, const QString& name, int kind, const QStringList& list) {
    if (!openers().docView)
        notInstalled();
    openers().docView(nr, name, kind, list);
}
