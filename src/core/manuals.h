#pragma once
#include <QString>
#include <functional>

// Opens a document with the program the desktop associates with it. The
// window side installs the desktop's opener; tests install a recording one.
// Without an opener nothing happens. The result of the opening is not
// examined: a missing manual leaves the program unchanged.
using DocumentOpener = std::function<void(const QString& path)>;
DocumentOpener SetDocumentOpener(DocumentOpener opener);
bool HasDocumentOpener();
void OpenDocument(const QString& path);

// The manuals below ProgramDir + "Handbuch".
void ShowHandbuchPage(const QString& page);     // "Handbuch/Html/" + page
void ShowHandbuchIndex();                       // "Handbuch/Index.html"
void ShowHandbuchFile(const QString& fileName); // "Handbuch/" + fileName
