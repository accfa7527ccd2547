#include "operations/plancheck.h"
#include "platform/errors.h"
#include "platform/table/table.h"
#include "tourfixture.h"

#include <QFile>
#include <QTime>

using namespace Qt::StringLiterals;

namespace {

TEST(PlanCheckReason, NamesWhyNoTourFits) {
    const QList<PlanCheckTour> tuesdayA{{2, u"A"_s}};
    struct Case {
        const char* name;
        QList<PlanCheckTour> tours;
        const char* wtag;
        const char* service;
        const char* reason;
    };
    const Case cases[] = {
        {"no tour", {}, "", "", "Keine Tour-Zuordnung"},
        {"weekday missing", tuesdayA, "135", "", "Unpassende(r) Wochentag(e) [135]"},
        {"service missing on a fitting day", tuesdayA, "2", "B",
         "Unpassendes Dienstkennzeichen [B]"},
        {"fits", tuesdayA, "12", "A", ""},
        {"fits one of two", {{1, u"A"_s}, {2, u"B"_s}}, "2", "B", ""},
        {"a service misfit outweighs a weekday misfit",
         {{1, u"A"_s}, {2, u"A"_s}},
         "2",
         "B",
         "Unpassendes Dienstkennzeichen [B]"},
        {"a tour without weekday fits no pattern",
         {{0, u"*"_s}},
         "*",
         "",
         "Unpassende(r) Wochentag(e) [*]"},
        {"\"AB*\" does not offer C",
         {{3, u"AB*"_s}},
         "3",
         "C",
         "Unpassendes Dienstkennzeichen [C]"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PlanCheckReason(c.tours, QString::fromUtf8(c.wtag), QString::fromUtf8(c.service)),
                  QString::fromUtf8(c.reason))
            << c.name;
}

class PlanCheck : public operationstest::Tours {
protected:
    void SetUp() override {
        Tours::SetUp();
        table::aliases::database(datatest::kDb)->emptyTable(u"ObjTaet.db"_s);
    }
    void addActivity(int id, int objektNr, int taetigNr, const QString& wtag,
                     const QString& service) {
        addRow(u"ObjTaet.db"_s, {{u"TS_ID"_s, id},
                                 {u"TS_Objekt"_s, objektNr},
                                 {u"TS_Taetigkeit"_s, taetigNr},
                                 {u"TS_Modus"_s, 1},
                                 {u"TS_Wtag"_s, wtag},
                                 {u"TS_ServiceID"_s, service}});
    }
    void addPatternTour(int nr, int weekday, const QString& pattern) {
        addRow(u"Touren.db"_s, {{u"TO_ID"_s, nr},
                                {u"TO_Nr"_s, nr},
                                {u"TO_Wochentag"_s, weekday},
                                {u"TO_ServPatt"_s, pattern}});
    }
    QStringList linesAfterHeading() {
        table::Table& objects = shared(dm->TabObjekt());
        return RunPlanCheck(objects).mid(4);
    }
};

TEST_F(PlanCheck, ListsEveryActivityNoTourOfItsObjectCanDo) {
    addActiveObject(10, 1, u"Ohne Tour"_s);
    for (int t : {1, 2, 3})
        addActivity(t, 10, t, QString(), QString());
    addActiveObject(12, 1, u"Dienstags"_s);
    addPatternTour(1, 2, u"A"_s);
    addVisit(1, 12, QTime(8, 0), QTime(9, 0));
    addActivity(4, 12, 5, u"135"_s, QString());
    addActivity(5, 12, 6, u"2"_s, u"B"_s);
    addActivity(6, 12, 7, u"2"_s, u"A"_s);
    addActiveObject(14, 1, u"Zwei Touren"_s);
    addPatternTour(2, 4, u"*"_s);
    addVisit(1, 14, QVariant(), QVariant());
    addVisit(2, 14, QVariant(), QVariant());
    addActivity(7, 14, 8, u"4"_s, u"C"_s);
    addActivity(8, 14, 9, u"5"_s, QString());
    EXPECT_EQ(linesAfterHeading(), (QStringList{u"    10     1 Keine Tour-Zuordnung"_s,
                                                u"    10     2 Keine Tour-Zuordnung"_s,
                                                u"    10     3 Keine Tour-Zuordnung"_s,
                                                u"    12     5 Unpassende(r) Wochentag(e) [135]"_s,
                                                u"    12     6 Unpassendes Dienstkennzeichen [B]"_s,
                                                u"    14     9 Unpassende(r) Wochentag(e) [5]"_s}));
}

TEST_F(PlanCheck, ObjectsHiddenByTheObjectTablesFilterStayOutAndNoSharedCursorMoves) {
    addActiveObject(10, 1, u"Aktiv"_s);
    addRow(u"Objekte.DB"_s, {{u"O_ID"_s, 11}, {u"O_Nr"_s, 11}, {u"O_Aktiv"_s, false}});
    addActiveObject(12, 1, u"Aktiv auch"_s);
    for (int o : {10, 11, 12})
        addActivity(o, o, 1, QString(), QString());
    table::Table& objects = shared(dm->TabObjekt());
    objects.setFilter(u"O_Aktiv='true'"_s);
    objects.setFiltered(true);
    ASSERT_TRUE(objects.locate({u"O_Nr"_s}, {10}));
    table::Table& activities = shared(dm->TabObjTaetig());
    const QStringList lines = RunPlanCheck(objects);
    EXPECT_EQ(lines.mid(4), (QStringList{u"    10     1 Keine Tour-Zuordnung"_s,
                                         u"    12     1 Keine Tour-Zuordnung"_s}));
    EXPECT_EQ(objects.field(u"O_Nr"_s).asInteger(), 10);
    EXPECT_EQ(activities.field(u"TS_Objekt"_s).asInteger(), 10);
    objects.setFiltered(false);
    EXPECT_EQ(RunPlanCheck(objects).size(), 4 + 3);
}

TEST_F(PlanCheck, ObjectsComeInTheOrderOfTheObjectTablesIndex) {
    addActiveObject(1, 30, u"Zeder"_s);
    addActiveObject(2, 10, u"Äpfelhof"_s);
    addActiveObject(3, 20, u"birke"_s);
    for (int o : {1, 2, 3})
        addActivity(o, o, 1, QString(), QString());
    table::Table& objects = shared(dm->TabObjekt());
    const auto objectOrder = [&] {
        QList<int> order;
        for (const QString& line : RunPlanCheck(objects).mid(4))
            order.append(line.left(6).trimmed().toInt());
        return order;
    };
    EXPECT_EQ(objectOrder(), (QList<int>{1, 2, 3})) << "by number";
    objects.setIndexName(u"O_IKunde"_s);
    EXPECT_EQ(objectOrder(), (QList<int>{2, 3, 1})) << "by customer";
    objects.setIndexName(u"O_IMatch"_s);
    EXPECT_EQ(objectOrder(), (QList<int>{2, 3, 1})) << "by search name, German order";
}

TEST_F(PlanCheck, TheHeadingAndTheSavedFileAreWindowsTextWithCrLf) {
    const QStringList heading = PlanCheckHeading();
    EXPECT_EQ(heading, (QStringList{u"Nicht planbare Objekt-Tätigkeiten"_s, QString(),
                                    u"ObjNr. T-Nr. Fehlerursache"_s, QString(60, u'-')}));
    const QString file = path(u"Plancheck.txt"_s);
    SavePlanCheckText(file, heading.join(u'\n') + u"\n    12     5 Tür"_s);
    QFile saved(file);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    QByteArray expected = "Nicht planbare Objekt-T\xe4tigkeiten\r\n\r\n"
                          "ObjNr. T-Nr. Fehlerursache\r\n";
    expected += QByteArray(60, '-') + "\r\n    12     5 T\xfcr\r\n";
    EXPECT_EQ(saved.readAll(), expected);
}

TEST_F(PlanCheck, ATextWithoutWindowsFormIsRefusedAndNoFileWritten) {
    const QString file = path(u"Plancheck.txt"_s);
    EXPECT_THROW(SavePlanCheckText(file, u"Objekt \u4e2d"_s), DbError);
    EXPECT_FALSE(QFile::exists(file));
}

} // namespace
