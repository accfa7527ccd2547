#pragma once

#include <QList>
#include <QString>
#include <functional>

struct TableFormDecl;
class TF_TableForm;
class QWidget;

// Document management of customers, objects and staff: one form family
// whose members differ only in the rows of DocFamily().
struct DocFamilyRow {
    QString formClass;       // "TF_KdDoku"
    QString table;           // the shared document table, a detail of the owner
    QString ownerTable;      // the owner's shared table, positioned by the caller
    QString ownerNrField;    // the owner's number shown in the caption
    QString word;            // "Kunde"
    QString section;         // where the list's column layout is kept
    QString transferCaption; // the context menu's transfer; empty: none
    void (*transfer)(TF_TableForm& form) = nullptr;
};
const QList<DocFamilyRow>& DocFamily();
const DocFamilyRow& DocFamilyMember(const QString& formClass);

TableFormDecl DocFormDecl(const DocFamilyRow& row);

// The openers: the caller has positioned the owner table on the owner and
// checked the view right of its documents.
void ShowKdDokuForm();
void ShowObjDokuForm();
void ShowPersDokuForm();

// The file and folder dialogs of the document forms; tests install
// scripted ones. Each returns the chosen path, empty when cancelled.
struct DocFileDialogs {
    std::function<QString(QWidget* parent, const QString& directory, const QString& fileName,
                          const QString& filters)>
        openFile;
    std::function<QString(QWidget* parent, const QString& directory)> folder;
};
// Installs dialogs (empty functions: the standard ones); returns the previous.
DocFileDialogs SetDocFileDialogs(DocFileDialogs dialogs);
// The folder choice through the installed dialogs; empty when cancelled.
QString ChooseDocFolder(QWidget* parent, const QString& directory);

// The column and field actions, callable on an open form.
void ChooseDocGroup(TF_TableForm& form);
void EditDocTarget(TF_TableForm& form);
void OpenDocumentOfRow(TF_TableForm& form);
void CorrectDocFolder(TF_TableForm& form);
