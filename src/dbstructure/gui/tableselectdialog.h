#pragma once

#include <QDialog>
#include <QStringList>

class QListWidget;
class QPushButton;

// The choice of tables to pack: every table of the client's database in a
// list where several may be marked.
class TF_TableSelect : public QDialog {
    Q_OBJECT
public:
    TF_TableSelect(const QStringList& tables, QWidget* parent = nullptr);

    QStringList selectedTables() const; // in list order

    QListWidget* lstTables;
    QPushButton* btnOK;
    QPushButton* btnCancel;
};

// Shows the choice; empty when it was cancelled or nothing was marked.
QStringList SelectTablesToPack(const QStringList& tables, QWidget* parent);
