#pragma once

#include "core/files/filehelpers.h"
#include "core/files/programdirs.h"
#include "platform/table/table.h"
#include "timerecordfixture.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace operationstest {

// Time records with an import/export directory and a program directory of
// the test's own, and what a test compares before and after a run.
class TimeImports : public TimeRecords {
protected:
    void SetUp() override {
        TimeRecords::SetUp();
        m_savedImEx = ImExDir;
        m_savedProgram = ProgramDir;
        ImExDir = path(QStringLiteral("Imex0001/"));
        ProgramDir = path(QStringLiteral("prog/"));
        QDir().mkpath(ImExDir);
        QDir().mkpath(ProgramDir);
    }
    void TearDown() override {
        ImExDir = m_savedImEx;
        ProgramDir = m_savedProgram;
        TimeRecords::TearDown();
    }

    // Writes the lines as Windows-1252 with CR LF, as the other programs do.
    static void writeFile(const QString& fullPath, const QStringList& lines) {
        QDir().mkpath(QFileInfo(fullPath).absolutePath());
        ASSERT_TRUE(WriteTextDataFile(fullPath, lines));
    }

    // Every row of the tables an import writes, as text: equal before and
    // after a run that changed nothing.
    QStringList snapshot() {
        QStringList rows;
        for (const char* file : {"Zeiterf.DB", "Kosten.DB", "Zeitsum.DB", "KostSumH.db",
                                 "KostSumD.db", "KUmsatz.DB"}) {
            auto t = open(QString::fromLatin1(file));
            for (t->first(); !t->eof(); t->next()) {
                QStringList values{QString::fromLatin1(file)};
                for (int i = 0; i < t->fieldCount(); ++i)
                    values << t->field(i).asStringOr(QString());
                rows << values.join(u'|');
            }
        }
        return rows;
    }

    // The records of the employee on the day, as "hours type object text rate cost type".
    QStringList recordsOf(int persNr, const QDate& day) {
        QStringList result;
        auto t = open(QStringLiteral("Zeiterf.DB"));
        t->setIndexName(QStringLiteral("I_PersDatObj"));
        t->setRange({persNr, day}, {persNr, day});
        for (t->first(); !t->eof() && !t->isEmpty(); t->next())
            result << QStringLiteral("%1 %2 %3 %4 %5 %6")
                          .arg(t->field(QStringLiteral("Z_Stunden")).asFloatOr(0))
                          .arg(t->field(QStringLiteral("Z_Art")).asIntegerOr(0))
                          .arg(t->field(QStringLiteral("Z_ObjNr")).asIntegerOr(0))
                          .arg(t->field(QStringLiteral("Z_Text")).asStringOr(QString()))
                          .arg(t->field(QStringLiteral("Z_EkPreis")).asFloatOr(0))
                          .arg(t->field(QStringLiteral("Z_Kostart")).asIntegerOr(0));
        return result;
    }

private:
    QString m_savedImEx;
    QString m_savedProgram;
};

} // namespace operationstest
