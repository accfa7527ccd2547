// Files damaged on purpose: the start-up names the damage in German, leaves
// the file as it is and leaves nothing behind; readers of small settings
// files fall back to their defaults.
#include "core/files/appdirs.h"
#include "core/files/databasefile.h"
#include "core/files/programdirs.h"
#include "core/framefixture.h"
#include "core/rights/login.h"
#include "core/rights/rights.h"
#include "core/rights/rightsfile.h"
#include "core/settings/formplacement.h"
#include "core/settings/programsettings.h"
#include "core/settings/settingsfiles.h"
#include "startupsteps.h"

#include <QDirIterator>
#include <QFileInfo>
#include <functional>

using namespace Qt::StringLiterals;
using Kind = MessagePresenter::Kind;

namespace {

// A complete installation (template and client 1), built once and copied
// for every case.
class DamagedFiles : public frametest::ProgramDirFixture {
protected:
    static void SetUpTestSuite() {
        s_golden = std::make_unique<QTemporaryDir>();
        const QString saved = ProgramDir;
        frametest::RecordingPresenter quiet;
        MessagePresenter* previous = SetMessagePresenter(&quiet);
        qputenv("DOMVERA_WINDIR", QFile::encodeName(s_golden->filePath(u"win"_s)));
        SetProgramDir(s_golden->filePath(u"prog"_s));
        QDir().mkpath(ProgramDir);
        CurrentUser.rights.set(55, rbView | rbCreate);
        // The first activation of a new client may ask about its layouts.
        s_built = startuptest::RunStartup() == 0 && quiet.texts(Kind::Error).isEmpty();
        CurrentUser = TUserRec();
        SetMessagePresenter(previous);
        ProgramDir = saved;
    }
    static void TearDownTestSuite() { s_golden.reset(); }

    void SetUp() override {
        ProgramDirFixture::SetUp();
        ASSERT_TRUE(s_built);
        m_savedMandant = MandantNr;
        copyTree(s_golden->filePath(u"prog"_s), ProgramDir);
        CurrentUser.rights.set(55, rbView | rbCreate);
    }
    void TearDown() override {
        CurrentUser = TUserRec();
        MandantNr = m_savedMandant;
        ProgramDirFixture::TearDown();
    }

    static void copyTree(const QString& from, const QString& to) {
        QDirIterator it(from, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            const QString target = to + u'/' + path.mid(from.size() + 1);
            if (it.fileInfo().isDir())
                QDir().mkpath(target);
            else
                QFile::copy(path, target);
        }
    }

    // Every entry below the program directory but the log and the lock
    // registry, which any start writes.
    QStringList entries() const {
        QStringList names;
        QDirIterator it(ProgramDir, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString name = it.next().mid(ProgramDir.size());
            if (name != u"Syslog.txt" && !name.startsWith(u"Netdir"))
                names.append(name);
        }
        names.sort();
        return names;
    }

    static void overwrite(const QString& file, qint64 at, const QByteArray& bytes) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.seek(at);
        f.write(bytes);
    }
    static void cutInHalf(const QString& file) {
        QFile f(file);
        ASSERT_TRUE(f.resize(QFileInfo(file).size() / 2));
    }
    static QByteArray noise(int size) {
        QByteArray bytes(size, '\0');
        quint32 x = 2463534242u;
        for (char& c : bytes) {
            x ^= x << 13;
            x ^= x >> 17;
            x ^= x << 5;
            c = char(x);
        }
        return bytes;
    }

    static std::unique_ptr<QTemporaryDir> s_golden;
    static bool s_built;

private:
    int m_savedMandant = 1;
};

std::unique_ptr<QTemporaryDir> DamagedFiles::s_golden;
bool DamagedFiles::s_built = false;

TEST_F(DamagedFiles, DamagedDatabaseIsNamedAndNeverReplaced) {
    const struct {
        const char* what;
        QString file; // below the program directory
        std::function<void(const QString& file)> damage;
        QString problem; // the German words for the damage
        // Damage inside the pages is looked for after a session that did
        // not end cleanly (its marker left behind), as a crash leaves it.
        bool afterCrash = false;
    } cases[] = {
        {"client database cut in half", u"Data0001/domvera.sqlite"_s, &cutInHalf,
         u"Ihr Inhalt ist zerstört"_s},
        {"client database with a random header", u"Data0001/domvera.sqlite"_s,
         [](const QString& f) { overwrite(f, 0, noise(100)); },
         u"Die Datei ist keine Datenbank, oder ihr Kopf ist zerstört."_s},
        {"client database with random bytes inside", u"Data0001/domvera.sqlite"_s,
         [](const QString& f) { overwrite(f, 4096 * 3, noise(4096 * 4)); },
         u"Ihr Inhalt ist zerstört"_s, true},
        {"empty client database", u"Data0001/domvera.sqlite"_s,
         [](const QString& f) { QFile(f).resize(0); }, u"Die Datei ist leer."_s},
        {"archive database cut in half", u"Ablg0001/domvera.sqlite"_s, &cutInHalf,
         u"Ihr Inhalt ist zerstört"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(ProgramDir).removeRecursively();
        copyTree(s_golden->filePath(u"prog"_s), ProgramDir);
        presenter.boxes.clear();
        const QString file = ProgramDir + c.file;
        c.damage(file);
        if (c.afterCrash) {
            QDir().mkpath(WindowsDirectory());
            QFile marker(QDir(WindowsDirectory()).filePath(QLatin1String(SessionMarkerName)));
            ASSERT_TRUE(marker.open(QIODevice::WriteOnly));
        }
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray damaged = f.readAll();
        f.close();
        const QStringList before = entries();

        EXPECT_NE(startuptest::RunStartup(), 0);

        const QStringList errors = presenter.texts(Kind::Error);
        ASSERT_EQ(errors.size(), 1) << errors.join(u" | "_s).toStdString();
        EXPECT_TRUE(errors.first().contains(QDir::toNativeSeparators(file)))
            << errors.first().toStdString();
        EXPECT_TRUE(errors.first().contains(u"ist beschädigt: "_s + c.problem))
            << errors.first().toStdString();
        f.open(QIODevice::ReadOnly);
        EXPECT_TRUE(f.readAll() == damaged) << "the damaged file was changed";
        f.close();
        EXPECT_EQ(entries(), before);
    }
}

// The quick look of every start reads the header and the schema only: damage
// inside the pages is for the full check.
TEST_F(DamagedFiles, TheQuickLookLeavesThePagesToTheFullCheck) {
    const QString file = ProgramDir + u"Data0001/domvera.sqlite"_s;
    const DatabaseFileCheck quick = InspectDatabaseFile(ProgramDir + u"Data0001"_s, false);
    EXPECT_EQ(quick.state, DatabaseFileState::Present);
    overwrite(file, 4096 * 3, noise(4096 * 4));
    EXPECT_EQ(InspectDatabaseFile(ProgramDir + u"Data0001"_s, false).state,
              DatabaseFileState::Present);
    const DatabaseFileCheck full = InspectDatabaseFile(ProgramDir + u"Data0001"_s, true);
    EXPECT_EQ(full.state, DatabaseFileState::Damaged);
    EXPECT_EQ(full.problem,
              u"Ihr Inhalt ist zerstört (zum Beispiel abgeschnitten oder überschrieben)."_s);
}

// The template database damaged: the start client still works; a new client
// is not built from it, and nothing of the attempt stays.
TEST_F(DamagedFiles, DamagedTemplateIsNeverRebuiltOrCopied) {
    const QString file = ProgramDir + u"Data0000/domvera.sqlite"_s;
    overwrite(file, 0, noise(64));
    const QStringList before = entries();
    EXPECT_EQ(startuptest::RunStartup(), 0);
    EXPECT_TRUE(presenter.boxes.isEmpty());
    EXPECT_EQ(entries(), before);

    presenter.answers = {true};
    EXPECT_EQ(startuptest::RunStartup(2), 0);
    const QStringList errors = presenter.texts(Kind::Error);
    ASSERT_FALSE(errors.isEmpty());
    EXPECT_TRUE(errors.first().contains(u"beschädigt"_s)) << errors.first().toStdString();
    EXPECT_FALSE(QFileInfo::exists(ProgramDir + u"Data0002/domvera.sqlite"_s));
    for (const QString& name : entries())
        EXPECT_FALSE(name.contains(u".neu"_s) || name.contains(u".alt"_s) ||
                     name.startsWith(u"Austausch.dat"_s))
            << name.toStdString();
}

TEST_F(DamagedFiles, VersionFileDecidedByTheDatabase) {
    const QString file = ProgramDir + u"Data0001/Version.Dat"_s;
    const struct {
        const char* what;
        const char* content; // nullptr: no file
        QString message;     // the start's German message
        Kind kind;
        bool starts;
        QByteArray after; // the file afterwards
    } cases[] = {
        {"garbage", "\x01\xfe\xffxyz\r\n",
         u"\rist nicht lesbar.\rDie Datenbank hat bereits die "
         u"aktuelle Struktur; die Datei wurde neu geschrieben."_s,
         Kind::Info, true, "240\r\n"},
        {"empty", "", u"\rist nicht lesbar."_s, Kind::Info, true, "240\r\n"},
        {"missing", nullptr, u"\rfehlt.\rDie Datenbank hat bereits die aktuelle Struktur"_s,
         Kind::Info, true, "240\r\n"},
        {"newer than the program", "250\r\n",
         u"\rhat die Version 250; dieses Programm kennt nur Versionen bis 240."_s, Kind::Error,
         false, "250\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(ProgramDir).removeRecursively();
        copyTree(s_golden->filePath(u"prog"_s), ProgramDir);
        presenter.boxes.clear();
        QFile::remove(file);
        if (c.content)
            writeBytes(file, c.content);
        const QStringList before = entries();

        EXPECT_EQ(startuptest::RunStartup() == 0, c.starts);

        const QStringList shown = presenter.texts(c.kind);
        ASSERT_EQ(shown.size(), 1) << presenter.boxes.size();
        EXPECT_TRUE(shown.first().contains(c.message)) << shown.first().toStdString();
        EXPECT_EQ(readBytes(file), c.after);
        // No upgrade ran: no saved copy, no work directory.
        QStringList now = entries();
        if (!c.content)
            now.removeAll(u"Data0001/Version.Dat"_s);
        QStringList expected = before;
        if (!c.content)
            expected.removeAll(u"Data0001/Version.Dat"_s);
        EXPECT_EQ(now, expected);
    }
}

// A version file lost from a database of an older structure sends it
// through the upgrade, which keeps its rows.
TEST_F(DamagedFiles, LostVersionFileOfAnOlderDatabaseIsUpgraded) {
    {
        auto db = table::Database::open(ProgramDir + u"Data0001"_s);
        db->dropTable(u"Wochtag.db"_s);
    }
    QFile::remove(ProgramDir + u"Data0001/Version.Dat"_s);
    EXPECT_EQ(startuptest::RunStartup(), 0);
    const QStringList infos = presenter.texts(Kind::Info);
    ASSERT_EQ(infos.size(), 1);
    EXPECT_TRUE(infos.first().contains(u"wird deshalb auf die aktuelle Version gebracht"_s));
    EXPECT_TRUE(presenter.texts(Kind::Error).isEmpty());
    EXPECT_EQ(ReadDbVersionFile(ProgramDir + u"Data0001"_s).version, CurrentDbVersion);
    EXPECT_TRUE(
        dbstructure::HasCurrentStructure(ProgramDir + u"Data0001"_s, ProgramDir + u"Ablg0001"_s));
    EXPECT_TRUE(QFileInfo(ProgramDir + u"Data0001.000"_s).isDir());
}

TEST_F(DamagedFiles, PlacementFilesThatCannotBeReadGiveTheDefaults) {
    const QString placement = FormPlacementFilePath(u"DomveraPlan01.ini"_s);
    for (const bool directory : {true, false}) {
        SCOPED_TRACE(directory ? "a directory in place of the file" : "random bytes");
        QDir(placement).removeRecursively();
        QFile::remove(placement);
        if (directory)
            QDir().mkpath(placement + u"/inner"_s);
        else
            writeBytes(placement, noise(3000));
        std::optional<FormPlacement> read;
        EXPECT_NO_THROW(read = ReadFormPlacement(u"DomveraPlan01.ini"_s, u"TF_Kunden"_s,
                                                 StorePosition | StoreState, {}));
        EXPECT_FALSE(read && read->geometry);
        QString lastUser = u"x"_s;
        EXPECT_NO_THROW(lastUser = ReadLastLoggedUser());
        EXPECT_EQ(lastUser, QString());
        EXPECT_EQ(QFileInfo(placement).isDir(), directory);
        EXPECT_TRUE(presenter.boxes.isEmpty());
    }
}

TEST_F(DamagedFiles, DamagedRightsFileIsNamedAndKept) {
    const QString file = ProgramDir + u"Rights.dat"_s;
    const struct {
        const char* what;
        QByteArray content;
    } cases[] = {
        {"random bytes", noise(5000)},
        {"cut short", EncodeRightsFile(QList<TUserRec>(GroupSlotCount + 1)).left(700)},
        {"empty", QByteArray()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        presenter.boxes.clear();
        writeBytes(file, c.content);
        const QStringList before = entries();
        EXPECT_FALSE(LoadRights());
        const QStringList errors = presenter.texts(Kind::Error);
        ASSERT_EQ(errors.size(), 1);
        EXPECT_TRUE(errors.first().startsWith(u"Die Rechtedatei ist beschädigt"_s))
            << errors.first().toStdString();
        EXPECT_EQ(readBytes(file), c.content);
        EXPECT_EQ(entries(), before);
    }
}

} // namespace
