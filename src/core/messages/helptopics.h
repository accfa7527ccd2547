#pragma once
#include <QList>
#include <QString>

// One node of the help tree: a chapter (a described folder) or a topic (a
// described document).
struct THelpNode {
    enum Kind { Chapter = 0, Topic = 1 };
    QString caption;
    QString path;        // chapter: the folder; topic: the document
    QString description; // lines each followed by "\r"
    int kind = Chapter;
    QList<THelpNode> children;
};

// ProgramDir + "Help".
QString HelpDirectory();

// Reads the help folder into a tree sorted by caption at every level.
// A folder X is a chapter when "X.txt" beside it holds a "TITLE:" line; a
// .txt file below a sub-folder is a topic when it holds an "FNAME:" line (the
// document, relative to the file's folder). Description files directly in
// the help folder are never topics. The contents of a folder without a
// description of its own are placed under the nearest described folder
// above. Folders beginning with "." are skipped; unreadable files are
// skipped; a missing help folder gives an empty tree.
QList<THelpNode> ReadHelpTree(const QString& helpDir);
