#include "core/datagui/moduleopener.h"

#include "core/data/datamodule.h"
#include "core/data/timerworkpause.h"
#include "platform/errors.h"
#include "platform/table/table.h"

#include <QDialog>

TablesOpenedHere::TablesOpenedHere(const QList<table::Table*>& tables) {
    try {
        for (table::Table* t : tables) {
            if (!t || t->isOpen() || m_opened.contains(t))
                continue;
            t->open();
            m_opened.append(t);
        }
    } catch (...) {
        closeAll();
        throw;
    }
}

TablesOpenedHere::~TablesOpenedHere() {
    closeAll();
}

void TablesOpenedHere::closeAll() noexcept {
    // Last opened first, so detail tables close before their masters.
    for (auto it = m_opened.crbegin(); it != m_opened.crend(); ++it) {
        try {
            (*it)->close();
        } catch (...) {
            // close() discards unposted changes; a failure here leaves nothing
            // the user could act on, and the other tables must still close.
        }
    }
    m_opened.clear();
}

int OpenModuleOn(TDataModule1& dm, const QList<table::Table*>& tables, const ModuleForm& form) {
    if (!form.build)
        throw DbError(QStringLiteral("Das Formular des Moduls fehlt."));
    std::unique_ptr<QDialog> dialog = form.build();
    if (!dialog)
        throw DbError(QStringLiteral("Das Formular des Moduls fehlt."));
    if (form.applyRights)
        form.applyRights(*dialog);
    // A form opened from another modal form finds the timer work off and
    // must leave it off for the form below.
    TimerWorkPause paused(dm);
    TablesOpenedHere opened(tables);
    return dialog->exec();
}

int OpenModule(TDataModule1& dm, const QStringList& tableNames, const ModuleForm& form) {
    QList<table::Table*> tables;
    for (const QString& name : tableNames)
        tables.append(&dm.table(name));
    return OpenModuleOn(dm, tables, form);
}
