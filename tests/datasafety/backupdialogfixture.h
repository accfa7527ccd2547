#pragma once

#include "core/data/clientdbfixture.h"
#include "core/files/programdirs.h"
#include "core/rights/rights.h"
#include "datasafety/backupdialog.h"
#include "datasafety/backupentries.h"
#include "datasafety/datasafety.h"
#include "platform/table/database.h"
#include "platform/table/table.h"

#include <QDir>
#include <QFileInfo>
#include <functional>

namespace backuptest {

// The backup dialog's window as a script: the dialog is opened as the
// window would open it, then the script presses buttons and keys.
class ScriptedDialogWindow : public BackupDialogView {
public:
    using Script = std::function<void(BackupDialog&)>;

    void run(const BackupDialogArgs& args) {
        ++opened;
        BackupDialog dialog(args, *this);
        dialog.open();
        if (!scripts.isEmpty())
            scripts.takeFirst()(dialog);
        lastArgs = args;
        rows = dialog.rows();
        title = dialog.title();
        view = dialog.view();
    }
    void rowsReset() override { ++resets; }

    QList<Script> scripts;
    int opened = 0;
    int resets = 0;
    BackupDialogArgs lastArgs;
    QList<QStringList> rows;
    QString title;
    BackupView view = BackupView::List;
};

// A client's databases with the directories of every kind, a user with
// every data-safety right and the scripted dialog window installed.
class BackupDialogTest : public datatest::ClientDbFixture {
protected:
    void SetUp() override {
        ClientDbFixture::SetUp();
        m_saved = {BackupDir, TransportDir, QrfdDir, ImExDir, WordDir, TextbstDir, ProgramDir};
        SetProgramDir(dir(QStringLiteral("prog")));
        BackupDir = dir(QStringLiteral("DTBU0001"));
        TransportDir = dir(QStringLiteral("Transport"));
        QrfdDir = dir(QStringLiteral("QRFD0001"));
        ImExDir = dir(QStringLiteral("IMEX0001"));
        WordDir = dir(QStringLiteral("Word0001"));
        TextbstDir = dir(QStringLiteral("Textbst"));
        m_savedUser = CurrentUser;
        CurrentUser = TUserRec();
        for (int function : {48, 51})
            CurrentUser.rights.set(function, rbAllRights);
        m_savedWindows = DataSafetyWindowsRegistry();
        DataSafetyWindowsRegistry().backupDialog = [this](const BackupDialogArgs& args) {
            window.run(args);
        };
        SetBackupResult(1);
        SetLastArchivePath({});
    }
    void TearDown() override {
        DataSafetyWindowsRegistry() = m_savedWindows;
        CurrentUser = m_savedUser;
        BackupDir = m_saved[0];
        TransportDir = m_saved[1];
        QrfdDir = m_saved[2];
        ImExDir = m_saved[3];
        WordDir = m_saved[4];
        TextbstDir = m_saved[5];
        ProgramDir = m_saved[6];
        ClientDbFixture::TearDown();
    }

    // A directory below the test root with a trailing separator.
    QString dir(const QString& name) {
        QDir().mkpath(path(name));
        return path(name) + QLatin1Char('/');
    }
    static QStringList archivesIn(const QString& dir,
                                  const QString& pattern = QStringLiteral("FB*")) {
        return QDir(dir).entryList({pattern}, QDir::Files, QDir::Name);
    }
    // The script presses "&Starten" and answers the questions.
    void startWith(const QList<bool>& answers) {
        window.scripts.append([this, answers](BackupDialog& d) {
            presenter.answers += answers;
            d.start();
        });
    }
    QStringList errors() const { return presenter.texts(MessagePresenter::Kind::Error); }

    // Rows of the working and archive databases, through cursors of their own.
    static int rowsIn(const QString& dir, const QString& tableName) {
        table::Table t(table::Database::open(dir), tableName);
        t.open();
        return t.recordCount();
    }
    int customers() { return rowsIn(DataDir, QStringLiteral("Kunden.DB")); }
    int invoicesInArchive() { return rowsIn(AblageDir, QStringLiteral("Rechkopf.DB")); }
    static void addRowTo(const QString& dir, const QString& tableName,
                         const QList<std::pair<QString, QVariant>>& values) {
        table::Table t(table::Database::open(dir), tableName);
        t.open();
        t.append();
        for (const auto& [field, value] : values)
            t.field(field).setValue(value);
        t.post();
    }
    void addCustomer(int nr) {
        addRowTo(DataDir, QStringLiteral("Kunden.DB"),
                 {{QStringLiteral("K_ID"), nr},
                  {QStringLiteral("K_Nr"), nr},
                  {QStringLiteral("K_Name1"), QStringLiteral("Kunde %1").arg(nr)}});
    }
    void addArchivedInvoice(int id) {
        addRowTo(AblageDir, QStringLiteral("Rechkopf.DB"),
                 {{QStringLiteral("R_ID"), id}, {QStringLiteral("R_Nr"), QString::number(id)}});
    }
    // A database backup with both archives, written through the dialog.
    void backupBoth(const QString& comment) {
        startWith({true});
        BackupDatabases(LocalBackup, comment);
        ASSERT_EQ(GetBackupResult(), 0) << errors().join(QLatin1Char('|')).toStdString();
    }
    QStringList questions() const { return presenter.texts(MessagePresenter::Kind::Question); }

    ScriptedDialogWindow window;

private:
    QStringList m_saved;
    TUserRec m_savedUser;
    DataSafetyWindows m_savedWindows;
};

} // namespace backuptest
