#include "archivefixture.h"
#include "datasafety/archiveformat.h"
#include "datasafety/archivelister.h"

#include <QFile>

using backuptest::ArchiveTest;
using backuptest::RecordingObserver;
using namespace Qt::StringLiterals;

namespace {

class ArchiveListerTest : public ArchiveTest {
protected:
    // A header-only archive file of a version and comment.
    void archive(const QString& name, int version, const QString& comment) {
        TheaderRec info;
        info.fileName = MakeArchiveInfo(version, comment);
        info.dbVersion = quint8(version);
        writeFile(dir(u"backup"_s), name, EncodeHeaderRecord(info) + QByteArray(16, 'z'));
    }
    int list(bool deleteMode) {
        observer.rows.clear();
        return ListBackupArchives(root(u"backup"_s) + u"/*.CCB"_s, deleteMode, observer);
    }
    RecordingObserver observer;
};

} // namespace

TEST_F(ArchiveListerTest, RowsOfTheListAndTheDeleteView) {
    archive(u"FB08.12.2026v000.CCB"_s, 240, u"Vor Restauration um 10:15 Uhr"_s);
    archive(u"FB07.12.2026v003.CCB"_s, 230, u"alt"_s);
    archive(u"FB07.12.2026v000.CCL"_s, 240, u"andere Art"_s);
    writeFile(root(u"backup"_s), u"FB06.12.2026v000.CCB"_s, QByteArray(83, 'k'));

    EXPECT_EQ(list(false), 1);
    EXPECT_EQ(observer.view, BackupView::List);
    EXPECT_EQ(observer.rows, (QList<QStringList>{{u"FB08.12.2026v000.CCB"_s, u"         100"_s,
                                                  u"OK"_s, u"Vor Restauration um 10:15 Uhr"_s}}));

    EXPECT_EQ(list(true), 2);
    EXPECT_EQ(observer.view, BackupView::Delete);
    EXPECT_EQ(observer.rows,
              (QList<QStringList>{{u"FB07.12.2026v003.CCB"_s, u"         100"_s, u"Nein"_s,
                                   u"alt"_s, u"     230"_s},
                                  {u"FB08.12.2026v000.CCB"_s, u"         100"_s, u"Nein"_s,
                                   u"Vor Restauration um 10:15 Uhr"_s, u"     240"_s}}));
}

TEST_F(ArchiveListerTest, ViewColumnsAddUpToTheirHeadings) {
    const QList<BackupColumn> list = BackupViewColumns(BackupView::Delete);
    ASSERT_EQ(list.size(), 5);
    EXPECT_EQ(list[1].heading, u"       Bytes");
    EXPECT_EQ(list[3].width, RestWidth);
    EXPECT_EQ(list[4].heading, u"DB-Vers.");
    EXPECT_EQ(BackupViewColumns(BackupView::Writing)[3].width, 125);
}

TEST(ArchiveRows, SortNewestOrOldestFirstKeepingEqualKeys) {
    QList<QStringList> rows{{u"FB07.12.2026v003.CCB"_s, u"a"_s},
                            {u"FB08.12.2026v000.CCB"_s, u"b"_s},
                            {u"FB07.12.2026v003.CCB"_s, u"c"_s},
                            {u"FB01.01.2027v000.CCB"_s, u"d"_s}};
    SortArchiveRows(rows, true);
    QStringList order;
    for (const QStringList& row : rows)
        order << row[1];
    EXPECT_EQ(order, (QStringList{u"d"_s, u"b"_s, u"a"_s, u"c"_s}));
    SortArchiveRows(rows, false);
    order.clear();
    for (const QStringList& row : rows)
        order << row[1];
    EXPECT_EQ(order, (QStringList{u"a"_s, u"c"_s, u"b"_s, u"d"_s}));
}
