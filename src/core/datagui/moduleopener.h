#pragma once

#include <QStringList>
#include <functional>
#include <memory>

class QDialog;
class TDataModule1;

namespace table {
class Table;
}

// How a module's form is opened: build the form, apply the user's rights to
// it, pause the data module's timer work, open the tables the form needs
// (remembering which were open already), show it modally; afterwards, also
// when anything on the way raises, close exactly the tables opened here,
// give the timer work back the state it was found in and free the form.
struct ModuleForm {
    std::function<std::unique_ptr<QDialog>()> build;
    // Applied before the form is shown, e.g. data sources' rights checks.
    std::function<void(QDialog&)> applyRights;
};

// Returns the dialog's result code. The tables are the data module's shared
// objects, named as TDataModule1::table() accepts them.
int OpenModule(TDataModule1& dm, const QStringList& tableNames, const ModuleForm& form);

// The same over table objects given directly.
int OpenModuleOn(TDataModule1& dm, const QList<table::Table*>& tables, const ModuleForm& form);

// Opens the tables that are closed and closes them again on destruction;
// tables found open stay open. Opening stops at the first table that fails,
// after closing those it opened.
class TablesOpenedHere {
public:
    explicit TablesOpenedHere(const QList<table::Table*>& tables);
    ~TablesOpenedHere();
    TablesOpenedHere(const TablesOpenedHere&) = delete;
    TablesOpenedHere& operator=(const TablesOpenedHere&) = delete;

private:
    void closeAll() noexcept;
    QList<table::Table*> m_opened;
};
