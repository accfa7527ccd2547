#pragma once

#include <QString>
#include <functional>

// The import and export entries of datasafety.h reach their windows, which
// live above the data module, through these hooks; the program installs them
// at start-up. While they are missing, IsDataSafetyServiceAvailable(
// ImportExport) is false and a call raises DbError.
struct InterchangeServices {
    std::function<void(const QString& table, const QString& caption, const QString& definitionFile,
                       const QString& dataFile, const QString& keyField)>
        runImport;
    std::function<bool(const QString& table, const QString& caption, const QString& definitionFile,
                       const QString& outputFile, const QString& filter, int left, int top)>
        runExport;
    std::function<int(const QString& fileName, int left, int top)> editDefinitionFile;
    std::function<void()> showExportForm;
    // The filter a data-module table shows now; empty when it is not filtered.
    std::function<QString(const QString& table)> tableFilter;

    bool installed() const {
        return runImport && runExport && editDefinitionFile && showExportForm && tableFilter;
    }
};
InterchangeServices& InterchangeServicesRegistry();
