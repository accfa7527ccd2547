#pragma once

#include "core/framefixture.h"

#include <QString>
#include <QTemporaryDir>
#include <QVariant>
#include <algorithm>
#include <gtest/gtest.h>
#include <memory>

namespace table {
class Table;
}

namespace datatest {

using FieldValues = QList<std::pair<QString, QVariant>>;

// A row's values with those of `more` put in: a field named in both takes
// the value of `more`, a field only in `more` is added.
inline FieldValues WithValues(FieldValues row, const FieldValues& more) {
    for (const auto& field : more) {
        auto it = std::find_if(row.begin(), row.end(),
                               [&field](const auto& r) { return r.first == field.first; });
        if (it != row.end())
            it->second = field.second;
        else
            row.append(field);
    }
    return row;
}

// A new client's working and archive databases with every table, copied per
// test from a pair built once; the path globals point into a temporary
// program directory, the aliases LumoDB and AblageDB are defined on it and a
// recording presenter is installed. Everything is restored afterwards.
class ClientDbFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    QString path(const QString& name) const { return m_root.filePath(name); }
    // A cursor of the test's own on the working database, opened.
    std::unique_ptr<table::Table> open(const QString& tableName,
                                       const QString& alias = QStringLiteral("LumoDB"));
    // Appends a row with the given field values and posts it.
    void addRow(const QString& tableName, const QList<std::pair<QString, QVariant>>& values,
                const QString& alias = QStringLiteral("LumoDB"));
    QString logText() const;

    frametest::RecordingPresenter presenter;
    QTemporaryDir m_root;

private:
    MessagePresenter* m_previousPresenter = nullptr;
    QString m_saved[5];
};

} // namespace datatest
