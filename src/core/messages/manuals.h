#pragma once
#include <QString>
#include <functional>

// What the desktop is asked to do with a target: open it with its program,
// or show a folder in the file manager.
enum class DocumentVerb { Open, Explore };

// Opens a document with the program the desktop associates with it. The
// target is a local path or a URL ("mailto:", "http://", "file://"); it goes
// to the desktop as it stands, never through a command line. The window side
// installs the desktop's opener; tests install a recording one. The opener
// tells whether a program took the document.
using DocumentOpener = std::function<bool(const QString& target, DocumentVerb verb)>;
DocumentOpener SetDocumentOpener(DocumentOpener opener);
bool HasDocumentOpener();
// False when no opener is installed or none took the document.
bool OpenDocument(const QString& target, DocumentVerb verb = DocumentVerb::Open);
// Whether the target names a URL scheme rather than a local path (a single
// letter before ":" is a drive).
bool IsUrlTarget(const QString& target);

// The manuals below ProgramDir + "Handbuch". A manual file that is missing,
// or that no program opens, is reported with its file name.
void ShowHandbuchPage(const QString& page);     // "Handbuch/Html/" + page
void ShowHandbuchIndex();                       // "Handbuch/Index.html"
void ShowHandbuchFile(const QString& fileName); // "Handbuch/" + fileName
