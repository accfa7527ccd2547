#pragma once

#include "dbstructure/reorganisation.h"

class TDataModule1;

// Lets the reorganisation close the data module's open tables and pause its
// timer work while it has the database to itself.
class DataModuleReorgAccess : public dbstructure::ReorgDataModule {
public:
    explicit DataModuleReorgAccess(TDataModule1& module) : m_module(module) {}

    std::shared_ptr<table::Database> mainDatabase() override;
    QList<table::Table*> dataSets() override;
    bool isTimerWorkEnabled() const override;
    void setTimerWorkEnabled(bool enabled) override;

private:
    TDataModule1& m_module;
};

// Registers the data module with the reorganisation for the lifetime of the
// returned object.
class ReorgDataModuleRegistration {
public:
    explicit ReorgDataModuleRegistration(TDataModule1& module);
    ~ReorgDataModuleRegistration();
    ReorgDataModuleRegistration(const ReorgDataModuleRegistration&) = delete;
    ReorgDataModuleRegistration& operator=(const ReorgDataModuleRegistration&) = delete;

private:
    DataModuleReorgAccess m_access;
    dbstructure::ReorgDataModule* m_previous;
};
