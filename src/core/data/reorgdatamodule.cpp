#include "core/data/reorgdatamodule.h"

#include "core/data/datamodule.h"
#include "platform/table/database.h"

std::shared_ptr<table::Database> DataModuleReorgAccess::mainDatabase() {
    return table::aliases::database(QStringLiteral("LumoDB"));
}

QList<table::Table*> DataModuleReorgAccess::dataSets() {
    return m_module.tables();
}

bool DataModuleReorgAccess::isTimerWorkEnabled() const {
    return m_module.IsTimerWorkEnabled();
}

void DataModuleReorgAccess::setTimerWorkEnabled(bool enabled) {
    if (enabled)
        m_module.EnableTimerWork();
    else
        m_module.DisableTimerWork();
}

ReorgDataModuleRegistration::ReorgDataModuleRegistration(TDataModule1& module)
    : m_access(module), m_previous(dbstructure::SetReorgDataModule(&m_access)) {}

ReorgDataModuleRegistration::~ReorgDataModuleRegistration() {
    dbstructure::SetReorgDataModule(m_previous);
}
