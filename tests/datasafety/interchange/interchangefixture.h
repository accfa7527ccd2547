#pragma once

#include "core/data/recordrulesfixture.h"
#include "core/files/programdirs.h"
#include "core/regionalguard.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <optional>

namespace interchangetest {

// A client database with the data module and its record rules, German
// regional settings and an import/export directory of the test's own.
class InterchangeFixture : public datatest::RecordRules {
protected:
    void SetUp() override {
        RecordRules::SetUp();
        m_savedImEx = ImExDir;
        ImExDir = path(QStringLiteral("imex/"));
        QDir().mkpath(ImExDir);
        regional.emplace();
    }
    void TearDown() override {
        regional.reset();
        ImExDir = m_savedImEx;
        RecordRules::TearDown();
    }

    // Writes Windows-1252 lines ended by CR LF.
    void writeLines(const QString& fileName, const QStringList& lines) {
        QStringEncoder encoder("windows-1252");
        QByteArray bytes;
        for (const QString& line : lines)
            bytes += QByteArray(encoder.encode(line)) + "\r\n";
        writeFile(fileName, bytes);
    }
    void writeFile(const QString& fileName, const QByteArray& bytes) {
        QFile file(fileName.contains(u'/') ? fileName : ImExDir + fileName);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray readFile(const QString& fileName) {
        QFile file(fileName.contains(u'/') ? fileName : ImExDir + fileName);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<fehlt>");
    }

    // The customers' values of one text field by number, in number order.
    QStringList customerTexts(const QString& field) {
        auto t = open(QStringLiteral("Kunden.DB"));
        t->setIndexName(QString());
        QMap<int, QString> byNumber;
        for (t->first(); !t->eof() && !t->isEmpty(); t->next())
            byNumber.insert(t->field(QStringLiteral("K_Nr")).asIntegerOr(0),
                            t->field(field).asStringOr(QStringLiteral("<null>")));
        QStringList texts;
        for (auto it = byNumber.cbegin(); it != byNumber.cend(); ++it)
            texts << QString::number(it.key()) + u'=' + it.value();
        return texts;
    }

    std::optional<RegionalGuard> regional;

private:
    QString m_savedImEx;
};

} // namespace interchangetest
