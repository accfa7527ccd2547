#pragma once
#include <QString>
#include <functional>

// Opens a document with the program the desktop associates with it. The
// window side installs the desktop's opener; tests install a recording one.
// The opener tells whether a program took the document.
using DocumentOpener = std::function<bool(const QString& path)>;
DocumentOpener SetDocumentOpener(DocumentOpener opener);
bool HasDocumentOpener();
// False when no opener is installed or none took the document.
bool OpenDocument(const QString& path);

// The manuals below ProgramDir + "Handbuch". A manual file that is missing,
// or that no program opens, is reported with its file name.
void ShowHandbuchPage(const QString& page);     // "Handbuch/Html/" + page
void ShowHandbuchIndex();                       // "Handbuch/Index.html"
void ShowHandbuchFile(const QString& fileName); // "Handbuch/" + fileName
