#pragma once

#include "core/data/clientswitch.h"
#include "core/data/datamodule.h"
#include "core/data/startclient.h"
#include "core/files/programdirs.h"
#include "core/framefixture.h"
#include "core/messages/syslog.h"
#include "core/rights/rights.h"
#include "core/settings/programsettings.h"
#include "core/startup.h"
#include "platform/table/database.h"
#include "platform/table/table.h"

#include <QDateTime>
#include <QDir>
#include <QSet>
#include <functional>
#include <memory>

namespace datatest {

// A fresh program directory with client 1 as the start client, the log in it
// and a user allowed to create clients.
class ClientSwitchFixture : public frametest::ProgramDirFixture {
protected:
    void SetUp() override {
        ProgramDirFixture::SetUp();
        m_savedUser = CurrentUser;
        m_savedMandant = MandantNr;
        CurrentUser = TUserRec();
        CurrentUser.rights.set(55, rbView | rbCreate);
        MandantNr = 1;
        DbUpgraded = false;
        BuildStartDirs();
        ClientSwitchHooksRegistry().setTitle = [this](const QString& part) { title = part; };
    }
    void TearDown() override {
        dm.reset();
        for (const char* alias : {"LumoDB", "AblageDB"}) {
            try {
                table::aliases::remove(QString::fromLatin1(alias));
            } catch (...) {
            }
        }
        ClientSwitchHooksRegistry() = {};
        CurrentUser = m_savedUser;
        MandantNr = m_savedMandant;
        ProgramDirFixture::TearDown();
    }

    // The first start: template data, then the data module as created at
    // start-up; beforeActivation runs between creation and activation.
    void startUp(const std::function<void()>& beforeActivation = {}) {
        ASSERT_TRUE(EnsureTemplateData());
        if (afterTemplateData)
            afterTemplateData();
        ASSERT_TRUE(PrepareStartMandant());
        dm = std::make_unique<TDataModule1>();
        ASSERT_TRUE(OpenStartMandant(*dm));
        SelectMandant(MandantNr, false, true);
        WriteLog(QStringLiteral("Selectmandant OK"));
        if (beforeActivation)
            beforeActivation();
        SelectMandant(MandantNr, false, false);
    }

    // The messages of the log, without date, time and user columns.
    QStringList logMessages() const {
        QStringList result;
        const QString text = QString::fromLatin1(readBytes(LogFileName));
        const qsizetype prefix =
            FormatLogLine(QDateTime::currentDateTime(), CurrentUserText, QString()).size();
        for (const QString& line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            result << line.mid(prefix).trimmed();
        return result;
    }

    int rowCount(const QString& dir, const QString& tableName) {
        auto db = table::Database::open(dir);
        if (!db->exists(tableName))
            return -1;
        table::Table t(db, tableName);
        t.open();
        return t.recordCount();
    }

    QString lumoDir() const { return table::aliases::directory(QStringLiteral("LumoDB")); }

    // The directories the data module's table objects work on.
    QSet<QString> tableDirs() const {
        QSet<QString> dirs;
        for (table::Table* t : dm->tables())
            dirs.insert(QDir::cleanPath(t->database()->directory()));
        return dirs;
    }

    std::unique_ptr<TDataModule1> dm;
    QString title;
    // Runs in startUp between the template data and the start client.
    std::function<void()> afterTemplateData;

private:
    TUserRec m_savedUser;
    int m_savedMandant = 1;
};

} // namespace datatest
